// Inputs that once broke a reader (tests/fuzz_regressions/<format>/) replayed
// through the fuzz targets' own entry point, and the resource limits every
// reader must hold against headers that lie about the picture's size.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/image_store.h"
#include "core/load_image.h"
#include "fuzz/exercise_image.h"
#include "tests/support/test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define SKEINPRESS_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKEINPRESS_TEST_ASAN 1
#endif
#endif

#ifdef SKEINPRESS_TEST_ASAN
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::WriteBytes;

fs::path RegressionFolder() { return fs::path(__FILE__).parent_path().parent_path() / "fuzz_regressions"; }

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it);
         it.increment(error)) {
        if (it->is_regular_file()) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzRegression, EveryImageThatOnceFailedLoadsOrIsRefusedCleanly) {
    ASSERT_TRUE(fs::is_directory(RegressionFolder())) << RegressionFolder();
    for (const char* format : {"tga", "bmp", "jpeg", "texture"}) {
        for (const fs::path& file : FilesIn(RegressionFolder() / format)) {
            SCOPED_TRACE(file.string());
            EXPECT_EQ(fuzzing::ExerciseImageFile(file.string()), "");
        }
    }
}

// ---- Limits -----------------------------------------------------------------

// Loads the file and tells whether it loaded and whether its allocations stayed
// under `budget` bytes. Sanitizer builds watch each heap request (libjpeg's
// mallocs included); other builds load in a child process and compare its peak
// address space before and after.
struct BudgetedLoad {
    bool loaded = false;
    bool withinBudget = false;
};

#ifdef SKEINPRESS_TEST_ASAN
std::atomic<bool> watching{false};
std::atomic<size_t> largestRequest{0};

void NoteAllocation(const volatile void*, size_t size) {
    if (!watching.load(std::memory_order_relaxed)) return;
    size_t seen = largestRequest.load(std::memory_order_relaxed);
    while (size > seen && !largestRequest.compare_exchange_weak(seen, size)) {
    }
}

void IgnoreRelease(const volatile void*) {}

BudgetedLoad LoadWithinBudget(const std::string& path, size_t budget) {
    // The runtime takes the pair only when both hooks are given.
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(NoteAllocation, IgnoreRelease) != 0;
    EXPECT_TRUE(installed);
    core::ImageStore store;
    largestRequest = 0;
    watching = true;
    const bool loaded = core::LoadImage(store, path);
    watching = false;
    return {loaded, largestRequest.load() < budget};
}
#else
// The process's peak address-space size in bytes, from /proc.
size_t PeakAddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string field;
    size_t kilobytes = 0;
    while (status >> field) {
        if (field == "VmPeak:") {
            status >> kilobytes;
            break;
        }
    }
    return kilobytes * 1024;
}

BudgetedLoad LoadWithinBudget(const std::string& path, size_t budget) {
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
            core::ImageStore store;
            loaded = core::LoadImage(store, path);
        } catch (...) {
            _exit(4);
        }
        const bool over = PeakAddressSpace() - start >= budget;
        _exit((loaded ? 1 : 0) | (over ? 2 : 0));
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 3) {
        ADD_FAILURE() << "the load of " << path << " ended abnormally";
        return {};
    }
    return {(WEXITSTATUS(status) & 1) != 0, (WEXITSTATUS(status) & 2) == 0};
}
#endif

constexpr size_t kBudget = 32u << 20;

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A BMP with a 40-byte information header, uncompressed, the pixel data right
// after the headers and the file's length set to `fileSize`.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, int bits, size_t fileSize) {
    std::vector<uint8_t> b(std::max<size_t>(fileSize, 54), 0x5A);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 6, 0);
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint32_t>(bits));
    Put32(b, 30, 0);
    Put32(b, 34, 0);
    for (size_t at : {38, 42, 46, 50}) Put32(b, at, 0);
    return b;
}

