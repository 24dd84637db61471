#pragma once
// Banded, parallel forms of the Debevec merge and the Reinhard tone mapper.
// Both give the pictures of the single-call OpenCV operators while keeping
// only a band of temporaries per thread in memory.
#include <opencv2/core.hpp>

#include <vector>

// Debevec merge (default linear response) of equally sized B,G,R pictures
// (CV_8UC3, or CV_8UC4 whose fourth byte is ignored; views with any row
// step) with their exposure times into a CV_32FC3 radiance map.
void IQMergeDebevecBanded(const std::vector<cv::Mat>& images, const std::vector<float>& times, cv::Mat& radiance);

// Reinhard tone mapping of a CV_32FC3 radiance map, scaled by 255 and
// rounded into out8, a preallocated CV_8UC3 matrix of the same size (it may
// be a view of a QImage's pixels). The channel order follows the radiance
// map; with swapRedBlue the first and third channels are exchanged.
// Global statistics are gathered once; the per-pixel mapping runs in bands.
void IQTonemapReinhardBanded(const cv::Mat& radiance, float gamma, float intensity, float lightAdapt,
                             float colorAdapt, cv::Mat& out8, bool swapRedBlue);
