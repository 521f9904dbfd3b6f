// What every part of the application works with: the message log and boxes
// it reports to, the settings of the run, the language of its texts and the
// program's own files. The session owns the last three; a part that needs
// more of the window takes those pieces of it beside the context.
#pragma once

#include <string>
#include <string_view>

#include "app/host.h"
#include "app/platform/program_files.h"
#include "app/settings/language.h"
#include "app/settings/messages.h"
#include "app/settings/settings.h"

namespace app {

struct Context {
    Messages& messages;
    Settings& settings;
    const Language& language;
    const ProgramFiles& files;

    // The translated text of a key ("String Not Translated" when missing).
    std::string T(const std::string& key) const { return language.Translate(key); }
    // A memo line as most messages are shown: a space, the translated text,
    // then `rest`.
    std::string Line(const std::string& key, const std::string& rest = "") const {
        return std::string(" ").append(T(key)).append(rest);
    }
    void Say(const std::string& key) const { messages.AddMemoLine(Line(key)); }
    std::string Text(Message message, std::string_view first = {},
                     std::string_view second = {}) const {
        return MessageText(language, message, first, second);
    }
};

}  // namespace app