// A baseline JPEG of one grey component: quantisation and Huffman tables with
// one-bit codes, the scan header, then `scanBytes` bytes of entropy data and
// no end marker.
std::vector<uint8_t> MakeTruncatedJpeg(uint16_t width, uint16_t height, size_t scanBytes) {
    std::vector<uint8_t> b = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    b.insert(b.end(), 64, 1);
    const uint8_t frame[] = {0xFF, 0xC0, 0x00, 0x0B, 0x08, static_cast<uint8_t>(height >> 8),
                             static_cast<uint8_t>(height), static_cast<uint8_t>(width >> 8),
                             static_cast<uint8_t>(width), 0x01, 0x01, 0x11, 0x00};
    b.insert(b.end(), std::begin(frame), std::end(frame));
    for (uint8_t tableClass : {0x00, 0x10}) {
        const uint8_t table[] = {0xFF, 0xC4, 0x00, 0x14, tableClass, 1, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0, 0x00};
        b.insert(b.end(), std::begin(table), std::end(table));
    }
    const uint8_t scan[] = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00};
    b.insert(b.end(), std::begin(scan), std::end(scan));
    b.insert(b.end(), scanBytes, 0x00);
    return b;
}

// A texture container with a version-259 info block and one image chunk whose
// header claims `dataSize` bytes, followed by `present` bytes of them.
std::vector<uint8_t> MakeTexture(int32_t format, int32_t width, int32_t height, uint32_t dataSize,
                                 size_t present) {
    std::vector<uint8_t> b = {'J', 'I', 'R', 'F', 0, 0, 0, 0, 'M', 'M', 'T', 'F', 'I', 'N', 'F', 'O'};
    auto add32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    add32(60);
    add32(259);
    add32(0);
    add32(1);
    add32(1);
    add32(static_cast<uint32_t>(format));
    add32(static_cast<uint32_t>(width));
    add32(static_cast<uint32_t>(height));
    for (int i = 0; i < 8; ++i) add32(0);
    b.insert(b.end(), {'M', 'M', 'A', 'P'});
    add32(dataSize);
    b.insert(b.end(), present, 0x40);
    return b;
}

struct HostileFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<HostileFile> LyingHeaders() {
    using testing_support::MakeTga;
    std::vector<HostileFile> files;
    for (int side : {8192, 8193, 65535}) {
        const std::string s = std::to_string(side);
        files.push_back({"true_colour_" + s + ".tga", MakeTga(side, side, 24, std::vector<uint8_t>(82, 7))});
        files.push_back({"alpha_" + s + ".tga", MakeTga(side, side, 32, std::vector<uint8_t>(82, 7))});
        files.push_back({"high_colour_" + s + ".tga", MakeTga(side, side, 16, std::vector<uint8_t>(82, 7))});
        // A colour-mapped file with no map: 82 index bytes for millions of pixels.
        files.push_back({"indexed_" + s + ".tga", MakeTga(side, side, 8, std::vector<uint8_t>(82, 7), 0, 1)});
        files.push_back({"bottom_up_" + s + ".bmp", MakeBmp(side, side, 24, 100)});
        files.push_back({"top_down_" + s + ".bmp", MakeBmp(side, -side, 32, 100)});
    }
    for (uint16_t side : {8192, 8193, 65535}) {
        const std::string s = std::to_string(side);
        files.push_back({"header_only_" + s + ".jpg", MakeTruncatedJpeg(side, side, 0)});
        files.push_back({"scan_cut_short_" + s + ".jpg", MakeTruncatedJpeg(side, side, 8)});
        const uint32_t pixels = static_cast<uint32_t>(side) * side;
        files.push_back({"dxt1_" + s + ".texture", MakeTexture(10, side, side, pixels / 2, 8)});
        files.push_back({"dxt5_" + s + ".texture", MakeTexture(12, side, side, pixels, 8)});
        files.push_back({"uncompressed_" + s + ".texture", MakeTexture(0, side, side, pixels * 4, 8)});
    }
    // Sides that overflow 32-bit arithmetic when multiplied out.
    files.push_back({"huge.bmp", MakeBmp(0x7FFFFFFF, 0x7FFFFFFF, 24, 100)});
    files.push_back({"most_negative.bmp", MakeBmp(1000, INT32_MIN, 24, 100)});
    files.push_back({"negative_sides.texture", MakeTexture(0, -8192, -8192, 0, 8)});
    files.push_back({"chunk_size_wraps.texture", MakeTexture(0, 8192, 8192, 0xFFFFFFF8u, 8)});
    return files;
}

