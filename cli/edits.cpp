#include "cli/edits.h"

#include <charconv>
#include <ostream>

#include "core/alpha_channel.h"
#include "core/normal_map.h"
#include "core/operations.h"
#include "core/paths.h"
#include "core/render.h"

namespace cli {

namespace {

bool ParseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    return !text.empty() && error == std::errc() && stop == end && value >= low && value <= high;
}

// Copies are extra files: a texture's description must keep naming the main
// target, so it is not written for them.
template <typename Save>
bool SaveCopy(core::ImageStore& store, const std::string& path, Save save) {
    const bool hadDescription = store.HasTextureDescription;
    store.HasTextureDescription = false;
    const bool saved = save(store, path);
    store.HasTextureDescription = hadDescription;
    return saved;
}

std::string Reason(const core::ImageStore& store, const char* fallback) {
    return store.LoadErrorText.empty() ? fallback : store.LoadErrorText;
}

}  // namespace

bool EditOptions::Has(EditKind kind) const {
    for (const Edit& e : edits) {
        if (e.kind == kind) return true;
    }
    return false;
}

EditParse ParseEditOption(const std::vector<std::string>& args, size_t& i, EditOptions& options,
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
            options.edits.push_back({s.kind, {}, 0});
            return EditParse::Taken;
        }
    }
    if (a == "--pixel-even") {
        options.pixelRandom = false;
        return EditParse::Taken;
    }
    if (name == "--add-alpha") {
        if (!inlineValue) {
            options.edits.push_back({EditKind::AddAlpha, {}, 0});
            return EditParse::Taken;
        }
        int level = 0;
        if (!ParseInt(a.substr(equals + 1), 0, 255, level)) {
            err << "skeinpress-cli convert: --add-alpha=LEVEL needs a level from 0 to 255\n";
            return EditParse::UsageError;
        }
        options.edits.push_back({EditKind::AddAlphaLevel, {}, level});
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
        options.edits.push_back({EditKind::Mask, value, 0});
    } else if (name == "--pixel-count" || name == "--pixel-change") {
        int n = 0;
        if (!ParseInt(value, 1, 127, n)) {
            err << "skeinpress-cli convert: " << name << " needs a number from 1 to 127\n";
            return EditParse::UsageError;
        }
        (name == "--pixel-count" ? options.pixelCount : options.pixelChange) = n;
    } else {
        if (value.empty()) {
            err << "skeinpress-cli convert: " << name << " needs a file name\n";
            return EditParse::UsageError;
        }
        const EditKind kind = name == "--merge-alpha"   ? EditKind::MergeAlpha
                              : name == "--colour-copy" ? EditKind::ColourCopy
                                                        : EditKind::AlphaCopy;
        options.edits.push_back({kind, value, 0});
    }
    return EditParse::Taken;
}

bool ApplyEdits(core::ImageStore& store, const EditOptions& options, std::mt19937& rng,
                std::string& error) {
    for (const Edit& edit : options.edits) {
        switch (edit.kind) {
            case EditKind::Grey:
                core::GreyScale(store);
                break;
            case EditKind::InvertAlpha:
                if (!core::InvertAlpha(store)) {
                    error = "invert-alpha: the image has no alpha channel";
                    return false;
                }
                break;
            case EditKind::RemoveAlpha:
                if (!core::RemoveAlphaChannel(store)) {
                    error = "remove-alpha: the image has no alpha channel";
                    return false;
                }
                break;
            case EditKind::AddAlpha:
            case EditKind::AddAlphaLevel: {
                const bool useLevel = edit.kind == EditKind::AddAlphaLevel;
                if (useLevel) store.AlphaFillValue = static_cast<uint8_t>(edit.level);
                if (!core::AddAlphaChannel(store, useLevel)) {
                    error = "add-alpha: the image already has an alpha channel";
                    return false;
                }
                break;
            }
            case EditKind::Mask:
                if (!core::CreateAlphaMask(store, edit.argument)) {
                    error = "mask: the image cannot take an alpha mask";
                    return false;
                }
                break;
            case EditKind::MergeAlpha:
                store.LoadErrorText.clear();
                if (!core::MergeAlphaImage(store, edit.argument)) {
                    error = "merge-alpha: " + Reason(store, "the alpha image could not be merged");
                    return false;
                }
                break;
            case EditKind::NormalMap:
                core::GreyScale(store);
                if (!core::MakeNormalMap(store.Image.Width, store.Image.Height,
                                         store.Image.DataSize, store.Image.Data,
                                         store.AlphaFillValue)) {
                    error = "normalmap: the image cannot be made into a normal map";
                    return false;
                }
                break;
            case EditKind::FixUniform:
                core::NoteUniformColour(store);
                if (store.UniformColour) {
                    core::NonUniformColour(store, options.pixelCount, options.pixelChange,
                                           options.pixelRandom, rng);
                }
                break;
            case EditKind::ColourCopy:
                store.LoadErrorText.clear();
                if (!SaveCopy(store, edit.argument, core::SaveColourImage)) {
                    error = "colour-copy: " + Reason(store, "the copy could not be written");
                    return false;
                }
                break;
            case EditKind::AlphaCopy:
                if (store.BytesPerPixel() != 4) {
                    error = "alpha-copy: the image has no alpha channel";
                    return false;
                }
                store.LoadErrorText.clear();
                if (!SaveCopy(store, edit.argument, core::SaveAlphaImage)) {
                    error = "alpha-copy: " + Reason(store, "the copy could not be written");
                    return false;
                }
                break;
        }
    }
    return true;
}

std::string NormalMapName(const std::string& tgaName) {
    if (core::EndsWithNoCase(tgaName, ".tga")) {
        return tgaName.substr(0, tgaName.size() - 4) + "_normal" +
               tgaName.substr(tgaName.size() - 4);
    }
    return tgaName + "_normal";
}

}  // namespace cli
