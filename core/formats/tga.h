// Pieces of the TGA reader that other code and tests use on their own.
#pragma once

#include "core/image/image_store.h"

namespace core {

// Exchange rows r and Height-1-r (bytes per row = DataSize / Height).
void FlipVertical(ImageStore& store);
// Exchange pixels x and Width-1-x within every row.
void FlipHorizontal(ImageStore& store);
// 2-byte 5:5:5 pixels (blue in the low bits) become 3-byte blue, green, red,
// each 5-bit value multiplied by 8.
void Convert16To24(ImageStore& store);

}  // namespace core
