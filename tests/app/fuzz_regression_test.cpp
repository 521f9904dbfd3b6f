// Language and settings files that once broke their parser
// (tests/fuzz_regressions/language/, .../settings/), replayed through the fuzz
// targets' own entry points.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/exercise_language.h"
#include "fuzz/exercise_settings.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Each file of the folder; none while the folder does not exist.
std::vector<fs::path> RegressionFiles(const char* parser) {
    const fs::path folder =
        fs::path(__FILE__).parent_path().parent_path() / "fuzz_regressions" / parser;
    std::error_code error;
    return {fs::directory_iterator(folder, error), fs::directory_iterator{}};
}

TEST(FuzzRegression, LanguageAndSettingsFilesThatOnceFailedAreReadSafely) {
    testing_support::TempDir dir;
    for (const fs::path& file : RegressionFiles("language")) {
        const std::vector<uint8_t> bytes = testing_support::ReadBytes(file.string());
        fuzzing::ExerciseLanguage(bytes.data(), bytes.size(), dir.File("language.txt"));
    }
    for (const fs::path& file : RegressionFiles("settings")) {
        const std::vector<uint8_t> bytes = testing_support::ReadBytes(file.string());
        EXPECT_EQ(fuzzing::ExerciseSettings(bytes.data(), bytes.size(), dir.File("settings.ini")),
                  "")
            << file;
    }
}

}  // namespace
