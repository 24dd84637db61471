#include "AdjustLut3d.h"

#include "AdjustKernelArgs.h"

namespace {

// The three planes packed into one word per node (blue in bits 0..20, green
// in 21..41, red in 42..62), so one multiply weighs all three channels. A
// channel's weighted sum is at most 255 * 4096 < 2^21, so fields never carry
// into each other and the result equals the per-plane interpolation.
//
// The blend along blue is done ahead for each of the 16 blue fractions:
// pair[fb][i] = node[i] * (16 - fb) + node[i + 1] * fb, which leaves four
// look-ups and six multiplies per pixel (about 630 KB, built once).
constexpr int kFractions = 16;

struct PackedCube {
    uint64_t pair[kFractions][kAdjustLut3dPlaneSize];
    PackedCube()
    {
        uint64_t node[kAdjustLut3dPlaneSize];
        for (int i = 0; i < kAdjustLut3dPlaneSize; ++i)
            node[i] = uint64_t(kAdjustLut3dCube[i])
                | (uint64_t(kAdjustLut3dCube[kAdjustLut3dPlaneSize + i]) << 21)
                | (uint64_t(kAdjustLut3dCube[2 * kAdjustLut3dPlaneSize + i]) << 42);
        for (int f = 0; f < kFractions; ++f)
            for (int i = 0; i < kAdjustLut3dPlaneSize; ++i)
                pair[f][i] = node[i] * uint64_t(16 - f) + (i + 1 < kAdjustLut3dPlaneSize ? node[i + 1] * uint64_t(f) : 0);
    }
};

const PackedCube& packedCube()
{
    static const PackedCube cube;
    return cube;
}

ADJUST_HOT_LOOP void lutRows(uint8_t* pixels, int width, int height, int stride, const PackedCube& cube)
{
    constexpr uint64_t kField = (uint64_t(1) << 21) - 1;
    for (int y = 0; y < height; ++y) {
        uint8_t* __restrict p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const unsigned b = p[0], g = p[1], r = p[2];
            const unsigned fg = g & 15, fr = r & 15;
            // Blue index 15 at most, so node i + 1 is still on the same row.
            const uint64_t* n = cube.pair[b & 15] + (r >> 4) * 289 + (g >> 4) * 17 + (b >> 4);
            const uint64_t r0 = n[0] * (16 - fg) + n[17] * fg;
            const uint64_t r1 = n[289] * (16 - fg) + n[306] * fg;
            const uint64_t sum = r0 * (16 - fr) + r1 * fr;
            p[0] = static_cast<uint8_t>((sum & kField) >> 12);
            p[1] = static_cast<uint8_t>(((sum >> 21) & kField) >> 12);
            p[2] = static_cast<uint8_t>(((sum >> 42) & kField) >> 12);
        }
    }
}

} // namespace

int AdjustLut3dApply(uint8_t* pixels, int width, int height, int stride)
{
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    lutRows(pixels, width, height, stride, packedCube());
    return PE_OK_INPLACE;
}
