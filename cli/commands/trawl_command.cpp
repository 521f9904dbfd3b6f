// skeinpress-cli trawl DIR: the desktop program's trawl, run on the console.
// The walk is the engine's own; with more than one job the conversion of each
// entry runs on a worker, and the message lines come back in the walk's order.
#include <atomic>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include "app/platform/platform.h"
#include "app/session.h"
#include "app/trawl/tree_walk.h"
#include "cli/batch/batch_report.h"
#include "cli/batch/conversion_worker.h"
#include "cli/batch/job_pool.h"
#include "cli/batch/ordered_memo.h"
#include "cli/commands/commands.h"
#include "cli/options/options.h"
#include "core/io/paths.h"

namespace cli {

namespace {

// A trawl stopped by an interrupt exits as shells report one (128 + SIGINT).
constexpr int kExitInterrupted = 130;

// The switches that set a settings flag for one run; each has a --no- form.
struct TrawlOption {
    const char* name;  // without "--"; "--no-" + name switches it off
    bool app::Settings::*flag;
};

constexpr TrawlOption kTrawlOptions[] = {
    {"textures", &app::Settings::DoTextures},
    {"bmp", &app::Settings::DoBMPs},
    {"jpg", &app::Settings::DoJPGs},
    {"png", &app::Settings::DoPNGs},
    {"fix-uniform", &app::Settings::FixUniformColour},
    {"overwrite", &app::Settings::OverwriteTGAs},
};

struct SettingsOverride {
    bool app::Settings::*flag;
    bool value;
};

// True (noting the override) when `arg` is one of the switches.
bool ParseSettingsOption(const std::string& arg, std::vector<SettingsOverride>& overrides) {
    for (const TrawlOption& option : kTrawlOptions) {
        if (arg == std::string("--") + option.name) {
            overrides.push_back({option.flag, true});
            return true;
        }
        if (arg == std::string("--no-") + option.name) {
            overrides.push_back({option.flag, false});
            return true;
        }
    }
    return false;
}

void ApplySettingsOverrides(app::Settings& settings,
                            const std::vector<SettingsOverride>& overrides) {
    for (const SettingsOverride& o : overrides) settings.*(o.flag) = o.value;
}

// Counts the files the trawl will read below `root`, for the progress bar's
// total, through a walk of its own that keeps the trawl's depth limit and
// leaves out what the trawl leaves out.
long CountFiles(const std::string& root, const app::Settings& settings,
                const std::atomic<bool>& stop) {
    app::TreeWalk walk;
    walk.Begin(root);
    long count = 0;
    for (app::WalkStep step; !stop.load() && walk.Next(step);) {
        if (step.kind == app::WalkStep::Kind::Entry && step.entry.regularFile &&
            app::NeedsImageWork(settings, step.entry.name))
            ++count;
    }
    return count;
}

}  // namespace

int TrawlCommand(const Options& options, const std::vector<std::string>& args, Streams io) {
    std::vector<SettingsOverride> overrides;
    std::vector<std::string> folders;
    int jobs = DefaultJobs();
    Verbosity verbosity = Verbosity::Normal;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") return HelpCommand(options, {}, io);
        if (ParseSettingsOption(a, overrides)) continue;
        const int jobsGiven = TakeJobsOption(args, i, io.err, "trawl");
        if (jobsGiven < 0) return kExitUsage;
        if (jobsGiven > 0) {
            jobs = jobsGiven;
            continue;
        }
        if (a == "--quiet" || a == "-q") {
            verbosity = Verbosity::Quiet;
        } else if (a == "--verbose" || a == "-v") {
            verbosity = Verbosity::Verbose;
        } else if (a.size() > 1 && a[0] == '-') {
            io.err << "skeinpress-cli trawl: unknown option " << a << "\n";
            return kExitUsage;
        } else {
            folders.push_back(a);
        }
    }
    if (folders.size() != 1) {
        io.err << "skeinpress-cli trawl: give exactly one folder (try --help)\n";
        return kExitUsage;
    }

