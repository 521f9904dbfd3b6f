// libFuzzer target for one image reader: the input is written to a scratch file
// whose extension (SKEINPRESS_FUZZ_EXTENSION) selects the reader, then loaded
// and drawn.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/exercise_image.h"

#ifndef SKEINPRESS_FUZZ_EXTENSION
#error "SKEINPRESS_FUZZ_EXTENSION must name the extension, e.g. \".tga\""
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        static std::string removeAtExit = fuzzing::ScratchFilePath(SKEINPRESS_FUZZ_EXTENSION);
        std::atexit([] { std::remove(removeAtExit.c_str()); });
        return removeAtExit;
    }();
    if (!fuzzing::WriteScratchFile(path, data, size)) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", path.c_str());
        std::abort();
    }
    const std::string problem = fuzzing::ExerciseImageFile(path);
    if (!problem.empty()) {
        std::fprintf(stderr, "image store broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
