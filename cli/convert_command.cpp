#include <chrono>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/application.h"
#include "app/program_dir.h"
#include "cli/cli.h"
#include "cli/console_host.h"
#include "cli/edits.h"
#include "core/load_image.h"
#include "core/paths.h"
#include "core/save_image.h"

namespace cli {

namespace {

// Each file converted exactly as the trawl converts it, with the settings of
// the settings file: the size test for bitmaps and JPEGs, the uniform-colour
// repair, and the "1" name when overwriting is off.
int ConvertAsTrawl(const Options& options, const std::vector<std::string>& files, const std::string& output,
                   Streams io) {
    const std::string programDir = ProgramDirOf(options);
    if (programDir.empty()) {
        io.err << "skeinpress-cli: cannot use the folder " << options.home << "\n";
        return kExitFailed;
    }
    ConsoleHost host(io.out, io.err);
    app::Application application(host);
    application.FormCreate(programDir, app::RunningProgramPath());
    int status = kExitOk;
    for (const std::string& file : files) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            io.err << file << ": File not found : \"" << core::FileNamePart(file) << "\"\n";
            status = kExitFailed;
            continue;
        }
        host.SetMessagePrefix(file + ": ");
        application.settings().CurrentFile = file;
        std::string written;
        if (application.OpenAndSaveTo(output, &written)) {
            io.out << file << " -> " << written << "\n";
        } else {
            status = kExitFailed;
        }
    }
    return status;
}

}  // namespace

int ConvertCommand(const Options& options, const std::vector<std::string>& args, Streams io) {
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

    if (editOptions.edits.empty()) return ConvertAsTrawl(options, files, output, io);

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
