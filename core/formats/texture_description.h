// The description a texture's TGA needs beside it (NAME.texture.txt): which
// file holds the colour and the alpha, how the texture tiles, and the hints
// the simulator reads. Both texture containers describe themselves through it.
#pragma once

#include <string>
#include <vector>

#include "core/image/image.h"

namespace core {

struct TextureHints {
    enum class Alpha { None, Masked, Semitransparent };

    bool cubeMap = false;  // the six faces named in place of Primary (no alpha hint)
    bool alpha = false;    // the TGA holds an alpha channel the simulator uses
    bool tilesS = false;
    bool tilesT = false;
    bool dynamic = false;
    Alpha alphaHint = Alpha::None;
    bool normalMap = false;
    bool nonPowerOfTwo = false;
};

// "Tile=st", "Tile=s", "Tile=t" or "Tile=none".
std::string TileLine(bool tilesS, bool tilesT);

// The description's lines for the texture at `texturePath`, naming the TGA
// beside it (a texture "wagon" gives "wagon" and the conversion extension).
std::vector<std::string> TextureDescriptionLines(const TextureHints& hints,
                                                 const std::string& texturePath);

// Where the description of the TGA `tgaPath` made from `texturePath` goes:
// beside the texture ("wagon.texture.txt") when the TGA is in the texture's
// folder, else beside the TGA, named after it ("OUT/copy.texture.txt"), so
// that the simulator pairs them and the texture's own description is never
// touched.
std::string DescriptionPathFor(const std::string& texturePath, const std::string& tgaPath);

// Writes the image's description to DescriptionPathFor, its lines renamed
// after `tgaPath` (in the TGA's own case) when the TGA takes another name.
Failure SaveTextureDescription(const Image& image, const std::string& tgaPath);
// The same for the description `lines` of the texture at `texturePath`.
Failure SaveTextureDescription(const std::string& texturePath,
                               const std::vector<std::string>& lines, const std::string& tgaPath);

}  // namespace core
