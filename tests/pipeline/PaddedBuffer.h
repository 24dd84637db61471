#pragma once
// A picture copied into a buffer with rows padded to 4 bytes, as the
// adjustment processor owns them, seen again as a cv::Mat over those rows;
// and the conversions between QImage, cv::Mat and such buffers that the
// pipeline tests share.
#include <QImage>
#include <opencv2/core.hpp>

#include <cstring>
#include <memory>

#include "IQBGRData.h"

// The buffer's pixels as a matrix over its memory (no copy).
inline cv::Mat matOf(const IQBGRData& data)
{
    return cv::Mat(data.height, int(data.width), CV_8UC3, data.data, size_t(data.bytesPerLine));
}

// The picture's pixels as an owning B,G,R matrix; empty for a null picture.
inline cv::Mat bgrMatOf(const QImage& image)
{
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull())
        return cv::Mat();
    return cv::Mat(bgr.height(), bgr.width(), CV_8UC3, const_cast<uchar*>(bgr.constBits()),
                   size_t(bgr.bytesPerLine()))
        .clone();
}

// The buffer's pixels as a Format_BGR888 picture of its own.
inline QImage imageOf(const IQBGRData& data)
{
    QImage image(int(data.width), data.height, QImage::Format_BGR888);
    for (int y = 0; y < data.height; ++y)
        std::memcpy(image.scanLine(y), data.data + size_t(y) * size_t(data.bytesPerLine), size_t(data.width) * 3);
    return image;
}

// Same size and the same B,G,R bytes, whatever the two formats.
inline bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    return a.isNull() || cv::norm(bgrMatOf(a), bgrMatOf(b), cv::NORM_INF) == 0.0;
}

struct PaddedBuffer {
    explicit PaddedBuffer(const cv::Mat& picture)
        : data(IQBGRData::create(picture.cols, picture.rows))
    {
        for (int y = 0; y < picture.rows; ++y)
            std::memcpy(data->data + size_t(y) * size_t(data->bytesPerLine), picture.ptr(y),
                        size_t(picture.cols) * 3);
    }
    explicit PaddedBuffer(const QImage& picture) : PaddedBuffer(bgrMatOf(picture)) {}
    cv::Mat mat() const { return matOf(*data); }
    std::unique_ptr<IQBGRData> data;
};
