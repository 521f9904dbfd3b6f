#include "app/view/image_edits.h"

#include "core/image/alpha_channel.h"
#include "core/ops/normal_map.h"
#include "core/ops/operations.h"
#include "core/ops/render.h"

namespace app {

namespace {

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

// One edit; false with `error` set when it cannot be made.
bool ApplyEdit(core::ImageStore& store, const Edit& edit, const ImageEdits& edits,
               uint8_t normalMapAlpha, std::mt19937& rng, std::string& error) {
    switch (edit.kind) {
        case EditKind::Grey:
            core::GreyScale(store);
            return true;
        case EditKind::InvertAlpha:
            if (core::InvertAlpha(store)) return true;
            error = "invert-alpha: the image has no alpha channel";
            return false;
        case EditKind::RemoveAlpha:
            if (core::RemoveAlphaChannel(store)) return true;
            error = "remove-alpha: the image has no alpha channel";
            return false;
        case EditKind::AddAlpha:
        case EditKind::AddAlphaLevel: {
            const bool useLevel = edit.kind == EditKind::AddAlphaLevel;
            if (useLevel) store.AlphaFillValue = static_cast<uint8_t>(edit.level);
            if (core::AddAlphaChannel(store, useLevel)) return true;
            error = "add-alpha: the image already has an alpha channel";
            return false;
        }
        case EditKind::Mask:
            if (core::CreateAlphaMask(store, edit.argument)) return true;
            error = "mask: the image cannot take an alpha mask";
            return false;
        case EditKind::MergeAlpha:
            store.LoadErrorText.clear();
            if (core::MergeAlphaImage(store, edit.argument)) return true;
            error = "merge-alpha: " + Reason(store, "the alpha image could not be merged");
            return false;
        case EditKind::NormalMap:
            core::GreyScale(store);
            if (core::MakeNormalMap(store.Image.Width, store.Image.Height, store.Image.DataSize,
                                    store.Image.Data, normalMapAlpha))
                return true;
            error = "normalmap: the image cannot be made into a normal map";
            return false;
        case EditKind::FixUniform:
            core::NoteUniformColour(store);
            if (store.UniformColour) {
                core::NonUniformColour(store, edits.pixelCount, edits.pixelChange,
                                       edits.pixelRandom, rng);
            }
            return true;
        case EditKind::ColourCopy:
            store.LoadErrorText.clear();
            if (SaveCopy(store, edit.argument, core::SaveColourImage)) return true;
            error = "colour-copy: " + Reason(store, "the copy could not be written");
            return false;
        case EditKind::AlphaCopy:
            if (store.BytesPerPixel() != 4) {
                error = "alpha-copy: the image has no alpha channel";
                return false;
            }
            store.LoadErrorText.clear();
            if (SaveCopy(store, edit.argument, core::SaveAlphaImage)) return true;
            error = "alpha-copy: " + Reason(store, "the copy could not be written");
            return false;
    }
    return true;
}

}  // namespace

bool ImageEdits::Has(EditKind kind) const {
    for (const Edit& e : list) {
        if (e.kind == kind) return true;
    }
    return false;
}

bool ApplyEdits(core::ImageStore& store, const ImageEdits& edits, uint8_t normalMapAlpha,
                std::mt19937& rng, std::string& error) {
    for (const Edit& edit : edits.list) {
        if (!ApplyEdit(store, edit, edits, normalMapAlpha, rng, error)) return false;
    }
    return true;
}

}  // namespace app
