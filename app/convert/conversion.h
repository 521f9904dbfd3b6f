// The one way a file is converted, shared by the trawl, the desktop program's
// command line and the console's convert: load, the trawl's rules, the edits,
// the target's name, the save. Also what the trawl does with each entry it
// lists. Owns the random source of the uniform-colour repair and what the
// last conversion did.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/context.h"
#include "app/view/image_edits.h"
#include "app/view/image_view.h"

namespace app {

// What a conversion (or a trawl entry) did to its file, for a console's summary.
struct ConversionOutcome {
    bool converted = false;             // a TGA was written
    bool repaired = false;              // an image of one uniform colour was repaired
    bool refused = false;               // a read, size test, edit or write failed
    bool skipped = false;               // a convertible type whose option is off
    std::vector<std::string> problems;  // the lines that reported the refusal
};

struct ConversionRequest {
    std::string source;
    std::string target;  // empty: TgaNameBeside the source
    ImageEdits edits;
    // The trawl's rules: a .bmp or .jpg of a size the simulator cannot use is
    // refused, a JPEG's alpha is dropped, an image of one uniform colour is
    // repaired (with FixUniformColour on), and with OverwriteTGAs off no file
    // is replaced (the target gets a "1").
    bool trawlRules = true;
};

// The TGA written beside a source: its name without the extension
// ("wagon.texture" -> "wagon"), "_normal" for a normal map, then ".tga".
std::string TgaNameBeside(const std::string& source, bool normalMap);

// Whether the trawl reads or writes an image for an entry of this name with
// these settings (a conversion, or the uniform-colour repair).
bool NeedsImageWork(const Settings& settings, std::string_view name);

class Conversion {
public:
    Conversion(const Context& context, ImageView& view);

    // Converts as the request says; the source becomes CurrentFile and is
    // shown. True when the target was written; its name goes to `written`.
    // A failure is reported as the view reports failures.
    bool Convert(const ConversionRequest& request, std::string* written = nullptr);
    // The trawl's work on one entry: a convertible type whose option is on is
    // converted beside itself, and a .tga, .bmp or .jpg of one uniform colour
    // is repaired in place. Returns whether an image was read or written.
    bool ConvertEntry(const std::string& folder, const std::string& name);
    // Whether ConvertEntry is under way (its failures are memo lines).
    bool ConvertingEntry() const { return convertingEntry_; }
    const ConversionOutcome& LastOutcome() const { return outcome_; }

    // Each uniform-colour repair then draws from a generator seeded with this
    // value of the file's path, so a file is repaired the same way whichever
    // worker converts it. Unset: one clock-seeded generator for the run.
    void SeedRepairsWith(std::function<uint32_t(const std::string& file)> seedForFile);
    const std::function<uint32_t(const std::string& file)>& RepairSeeds() const {
        return seedForFile_;
    }

private:
    void RepairUniformColour();
    void NoteRefusal(const std::string& problem);

    Context ctx_;
    ImageView& view_;
    std::mt19937 random_;
    std::function<uint32_t(const std::string& file)> seedForFile_;
    ConversionOutcome outcome_;
    bool convertingEntry_ = false;
};

}  // namespace app
