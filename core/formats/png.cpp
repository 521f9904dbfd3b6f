// PNG through libpng. Every colour type and bit depth reads as 3-byte RGB, or
// 4-byte RGBA when the file has alpha or a transparency chunk; 16-bit samples
// keep their high byte. Writing is row by row straight from the store, so the
// file is never held in memory. libpng reports fatal errors by jumping back to
// the setjmp of the function that called it: only objects without destructors
// live in those functions, and everything they allocate belongs to the caller.
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <png.h>

#include "core/formats/load_image.h"
#include "core/formats/reader_limits.h"
#include "core/formats/save_image.h"
#include "core/image/alpha_channel.h"
#include "core/io/file_io.h"

namespace core {

namespace {

// Why libpng gave up, kept for the message (printable ASCII only: the text
// may quote a chunk name from the file).
struct ReadProblem {
    char text[96] = {};
};

void KeepText(ReadProblem& problem, const char* text) {
    size_t n = 0;
    for (; text != nullptr && text[n] != '\0' && n + 1 < sizeof(problem.text); ++n)
        problem.text[n] = (text[n] >= 0x20 && text[n] < 0x7f) ? text[n] : '?';
    problem.text[n] = '\0';
}

[[noreturn]] void JumpBack(png_structp png, png_const_charp message) {
    if (auto* problem = static_cast<ReadProblem*>(png_get_error_ptr(png)))
        KeepText(*problem, message);
    png_longjmp(png, 1);
}

// Warnings are for damaged but readable data (a bad ancillary checksum).
void IgnoreWarning(png_structp, png_const_charp) {}

// Chunks that change nothing this program shows: skipped unread, so a huge or
// damaged one costs neither memory nor a refusal.
constexpr png_byte kSkippedChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0"
    "pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";

// Deflate never packs more than 1032 bytes into one: a file shorter than its
// filtered rows divided by that cannot hold the picture its header claims.
constexpr uint64_t kDeflateRatio = 1032;

struct Decoded {
    ByteBuffer pixels;  // the caller's, so that a jump back leaks nothing
    std::vector<png_bytep> rows;
    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 0;
    bool tooLarge = false;
    bool tooShort = false;
};

bool DecodePng(std::FILE* input, uint64_t fileSize, Decoded& out, ReadProblem& problem) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &problem, JumpBack, IgnoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, input);
    // libpng's own bounds: sides, ancillary chunks kept, and any one allocation
    // for a chunk (the picture's rows are ours, not libpng's).
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_cache_max(png, 64);
    png_set_chunk_malloc_max(png, 1u << 20);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks,
                                static_cast<int>(sizeof(kSkippedChunks) / 5));
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(kMaxSide) ||
        height > static_cast<png_uint_32>(kMaxSide)) {
        out.tooLarge = true;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (static_cast<uint64_t>(png_get_rowbytes(png, info) + 1) * height >
        fileSize * kDeflateRatio) {
        out.tooShort = true;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    const bool alpha =
        (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    // Palette to RGB, grey below 8 bits to 8, transparency to an alpha channel.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.channels = png_get_channels(png, info);
    if (out.channels != (alpha ? 4 : 3) ||
        png_get_rowbytes(png, info) != static_cast<size_t>(width) * out.channels) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(width) * out.channels;
    try {
        out.pixels.resize(rowBytes * height);
        out.rows.resize(height);
    } catch (const std::bad_alloc&) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // The file's top row goes last in the store, which keeps rows bottom-up.
    for (png_uint_32 y = 0; y < height; ++y)
        out.rows[y] = out.pixels.data() + (height - 1 - y) * rowBytes;
    png_read_image(png, out.rows.data());
    // What follows the pixels (text, times, the end chunk) is not read: a file
    // cut short after its picture data still shows the whole picture.
    png_destroy_read_struct(&png, &info, nullptr);
    out.width = width;
    out.height = height;
    return true;
}

// Why a file that opened was not read.
std::string Refusal(const Decoded& decoded, const ReadProblem& problem) {
    if (decoded.tooLarge) return "it is larger than 8192 x 8192 or has no pixels";
    if (decoded.tooShort) return "the file is too short for the picture it claims";
    // libpng's words for a file that ends inside a chunk.
    if (std::string_view(problem.text) == "Read Error") return "the file ends inside a chunk";
    if (problem.text[0] != '\0') return problem.text;
    return "it is not a PNG file libpng can read";
}

// Output of the writer: a failed write ends the encoding at once.
void WriteToSink(png_structp png, png_bytep data, size_t size) {
    if (!static_cast<ImageSink*>(png_get_io_ptr(png))->Write(data, size))
        png_error(png, "write failed");
}

void NoFlush(png_structp) {}

bool EncodePng(const Image& image, ImageSink& sink) {
    const int bpp = image.BytesPerPixel();
    const auto width = static_cast<png_uint_32>(image.Width);
    const auto height = static_cast<png_uint_32>(image.Height);
    const size_t rowBytes = static_cast<size_t>(width) * bpp;
    const uint8_t* data = image.Data();

    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, WriteToSink, NoFlush);
    // Fast rather than small: the cheapest filter that still helps photographs
    // and a low deflate level.
    png_set_compression_level(png, 2);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, width, height, 8, bpp == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    // The store's rows run bottom-up: the file's first row is its last.
    for (png_uint_32 y = 0; y < height; ++y) png_write_row(png, data + (height - 1 - y) * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

Failure LoadPNG(const std::string& path, Image& image, const ReaderNotices&) {
    image.Compression = 0;
    Decoded decoded;
    ReadProblem problem;
    const int fd = OpenRegularForReading(path);
    std::FILE* input = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (input == nullptr && fd >= 0) ::close(fd);
    const bool opened = input != nullptr;
    struct stat fileInfo {};
    const bool ok = opened && ::fstat(::fileno(input), &fileInfo) == 0 &&
                    DecodePng(input, static_cast<uint64_t>(fileInfo.st_size), decoded, problem);
    if (opened) std::fclose(input);
    if (!ok)
        return {Error::PngUndecodable, path,
                opened ? Refusal(decoded, problem) : "it cannot be opened"};
    const size_t pixelCount = static_cast<size_t>(decoded.width) * decoded.height;
    const int32_t alphaKind =
        decoded.channels == 4 ? ClassifyAlpha(decoded.pixels.data(), pixelCount) : 0;
    image.AdoptPixels(std::move(decoded.pixels), static_cast<int32_t>(decoded.width),
                      static_cast<int32_t>(decoded.height), alphaKind);
    return {};
}

Error WritePNG(const Image& image, ImageSink& sink, int) {
    if (!HasWritablePicture(image)) return Error::NoPicture;
    return EncodePng(image, sink) ? Error::None : Error::CannotWrite;
}

}  // namespace core
