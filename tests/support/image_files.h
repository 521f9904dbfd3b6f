// Small image files for the flow and command-line tests: any supported type
// (written through SaveImage; a texture built byte by byte), of one colour or
// a gradient, with graded alpha on request.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/formats/save_image.h"
#include "core/io/paths.h"
#include "tests/support/e2tf_files.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

namespace testing_support {

// Pixels in the store's layout: R, G, B (and A), bottom row first.
inline std::vector<uint8_t> TestPixels(int width, int height, bool uniform, bool alpha) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(uniform ? 90 : static_cast<uint8_t>(x * 7 + y));
            pixels.push_back(uniform ? 120 : static_cast<uint8_t>(y * 5));
            pixels.push_back(uniform ? 200 : static_cast<uint8_t>(x + y * 3));
            if (alpha) pixels.push_back(static_cast<uint8_t>(x * 4 + 1));
        }
    }
    return pixels;
}

// A version-259 ".texture" container with one image chunk holding `data`:
// both wrap modes 2, not dynamic, alpha hint 0.
inline std::vector<uint8_t> TextureBytes(uint32_t format, int width, int height,
                                         const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    const auto text = [&](std::string_view t) { out.insert(out.end(), t.begin(), t.end()); };
    text("JIRF");
    PutLE32(out, out.size(), 0);
    text("MMTFINFO");
    // Info size, version, two 16-bit values, chunk counts 1 x 1, format, size,
    // dynamic, both wrap modes, four unread values, alpha hint.
    for (uint32_t v : {60u, 259u, 0u, 1u, 1u, format, uint32_t(width), uint32_t(height), 0u, 2u, 2u,
                       0u, 0u, 0u, 0u, 0u})
        PutLE32(out, out.size(), v);
    text("MMAP");
    PutLE32(out, out.size(), static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A ".texture" file (its folder made if need be): format 0 (uncompressed 32-bit, top row first, B G
// R A) in a version-259 container. Anything else: the extension's writer.
inline void WriteImage(const std::string& path, int width, int height, bool uniform,
                       bool alpha = false) {
    const std::vector<uint8_t> pixels = TestPixels(width, height, uniform, alpha);
    if (!core::EndsWithNoCase(path, ".texture")) {
        std::filesystem::create_directories(SystemPath(path).parent_path());
        testing_support::TestStore store;
        FillImage(store.Current, width, height, alpha ? 4 : 3, pixels, alpha ? 1 : 0);
        testing_support::Save(store, path);
        return;
    }
    std::vector<uint8_t> data;
    const int bpp = alpha ? 4 : 3;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * bpp;
            data.insert(data.end(), {p[2], p[1], p[0], alpha ? p[3] : uint8_t(255)});
        }
    }
    WriteBytes(path, TextureBytes(0, width, height, data));
}

}  // namespace testing_support
