#include "core/channel_order.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SKEINPRESS_SHUFFLES 1
#endif

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

#ifdef SKEINPRESS_SHUFFLES
#define SSSE3_FUNCTION __attribute__((target("ssse3")))

SSSE3_FUNCTION void ShuffleSwap4(const uint8_t* in, uint8_t* out, size_t pixels) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    size_t i = 0;
    for (; i + 4 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_shuffle_epi8(v, order));
    }
    PortableSwap(in + i * 4, out + i * 4, pixels - i, 4);
}

// Four pixels (12 bytes) per step through 16-byte loads and stores. The last
// four bytes stored are the input's own, put back unchanged in place or
// overwritten by the next step when copying; steps stop while 16 bytes remain.
SSSE3_FUNCTION void ShuffleSwap3(const uint8_t* in, uint8_t* out, size_t pixels) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
    size_t i = 0;
    for (; i + 6 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 3), _mm_shuffle_epi8(v, order));
    }
    PortableSwap(in + i * 3, out + i * 3, pixels - i, 3);
}

SSSE3_FUNCTION void ShuffleBgraToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
    const char z = -128;
    const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, z, z, z, z);
    size_t i = 0;
    // The store writes 16 bytes for 12: stop while the output has room for them.
    for (; i + 6 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 3), _mm_shuffle_epi8(v, order));
    }
    PortableBgraToRgb(in + i * 4, out + i * 3, pixels - i);
}
#endif

}  // namespace

bool HasSsse3() {
#ifdef SKEINPRESS_SHUFFLES
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
#else
    return false;
#endif
}

void CopySwappingRedBlue(const uint8_t* in, uint8_t* out, size_t pixels, int bytesPerPixel) {
#ifdef SKEINPRESS_SHUFFLES
    if (HasSsse3()) {
        if (bytesPerPixel == 4) {
            ShuffleSwap4(in, out, pixels);
        } else {
            ShuffleSwap3(in, out, pixels);
        }
        return;
    }
#endif
    PortableSwap(in, out, pixels, bytesPerPixel);
}

void CopyBgraToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
#ifdef SKEINPRESS_SHUFFLES
    if (HasSsse3()) {
        ShuffleBgraToRgb(in, out, pixels);
        return;
    }
#endif
    PortableBgraToRgb(in, out, pixels);
}

}  // namespace core
