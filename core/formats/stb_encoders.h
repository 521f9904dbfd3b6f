// The PNG and Radiance HDR encoders (stb_image_write), their output streamed
// into a sink as they hand it over.
#pragma once

#include <cstdint>

#include "core/formats/format_table.h"

namespace core {

// `rowStride` bytes from one row to the next, negative to walk rows upwards.
bool EncodePng(ImageSink& sink, int width, int height, int bytesPerPixel, const uint8_t* firstRow,
               int rowStride);
// Red, green and blue floats of every pixel, top row first.
bool EncodeHdr(ImageSink& sink, int width, int height, const float* rgb);

}  // namespace core
