#include "structure/QuadPool.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <new>
#include <vector>

#ifndef TESSARO_SANITIZE
#if defined(__linux__)
#include <sys/mman.h>
#endif
#endif

namespace EdgeAlgebra {
namespace QuadPool {

namespace {

constexpr std::size_t kBlockBytes = 64;
constexpr std::align_val_t kBlockAlignment{kBlockBytes};

// The live count, kept per thread so that counting costs no locked
// instruction: each thread adds its allocations and subtracts its releases
// (a block freed on another thread than the one that made it leaves one count
// above and one below zero, and the sum is right). A thread's count joins the
// retired total when the thread ends.
class LiveCounters {
public:
    void enrol(const std::atomic<std::ptrdiff_t>* counter) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_counters.push_back(counter);
    }
    void retire(const std::atomic<std::ptrdiff_t>* counter) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_retired += counter->load(std::memory_order_relaxed);
        m_counters.erase(std::find(m_counters.begin(), m_counters.end(), counter));
    }
    std::ptrdiff_t total() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        std::ptrdiff_t sum = m_retired;
        for (const std::atomic<std::ptrdiff_t>* counter : m_counters) {
            sum += counter->load(std::memory_order_relaxed);
        }
        return sum;
    }

private:
    std::mutex m_mutex;
    std::vector<const std::atomic<std::ptrdiff_t>*> m_counters;
    std::ptrdiff_t m_retired = 0;
};

LiveCounters& liveCounters() {
    static LiveCounters* instance = new LiveCounters; // outlives every thread's counter
    return *instance;
}

class ThreadLiveCount {
public:
    ThreadLiveCount() { liveCounters().enrol(&m_count); }
    ~ThreadLiveCount() { liveCounters().retire(&m_count); }
    ThreadLiveCount(const ThreadLiveCount&) = delete;
    ThreadLiveCount& operator=(const ThreadLiveCount&) = delete;

    // Only the owning thread writes, so a plain load and store suffice.
    void add(std::ptrdiff_t delta) {
        m_count.store(m_count.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
    }

private:
    std::atomic<std::ptrdiff_t> m_count{0};
};

thread_local ThreadLiveCount t_liveCount;

} // namespace

std::size_t liveBlocks() {
    return static_cast<std::size_t>(liveCounters().total());
}

#ifdef TESSARO_SANITIZE

void* allocate() {
    void* block = ::operator new(kBlockBytes, kBlockAlignment);
    t_liveCount.add(1);
    return block;
}

void release(void* block) noexcept {
    t_liveCount.add(-1);
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
        // The next allocation reads the next block's link: fetch it now.
        __builtin_prefetch(blocks.freeList);
        t_liveCount.add(1);
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
    t_liveCount.add(1);
    return block;
}

void release(void* block) noexcept {
    t_liveCount.add(-1);
    ThreadBlocks& blocks = t_blocks;
    FreeBlock* freed = static_cast<FreeBlock*>(block);
    freed->next = blocks.freeList;
    blocks.freeList = freed;
}

#endif

} // namespace QuadPool
} // namespace EdgeAlgebra
