#include "app/convert/image_reading.h"

#include "core/formats/load_image.h"
#include "core/io/file_io.h"
#include "core/io/paths.h"
#include "core/ops/render.h"

namespace app {

ReadOutcome ReadImageFile(core::ImageStore& store, const std::string& path, bool listed,
                          const core::ReaderNotices& notices,
                          const std::function<void(const std::string&)>& report) {
    store.Current = core::Image();
    if (core::HasLineBreak(path)) {
        report(core::Failure(core::Error::NameHasLineBreak, {},
                             core::OnOneLine(core::FileNamePart(path)))
                   .Message());
        return ReadOutcome::Failed;
    }
    const core::FileKind kind = core::ExamineFile(path);
    if (kind == core::FileKind::Missing && !listed) return ReadOutcome::NothingThere;
    store.AlphaView = false;
    core::LoadResult loaded = core::LoadImage(path, notices);
    if (!loaded) report(loaded.failure.Message());
    store.Current = std::move(loaded.image);
    core::NoteUniformColour(store);
    return loaded ? ReadOutcome::Read : ReadOutcome::Failed;
}

}  // namespace app
