#include "core/image_store.h"

#include <new>

#include "core/paths.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Under AddressSanitizer large buffers come from the ordinary allocator, so that
// overflows past them are still caught.
#if defined(__SANITIZE_ADDRESS__)
#define SKEINPRESS_PLAIN_ALLOCATION 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKEINPRESS_PLAIN_ALLOCATION 1
#endif
#endif

namespace core {

void* AllocateLargeBuffer(size_t bytes) {
#if defined(__linux__) && !defined(SKEINPRESS_PLAIN_ALLOCATION)
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    ::madvise(p, bytes, MADV_HUGEPAGE);
    return p;
#else
    return ::operator new(bytes);
#endif
}

void ReleaseLargeBuffer(void* p, size_t bytes) {
#if defined(__linux__) && !defined(SKEINPRESS_PLAIN_ALLOCATION)
    ::munmap(p, bytes);
#else
    ::operator delete(p);
#endif
}

int ImageStore::BytesPerPixel() const {
    if (Image.Width == 0 || Image.Height == 0) return 0;
    const int64_t pixels = static_cast<int64_t>(Image.Width) * Image.Height;
    return static_cast<int>(Image.DataSize / pixels);
}

void ImageStore::AdoptPixels(ByteBuffer&& pixels, int32_t width, int32_t height,
                             int32_t alphaKind) {
    PixelBuffer = std::move(pixels);
    Image.Width = width;
    Image.Height = height;
    Image.DataSize = static_cast<int32_t>(PixelBuffer.size());
    Image.AlphaKind = alphaKind;
    SyncData();
    ImageLoaded = true;
}

void SetLoadError(ImageStore& store, std::string_view prefix, std::string_view path,
                  std::string_view suffix) {
    std::string text;
    text.reserve(prefix.size() + path.size() + suffix.size());
    text.append(prefix).append(FileNamePart(path)).append(suffix);
    SetLoadErrorText(store, text);
}

void SetLoadErrorText(ImageStore& store, std::string_view text) {
    store.LoadErrorText = CutTo(text, 255);
}

void ResetImage(ImageStore& store) {
    if (store.ImageLoaded) {
        store.PixelBuffer = ByteBuffer();
        store.Image.Data = nullptr;
    }
    if (store.HasTextureDescription) store.TextureDescription.clear();
    store.ImageLoaded = false;
    store.HasTextureDescription = false;
}

int CountBits(uint32_t value) {
    static constexpr int kNibbleBits[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
    int count = 0;
    for (int i = 0; i < 8; ++i) {
        count += kNibbleBits[value & 15];
        value >>= 4;
    }
    return count;
}

bool BadDimensions(int32_t width, int32_t height) {
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    if (w < 2 || h < 2) return true;
    if (CountBits(w) != 1 || CountBits(h) != 1) return true;
    return w / h > 8 || h / w > 8;
}

bool IsPowerOfTwo(int32_t n) {
    // Doubling from 1 stops once it passes 8000, so 8192 and above are refused.
    for (int32_t p = 1; p < 8000; p *= 2) {
        if (n == p) return true;
    }
    return false;
}

void SwapRedBlue(uint8_t* pixels, int32_t count) {
    for (int32_t i = 0; i < count; ++i, pixels += 3) {
        const uint8_t t = pixels[0];
        pixels[0] = pixels[2];
        pixels[2] = t;
    }
}

}  // namespace core
