#include "cli/batch/job_pool.h"

#include <algorithm>

#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace cli {

JobPool::JobPool(int workers) {
    for (int w = 0; w < workers; ++w) threads_.emplace_back([this, w] { Work(w); });
}

JobPool::~JobPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    workReady_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void JobPool::Submit(std::string group, Job job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Slot slot;
        slot.group = std::move(group);
        slot.job = std::move(job);
        slots_.push_back(std::move(slot));
    }
    workReady_.notify_one();
}

size_t JobPool::Pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return slots_.size();
}

bool JobPool::FrontDone() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !slots_.empty() && slots_.front().done;
}

JobResult JobPool::TakeFront() {
    std::unique_lock<std::mutex> lock(mutex_);
    jobDone_.wait(lock, [this] { return slots_.empty() || slots_.front().done; });
    if (slots_.empty()) return JobResult();
    JobResult result = std::move(slots_.front().result);
    slots_.pop_front();
    return result;
}

void JobPool::Work(int worker) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (stopping_) return;
        // The oldest queued job whose group is not already on a worker; a later
        // job of a busy group waits behind the earlier one.
        Slot* next = nullptr;
        for (Slot& slot : slots_) {
            if (!slot.started && running_.count(slot.group) == 0) {
                next = &slot;
                break;
            }
        }
        if (!next) {
            workReady_.wait(lock);
            continue;
        }
        // Slots are only removed once done, so `next` stays valid while unlocked.
        next->started = true;
        running_.insert(next->group);
        Job job = std::move(next->job);
        lock.unlock();
        JobResult result;
        try {
            result = job(worker);
        } catch (const std::exception& e) {
            result.err = std::string("conversion failed: ") + e.what() + "\n";
            result.failed = true;
        }
        lock.lock();
        next->result = std::move(result);
        next->done = true;
        running_.erase(next->group);
        jobDone_.notify_all();
        // A job of the group just freed may now run.
        workReady_.notify_all();
    }
}

std::string CanonicalFolder(const std::string& folder) {
    std::string problem;
    const std::string canonical = core::CanonicalPath(folder, problem);
    return canonical.empty() ? folder : canonical;
}

std::string FileGroup(const std::string& canonicalFolder, const std::string& name) {
    std::string stem =
        core::ToLowerAscii(name.substr(0, name.size() - core::ExtensionOf(name).size()));
    while (!stem.empty() && stem.back() == '1') stem.pop_back();
    // NUL cannot occur in a path, so folder and stem cannot run into each other.
    return canonicalFolder + '\0' + stem;
}

int DefaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 256u));
}

}  // namespace cli
