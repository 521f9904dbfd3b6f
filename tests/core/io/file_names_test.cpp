// Names as users have them: letters beyond ASCII in a file and its folder,
// paths longer than Windows takes in their plain form, and (on Windows) a
// target that another program holds open.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/file_io.h"
#include "tests/support/image_files.h"
#include "tests/support/test_store.h"
#include "tests/support/test_support.h"

#if defined(_WIN32)
#include <windows.h>
// The system's LoadImage macro would rename core's.
#undef LoadImage

#include "core/io/wide_names.h"
#endif

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

const std::string kSeparator(1, static_cast<char>(fs::path::preferred_separator));

TEST(FileNames, LettersBeyondAsciiInTheFileAndItsFolder) {
    TempDir dir;
    const std::string folder = dir.path().string() + kSeparator + "Страница";
    ASSERT_TRUE(fs::create_directory(SystemPath(folder)));
    const std::string texture = folder + kSeparator + "Güterwagen_Dach.texture";
    WriteImage(texture, 4, 2, false, true);

    testing_support::TestStore store;
    ASSERT_TRUE(core::IsFile(texture) && core::IsFolder(folder));
    ASSERT_TRUE(testing_support::Load(store, texture)) << store.error;
    ASSERT_TRUE(testing_support::Save(store, folder + kSeparator + "Güterwagen_Dach.tga"))
        << store.error;
    EXPECT_TRUE(fs::is_regular_file(SystemPath(folder + kSeparator + "Güterwagen_Dach.tga")));
    EXPECT_EQ(SplitLines(ReadText(texture + ".txt"), "\r\n").at(0), "Primary=Güterwagen_Dach.tga");

    // Messages name the file as it is called.
    EXPECT_FALSE(testing_support::Load(store, folder + kSeparator + "Übersicht.tga"));
    EXPECT_EQ(store.error, "File not found : \"Übersicht.tga\"");
}

// A name of 250 bytes, near the file system's limit of 255, is replaced too:
// the temporary beside it must not be named longer than the limit.
TEST(FileNames, PathsLongerThanWindowsTakesInTheirPlainFormAndNamesNearTheLimit) {
    TempDir dir;
    std::string folder = dir.path().string();
    for (char c = 'a'; c < 'f'; ++c) folder += kSeparator + std::string(60, c);
    fs::create_directories(SystemPath(folder));
    for (const std::string& name : {std::string("long.tga"), std::string(246, 'n') + ".tga"}) {
        const std::string target = folder + kSeparator + name;
        ASSERT_GT(target.size(), 300u);
        testing_support::TestStore store;
        const std::vector<uint8_t> pixels = TestPixels(3, 2, false, false);
        FillImage(store.Current, 3, 2, 3, pixels);
        ASSERT_TRUE(testing_support::Save(store, target)) << store.error;
        ASSERT_TRUE(testing_support::Save(store, target)) << store.error;  // over itself
        EXPECT_TRUE(core::IsFile(target) && core::IsFolder(folder));
        testing_support::TestStore back;
        ASSERT_TRUE(testing_support::Load(back, target)) << back.error;
        EXPECT_EQ(back.Current.Pixels, store.Current.Pixels);
        fs::remove(SystemPath(target));
        EXPECT_EQ(EntriesIn(folder), 0);
    }
}

#if defined(_WIN32)
// A program that holds a file open without letting others delete it keeps it
// from being replaced: the save fails and the file stays whole. (POSIX
// systems replace such a file; its reader keeps the old content.)
TEST(FileNames, ATargetHeldOpenIsLeftWhole) {
    TempDir dir;
    const std::string target = dir.File("held.tga");
    WriteBytes(target, {'o', 'l', 'd'});
    const HANDLE holder = CreateFileW(core::SystemName(target).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    testing_support::TestStore store;
    FillImage(store.Current, 2, 2, 3, std::vector<uint8_t>(12, 5));
    const bool saved = testing_support::Save(store, target);
    CloseHandle(holder);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(store.error.empty());
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(EntriesIn(dir.path().string()), 1);
}
#endif

}  // namespace
