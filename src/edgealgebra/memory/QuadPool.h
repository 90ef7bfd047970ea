#pragma once

#include <cstddef>

namespace EdgeAlgebra {

// Internal to the core: storage for quads, one block of eight pointers (64
// bytes, 32 on 32-bit targets) aligned to its size each. Each thread keeps its own free list and
// carves new blocks from large chunks, without locking; a block may be freed on any thread. Blocks
// a thread holds in excess, and all blocks of an ended thread, wait in a shared depot for whichever
// thread runs out next. Chunks stay with the process for reuse. In sanitizer builds every block is
// a separate aligned heap allocation instead, so that use after free, double free and leaks of
// quads are all reported.
namespace QuadPool {

void* allocate();
void release(void* block) noexcept;

// Blocks allocated and not yet released, over all threads.
std::size_t liveBlocks();

} // namespace QuadPool
} // namespace EdgeAlgebra
