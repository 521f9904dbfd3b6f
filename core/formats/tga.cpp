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

bool Fail(ImageStore& store, const std::string& path, Error error) {
    ResetImage(store);
    SetLoadError(store, error, path);
    return false;
}

// Exchanges rows r and Height-1-r (bytes per row = DataSize / Height).
void FlipVertical(ImageStore& store) {
    if (!store.ImageLoaded || store.Image.Height == 0) return;
    const size_t rowBytes = static_cast<size_t>(store.Image.DataSize) / store.Image.Height;
    uint8_t* data = store.Image.Data;
    for (int32_t r = 0; r < store.Image.Height / 2; ++r) {
        std::swap_ranges(data + r * rowBytes, data + (r + 1) * rowBytes,
                         data + (store.Image.Height - 1 - r) * rowBytes);
    }
}

// Exchanges pixels x and Width-1-x within every row.
void FlipHorizontal(ImageStore& store) {
    if (!store.ImageLoaded || store.Image.Width == 0 || store.Image.Height == 0) return;
    const int bpp = std::min(store.BytesPerPixel(), 4);
    const int32_t w = store.Image.Width;
    const size_t rowBytes = static_cast<size_t>(w) * bpp;
    for (int32_t y = 0; y < store.Image.Height; ++y) {
        uint8_t* row = store.Image.Data + y * rowBytes;
        for (int32_t x = 0; x < w / 2; ++x) {
            std::swap_ranges(row + x * bpp, row + (x + 1) * bpp, row + (w - 1 - x) * bpp);
        }
    }
}

// 2-byte 5:5:5 pixels (blue in the low bits) become 3-byte blue, green, red,
// each 5-bit value multiplied by 8.
void Convert16To24(ImageStore& store) {
    const size_t n = static_cast<size_t>(store.Image.Width) * store.Image.Height;
    if (!store.ImageLoaded || store.PixelBuffer.size() < n * 2) return;
    ByteBuffer out(n * 3);
    const uint8_t* in = store.PixelBuffer.data();
    for (size_t i = 0; i < n; ++i) Write555(LoadLE16(in + i * 2), out.data() + i * 3);
    store.AdoptPixels(std::move(out), store.Image.Width, store.Image.Height, 0);
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

bool LoadTGA(ImageStore& store, const std::string& path) {
    store.Image.Compression = 0;

    ByteBuffer file;
    if (ReadFilePrefix(path, file, ReaderLimits::TgaBytes) != ReadResult::Ok ||
        file.size() < kHeaderSize)
        return Fail(store, path, Error::FileNotFound);

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
        if (imageType == 10) return Fail(store, path, Error::TgaCompressed);
        return Fail(store, path, Error::TgaType);
    }
    if (mapType != 0 && mapType != 1) return Fail(store, path, Error::TgaColourMapped);
    if (depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return Fail(store, path, Error::TgaDepth);
    if ((imageType == 1 && depth != 8) || (imageType == 2 && depth == 8))
        return Fail(store, path, Error::TgaType);
    if (width == 0 || height == 0) return Fail(store, path, Error::TgaNoPixels);
    if (width > kMaxSide || height > kMaxSide) return Fail(store, path, Error::TgaTooLarge);

    const size_t pixelCount = static_cast<size_t>(width) * height;
    // The image ID is skipped as far as the file goes; a short file then fails below.
    const size_t afterId = std::min(file.size(), kHeaderSize + idLength);

    if (imageType == 1) {
        ByteBuffer pixels;
        if (const Error error = ReadColourMapped(file, pixelCount, pixels); error != Error::None)
            return Fail(store, path, error);
        store.AdoptPixels(std::move(pixels), width, height, 0);
    } else {
        // A colour map that a true-colour file announces sits before the pixels.
        size_t start = afterId;
        if (mapType == 1) {
            const size_t entryBytes = (static_cast<size_t>(mapEntryBits) + 7) / 8;
            start = std::min(file.size(), afterId + static_cast<size_t>(mapLength) * entryBytes);
        }
        const size_t expected = pixelCount * (depth / 8);
        if (file.size() - start < expected) return Fail(store, path, Error::TgaShortPixels);
        // Reuse the file buffer as the pixel buffer: no second copy of a large image.
        std::memmove(file.data(), file.data() + start, expected);
        file.resize(expected);
        store.AdoptPixels(std::move(file), width, height, 0);
    }

    if (topToBottom) FlipVertical(store);
    if (rightToLeft) FlipHorizontal(store);

    if (depth == 16) {
        store.AddNotice("");
        store.AddNotice(" *** 16 bit colour TGA auto-converted to 24 bit ***");
        store.AddNotice(" *** Save file if possible to make 24 bit version ***");
        store.SoundBeep();
        Convert16To24(store);
    }
    if (depth == 32) {
        CopySwappingRedBlue(store.Image.Data, store.Image.Data, pixelCount, 4);
        store.Image.AlphaKind = ClassifyAlpha(store.Image.Data, pixelCount);
    } else {
        SwapRedBlue(store.Image.Data, static_cast<int32_t>(pixelCount));
        store.Image.AlphaKind = 0;
    }
    return true;
}

namespace {

// The header for `width` pixels of each row (the picture, or one face of a
// cube map). False when a side is 0 or the bytes per pixel are not 3 or 4.
bool BuildTGAHeader(const ImageStore& store, uint8_t header[kHeaderSize], int32_t width) {
    return MakeTgaHeader(header, width, store.Image.Height, store.BytesPerPixel());
}

}  // namespace

Error WriteTGA(const ImageStore& store, ImageSink& sink, int face) {
    // The whole picture, or `width` pixels of each row from `left` (one face
    // of a cube map, the faces side by side).
    int32_t left = 0;
    int32_t width = store.Image.Width;
    if (face >= 0) {
        width = store.Image.Width / kCubeMapFaces;
        if (width < 1 || width * kCubeMapFaces != store.Image.Width)
            return Error::TgaHeaderNotWritten;
        left = face * width;
    }
    uint8_t header[kHeaderSize];
    if (store.Image.Width == 0 || store.Image.Height == 0 || !BuildTGAHeader(store, header, width))
        return Error::TgaHeaderNotWritten;
    if (!sink.Write(header, sizeof header)) return Error::TgaHeaderNotWritten;
    // Blue, green, red (and alpha), a run of rows at a time, so that a large
    // image needs no second full-size buffer.
    const size_t bpp = static_cast<size_t>(store.BytesPerPixel());
    const size_t pictureRow = static_cast<size_t>(store.Image.Width) * bpp;
    const size_t row = static_cast<size_t>(width) * bpp;
    const size_t rows = static_cast<size_t>(store.Image.Height);
    const size_t rowsPerChunk = std::max<size_t>(1, (size_t{1} << 20) / row);
    ByteBuffer work(std::min(rowsPerChunk, rows) * row);
    for (size_t done = 0; done < rows; done += rowsPerChunk) {
        const size_t n = std::min(rowsPerChunk, rows - done);
        const uint8_t* from =
            store.Image.Data + done * pictureRow + static_cast<size_t>(left) * bpp;
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
