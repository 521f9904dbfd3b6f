// Shared by the reader tests: files the test writes and loads, bitmaps built
// field by field, the store's pixels, and what every refusal must leave.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/formats/load_image.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

namespace reader_checks {

using testing_support::Bytes;
using testing_support::PutLE32;

// A Windows bitmap: a plain 4 x 4, 24-bit one unless told otherwise.
struct BmpFile {
    int32_t width = 4, height = 4;
    uint16_t bits = 24;
    uint32_t compression = 0, clrUsed = 0, infoSize = 40;
    Bytes afterHeader;     // masks and palette
    Bytes pixels;          // as stored
    int64_t offBits = -1;  // default: right after afterHeader
};

inline Bytes MakeBmp(const BmpFile& b) {
    Bytes f(14 + b.infoSize, 0);
    f[0] = 'B', f[1] = 'M', f[26] = 1, f[28] = static_cast<uint8_t>(b.bits);
    PutLE32(f, 10, b.offBits >= 0 ? b.offBits : 14 + b.infoSize + b.afterHeader.size());
    PutLE32(f, 14, b.infoSize), PutLE32(f, 18, b.width), PutLE32(f, 22, b.height);
    if (b.infoSize >= 40) PutLE32(f, 30, b.compression), PutLE32(f, 46, b.clrUsed);
    f.insert(f.end(), b.afterHeader.begin(), b.afterHeader.end());
    f.insert(f.end(), b.pixels.begin(), b.pixels.end());
    return f;
}

// Writes the bytes as `name` in a fresh folder and loads that file.
inline bool LoadBytes(testing_support::TestStore& store, const Bytes& bytes,
                      const std::string& name) {
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File(name), bytes);
    return testing_support::Load(store, dir.File(name));
}

// A test name made of a file's path: letters and digits kept, the rest '_'.
inline std::string TestName(const std::string& path) {
    std::string name;
    for (char c : path) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

inline Bytes Pixels(const testing_support::TestStore& store) {
    return Bytes(store.Current.Pixels.begin(), store.Current.Pixels.end());
}

// The pixel at column x of row y counted from the top, as R, G, B (and A).
inline std::vector<int> PixelAt(const testing_support::TestStore& s, int x, int yFromTop) {
    const int bpp = s.Current.BytesPerPixel();
    const uint8_t* p =
        s.Current.Data() + (size_t(s.Current.Height - 1 - yFromTop) * s.Current.Width + x) * bpp;
    return std::vector<int>(p, p + bpp);
}

// Each file, read as `name`, is refused with exactly its message and leaves
// the store empty.
inline void ExpectRefusals(const std::string& name,
                           const std::vector<std::pair<Bytes, std::string>>& cases) {
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(message);
        testing_support::TestStore store;
        EXPECT_FALSE(LoadBytes(store, bytes, name) || store.Loaded() ||
                     !store.Current.Pixels.empty());
        EXPECT_EQ(store.error, message);
    }
}

}  // namespace reader_checks
