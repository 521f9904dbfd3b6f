#include <ostream>

#include "cli/cli.h"
#include "core/load_image.h"
#include "core/save_image.h"

namespace cli {

int ConvertCommand(const std::vector<std::string>& args, Streams io) {
    std::vector<std::string> files;
    std::string output;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--output" || a == "-o") {
            if (i + 1 >= args.size()) {
                io.err << "skeinpress-cli convert: --output needs a file name\n";
                return kExitUsage;
            }
            output = args[++i];
        } else if (a.rfind("--output=", 0) == 0) {
            output = a.substr(9);
        } else if (a == "--help") {
            PrintUsage(io.out);
            return kExitOk;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            io.err << "skeinpress-cli convert: unknown option " << a << "\n";
            return kExitUsage;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        io.err << "skeinpress-cli convert: no file given (try --help)\n";
        return kExitUsage;
    }
    if (!output.empty() && files.size() != 1) {
        io.err << "skeinpress-cli convert: --output is allowed with one input file only\n";
        return kExitUsage;
    }

    int status = kExitOk;
    for (const std::string& file : files) {
        core::ImageStore store;
        const std::string target = output.empty() ? DefaultTgaName(file) : output;
        if (!core::LoadImage(store, file) || !core::SaveImage(store, target)) {
            io.err << file << ": " << store.LoadErrorText << "\n";
            status = kExitFailed;
            continue;
        }
        io.out << file << " -> " << target << "\n";
    }
    return status;
}

}  // namespace cli
