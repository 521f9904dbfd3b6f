// Inputs that once broke a reader (tests/fuzz_regressions/<format>/) replayed
// through the fuzz targets' own entry point, and the resource limits every
// reader must hold against headers that lie about the picture's size.
#include <gtest/gtest.h>

#if defined(__linux__)
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#define SKEINPRESS_MEASURES_PEAK_MEMORY 1
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <zlib.h>

#include "bench/hostile_jpegs.h"
#include "fuzz/exercise_image.h"
#include "tests/core/formats/reader_checks.h"
#include "tests/support/e2tf_files.h"
#include "tests/support/image_files.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const char* const kImageFormats[] = {"tga", "bmp", "jpeg", "png", "texture"};

fs::path RegressionFolder() {
    return fs::path(SKEINPRESS_FUZZ_REGRESSIONS_DIR);
}

std::vector<std::string> RegressionImages() {
    std::vector<std::string> files;
    for (const char* format : kImageFormats) {
        std::error_code error;  // a missing folder gives no files, which the test below reports
        for (fs::directory_iterator it(RegressionFolder() / format, error), end;
             !error && it != end; it.increment(error))
            if (it->is_regular_file())
                files.push_back(std::string(format) + "/" + it->path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzRegressionImage : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzRegressionImage, LoadsOrIsRefusedCleanly) {
    EXPECT_EQ(fuzzing::ExerciseImageFile((RegressionFolder() / GetParam()).string()), "");
}

INSTANTIATE_TEST_SUITE_P(Replay, FuzzRegressionImage, ::testing::ValuesIn(RegressionImages()),
                         [](const auto& info) { return reader_checks::TestName(info.param); });

TEST(FuzzRegression, EveryImageTargetHasInputsToReplay) {
    const auto files = RegressionImages();
    for (const char* format : kImageFormats) {
        EXPECT_TRUE(std::any_of(files.begin(), files.end(),
                                [&](const std::string& f) { return f.rfind(format, 0) == 0; }))
            << "tests/fuzz_regressions/" << format << " holds nothing to replay";
    }
}

// ---- Limits -----------------------------------------------------------------

#if SKEINPRESS_MEASURES_PEAK_MEMORY
// Loads the file in a child process; tells whether it loaded and whether the
// child's peak address space grew by `budget` bytes or more (libjpeg's
// requests included, and under the sanitizers too: their allocator maps large
// blocks afresh). Only Linux gives both a forked child and its peak (in
// /proc), so elsewhere the hostile files are checked for refusal alone.
enum : int { kLoaded = 1, kOverBudget = 2 };

size_t PeakAddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string field;
    size_t kilobytes = 0;
    while (status >> field && field != "VmPeak:") {
    }
    status >> kilobytes;
    return kilobytes * 1024;
}

int LoadWithinBudget(const std::string& path, size_t budget) {
    // Buffers kept from earlier loads would serve the child's requests
    // without raising its peak.
    core::ReleaseKeptBuffers();
    const pid_t child = fork();
    if (child == 0) {
        // A fresh process starts its peak at its present size. Requests above
        // this threshold map fresh memory, so each raises the peak even when
        // it is released again or never touched.
        mallopt(M_MMAP_THRESHOLD, 64 * 1024);
        const size_t start = PeakAddressSpace();
        bool loaded = false;
        try {
            testing_support::TestStore store;
            loaded = testing_support::Load(store, path);
        } catch (...) {
            _exit(4);
        }
        _exit((loaded ? kLoaded : 0) | (PeakAddressSpace() - start >= budget ? kOverBudget : 0));
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 3) {
        ADD_FAILURE() << "the load of " << path << " ended abnormally";
        return -1;
    }
    return WEXITSTATUS(status);
}
#endif

// An uncompressed BMP whose pixel data, right after the headers, makes the
// file `fileSize` bytes long.
Bytes MakeBmp(int32_t width, int32_t height, uint16_t bits, size_t fileSize) {
    reader_checks::BmpFile b;
    b.width = width, b.height = height, b.bits = bits, b.pixels = Bytes(fileSize - 54, 0x5A);
    return reader_checks::MakeBmp(b);
}

// A baseline JPEG of one grey component: quantisation and Huffman tables with
// one-bit codes, the scan header, then `scanBytes` bytes of entropy data and
// no end marker.
Bytes MakeTruncatedJpeg(uint16_t width, uint16_t height, size_t scanBytes) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    b.insert(b.end(), 64, 1);
    b.insert(b.end(), {0xFF, 0xC0, 0x00, 0x0B, 0x08, static_cast<uint8_t>(height >> 8),
                       static_cast<uint8_t>(height), static_cast<uint8_t>(width >> 8),
                       static_cast<uint8_t>(width), 0x01, 0x01, 0x11, 0x00});
    for (uint8_t tableClass : {0x00, 0x10}) {
        b.insert(b.end(), {0xFF, 0xC4, 0x00, 0x14, tableClass, 1});
        b.insert(b.end(), 16, 0);
    }
    b.insert(b.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
    b.insert(b.end(), scanBytes, 0x00);
    return b;
}

// An 8-bit RGB PNG whose IDAT holds `rows` of its rows (each a filter byte of
// 0 and grey pixels), deflated.
Bytes MakePng(uint32_t width, uint32_t height, uint32_t rows) {
    auto be32 = [](Bytes& b, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(v >> shift));
    };
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, const Bytes& data) {
        be32(b, static_cast<uint32_t>(data.size()));
        const size_t start = b.size();
        b.insert(b.end(), type, type + 4);
        b.insert(b.end(), data.begin(), data.end());
        be32(b, static_cast<uint32_t>(
                    crc32(0, b.data() + start, static_cast<uInt>(b.size() - start))));
    };
    Bytes header;
    be32(header, width);
    be32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk("IHDR", header);
    Bytes raw;
    for (uint32_t y = 0; y < rows; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), size_t{width} * 3, 0x80);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return b;
}

