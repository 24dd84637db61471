#pragma once
// A picture copied into a buffer with rows padded to 4 bytes, as the
// adjustment processor owns them, seen again as a cv::Mat over those rows.
#include <opencv2/core.hpp>

#include <cstring>
#include <memory>

#include "IQBGRData.h"

struct PaddedBuffer {
    explicit PaddedBuffer(const cv::Mat& picture)
        : data(IQBGRData::create(picture.cols, picture.rows))
    {
        for (int y = 0; y < picture.rows; ++y)
            std::memcpy(data->data + size_t(y) * size_t(data->bytesPerLine), picture.ptr(y),
                        size_t(picture.cols) * 3);
    }
    cv::Mat mat() const
    {
        return cv::Mat(data->height, int(data->width), CV_8UC3, data->data, size_t(data->bytesPerLine));
    }
    std::unique_ptr<IQBGRData> data;
};