    BatchReport report(io.out, io.err, verbosity, app::platform::IsTerminal(stderr));
    OrderedMemo memo(io, report);
    app::Session session(memo);
    if (!StartSession(session, options, io.err)) return kExitFailed;
    app::Settings& settings = session.settings();
    ApplySettingsOverrides(settings, overrides);
    settings.DefaultDir = folders[0];
    app::Conversion& conversion = session.conversion();
    app::TrawlWalk& trawl = session.trawl();
    // Files repair the same way whatever the number of jobs.
    conversion.SeedRepairsWith(SeedForFile);
    // With more than one job the entries convert on the workers of a pool,
    // and the memo keeps their places.
    std::vector<std::unique_ptr<ConversionWorker>> workers;
    std::unique_ptr<JobPool> pool;
    if (jobs > 1) {
        for (int w = 0; w < jobs; ++w)
            workers.push_back(std::make_unique<ConversionWorker>(session));
        pool = std::make_unique<JobPool>(jobs);
        memo.TakeResultsFrom([&pool](bool wait) -> std::optional<JobResult> {
            if (!wait && !pool->FrontDone()) return std::nullopt;
            return pool->TakeFront();
        });
        trawl.TakeLogLinesFrom([&memo](size_t atLeast) { return memo.TakeShownLines(atLeast); });
    }
    const size_t maxPending = kPendingPerWorker * static_cast<size_t>(jobs);

    std::string lastFolder, lastCanonical;
    trawl.HandEntriesTo([&](const std::string& folder, const std::string& name) {
        if (!app::NeedsImageWork(settings, name)) {
            const bool imageWork = conversion.ConvertEntry(folder, name);
            if (conversion.LastOutcome().skipped) report.Skipped();
            return imageWork;
        }
        const std::string path = core::JoinPath(folder, name);
        if (!pool) {
            report.Found();
            const bool imageWork = conversion.ConvertEntry(folder, name);
            report.Done(path, conversion.LastOutcome());
            return imageWork;
        }
        if (folder != lastFolder) {
            lastFolder = folder;
            lastCanonical = CanonicalFolder(folder);
        }
        while (pool->Pending() >= maxPending) memo.FillOldest();
        pool->Submit(FileGroup(lastCanonical, name), [&workers, folder, name](int worker) {
            if (app::platform::Interrupted()) {  // queued, not yet started: left alone
                JobResult none;
                none.notRun = true;
                return none;
            }
            return workers[worker]->TrawlEntry(folder, name);
        });
        memo.AddPlace(path, lastCanonical);
        return true;
    });
    trawl.HandRefusalsTo(
        [&memo](const std::string& path, const std::string& line) { memo.AddRefusal(path, line); });
    std::atomic<bool> stopCounting{false};
    std::thread counter;
    if (verbosity != Verbosity::Quiet) {
        counter = std::thread([&report, &stopCounting, root = settings.DefaultDir, settings] {
            const long count = CountFiles(root, settings, stopCounting);
            if (!stopCounting.load()) report.SetExpected(count);
        });
    }
    app::platform::CatchInterrupts();
    trawl.Start();
    if (!trawl.Active()) {  // the folder does not exist
        stopCounting = true;
        if (counter.joinable()) counter.join();
        if (verbosity == Verbosity::Quiet)
            io.err << "skeinpress-cli trawl: no folder " << folders[0] << "\n";
        return kExitFailed;
    }
    // The trawl is stepped here, one step after the other, not from timers.
    // An interrupt lets the files in hand finish and starts no more.
    while (trawl.Active() && !app::platform::Interrupted()) {
        // A folder about to be listed must first hold what the workers are
        // still writing into it, as in the one-by-one trawl.
        const std::string next = pool ? trawl.FolderToListNext() : std::string();
        if (!next.empty()) memo.WaitForFolder(CanonicalFolder(next));
        trawl.Step();
    }
    memo.Drain();
    const bool interrupted = trawl.Active();
    if (interrupted) {
        memo.AddMemoLine("  -- Trawl interrupted --");
        // A quiet trawl shows no memo lines, but an interrupted one says so.
        if (verbosity == Verbosity::Quiet) io.err << "skeinpress-cli trawl: interrupted\n";
    }
    trawl.CloseLog();
    stopCounting = true;
    if (counter.joinable()) counter.join();
    report.Finish("trawl " + folders[0]);
    if (interrupted) return kExitInterrupted;
    const bool messages = memo.MessageCount() != 0 || memo.WorkerMessages() != 0;
    return messages || report.Refused() != 0 ? kExitFailed : kExitOk;
}

}  // namespace cli
