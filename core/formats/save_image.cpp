#include "core/formats/save_image.h"

#include "core/formats/texture_description.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace core {

namespace {

// A failed write into `sink`: the target's own refusal when it refused,
// otherwise the row's words for a failed open or write, or the writer's own
// error.
Failure SinkFailure(const FormatRow& row, const ImageSink& sink, Error error) {
    if (!sink.Refusal().empty()) return Failure::Refusal(sink.Refusal());
    if (sink.OpenFailed()) return {row.cannotCreate, sink.Target()};
    return {error == Error::CannotWrite ? row.cannotWrite : error, sink.Target()};
}

Failure WriteOne(const Image& image, const FormatRow& row, const std::string& path, int face) {
    ImageSink sink(path);
    Error error = row.write(image, sink, face);
    if (error == Error::None && !sink.Commit()) error = Error::CannotWrite;
    if (error == Error::None) return {};
    return SinkFailure(row, sink, error);
}

}  // namespace

std::vector<std::string> SavedImagePaths(const Image& image, const std::string& path) {
    const FormatRow* row = WriterFor(path);
    if (!image.CubeMap || row == nullptr || !row->Has(kSplitsCubeMaps)) return {path};
    const std::string_view extension = ExtensionOf(path);
    const std::string stem = path.substr(0, path.size() - extension.size());
    std::vector<std::string> faces;
    for (const char* face : kCubeMapFaceNames)
        faces.push_back(stem + "_" + face + std::string(row->extension));
    return faces;
}

bool HasWritablePicture(const Image& image) {
    const int bpp = image.BytesPerPixel();
    return image.Usable() && (bpp == 3 || bpp == 4);
}

void RenderForSave(const Image& image, Bitmap& bitmap) {
    // Always the colour picture: a copy saved right after viewing the alpha
    // channel must still hold the colours.
    RenderColourImage(image, bitmap, static_cast<uint16_t>(image.Width),
                      static_cast<uint16_t>(image.Height));
}

Failure SaveImage(const Image& image, const std::string& path) {
    return SaveImageAs(image, path, WriterFor(path));
}

Failure SaveImageAs(const Image& image, const std::string& path, const FormatRow* row) {
    if (!image.Loaded()) return {Error::NothingLoaded, path};
    if (row == nullptr) return {Error::TypeNotSupported, path};
    const std::vector<std::string> targets = SavedImagePaths(image, path);
    const bool faces = targets.size() > 1;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (Failure f = WriteOne(image, *row, targets[i], faces ? static_cast<int>(i) : -1))
            return f;
    }
    if (row->Has(kWritesDescription) && image.HasDescription && !image.TextureFileName.empty())
        return SaveTextureDescription(image, path);
    return {};
}

}  // namespace core
