#pragma once
// The tile loop shared by the SSE2, AVX2 and AVX-512 kernels of the
// non-local means filter; each kernel file includes it with its own row
// operations. Every helper stays inside an unnamed namespace so that the
// builds of it for different instruction sets never meet at link time.
//
// For a target p, the filter averages the candidates q = p + d of the
// search window, each weighted by weights[min(SSD(p, q) >> shift, cap)],
// where SSD is the sum of squared differences over the template windows
// around p and q. SSD(p, p + d) == SSD(p + d, p), so one weight map per
// offset pair {d, -d} serves both: the loop visits half of the offsets,
// builds the map over the tile and the tile shifted by -d, and adds both
// candidates. Sums of squared differences are kept in saturating 16-bit
// lanes: the caller keeps cap << shift within 16 bits, so a saturated sum
// lands at or above the cap, where the weight is 0 anyway, and the weights
// stay exact.
//
// Ops provides, for rows of n pixels (n a multiple of IQNlmColumnStep):
//   diffRow<C>(a, b, d, n)           d = saturated sum over channels of (a - b)^2
//   boxRow(d, h, n, taps)            h[x] = saturated d[x] + ... + d[x + taps - 1]
//   weightRow(h, stride, taps, w, n, tile)
//                                    w[x] = weights[min(sum over taps rows of h >> shift, cap)]
//   startRow<C>(e, w0, den, num, n)  den = w0, num[c] = w0 * e[c] (the target itself)
//   accumulateRow<C>(wp, wm, ep, em, den, num, n)
//                                    den += wp + wm, num[c] += wp * ep[c] + wm * em[c]
//   finishRow<C>(den, num, out, n)   out[c] = (num[c] + den / 2) / den, unsigned
// The sums of a row may be kept in any order of the ops' choosing.
#include "IQNonLocalMeansKernel.h"

