#include "denoise/DenoiseBlockKernels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "denoise/DenoisePlaneKernels.h"

namespace {

inline int sampleAt(const uint8_t* p, bool sign) { return sign ? int(int8_t(*p)) : int(*p); }

inline uint8_t storeOut(int64_t v, bool sign)
{
    return sign ? uint8_t(int8_t(std::clamp<int64_t>(v, -128, 127))) : uint8_t(std::clamp<int64_t>(v, 0, 255));
}

template <bool Sign>
void statsPlain(const uint8_t* window, int32_t pitch, int32_t* sum, int64_t* variance)
{
    int32_t s = 0;
    int64_t q = 0;
    for (int y = 0; y < 8; ++y) {
        const uint8_t* row = window + int64_t(y) * pitch;
        for (int x = 0; x < 8; ++x) {
            const int v = sampleAt(row + x, Sign);
            s += v;
            q += v * v;
        }
    }
    if (sum)
        *sum = s;
    if (variance)
        *variance = 64 * q - int64_t(s) * s;
}

template <bool Sign>
int64_t sadSquaredPlain(const uint8_t* a, const uint8_t* b, int32_t pitch)
{
    int sad = 0;
    for (int y = 0; y < 8; ++y) {
        const uint8_t* ra = a + int64_t(y) * pitch;
        const uint8_t* rb = b + int64_t(y) * pitch;
        for (int x = 0; x < 8; ++x)
            sad += std::abs(sampleAt(ra + x, Sign) - sampleAt(rb + x, Sign));
    }
    return (int64_t(sad) * sad) >> 6;
}

// Sums of any block size, one sample at a time: 16-bit sums += a * wa (+ b * wb
// when b is given), wrapping like 16-bit lanes; 32-bit sums += a * w.
template <bool Sign>
void accumulate16Any(int step, void* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb, int32_t pitch)
{
    auto* out = static_cast<uint16_t*>(sums);
    for (int y = 0; y < step; ++y)
        for (int x = 0; x < step; ++x) {
            int v = sampleAt(a + int64_t(y) * pitch + x, Sign) * wa;
            if (b)
                v += sampleAt(b + int64_t(y) * pitch + x, Sign) * wb;
            out[y * step + x] = uint16_t(out[y * step + x] + v);
        }
}

template <bool Sign>
void accumulate32Any(int step, void* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    auto* out = static_cast<uint32_t*>(sums);
    for (int y = 0; y < step; ++y)
        for (int x = 0; x < step; ++x)
            out[y * step + x] += uint32_t(sampleAt(a + int64_t(y) * pitch + x, Sign) * w);
}

#if defined(__SSE2__)
// Flipping the sign bit maps signed bytes onto unsigned ones with the same differences.
int64_t sadSquaredSse2(const uint8_t* a, const uint8_t* b, int32_t pitch, bool sign)
{
    const __m128i flip = _mm_set1_epi8(sign ? char(0x80) : 0);
    __m128i total = _mm_setzero_si128();
    for (int y = 0; y < 8; y += 2) {
        const uint8_t* ra = a + int64_t(y) * pitch;
        const uint8_t* rb = b + int64_t(y) * pitch;
        const __m128i va = _mm_xor_si128(_mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(ra)),
                                                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(ra + pitch))),
                                         flip);
        const __m128i vb = _mm_xor_si128(_mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(rb)),
                                                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rb + pitch))),
                                         flip);
        total = _mm_add_epi64(total, _mm_sad_epu8(va, vb));
    }
    const int sad = _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_srli_si128(total, 8));
    return (int64_t(sad) * sad) >> 6;
}

// Bytes of one row of `step` samples widened to 16-bit lanes.
template <int Step, bool Sign>
inline __m128i loadWide(const uint8_t* row)
{
    __m128i bytes;
    if (Step == 8) {
        bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row));
    } else {
        int32_t four;
        std::memcpy(&four, row, 4);
        bytes = _mm_cvtsi32_si128(four);
    }
    const __m128i zero = _mm_setzero_si128();
    return Sign ? _mm_srai_epi16(_mm_unpacklo_epi8(zero, bytes), 8) : _mm_unpacklo_epi8(bytes, zero);
}

// Lanes of 16-bit sums of one row of `Step` samples.
template <int Step>
inline __m128i loadSums16(const void* p)
{
    if (Step == 8)
        return _mm_loadu_si128(static_cast<const __m128i*>(p));
    return _mm_loadl_epi64(static_cast<const __m128i*>(p));
}

