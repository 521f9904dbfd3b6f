#include "core/image/channel_order.h"

#include "core/image/simd.h"

namespace core {

namespace {

void PortableSwap(const uint8_t* in, uint8_t* out, size_t pixels, int bpp) {
    for (size_t i = 0; i < pixels; ++i, in += bpp, out += bpp) {
        const uint8_t first = in[0];
        out[0] = in[2];
        out[1] = in[1];
        out[2] = first;
        if (bpp == 4) out[3] = in[3];
    }
}

void PortableBgraToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i, in += 4, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

#ifdef SKEINPRESS_HAVE_SSSE3_CODE
// Four pixels per step: 16 bytes loaded, shuffled and stored. Steps run while
// 16 bytes remain on both sides; where a step uses fewer than 16, the bytes
// beyond are rewritten by the next step (or, in place, put back unchanged).
// Returns the pixels done; the caller finishes the rest one by one.
template <size_t InBytes, size_t OutBytes>
SKEINPRESS_SSSE3 size_t ShuffleSteps(const uint8_t* in, uint8_t* out, size_t pixels,
                                     __m128i order) {
    size_t i = 0;
    for (; i * InBytes + 16 <= pixels * InBytes && i * OutBytes + 16 <= pixels * OutBytes; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * InBytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * OutBytes),
                         _mm_shuffle_epi8(v, order));
    }
    return i;
}

SKEINPRESS_SSSE3 void ShuffleSwap(const uint8_t* in, uint8_t* out, size_t pixels, int bpp) {
    size_t done = 0;
    if (bpp == 4) {
        done = ShuffleSteps<4, 4>(
            in, out, pixels, _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15));
    } else {
        done = ShuffleSteps<3, 3>(
            in, out, pixels, _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15));
    }
    PortableSwap(in + done * bpp, out + done * bpp, pixels - done, bpp);
}

SKEINPRESS_SSSE3 void ShuffleBgraToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
    const char z = -128;
    const size_t done = ShuffleSteps<4, 3>(
        in, out, pixels, _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, z, z, z, z));
    PortableBgraToRgb(in + done * 4, out + done * 3, pixels - done);
}
#endif

}  // namespace

void CopySwappingRedBlue(const uint8_t* in, uint8_t* out, size_t pixels, int bytesPerPixel) {
#ifdef SKEINPRESS_HAVE_SSSE3_CODE
    if (HasSsse3()) {
        ShuffleSwap(in, out, pixels, bytesPerPixel);
        return;
    }
#endif
    PortableSwap(in, out, pixels, bytesPerPixel);
}

void CopyBgraToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
#ifdef SKEINPRESS_HAVE_SSSE3_CODE
    if (HasSsse3()) {
        ShuffleBgraToRgb(in, out, pixels);
        return;
    }
#endif
    PortableBgraToRgb(in, out, pixels);
}

}  // namespace core
