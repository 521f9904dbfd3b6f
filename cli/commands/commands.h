// The commands of skeinpress-cli and the table that dispatches them and
// writes --help. Each command takes the arguments after its name and returns
// the process exit status (cli/console.h).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options/global_options.h"
#include "cli/output/console.h"

namespace cli {

using CommandFunction = int (*)(const Options& options, const std::vector<std::string>& args,
                                Streams io);

struct Command {
    std::string_view name;
    CommandFunction run;
    // Its lines of --help; empty for another name of a command listed above it.
    std::string usage;
};

// In the order --help lists them.
const std::vector<Command>& Commands();

// The whole program: global options, then a command of the table.
int RunCli(const std::vector<std::string>& args, Streams io);
void PrintUsage(std::ostream& out);

int InfoCommand(const Options& options, const std::vector<std::string>& args, Streams io);
// Each file is converted through the program's one conversion: without
// edit options as the trawl converts it, with the settings file of the
// program's folder; with them, the edits alone.
int ConvertCommand(const Options& options, const std::vector<std::string>& args, Streams io);
int PathsCommand(const Options& options, const std::vector<std::string>& args, Streams io);
int TrawlCommand(const Options& options, const std::vector<std::string>& args, Streams io);
// A PNG of one picture shrunk to fit a square, for the desktop's thumbnails.
int ThumbnailCommand(const Options& options, const std::vector<std::string>& args, Streams io);
int VersionCommand(const Options& options, const std::vector<std::string>& args, Streams io);
int HelpCommand(const Options& options, const std::vector<std::string>& args, Streams io);

}  // namespace cli
