#include "denoise/DenoisePlaneKernels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "PixelEngine.h"

namespace {

inline int clampS8(int v) { return v < -128 ? -128 : (v > 127 ? 127 : v); }
inline int clampU8(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Clips the region to the plane; false when nothing is left.
bool clipRegion(int fullW, int fullH, int& x0, int& y0, int& x1, int& y1)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, fullW);
    y1 = std::min(y1, fullH);
    return fullW > 0 && fullH > 0 && x0 < x1 && y0 < y1;
}

inline int ceilHalf(int v) { return (v + 1) >> 1; }

// Weights of the reduction along one axis at even position p of a line of n.
struct AxisTaps {
    int before, centre, after, shift;
};

inline AxisTaps axisTaps(int p, int n)
{
    const bool hasBefore = p - 1 >= 0;
    const bool hasAfter = p + 1 < n;
    if (hasBefore && hasAfter)
        return {1, 2, 1, 2};
    if (hasBefore)
        return {1, 1, 0, 1};
    if (hasAfter)
        return {0, 1, 1, 1};
    return {0, 1, 0, 0};
}

enum class Prediction { Rounded, Truncated };

// The expansion of the coarse plane at fine sample (x, y).
template <Prediction P>
inline int predict(const uint8_t* coarse, ptrdiff_t cp, int cw, int ch, int x, int y)
{
    const int i = x >> 1;
    const int j = y >> 1;
    const int ir = std::min(i + 1, cw - 1);
    const int jd = std::min(j + 1, ch - 1);
    const uint8_t* rowC = coarse + j * cp;
    const int c = rowC[i];
    const bool oddX = x & 1;
    const bool oddY = y & 1;
    if (!oddX && !oddY)
        return c;
    const uint8_t* rowD = coarse + jd * cp;
    const int r = rowC[ir];
    const int d = rowD[i];
    if (P == Prediction::Rounded) {
        if (oddX && !oddY)
            return (c + r + 1) >> 1;
        if (!oddX)
            return (c + d + 1) >> 1;
        return (c + r + d + rowD[ir] + 2) >> 2;
    }
    if (oddX && !oddY)
        return (c + r) >> 1;
    if (!oddX)
        return (c + d) >> 1;
    return (((c + r) >> 1) + ((d + rowD[ir]) >> 1)) >> 1;
}

// What a truncated-prediction row does with each fine sample: replace it by
// its detail or rebuild it, the split forms with the excess plane.
enum class Truncated { Detail, Collapse, DetailSplit, CollapseSplit };

// One sample; returns 1 when a split detail was clamped.
template <Truncated M>
inline int truncatedSample(uint8_t* fineRow, uint8_t* excessRow, int x, int pred)
{
    if (M == Truncated::Detail) {
        fineRow[x] = uint8_t(int8_t(clampS8(int(fineRow[x]) - pred)));
    } else if (M == Truncated::Collapse) {
        fineRow[x] = uint8_t(clampU8(int(int8_t(fineRow[x])) + pred));
    } else if (M == Truncated::DetailSplit) {
        const int d = int(fineRow[x]) - pred;
        const int band = clampS8(d);
        fineRow[x] = uint8_t(int8_t(band));
        excessRow[x] = uint8_t(d - band + DENOISE_EXCESS_ZERO);
        return d != band;
    } else {
        fineRow[x] = uint8_t(clampU8(int(int8_t(fineRow[x])) + int(excessRow[x]) - DENOISE_EXCESS_ZERO + pred));
    }
    return 0;
}

#if defined(__SSE2__)
// (a + b) >> 1 per byte.
inline __m128i floorAverage(__m128i a, __m128i b)
{
    return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
}

