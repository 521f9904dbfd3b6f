// Every writer of the format table against targets that refuse: a read-only
// file, a folder, a FIFO, and a disk that fills half-way. Each names the
// target in the same words and leaves what was there as it was.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>

#include "core/formats/format_table.h"
#include "core/formats/save_image.h"
#include "tests/core/formats/reader_checks.h"
#include "tests/support/e2tf_files.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

class Writer : public testing::TestWithParam<const core::FormatRow*> {
protected:
    // A 16 x 16 floating-point texture, which every writer takes (HDR only such).
    void SetUp() override {
        E2TFParts p;
        p.code = "f4dh", p.width = p.height = 16;
        p.levels = {{NoiseBytes(16 * 16 * 16, 3)}};
        ASSERT_TRUE(reader_checks::LoadBytes(store, E2TFBytes(p), "f.texture")) << store.error;
        store.Current.TextureFileName.clear();  // no description beside the TGA here
    }
    std::string Target(const std::string& stem) const {
        return dir.File(stem + std::string(GetParam()->extension));
    }
    TempDir dir;
    testing_support::TestStore store;
};

TEST_P(Writer, WritesAndRefusesEveryTargetInTheSameWords) {
    ASSERT_TRUE(testing_support::Save(store, Target("fine"))) << store.error;

    const std::string readOnly = Target("locked");
    WriteBytes(readOnly, {'o', 'l', 'd'});
    MarkReadOnly(readOnly);
    EXPECT_FALSE(testing_support::Save(store, readOnly));
    EXPECT_EQ(store.error, "\"" + fs::path(readOnly).filename().string() + "\" is read-only");
    EXPECT_EQ(ReadText(readOnly), "old");

    // A folder, or a FIFO (whose open would wait) where the system has them.
    fs::create_directory(Target("folder"));
    MakeNoRegularFile(Target("fifo"));
    for (const std::string& odd : {Target("folder"), Target("fifo")}) {
        EXPECT_FALSE(testing_support::Save(store, odd));
        EXPECT_EQ(store.error,
                  "\"" + fs::path(odd).filename().string() + "\" is not a regular file");
    }
    EXPECT_EQ(EntriesIn(dir.path().string()), 4);  // no temporary left behind
}

#if !defined(_WIN32)
// No file may grow past 100 bytes, as on a full disk: the write fails half-way
// (this holds for root too, unlike a read-only folder).
TEST_P(Writer, AWriteFailingHalfWayKeepsTheOldFile) {
    const std::string target = Target("keep");
    WriteBytes(target, {'o', 'l', 'd'});
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = testing_support::Save(store, target);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(store.error, core::ErrorMessage(GetParam()->cannotWrite, target));
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(EntriesIn(dir.path().string()), 1);
}
#endif

std::vector<const core::FormatRow*> WrittenFormats() {
    std::vector<const core::FormatRow*> rows;
    for (const core::FormatRow& row : core::Formats())
        if (row.write) rows.push_back(&row);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(FormatTable, Writer, testing::ValuesIn(WrittenFormats()),
                         [](const auto& info) {
                             return std::string(info.param->extension.substr(1));
                         });

}  // namespace
