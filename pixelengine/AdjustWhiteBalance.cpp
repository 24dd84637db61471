#include "AdjustWhiteBalance.h"

#include "AdjustWhiteBalanceSrgb.h"
#include "ColorTemperature.h"
#include "ColorTemperatureMatrix.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct AdjustWhiteBalanceContext {
    uint16_t linear[256];
    uint8_t encode[4096];

    // Kernel tables for the coefficients and clip limits they were built
    // from; rebuilt only when those change.
    bool tablesValid = false;
    int coeff[9] = {};
    int limit[3] = {};
    bool diagonal = false;
    // Contribution of one input byte to the (B, G, R, unused) sums.
    alignas(16) int32_t fromBlue[256][4];
    alignas(16) int32_t fromGreen[256][4];
    alignas(16) int32_t fromRed[256][4];
    // Per-channel byte maps when the matrix has no cross terms.
    uint8_t diag[3][256];
};

namespace {

// Process-wide: written by every resolve, read by the next apply.
double g_matrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
double g_clip[3] = {1.0, 1.0, 1.0};

struct PresetRow {
    int mode;
    int kelvin;
    int tint;
};
const PresetRow kPresets[6] = {
    {2, 5500, 10}, {3, 6500, 10}, {4, 7500, 10}, {5, 2850, 0}, {6, 3800, 21}, {7, 5500, 0},
};

template <typename T>
T clampTo(T v, T lo, T hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// (int)(v * scale + 0.5) with v held to a range that keeps the integer sums of
// the kernel inside 32 bits; a NaN counts as 0.
int toFixed(double v, double scale, double bound)
{
    if (!(v == v))
        v = 0.0;
    v = clampTo(v, -bound, bound);
    return static_cast<int>(v * scale + 0.5);
}

bool geometryUsable(const uint8_t* pixels, int width, int height, int stride)
{
    if (width < 0 || height < 0)
        return false;
    if (width == 0 || height == 0)
        return true;
    return pixels && static_cast<int64_t>(stride) >= static_cast<int64_t>(width) * 3;
}

void buildKernelTables(AdjustWhiteBalanceContext* c, const int k[9], const int lim[3])
{
    if (c->tablesValid && std::memcmp(k, c->coeff, sizeof c->coeff) == 0 &&
        std::memcmp(lim, c->limit, sizeof c->limit) == 0)
        return;
    std::memcpy(c->coeff, k, sizeof c->coeff);
    std::memcpy(c->limit, lim, sizeof c->limit);
    for (int v = 0; v < 256; ++v) {
        const int b = c->linear[v] < lim[0] ? c->linear[v] : lim[0];
        const int g = c->linear[v] < lim[1] ? c->linear[v] : lim[1];
        const int r = c->linear[v] < lim[2] ? c->linear[v] : lim[2];
        for (int row = 0; row < 3; ++row) {
            c->fromBlue[v][row] = k[row * 3] * b;
            c->fromGreen[v][row] = k[row * 3 + 1] * g;
            c->fromRed[v][row] = k[row * 3 + 2] * r;
        }
        c->fromBlue[v][3] = c->fromGreen[v][3] = c->fromRed[v][3] = 0;
        const int in[3] = {b, g, r};
        for (int ch = 0; ch < 3; ++ch) {
            const int out = clampTo((k[ch * 4] * in[ch]) >> 10, 0, 4095);
            c->diag[ch][v] = c->encode[out];
        }
    }
    c->diagonal = k[1] == 0 && k[2] == 0 && k[3] == 0 && k[5] == 0 && k[6] == 0 && k[7] == 0;
    c->tablesValid = true;
}

void applyMatrix(const AdjustWhiteBalanceContext* c, uint8_t* pixels, int width, int height, int stride)
{
    const uint8_t* enc = c->encode;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = pixels + static_cast<ptrdiff_t>(y) * stride;
        if (c->diagonal) {
            for (int x = 0; x < width; ++x, p += 3) {
                p[0] = c->diag[0][p[0]];
                p[1] = c->diag[1][p[1]];
                p[2] = c->diag[2][p[2]];
            }
            continue;
        }
        int x = 0;
#if defined(__SSE2__)
        // Two pixels at a time: the three contributions of each are one row
        // of four sums; the clamp to 0..4095 goes through a saturating pack,
        // which keeps every value outside that range outside it.
        const __m128i zero = _mm_setzero_si128();
        const __m128i top = _mm_set1_epi16(4095);
        for (; x + 1 < width; x += 2, p += 6) {
            const __m128i a = _mm_add_epi32(
                _mm_add_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(c->fromBlue[p[0]])),
                              _mm_load_si128(reinterpret_cast<const __m128i*>(c->fromGreen[p[1]]))),
                _mm_load_si128(reinterpret_cast<const __m128i*>(c->fromRed[p[2]])));
            const __m128i b = _mm_add_epi32(
                _mm_add_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(c->fromBlue[p[3]])),
                              _mm_load_si128(reinterpret_cast<const __m128i*>(c->fromGreen[p[4]]))),
                _mm_load_si128(reinterpret_cast<const __m128i*>(c->fromRed[p[5]])));
            __m128i w = _mm_packs_epi32(_mm_srai_epi32(a, 10), _mm_srai_epi32(b, 10));
            w = _mm_min_epi16(_mm_max_epi16(w, zero), top);
            p[0] = enc[_mm_extract_epi16(w, 0)];
            p[1] = enc[_mm_extract_epi16(w, 1)];
            p[2] = enc[_mm_extract_epi16(w, 2)];
            p[3] = enc[_mm_extract_epi16(w, 4)];
            p[4] = enc[_mm_extract_epi16(w, 5)];
            p[5] = enc[_mm_extract_epi16(w, 6)];
        }
