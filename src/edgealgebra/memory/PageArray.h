#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace EdgeAlgebra {

// The memory of every PageArray, whatever its elements (PageArray.cpp).
namespace PageMemory {
void* allocate(std::size_t bytes, bool& mapped);
void release(void* data, std::size_t bytes, bool mapped) noexcept;
// Hands back the whole pages within bytes [from, to) of the block.
void discard(void* data, std::size_t from, std::size_t to, bool mapped) noexcept;
// Offers the whole 2 MiB pages within [data, data + bytes) of any large
// block for transparent huge pages (only advice).
void adviseHugePages(void* data, std::size_t bytes) noexcept;

// An empty vector with room for `size` items, that room offered for huge
// pages: a result array filled once costs a fault per 2 MiB, not per 4 KiB.
template <typename T>
std::vector<T> reservedHugeVector(std::size_t size) {
    std::vector<T> array;
    array.reserve(size);
    adviseHugePages(array.data(), size * sizeof(T));
    return array;
}
} // namespace PageMemory

// A fixed-size array of plain values for the core's large working arrays. Its
// elements start out undefined and cost no memory until first written: large
// arrays are mapped from the system directly (offered for transparent huge
// pages, so that a fresh array costs one page fault per 2 MiB instead of one
// per 4 KiB), and a pass that has done with part of an array can hand its pages
// back before the array itself goes (discard). Small arrays, and
// every array in sanitizer builds (so that the sanitizers see them), are
// plain heap blocks.
template <typename T>
class PageArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "a PageArray holds plain values");

public:
    PageArray() = default;
    explicit PageArray(std::size_t size) : m_size(size) {
        if (size > kMaxBytes / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        if (size != 0) {
            m_data = static_cast<T*>(PageMemory::allocate(size * sizeof(T), m_mapped));
        }
    }
    ~PageArray() {
        if (m_data != nullptr) {
            PageMemory::release(m_data, m_size * sizeof(T), m_mapped);
        }
    }

    PageArray(PageArray&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
          m_mapped(std::exchange(other.m_mapped, false)) {}
    PageArray& operator=(PageArray&& other) noexcept {
        PageArray gone(std::move(*this));
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, false);
        return *this;
    }
    PageArray(const PageArray&) = delete;
    PageArray& operator=(const PageArray&) = delete;

    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T* data() { return m_data; }
    const T* data() const { return m_data; }
    std::size_t size() const { return m_size; }

    // Hands back the pages that lie wholly within elements [from, to): those
    // elements become undefined again and cost no memory until written.
    void discard(std::size_t from, std::size_t to) {
        if (from < to && to <= m_size) {
            PageMemory::discard(m_data, from * sizeof(T), to * sizeof(T), m_mapped);
        }
    }

private:
    // 64 TiB, or half the address space of a 32-bit target (WebAssembly).
    static constexpr std::size_t kMaxBytes = sizeof(std::size_t) >= 8
                                                 ? static_cast<std::size_t>(std::uint64_t{1} << 46)
                                                 : ~std::size_t{0} / 2;

    T* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
};

} // namespace EdgeAlgebra
