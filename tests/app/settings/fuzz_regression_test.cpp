// Language and settings files that once broke their parser
// (tests/fuzz_regressions/language/, .../settings/), replayed through the fuzz
// targets' own entry points.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/exercise_language.h"
#include "fuzz/exercise_settings.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

TEST(FuzzRegression, LanguageAndSettingsFilesThatOnceFailedAreReadSafely) {
    TempDir dir;
    for (const std::string parser : {"language", "settings"}) {
        // Each folder must hold at least one file.
        const fs::path folder = fs::path(SKEINPRESS_FUZZ_REGRESSIONS_DIR) / parser;
        EXPECT_FALSE(fs::is_empty(folder)) << folder;
        for (const fs::path& file : fs::directory_iterator(folder)) {
            const std::vector<uint8_t> bytes = ReadBytes(file.string());
            if (parser == "language")
                fuzzing::ExerciseLanguage(bytes.data(), bytes.size(), dir.File("language.txt"));
            else
                EXPECT_EQ(fuzzing::ExerciseSettings(bytes.data(), bytes.size(), dir.File("a.ini")),
                          "")
                    << file;
        }
    }
}

}  // namespace
