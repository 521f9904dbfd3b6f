// Shrinking a picture to fit a square box, for thumbnails: every pixel of the
// result is the average of the area of the picture it covers, edges weighted
// by how much of them it covers.
#pragma once

#include <cstdint>

#include "core/image/image.h"

namespace core {

struct PictureSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size a width x height picture takes in a box x box square: the same
// shape with its longer side `box`, the shorter rounded and at least 1. A
// picture that already fits keeps its size (never enlarged); a side or box
// below 1 gives 0 x 0.
PictureSize FitWithin(int32_t width, int32_t height, int32_t box);

// Area-averages `source` (3 or 4 bytes per pixel, rows one after the other,
// no padding) into `target` of the given size, which must not be larger in
// either direction. With 4 bytes per pixel each colour is weighted by its
// alpha, so fully transparent pixels lend nothing to their neighbours; alpha
// itself is a plain average. Results are rounded to the nearest level.
void AreaAverage(const uint8_t* source, PictureSize sourceSize, int bytesPerPixel, uint8_t* target,
                 PictureSize targetSize);

// `source`'s picture shrunk to fit a box x box square into `target` (emptied
// first), with the alpha kind of the new pixels. A picture that fits is
// copied as it is. False, leaving `target` empty, when `source` has no usable
// 3- or 4-byte picture or `box` is below 1. Only the pixels are carried over:
// nothing of a texture's description or source data.
bool ScaleToFit(const Image& source, int32_t box, Image& target);

}  // namespace core
