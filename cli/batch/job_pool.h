// Conversions of a batch on worker threads, with their results handed back in
// the order the jobs were queued, so what a batch prints does not depend on
// how many workers ran it.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/convert/conversion.h"

namespace cli {

struct JobResult {
    std::vector<std::string> lines;  // memo lines of a trawl entry
    std::string out;                 // text for the output stream
    std::string err;                 // text for the error stream
    bool failed = false;
    bool notRun = false;  // the batch was interrupted before the job started
    app::ConversionOutcome outcome;
};

// Jobs queued per worker before the queue makes the producer wait. The
// results wait for the oldest job, so one big file holds up the taking of
// those behind it: with a short queue the other workers run dry behind a
// 1024-pixel texture (with 16 per worker they still did, several times in a
// trawl of 500 mixed textures). A result is a few lines, and what a worker
// holds in memory is its one image, so memory still follows the workers only.
inline constexpr size_t kPendingPerWorker = 64;

// A job runs on the worker whose number (0 .. workers - 1) it is given.
using Job = std::function<JobResult(int worker)>;

class JobPool {
public:
    explicit JobPool(int workers);
    ~JobPool();  // waits for the running jobs, drops the queued ones
    JobPool(const JobPool&) = delete;
    JobPool& operator=(const JobPool&) = delete;

    // Queues a job. Jobs of one group (files that may touch the same files)
    // run one after another in the order queued; other jobs in any order.
    void Submit(std::string group, Job job);
    // Jobs queued and not yet taken back.
    size_t Pending() const;
    // Whether the oldest job not yet taken has finished.
    bool FrontDone() const;
    // The result of the oldest job not yet taken, waiting for it to finish.
    JobResult TakeFront();

private:
    struct Slot {
        std::string group;
        Job job;
        bool started = false;
        bool done = false;
        JobResult result;
    };
    void Work(int worker);

    mutable std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable jobDone_;
    std::deque<Slot> slots_;         // queued, running and finished, oldest first
    std::set<std::string> running_;  // groups with a job on a worker
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The group of a file: its folder with links resolved, and its name in lower
// case without extension and without trailing "1"s. Files of one group may
// write the same TGA (a.bmp and a.texture both make a.tga; with overwriting
// off a.texture may make a1.tga, which a1.bmp also makes), or read one that
// another writes.
std::string FileGroup(const std::string& canonicalFolder, const std::string& name);
// The folder with links and "." / ".." resolved (as given when that fails).
std::string CanonicalFolder(const std::string& folder);

// The number of cores (1 when unknown, 256 at most).
int DefaultJobs();

}  // namespace cli
