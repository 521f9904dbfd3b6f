// Reading options off the command line: "--name VALUE" or "--name=VALUE"
// (a short alias, "-o VALUE", only in the first form), numbers in a range,
// and the --jobs option that the batch commands share.
#pragma once

#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The VALUE of "NAME=VALUE" when `arg` is that; nullopt otherwise.
std::optional<std::string> InlineValue(const std::string& arg, std::string_view name);

// Whether args[i] is one of `names` given with a value: "NAME=VALUE" (long
// names only), else the next argument, whatever it is (i moves onto it).
// `value` is left empty (nullopt) when the option is the last argument.
bool TakeValueOption(const std::vector<std::string>& args, size_t& i,
                     std::initializer_list<std::string_view> names,
                     std::optional<std::string>& value);

// Whether `arg` is the switch "--NAME" (`value` becomes true) or its
// "--no-NAME" form (false).
bool TakeSwitchOption(const std::string& arg, std::string_view name, bool& value);

// `text` as a decimal number from `low` to `high`, nothing else around it.
bool ParseNumber(const std::string& text, int low, int high, int& value);

// The worker count of "--jobs N" / "--jobs=N" / "-j N" at args[i]: 0 when
// args[i] is not that option, -1 (with a message naming `command`) when N is
// missing or not 1..256.
int TakeJobsOption(const std::vector<std::string>& args, size_t& i, std::ostream& err,
                   const char* command);

}  // namespace cli
