// libFuzzer target for the settings file: parsing, reads, and a write-back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/exercise_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string scratch = [] {
        static std::string removeAtExit = fuzzing::ScratchFilePath(".ini");
        std::atexit([] { std::remove(removeAtExit.c_str()); });
        return removeAtExit;
    }();
    const std::string problem = fuzzing::ExerciseSettings(data, size, scratch);
    if (!problem.empty()) {
        std::fprintf(stderr, "settings broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
