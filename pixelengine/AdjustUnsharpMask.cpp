#include "AdjustUnsharpMask.h"

#include <algorithm>
#include <cstdlib>

#include "AdjustKernelArgs.h"

namespace {

// Beyond these the threshold and the clamped change no longer depend on the
// amount, so clamping keeps results exact and the products inside 32 bits.
constexpr int kMaxAmount = 10000;

ADJUST_ROW_INLINE void lumaRow(const uint8_t* __restrict p, int width, uint8_t* __restrict out)
{
    for (int x = 0; x < width; ++x, p += 3)
        out[x] = static_cast<uint8_t>((306 * p[2] + 601 * p[1] + 117 * p[0]) >> 10);
}

// 1 4 6 4 1 over columns 2 .. width - 3.
ADJUST_ROW_INLINE void blurRow(const uint8_t* __restrict l, int width, uint8_t* __restrict out)
{
    for (int x = 2; x + 2 < width; ++x)
        out[x] = static_cast<uint8_t>((l[x - 2] + l[x + 2] + 4 * (l[x - 1] + l[x + 1]) + 6 * l[x]) >> 4);
}

// Rows are sharpened top to bottom; a row is changed only after every luma
// value that reads it has been taken, so rings of five blurred rows and five
// luma rows are all the state needed.
ADJUST_HOT_LOOP void sharpenRows(uint8_t* pixels, int width, int height, int stride, int a, int threshold,
                                 uint8_t* const* luma, uint8_t* const* blurred)
{
    for (int r = 0; r < 4; ++r) {
        lumaRow(AdjustRow(pixels, stride, r), width, luma[r % 5]);
        blurRow(luma[r % 5], width, blurred[r % 5]);
    }
    const int gain = a * 10;
    for (int y = 2; y + 2 < height; ++y) {
        const int next = y + 2;
        lumaRow(AdjustRow(pixels, stride, next), width, luma[next % 5]);
        blurRow(luma[next % 5], width, blurred[next % 5]);
        const uint8_t* __restrict h0 = blurred[(y - 2) % 5];
        const uint8_t* __restrict h1 = blurred[(y - 1) % 5];
        const uint8_t* __restrict h2 = blurred[y % 5];
        const uint8_t* __restrict h3 = blurred[(y + 1) % 5];
        const uint8_t* __restrict h4 = blurred[(y + 2) % 5];
        const uint8_t* __restrict l = luma[y % 5];
        uint8_t* __restrict p = AdjustRow(pixels, stride, y);
        for (int x = 2; x + 2 < width; ++x) {
            const int blur = (h0[x] + h4[x] + 4 * (h1[x] + h3[x]) + 6 * h2[x]) >> 4;
            const int d = l[x] - blur;
            const int ad = d < 0 ? -d : d;
            const int change = ad > threshold ? std::clamp((d * gain) >> 8, -255, 255) : 0;
            p[3 * x] = static_cast<uint8_t>(AdjustClampByte(p[3 * x] + change));
            p[3 * x + 1] = static_cast<uint8_t>(AdjustClampByte(p[3 * x + 1] + change));
            p[3 * x + 2] = static_cast<uint8_t>(AdjustClampByte(p[3 * x + 2] + change));
        }
    }
}

} // namespace

int AdjustUnsharpMaskApply(uint8_t* pixels, int width, int height, int stride, int amount)
{
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check < 0)
        return check;
    if (check == PE_OK_INPLACE || amount == 0 || width < 5 || height < 5)
        return PE_OK;
    const int a = std::clamp(amount, -kMaxAmount, kMaxAmount);
    const int threshold = 4 - a / 25;

    const size_t w = size_t(width);
    uint8_t* memory = static_cast<uint8_t*>(std::malloc(10 * w));
    if (!memory)
        return PE_ERR_NOMEM;
    uint8_t* luma[5];
    uint8_t* blurred[5];
    for (int i = 0; i < 5; ++i) {
        luma[i] = memory + i * w;
        blurred[i] = memory + (5 + i) * w;
    }
    sharpenRows(pixels, width, height, stride, a, threshold, luma, blurred);
    std::free(memory);
    return PE_OK;
}
