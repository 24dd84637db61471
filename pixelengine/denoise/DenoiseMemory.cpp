#include "denoise/DenoiseMemory.h"

#include "FaultCountdown.h"

#include <cstdlib>
#include <cstring>

namespace {
FaultCountdown g_faults;
}

void DenoiseFaultInjectAfter(int count)
{
    g_faults.arm(count);
}

bool DenoiseFaultInjectHit()
{
    return g_faults.hit();
}

void* DenoiseMalloc(DenoiseMemHandle, size_t size)
{
    if (DenoiseFaultInjectHit())
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void DenoiseFree(DenoiseMemHandle, void* pointer)
{
    std::free(pointer);
}

void* DenoiseCalloc(DenoiseMemHandle handle, size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size)
        return nullptr;
    void* p = DenoiseMalloc(handle, count * size);
    if (p)
        std::memset(p, 0, count * size == 0 ? 1 : count * size);
    return p;
}

int64_t DenoiseAlign4(int64_t n)
{
    return (n + 3) & ~int64_t(3);
}

void DenoiseMemcpy(void* target, const void* source, size_t size)
{
    if (size && target != source)
        std::memmove(target, source, size);
}

void DenoiseMemset(void* target, int value, size_t size)
{
    if (size)
        std::memset(target, value, size);
}

void DenoiseCopyRows(void* target, ptrdiff_t targetStride, const void* source, ptrdiff_t sourceStride,
                     size_t rowBytes, int rows)
{
    if (target == source || rows <= 0 || rowBytes == 0)
        return;
    auto* t = static_cast<uint8_t*>(target);
    const auto* s = static_cast<const uint8_t*>(source);
    for (int r = 0; r < rows; ++r)
        std::memcpy(t + r * targetStride, s + r * sourceStride, rowBytes);
}
