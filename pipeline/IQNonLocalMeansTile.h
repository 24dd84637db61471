#pragma once
// The tile loop shared by the SSE2, AVX2 and AVX-512 kernels of the
// non-local means filter; each kernel file includes it with its own vector
// operations. Every helper stays inside an unnamed namespace so that the
// builds of it for different instruction sets never meet at link time.
//
// For a target p, the filter averages the candidates q = p + d of the
// search window, each weighted by weights[min(SSD(p, q) >> shift, cap)],
// where SSD is the sum of squared differences over the template windows
// around p and q. SSD(p, p + d) == SSD(p + d, p), so one weight map per
// offset pair {d, -d} serves both: the loop visits half of the offsets and
// adds both candidates of each.
//
// The map of a pair is made row by row and never held whole: a row of
// squared differences (the last `taps` rows of them are kept), their
// vertical template sums, the horizontal sums of those, and the weights of
// the last dy + 2 map rows, which is what target row i needs (map rows
// i + dy and i). All of that stays in the level-1 cache; only the sums of
// the targets do not. Summing down the columns first leaves the horizontal
// sums to the map rows alone, not to the template rows above and below.
//
// Sums are kept in 16-bit lanes. Every squared difference and every
// template sum is clamped to T = cap << shift (the caller keeps T within
// 16 bits): a clamped term alone puts both the true and the clamped sum at
// or above T, where the weight is 0, so the weights stay exact. When
// taps * T fits in 16 bits, the vertical sum is kept running (add the new
// row, take off the oldest) in wrapping arithmetic, exact because the true
// value fits; otherwise the taps rows are added up with saturation each
// time. The horizontal sums add with saturation.
//
// Ops provides vectors V of N 16-bit lanes (load, store, loadBytes to widen
// N bytes, adds and add with and without saturation, sub, min unsigned,
// square of a difference, set1, zero; where kShiftInRegisters says that it
// beats loading at an offset, cross(lo, hi), the lanes of lo and hi that a
// shift of lo takes, and shiftedFrom<k>(cross, lo), lanes k.. of lo and the
// first k of hi), the same vectors as N / 2 32-bit
// lanes for the sums (pairLow and pairHigh interleave the 16-bit lanes of
// two vectors, madd multiplies such pairs and adds each pair up, add32,
// loadSums, storeSums), and for rows of n pixels (n a multiple of
// IQNlmColumnStep):
//   weightRow(v, w, n, tile)         w[x] = weights[min(v[x] >> shift, cap)]
//   startRow<C>(e, w0, den, num, n)  den = w0, num[c] = w0 * e[c] (the target itself)
//   finishRow<C>(den, num, out, n)   out[c] = (num[c] + den / 2) / den, unsigned
// The sums of N pixels are kept in the order of pairLow's then pairHigh's
// lanes, which startRow and finishRow follow.
#include "IQNonLocalMeansKernel.h"

