#include "core/image/image_store.h"

#include "core/io/paths.h"

namespace core {

int ImageStore::BytesPerPixel() const {
    if (Image.Width == 0 || Image.Height == 0) return 0;
    const int64_t pixels = static_cast<int64_t>(Image.Width) * Image.Height;
    return static_cast<int>(Image.DataSize / pixels);
}

void ImageStore::AdoptPixels(ByteBuffer&& pixels, int32_t width, int32_t height,
                             int32_t alphaKind) {
    PixelBuffer = std::move(pixels);
    Image.Width = width;
    Image.Height = height;
    Image.DataSize = static_cast<int32_t>(PixelBuffer.size());
    Image.AlphaKind = alphaKind;
    SyncData();
    ImageLoaded = true;
}

void SetLoadError(ImageStore& store, Error error, std::string_view path, std::string_view detail) {
    store.LoadErrorText = ErrorMessage(error, path, detail);
}

void SetLoadErrorText(ImageStore& store, std::string_view text) {
    store.LoadErrorText = CutTo(text, 255);
}

void ResetImage(ImageStore& store) {
    if (store.ImageLoaded) {
        store.PixelBuffer = ByteBuffer();
        store.Image.Data = nullptr;
    }
    if (store.HasTextureDescription) store.TextureDescription.clear();
    store.TextureContainer.clear();
    store.TextureDetails.clear();
    store.CubeMap = false;
    store.Source = SourceData();
    store.ImageLoaded = false;
    store.HasTextureDescription = false;
}

}  // namespace core
