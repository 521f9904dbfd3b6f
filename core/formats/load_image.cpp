#include "core/formats/load_image.h"

#include <new>

#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace core {

namespace {

bool RunReader(ImageStore& store, const std::string& path) {
    if (EndsWithNoCase(path, ".bmp")) return LoadBMP(store, path);
    if (EndsWithNoCase(path, ".jpg")) return LoadJPG(store, path);
    if (EndsWithNoCase(path, ".tga")) return LoadTGA(store, path);
    if (EndsWithNoCase(path, ".texture"))
        return IsE2TF(path) ? LoadE2TF(store, path) : LoadTexture(store, path);
    SetLoadError(store, "File type not supported \"", path, "\".");
    return false;
}

}  // namespace

bool LoadImage(ImageStore& store, const std::string& path) {
    bool result = false;
    ResetImage(store);
    // The readers open files for reading only, so a read-only file is read as
    // it is. A missing file gets each reader's own message; anything else that
    // is not a regular file is refused here, before a reader opens it.
    if (const FileKind kind = ExamineFile(path);
        kind == FileKind::NotRegular || kind == FileKind::Unreachable) {
        SetLoadErrorText(store, ReadRefusal(path));
    } else {
        try {
            result = RunReader(store, path);
        } catch (const std::bad_alloc&) {
            SetLoadError(store, "Not enough memory to load \"", path, "\"");
        } catch (const std::exception&) {
            SetLoadError(store, "Error reading \"", path, "\"");
        }
    }
    if (!result) {
        // Whatever a reader left half-done, a failed load leaves no pixels.
        ResetImage(store);
        store.PixelBuffer = ByteBuffer();
        store.ImageLoaded = false;
        store.SyncData();
    }
    return result;
}

}  // namespace core
