#include "core/load_image.h"
#include "core/save_image.h"

namespace core {

bool LoadJPG(ImageStore& store, const std::string& path) {
    store.Image.Compression = 0;
    SetLoadError(store, "Couldn't load JPG file in \"", path, "\"");
    return false;
}

bool SaveJPG(ImageStore& store, const std::string& path) {
    SetLoadError(store, "File type not supported \"", path, "\".");
    return false;
}

}  // namespace core
