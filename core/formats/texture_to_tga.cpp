#include "core/formats/texture_to_tga.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "core/codecs/dxt.h"
#include "core/codecs/etc2.h"
#include "core/formats/format_table.h"
#include "core/formats/load_image.h"
#include "core/formats/save_image.h"
#include "core/formats/texture_description.h"
#include "core/formats/texture_picture.h"
#include "core/formats/tga_header.h"
#include "core/image/channel_order.h"
#include "core/ops/render.h"

namespace core {

namespace {

// TGA bytes made and written at a time: few enough to stay in the processor's
// cache from the decoding to the write.
constexpr size_t kChunkBytes = size_t{256} << 10;

// The variant of a DXT coding.
DxtVariant VariantOf(PictureCoding coding) {
    return coding == PictureCoding::DXT1   ? DxtVariant::DXT1
           : coding == PictureCoding::DXT3 ? DxtVariant::DXT3
                                           : DxtVariant::DXT5;
}

// Block rows first .. first + rows - 1 as `lines` lines of TGA pixels, bottom
// line first: those rows' blocks decoded as a picture of their own.
bool DecodeBlockRows(const TexturePicture& picture, size_t first, size_t rows, int32_t lines,
                     uint8_t* out) {
    const bool etc2 = picture.coding == PictureCoding::ETC2;
    const size_t blockBytes = etc2 ? kEtc2BlockBytes : DxtBlockBytes(VariantOf(picture.coding));
    const size_t rowBytes = (static_cast<size_t>(picture.width) + 3) / 4 * blockBytes;
    const uint8_t* data = picture.data + first * rowBytes;
    const size_t size = rows * rowBytes;
    if (!etc2)
        return DecodeDxtBlocks(VariantOf(picture.coding), data, size, picture.width, lines,
                               picture.bytesPerPixel, out, DxtCode::Fastest, DxtOrder::BlueFirst);
    // ETC2 decodes red first: red and blue change places while the lines are in the cache.
    if (!DecodeEtc2Blocks(data, size, picture.width, lines, 3, out)) return false;
    SwapRedBlue(out, picture.width * lines);
    return true;
}

// Whether every pixel seen has the colour (alpha aside) of the first: the
// uniform-colour finding of a picture read whole.
class UniformWatch {
public:
    explicit UniformWatch(int bytesPerPixel) : bpp_(bytesPerPixel) {}
    void See(const uint8_t* pixels, size_t count) {
        if (!uniform_ || count == 0) return;
        if (!started_) std::memcpy(first_, pixels, 3), started_ = true;
        uniform_ = AllOfColour(pixels, count, bpp_, first_);
    }
    bool Uniform() const { return uniform_; }

private:
    int bpp_;
    uint8_t first_[3] = {};
    bool started_ = false;
    bool uniform_ = true;
};

bool Examine(const std::string& path, ByteBuffer& bytes, TexturePicture& picture) {
    const FormatRow* reader = ReaderFor(path);
    if (reader == nullptr) return false;
    if (reader->read == LoadTexture) return ExamineJirf(path, bytes, picture);
    if (reader->read == LoadE2TF) return ExamineE2TF(path, bytes, picture);
    return false;
}

bool Stream(const std::string& texturePath, const std::string& tgaPath, bool refuseUniform) {
    const FormatRow* writer = WriterFor(tgaPath);
    if (writer == nullptr || writer->write != WriteTGA) return false;
    ByteBuffer bytes;
    TexturePicture picture;
    if (!Examine(texturePath, bytes, picture) || picture.coding == PictureCoding::Other)
        return false;
    uint8_t header[kTgaHeaderBytes];
    if (!MakeTgaHeader(header, picture.width, picture.height, picture.bytesPerPixel)) return false;
    ImageSink sink(tgaPath);
    if (!sink.Write(header, sizeof header)) return false;

    const size_t width = static_cast<size_t>(picture.width);
    const size_t height = static_cast<size_t>(picture.height);
    const size_t lineBytes = width * picture.bytesPerPixel;
    const size_t blockRows = (height + 3) / 4;
    const size_t rowsPerChunk = std::max<size_t>(1, kChunkBytes / (4 * lineBytes));
    ByteBuffer chunk(std::min(rowsPerChunk, blockRows) * 4 * lineBytes);
    UniformWatch watch(picture.bytesPerPixel);
    // The TGA runs from the bottom of the picture up: the last block rows first.
    for (size_t end = blockRows; end > 0;) {
        const size_t first = end > rowsPerChunk ? end - rowsPerChunk : 0;
        const size_t lines = std::min(4 * end, height) - 4 * first;
        if (!DecodeBlockRows(picture, first, end - first, static_cast<int32_t>(lines),
                             chunk.data()))
            return false;
        if (refuseUniform) watch.See(chunk.data(), lines * width);
        if (!sink.Write(chunk.data(), lines * lineBytes)) return false;
        end = first;
    }
    if (refuseUniform && watch.Uniform()) return false;
    return sink.Commit() && !SaveTextureDescription(texturePath, picture.description, tgaPath);
}

}  // namespace

bool StreamTextureToTga(const std::string& texturePath, const std::string& tgaPath,
                        bool refuseUniform) {
    // Out of memory, or anything else thrown: the usual way reports it.
    try {
        return Stream(texturePath, tgaPath, refuseUniform);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace core
