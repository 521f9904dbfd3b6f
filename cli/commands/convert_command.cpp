#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>

#include "app/application.h"
#include "app/platform/program_dir.h"
#include "cli/batch/console_host.h"
#include "cli/batch/conversion_worker.h"
#include "cli/batch/job_pool.h"
#include "cli/cli.h"
#include "cli/commands/edits.h"
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
    result.err = file + ": " + core::ReadRefusal(file) + "\n";
    result.failed = true;
    return result;
}

}  // namespace

int ConvertCommand(const Options& options, const std::vector<std::string>& args, Streams io) {
    std::vector<std::string> files;
    std::string output;
    app::ImageEdits edits;
    int jobs = DefaultJobs();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const int jobsGiven = ParseJobsOption(args, i, io.err, "convert");
        if (jobsGiven < 0) return kExitUsage;
        if (jobsGiven > 0) {
            jobs = jobsGiven;
            continue;
        }
        const EditParse edit = ParseEditOption(args, i, edits, io.err);
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
        (edits.Has(app::EditKind::ColourCopy) || edits.Has(app::EditKind::AlphaCopy))) {
        io.err << "skeinpress-cli convert: --colour-copy and --alpha-copy are allowed with one "
                  "input file only\n";
        return kExitUsage;
    }

    const std::string programDir = ProgramDirOf(options, io.err);
    if (programDir.empty()) return kExitFailed;
    ConsoleHost host(io.out, io.err);
    app::Application application(host);
    application.Start(programDir, app::RunningProgramPath());
    PrintStartupNotices(application, io.err);
    // Files repair the same way whatever the number of jobs.
    application.conversion().SeedRepairsWith(SeedForFile);
    const int workerCount = std::max(1, std::min<int>(jobs, static_cast<int>(files.size())));
    std::vector<std::unique_ptr<ConversionWorker>> workers;
    for (int w = 0; w < workerCount; ++w)
        workers.push_back(std::make_unique<ConversionWorker>(application));
    // Without edits a file converts as the trawl converts it: the size test
    // for bitmaps and JPEGs, the uniform-colour repair, the "1" name when
    // overwriting is off.
    app::ConversionRequest request{"", output, edits, edits.Empty()};
    return RunInOrder(files, workerCount, io, [&](int worker, const std::string& file) {
        if (!core::IsFile(file)) return UnreadableFile(file);
        return workers[worker]->Convert(file, request);
    });
}

}  // namespace cli
