// JPEG through libjpeg-turbo at the library's default settings. libjpeg ends
// the process on a fatal error unless its error manager returns control; ours
// jumps back to the reader or writer, which then fails with a message.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/save_image.h"
#include "core/io/file_io.h"

namespace core {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ReturnToCaller(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings (damaged but decodable data) are tolerated, as djpeg does; they are
// not printed.
void IgnoreMessage(j_common_ptr) {}

// Errors jump back to the caller's setjmp instead of ending the program.
jpeg_error_mgr* ReturningErrors(ErrorManager& err) {
    jpeg_error_mgr* manager = jpeg_std_error(&err.pub);
    manager->error_exit = ReturnToCaller;
    manager->output_message = IgnoreMessage;
    return manager;
}

// Why a file was refused before it cost what it claims.
enum class Refusal { None, TooManyScans, TooCostly };

struct DecodeGuard {
    jpeg_progress_mgr pub;
    uint64_t workBudget = 0;  // coefficients the scans may decode in all
    uint64_t work = 0;
    int scansCounted = 0;
    Refusal refusal = Refusal::None;
};

// libjpeg reports progress before each step of reading the input, and a new
// scan's header has been read by then: a scan beyond the bounds ends the
// decoding before any of its data is read.
void GuardScans(j_common_ptr info) {
    auto* guard = reinterpret_cast<DecodeGuard*>(info->progress);
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(info);
    if (cinfo->input_scan_number <= guard->scansCounted) return;
    guard->scansCounted = cinfo->input_scan_number;
    if (cinfo->input_scan_number > ReaderLimits::JpegScans) {
        guard->refusal = Refusal::TooManyScans;
        info->err->error_exit(info);
    }
    const int coefficients = cinfo->progressive_mode ? cinfo->Se - cinfo->Ss + 1 : DCTSIZE2;
    for (int i = 0; i < cinfo->comps_in_scan; ++i) {
        const jpeg_component_info* c = cinfo->cur_comp_info[i];
        guard->work += uint64_t{c->width_in_blocks} * c->height_in_blocks *
                       static_cast<uint64_t>(std::max(coefficients, 1));
    }
    if (guard->work > guard->workBudget) {
        guard->refusal = Refusal::TooCostly;
        info->err->error_exit(info);
    }
}

// Whether the bytes of the file can hold the picture its header claims, at a
// cost in time and memory that they justify. Checked once the first scan's
// header is read, before the decoder sizes anything from it.
bool Affordable(const jpeg_decompress_struct& cinfo, uint64_t fileSize, DecodeGuard& guard) {
    uint64_t blocks = 0;
    for (int i = 0; i < cinfo.num_components; ++i)
        blocks +=
            uint64_t{cinfo.comp_info[i].width_in_blocks} * cinfo.comp_info[i].height_in_blocks;
    // Huffman coding spends at least one bit on the DC value of every block of
    // every component. Arithmetic coding can spend almost nothing on a flat
    // picture (8192 x 8192 in 211 bytes), so its bound is the work below.
    if (!cinfo.arith_code && fileSize < blocks / 8) return false;
    guard.workBudget = blocks * DCTSIZE2 * ReaderLimits::JpegPasses +
                       fileSize * ReaderLimits::JpegCoefficientsPerByte;
    // A file of several scans keeps all its coefficients until the last one.
    const bool buffered = cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
    const uint64_t pixelBytes = uint64_t{cinfo.image_width} * cinfo.image_height * 3;
    return !buffered || blocks * DCTSIZE2 * 2 + pixelBytes <=
                            std::max(ReaderLimits::JpegBufferedBytes,
                                     fileSize * ReaderLimits::JpegBufferedBytesPerByte);
}

// Decodes into 3-byte red-green-blue pixels, top row first. Only objects that
// need no destructor live between setjmp and the libjpeg calls, so a jump back
// skips nothing that would leak; `pixels` belongs to the caller.
bool DecodeJpeg(std::FILE* input, uint64_t fileSize, ByteBuffer& pixels, int32_t& width,
                int32_t& height, DecodeGuard& guard) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = ReturningErrors(err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    guard.pub.progress_monitor = GuardScans;
    cinfo.progress = &guard.pub;
    jpeg_stdio_src(&cinfo, input);
    jpeg_read_header(&cinfo, TRUE);

    // Refuse before the decoder allocates anything for the picture.
    if (cinfo.image_width == 0 || cinfo.image_height == 0 ||
        cinfo.image_width > static_cast<JDIMENSION>(kMaxSide) ||
        cinfo.image_height > static_cast<JDIMENSION>(kMaxSide)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!Affordable(cinfo, fileSize, guard)) {
        guard.refusal = Refusal::TooCostly;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool fourChannel =
        cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = fourChannel ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);

    const JDIMENSION w = cinfo.output_width;
    const JDIMENSION h = cinfo.output_height;
    // CMYK rows are decoded into one scratch row after the picture and
    // converted into their own place.
    const size_t scratchBytes = fourChannel ? static_cast<size_t>(w) * 4 : 0;
    try {
        pixels.resize(static_cast<size_t>(w) * h * 3 + scratchBytes);
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Adobe writes CMYK inverted (0 is full ink); others store ink directly.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < h) {
        uint8_t* row = pixels.data() + static_cast<size_t>(cinfo.output_scanline) * w * 3;
        if (!fourChannel) {
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&cinfo, rows, 1);
            continue;
        }
        uint8_t* scratch = pixels.data() + pixels.size() - scratchBytes;
        JSAMPROW rows[1] = {scratch};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (JDIMENSION x = 0; x < w; ++x) {
            const uint8_t* cmyk = scratch + x * 4;
            // Light left by each ink times the light left by black.
            const int black = inverted ? cmyk[3] : 255 - cmyk[3];
            for (int c = 0; c < 3; ++c) {
                const int light = inverted ? cmyk[c] : 255 - cmyk[c];
                row[x * 3 + c] = static_cast<uint8_t>((light * black + 127) / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (fourChannel) pixels.resize(static_cast<size_t>(w) * h * 3);
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return true;
}

// Encodes the rendered bitmap at the library's defaults into a block that
// libjpeg mallocs and the caller frees.
bool EncodeJpeg(const Bitmap& bitmap, unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = ReturningErrors(err);
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
    cinfo.input_components = bitmap.BitsPerPixel() / 8;
    cinfo.in_color_space = bitmap.BitsPerPixel() == 24 ? JCS_EXT_BGR : JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {
            const_cast<uint8_t*>(bitmap.Row(static_cast<int>(cinfo.next_scanline)).data())};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

Failure LoadJPG(const std::string& path, Image& image, const ReaderNotices&) {
    image.Compression = 0;
    ByteBuffer pixels;
    int32_t width = 0;
    int32_t height = 0;
    const int fd = OpenRegularForReading(path);
    std::FILE* input = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (input == nullptr && fd >= 0) ::close(fd);
    struct stat info {};
    DecodeGuard guard{};
    const bool decoded =
        input != nullptr && ::fstat(::fileno(input), &info) == 0 &&
        DecodeJpeg(input, static_cast<uint64_t>(info.st_size), pixels, width, height, guard);
    if (input != nullptr) std::fclose(input);
    if (!decoded) {
        if (guard.refusal == Refusal::TooManyScans)
            return {Error::JpegTooManyScans, path, std::to_string(ReaderLimits::JpegScans)};
        if (guard.refusal == Refusal::TooCostly)
            return {Error::JpegTooCostly, path, std::to_string(info.st_size)};
        return {Error::JpegUndecodable, path};
    }
    // libjpeg gives the top row first; an image keeps the bottom row first.
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.data() + top * rowBytes, pixels.data() + (top + 1) * rowBytes,
                         pixels.data() + bottom * rowBytes);
    }
    image.AdoptPixels(std::move(pixels), width, height, 0);
    return {};
}

Error WriteJPG(const Image& image, ImageSink& sink, int) {
    Bitmap bitmap;
    RenderForSave(image, bitmap);
    if (bitmap.Empty()) return Error::JpegNoPixelsToSave;
    // Encoded whole in memory first: the target is opened only for a picture
    // that encoded.
    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    const bool ok = EncodeJpeg(bitmap, &encoded, &encodedSize) && sink.Write(encoded, encodedSize);
    std::free(encoded);
    return ok ? Error::None : Error::CannotWrite;
}

}  // namespace core
