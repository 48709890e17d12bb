#include "large_buffer.h"

#include <sys/mman.h>

#include <new>

namespace complexplot {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void* allocateLarge(std::size_t bytes) {
    if (bytes < kHugePage) {
        return ::operator new(bytes);
    }
    void* memory =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // Only advice: without huge pages the memory is the same, only slower
    // to touch first.
    ::madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
}

void releaseLarge(void* memory, std::size_t bytes) noexcept {
    if (bytes < kHugePage) {
        ::operator delete(memory);
        return;
    }
    ::munmap(memory, bytes);
}

}  // namespace complexplot
