#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "tests/support/fake_host.h"
#include "tests/support/test_support.h"

#if defined(_WIN32)
#include <windows.h>
#endif

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
// As Windows names the running program: drive letter, backslashes, and a
// letter outside ASCII, which the batch file must carry in the console's code
// page.
const std::string kProgram = "C:\\Program Files\\Zügel\\skeinpress.exe";

// The batch file's text as the command interpreter reads it, as UTF-8.
std::string BatchText(const std::string& path) {
    const std::string bytes = ReadText(path);
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_OEMCP, 0, bytes.data(),
                                                        static_cast<int>(bytes.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    const std::u8string utf8 = fs::path(wide).u8string();
    return std::string(utf8.begin(), utf8.end());
}
#else
const std::string kProgram = "/opt/skeinpress/bin/skeinpress";

std::string BatchText(const std::string& path) {
    return ReadText(path);
}
#endif

const std::string kBatch = "@echo off\r\n\"" + kProgram + "\" -trawl -close -fixcolour %1%\r\n";

struct OpenWithTest : ::testing::Test {
    TempDir drive;  // stands for the C: drive
    FakeHost host;
    app::Application app{host};

    OpenWithTest() {
        app.Start(drive.File("home"), kProgram);
        app.openWith().LookOnDrive(drive.path().string());
        std::vector<std::string> lines{"message Failed|failed", "message MacrosRemoved|removed"};
        for (const char* edition : {"2009", "2010", "12"})
            for (char letter : std::string("abcde"))
                lines.push_back(std::string("message Locate") + edition + letter + "|" + edition +
                                letter);
        app.language().SetLines(lines);
    }
    // An install folder below the drive with the simulator's tools folder, as
    // the system names it (backslashes on Windows).
    std::string Install(const std::string& below) {
        fs::create_directories(drive.path() / below / "bin" / "CMPData" / "Tools");
        return (drive.path() / below).make_preferred().string();
    }
    static std::string BatchOf(const std::string& install) {
        return install + "/bin/CMPData/Tools/OpenWith/Skeinpress.bat";
    }
};

TEST_F(OpenWithTest, FindsAsksWritesFailsAndRemoves) {
    const std::string ts12 =
        Install("Program Files (x86)/N3V Games/TS12");  // the last TS12 candidate
    app.openWith().Install();                           // both pickers cancelled
    EXPECT_EQ(host.memo, (std::vector<std::string>{" 2009a", " 2009b", " 2009c", "", "", " 2010a",
                                                   " 2010b", " 2010c", " 12e"}));
    EXPECT_EQ(host.folderPickCaptions, (std::vector<std::string>{"2009d\r2009c", "2010d\r2010c"}));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);
    EXPECT_EQ(BatchText(BatchOf(ts12)), kBatch);

    // Chosen again: 2009 picked, 2010 picked without a tools folder (silently
    // not found), TS12's "OpenWith" now a file, where nothing can be written.
    const std::string chosen2009 = Install("Games/Trainz 2009");
    fs::create_directories(drive.path() / "Elsewhere");
    fs::remove_all(ts12 + "/bin/CMPData/Tools/OpenWith");
    WriteBytes(ts12 + "/bin/CMPData/Tools/OpenWith", {1});
    host.folderPicks = {chosen2009, (drive.path() / "Elsewhere").string()};
    app.openWith().InstallAgain();
    EXPECT_EQ(app.settings().TS2009Dir, chosen2009);
    EXPECT_EQ(BatchText(BatchOf(chosen2009)), kBatch);
    EXPECT_EQ(app.settings().TS2010Dir, "NotFound");
    EXPECT_EQ(host.messages, std::vector<std::string>{"Could not create file \"Skeinpress.bat\""});
    EXPECT_EQ(host.memo.back(), " failed");

    // Removal names the editions whose batch file it deleted.
    app.openWith().Remove();
    EXPECT_EQ(host.memo, std::vector<std::string>{"   TS2009 removed"});
    EXPECT_FALSE(fs::exists(BatchOf(chosen2009)));
    EXPECT_EQ(app.settings().TS2009Dir, "NotFound");
    EXPECT_EQ(app.settings().TS12Dir, ts12);  // nothing of it removed: kept
}

}  // namespace
