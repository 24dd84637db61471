#include "IQHDRKernels.h"

#include "IQParallel.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <cfloat>
#include <cmath>
#include <limits>
#include <mutex>

void IQMergeDebevecBanded(const std::vector<cv::Mat>& images, const std::vector<float>& times, cv::Mat& radiance)
{
    CV_Assert(!images.empty() && images.size() == times.size());
    const cv::Size size = images[0].size();
    for (const cv::Mat& image : images)
        CV_Assert(image.type() == CV_8UC3 && image.size() == size);
    radiance.create(size, CV_32FC3);
    // The merge is per pixel, so matching row bands of every picture give
    // the rows of the whole merge.
    IQParallelBands(size.height, IQBandRowsFor(size.height), [&](int begin, int end) {
        std::vector<cv::Mat> band;
        band.reserve(images.size());
        for (const cv::Mat& image : images)
            band.push_back(image.rowRange(begin, end));
        cv::Mat merged;
        cv::createMergeDebevec()->process(band, merged, times);
        merged.copyTo(radiance.rowRange(begin, end));
    });
}

namespace {

struct MinMax {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    std::mutex lock;

    void add(double lo, double hi)
    {
        std::lock_guard<std::mutex> guard(lock);
        min = std::min(min, lo);
        max = std::max(max, hi);
    }
};

// The linear operator of the tone mappers: stretch to the range found over
// the whole picture. The expression mirrors OpenCV's own (a double minimum
// becomes a Scalar that only touches the first channel), so the result is
// pixel for pixel the library's.
void stretch(const cv::Mat& src, cv::Mat& dst, double lo, double hi)
{
    if (hi - lo > DBL_EPSILON)
        dst = (src - lo) / (hi - lo);
    else
        src.copyTo(dst);
}

struct ReinhardGlobals {
    double lo = 0, hi = 0; // radiance range
    float mapKey = 0;
    float intensity = 0;
    float lightAdapt = 0;
    float colorAdapt = 0;
    float grayMean = 0;
    cv::Scalar channelMean;
};

void reinhardBand(const cv::Mat& src, const ReinhardGlobals& g, cv::Mat& out)
{
    cv::Mat img;
    stretch(src, img, g.lo, g.hi);
    cv::Mat gray;
    cv::cvtColor(img, gray, cv::COLOR_RGB2GRAY);
    std::vector<cv::Mat> channels(3);
    cv::split(img, channels);
    for (int i = 0; i < 3; ++i) {
        const float global = g.colorAdapt * static_cast<float>(g.channelMean[i]) + (1.0f - g.colorAdapt) * g.grayMean;
        cv::Mat adapt = g.colorAdapt * channels[i] + (1.0f - g.colorAdapt) * gray;
        adapt = g.lightAdapt * adapt + (1.0f - g.lightAdapt) * global;
        cv::pow(g.intensity * adapt, g.mapKey, adapt);
        channels[i] = channels[i].mul(1.0f / (adapt + channels[i]));
    }
    cv::merge(channels, out);
}

} // namespace

void IQTonemapReinhardBanded(const cv::Mat& radiance, float gamma, float intensity, float lightAdapt,
                             float colorAdapt, cv::Mat& out8, bool swapRedBlue)
{
    CV_Assert(!radiance.empty() && radiance.type() == CV_32FC3);
    CV_Assert(out8.type() == CV_8UC3 && out8.size() == radiance.size());
    const int rows = radiance.rows;
    const int bandRows = IQBandRowsFor(rows);
    const double total = double(radiance.total());

    // Range of the radiance map.
    MinMax range;
    IQParallelBands(rows, bandRows, [&](int begin, int end) {
        double lo, hi;
        cv::minMaxLoc(radiance.rowRange(begin, end), &lo, &hi);
        range.add(lo, hi);
    });

    // Log-luminance statistics and channel means of the stretched picture.
    MinMax logRange;
    std::mutex sumLock;
    double logSum = 0, graySum = 0;
    cv::Scalar channelSum;
    IQParallelBands(rows, bandRows, [&](int begin, int end) {
        cv::Mat img, gray, logImg;
        stretch(radiance.rowRange(begin, end), img, range.min, range.max);
        cv::cvtColor(img, gray, cv::COLOR_RGB2GRAY);
        cv::max(gray, cv::Scalar::all(1e-4), logImg);
        cv::log(logImg, logImg);
        double lo, hi;
        cv::minMaxLoc(logImg, &lo, &hi);
        logRange.add(lo, hi);
        const double bandLog = cv::sum(logImg)[0];
        const double bandGray = cv::sum(gray)[0];
        const cv::Scalar bandChannels = cv::sum(img);
        std::lock_guard<std::mutex> guard(sumLock);
        logSum += bandLog;
        graySum += bandGray;
        channelSum += bandChannels;
    });

    ReinhardGlobals g;
    g.lo = range.min;
    g.hi = range.max;
    const float logMean = static_cast<float>(logSum / total);
    // A picture of one brightness has no log range; OpenCV's division gives
    // NaN there and a black picture. Key 0 maps it to a flat grey instead.
    double key = 0.0;
    if (logRange.max - logRange.min > 0.0)
        key = static_cast<float>((logRange.max - logMean) / (logRange.max - logRange.min));
    g.mapKey = 0.3f + 0.7f * std::pow(static_cast<float>(key), 1.4f);
    g.intensity = std::exp(-intensity);
    g.lightAdapt = lightAdapt;
    g.colorAdapt = colorAdapt;
    g.grayMean = static_cast<float>(graySum / total);
    g.channelMean = channelSum * (1.0 / total);

    // Range of the mapped picture.
    MinMax mappedRange;
    IQParallelBands(rows, bandRows, [&](int begin, int end) {
        cv::Mat mapped;
        reinhardBand(radiance.rowRange(begin, end), g, mapped);
        double lo, hi;
        cv::minMaxLoc(mapped, &lo, &hi);
        mappedRange.add(lo, hi);
    });

    // Final stretch, gamma and 8-bit rounding, band by band.
    IQParallelBands(rows, bandRows, [&](int begin, int end) {
        cv::Mat mapped, stretched;
        reinhardBand(radiance.rowRange(begin, end), g, mapped);
        stretch(mapped, stretched, mappedRange.min, mappedRange.max);
        cv::pow(stretched, 1.0f / gamma, stretched);
        cv::Mat scaled = stretched * 255.0;
        cv::Mat target = out8.rowRange(begin, end);
        if (swapRedBlue) {
            cv::Mat bgr;
            scaled.convertTo(bgr, CV_8UC3, 1.0, 0.0);
            cv::cvtColor(bgr, target, cv::COLOR_BGR2RGB);
        } else {
            scaled.convertTo(target, CV_8UC3, 1.0, 0.0);
        }
    });
}
