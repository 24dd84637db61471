#include "AdjustZoomBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "AdjustBlockBlend.h"
#include "AdjustKernelArgs.h"
#include "AdjustPyramidRows.h"

namespace {

constexpr int kMaxHalvings = 4;
constexpr uint32_t kMaxRatio = (1u << 21) - 1;

// Packs a block's walk: length | octant << 8 | ratio << 11. Octant bit 0:
// step left, bit 1: step up, bit 2: the vertical axis is the major one.
uint32_t blockWalk(int dx, int dy, int length)
{
    if (length <= 0 || (dx == 0 && dy == 0))
        return 0;
    const int64_t ax = std::abs(int64_t(dx)), ay = std::abs(int64_t(dy));
    const bool vertical = ay > ax;
    const int64_t major = vertical ? ay : ax, minor = vertical ? ax : ay;
    const uint32_t ratio = minor == 0 ? 0 : uint32_t(std::min<int64_t>(major / minor, kMaxRatio));
    const uint32_t octant = (dx > 0 ? 1u : 0u) | (dy > 0 ? 2u : 0u) | (vertical ? 4u : 0u);
    return uint32_t(std::min(length, 255)) | octant << 8 | ratio << 11;
}

// Averages the pixel and the pixels of its block's walk toward the centre
// (hw, hh). The walk stops at the centre's row or column along the major axis
// and at the image edge, so it never passes the centre or leaves the image;
// the sum is divided by the number of pixels taken.
inline void walk(const uint8_t* src, int width, int height, int stride, int x, int y, int hw, int hh,
                 uint32_t entry, uint8_t* out)
{
    const int length = int(entry & 255);
    const int octant = int(entry >> 8) & 7;
    const uint32_t ratio = entry >> 11;
    const int stepX = (octant & 1) ? -1 : 1, stepY = (octant & 2) ? -1 : 1;
    const bool vertical = (octant & 4) != 0;
    int px = x, py = y;
    const uint8_t* p = AdjustRow(src, stride, y) + 3 * x;
    int s0 = p[0], s1 = p[1], s2 = p[2], count = 1;
    for (int k = 1; k <= length; ++k) {
        int& major = vertical ? py : px;
        int& minor = vertical ? px : py;
        const int majorStep = vertical ? stepY : stepX, minorStep = vertical ? stepX : stepY;
        const int centre = vertical ? hh : hw;
        const int majorLimit = vertical ? height : width, minorLimit = vertical ? width : height;
        if (major == centre || major + majorStep < 0 || major + majorStep >= majorLimit)
            break;
        major += majorStep;
        if (ratio && k % ratio == 0)
            minor = std::clamp(minor + minorStep, 0, minorLimit - 1);
        p = AdjustRow(src, stride, py) + 3 * px;
        s0 += p[0];
        s1 += p[1];
        s2 += p[2];
        ++count;
    }
    out[0] = static_cast<uint8_t>(s0 / count);
    out[1] = static_cast<uint8_t>(s1 / count);
    out[2] = static_cast<uint8_t>(s2 / count);
}

int zoomBlur(const uint8_t* source, int width, int height, int stride, uint8_t* destination, int maximumLength,
             int radius)
{
    const int hw = (width + 1) >> 1, hh = (height + 1) >> 1;
    const double c = radius * 0.004 + 0.5;
    // The block table holds packed walks rather than blend weights.
    AdjustBlockWeights blocks;
    if (!blocks.allocate(width, height))
        return PE_ERR_NOMEM;
    const int columns = blocks.columns();
    uint32_t* table = blocks.data();
    for (int by = 0; by < blocks.rows(); ++by)
        for (int bx = 0; bx < columns; ++bx) {
            const double s = blocks.distance(bx, by);
            int length = 0;
            // c >= 1 would divide by zero below; no block lies that far out anyway.
            if (c < 1.0 && s > c)
                length = static_cast<int>(std::min(255.0, maximumLength * (s - c) / (1.0 - c) + 0.5));
            table[size_t(by) * columns + bx] = blockWalk(16 * bx - hw, 16 * by - hh, length);
        }
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = table + size_t(y >> 4) * columns;
        const uint8_t* src = AdjustRow(source, stride, y);
        uint8_t* dst = AdjustRow(destination, stride, y);
        for (int x = 0; x < width; ++x) {
            const uint32_t entry = row[x >> 4];
            if ((entry & 255) == 0)
                std::memcpy(dst + 3 * x, src + 3 * x, 3);
            else
                walk(source, width, height, stride, x, y, hw, hh, entry, dst + 3 * x);
        }
    }
    return PE_OK_INPLACE;
}

int checkZoomArgs(const uint8_t* source, int width, int height, int stride, const uint8_t* destination,
                  int maximumLength)
{
    const int check = AdjustCheckBgr(source, width, height, stride);
    if (check != 0)
        return check;
    if (!destination || maximumLength < 0)
        return PE_ERR_ARGUMENT;
    return 0;
}

} // namespace

