#include "cli/commands/edits.h"

#include <charconv>
#include <ostream>

#include "core/ops/operations.h"

namespace cli {

using app::EditKind;

namespace {

bool ParseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    return !text.empty() && error == std::errc() && stop == end && value >= low && value <= high;
}

}  // namespace

EditParse ParseEditOption(const std::vector<std::string>& args, size_t& i, app::ImageEdits& edits,
                          std::ostream& err) {
    const std::string& a = args[i];
    const size_t equals = a.find('=');
    const std::string name = a.substr(0, equals);
    const bool inlineValue = equals != std::string::npos;

    struct Simple {
        const char* name;
        EditKind kind;
    };
    static constexpr Simple kSimple[] = {
        {"--grey", EditKind::Grey},
        {"--invert-alpha", EditKind::InvertAlpha},
        {"--remove-alpha", EditKind::RemoveAlpha},
        {"--normalmap", EditKind::NormalMap},
        {"--fix-uniform", EditKind::FixUniform},
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
    if (name == "--add-alpha") {
        if (!inlineValue) {
            edits.list.push_back({EditKind::AddAlpha, {}, 0});
            return EditParse::Taken;
        }
        int level = 0;
        if (!ParseInt(a.substr(equals + 1), 0, 255, level)) {
            err << "skeinpress-cli convert: --add-alpha=LEVEL needs a level from 0 to 255\n";
            return EditParse::UsageError;
        }
        edits.list.push_back({EditKind::AddAlphaLevel, {}, level});
        return EditParse::Taken;
    }

    // Options with a value, given as "--name VALUE" or "--name=VALUE".
    static const char* const kValued[] = {"--mask",       "--merge-alpha", "--colour-copy",
                                          "--alpha-copy", "--pixel-count", "--pixel-change"};
    bool valued = false;
    for (const char* v : kValued) valued = valued || name == v;
    if (!valued) return EditParse::NotAnEdit;
    std::string value;
    if (inlineValue) {
        value = a.substr(equals + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    } else {
        err << "skeinpress-cli convert: " << name << " needs a value\n";
        return EditParse::UsageError;
    }

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
        if (!ParseInt(value, 1, 127, n)) {
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
