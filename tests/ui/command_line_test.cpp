// The desktop program run on the command lines the simulator's tools use: it
// converts, writes its settings and log, and exits by itself.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

const fs::path kCorpus = SKEINPRESS_CORPUS_DIR;

// Runs a private copy of the program, so that its own folder (settings, log) is
// the test's. The simulator folders are marked as looked for, as after a first
// run, so no folder picker opens. Returns the exit code, or -1 when it had to
// be killed. Afterwards the settings file is expected rewritten in full.
int RunProgram(const fs::path& home, const QStringList& arguments) {
    const std::string settings = "[Paths]\nTS2009_dir=NotFound\nTS2010_dir=NotFound\nTS12_dir=NotFound\n";
    testing_support::WriteBytes((home / "skeinpress.ini").string(), {settings.begin(), settings.end()});
    fs::copy_file(SKEINPRESS_GUI_PATH, home / "skeinpress");
    QProcess process;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    process.start(QString::fromStdString((home / "skeinpress").string()), arguments);
    if (!process.waitForFinished(20000)) process.kill(), process.waitForFinished();
    EXPECT_NE(testing_support::ReadText((home / "skeinpress.ini").string()).find("[Options]"), std::string::npos);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST(CommandLine, CloseAndTrawlCloseConvertAndExit) {
    TempDir home, trawlHome, work;
    fs::create_directories(work.path() / "tree/sub");
    fs::copy_file(kCorpus / "texture/rgba32_photo.texture", work.path() / "wagon.texture");
    ASSERT_EQ(RunProgram(home.path(), {"-close", QString::fromStdString(work.File("wagon.texture"))}), 0);
    EXPECT_TRUE(fs::exists(work.path() / "wagon.tga") && fs::exists(work.path() / "wagon.texture.txt"));

    fs::copy_file(kCorpus / "texture/dxt5_4x4.texture", work.path() / "tree/a.texture");
    fs::copy_file(kCorpus / "texture/rgb24_photo.texture", work.path() / "tree/sub/b.texture");
    const QStringList trawl = {"-trawl", "-close", "-fixcolour", QString::fromStdString(work.File("tree"))};
    ASSERT_EQ(RunProgram(trawlHome.path(), trawl), 0);
    EXPECT_TRUE(fs::exists(work.path() / "tree/a.tga") && fs::exists(work.path() / "tree/sub/b.tga"));
    EXPECT_TRUE(fs::exists(trawlHome.path() / "Trawl_Log.txt"));
}

}  // namespace
