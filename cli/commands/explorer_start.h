// skeinpress-cli as Windows users meet it first: double-clicked in Explorer, or
// with a texture or a folder dropped on it. Explorer gives the program a
// console window of its own that closes with it, and passes a dropped item as
// the only argument.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/output/console.h"

namespace cli {

// A lone argument naming an existing file becomes {"convert", FILE}, one
// naming an existing folder {"trawl", FOLDER}; a command name, an option and
// anything else stay as they are.
std::vector<std::string> CommandForLoneArgument(const std::vector<std::string>& args);

// True when no other process shares this one's console and its input is that
// console: it was started from Explorer or a shortcut rather than typed in a
// console or run by a script. Never on Linux.
bool OwnsItsConsole();

// RunCli, with what a user in Explorer needs around it: started without arguments where the console
// is its own, a short explanation instead of the usage; a dropped file or folder converted or
// trawled; and then, where the console closes with the program, a wait for Enter so its output can
// be read. `ownsConsole` is OwnsItsConsole() in the program.
int RunFromDesktop(const std::vector<std::string>& args, Streams io, std::istream& in,
                   bool ownsConsole);

}  // namespace cli
