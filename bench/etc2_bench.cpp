// ETC2 decoding speed beside DXT1 on a 4096 x 4096 picture, single thread, in
// megapixels per second of processor time (see dxt_bench.cpp). Random blocks
// are mostly individual and differential, with a few of the other modes mixed in
// so that the mode choice cannot be predicted; the planar case has every block
// planar, the slowest mode.
#include <benchmark/benchmark.h>

#include <random>

#include "core/codecs/dxt.h"
#include "core/codecs/etc2.h"
#include "core/image/image_store.h"

namespace {

constexpr int32_t kSide = 4096;

core::ByteBuffer RandomBytes(size_t count) {
    core::ByteBuffer data(count);
    std::mt19937 random(12345);
    for (auto& b : data) b = static_cast<uint8_t>(random());
    return data;
}

core::ByteBuffer Etc2Blocks(bool planar) {
    core::ByteBuffer data = RandomBytes(core::Etc2DataBytes(kSide, kSide));
    if (planar) {
        // Differential with red and green in range and blue leaving 0..31.
        for (size_t i = 0; i < data.size(); i += core::kEtc2BlockBytes) {
            data[i] = static_cast<uint8_t>(0x40 | (data[i] & 0x38));          // red 8..15, +0
            data[i + 1] = static_cast<uint8_t>(0x40 | (data[i + 1] & 0x38));  // green likewise
            data[i + 2] = static_cast<uint8_t>(0xFB);                         // blue 31, +3
            data[i + 3] = static_cast<uint8_t>(data[i + 3] | 2);
        }
    }
    return data;
}

template <class Decode>
void Run(benchmark::State& state, int bytesPerPixel, Decode decode) {
    core::ByteBuffer out(static_cast<size_t>(kSide) * kSide * bytesPerPixel);
    for (auto _ : state) {
        const bool ok = decode(out.data());
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(kSide) * kSide * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_DecodeETC2(benchmark::State& state, bool planar, int bytesPerPixel) {
    const core::ByteBuffer data = Etc2Blocks(planar);
    Run(state, bytesPerPixel, [&](uint8_t* out) {
        return core::DecodeEtc2Blocks(data.data(), data.size(), kSide, kSide, bytesPerPixel, out);
    });
}

void BM_DecodeDXT1(benchmark::State& state, int bytesPerPixel) {
    const core::ByteBuffer data = RandomBytes(static_cast<size_t>(kSide / 4) * (kSide / 4) * 8);
    Run(state, bytesPerPixel, [&](uint8_t* out) {
        return core::DecodeDxtBlocks(core::DxtVariant::DXT1, data.data(), data.size(), kSide, kSide,
                                     bytesPerPixel, out);
    });
}

BENCHMARK_CAPTURE(BM_DecodeDXT1, RGB, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeETC2, RGB, false, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeETC2, RGB_Planar, true, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeDXT1, RGBA, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeETC2, RGBA, false, 4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
