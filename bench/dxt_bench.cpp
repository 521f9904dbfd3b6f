// DXT decoding speed on a 4096 x 4096 picture, single thread, in megapixels per
// second of processor time (the machines this runs on are shared, so processor
// time is steadier than wall time; run on an idle machine to compare the two). The block data is
// pseudo-random, so no palette repeats from block to block and every index pattern occurs: the
// worst case for the decoder.
#include <benchmark/benchmark.h>

#include <random>

#include "core/codecs/dxt.h"
#include "core/image/image_store.h"

namespace {

constexpr int32_t kSide = 4096;

core::ByteBuffer RandomBlocks(core::DxtVariant variant) {
    const size_t blocks = static_cast<size_t>(kSide / 4) * (kSide / 4);
    core::ByteBuffer data(blocks * core::DxtBlockBytes(variant));
    std::mt19937 random(12345);
    for (auto& b : data) b = static_cast<uint8_t>(random());
    return data;
}

void DecodeInto(benchmark::State& state, core::DxtVariant variant, int bytesPerPixel) {
    const core::ByteBuffer data = RandomBlocks(variant);
    core::ByteBuffer out(static_cast<size_t>(kSide) * kSide * bytesPerPixel);
    for (auto _ : state) {
        const bool ok = core::DecodeDxtBlocks(variant, data.data(), data.size(), kSide, kSide,
                                              bytesPerPixel, out.data());
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(kSide) * kSide * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_DecodeDXT1_RGB(benchmark::State& s) {
    DecodeInto(s, core::DxtVariant::DXT1, 3);
}
void BM_DecodeDXT1_RGBA(benchmark::State& s) {
    DecodeInto(s, core::DxtVariant::DXT1, 4);
}
void BM_DecodeDXT3(benchmark::State& s) {
    DecodeInto(s, core::DxtVariant::DXT3, 4);
}
void BM_DecodeDXT5(benchmark::State& s) {
    DecodeInto(s, core::DxtVariant::DXT5, 4);
}

// The whole store-level call, including allocating the fresh picture each time.
void BM_DecodeDXT5_IntoStore(benchmark::State& state) {
    const core::ByteBuffer data = RandomBlocks(core::DxtVariant::DXT5);
    for (auto _ : state) {
        core::ImageStore store;
        const bool ok = core::DecodeDXT5(store.Current, data.data(), data.size(), kSide, kSide);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(kSide) * kSide * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_DecodeDXT1_RGB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDXT1_RGBA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDXT3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDXT5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDXT5_IntoStore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
