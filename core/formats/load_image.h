// Reading image files into the store. Every reader returns false with a message
// naming the file in LoadErrorText when it fails, and leaves the store empty.
#pragma once

#include <string>

#include "core/image/image_store.h"

namespace core {

// Empties the store and reads the file with the reader its extension selects
// (.bmp, .jpg, .tga, .texture, in any letter case). A .texture goes by its first
// four bytes to the classic reader or to the E2TF reader.
bool LoadImage(ImageStore& store, const std::string& path);

bool LoadBMP(ImageStore& store, const std::string& path);
bool LoadJPG(ImageStore& store, const std::string& path);
bool LoadTGA(ImageStore& store, const std::string& path);
bool LoadTexture(ImageStore& store, const std::string& path);
// The newer texture container, whose file starts with the bytes "FT2E".
bool IsE2TF(const std::string& path);
bool LoadE2TF(ImageStore& store, const std::string& path);

}  // namespace core
