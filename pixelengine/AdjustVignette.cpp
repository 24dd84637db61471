#include "AdjustVignette.h"

#include <algorithm>
#include <cmath>

#include "AdjustKernelArgs.h"

namespace {

// Bit length of v minus one, v > 0.
int floorLog2(uint64_t v)
{
    int n = -1;
    while (v) {
        v >>= 1;
        ++n;
    }
    return n;
}

ADJUST_HOT_LOOP void vignetteRows(uint8_t* pixels, int width, int height, int stride, int64_t hw, int64_t hh,
                                  int shift, const uint32_t* table, bool brighten)
{
    for (int y = 0; y < height; ++y) {
        uint8_t* __restrict p = AdjustRow(pixels, stride, y);
        const int64_t dy2 = (y - hh) * (y - hh);
        for (int x = 0; x < width; ++x, p += 3) {
            const int64_t dx = x - hw;
            const uint32_t g = table[(dx * dx + dy2) >> shift];
            if (brighten) {
                for (int c = 0; c < 3; ++c) {
                    const uint32_t v = (p[c] * g) >> 10;
                    p[c] = static_cast<uint8_t>(v > 255 ? 255 : v);
                }
            } else {
                p[0] = static_cast<uint8_t>((p[0] * g) >> 10);
                p[1] = static_cast<uint8_t>((p[1] * g) >> 10);
                p[2] = static_cast<uint8_t>((p[2] * g) >> 10);
            }
        }
    }
}

} // namespace

int AdjustVignetteApply(uint8_t* pixels, int width, int height, int stride, int amount)
{
    const int check = AdjustCheckBgr(pixels, width, height, stride);
    if (check != 0)
        return check;
    if (amount == 0)
        return PE_OK_INPLACE;

    const int64_t hw = (width + 1) >> 1, hh = (height + 1) >> 1;
    const int64_t d = hw * hw + hh * hh;
    const double e = -0.02 * amount;
    const int shift = std::max(0, floorLog2(uint64_t(d)) - 11);
    const int entries = int(d >> shift) + 1;
    // Gains in 1/1024. Brightening gains are capped where every byte but 0
    // already saturates, which keeps the products inside 32 bits.
    constexpr double kMaxGain = 255.0 * 1024.0 + 1.0;
    uint32_t table[4096];
    for (int i = 0; i < entries; ++i) {
        double g = std::pow(4.0, double(i) * double(int64_t(1) << shift) / double(d) * e) * 1024.0 + 0.5;
        if (!(g < kMaxGain))
            g = kMaxGain;
        table[i] = static_cast<uint32_t>(g);
    }

    vignetteRows(pixels, width, height, stride, hw, hh, shift, table, amount < 0);
    return PE_OK_INPLACE;
}
