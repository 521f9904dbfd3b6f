#include <algorithm>
#include <cstring>

#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/save_image.h"
#include "core/formats/tga_header.h"
#include "core/image/alpha_channel.h"
#include "core/image/channel_order.h"
#include "core/io/byte_order.h"
#include "core/io/file_io.h"

namespace core {

namespace {

constexpr size_t kHeaderSize = kTgaHeaderBytes;

void Write555(uint16_t w, uint8_t* out) {
    out[0] = static_cast<uint8_t>((w & 31) * 8);
    out[1] = static_cast<uint8_t>(((w >> 5) & 31) * 8);
    out[2] = static_cast<uint8_t>(((w >> 10) & 31) * 8);
}

// Exchanges rows r and Height-1-r (bytes per row = DataSize / Height).
void FlipVertical(Image& image) {
    if (!image.Loaded() || image.Height == 0) return;
    const size_t rowBytes = image.DataSize() / image.Height;
    uint8_t* data = image.Data();
    for (int32_t r = 0; r < image.Height / 2; ++r) {
        std::swap_ranges(data + r * rowBytes, data + (r + 1) * rowBytes,
                         data + (image.Height - 1 - r) * rowBytes);
    }
}

// Exchanges pixels x and Width-1-x within every row.
void FlipHorizontal(Image& image) {
    if (!image.Loaded() || image.Width == 0 || image.Height == 0) return;
    const int bpp = std::min(image.BytesPerPixel(), 4);
    const int32_t w = image.Width;
    const size_t rowBytes = static_cast<size_t>(w) * bpp;
    for (int32_t y = 0; y < image.Height; ++y) {
        uint8_t* row = image.Data() + y * rowBytes;
        for (int32_t x = 0; x < w / 2; ++x) {
            std::swap_ranges(row + x * bpp, row + (x + 1) * bpp, row + (w - 1 - x) * bpp);
        }
    }
}

// 2-byte 5:5:5 pixels (blue in the low bits) become 3-byte blue, green, red,
// each 5-bit value multiplied by 8.
void Convert16To24(Image& image) {
    const size_t n = static_cast<size_t>(image.Width) * image.Height;
    if (!image.Loaded() || image.Pixels.size() < n * 2) return;
    ByteBuffer out(n * 3);
    const uint8_t* in = image.Pixels.data();
    for (size_t i = 0; i < n; ++i) Write555(LoadLE16(in + i * 2), out.data() + i * 3);
    image.AdoptPixels(std::move(out), image.Width, image.Height, 0);
}

// An 8-bit colour-mapped picture as 3-byte pixels. The colour map starts
// `mapFirst` bytes after the ID, and an index selects an entry of the map as
// read.
Error ReadColourMapped(const ByteBuffer& file, size_t pixelCount, ByteBuffer& pixels) {
    const uint8_t idLength = file[0];
    const uint16_t mapFirst = LoadLE16(file.data() + 3);
    const uint16_t mapLength = LoadLE16(file.data() + 5);
    size_t entryBytes;
    switch (file[7]) {
        case 15:
        case 16:
            entryBytes = 2;
            break;
        case 24:
            entryBytes = 3;
            break;
        case 32:
            entryBytes = 4;
            break;
        default:
            if (mapLength != 0) return Error::TgaType;
            entryBytes = 3;
    }
    const size_t mapStart = kHeaderSize + idLength + mapFirst;
    const size_t mapBytes = static_cast<size_t>(mapLength) * entryBytes;
    if (mapStart + mapBytes > file.size()) return Error::TgaShortImageData;
    uint8_t palette[256][3] = {};  // indices past the map's end stay black
    const uint8_t* map = file.data() + mapStart;
    for (size_t i = 0; i < std::min<size_t>(mapLength, 256); ++i) {
        const uint8_t* e = map + i * entryBytes;
        if (entryBytes == 2) {
            Write555(LoadLE16(e), palette[i]);
        } else {
            std::memcpy(palette[i], e, 3);
        }
    }
    const size_t indexStart = mapStart + mapBytes;
    if (file.size() - indexStart < pixelCount) return Error::TgaShortImageData;
    pixels = ByteBuffer(pixelCount * 3);
    const uint8_t* idx = file.data() + indexStart;
    for (size_t i = 0; i < pixelCount; ++i) std::memcpy(pixels.data() + i * 3, palette[idx[i]], 3);
    return Error::None;
}

}  // namespace

Failure LoadTGA(const std::string& path, Image& image, const ReaderNotices& notices) {
    image.Compression = 0;

    ByteBuffer file;
    if (ReadFilePrefix(path, file, ReaderLimits::TgaBytes) != ReadResult::Ok ||
        file.size() < kHeaderSize)
        return {Error::FileNotFound, path};

    const uint8_t* h = file.data();
    const uint8_t idLength = h[0];
    const uint8_t mapType = h[1];
    const uint8_t imageType = h[2];
    const uint16_t mapLength = LoadLE16(h + 5);
    const uint8_t mapEntryBits = h[7];
    const int32_t width = LoadLE16(h + 12);
    const int32_t height = LoadLE16(h + 14);
    const uint8_t depth = h[16];
    const bool topToBottom = (h[17] & 32) != 0;
    const bool rightToLeft = (h[17] & 16) != 0;

    if (imageType != 1 && imageType != 2) {
        if (imageType == 10) return {Error::TgaCompressed, path};
        return {Error::TgaType, path};
    }
    if (mapType != 0 && mapType != 1) return {Error::TgaColourMapped, path};
    if (depth != 8 && depth != 16 && depth != 24 && depth != 32) return {Error::TgaDepth, path};
    if ((imageType == 1 && depth != 8) || (imageType == 2 && depth == 8))
        return {Error::TgaType, path};
    if (width == 0 || height == 0) return {Error::TgaNoPixels, path};
    if (width > kMaxSide || height > kMaxSide) return {Error::TgaTooLarge, path};

    const size_t pixelCount = static_cast<size_t>(width) * height;
    // The image ID is skipped as far as the file goes; a short file then fails below.
    const size_t afterId = std::min(file.size(), kHeaderSize + idLength);

    if (imageType == 1) {
        ByteBuffer pixels;
        if (const Error error = ReadColourMapped(file, pixelCount, pixels); error != Error::None)
            return {error, path};
        image.AdoptPixels(std::move(pixels), width, height, 0);
    } else {
        // A colour map that a true-colour file announces sits before the pixels.
        size_t start = afterId;
        if (mapType == 1) {
            const size_t entryBytes = (static_cast<size_t>(mapEntryBits) + 7) / 8;
            start = std::min(file.size(), afterId + static_cast<size_t>(mapLength) * entryBytes);
        }
        const size_t expected = pixelCount * (depth / 8);
        if (file.size() - start < expected) return {Error::TgaShortPixels, path};
        // Reuse the file buffer as the pixel buffer: no second copy of a large image.
        std::memmove(file.data(), file.data() + start, expected);
        file.resize(expected);
        image.AdoptPixels(std::move(file), width, height, 0);
    }

    if (topToBottom) FlipVertical(image);
    if (rightToLeft) FlipHorizontal(image);

    if (depth == 16) {
        notices.Add("");
        notices.Add(" *** 16 bit colour TGA auto-converted to 24 bit ***");
        notices.Add(" *** Save file if possible to make 24 bit version ***");
        notices.Beep();
        Convert16To24(image);
    }
    if (depth == 32) {
        CopySwappingRedBlue(image.Data(), image.Data(), pixelCount, 4);
        image.AlphaKind = ClassifyAlpha(image.Data(), pixelCount);
    } else {
        SwapRedBlue(image.Data(), static_cast<int32_t>(pixelCount));
        image.AlphaKind = 0;
    }
    return {};
}

namespace {

// The header for `width` pixels of each row (the picture, or one face of a
// cube map). False when a side is 0 or the bytes per pixel are not 3 or 4.
bool BuildTGAHeader(const Image& image, uint8_t header[kHeaderSize], int32_t width) {
    return MakeTgaHeader(header, width, image.Height, image.BytesPerPixel());
}

}  // namespace

Error WriteTGA(const Image& image, ImageSink& sink, int face) {
    // The whole picture, or `width` pixels of each row from `left` (one face
    // of a cube map, the faces side by side).
    int32_t left = 0;
    int32_t width = image.Width;
    if (face >= 0) {
        width = image.Width / kCubeMapFaces;
        if (width < 1 || width * kCubeMapFaces != image.Width) return Error::TgaHeaderNotWritten;
        left = face * width;
    }
    uint8_t header[kHeaderSize];
    if (image.Width == 0 || image.Height == 0 || !BuildTGAHeader(image, header, width))
        return Error::TgaHeaderNotWritten;
    if (!sink.Write(header, sizeof header)) return Error::TgaHeaderNotWritten;
    // Blue, green, red (and alpha), a run of rows at a time, so that a large
    // image needs no second full-size buffer.
    const size_t bpp = static_cast<size_t>(image.BytesPerPixel());
    const size_t pictureRow = static_cast<size_t>(image.Width) * bpp;
    const size_t row = static_cast<size_t>(width) * bpp;
    const size_t rows = static_cast<size_t>(image.Height);
    const size_t rowsPerChunk = std::max<size_t>(1, (size_t{1} << 20) / row);
    ByteBuffer work(std::min(rowsPerChunk, rows) * row);
    for (size_t done = 0; done < rows; done += rowsPerChunk) {
        const size_t n = std::min(rowsPerChunk, rows - done);
        const uint8_t* from = image.Data() + done * pictureRow + static_cast<size_t>(left) * bpp;
        if (row == pictureRow) {
            CopySwappingRedBlue(from, work.data(), n * width, static_cast<int>(bpp));
        } else {
            for (size_t r = 0; r < n; ++r)
                CopySwappingRedBlue(from + r * pictureRow, work.data() + r * row, width,
                                    static_cast<int>(bpp));
        }
        if (!sink.Write(work.data(), n * row)) return Error::TgaDataNotWritten;
    }
    return Error::None;
}

}  // namespace core
