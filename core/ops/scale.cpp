#include "core/ops/scale.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/image/alpha_channel.h"

namespace core {

namespace {

// One source pixel's share in a target pixel, in 1/N of a source pixel where
// N is the target's length along that axis.
struct Tap {
    uint32_t index;
    uint32_t weight;
};

// For each target position along one axis, the source positions it covers:
// taps[first[t]] up to taps[first[t + 1]]. Each target's weights add up to
// the source length, so a picture of one colour stays exactly that colour.
struct AxisTaps {
    std::vector<Tap> taps;
    std::vector<size_t> first;

    AxisTaps(int32_t from, int32_t to) {
        const uint64_t source = static_cast<uint64_t>(from), target = static_cast<uint64_t>(to);
        first.reserve(target + 1);
        taps.reserve(source + target);
        for (uint64_t t = 0; t < target; ++t) {
            first.push_back(taps.size());
            // Target t spans [t * source, (t + 1) * source); source pixel i
            // spans [i * target, (i + 1) * target).
            const uint64_t low = t * source, high = low + source;
            for (uint64_t i = low / target; i * target < high; ++i) {
                const uint64_t weight =
                    std::min(high, (i + 1) * target) - std::max(low, i * target);
                if (weight > 0)
                    taps.push_back({static_cast<uint32_t>(i), static_cast<uint32_t>(weight)});
            }
        }
        first.push_back(taps.size());
    }
};

// Adds one source row to the column sums, with alpha each colour
// premultiplied by its alpha (at most 255 * 255, so 16 bits hold it).
void AddRow(const uint8_t* row, size_t pixels, int bytesPerPixel, uint32_t* columns) {
    if (bytesPerPixel == 3) {
        for (size_t i = 0; i < pixels * 3; ++i) columns[i] += row[i];
        return;
    }
    size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: most of the time a thumbnail takes is spent here.
    const __m128i zero = _mm_setzero_si128();
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaLanes = _mm_set_epi16(1, 0, 0, 0, 1, 0, 0, 0);
    for (; i + 4 <= pixels; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * i));
        __m128i* sums = reinterpret_cast<__m128i*>(columns + 4 * i);
        for (int half = 0; half < 2; ++half) {
            const __m128i two =
                half ? _mm_unpackhi_epi8(four, zero) : _mm_unpacklo_epi8(four, zero);
            // Each pixel's R, G, B times its alpha, and its alpha times 1.
            const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(two, 0xFF), 0xFF);
            const __m128i factors = _mm_or_si128(_mm_and_si128(alpha, colourLanes), alphaLanes);
            const __m128i products = _mm_mullo_epi16(two, factors);
            __m128i* first = sums + 2 * half;
            _mm_storeu_si128(
                first, _mm_add_epi32(_mm_loadu_si128(first), _mm_unpacklo_epi16(products, zero)));
            _mm_storeu_si128(first + 1, _mm_add_epi32(_mm_loadu_si128(first + 1),
                                                      _mm_unpackhi_epi16(products, zero)));
        }
    }
#endif
    for (; i < pixels; ++i) {
        const uint32_t a = row[4 * i + 3];
        columns[4 * i] += row[4 * i] * a;
        columns[4 * i + 1] += row[4 * i + 1] * a;
        columns[4 * i + 2] += row[4 * i + 2] * a;
        columns[4 * i + 3] += a;
    }
}

// The same for a row only partly inside the target row, times its share.
void AddPartRow(const uint8_t* row, size_t pixels, int bytesPerPixel, uint32_t weight,
                uint32_t* columns) {
    if (bytesPerPixel == 3) {
        for (size_t i = 0; i < pixels * 3; ++i) columns[i] += row[i] * weight;
        return;
    }
    for (size_t i = 0; i < pixels; ++i) {
        const uint32_t a = row[4 * i + 3];
        columns[4 * i] += row[4 * i] * a * weight;
        columns[4 * i + 1] += row[4 * i + 1] * a * weight;
        columns[4 * i + 2] += row[4 * i + 2] * a * weight;
        columns[4 * i + 3] += a * weight;
    }
}

uint8_t RoundedQuotient(uint64_t sum, uint64_t divisor) {
    return static_cast<uint8_t>((sum + divisor / 2) / divisor);
}

}  // namespace

