// How long the desktop program takes from a chosen file to its picture on
// screen: a 4096 x 4096 DXT5 texture with graded alpha opened through the main
// window's own open path (read, decode, render both panes, scale them into
// their boxes) and the window then painted, on Qt's offscreen platform. Wall
// time, since part of the work may run beside the user-interface thread.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ui/windows/main_window.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kSide = 4096;
constexpr uint32_t kFormatDXT5 = 12;

// A version-259 texture container with one DXT5 chunk of pseudo-random blocks:
// no palette repeats, every index pattern occurs, and the alpha is graded.
std::vector<char> Dxt5Texture() {
    std::vector<char> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
    };
    auto text = [&](const char* t) {
        out.insert(out.end(), t, t + std::char_traits<char>::length(t));
    };
    const uint32_t dataSize = (kSide / 4) * (kSide / 4) * 16;
    text("JIRF");
    put32(0);
    text("MMTFINFO");
    for (uint32_t v :
         {60u, 259u, 0u, 1u, 1u, kFormatDXT5, kSide, kSide, 0u, 2u, 2u, 0u, 0u, 0u, 0u, 0u})
        put32(v);
    text("MMAP");
    put32(dataSize);
    std::mt19937 random(12345);
    for (uint32_t i = 0; i < dataSize; ++i) out.push_back(static_cast<char>(random()));
    return out;
}

struct Folder {
    Folder() : path(fs::temp_directory_path() / ("skeinpress-bench-" + std::to_string(getpid()))) {
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    fs::path path;
};

void BM_OpenDxt5TextureInWindow(benchmark::State& state) {
    Folder folder;
    const std::string texture = (folder.path / "big.texture").string();
    {
        const std::vector<char> bytes = Dxt5Texture();
        std::ofstream(texture, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    }
    ui::MainWindow window(folder.path.string() + "/", (folder.path / "skeinpress").string(), "");
    window.host().StopTimer(app::TimerId::OpenWithSetup);
    window.show();
    QApplication::processEvents();
    app::Application& application = window.application();
    for (auto _ : state) {
        // File > Open after the dialog: reopening the current file runs the same view.
        application.settings().CurrentFile = texture;
        application.view().ReopenCurrent();
        QImage painted = window.grab().toImage();
        benchmark::DoNotOptimize(painted.constBits());
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (!application.view().Store().Loaded()) state.SkipWithError("the texture did not load");
}

BENCHMARK(BM_OpenDxt5TextureInWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
