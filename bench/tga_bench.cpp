// TGA load and save of a 4096 x 4096 32-bit image, beside a plain copy of the
// same bytes (read the file, write it elsewhere) as the floor to compare with.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/file_io.h"

namespace {

constexpr int kSide = 4096;

std::string Scratch(const char* name) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "skeinpress-bench";
        std::filesystem::create_directories(d);
        return d;
    }();
    return (dir / name).string();
}

core::Image& Picture() {
    static core::Image picture = [] {
        core::Image s;
        core::ByteBuffer px(static_cast<size_t>(kSide) * kSide * 4);
        for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
        s.AdoptPixels(std::move(px), kSide, kSide, 1);
        return s;
    }();
    return picture;
}

const std::string& SourceFile() {
    static const std::string path = [] {
        std::string p = Scratch("source.tga");
        core::SaveImage(Picture(), p);
        return p;
    }();
    return path;
}

void BM_TgaSave(benchmark::State& state) {
    const std::string target = Scratch("saved.tga");
    for (auto _ : state) {
        if (core::SaveImage(Picture(), target)) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Picture().DataSize()));
}

void BM_TgaLoad(benchmark::State& state) {
    const std::string& source = SourceFile();
    for (auto _ : state) {
        const core::LoadResult read = core::LoadImage(source);
        if (!read) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(read.image.Data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Picture().DataSize()));
}

void BM_PlainCopy(benchmark::State& state) {
    const std::string& source = SourceFile();
    const std::string target = Scratch("copied.tga");
    core::ByteBuffer bytes;
    for (auto _ : state) {
        core::ReadWholeFile(source, bytes, 1ull << 31);
        if (!core::WriteFileAtomically(target, bytes.data(), bytes.size()))
            state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Picture().DataSize()));
}

BENCHMARK(BM_TgaLoad)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TgaSave)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
