// AVX-512 tile kernel of the non-local means filter; this file alone is
// built with AVX-512 F and BW and runs only after a run-time check of the
// processor. Its weight look-up is three 16-bit permutes instead of gathers.
// GCC 12's AVX-512 intrinsics start some results from a deliberately
// undefined register and then warn about it once inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include "IQNonLocalMeansTile.h"

namespace {

inline __m512i load32(const uint8_t *p)
{
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(p)));
}

inline __m512i loadu(const void *p)
{
    return _mm512_loadu_si512(p);
}

inline void storeu(void *p, __m512i v)
{
    _mm512_storeu_si512(p, v);
}

struct Avx512Ops {
    using V = __m512i;
    static constexpr int N = 32;
    static V load(const uint16_t *p) { return loadu(p); }
    static void store(uint16_t *p, V v) { storeu(p, v); }
    static V loadBytes(const uint8_t *p) { return load32(p); }
    static V adds(V a, V b) { return _mm512_adds_epu16(a, b); }
    static V add(V a, V b) { return _mm512_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm512_sub_epi16(a, b); }
    static V min(V a, V b) { return _mm512_min_epu16(a, b); }
    static V square(V e) { return _mm512_mullo_epi16(e, e); }
    static V set1(uint16_t v) { return _mm512_set1_epi16(short(v)); }
    static V zero() { return _mm512_setzero_si512(); }
    static constexpr bool kShiftInRegisters = true;
    // The byte shift works within 128-bit lanes: each lane is joined with
    // the next one, the last with hi's first.
    static V cross(V lo, V hi) { return _mm512_alignr_epi32(hi, lo, 4); }
    template <int K>
    static V shiftedFrom(V cross, V lo)
    {
        return _mm512_alignr_epi8(cross, lo, 2 * K);
    }
    static V pairLow(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
    static V pairHigh(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
    static V madd(V a, V b) { return _mm512_madd_epi16(a, b); }
    static V add32(V a, V b) { return _mm512_add_epi32(a, b); }
    static V loadSums(const int32_t *p) { return loadu(p); }
    static void storeSums(int32_t *p, V v) { storeu(p, v); }

    // The 16-bit unpacks work within 128-bit quarters: of a group of 32
    // pixels, the even quads keep their sums in the first 16 slots and the
    // odd quads in the last 16; packing the two halves back together
    // restores the pixel order.
    template <int C>
    static void startRow(const uint8_t *const *e, int32_t w0, int32_t *den, int32_t *const *num, int n)
    {
        const __m512i w = _mm512_set1_epi32(w0);
        const __m512i zero = _mm512_setzero_si512();
        for (int x = 0; x < n; x += 32) {
            storeu(den + x, w);
            storeu(den + x + 16, w);
            for (int c = 0; c < C; ++c) {
                const __m512i v = load32(e[c] + x);
                storeu(num[c] + x, _mm512_madd_epi16(_mm512_unpacklo_epi16(v, zero), w));
                storeu(num[c] + x + 16, _mm512_madd_epi16(_mm512_unpackhi_epi16(v, zero), w));
            }
        }
    }

    // (num + half) / den for 16 lanes; in double precision the quotient of
    // such 32-bit sums never rounds across a whole number.
    static __m512i divide(__m512i num, __m512i half, __m512i den)
    {
        __m512i q = _mm512_setzero_si512();
        const __m256i q0 = _mm512_cvttpd_epi32(_mm512_div_pd(
            _mm512_add_pd(_mm512_cvtepi32_pd(_mm512_castsi512_si256(num)), _mm512_cvtepi32_pd(_mm512_castsi512_si256(half))),
            _mm512_cvtepi32_pd(_mm512_castsi512_si256(den))));
        const __m256i q1 = _mm512_cvttpd_epi32(_mm512_div_pd(
            _mm512_add_pd(_mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(num, 1)),
                          _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(half, 1))),
            _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(den, 1))));
        q = _mm512_inserti64x4(q, q0, 0);
        return _mm512_inserti64x4(q, q1, 1);
    }

    template <int C>
    static void finishRow(const int32_t *den, const int32_t *const *num, uint8_t *const *out, int n)
    {
        for (int x = 0; x < n; x += 32) {
            const __m512i dl = loadu(den + x);
            const __m512i dh = loadu(den + x + 16);
            const __m512i hl = _mm512_srli_epi32(dl, 1);
            const __m512i hh = _mm512_srli_epi32(dh, 1);
            for (int c = 0; c < C; ++c) {
                const __m512i words = _mm512_packus_epi32(divide(loadu(num[c] + x), hl, dl),
                                                          divide(loadu(num[c] + x + 16), hh, dh));
                _mm256_storeu_si256(reinterpret_cast<__m256i *>(out[c] + x), _mm512_cvtusepi16_epi8(words));
            }
        }
    }

    static void weightRow(const uint16_t *h, uint16_t *w, int n, const IQNlmTile &t)
    {
        const auto *weights = t.weights16;
        const int cap = t.cap;
        const int shift = t.shift;
        const __m512i capv = _mm512_set1_epi16(short(cap));
        const __m128i sh = _mm_cvtsi32_si128(shift);
        // Blocks of 64 weights, each looked up with one two-register permute;
        // the first three (every bin of the usual strengths) stay in registers.
        const int blocks = cap / 64 + 1;
        const __m512i t0 = loadu(weights), t1 = loadu(weights + 32);
        const __m512i t2 = loadu(weights + (blocks > 1 ? 64 : 0)), t3 = loadu(weights + (blocks > 1 ? 96 : 0));
        const __m512i t4 = loadu(weights + (blocks > 2 ? 128 : 0)), t5 = loadu(weights + (blocks > 2 ? 160 : 0));
        const __m512i from64 = _mm512_set1_epi16(64), from128 = _mm512_set1_epi16(128);
        for (int x = 0; x < n; x += 32) {
            const __m512i bin = _mm512_min_epu16(_mm512_srl_epi16(loadu(h + x), sh), capv);
            __m512i v = _mm512_permutex2var_epi16(t0, bin, t1);
            if (blocks > 1)
                v = _mm512_mask_mov_epi16(v, _mm512_cmpge_epu16_mask(bin, from64), _mm512_permutex2var_epi16(t2, bin, t3));
            if (blocks > 2)
                v = _mm512_mask_mov_epi16(v, _mm512_cmpge_epu16_mask(bin, from128), _mm512_permutex2var_epi16(t4, bin, t5));
            for (int b = 3; b < blocks; ++b) {
                const __mmask32 in = _mm512_cmpge_epu16_mask(bin, _mm512_set1_epi16(short(64 * b)));
                const __m512i u = _mm512_permutex2var_epi16(loadu(weights + 64 * b), bin, loadu(weights + 64 * b + 32));
                v = _mm512_mask_mov_epi16(v, in, u);
            }
            storeu(w + x, v);
        }
    }
};

} // namespace

void IQNlmDenoiseTileAvx512(const IQNlmTile &tile)
{
    nlmDenoiseTileWith<Avx512Ops>(tile);
}
