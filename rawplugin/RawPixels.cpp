#include "RawPixels.h"

#include <QImageReader>
#include <cstdint>
#include <cstring>

QImage rawBitmapToRgb32(const unsigned char* data, std::size_t dataSize, int width, int height, int bits)
{
    if (!data || width <= 0 || height <= 0 || (bits != 8 && bits != 16))
        return {};
    const std::size_t bytesPerSample = std::size_t(bits) / 8;
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    int colors = 0;
    if (dataSize == pixels * 3 * bytesPerSample)
        colors = 3;
    else if (dataSize == pixels * bytesPerSample)
        colors = 1; // LibRaw reports grey previews as three colours
    else
        return {};
    if (!fitsImageAllocationLimit(QSize(width, height)))
        return {};
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        return {};

    // 16-bit samples are in host order; their high byte is the 8-bit value.
    const auto sample = [bits](const unsigned char* p) -> std::uint32_t {
        if (bits == 8)
            return *p;
        std::uint16_t v;
        std::memcpy(&v, p, sizeof v);
        return v >> 8;
    };
    const std::size_t step = std::size_t(colors) * bytesPerSample;
    const unsigned char* in = data;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x, in += step) {
            const std::uint32_t r = sample(in);
            const std::uint32_t g = colors == 3 ? sample(in + bytesPerSample) : r;
            const std::uint32_t b = colors == 3 ? sample(in + 2 * bytesPerSample) : r;
            row[x] = 0xff000000u | (r << 16) | (g << 8) | b;
        }
    }
    return out;
}

QImage applyRawFlip(const QImage& source, int flip)
{
    flip &= 7;
    if (flip == 0 || source.isNull())
        return source;
    const QImage src = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const int sw = src.width();
    const int sh = src.height();
    const bool transpose = flip & 4;
    QImage out(transpose ? sh : sw, transpose ? sw : sh, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    for (int r = 0; r < out.height(); ++r) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(r));
        for (int c = 0; c < out.width(); ++c) {
            int sr = transpose ? c : r;
            int sc = transpose ? r : c;
            if (flip & 2)
                sr = sh - 1 - sr;
            if (flip & 1)
                sc = sw - 1 - sc;
            row[c] = reinterpret_cast<const QRgb*>(src.constScanLine(sr))[sc];
        }
    }
    return out;
}

bool fitsImageAllocationLimit(const QSize& size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return false;
    const qint64 limitMb = QImageReader::allocationLimit();
    if (limitMb <= 0)
        return true;
    return qint64(size.width()) * qint64(size.height()) * 4 <= (limitMb << 20);
}
