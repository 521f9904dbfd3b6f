// Edits of an image: alpha inversion, colour masks, merging a separate alpha
// image, grey scale, breaking up a uniform colour, and writing the colour or
// the alpha part of an image to a file.
#pragma once

#include <random>
#include <string>
#include <string_view>

#include "core/image/image.h"
#include "core/io/error.h"

namespace core {

// Whether a picture cannot be used by the simulator: a side below 2 or not a
// power of two, or one side more than 8 times the other.
bool BadDimensions(int32_t width, int32_t height);

// Every alpha a becomes 255 - a (AlphaKind unchanged). False for an image that
// is not usable or has no alpha channel.
bool InvertAlpha(Image& image);

// The colour and tolerance of a mask, written "R,G,B,T" in decimal.
struct AlphaMaskSpec {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
    int Tolerance = 0;
};
// False when the text is not four decimal integers joined by ",", a colour lies
// outside 0..255, or the tolerance is negative. Blanks around a number are allowed.
bool ParseAlphaMaskSpec(std::string_view text, AlphaMaskSpec& spec);

// Alpha 0 for every pixel whose red, green and blue each lie within the
// tolerance of the given colour, 255 for all others; a 3-byte image gains an
// alpha channel first. AlphaKind is left as it was (2 after adding the channel).
// False, changing nothing, for malformed text or an image that is not usable.
bool CreateAlphaMask(Image& image, const std::string& spec);

// The red byte of each pixel of `alpha` becomes the alpha of the same pixel
// here; a 3-byte image gains an alpha channel first. Error::SizesDiffer, and
// the image unchanged, when the two differ in size.
Failure MergeAlphaImage(Image& image, const Image& alpha);
// The same with the image in `path`. Whatever the outcome, the image's texture
// facts (description, details, source data) are gone afterwards: what is
// saved after a merge is a new picture, not the texture as read.
Failure MergeAlphaFile(Image& image, const std::string& path);

// Writes the image without its alpha channel through SaveImage.
Failure SaveColourImage(const Image& image, const std::string& path);

// Writes the alpha channel as a grey 24-bit image through SaveImage.
// Error::NoPicture for an image without alpha.
Failure SaveAlphaImage(const Image& image, const std::string& path);

// Red, green and blue of each pixel become (R + G + B) / 3; alpha is kept.
void GreyScale(Image& image);

// Changes the red byte of `count` pixels by `change` (up when below 128, down
// otherwise) so that an image of one colour is no longer uniform. Even placement
// changes pixel 0 and count - 1 evenly spaced pixels. Random placement changes
// pixels other than pixel 0 whose red equals pixel 0's, chosen with `rng`; when
// fewer such pixels exist it changes all of them.
void NonUniformColour(Image& image, int count, int change, bool random, std::mt19937& rng);

}  // namespace core