#endif
        for (; x < width; ++x, p += 3) {
            const int32_t* tb = c->fromBlue[p[0]];
            const int32_t* tg = c->fromGreen[p[1]];
            const int32_t* tr = c->fromRed[p[2]];
            const int ob = clampTo((tb[0] + tg[0] + tr[0]) >> 10, 0, 4095);
            const int og = clampTo((tb[1] + tg[1] + tr[1]) >> 10, 0, 4095);
            const int orr = clampTo((tb[2] + tg[2] + tr[2]) >> 10, 0, 4095);
            p[0] = enc[ob];
            p[1] = enc[og];
            p[2] = enc[orr];
        }
    }
}

} // namespace

int AdjustWhiteBalanceCreate(AdjustWhiteBalanceContext** context)
{
    if (!context)
        return PE_ERR_ARGUMENT;
    auto* c = new (std::nothrow) AdjustWhiteBalanceContext;
    if (!c)
        return PE_ERR_NOMEM;
    AdjustBuildLinearLut(c->linear);
    AdjustBuildEncodeLut(c->encode);
    *context = c;
    return PE_OK;
}

int AdjustWhiteBalanceDestroy(AdjustWhiteBalanceContext* context)
{
    delete context;
    return PE_OK;
}

int AdjustBuildWhiteMatrix(double x, double y)
{
    double xyzD50[3];
    AdjustXyToXyz(xyzD50, kAdjustD50x, kAdjustD50y);

    double c[9];
    AdjustBradfordMatrix(c, kAdjustD50x, kAdjustD50y, x, y);

    double s4inv[9], s5inv[9];
    AdjustMatrixSet(s4inv, 1, 0, 0, 0, 1, 0, 0, 0, 1);
    AdjustMatrixSet(s5inv, 1, 0, 0, 0, 1, 0, 0, 0, 1);
    AdjustMatrixInverse(s4inv, kAdjustSrgbToXyz4);
    AdjustMatrixInverse(s5inv, kAdjustSrgbToXyz5);

    double m1[9];
    AdjustMatrixMultiply(m1, s4inv, c);
    double g[3];
    AdjustMatrixMultiplyVector(g, m1, xyzD50);
    const double m = AdjustVectorMax(g);
    if (m > 0.0 && std::isfinite(m))
        AdjustMatrixScale(m1, m1, 1.0 / m);

    double m1inv[9];
    AdjustMatrixSet(m1inv, 1, 0, 0, 0, 1, 0, 0, 0, 1);
    AdjustMatrixInverse(m1inv, m1);
    double m2[9];
    AdjustMatrixMultiply(m2, s5inv, m1inv);
    AdjustMatrixReverse(g_matrix, m2);

    double levels[3];
    AdjustMatrixMultiplyVector(levels, m1, xyzD50);
    g_clip[0] = levels[2];
    g_clip[1] = levels[1];
    g_clip[2] = levels[0];
    return PE_OK;
}

