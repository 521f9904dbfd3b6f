#include "app/convert/image_reading.h"

#include "core/formats/load_image.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace app {

ReadOutcome ReadImageFile(core::ImageStore& store, const std::string& path, bool listed,
                          const std::function<void(const std::string&)>& report) {
    core::ResetImage(store);
    if (core::HasLineBreak(path)) {
        core::SetLoadError(store, core::Error::NameHasLineBreak, "",
                           core::OnOneLine(core::FileNamePart(path)));
        report(store.LoadErrorText);
        return ReadOutcome::Failed;
    }
    const core::FileKind kind = core::ExamineFile(path);
    if (kind == core::FileKind::Missing && !listed) return ReadOutcome::NothingThere;
    store.AlphaView = false;
    const bool read = core::LoadImage(store, path);
    if (!read) report(store.LoadErrorText);
    core::NoteUniformColour(store);
    return read ? ReadOutcome::Read : ReadOutcome::Failed;
}

}  // namespace app
