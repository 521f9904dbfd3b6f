// Reading a file into the image store, as the view opens it and the
// conversion converts it: one place decides what counts as nothing to show
// and what is a failure.
#pragma once

#include <functional>
#include <string>

#include "core/image/image_store.h"

namespace app {

enum class ReadOutcome {
    NothingThere,  // no file of that name: nothing to show, nothing reported
    Read,
    Failed,  // reported
};

// Empties `store` and reads `path` into it, then notes whether its image is of
// one uniform colour. A file that is not there is nothing to show unless
// `listed` (a trawl has just listed it, so its absence is a refusal like any
// file that cannot be read); anything else that is not a regular file is
// refused, and so is a name with a line break. A failure goes to `report`,
// the readers' notices to `notices`.
ReadOutcome ReadImageFile(core::ImageStore& store, const std::string& path, bool listed,
                          const core::ReaderNotices& notices,
                          const std::function<void(const std::string&)>& report);

}  // namespace app
