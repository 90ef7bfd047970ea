#include "memory/PageArray.h"

#include <cstdint>

#if defined(__linux__) && !defined(TESSARO_SANITIZE)
#include <sys/mman.h>
#define TESSARO_MAP_PAGES 1
#endif

namespace EdgeAlgebra {
namespace PageMemory {

#ifdef TESSARO_MAP_PAGES
namespace {

// Below this size a heap block is as good and far cheaper to get.
constexpr std::size_t kMappedBytes = std::size_t{1} << 21;
constexpr std::size_t kPageBytes = 4096;

std::size_t wholePages(std::size_t bytes) {
    return (bytes + kPageBytes - 1) & ~(kPageBytes - 1);
}

// Gives the advice for the whole pages of `pageBytes` (a power of two) that
// lie within [begin, end).
void adviseWithin(std::uintptr_t begin, std::uintptr_t end, std::size_t pageBytes,
                  int advice) noexcept {
    const std::uintptr_t first = (begin + pageBytes - 1) & ~(pageBytes - 1);
    const std::uintptr_t last = end & ~(pageBytes - 1);
    if (first < last) {
        madvise(reinterpret_cast<void*>(first), last - first, advice);
    }
}

} // namespace
#endif

void* allocate(std::size_t bytes, bool& mapped) {
    mapped = false;
#ifdef TESSARO_MAP_PAGES
    if (bytes >= kMappedBytes) {
        // Mapped with room to spare, then trimmed to start on a 2 MiB
        // boundary, where huge pages can back it from its first byte.
        const std::size_t spare = kMappedBytes;
        const std::size_t length = wholePages(bytes);
        void* raw = mmap(nullptr, length + spare, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) {
            throw std::bad_alloc();
        }
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + spare - 1) & ~(spare - 1);
        if (aligned != start) {
            munmap(raw, aligned - start);
        }
        if (aligned != start + spare) {
            munmap(reinterpret_cast<void*>(aligned + length), start + spare - aligned);
        }
        void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
        madvise(block, bytes, MADV_HUGEPAGE); // only advice: failure changes nothing
#endif
        mapped = true;
        return block;
    }
#endif
    return ::operator new(bytes == 0 ? 1 : bytes);
}

void release(void* data, std::size_t bytes, bool mapped) noexcept {
#ifdef TESSARO_MAP_PAGES
    if (mapped) {
        munmap(data, wholePages(bytes));
        return;
    }
#endif
    (void)bytes;
    (void)mapped;
    ::operator delete(data);
}

void discard(void* data, std::size_t from, std::size_t to, bool mapped) noexcept {
#ifdef TESSARO_MAP_PAGES
    if (mapped) {
        const auto base = reinterpret_cast<std::uintptr_t>(data);
        adviseWithin(base + from, base + to, kPageBytes, MADV_DONTNEED);
    }
#endif
    (void)data;
    (void)from;
    (void)to;
    (void)mapped;
}

void adviseHugePages(void* data, std::size_t bytes) noexcept {
#if defined(TESSARO_MAP_PAGES) && defined(MADV_HUGEPAGE)
    const auto base = reinterpret_cast<std::uintptr_t>(data);
    adviseWithin(base, base + bytes, kMappedBytes, MADV_HUGEPAGE);
#endif
    (void)data;
    (void)bytes;
}

} // namespace PageMemory
} // namespace EdgeAlgebra
