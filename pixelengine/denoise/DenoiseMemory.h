#pragma once
// Allocation and copy helpers through which every part of the denoiser
// allocates. The memory-manager handle is carried everywhere but unused.
#include <cstddef>
#include <cstdint>

using DenoiseMemHandle = void*;

void* DenoiseMalloc(DenoiseMemHandle handle, size_t size);
void DenoiseFree(DenoiseMemHandle handle, void* pointer);
// Zero-filled allocation; null when the size overflows or memory runs out.
void* DenoiseCalloc(DenoiseMemHandle handle, size_t count, size_t size);
// (n + 3) rounded down to a multiple of 4.
int64_t DenoiseAlign4(int64_t n);
void DenoiseMemcpy(void* target, const void* source, size_t size);
void DenoiseMemset(void* target, int value, size_t size);
// Copies rows of rowBytes; nothing when target == source or rows == 0.
void DenoiseCopyRows(void* target, ptrdiff_t targetStride, const void* source, ptrdiff_t sourceStride,
                     size_t rowBytes, int rows);

// Test hook: after `count` more successful acquisitions (allocations, events,
// threads) every further one fails until the hook is reset with -1.
void DenoiseFaultInjectAfter(int count);
// True when the next resource acquisition must fail (consumes one unit).
bool DenoiseFaultInjectHit();
