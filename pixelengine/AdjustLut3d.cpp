#include "AdjustLut3d.h"

#include "AdjustKernelArgs.h"

namespace {

// The three planes packed into one word per node (blue in bits 0..20, green
// in 21..41, red in 42..62), so one multiply weighs all three channels. A
// channel's weighted sum is at most 255 * 4096 < 2^21, so fields never carry
// into each other and the result equals the per-plane interpolation.
struct PackedCube {
    uint64_t node[kAdjustLut3dPlaneSize];
    PackedCube()
    {
        for (int i = 0; i < kAdjustLut3dPlaneSize; ++i)
            node[i] = uint64_t(kAdjustLut3dCube[i])
                | (uint64_t(kAdjustLut3dCube[kAdjustLut3dPlaneSize + i]) << 21)
                | (uint64_t(kAdjustLut3dCube[2 * kAdjustLut3dPlaneSize + i]) << 42);
    }
};

const PackedCube& packedCube()
{
    static const PackedCube cube;
    return cube;
}

} // namespace

int AdjustLut3dApply(uint8_t* pixels, int width, int height, int stride)
{
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    const uint64_t* node = packedCube().node;
    constexpr uint64_t kField = (uint64_t(1) << 21) - 1;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const unsigned b = p[0], g = p[1], r = p[2];
            const unsigned fb = b & 15, fg = g & 15, fr = r & 15;
            const uint64_t* n = node + (r >> 4) * 289 + (g >> 4) * 17 + (b >> 4);
            const unsigned wb0 = 16 - fb, wg0 = 16 - fg, wr0 = 16 - fr;
            // Blend along blue, then green, then red; each step multiplies by
            // weights summing to 16, 4096 in all.
            const uint64_t g0r0 = n[0] * wb0 + n[1] * fb;
            const uint64_t g1r0 = n[17] * wb0 + n[18] * fb;
            const uint64_t g0r1 = n[289] * wb0 + n[290] * fb;
            const uint64_t g1r1 = n[306] * wb0 + n[307] * fb;
            const uint64_t r0 = g0r0 * wg0 + g1r0 * fg;
            const uint64_t r1 = g0r1 * wg0 + g1r1 * fg;
            const uint64_t sum = r0 * wr0 + r1 * fr;
            p[0] = static_cast<uint8_t>((sum & kField) >> 12);
            p[1] = static_cast<uint8_t>(((sum >> 21) & kField) >> 12);
            p[2] = static_cast<uint8_t>(((sum >> 42) & kField) >> 12);
        }
    }
    return PE_OK_INPLACE;
}
