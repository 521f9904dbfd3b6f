// E2TF texture files built from their parts: the header fields, and the data
// of every level's every face. The size table and the data order (smallest
// level first, level 0 last) follow from the parts.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace testing_support {

struct E2TFParts {
    uint32_t version = 7;
    uint32_t width = 4;
    uint32_t height = 4;
    uint8_t mipSkip = 0;
    uint8_t alphaMode = 1;
    uint8_t type = 0;
    uint8_t wrapS = 3, wrapT = 3, wrapR = 1;
    std::string code = "5txd";                // as stored: reversed
    uint8_t blockWidth = 4, blockHeight = 4;  // written for "ctsa" only
    std::array<uint8_t, 4> hint = {10, 20, 30, 255};
    // levels[k][f]: level k (0 the full size), face f.
    std::vector<std::vector<Bytes>> levels = {{Bytes(16, 0)}};
    // Header counts as stored; 0 means "as many as `levels` holds".
    uint8_t levelCount = 0;
    uint8_t faceCount = 0;
};

inline Bytes E2TFBytes(const E2TFParts& p) {
    Bytes b = {'F', 'T', '2', 'E'};
    for (uint32_t v : {p.version, p.width, p.height}) PutLE32(b, b.size(), v);
    const size_t faces = p.levels.empty() ? 0 : p.levels[0].size();
    b.insert(b.end(),
             {p.mipSkip, p.levelCount ? p.levelCount : static_cast<uint8_t>(p.levels.size()),
              p.alphaMode, p.type, p.faceCount ? p.faceCount : static_cast<uint8_t>(faces), p.wrapS,
              p.wrapT, p.wrapR});
    b.insert(b.end(), p.code.begin(), p.code.end());
    if (p.code == "ctsa") b.insert(b.end(), {p.blockWidth, p.blockHeight});
    b.insert(b.end(), p.hint.begin(), p.hint.end());
    for (const auto& level : p.levels)
        for (const Bytes& face : level) PutLE32(b, b.size(), static_cast<uint32_t>(face.size()));
    for (auto level = p.levels.rbegin(); level != p.levels.rend(); ++level)
        for (const Bytes& face : *level) b.insert(b.end(), face.begin(), face.end());
    return b;
}

// Pseudo-random bytes (a fixed sequence for each seed).
inline Bytes NoiseBytes(size_t n, uint32_t seed) {
    Bytes b(n);
    for (auto& v : b) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<uint8_t>(seed >> 24);
    }
    return b;
}

// Floats as little-endian bytes.
inline Bytes FloatBytes(const std::vector<float>& values) {
    Bytes b(values.size() * 4);
    std::memcpy(b.data(), values.data(), b.size());
    return b;
}

// One ASTC block of a single colour (a "void-extent" block, LDR): every
// decoder gives its 8-bit colour back exactly.
inline Bytes AstcSolidBlock(uint8_t r, uint8_t g, uint8_t bl, uint8_t a) {
    Bytes b = {0xFC, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (uint8_t c : {r, g, bl, a}) b.insert(b.end(), {c, c});  // c * 257 as 16 bits
    return b;
}

}  // namespace testing_support
