// What the readers and writers do with what the file system holds besides
// ordinary files: FIFOs and folders named like images, read-only files, the
// leftovers of killed programs; and which writes reach the disk at once.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/io/file_io.h"
#include "tests/support/image_files.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

// Opening a FIFO waits for its other end: no reader may open one at all
// (Windows has no FIFOs among its files). A FIFO as the description beside a
// texture: the trawl's and the command line's tests.
TEST(FileIo, FifosAndFoldersNamedLikeImagesAreRefusedWithoutWaiting) {
    TempDir dir;
    fs::create_directory(dir.File("folder.tga"));
    std::vector<std::string> names = {"folder.tga"};
#if !defined(_WIN32)
    for (const std::string name : {"y.bmp", "y.jpg", "y.tga", "y.texture"}) {
        ASSERT_EQ(::mkfifo(dir.File(name).c_str(), 0644), 0);
        names.push_back(name);
    }
    core::ByteBuffer bytes;
    EXPECT_EQ(core::ReadWholeFile(dir.File("y.tga"), bytes, 100), core::ReadResult::CannotOpen);
#endif
    for (const std::string& name : names) {
        const std::string message = "\"" + name + "\" is not a regular file";
        testing_support::TestStore store;
        FillImage(store.Current, 1, 1, 3, {1, 2, 3});
        EXPECT_FALSE(testing_support::Load(store, dir.File(name)));
        EXPECT_EQ(store.error, message);
    }
    EXPECT_TRUE(fs::is_directory(dir.File("folder.tga")));
#if !defined(_WIN32)
    EXPECT_EQ(fs::status(dir.File("y.tga")).type(), fs::file_type::fifo);
#endif
}

// The mark is the owner's write permission, and it holds for root too; the
// image writers' own targets are the writers test's.
TEST(FileIo, AReadOnlyDescriptionIsNeverReplaced) {
    TempDir dir;
    testing_support::TestStore store;  // as after reading wagon.texture
    FillImage(store.Current, 2, 2, 3, std::vector<uint8_t>(12, 40));
    store.Current.TextureFileName = dir.File("wagon.texture");
    store.Current.Description = {"Primary=wagon.tga"};
    store.Current.HasDescription = true;
    const std::string name = dir.File("wagon.texture.txt");
    WriteBytes(name, {'o', 'l', 'd'});
    MarkReadOnly(name);
    EXPECT_FALSE(testing_support::Save(store, dir.File("wagon.tga")));
    EXPECT_EQ(store.error, "\"wagon.texture.txt\" is read-only");
    EXPECT_EQ(ReadText(name), "old");
    EXPECT_EQ(fs::status(name).permissions() & fs::perms::owner_write, fs::perms::none);
    // No temporary is left: the marked file and wagon.tga.
    EXPECT_EQ(EntriesIn(dir.path().string()), 2);
}

// A read used to lift the mark for its time, so a kill in between left the
// file writable; a change of mode shows in the change time, which only stat
// gives.
TEST(FileIo, ReadingNeverTouchesTheReadOnlyMark) {
    TempDir dir;
    const std::string path = dir.File("locked.tga");
    WriteBytes(path, MakeTga(1, 1, 24, {1, 2, 3}));
    MarkReadOnly(path);
    const fs::perms readOnly = fs::status(path).permissions();
#if !defined(_WIN32)
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // past the clock's tick
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
#endif
    testing_support::TestStore store;
    ASSERT_TRUE(testing_support::Load(store, path));
    EXPECT_EQ(fs::status(path).permissions(), readOnly);
#if !defined(_WIN32)
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(std::pair(after.st_ctim.tv_sec, after.st_ctim.tv_nsec),
              std::pair(before.st_ctim.tv_sec, before.st_ctim.tv_nsec));
#endif
}

