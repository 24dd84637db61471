#include "IQExposure.h"

#include "IQYUVFrame.h"

#include <cmath>
#include <cstring>

namespace {

struct WeightTable {
    uint16_t values[256];
    WeightTable()
    {
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            values[i] = uint16_t(std::lround(4095.0 * linear));
        }
    }
};

} // namespace

const uint16_t* ExposureWeightTable()
{
    static const WeightTable table;
    return table.values;
}

double ComputeWeightedHistogramMean(uint32_t* histogram, const uint16_t* table, const uint8_t* yuy2, int width,
                                    int height, int pitch)
{
    std::memset(histogram, 0, 256 * sizeof(uint32_t));
    if (!yuy2 || !table || width <= 0 || height <= 0)
        return 1.0;
    for (int y = 0; y < height; y += 8) {
        const uint8_t* row = yuy2 + size_t(y) * size_t(pitch);
        for (int x = 0; x < width; x += 8)
            ++histogram[row[size_t(x) * 2]];
    }
    return ExposureGainFromHistogram(histogram, table, width, height);
}

double ExposureGainFromHistogram(const uint32_t* histogram, const uint16_t* table, int width, int height)
{
    if (width <= 0 || height <= 0)
        return 1.0;
    double sum = 0.0;
    for (int i = 0; i < 256; ++i)
        sum += double(table[i]) * double(histogram[i]);
    // Divide by the number of samples: equal to width*height/64 when both
    // sides are multiples of 8, and still the true mean when they are not.
    const double samples = double((width + 7) / 8) * double((height + 7) / 8);
    const double mean = sum / samples;
    if (!(mean > 0.0))
        return 1.0;
    return 880.64 / mean;
}

int ComputeExposureGain(const IQYUVFrame* frame, double* gain)
{
    if (!frame || !gain || frame->format != IQYUV_FORMAT_YUY2 || !frame->plane[0])
        return 0;
    uint32_t histogram[256];
    *gain = ComputeWeightedHistogramMean(histogram, ExposureWeightTable(), frame->plane[0], frame->width,
                                         frame->height, frame->pitch[0]);
    return 0;
}
