#include "cli/commands/edits.h"

#include <optional>
#include <ostream>

#include "cli/options/options.h"
#include "core/ops/operations.h"

namespace cli {

using app::EditKind;

EditParse ParseEditOption(const std::vector<std::string>& args, size_t& i, app::ImageEdits& edits,
                          std::ostream& err) {
    const std::string& a = args[i];
    struct Simple {
        const char* name;
        EditKind kind;
    };
    static constexpr Simple kSimple[] = {
        {"--grey", EditKind::Grey},
        {"--invert-alpha", EditKind::InvertAlpha},
        {"--remove-alpha", EditKind::RemoveAlpha},
        {"--normalmap", EditKind::NormalMap},
    };
    for (const Simple& s : kSimple) {
        if (a == s.name) {
            edits.list.push_back({s.kind, {}, 0});
            return EditParse::Taken;
        }
    }
    if (a == "--pixel-even") {
        edits.pixelRandom = false;
        return EditParse::Taken;
    }
    if (a == "--add-alpha") {
        edits.list.push_back({EditKind::AddAlpha, {}, 0});
        return EditParse::Taken;
    }
    if (const std::optional<std::string> levelText = InlineValue(a, "--add-alpha")) {
        int level = 0;
        if (!ParseNumber(*levelText, 0, 255, level)) {
            err << "skeinpress-cli convert: --add-alpha=LEVEL needs a level from 0 to 255\n";
            return EditParse::UsageError;
        }
        edits.list.push_back({EditKind::AddAlphaLevel, {}, level});
        return EditParse::Taken;
    }

    const std::string name = a.substr(0, a.find('='));
    std::optional<std::string> given;
    if (!TakeValueOption(args, i,
                         {"--mask", "--merge-alpha", "--colour-copy", "--alpha-copy",
                          "--pixel-count", "--pixel-change"},
                         given))
        return EditParse::NotAnEdit;
    if (!given) {
        err << "skeinpress-cli convert: " << name << " needs a value\n";
        return EditParse::UsageError;
    }
    const std::string& value = *given;

    if (name == "--mask") {
        core::AlphaMaskSpec spec;
        if (!core::ParseAlphaMaskSpec(value, spec)) {
            err << "skeinpress-cli convert: --mask needs R,G,B,T (colours 0 to 255, tolerance 0 or "
                   "more), not \""
                << value << "\"\n";
            return EditParse::UsageError;
        }
        edits.list.push_back({EditKind::Mask, value, 0});
    } else if (name == "--pixel-count" || name == "--pixel-change") {
        int n = 0;
        if (!ParseNumber(value, 1, 127, n)) {
            err << "skeinpress-cli convert: " << name << " needs a number from 1 to 127\n";
            return EditParse::UsageError;
        }
        (name == "--pixel-count" ? edits.pixelCount : edits.pixelChange) = n;
    } else {
        if (value.empty()) {
            err << "skeinpress-cli convert: " << name << " needs a file name\n";
            return EditParse::UsageError;
        }
        const EditKind kind = name == "--merge-alpha"   ? EditKind::MergeAlpha
                              : name == "--colour-copy" ? EditKind::ColourCopy
                                                        : EditKind::AlphaCopy;
        edits.list.push_back({kind, value, 0});
    }
    return EditParse::Taken;
}

}  // namespace cli
