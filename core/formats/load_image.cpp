#include "core/formats/load_image.h"

#include <new>

#include "core/formats/format_table.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"

namespace core {

LoadResult LoadImage(const std::string& path, const ReaderNotices& notices) {
    LoadResult result;
    // The readers open files for reading only, so a read-only file is read as
    // it is. A missing file gets each reader's own message; anything else that
    // cannot be read (not a regular file, no permission) is refused here with
    // its reason, before a reader opens it.
    std::string refusal;
    if (ExamineFile(path) != FileKind::Missing && !(refusal = ReadRefusal(path)).empty()) {
        result.failure = Failure::Refusal(refusal);
    } else {
        try {
            const FormatRow* row = ReaderFor(path);
            if (row == nullptr) {
                result.failure = {Error::TypeNotSupported, path};
            } else {
                result.failure = row->read(path, result.image, notices);
            }
        } catch (const std::bad_alloc&) {
            result.failure = {Error::OutOfMemory, path};
        } catch (const std::exception&) {
            result.failure = {Error::ReadFailed, path};
        }
    }
    // Whatever a reader left half-done, a failed load leaves no image.
    if (result.failure) result.image = Image();
    return result;
}

}  // namespace core
