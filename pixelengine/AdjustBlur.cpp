#include "AdjustBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "AdjustBlockBlend.h"
#include "AdjustKernelArgs.h"
#include "AdjustPyramidRows.h"

namespace {

constexpr int kMaxLevels = 8;

void copyRows(const uint8_t* src, int width, int height, int stride, uint8_t* dst)
{
    if (src == dst)
        return;
    const size_t n = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memmove(AdjustRow(dst, stride, y), AdjustRow(src, stride, y), n);
}

int checkBlurArgs(const uint8_t* source, int width, int height, int stride, const uint8_t* destination,
                  int mix)
{
    const int check = AdjustCheckBgr(source, width, height, stride);
    if (check != 0)
        return check;
    if (!destination || mix < 0 || mix > 100)
        return PE_ERR_ARGUMENT;
    return 0;
}

inline uint8_t clampByte(int v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Frees everything it was given on scope exit.
struct Allocations {
    void* blocks[2 * kMaxLevels + 2] = {};
    int count = 0;
    void* take(size_t bytes)
    {
        void* p = std::malloc(bytes ? bytes : 1);
        blocks[count++] = p;
        return p;
    }
    ~Allocations()
    {
        for (int i = 0; i < count; ++i)
            std::free(blocks[i]);
    }
};

// Row buffers for rebuilding one pyramid level, sized for the widest level.
struct RebuildScratch {
    int16_t* detail[3];
    int16_t* smoothedH[3];
    uint8_t* up;
    uint8_t* upNew;
    uint16_t* weight;

    static size_t bytesFor(int width) { return size_t(width) * 3 * (7 * sizeof(int16_t) + 2); }
    void carve(void* memory, int width)
    {
        const size_t n = size_t(width) * 3;
        int16_t* s = static_cast<int16_t*>(memory);
        for (int i = 0; i < 3; ++i) {
            detail[i] = s + i * n;
            smoothedH[i] = s + (3 + i) * n;
        }
        weight = reinterpret_cast<uint16_t*>(s + 6 * n);
        up = reinterpret_cast<uint8_t*>(s + 7 * n);
        upNew = up + n;
    }
};

// One row of smoothed detail: the raw detail, and for interior rows the
// three horizontally filtered rows around it (null otherwise).
struct SmoothRows {
    const int16_t* detail;
    const int16_t* above;
    const int16_t* mid;
    const int16_t* below;
};

ADJUST_ROW_INLINE uint8_t addClamped(int up, int detail)
{
    const int v = up + detail;
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Calls put(i, clamp(up[i] + smoothed detail[i])) for the n bytes of a row.
template <typename Put>
ADJUST_ROW_INLINE void finishRow(int n, const uint8_t* __restrict up, const SmoothRows& rows, Put put)
{
    const int16_t* __restrict d = rows.detail;
    if (!rows.above) {
        for (int i = 0; i < n; ++i)
            put(i, addClamped(up[i], d[i]));
        return;
    }
    const int16_t* __restrict a = rows.above;
    const int16_t* __restrict m = rows.mid;
    const int16_t* __restrict c = rows.below;
    for (int i = 0; i < 3; ++i)
        put(i, addClamped(up[i], d[i]));
    for (int i = 3; i < n - 3; ++i)
        put(i, addClamped(up[i], (a[i] + 2 * m[i] + c[i]) >> 4));
    for (int i = n - 3; i < n; ++i)
        put(i, addClamped(up[i], d[i]));
}

// Rebuilds level plane P (w x h, rows planeStride apart) as
//   clamp(Expand(smallNew) + Smooth(P - Expand(smallOld)), 0, 255)
// one row at a time, handing the two terms of each row to sink(y, up, rows).
// The smoothing is the 3 x 3 binomial of the detail scaled by 1/16, border
// kept. Rows of P are read at most one row ahead of the row handed out, so
// the sink may overwrite P's row y.
template <typename Sink>
ADJUST_ROW_INLINE void rebuildLevel(const uint8_t* plane, ptrdiff_t planeStride, int w, int h, const uint8_t* smallOld,
                  const uint8_t* smallNew, RebuildScratch& sc, Sink sink)
{
    const int n = w * 3;
    const ptrdiff_t smallStride = ptrdiff_t(pyramid::halve(w)) * 3;
    const bool smooth = w >= 3 && h >= 3;
    uint8_t* __restrict up = sc.up;
    uint8_t* __restrict upNew = sc.upNew;
    int ready = 0;
    auto detailRow = [&](int r) {
        int s0, s1;
        pyramid::expandSources(r, h, s0, s1);
        pyramid::expandRow<3>(smallOld + s0 * smallStride, s1 >= 0 ? smallOld + s1 * smallStride : nullptr, w, up);
        const uint8_t* __restrict p = plane + r * planeStride;
        int16_t* __restrict d = sc.detail[r % 3];
        for (int i = 0; i < n; ++i)
            d[i] = static_cast<int16_t>(p[i] - up[i]);
        if (smooth)
            pyramid::horizontal121<3>(d, w, 4, sc.smoothedH[r % 3]);
    };
    for (int y = 0; y < h; ++y) {
        const int need = std::min(y + 1, h - 1);
        while (ready <= need)
            detailRow(ready++);
        // Interior rows hand over the three horizontally smoothed rows; the
        // sink finishes the smoothing there and keeps the raw detail in the
        // first and last pixel. Border rows hand over the raw detail only.
        const bool interior = smooth && y > 0 && y + 1 < h;
        SmoothRows rows;
        rows.detail = sc.detail[y % 3];
        rows.above = interior ? sc.smoothedH[(y - 1) % 3] : nullptr;
        rows.mid = interior ? sc.smoothedH[y % 3] : nullptr;
        rows.below = interior ? sc.smoothedH[(y + 1) % 3] : nullptr;
        int s0, s1;
        pyramid::expandSources(y, h, s0, s1);
        pyramid::expandRow<3>(smallNew + s0 * smallStride, s1 >= 0 ? smallNew + s1 * smallStride : nullptr, w,
                              upNew);
        sink(y, upNew, rows);
    }
}

ADJUST_HOT_LOOP void reduceLevel(const uint8_t* in, ptrdiff_t inStride, int w, int h, uint8_t* out, uint16_t* sums)
{
    const int outHeight = pyramid::halve(h);
    const ptrdiff_t outStride = ptrdiff_t(pyramid::halve(w)) * 3;
    for (int i = 0; i < outHeight; ++i) {
        int r0, r1, r2;
        const int shift = pyramid::reduceTaps(i, h, r0, r1, r2);
        pyramid::reduceRow<3>(in + r0 * inStride, in + r1 * inStride, r2 >= 0 ? in + r2 * inStride : nullptr, shift, w,
                              sums, out + i * outStride);
    }
}

ADJUST_HOT_LOOP void rebuildIntoPlane(const uint8_t* plane, int w, int h, const uint8_t* smallOld,
                                      const uint8_t* smallNew, RebuildScratch& scratch, uint8_t* out)
{
    const ptrdiff_t rowBytes = ptrdiff_t(w) * 3;
    rebuildLevel(plane, rowBytes, w, h, smallOld, smallNew, scratch,
                 [out, rowBytes](int y, const uint8_t* up, const SmoothRows& rows) {
                     uint8_t* __restrict o = out + y * rowBytes;
                     finishRow(int(rowBytes), up, rows, [o](int i, uint8_t v) { o[i] = v; });
                 });
}

// The finest level goes straight into the blend with the source:
// dst = (src * (256 - w) + filtered * w) >> 8, w from the pixel's block.
ADJUST_HOT_LOOP void rebuildIntoBlend(const uint8_t* source, int w, int h, int stride, const uint8_t* smallOld,
                                      const uint8_t* smallNew, RebuildScratch& scratch, uint8_t* destination,
                                      const AdjustBlockWeights& weights)
{
    const int n = w * 3;
    uint16_t* __restrict weight = scratch.weight;
    rebuildLevel(source, stride, w, h, smallOld, smallNew, scratch,
                 [&](int y, const uint8_t* up, const SmoothRows& rows) {
                     if ((y & 15) == 0) {
                         const uint32_t* blocks = weights.row(y);
                         for (int i = 0; i < n; ++i)
                             weight[i] = static_cast<uint16_t>(blocks[i / 48]);
                     }
                     const uint8_t* __restrict src = AdjustRow(source, stride, y);
                     uint8_t* __restrict dst = AdjustRow(destination, stride, y);
                     finishRow(n, up, rows, [src, dst, weight](int i, uint8_t f) {
                         const int wt = weight[i];
                         dst[i] = static_cast<uint8_t>((src[i] * (256 - wt) + f * wt) >> 8);
                     });
                 });
}

} // namespace

int AdjustBlurApply(const uint8_t* source, int width, int height, int stride, uint8_t* destination,
                    int levels, int mix)
{
    const int check = checkBlurArgs(source, width, height, stride, destination, mix);
    if (check != 0)
        return check;
    if (levels < 0)
        return PE_ERR_ARGUMENT;

    // Number of reduce steps; a level under 4 pixels is still reduced once.
    const int wanted = std::min(levels, kMaxLevels) - 1;
    int steps = std::max(wanted, 0);
    int lw[kMaxLevels + 1], lh[kMaxLevels + 1];
    lw[0] = width;
    lh[0] = height;
    for (int k = 0; k < wanted; ++k) {
        lw[k + 1] = pyramid::halve(lw[k]);
        lh[k + 1] = pyramid::halve(lh[k]);
        if (lw[k] < 4 || lh[k] < 4) {
            steps = k + 1;
            break;
        }
    }
    if (steps == 0) {
        // Blending an image with itself gives the image.
        copyRows(source, width, height, stride, destination);
        return PE_OK_INPLACE;
    }

    // Everything is allocated before the first pixel is written.
    AdjustBlockWeights weights;
    if (!weights.allocate(width, height))
        return PE_ERR_NOMEM;
    weights.fill([mix](double s) { return AdjustBlurWeight(s, mix); });

    Allocations mem;
    uint8_t* orig[kMaxLevels + 1] = {};
    uint8_t* rebuilt[kMaxLevels + 1] = {};
    for (int k = 1; k <= steps; ++k) {
        const size_t bytes = size_t(lw[k]) * 3 * size_t(lh[k]);
        orig[k] = static_cast<uint8_t*>(mem.take(bytes));
        if (!orig[k])
            return PE_ERR_NOMEM;
        if (k < steps) {
            rebuilt[k] = static_cast<uint8_t*>(mem.take(bytes));
            if (!rebuilt[k])
                return PE_ERR_NOMEM;
        }
    }
    uint16_t* sums = static_cast<uint16_t*>(mem.take(sizeof(uint16_t) * 3 * size_t(width)));
    void* scratchMemory = mem.take(RebuildScratch::bytesFor(width));
    if (!sums || !scratchMemory)
        return PE_ERR_NOMEM;
    RebuildScratch scratch;
    scratch.carve(scratchMemory, width);

    // Reduce: level 0 is the source itself.
    for (int k = 0; k < steps; ++k)
        reduceLevel(k == 0 ? source : orig[k], k == 0 ? ptrdiff_t(stride) : ptrdiff_t(lw[k]) * 3, lw[k], lh[k],
                    orig[k + 1], sums);

    // Rebuild from the coarsest level up; the coarsest plane stays as it is.
    for (int k = steps - 1; k >= 1; --k)
        rebuildIntoPlane(orig[k], lw[k], lh[k], orig[k + 1], (k + 1 == steps) ? orig[k + 1] : rebuilt[k + 1], scratch,
                         rebuilt[k]);
    rebuildIntoBlend(source, width, height, stride, orig[1], steps == 1 ? orig[1] : rebuilt[1], scratch, destination,
                     weights);
    return PE_OK_INPLACE;
}

int AdjustRadialBlurApply(const uint8_t* source, int width, int height, int stride,
                          uint8_t* destination, int, int mix)
{
    const int check = checkBlurArgs(source, width, height, stride, destination, mix);
    if (check != 0)
        return check;
    AdjustBlockWeights weights;
    if (!weights.allocate(width, height))
        return PE_ERR_NOMEM;
    weights.fill([mix](double s) { return AdjustBlurWeight(s, mix); });
    const size_t n = size_t(width) * 3;
    uint8_t* memory = static_cast<uint8_t*>(std::malloc(4 * n));
    if (!memory)
        return PE_ERR_NOMEM;
    uint8_t* ring[3] = {memory, memory + n, memory + 2 * n};
    uint8_t* filtered = memory + 3 * n;
    const bool smooth = width >= 3 && height >= 3;
    int ready = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = AdjustRow(source, stride, y);
        if (smooth) {
            const int need = std::min(y + 1, height - 1);
            for (; ready <= need; ++ready)
                pyramid::horizontal121<3>(AdjustRow(source, stride, ready), width, 2, ring[ready % 3]);
        }
        std::memcpy(filtered, src, n);
        if (smooth && y > 0 && y + 1 < height) {
            const uint8_t* a = ring[(y - 1) % 3];
            const uint8_t* b = ring[y % 3];
            const uint8_t* c = ring[(y + 1) % 3];
            for (size_t i = 3; i + 3 < n; ++i)
                filtered[i] = static_cast<uint8_t>((a[i] + 2 * b[i] + c[i]) >> 2);
        }
        AdjustBlendRow(src, filtered, AdjustRow(destination, stride, y), width, weights.row(y));
    }
    std::free(memory);
    return PE_OK_INPLACE;
}

int AdjustGaussianBlurApply(const uint8_t* source, int width, int height, int stride,
                            uint8_t* destination, double sigma, int mix)
{
    const int check = checkBlurArgs(source, width, height, stride, destination, mix);
    if (check != 0)
        return check;
    if (std::isnan(sigma))
        return PE_ERR_ARGUMENT;
    const double radius = std::ceil(2.0 * sigma);
    if (radius <= 0.0)
        return PE_OK_INPLACE;
    // Taps beyond the image never count, so the radius needs no more than this.
    const int n = static_cast<int>(std::min(radius, double(std::max(width, height))));

    AdjustBlockWeights weights;
    if (!weights.allocate(width, height))
        return PE_ERR_NOMEM;
    weights.fill([mix](double s) {
        return static_cast<int>(((1.0 - s) * (0.2 * mix + 0.8 * (100 - mix)) * 0.01 + 0.8 * s) * 256.0 + 0.5);
    });

    const size_t rowLen = size_t(width) * 3;
    Allocations mem;
    int64_t* taps = static_cast<int64_t*>(mem.take(sizeof(int64_t) * (2 * size_t(n) + 1)));
    // Horizontal results normalised to 8.8 fixed point: at most 255 * 256,
    // so they fit 16 bits whatever the sigma.
    uint16_t* horizontal = static_cast<uint16_t*>(mem.take(sizeof(uint16_t) * rowLen * size_t(height)));
    uint8_t* filtered = static_cast<uint8_t*>(mem.take(rowLen));
    if (!taps || !horizontal || !filtered)
        return PE_ERR_NOMEM;
    for (int i = -n; i <= n; ++i)
        taps[i + n] = static_cast<int64_t>(std::exp(-double(i) * i / (2.0 * sigma * sigma)) * 256.0 + 0.5);
    const int64_t* tap = taps + n;

    for (int y = 0; y < height; ++y) {
        const uint8_t* src = AdjustRow(source, stride, y);
        uint16_t* out = horizontal + size_t(y) * rowLen;
        for (int x = 0; x < width; ++x) {
            const int lo = std::max(-n, -x), hi = std::min(n, width - 1 - x);
            int64_t total = 0, s0 = 0, s1 = 0, s2 = 0;
            for (int i = lo; i <= hi; ++i) {
                const uint8_t* p = src + 3 * (x + i);
                total += tap[i];
                s0 += tap[i] * p[0];
                s1 += tap[i] * p[1];
                s2 += tap[i] * p[2];
            }
            out[3 * x] = static_cast<uint16_t>((s0 * 256 + total / 2) / total);
            out[3 * x + 1] = static_cast<uint16_t>((s1 * 256 + total / 2) / total);
            out[3 * x + 2] = static_cast<uint16_t>((s2 * 256 + total / 2) / total);
        }
    }
    for (int y = 0; y < height; ++y) {
        const int lo = std::max(-n, -y), hi = std::min(n, height - 1 - y);
        int64_t total = 0;
        for (int j = lo; j <= hi; ++j)
            total += tap[j];
        const int64_t denominator = total * 256;
        for (size_t i = 0; i < rowLen; ++i) {
            int64_t sum = 0;
            for (int j = lo; j <= hi; ++j)
                sum += tap[j] * horizontal[size_t(y + j) * rowLen + i];
            filtered[i] = clampByte(static_cast<int>((sum + denominator / 2) / denominator));
        }
        const uint8_t* src = AdjustRow(source, stride, y);
        AdjustBlendRow(src, filtered, AdjustRow(destination, stride, y), width, weights.row(y));
    }
    return PE_OK_INPLACE;
}
