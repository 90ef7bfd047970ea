#include "memory/QuadPool.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#ifndef TESSARO_SANITIZE
#if defined(__linux__)
#include <sys/mman.h>
#endif
#endif

namespace EdgeAlgebra {
namespace QuadPool {

namespace {

constexpr std::size_t kBlockBytes = 8 * sizeof(void*); // four records of two pointers
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

// A free block links the next one of its list. The first block of a list
// that waits in the depot also holds the list's length and names the next
// waiting list; the first block of an untouched run of blocks names the run's
// end and the next waiting run.
struct FreeBlock {
    FreeBlock* next;
    FreeBlock* nextList;
    std::size_t count;
    char* runEnd;
};
static_assert(sizeof(FreeBlock) <= kBlockBytes, "a free block's links fit in the block");

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

// Where threads leave the blocks they hold in excess, and ended threads all
// of theirs, for any thread that runs out: a triangulation built on several
// threads is mostly freed on one, and without the depot the builders would
// carve new chunks every time while the freed blocks piled up elsewhere. The
// lists and runs are chained through their own first blocks, so leaving them
// never allocates.
class Depot {
public:
    void leaveList(FreeBlock* list, std::size_t count) {
        if (list == nullptr) {
            return;
        }
        list->count = count;
        const std::lock_guard<std::mutex> lock(m_mutex);
        list->nextList = m_lists;
        m_lists = list;
    }
    void leaveRun(char* begin, char* end) {
        if (begin == end) {
            return;
        }
        FreeBlock* run = reinterpret_cast<FreeBlock*>(begin);
        run->runEnd = end;
        const std::lock_guard<std::mutex> lock(m_mutex);
        run->nextList = m_runs;
        m_runs = run;
    }
    FreeBlock* takeList() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        FreeBlock* list = m_lists;
        if (list != nullptr) {
            m_lists = list->nextList;
        }
        return list;
    }
    // The first block of a run (its end in runEnd), or null.
    FreeBlock* takeRun() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        FreeBlock* run = m_runs;
        if (run != nullptr) {
            m_runs = run->nextList;
        }
        return run;
    }

private:
    std::mutex m_mutex;
    FreeBlock* m_lists = nullptr;
    FreeBlock* m_runs = nullptr;
};

Depot& depot() {
    static Depot* instance = new Depot; // outlives every thread's blocks
    return *instance;
}

// A thread keeps at most about this many freed blocks (4 MiB) at hand.
constexpr std::size_t kListBlocks = std::size_t{1} << 16;

// This thread's blocks: freed ones first (the current list, then one spare
// full list), then the untouched rest of its chunk. Everything goes to the
// depot when the thread ends.
struct ThreadBlocks {
    FreeBlock* freeList = nullptr;
    std::size_t freeCount = 0;
    FreeBlock* spareList = nullptr;
    char* unused = nullptr;
    char* unusedEnd = nullptr;
    std::size_t nextChunkBytes = kFirstChunkBytes;

    ThreadBlocks() = default;
    ThreadBlocks(const ThreadBlocks&) = delete;
    ThreadBlocks& operator=(const ThreadBlocks&) = delete;
    ~ThreadBlocks() {
        depot().leaveList(freeList, freeCount);
        depot().leaveList(spareList, kListBlocks);
        depot().leaveRun(unused, unusedEnd);
    }

    // Refills the free list or the untouched run from the spare list, the
    // depot, or a new chunk.
    void refill() {
        if (spareList != nullptr) {
            freeList = std::exchange(spareList, nullptr);
            freeCount = kListBlocks;
            return;
        }
        if (FreeBlock* list = depot().takeList()) {
            freeList = list;
            freeCount = list->count;
            return;
        }
        if (FreeBlock* run = depot().takeRun()) {
            unused = reinterpret_cast<char*>(run);
            unusedEnd = run->runEnd;
            return;
        }
        const std::size_t bytes = nextChunkBytes;
        unused = unusedEnd = nullptr;
        unused = static_cast<char*>(registry().newChunk(bytes));
        unusedEnd = unused + bytes;
        nextChunkBytes = std::min(bytes * 2, kLargestChunkBytes);
    }
};

thread_local ThreadBlocks t_blocks;

} // namespace

void* allocate() {
    ThreadBlocks& blocks = t_blocks;
    if (blocks.freeList == nullptr && blocks.unused == blocks.unusedEnd) {
        blocks.refill();
    }
    t_liveCount.add(1);
    if (blocks.freeList != nullptr) {
        FreeBlock* block = blocks.freeList;
        blocks.freeList = block->next;
        --blocks.freeCount;
        // The next allocation reads the next block's link: fetch it now.
        __builtin_prefetch(blocks.freeList);
        return block;
    }
    void* block = blocks.unused;
    blocks.unused += kBlockBytes;
    return block;
}

void release(void* block) noexcept {
    t_liveCount.add(-1);
    ThreadBlocks& blocks = t_blocks;
    FreeBlock* freed = static_cast<FreeBlock*>(block);
    if (blocks.freeCount == kListBlocks) {
        // A full list moves aside; the spare one before it goes to the depot.
        depot().leaveList(std::exchange(blocks.spareList, blocks.freeList), kListBlocks);
        blocks.freeList = nullptr;
        blocks.freeCount = 0;
    }
    freed->next = blocks.freeList;
    blocks.freeList = freed;
    ++blocks.freeCount;
}

#endif

} // namespace QuadPool
} // namespace EdgeAlgebra
