// PNG, for image editors: 24- or 32-bit as the picture is.
#include "core/formats/save_image.h"
#include "core/formats/stb_encoders.h"

namespace core {

Error WritePNG(const ImageStore& store, ImageSink& sink, int) {
    if (!HasWritablePicture(store)) return Error::NoPicture;
    const int bpp = store.BytesPerPixel();
    const int rowBytes = store.Image.Width * bpp;
    // The store's rows run bottom-up: start at the top row and step backwards.
    const uint8_t* top = store.Image.Data + static_cast<size_t>(store.Image.Height - 1) * rowBytes;
    return EncodePng(sink, store.Image.Width, store.Image.Height, bpp, top, -rowBytes)
               ? Error::None
               : Error::CannotWrite;
}

}  // namespace core
