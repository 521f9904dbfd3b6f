// Decoding the level-0 faces of a texture into one picture: a single face, or
// a cube map's six faces side by side in their file order. Shared by the E2TF
// reader and by the writers that check a kept source against the pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/image/image.h"

namespace core {

enum class FaceFormat { BGRA8, DXT1, DXT3, DXT5, Float, ASTC };

struct FaceLayout {
    FaceFormat Format = FaceFormat::BGRA8;
    int32_t FaceWidth = 0;
    int32_t FaceHeight = 0;
    int32_t Faces = 1;
    int BytesPerPixel = 4;  // of the picture: 3 only for DXT1 without alpha
    int BlockWidth = 4;     // ASTC block size
    int BlockHeight = 4;
};

// Bytes of one level-0 face in the file (0 when the layout is out of range).
uint64_t FaceDataBytes(const FaceLayout& layout);

// Whether this build decodes ASTC at all (it can be made without the codec).
bool AstcCodecAvailable();
// Whether the ASTC codec decodes blocks of this size (2D, LDR profile).
bool AstcBlockSizeSupported(int blockWidth, int blockHeight);

// What the 8-bit conversion of floating-point pixels had to change: each
// channel is clamped to 0..1, times 255, rounded half to even.
struct FloatClipping {
    bool Above = false;  // some value above 1 became 255
    bool Below = false;  // some value below 0, or not a number, became 0
};

// Decodes `layout.Faces` faces of FaceDataBytes each, top row first, from
// `data` into `out`: (Faces x FaceWidth) x FaceHeight pixels of BytesPerPixel,
// bottom row first. False, with a reason in `error`, when the codec refuses.
bool DecodeFaces(const FaceLayout& layout, const uint8_t* data, uint8_t* out,
                 FloatClipping& clipping, std::string& error);

// True when the store's pixels are exactly what its kept source decodes to,
// so that a writer may use the source in their place.
bool SourceMatchesPixels(const Image& image);

}  // namespace core
