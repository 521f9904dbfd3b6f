// The language file: its lines and keys, the program's own English file, the
// sentences with names in them and where the file is found; then the language
// and settings files that once broke their parsers.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/platform/program_dir.h"
#include "app/settings/language.h"
#include "app/settings/messages.h"
#include "core/io/paths.h"
#include "fuzz/exercise_language.h"
#include "fuzz/exercise_settings.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;
using app::Language;
const std::string kMissing = "String Not Translated";

TEST(LanguageTest, FileLinesAndKeyRules) {
    TempDir dir;
    Language language;
    WriteText(dir.File("English.txt"),
              "menu File|File\r\nmenu Open|Open\rmenu Exit|Exit\nlast|no end");
    ASSERT_TRUE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Lines().size(), 4u);  // CR LF, CR and LF all end a line
    EXPECT_EQ(language.Translate("last"), "no end");

    const std::string cutKey = "about Comments";
    language.SetLines({
        "MENU FILE  |  Datei",  // case ignored; key's trailing blanks, text's leading spaces go
        "menu Open\t|Open  ",   // trailing blanks of the text stay
        " menu Exit|leading blank",  // leading blanks belong to the key
        "menu Save|one|two",         // three fields: ignored
        "menu Save|Save",
        "menu Save|second",  // the first match wins
        cutKey + "|" + std::string(400, 'x'),
        std::string(255, 'k') + "|late bar",  // the bar lies beyond the 255-character cut
    });
    const std::pair<std::string, std::string> expected[] = {
        {"Menu File", "Datei"},
        {"menu Open", "Open  "},
        {"menu Exit", kMissing},
        {" menu Exit", "leading blank"},
        {"menu Save", "Save"},
        {std::string(255, 'k'), kMissing},
        {cutKey, std::string(255 - cutKey.size() - 1, 'x')},
    };
    for (const auto& [key, translation] : expected)
        EXPECT_EQ(language.Translate(key), translation) << key;

    // Lookups already made give way to the lines that replace them.
    language.SetLines({"menu File|Fichier"});
    EXPECT_EQ(language.Translate("menu File"), "Fichier");
    EXPECT_EQ(language.Translate("menu Open"), kMissing);
    ASSERT_TRUE(language.LoadFile(dir.File("English.txt")));
    EXPECT_EQ(language.Translate("menu File"), "File");
}

// The program's own English.txt: one entry per line, each key once, and as
// many keys as the program looks up.
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
    EXPECT_EQ(fileKeys.size(), 135u);  // the keys the program looks up
    // The sentences with names in them read in the file as the program says
    // them without one.
    for (int m = 0; m <= static_cast<int>(app::Message::NameHasLineBreak); ++m) {
        const auto message = static_cast<app::Message>(m);
        EXPECT_EQ(app::MessageText(language, message, "%1", "%2"),
                  app::MessageText(Language(), message, "%1", "%2"))
            << m;
    }
}

// A translation made before a sentence had its key still shows it, in English;
// what a sentence names is put in once, as it is.
TEST(LanguageTest, SentencesFallBackToEnglishAndTakeTheirNamesAsTheyAre) {
    Language language;
    language.SetLines({"message FileNotFound|Introuvable : « %1 »"});
    EXPECT_EQ(app::MessageText(language, app::Message::FileNotFound, "x%2.tga", "?"),
              "Introuvable : « x%2.tga »");
    EXPECT_EQ(app::MessageText(language, app::Message::LinkLeavesTree, "up", "/"),
              "Link \"up\" leads out of the trawled folder (to \"/\") and is not followed");
}

// A program folder given on the command line (--home) holds no language file:
// the one beside the program, then the installed one, is found. An installed
// program keeps its files in the user's folder even where it may write beside
// itself (root may write to /usr/bin); one unpacked on its own keeps them there.
TEST(LanguageTest, FileIsFoundInTheProgramFolderBesideTheProgramOrInstalled) {
    TempDir dir;
    const std::string home = dir.File("home/"), program = dir.File("prefix/bin/skeinpress-cli");
    auto find = [&] { return app::FindLanguageFile(home, program, "English.txt"); };
    EXPECT_EQ(find(), "");
    for (const std::string& path :
         {dir.File("prefix/share/skeinpress/English.txt"), dir.File("prefix/bin/English.txt"),
          dir.File("home/English.txt")}) {
        WriteBytes(path, {'a', '|', 'b'});
        EXPECT_EQ(fs::path(find()).make_preferred(), fs::path(path).make_preferred());
    }

#if defined(_WIN32)
    const ScopedVariable config("APPDATA", dir.File("config"));
#else
    const ScopedVariable config("XDG_CONFIG_HOME", dir.File("config"));
#endif
    const std::string userFolder =
        app::WithTrailingSeparator(core::JoinPath(dir.File("config"), "skeinpress"));
    EXPECT_EQ(app::ProgramDirFor(program), userFolder);
    EXPECT_EQ(app::UserConfigDir(), userFolder);
    EXPECT_TRUE(fs::is_directory(userFolder));
    fs::remove_all(dir.File("prefix/share"));
    EXPECT_EQ(app::ProgramDirFor(program), dir.File("prefix/bin/"));
}

// Language and settings files that once broke their parsers
// (tests/fuzz_regressions/language/, .../settings/), replayed through the fuzz
// targets' own entry points.
TEST(FuzzRegression, LanguageAndSettingsFilesThatOnceFailedAreReadSafely) {
    TempDir dir;
    for (const std::string parser : {"language", "settings"}) {
        // Each folder must hold at least one file.
        const fs::path folder = fs::path(SKEINPRESS_FUZZ_REGRESSIONS_DIR) / parser;
        EXPECT_FALSE(fs::is_empty(folder)) << folder;
        for (const fs::path& file : fs::directory_iterator(folder)) {
            const std::vector<uint8_t> bytes = ReadBytes(file.string());
            if (parser == "language")
                fuzzing::ExerciseLanguage(bytes.data(), bytes.size(), dir.File("language.txt"));
            else
                EXPECT_EQ(fuzzing::ExerciseSettings(bytes.data(), bytes.size(), dir.File("a.ini")),
                          "")
                    << file;
        }
    }
}

}  // namespace
