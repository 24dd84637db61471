#pragma once
// Row kernels of the halving pyramid, shared by the single-plane entry points
// and the blurs. C is the number of interleaved channels in a row (1 for a
// plane, 3 for packed blue, green, red); channels never mix.
#include <cstdint>

#include "AdjustKernelArgs.h"

namespace pyramid {

inline int halve(int n)
{
    return (n + 1) >> 1;
}

// Input rows of output row i of a reduce over n rows: 1:1 at the first and
// (for odd n) the last output, 1:2:1 between. A 1-row input uses its only
// row twice. r2 < 0 marks a 1:1 pair; the return is the log2 of the weight.
inline int reduceTaps(int i, int n, int& r0, int& r1, int& r2)
{
    if (i == 0) {
        r0 = 0;
        r1 = n > 1 ? 1 : 0;
        r2 = -1;
        return 1;
    }
    if ((n & 1) && i == (n >> 1)) {
        r0 = n - 2;
        r1 = n - 1;
        r2 = -1;
        return 1;
    }
    r0 = 2 * i - 1;
    r1 = 2 * i;
    r2 = 2 * i + 1;
    return 2;
}

// One output row of a reduce: rows a, b (and c for 1:2:1, else null) of an
// input w pixels wide into ceil(w/2) output pixels. sums holds w * C values.
template <int C>
ADJUST_ROW_INLINE void reduceRow(const uint8_t* __restrict a, const uint8_t* __restrict b, const uint8_t* __restrict c,
                      int rowShift, int w, uint16_t* __restrict sums, uint8_t* __restrict out)
{
    const int n = w * C;
    if (c) {
        for (int i = 0; i < n; ++i)
            sums[i] = static_cast<uint16_t>(a[i] + 2 * b[i] + c[i]);
    } else {
        for (int i = 0; i < n; ++i)
            sums[i] = static_cast<uint16_t>(a[i] + b[i]);
    }
    const int pairShift = rowShift + 1, tripleShift = rowShift + 2;
    for (int ch = 0; ch < C; ++ch) {
        const int second = w > 1 ? C : 0;
        out[ch] = static_cast<uint8_t>((sums[ch] + sums[second + ch]) >> pairShift);
    }
    const int half = w >> 1;
    for (int j = 1; j < half; ++j) {
        const uint16_t* s = sums + (2 * j - 1) * C;
        uint8_t* o = out + j * C;
        for (int ch = 0; ch < C; ++ch)
            o[ch] = static_cast<uint8_t>((s[ch] + 2 * s[C + ch] + s[2 * C + ch]) >> tripleShift);
    }
    if ((w & 1) && half > 0) {
        const uint16_t* s = sums + (w - 2) * C;
        uint8_t* o = out + half * C;
        for (int ch = 0; ch < C; ++ch)
            o[ch] = static_cast<uint8_t>((s[ch] + s[C + ch]) >> pairShift);
    }
}

// Output row of an expand from a small plane of ceil(w/2) pixels to w pixels.
// With s1 null the row is the small row s0 widened; otherwise it lies between
// small rows s0 and s1.
template <int C>
ADJUST_ROW_INLINE void expandRow(const uint8_t* __restrict s0, const uint8_t* __restrict s1, int w,
                      uint8_t* __restrict out)
{
    const int sw = halve(w);
    if (!s1) {
        for (int x = 0; x + 1 < sw; ++x)
            for (int ch = 0; ch < C; ++ch) {
                const int v0 = s0[x * C + ch], v1 = s0[(x + 1) * C + ch];
                out[2 * x * C + ch] = static_cast<uint8_t>(v0);
                out[(2 * x + 1) * C + ch] = static_cast<uint8_t>((v0 + v1) >> 1);
            }
        const int x = sw - 1;
        for (int ch = 0; ch < C; ++ch) {
            out[2 * x * C + ch] = s0[x * C + ch];
            if (2 * x + 1 < w)
                out[(2 * x + 1) * C + ch] = s0[x * C + ch];
        }
        return;
    }
    for (int x = 0; x + 1 < sw; ++x)
        for (int ch = 0; ch < C; ++ch) {
            const int v0 = s0[x * C + ch] + s1[x * C + ch];
            const int v1 = s0[(x + 1) * C + ch] + s1[(x + 1) * C + ch];
            out[2 * x * C + ch] = static_cast<uint8_t>(v0 >> 1);
            out[(2 * x + 1) * C + ch] = static_cast<uint8_t>((v0 + v1) >> 2);
        }
    const int x = sw - 1;
    for (int ch = 0; ch < C; ++ch) {
        const uint8_t v = static_cast<uint8_t>((s0[x * C + ch] + s1[x * C + ch]) >> 1);
        out[2 * x * C + ch] = v;
        if (2 * x + 1 < w)
            out[(2 * x + 1) * C + ch] = v;
    }
}

// The small rows behind output row y of an expand to h rows (s1 null: none).
inline void expandSources(int y, int h, int& small0, int& small1)
{
    small0 = y >> 1;
    small1 = ((y & 1) && small0 + 1 < halve(h)) ? small0 + 1 : -1;
}

// Horizontal 1:2:1 pass of the smoothing filters over the interior columns
// 1 .. w - 2, with the shift given.
template <int C, typename In, typename Out>
ADJUST_ROW_INLINE void horizontal121(const In* __restrict in, int w, int shift, Out* __restrict out)
{
    const int end = (w - 1) * C;
    for (int i = C; i < end; ++i)
        out[i] = static_cast<Out>((in[i - C] + 2 * in[i] + in[i + C]) >> shift);
}

} // namespace pyramid