// 16 fine samples from coarse column i on (an even fine column); returns how
// many split details were clamped.
template <Truncated M>
inline int truncatedChunk(const uint8_t* rowC, const uint8_t* rowD, bool oddY, int i, uint8_t* fine,
                          uint8_t* excess)
{
    const __m128i c0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rowC + i));
    const __m128i c1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rowC + i + 1));
    __m128i even = c0, odd = floorAverage(c0, c1);
    if (oddY) {
        const __m128i d0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rowD + i));
        const __m128i d1 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rowD + i + 1));
        even = floorAverage(c0, d0);
        odd = floorAverage(odd, floorAverage(d0, d1));
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i pred = _mm_unpacklo_epi8(even, odd);
    const __m128i pLo = _mm_unpacklo_epi8(pred, zero), pHi = _mm_unpackhi_epi8(pred, zero);
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fine));
    const __m128i bias = _mm_set1_epi16(DENOISE_EXCESS_ZERO);
    if (M == Truncated::Detail || M == Truncated::DetailSplit) {
        const __m128i dLo = _mm_sub_epi16(_mm_unpacklo_epi8(f, zero), pLo);
        const __m128i dHi = _mm_sub_epi16(_mm_unpackhi_epi8(f, zero), pHi);
        const __m128i band = _mm_packs_epi16(dLo, dHi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(fine), band);
        if (M == Truncated::Detail)
            return 0;
        const __m128i eLo = _mm_sub_epi16(dLo, _mm_srai_epi16(_mm_unpacklo_epi8(zero, band), 8));
        const __m128i eHi = _mm_sub_epi16(dHi, _mm_srai_epi16(_mm_unpackhi_epi8(zero, band), 8));
        const __m128i rest = _mm_packus_epi16(_mm_add_epi16(eLo, bias), _mm_add_epi16(eHi, bias));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(excess), rest);
        const int same = _mm_movemask_epi8(_mm_cmpeq_epi8(rest, _mm_set1_epi8(char(DENOISE_EXCESS_ZERO))));
        return __builtin_popcount(unsigned(~same) & 0xFFFFu);
    }
    __m128i lo = _mm_add_epi16(_mm_srai_epi16(_mm_unpacklo_epi8(zero, f), 8), pLo);
    __m128i hi = _mm_add_epi16(_mm_srai_epi16(_mm_unpackhi_epi8(zero, f), 8), pHi);
    if (M == Truncated::CollapseSplit) {
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(excess));
        lo = _mm_sub_epi16(_mm_add_epi16(lo, _mm_unpacklo_epi8(e, zero)), bias);
        hi = _mm_sub_epi16(_mm_add_epi16(hi, _mm_unpackhi_epi8(e, zero)), bias);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(fine), _mm_packus_epi16(lo, hi));
    return 0;
}
#endif

// One row of a truncated-prediction kernel over [x0, x1): 16 samples a step
// where the coarse row reaches, pairs (even, odd) after that, and the
// general prediction at the edges. Returns how many split details were clamped.
template <Truncated M>
int truncatedRow(const uint8_t* coarse, ptrdiff_t cp, int cw, int ch, int y, int x0, int x1, uint8_t* fineRow,
                 uint8_t* excessRow)
{
    const int j = y >> 1;
    const uint8_t* rowC = coarse + j * cp;
    const uint8_t* rowD = coarse + std::min(j + 1, ch - 1) * cp;
    const bool oddY = y & 1;
    int clamped = 0;
    int x = x0;
    if (x & 1) {
        clamped += truncatedSample<M>(fineRow, excessRow, x, predict<Prediction::Truncated>(coarse, cp, cw, ch, x, y));
        ++x;
    }
    // Pairs (even, odd) whose right coarse neighbour exists.
    const int pairEnd = std::min(x1 & ~1, 2 * (cw - 1));
#if defined(__SSE2__)
    for (; x + 16 <= pairEnd; x += 16)
        clamped += truncatedChunk<M>(rowC, rowD, oddY, x >> 1, fineRow + x, excessRow ? excessRow + x : nullptr);
#endif
    for (; x < pairEnd; x += 2) {
        const int i = x >> 1;
        int even = rowC[i], odd = (rowC[i] + rowC[i + 1]) >> 1;
        if (oddY) {
            even = (rowC[i] + rowD[i]) >> 1;
            odd = (odd + ((rowD[i] + rowD[i + 1]) >> 1)) >> 1;
        }
        clamped += truncatedSample<M>(fineRow, excessRow, x, even);
        clamped += truncatedSample<M>(fineRow, excessRow, x + 1, odd);
    }
    for (; x < x1; ++x)
        clamped += truncatedSample<M>(fineRow, excessRow, x, predict<Prediction::Truncated>(coarse, cp, cw, ch, x, y));
    return clamped;
}

