// Small image files for the tests, built byte by byte: a Trainz texture with
// uncompressed 32-bit pixels, a 24-bit BMP, and TGAs of one colour or a gradient.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/test_support.h"

namespace testing_support {

namespace image_files_detail {

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutText(std::vector<uint8_t>& out, const char* text) {
    for (; *text; ++text) out.push_back(static_cast<uint8_t>(*text));
}

}  // namespace image_files_detail

// Red, green and blue of pixel (x, y): one colour, or a gradient.
inline void TestColour(int x, int y, bool uniform, uint8_t rgb[3]) {
    rgb[0] = uniform ? 90 : static_cast<uint8_t>(x * 7 + y);
    rgb[1] = uniform ? 120 : static_cast<uint8_t>(y * 5);
    rgb[2] = uniform ? 200 : static_cast<uint8_t>(x + y * 3);
}

// A format-0 (uncompressed 32-bit) texture; `bgra` holds width x height pixels
// as blue, green, red, alpha, top row first.
inline std::vector<uint8_t> MakeTexture(int width, int height, const std::vector<uint8_t>& bgra) {
    using namespace image_files_detail;
    std::vector<uint8_t> out;
    PutText(out, "JIRF");
    Put32(out, 0);
    PutText(out, "MMTFINFO");
    Put32(out, 60);   // info size: version 259 reads 60 bytes
    Put32(out, 259);  // version
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 1);  // chunk counts
    Put32(out, 1);
    Put32(out, 0);  // format 0: uncompressed 32-bit
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put32(out, 0);  // dynamic
    Put32(out, 2);  // s wrap
    Put32(out, 2);  // t wrap
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    Put32(out, 0);  // alpha hint
    PutText(out, "MMAP");
    Put32(out, static_cast<uint32_t>(bgra.size()));
    out.insert(out.end(), bgra.begin(), bgra.end());
    return out;
}

// A texture of one colour, or of a gradient, with opaque alpha.
inline std::vector<uint8_t> MakeTextureOf(int width, int height, bool uniform) {
    std::vector<uint8_t> bgra;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t rgb[3];
            TestColour(x, y, uniform, rgb);
            bgra.insert(bgra.end(), {rgb[2], rgb[1], rgb[0], 255});
        }
    }
    return MakeTexture(width, height, bgra);
}

// A 24-bit bottom-up BMP, a gradient or one colour.
inline std::vector<uint8_t> MakeBmp(int width, int height, bool uniform) {
    using namespace image_files_detail;
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out;
    PutText(out, "BM");
    Put32(out, static_cast<uint32_t>(54 + stride * height));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(stride * height));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t rgb[3];
            TestColour(x, y, uniform, rgb);
            out.insert(out.end(), {rgb[2], rgb[1], rgb[0]});
        }
        out.insert(out.end(), static_cast<size_t>(stride - width * 3), 0);
    }
    return out;
}

// A 24-bit TGA, a gradient or one colour; 32-bit with graded alpha when `alpha`.
inline std::vector<uint8_t> MakeTgaOf(int width, int height, bool uniform, bool alpha = false) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t rgb[3];
            TestColour(x, y, uniform, rgb);
            pixels.insert(pixels.end(), {rgb[2], rgb[1], rgb[0]});
            if (alpha) pixels.push_back(static_cast<uint8_t>(x * 4 + 1));
        }
    }
    return MakeTga(width, height, alpha ? 32 : 24, pixels, alpha ? 8 : 0);
}

}  // namespace testing_support