namespace {

inline int nlmRoundUp(int v, int step)
{
    return (v + step - 1) / step * step;
}

inline size_t nlmAlign64(size_t v)
{
    return (v + 63) / 64 * 64;
}

// Columns that the horizontal sums may read past a row of vertical sums;
// what they find there does not reach any weight.
constexpr int kNlmRowPadding = 64;

struct NlmScratch {
    int width;          // 16-bit elements per row of the map rows
    int columnStride;   // 16-bit elements per row of differences and vertical sums
    size_t diffOffset, columnOffset, runOffset, weightOffset, sumsOffset;
    size_t bytes;
};

inline NlmScratch nlmScratchLayout(int rows, int cols, int templateHalf, int searchHalf, int channels)
{
    NlmScratch s;
    const int taps = 2 * templateHalf + 1;
    s.width = nlmRoundUp(cols + searchHalf, IQNlmColumnStep);
    s.columnStride = nlmRoundUp(s.width + 2 * templateHalf, IQNlmColumnStep) + kNlmRowPadding;
    // Rows for two pairs at a time.
    s.diffOffset = 0;
    s.columnOffset = nlmAlign64(s.diffOffset + 2 * size_t(taps) * size_t(s.columnStride) * 2);
    s.runOffset = nlmAlign64(s.columnOffset + 2 * 2 * size_t(s.columnStride) * 2);
    s.weightOffset = nlmAlign64(s.runOffset + 2 * size_t(s.width) * 2);
    s.sumsOffset = nlmAlign64(s.weightOffset + 2 * size_t(searchHalf + 2) * size_t(s.width) * 2);
    s.bytes = nlmAlign64(s.sumsOffset + size_t(1 + channels) * size_t(rows) * size_t(cols) * 4);
    return s;
}

// d = min(sum over channels of (a - b)^2, clamp) goes to the ring slot of
// this row; the vertical sums of the ring follow: running, from those of
// the row before (prev) less the slot's old row, or added up afresh.
template <class Ops, int C>
inline void nlmDiffColumnRow(const uint8_t *const *a, const uint8_t *const *b, uint16_t *ring, int ringStride,
                             int slot, int taps, const uint16_t *prev, uint16_t *column, int n,
                             typename Ops::V clamp, bool running)
{
    using V = typename Ops::V;
    uint16_t *row = ring + size_t(slot) * size_t(ringStride);
#pragma GCC unroll 2
    for (int x = 0; x < n; x += Ops::N) {
        V s = Ops::square(Ops::sub(Ops::loadBytes(a[0] + x), Ops::loadBytes(b[0] + x)));
        for (int c = 1; c < C; ++c)
            s = Ops::adds(s, Ops::square(Ops::sub(Ops::loadBytes(a[c] + x), Ops::loadBytes(b[c] + x))));
        const V d = Ops::min(s, clamp);
        if (running) {
            const V old = Ops::load(row + x);
            Ops::store(row + x, d);
            Ops::store(column + x, Ops::sub(Ops::add(Ops::load(prev + x), d), old));
        } else {
            Ops::store(row + x, d);
            V v = d;
            for (int k = 0; k < taps; ++k)
                if (k != slot)
                    v = Ops::adds(v, Ops::load(ring + size_t(k) * size_t(ringStride) + x));
            Ops::store(column + x, v);
        }
    }
}

// The 7-wide horizontal sums of a row of vertical sums, one vector of N
// after the other, from sums of 2 and of 4 neighbours: box(x) = s4(x) +
// s2(x + 4) + v(x + 6), s4(x) = s2(x) + s2(x + 2), s2(x) = v(x) + v(x + 1).
// Reads 2 N columns past the last vector.
template <class Ops>
struct NlmBox7 {
    using V = typename Ops::V;
    V a, b, ab, s2a; // ab: the lanes of a and b that a shift of a needs

    explicit NlmBox7(const uint16_t *v)
        : a(Ops::load(v)), b(Ops::load(v + Ops::N)), ab(Ops::cross(a, b)),
          s2a(Ops::adds(a, Ops::template shiftedFrom<1>(ab, a)))
    {
    }

