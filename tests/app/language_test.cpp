#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/program_dir.h"
#include "tests/support/test_support.h"

namespace {

using app::Language;
using testing_support::TempDir;
using testing_support::WriteBytes;

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(LanguageTest, MissingFileAndMissingKeysGiveTheFallback) {
    TempDir dir;
    Language language;
    EXPECT_FALSE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Translate("menu File"), "String Not Translated");

    WriteBytes(dir.File("English.txt"),
               Bytes("menu File|File\r\nmenu Open|Open\rmenu Exit|Exit\nlast|no end"));
    ASSERT_TRUE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Lines().size(), 4u);  // CR LF, CR and LF all end a line
    EXPECT_EQ(language.Translate("menu Open"), "Open");
    EXPECT_EQ(language.Translate("menu Exit"), "Exit");
    EXPECT_EQ(language.Translate("last"), "no end");
    EXPECT_EQ(language.Translate("menu Help"), "String Not Translated");
}

TEST(LanguageTest, KeyAndTextRules) {
    Language language;
    language.SetLines({
        "MENU FILE  |  Datei",  // case ignored, key's trailing blanks and text's leading spaces go
        "menu Open\t|Open  ",   // a trailing tab of the key goes; trailing blanks of the text stay
        " menu Exit|leading blank",  // leading blanks belong to the key
        "menu Help|\tTabbed",        // only spaces are removed from the text's start
        "menu Save|one|two",         // three fields: ignored
        "menu Save|Save",            // so this one is used
        "menu Save|second",          // the first match wins
        "menu Empty|",               // an empty text
        "menu Spaces|   ",           // all spaces: empty
        "no bar here",
        "",
    });
    EXPECT_EQ(language.Translate("menu File"), "Datei");
    EXPECT_EQ(language.Translate("Menu File"), "Datei");
    EXPECT_EQ(language.Translate("menu Open"), "Open  ");
    EXPECT_EQ(language.Translate("menu Exit"), "String Not Translated");
    EXPECT_EQ(language.Translate(" menu Exit"), "leading blank");
    EXPECT_EQ(language.Translate("menu Help"), "\tTabbed");
    EXPECT_EQ(language.Translate("menu Save"), "Save");
    EXPECT_EQ(language.Translate("menu Empty"), "");
    EXPECT_EQ(language.Translate("menu Spaces"), "");
    EXPECT_EQ(language.Translate("no bar here"), "String Not Translated");
}

TEST(LanguageTest, LinesAreCutAt255CharactersBeforeSplitting) {
    Language language;
    const std::string key = "about Comments";
    language.SetLines({key + "|" + std::string(400, 'x'), std::string(255, 'k') + "|late bar"});
    EXPECT_EQ(language.Translate(key), std::string(255 - key.size() - 1, 'x'));
    // The bar lies beyond the cut, so the line has no bar left.
    EXPECT_EQ(language.Translate(std::string(255, 'k')), "String Not Translated");
}

TEST(LanguageTest, LineWithTooManyBarsIsSkippedWithOneNotice) {
    Language language;
    std::vector<std::string> notices;
    language.SetNotice([&](const std::string& line) { notices.push_back(line); });
    language.SetLines({"a|b|c|d|e|", "x|b|c|d|e|f|g", "menu File|File", "y|1|2|3|4|5|6"});
    EXPECT_EQ(language.Translate("menu File"), "File");
    EXPECT_EQ(language.Translate("menu Open"), "String Not Translated");
    ASSERT_EQ(notices.size(), 1u);  // once, although two lines and two lookups met one
    EXPECT_NE(notices[0].find("line 2 "), std::string::npos) << notices[0];

    const app::Tokens endsInFifthBar = app::GetTokens("a|b|c|d|e|", "|");
    EXPECT_EQ(endsInFifthBar.count, 6);
    EXPECT_FALSE(endsInFifthBar.overflow);
    EXPECT_TRUE(app::GetTokens("a|b|c|d|e|f", "|").overflow);
    const app::Tokens adjacent = app::GetTokens("|a||", "|");
    EXPECT_EQ(adjacent.count, 4);
    EXPECT_EQ(adjacent.fields[0], "");
    EXPECT_EQ(adjacent.fields[1], "a");
    EXPECT_EQ(adjacent.fields[2], "");
}

// Every key the program looks up; the program's own English.txt must hold them all.
const char* const kAllKeys[] = {
    "menu File",
    "menu Open",
    "menu SaveAs",
    "menu Exit",
    "menu ViewLog",
    "menu DeleteLog",
    "menu Options",
    "menu ConvertBMP",
    "menu ConvertJPG",
    "menu ConvertTex",
    "menu CloseOnDone",
    "menu OverwriteTGA",
    "menu Uniform",
    "menu Setup",
    "menu Editor",
    "menu OpenWith",
    "menu RemoveOpenWith",
    "menu Help",
    "menu About",
    "label FileName",
    "label Size",
    "label Image",
    "label Alpha",
    "button Resume",
    "button Stop",
    "popup1 ActSize",
    "popup1 Edit",
    "popup1 Transparent",
    "popup1 Mask",
    "popup1 BGround",
    "popup1 colour",
    "popup1 Grey",
    "popup2 ActSize",
    "popup2 Edit",
    "popup2 Invert",
    "popup2 Remove",
    "dialog Save",
    "dialog Delete",
    "dialog Alpha",
    "dialog Editor",
    "about Comments",
    "about Copyright",
    "about License1",
    "about License2",
    "about Liability",
    "about Trademark",
    "message LaunchParam",
    "message Type",
    "message Exiting",
    "message NoFolder",
    "message Locate2009a",
    "message Locate2009b",
    "message Locate2009c",
    "message Locate2009d",
    "message Locate2009e",
    "message Locate2010a",
    "message Locate2010b",
    "message Locate2010c",
    "message Locate2010d",
    "message Locate2010e",
    "message Locate12a",
    "message Locate12b",
    "message Locate12c",
    "message Locate12d",
    "message Locate12e",
    "message Failed",
    "message MacrosRemoved",
    "message Editor",
    "message Opened",
    "message Size",
    "message Wide",
    "message High",
    "message DXT1",
    "message DXT3",
    "message DXT5",
    "message None",
    "message Masked",
    "message Blended",
    "message UniformColour",
    "message Nothing1",
    "message Nothing2",
    "message Nothing3",
    "message Merge",
    "message NoImage",
    "message StartFolder",
    "message Levels",
    "message Percent",
    "message Finished",
    "message Converting",
    "message ConvertNone",
    "message TGA",
    "message FixedColour",
    "message InvalidSize",
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
    for (const char* key : kAllKeys) {
        EXPECT_TRUE(fileKeys.count(key)) << "missing key: " << key;
        EXPECT_NE(language.Translate(key), "String Not Translated") << key;
    }
    EXPECT_EQ(fileKeys.size(), std::size(kAllKeys));
}

}  // namespace
