#include "FilmMemory.h"

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<int> g_faultCountdown{-1};
}

int FilmFaultInjectAfter(int count)
{
    return g_faultCountdown.exchange(count, std::memory_order_relaxed);
}

bool FilmFaultInjectHit()
{
    int current = g_faultCountdown.load(std::memory_order_relaxed);
    while (current >= 0) {
        if (current == 0)
            return true;
        if (g_faultCountdown.compare_exchange_weak(current, current - 1, std::memory_order_relaxed))
            return false;
    }
    return false;
}

void* FilmAllocate(size_t bytes) noexcept
{
    if (FilmFaultInjectHit())
        return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void FilmDeallocate(void* pointer) noexcept
{
    std::free(pointer);
}
