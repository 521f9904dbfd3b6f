// Drawing the store's image into a display bitmap. Drawing changes nothing in
// the store; whether the picture is one uniform colour is a separate finding.
#pragma once

#include <cstdint>

#include "core/image/bitmap.h"
#include "core/image/image_store.h"

namespace core {

// Draws the colour picture, or with AlphaView set and an alpha channel the
// alpha channel as grey.
void RenderImage(const ImageStore& store, Bitmap& bitmap, uint16_t width, uint16_t height);

// Draws the colour picture whatever AlphaView holds.
void RenderColourImage(const Image& image, Bitmap& bitmap, uint16_t width, uint16_t height);

// Whether each of `count` pixels of `bytesPerPixel` bytes has the first three
// bytes of `colour` (alpha aside). It stops at the first that differs, which
// in a real picture comes within a few pixels.
bool AllOfColour(const uint8_t* pixels, size_t count, int bytesPerPixel, const uint8_t* colour);

// Notes in UniformColour whether every pixel has the same red, green and blue
// (alpha aside). A store without a usable image keeps what it had.
void NoteUniformColour(ImageStore& store);

// Draws a 4-byte image blended over a 16 x 16 checkerboard made from the
// background colour (0x00BBGGRR). Does nothing for other images.
void RenderTransparent(const Image& image, Bitmap& bitmap, uint32_t colour);

}  // namespace core
