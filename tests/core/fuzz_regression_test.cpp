// Inputs that once broke a reader (tests/fuzz_regressions/<format>/) replayed
// through the fuzz targets' own entry point, and the resource limits every
// reader must hold against headers that lie about the picture's size.
#include <gtest/gtest.h>
#include <sys/resource.h>
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

// Loads the file and tells whether it loaded and whether every single heap
// request stayed under `budget` bytes. Sanitizer builds watch each allocation
// (libjpeg's mallocs included); other builds load in a child process whose
// address space is capped, so that a larger request fails there instead.
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
size_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

BudgetedLoad LoadWithinBudget(const std::string& path, size_t budget) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit cap{AddressSpaceInUse() + budget, RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &cap);
        try {
            core::ImageStore store;
            _exit(core::LoadImage(store, path) ? 1 : 0);
        } catch (...) {
            _exit(2);  // a request over the cap
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    const bool exited = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
    return {exited && WEXITSTATUS(status) == 1, exited};
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
    // Sides that overflow 32-bit arithmetic when multiplied out.
    files.push_back({"huge.bmp", MakeBmp(0x7FFFFFFF, 0x7FFFFFFF, 24, 100)});
    files.push_back({"most_negative.bmp", MakeBmp(1000, INT32_MIN, 24, 100)});
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
        {"wide_8193.bmp", MakeBmp(8193, 1, 24, 54 + 8196 * 3), false},
        {"tall_8193.bmp", MakeBmp(1, -8193, 32, 54 + 8193 * 4), false},
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
