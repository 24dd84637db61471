// Pixel buffers, YUV frames and every conversion between them: sizes
// (odd ones included), colour order, failure handling.
#include "IQBGRData.h"
#include "IQImageConvert.h"
#include "IQYUVFrame.h"
#include "PaddedBuffer.h"
#include "SyntheticScene.h"

#include <QtTest>
#include <libyuv.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace SyntheticScene;

namespace {

struct FrameGuard {
    IQYUVFrame frame;
    FrameGuard(uint32_t format, int w, int h)
    {
        frame.format = format;
        frame.width = w;
        frame.height = h;
    }
    ~FrameGuard() { YUVFrameRelease(&frame); }
};

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class TestBuffers : public QObject {
    Q_OBJECT

private slots:
    void bgrRowsArePadded_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rowBytes24");
        QTest::addColumn<int>("rowBytes32");
        QTest::newRow("1") << 1 << 4 << 4;
        QTest::newRow("4") << 4 << 12 << 16;
        QTest::newRow("5") << 5 << 16 << 20;
        QTest::newRow("7") << 7 << 24 << 28;
    }
    void bgrRowsArePadded()
    {
        QFETCH(int, width);
        QFETCH(int, rowBytes24);
        QFETCH(int, rowBytes32);
        std::unique_ptr<IQBGRData> bgr(IQBGRData::create(width, 2));
        QVERIFY(bgr);
        QCOMPARE(bgr->bytesPerLine, rowBytes24);
        QVERIFY(bgr->ownsData);
        std::unique_ptr<IQBGRAData> bgra(IQBGRAData::create(width, 2));
        QVERIFY(bgra);
        QCOMPARE(bgra->bytesPerLine, rowBytes32);
    }