int AdjustWhiteBalanceSetTemperature(int kelvin, int tint)
{
    double x, y;
    AdjustTemperatureToXy(kelvin, tint, &x, &y);
    AdjustBuildWhiteMatrix(x, y);
    if (kelvin == 5000 && tint == 10) {
        AdjustMatrixSet(g_matrix, 1, 0, 0, 0, 1, 0, 0, 0, 1);
        g_clip[0] = g_clip[1] = g_clip[2] = 1.0;
    }
    return PE_OK;
}

int AdjustWhiteBalanceEstimate(double* blueGain, double* greenGain, double* redGain, const uint8_t* pixels,
                               int width, int height, int stride, const uint16_t* linearLut)
{
    *blueGain = *greenGain = *redGain = 1.0;
    if (!geometryUsable(pixels, width, height, stride) || !linearLut)
        return PE_ERR_ARGUMENT;
    const int bw = width / 128;
    const int bh = height / 128;
    const size_t blocks = static_cast<size_t>(bw) * static_cast<size_t>(bh);
    if (blocks == 0)
        return PE_OK;
    // A table this large belongs to no real image; refuse it like a failed allocation.
    const uint64_t bytes = static_cast<uint64_t>(blocks) * 3 * sizeof(double);
    if (bytes > (uint64_t(1) << 32))
        return PE_ERR_NOMEM;
    auto* sums = static_cast<double*>(std::calloc(blocks * 3, sizeof(double)));
    if (!sums)
        return PE_ERR_NOMEM;

    // Integer partial sums per block row are exact, so they equal summing doubles.
    auto* rowSums = static_cast<int64_t*>(std::calloc(static_cast<size_t>(bw) * 3, sizeof(int64_t)));
    if (!rowSums) {
        std::free(sums);
        return PE_ERR_NOMEM;
    }
    for (int by = 0; by < bh; ++by) {
        std::memset(rowSums, 0, static_cast<size_t>(bw) * 3 * sizeof(int64_t));
        for (int y = by * 128; y < by * 128 + 128; ++y) {
            const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
            for (int bx = 0; bx < bw; ++bx) {
                const uint8_t* p = row + static_cast<size_t>(bx) * 128 * 3;
                int32_t sb = 0, sg = 0, sr = 0;
                for (int i = 0; i < 128; ++i, p += 3) {
                    sb += linearLut[p[0]];
                    sg += linearLut[p[1]];
                    sr += linearLut[p[2]];
                }
                rowSums[bx * 3] += sb;
                rowSums[bx * 3 + 1] += sg;
                rowSums[bx * 3 + 2] += sr;
            }
        }
        double* out = sums + static_cast<size_t>(by) * bw * 3;
        for (int i = 0; i < bw * 3; ++i)
            out[i] = static_cast<double>(rowSums[i]);
    }
    std::free(rowSums);

    double total[3] = {0, 0, 0};
    size_t count = 0;
    auto gather = [&](double lo, double hi) {
        for (size_t i = 0; i < blocks; ++i) {
            const double b = sums[i * 3], g = sums[i * 3 + 1], r = sums[i * 3 + 2];
            if (std::fabs(b) < 1e-6 || std::fabs(r) < 1e-6)
                continue;
            const double gb = g / b, gr = g / r;
            if (gb > lo && gb < hi && gr > lo && gr < hi) {
                total[0] += b;
                total[1] += g;
                total[2] += r;
                ++count;
            }
        }
    };
    gather(0.5, 2.0);
    if (count == 0)
        gather(0.3, 3.0);
    if (count == 0) {
        for (size_t i = 0; i < blocks; ++i) {
            if (sums[i * 3] != 0.0 && sums[i * 3 + 2] != 0.0) {
                total[0] += sums[i * 3];
                total[1] += sums[i * 3 + 1];
                total[2] += sums[i * 3 + 2];
                ++count;
            }
        }
    }
    std::free(sums);

    double mean[3] = {1.0, 1.0, 1.0};
    if (count > 0) {
        const double n = static_cast<double>(count) * 16384.0;
        for (int ch = 0; ch < 3; ++ch) {
            mean[ch] = total[ch] / n;
            if (mean[ch] == 0.0)
                mean[ch] = 1.0;
        }
    }
    const double m = AdjustVectorMax(mean);
    *blueGain = m / mean[0];
    *greenGain = m / mean[1];
    *redGain = m / mean[2];
    return PE_OK;
}

