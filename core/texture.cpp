#include "core/load_image.h"

namespace core {

bool LoadTexture(ImageStore& store, const std::string& path) {
    store.TextureFileName = path;
    SetLoadError(store, "Not a Trainz texture \"", path, "\".");
    return false;
}

}  // namespace core