    void createRefusesBadSizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("zero width") << 0 << 5;
        QTest::newRow("zero height") << 5 << 0;
        QTest::newRow("negative") << -3 << 5;
        QTest::newRow("row too long for int") << INT_MAX / 2 << 2;
    }
    void createRefusesBadSizes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QVERIFY(!IQBGRData::create(width, height));
        QVERIFY(!IQBGRAData::create(width, height));
    }

    void cloneIsADeepOwningCopy()
    {
        std::unique_ptr<IQBGRData> source(IQBGRData::create(5, 3));
        for (size_t i = 0; i < source->byteCount(); ++i)
            source->data[i] = uint8_t(i * 7);
        std::unique_ptr<IQBGRData> copy(source->clone());
        QVERIFY(copy && copy->ownsData && copy->data != source->data);
        QCOMPARE(copy->width, source->width);
        QCOMPARE(copy->bytesPerLine, source->bytesPerLine);
        QCOMPARE(std::memcmp(copy->data, source->data, source->byteCount()), 0);

        std::unique_ptr<IQBGRAData> bgra(IQBGRAData::create(3, 2));
        std::memset(bgra->data, 0x5A, bgra->byteCount());
        std::unique_ptr<IQBGRData> asBase(bgra->clone()); // deleted through the base
        QVERIFY(dynamic_cast<IQBGRAData*>(asBase.get()));
        QCOMPARE(asBase->bytesPerLine, 12);

        // A wrapping buffer never frees the caller's memory.
        uint8_t pixels[12] = {};
        { IQBGRData wrap(pixels, 4, 1, 12); }
        IQBGRData empty;
        QVERIFY(!empty.clone());
    }

    void frameLayouts_data()
    {
        QTest::addColumn<uint>("format");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pitch0");
        QTest::addColumn<int>("pitch1");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("plane1Offset");
        QTest::addColumn<int>("plane2Offset");
        QTest::newRow("YUY2 6x4") << uint(IQYUV_FORMAT_YUY2) << 6 << 4 << 12 << 0 << 48 << -1 << -1;
        QTest::newRow("YUY2 7x5") << uint(IQYUV_FORMAT_YUY2) << 7 << 5 << 16 << 0 << 80 << -1 << -1;
        QTest::newRow("I420 6x4") << uint(IQYUV_FORMAT_I420) << 6 << 4 << 6 << 3 << 36 << 24 << 30;
        QTest::newRow("I420 7x5") << uint(IQYUV_FORMAT_I420) << 7 << 5 << 7 << 4 << 59 << 35 << 47;
        QTest::newRow("NV21 6x4") << uint(IQYUV_FORMAT_NV21) << 6 << 4 << 6 << 6 << 36 << 24 << -1;
        QTest::newRow("NV21 5x3") << uint(IQYUV_FORMAT_NV21) << 5 << 3 << 5 << 6 << 27 << 15 << -1;
    }
    void frameLayouts()
    {
        QFETCH(uint, format);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, pitch0);
        QFETCH(int, pitch1);
        QFETCH(int, bytes);
        QFETCH(int, plane1Offset);
        QFETCH(int, plane2Offset);
        FrameGuard g(format, width, height);
        QVERIFY(YUVFrameAllocate(&g.frame));
        QCOMPARE(g.frame.pitch[0], pitch0);
        QCOMPARE(g.frame.pitch[1], pitch1);
        QCOMPARE(int(YUVFrameByteCount(format, width, height)), bytes);
        QCOMPARE(plane1Offset < 0 ? -1 : int(g.frame.plane[1] - g.frame.plane[0]), plane1Offset);
        QCOMPARE(plane2Offset < 0 ? -1 : int(g.frame.plane[2] - g.frame.plane[0]), plane2Offset);
        QVERIFY(!g.frame.plane[3]);
        std::memset(g.frame.plane[0], 0x80, size_t(bytes)); // the whole block is ours (ASan)
    }

    void frameAllocateRefusesBadFrames()
    {
        IQYUVFrame unknown;
        unknown.format = 0x401;
        unknown.width = unknown.height = 4;
        QVERIFY(!YUVFrameAllocate(&unknown));
        QVERIFY(!unknown.plane[0]);
        IQYUVFrame empty;
        empty.format = IQYUV_FORMAT_YUY2;
        QVERIFY(!YUVFrameAllocate(&empty));
        IQYUVFrame huge;
        huge.format = IQYUV_FORMAT_YUY2;
        huge.width = INT_MAX;
        huge.height = 2;
        QVERIFY(!YUVFrameAllocate(&huge));
        QVERIFY(!YUVFrameAllocate(nullptr));
    }

    // Odd sizes and pure colours there and back through every conversion:
    // QImage -> cv::Mat -> IQBGRData -> YUY2, a 32-bit picture whose rows
    // libyuv could take for one long row -> YUY2 and I420, and an NV21 frame
    // written by libyuv; then YUV -> IQBGRData -> cv::Mat -> QImage. The
    // sanitizer build checks that no conversion writes past its buffers.
    void everyConversionKeepsTheColour_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<int>("tolerance"); // saturated colours lose more in limited-range YUV
        QTest::newRow("1x1") << QSize(1, 1) << qRgb(180, 90, 40) << 6;
        QTest::newRow("7x5") << QSize(7, 5) << qRgb(180, 90, 40) << 6;
        QTest::newRow("9x3") << QSize(9, 3) << qRgb(180, 90, 40) << 6;
        QTest::newRow("2x2") << QSize(2, 2) << qRgb(180, 90, 40) << 6;
        QTest::newRow("65x1") << QSize(65, 1) << qRgb(180, 90, 40) << 6;
        QTest::newRow("33x17 red") << QSize(33, 17) << qRgb(255, 0, 0) << 10;
        QTest::newRow("10x6 green") << QSize(10, 6) << qRgb(0, 255, 0) << 10;
        QTest::newRow("10x6 blue") << QSize(10, 6) << qRgb(0, 0, 255) << 10;
    }
    void everyConversionKeepsTheColour()
    {
        QFETCH(QSize, size);
        QFETCH(QRgb, colour);
        QFETCH(int, tolerance);
        const int w = size.width(), h = size.height();
        const cv::Mat mat = QImageToMat(uniformImage(size, colour, QImage::Format_RGB888), true);
        QCOMPARE(mat.type(), CV_8UC3);
        QCOMPARE(mat.at<cv::Vec3b>(h - 1, w - 1),
                 cv::Vec3b(uchar(qBlue(colour)), uchar(qGreen(colour)), uchar(qRed(colour))));
        const PaddedBuffer bgr(mat);
        const QImage argb = uniformImage(size, colour, QImage::Format_ARGB32);
        const uint32_t formats[] = {IQYUV_FORMAT_YUY2, IQYUV_FORMAT_YUY2, IQYUV_FORMAT_I420, IQYUV_FORMAT_NV21};
        for (int route = 0; route < 4; ++route) {
            FrameGuard g(formats[route], w, h);
            QVERIFY(YUVFrameAllocate(&g.frame));
            if (route == 0)
                QVERIFY(BGRDataToYUVFrame(*bgr.data, &g.frame));
            else if (route == 3)
                libyuv::ARGBToNV21(argb.constBits(), int(argb.bytesPerLine()), g.frame.plane[0], g.frame.pitch[0],
                                   g.frame.plane[1], g.frame.pitch[1], w, h);
            else
                QCOMPARE(QImageToYUVFrame(argb, &g.frame), &g.frame);
            std::vector<uint8_t> argbBack(size_t(w) * 4 * size_t(h));
            QVERIFY(YUVFrameToARGB(argbBack.data(), w * 4, &g.frame));
            std::unique_ptr<IQBGRData> back(IQBGRData::create(w, h));
            QVERIFY(YUVFrameToBGRData(&g.frame, *back));
            const QImage result = MatToQImage(matOf(*back));
            QCOMPARE(result.format(), QImage::Format_RGB888);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    QVERIFY2(near(result.pixel(x, y), colour, tolerance),
                             qPrintable(QStringLiteral("route %1 at %2,%3: %4")
                                            .arg(route).arg(x).arg(y).arg(result.pixel(x, y), 8, 16)));
        }
    }

    // Tall frames are converted in parallel bands; the result must be what
    // one whole-frame libyuv call gives.
    void bandedConversionsMatchWholeFrame_data()
    {
        QTest::addColumn<uint>("format");
        QTest::addColumn<QSize>("size");
        QTest::newRow("YUY2 101x517") << uint(IQYUV_FORMAT_YUY2) << QSize(101, 517);
        QTest::newRow("I420 99x601") << uint(IQYUV_FORMAT_I420) << QSize(99, 601);
        QTest::newRow("NV21 64x333") << uint(IQYUV_FORMAT_NV21) << QSize(64, 333);
    }
    void bandedConversionsMatchWholeFrame()
    {
        QFETCH(uint, format);
        QFETCH(QSize, size);
        const int w = size.width(), h = size.height();
        FrameGuard g(format, w, h);
        QVERIFY(YUVFrameAllocate(&g.frame));
        const size_t bytes = YUVFrameByteCount(format, w, h);
        for (size_t i = 0; i < bytes; ++i)
            g.frame.plane[0][i] = uint8_t((i * 2654435761u) >> 13);
        std::vector<uint8_t> argb(size_t(w) * 4 * size_t(h));
        QVERIFY(YUVFrameToARGB(argb.data(), w * 4, &g.frame));
        std::unique_ptr<IQBGRData> expected(IQBGRData::create(w, h));
        libyuv::ARGBToRGB24(argb.data(), w * 4, expected->data, expected->bytesPerLine, w, h);
        std::unique_ptr<IQBGRData> banded(IQBGRData::create(w, h));
        QVERIFY(YUVFrameToBGRData(&g.frame, *banded));
        for (int y = 0; y < h; ++y)
            QVERIFY(std::memcmp(expected->data + size_t(y) * expected->bytesPerLine,
                                banded->data + size_t(y) * banded->bytesPerLine, size_t(w) * 3) == 0);
        if (format != IQYUV_FORMAT_YUY2)
            return;
        // And back: BGR to YUY2 in bands against one libyuv pass.
        std::vector<uint8_t> argb2(size_t(w) * 4 * size_t(h));
        libyuv::RGB24ToARGB(expected->data, expected->bytesPerLine, argb2.data(), w * 4, w, h);
        FrameGuard whole(format, w, h);
        QVERIFY(YUVFrameAllocate(&whole.frame));
        libyuv::ARGBToYUY2(argb2.data(), w * 4, whole.frame.plane[0], whole.frame.pitch[0], w, h);
        QVERIFY(BGRDataToYUVFrame(*expected, &g.frame));
        QCOMPARE(std::memcmp(whole.frame.plane[0], g.frame.plane[0], bytes), 0);
    }

    void conversionsRefuseMismatchedSizes()
    {
        FrameGuard g(IQYUV_FORMAT_YUY2, 8, 4);
        QVERIFY(YUVFrameAllocate(&g.frame));
        QVERIFY(!QImageToYUVFrame(uniformImage(QSize(9, 4), qRgb(1, 2, 3)), &g.frame));
        QVERIFY(!QImageToYUVFrame(uniformImage(QSize(8, 4), qRgb(1, 2, 3)), nullptr));
        QVERIFY(!QImageToYUVFrame(QImage(), &g.frame));
        std::unique_ptr<IQBGRData> small(IQBGRData::create(4, 4));
        QVERIFY(!BGRDataToYUVFrame(*small, &g.frame));
        QVERIFY(!YUVFrameToBGRData(&g.frame, *small));
        QVERIFY(!YUVFrameToARGB(nullptr, 32, &g.frame));
        std::vector<uint8_t> narrow(16 * 4);
        QVERIFY(!YUVFrameToARGB(narrow.data(), 16, &g.frame)); // stride shorter than a row
        FrameGuard nv21(IQYUV_FORMAT_NV21, 8, 4);
        QVERIFY(YUVFrameAllocate(&nv21.frame));
        QVERIFY(!QImageToYUVFrame(uniformImage(QSize(8, 4), qRgb(1, 2, 3)), &nv21.frame));
    }

    void framesCopy_data()
    {
        QTest::addColumn<uint>("format");
        QTest::addColumn<QSize>("size");
        QTest::newRow("YUY2 odd") << uint(IQYUV_FORMAT_YUY2) << QSize(7, 5);
        QTest::newRow("NV21") << uint(IQYUV_FORMAT_NV21) << QSize(6, 4);
        QTest::newRow("I420 odd") << uint(IQYUV_FORMAT_I420) << QSize(5, 3);
    }
    void framesCopy()
    {
        QFETCH(uint, format);
        QFETCH(QSize, size);
        FrameGuard src(format, size.width(), size.height());
        FrameGuard dst(format, size.width(), size.height());
        QVERIFY(YUVFrameAllocate(&src.frame) && YUVFrameAllocate(&dst.frame));
        const size_t bytes = YUVFrameByteCount(format, size.width(), size.height());
        for (size_t i = 0; i < bytes; ++i)
            src.frame.plane[0][i] = uint8_t(i * 13 + 1);
        std::memset(dst.frame.plane[0], 0, bytes);
        QVERIFY(YUVFrameCopy(&src.frame, &dst.frame));
        QCOMPARE(std::memcmp(src.frame.plane[0], dst.frame.plane[0], bytes), 0);
        FrameGuard other(format, size.width() + 2, size.height());
        QVERIFY(YUVFrameAllocate(&other.frame));
        QVERIFY(!YUVFrameCopy(&src.frame, &other.frame));
    }

    void imageToMatByFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("matType");
        QTest::newRow("RGB888") << int(QImage::Format_RGB888) << CV_8UC3;
        QTest::newRow("Indexed8") << int(QImage::Format_Indexed8) << CV_8UC1;
        QTest::newRow("RGB32") << int(QImage::Format_RGB32) << CV_8UC4;
        QTest::newRow("ARGB32") << int(QImage::Format_ARGB32) << CV_8UC4;
        QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << CV_8UC4;
        QTest::newRow("Grayscale8 is not taken") << int(QImage::Format_Grayscale8) << -1;
        QTest::newRow("RGBA8888 is not taken") << int(QImage::Format_RGBA8888) << -1;
    }
    void imageToMatByFormat()
    {
        QFETCH(int, format);
        QFETCH(int, matType);
        QImage picture = noiseImage(QSize(13, 7), 5, QImage::Format(format));
        const QImage untouched = picture.copy();
        const uchar* bitsBefore = picture.constBits();
        for (bool deep : {true, false}) {
            const cv::Mat mat = QImageToMat(picture, deep);
            if (matType < 0) {
                QVERIFY(mat.empty());
                continue;
            }
            QCOMPARE(mat.type(), matType);
            QCOMPARE(mat.cols, 13);
            QCOMPARE(mat.rows, 7);
            // RGB888 is always an owning copy; the others share unless asked.
            const bool shares = mat.data == picture.constBits();
            QCOMPARE(shares, !deep && format != QImage::Format_RGB888);
            if (format == QImage::Format_RGB888) {
                const cv::Vec3b p = mat.at<cv::Vec3b>(3, 5);
                const QRgb q = picture.pixel(5, 3);
                QCOMPARE(int(p[0]), qBlue(q));
                QCOMPARE(int(p[1]), qGreen(q));
                QCOMPARE(int(p[2]), qRed(q));
            }
        }
        // The caller's picture is never changed nor detached.
        QCOMPARE(picture, untouched);
        QCOMPARE(picture.constBits(), bitsBefore);
    }

    void matToImageByType()
    {
        cv::Mat grey(3, 5, CV_8UC1);
        for (int i = 0; i < 15; ++i)
            grey.data[i] = uchar(i * 17);
        const QImage indexed = MatToQImage(grey);
        QCOMPARE(indexed.format(), QImage::Format_Indexed8);
        QCOMPARE(indexed.colorCount(), 256);
        QCOMPARE(indexed.color(200), QRgb(0xFFC8C8C8));
        QCOMPARE(indexed.pixelIndex(4, 2), 14 * 17);

        const cv::Mat blue(4, 6, CV_8UC3, cv::Scalar(255, 0, 0));
        const QImage rgb = MatToQImage(blue);
        QCOMPARE(rgb.format(), QImage::Format_RGB888);
        QCOMPARE(rgb.pixel(2, 2), qRgb(0, 0, 255));

        // A view with a row step wider than its pixels.
        cv::Mat big(10, 10, CV_8UC3, cv::Scalar(0, 0, 255));
        const QImage part = MatToQImage(big(cv::Rect(1, 1, 3, 5)));
        QCOMPARE(part.size(), QSize(3, 5));
        QCOMPARE(part.pixel(2, 4), qRgb(255, 0, 0));

        const cv::Mat bgra(2, 3, CV_8UC4, cv::Scalar(10, 20, 30, 255));
        const QImage argb = MatToQImage(bgra);
        QCOMPARE(argb.format(), QImage::Format_ARGB32);
        QCOMPARE(argb.pixel(1, 1), qRgba(30, 20, 10, 255));
        QVERIFY(argb.constBits() != bgra.data);

        QVERIFY(MatToQImage(cv::Mat(3, 3, CV_32FC3, cv::Scalar::all(0.5))).isNull());
        QVERIFY(MatToQImage(cv::Mat()).isNull());
    }

    void sizeHelpers()
    {
        int w = 400, h = 300;
        QCOMPARE(ScaleSizeToFit(w, h, 200, 200), 0.5);
        QCOMPARE(QSize(w, h), QSize(200, 150));
        w = 0;
        h = 10;
        QCOMPARE(ScaleSizeToFit(w, h, 5, 5), 0.0);
        QCOMPARE(h, 10);
        w = 100;
        h = 50;
        QCOMPARE(ScaleSizeToCover(w, h, 200, 200, false), 1.0);
        QCOMPARE(QSize(w, h), QSize(100, 50));
        QCOMPARE(ScaleSizeToCover(w, h, 200, 200, true), 4.0);
        QCOMPARE(QSize(w, h), QSize(400, 200));
        double ow = 0, oh = 0;
        QCOMPARE(FitSizeInRect(QSize(10, 10), QRect(0, 0, 10, 10), &ow, &oh), 1.0);
        QCOMPARE(ow, 10.0);
        const double f = FitSizeInRect(QSize(40, 20), QRect(0, 0, 10, 10), &ow, &oh);
        QVERIFY(qFuzzyCompare(f, 0.25 - 0.001));
        QCOMPARE(ow, 10.0);
        QCOMPARE(oh, 5.0);
    }
};

QTEST_GUILESS_MAIN(TestBuffers)
#include "tst_buffers.moc"
