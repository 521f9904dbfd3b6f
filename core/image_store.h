// The image store: the one image the program is working on, with the state that
// travels with it. Each owner (the desktop window, each batch worker) has its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Allocation of large pixel and file buffers. Large buffers are mapped with
// transparent huge pages where the platform offers them, and each thread keeps
// a few released ones for reuse: first-touch page faults otherwise dominate
// the cost of loading a big picture.
void* AllocateLargeBuffer(size_t bytes);
void ReleaseLargeBuffer(void* p, size_t bytes);
// Returns the buffers this thread keeps for reuse to the system.
void ReleaseKeptBuffers();
inline constexpr size_t kLargeBufferBytes = size_t{512} << 10;

// A byte vector whose resize() leaves new bytes uninitialised: pixel buffers are
// always written in full right after they are sized, so zeroing them is waste.
template <typename T>
struct DefaultInitAllocator {
    using value_type = T;
    DefaultInitAllocator() noexcept = default;
    template <typename U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBufferBytes) return static_cast<T*>(AllocateLargeBuffer(bytes));
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, size_t n) noexcept {
        const size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBufferBytes) {
            ReleaseLargeBuffer(p, bytes);
        } else {
            std::allocator<T>().deallocate(p, n);
        }
    }
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const DefaultInitAllocator<U>&) const noexcept {
        return true;
    }
};
using ByteBuffer = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;

// Largest side any reader accepts; a picture is at most 8192 x 8192 x 4 bytes.
inline constexpr int32_t kMaxSide = 8192;

// Description of the current pixels. Copied as a whole when an operation keeps
// the image aside and puts it back.
struct TImageInfo {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t AlphaKind = 0;    // 0 none, 1 graded, 2 on/off
    int32_t Compression = 0;  // 0 none, 1 DXT1, 3 DXT3, 5 DXT5
    int32_t DataSize = 0;     // Width * Height * bytes per pixel
    uint8_t* Data = nullptr;  // always PixelBuffer.data(); never an owner
};

// The data a texture's picture was decoded from, kept beside the pixels when a
// writer can use it unchanged: the level-0 blocks of a DXT texture (written to
// DDS byte for byte) or the floating-point pixels of an HDR texture (written to
// Radiance HDR with the values the 8-bit picture clips). It describes the
// picture only while decoding it again gives the pixels the store holds; an
// edit makes it stale (SourceMatchesPixels tells).
enum class SourceKind { None, DXT1, DXT3, DXT5, Float };
struct SourceData {
    SourceKind Kind = SourceKind::None;
    ByteBuffer Bytes;      // the texture file as read
    size_t Offset = 0;     // where the first face's level-0 data starts in Bytes
    size_t FaceBytes = 0;  // level-0 bytes of one face; the faces follow each other
    int32_t Faces = 0;     // 1, or 6 for a cube map (side by side in the picture)
    int32_t FaceWidth = 0;
    int32_t FaceHeight = 0;
    int32_t BytesPerPixel = 0;  // of the picture decoded from it

    const uint8_t* Data() const { return Bytes.data() + Offset; }
};

// A cube map's faces in their order in the file and in the picture, as named
// in the file names of their TGAs.
inline constexpr int kCubeMapFaces = 6;
inline constexpr const char* kCubeMapFaceNames[kCubeMapFaces] = {"right",  "left",  "top",
                                                                 "bottom", "front", "back"};

// Receives the reader notices that the desktop program shows as memo lines.
using NoticeSink = std::function<void(const std::string& line)>;

class ImageStore {
public:
    bool ImageLoaded = false;
    TImageInfo Image;
    ByteBuffer PixelBuffer;
    bool AlphaView = false;
    bool UniformColour = false;
    std::string LoadErrorText;  // at most 255 characters; see SetLoadError
    std::vector<std::string> TextureDescription;
    bool HasTextureDescription = false;
    std::string TextureFileName;
    uint8_t AlphaFillValue = 127;
    // The container of the texture read ("JIRF" or "E2TF"; empty for other files).
    std::string TextureContainer;
    // Lines about the texture file itself (container, format, mip levels...),
    // shown beside the description but never written to the description file.
    std::vector<std::string> TextureDetails;
    // A cube map: the picture is its six faces side by side, each Width / 6 wide.
    bool CubeMap = false;
    SourceData Source;

    NoticeSink Notice;           // memo lines from the readers; may be empty
    std::function<void()> Beep;  // the error sound; may be empty

    // Bytes per pixel derived from the record: DataSize / (Width * Height), or 0
    // when either side is 0.
    int BytesPerPixel() const;
    // ImageLoaded and neither side 0.
    bool Usable() const { return ImageLoaded && Image.Width != 0 && Image.Height != 0; }

    // Takes ownership of a complete pixel buffer and updates the record to match
    // (Width, Height, DataSize, Data, AlphaKind); sets ImageLoaded.
    void AdoptPixels(ByteBuffer&& pixels, int32_t width, int32_t height, int32_t alphaKind);
    // Points Image.Data at the buffer again (after the record was copied back).
    void SyncData() { Image.Data = PixelBuffer.empty() ? nullptr : PixelBuffer.data(); }

    void AddNotice(const std::string& line) const {
        if (Notice) Notice(line);
    }
    void SoundBeep() const {
        if (Beep) Beep();
    }
};

// Stores prefix + file name without its folder + suffix in LoadErrorText, cut to
// 255 characters. Every reader and writer message is built this way.
void SetLoadError(ImageStore& store, std::string_view prefix, std::string_view path,
                  std::string_view suffix);
// Stores a fixed message (no file name), cut to 255 characters.
void SetLoadErrorText(ImageStore& store, std::string_view text);

// Empties the store: releases the pixels, the texture description, details
// and source data. Image, LoadErrorText and TextureFileName stay as they are.
void ResetImage(ImageStore& store);

int CountBits(uint32_t value);
bool BadDimensions(int32_t width, int32_t height);
bool IsPowerOfTwo(int32_t n);
// Exchanges the first and third byte of each of `count` 3-byte pixels.
void SwapRedBlue(uint8_t* pixels, int32_t count);

// A read cursor over a scratch buffer, used by the decoders that read word by
// word. The scratch belongs to the call that uses it, never to the program.
struct WorkCursor {
    const uint8_t* WorkBuffer = nullptr;
    int32_t WorkPos = 0;

    // Fail (leaving WorkPos unchanged) when fewer than 1 (2) of `size` bytes remain.
    bool ReadWorkByte(uint8_t& value, int32_t size) {
        if (WorkPos < 0 || WorkPos > size - 1) return false;
        value = WorkBuffer[WorkPos];
        WorkPos += 1;
        return true;
    }
    bool ReadWorkWord(uint16_t& value, int32_t size) {
        if (WorkPos < 0 || WorkPos > size - 2) return false;
        value = static_cast<uint16_t>(WorkBuffer[WorkPos] | (WorkBuffer[WorkPos + 1] << 8));
        WorkPos += 2;
        return true;
    }
};

}  // namespace core
