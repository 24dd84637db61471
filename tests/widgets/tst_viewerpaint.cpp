// What the zooming viewer paints after its picture, scale or filter changes:
// grabbed pixels must always come from the current picture at the current
// scale and filter, never from an earlier paint.
#include "WidgetTestUtil.h"

#include "GraphicsImageViewer.h"

#include <QtTest>

using namespace widgettest;

namespace {
const QSize kViewport(400, 300);
const QRgb kBackground = qRgb(0x22, 0x22, 0x22);

std::unique_ptr<QPixmap> solid(QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return std::make_unique<QPixmap>(QPixmap::fromImage(img));
}

// A red picture with a blue frame `border` pixels wide.
std::unique_ptr<QPixmap> framed(QSize size, int border)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QPainter p(&img);
    p.fillRect(border, border, size.width() - 2 * border, size.height() - 2 * border, Qt::red);
    p.end();
    return std::make_unique<QPixmap>(QPixmap::fromImage(img));
}

// One-pixel black and white checks: bilinear scaling by one half turns them
// grey, nearest-neighbour scaling keeps them black or white.
std::unique_ptr<QPixmap> checks(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            row[x] = ((x + y) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    return std::make_unique<QPixmap>(QPixmap::fromImage(img));
}

QImage grabViewport(GraphicsImageViewer& v)
{
    return v.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int countPixels(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            n += (row[x] & 0xffffff) == (colour & 0xffffff);
    }
    return n;
}

// The bounding box of the pixels that are not background.
QRect pictureArea(const QImage& img)
{
    QRect area;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xffffff) != (kBackground & 0xffffff))
                area |= QRect(x, y, 1, 1);
    return area;
}
} // namespace

class TestViewerPaint : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<GraphicsImageViewer> viewer;
    GraphicsImageViewer& makeViewer()
    {
        viewer = std::make_unique<GraphicsImageViewer>();
        viewer->resize(kViewport);
        viewer->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(viewer.get())); }();
        return *viewer;
    }

