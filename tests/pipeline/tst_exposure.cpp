// The exposure estimate: weight table, sampling rule, the fast sampled-row
// path against a whole-frame conversion, and estimates at known ratios.
#include "IQExposure.h"
#include "IQHDREngine.h"
#include "IQYUVFrame.h"
#include "SyntheticScene.h"

#include <QtTest>

#include <cmath>
#include <vector>

using namespace SyntheticScene;

namespace {

// The estimate as a whole-frame conversion computes it.
double wholeFrameGain(const QImage& picture)
{
    IQYUVFrame frame;
    frame.format = IQYUV_FORMAT_YUY2;
    frame.width = picture.width();
    frame.height = picture.height();
    if (!YUVFrameAllocate(&frame))
        return -1;
    QImageToYUVFrame(picture, &frame);
    double gain = 1.0;
    ComputeExposureGain(&frame, &gain);
    YUVFrameRelease(&frame);
    return gain;
}

} // namespace

class TestExposure : public QObject {
    Q_OBJECT

private slots:
    void weightTable()
    {
        // Every entry is 4095 times the sRGB decoding of i / 255, rounded.
        const uint16_t* table = ExposureWeightTable();
        for (int i = 0; i < 256; ++i)
            QCOMPARE(int(table[i]), int(std::lround(4095 * decodeSRGB(i))));
        QCOMPARE(int(table[1]), 1);
        QCOMPARE(int(table[128]), 884);
        QCOMPARE(int(table[255]), 4095);
    }

