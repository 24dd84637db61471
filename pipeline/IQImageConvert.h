#pragma once
// Conversions between QImage and cv::Mat, and small size helpers.
#include <QImage>
#include <QRect>
#include <QSize>
#include <opencv2/core.hpp>

// RGB888 gives an owning B,G,R CV_8UC3 matrix (always a copy; the caller's
// picture is never touched); Indexed8 a CV_8UC1 matrix of the indices;
// RGB32/ARGB32/ARGB32_Premultiplied a CV_8UC4 matrix of the B,G,R,A bytes.
// Without deepCopy the last two share the picture's memory and are valid
// only while it lives. Other formats, or no memory: an empty matrix.
cv::Mat QImageToMat(const QImage& image, bool deepCopy);

// CV_8UC1 gives a grey Indexed8 picture, CV_8UC3 (B,G,R) an RGB888 picture,
// CV_8UC4 an ARGB32 picture, each owning its pixels; anything else (or no
// memory) a null image.
QImage MatToQImage(const cv::Mat& mat);

// Scales w and h by min(boxW/w, boxH/h), rounded; returns the factor, or 0.0
// without change when a size is 0.
double ScaleSizeToFit(int& w, int& h, int boxW, int boxH);

// Same with max(boxW/w, boxH/h); with a factor of 1 or more and enlarging
// not allowed, nothing changes and 1.0 is returned.
double ScaleSizeToCover(int& w, int& h, int boxW, int boxH, bool allowEnlarge);

// 1.0 and the size itself when it fits the (inclusive) rectangle; otherwise
// the unrounded scaled sizes and the factor minus 0.001.
double FitSizeInRect(const QSize& size, const QRect& rect, double* outW, double* outH);
