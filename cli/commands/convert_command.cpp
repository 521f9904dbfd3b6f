#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "app/session.h"
#include "cli/batch/console_messages.h"
#include "cli/batch/conversion_worker.h"
#include "cli/batch/job_pool.h"
#include "cli/commands/commands.h"
#include "cli/commands/edits.h"
#include "cli/options/options.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace cli {

namespace {

// Runs one job per file, on `jobs` workers (inline for one), and prints each
// file's output and errors in the order of the files. A file's group keeps two
// files that write the same TGA apart. Returns the exit status.
int RunInOrder(const std::vector<std::string>& files, int jobs, Streams io,
               const std::function<JobResult(int worker, const std::string& file)>& convert) {
    int status = kExitOk;
    auto show = [&](const JobResult& result) {
        io.out << result.out << std::flush;
        io.err << result.err << std::flush;
        if (result.failed) status = kExitFailed;
    };
    std::unique_ptr<JobPool> pool;
    if (jobs > 1 && files.size() > 1) pool = std::make_unique<JobPool>(jobs);
    for (const std::string& file : files) {
        if (!pool) {
            show(convert(0, file));
            continue;
        }
        while (pool->Pending() >= kPendingPerWorker * static_cast<size_t>(jobs))
            show(pool->TakeFront());
        const std::string folder(core::FolderPart(file));
        pool->Submit(FileGroup(CanonicalFolder(folder.empty() ? "." : folder),
                               std::string(core::FileNamePart(file))),
                     [&convert, file](int worker) { return convert(worker, file); });
    }
    while (pool && pool->Pending() > 0) show(pool->TakeFront());
    return status;
}

// A file that is missing, or is not a regular file (a FIFO would hold the
// conversion until something wrote to it).
JobResult UnreadableFile(const std::string& file) {
    JobResult result;
    result.err = core::OnOneLine(file) + ": " + core::ReadRefusal(file) + "\n";
    result.failed = true;
    return result;
}

// A file refused for its size (a bitmap or JPEG the simulator cannot use) is
// reported by the conversion as a message line; here it is a failure like any
// other, on the error stream after the file's name.
void RefusalLinesToErrors(JobResult& result, const std::string& file) {
    if (!result.failed) return;
    for (const std::string& problem : result.outcome.problems) {
        for (const std::string& line : result.lines) {
            const size_t start = line.find_first_not_of(' ');
            if (start == std::string::npos || line.compare(start, std::string::npos, problem) != 0)
                continue;
            const size_t at = result.out.find(line + "\n");
            if (at == std::string::npos) continue;
            result.out.erase(at, line.size() + 1);
            result.err += core::OnOneLine(file) + ": " + problem + "\n";
            break;
        }
    }
}

}  // namespace

int ConvertCommand(const Options& options, const std::vector<std::string>& args, Streams io) {
    std::vector<std::string> files;
    std::string output;
    app::ImageEdits edits;
    int jobs = DefaultJobs();
    // The settings file's repair setting, for this run only.
    std::optional<bool> fixUniform;
    bool pixelCountGiven = false, pixelChangeGiven = false, pixelEvenGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (bool on = false; TakeSwitchOption(a, "fix-uniform", on)) {
            fixUniform = on;
            continue;
        }
        pixelCountGiven |= a.rfind("--pixel-count", 0) == 0;
        pixelChangeGiven |= a.rfind("--pixel-change", 0) == 0;
        pixelEvenGiven |= a == "--pixel-even";
        const int jobsGiven = TakeJobsOption(args, i, io.err, "convert");
        if (jobsGiven < 0) return kExitUsage;
        if (jobsGiven > 0) {
            jobs = jobsGiven;
            continue;
        }
        const EditParse edit = ParseEditOption(args, i, edits, io.err);
        if (edit == EditParse::UsageError) return kExitUsage;
        if (edit == EditParse::Taken) continue;
        std::optional<std::string> target;
        if (TakeValueOption(args, i, {"--output", "-o"}, target)) {
            if (!target) {
                io.err << "skeinpress-cli convert: --output needs a file name\n";
                return kExitUsage;
            }
            output = *target;
        } else if (a == "--help") {
            return HelpCommand(options, {}, io);
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
    // The target's extension picks its format: a folder or a bare name gets a
    // message that says so, not "File type not supported".
    if (!output.empty() && (core::IsFolder(output) || core::IsFolderSeparator(output.back()))) {
        io.err << "skeinpress-cli convert: --output " << output
               << " is a folder: give the file to write, such as "
               << core::JoinPath(output, "name.tga") << "\n";
        return kExitUsage;
    }
    if (!output.empty() && core::ExtensionOf(output).empty()) {
        io.err << "skeinpress-cli convert: --output " << output
               << " has no extension, which picks the format (.tga, ...)\n";
        return kExitUsage;
    }
    if (files.size() != 1 &&
        (edits.Has(app::EditKind::ColourCopy) || edits.Has(app::EditKind::AlphaCopy))) {
        io.err << "skeinpress-cli convert: --colour-copy and --alpha-copy are allowed with one "
                  "input file only\n";
        return kExitUsage;
    }

    ConsoleMessages messages(io.out, io.err);
    app::Session session(messages);
    if (!StartSession(session, options, io.err)) return kExitFailed;
    // The workers copy the settings: the run's own values are set before them.
    app::Settings& settings = session.settings();
    if (fixUniform) settings.FixUniformColour = *fixUniform;
    if (pixelCountGiven) settings.PixelSetCount = edits.pixelCount;
    if (pixelChangeGiven) settings.PixelSetChange = edits.pixelChange;
    if (pixelEvenGiven) settings.PixelSetRandom = false;
    // Files repair the same way whatever the number of jobs.
    session.conversion().SeedRepairsWith(SeedForFile);
    const int workerCount = std::max(1, std::min<int>(jobs, static_cast<int>(files.size())));
    std::vector<std::unique_ptr<ConversionWorker>> workers;
    for (int w = 0; w < workerCount; ++w)
        workers.push_back(std::make_unique<ConversionWorker>(session));
    // Without edits a file converts as the trawl converts it: the size test
    // for bitmaps and JPEGs, the uniform-colour repair, the "1" name when
    // overwriting is off. With edits the repair is made after them when
    // --fix-uniform asks for it. Either way only a TGA, BMP or JPEG is repaired.
    app::ConversionRequest request{"", output, edits, edits.Empty(), fixUniform.value_or(false)};
    return RunInOrder(files, workerCount, io, [&](int worker, const std::string& file) {
        if (!core::IsFile(file)) return UnreadableFile(file);
        JobResult result = workers[worker]->Convert(file, request);
        RefusalLinesToErrors(result, file);
        return result;
    });
}

}  // namespace cli