// A texture whose one image chunk claims `dataSize` bytes and holds `present`.
Bytes MakeTexture(int32_t format, int32_t width, int32_t height, uint32_t dataSize,
                  size_t present) {
    Bytes b = TextureBytes(format, width, height, Bytes(present, 0x40));
    PutLE32(b, 84, dataSize);
    return b;
}

// An E2TF texture whose size table gives each level-0 face `claimed` bytes,
// with `present` bytes of data after it.
Bytes MakeE2TF(const std::string& code, uint32_t width, uint32_t height, uint8_t faces,
               uint32_t claimed, size_t present) {
    E2TFParts p;
    p.code = code, p.width = width, p.height = height, p.type = faces == 6 ? 2 : 0;
    p.levels = {std::vector<Bytes>(faces)};
    p.levels[0][0] = Bytes(present, 0x40);
    Bytes b = E2TFBytes(p);
    const size_t table = code == "ctsa" ? 34 : 32;
    for (size_t f = 0; f < faces; ++f) PutLE32(b, table + 4 * f, claimed);
    return b;
}

TEST(ReaderLimits, AHeaderClaimingAHugePictureInATinyFileFailsWithoutAllocatingIt) {
    [[maybe_unused]] constexpr size_t kBudget = 32u << 20;
    TempDir dir;
#if SKEINPRESS_MEASURES_PEAK_MEMORY
    // The watch itself must notice a real picture's allocation.
    const std::string genuine = dir.File("genuine.tga");
    WriteBytes(genuine, MakeTga(1024, 1024, 24, Bytes(1024 * 1024 * 3, 1)));
    EXPECT_EQ(LoadWithinBudget(genuine, 1u << 20), kLoaded | kOverBudget);
    EXPECT_EQ(LoadWithinBudget(genuine, kBudget), kLoaded);
#endif

    // Each file is refused, within the budget, and safely in its fuzz target.
    auto refused = [&](const std::string& name, const Bytes& bytes) {
        SCOPED_TRACE(name);
        WriteBytes(dir.File(name), bytes);
#if SKEINPRESS_MEASURES_PEAK_MEMORY
        EXPECT_EQ(LoadWithinBudget(dir.File(name), kBudget), 0)
            << "loaded (1), or allocated 32 MB or more (2), for a " << bytes.size() << "-byte file";
#else
        testing_support::TestStore store;
        EXPECT_FALSE(testing_support::Load(store, dir.File(name)));
#endif
        EXPECT_EQ(fuzzing::ExerciseImageFile(dir.File(name)), "");
    };
    // Sides that overflow 32-bit arithmetic when multiplied out.
    refused("huge.bmp", MakeBmp(0x7FFFFFFF, 0x7FFFFFFF, 24, 100));
    refused("most_negative.bmp", MakeBmp(1000, INT32_MIN, 24, 100));
    refused("negative_sides.texture", MakeTexture(0, -8192, -8192, 0, 8));
    refused("chunk_size_wraps.texture", MakeTexture(0, 8192, 8192, 0xFFFFFFF8u, 8));
    for (uint16_t side : {8192, 8193, 65535}) {
        const std::string s = std::to_string(side);
        const uint32_t pixels = uint32_t{side} * side;
        for (int depth : {24, 32, 16})
            refused(s + "_" + std::to_string(depth) + ".tga",
                    MakeTga(side, side, depth, Bytes(82, 7)));
        // A colour-mapped file with no map: 82 index bytes for millions of pixels.
        refused("indexed_" + s + ".tga", MakeTga(side, side, 8, Bytes(82, 7), 0, 1));
        refused("bottom_up_" + s + ".bmp", MakeBmp(side, side, 24, 100));
        refused("top_down_" + s + ".bmp", MakeBmp(side, -side, 32, 100));
        refused("scan_cut_short_" + s + ".jpg", MakeTruncatedJpeg(side, side, 8));
        // One deflated row where every row should be: far too short for the rest.
        refused("one_row_" + s + ".png", MakePng(side, side, 1));
        refused("dxt1_" + s + ".texture", MakeTexture(10, side, side, pixels / 2, 8));
        refused("uncompressed_" + s + ".texture", MakeTexture(0, side, side, pixels * 4, 8));
        refused("e2tf_float_" + s + ".texture",
                MakeE2TF("f4dh", side, side, 1, uint32_t(uint64_t{pixels} * 16), 8));
        refused("e2tf_dxt5_" + s + ".texture", MakeE2TF("5txd", side, side, 1, pixels, 8));
        refused("e2tf_astc_" + s + ".texture", MakeE2TF("ctsa", side, side, 1, pixels, 8));
    }
    // Six faces as wide as a cube map may be, each claiming all its floats.
    refused("e2tf_cube.texture", MakeE2TF("f4dh", 1365, 8192, 6, 1365u * 8192 * 16, 8));
    // JPEGs whose scans, coefficients or work cannot come from their bytes.
    // Those of 1 MB are refused once they have done the work such a file may
    // ask for (jpeg_bomb_bench shows what that costs).
    for (const auto& [name, bomb] : hostile_jpegs::Bombs()) {
        if (name.find("1mb") == std::string::npos) {
            refused(name, hostile_jpegs::MakeBomb(bomb));
            continue;
        }
        WriteBytes(dir.File(name), hostile_jpegs::MakeBomb(bomb));
        testing_support::TestStore store;
        EXPECT_FALSE(testing_support::Load(store, dir.File(name))) << name;
        EXPECT_NE(store.error.find("would cost more time or memory than its 10"), std::string::npos)
            << store.error;
    }
}

