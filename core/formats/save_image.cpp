#include "core/formats/save_image.h"

#include "core/formats/texture_description.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace core {

namespace {

// The message for a failed write into `sink`: the target's own refusal when it
// refused, otherwise the row's words for a failed open or write, or the
// writer's own error.
std::string SinkFailure(const FormatRow& row, const ImageSink& sink, Error error) {
    if (!sink.Refusal().empty()) return sink.Refusal();
    if (sink.OpenFailed()) return ErrorMessage(row.cannotCreate, sink.Target());
    return ErrorMessage(error == Error::CannotWrite ? row.cannotWrite : error, sink.Target());
}

// Writes one file through the row's writer; false with the message in the store.
bool WriteOne(ImageStore& store, const FormatRow& row, const std::string& path, int face) {
    ImageSink sink(path);
    Error error = row.write(store, sink, face);
    if (error == Error::None && !sink.Commit()) error = Error::CannotWrite;
    if (error == Error::None) return true;
    SetLoadErrorText(store, SinkFailure(row, sink, error));
    return false;
}

}  // namespace

std::vector<std::string> SavedImagePaths(const ImageStore& store, const std::string& path) {
    const FormatRow* row = WriterFor(path);
    if (!store.CubeMap || row == nullptr || !row->Has(kSplitsCubeMaps)) return {path};
    const std::string_view extension = ExtensionOf(path);
    const std::string stem = path.substr(0, path.size() - extension.size());
    std::vector<std::string> faces;
    for (const char* face : kCubeMapFaceNames)
        faces.push_back(stem + "_" + face + std::string(row->extension));
    return faces;
}

bool HasWritablePicture(const ImageStore& store) {
    const int bpp = store.BytesPerPixel();
    return store.Usable() && (bpp == 3 || bpp == 4);
}

void RenderForSave(const ImageStore& store, Bitmap& bitmap) {
    // Always the colour picture: a copy saved right after viewing the alpha
    // channel must still hold the colours.
    RenderColourImage(store, bitmap, static_cast<uint16_t>(store.Image.Width),
                      static_cast<uint16_t>(store.Image.Height));
}

bool SaveImage(ImageStore& store, const std::string& path) {
    return SaveImageAs(store, path, WriterFor(path));
}

bool SaveImageAs(ImageStore& store, const std::string& path, const FormatRow* row) {
    if (!store.ImageLoaded) {
        SetLoadError(store, Error::NothingLoaded, path);
        return false;
    }
    if (row == nullptr) {
        SetLoadError(store, Error::TypeNotSupported, path);
        return false;
    }
    const std::vector<std::string> targets = SavedImagePaths(store, path);
    const bool faces = targets.size() > 1;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (!WriteOne(store, *row, targets[i], faces ? static_cast<int>(i) : -1)) return false;
    }
    if (row->Has(kWritesDescription) && store.HasTextureDescription &&
        !store.TextureFileName.empty()) {
        if (const std::string failure = SaveTextureDescription(store, path); !failure.empty()) {
            SetLoadErrorText(store, failure);
            return false;
        }
    }
    return true;
}

}  // namespace core
