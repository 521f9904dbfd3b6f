#include "tests/support/reference_picture.h"

#include "tests/support/test_support.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace testing_support {

bool ReadPicture(const std::string& path, DecodedPicture& out) {
    // Read through the tests' own file helper, so the name is handled as every
    // other test file's is; stb_image only sees bytes.
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.empty()) return false;
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (pixels == nullptr) return false;
    out.width = width;
    out.height = height;
    out.channels = channels;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace testing_support
