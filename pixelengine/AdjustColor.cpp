#include "AdjustColor.h"

#include <algorithm>
#include <cstdlib>

#include "AdjustKernelArgs.h"

namespace {

void buildContrastTable(int contrast, uint8_t table[256])
{
    // The +1/-1 round trip in single precision is deliberate: it decides how
    // (64 - |.|) * k truncates when the product is close to an integer.
    float k = static_cast<float>(contrast) / 200.0f;
    k = k + 1.0f;
    k = k - 1.0f;
    const float kk = k;
    for (int v = 0; v < 256; ++v) {
        int t;
        if (v < 128)
            t = v - static_cast<int>(static_cast<float>(64 - std::abs(v - 64)) * kk);
        else
            t = v + static_cast<int>(static_cast<float>(64 - std::abs(v - 192)) * kk);
        table[v] = static_cast<uint8_t>(AdjustClampByte(t));
    }
}

void applyByteTable(uint8_t* pixels, int width, int height, int stride, const uint8_t table[256])
{
    const int n = width * 3;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = AdjustRow(pixels, stride, y);
        for (int i = 0; i < n; ++i)
            p[i] = table[p[i]];
    }
}

void applySaturation(uint8_t* pixels, int width, int height, int stride, int saturation)
{
    // Each channel v of a coloured pixel becomes (B[v] + A[max]) >> 7, about
    // v - s * (max - v) / 100. Tables are folded into one per channel value so
    // that the pixel loop is three look-ups and a shift.
    int32_t a[256];
    int32_t b[256];
    for (int j = 0; j < 256; ++j) {
        a[j] = (50 - 128 * saturation * j) / 100;
        b[j] = 128 * j - a[j];
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int c0 = p[0], c1 = p[1], c2 = p[2];
            const int mx = std::max(c0, std::max(c1, c2));
            const int mn = std::min(c0, std::min(c1, c2));
            if (mx == mn)
                continue;
            const int am = a[mx];
            p[0] = static_cast<uint8_t>(AdjustClampByte((b[c0] + am) >> 7));
            p[1] = static_cast<uint8_t>(AdjustClampByte((b[c1] + am) >> 7));
            p[2] = static_cast<uint8_t>(AdjustClampByte((b[c2] + am) >> 7));
        }
    }
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
    if (contrast != 0) {
        uint8_t table[256];
        buildContrastTable(contrast, table);
        applyByteTable(pixels, width, height, stride, table);
    }
    if (saturation != 0)
        applySaturation(pixels, width, height, stride, saturation);
    return PE_OK_INPLACE;
}

int AdjustGrayscaleApply(uint8_t* pixels, int width, int height, int stride)
{
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const uint8_t g = static_cast<uint8_t>((117 * p[0] + 601 * p[1] + 306 * p[2]) >> 10);
            p[0] = g;
            p[1] = g;
            p[2] = g;
        }
    }
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

    const int a = static_cast<int>(opacity * 10.24 + 0.5);
    const int ia = 1024 - a;
    const int yt = (306 * red + 601 * green + 117 * blue) >> 10;
    const int cbt = (513 * blue - 340 * green - 173 * red) >> 10;
    const int crt = (512 * red - 429 * green - 83 * blue) >> 10;
    const bool keepLuma = mode != 0;

    for (int y = 0; y < height; ++y) {
        uint8_t* p = AdjustRow(pixels, stride, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int b = p[0], g = p[1], r = p[2];
            const int lum = (306 * r + 601 * g + 117 * b) >> 10;
            const int cb = (513 * b - 340 * g - 173 * r) >> 10;
            const int cr = (512 * r - 429 * g - 83 * b) >> 10;
            const int yf = (yt * lum) >> 8;
            const int cbf = (cbt * lum + yt * cb) >> 8;
            const int crf = (crt * lum + yt * cr) >> 8;
            int cbo = (cbf * a + cb * ia) >> 10;
            int cro = (crf * a + cr * ia) >> 10;
            int y1024;
            if (keepLuma) {
                // Fade the tint back to the pixel's own chroma in the highlights.
                const int k = std::max(0, ((3 * lum) >> 1) - 128);
                cbo = (cb * k + cbo * (256 - k)) >> 8;
                cro = (cr * k + cro * (256 - k)) >> 8;
                y1024 = lum * 1024;
            } else {
                y1024 = (yf * a + lum * ia) & ~1023;
            }
            p[2] = static_cast<uint8_t>(AdjustClampByte((y1024 + 1437 * cro) >> 10));
            p[1] = static_cast<uint8_t>(AdjustClampByte((y1024 - 352 * cbo - 731 * cro) >> 10));
            p[0] = static_cast<uint8_t>(AdjustClampByte((y1024 + 1812 * cbo) >> 10));
        }
    }
    return PE_OK_INPLACE;
}
