// The commands of skeinpress-cli. Each takes the arguments after its name and
// returns the process exit status: 0 all files succeeded, 1 some failed, 2 usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

int RunCli(const std::vector<std::string>& args, Streams io);
int InfoCommand(const std::vector<std::string>& args, Streams io);
int ConvertCommand(const std::vector<std::string>& args, Streams io);

void PrintUsage(std::ostream& out);

// The default TGA name for a source: without ".texture" for a texture, without
// its extension otherwise, plus ".tga".
std::string DefaultTgaName(const std::string& source);

// JSON string literal (with quotes) for a text.
std::string JsonString(const std::string& text);

}  // namespace cli
