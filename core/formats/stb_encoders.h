// The Radiance HDR encoder (stb_image_write), its output streamed into a sink
// as it hands it over.
#pragma once

#include <cstdint>

#include "core/formats/format_table.h"

namespace core {

// Red, green and blue floats of every pixel, top row first.
bool EncodeHdr(ImageSink& sink, int width, int height, const float* rgb);

}  // namespace core
