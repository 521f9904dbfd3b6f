// The desktop program run on the command lines the simulator's tools use: it
// converts, writes its settings and log, and exits by itself.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

const fs::path kCorpus = SKEINPRESS_CORPUS_DIR;

// Runs a private copy of the program, so that its own folder (settings, log) is
// the test's. The simulator folders are marked as looked for, as after a first
// run, so no folder picker opens. Returns the exit code, or -1 when it had to
// be killed.
int RunProgram(const fs::path& home, const std::vector<std::string>& args, int timeoutMs = 20000) {
    const std::string settings = "[Paths]\nTS2009_dir=NotFound\nTS2010_dir=NotFound\nTS12_dir=NotFound\n";
    testing_support::WriteBytes((home / "skeinpress.ini").string(), {settings.begin(), settings.end()});
    const fs::path program = home / "skeinpress";
    fs::copy_file(SKEINPRESS_GUI_PATH, program, fs::copy_options::overwrite_existing);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    QStringList arguments;
    for (const auto& arg : args) arguments << QString::fromStdString(arg);
    process.start(QString::fromStdString(program.string()), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The settings file rewritten at exit: it then holds every section.
bool SettingsWritten(const fs::path& home) {
    return testing_support::ReadText((home / "skeinpress.ini").string()).find("[Options]") != std::string::npos;
}

TEST(CommandLine, CloseConvertsOneTextureAndExits) {
    TempDir home, work;
    const fs::path texture = work.path() / "wagon.texture";
    fs::copy_file(kCorpus / "texture/rgba32_photo.texture", texture);

    ASSERT_EQ(RunProgram(home.path(), {"-close", texture.string()}), 0);
    EXPECT_TRUE(fs::exists(work.path() / "wagon.tga"));
    EXPECT_TRUE(fs::exists(work.path() / "wagon.texture.txt"));
    EXPECT_TRUE(SettingsWritten(home.path()));
}

TEST(CommandLine, TrawlCloseFixColourConvertsTheTreeLogsAndExits) {
    TempDir home, work;
    fs::create_directories(work.path() / "sub");
    fs::copy_file(kCorpus / "texture/dxt5_4x4.texture", work.path() / "a.texture");
    fs::copy_file(kCorpus / "texture/rgb24_photo.texture", work.path() / "sub" / "b.texture");

    ASSERT_EQ(RunProgram(home.path(), {"-trawl", "-close", "-fixcolour", work.path().string()}), 0);
    EXPECT_TRUE(fs::exists(work.path() / "a.tga"));
    EXPECT_TRUE(fs::exists(work.path() / "sub" / "b.tga"));
    EXPECT_TRUE(fs::exists(home.path() / "Trawl_Log.txt"));
    EXPECT_TRUE(SettingsWritten(home.path()));
}

}  // namespace
