#pragma once
// OpenCV fills its Lab conversion tables on the first conversion of each
// kind without a lock: bands or tiles making that first conversion at once
// race on them. One conversion of each kind the filters use (8-bit sRGB and
// linear, float), on one thread beforehand, settles them. Also spares the
// first pass the user waits for the time of building them.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <mutex>

inline void IQPrepareLabTables()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const cv::Mat pixel(1, 1, CV_8UC3, cv::Scalar(10, 120, 240));
        cv::Mat lab, back;
        cv::cvtColor(pixel, lab, cv::COLOR_BGR2Lab);
        cv::cvtColor(lab, back, cv::COLOR_Lab2BGR);
        cv::cvtColor(pixel, lab, cv::COLOR_LBGR2Lab);
        cv::cvtColor(lab, back, cv::COLOR_Lab2LBGR);
        cv::Mat f;
        pixel.convertTo(f, CV_32F, 1.0 / 255.0);
        cv::cvtColor(f, lab, cv::COLOR_BGR2Lab);
        cv::cvtColor(lab, back, cv::COLOR_Lab2BGR);
    });
}
