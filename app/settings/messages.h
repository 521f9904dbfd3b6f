// The program's own sentences that name a failure, ask a question or mark the
// trawl's way through the tree: each is looked up in the language file under
// its key, and "%1" and "%2" in it stand for what it names. A language file
// without the key gives the English text, so translations made before the key
// existed keep working.
#pragma once

#include <string>
#include <string_view>

#include "app/settings/language.h"

namespace app {

enum class Message {
    FileNotFound,        // %1 the file
    SettingsNotWritten,  // %1 the settings file
    EditorNotStarted,    // %1 the editor program
    FileNotCreated,      // %1 the file
    FileNotAppended,     // %1 the file
    LogNotWritten,       // %1 the trawl log
    LogNotDeleted,       // %1 the trawl log
    LogLeftAlone,        // %1 why it cannot be written
    TrawlUnderWay,
    TrawlFolderQuestion,  // %1 the folder's name
    ChooseTrawlFolder,
    FolderNotEntered,   // %1 the folder's name, %2 why
    LinkLeavesTree,     // %1 the link's name, %2 where it leads
    FolderNotListed,    // %1 the folder's name
    Searching,          // %1 the folder's name
    FolderListRefused,  // %1 the folder's name, %2 why
    FolderTooDeep,      // %1 the folder's name, %2 the depth limit
    NameHasLineBreak,   // %1 the name, its line breaks shown as \r and \n
    NoViewer,           // %1 the file no program could show
};

std::string MessageText(const Language& language, Message message, std::string_view first = {},
                        std::string_view second = {});

}  // namespace app
