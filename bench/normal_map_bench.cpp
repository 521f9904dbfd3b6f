// Normal map and grey scale of a 4096 x 4096 picture, 3 and 4 bytes per pixel.
// Run with --benchmark_repetitions=N --benchmark_report_aggregates_only=true for medians.
#include <benchmark/benchmark.h>

#include <random>

#include "core/image/image_store.h"
#include "core/ops/normal_map.h"
#include "core/ops/operations.h"

namespace {

constexpr int kSide = 4096;

core::ByteBuffer NoisePixels(int bpp) {
    core::ByteBuffer pixels(static_cast<size_t>(kSide) * kSide * bpp);
    std::mt19937 rng(12345);
    for (auto& b : pixels) b = static_cast<uint8_t>(rng());
    return pixels;
}

void BM_MakeNormalMap(benchmark::State& state) {
    const int bpp = static_cast<int>(state.range(0));
    const core::ByteBuffer source = NoisePixels(bpp);
    core::ByteBuffer work = source;
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(source.begin(), source.end(), work.begin());
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            core::MakeNormalMap(kSide, kSide, static_cast<int32_t>(work.size()), work.data(), 127));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_MakeNormalMap)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GreyScale(benchmark::State& state) {
    const int bpp = static_cast<int>(state.range(0));
    core::ImageStore store;
    store.Current.AdoptPixels(NoisePixels(bpp), kSide, kSide, bpp == 4 ? 1 : 0);
    for (auto _ : state) {
        // Grey scale of a grey picture does the same work, so no refill is needed.
        core::GreyScale(store.Current);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_GreyScale)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
