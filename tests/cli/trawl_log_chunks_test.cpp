// A trawl long enough for the log to be written in several chunks while
// conversions are still running: on several workers it holds the same lines,
// in the same order, as one by one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/image_files.h"
#include "tests/support/test_support.h"

namespace {

using namespace testing_support;

TEST(TrawlLogChunks, ManyWorkersLogWhatOneLogs) {
    TempDir work;
    // Three lines or more per file: several hundred lines, in two folders,
    // every third picture uniform (repaired, with lines of its own).
    for (int i = 0; i < 150; ++i)
        WriteImage(
            work.File("route/f" + std::to_string(i % 2) + "/t" + std::to_string(i) + ".texture"), 8,
            8, i % 3 == 0);
    std::vector<std::vector<std::string>> logs;
    for (const char* jobs : {"1", "3"}) {
        TempDir home;
        const auto result = RunCliProgram({"--home", home.path().string(), "trawl", "--quiet",
                                           "--jobs", jobs, work.File("route")});
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<std::string> lines = SplitLines(ReadText(home.File("Trawl_Log.txt")), "\r\n");
        ASSERT_GT(lines.size(), 300u) << jobs;
        lines.erase(lines.begin());  // the header, with the time
        logs.push_back(std::move(lines));
    }
    EXPECT_EQ(logs[0], logs[1]);
}

}  // namespace
