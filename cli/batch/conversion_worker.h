// A worker of a batch: its own conversion and image store, with the settings
// and language of the session that runs the batch, whose message-log
// lines and messages are collected per job.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "app/session.h"
#include "cli/batch/console_messages.h"
#include "cli/batch/job_pool.h"

namespace cli {

// A seed for the uniform-colour repair of a file, from its name alone.
uint32_t SeedForFile(const std::string& file);

class ConversionWorker {
public:
    explicit ConversionWorker(const app::Session& model);
    // The trawl's work on folder/name: its memo lines and outcome.
    JobResult TrawlEntry(const std::string& folder, const std::string& name);
    // The conversion of `file` as `request` asks, printed as the convert
    // command prints it.
    JobResult Convert(const std::string& file, app::ConversionRequest request);

private:
    JobResult Collect();

    std::ostringstream out_;
    std::ostringstream err_;
    ConsoleMessages messages_;
    app::Settings settings_;
    app::Language language_;
    core::ImageStore store_;
    app::Conversion conversion_;
};

}  // namespace cli
