// Writing the store's image: uncompressed TGA (with a texture's description
// file beside the texture), BMP or JPEG, chosen by the target's extension.
// Every write goes to a temporary file first: a failed save leaves the old file.
#pragma once

#include <string>

#include "core/bitmap.h"
#include "core/file_io.h"
#include "core/image_store.h"

namespace core {

// True when the file (and, for a texture, its description) was written. False,
// with a message in LoadErrorText, otherwise. Never changes the store.
bool SaveImage(ImageStore& store, const std::string& path);

// Renders the colour picture for a BMP or JPEG save, whatever AlphaView holds.
void RenderForSave(ImageStore& store, Bitmap& bitmap);

// The 18-byte header of an uncompressed 24- or 32-bit TGA for the store's image.
// False without writing when a side is 0 or the bytes per pixel are not 3 or 4.
bool WriteTGAHeader(const ImageStore& store, AtomicFileWriter& file);
bool BuildTGAHeader(const ImageStore& store, uint8_t header[18]);

bool SaveBMP(ImageStore& store, const std::string& path);
bool SaveJPG(ImageStore& store, const std::string& path);

// Writes the texture description lines beside the texture, naming `tgaPath`.
bool SaveTextureDescription(ImageStore& store, const std::string& tgaPath);

}  // namespace core
