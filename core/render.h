// Drawing the store's image into a display bitmap.
#pragma once

#include <cstdint>

#include "core/bitmap.h"
#include "core/image_store.h"

namespace core {

// Draws the colour picture (or, with AlphaView set and an alpha channel, the
// alpha channel as grey) and notes in UniformColour whether every pixel has the
// same red, green and blue.
void RenderImage(ImageStore& store, Bitmap& bitmap, uint16_t width, uint16_t height);

// The uniform-colour finding of drawing the colour picture, without drawing:
// for callers that show nothing.
void NoteUniformColour(ImageStore& store);

// Draws a 4-byte image blended over a 16 x 16 checkerboard made from the
// background colour (0x00BBGGRR). Does nothing for other images.
void RenderTransparent(const ImageStore& store, Bitmap& bitmap, uint32_t colour);

}  // namespace core
