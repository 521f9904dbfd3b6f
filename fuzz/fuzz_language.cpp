// libFuzzer target for the language file: parsing and lookups.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/exercise_language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string scratch = [] {
        static std::string removeAtExit = fuzzing::ScratchFilePath(".txt");
        std::atexit([] { std::remove(removeAtExit.c_str()); });
        return removeAtExit;
    }();
    fuzzing::ExerciseLanguage(data, size, scratch);
    return 0;
}
