#include "FilmMemory.h"

#include "FaultCountdown.h"

#include <cstdlib>

namespace {
FaultCountdown g_faults;
}

int FilmFaultInjectAfter(int count)
{
    return g_faults.arm(count);
}

bool FilmFaultInjectHit()
{
    return g_faults.hit();
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
