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

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> RegressionFiles(const char* parser) {
    const fs::path folder = fs::path(__FILE__).parent_path().parent_path() / "fuzz_regressions" / parser;
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::end(it); it.increment(error)) {
        if (it->is_regular_file()) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzRegression, LanguageFilesThatOnceFailedAreReadSafely) {
    testing_support::TempDir dir;
    for (const fs::path& file : RegressionFiles("language")) {
        SCOPED_TRACE(file.string());
        const std::vector<uint8_t> bytes = testing_support::ReadBytes(file.string());
        fuzzing::ExerciseLanguage(bytes.data(), bytes.size(), dir.File("language.txt"));
    }
}

TEST(FuzzRegression, SettingsFilesThatOnceFailedAreReadAndSavedSafely) {
    testing_support::TempDir dir;
    for (const fs::path& file : RegressionFiles("settings")) {
        SCOPED_TRACE(file.string());
        const std::vector<uint8_t> bytes = testing_support::ReadBytes(file.string());
        EXPECT_EQ(fuzzing::ExerciseSettings(bytes.data(), bytes.size(), dir.File("settings.ini")), "");
    }
}

}  // namespace