namespace {

inline int nlmRoundUp(int v, int step)
{
    return (v + step - 1) / step * step;
}

struct NlmScratch {
    int weightStride;   // 16-bit elements per row of the box-sum and weight maps
    int diffLength;     // 16-bit elements of the difference row
    size_t diffOffset, boxOffset, weightOffset, sumsOffset;
    size_t bytes;
};

inline size_t nlmAlign64(size_t v)
{
    return (v + 63) / 64 * 64;
}

inline NlmScratch nlmScratchLayout(int rows, int cols, int templateHalf, int searchHalf, int channels)
{
    NlmScratch s;
    s.weightStride = nlmRoundUp(cols + searchHalf, IQNlmColumnStep);
    s.diffLength = nlmRoundUp(s.weightStride + 2 * templateHalf, IQNlmColumnStep);
    const size_t boxRows = size_t(rows + searchHalf + 2 * templateHalf);
    const size_t weightRows = size_t(rows + searchHalf);
    s.diffOffset = 0;
    s.boxOffset = nlmAlign64(s.diffOffset + size_t(s.diffLength) * 2);
    s.weightOffset = nlmAlign64(s.boxOffset + boxRows * size_t(s.weightStride) * 2);
    s.sumsOffset = nlmAlign64(s.weightOffset + weightRows * size_t(s.weightStride) * 2);
    s.bytes = nlmAlign64(s.sumsOffset + size_t(1 + channels) * size_t(rows) * size_t(cols) * 4);
    return s;
}

// Taps: the template width when it is known at compile time (the common
// 7 x 7 window gets unrolled sums), else 0.
template <class Ops, int C, int Taps>
void nlmDenoiseTile(const IQNlmTile &t)
{
    const int th = Taps ? Taps / 2 : t.templateHalf;
    const int sh = t.searchHalf;
    const int taps = 2 * th + 1;
    const int border = th + sh;
    const int rows = t.rows;
    const int cols = t.cols;
    const int stride = t.sourceStride;
    const NlmScratch layout = nlmScratchLayout(rows, cols, th, sh, C);
    char *base = static_cast<char *>(t.scratch);
    uint16_t *diff = reinterpret_cast<uint16_t *>(base + layout.diffOffset);
    uint16_t *box = reinterpret_cast<uint16_t *>(base + layout.boxOffset);
    uint16_t *weight = reinterpret_cast<uint16_t *>(base + layout.weightOffset);
    int32_t *den = reinterpret_cast<int32_t *>(base + layout.sumsOffset);
    int32_t *num[C];
    for (int c = 0; c < C; ++c)
        num[c] = den + size_t(1 + c) * size_t(rows) * size_t(cols);
    const int ws = layout.weightStride;

    // The target itself, at distance 0.
    for (int i = 0; i < rows; ++i) {
        const uint8_t *e[C];
        int32_t *nrow[C];
        for (int c = 0; c < C; ++c) {
            e[c] = t.source[c] + size_t(border + i) * stride + border;
            nrow[c] = num[c] + size_t(i) * cols;
        }
        Ops::template startRow<C>(e, t.weights[0], den + size_t(i) * cols, nrow, cols);
    }

    for (int dy = 0; dy <= sh; ++dy) {
        for (int dx = dy == 0 ? 1 : -sh; dx <= sh; ++dx) {
            // The weight map covers the tile and the tile shifted by -d:
            // rows [-dy, rows), columns [-ox, -ox + wx) of the tile.
            const int ox = dx > 0 ? dx : 0;
            const int wx = cols + (dx < 0 ? -dx : dx);
            const int wy = rows + dy;
            const int nW = nlmRoundUp(wx, IQNlmColumnStep);
            const int nD = nlmRoundUp(nW + 2 * th, IQNlmColumnStep);
            const int offset = dy * stride + dx;
            for (int r = 0; r < wy + 2 * th; ++r) {
                const size_t at = size_t(border - dy - th + r) * stride + (border - ox - th);
                const uint8_t *a[C];
                const uint8_t *b[C];
                for (int c = 0; c < C; ++c) {
                    a[c] = t.source[c] + at;
                    b[c] = t.source[c] + at + offset;
                }
                Ops::template diffRow<C>(a, b, diff, nD);
                Ops::boxRow(diff, box + size_t(r) * ws, nW, taps);
            }
            for (int r = 0; r < wy; ++r)
                Ops::weightRow(box + size_t(r) * ws, ws, taps, weight + size_t(r) * ws, nW, t);
            for (int i = 0; i < rows; ++i) {
                // p + d for the first offset of the pair, p - d for the second.
                const uint16_t *wp = weight + size_t(i + dy) * ws + ox;
                const uint16_t *wm = weight + size_t(i) * ws + ox - dx;
                const uint8_t *ep[C];
                const uint8_t *em[C];
                int32_t *nrow[C];
                for (int c = 0; c < C; ++c) {
                    ep[c] = t.source[c] + size_t(border + i + dy) * stride + border + dx;
                    em[c] = t.source[c] + size_t(border + i - dy) * stride + border - dx;
                    nrow[c] = num[c] + size_t(i) * cols;
                }
                Ops::template accumulateRow<C>(wp, wm, ep, em, den + size_t(i) * cols, nrow, cols);
            }
        }
    }

    for (int i = 0; i < rows; ++i) {
        const int32_t *nrow[C];
        uint8_t *out[C];
        for (int c = 0; c < C; ++c) {
            nrow[c] = num[c] + size_t(i) * cols;
            out[c] = t.target[c] + size_t(i) * t.targetStride;
        }
        Ops::template finishRow<C>(den + size_t(i) * cols, nrow, out, cols);
    }
}

template <class Ops>
void nlmDenoiseTileWith(const IQNlmTile &t)
{
    if (t.templateHalf == 3) {
        if (t.channels == 2)
            nlmDenoiseTile<Ops, 2, 7>(t);
        else
            nlmDenoiseTile<Ops, 1, 7>(t);
    } else {
        if (t.channels == 2)
            nlmDenoiseTile<Ops, 2, 0>(t);
        else
            nlmDenoiseTile<Ops, 1, 0>(t);
    }
}

} // namespace
