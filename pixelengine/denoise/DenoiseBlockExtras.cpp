#include "denoise/DenoiseBlockExtras.h"

#include <algorithm>
#include <cstring>

#include "denoise/DenoiseBlockFilter.h"
#include "denoise/DenoisePlaneKernels.h"

int DenoiseCandidateAppend(int32_t* offsets, int64_t* distances, int count, int capacity, int dx, int dy,
                           int64_t distance)
{
    if (!offsets || !distances || count < 0 || count >= capacity)
        return -1;
    offsets[2 * count] = dx;
    offsets[2 * count + 1] = dy;
    distances[count] = distance;
    return count;
}

int64_t DenoiseBlockDistanceAligned(uint32_t layout, const uint8_t* a, const uint8_t* b, int32_t pitch)
{
    return DenoiseBlockDistance(layout, a, b, pitch);
}

void DenoiseBlockDistance2U8(const uint8_t* ref, const uint8_t* b1, const uint8_t* b2, int32_t pitch, int64_t* d1,
                             int64_t* d2)
{
    if (d1)
        *d1 = DenoiseBlockDistance(DENOISE_SAMPLES_U8, ref, b1, pitch);
    if (d2)
        *d2 = DenoiseBlockDistance(DENOISE_SAMPLES_U8, ref, b2, pitch);
}

void DenoiseBlockDistance2S8(const uint8_t* ref, const uint8_t* b1, const uint8_t* b2, int32_t pitch, int64_t* d1,
                             int64_t* d2)
{
    if (d1)
        *d1 = DenoiseBlockDistance(DENOISE_SAMPLES_S8, ref, b1, pitch);
    if (d2)
        *d2 = DenoiseBlockDistance(DENOISE_SAMPLES_S8, ref, b2, pitch);
}

namespace {
template <bool Sign>
void shrink(uint8_t* block, int32_t pitch, const uint8_t* reference, int32_t refPitch, int64_t value, int64_t divisor)
{
    if (!block || !reference || divisor <= 0 || value < 0)
        return;
    const int64_t factor = value > (INT64_MAX >> 18) ? INT64_MAX : (value << 17) / divisor;
    if (factor < 1024)
        return;
    for (int y = 0; y < 8; ++y) {
        uint8_t* b = block + int64_t(y) * pitch;
        const uint8_t* r = reference + int64_t(y) * refPitch;
        if (factor > 128000) {
            std::memcpy(b, r, 8);
            continue;
        }
        for (int x = 0; x < 8; ++x) {
            const int64_t p = Sign ? int64_t(int8_t(b[x])) : int64_t(b[x]);
            const int64_t q = Sign ? int64_t(int8_t(r[x])) : int64_t(r[x]);
            const int64_t v = p + (((q - p) * factor) >> 17);
            b[x] = Sign ? uint8_t(int8_t(std::clamp<int64_t>(v, -128, 127))) : uint8_t(std::clamp<int64_t>(v, 0, 255));
        }
    }
}
}

void DenoiseBlockShrinkU8(uint8_t* block, int32_t pitch, const uint8_t* reference, int32_t refPitch, int64_t value,
                          int64_t divisor)
{
    shrink<false>(block, pitch, reference, refPitch, value, divisor);
}

void DenoiseBlockShrinkS8(uint8_t* block, int32_t pitch, const uint8_t* reference, int32_t refPitch, int64_t value,
                          int64_t divisor)
{
    shrink<true>(block, pitch, reference, refPitch, value, divisor);
}

void DenoiseBlockCopy32(uint8_t* target, int32_t targetPitch, const uint8_t* source, int32_t sourcePitch, int step)
{
    if (!target || !source || (step != 4 && step != 8) || target == source)
        return;
    for (int y = 0; y < step; ++y) {
        uint32_t words[2];
        std::memcpy(words, source + int64_t(y) * sourcePitch, size_t(step));
        std::memcpy(target + int64_t(y) * targetPitch, words, size_t(step));
    }
}
