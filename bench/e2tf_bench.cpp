// Loading a 4096 x 4096 DXT5 texture from the classic container and from the
// E2TF container (each with its smaller mip levels, as real files have them),
// file read included, in megapixels per second of processor time. The two should
// stay within a few per cent of each other: the decoding is the same, only
// the container around it differs. Compare the medians of repeated runs:
//   e2tf_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/formats/load_image.h"
#include "core/image/image_store.h"

namespace {

constexpr uint32_t kSide = 4096;

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
    std::vector<uint8_t> b(n);
    std::mt19937 random(seed);
    for (auto& v : b) v = static_cast<uint8_t>(random());
    return b;
}

size_t Dxt5Bytes(uint32_t side) {
    const size_t blocks = (side + 3) / 4;
    return blocks * blocks * 16;
}

// Level 0 first, then each smaller level down to 1 x 1.
std::vector<std::vector<uint8_t>> Levels(const std::vector<uint8_t>& level0) {
    std::vector<std::vector<uint8_t>> levels = {level0};
    for (uint32_t side = kSide / 2; side >= 1; side /= 2)
        levels.push_back(RandomBytes(Dxt5Bytes(side), side));
    return levels;
}

// One chunk per level, the smallest first: the last chunk is the picture.
std::vector<uint8_t> ClassicTexture(const std::vector<std::vector<uint8_t>>& levels) {
    std::vector<uint8_t> b = {'J', 'I', 'R', 'F', 0,   0,   0,   0,
                              'M', 'M', 'T', 'F', 'I', 'N', 'F', 'O'};
    const auto count = static_cast<uint32_t>(levels.size());
    for (uint32_t v : {60u, 259u, 0u, count, 1u, 12u, kSide, kSide, 0u, 2u, 2u, 0u, 0u, 0u, 0u, 1u})
        Put32(b, v);
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        b.insert(b.end(), {'M', 'M', 'A', 'P'});
        Put32(b, static_cast<uint32_t>(level->size()));
        b.insert(b.end(), level->begin(), level->end());
    }
    return b;
}

std::vector<uint8_t> E2TFTexture(const std::vector<std::vector<uint8_t>>& levels) {
    std::vector<uint8_t> b = {'F', 'T', '2', 'E'};
    for (uint32_t v : {7u, kSide, kSide}) Put32(b, v);
    b.insert(b.end(), {0, static_cast<uint8_t>(levels.size()), 3, 0, 1, 3, 3, 1});
    b.insert(b.end(), {'5', 't', 'x', 'd', 128, 128, 128, 255});
    for (const auto& level : levels) Put32(b, static_cast<uint32_t>(level.size()));
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        b.insert(b.end(), level->begin(), level->end());
    return b;
}

// The two files, written once into a folder removed at exit.
struct BenchFiles {
    std::filesystem::path folder;
    std::string classic, e2tf;
    BenchFiles() {
        folder = std::filesystem::temp_directory_path() /
                 ("skeinpress-e2tf-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        const auto levels = Levels(RandomBytes(Dxt5Bytes(kSide), 12345));
        classic = Write("classic.texture", ClassicTexture(levels));
        e2tf = Write("e2tf.texture", E2TFTexture(levels));
    }
    ~BenchFiles() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

void Load(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        const core::LoadResult read = core::LoadImage(path);
        if (!read) state.SkipWithError(read.failure.Message().c_str());
        benchmark::DoNotOptimize(read.image.Data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(kSide) * kSide * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_LoadClassicDXT5(benchmark::State& state) {
    Load(state, Files().classic);
}
void BM_LoadE2TFDXT5(benchmark::State& state) {
    Load(state, Files().e2tf);
}

BENCHMARK(BM_LoadClassicDXT5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadE2TFDXT5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