template <int Step>
inline void storeSums16(void* p, __m128i v)
{
    if (Step == 8)
        _mm_storeu_si128(static_cast<__m128i*>(p), v);
    else
        _mm_storel_epi64(static_cast<__m128i*>(p), v);
}
#endif

// 16-bit sums += a * wa (+ b * wb when b is given); products and sums wrap
// like the 16-bit lanes they model.
template <int Step, bool Sign>
void accumulate16(void* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb, int32_t pitch)
{
#if defined(__SSE2__)
    const __m128i weightA = _mm_set1_epi16(int16_t(wa));
    const __m128i weightB = _mm_set1_epi16(int16_t(wb));
    auto* out = static_cast<uint8_t*>(sums);
    for (int y = 0; y < Step; ++y) {
        __m128i v = _mm_mullo_epi16(loadWide<Step, Sign>(a + int64_t(y) * pitch), weightA);
        if (b)
            v = _mm_add_epi16(v, _mm_mullo_epi16(loadWide<Step, Sign>(b + int64_t(y) * pitch), weightB));
        void* row = out + size_t(y) * Step * 2;
        storeSums16<Step>(row, _mm_add_epi16(loadSums16<Step>(row), v));
    }
#else
    accumulate16Any<Sign>(Step, sums, a, wa, b, wb, pitch);
#endif
}

template <bool Sign>
void accumulate32x8(void* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight = _mm_set1_epi16(int16_t(w));
    auto* out = static_cast<__m128i*>(sums);
    for (int y = 0; y < 8; ++y) {
        const __m128i prod = _mm_mullo_epi16(loadWide<8, Sign>(a + int64_t(y) * pitch), weight);
        const __m128i lo = Sign ? _mm_srai_epi32(_mm_unpacklo_epi16(zero, prod), 16) : _mm_unpacklo_epi16(prod, zero);
        const __m128i hi = Sign ? _mm_srai_epi32(_mm_unpackhi_epi16(zero, prod), 16) : _mm_unpackhi_epi16(prod, zero);
        _mm_storeu_si128(out + 2 * y, _mm_add_epi32(_mm_loadu_si128(out + 2 * y), lo));
        _mm_storeu_si128(out + 2 * y + 1, _mm_add_epi32(_mm_loadu_si128(out + 2 * y + 1), hi));
    }
#else
    accumulate32Any<Sign>(8, sums, a, w, pitch);
#endif
}

enum class Division { Reciprocal16, Reciprocal32, Exact };

template <typename Sum, bool Sign, Division D>
void normalize(int step, const Sum* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
               uint8_t* dst, int32_t dstPitch)
{
    if (total <= 0) {
        // No weights: nothing to average, the block stays.
        for (int y = 0; y < step; ++y)
            std::memmove(dst + int64_t(y) * dstPitch, src + int64_t(y) * srcPitch, size_t(step));
        return;
    }
    const int64_t half = total / 2;
    const int64_t recip16 = 65535 / total;
    const int64_t recip32 = int64_t(0xFFFFFFFFu / uint32_t(total));
    for (int y = 0; y < step; ++y) {
        const uint8_t* s = src + int64_t(y) * srcPitch;
        uint8_t* d = dst + int64_t(y) * dstPitch;
        for (int x = 0; x < step; ++x) {
            const int64_t sum = int64_t(sums[y * step + x]);
            int64_t avg;
            if (D == Division::Reciprocal16)
                avg = ((sum + half) * recip16) >> 16;
            else if (D == Division::Reciprocal32)
                avg = ((sum + half) * recip32) >> 32;
            else
                avg = (sum + half) / total;
            const int64_t p = sampleAt(s + x, Sign);
            d[x] = storeOut((avg * 256 + (p - avg) * keep + 128) >> 8, Sign);
        }
    }
}

} // namespace

void DenoiseBlockStatsU8(const uint8_t* window, int32_t pitch, int32_t* sum, int64_t* variance)
{
    // Four samples a word: the sums of a row are built from 32-bit loads.
    uint32_t s = 0;
    uint64_t q = 0;
    for (int y = 0; y < 8; ++y) {
        const uint8_t* row = window + int64_t(y) * pitch;
        for (int x = 0; x < 8; x += 4) {
            uint32_t word;
            std::memcpy(&word, row + x, 4);
            for (int k = 0; k < 4; ++k) {
                const uint32_t v = (word >> (8 * k)) & 0xFFu;
                s += v;
                q += v * v;
            }
        }
    }
    if (sum)
        *sum = int32_t(s);
    if (variance)
        *variance = 64 * int64_t(q) - int64_t(s) * int64_t(s);
}

