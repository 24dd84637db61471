#pragma once
// A picture copied into a buffer with rows padded to 4 bytes, as the
// adjustment processor owns them, seen again as a cv::Mat over those rows;
// and the conversions between QImage, cv::Mat and such buffers that the
// pipeline tests share.
#include <QImage>
#include <QString>
#include <QTest>
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

// Empty when the two pictures have one size and type and differ by at most
// maxStep in any byte, on at most the share `tolerated` of the bytes; else
// what is wrong.
inline QString disagreement(const cv::Mat& ours, const cv::Mat& theirs, double maxStep, double tolerated)
{
    if (ours.size() != theirs.size() || ours.type() != theirs.type())
        return QStringLiteral("size or type differs");
    cv::Mat diff;
    cv::absdiff(ours, theirs, diff);
    const double worst = cv::norm(diff, cv::NORM_INF);
    const int differing = cv::countNonZero(diff.reshape(1));
    const double bytes = double(diff.total() * size_t(diff.channels()));
    if (worst <= maxStep && differing <= tolerated * bytes)
        return QString();
    return QStringLiteral("max difference %1, %2 of %3 bytes differ").arg(worst).arg(differing).arg(bytes);
}

// Byte for byte the same; or, for a filter that stands in for an OpenCV one,
// within one level on all but 0.1 % of the bytes.
#define VERIFY_SAME(ours, theirs) VERIFY_AGREE(ours, theirs, 0, 0)
#define VERIFY_CLOSE(ours, theirs) VERIFY_AGREE(ours, theirs, 1, 0.001)
#define VERIFY_AGREE(ours, theirs, maxStep, tolerated)                                                            \
    do {                                                                                                           \
        const QString why = disagreement(ours, theirs, maxStep, tolerated);                                       \
        QVERIFY2(why.isEmpty(), qPrintable(why));                                                                 \
    } while (0)

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
