// Shared by the reader tests: files the test writes and loads, the store's
// pixels, and what every refusal must leave.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/load_image.h"
#include "tests/support/test_support.h"

namespace reader_checks {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Writes the bytes as `name` in a fresh folder and loads that file.
inline bool LoadBytes(core::ImageStore& store, const Bytes& bytes, const std::string& name) {
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.File(name), bytes);
    return core::LoadImage(store, dir.File(name));
}

inline Bytes Pixels(const core::ImageStore& store) {
    return Bytes(store.PixelBuffer.begin(), store.PixelBuffer.end());
}

// Each file, read as `name`, is refused with exactly its message and leaves
// the store empty.
inline void ExpectRefusals(const std::string& name,
                           const std::vector<std::pair<Bytes, std::string>>& cases) {
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(message);
        core::ImageStore store;
        EXPECT_FALSE(LoadBytes(store, bytes, name) || store.ImageLoaded ||
                     !store.PixelBuffer.empty());
        EXPECT_EQ(store.LoadErrorText, message);
    }
}

}  // namespace reader_checks