void DenoiseBlockStats(uint32_t layout, const uint8_t* window, int32_t pitch, int32_t* sum, int64_t* variance)
{
    if (layout == DENOISE_SAMPLES_S8)
        statsPlain<true>(window, pitch, sum, variance);
    else
        DenoiseBlockStatsU8(window, pitch, sum, variance);
}

int64_t DenoiseSadSquaredU8(const uint8_t* a, const uint8_t* b, int32_t pitch)
{
    return sadSquaredPlain<false>(a, b, pitch);
}

int64_t DenoiseSadSquaredS8(const uint8_t* a, const uint8_t* b, int32_t pitch)
{
    return sadSquaredPlain<true>(a, b, pitch);
}

int64_t DenoiseBlockDistanceU8(const uint8_t* a, const uint8_t* b, int32_t pitch)
{
#if defined(__SSE2__)
    return sadSquaredSse2(a, b, pitch, false);
#else
    return DenoiseSadSquaredU8(a, b, pitch);
#endif
}

int64_t DenoiseBlockDistanceS8(const uint8_t* a, const uint8_t* b, int32_t pitch)
{
#if defined(__SSE2__)
    return sadSquaredSse2(a, b, pitch, true);
#else
    return DenoiseSadSquaredS8(a, b, pitch);
#endif
}

int64_t DenoiseBlockDistance(uint32_t layout, const uint8_t* a, const uint8_t* b, int32_t pitch)
{
    if (layout == DENOISE_SAMPLES_U8)
        return DenoiseBlockDistanceU8(a, b, pitch);
    if (layout == DENOISE_SAMPLES_S8)
        return DenoiseBlockDistanceS8(a, b, pitch);
    return 0;
}

void DenoiseAccumulatePair8(uint16_t* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb, int32_t pitch)
{
    accumulate16<8, false>(sums, a, wa, b, wb, pitch);
}

void DenoiseAccumulatePair4(uint16_t* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb, int32_t pitch)
{
    accumulate16<4, false>(sums, a, wa, b, wb, pitch);
}

void DenoiseAccumulatePair(int step, uint16_t* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb,
                           int32_t pitch)
{
    if (step == 8)
        DenoiseAccumulatePair8(sums, a, wa, b, wb, pitch);
    else if (step == 4)
        DenoiseAccumulatePair4(sums, a, wa, b, wb, pitch);
    else
        accumulate16Any<false>(step, sums, a, wa, b, wb, pitch);
}

void DenoiseAccumulate16x8(uint16_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    accumulate16<8, false>(sums, a, w, nullptr, 0, pitch);
}

void DenoiseAccumulate16x4(uint16_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    accumulate16<4, false>(sums, a, w, nullptr, 0, pitch);
}

void DenoiseAccumulate16(int step, uint16_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    if (step == 8)
        DenoiseAccumulate16x8(sums, a, w, pitch);
    else if (step == 4)
        DenoiseAccumulate16x4(sums, a, w, pitch);
    else if (step > 0)
        accumulate16Any<false>(step, sums, a, w, nullptr, 0, pitch);
}

void DenoiseAccumulate32x8(uint32_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    accumulate32x8<false>(sums, a, w, pitch);
}

void DenoiseAccumulate32(int step, uint32_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    if (step == 8)
        DenoiseAccumulate32x8(sums, a, w, pitch);
    else if (step > 0)
        accumulate32Any<false>(step, sums, a, w, pitch);
}

void DenoiseAccumulateSigned16x8(int16_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    accumulate16<8, true>(sums, a, w, nullptr, 0, pitch);
}

void DenoiseAccumulateSigned16(int step, int16_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    if (step == 8)
        DenoiseAccumulateSigned16x8(sums, a, w, pitch);
    else if (step > 0)
        accumulate16Any<true>(step, sums, a, w, nullptr, 0, pitch);
}

void DenoiseAccumulateSigned32x8(int32_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    accumulate32x8<true>(sums, a, w, pitch);
}

