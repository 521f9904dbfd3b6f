#include "app/settings/messages.h"

namespace app {

namespace {

struct MessageRow {
    Message message;
    const char* key;
    const char* english;
};

constexpr MessageRow kMessages[] = {
    {Message::FileNotFound, "message FileNotFound", "Could not find \"%1\"."},
    {Message::SettingsNotWritten, "message SettingsNotWritten",
     "Could not write the settings file \"%1\""},
    {Message::EditorNotStarted, "message EditorNotStarted",
     "Could not start the image editor \"%1\"."},
    {Message::FileNotCreated, "message FileNotCreated", "Could not create file \"%1\""},
    {Message::FileNotAppended, "message FileNotAppended", "Could not append to file \"%1\""},
    {Message::LogNotWritten, "message LogNotWritten", "Couldn't write the trawl log \"%1\"."},
    {Message::LogNotDeleted, "message LogNotDeleted", "Couldn't delete the trawl log \"%1\"."},
    {Message::LogLeftAlone, "message LogLeftAlone",
     "The trawl log %1; it is left as it is, and this trawl is not logged"},
    {Message::TrawlUnderWay, "message TrawlUnderWay",
     "A trawl is under way: stop it, or let it finish, first."},
    {Message::TrawlFolderQuestion, "dialog TrawlFolder",
     "Trawl the folder \"%1\" with the current options?"},
    {Message::ChooseTrawlFolder, "dialog ChooseTrawlFolder", "Choose the folder to trawl"},
    {Message::FolderNotEntered, "message FolderNotEntered", "Folder \"%1\" cannot be entered: %2"},
    {Message::LinkLeavesTree, "message LinkLeavesTree",
     "Link \"%1\" leads out of the trawled folder (to \"%2\") and is not followed"},
    {Message::FolderNotListed, "message FolderNotListed", "Folder \"%1\" could not be listed"},
    {Message::Searching, "message Searching", "searching %1"},
    {Message::FolderListRefused, "message FolderListRefused", "Folder \"%1\" cannot be listed: %2"},
    {Message::FolderTooDeep, "message FolderTooDeep",
     "Folder \"%1\" is not trawled: it lies more than %2 folders deep"},
    {Message::NameHasLineBreak, "message NameHasLineBreak",
     "\"%1\" is not trawled: its name holds a line break"},
    {Message::NoViewer, "message NoViewer",
     "Could not open \"%1\": no program to show it was found."},
};

}  // namespace

std::string MessageText(const Language& language, Message message, std::string_view first,
                        std::string_view second) {
    std::string pattern;
    for (const MessageRow& row : kMessages) {
        if (row.message != message) continue;
        pattern = language.Translate(row.key);
        if (pattern == kNotTranslated) pattern = row.english;
        break;
    }
    // One pass, so a "%2" inside the first value stays as it is.
    std::string text;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            text.append(pattern[i + 1] == '1' ? first : second);
            ++i;
        } else {
            text.push_back(pattern[i]);
        }
    }
    return text;
}

}  // namespace app
