// What every command of skeinpress-cli shares: the streams it writes to and
// the exit statuses it returns.
#pragma once

#include <iosfwd>

namespace cli {

// 0 all files succeeded, 1 some failed, 2 the command line was wrong.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

}  // namespace cli