void DenoiseAccumulateSigned32(int step, int32_t* sums, const uint8_t* a, int32_t w, int32_t pitch)
{
    if (step == 8)
        DenoiseAccumulateSigned32x8(sums, a, w, pitch);
    else if (step > 0)
        accumulate32Any<true>(step, sums, a, w, pitch);
}

void DenoiseNormalize16x8(const uint16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
                          uint8_t* dst, int32_t dstPitch)
{
    normalize<uint16_t, false, Division::Reciprocal16>(8, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalize16x4(const uint16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
                          uint8_t* dst, int32_t dstPitch)
{
    normalize<uint16_t, false, Division::Reciprocal16>(4, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalize16(int step, const uint16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                        int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    if (step == 8)
        DenoiseNormalize16x8(sums, total, src, srcPitch, keep, dst, dstPitch);
    else if (step == 4)
        DenoiseNormalize16x4(sums, total, src, srcPitch, keep, dst, dstPitch);
    else if (step > 0)
        normalize<uint16_t, false, Division::Reciprocal16>(step, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalize32x8(const uint32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
                          uint8_t* dst, int32_t dstPitch)
{
    normalize<uint32_t, false, Division::Reciprocal32>(8, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalize32(int step, const uint32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                        int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    if (step == 8)
        DenoiseNormalize32x8(sums, total, src, srcPitch, keep, dst, dstPitch);
    else if (step > 0)
        normalize<uint32_t, false, Division::Exact>(step, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalizeSigned16x8(const int16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                                int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    normalize<int16_t, true, Division::Reciprocal16>(8, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalizeSigned16(int step, const int16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                              int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    if (step == 8)
        DenoiseNormalizeSigned16x8(sums, total, src, srcPitch, keep, dst, dstPitch);
    else if (step > 0)
        normalize<int16_t, true, Division::Reciprocal16>(step, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalizeSigned32x8(const int32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                                int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    normalize<int32_t, true, Division::Reciprocal32>(8, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseNormalizeSigned32(int step, const int32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                              int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    if (step == 8)
        DenoiseNormalizeSigned32x8(sums, total, src, srcPitch, keep, dst, dstPitch);
    else if (step > 0)
        normalize<int32_t, true, Division::Exact>(step, sums, total, src, srcPitch, keep, dst, dstPitch);
}

void DenoiseWiden(void* sums, int n)
{
    auto* bytes = static_cast<uint8_t*>(sums);
    for (int i = n - 1; i >= 0; --i) {
        uint16_t v16;
        std::memcpy(&v16, bytes + 2 * i, 2);
        const uint32_t v32 = v16;
        std::memcpy(bytes + 4 * i, &v32, 4);
    }
}

void DenoiseWidenSigned(void* sums, int n)
{
    auto* bytes = static_cast<uint8_t*>(sums);
    for (int i = n - 1; i >= 0; --i) {
        int16_t v16;
        std::memcpy(&v16, bytes + 2 * i, 2);
        const int32_t v32 = v16;
        std::memcpy(bytes + 4 * i, &v32, 4);
    }
}

void DenoiseUpsampleBlend(const uint8_t* coarse, int32_t coarsePitch, const uint8_t* src, int32_t srcPitch,
                          int32_t keep, uint8_t* dst, int32_t dstPitch)
{
    const int inverse = 256 - keep;
    for (int j = 0; j < 4; ++j) {
        const uint8_t* rc = coarse + int64_t(j) * coarsePitch;
        const uint8_t* rd = rc + coarsePitch;
        const uint8_t* s0 = src + int64_t(2 * j) * srcPitch;
        const uint8_t* s1 = s0 + srcPitch;
        uint8_t* d0 = dst + int64_t(2 * j) * dstPitch;
        uint8_t* d1 = d0 + dstPitch;
        for (int i = 0; i < 4; ++i) {
            const int c = rc[i], r = rc[i + 1], d = rd[i], e = rd[i + 1];
            const int up[4] = {c, (c + r + 1) >> 1, (c + d + 1) >> 1, (c + r + d + e + 2) >> 2};
            d0[2 * i] = uint8_t((s0[2 * i] * keep + up[0] * inverse + 128) >> 8);
            d0[2 * i + 1] = uint8_t((s0[2 * i + 1] * keep + up[1] * inverse + 128) >> 8);
            d1[2 * i] = uint8_t((s1[2 * i] * keep + up[2] * inverse + 128) >> 8);
            d1[2 * i + 1] = uint8_t((s1[2 * i + 1] * keep + up[3] * inverse + 128) >> 8);
        }
    }
}