PictureSize FitWithin(int32_t width, int32_t height, int32_t box) {
    if (width < 1 || height < 1 || box < 1) return {};
    if (width <= box && height <= box) return {width, height};
    const auto shorter = [box](int64_t shortSide, int64_t longSide) {
        return static_cast<int32_t>(
            std::max<int64_t>(1, (2 * shortSide * box + longSide) / (2 * longSide)));
    };
    if (width >= height) return {box, shorter(height, width)};
    return {shorter(width, height), box};
}

void AreaAverage(const uint8_t* source, PictureSize sourceSize, int bytesPerPixel, uint8_t* target,
                 PictureSize targetSize) {
    const AxisTaps x(sourceSize.Width, targetSize.Width), y(sourceSize.Height, targetSize.Height);
    const size_t sourceWidth = static_cast<size_t>(sourceSize.Width);
    const size_t channels = static_cast<size_t>(bytesPerPixel);
    // A source row wholly inside a target row has the weight of a whole
    // source pixel, the target's height in the units of the weights.
    const uint32_t wholeRow = static_cast<uint32_t>(targetSize.Height);
    // Every target pixel covers the same area: source width x source height
    // in those units.
    const uint64_t area = uint64_t(sourceSize.Width) * uint64_t(sourceSize.Height);
    // Each target row: its source rows summed column by column (one pass over
    // the pixels, which is most of the work), the whole ones and the parts
    // apart, then those columns along x. Every sum stays below 2^32: a
    // column's weights add up to the source height, at most kMaxSide, and
    // each term is at most 255 * 255 times its weight.
    std::vector<uint32_t> whole(sourceWidth * channels), parts(sourceWidth * channels);
    bool partsHeld = false;  // with a whole ratio there are none to clear
    uint8_t* out = target;
    for (int32_t ty = 0; ty < targetSize.Height; ++ty) {
        std::fill(whole.begin(), whole.end(), 0);
        if (partsHeld) std::fill(parts.begin(), parts.end(), 0);
        partsHeld = false;
        for (size_t k = y.first[ty]; k < y.first[ty + 1]; ++k) {
            const uint8_t* row = source + y.taps[k].index * sourceWidth * channels;
            if (y.taps[k].weight == wholeRow) {
                AddRow(row, sourceWidth, bytesPerPixel, whole.data());
            } else {
                AddPartRow(row, sourceWidth, bytesPerPixel, y.taps[k].weight, parts.data());
                partsHeld = true;
            }
        }
        for (int32_t tx = 0; tx < targetSize.Width; ++tx, out += channels) {
            uint64_t s[4] = {};
            for (size_t k = x.first[tx]; k < x.first[tx + 1]; ++k) {
                const size_t at = x.taps[k].index * channels;
                for (size_t i = 0; i < channels; ++i)
                    s[i] += (uint64_t{whole[at + i]} * wholeRow + parts[at + i]) * x.taps[k].weight;
            }
            if (bytesPerPixel == 3) {
                for (int c = 0; c < 3; ++c) out[c] = RoundedQuotient(s[c], area);
                continue;
            }
            // Colour is weighted by alpha; where nothing shows, it is black.
            for (int c = 0; c < 3; ++c) out[c] = s[3] ? RoundedQuotient(s[c], s[3]) : 0;
            out[3] = RoundedQuotient(s[3], area);
        }
    }
}

bool ScaleToFit(const Image& source, int32_t box, Image& target) {
    target = Image();
    const int bytesPerPixel = source.BytesPerPixel();
    const PictureSize from{source.Width, source.Height};
    const PictureSize to = FitWithin(from.Width, from.Height, box);
    const size_t sourceBytes = static_cast<size_t>(from.Width) * from.Height * bytesPerPixel;
    if (!source.Usable() || (bytesPerPixel != 3 && bytesPerPixel != 4) || to.Width == 0 ||
        source.Pixels.size() < sourceBytes)
        return false;
    ByteBuffer pixels(static_cast<size_t>(to.Width) * to.Height * bytesPerPixel);
    if (to == from) {
        std::memcpy(pixels.data(), source.Pixels.data(), pixels.size());
    } else {
        AreaAverage(source.Pixels.data(), from, bytesPerPixel, pixels.data(), to);
    }
    const int32_t alphaKind =
        bytesPerPixel == 4 ? ClassifyAlpha(pixels.data(), pixels.size() / 4) : 0;
    target.AdoptPixels(std::move(pixels), to.Width, to.Height, alphaKind);
    target.Compression = static_cast<int32_t>(Compression::None);
    return true;
}

}  // namespace core
