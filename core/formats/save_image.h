// Writing the store's image, in the format the target's extension names:
// uncompressed TGA (with a texture's description file beside the texture; a
// cube map as six TGAs, one per face), BMP, JPEG, and for other tools PNG, DDS
// (a DXT texture's own blocks, else uncompressed 32-bit) and Radiance HDR (a
// floating-point texture's own values). Every write goes to a temporary file
// first: a failed save leaves the old file.
#pragma once

#include <string>
#include <vector>

#include "core/image/bitmap.h"
#include "core/image/image_store.h"
#include "core/io/file_io.h"

namespace core {

// True when the file (and, for a texture, its description) was written. False,
// with a message in LoadErrorText, otherwise. Never changes the store.
bool SaveImage(ImageStore& store, const std::string& path);

// The image files SaveImage(store, path) writes: `path` itself, or for a cube
// map saved as TGA its six faces (NAME_right.tga ... NAME_back.tga).
std::vector<std::string> SavedImagePaths(const ImageStore& store, const std::string& path);

// Renders the colour picture for a BMP or JPEG save, whatever AlphaView holds.
void RenderForSave(const ImageStore& store, Bitmap& bitmap);

bool SaveBMP(ImageStore& store, const std::string& path);
bool SaveJPG(ImageStore& store, const std::string& path);
// 24- or 32-bit PNG, as the picture is.
bool SavePNG(ImageStore& store, const std::string& path);
// A texture still holding the pixels of its DXT blocks: those blocks as they
// are; any other picture: uncompressed 32-bit. A cube map is a DDS cube map.
bool SaveDDS(ImageStore& store, const std::string& path);
// Only a floating-point texture whose pixels are still its own.
bool SaveHDR(ImageStore& store, const std::string& path);

}  // namespace core
