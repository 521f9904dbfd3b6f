#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/program_dir.h"
#include "tests/support/test_support.h"

namespace {

using app::Language;
const std::string kMissing = "String Not Translated";

TEST(LanguageTest, FileLinesAndKeyRules) {
    testing_support::TempDir dir;
    Language language;
    EXPECT_FALSE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Translate("menu File"), kMissing);
    const std::string text = "menu File|File\r\nmenu Open|Open\rmenu Exit|Exit\nlast|no end";
    testing_support::WriteBytes(dir.File("English.txt"), std::vector<uint8_t>(text.begin(), text.end()));
    ASSERT_TRUE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Lines().size(), 4u);  // CR LF, CR and LF all end a line
    EXPECT_EQ(language.Translate("last"), "no end");

    const std::string cutKey = "about Comments";
    language.SetLines({
        "MENU FILE  |  Datei",       // case ignored; key's trailing blanks, text's leading spaces go
        "menu Open\t|Open  ",        // trailing blanks of the text stay
        " menu Exit|leading blank",  // leading blanks belong to the key
        "menu Save|one|two",         // three fields: ignored
        "menu Save|Save",
        "menu Save|second",  // the first match wins
        cutKey + "|" + std::string(400, 'x'),
        std::string(255, 'k') + "|late bar",  // the bar lies beyond the 255-character cut
    });
    const std::pair<std::string, std::string> expected[] = {
        {"Menu File", "Datei"},  {"menu Open", "Open  "}, {"menu Exit", kMissing},
        {" menu Exit", "leading blank"}, {"menu Save", "Save"}, {std::string(255, 'k'), kMissing},
        {cutKey, std::string(255 - cutKey.size() - 1, 'x')},
    };
    for (const auto& [key, translation] : expected) EXPECT_EQ(language.Translate(key), translation) << key;

    // Lookups already made give way to the lines that replace them.
    language.SetLines({"menu File|Fichier"});
    EXPECT_EQ(language.Translate("menu File"), "Fichier");
    EXPECT_EQ(language.Translate("menu Open"), kMissing);
    ASSERT_TRUE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Translate("menu File"), "File");
}

TEST(LanguageTest, LineWithTooManyBarsIsSkippedWithOneNotice) {
    Language language;
    std::vector<std::string> notices;
    language.SetNotice([&](const std::string& line) { notices.push_back(line); });
    language.SetLines({"a|b|c|d|e|", "x|b|c|d|e|f|g", "menu File|File", "y|1|2|3|4|5|6"});
    EXPECT_EQ(language.Translate("menu File"), "File");
    EXPECT_EQ(language.Translate("menu Open"), kMissing);
    ASSERT_EQ(notices.size(), 1u);  // once, although two lines and two lookups met one
    EXPECT_NE(notices[0].find("line 2 "), std::string::npos) << notices[0];
    EXPECT_EQ(app::GetTokens("a|b|c|d|e|", "|").count, 6);  // a fifth bar still fits
    EXPECT_TRUE(app::GetTokens("a|b|c|d|e|f", "|").overflow);
}

// Every key the program looks up, by prefix; the program's own English.txt must hold them all.
const std::pair<const char*, const char*> kAllKeys[] = {
    {"menu", "File Open SaveAs Exit ViewLog DeleteLog Options ConvertBMP ConvertJPG ConvertTex CloseOnDone "
             "OverwriteTGA Uniform Setup Editor OpenWith RemoveOpenWith Help About"},
    {"label", "FileName Size Image Alpha"},
    {"button", "Resume Stop"},
    {"popup1", "ActSize Edit Transparent Mask BGround colour Grey"},
    {"popup2", "ActSize Edit Invert Remove"},
    {"dialog", "Save Delete Alpha Editor"},
    {"about", "Comments Copyright License1 License2 Liability Trademark"},
    {"message", "LaunchParam Type Exiting NoFolder Locate2009a Locate2009b Locate2009c Locate2009d "
                "Locate2009e Locate2010a Locate2010b Locate2010c Locate2010d Locate2010e Locate12a Locate12b "
                "Locate12c Locate12d Locate12e Failed MacrosRemoved Editor Opened Size Wide High DXT1 DXT3 "
                "DXT5 None Masked Blended UniformColour Nothing1 Nothing2 Nothing3 Merge NoImage StartFolder "
                "Levels Percent Finished Converting ConvertNone TGA FixedColour InvalidSize"},
};

TEST(LanguageTest, ProgramsEnglishFileHasEveryKey) {
    // The build places the file where an installed program finds it.
    const std::string path = app::InstalledDataDir(app::RunningProgramPath()) + "English.txt";
    Language language;
    ASSERT_TRUE(language.LoadFile(path)) << path;
    std::set<std::string> fileKeys;
    for (const std::string& line : language.Lines()) {
        const app::Tokens tokens = app::GetTokens(line, "|");
        EXPECT_EQ(tokens.count, 2) << "not an entry: " << line;
        EXPECT_LE(line.size(), app::kLanguageLineLimit) << line;
        EXPECT_TRUE(fileKeys.insert(tokens.fields[0]).second) << "twice: " << line;
    }
    size_t keyCount = 0;
    for (const auto& [prefix, names] : kAllKeys) {
        std::istringstream words(names);
        for (std::string name; words >> name; ++keyCount)
            EXPECT_TRUE(fileKeys.count(std::string(prefix) + " " + name)) << "missing key: " << prefix << " " << name;
    }
    EXPECT_EQ(fileKeys.size(), keyCount);
}

}  // namespace
