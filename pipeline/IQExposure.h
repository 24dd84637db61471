#pragma once
// Exposure estimate of one picture from its own pixels: a histogram of the
// luma of one pixel in 64, weighted by linear light.
#include <QString>
#include <opencv2/core.hpp>

#include <cstdint>

struct IQYUVFrame;

// Entry i = round(4095 * sRGB-decode(i / 255)).
const uint16_t* ExposureWeightTable();

// Mean linear luma (0..4095) of every eighth pixel of every eighth row of a
// YUY2 picture, turned into a gain: 880.64 / mean, or 1.0 when the mean is
// not positive. histogram is 256 entries of scratch space.
double ComputeWeightedHistogramMean(uint32_t* histogram, const uint16_t* table, const uint8_t* yuy2, int width,
                                    int height, int pitch);

// Gain of a luma histogram of one pixel in 64 of a width x height picture.
double ExposureGainFromHistogram(const uint32_t* histogram, const uint16_t* table, int width, int height);

// Stores the gain of a YUY2 frame in *gain; other formats leave it alone.
// Returns 0.
int ComputeExposureGain(const IQYUVFrame* frame, double* gain);

// One input path of a multi-photo merge.
struct IQExposureItem {
    IQExposureItem() = default;
    explicit IQExposureItem(const QString& path_) : path(path_) {}

    QString path;
    double exposureTime = 0.0; // 0 until the photo is read
};

// One photo of the series as it is sorted and merged.
struct IQExposureImage {
    QString path;
    cv::Mat image; // B,G,R pixels: CV_8UC3, or CV_8UC4 over the picture as read
    double exposureTime = 0.0;
};
