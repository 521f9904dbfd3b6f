#include "cli/batch/conversion_worker.h"

#include "cli/batch/batch_report.h"
#include "core/formats/save_image.h"
#include "core/io/paths.h"

namespace cli {

uint32_t SeedForFile(const std::string& file) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : file) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

ConversionWorker::ConversionWorker(const app::Session& model)
    : messages_(out_, err_),
      settings_(model.settings()),
      language_(model.language()),
      conversion_(messages_, settings_, language_, store_) {
    conversion_.SeedRepairsWith(model.conversion().RepairSeeds());
    conversion_.StreamTexturesToTga();
}

JobResult ConversionWorker::Collect() {
    JobResult result;
    result.lines = messages_.MemoLines();
    messages_.ClearMemo();
    result.out = out_.str();
    out_.str("");
    result.err = err_.str();
    err_.str("");
    result.outcome = conversion_.LastOutcome();
    return result;
}

JobResult ConversionWorker::TrawlEntry(const std::string& folder, const std::string& name) {
    conversion_.ConvertEntry(folder, name);
    JobResult result = Collect();
    result.out.clear();  // the memo lines are in `lines`
    return result;
}

JobResult ConversionWorker::Convert(const std::string& file, app::ConversionRequest request) {
    messages_.SetMessagePrefix(core::OnOneLine(file) + ": ");
    request.source = file;
    std::string written;
    const bool ok = conversion_.Convert(request, &written);
    if (ok) out_ << ConvertedLine(file, core::SavedImagePaths(store_.Current, written));
    JobResult result = Collect();
    result.failed = !ok;
    return result;
}

}  // namespace cli