    void samplingRule_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("sampledColumns");
        QTest::addColumn<QList<int>>("sampledRows");
        QTest::newRow("7 wide") << 7 << 1 << QList<int>{0} << QList<int>{0};
        QTest::newRow("9 wide") << 9 << 1 << QList<int>{0, 8} << QList<int>{0};
        QTest::newRow("8 wide, 9 high") << 8 << 9 << QList<int>{0} << QList<int>{0, 8};
        QTest::newRow("15 x 15") << 15 << 15 << QList<int>{0, 8} << QList<int>{0, 8};
    }
    // Every luma byte gets its own value; the histogram shows which were read.
    void samplingRule()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QList<int>, sampledColumns);
        QFETCH(QList<int>, sampledRows);
        IQYUVFrame frame;
        frame.format = IQYUV_FORMAT_YUY2;
        frame.width = width;
        frame.height = height;
        QVERIFY(YUVFrameAllocate(&frame));
        std::memset(frame.plane[0], 0, YUVFrameByteCount(frame.format, width, height));
        int code = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                frame.plane[0][size_t(y) * frame.pitch[0] + 2 * x] = uint8_t(++code);
        uint32_t histogram[256];
        ComputeWeightedHistogramMean(histogram, ExposureWeightTable(), frame.plane[0], width, height,
                                     frame.pitch[0]);
        QSet<int> expected;
        for (int y : sampledRows)
            for (int x : sampledColumns)
                expected.insert(y * width + x + 1);
        for (int value = 0; value < 256; ++value)
            QCOMPARE(histogram[value], expected.contains(value) ? 1u : 0u);
        YUVFrameRelease(&frame);
    }

    void gainOfFlatFrames_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("luma");
        QTest::newRow("16x16 luma 128") << QSize(16, 16) << 128;
        QTest::newRow("odd 13x9 luma 200") << QSize(13, 9) << 200;
        QTest::newRow("64x48 luma 5") << QSize(64, 48) << 5;
        QTest::newRow("black") << QSize(16, 16) << 0;
    }
    // One luma everywhere: the mean of the samples is that luma's linear
    // value, and the gain is the mid-grey level 880.64 over it.
    void gainOfFlatFrames()
    {
        QFETCH(QSize, size);
        QFETCH(int, luma);
        IQYUVFrame frame;
        frame.format = IQYUV_FORMAT_YUY2;
        frame.width = size.width();
        frame.height = size.height();
        QVERIFY(YUVFrameAllocate(&frame));
        const size_t bytes = YUVFrameByteCount(frame.format, size.width(), size.height());
        for (size_t i = 0; i < bytes; ++i)
            frame.plane[0][i] = uint8_t(i % 2 ? 77 : luma); // chroma bytes must not count
        double gain = 5.0;
        QCOMPARE(ComputeExposureGain(&frame, &gain), 0);
        const double linear = std::lround(4095 * decodeSRGB(luma));
        QCOMPARE(gain, linear > 0 ? 880.64 / linear : 1.0);
        // Other formats leave the gain alone.
        frame.format = IQYUV_FORMAT_I420;
        gain = 5.0;
        QCOMPARE(ComputeExposureGain(&frame, &gain), 0);
        QCOMPARE(gain, 5.0);
        YUVFrameRelease(&frame);
    }

    void gainOfPictures()
    {
        // RGB 128 grey is limited-range luma (66 + 129 + 25) * 128 / 256 + 16 = 126: table value 854.
        QCOMPARE(IQHDREngine::exposureOf(uniformImage(QSize(64, 48), qRgb(128, 128, 128))), 880.64 / 854);
        // Black is luma 16: a very short time but a finite one.
        QCOMPARE(IQHDREngine::exposureOf(uniformImage(QSize(64, 48), qRgb(0, 0, 0))), 880.64 / 21);
        QCOMPARE(IQHDREngine::exposureOf(QImage()), 1.0);
    }

    // The engine converts only the sampled rows; it must read exactly what a
    // whole-frame conversion gives, in every pixel format and size.
    void sampledRowsMatchWholeFrame_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("format");
        QTest::newRow("RGB32 64x48") << QSize(64, 48) << int(QImage::Format_RGB32);
        QTest::newRow("RGB32 odd 67x45") << QSize(67, 45) << int(QImage::Format_RGB32);
        QTest::newRow("ARGB32 odd 1x1") << QSize(1, 1) << int(QImage::Format_ARGB32);
        QTest::newRow("ARGB32 201x3") << QSize(201, 3) << int(QImage::Format_ARGB32);
        QTest::newRow("RGB888 33x17") << QSize(33, 17) << int(QImage::Format_RGB888);
        QTest::newRow("Grayscale8 40x40") << QSize(40, 40) << int(QImage::Format_Grayscale8);
        QTest::newRow("RGBA64 9x9") << QSize(9, 9) << int(QImage::Format_RGBA64);
    }
    void sampledRowsMatchWholeFrame()
    {
        QFETCH(QSize, size);
        QFETCH(int, format);
        const QImage picture = noiseImage(size, 11, QImage::Format(format));
        const double reference = wholeFrameGain(picture.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(IQHDREngine::exposureOf(picture), reference);
    }

    void knownRatios_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("tolerance");
        // Limited-range luma compresses the ratio of a darker frame more.
        QTest::newRow("2x at 320x240") << QSize(320, 240) << 2.0 << 0.12;
        QTest::newRow("1.5x at odd 161x97") << QSize(161, 97) << 1.5 << 0.1;
        QTest::newRow("4x at 256x256") << QSize(256, 256) << 4.0 << 0.2;
    }
    // A scene without clipped parts: estimated times follow the exposures.
    void knownRatios()
    {
        QFETCH(QSize, size);
        QFETCH(double, ratio);
        QFETCH(double, tolerance);
        const RadianceScene scene(size, 9, false);
        // The brighter frame just below clipping; very dark frames drift
        // because limited-range luma never goes below 16.
        const double top = 0.95 / scene.peak();
        const double bright = 1.0 / IQHDREngine::exposureOf(renderFrame(scene, size, top));
        const double dark = 1.0 / IQHDREngine::exposureOf(renderFrame(scene, size, top / ratio));
        const double estimated = bright / dark;
        QVERIFY2(std::fabs(estimated / ratio - 1.0) < tolerance,
                 qPrintable(QStringLiteral("%1 for %2").arg(estimated).arg(ratio)));
    }
};

QTEST_GUILESS_MAIN(TestExposure)
#include "tst_exposure.moc"
