// JPEG files whose headers claim far more picture, scans or work than their
// few bytes hold: libjpeg fills a scan that runs out of data with zeros, so
// each scan of such a file costs a pass over the picture for about ten bytes.
// Made for the benchmark that times them (jpeg_bomb_bench); the reader's
// tests use them too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostile_jpegs {

struct Bomb {
    uint16_t side = 8192;
    int components = 3;        // 1 (grey) or 3, all sampled 1 x 1
    bool arithmetic = true;    // arithmetic or Huffman entropy coding
    bool progressive = true;   // else sequential, one scan per component
    int scans = 200;           // progressive: one DC scan, then AC scans
    size_t padding = 0;        // zero bytes after the first scan's header
    bool refine = false;       // progressive AC scans refine (each block's
                               // every coefficient is visited) or come first
    bool chromaFirst = false;  // 3 components, 4:2:0, the first scan codes the
                               // DC of a chroma component (a quarter of the
                               // blocks of luma) alone
};

inline std::vector<uint8_t> MakeBomb(const Bomb& p) {
    std::vector<uint8_t> b = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    b.insert(b.end(), 64, 1);
    const uint8_t sof =
        p.arithmetic ? (p.progressive ? 0xCA : 0xC9) : (p.progressive ? 0xC2 : 0xC1);
    const auto nc = static_cast<uint8_t>(p.components);
    b.insert(b.end(), {0xFF, sof, 0x00, static_cast<uint8_t>(8 + 3 * nc), 0x08,
                       static_cast<uint8_t>(p.side >> 8), static_cast<uint8_t>(p.side),
                       static_cast<uint8_t>(p.side >> 8), static_cast<uint8_t>(p.side), nc});
    for (uint8_t c = 1; c <= nc; ++c)
        b.insert(b.end(), {c, static_cast<uint8_t>(p.chromaFirst && c == 1 ? 0x22 : 0x11), 0x00});
    if (!p.arithmetic) {
        // One-bit codes: DC difference 0, and for AC an end-of-band run of
        // 16,384 blocks, so zero data covers the picture in a few bits.
        for (auto [tableClass, symbol] : {std::pair<uint8_t, uint8_t>{0x00, 0x00}, {0x10, 0xE0}}) {
            b.insert(b.end(), {0xFF, 0xC4, 0x00, 0x14, tableClass, 1});
            b.insert(b.end(), 15, 0);
            b.push_back(symbol);
        }
    }
    auto scan = [&](std::vector<uint8_t> comps, uint8_t ss, uint8_t se, uint8_t approx = 0) {
        const auto n = static_cast<uint8_t>(comps.size());
        b.insert(b.end(), {0xFF, 0xDA, 0x00, static_cast<uint8_t>(6 + 2 * n), n});
        for (uint8_t c : comps) b.insert(b.end(), {c, 0x00});
        b.insert(b.end(), {ss, se, approx});
    };
    std::vector<uint8_t> all;
    for (uint8_t c = 1; c <= nc; ++c) all.push_back(c);
    if (p.progressive) {
        const int dcScans = p.chromaFirst ? 3 : 1;
        scan(p.chromaFirst ? std::vector<uint8_t>{2} : all, 0, 0);
        b.insert(b.end(), p.padding, 0);
        if (p.chromaFirst) scan({1}, 0, 0), scan({3}, 0, 0);
        for (int i = dcScans; i < p.scans; ++i)
            scan({static_cast<uint8_t>(1 + i % nc)}, 1, 63, p.refine ? 0x10 : 0x00);
    } else {
        for (uint8_t c : all) {
            scan({c}, 0, 63);
            if (c == 1) b.insert(b.end(), p.padding, 0);
        }
    }
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
}

struct Named {
    std::string name;
    Bomb bomb;
};

// The reproductions: a 2.6 KB arithmetic progressive file of 200 scans; the
// same in Huffman coding with the one bit per block its first scan needs; a
// sequential arithmetic file of no data; a progressive one whose
// coefficients alone would take 400 MB; and files under 1 MB that ask for as
// much work as such a file may.
inline std::vector<Named> Bombs() {
    return {
        {"arithmetic_progressive_200_scans.jpg", {}},
        {"arithmetic_refining_200_scans.jpg", {8192, 3, true, true, 200, 0, true}},
        {"huffman_progressive_200_scans.jpg", {2896, 1, false, true, 200, 362 * 362 / 8}},
        {"huffman_refining_200_scans.jpg", {2896, 1, false, true, 200, 362 * 362 / 8, true}},
        {"huffman_chroma_first_200_scans.jpg",
         {6144, 3, false, true, 200, 384 * 384 / 8, false, true}},
        {"arithmetic_sequential_no_data.jpg", {8192, 3, true, false, 1, 0}},
        {"huffman_progressive_8192.jpg", {8192, 3, false, true, 4, 3 * 8192 * 8192 / 64 / 8}},
        // Just under 1 MB, as much work as may be asked of such a file.
        {"arithmetic_refining_1mb.jpg", {4096, 3, true, true, 200, 1000000, true}},
        {"huffman_refining_1mb.jpg", {4096, 3, false, true, 200, 1000000, true}},
    };
}

}  // namespace hostile_jpegs
