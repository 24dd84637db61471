#pragma once
#include <QColor>
#include <QImage>
#include <QVector>
#include <QWidget>

// A luminance histogram of 256 bars, normalised to the tallest bar.
class QHistogramWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QHistogramWidget(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }
    const QVector<double>& bins() const { return m_bins; }

    // 256 counts of (11 R + 16 G + 5 B) >> 5 over the pixels whose alpha is at
    // least 128; the image is read as ARGB32.
    static QVector<double> computeHistogram(const QImage& argb32);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<double> m_bins;
    QColor m_background{0x22, 0x22, 0x22};
};
