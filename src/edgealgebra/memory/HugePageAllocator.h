#pragma once

#include "memory/PageArray.h"

#include <cstddef>
#include <new>
#include <vector>

namespace EdgeAlgebra {

// The allocator of the core's large growing arrays (the edge walker's keys
// among them). Arrays of 2 MiB and more are aligned to 2 MiB and offered to
// the kernel for transparent huge pages: a fresh array then costs one page fault per 2 MiB
// instead of one per 4 KiB (a hundred million bytes would otherwise take some
// twenty-five thousand faults). Smaller arrays are plain heap blocks.
template <typename T>
class HugePageAllocator {
public:
    using value_type = T;

    HugePageAllocator() = default;
    template <typename U>
    explicit HugePageAllocator(const HugePageAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > kMaxBytes / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePageBytes) {
            return static_cast<T*>(::operator new(bytes));
        }
        void* block = ::operator new (roundUp(bytes), std::align_val_t{kHugePageBytes});
        PageMemory::adviseHugePages(block, roundUp(bytes));
        return static_cast<T*>(block);
    }

    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePageBytes) {
            ::operator delete(p);
        } else {
            ::operator delete (p, std::align_val_t{kHugePageBytes});
        }
    }

    template <typename U>
    bool operator==(const HugePageAllocator<U>&) const {
        return true;
    }
    template <typename U>
    bool operator!=(const HugePageAllocator<U>&) const {
        return false;
    }

private:
    static constexpr std::size_t kHugePageBytes = std::size_t{1} << 21;
    static constexpr std::size_t kMaxBytes = ~std::size_t{0} - kHugePageBytes;

    static std::size_t roundUp(std::size_t bytes) {
        return (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    }
};

// A vector whose large buffers come in huge pages.
template <typename T>
using ScratchVector = std::vector<T, HugePageAllocator<T>>;

} // namespace EdgeAlgebra
