#pragma once
// Banded, parallel forms of the Debevec merge and the Reinhard tone mapper.
// Both give the pictures of the single-call OpenCV operators while keeping
// only a band of temporaries per thread in memory.
#include <opencv2/core.hpp>

#include <vector>

// Per-channel range of a radiance map, in its channel order.
struct IQRadianceRange {
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};

    // Every pixel of the map has the same colour (or there are no numbers).
    bool isFlat() const { return !(max[0] > min[0]) && !(max[1] > min[1]) && !(max[2] > min[2]); }
};

// Debevec merge (default linear response) of equally sized B,G,R pictures
// (CV_8UC3, or CV_8UC4 whose fourth byte is ignored; views with any row
// step) with their exposure times into a CV_32FC3 radiance map.
// It is OpenCV's MergeDebevec except near the ends of the range, judged
// per pixel by a photo's brightest channel. A photo at 250 or more only
// bounds the radiance from below, and so does every longer photo; they get
// no weight, except the shortest photo. A photo at 5 or less (black in
// every channel) only bounds it from above, and so does every shorter one;
// they get no weight, except the longest. Between 240 and 250, and between
// 5 and 15, the weight fades. So a pixel at the top in every photo gets the
// shortest photo's radiance, one at the bottom in every photo the longest
// photo's. Where nothing would be left, and in every pixel whose photos all
// lie within 15..240, it is exactly the library's merge.
// With range, the merge also reports the map's range, sparing the tone
// mapper its first pass.
void IQMergeDebevecBanded(const std::vector<cv::Mat>& images, const std::vector<float>& times, cv::Mat& radiance,
                          IQRadianceRange* range = nullptr);

// The range of a CV_32FC3 map (NaN values skipped).
void IQRadianceRangeOf(const cv::Mat& radiance, IQRadianceRange& range);

// Reinhard tone mapping of a CV_32FC3 radiance map, scaled by 255 and
// rounded into out8, a preallocated CV_8UC3 matrix of the same size (it may
// be a view of a QImage's pixels). The channel order follows the radiance
// map; with swapRedBlue the first and third channels are exchanged.
// Global statistics are gathered once; the per-pixel mapping runs in bands.
// knownRange, when given, is the map's range as IQRadianceRangeOf gives it.
// A map of one colour has no contrast to map; it becomes flatColour (8-bit
// levels in the map's channel order), or mid-grey without one.
void IQTonemapReinhardBanded(const cv::Mat& radiance, float gamma, float intensity, float lightAdapt,
                             float colorAdapt, cv::Mat& out8, bool swapRedBlue,
                             const IQRadianceRange* knownRange = nullptr, const cv::Scalar* flatColour = nullptr);
