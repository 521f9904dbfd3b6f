#include <chrono>
#include <ostream>

#include "cli/cli.h"
#include "cli/edits.h"
#include "core/load_image.h"
#include "core/save_image.h"

namespace cli {

int ConvertCommand(const std::vector<std::string>& args, Streams io) {
    std::vector<std::string> files;
    std::string output;
    EditOptions editOptions;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const EditParse edit = ParseEditOption(args, i, editOptions, io.err);
        if (edit == EditParse::UsageError) return kExitUsage;
        if (edit == EditParse::Taken) continue;
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
    if (files.size() != 1 &&
        (editOptions.Has(EditKind::ColourCopy) || editOptions.Has(EditKind::AlphaCopy))) {
        io.err << "skeinpress-cli convert: --colour-copy and --alpha-copy are allowed with one input file only\n";
        return kExitUsage;
    }

    // Random placement of the uniform-colour fix differs from run to run.
    std::mt19937 rng(static_cast<std::mt19937::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    const bool normalMap = editOptions.Has(EditKind::NormalMap);
    int status = kExitOk;
    for (const std::string& file : files) {
        core::ImageStore store;
        std::string target = output;
        if (target.empty()) {
            target = DefaultTgaName(file);
            if (normalMap) target = NormalMapName(target);
        }
        if (!core::LoadImage(store, file)) {
            io.err << file << ": " << store.LoadErrorText << "\n";
            status = kExitFailed;
            continue;
        }
        std::string editError;
        if (!ApplyEdits(store, editOptions, rng, editError)) {
            io.err << file << ": " << editError << "\n";
            status = kExitFailed;
            continue;
        }
        if (!core::SaveImage(store, target)) {
            io.err << file << ": " << store.LoadErrorText << "\n";
            status = kExitFailed;
            continue;
        }
        io.out << file << " -> " << target << "\n";
    }
    return status;
}

}  // namespace cli
