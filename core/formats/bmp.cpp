#include <bit>
#include <cstring>

#include "core/formats/bmp_decoder.h"
#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/save_image.h"
#include "core/image/channel_order.h"
#include "core/io/byte_order.h"
#include "core/io/file_io.h"

namespace core {

namespace {

Failure DecodeInto(Image& image, const std::string& path, std::span<const uint8_t> file) {
    ByteBuffer rgb;
    int32_t width = 0;
    int32_t height = 0;
    if (!DecodeBmp(file, rgb, width, height)) return {Error::BmpUndecodable, path};
    image.AdoptPixels(std::move(rgb), width, height, 0);
    return {};
}

// The sides the plain reader takes: powers of two up to 4096.
bool PlainSide(int32_t n) {
    return n > 0 && n < 8000 && std::has_single_bit(static_cast<uint32_t>(n));
}

}  // namespace

Failure LoadBMP(const std::string& path, Image& image, const ReaderNotices& notices) {
    image.Compression = 0;
    ByteBuffer file;
    if (ReadFilePrefix(path, file, ReaderLimits::BmpBytes) != ReadResult::Ok)
        return {Error::BmpCannotOpen, path};

    BmpHeaders h;
    if (const Error error = ReadBmpHeaders(file, h); error != Error::None) return {error, path};

    if (h.bitCount >= 1 && h.bitCount <= 4) {
        notices.Add(" Bitmap is " + std::to_string(h.bitCount) +
                    " bit(s) per pixel.. converting..");
        return DecodeInto(image, path, file);
    }

    // With no count in the header, the palette fills the gap between the headers
    // (and any masks after them) and the pixel data. An offset inside the headers
    // gives a nonsense size and is refused.
    uint64_t paletteSize = h.clrUsed;
    if (paletteSize == 0) {
        paletteSize = h.offBits >= h.headersEnd ? (h.offBits - h.headersEnd) / h.paletteEntrySize
                                                : UINT64_MAX;
    }
    if (paletteSize != 0 && paletteSize != 2 && paletteSize != 16 && paletteSize != 256)
        return {Error::BmpUnsupported, path};
    const uint64_t paletteBytes = paletteSize * h.paletteEntrySize;
    if (file.size() - h.headersEnd < paletteBytes) return {Error::BmpShortPalette, path};
    const uint8_t* palette = file.data() + h.headersEnd;

    // Everything but plain 8- and 24-bit rows with power-of-two sides goes to the
    // complete decoder.
    if (!PlainSide(h.width) || !PlainSide(h.height) || h.compression != kBmpRgb ||
        (h.bitCount != 8 && h.bitCount != 24)) {
        return DecodeInto(image, path, file);
    }

    const int32_t width = h.width;
    const int32_t height = h.height;
    const size_t bytesPerPixel = h.bitCount / 8;
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    const size_t stride = (rowBytes + 3) / 4 * 4;
    const size_t need = stride * (height - 1) + rowBytes;
    if (h.offBits > file.size() || file.size() - h.offBits < need)
        return {Error::BmpShortPixels, path};

    const size_t n = static_cast<size_t>(width) * height;
    ByteBuffer pixels(n * 3);
    const uint8_t* data = file.data() + h.offBits;
    for (int32_t r = 0; r < height; ++r) {
        const uint8_t* in = data + r * stride;
        uint8_t* out = pixels.data() + static_cast<size_t>(r) * width * 3;
        if (bytesPerPixel == 3) {
            std::memcpy(out, in, rowBytes);
            SwapRedBlue(out, width);
            continue;
        }
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const uint8_t i = in[x];
            if (paletteSize == 0) {
                out[0] = out[1] = out[2] = i;
            } else if (i < paletteSize) {
                const uint8_t* e = palette + static_cast<size_t>(i) * h.paletteEntrySize;
                out[0] = e[2], out[1] = e[1], out[2] = e[0];
            } else {  // an index past a short palette
                out[0] = out[1] = out[2] = 0;
            }
        }
    }
    image.AdoptPixels(std::move(pixels), width, height, 0);
    return {};
}

Error WriteBMP(const Image& image, ImageSink& sink, int) {
    Bitmap bitmap;
    RenderForSave(image, bitmap);
    if (bitmap.Empty()) return Error::BmpNoPixelsToSave;
    const uint32_t width = static_cast<uint32_t>(bitmap.Width());
    const uint32_t height = static_cast<uint32_t>(bitmap.Height());
    const uint32_t bits = static_cast<uint32_t>(bitmap.BitsPerPixel());
    const uint32_t stride = static_cast<uint32_t>(bitmap.BytesPerLine());
    const uint32_t imageBytes = stride * height;

    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    StoreLE32(header + 2, 54 + imageBytes);
    StoreLE32(header + 10, 54);
    StoreLE32(header + 14, 40);
    StoreLE32(header + 18, width);
    StoreLE32(header + 22, height);
    StoreLE16(header + 26, 1);
    StoreLE16(header + 28, bits);
    StoreLE32(header + 34, imageBytes);

    bool ok = sink.Write(header, sizeof header);
    for (int y = bitmap.Height() - 1; ok && y >= 0; --y)
        ok = sink.Write(bitmap.Row(y).data(), stride);
    return ok ? Error::None : Error::CannotWrite;
}

}  // namespace core
