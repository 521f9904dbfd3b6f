// What is known of a picture as text: what `skeinpress-cli info` prints and
// the window's Details shows, made in one place for both.
#pragma once

#include <cstdint>
#include <string>

#include "core/image/image_store.h"

namespace app {

// "DXT1", "DXT3", "DXT5", or empty for a picture that was not compressed.
std::string CompressionName(int32_t compression);

// The file's name, then its size, depth, alpha, compression (`compression`:
// the file's own, which the view keeps after edits), the uniform-colour
// finding, and the container's description and details.
std::string ImageDetailsText(const core::ImageStore& store, const std::string& file,
                             int32_t compression);

}  // namespace app
