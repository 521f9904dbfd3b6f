// Reading image files. Every reader fills the image it is given and returns no
// failure, or returns the failure, naming the file, and leaves the image empty.
#pragma once

#include <string>

#include "core/image/image.h"

namespace core {

// A read's outcome: the image, or why there is none.
struct LoadResult {
    Image image;
    Failure failure;

    explicit operator bool() const { return !failure; }
};

// Reads the file with the reader the format table selects: by extension in any
// letter case, and for a .texture by its first four bytes the classic reader
// or the E2TF reader.
LoadResult LoadImage(const std::string& path, const ReaderNotices& notices = {});

Failure LoadBMP(const std::string& path, Image& image, const ReaderNotices& notices = {});
Failure LoadJPG(const std::string& path, Image& image, const ReaderNotices& notices = {});
Failure LoadTGA(const std::string& path, Image& image, const ReaderNotices& notices = {});
// Any PNG: 4 bytes a pixel when it has alpha or a transparent colour, else 3.
Failure LoadPNG(const std::string& path, Image& image, const ReaderNotices& notices = {});
Failure LoadTexture(const std::string& path, Image& image, const ReaderNotices& notices = {});
// The newer texture container, whose file starts with the bytes "FT2E".
Failure LoadE2TF(const std::string& path, Image& image, const ReaderNotices& notices = {});

}  // namespace core
