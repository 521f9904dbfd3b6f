// Reading image files into the store. Every reader returns false with a message
// naming the file in LoadErrorText when it fails, and leaves the store empty.
#pragma once

#include <string>

#include "core/image/image_store.h"

namespace core {

// Empties the store and reads the file with the reader the format table
// selects: by extension in any letter case, and for a .texture by its first
// four bytes the classic reader or the E2TF reader.
bool LoadImage(ImageStore& store, const std::string& path);

bool LoadBMP(ImageStore& store, const std::string& path);
bool LoadJPG(ImageStore& store, const std::string& path);
bool LoadTGA(ImageStore& store, const std::string& path);
// Any PNG: 4 bytes a pixel when it has alpha or a transparent colour, else 3.
bool LoadPNG(ImageStore& store, const std::string& path);
bool LoadTexture(ImageStore& store, const std::string& path);
// The newer texture container, whose file starts with the bytes "FT2E".
bool LoadE2TF(ImageStore& store, const std::string& path);

}  // namespace core
