#include "QuadPool.h"

#include <cstddef>
#include <new>

#ifndef TESSARO_SANITIZE
#include <algorithm>
#include <mutex>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#endif
#endif

namespace EdgeAlgebra {
namespace QuadPool {

namespace {
constexpr std::size_t kBlockBytes = 64;
constexpr std::align_val_t kBlockAlignment{kBlockBytes};
} // namespace

#ifdef TESSARO_SANITIZE

void* allocate() {
    return ::operator new(kBlockBytes, kBlockAlignment);
}

void release(void* block) noexcept {
    ::operator delete(block, kBlockAlignment);
}

#else

namespace {

// A thread's chunks grow from 64 KiB, so that a small triangulation touches
// little memory, to 8 MiB. Chunks of 2 MiB and more are aligned to 2 MiB and
// offered to the kernel for transparent huge pages: a large triangulation
// then takes one page fault per 2 MiB instead of one per 4 KiB.
constexpr std::size_t kFirstChunkBytes = std::size_t{1} << 16;
constexpr std::size_t kLargestChunkBytes = std::size_t{1} << 23;
constexpr std::size_t kHugePageBytes = std::size_t{1} << 21;

struct FreeBlock {
    FreeBlock* next;
};

// Every chunk ever made, so that they stay reachable; they are never handed
// back, because blocks of any chunk may sit on any thread's free list.
class ChunkRegistry {
public:
    void* newChunk(std::size_t bytes) {
        const std::align_val_t alignment =
            bytes >= kHugePageBytes ? std::align_val_t{kHugePageBytes} : kBlockAlignment;
        void* chunk = ::operator new(bytes, alignment);
        try {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_chunks.push_back(chunk);
        } catch (...) {
            ::operator delete(chunk, alignment);
            throw;
        }
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (bytes >= kHugePageBytes) {
            madvise(chunk, bytes, MADV_HUGEPAGE); // only advice: failure changes nothing
        }
#endif
        return chunk;
    }

private:
    std::mutex m_mutex;
    std::vector<void*> m_chunks;
};

ChunkRegistry& registry() {
    static ChunkRegistry* instance = new ChunkRegistry; // outlives every static user
    return *instance;
}

// This thread's blocks: freed ones first, then the untouched rest of its chunk.
struct ThreadBlocks {
    FreeBlock* freeList = nullptr;
    char* unused = nullptr;
    char* unusedEnd = nullptr;
    std::size_t nextChunkBytes = kFirstChunkBytes;
};

thread_local ThreadBlocks t_blocks;

} // namespace

void* allocate() {
    ThreadBlocks& blocks = t_blocks;
    if (blocks.freeList != nullptr) {
        FreeBlock* block = blocks.freeList;
        blocks.freeList = block->next;
        return block;
    }
    if (blocks.unused == blocks.unusedEnd) {
        const std::size_t bytes = blocks.nextChunkBytes;
        blocks.unused = static_cast<char*>(registry().newChunk(bytes));
        blocks.unusedEnd = blocks.unused + bytes;
        blocks.nextChunkBytes = std::min(bytes * 2, kLargestChunkBytes);
    }
    void* block = blocks.unused;
    blocks.unused += kBlockBytes;
    return block;
}

void release(void* block) noexcept {
    ThreadBlocks& blocks = t_blocks;
    FreeBlock* freed = static_cast<FreeBlock*>(block);
    freed->next = blocks.freeList;
    blocks.freeList = freed;
}

#endif

} // namespace QuadPool
} // namespace EdgeAlgebra
