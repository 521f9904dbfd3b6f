#include "cli/options/options.h"

#include <algorithm>
#include <charconv>
#include <ostream>

namespace cli {

std::optional<std::string> InlineValue(const std::string& arg, std::string_view name) {
    if (arg.size() <= name.size() || arg.compare(0, name.size(), name) != 0 ||
        arg[name.size()] != '=')
        return std::nullopt;
    return arg.substr(name.size() + 1);
}

bool TakeValueOption(const std::vector<std::string>& args, size_t& i,
                     std::initializer_list<std::string_view> names,
                     std::optional<std::string>& value) {
    const std::string& arg = args[i];
    for (const std::string_view name : names) {
        if (arg == name) {
            value.reset();
            if (i + 1 < args.size()) value = args[++i];
            return true;
        }
        if (name.rfind("--", 0) == 0) {
            if (std::optional<std::string> inlined = InlineValue(arg, name)) {
                value = std::move(inlined);
                return true;
            }
        }
    }
    return false;
}

bool TakeSwitchOption(const std::string& arg, std::string_view name, bool& value) {
    const std::string_view a(arg);
    if (a.size() < 2 || a.substr(0, 2) != "--") return false;
    const std::string_view rest = a.substr(2);
    if (rest == name) {
        value = true;
        return true;
    }
    if (rest.size() == name.size() + 3 && rest.substr(0, 3) == "no-" && rest.substr(3) == name) {
        value = false;
        return true;
    }
    return false;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    return !text.empty() && error == std::errc() && stop == end && value >= low && value <= high;
}

int TakeJobsOption(const std::vector<std::string>& args, size_t& i, std::ostream& err,
                   const char* command) {
    const std::string spelled = args[i];
    std::optional<std::string> value;
    if (!TakeValueOption(args, i, {"--jobs", "-j"}, value)) return 0;
    if (!value) {
        err << "skeinpress-cli " << command << ": " << spelled << " needs a number\n";
        return -1;
    }
    // Plain digits, three at most: no sign, and nothing past 256 to overflow.
    int jobs = 0;
    const bool digits = value->size() <= 3 && std::all_of(value->begin(), value->end(), [](char c) {
                            return c >= '0' && c <= '9';
                        });
    if (!digits || !ParseNumber(*value, 1, 256, jobs)) {
        err << "skeinpress-cli " << command << ": --jobs needs a number from 1 to 256\n";
        return -1;
    }
    return jobs;
}

}  // namespace cli
