#include "app/convert/conversion.h"

#include "app/convert/image_reading.h"

#include <algorithm>
#include <chrono>

#include "core/formats/format_table.h"
#include "core/formats/save_image.h"
#include "core/formats/texture_to_tga.h"
#include "core/image/alpha_channel.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"
#include "core/ops/operations.h"
#include "core/ops/render.h"

namespace app {

namespace {

// The option that has the trawl convert files of `name`'s type; none for the
// types it does not convert.
const bool* ConversionOption(const Settings& settings, std::string_view name) {
    const core::FormatRow* row = core::OpenedFormatOf(name);
    if (row == nullptr || !row->Has(core::kTrawled)) return nullptr;
    const bool Settings::*flag = TrawlOptionOf(row->name);
    return flag ? &(settings.*flag) : nullptr;
}

// With overwriting off, no file the save would write may be replaced (a cube
// map writes six faces, never the TGA itself): "wagon.tga" becomes "wagon1.tga".
std::string KeepingExistingFiles(const core::Image& image, const std::string& tgaName) {
    const auto paths = core::SavedImagePaths(image, tgaName);
    if (std::none_of(paths.begin(), paths.end(), core::IsFile)) return tgaName;
    const std::string_view ext = core::ExtensionOf(tgaName);
    return tgaName.substr(0, tgaName.size() - ext.size()) + "1" + std::string(ext);
}

// Where a conversion writes: the target asked for, else the TGA beside the
// source (a normal map's with "_normal"), which with overwriting off under the
// trawl's rules replaces no file that `image` would write.
std::string TargetOf(const ConversionRequest& request, const Settings& settings,
                     const core::Image& image) {
    if (!request.target.empty()) return request.target;
    const std::string target =
        TgaNameBeside(request.source, request.edits.Has(EditKind::NormalMap));
    if (!request.trawlRules || settings.OverwriteTGAs) return target;
    return KeepingExistingFiles(image, target);
}

// Only the simulator's own types (the default TGA among them) are repaired:
// PNG, DDS and HDR are exports for other tools and keep what was read.
bool RepairsUniformColour(const ConversionRequest& request) {
    return request.target.empty() || core::ExtensionHas(request.target, core::kRepairedInPlace);
}

// Sets a flag for as long as it lives.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

std::string TgaNameBeside(const std::string& source, bool normalMap) {
    const std::string base = source.substr(0, source.size() - core::ExtensionOf(source).size());
    return base + (normalMap ? "_normal" : "") + std::string(core::ConversionExtension());
}

bool NeedsImageWork(const Settings& settings, std::string_view name) {
    const bool* option = ConversionOption(settings, name);
    return (option && *option) ||
           (settings.FixUniformColour && core::ExtensionHas(name, core::kRepairedInPlace));
}

Conversion::Conversion(Messages& messages, Settings& settings, const Language& language,
                       core::ImageStore& store)
    : messages_(messages),
      settings_(settings),
      language_(language),
      store_(store),
      random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {
    notices_.line = [this](const std::string& line) { messages_.AddMemoLine(line); };
    notices_.beep = [this] { messages_.Beep(); };
}

std::string Conversion::Line(const std::string& key, const std::string& rest) const {
    return std::string(" ").append(language_.Translate(key)).append(rest);
}

void Conversion::ReportFailure(const std::string& text) {
    if (convertingEntry_ || (display_.inTrawl && display_.inTrawl())) {
        messages_.AddMemoLine(text);
    } else {
        messages_.ShowError(text);
    }
}

bool Conversion::Read(const std::string& path) {
    const ReadOutcome read =
        ReadImageFile(store_, path, convertingEntry_ || (display_.inTrawl && display_.inTrawl()),
                      notices_, [this](const std::string& text) {
                          ReportFailure(text);
                          NoteRefusal(text);
                      });
    if (display_.showRead) display_.showRead(read);
    return read != ReadOutcome::Failed;
}

void Conversion::Redraw() {
    // The uniform-colour finding follows the pixels, drawn or not.
    core::NoteUniformColour(store_);
    if (display_.redraw) display_.redraw();
}

void Conversion::SeedRepairsWith(std::function<uint32_t(const std::string& file)> seedForFile) {
    seedForFile_ = std::move(seedForFile);
}

void Conversion::NoteRefusal(const std::string& problem) {
    outcome_.refused = true;
    outcome_.problems.push_back(problem);
}

void Conversion::RepairUniformColour(const std::string& file) {
    const Settings& s = settings_;
    if (seedForFile_) random_.seed(seedForFile_(file));
    core::NonUniformColour(store_.Current, s.PixelSetCount, s.PixelSetChange, s.PixelSetRandom,
                           random_);
    outcome_.repaired = true;
}

bool Conversion::Convert(const ConversionRequest& request, std::string* written) {
    outcome_ = ConversionOutcome();
    Settings& s = settings_;
    core::ImageStore& store = store_;
    const std::string source = request.source;
    const std::string name(core::FileNamePart(source));
    s.CurrentFile = source;
    if (streamTextures_ && StreamedToTga(request, written)) return true;
    Read(source);
    // A failed load has been reported, and there is nothing to write.
    if (!store.Loaded()) return false;

    const bool repairs = RepairsUniformColour(request);
    auto repairIfUniform = [&] {
        if (!repairs || !s.FixUniformColour || !store.UniformColour) return;
        RepairUniformColour(source);
        messages_.AddMemoLine("");
        messages_.AddMemoLine(Line("message FixedColour", ": " + name));
    };

    if (request.trawlRules) {
        if (core::ExtensionHas(source, core::kSizeChecked) &&
            core::BadDimensions(store.Current.Width, store.Current.Height)) {
            const std::string line = Line("message InvalidSize", ": " + name);
            messages_.AddMemoLine(line);
            NoteRefusal(line.substr(1));
            return false;
        }
        if (core::ExtensionHas(source, core::kOpaque) && core::RemoveAlphaChannel(store.Current))
            Redraw();
        repairIfUniform();
    }

    if (!request.edits.Empty()) {
        if (seedForFile_) random_.seed(seedForFile_(source));
        std::string error;
        if (!ApplyEdits(store, request.edits, s.AlphaFillValue, random_, error)) {
            ReportFailure(error);
            NoteRefusal(error);
            return false;
        }
        Redraw();
        if (request.repairAfterEdits) {
            repairIfUniform();
            if (outcome_.repaired) Redraw();
        }
    }

    const std::string target = TargetOf(request, s, store.Current);
    core::Failure failure;
    if (core::HasLineBreak(target)) {
        failure = {
            core::Error::TargetNameHasLineBreak, {}, core::OnOneLine(core::FileNamePart(target))};
    } else {
        failure = core::SaveImage(store.Current, target);
    }
    // A write that fails is reported like a load that fails.
    if (failure) {
        ReportFailure(failure.Message());
        NoteRefusal(failure.Message());
        return false;
    }
    if (written) *written = target;
    outcome_.converted = true;
    return true;
}

// What Convert does for an unedited texture, without its picture: nothing it
// decides after the read can apply but the uniform-colour repair, for which
// the stream refuses a picture of one colour. Whatever the stream refuses or
// fails at is then converted the usual way, which reports it.
bool Conversion::StreamedToTga(const ConversionRequest& request, std::string* written) {
    const std::string& source = request.source;
    if (!request.edits.Empty() || core::HasLineBreak(source)) return false;
    store_.Current = core::Image();
    store_.AlphaView = false;
    // The stream takes no cube map: the empty image names its one TGA.
    const std::string target = TargetOf(request, settings_, store_.Current);
    const bool refuseUniform =
        request.trawlRules && settings_.FixUniformColour && RepairsUniformColour(request);
    if (core::HasLineBreak(target) || !core::StreamTextureToTga(source, target, refuseUniform))
        return false;
    if (written) *written = target;
    outcome_.converted = true;
    return true;
}

bool Conversion::ConvertEntry(const std::string& folder, const std::string& name) {
    const FlagScope converting(convertingEntry_);
    outcome_ = ConversionOutcome();
    Settings& s = settings_;
    s.CurrentFile = core::JoinPath(folder, name);
    const std::string path = s.CurrentFile;
    bool imageWork = false;
    bool unreadable = false;

    if (const bool* option = ConversionOption(s, name)) {
        if (*option) {
            messages_.AddMemoLine("");
            messages_.AddMemoLine(
                Line("message Converting", ": " + name + " " + language_.Translate("message TGA")));
            Convert({path, "", {}, true});
            unreadable = !store_.Loaded();
            imageWork = true;
        } else {
            outcome_.skipped = true;
            if (!s.FixUniformColour)
                messages_.AddMemoLine(Line("message ConvertNone", ": " + name));
        }
    }

    // A file the conversion has just read is not read again (its refusal is
    // reported once, and a file that is costly to read costs once): the
    // store still holds its picture, or the picture repaired from it.
    if (s.FixUniformColour && core::ExtensionHas(name, core::kRepairedInPlace) && !unreadable) {
        core::ImageStore& store = store_;
        if (!imageWork) {
            Read(path);
        } else if (outcome_.repaired) {
            store.UniformColour = true;  // repaired for the TGA: the source is repaired alike
        }
        imageWork = true;
        // The source itself is repaired and rewritten in its own format.
        if (store.Loaded() && store.UniformColour) {
            messages_.AddMemoLine("");
            messages_.AddMemoLine(Line("message FixedColour", ": " + name));
            if (!outcome_.repaired) RepairUniformColour(path);
            // The repaired file replaces its own source: nothing could restore
            // it after a power cut, so it reaches the disk before its name.
            const core::DurableWrites durable;
            if (const core::Failure failure = core::SaveImage(store.Current, path)) {
                messages_.AddMemoLine(failure.Message());
                NoteRefusal(failure.Message());
            }
        }
    }
    return imageWork;
}

}  // namespace app
