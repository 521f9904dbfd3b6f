#include "app/platform/platform.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <tuple>

#include "tests/support/test_support.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
namespace platform = app::platform;

#if defined(_WIN32)
// The program's own path as Windows names it: a drive letter and backslashes.
// (That the path is the program's own shows wherever its English.txt is found
// beside it.)
TEST(PlatformTest, TheProgramsPathTheHomeFolderAndTheConfigurationFolderAsWindowsHasThem) {
    EXPECT_TRUE(std::regex_match(platform::ProgramPath(), std::regex(R"([A-Za-z]:\\[^/]+)")))
        << platform::ProgramPath();
    EXPECT_TRUE(fs::is_directory(platform::HomeFolder())) << platform::HomeFolder();
    const ScopedVariable appData("APPDATA", "C:\\Users\\Zoë\\AppData\\Roaming\\");
    EXPECT_EQ(platform::UserConfigFolder(), "C:\\Users\\Zoë\\AppData\\Roaming");
    // Without the variable the shell still knows the roaming folder.
    const ScopedVariable noAppData("APPDATA", std::nullopt);
    EXPECT_TRUE(fs::is_directory(platform::UserConfigFolder())) << platform::UserConfigFolder();
}
#else
TEST(PlatformTest, TheConfigurationFolderFollowsXdgConfigHome) {
    ScopedVariable home("HOME", "/home/zoë/");
    // Relative values are invalid and ignored.
    for (const auto& [value, folder] :
         {std::pair<std::optional<std::string>, std::string>{"/srv/config//", "/srv/config"},
          {"config", "/home/zoë/.config"},
          {std::nullopt, "/home/zoë/.config"}}) {
        ScopedVariable xdg("XDG_CONFIG_HOME", value);
        EXPECT_EQ(platform::UserConfigFolder(), folder);
    }
    EXPECT_EQ(platform::HomeFolder(), "/home/zoë");
    // Without $HOME the password database still names one.
    const ScopedVariable noHome("HOME", std::nullopt);
    EXPECT_TRUE(fs::is_directory(platform::HomeFolder())) << platform::HomeFolder();
}
#endif

TEST(PlatformTest, AWritableFolderIsProbedWithoutTrace) {
    TempDir dir;
    EXPECT_TRUE(platform::FolderIsWritable(dir.path().string()));
    EXPECT_TRUE(fs::is_empty(dir.path()));
    WriteBytes(dir.File("file"), {1});
    EXPECT_FALSE(platform::FolderIsWritable(dir.File("file")));
    EXPECT_FALSE(platform::FolderIsWritable(dir.File("missing")));
    // A folder deep enough to need the long form of its name on Windows (which
    // the test itself must use to make it).
    fs::path deep = dir.path();
    for (int i = 0; i < 6; ++i) deep /= std::string(60, char('a' + i));
    fs::create_directories(SystemPath(deep.string()));
    EXPECT_TRUE(platform::FolderIsWritable(deep.string()));
}

// The null device is a character device like a console, but no terminal.
TEST(PlatformTest, ATerminalIsToldFromAFileAndTheNullDevice) {
    TempDir dir;
#if defined(_WIN32)
    // A console handle says what it is only when it may be read as well.
    std::FILE* terminal = _wfopen(L"CONOUT$", L"w+");
    ASSERT_NE(terminal, nullptr) << "the tests need a console (under Wine: a terminal on "
                                    "standard input)";
    const char* nullDevice = "NUL";
#else
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_TRUE(grantpt(master) == 0 && unlockpt(master) == 0);
    std::FILE* terminal = std::fopen(ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    const char* nullDevice = "/dev/null";
#endif
    std::FILE* plain = std::fopen(dir.File("out.txt").c_str(), "w");
    std::FILE* null = std::fopen(nullDevice, "w");
    EXPECT_EQ(std::make_tuple(platform::IsTerminal(terminal), platform::IsTerminal(plain),
                              platform::IsTerminal(null)),
              std::make_tuple(true, false, false));
    for (std::FILE* stream : {terminal, plain, null}) std::fclose(stream);
#if !defined(_WIN32)
    close(master);
#endif
}

// The moment comes back from the system's clock value, as the log's header
// takes it, and is written as a locale writes it.
TEST(PlatformTest, LocalTimeAndTimeAndDateAsALocaleWritesThem) {
    std::tm local{};  // 14:05:09 on Saturday 5 December 2026
    std::tie(local.tm_year, local.tm_mon, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
             local.tm_isdst) = std::make_tuple(126, 11, 5, 14, 5, 9, -1);
    const std::tm moment = platform::LocalTime(std::mktime(&local));
    EXPECT_EQ(std::make_tuple(moment.tm_year, moment.tm_mon, moment.tm_mday, moment.tm_hour,
                              moment.tm_min, moment.tm_sec),
              std::make_tuple(126, 11, 5, 14, 5, 9));
#if defined(_WIN32)
    EXPECT_EQ(platform::LongTimeText(moment, "en-US"), "2:05:09 PM");
    EXPECT_EQ(platform::ShortDateText(moment, "en-US"), "12/5/2026");
    // An unknown name falls back to the neutral locale.
    EXPECT_EQ(platform::LongTimeText(moment, "xx-nowhere"), "14:05:09");
    EXPECT_EQ(platform::ShortDateText(moment, "xx-nowhere"), "12/05/2026");
#else
    EXPECT_EQ(platform::LongTimeText(moment, "C"), "14:05:09");
    EXPECT_EQ(platform::ShortDateText(moment, "C"), "12/05/26");
    EXPECT_EQ(platform::LongTimeText(moment, "xx_NOWHERE.UTF-8"), "14:05:09");
    // A user's locale that is not installed must not stop the log.
    const ScopedVariable all("LC_ALL", "xx_NOWHERE.UTF-8");
    EXPECT_EQ(platform::LongTimeText(moment), "14:05:09");
    EXPECT_EQ(platform::ShortDateText(moment), "12/05/26");
#endif
}

}  // namespace
