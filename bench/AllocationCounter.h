#pragma once
// Counts the program's heap allocations by replacing the global operator new, for the
// "allocs/run" counters of the benchmarks. Include it in one source of a benchmark
// program only: it defines the replacement.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <benchmark/benchmark.h>

namespace BenchSupport {
inline std::atomic<std::uint64_t> allocations{0};

// The allocations since `before`, per iteration of `state`, as the counter "allocs/run".
inline void ReportAllocations(benchmark::State& state, std::uint64_t before)
{
    state.counters["allocs/run"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}
} // namespace BenchSupport

// The replacement pairs operator new with malloc and operator delete with free; g++ cannot
// see that they belong together once both are inlined into the same caller.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    BenchSupport::allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
