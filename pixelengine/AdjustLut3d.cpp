#include "AdjustLut3d.h"

#include <cstdlib>

#include "AdjustKernelArgs.h"

namespace {

// The three planes packed into one word per node (blue in bits 0..20, green
// in 21..41, red in 42..62), so one multiply weighs all three channels. A
// channel's weighted sum is at most 255 * 4096 < 2^21, so fields never carry
// into each other and the result equals the per-plane interpolation.
//
// The blends along blue and green are done ahead for every node and every
// pair of blue and green fractions:
//   folded[node][fb * 16 + fg] = sum over the node's four blue/green corners,
// which leaves two look-ups and two multiplies per pixel. The 256 entries of
// a node lie together, so a picture region in one cell of the cube reads 4 KB.
// About 10 MB, built on first use and kept.
constexpr int kFolds = 256;

struct FoldedCube {
    uint64_t (*folded)[kFolds] = nullptr;
    FoldedCube()
    {
        uint64_t node[kAdjustLut3dPlaneSize];
        for (int i = 0; i < kAdjustLut3dPlaneSize; ++i)
            node[i] = uint64_t(kAdjustLut3dCube[i])
                | (uint64_t(kAdjustLut3dCube[kAdjustLut3dPlaneSize + i]) << 21)
                | (uint64_t(kAdjustLut3dCube[2 * kAdjustLut3dPlaneSize + i]) << 42);
        folded = static_cast<uint64_t(*)[kFolds]>(std::calloc(kAdjustLut3dPlaneSize, sizeof(uint64_t[kFolds])));
        if (!folded)
            return;
        // Only nodes with blue and green index below 16 start a cell.
        for (int r = 0; r < 17; ++r)
            for (int g = 0; g < 16; ++g)
                for (int b = 0; b < 16; ++b) {
                    const int i = r * 289 + g * 17 + b;
                    for (int fb = 0; fb < 16; ++fb)
                        for (int fg = 0; fg < 16; ++fg)
                            folded[i][fb * 16 + fg] = (node[i] * uint64_t(16 - fb) + node[i + 1] * uint64_t(fb))
                                    * uint64_t(16 - fg)
                                + (node[i + 17] * uint64_t(16 - fb) + node[i + 18] * uint64_t(fb)) * uint64_t(fg);
                }
    }
    ~FoldedCube() { std::free(folded); }
    FoldedCube(const FoldedCube&) = delete;
    FoldedCube& operator=(const FoldedCube&) = delete;
};

const FoldedCube& foldedCube()
{
    static const FoldedCube cube;
    return cube;
}

// Per-byte parts of a pixel's table position (in entries), so that finding
// the cell and the fraction pair takes three look-ups and two additions.
struct CellOffsets {
    uint32_t red[256];
    uint32_t green[256];
    uint32_t blue[256];
    CellOffsets()
    {
        for (int v = 0; v < 256; ++v) {
            red[v] = uint32_t((v >> 4) * 289 * kFolds);
            green[v] = uint32_t((v >> 4) * 17 * kFolds + (v & 15));
            blue[v] = uint32_t((v >> 4) * kFolds + ((v & 15) << 4));
        }
    }
};

const CellOffsets& cellOffsets()
{
    static const CellOffsets offsets;
    return offsets;
}

ADJUST_HOT_LOOP void lutRows(uint8_t* pixels, int width, int height, int stride, const uint64_t* folded,
                             const CellOffsets& cell)
{
    constexpr uint64_t kField = (uint64_t(1) << 21) - 1;
    constexpr ptrdiff_t kRedStep = 289 * kFolds;
    for (int y = 0; y < height; ++y) {
        uint8_t* __restrict p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const unsigned b = p[0], g = p[1], r = p[2];
            const unsigned fr = r & 15;
            // Blue and green indices are 15 at most, so the cell starts at a
            // node the table holds; the red neighbour is 289 nodes on.
            const uint64_t* n = folded + cell.red[r] + cell.green[g] + cell.blue[b];
            const uint64_t sum = n[0] * (16 - fr) + n[kRedStep] * fr;
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
    const FoldedCube& cube = foldedCube();
    if (!cube.folded)
        return PE_ERR_NOMEM;
    lutRows(pixels, width, height, stride, cube.folded[0], cellOffsets());
    return PE_OK_INPLACE;
}
