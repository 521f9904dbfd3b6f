#include "core/image/byte_buffer.h"

#include <new>

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

#if defined(__linux__) && !defined(SKEINPRESS_PLAIN_ALLOCATION)
namespace {

// Mappings are whole huge pages, so that a released buffer fits any later
// request of the same rounded size.
constexpr size_t kHugePageBytes = size_t{2} << 20;
size_t MappedSize(size_t bytes) {
    return (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

// A few released buffers are kept per thread: a batch worker converts picture
// after picture of the same few sizes, and pages it has already touched cost
// nothing, where a fresh mapping is zeroed and faulted in again. Very large
// buffers are returned at once so that one huge picture does not pin memory.
constexpr size_t kCachedBuffers = 6;
constexpr size_t kMaxCachedBytes = size_t{48} << 20;  // per thread, all buffers together

struct CachedBuffer {
    void* p;
    size_t bytes;
};
// Plain thread-locals are never destroyed, so a buffer released during thread
// or program exit still finds them; the guard marks the cache closed.
thread_local CachedBuffer tCache[kCachedBuffers];
thread_local size_t tCacheCount = 0;
thread_local bool tCacheClosed = false;

struct CacheGuard {
    ~CacheGuard() {
        ReleaseKeptBuffers();
        tCacheClosed = true;
    }
};
thread_local CacheGuard tCacheGuard;

}  // namespace

void ReleaseKeptBuffers() {
    for (size_t i = 0; i < tCacheCount; ++i) ::munmap(tCache[i].p, tCache[i].bytes);
    tCacheCount = 0;
}

void* AllocateLargeBuffer(size_t bytes) {
    const size_t mapped = MappedSize(bytes);
    for (size_t i = 0; i < tCacheCount; ++i) {
        if (tCache[i].bytes != mapped) continue;
        void* p = tCache[i].p;
        for (size_t j = i + 1; j < tCacheCount; ++j) tCache[j - 1] = tCache[j];
        --tCacheCount;
        return p;
    }
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    ::madvise(p, mapped, MADV_HUGEPAGE);
    return p;
}

void ReleaseLargeBuffer(void* p, size_t bytes) {
    const size_t mapped = MappedSize(bytes);
    if (tCacheClosed || mapped > kMaxCachedBytes) {
        ::munmap(p, mapped);
        return;
    }
    (void)&tCacheGuard;  // odr-use: constructs the guard for this thread
    size_t cachedBytes = mapped;
    for (size_t i = 0; i < tCacheCount; ++i) cachedBytes += tCache[i].bytes;
    // The oldest go first; recent sizes are the likeliest to come again.
    while (tCacheCount > 0 && (tCacheCount == kCachedBuffers || cachedBytes > kMaxCachedBytes)) {
        ::munmap(tCache[0].p, tCache[0].bytes);
        cachedBytes -= tCache[0].bytes;
        for (size_t i = 1; i < tCacheCount; ++i) tCache[i - 1] = tCache[i];
        --tCacheCount;
    }
    tCache[tCacheCount++] = {p, mapped};
}
#else
void ReleaseKeptBuffers() {}
void* AllocateLargeBuffer(size_t bytes) {
    return ::operator new(bytes);
}
void ReleaseLargeBuffer(void* p, size_t) {
    ::operator delete(p);
}
#endif

}  // namespace core
