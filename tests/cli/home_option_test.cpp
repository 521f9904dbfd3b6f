#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::RunCliProgram;
using testing_support::TempDir;

TEST(HomeOptionTest, ParsedBeforeTheCommand) {
    std::ostringstream err;
    cli::Options options;
    std::vector<std::string> args{"--home", "/data/sp", "convert", "--home", "x"};
    ASSERT_TRUE(cli::ParseGlobalOptions(args, options, err));
    EXPECT_EQ(options.home, "/data/sp");
    EXPECT_EQ(args, (std::vector<std::string>{"convert", "--home", "x"}));  // the command's own

    args = {"--home=/other", "info"};
    ASSERT_TRUE(cli::ParseGlobalOptions(args, options, err));
    EXPECT_EQ(options.home, "/other");

    for (std::vector<std::string> bad : {std::vector<std::string>{"--home"}, {"--home", ""}, {"--home="}}) {
        EXPECT_FALSE(cli::ParseGlobalOptions(bad, options, err));
    }
    std::ostringstream out;
    EXPECT_EQ(cli::RunCli({"--home"}, {out, err}), cli::kExitUsage);
}

TEST(HomeOptionTest, ProgramUsesTheGivenFolder) {
    TempDir dir;
    const std::string home = dir.File("fresh/home");
    const auto first = RunCliProgram({"--home", home, "paths"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(std::filesystem::is_directory(home));
    EXPECT_NE(first.out.find(home + "/skeinpress.ini"), std::string::npos) << first.out;

    // The language named by that folder's settings file is looked for there first.
    std::ofstream(home + "/skeinpress.ini") << "[File]\nLanguage=Mine.txt\n";
    std::ofstream(home + "/Mine.txt") << "menu File|Mine\n";
    const auto second = RunCliProgram({"--home", home, "paths"});
    EXPECT_NE(second.out.find(home + "/Mine.txt"), std::string::npos) << second.out;

    const auto blocked = RunCliProgram({"--home", home + "/Mine.txt/sub", "paths"});
    EXPECT_EQ(blocked.status, cli::kExitFailed);
}

}  // namespace
