// skeinpress-cli started from Explorer: a dropped file or folder, a
// double-click, and the window that must stay open to be read.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands/explorer_start.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

TEST(ExplorerStart, LoneArgumentBecomesACommand) {
    TempDir dir;
    WriteBytes(dir.File("wagon.texture"), {1, 2, 3});
    WriteBytes(dir.File("route/a.tga"), {1});
    using Args = std::vector<std::string>;
    const struct {
        Args given, expected;
    } cases[] = {
        {{dir.File("wagon.texture")}, {"convert", dir.File("wagon.texture")}},
        {{dir.File("route")}, {"trawl", dir.File("route")}},
        {{dir.File("missing.texture")}, {dir.File("missing.texture")}},
        {{"paths"}, {"paths"}},
        {{"--help"}, {"--help"}},
        {{}, {}},
        {{dir.File("route"), dir.File("wagon.texture")},
         {dir.File("route"), dir.File("wagon.texture")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::CommandForLoneArgument(c.given), c.expected)
            << testing::PrintToString(c.given);
}

TEST(ExplorerStart, ExplainsAndWaitsOnlyInAConsoleOfItsOwn) {
    const struct {
        std::vector<std::string> args;
        bool ownsConsole;
        int status;
        const char* out;  // a text the output must hold
        bool waits;
    } cases[] = {
        {{}, true, cli::kExitOk, "drop a folder on skeinpress-cli.exe", true},
        {{}, false, cli::kExitUsage, "", false},
        {{"frobnicate"}, true, cli::kExitUsage, "", true},
        {{"frobnicate"}, false, cli::kExitUsage, "", false},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        std::istringstream in("\n");
        EXPECT_EQ(cli::RunFromDesktop(c.args, {out, err}, in, c.ownsConsole), c.status)
            << testing::PrintToString(c.args) << c.ownsConsole;
        EXPECT_TRUE(Contains(out.str(), c.out)) << out.str();
        EXPECT_EQ(static_cast<bool>(Contains(out.str(), "Press Enter")), c.waits) << out.str();
        EXPECT_EQ(in.tellg() != 0, c.waits);
    }
}

}  // namespace