    // The sums of the next vector; ahead points 2 N past it.
    V next(const uint16_t *ahead, V clamp)
    {
        const V c = Ops::load(ahead);
        const V bc = Ops::cross(b, c);
        const V s2b = Ops::adds(b, Ops::template shiftedFrom<1>(bc, b));
        const V s2ab = Ops::cross(s2a, s2b);
        const V s4 = Ops::adds(s2a, Ops::template shiftedFrom<2>(s2ab, s2a));
        const V box = Ops::adds(Ops::adds(s4, Ops::template shiftedFrom<4>(s2ab, s2a)),
                                Ops::template shiftedFrom<6>(ab, a));
        a = b;
        b = c;
        ab = bc;
        s2a = s2b;
        return Ops::min(box, clamp);
    }
};

// min(d[0] + ... + d[taps - 1], clamp), added with saturation.
template <class Ops, int Taps>
inline typename Ops::V nlmBox(const uint16_t *d, int taps, typename Ops::V clamp)
{
    using V = typename Ops::V;
    V s;
    if (Taps == 7) {
        const V a = Ops::adds(Ops::load(d), Ops::load(d + 1));
        const V b = Ops::adds(Ops::load(d + 2), Ops::load(d + 3));
        const V c = Ops::adds(Ops::load(d + 4), Ops::load(d + 5));
        s = Ops::adds(Ops::adds(a, b), Ops::adds(c, Ops::load(d + 6)));
    } else {
        s = Ops::load(d);
        V u = Ops::zero();
        int k = 1;
        for (; k + 1 < taps; k += 2) {
            s = Ops::adds(s, Ops::load(d + k));
            u = Ops::adds(u, Ops::load(d + k + 1));
        }
        if (k < taps)
            s = Ops::adds(s, Ops::load(d + k));
        s = Ops::adds(s, u);
    }
    return Ops::min(s, clamp);
}

// out = the horizontal template sums of the vertical sums v.
template <class Ops, int Taps>
inline void nlmBoxRow(const uint16_t *v, uint16_t *out, int n, int taps, typename Ops::V clamp)
{
    if constexpr (Taps == 7 && Ops::kShiftInRegisters) {
        NlmBox7<Ops> box(v);
#pragma GCC unroll 2
        for (int x = 0; x < n; x += Ops::N)
            Ops::store(out + x, box.next(v + x + 2 * Ops::N, clamp));
    } else {
        for (int x = 0; x < n; x += Ops::N)
            Ops::store(out + x, nlmBox<Ops, Taps>(v + x, taps, clamp));
    }
}

// den += wp + wm, num[c] += wp * ep[c] + wm * em[c] for each of the K
// offset pairs, the sums loaded and stored once.
template <class Ops, int C, int K>
inline void nlmAccumulateRow(const uint16_t *const *wp, const uint16_t *const *wm,
                             const uint8_t *const (*ep)[C], const uint8_t *const (*em)[C], int32_t *den,
                             int32_t *const *num, int n)
{
    using V = typename Ops::V;
    constexpr int half = Ops::N / 2;
    const V ones = Ops::set1(1);
#pragma GCC unroll 2
    for (int x = 0; x < n; x += Ops::N) {
        V lo[K], hi[K];
        V dl = Ops::loadSums(den + x);
        V dh = Ops::loadSums(den + x + half);
#pragma GCC unroll 2
        for (int k = 0; k < K; ++k) {
            const V a = Ops::load(wp[k] + x);
            const V b = Ops::load(wm[k] + x);
            lo[k] = Ops::pairLow(a, b);
            hi[k] = Ops::pairHigh(a, b);
            dl = Ops::add32(dl, Ops::madd(lo[k], ones));
            dh = Ops::add32(dh, Ops::madd(hi[k], ones));
        }
        Ops::storeSums(den + x, dl);
        Ops::storeSums(den + x + half, dh);
#pragma GCC unroll 2
        for (int c = 0; c < C; ++c) {
            V nl = Ops::loadSums(num[c] + x);
            V nh = Ops::loadSums(num[c] + x + half);
#pragma GCC unroll 2
            for (int k = 0; k < K; ++k) {
                const V p = Ops::loadBytes(ep[k][c] + x);
                const V m = Ops::loadBytes(em[k][c] + x);
                nl = Ops::add32(nl, Ops::madd(lo[k], Ops::pairLow(p, m)));
                nh = Ops::add32(nh, Ops::madd(hi[k], Ops::pairHigh(p, m)));
            }
            Ops::storeSums(num[c] + x, nl);
            Ops::storeSums(num[c] + x + half, nh);
        }
    }
}

// The per-pair part of the map: the last taps rows of differences, two
// rows of vertical sums (this row's and the one before), a row of
// horizontal sums, and the last dy + 2 rows of weights.
struct NlmPairRows {
    uint16_t *ring;
    uint16_t *column[2];
    uint16_t *run;
    uint16_t *weight;
};

// K offset pairs of one dy, dx0 and the next K - 1, side by side: each
// makes its own map, and target row i adds up all of them at once.
template <class Ops, int C, int Taps, int K>
inline void nlmPairs(const IQNlmTile &t, int dy, int dx0, const NlmPairRows *pairRows, int ws, int cs,
                     int32_t *den, int32_t *const *num, typename Ops::V clamp, bool running)
{
    const int th = Taps ? Taps / 2 : t.templateHalf;
    const int sh = t.searchHalf;
    const int taps = 2 * th + 1;
    const int border = th + sh;
    const int rows = t.rows;
    const int cols = t.cols;
    const int stride = t.sourceStride;
    const int depth = dy + 2; // weight rows kept

    // Map row m, column j of pair d is the SSD of the patch at tile row
    // m - dy, column j - ox, against the patch d away; rows [0, rows + dy),
    // columns [0, wx) cover the tile and the tile shifted by -d.
    int ox[K], nW[K], nD[K];
    for (int k = 0; k < K; ++k) {
        const int dx = dx0 + k;
        ox[k] = dx > 0 ? dx : 0;
        nW[k] = nlmRoundUp(cols + (dx < 0 ? -dx : dx), IQNlmColumnStep);
        nD[k] = nlmRoundUp(nW[k] + 2 * th, Ops::N);
        // The rows before the first hold nothing.
        for (int r = 0; r < taps; ++r)
            for (int x = 0; x < nD[k]; x += Ops::N)
                Ops::store(pairRows[k].ring + size_t(r) * cs + x, Ops::zero());
        for (int x = 0; x < nD[k]; x += Ops::N)
            Ops::store(pairRows[k].column[1] + x, Ops::zero());
    }
    // A row is made in three steps, one iteration apart: its differences and
    // vertical sums, then its horizontal sums and weights, then the targets
    // it serves. Each step thus reads rows whose stores have long reached
    // the cache: loading freshly stored data at another offset would wait
    // for the stores.
    const int diffRows = rows + dy + 2 * th;
    for (int r = 0; r < diffRows + 2; ++r) {
        if (r < diffRows) {
            // Difference row r is template row r - th of map row r - 2 th.
            const int slot = r % taps;
            for (int k = 0; k < K; ++k) {
                const size_t at = size_t(border - dy - th + r) * stride + (border - ox[k] - th);
                const int offset = dy * stride + dx0 + k;
                const uint8_t *a[C];
                const uint8_t *b[C];
                for (int c = 0; c < C; ++c) {
                    a[c] = t.source[c] + at;
                    b[c] = t.source[c] + at + offset;
                }
                nlmDiffColumnRow<Ops, C>(a, b, pairRows[k].ring, cs, slot, taps, pairRows[k].column[(r + 1) & 1],
                                         pairRows[k].column[r & 1], nD[k], clamp, running);
            }
        }
        const int rb = r - 1;
        const int mb = rb - 2 * th;
        if (mb >= 0 && rb < diffRows) {
            for (int k = 0; k < K; ++k) {
                nlmBoxRow<Ops, Taps>(pairRows[k].column[rb & 1], pairRows[k].run, nW[k], taps, clamp);
                Ops::weightRow(pairRows[k].run, pairRows[k].weight + size_t(mb % depth) * ws, nW[k], t);
            }
        }
        const int m = r - 2 - 2 * th;
        const int i = m - dy;
        if (i < 0)
            continue;
        // p + d takes map row i + dy, p - d map row i.
        const uint16_t *wp[K];
        const uint16_t *wm[K];
        const uint8_t *ep[K][C];
        const uint8_t *em[K][C];
        for (int k = 0; k < K; ++k) {
            const int dx = dx0 + k;
            wp[k] = pairRows[k].weight + size_t(m % depth) * ws + ox[k];
            wm[k] = pairRows[k].weight + size_t(i % depth) * ws + ox[k] - dx;
            for (int c = 0; c < C; ++c) {
                ep[k][c] = t.source[c] + size_t(border + i + dy) * stride + border + dx;
                em[k][c] = t.source[c] + size_t(border + i - dy) * stride + border - dx;
            }
        }
        int32_t *nrow[C];
        for (int c = 0; c < C; ++c)
            nrow[c] = num[c] + size_t(i) * cols;
        nlmAccumulateRow<Ops, C, K>(wp, wm, ep, em, den + size_t(i) * cols, nrow, cols);
    }
}

// Taps: the template width when it is known at compile time (the common
// 7 x 7 window gets unrolled sums), else 0.
template <class Ops, int C, int Taps>
void nlmDenoiseTile(const IQNlmTile &t)
{
    using V = typename Ops::V;
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
    uint16_t *column = reinterpret_cast<uint16_t *>(base + layout.columnOffset);
    uint16_t *run = reinterpret_cast<uint16_t *>(base + layout.runOffset);
    uint16_t *weight = reinterpret_cast<uint16_t *>(base + layout.weightOffset);
    int32_t *den = reinterpret_cast<int32_t *>(base + layout.sumsOffset);
    int32_t *num[C];
    for (int c = 0; c < C; ++c)
        num[c] = den + size_t(1 + c) * size_t(rows) * size_t(cols);
    const int ws = layout.width;
    const int cs = layout.columnStride;
    const unsigned limit = unsigned(t.cap) << t.shift;
    const V clamp = Ops::set1(uint16_t(limit));
    const bool running = unsigned(taps) * limit <= 0xFFFFu;

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

    // Two pairs at a time halve the traffic of the target sums.
    NlmPairRows pairRows[2];
    for (int k = 0; k < 2; ++k)
        pairRows[k] = {diff + size_t(k) * taps * cs,
                       {column + size_t(2 * k) * cs, column + size_t(2 * k + 1) * cs},
                       run + size_t(k) * ws,
                       weight + size_t(k) * (sh + 2) * ws};
    for (int dy = 0; dy <= sh; ++dy) {
        int dx = dy == 0 ? 1 : -sh;
        for (; dx + 1 <= sh; dx += 2)
            nlmPairs<Ops, C, Taps, 2>(t, dy, dx, pairRows, ws, cs, den, num, clamp, running);
        if (dx <= sh)
            nlmPairs<Ops, C, Taps, 1>(t, dy, dx, pairRows, ws, cs, den, num, clamp, running);
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
