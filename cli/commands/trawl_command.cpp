// skeinpress-cli trawl DIR: the desktop program's trawl, run on the console.
// The walk is the engine's own; with more than one job the conversion of each
// entry runs on a worker, and the message lines come back in the walk's order.
#include <algorithm>
#include <atomic>
#include <climits>
#include <deque>
#include <memory>
#include <ostream>
#include <thread>

#include "app/application.h"
#include "app/platform/platform.h"
#include "app/platform/program_dir.h"
#include "app/trawl/folder_listing.h"
#include "cli/batch/batch_report.h"
#include "cli/batch/console_host.h"
#include "cli/batch/conversion_worker.h"
#include "cli/batch/job_pool.h"
#include "cli/cli.h"
#include "core/io/paths.h"

namespace cli {

namespace {

struct TrawlOption {
    const char* name;  // without "--"; "--no-" + name switches it off
    bool app::Settings::*flag;
};

constexpr TrawlOption kTrawlOptions[] = {
    {"textures", &app::Settings::DoTextures},
    {"bmp", &app::Settings::DoBMPs},
    {"jpg", &app::Settings::DoJPGs},
    {"fix-uniform", &app::Settings::FixUniformColour},
    {"overwrite", &app::Settings::OverwriteTGAs},
};

}  // namespace

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

namespace {

// The walking Application's memo: a line of the walk, or a place for the lines
// of an entry converting on a worker. Lines are shown once everything before
// them is known; the log (which reads MemoLines) waits for the conversions.
class OrderedMemoHost : public ConsoleHost {
public:
    OrderedMemoHost(Streams io, BatchReport& report)
        : ConsoleHost(io.out, io.err), err_(io.err), report_(report) {}

    void UsePool(JobPool* pool, size_t maxPending) {
        pool_ = pool;
        maxPending_ = maxPending;
    }
    int WorkerMessages() const { return workerMessages_; }

    void AddMemoLine(const std::string& line) override {
        Item item;
        item.lines.push_back(line);
        items_.push_back(std::move(item));
        ++count_;
        Pump(0);
    }
    int MemoLineCount() const override { return static_cast<int>(count_); }
    std::vector<std::string> MemoLines() override {
        Pump(SIZE_MAX);
        std::vector<std::string> lines;
        for (const Item& item : items_)
            lines.insert(lines.end(), item.lines.begin(), item.lines.end());
        return lines;
    }
    void ClearMemo() override {
        Pump(SIZE_MAX);
        items_.clear();
        shown_ = 0;
        count_ = 0;
    }

    // Queues the conversion of `path` (in `canonicalFolder`) and keeps its place.
    // Waits first while the pool holds as many jobs as allowed.
    void AddJob(const std::string& path, const std::string& canonicalFolder, std::string group,
                Job job) {
        while (pool_->Pending() >= maxPending_) Pump(1);
        pool_->Submit(std::move(group), std::move(job));
        Item item;
        item.job = true;
        item.path = path;
        items_.push_back(std::move(item));
        folders_.push_back(canonicalFolder);
        ++count_;
        report_.Found();
    }
    // Waits for every queued conversion and shows its lines (the log does
    // this when it writes; a log that cannot be written does not).
    void Drain() { Pump(SIZE_MAX); }
    // Waits for the queued conversions in the folder, so that a listing of it
    // sees the files they write, as the one-by-one trawl does.
    void WaitForFolder(const std::string& canonicalFolder) {
        while (std::find(folders_.begin(), folders_.end(), canonicalFolder) != folders_.end())
            Pump(1);
    }

private:
    struct Item {
        bool job = false;  // lines still to come from the pool
        std::string path;
        std::vector<std::string> lines;
    };

    // Shows what is known in order, taking finished conversions from the pool;
    // waits for at most `waits` unfinished ones.
    void Pump(size_t waits) {
        while (shown_ < items_.size()) {
            Item& item = items_[shown_];
            if (item.job) {
                if (!pool_->FrontDone()) {
                    if (waits == 0) return;
                    --waits;
                }
                JobResult result = pool_->TakeFront();
                folders_.pop_front();
                item.job = false;
                item.lines = std::move(result.lines);
                count_ += item.lines.size();
                --count_;
                if (!result.err.empty()) {
                    err_ << result.err << std::flush;
                    ++workerMessages_;
                }
                report_.Done(item.path, result.outcome);
            }
            for (const std::string& line : item.lines) report_.Line(line);
            ++shown_;
        }
    }

