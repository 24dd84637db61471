#include "AdjustBlockBlend.h"

#include <cmath>
#include <cstdlib>

#include "AdjustKernelArgs.h"

AdjustBlockWeights::~AdjustBlockWeights()
{
    std::free(m_weights);
}

bool AdjustBlockWeights::allocate(int width, int height)
{
    m_width = width;
    m_height = height;
    m_columns = (width + 31) >> 4;
    m_rows = (height + 31) >> 4;
    std::free(m_weights);
    m_weights = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * size_t(m_columns) * size_t(m_rows)));
    return m_weights != nullptr;
}

double AdjustBlockWeights::distance(int bx, int by) const
{
    const double hw = (m_width + 1) >> 1, hh = (m_height + 1) >> 1;
    const double d = hw * hw + hh * hh;
    const double dx = 16.0 * bx - hw, dy = 16.0 * by - hh;
    return std::sqrt((dx * dx + dy * dy) / d);
}

int AdjustBlurWeight(double s, int mix)
{
    return static_cast<int>(((1.0 - s) * (0.2 * mix + 0.9 * (100 - mix)) * 0.01 + 0.9 * s) * 256.0 + 0.5);
}

ADJUST_HOT_LOOP void AdjustBlendRow(const uint8_t* src, const uint8_t* filtered, uint8_t* dst, int width,
                    const uint32_t* weightRow)
{
    for (int x0 = 0, block = 0; x0 < width; x0 += 16, ++block) {
        const int w = static_cast<int>(weightRow[block]);
        const int iw = 256 - w;
        const int end = (width - x0 < 16 ? width : x0 + 16) * 3;
        for (int i = x0 * 3; i < end; ++i)
            dst[i] = static_cast<uint8_t>((src[i] * iw + filtered[i] * w) >> 8);
    }
}