template <Truncated M>
int64_t truncatedRegion(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                        uint8_t* fine, ptrdiff_t fp, uint8_t* excess = nullptr, ptrdiff_t ep = 0)
{
    if (!coarse || !fine || !clipRegion(fullW, fullH, x0, y0, x1, y1))
        return 0;
    const int cw = ceilHalf(fullW);
    const int ch = ceilHalf(fullH);
    int64_t clamped = 0;
    for (int y = y0; y < y1; ++y)
        clamped += truncatedRow<M>(coarse, cp, cw, ch, y, x0, x1, fine + y * fp, excess ? excess + y * ep : nullptr);
    return clamped;
}

template <bool Collapse>
void truncatedRegionPlain(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                          uint8_t* fine, ptrdiff_t fp)
{
    if (!coarse || !fine || !clipRegion(fullW, fullH, x0, y0, x1, y1))
        return;
    const int cw = ceilHalf(fullW);
    const int ch = ceilHalf(fullH);
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = fine + y * fp;
        for (int x = x0; x < x1; ++x) {
            const int pred = predict<Prediction::Truncated>(coarse, cp, cw, ch, x, y);
            if (Collapse)
                row[x] = uint8_t(clampU8(int(int8_t(row[x])) + pred));
            else
                row[x] = uint8_t(int8_t(clampS8(int(row[x]) - pred)));
        }
    }
}

} // namespace

void DenoiseDetailFromPlanes(const uint8_t* a, ptrdiff_t pitchA, const uint8_t* b, ptrdiff_t pitchB, int8_t* out,
                             ptrdiff_t pitchOut, int width, int rows)
{
    for (int y = 0; y < rows; ++y) {
        const uint8_t* ra = a + y * pitchA;
        const uint8_t* rb = b + y * pitchB;
        int8_t* ro = out + y * pitchOut;
        for (int x = 0; x < width; ++x)
            ro[x] = int8_t(clampS8(int(ra[x]) - int(rb[x])));
    }
}

void DenoiseAddDetail(const int8_t* d, ptrdiff_t pitchD, const uint8_t* b, ptrdiff_t pitchB, uint8_t* out,
                      ptrdiff_t pitchOut, int width, int rows)
{
    for (int y = 0; y < rows; ++y) {
        const int8_t* rd = d + y * pitchD;
        const uint8_t* rb = b + y * pitchB;
        uint8_t* ro = out + y * pitchOut;
        for (int x = 0; x < width; ++x)
            ro[x] = uint8_t(clampU8(int(rb[x]) + int(rd[x])));
    }
}

void DenoiseScaleDetail(const int8_t* d, ptrdiff_t pitchD, int32_t factor, int8_t* out, ptrdiff_t pitchOut,
                        int width, int rows)
{
    const int64_t f = factor;
    for (int y = 0; y < rows; ++y) {
        const int8_t* rd = d + y * pitchD;
        int8_t* ro = out + y * pitchOut;
        for (int x = 0; x < width; ++x) {
            const int64_t v = (int64_t(rd[x]) * f + 128) >> 8;
            ro[x] = int8_t(v < -128 ? -128 : (v > 127 ? 127 : v));
        }
    }
}

int64_t DenoiseDetailEnergy(const int8_t* d, ptrdiff_t pitch, int width, int rows)
{
    int64_t sum = 0;
    for (int y = 0; y < rows; ++y) {
        const int8_t* rd = d + y * pitch;
        for (int x = 0; x < width; ++x)
            sum += std::abs(int(rd[x]));
    }
    return sum;
}

