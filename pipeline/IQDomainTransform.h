#pragma once
// Domain-transform filters (Gastal & Oliveira, recursive form) on 8-bit
// B,G,R pictures. They give the pictures of OpenCV's cv::detailEnhance and
// cv::edgePreservingFilter with flags 1 to within one level per channel, but
// run the horizontal passes in parallel row bands and the vertical passes in
// parallel column strips instead of on one core.
//
// src may be a view into a larger picture; dst may be src itself. Throws
// cv::Exception for an empty picture, another type than CV_8UC3 or sigmas
// that are not positive and finite. With a scratch, the whole-picture float
// planes are taken from it (slots 0 to 2) instead of being allocated.
#include <opencv2/core.hpp>

class IQFilterScratch;

// Detail enhancement of the L channel of the picture's float Lab form:
// L' = F + 3 * (L - F), with F the domain-transform smoothing of L / 255.
void IQDetailEnhance(const cv::Mat& src, cv::Mat& dst, float sigmaS, float sigmaR,
                     IQFilterScratch* scratch = nullptr);

// Edge-preserving smoothing of all three channels of the 0..1 picture.
void IQEdgePreservingRecursive(const cv::Mat& src, cv::Mat& dst, float sigmaS, float sigmaR,
                               IQFilterScratch* scratch = nullptr);
