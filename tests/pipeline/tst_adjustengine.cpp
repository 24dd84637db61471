#include <QtTest>

#include <QThread>

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

#include "AdjustBlur.h"
#include "AdjustColor.h"
#include "AdjustLut3d.h"
#include "AdjustVignette.h"
#include "AdjustWhiteBalance.h"
#include "IQAdjustEngine.h"
#include "IQBGRData.h"
#include "PixelEngine.h"
#include "Rand15.h"
#include "ToneEngine.h"

#include "../pixelengine/BgrTestImage.h"

namespace {

// A B,G,R picture with padded rows; the padding holds a marker that no step
// may overwrite.
struct Picture {
    static constexpr uint8_t Marker = 0xA5;

    Picture(int w, int h, int stride = 0)
        : width(w), height(h), bytesPerLine(stride > 0 ? stride : IQBGRData::rowBytesFor(w)),
          bytes(size_t(bytesPerLine) * size_t(h), Marker)
    {
    }

    uint8_t *pixel(int x, int y) { return bytes.data() + size_t(y) * size_t(bytesPerLine) + 3 * x; }
    // The pixels without the padding, over the picture's memory.
    cv::Mat mat() const
    {
        return cv::Mat(height, width, CV_8UC3, const_cast<uint8_t *>(bytes.data()), size_t(bytesPerLine));
    }

    void fill(uint32_t seed)
    {
        Rand15 rnd(seed);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t *p = pixel(x, y);
                const int n = rnd.next() & 63;
                p[0] = uint8_t((x * 255 / std::max(1, width - 1) + n) & 0xff);
                p[1] = uint8_t((y * 255 / std::max(1, height - 1) + 2 * n) & 0xff);
                p[2] = uint8_t(rnd.next() & 0xff);
            }
    }

    bool pixelsEqual(const Picture &o) const { return cv::norm(mat(), o.mat(), cv::NORM_INF) == 0.0; }

    // With its pixels set to the marker, the copy is all marker.
    bool paddingIntact() const
    {
        Picture copy = *this;
        copy.mat().setTo(cv::Scalar::all(Marker));
        return std::all_of(copy.bytes.begin(), copy.bytes.end(), [](uint8_t b) { return b == Marker; });
    }

    int apply(IQAdjustEngine &engine) { return engine.apply(bytes.data(), width, height, bytesPerLine); }

    int width;
    int height;
    int bytesPerLine;
    std::vector<uint8_t> bytes;
};

IQAdjustParams everyControlMoved()
{
    IQAdjustParams p;
    p.vibrance = 30;
    p.contrast = 20;
    p.saturation = 20;
    p.brightness = 20;
    p.sharpness = 30;
    p.gamma = 10;
    p.temperature = 4000;
    p.tint = 0;
    p.mode = 1;
    p.filterRed = 200;
    p.filterGreen = 180;
    p.filterBlue = 120;
    p.blur = 60;
    p.vignette = 40;
    p.spare = 3; // carried, read by no step
    return p;
}

// The vibrance step as written: channels equal to the strongest are skipped.
void referenceVibrance(uint8_t *p, int v)
{
    const int k = int(-std::clamp(v, -100, 100) * 1.28);
    const int b = p[0], g = p[1], r = p[2];
    const int mx = std::max({b, g, r});
    const int avg = (b + 2 * g + r) >> 2;
    const int f = (mx - avg) * k;
    for (int i = 0; i < 3; ++i) {
        int c = p[i];
        if (c != mx)
            c = c + (((mx - c) * f) >> 14);
        p[i] = uint8_t(std::clamp(c, 0, 255));
    }
}

uint8_t referenceSepiaByte(double v)
{
    const float f = float(v);
    return f < 0 ? 0 : (f > 255 ? 255 : uint8_t(f));
}

