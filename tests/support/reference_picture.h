// Pictures read back by a decoder that is not the code under test (stb_image):
// the corpus's PNG references, and the PNG and HDR files the writers make.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    int channels = 0;           // as the file stores them: 3 for RGB, 4 with alpha
    std::vector<uint8_t> rgba;  // 4 bytes a pixel, top row first
};

// False when the file is missing or is not a picture stb_image can read.
bool ReadPicture(const std::string& path, DecodedPicture& out);

}  // namespace testing_support
