#pragma once
// Replaces the global operator new and delete of the executable, to record the largest
// single allocation: a false length in an archive must not make a reader allocate much
// more than the stream holds. Include it in one source file per executable.
#include <atomic>
#include <cstdlib>
#include <new>

namespace TestMemory {
// The largest single allocation since the last reset.
inline std::atomic<std::size_t> LargestAllocation{0};
} // namespace TestMemory

// The replacement pair allocates with malloc and frees with free, which the compiler cannot
// see through once both are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    std::size_t seen = TestMemory::LargestAllocation.load();
    while (size > seen && !TestMemory::LargestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
// The nothrow form too, so that every allocation that reaches these deletes came from malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
#pragma GCC diagnostic pop