void DenoiseReducePlain(const uint8_t* fine, ptrdiff_t fp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                        uint8_t* coarse, ptrdiff_t cp)
{
    if (!fine || !coarse || !clipRegion(fullW, fullH, x0, y0, x1, y1))
        return;
    for (int j = ceilHalf(y0); j < ceilHalf(y1); ++j) {
        const int fy = 2 * j;
        const AxisTaps ty = axisTaps(fy, fullH);
        const uint8_t* rows[3] = {fine + (fy - 1) * fp, fine + fy * fp, fine + (fy + 1) * fp};
        const int wy[3] = {ty.before, ty.centre, ty.after};
        for (int i = ceilHalf(x0); i < ceilHalf(x1); ++i) {
            const int fx = 2 * i;
            const AxisTaps tx = axisTaps(fx, fullW);
            const int wx[3] = {tx.before, tx.centre, tx.after};
            int sum = 0;
            for (int v = 0; v < 3; ++v) {
                if (!wy[v])
                    continue;
                for (int u = 0; u < 3; ++u)
                    if (wx[u])
                        sum += wy[v] * wx[u] * rows[v][fx - 1 + u];
            }
            const int shift = tx.shift + ty.shift;
            coarse[j * cp + i] = uint8_t((sum + ((1 << shift) >> 1)) >> shift);
        }
    }
}

void DenoiseReduce(const uint8_t* fine, ptrdiff_t fp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                   uint8_t* coarse, ptrdiff_t cp)
{
    if (!fine || !coarse || !clipRegion(fullW, fullH, x0, y0, x1, y1))
        return;
    const int ci0 = ceilHalf(x0), ci1 = ceilHalf(x1);
    const int cj0 = ceilHalf(y0), cj1 = ceilHalf(y1);
    // Interior: every coarse sample whose 3x3 footprint lies inside the plane.
    const int ii0 = std::max(ci0, 1), ii1 = std::min(ci1, fullW / 2);
    const int jj0 = std::max(cj0, 1), jj1 = std::min(cj1, fullH / 2);
    if (ii0 >= ii1 || jj0 >= jj1) {
        DenoiseReducePlain(fine, fp, fullW, fullH, x0, y0, x1, y1, coarse, cp);
        return;
    }
    constexpr int kChunk = 512;
    uint16_t vsum[2 * kChunk + 2];
    for (int j = jj0; j < jj1; ++j) {
        const uint8_t* r0 = fine + (2 * j - 1) * fp;
        const uint8_t* r1 = r0 + fp;
        const uint8_t* r2 = r1 + fp;
        uint8_t* out = coarse + j * cp;
        for (int i = ii0; i < ii1; i += kChunk) {
            const int n = std::min(kChunk, ii1 - i);
            const int fx0 = 2 * i - 1;
            const int cols = 2 * n + 1;
            for (int k = 0; k < cols; ++k)
                vsum[k] = uint16_t(r0[fx0 + k] + 2 * r1[fx0 + k] + r2[fx0 + k]);
            for (int k = 0; k < n; ++k)
                out[i + k] = uint8_t((vsum[2 * k] + 2 * vsum[2 * k + 1] + vsum[2 * k + 2] + 8) >> 4);
        }
    }
    // Edge strips.
    DenoiseReducePlain(fine, fp, fullW, fullH, 2 * ci0, 2 * cj0, 2 * ci1, 2 * jj0, coarse, cp);
    DenoiseReducePlain(fine, fp, fullW, fullH, 2 * ci0, 2 * jj1, 2 * ci1, 2 * cj1, coarse, cp);
    DenoiseReducePlain(fine, fp, fullW, fullH, 2 * ci0, 2 * jj0, 2 * ii0, 2 * jj1, coarse, cp);
    DenoiseReducePlain(fine, fp, fullW, fullH, 2 * ii1, 2 * jj0, 2 * ci1, 2 * jj1, coarse, cp);
}

// A region that starts on an odd column and an odd row gets its first sample
// from the two vertical averages of the four coarse neighbours.
static void expandOddStartCorner(const uint8_t* coarse, ptrdiff_t cp, int cw, int ch, int x0, int y0,
                                 uint8_t* fine, ptrdiff_t fp)
{
    const int i = x0 >> 1, j = y0 >> 1;
    const int ir = std::min(i + 1, cw - 1), jd = std::min(j + 1, ch - 1);
    const int c = coarse[j * cp + i], r = coarse[j * cp + ir];
    const int d = coarse[jd * cp + i], e = coarse[jd * cp + ir];
    fine[y0 * fp + x0] = uint8_t((((c + d) >> 1) + ((r + e) >> 1) + 1) >> 1);
}

