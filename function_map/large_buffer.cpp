#include "large_buffer.h"

#include <sys/mman.h>

#include <mutex>
#include <new>
#include <utility>

namespace complexplot {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// The last large block released, kept for the next request of its size: a
// view drawn again at the same size (the explorer's every pan and zoom)
// takes its memory back instead of new pages, each of which costs a fault
// and the kernel's zeroing on first touch. One block at most is kept, and
// it is given back whenever memory runs short.
struct SpareBlock {
    std::mutex mutex;
    void* memory = nullptr;
    std::size_t bytes = 0;
};

SpareBlock& spare() {
    static SpareBlock block;
    return block;
}

void* mapPages(std::size_t bytes) {
    void* memory =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        return nullptr;
    }
    // Only advice: without huge pages the memory is the same, only slower
    // to touch first.
    ::madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
}

}  // namespace

void* allocateLarge(std::size_t bytes) {
    if (bytes < kHugePage) {
        return ::operator new(bytes);
    }
    SpareBlock& kept = spare();
    {
        const std::lock_guard lock(kept.mutex);
        if (kept.memory != nullptr && kept.bytes == bytes) {
            return std::exchange(kept.memory, nullptr);
        }
    }
    if (void* memory = mapPages(bytes)) {
        return memory;
    }
    {
        const std::lock_guard lock(kept.mutex);
        if (kept.memory != nullptr) {
            ::munmap(std::exchange(kept.memory, nullptr), kept.bytes);
        }
    }
    if (void* memory = mapPages(bytes)) {
        return memory;
    }
    throw std::bad_alloc();
}

void releaseLarge(void* memory, std::size_t bytes) noexcept {
    if (bytes < kHugePage) {
        ::operator delete(memory);
        return;
    }
    SpareBlock& kept = spare();
    const std::lock_guard lock(kept.mutex);
    if (kept.memory != nullptr) {
        ::munmap(kept.memory, kept.bytes);
    }
    kept.memory = memory;
    kept.bytes = bytes;
}

}  // namespace complexplot