// A killed program leaves its named temporary behind; the next write into the
// folder removes it once it is an hour old (a younger one may still be written).
TEST(FileIo, AWriteRemovesTemporariesLeftBehindAnHourAgo) {
    TempDir dir;
    const std::string stale = dir.File("wagon.tga.skeinpress-Ab3dE9");
    const std::string fresh = dir.File("body.tga.skeinpress-Zx81Qa");
    const std::string other = dir.File("notes.skeinpress-old");
    const std::string staleShort = dir.File(".skeinpress-Qw12Er");  // as named today
    for (const std::string& path : {stale, fresh, other, staleShort}) WriteBytes(path, {'t'});
    const fs::file_time_type twoHoursAgo = fs::last_write_time(fresh) - std::chrono::hours(2);
    for (const std::string& path : {stale, other, staleShort})
        fs::last_write_time(path, twoHoursAgo);
    testing_support::TestStore store;
    FillImage(store.Current, 1, 1, 3, {1, 2, 3});
    ASSERT_TRUE(testing_support::Save(store, dir.File("x.tga")));
    EXPECT_FALSE(fs::exists(stale) || fs::exists(staleShort));
    EXPECT_TRUE(fs::exists(fresh) && fs::exists(other));
}

#if !defined(_WIN32)
// A link named as the target is replaced by the new file, whether what it
// leads to is writable, read-only or missing, and that stays as it was. A log
// is never appended through a link. A file the user may not read says so.
TEST(FileIo, LinksAreReplacedNotWrittenThroughAndUnreadableFilesSayWhy) {
    TempDir dir;
    WriteBytes(dir.File("writable.tga"), {'w'});
    WriteBytes(dir.File("readonly.tga"), {'r'});
    MarkReadOnly(dir.File("readonly.tga"));
    for (const std::string leadsTo : {"writable.tga", "readonly.tga", "missing.tga"}) {
        SCOPED_TRACE(leadsTo);
        const std::string link = dir.File("link_to_" + leadsTo);
        fs::create_symlink(leadsTo, link);
        EXPECT_TRUE(core::WriteFileAtomically(link, "new", 3));
        EXPECT_FALSE(fs::is_symlink(link));
        EXPECT_EQ(ReadText(link), "new");
    }
    EXPECT_EQ(ReadText(dir.File("writable.tga")), "w");
    EXPECT_EQ(ReadText(dir.File("readonly.tga")), "r");
    EXPECT_FALSE(fs::exists(dir.File("missing.tga")));

    fs::create_symlink("writable.tga", dir.File("log.txt"));
    core::AppendFile log;
    std::string refusal;
    EXPECT_FALSE(log.Open(dir.File("log.txt"), refusal));
    EXPECT_EQ(refusal, "\"log.txt\" is a symbolic link");

    if (::geteuid() == 0) return;  // root reads everything
    WriteBytes(dir.File("secret.tga"), {'s'});
    fs::permissions(dir.File("secret.tga"), fs::perms::none);
    testing_support::TestStore store;
    EXPECT_FALSE(testing_support::Load(store, dir.File("secret.tga")));
    EXPECT_EQ(store.error, "\"secret.tga\" cannot be opened: Permission denied");
}
#endif

// Only writes made under DurableWrites reach the disk before they take the
// target's name: the file first, then its folder.
TEST(FileIo, OnlyDurableWritesAreFlushed) {
    TempDir dir;
    std::vector<std::string> flushed;
    core::SetFlushObserver([&](const std::string& path) { flushed.push_back(path); });
    testing_support::TestStore store;
    FillImage(store.Current, 1, 1, 3, {1, 2, 3});
    EXPECT_TRUE(testing_support::Save(store, dir.File("derived.tga")));
    EXPECT_TRUE(flushed.empty());
    {
        const core::DurableWrites durable;
        EXPECT_TRUE(testing_support::Save(store, dir.File("saved.tga")));
    }
    core::SetFlushObserver({});
    EXPECT_EQ(flushed, (std::vector<std::string>{dir.File("saved.tga"), dir.path().string()}));
}

}  // namespace