void DenoiseExpandPlain(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                        uint8_t* fine, ptrdiff_t fp)
{
    const bool oddStart = (x0 & 1) && (y0 & 1) && x0 >= 0 && y0 >= 0;
    if (!coarse || !fine || !clipRegion(fullW, fullH, x0, y0, x1, y1))
        return;
    const int cw = ceilHalf(fullW);
    const int ch = ceilHalf(fullH);
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = fine + y * fp;
        for (int x = x0; x < x1; ++x)
            row[x] = uint8_t(predict<Prediction::Rounded>(coarse, cp, cw, ch, x, y));
    }
    if (oddStart)
        expandOddStartCorner(coarse, cp, cw, ch, x0, y0, fine, fp);
}

void DenoiseExpand(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                   uint8_t* fine, ptrdiff_t fp)
{
    const bool oddStart = (x0 & 1) && (y0 & 1) && x0 >= 0 && y0 >= 0;
    if (!coarse || !fine || !clipRegion(fullW, fullH, x0, y0, x1, y1))
        return;
    const int cw = ceilHalf(fullW);
    const int ch = ceilHalf(fullH);
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = fine + y * fp;
        const int j = y >> 1;
        const uint8_t* rowC = coarse + j * cp;
        const uint8_t* rowD = coarse + std::min(j + 1, ch - 1) * cp;
        int x = x0;
        if (x & 1) {
            row[x] = uint8_t(predict<Prediction::Rounded>(coarse, cp, cw, ch, x, y));
            ++x;
        }
        const int pairEnd = std::min(x1 & ~1, 2 * (cw - 1));
        if (!(y & 1)) {
            for (; x < pairEnd; x += 2) {
                const int i = x >> 1;
                row[x] = rowC[i];
                row[x + 1] = uint8_t((rowC[i] + rowC[i + 1] + 1) >> 1);
            }
        } else {
            for (; x < pairEnd; x += 2) {
                const int i = x >> 1;
                row[x] = uint8_t((rowC[i] + rowD[i] + 1) >> 1);
                row[x + 1] = uint8_t((rowC[i] + rowC[i + 1] + rowD[i] + rowD[i + 1] + 2) >> 2);
            }
        }
        for (; x < x1; ++x)
            row[x] = uint8_t(predict<Prediction::Rounded>(coarse, cp, cw, ch, x, y));
    }
    if (oddStart)
        expandOddStartCorner(coarse, cp, cw, ch, x0, y0, fine, fp);
}

