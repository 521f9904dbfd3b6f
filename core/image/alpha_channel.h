// Adding, removing and classifying the alpha channel of an image.
#pragma once

#include <optional>

#include "core/image/image.h"

namespace core {

// 3 -> 4 bytes per pixel; every alpha is `level` (AlphaKind 1) when one is
// given, else 255 (AlphaKind 2). False, changing nothing, for any other image.
bool AddAlphaChannel(Image& image, std::optional<uint8_t> level = std::nullopt);
// 4 -> 3 bytes per pixel, AlphaKind 0. False, changing nothing, otherwise.
bool RemoveAlphaChannel(Image& image);
// AlphaKind := 1 if any alpha lies in 1..254, else 2 (4-byte images only).
void UpdateAlphaKind(Image& image);
// The same classification over raw 4-byte pixels.
int32_t ClassifyAlpha(const uint8_t* pixels, size_t pixelCount);

}  // namespace core