int AdjustWhiteBalanceGainsToTemperature(int* kelvin, int* tint, double redGain, double greenGain,
                                         double blueGain)
{
    // A gain that is not positive has no neutral; it counts as no correction.
    auto usable = [](double g) { return (g > 0.0 && std::isfinite(g)) ? g : 1.0; };
    const double neutral[3] = {1.0 / usable(redGain), 1.0 / usable(greenGain), 1.0 / usable(blueGain)};
    double x, y;
    AdjustNeutralToXy(neutral, &x, &y);
    double t = 5000.0, tn = 10.0;
    AdjustXyToTemperature(x, y, &t, &tn);
    if (!(tn == tn))
        tn = 0.0;
    // Both limits are whole numbers, so clamping before rounding gives the same result.
    const int k = static_cast<int>(clampTo(t, 0.0, 1e6) / 50.0 + 0.5) * 50;
    *kelvin = clampTo(k, 2000, 12000);
    *tint = static_cast<int>(std::round(clampTo(tn, -150.0, 150.0)));
    return PE_OK;
}

int AdjustWhiteBalanceResolve(int mode, int kelvin, int tint, const uint8_t* pixels, int width, int height,
                              int stride, const uint16_t* linearLut)
{
    if (mode < 0 || mode > 8)
        return PE_ERR_ARGUMENT;
    int k = 5000, t = 10;
    if (mode == ADJUST_WB_AUTO) {
        double gb = 1.0, gg = 1.0, gr = 1.0;
        // On failure the estimate leaves gains 1, 1, 1: no correction.
        AdjustWhiteBalanceEstimate(&gb, &gg, &gr, pixels, width, height, stride, linearLut);
        AdjustWhiteBalanceGainsToTemperature(&k, &t, gr, gg, gb);
        k = clampTo(k, 3800, 8500);
        if (t < 0)
            t = 0;
    } else if (mode == ADJUST_WB_MANUAL) {
        k = clampTo(kelvin, 2000, 12000);
        t = clampTo(tint, -150, 150);
    } else if (mode >= 2) {
        k = kPresets[mode - 2].kelvin;
        t = kPresets[mode - 2].tint;
    }
    return AdjustWhiteBalanceSetTemperature(k, t);
}

int AdjustWhiteBalanceApply(AdjustWhiteBalanceContext* context, const AdjustWhiteBalanceParams* params,
                            AdjustImage* image)
{
    if (!context)
        return PE_ERR_HANDLE;
    if (!params || !image || image->format != ADJUST_FORMAT_BGR24)
        return PE_ERR_ARGUMENT;
    if (params->mode < 0 || params->mode > 8)
        return PE_ERR_ARGUMENT;
    if (!geometryUsable(image->pixels, image->width, image->height, image->stride))
        return PE_ERR_ARGUMENT;

    AdjustWhiteBalanceResolve(params->mode, params->kelvin, params->tint, image->pixels, image->width,
                              image->height, image->stride, context->linear);
    if (image->width == 0 || image->height == 0)
        return PE_OK;

    int k[9];
    for (int j = 0; j < 9; ++j)
        k[j] = toFixed(g_matrix[j], 1024.0, 64.0);
    int lim[3];
    lim[0] = g_clip[0] < 0.0 ? 0 : toFixed(g_clip[0], 4095.0, 1.0);
    lim[1] = toFixed(g_clip[1], 4095.0, 1.0);
    lim[2] = g_clip[2] < 0.0 ? 0 : toFixed(g_clip[2], 4095.0, 1.0);

    buildKernelTables(context, k, lim);
    applyMatrix(context, image->pixels, image->width, image->height, image->stride);
    return PE_OK;
}

int AdjustWhiteBalanceWarmUp()
{
    AdjustWhiteBalanceSetTemperature(2850, 0);
    AdjustWhiteBalanceSetTemperature(7500, 10);
    return PE_OK;
}

void AdjustWhiteBalanceState(double matrix[9], double clip[3])
{
    AdjustMatrixCopy(matrix, g_matrix);
    clip[0] = g_clip[0];
    clip[1] = g_clip[1];
    clip[2] = g_clip[2];
}
