// Writing the store's image, in the format the target's extension names (see
// the format table): uncompressed TGA (with a texture's description file
// beside the texture; a cube map as six TGAs, one per face), BMP, JPEG, and
// for other tools PNG, DDS (a DXT texture's own blocks, else uncompressed
// 32-bit) and Radiance HDR (a floating-point texture's own values). Every write
// goes to a temporary file first: a failed save leaves the old file.
#pragma once

#include <string>
#include <vector>

#include "core/formats/format_table.h"
#include "core/image/bitmap.h"
#include "core/image/image.h"

namespace core {

// Writes the file (and, for a texture, its description), or says why not. A
// target that refuses (read-only, not a regular file) is named in the same
// words whatever the format.
Failure SaveImage(const Image& image, const std::string& path);
// The same, in the format of `row` whatever `path` is called (file managers
// name a thumbnail as they like); a null row is a type not supported.
Failure SaveImageAs(const Image& image, const std::string& path, const FormatRow* row);

// The image files SaveImage(image, path) writes: `path` itself, or for a cube
// map saved as TGA its six faces (NAME_right.tga ... NAME_back.tga).
std::vector<std::string> SavedImagePaths(const Image& image, const std::string& path);

// Renders the colour picture for a BMP or JPEG save, whatever AlphaView holds.
void RenderForSave(const Image& image, Bitmap& bitmap);

// A picture of 3- or 4-byte pixels, neither side 0: what PNG, DDS and HDR take.
bool HasWritablePicture(const Image& image);

// The writers of the format table. Each refuses a picture it cannot write with
// its own error before writing anything.
Error WriteTGA(const Image& image, ImageSink& sink, int face);
Error WriteBMP(const Image& image, ImageSink& sink, int face);
Error WriteJPG(const Image& image, ImageSink& sink, int face);
// 24- or 32-bit PNG, as the picture is.
Error WritePNG(const Image& image, ImageSink& sink, int face);
// A texture still holding the pixels of its DXT blocks: those blocks as they
// are; any other picture: uncompressed 32-bit. A cube map is a DDS cube map.
Error WriteDDS(const Image& image, ImageSink& sink, int face);
// Only a floating-point texture whose pixels are still its own.
Error WriteHDR(const Image& image, ImageSink& sink, int face);

}  // namespace core