private slots:
    void cleanup() { viewer.reset(); }

    void newPictureOfSameSize_data()
    {
        QTest::addColumn<double>("scale"); // 0 keeps the fit
        QTest::addColumn<int>("filter");
        for (int filter : {0, 1}) {
            const char* f = filter ? "bilinear" : "nearest";
            QTest::addRow("fit, %s", f) << 0.0 << filter;
            QTest::addRow("0.5, %s", f) << 0.5 << filter;
            QTest::addRow("1.0, %s", f) << 1.0 << filter;
            QTest::addRow("2.5, %s", f) << 2.5 << filter;
        }
    }

    // The same size keeps scale and scroll, so nothing about the geometry
    // tells a paint that the pixels changed.
    void newPictureOfSameSize()
    {
        QFETCH(double, scale);
        QFETCH(int, filter);
        GraphicsImageViewer& v = makeViewer();
        v.setScalingFilter(ScalingFilter(filter));
        const QSize size(1200, 900);
        v.showImageOwned(solid(size, Qt::red));
        if (scale > 0)
            v.zoom(float(scale));
        QImage shot = grabViewport(v);
        QVERIFY(countPixels(shot, qRgb(255, 0, 0)) > 0);

        const double before = v.currentScale();
        v.showImage(solid(size, Qt::blue));
        QCOMPARE(v.currentScale(), before);
        shot = grabViewport(v);
        QCOMPARE(countPixels(shot, qRgb(255, 0, 0)), 0);
        QVERIFY(countPixels(shot, qRgb(0, 0, 255)) > 0);

        // Repeatedly, as the editing page does during a drag.
        for (int i = 0; i < 4; ++i) {
            const QColor c = QColor::fromHsv(i * 90, 255, 255);
            v.showImage(solid(size, c));
            shot = grabViewport(v);
            QCOMPARE(countPixels(shot, c.rgb()), shot.width() * shot.height() - countPixels(shot, kBackground));
            QVERIFY(countPixels(shot, c.rgb()) > 0);
        }

        // A new picture through the refitting path.
        v.showImageOwned(solid(size, Qt::green));
        shot = grabViewport(v);
        QCOMPARE(countPixels(shot, qRgb(0, 0, 255)), 0);
        QVERIFY(countPixels(shot, qRgb(0, 255, 0)) > 0);
    }

    void newScale_data()
    {
        QTest::addColumn<QList<double>>("scales");
        QTest::addRow("growing") << QList<double>{1.0, 2.0, 3.5};
        QTest::addRow("back and forth") << QList<double>{3.0, 1.5, 1.0, 2.0, 1.25};
    }

    // A small picture fits the viewport at every scale here, so the painted
    // area shows the scale directly.
    void newScale()
    {
        QFETCH(QList<double>, scales);
        GraphicsImageViewer& v = makeViewer();
        v.setExpandImage(false);
        v.showImageOwned(solid(QSize(100, 80), Qt::yellow));
        for (double s : scales) {
            v.zoom(float(s));
            QCOMPARE(v.currentScale(), s);
            const QRect area = pictureArea(grabViewport(v));
            QVERIFY2(std::abs(area.width() - 100 * s) <= 1.0,
                     qPrintable(QStringLiteral("scale %1: width %2").arg(s).arg(area.width())));
            QVERIFY2(std::abs(area.height() - 80 * s) <= 1.0,
                     qPrintable(QStringLiteral("scale %1: height %2").arg(s).arg(area.height())));
            QVERIFY(std::abs(area.center().x() - v.viewport()->width() / 2) <= 1);
        }
    }

    // Below 1.0 on a large picture: the fit shows the blue frame at the
    // viewport edges, a closer zoom only the red inside.
    void newScaleOnLargePicture()
    {
        GraphicsImageViewer& v = makeViewer();
        v.showImageOwned(framed(QSize(1200, 900), 150));
        QVERIFY(v.currentScale() < 0.5);
        const QImage fit = grabViewport(v);
        QCOMPARE(QColor(fit.pixel(2, 150)), QColor(Qt::blue));
        QCOMPARE(QColor(fit.pixel(200, 150)), QColor(Qt::red));

        v.zoom(0.5f);
        QCOMPARE(v.currentScale(), 0.5);
        const QImage closer = grabViewport(v);
        QCOMPARE(countPixels(closer, qRgb(0, 0, 255)), 0);
        QCOMPARE(countPixels(closer, qRgb(255, 0, 0)), closer.width() * closer.height());

        v.setFitWindow();
        QCOMPARE(grabViewport(v), fit);
    }

    void newFilter()
    {
        GraphicsImageViewer& v = makeViewer();
        v.showImageOwned(checks(QSize(800, 600)));
        QCOMPARE(v.currentScale(), 0.5);
        auto greys = [](const QImage& img) {
            int n = 0;
            for (int y = 50; y < 250; ++y)
                for (int x = 50; x < 350; ++x) {
                    const int g = qGray(img.pixel(x, y));
                    n += g > 32 && g < 224;
                }
            return n;
        };
        const int inner = 200 * 300;
        QCOMPARE(v.scalingFilter(), 1);
        QVERIFY(greys(grabViewport(v)) > inner / 2);
        v.setFilterNearest();
        QCOMPARE(greys(grabViewport(v)), 0);
        v.setFilterBilinear();
        QVERIFY(greys(grabViewport(v)) > inner / 2);
    }

    // Closing leaves only the background; a picture shown afterwards is painted.
    void closeAndReopen()
    {
        GraphicsImageViewer& v = makeViewer();
        v.showImageOwned(solid(QSize(600, 450), Qt::red));
        v.closeImage();
        QImage shot = grabViewport(v);
        QCOMPARE(countPixels(shot, kBackground), shot.width() * shot.height());
        v.showImage(solid(QSize(600, 450), Qt::cyan));
        shot = grabViewport(v);
        QCOMPARE(countPixels(shot, qRgb(255, 0, 0)), 0);
        QVERIFY(countPixels(shot, qRgb(0, 255, 255)) > 0);
    }
};

QTEST_MAIN(TestViewerPaint)
#include "tst_viewerpaint.moc"
