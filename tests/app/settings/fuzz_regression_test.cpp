// Language and settings files that once broke their parser
// (tests/fuzz_regressions/language/, .../settings/), replayed through the fuzz
// targets' own entry points.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/exercise_language.h"
#include "fuzz/exercise_settings.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

// Each file of the parser's folder, which must hold at least one.
std::vector<fs::path> RegressionFiles(const char* parser) {
    const fs::path folder = fs::path(SKEINPRESS_FUZZ_REGRESSIONS_DIR) / parser;
    std::error_code error;
    std::vector<fs::path> files(fs::directory_iterator(folder, error), fs::directory_iterator{});
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty()) << folder << " holds nothing to replay";
    return files;
}

TEST(FuzzRegression, LanguageFilesThatOnceFailedAreReadSafely) {
    TempDir dir;
    for (const fs::path& file : RegressionFiles("language")) {
        SCOPED_TRACE(file.string());
        const std::vector<uint8_t> bytes = ReadBytes(file.string());
        fuzzing::ExerciseLanguage(bytes.data(), bytes.size(), dir.File("language.txt"));
    }
}

TEST(FuzzRegression, SettingsFilesThatOnceFailedAreReadSafely) {
    TempDir dir;
    for (const fs::path& file : RegressionFiles("settings")) {
        const std::vector<uint8_t> bytes = ReadBytes(file.string());
        EXPECT_EQ(fuzzing::ExerciseSettings(bytes.data(), bytes.size(), dir.File("settings.ini")),
                  "")
            << file;
    }
}

}  // namespace
