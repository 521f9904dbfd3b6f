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

#include "app/convert/image_reading.h"
#include "app/host.h"
#include "app/settings/language.h"
#include "app/settings/settings.h"
#include "app/view/image_edits.h"
#include "core/image/image_store.h"

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
    // The trawl's rules: a .bmp, .jpg or .png of a size the simulator cannot
    // use is refused, a JPEG's alpha is dropped, an image of one uniform colour is
    // repaired (with FixUniformColour on), and with OverwriteTGAs off no file
    // is replaced (the target gets a "1").
    bool trawlRules = true;
    // Repairs an image of one uniform colour after the edits too (the
    // console's --fix-uniform beside edits, which set the trawl's rules aside).
    bool repairAfterEdits = false;
};

// The TGA written beside a source: its name without the extension
// ("wagon.texture" -> "wagon"), "_normal" for a normal map, then the
// extension of the format table's conversion row (.tga).
std::string TgaNameBeside(const std::string& source, bool normalMap);

// Whether the trawl reads or writes an image for an entry of this name with
// these settings (a conversion, or the uniform-colour repair).
bool NeedsImageWork(const Settings& settings, std::string_view name);

// Where a conversion's image is shown, in the desktop program, which shows
// each file it converts. Without one nothing is drawn.
struct ConversionDisplay {
    // The store holds what was just read.
    std::function<void(ReadOutcome read)> showRead;
    // The store's image changed.
    std::function<void()> redraw;
    // Whether a trawl is under way: failures are then message-log lines, not
    // message boxes.
    std::function<bool()> inTrawl;
};

class Conversion {
public:
    // Works on `store`: the desktop program's open image, or a batch worker's own.
    Conversion(Messages& messages, Settings& settings, const Language& language,
               core::ImageStore& store);

    void ShowOn(ConversionDisplay display) { display_ = std::move(display); }
    core::ImageStore& Store() { return store_; }
    const core::ImageStore& Store() const { return store_; }

    // Converts as the request says; the source becomes CurrentFile. True when
    // the target was written; its name goes to `written`. A failure is a
    // message box, or a message-log line during a trawl.
    bool Convert(const ConversionRequest& request, std::string* written = nullptr);
    // The trawl's work on one entry: a convertible type whose option is on is
    // converted beside itself, and a .tga, .bmp or .jpg of one uniform colour
    // is repaired in place (a .png never is). Returns whether an image was read or written.
    bool ConvertEntry(const std::string& folder, const std::string& name);
    // Whether ConvertEntry is under way (its failures are memo lines).
    bool ConvertingEntry() const { return convertingEntry_; }
    const ConversionOutcome& LastOutcome() const { return outcome_; }
    void ForgetOutcome() { outcome_ = ConversionOutcome(); }

    // From now on an unedited block-coded texture converted to TGA is decoded
    // straight into the TGA, its picture never held whole, and the store is
    // left empty: for a batch worker, whose store nobody shows.
    void StreamTexturesToTga() { streamTextures_ = true; }

    // Each uniform-colour repair then draws from a generator seeded with this
    // value of the file's path, so a file is repaired the same way whichever
    // worker converts it. Unset: one clock-seeded generator for the run.
    void SeedRepairsWith(std::function<uint32_t(const std::string& file)> seedForFile);
    const std::function<uint32_t(const std::string& file)>& RepairSeeds() const {
        return seedForFile_;
    }

private:
    bool Read(const std::string& path);
    bool StreamedToTga(const ConversionRequest& request, std::string* written);
    void Redraw();
    void ReportFailure(const std::string& text);
    void RepairUniformColour(const std::string& file);
    void NoteRefusal(const std::string& problem);
    // A message-log line as most messages are shown: a space, the translated
    // text, then `rest`.
    std::string Line(const std::string& key, const std::string& rest = "") const;

    Messages& messages_;
    Settings& settings_;
    const Language& language_;
    core::ImageStore& store_;
    core::ReaderNotices notices_;
    ConversionDisplay display_;
    std::mt19937 random_;
    std::function<uint32_t(const std::string& file)> seedForFile_;
    ConversionOutcome outcome_;
    bool convertingEntry_ = false;
    bool streamTextures_ = false;
};

}  // namespace app
