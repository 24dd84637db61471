// Baseline tile kernel of the non-local means filter: SSE2, which every
// x86-64 processor has, with the weight look-up done one pixel at a time.
#include <emmintrin.h>

#include "IQNonLocalMeansTile.h"

namespace {

inline __m128i load8(const uint8_t *p)
{
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)), _mm_setzero_si128());
}

inline __m128i loadu(const void *p)
{
    return _mm_loadu_si128(static_cast<const __m128i *>(p));
}

inline void storeu(void *p, __m128i v)
{
    _mm_storeu_si128(static_cast<__m128i *>(p), v);
}

struct Sse2Ops {
    using V = __m128i;
    static constexpr int N = 8;
    static V load(const uint16_t *p) { return loadu(p); }
    static void store(uint16_t *p, V v) { storeu(p, v); }
    static V loadBytes(const uint8_t *p) { return load8(p); }
    static V adds(V a, V b) { return _mm_adds_epu16(a, b); }
    static V add(V a, V b) { return _mm_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm_sub_epi16(a, b); }
    // Unsigned minimum without SSE4.1.
    static V min(V a, V b) { return _mm_sub_epi16(a, _mm_subs_epu16(a, b)); }
    static V square(V e) { return _mm_mullo_epi16(e, e); }
    static V set1(uint16_t v) { return _mm_set1_epi16(short(v)); }
    static V zero() { return _mm_setzero_si128(); }
    // Byte shifts take two instructions here: loading at an offset is
    // cheaper.
    static constexpr bool kShiftInRegisters = false;
    static V cross(V, V hi) { return hi; }
    template <int K>
    static V shiftedFrom(V cross, V lo)
    {
        return _mm_or_si128(_mm_srli_si128(lo, 2 * K), _mm_slli_si128(cross, 16 - 2 * K));
    }
    static V pairLow(V a, V b) { return _mm_unpacklo_epi16(a, b); }
    static V pairHigh(V a, V b) { return _mm_unpackhi_epi16(a, b); }
    static V madd(V a, V b) { return _mm_madd_epi16(a, b); }
    static V add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V loadSums(const int32_t *p) { return loadu(p); }
    static void storeSums(int32_t *p, V v) { storeu(p, v); }

    template <int C>
    static void startRow(const uint8_t *const *e, int32_t w0, int32_t *den, int32_t *const *num, int n)
    {
        for (int x = 0; x < n; ++x) {
            den[x] = w0;
            for (int c = 0; c < C; ++c)
                num[c][x] = w0 * e[c][x];
        }
    }

    template <int C>
    static void finishRow(const int32_t *den, const int32_t *const *num, uint8_t *const *out, int n)
    {
        for (int x = 0; x < n; ++x) {
            const uint32_t w = uint32_t(den[x]);
            for (int c = 0; c < C; ++c) {
                const uint32_t v = (uint32_t(num[c][x]) + w / 2) / w;
                out[c][x] = uint8_t(v > 255 ? 255 : v);
            }
        }
    }

    static void weightRow(const uint16_t *h, uint16_t *w, int n, const IQNlmTile &t)
    {
        const auto *weights = t.weights;
        const int cap = t.cap;
        const int shift = t.shift;
        const __m128i capv = _mm_set1_epi16(short(cap));
        const __m128i sh = _mm_cvtsi32_si128(shift);
        alignas(16) uint16_t bins[8];
        for (int x = 0; x < n; x += 8) {
            const __m128i bin = min(_mm_srl_epi16(loadu(h + x), sh), capv);
            _mm_store_si128(reinterpret_cast<__m128i *>(bins), bin);
            for (int k = 0; k < 8; ++k)
                w[x + k] = uint16_t(weights[bins[k]]);
        }
    }
};

} // namespace

size_t IQNlmScratchBytes(int rows, int cols, int templateHalf, int searchHalf, int channels)
{
    return nlmScratchLayout(rows, cols, templateHalf, searchHalf, channels).bytes;
}

void IQNlmDenoiseTileSse2(const IQNlmTile &tile)
{
    nlmDenoiseTileWith<Sse2Ops>(tile);
}