TEST(ReaderLimits, AHeaderClaimingAHugePictureInATinyFileFailsWithoutAllocatingIt) {
    TempDir dir;
    // The watch itself must notice a real picture's allocation.
    const std::string genuine = dir.File("genuine.tga");
    WriteBytes(genuine, testing_support::MakeTga(1024, 1024, 24, std::vector<uint8_t>(1024 * 1024 * 3, 1)));
    EXPECT_FALSE(LoadWithinBudget(genuine, 1u << 20).withinBudget);
    EXPECT_TRUE(LoadWithinBudget(genuine, kBudget).loaded);

    for (const HostileFile& file : LyingHeaders()) {
        SCOPED_TRACE(file.name);
        const std::string path = dir.File(file.name);
        WriteBytes(path, file.bytes);
        const BudgetedLoad result = LoadWithinBudget(path, kBudget);
        EXPECT_FALSE(result.loaded);
        EXPECT_TRUE(result.withinBudget) << "allocated 32 MB or more for a " << file.bytes.size()
                                         << "-byte file";
        EXPECT_EQ(fuzzing::ExerciseImageFile(path), "");
    }
}

TEST(ReaderLimits, SidesUpTo8192AreReadAndLongerOnesRefusedEvenWithAllTheirData) {
    using testing_support::MakeTga;
    TempDir dir;
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
        bool loads;
    };
    const std::vector<Case> cases = {
        {"wide_8192.tga", MakeTga(8192, 1, 24, std::vector<uint8_t>(8192 * 3, 9)), true},
        {"wide_8193.tga", MakeTga(8193, 1, 24, std::vector<uint8_t>(8193 * 3, 9)), false},
        {"tall_8193.tga", MakeTga(1, 8193, 32, std::vector<uint8_t>(8193 * 4, 9)), false},
        {"wide_8192.bmp", MakeBmp(8192, 1, 24, 54 + 8192 * 3), true},
        {"wide_8193.bmp", MakeBmp(8193, 1, 24, 54 + 8196 * 3), false},
        {"tall_8193.bmp", MakeBmp(1, -8193, 32, 54 + 8193 * 4), false},
        // 300 zero bytes code every block of these as flat grey.
        {"wide_8192.jpg", MakeTruncatedJpeg(8192, 1, 300), true},
        {"wide_8193.jpg", MakeTruncatedJpeg(8193, 1, 300), false},
        {"tall_8193.jpg", MakeTruncatedJpeg(1, 8193, 300), false},
        {"wide_8192.texture", MakeTexture(0, 8192, 1, 8192 * 4, 8192 * 4), true},
        {"wide_8193.texture", MakeTexture(0, 8193, 1, 8193 * 4, 8193 * 4), false},
        {"dxt1_tall_8192.texture", MakeTexture(10, 4, 8192, 8192 * 2, 8192 * 2), true},
        {"dxt1_tall_8196.texture", MakeTexture(10, 4, 8196, 8196 * 2, 8196 * 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        WriteBytes(path, c.bytes);
        core::ImageStore store;
        const bool loaded = core::LoadImage(store, path);
        EXPECT_EQ(loaded, c.loads) << store.LoadErrorText;
        EXPECT_EQ(fuzzing::ExerciseImageFile(path), "");
    }
}

}  // namespace
