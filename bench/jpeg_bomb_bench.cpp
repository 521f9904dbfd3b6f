// What the hostile JPEG files cost the reader: each is loaded in a child
// process of its own, which reports the wall time and the peak resident size.
// No file under 1 MB should cost more than 2 s or 300 MB. POSIX only.
// Usage: jpeg_bomb_bench [folder to write the files to, default /tmp]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/hostile_jpegs.h"
#include "core/formats/load_image.h"

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    std::printf("%-42s %9s %7s %8s %9s\n", "file", "bytes", "result", "seconds", "peak MB");
    for (const auto& [name, bomb] : hostile_jpegs::Bombs()) {
        const std::string path = folder + "/" + name;
        const auto bytes = hostile_jpegs::MakeBomb(bomb);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            _exit(core::LoadImage(path) ? 0 : 1);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const char* result = !WIFEXITED(status)         ? "crashed"
                             : WEXITSTATUS(status) == 0 ? "loaded"
                                                        : "refused";
        std::printf("%-42s %9zu %7s %8.2f %9.1f\n", name.c_str(), bytes.size(), result, seconds,
                    static_cast<double>(usage.ru_maxrss) / 1024.0);
        std::remove(path.c_str());
    }
    return 0;
}
