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

    template <int C>
    static void diffRow(const uint8_t *const *a, const uint8_t *const *b, uint16_t *d, int n)
    {
        for (int x = 0; x < n; x += 8) {
            __m128i e = _mm_sub_epi16(load8(a[0] + x), load8(b[0] + x));
            __m128i s = _mm_mullo_epi16(e, e);
            for (int c = 1; c < C; ++c) {
                e = _mm_sub_epi16(load8(a[c] + x), load8(b[c] + x));
                s = _mm_adds_epu16(s, _mm_mullo_epi16(e, e));
            }
            storeu(d + x, s);
        }
    }

    static void boxRow(const uint16_t *d, uint16_t *h, int n, int taps)
    {
        for (int x = 0; x < n; x += 8) {
            __m128i s = loadu(d + x);
            for (int k = 1; k < taps; ++k)
                s = _mm_adds_epu16(s, loadu(d + x + k));
            storeu(h + x, s);
        }
    }

    static void weightRow(const uint16_t *h, int stride, int taps, uint16_t *w, int n, const IQNlmTile &t)
    {
        const auto *weights = t.weights;
        const int cap = t.cap;
        const int shift = t.shift;
        const __m128i capv = _mm_set1_epi16(short(cap));
        const __m128i sh = _mm_cvtsi32_si128(shift);
        alignas(16) uint16_t bins[8];
        for (int x = 0; x < n; x += 8) {
            __m128i s = loadu(h + x);
            for (int k = 1; k < taps; ++k)
                s = _mm_adds_epu16(s, loadu(h + size_t(k) * stride + x));
            __m128i bin = _mm_srl_epi16(s, sh);
            bin = _mm_sub_epi16(bin, _mm_subs_epu16(bin, capv)); // unsigned min
            _mm_store_si128(reinterpret_cast<__m128i *>(bins), bin);
            for (int k = 0; k < 8; ++k)
                w[x + k] = uint16_t(weights[bins[k]]);
        }
    }

    template <int C>
    static void accumulateRow(const uint16_t *wp, const uint16_t *wm, const uint8_t *const *ep,
                              const uint8_t *const *em, int32_t *den, int32_t *const *num, int n)
    {
        const __m128i ones = _mm_set1_epi16(1);
        for (int x = 0; x < n; x += 8) {
            const __m128i a = loadu(wp + x);
            const __m128i b = loadu(wm + x);
            const __m128i lo = _mm_unpacklo_epi16(a, b);
            const __m128i hi = _mm_unpackhi_epi16(a, b);
            storeu(den + x, _mm_add_epi32(loadu(den + x), _mm_madd_epi16(lo, ones)));
            storeu(den + x + 4, _mm_add_epi32(loadu(den + x + 4), _mm_madd_epi16(hi, ones)));
            for (int c = 0; c < C; ++c) {
                const __m128i p = load8(ep[c] + x);
                const __m128i m = load8(em[c] + x);
                int32_t *s = num[c] + x;
                storeu(s, _mm_add_epi32(loadu(s), _mm_madd_epi16(lo, _mm_unpacklo_epi16(p, m))));
                storeu(s + 4, _mm_add_epi32(loadu(s + 4), _mm_madd_epi16(hi, _mm_unpackhi_epi16(p, m))));
            }
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