void DenoiseCollapsePlain(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                          uint8_t* fine, ptrdiff_t fp)
{
    truncatedRegionPlain<true>(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
}

void DenoiseCollapse(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                     uint8_t* fine, ptrdiff_t fp)
{
    truncatedRegion<Truncated::Collapse>(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
}

void DenoiseDetailPlain(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                        uint8_t* fine, ptrdiff_t fp)
{
    truncatedRegionPlain<false>(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
}

void DenoiseDetail(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                   uint8_t* fine, ptrdiff_t fp)
{
    truncatedRegion<Truncated::Detail>(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
}

int64_t DenoiseDetailSplit(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                           uint8_t* fine, ptrdiff_t fp, uint8_t* excess, ptrdiff_t ep)
{
    if (!excess)
        return 0;
    return truncatedRegion<Truncated::DetailSplit>(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp, excess, ep);
}

void DenoiseCollapseSplit(const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0, int x1, int y1,
                          uint8_t* fine, ptrdiff_t fp, const uint8_t* excess, ptrdiff_t ep)
{
    if (excess)
        truncatedRegion<Truncated::CollapseSplit>(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp,
                                                  const_cast<uint8_t*>(excess), ep);
}

void DenoiseScaleDetailSplit(int8_t* d, ptrdiff_t pitchD, uint8_t* excess, ptrdiff_t pitchE, int32_t factor,
                             int width, int rows)
{
    const int64_t f = factor;
    for (int y = 0; y < rows; ++y) {
        int8_t* rd = d + y * pitchD;
        uint8_t* re = excess + y * pitchE;
        for (int x = 0; x < width; ++x) {
            const int e = int(re[x]) - DENOISE_EXCESS_ZERO;
            const int64_t v = ((int64_t(rd[x]) + e) * f + 128) >> 8;
            const int64_t band = v < -128 ? -128 : (v > 127 ? 127 : v);
            rd[x] = int8_t(band);
            // A band that the gain alone drives past the byte stays clamped,
            // as DenoiseScaleDetail clamps it.
            re[x] = uint8_t(e == 0 ? DENOISE_EXCESS_ZERO
                                   : std::clamp<int64_t>(v - band, -DENOISE_EXCESS_ZERO, 255 - DENOISE_EXCESS_ZERO) +
                                         DENOISE_EXCESS_ZERO);
        }
    }
}

int DenoiseReduceRegion(uint32_t layout, const uint8_t* fine, ptrdiff_t fp, int fullW, int fullH, int x0, int y0,
                        int x1, int y1, uint8_t* coarse, ptrdiff_t cp)
{
    if (layout != DENOISE_SAMPLES_U8)
        return PE_ERR_SAMPLE;
    DenoiseReduce(fine, fp, fullW, fullH, x0, y0, x1, y1, coarse, cp);
    return 0;
}

int DenoiseExpandRegion(uint32_t layout, const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0,
                        int x1, int y1, uint8_t* fine, ptrdiff_t fp)
{
    if (layout != DENOISE_SAMPLES_U8)
        return PE_ERR_SAMPLE;
    DenoiseExpand(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
    return 0;
}

int DenoiseCollapseRegion(uint32_t layout, const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0,
                          int y0, int x1, int y1, uint8_t* fine, ptrdiff_t fp)
{
    if (layout != DENOISE_SAMPLES_U8)
        return PE_ERR_SAMPLE;
    DenoiseCollapse(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
    return 0;
}

int DenoiseDetailRegion(uint32_t layout, const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, int x0, int y0,
                        int x1, int y1, uint8_t* fine, ptrdiff_t fp)
{
    if (layout != DENOISE_SAMPLES_U8)
        return PE_ERR_SAMPLE;
    DenoiseDetail(coarse, cp, fullW, fullH, x0, y0, x1, y1, fine, fp);
    return 0;
}

int DenoiseReduceTile(uint32_t layout, const uint8_t* fine, ptrdiff_t fp, int fullW, int fullH, uint8_t* coarse,
                      ptrdiff_t cp)
{
    return DenoiseReduceRegion(layout, fine, fp, fullW, fullH, 0, 0, fullW, fullH, coarse, cp);
}

int DenoiseExpandTile(uint32_t layout, const uint8_t* coarse, ptrdiff_t cp, int fullW, int fullH, uint8_t* fine,
                      ptrdiff_t fp)
{
    return DenoiseExpandRegion(layout, coarse, cp, fullW, fullH, 0, 0, fullW, fullH, fine, fp);
}

void DenoiseMirrorMargins(uint8_t* plane, ptrdiff_t pitch, int width, int height, int x0, int y0, int x1, int y1)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width);
    y1 = std::min(y1, height);
    if (!plane || x0 >= x1 || y0 >= y1)
        return;
    for (int y = y0; y < y1; ++y) {
        uint8_t* row = plane + y * pitch;
        for (int k = 0; k < x0; ++k)
            row[x0 - 1 - k] = row[std::min(x0 + 1 + k, x1 - 1)];
        for (int x = x1; x < width; ++x)
            row[x] = row[std::max(2 * x1 - 2 - x, x0)];
    }
    for (int k = 0; k < y0; ++k)
        std::memcpy(plane + (y0 - 1 - k) * pitch, plane + std::min(y0 + 1 + k, y1 - 1) * pitch, size_t(width));
    for (int y = y1; y < height; ++y)
        std::memcpy(plane + y * pitch, plane + std::max(2 * y1 - 2 - y, y0) * pitch, size_t(width));
}
