#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace complexplot {

// Memory for a large grid, from pages of 2 MiB where the kernel has them.
// A grid is written whole before it is read: its elements are not zeroed.
// A map of 2048 x 2048 values takes 64 MiB: 16,384 faults of 4 KiB pages,
// which cost more than computing the values on a virtual machine, against
// 32 faults of huge pages. Smaller requests take the usual heap.
void* allocateLarge(std::size_t bytes);
void releaseLarge(void* memory, std::size_t bytes) noexcept;

template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    explicit LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) { return static_cast<T*>(allocateLarge(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) noexcept {
        releaseLarge(memory, count * sizeof(T));
    }
    // Elements made without a value are left as the memory holds them:
    // every grid is written whole before it is read, and zeroing 64 MiB of
    // new pages that the kernel has just zeroed costs a render 5 ms.
    template <typename U>
    void construct(U*) noexcept {
        static_assert(std::is_trivially_copyable_v<U> && std::is_trivially_destructible_v<U>);
    }
    template <typename U, typename... Arguments>
    void construct(U* place, Arguments&&... arguments) {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }

    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace complexplot
