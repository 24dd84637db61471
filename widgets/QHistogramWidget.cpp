#include "QHistogramWidget.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
const int kMaxRows = 4096;
}

QHistogramWidget::QHistogramWidget(QWidget* parent)
    : QWidget(parent)
{
}

QVector<double> QHistogramWidget::computeHistogram(const QImage& argb32)
{
    QVector<double> bins(256, 0.0);
    if (argb32.isNull() || argb32.format() != QImage::Format_ARGB32)
        return bins;
    const int w = argb32.width();
    const int h = argb32.height();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const quint32*>(argb32.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 p = row[x];
            if (!(p & 0x80000000u))
                continue;
            const quint32 r = (p >> 16) & 0xff;
            const quint32 g = (p >> 8) & 0xff;
            const quint32 b = p & 0xff;
            bins[int((11 * r + 16 * g + 5 * b) >> 5)] += 1.0;
        }
    }
    return bins;
}

void QHistogramWidget::setImage(const QImage& image)
{
    if (image.isNull()) {
        m_bins.clear();
        update();
        return;
    }
    QImage small;
    const double rows = double(image.height()) * 256.0 / image.width();
    if (rows >= 1.0 && rows <= kMaxRows) {
        small = image.scaledToWidth(256, Qt::FastTransformation);
    } else {
        // Bounded: a tall thin picture would grow to gigabytes in proportion,
        // and a wide flat one would shrink to no row at all.
        const int h = int(std::clamp(std::lround(rows), 1L, long(kMaxRows)));
        small = image.scaled(256, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    small = small.convertToFormat(QImage::Format_ARGB32);
    QVector<double> bins = computeHistogram(small);
    const double m = *std::max_element(bins.cbegin(), bins.cend());
    if (m > 0)
        for (double& v : bins)
            v /= m;
    m_bins = std::move(bins);
    update();
}

void QHistogramWidget::setBackgroundColor(const QColor& color)
{
    m_background = color;
    update();
}

void QHistogramWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    if (m_bins.isEmpty()) {
        painter.fillRect(rect(), m_background);
        return;
    }
    const QColor bar(0xf4, 0xf4, 0xf4);
    const double step = double(w) / m_bins.size();
    // Narrower than the bins, some bins have no column of their own; they
    // share one with their neighbour and the taller bar is shown, or the
    // clipped blacks of bin 0 would never appear.
    const int end = std::min(w, int(std::trunc(m_bins.size() * step)));
    QVector<int> tops(std::max(end, 0), h);
    for (int i = 0; i < m_bins.size(); ++i) {
        const double b = m_bins[i] * h;
        const int top = int(std::trunc(h - b));
        const int x0 = int(std::trunc(i * step));
        const int x1 = std::min(end, std::max(x0 + 1, int(std::trunc((i + 1) * step))));
        for (int x = x0; x < x1; ++x)
            tops[x] = std::min(tops[x], top);
    }
    for (int x = 0; x < end; ++x) {
        const int top = std::max(tops[x], 0);
        if (top > 0)
            painter.fillRect(QRect(x, 0, 1, top), m_background);
        if (top < h)
            painter.fillRect(QRect(x, top, 1, h - top), bar);
    }
    // Columns right of the last bar (rounding) keep the background.
    if (end < w)
        painter.fillRect(QRect(std::max(end, 0), 0, w - std::max(end, 0), h), m_background);
}