TEST(ReaderLimits, SidesUpTo8192AreReadAndLongerOnesRefusedEvenWithAllTheirData) {
    TempDir dir;
    const std::tuple<std::string, Bytes, bool> cases[] = {
        {"wide_8192.tga", MakeTga(8192, 1, 24, Bytes(8192 * 3, 9)), true},
        {"wide_8193.tga", MakeTga(8193, 1, 24, Bytes(8193 * 3, 9)), false},
        {"wide_8192.bmp", MakeBmp(8192, 1, 24, 54 + 8192 * 3), true},
        // 300 zero bytes code every block of these as flat grey.
        {"wide_8192.jpg", MakeTruncatedJpeg(8192, 1, 300), true},
        {"wide_8192.texture", MakeTexture(0, 8192, 1, 8192 * 4, 8192 * 4), true},
        {"wide_8193.texture", MakeTexture(0, 8193, 1, 8193 * 4, 8193 * 4), false},
        {"wide_8192.png", MakePng(8192, 1, 1), true},
        {"wide_8193.png", MakePng(8193, 1, 1), false},
        {"wide_8192_e2tf.texture", MakeE2TF("abgr", 8192, 1, 1, 8192 * 4, 8192 * 4), true},
        {"wide_8193_e2tf.texture", MakeE2TF("abgr", 8193, 1, 1, 8193 * 4, 8193 * 4), false},
    };
    for (const auto& [name, bytes, loads] : cases) {
        SCOPED_TRACE(name);
        WriteBytes(dir.File(name), bytes);
        testing_support::TestStore store;
        EXPECT_EQ(testing_support::Load(store, dir.File(name)), loads) << store.error;
        EXPECT_EQ(fuzzing::ExerciseImageFile(dir.File(name)), "");
    }
}

// A PNG cut short inside its pixels is refused with the reason; one cut after
// them (no end chunk) shows its whole picture.
TEST(ReaderLimits, APngCutShortLoadsOnlyWhenEveryRowIsThere) {
    TempDir dir;
    Bytes noEnd = MakePng(64, 64, 64);
    noEnd.resize(noEnd.size() - 12);
    const std::tuple<std::string, Bytes, std::string> cases[] = {
        {"rows_missing.png", MakePng(64, 64, 63),
         "Couldn't load PNG file \"rows_missing.png\": Not enough image data"},
        {"no_end.png", noEnd, ""},
    };
    for (const auto& [name, bytes, message] : cases) {
        WriteBytes(dir.File(name), bytes);
        testing_support::TestStore store;
        EXPECT_EQ(testing_support::Load(store, dir.File(name)), message.empty()) << name;
        EXPECT_EQ(store.error, message);
    }
}

}  // namespace
