#include "IQImageConvert.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>

cv::Mat QImageToMat(const QImage& image, bool deepCopy)
{
    if (image.isNull())
        return cv::Mat();
    // The matrix header never writes through these pointers unless the
    // caller writes into a shallow matrix it asked for.
    void* bits = const_cast<uchar*>(image.constBits());
    const size_t step = size_t(image.bytesPerLine());
    try {
        switch (image.format()) {
        case QImage::Format_RGB888: {
            const cv::Mat view(image.height(), image.width(), CV_8UC3, bits, step);
            cv::Mat out;
            cv::cvtColor(view, out, cv::COLOR_RGB2BGR);
            return out;
        }
        case QImage::Format_Indexed8: {
            cv::Mat view(image.height(), image.width(), CV_8UC1, bits, step);
            return deepCopy ? view.clone() : view;
        }
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied: {
            cv::Mat view(image.height(), image.width(), CV_8UC4, bits, step);
            return deepCopy ? view.clone() : view;
        }
        default:
            return cv::Mat();
        }
    } catch (const cv::Exception&) {
        return cv::Mat();
    } catch (const std::bad_alloc&) {
        return cv::Mat();
    }
}

QImage MatToQImage(const cv::Mat& mat)
{
    if (mat.empty() || mat.dims != 2)
        return QImage();
    try {
        switch (mat.type()) {
        case CV_8UC1: {
            QImage image(mat.cols, mat.rows, QImage::Format_Indexed8);
            if (image.isNull())
                return QImage();
            QList<QRgb> table(256);
            for (int i = 0; i < 256; ++i)
                table[i] = 0xFF000000u + uint(i) * 0x010101u;
            image.setColorTable(table);
            for (int y = 0; y < mat.rows; ++y)
                std::memcpy(image.scanLine(y), mat.ptr(y), size_t(mat.cols));
            return image;
        }
        case CV_8UC3: {
            // B,G,R matrix into an R,G,B picture that owns its pixels.
            QImage image(mat.cols, mat.rows, QImage::Format_RGB888);
            if (image.isNull())
                return QImage();
            cv::Mat target(mat.rows, mat.cols, CV_8UC3, image.bits(), size_t(image.bytesPerLine()));
            cv::cvtColor(mat, target, cv::COLOR_BGR2RGB);
            return image;
        }
        case CV_8UC4: {
            QImage image(mat.cols, mat.rows, QImage::Format_ARGB32);
            if (image.isNull())
                return QImage();
            for (int y = 0; y < mat.rows; ++y)
                std::memcpy(image.scanLine(y), mat.ptr(y), size_t(mat.cols) * 4);
            return image;
        }
        default:
            return QImage();
        }
    } catch (const cv::Exception&) {
        return QImage();
    } catch (const std::bad_alloc&) {
        return QImage();
    }
}

double ScaleSizeToFit(int& w, int& h, int boxW, int boxH)
{
    if (w == 0 || h == 0)
        return 0.0;
    const double f = std::min(double(boxW) / w, double(boxH) / h);
    w = int(w * f + 0.5);
    h = int(h * f + 0.5);
    return f;
}

double ScaleSizeToCover(int& w, int& h, int boxW, int boxH, bool allowEnlarge)
{
    if (w == 0 || h == 0)
        return 0.0;
    const double f = std::max(double(boxW) / w, double(boxH) / h);
    if (f >= 1.0 && !allowEnlarge)
        return 1.0;
    w = int(w * f + 0.5);
    h = int(h * f + 0.5);
    return f;
}

double FitSizeInRect(const QSize& size, const QRect& rect, double* outW, double* outH)
{
    const int rectW = rect.right() - rect.left() + 1;
    const int rectH = rect.bottom() - rect.top() + 1;
    if (size.width() <= rectW && size.height() <= rectH) {
        if (outW)
            *outW = size.width();
        if (outH)
            *outH = size.height();
        return 1.0;
    }
    if (size.width() <= 0 || size.height() <= 0)
        return 0.0;
    const double f = std::min(double(rectW) / size.width(), double(rectH) / size.height());
    if (outW)
        *outW = size.width() * f;
    if (outH)
        *outH = size.height() * f;
    return f - 0.001;
}
