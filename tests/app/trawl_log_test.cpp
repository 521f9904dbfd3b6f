#include <QDate>
#include <QLocale>
#include <filesystem>

#include "tests/app/flow_fixture.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadText;
using testing_support::WriteBytes;

class TrawlLogTest : public flow_testing::FlowTest {
protected:
    void WriteLog(const std::string& text) {
        WriteBytes(app->LogFilePath(), std::vector<uint8_t>(text.begin(), text.end()));
    }
    // The log without its first header line.
    std::string AfterHeader() const {
        const std::string text = LogText();
        return text.substr(text.find("\r\n") + 2);
    }
    // A trawl of a folder holding `files` bitmaps whose option is off.
    void PrepareTrawl(int files) {
        const std::string root = (work.path() / "root").string();
        fs::create_directories(root + "/sub");
        for (int i = 0; i < files; ++i)
            WriteBytes(root + "/sub/f" + std::to_string(i) + ".bmp", {0});
        app->settings().DefaultDir = root;
        app->settings().FixUniformColour = false;
    }
};

TEST_F(TrawlLogTest, HeaderLinesAndAppending) {
    EXPECT_EQ(app->LogFilePath(), home.File("Trawl_Log.txt"));
    WriteLog("earlier\r\n");
    host.memo = {"  not logged"};
    app->WriteLogFile();  // closed: nothing written
    app->OpenLogFile();
    host.memo = {" start", "", "searching x"};
    app->WriteLogFile();
    app->CloseLogFile();
    app->CloseLogFile();
    EXPECT_FALSE(app->LogOpen);

    const std::string text = LogText();
    const std::string prefix = "earlier\r\n----- Trawl Log ------- ";
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    const size_t headerEnd = text.find("\r\n", prefix.size());
    const std::string stamp = text.substr(prefix.size(), headerEnd - prefix.size());
    // The time in the long format, a comma and two blanks, the short date.
    const std::string date =
        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    ASSERT_GT(stamp.size(), date.size() + 3) << stamp;
    EXPECT_EQ(stamp.substr(stamp.size() - date.size() - 3), ",  " + date);
    EXPECT_EQ(text.substr(headerEnd), "\r\n start\r\n\r\nsearching x\r\n");
}

TEST_F(TrawlLogTest, ViewAndDelete) {
    app->ViewLogFile();
    EXPECT_EQ(host.memo, std::vector<std::string>{app->T("message Nothing3")});
    WriteLog("kept\r\n");
    app->ViewLogFile();
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{app->LogFilePath()});

    host.answers = {app::Answer::No, app::Answer::Yes, app::Answer::Yes};
    app->DeleteLog1Click();
    EXPECT_EQ(LogText(), "kept\r\n");
    app->DeleteLog1Click();
    EXPECT_FALSE(fs::exists(app->LogFilePath()));
    app->DeleteLog1Click();  // no log: nothing happens
    EXPECT_EQ(host.confirmations, std::vector<std::string>(3, app->T("dialog Delete")));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(TrawlLogTest, StoppedTrawlLosesNoLine) {
    PrepareTrawl(5);
    app->StartClick();
    Step(6);
    app->bStopClick();
    const std::vector<std::string> first = host.memo;

    // Deleting the log under a stopped trawl closes it; the resume writes the
    // memo into a new log under a new header.
    host.answers = {app::Answer::Yes};
    app->DeleteLog1Click();
    EXPECT_FALSE(app->LogOpen || fs::exists(app->LogFilePath()));
    app->StartClick();
    std::string expected;
    for (const std::string& line : first) expected += line + "\r\n";
    EXPECT_EQ(AfterHeader(), expected);

    // Closing the program during the trawl writes what the memo still holds.
    Step(3);
    for (const std::string& line : host.memo) expected += line + "\r\n";
    app->CloseLogOnExit();
    EXPECT_FALSE(app->LogOpen);
    EXPECT_EQ(AfterHeader(), expected);
}

TEST_F(TrawlLogTest, NextTrawlBeforeTheDelayedCloseGetsItsOwnHeader) {
    PrepareTrawl(1);
    app->StartClick();
    Step();
    ASSERT_TRUE(host.Active(app::TimerId::CloseLog));
    app->StartClick();
    EXPECT_FALSE(host.Active(app::TimerId::CloseLog));
    Step();
    const std::string text = LogText();
    EXPECT_NE(text.find("----- Trawl Log", text.find("----- Trawl Log") + 1), std::string::npos);
    const std::string tail = "  -- " + app->T("message Finished") + " --\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(TrawlLogTest, UnwritableLogIsReportedOnce) {
    fs::create_directories(app->LogFilePath());  // a folder in the log's place
    PrepareTrawl(150);
    app->StartClick();
    Step();
    EXPECT_FALSE(app->TrawlActive);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("Trawl_Log.txt"), std::string::npos);
}

}  // namespace