int AdjustZoomBlurApply(const uint8_t* source, int width, int height, int stride, uint8_t* destination,
                        int maximumLength, int radius)
{
    const int check = checkZoomArgs(source, width, height, stride, destination, maximumLength);
    if (check != 0)
        return check;
    return zoomBlur(source, width, height, stride, destination, maximumLength, radius);
}

int AdjustZoomBlurFastApply(const uint8_t* source, int width, int height, int stride,
                            uint8_t* destination, int maximumLength, int radius)
{
    const int check = checkZoomArgs(source, width, height, stride, destination, maximumLength);
    if (check != 0)
        return check;
    int halvings = 0;
    while (halvings < kMaxHalvings && (std::max(width, height) >> (halvings + 1)) >= 640)
        ++halvings;
    if (halvings == 0)
        return zoomBlur(source, width, height, stride, destination, maximumLength, radius);

    const double c = radius * 0.004 + 0.5;
    AdjustBlockWeights weights;
    if (!weights.allocate(width, height))
        return PE_ERR_NOMEM;
    weights.fill([c](double s) {
        return (c < 1.0 && s > c) ? static_cast<int>((s - c) / (1.0 - c) * 256.0 + 0.5) : 0;
    });

    // levels[k]: the picture halved k times, rows padded to 4 bytes;
    // blurred: the zoom blur of the smallest level.
    int lw[kMaxHalvings + 1], lh[kMaxHalvings + 1], ls[kMaxHalvings + 1];
    uint8_t* level[kMaxHalvings + 1] = {};
    lw[0] = width;
    lh[0] = height;
    ls[0] = stride;
    size_t total = 0;
    size_t offset[kMaxHalvings + 2] = {};
    for (int k = 1; k <= halvings; ++k) {
        lw[k] = pyramid::halve(lw[k - 1]);
        lh[k] = pyramid::halve(lh[k - 1]);
        ls[k] = (lw[k] * 3 + 3) & ~3;
        offset[k] = total;
        total += size_t(ls[k]) * size_t(lh[k]);
    }
    const size_t blurredOffset = total;
    total += size_t(ls[halvings]) * size_t(lh[halvings]);
    const size_t sumsOffset = total;
    total += sizeof(uint16_t) * 3 * size_t(width) + 2 * size_t(width) * 3;
    uint8_t* memory = static_cast<uint8_t*>(std::malloc(total));
    if (!memory)
        return PE_ERR_NOMEM;
    for (int k = 1; k <= halvings; ++k)
        level[k] = memory + offset[k];
    level[0] = const_cast<uint8_t*>(source); // read only
    uint8_t* blurred = memory + blurredOffset;
    uint16_t* sums = reinterpret_cast<uint16_t*>(memory + sumsOffset);
    uint8_t* upRow = memory + sumsOffset + sizeof(uint16_t) * 3 * size_t(width);

    for (int k = 0; k < halvings; ++k)
        for (int i = 0; i < lh[k + 1]; ++i) {
            int r0, r1, r2;
            const int shift = pyramid::reduceTaps(i, lh[k], r0, r1, r2);
            const uint8_t* in = level[k];
            const ptrdiff_t is = ls[k];
            pyramid::reduceRow<3>(in + r0 * is, in + r1 * is, r2 >= 0 ? in + r2 * is : nullptr, shift, lw[k], sums,
                                  level[k + 1] + ptrdiff_t(i) * ls[k + 1]);
        }
    const int result = zoomBlur(level[halvings], lw[halvings], lh[halvings], ls[halvings], blurred, maximumLength,
                                radius);
    if (result < 0) {
        std::free(memory);
        return result;
    }
    // Expand back into the level buffers (they are no longer needed), then
    // expand the last step row by row straight into the blend.
    const uint8_t* small = blurred;
    for (int k = halvings - 1; k >= 1; --k) {
        for (int y = 0; y < lh[k]; ++y) {
            int s0, s1;
            pyramid::expandSources(y, lh[k], s0, s1);
            pyramid::expandRow<3>(small + ptrdiff_t(s0) * ls[k + 1],
                                  s1 >= 0 ? small + ptrdiff_t(s1) * ls[k + 1] : nullptr, lw[k],
                                  level[k] + ptrdiff_t(y) * ls[k]);
        }
        small = level[k];
    }
    for (int y = 0; y < height; ++y) {
        int s0, s1;
        pyramid::expandSources(y, height, s0, s1);
        pyramid::expandRow<3>(small + ptrdiff_t(s0) * ls[1], s1 >= 0 ? small + ptrdiff_t(s1) * ls[1] : nullptr, width,
                              upRow);
        AdjustBlendRow(AdjustRow(source, stride, y), upRow, AdjustRow(destination, stride, y), width,
                       weights.row(y));
    }
    std::free(memory);
    return PE_OK_INPLACE;
}
