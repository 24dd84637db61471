#pragma once
// Allocation helpers of the film engine. Every buffer the engine makes, and
// every helper thread it starts, is acquired through here, so a test can make
// any one of them fail; the engine reports codes and never lets an exception
// out of an entry point.
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

// The film family's code for memory that cannot be had.
constexpr int kFilmNoMemory = -2;

// Uninitialised bytes, or null when memory runs out (or the test hook says
// so). Free with FilmDeallocate.
void* FilmAllocate(size_t bytes) noexcept;
void FilmDeallocate(void* pointer) noexcept;

// n elements of a trivial type, null on overflow or shortage.
template <typename T>
T* FilmAllocateArray(size_t n) noexcept
{
    if (n > SIZE_MAX / sizeof(T))
        return nullptr;
    return static_cast<T*>(FilmAllocate(n * sizeof(T)));
}

// Test hook: after `count` more successful acquisitions (allocations and
// helper threads) every further one fails until the hook is reset with -1.
// Returns the count left from before, so a test can count acquisitions.
int FilmFaultInjectAfter(int count);
// True when the next acquisition must fail (consumes one unit).
bool FilmFaultInjectHit();

// Standard-container allocator over FilmAllocate; throws std::bad_alloc like
// the default one, for the engine to catch.
template <typename T>
struct FilmAllocator {
    using value_type = T;
    FilmAllocator() = default;
    template <typename U>
    FilmAllocator(const FilmAllocator<U>&) noexcept {}
    T* allocate(size_t n)
    {
        T* p = FilmAllocateArray<T>(n);
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    void deallocate(T* p, size_t) noexcept { FilmDeallocate(p); }
    template <typename U>
    bool operator==(const FilmAllocator<U>&) const noexcept { return true; }
    template <typename U>
    bool operator!=(const FilmAllocator<U>&) const noexcept { return false; }
};

template <typename T>
using FilmVector = std::vector<T, FilmAllocator<T>>;

// Runs the body of an entry point; anything thrown inside (a shortage the
// body did not handle itself) becomes kFilmNoMemory.
template <typename Body>
int FilmNoThrow(Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return kFilmNoMemory;
    }
}
