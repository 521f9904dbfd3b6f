#include <ostream>

#include "cli/commands/commands.h"
#include "skeinpress_version.h"

namespace cli {

int VersionCommand(const Options&, const std::vector<std::string>& args, Streams io) {
    if (!args.empty()) {
        io.err << "skeinpress-cli: --version takes no arguments\n";
        return kExitUsage;
    }
    io.out << "skeinpress-cli " << SKEINPRESS_VERSION << "\n"
           << (SKEINPRESS_HAVE_ASTC ? "ASTC textures: read\n"
                                    : "ASTC textures: not read (built without the ASTC codec)\n");
    return kExitOk;
}

}  // namespace cli
