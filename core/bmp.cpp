#include "core/load_image.h"
#include "core/save_image.h"

namespace core {

bool LoadBMP(ImageStore& store, const std::string& path) {
    store.Image.Compression = 0;
    return LoadBitmapViaFramework(store, path);
}

bool LoadBitmapViaFramework(ImageStore& store, const std::string& path) {
    SetLoadError(store, "Couldn't load Bitmap - \"", path, "\"");
    return false;
}

bool SaveBMP(ImageStore& store, const std::string& path) {
    SetLoadError(store, "File type not supported \"", path, "\".");
    return false;
}

}  // namespace core