// The finishing chain called by hand: the pixel-engine kernels and the
// small steps written out here, one after another in the order the record's
// steps are meant to run.
void referenceChain(Picture &pic, const IQAdjustParams &p)
{
    uint8_t *px = pic.bytes.data();
    const int w = pic.width, h = pic.height, stride = pic.bytesPerLine;
    AdjustImage image = adjustImageOf(px, w, h, stride);
    auto eachPixel = [&](auto &&fn) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                fn(pic.pixel(x, y));
    };
    if (p.vibrance != 0)
        eachPixel([&](uint8_t *q) { referenceVibrance(q, p.vibrance); });
    if (p.contrast != 0 || p.saturation != 0)
        AdjustContrastSaturationApply(px, w, h, stride, p.contrast, p.saturation);
    ToneEngine *tone = nullptr;
    if (p.brightness != 0 || p.sharpness != 0) {
        ToneCreate(&tone);
        ToneAnalyse(tone, &image);
        ToneBuildCurves(tone);
        if (p.brightness != 0)
            ToneApply(tone, p.brightness, &image);
    }
    if (p.sharpness != 0)
        ToneSharpen(tone, p.sharpness, &image);
    ToneDestroy(tone);
    if (p.gamma != 0) {
        const float e = float(float(p.gamma + 20) / 120.0f * 4.9 + 0.1);
        uint8_t table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = uint8_t(int(float(std::pow((i + 0.5f) / 256, e)) * 256.0f - 0.5f));
        eachPixel([&](uint8_t *q) {
            for (int c = 0; c < 3; ++c)
                q[c] = table[q[c]];
        });
    }
    if (p.temperature != 5000 || p.tint != 10) {
        AdjustWhiteBalanceContext *wb = nullptr;
        AdjustWhiteBalanceCreate(&wb);
        AdjustWhiteBalanceParams wp;
        wp.mode = ADJUST_WB_MANUAL;
        wp.kelvin = p.temperature;
        wp.tint = p.tint;
        AdjustWhiteBalanceApply(wb, &wp, &image);
        AdjustWhiteBalanceDestroy(wb);
    }
    if (p.mode == 1)
        AdjustLut3dApply(px, w, h, stride);
    else if (p.mode == 2)
        AdjustGrayscaleApply(px, w, h, stride);
    else if (p.mode == 3)
        eachPixel([](uint8_t *q) {
            const double B = q[0], G = q[1], R = q[2];
            q[0] = referenceSepiaByte(0.272 * R + 0.534 * G + 0.131 * B);
            q[1] = referenceSepiaByte(0.349 * R + 0.686 * G + 0.168 * B);
            q[2] = referenceSepiaByte(0.393 * R + 0.769 * G + 0.189 * B);
        });
    if (p.filterRed != 255 || p.filterGreen != 255 || p.filterBlue != 255)
        AdjustColorFilterApply(px, w, h, stride, p.filterRed, p.filterGreen, p.filterBlue, p.filterOpacity,
                               p.filterBlend ? 1 : 0);
    if (p.blur > 0) {
        const std::vector<uint8_t> copy = pic.bytes;
        AdjustBlurApply(copy.data(), w, h, stride, px, int(p.blur * 0.07f), 50);
    }
    if (p.vignette != 0)
        AdjustVignetteApply(px, w, h, stride, p.vignette);
}

} // namespace

Q_DECLARE_METATYPE(IQAdjustParams)

class TestAdjustEngine : public QObject {
    Q_OBJECT

private slots:
    void chainMatchesKernelsInOrder_data();
    void chainMatchesKernelsInOrder();
    void exactValues_data();
    void exactValues();
    void gammaAndBlurFormulas();
    void vibranceMatchesReference();
    void vibranceLeavesGreyAndNarrowPictures();
    void workBufferFollowsApplyArguments();
    void everyStepStaysInsideRows_data();
    void everyStepStaysInsideRows();
    void badPictureRefused();
    void setParamsFromAnotherThread();
};

