// A texture's picture as its file holds it, found by its reader's own reading
// and checks but not decoded: for converting a texture straight to TGA a block
// row at a time, without the whole picture ever being held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/image/byte_buffer.h"

namespace core {

// How the picture's data is coded. Other: anything only the readers decode
// (plain or floating-point pixels, ASTC, a cube map's faces).
enum class PictureCoding { Other, DXT1, DXT3, DXT5, ETC2 };

struct TexturePicture {
    PictureCoding coding = PictureCoding::Other;
    int32_t width = 0;
    int32_t height = 0;
    int bytesPerPixel = 0;                 // of the picture the reader decodes: 3 or 4
    const uint8_t* data = nullptr;         // the picture's blocks, top block row first
    size_t size = 0;                       // at least the picture's blocks
    std::vector<std::string> description;  // the lines of its TGA's description
};

// Read `path` into `bytes` (which `picture` then points into) with the checks
// of the JIRF or the E2TF reader; false where that reader refuses the file.
bool ExamineJirf(const std::string& path, ByteBuffer& bytes, TexturePicture& picture);
bool ExamineE2TF(const std::string& path, ByteBuffer& bytes, TexturePicture& picture);

}  // namespace core
