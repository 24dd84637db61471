// AVX2 tile kernel of the non-local means filter; this file alone is built
// with -mavx2 and runs only after a run-time check of the processor.
#include <immintrin.h>

#include "IQNonLocalMeansTile.h"

namespace {

inline __m256i load16(const uint8_t *p)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
}

inline __m256i loadu(const void *p)
{
    return _mm256_loadu_si256(static_cast<const __m256i *>(p));
}

inline void storeu(void *p, __m256i v)
{
    _mm256_storeu_si256(static_cast<__m256i *>(p), v);
}

struct Avx2Ops {
    using V = __m256i;
    static constexpr int N = 16;
    static V load(const uint16_t *p) { return loadu(p); }
    static void store(uint16_t *p, V v) { storeu(p, v); }
    static V loadBytes(const uint8_t *p) { return load16(p); }
    static V adds(V a, V b) { return _mm256_adds_epu16(a, b); }
    static V add(V a, V b) { return _mm256_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V min(V a, V b) { return _mm256_min_epu16(a, b); }
    static V square(V e) { return _mm256_mullo_epi16(e, e); }
    static V set1(uint16_t v) { return _mm256_set1_epi16(short(v)); }
    static V zero() { return _mm256_setzero_si256(); }
    static constexpr bool kShiftInRegisters = true;
    // The high half of lo and the low half of hi.
    static V cross(V lo, V hi) { return _mm256_permute2x128_si256(lo, hi, 0x21); }
    template <int K>
    static V shiftedFrom(V cross, V lo)
    {
        return _mm256_alignr_epi8(cross, lo, 2 * K);
    }
    static V pairLow(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
    static V pairHigh(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
    static V madd(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V loadSums(const int32_t *p) { return loadu(p); }
    static void storeSums(int32_t *p, V v) { storeu(p, v); }

    // The 16-bit unpacks work within 128-bit halves, so the sums of a group
    // of 16 pixels are kept in the order 0-3, 8-11, 4-7, 12-15; packing the
    // two halves back together restores the pixel order.
    template <int C>
    static void startRow(const uint8_t *const *e, int32_t w0, int32_t *den, int32_t *const *num, int n)
    {
        const __m256i w = _mm256_set1_epi32(w0);
        const __m256i zero = _mm256_setzero_si256();
        for (int x = 0; x < n; x += 16) {
            storeu(den + x, w);
            storeu(den + x + 8, w);
            for (int c = 0; c < C; ++c) {
                const __m256i v = load16(e[c] + x);
                storeu(num[c] + x, _mm256_madd_epi16(_mm256_unpacklo_epi16(v, zero), w));
                storeu(num[c] + x + 8, _mm256_madd_epi16(_mm256_unpackhi_epi16(v, zero), w));
            }
        }
    }

    // (num + half) / den for 8 lanes; in double precision the quotient of
    // such 32-bit sums never rounds across a whole number.
    static __m256i divide(__m256i num, __m256i half, __m256i den)
    {
        const __m128i n0 = _mm256_castsi256_si128(num), n1 = _mm256_extracti128_si256(num, 1);
        const __m128i h0 = _mm256_castsi256_si128(half), h1 = _mm256_extracti128_si256(half, 1);
        const __m128i d0 = _mm256_castsi256_si128(den), d1 = _mm256_extracti128_si256(den, 1);
        const __m256d q0 = _mm256_div_pd(_mm256_add_pd(_mm256_cvtepi32_pd(n0), _mm256_cvtepi32_pd(h0)),
                                         _mm256_cvtepi32_pd(d0));
        const __m256d q1 = _mm256_div_pd(_mm256_add_pd(_mm256_cvtepi32_pd(n1), _mm256_cvtepi32_pd(h1)),
                                         _mm256_cvtepi32_pd(d1));
        return _mm256_set_m128i(_mm256_cvttpd_epi32(q1), _mm256_cvttpd_epi32(q0));
    }

    template <int C>
    static void finishRow(const int32_t *den, const int32_t *const *num, uint8_t *const *out, int n)
    {
        for (int x = 0; x < n; x += 16) {
            const __m256i dl = loadu(den + x);
            const __m256i dh = loadu(den + x + 8);
            const __m256i hl = _mm256_srli_epi32(dl, 1);
            const __m256i hh = _mm256_srli_epi32(dh, 1);
            for (int c = 0; c < C; ++c) {
                const __m256i words = _mm256_packus_epi32(divide(loadu(num[c] + x), hl, dl),
                                                          divide(loadu(num[c] + x + 8), hh, dh));
                const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(words, words), 0x08);
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out[c] + x), _mm256_castsi256_si128(bytes));
            }
        }
    }

    static void weightRow(const uint16_t *v, uint16_t *w, int n, const IQNlmTile &t)
    {
        if (t.cap < 256)
            weightRowBytes(v, w, n, t);
        else
            weightRowGather(v, w, n, t);
    }

    static __m256i table16(const uint8_t *bytes)
    {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes)));
    }

    // Bins below 256 as bytes, looked up 16 at a time with byte shuffles on
    // the low and the high bytes of the weights: faster than gathers. Smooth
    // pictures keep most distances in the first block of 16 bins. Every
    // group of 32 pixels takes that block; the groups with bins past it are
    // listed and done again afterwards, all as far as the furthest block any
    // of them needs, so that no loop length depends on the group.
    static void weightRowBytes(const uint16_t *v, uint16_t *w, int n, const IQNlmTile &t)
    {
        constexpr int kChunk = 512;
        for (int x0 = 0; x0 < n; x0 += kChunk)
            weightChunkBytes(v + x0, w + x0, n - x0 < kChunk ? n - x0 : kChunk, t);
    }

    static void weightChunkBytes(const uint16_t *v, uint16_t *w, int n, const IQNlmTile &t)
    {
        alignas(32) uint8_t bins[512];
        int listed[16];
        int count = 0;
        const __m256i capv = _mm256_set1_epi16(short(t.cap));
        const __m128i sh = _mm_cvtsi32_si128(t.shift);
        const __m256i capBytes = _mm256_set1_epi8(char(t.cap));
        const __m256i below16 = _mm256_set1_epi8(15);
        // A shuffle picks entry (i & 15) while bit 7 of i is clear and gives 0
        // otherwise. Each block takes 16 off the bins; adding 0x70 with
        // saturation then leaves bit 7 clear for the bins of this block only
        // (those of earlier blocks have wrapped round to 240 and up).
        const __m256i bias = _mm256_set1_epi8(0x70);
        const __m256i low0 = table16(t.weightsLow);
        const __m256i high0 = t.highBlocks > 0 ? table16(t.weightsHigh) : _mm256_setzero_si256();
        __m256i most = _mm256_setzero_si256();
        for (int x = 0; x < n; x += 32) {
            const __m256i b0 = _mm256_min_epu16(_mm256_srl_epi16(loadu(v + x), sh), capv);
            const __m256i b1 = _mm256_min_epu16(_mm256_srl_epi16(loadu(v + x + 16), sh), capv);
            // Bytes in the order 0-7 of b0, 0-7 of b1, 8-15 of b0, 8-15 of b1;
            // unpacking low and high bytes below restores b0's and b1's order.
            const __m256i index = _mm256_packus_epi16(b0, b1);
            const __m256i pick = _mm256_adds_epu8(index, bias);
            const __m256i low = _mm256_shuffle_epi8(low0, pick);
            const __m256i high = _mm256_shuffle_epi8(high0, pick);
            storeu(w + x, _mm256_unpacklo_epi8(low, high));
            storeu(w + x + 16, _mm256_unpackhi_epi8(low, high));
            // Bins at the cap weigh 0, which every block gives them.
            const __m256i live = _mm256_andnot_si256(_mm256_cmpeq_epi8(index, capBytes), index);
            const __m256i past = _mm256_subs_epu8(live, below16);
            storeu(bins + x, index);
            most = _mm256_max_epu8(most, live);
            listed[count] = x;
            count += _mm256_testz_si256(past, past) ? 0 : 1;
        }
        if (count == 0)
            return;
        __m128i m = _mm_max_epu8(_mm256_castsi256_si128(most), _mm256_extracti128_si256(most, 1));
        m = _mm_max_epu8(m, _mm_srli_si128(m, 8));
        m = _mm_max_epu8(m, _mm_srli_si128(m, 4));
        m = _mm_max_epu8(m, _mm_srli_si128(m, 2));
        m = _mm_max_epu8(m, _mm_srli_si128(m, 1));
        const int blocks = (_mm_cvtsi128_si32(m) & 0xFF) / 16 + 1;
        redoBlocks(bins, listed, count, blocks, w, t);
    }

    // The listed groups again, two at a time so that each block's tables
    // serve both; the blocks with high bytes first.
    static void redoBlocks(const uint8_t *bins, const int *listed, int count, int blocks, uint16_t *w,
                           const IQNlmTile &t)
    {
        const __m256i bias = _mm256_set1_epi8(0x70);
        const __m256i step = _mm256_set1_epi8(16);
        const __m256i low0 = table16(t.weightsLow);
        const __m256i high0 = t.highBlocks > 0 ? table16(t.weightsHigh) : _mm256_setzero_si256();
        const int withHigh = blocks < t.highBlocks ? blocks : (t.highBlocks > 1 ? t.highBlocks : 1);
        for (int k = 0; k < count; k += 2) {
            const int xa = listed[k];
            const int xb = listed[k + 1 < count ? k + 1 : k];
            __m256i ia = loadu(bins + xa);
            __m256i ib = loadu(bins + xb);
            __m256i pa = _mm256_adds_epu8(ia, bias);
            __m256i pb = _mm256_adds_epu8(ib, bias);
            __m256i la = _mm256_shuffle_epi8(low0, pa), lb = _mm256_shuffle_epi8(low0, pb);
            __m256i ha = _mm256_shuffle_epi8(high0, pa), hb = _mm256_shuffle_epi8(high0, pb);
            int b = 1;
            for (; b < withHigh; ++b) {
                ia = _mm256_sub_epi8(ia, step);
                ib = _mm256_sub_epi8(ib, step);
                pa = _mm256_adds_epu8(ia, bias);
                pb = _mm256_adds_epu8(ib, bias);
                const __m256i tl = table16(t.weightsLow + 16 * b);
                const __m256i th = table16(t.weightsHigh + 16 * b);
                la = _mm256_or_si256(la, _mm256_shuffle_epi8(tl, pa));
                lb = _mm256_or_si256(lb, _mm256_shuffle_epi8(tl, pb));
                ha = _mm256_or_si256(ha, _mm256_shuffle_epi8(th, pa));
                hb = _mm256_or_si256(hb, _mm256_shuffle_epi8(th, pb));
            }
            for (; b < blocks; ++b) {
                ia = _mm256_sub_epi8(ia, step);
                ib = _mm256_sub_epi8(ib, step);
                const __m256i tl = table16(t.weightsLow + 16 * b);
                la = _mm256_or_si256(la, _mm256_shuffle_epi8(tl, _mm256_adds_epu8(ia, bias)));
                lb = _mm256_or_si256(lb, _mm256_shuffle_epi8(tl, _mm256_adds_epu8(ib, bias)));
            }
            storeu(w + xa, _mm256_unpacklo_epi8(la, ha));
            storeu(w + xa + 16, _mm256_unpackhi_epi8(la, ha));
            storeu(w + xb, _mm256_unpacklo_epi8(lb, hb));
            storeu(w + xb + 16, _mm256_unpackhi_epi8(lb, hb));
        }
    }

    static void weightRowGather(const uint16_t *v, uint16_t *w, int n, const IQNlmTile &t)
    {
        const auto *weights = t.weights;
        const int cap = t.cap;
        const int shift = t.shift;
        const __m256i capv = _mm256_set1_epi16(short(cap));
        const __m128i sh = _mm_cvtsi32_si128(shift);
        for (int x = 0; x < n; x += 16) {
            const __m256i bin = _mm256_min_epu16(_mm256_srl_epi16(loadu(v + x), sh), capv);
            // Far from every candidate: nothing to look up.
            if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(bin, capv)) == -1) {
                storeu(w + x, _mm256_setzero_si256());
                continue;
            }
            const __m256i lo = _mm256_i32gather_epi32(weights, _mm256_cvtepu16_epi32(_mm256_castsi256_si128(bin)), 4);
            const __m256i hi = _mm256_i32gather_epi32(weights, _mm256_cvtepu16_epi32(_mm256_extracti128_si256(bin, 1)), 4);
            storeu(w + x, _mm256_permute4x64_epi64(_mm256_packus_epi32(lo, hi), 0xD8));
        }
    }
};

} // namespace

void IQNlmDenoiseTileAvx2(const IQNlmTile &tile)
{
    nlmDenoiseTileWith<Avx2Ops>(tile);
}
