#include <QDate>
#include <QLocale>
#include <filesystem>

#include "tests/app/flow_fixture.h"

namespace {

using testing_support::ReadText;
using testing_support::WriteBytes;

class TrawlLogTest : public flow_testing::FlowTest {
protected:
    void WriteLogText(const std::string& text) {
        WriteBytes(app->LogFilePath(), std::vector<uint8_t>(text.begin(), text.end()));
    }
};

TEST_F(TrawlLogTest, HeaderLinesAndAppending) {
    EXPECT_EQ(app->LogFilePath(), home.File("Trawl_Log.txt"));
    WriteLogText("earlier trawl\r\n");
    // Nothing is written while the log is closed.
    host.memo = {"  not logged"};
    app->WriteLogFile();
    EXPECT_EQ(ReadText(app->LogFilePath()), "earlier trawl\r\n");

    app->OpenLogFile();
    EXPECT_TRUE(app->LogOpen);
    host.memo = {" start", "", "searching x"};
    app->WriteLogFile();
    app->CloseLogFile();
    EXPECT_FALSE(app->LogOpen);
    app->CloseLogFile();  // closing twice is harmless

    const std::string text = ReadText(app->LogFilePath());
    const std::string prefix = "earlier trawl\r\n----- Trawl Log ------- ";
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    const size_t headerEnd = text.find("\r\n", prefix.size());
    ASSERT_NE(headerEnd, std::string::npos);
    const std::string stamp = text.substr(prefix.size(), headerEnd - prefix.size());
    // Time in the long format, a comma and two blanks, the date in the short format.
    const std::string date =
        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    const size_t comma = stamp.rfind(",  ");
    ASSERT_NE(comma, std::string::npos) << stamp;
    EXPECT_GT(comma, 0u);
    EXPECT_EQ(stamp.substr(comma + 3), date);
    EXPECT_EQ(text.substr(headerEnd), "\r\n start\r\n\r\nsearching x\r\n");
}

TEST_F(TrawlLogTest, ViewAndDelete) {
    app->ViewLogFile();
    EXPECT_EQ(host.memo, std::vector<std::string>{app->T("message Nothing3")});
    EXPECT_TRUE(host.openedDocuments.empty());

    WriteLogText("kept\r\n");
    app->ViewLogFile();
    EXPECT_EQ(host.openedDocuments, std::vector<std::string>{app->LogFilePath()});

    host.answers = {app::Answer::No};
    app->DeleteLog1Click();
    EXPECT_EQ(host.confirmations, std::vector<std::string>{app->T("dialog Delete")});
    EXPECT_EQ(ReadText(app->LogFilePath()), "kept\r\n");

    host.answers = {app::Answer::Yes};
    app->DeleteLog1Click();
    EXPECT_FALSE(std::filesystem::exists(app->LogFilePath()));
    host.answers = {app::Answer::Yes};
    app->DeleteLog1Click();  // no log: nothing happens
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(TrawlLogTest, StoppedTrawlKeepsEveryLine) {
    const std::string root = (work.path() / "root").string();
    std::filesystem::create_directories(root + "/sub");
    for (int i = 0; i < 5; ++i) WriteBytes(root + "/sub/f" + std::to_string(i) + ".bmp", {0});
    app->settings().DefaultDir = root;
    app->settings().DoBMPs = false;
    app->settings().FixUniformColour = false;

    app->StartClick();
    Step(6);
    app->bStopClick();
    const std::vector<std::string> firstPart = host.memo;
    ASSERT_GT(firstPart.size(), 2u);

    // Deleting the log under a stopped trawl closes it; the resume's write
    // starts a new log with its own header and the memo's lines.
    host.answers = {app::Answer::Yes};
    app->DeleteLog1Click();
    EXPECT_FALSE(app->LogOpen);
    EXPECT_FALSE(std::filesystem::exists(app->LogFilePath()));
    app->StartClick();
    std::string text = ReadText(app->LogFilePath());
    ASSERT_EQ(text.rfind("----- Trawl Log ------- ", 0), 0u);
    std::string expected;
    for (const std::string& line : firstPart) expected += line + "\r\n";
    EXPECT_EQ(text.substr(text.find("\r\n") + 2), expected);

    // Closing the program during the trawl writes what the memo still holds.
    Step(3);
    const std::vector<std::string> secondPart = host.memo;
    app->CloseLogOnExit();
    EXPECT_FALSE(app->LogOpen);
    for (const std::string& line : secondPart) expected += line + "\r\n";
    text = ReadText(app->LogFilePath());
    EXPECT_EQ(text.substr(text.find("\r\n") + 2), expected);
}

TEST_F(TrawlLogTest, NewTrawlDoesNotWaitForThePreviousClose) {
    const std::string root = (work.path() / "root").string();
    std::filesystem::create_directories(root);
    WriteBytes(root + "/a.bmp", {0});
    app->settings().DefaultDir = root;
    app->settings().FixUniformColour = false;
    app->StartClick();
    RunTrawl();
    ASSERT_TRUE(host.Active(app::TimerId::CloseLog));
    // A second trawl before the delayed close: its own header, and the
    // pending close no longer cuts it off.
    app->StartClick();
    EXPECT_FALSE(host.Active(app::TimerId::CloseLog));
    RunTrawl();
    const std::string text = ReadText(app->LogFilePath());
    size_t headers = 0;
    for (size_t pos = text.find("----- Trawl Log"); pos != std::string::npos;
         pos = text.find("----- Trawl Log", pos + 1))
        ++headers;
    EXPECT_EQ(headers, 2u);
    const std::string tail = "  -- " + app->T("message Finished") + " --\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(TrawlLogTest, UnwritableLogIsReportedOnce) {
    std::filesystem::create_directories(app->LogFilePath());  // a folder in the log's place
    const std::string root = (work.path() / "root").string();
    std::filesystem::create_directories(root + "/a");
    std::filesystem::create_directories(root + "/b");
    app->settings().DefaultDir = root;
    app->StartClick();
    RunTrawl();
    EXPECT_FALSE(app->TrawlActive);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("Trawl_Log.txt"), std::string::npos);
}

}  // namespace