    std::ostream& err_;
    BatchReport& report_;
    JobPool* pool_ = nullptr;
    size_t maxPending_ = 0;
    std::deque<Item> items_;
    size_t shown_ = 0;
    size_t count_ = 0;
    std::deque<std::string> folders_;  // of the jobs in the pool, oldest first
    int workerMessages_ = 0;
};

// Counts the files the trawl will read below `folder` (at `depth`), beside
// the walk, for the progress bar's total. The walk's listing leaves hidden
// entries out; folders deeper than the walk goes are left out as the walk
// leaves them out; links to folders are not followed.
long CountFiles(const std::string& folder, int depth, const app::Settings& settings,
                const std::atomic<bool>& stop) {
    app::FolderListing listing;
    listing.Open(folder);
    long count = 0;
    while (listing.Next() && !stop.load()) {
        const app::FolderEntry& entry = listing.Current();
        if (entry.regularFile && app::NeedsImageWork(settings, entry.name)) ++count;
        if (entry.folder && depth < app::kMaxTrawlDepth)
            count += CountFiles(core::JoinPath(folder, entry.name), depth + 1, settings, stop);
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
        if (a == "--help") {
            PrintUsage(io.out);
            return kExitOk;
        }
        if (ParseSettingsOption(a, overrides)) continue;
        const int jobsGiven = ParseJobsOption(args, i, io.err, "trawl");
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

    const std::string programDir = ProgramDirOf(options, io.err);
    if (programDir.empty()) return kExitFailed;

    BatchReport report(io.out, io.err, verbosity, app::platform::IsTerminal(stderr));
    OrderedMemoHost host(io, report);
    app::Application application(host);
    // Reads the settings file and the language file; the settings are never
    // written back by the command line.
    application.Start(programDir, app::RunningProgramPath());
    PrintStartupNotices(application, io.err);
    // No idle steps on the console: the step timers run only for the trawl.
    host.StopTimer(app::TimerId::TrawlSlow);
    host.StopTimer(app::TimerId::TrawlFast);
    app::Settings& settings = application.settings();
    ApplySettingsOverrides(settings, overrides);
    settings.DefaultDir = folders[0];
    app::Conversion& conversion = application.conversion();
    app::TrawlWalk& trawl = application.trawl();
    // Files repair the same way whatever the number of jobs.
    conversion.SeedRepairsWith(SeedForFile);

    std::vector<std::unique_ptr<ConversionWorker>> workers;
    std::unique_ptr<JobPool> pool;
    if (jobs > 1) {
        for (int w = 0; w < jobs; ++w)
            workers.push_back(std::make_unique<ConversionWorker>(application));
        pool = std::make_unique<JobPool>(jobs);
        host.UsePool(pool.get(), kPendingPerWorker * static_cast<size_t>(jobs));
    }

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
        host.AddJob(path, lastCanonical, FileGroup(lastCanonical, name),
                    [&workers, folder, name](int worker) {
                        return workers[worker]->TrawlEntry(folder, name);
                    });
        return true;
    });
    auto step = [&] {
        const std::string next = pool ? trawl.FolderToListNext() : std::string();
        if (!next.empty()) host.WaitForFolder(CanonicalFolder(next));
        trawl.Step();
    };
    host.SetTimerHandler(app::TimerId::TrawlFast, step);
    host.SetTimerHandler(app::TimerId::TrawlSlow, step);
    host.SetTimerHandler(app::TimerId::CloseLog,
                         [&] { application.TimerFired(app::TimerId::CloseLog); });

    std::atomic<bool> stopCounting{false};
    std::thread counter;
    if (verbosity != Verbosity::Quiet) {
        counter = std::thread([&report, &stopCounting, root = settings.DefaultDir, settings] {
            const long count = CountFiles(root, 0, settings, stopCounting);
            if (!stopCounting.load()) report.SetExpected(count);
        });
    }
    trawl.Start();
    if (!trawl.Active()) {  // the folder does not exist
        stopCounting = true;
        if (counter.joinable()) counter.join();
        if (verbosity == Verbosity::Quiet)
            io.err << "skeinpress-cli trawl: no folder " << folders[0] << "\n";
        return kExitFailed;
    }
    host.RunTimers();
    host.Drain();
    trawl.CloseLog();
    stopCounting = true;
    if (counter.joinable()) counter.join();
    report.Finish("trawl " + folders[0]);
    const bool messages = host.MessageCount() != 0 || host.WorkerMessages() != 0;
    return messages || report.Refused() != 0 ? kExitFailed : kExitOk;
}

}  // namespace cli