void TestAdjustEngine::chainMatchesKernelsInOrder_data()
{
    QTest::addColumn<IQAdjustParams>("params");
    IQAdjustParams p = everyControlMoved();
    for (int mode : {1, 2, 3}) {
        p.mode = mode;
        p.filterBlend = mode != 2;
        QTest::addRow("mode %d", mode) << p;
    }
    // Each step alone.
    IQAdjustParams one;
    one.sharpness = 40;
    QTest::newRow("sharpness alone") << one;
    one = IQAdjustParams();
    one.filterRed = 40;
    one.filterOpacity = 80;
    one.filterBlend = false;
    QTest::newRow("filter alone") << one;
    one = IQAdjustParams();
    one.tint = 0;
    QTest::newRow("tint 0 alone") << one;
    // The least blur that is more than a copy of the picture.
    one = IQAdjustParams();
    one.blur = 29;
    QTest::newRow("blur 29 alone") << one;
}

void TestAdjustEngine::chainMatchesKernelsInOrder()
{
    QFETCH(IQAdjustParams, params);
    Picture picture(211, 97);
    picture.fill(17);
    Picture expected = picture;
    referenceChain(expected, params);
    IQAdjustEngine engine(picture.width, picture.height);
    engine.setParams(params);
    QCOMPARE(picture.apply(engine), 1);
    QVERIFY(picture.pixelsEqual(expected));
    QVERIFY(picture.paddingIntact());
}

void TestAdjustEngine::exactValues_data()
{
    QTest::addColumn<IQAdjustParams>("params");
    QTest::addColumn<QList<int>>("in");  // B, G, R
    QTest::addColumn<QList<int>>("out"); // B, G, R

    IQAdjustParams p;
    p.mode = 3;
    QTest::newRow("sepia of white") << p << QList<int>{255, 255, 255} << QList<int>{238, 255, 255};
    QTest::newRow("sepia of black") << p << QList<int>{0, 0, 0} << QList<int>{0, 0, 0};
    // B = 0.272*100 + 0.534*50 + 0.131*20 = 56.52, G = 72.56, R = 81.53
    QTest::newRow("sepia of a colour") << p << QList<int>{20, 50, 100} << QList<int>{56, 72, 81};

    p = IQAdjustParams();
    p.gamma = 100;
    QTest::newRow("gamma 100 of 128") << p << QList<int>{128, 128, 128} << QList<int>{7, 7, 7};
    QTest::newRow("gamma 100 of 0") << p << QList<int>{0, 0, 0} << QList<int>{0, 0, 0};

    p = IQAdjustParams();
    p.vibrance = 100;
    // k = -128, max 200, avg 112, f = -11264; blue 50 - 104 -> 0, green 100 - 69
    QTest::newRow("vibrance 100") << p << QList<int>{50, 100, 200} << QList<int>{0, 31, 200};
    QTest::newRow("vibrance on grey") << p << QList<int>{90, 90, 90} << QList<int>{90, 90, 90};

    p = IQAdjustParams();
    p.mode = 2;
    // (306*30 + 601*20 + 117*10) >> 10 = 21
    QTest::newRow("grey") << p << QList<int>{10, 20, 30} << QList<int>{21, 21, 21};
}

void TestAdjustEngine::exactValues()
{
    QFETCH(IQAdjustParams, params);
    QFETCH(QList<int>, in);
    QFETCH(QList<int>, out);
    Picture picture(8, 6);
    picture.mat().setTo(cv::Scalar(in[0], in[1], in[2]));
    IQAdjustEngine engine(8, 6);
    engine.setParams(params);
    QCOMPARE(picture.apply(engine), 1);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t *p = picture.pixel(x, y);
            QCOMPARE(QList<int>({p[0], p[1], p[2]}), out);
        }
    QVERIFY(picture.paddingIntact());
}

