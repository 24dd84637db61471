#include "AdjustWhiteBalanceSrgb.h"

#include "PixelEngine.h"

#include <cmath>
#include <cstddef>

double AdjustSrgbLinearise(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double AdjustSrgbEncode(double x)
{
    return x <= 0.00304 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055;
}

void AdjustBuildLinearLut(uint16_t table[256])
{
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<uint16_t>(static_cast<int>(AdjustSrgbLinearise(v / 255.0) * 4095.0 + 0.5));
}

void AdjustBuildEncodeLut(uint8_t table[4096])
{
    for (int i = 0; i < 4096; ++i)
        table[i] = static_cast<uint8_t>(static_cast<int>(AdjustSrgbEncode(i / 4095.0) * 255.0 + 0.5));
}

namespace {

int mapBytes(uint8_t* pixels, int width, int height, int stride, const uint8_t table[256])
{
    if (height < 1 || width < 1)
        return PE_OK_INPLACE;
    if (!pixels || static_cast<int64_t>(stride) < static_cast<int64_t>(width) * 3)
        return PE_ERR_ARGUMENT;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (size_t i = 0; i < rowBytes; ++i)
            p[i] = table[p[i]];
    }
    return PE_OK_INPLACE;
}

} // namespace

int AdjustSrgbEncodeApply(uint8_t* pixels, int width, int height, int stride)
{
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<uint8_t>(static_cast<int>(AdjustSrgbEncode(v / 255.0) * 255.0 + 0.5));
    return mapBytes(pixels, width, height, stride, table);
}

int AdjustSrgbDecodeApply(uint8_t* pixels, int width, int height, int stride)
{
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<uint8_t>(static_cast<int>(AdjustSrgbLinearise(v / 255.0) * 255.0 + 0.5));
    return mapBytes(pixels, width, height, stride, table);
}
