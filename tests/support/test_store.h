// What the reader and writer tests look at: a store holding what the last
// read gave, and the message of the last failure (empty when none).
#pragma once

#include <string>

#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/image/image_store.h"

namespace testing_support {

struct TestStore : core::ImageStore {
    std::string error;
};

inline bool Noted(TestStore& store, const core::Failure& failure) {
    store.error = failure ? failure.Message() : std::string();
    return !failure;
}

// Reads `path` into the store, emptying it first.
inline bool Load(TestStore& store, const std::string& path,
                 const core::ReaderNotices& notices = {}) {
    core::LoadResult read = core::LoadImage(path, notices);
    store.Current = std::move(read.image);
    return Noted(store, read.failure);
}

inline bool Save(TestStore& store, const std::string& path) {
    return Noted(store, core::SaveImage(store.Current, path));
}

}  // namespace testing_support
