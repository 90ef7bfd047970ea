#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace EdgeAlgebra {

// The core's parallelism: plain threads of the standard library, forked for
// the two halves of a split or for the chunks of a pass, and joined before
// the work goes on. Every result is the same whichever thread computes it,
// so a build gives the same answer for every thread count. A failure on any
// thread is rethrown on the calling thread once every thread has finished,
// so the caller can clean up knowing nothing else runs.
namespace ForkJoin {

// The threads a build may use: `requested`, or all the hardware's for 0.
inline unsigned threadCount(unsigned requested) {
    if (requested != 0) {
        return requested;
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware == 0 ? 1 : hardware;
}

// Runs first() and second(), on two threads when `parallel` (and a thread can
// be had; otherwise one after the other). Both always run to their end, even
// when the other one fails, and the first failure (first's when both fail) is
// rethrown once both have finished. In turn, a failure of first() is rethrown
// before second() starts.
template <typename First, typename Second>
void both(bool parallel, First&& first, Second&& second) {
    if (!parallel) {
        first();
        second();
        return;
    }
    std::exception_ptr firstFailure;
    std::thread worker;
    try {
        worker = std::thread([&first, &firstFailure] {
            try {
                first();
            } catch (...) {
                firstFailure = std::current_exception();
            }
        });
    } catch (const std::exception&) {
        // No thread to be had (the system's limit, or no memory for one).
        first();
        second();
        return;
    }
    std::exception_ptr secondFailure;
    try {
        second();
    } catch (...) {
        secondFailure = std::current_exception();
    }
    worker.join();
    if (firstFailure) {
        std::rethrow_exception(firstFailure);
    }
    if (secondFailure) {
        std::rethrow_exception(secondFailure);
    }
}

// Calls work(chunk) for every chunk in [0, chunks), on up to `threads`
// threads, each taking the next chunk not yet taken (so chunks start in
// order). Then, one at a time and in order, passed(chunk) as soon as that
// chunk and every chunk before it have finished without failing (passed must
// not throw). Rethrows the
// failure of the lowest failed chunk once every thread has finished.
template <typename Work, typename Passed>
void forEachChunk(unsigned threads, std::size_t chunks, Work&& work, Passed&& passed) {
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> failures(chunks);
    std::vector<char> finished(chunks, 0);
    std::mutex frontierMutex;
    std::size_t frontier = 0; // chunks before it have all been passed
    const auto run = [&] {
        for (std::size_t chunk = next++; chunk < chunks; chunk = next++) {
            try {
                work(chunk);
            } catch (...) {
                failures[chunk] = std::current_exception();
                continue;
            }
            const std::lock_guard<std::mutex> lock(frontierMutex);
            finished[chunk] = 1;
            while (frontier < chunks && finished[frontier] != 0) {
                passed(frontier++);
            }
        }
    };
    std::vector<std::thread> workers;
    workers.reserve(threads); // before any thread runs: only starting one can fail below
    for (unsigned t = 1; t < threads && t < chunks; ++t) {
        try {
            workers.emplace_back(run);
        } catch (const std::exception&) {
            break; // the threads at hand share the chunks
        }
    }
    run();
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

template <typename Work>
void forEachChunk(unsigned threads, std::size_t chunks, Work&& work) {
    forEachChunk(threads, chunks, work, [](std::size_t) {});
}

// Calls work(begin, end) for every range [begin, end) of `size` indices (the
// last one shorter) that together make [0, count), as chunks of forEachChunk.
template <typename Index, typename Work>
void forEachRange(unsigned threads, Index count, Index size, Work&& work) {
    forEachChunk(threads, (count + size - 1) / size, [count, size, &work](std::size_t chunk) {
        const auto begin = static_cast<Index>(chunk * size);
        work(begin, std::min(count, static_cast<Index>(begin + size)));
    });
}

} // namespace ForkJoin
} // namespace EdgeAlgebra
