#include "core/load_image.h"

#include "core/paths.h"

namespace core {

bool LoadImage(ImageStore& store, const std::string& path) {
    ResetImage(store);
    bool result = false;
    if (EndsWithNoCase(path, ".bmp")) {
        result = LoadBMP(store, path);
    } else if (EndsWithNoCase(path, ".jpg")) {
        result = LoadJPG(store, path);
    } else if (EndsWithNoCase(path, ".tga")) {
        result = LoadTGA(store, path);
    } else if (EndsWithNoCase(path, ".texture")) {
        result = LoadTexture(store, path);
    } else {
        SetLoadError(store, "File type not supported \"", path, "\".");
    }
    if (!result) {
        // Whatever a reader left half-done, a failed load leaves no pixels.
        store.PixelBuffer = ByteBuffer();
        store.ImageLoaded = false;
        store.SyncData();
    }
    return result;
}

}  // namespace core
