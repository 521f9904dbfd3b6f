// Adding, removing and classifying the alpha channel of the store's image.
#pragma once

#include "core/image/image_store.h"

namespace core {

// 3 -> 4 bytes per pixel; alpha is AlphaFillValue with useLevel (AlphaKind 1),
// else 255 (AlphaKind 2). False, changing nothing, for any other image.
bool AddAlphaChannel(ImageStore& store, bool useLevel);
// 4 -> 3 bytes per pixel, AlphaKind 0. False, changing nothing, otherwise.
bool RemoveAlphaChannel(ImageStore& store);
// AlphaKind := 1 if any alpha lies in 1..254, else 2 (4-byte images only).
void UpdateAlphaKind(ImageStore& store);
// The same classification over raw 4-byte pixels.
int32_t ClassifyAlpha(const uint8_t* pixels, size_t pixelCount);

}  // namespace core
