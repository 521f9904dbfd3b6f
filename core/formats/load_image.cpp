#include "core/formats/load_image.h"

#include <new>

#include "core/formats/format_table.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace core {

bool LoadImage(ImageStore& store, const std::string& path) {
    bool result = false;
    ResetImage(store);
    // The readers open files for reading only, so a read-only file is read as
    // it is. A missing file gets each reader's own message; anything else that
    // cannot be read (not a regular file, no permission) is refused here with
    // its reason, before a reader opens it.
    std::string refusal;
    if (ExamineFile(path) != FileKind::Missing && !(refusal = ReadRefusal(path)).empty()) {
        SetLoadErrorText(store, refusal);
    } else {
        try {
            const FormatRow* row = ReaderFor(path);
            if (row == nullptr) {
                SetLoadError(store, Error::TypeNotSupported, path);
            } else {
                result = row->read(store, path);
            }
        } catch (const std::bad_alloc&) {
            SetLoadError(store, Error::OutOfMemory, path);
        } catch (const std::exception&) {
            SetLoadError(store, Error::ReadFailed, path);
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
