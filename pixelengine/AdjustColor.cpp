#include "AdjustColor.h"

#include <algorithm>
#include <cstdlib>

#include "AdjustKernelArgs.h"

namespace {

// Contrast then saturation, row by row, computed rather than looked up so
// that the loops vectorise.
//
// Contrast with k = (c / 200 + 1) - 1 in single precision (the round trip
// through 1 decides how (64 - |.|) * k truncates near integers):
//   v < 128: v - trunc((64 - |v - 64|) * k), v >= 128: v + trunc((64 - |v - 192|) * k).
// k = 0 leaves v as it is.
//
// Saturation with A[j] = (50 - 128 s j) / 100 (truncating): each channel v of
// a pixel becomes (128 v - A[v] + A[max]) >> 7, about v - s * (max - v) / 100.
// Grey pixels come out unchanged since A[v] = A[max] there; s = 0 leaves
// every pixel as it is.
ADJUST_ROW_INLINE int contrastByte(int v, float k)
{
    // Branch-free so that the loop vectorises: the midpoint is 64 or 192 and
    // the change is subtracted in the lower half, added in the upper.
    const int mid = 64 + (v & 128);
    const int dist = std::abs(v - mid);
    const int change = static_cast<int>(static_cast<float>(64 - dist) * k);
    const int sign = ((v >> 7) << 1) - 1;
    return AdjustClampByte(v + sign * change);
}

ADJUST_ROW_INLINE void saturationRow(uint8_t* __restrict p, int width, int ks)
{
    for (int x = 0; x < width; ++x) {
        const int c0 = p[3 * x], c1 = p[3 * x + 1], c2 = p[3 * x + 2];
        const int mx = std::max(c0, std::max(c1, c2));
        const int am = (50 - ks * mx) / 100;
        p[3 * x] = static_cast<uint8_t>(AdjustClampByte((128 * c0 - (50 - ks * c0) / 100 + am) >> 7));
        p[3 * x + 1] = static_cast<uint8_t>(AdjustClampByte((128 * c1 - (50 - ks * c1) / 100 + am) >> 7));
        p[3 * x + 2] = static_cast<uint8_t>(AdjustClampByte((128 * c2 - (50 - ks * c2) / 100 + am) >> 7));
    }
}

ADJUST_ROW_INLINE void contrastRow(uint8_t* __restrict p, int n, float k)
{
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<uint8_t>(contrastByte(p[i], k));
}

// Row by row, so that the saturation step finds the row still in cache.
ADJUST_HOT_LOOP void contrastSaturationRows(uint8_t* pixels, int width, int height, int stride, int contrast,
                                            float k, int saturation)
{
    const int ks = 128 * saturation;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = AdjustRow(pixels, stride, y);
        if (contrast != 0)
            contrastRow(p, width * 3, k);
        if (saturation != 0)
            saturationRow(p, width, ks);
    }
}

ADJUST_HOT_LOOP void grayscaleRows(uint8_t* pixels, int width, int height, int stride)
{
    for (int y = 0; y < height; ++y) {
        uint8_t* __restrict p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x) {
            const uint8_t g = static_cast<uint8_t>((117 * p[3 * x] + 601 * p[3 * x + 1] + 306 * p[3 * x + 2]) >> 10);
            p[3 * x] = g;
            p[3 * x + 1] = g;
            p[3 * x + 2] = g;
        }
    }
}

struct FilterTarget {
    int a, ia, yt, cbt, crt;
};

template <bool keepLuma>
ADJUST_ROW_INLINE void colorFilterRows(uint8_t* pixels, int width, int height, int stride, FilterTarget t)
{
    const int a = t.a, ia = t.ia, yt = t.yt, cbt = t.cbt, crt = t.crt;
    for (int y = 0; y < height; ++y) {
        uint8_t* __restrict p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x) {
            const int b = p[3 * x], g = p[3 * x + 1], r = p[3 * x + 2];
            const int lum = (306 * r + 601 * g + 117 * b) >> 10;
            const int cb = (513 * b - 340 * g - 173 * r) >> 10;
            const int cr = (512 * r - 429 * g - 83 * b) >> 10;
            const int yf = (yt * lum) >> 8;
            const int cbf = (cbt * lum + yt * cb) >> 8;
            const int crf = (crt * lum + yt * cr) >> 8;
            int cbo = (cbf * a + cb * ia) >> 10;
            int cro = (crf * a + cr * ia) >> 10;
            int y1024;
            if constexpr (keepLuma) {
                // Fade the tint back to the pixel's own chroma in the highlights.
                const int k = std::max(0, ((3 * lum) >> 1) - 128);
                cbo = (cb * k + cbo * (256 - k)) >> 8;
                cro = (cr * k + cro * (256 - k)) >> 8;
                y1024 = lum * 1024;
            } else {
                y1024 = (yf * a + lum * ia) & ~1023;
            }
            p[3 * x + 2] = static_cast<uint8_t>(AdjustClampByte((y1024 + 1437 * cro) >> 10));
            p[3 * x + 1] = static_cast<uint8_t>(AdjustClampByte((y1024 - 352 * cbo - 731 * cro) >> 10));
            p[3 * x] = static_cast<uint8_t>(AdjustClampByte((y1024 + 1812 * cbo) >> 10));
        }
    }
}

ADJUST_HOT_LOOP void colorFilterMix(uint8_t* pixels, int width, int height, int stride, FilterTarget t)
{
    colorFilterRows<false>(pixels, width, height, stride, t);
}

ADJUST_HOT_LOOP void colorFilterKeepLuma(uint8_t* pixels, int width, int height, int stride, FilterTarget t)
{
    colorFilterRows<true>(pixels, width, height, stride, t);
}

} // namespace

int AdjustContrastSaturationApply(uint8_t* pixels, int width, int height, int stride,
                                  int contrast, int saturation)
{
    // Out-of-range values are refused before anything changes: a contrast
    // beyond +-100 would wrap bytes, and a half-applied call must not look
    // like success.
    if (contrast < -100 || contrast > 100 || saturation < -100 || saturation > 100)
        return PE_ERR_ARGUMENT;
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    float k = static_cast<float>(contrast) / 200.0f;
    k = k + 1.0f;
    k = k - 1.0f;
    contrastSaturationRows(pixels, width, height, stride, contrast, k, saturation);
    return PE_OK_INPLACE;
}

int AdjustGrayscaleApply(uint8_t* pixels, int width, int height, int stride)
{
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    grayscaleRows(pixels, width, height, stride);
    return PE_OK_INPLACE;
}

int AdjustColorFilterApply(uint8_t* pixels, int width, int height, int stride,
                           int red, int green, int blue, int opacity, int mode)
{
    if (opacity < 0 || opacity > 100 || red < 0 || red > 255 || green < 0 || green > 255
        || blue < 0 || blue > 255)
        return PE_ERR_ARGUMENT;
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    if (opacity == 0)
        return PE_OK_INPLACE;

    FilterTarget t;
    t.a = static_cast<int>(opacity * 10.24 + 0.5);
    t.ia = 1024 - t.a;
    t.yt = (306 * red + 601 * green + 117 * blue) >> 10;
    t.cbt = (513 * blue - 340 * green - 173 * red) >> 10;
    t.crt = (512 * red - 429 * green - 83 * blue) >> 10;
    if (mode != 0)
        colorFilterKeepLuma(pixels, width, height, stride, t);
    else
        colorFilterMix(pixels, width, height, stride, t);
    return PE_OK_INPLACE;
}
