#include "app/view/image_edits.h"

#include <optional>

#include "core/image/alpha_channel.h"
#include "core/ops/normal_map.h"
#include "core/ops/operations.h"
#include "core/ops/render.h"

namespace app {

namespace {

// Copies are extra files: a texture's description must keep naming the main
// target, so it is not written for them.
// The flag is set aside for the save rather than the image copied whole.
template <typename Save>
core::Failure SaveCopy(core::Image& image, const std::string& path, Save save) {
    const bool hadDescription = image.HasDescription;
    image.HasDescription = false;
    const core::Failure failure = save(image, path);
    image.HasDescription = hadDescription;
    return failure;
}

// One edit; false with `error` set when it cannot be made.
bool ApplyEdit(core::ImageStore& store, const Edit& edit, const ImageEdits& edits,
               uint8_t normalMapAlpha, std::mt19937& rng, std::string& error) {
    core::Image& image = store.Current;
    switch (edit.kind) {
        case EditKind::Grey:
            core::GreyScale(image);
            return true;
        case EditKind::InvertAlpha:
            if (core::InvertAlpha(image)) return true;
            error = "invert-alpha: the image has no alpha channel";
            return false;
        case EditKind::RemoveAlpha:
            if (core::RemoveAlphaChannel(image)) return true;
            error = "remove-alpha: the image has no alpha channel";
            return false;
        case EditKind::AddAlpha:
        case EditKind::AddAlphaLevel: {
            std::optional<uint8_t> level;
            if (edit.kind == EditKind::AddAlphaLevel) level = static_cast<uint8_t>(edit.level);
            if (core::AddAlphaChannel(image, level)) return true;
            error = "add-alpha: the image already has an alpha channel";
            return false;
        }
        case EditKind::Mask:
            if (core::CreateAlphaMask(image, edit.argument)) return true;
            error = "mask: the image cannot take an alpha mask";
            return false;
        case EditKind::MergeAlpha:
            if (const core::Failure failure = core::MergeAlphaFile(image, edit.argument)) {
                // Only a read or a size says more than that the merge failed.
                const bool said = failure.error != core::Error::NothingLoaded &&
                                  failure.error != core::Error::NoPicture;
                error = "merge-alpha: " +
                        (said ? failure.Message() : "the alpha image could not be merged");
                return false;
            }
            return true;
        case EditKind::NormalMap:
            core::GreyScale(image);
            if (core::MakeNormalMap(image.Width, image.Height, image.DataSize(), image.Data(),
                                    normalMapAlpha))
                return true;
            error = "normalmap: the image cannot be made into a normal map";
            return false;
        case EditKind::FixUniform:
            core::NoteUniformColour(store);
            if (store.UniformColour) {
                core::NonUniformColour(image, edits.pixelCount, edits.pixelChange,
                                       edits.pixelRandom, rng);
            }
            return true;
        case EditKind::ColourCopy:
            if (const core::Failure failure =
                    SaveCopy(image, edit.argument, core::SaveColourImage)) {
                error = "colour-copy: " + failure.Message();
                return false;
            }
            return true;
        case EditKind::AlphaCopy:
            if (image.BytesPerPixel() != 4) {
                error = "alpha-copy: the image has no alpha channel";
                return false;
            }
            if (const core::Failure failure =
                    SaveCopy(image, edit.argument, core::SaveAlphaImage)) {
                error = "alpha-copy: " + failure.Message();
                return false;
            }
            return true;
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
