// The byte buffers that pixels and whole files are read into: left
// uninitialised on resize, and the large ones mapped and reused per thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

}  // namespace core
