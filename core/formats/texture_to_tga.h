// Converting a block-coded texture to TGA without ever holding its picture: a
// few block rows at a time are decoded straight into the TGA's order (blue
// first, the bottom row first) and written. A batch converts large textures
// at close to the speed of copying the TGA this way; the bytes written are
// those that reading the texture and saving its picture as TGA write.
#pragma once

#include <string>

namespace core {

// Writes the picture of the texture at `texturePath` as the TGA `tgaPath`,
// and the description beside it, as SaveImage does. False, with nothing
// written, when this cannot be done so: the reader refuses the file, its
// picture is not block-coded or is a cube map, `tgaPath` is no TGA, or, with
// `refuseUniform`, the picture turns out to be of one uniform colour. The one
// exception is a description that cannot be written: the TGA then stands, as
// it does after SaveImage fails the same way. Whatever fails, the caller
// converts the usual way, which reports what it meets.
bool StreamTextureToTga(const std::string& texturePath, const std::string& tgaPath,
                        bool refuseUniform);

}  // namespace core
