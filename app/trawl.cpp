// The trawl: a depth-first walk of a folder tree, one entry per timer tick,
// converting every image the options select. Also the single-file conversion
// that the trawl and the command line share.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "app/application.h"
#include "app/folder_listing.h"
#include "core/alpha_channel.h"
#include "core/file_io.h"
#include "core/load_image.h"
#include "core/normal_map.h"
#include "core/operations.h"
#include "core/paths.h"
#include "core/save_image.h"

namespace app {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxTrawlDepth = 25;
constexpr int kFastStepMs = 10;
constexpr int kCloseLogMs = 200;
constexpr int kCloseWindowMs = 500;
constexpr int kMemoFlushLines = 100;

std::string JoinPath(const std::string& folder, const std::string& name) {
    return (fs::path(folder) / name).string();
}

std::string LastComponent(const std::string& path) {
    return std::string(core::FileNamePart(path));
}

std::string LowerExtension(const std::string& name) {
    return core::ToLowerAscii(core::ExtensionOf(name));
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

std::string EntryLabel(const FolderListing::Entry& entry) {
    return entry.name + " is " + std::to_string(entry.size) + " bytes in size";
}

}  // namespace

bool Application::ConversionOptionOn(const std::string& lowerExt) const {
    return (lowerExt == ".texture" && settings_.DoTextures) ||
           (lowerExt == ".jpg" && settings_.DoJPGs) || (lowerExt == ".bmp" && settings_.DoBMPs);
}

namespace {

// Whether `folder` is `root` or lies below it (both canonical).
bool InsideTree(const std::string& folder, const std::string& root) {
    if (folder == root) return true;
    if (folder.size() <= root.size() || folder.compare(0, root.size(), root) != 0) return false;
    return core::IsFolderSeparator(root.back()) || core::IsFolderSeparator(folder[root.size()]);
}

std::string Canonical(const std::string& folder, std::error_code& ec) {
    return fs::canonical(fs::path(folder), ec).string();
}

}  // namespace

bool Application::FolderToEnter(const std::string& folder, const std::string& name,
                                std::string& canonical, std::string& line) const {
    // Links can lead anywhere: to "/", or in a fan that reaches one folder by
    // millions of paths. The walk enters each real folder once, and never one
    // outside the tree it was asked to trawl.
    line.clear();
    std::error_code ec;
    canonical = Canonical(folder, ec);
    if (ec) {
        line = "  Folder \"" + name + "\" cannot be entered: " + ec.message();
        return false;
    }
    if (!InsideTree(canonical, trawlRoot_)) {
        line = "  Link \"" + name + "\" leads out of the trawled folder (to \"" + canonical +
               "\") and is not followed";
        return false;
    }
    return trawlVisited_.count(canonical) == 0;
}

void Application::StartClick() {
    const std::string& start = settings_.DefaultDir;
    if (!core::IsFolder(start)) {
        host_.AddMemoLine(std::string(" ") + T("message StartFolder"));
        host_.Beep();
        return;
    }
    FolderPaths[0] = start;
    // A resumed trawl keeps its log: what the memo holds since the last write
    // belongs in it before the memo is cleared.
    if (TrawlActive) WriteLogFile();
    host_.ClearMemo();
    host_.AddMemoLine(std::string(" ") + LastComponent(start));
    if (FolderPaths[0].empty()) return;

    if (TrawlActive) {
        // The folder is listed again from its start: what lies below it may be
        // entered again, as on the first pass.
        std::error_code ec;
        const std::string current = Canonical(FolderPaths[TrawlDepth], ec);
        for (auto it = trawlVisited_.begin(); it != trawlVisited_.end();) {
            it = !ec && *it != current && InsideTree(*it, current) ? trawlVisited_.erase(it)
                                                                   : std::next(it);
        }
        SearchClick();
        ShowTrawlState();
        return;
    }

    // The previous trawl's log may still be waiting for its delayed close;
    // close it now so this trawl gets its own header and is not cut off.
    if (host_.TimerActive(TimerId::CloseLog)) {
        host_.StopTimer(TimerId::CloseLog);
        CloseLogFile();
    }
    TrawlDepth = 0;
    DescendPending = false;
    TopFoldersDone = 0;
    TopFolderCount = 0;
    host_.ShowTrawlButtons();
    std::error_code ec;
    trawlRoot_ = Canonical(FolderPaths[0], ec);
    trawlVisited_ = {trawlRoot_};
    // The subfolders the walk will enter, each real folder once.
    std::set<std::string> topFolders;
    FolderListing top;
    top.Open(FolderPaths[0]);
    while (top.Next()) {
        const std::string& name = top.Current().name;
        if (IsDotEntry(name)) continue;
        const std::string path = JoinPath(FolderPaths[0], name);
        std::string canonical, line;
        if (core::IsFolder(path) && FolderToEnter(path, name, canonical, line))
            topFolders.insert(canonical);
    }
    top.Close();
    TopFolderCount = static_cast<int>(topFolders.size());
    SearchClick();
    ShowTrawlState();
}

void Application::SearchClick() {
    if (!LogOpen) OpenLogFile();
    TrawlActive = true;
    StepConverted = false;
    auto& listing = FolderListings[TrawlDepth];
    if (!listing) listing = std::make_unique<FolderListing>();
    if (!listing->Open(FolderPaths[TrawlDepth]) && TrawlDepth > 0) {
        // Gone, or a path too long to open: the walk goes on without it.
        host_.AddMemoLine("  Folder \"" + LastComponent(FolderPaths[TrawlDepth]) +
                          "\" could not be listed");
    }
    if (listing->HasCurrent()) host_.SetFileNameLabel(EntryLabel(listing->Current()));
    ListingOpen[TrawlDepth] = true;
    host_.StartTimer(TimerId::TrawlSlow, settings_.TrawlSpeed);
    TrawlStopped = false;
}

void Application::Timer5Timer() {
    host_.StopTimer(TimerId::TrawlFast);
    host_.StopTimer(TimerId::TrawlSlow);
    if (TrawlStopped) return;
    if (DescendPending) {
        DescendPending = false;
        SearchClick();
    } else {
        Again();
    }
}

void Application::Again() {
    host_.StopTimer(TimerId::TrawlSlow);
    host_.StopTimer(TimerId::TrawlFast);

    if (ListingOpen[TrawlDepth]) {
        FolderListing& listing = *FolderListings[TrawlDepth];
        if (listing.Next()) {
            const FolderListing::Entry entry = listing.Current();
            host_.SetFileNameLabel(EntryLabel(entry));
            EntryFolder = FolderPaths[TrawlDepth];
            EntryName = entry.name;
            if (ConvertEntryHook) {
                ConvertEntryHook();
            } else {
                TrawlConvert();
            }
            const std::string path = JoinPath(FolderPaths[TrawlDepth], entry.name);
            std::string canonical, refusal;
            if (!IsDotEntry(entry.name) && core::IsFolder(path)) {
                if (FolderToEnter(path, entry.name, canonical, refusal)) {
                    FolderPaths[TrawlDepth + 1] = path;
                    ++TrawlDepth;
                    DescendPending = true;
                    if (TrawlDepth > kMaxTrawlDepth) {
                        DescendPending = false;
                        TrawlDepth = kMaxTrawlDepth;
                    } else {
                        trawlVisited_.insert(canonical);
                    }
                    host_.AddMemoLine("");
                    host_.AddMemoLine(std::string("searching ") +
                                      LastComponent(FolderPaths[TrawlDepth]));
                } else if (!refusal.empty()) {
                    host_.AddMemoLine(refusal);
                }
            }
        } else {
            listing.Close();
            ListingOpen[TrawlDepth] = false;
            if (TrawlDepth == 0) {
                host_.StopTimer(TimerId::OpenDelayed);
                host_.AddMemoLine(std::string("  -- ") + T("message Finished") + " --");
                TrawlActive = false;
                WriteLogFile();
                host_.StartTimer(TimerId::CloseLog, kCloseLogMs);
                ShowTrawlState();
                if (settings_.CloseOnDone) host_.StartTimer(TimerId::CloseWindow, kCloseWindowMs);
                return;
            }
            --TrawlDepth;
            if (TrawlDepth == 0) {
                TopFoldersDone = std::min(TopFoldersDone + 1, TopFolderCount);
                if (TopFolderCount != 0) ShowTrawlState();
            }
        }
    }

    if (host_.MemoLineCount() > kMemoFlushLines) {
        WriteLogFile();
        host_.ClearMemo();
    }
    if (StepConverted) {
        host_.StartTimer(TimerId::TrawlSlow, settings_.TrawlSpeed);
    } else {
        host_.StartTimer(TimerId::TrawlFast, kFastStepMs);
    }
}

void Application::bStopClick() {
    TrawlStopped = true;
    host_.StopTimer(TimerId::TrawlSlow);
    host_.StopTimer(TimerId::TrawlFast);
    ShowTrawlState();
}

bool Application::EntryNeedsImageWork(const std::string& name) const {
    const std::string ext = LowerExtension(name);
    return ConversionOptionOn(ext) ||
           (settings_.FixUniformColour && (ext == ".tga" || ext == ".bmp" || ext == ".jpg"));
}

void Application::RepairUniformColour() {
    if (RandomSeedForFile) Random.seed(RandomSeedForFile(settings_.CurrentFile));
    core::NonUniformColour(store_, settings_.PixelSetCount, settings_.PixelSetChange,
                           settings_.PixelSetRandom, Random);
    LastOutcome.repaired = true;
}

void Application::TrawlConvert() {
    StepConverted = false;
    LastOutcome = EntryOutcome();
    settings_.CurrentFile = JoinPath(EntryFolder, EntryName);
    const std::string ext = LowerExtension(EntryName);

    if (ext == ".bmp" || ext == ".jpg" || ext == ".texture") {
        if (ConversionOptionOn(ext)) {
            host_.AddMemoLine("");
            host_.AddMemoLine(std::string(" ") + T("message Converting") + ": " + EntryName + " " +
                              T("message TGA"));
            ConvertTGA();
        } else {
            LastOutcome.skipped = true;
            if (!settings_.FixUniformColour)
                host_.AddMemoLine(std::string(" ") + T("message ConvertNone") + ": " + EntryName);
        }
    }

    if (settings_.FixUniformColour && (ext == ".tga" || ext == ".bmp" || ext == ".jpg")) {
        ViewTexture(true);
        StepConverted = true;
        // The source itself is repaired and rewritten in its own format.
        if (store_.ImageLoaded && store_.UniformColour) {
            host_.AddMemoLine("");
            host_.AddMemoLine(std::string(" ") + T("message FixedColour") + ": " + EntryName);
            RepairUniformColour();
            // The repaired file replaces its own source: nothing could restore
            // it after a power cut, so it reaches the disk before its name.
            const core::DurableWrites durable;
            if (!core::SaveImage(store_, settings_.CurrentFile)) {
                host_.AddMemoLine(store_.LoadErrorText);
                LastOutcome.refused = true;
                LastOutcome.problems.push_back(store_.LoadErrorText);
            }
        }
    }
}

void Application::ConvertTGA() {
    if (!ConversionOptionOn(LowerExtension(settings_.CurrentFile))) return;
    OpenAndSave();
    StepConverted = true;
}

void Application::OpenAndSave() {
    OpenAndSaveTo("", nullptr);
}

bool Application::OpenAndSaveTo(const std::string& target, std::string* written) {
    // A normal map is asked for one conversion only, whatever its outcome.
    const bool normalMap = NormalMapRequest;
    NormalMapRequest = false;

    const std::string source = settings_.CurrentFile;
    const std::string ext = LowerExtension(source);
    const std::string name = LastComponent(source);
    ViewTexture(true);
    // A failed load has already been reported, and there is nothing to write.
    if (!store_.ImageLoaded) return false;
    if ((ext == ".jpg" || ext == ".bmp") &&
        core::BadDimensions(store_.Image.Width, store_.Image.Height)) {
        const std::string line = std::string(" ") + T("message InvalidSize") + ": " + name;
        host_.AddMemoLine(line);
        LastOutcome.refused = true;
        LastOutcome.problems.push_back(line.substr(1));
        return false;
    }
    if (ext == ".jpg" && core::RemoveAlphaChannel(store_)) ViewTexture(false);
    if (settings_.FixUniformColour && store_.UniformColour) {
        RepairUniformColour();
        host_.AddMemoLine("");
        host_.AddMemoLine(std::string(" ") + T("message FixedColour") + ": " + name);
    }
    if (normalMap) {
        core::GreyScale(store_);
        ViewTexture(false);
        core::MakeNormalMap(store_.Image.Width, store_.Image.Height, store_.Image.DataSize,
                            store_.Image.Data, settings_.AlphaFillValue);
        ViewTexture(false);
    }

    std::string tgaName = target;
    if (tgaName.empty()) {
        std::string base = source.substr(0, source.size() - core::ExtensionOf(source).size());
        if (normalMap) base += "_normal";
        // With overwriting off, no file the save would write may be replaced
        // (a cube map writes six faces, never base.tga itself).
        const auto wouldReplace = [&] {
            const auto paths = core::SavedImagePaths(store_, base + ".tga");
            return std::any_of(paths.begin(), paths.end(), core::IsFile);
        };
        if (!settings_.OverwriteTGAs && wouldReplace()) base += "1";
        tgaName = base + ".tga";
    }
    // A write that fails is reported like a load that fails.
    if (!core::SaveImage(store_, tgaName)) {
        ReportLoadError();
        return false;
    }
    if (written) *written = tgaName;
    LastOutcome.converted = true;
    return true;
}

}  // namespace app