void TestAdjustEngine::gammaAndBlurFormulas()
{
    QCOMPARE(IQAdjustEngine::gammaExponent(-20), 0.1f);
    QCOMPARE(IQAdjustEngine::gammaExponent(100), 5.0f);
    QVERIFY(std::fabs(IQAdjustEngine::gammaExponent(0) - 0.9167f) < 1e-4f);
    QCOMPARE(IQAdjustEngine::blurAmount(14), 0);
    QCOMPARE(IQAdjustEngine::blurAmount(15), 1);
    QCOMPARE(IQAdjustEngine::blurAmount(100), 7);

    // The table maps every byte inside 0..255 and keeps the order, also for
    // exponents the slider never sends.
    for (float e : {0.1f, 0.9167f, 5.0f, 0.0f, -0.5f}) {
        uint8_t t[256];
        IQAdjustEngine::buildGammaTable(t, e);
        for (int i = 1; i < 256; ++i)
            QVERIFY2(e > 0 ? t[i] >= t[i - 1] : t[i] == 255, qPrintable(QString::number(e)));
    }
}

void TestAdjustEngine::vibranceMatchesReference()
{
    for (int v : {-100, -37, 25, 100, 250}) {
        Picture picture(517, 33);
        picture.fill(uint32_t(v + 1000));
        Picture expected = picture;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x)
                referenceVibrance(expected.pixel(x, y), v);
        IQAdjustEngine::applyVibrance(picture.bytes.data(), picture.bytes.data(), picture.width,
                                      picture.height, picture.bytesPerLine, v);
        QVERIFY2(picture.bytes == expected.bytes, qPrintable(QString::number(v)));
    }
}

void TestAdjustEngine::vibranceLeavesGreyAndNarrowPictures()
{
    IQAdjustParams p;
    p.vibrance = 80;
    for (int w : {1, 2, 3}) {
        Picture picture(w, 4);
        picture.fill(5);
        const Picture before = picture;
        IQAdjustEngine engine(w, 4);
        engine.setParams(p);
        QCOMPARE(picture.apply(engine), 1);
        QVERIFY2(picture.bytes == before.bytes, qPrintable(QString::number(w)));
    }
}

void TestAdjustEngine::workBufferFollowsApplyArguments()
{
    // Constructed for a small picture, then handed a larger one: the blur's
    // copy must fit the picture actually given.
    IQAdjustEngine engine(4, 4);
    IQAdjustParams p;
    p.blur = 100;
    engine.setParams(p);
    Picture small(4, 4);
    small.fill(1);
    QCOMPARE(small.apply(engine), 1);
    Picture large(300, 200);
    large.fill(2);
    const Picture before = large;
    QCOMPARE(large.apply(engine), 1);
    QVERIFY(!large.pixelsEqual(before));
    QVERIFY(large.paddingIntact());
    QVERIFY(engine.workBuffer(size_t(large.bytesPerLine) * 200) != nullptr);
}

void TestAdjustEngine::everyStepStaysInsideRows_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("stride"); // 0: padded to 4 bytes
    QTest::addColumn<int>("mode");
    QTest::newRow("3x7 cube") << 3 << 7 << 0 << 1;
    QTest::newRow("1001x41 cube") << 1001 << 41 << 0 << 1;
    QTest::newRow("1001x41 sepia") << 1001 << 41 << 0 << 3;
    QTest::newRow("1001x41 grey, wide stride") << 1001 << 41 << 3100 << 2;
    QTest::newRow("1x1") << 1 << 1 << 0 << 1;
    QTest::newRow("5x2") << 5 << 2 << 0 << 3;
}

void TestAdjustEngine::everyStepStaysInsideRows()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, stride);
    QFETCH(int, mode);
    Picture picture(width, height, stride);
    picture.fill(uint32_t(width * 31 + height));
    IQAdjustEngine engine(width, height);
    IQAdjustParams p = everyControlMoved();
    p.mode = mode;
    engine.setParams(p);
    QCOMPARE(picture.apply(engine), 1);
    QVERIFY(picture.paddingIntact());
    // A second pass reuses the tone engine and the blur buffer.
    QCOMPARE(picture.apply(engine), 1);
    QVERIFY(picture.paddingIntact());
}

void TestAdjustEngine::badPictureRefused()
{
    IQAdjustEngine engine(16, 16);
    engine.setParams(everyControlMoved());
    Picture picture(16, 16);
    picture.fill(4);
    const Picture before = picture;
    QCOMPARE(engine.apply(nullptr, 16, 16, picture.bytesPerLine), int(PE_ERR_ARGUMENT));
    QCOMPARE(engine.apply(picture.bytes.data(), 16, 16, 47), int(PE_ERR_ARGUMENT));
    QCOMPARE(engine.apply(picture.bytes.data(), -16, 16, picture.bytesPerLine), int(PE_ERR_ARGUMENT));
    QCOMPARE(engine.apply(picture.bytes.data(), 16, 0, picture.bytesPerLine), int(PE_ERR_ARGUMENT));
    QVERIFY(picture.bytes == before.bytes);
}

void TestAdjustEngine::setParamsFromAnotherThread()
{
    // Two records that differ in every field: a pass or a read that saw half
    // of one and half of the other would match neither.
    IQAdjustParams a;
    a.mode = 2; a.filterBlue = 100; a.filterGreen = 150; a.filterRed = 200; a.filterOpacity = 60;
    a.filterBlend = true; a.contrast = 30; a.saturation = 20; a.vignette = 30; a.blur = 30; a.spare = 1;
    a.gamma = 10; a.temperature = 4000; a.tint = 0; a.vibrance = 40;
    IQAdjustParams b;
    b.mode = 3; b.filterBlue = 250; b.filterGreen = 180; b.filterRed = 90; b.filterOpacity = 30;
    b.filterBlend = false; b.contrast = -25; b.saturation = -40; b.vignette = 70; b.blur = 60; b.spare = 2;
    b.gamma = -10; b.temperature = 7000; b.tint = 30; b.vibrance = -20;
    auto same = [](const IQAdjustParams &x, const IQAdjustParams &y) {
        return x.mode == y.mode && x.filterBlue == y.filterBlue && x.filterGreen == y.filterGreen
               && x.filterRed == y.filterRed && x.filterOpacity == y.filterOpacity && x.filterBlend == y.filterBlend
               && x.contrast == y.contrast && x.saturation == y.saturation && x.vignette == y.vignette
               && x.blur == y.blur && x.spare == y.spare && x.brightness == y.brightness
               && x.sharpness == y.sharpness && x.temperature == y.temperature && x.tint == y.tint
               && x.gamma == y.gamma && x.vibrance == y.vibrance;
    };
    Picture base(24, 24);
    base.fill(8);
    Picture expectA = base, expectB = base;
    referenceChain(expectA, a);
    referenceChain(expectB, b);
    QVERIFY(!expectA.pixelsEqual(expectB));

    IQAdjustEngine engine(24, 24);
    engine.setParams(a);
    std::atomic<bool> stop{false};
    QThread *writer = QThread::create([&] {
        for (int i = 0; !stop.load(); ++i)
            engine.setParams(i % 2 ? a : b);
    });
    writer->start();
    int torn = 0;
    for (int i = 0; i < 200; ++i) {
        const IQAdjustParams seen = engine.getParams();
        torn += !same(seen, a) && !same(seen, b);
        Picture picture = base;
        QCOMPARE(picture.apply(engine), 1);
        torn += !picture.pixelsEqual(expectA) && !picture.pixelsEqual(expectB);
    }
    stop = true;
    writer->wait();
    delete writer;
    QCOMPARE(torn, 0);
}

QTEST_GUILESS_MAIN(TestAdjustEngine)
#include "tst_adjustengine.moc"
