#include <QtTest>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "IQBGRData.h"
#include "IQHDRToneEngine.h"
#include "Rand15.h"

namespace {

// A picture with smooth gradients and some structure, so that both masks
// split it.
cv::Mat makePicture(cv::Size size, uint64_t seed)
{
    cv::Mat coarse(std::max(2, size.height / 8), std::max(2, size.width / 8), CV_8UC3);
    cv::RNG rng(seed);
    rng.fill(coarse, cv::RNG::UNIFORM, 0, 256);
    cv::Mat picture;
    cv::resize(coarse, picture, size, 0, 0, cv::INTER_LINEAR);
    cv::Mat noise(size, CV_8UC3);
    rng.fill(noise, cv::RNG::UNIFORM, 0, 12);
    picture += noise;
    // Both ends of the byte range occur.
    picture.at<cv::Vec3b>(0, 0) = cv::Vec3b(0, 0, 0);
    picture.at<cv::Vec3b>(size.height - 1, size.width - 1) = cv::Vec3b(255, 255, 255);
    return picture;
}

// A buffer with padded rows, as the processor owns them.
struct PaddedBuffer {
    explicit PaddedBuffer(const cv::Mat &picture)
        : data(IQBGRData::create(picture.cols, picture.rows))
    {
        for (int y = 0; y < picture.rows; ++y)
            std::memcpy(data->data + size_t(y) * size_t(data->bytesPerLine), picture.ptr(y),
                        size_t(picture.cols) * 3);
    }
    cv::Mat mat() const
    {
        return cv::Mat(data->height, int(data->width), CV_8UC3, data->data, size_t(data->bytesPerLine));
    }
    std::unique_ptr<IQBGRData> data;
};

// The approximation as written, with a saturating conversion to int where
// the scaled value leaves its range (byte 0 with large exponents).
double referenceFastPow(double a, double b)
{
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int h = int(int32_t(uint32_t(bits >> 32)));
    const double scaled = b * (h - 1072632447) + 1072632447;
    const int hp = int(std::clamp(scaled, double(std::numeric_limits<int>::min()),
                                  double(std::numeric_limits<int>::max())));
    const uint64_t out = uint64_t(uint32_t(hp)) << 32;
    double r;
    std::memcpy(&r, &out, sizeof r);
    return r;
}

// The tone pass written out per pixel, for settings where it is defined.
cv::Mat referenceTonePass(const cv::Mat &src, int v, const cv::Mat &mask, const cv::Mat &weight, double mean)
{
    const float s = float(v) / 100 * 0.25f;
    const float gMax = 1 + 4 * s;
    cv::Mat g = cv::Mat::zeros(src.size(), CV_32F), k = cv::Mat::zeros(src.size(), CV_32F);
    for (int y = 0; y < src.rows; ++y)
        for (int x = 0; x < src.cols; ++x) {
            const float w = weight.at<float>(y, x);
            if (mask.at<uchar>(y, x) < 255) {
                g.at<float>(y, x) = float(4 * s * w / mean + 1);
                k.at<float>(y, x) = float(w / mean * s);
            } else {
                g.at<float>(y, x) = gMax;
                k.at<float>(y, x) = s;
            }
        }
    cv::Mat out(src.size(), CV_8UC3);
    for (int y = 0; y < src.rows; ++y)
        for (int x = 0; x < src.cols; ++x)
            for (int c = 0; c < 3; ++c) {
                const int byte = src.at<cv::Vec3b>(y, x)[c];
                const double p = referenceFastPow(double(float(byte) / 255.0f), double(1 / g.at<float>(y, x)));
                const float t = float(p / (1 - k.at<float>(y, x)));
                out.at<cv::Vec3b>(y, x)[c] = t > 1 ? 255 : (t > 0 ? uchar(int(t * 255)) : 0);
            }
    return out;
}

bool identical(const cv::Mat &a, const cv::Mat &b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

} // namespace

class TestHDRToneEngine : public QObject {
    Q_OBJECT
private slots:
    void fastPowMatchesFormula();
    void fastPowExtremesAreDefined();
    void analysisOfUniformPicture();
    void analysisWeights();
    void tonePassMaskedByte();
    void tonePassMatchesPerPixelFormula_data();
    void tonePassMatchesPerPixelFormula();
    void tonePassAtLimitsIsDefinedAndRepeatable_data();
    void tonePassAtLimitsIsDefinedAndRepeatable();
    void highlightShadowNeutralIsCopy();
    void highlightShadowStartsFromSource();
    void localGammaMatchesFormula();
    void equalisation();
    void addNoiseRangeAndSeed();
    void addNoiseFollowsOneSequence();
    void chainStepsWriteIntoDestination_data();
    void chainStepsWriteIntoDestination();
    void oddWidthsFullChain_data();
    void oddWidthsFullChain();
    void offeredHelpers();
    void badInput();
};

void TestHDRToneEngine::fastPowMatchesFormula()
{
    const double exponents[] = {0.5, 1.0, 1.0 / 1.5, 1.0 / 1.9, 2.0, 10.0, 100.0, 0.01};
    for (const double b : exponents)
        for (int c = 1; c < 256; ++c) {
            const double a = double(float(c) / 255.0f);
            QCOMPARE(IQHDRToneEngine::fastPow(a, b), referenceFastPow(a, b));
        }
    // a^1 keeps the value's upper bits.
    const double a = double(64.0f / 255.0f);
    uint64_t in, out;
    const double r = IQHDRToneEngine::fastPow(a, 1.0);
    std::memcpy(&in, &a, 8);
    std::memcpy(&out, &r, 8);
    QCOMPARE(out >> 32, in >> 32);
}

void TestHDRToneEngine::fastPowExtremesAreDefined()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int c = 0; c < 256; ++c) {
        const double a = double(float(c) / 255.0f);
        for (const double b : {inf, -inf, nan, 1e30, -1e30, 1e6, -50.0}) {
            const double r = IQHDRToneEngine::fastPow(a, b);
            QVERIFY(std::isfinite(r));
            QVERIFY(r >= 0);
        }
    }
    // An infinite exponent sends values below the pivot to 0 and above to
    // a huge value, like a true power.
    QCOMPARE(IQHDRToneEngine::fastPow(0.5, inf), 0.0);
    QVERIFY(IQHDRToneEngine::fastPow(1.0, inf) > 1e300);
    QCOMPARE(IQHDRToneEngine::fastPow(0.0, 4.0), 0.0);
}

void TestHDRToneEngine::analysisOfUniformPicture()
{
    cv::Mat picture(9, 7, CV_8UC3, cv::Scalar(30, 140, 220));
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    QCOMPARE(engine.source.data, buffer.data->data);
    QCOMPARE(cv::countNonZero(engine.highlightMask), 63);
    QCOMPARE(cv::countNonZero(engine.shadowMask), 63);
    QCOMPARE(engine.highlightMean[0], double(engine.highlightWeight.at<float>(4, 3)));
}

void TestHDRToneEngine::analysisWeights()
{
    const cv::Mat picture = makePicture(cv::Size(37, 23), 3);
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    double sum = 0;
    int above = 0;
    for (int y = 0; y < picture.rows; ++y)
        for (int x = 0; x < picture.cols; ++x) {
            const cv::Vec3b p = picture.at<cv::Vec3b>(y, x);
            const double L = (0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2]) / 255.0;
            const float hw = engine.highlightWeight.at<float>(y, x);
            const float sw = engine.shadowWeight.at<float>(y, x);
            QVERIFY(std::abs(hw - L * L) < 1e-5);
            QVERIFY(std::abs(sw - (1 - L) * (1 - L)) < 1e-5);
            sum += hw;
            const bool masked = engine.highlightMask.at<uchar>(y, x) == 255;
            QCOMPARE(masked, double(hw) >= engine.highlightMean[0]);
            QCOMPARE(engine.shadowMask.at<uchar>(y, x) == 255, double(sw) >= engine.shadowMean[0]);
            above += masked;
        }
    QVERIFY(std::abs(sum / picture.total() - engine.highlightMean[0]) < 1e-6);
    QVERIFY(above > 0 && above < int(picture.total()));
}

void TestHDRToneEngine::tonePassMaskedByte()
{
    // Uniform: every pixel is masked, so setting 100 uses g = 2 and k = 0.25.
    cv::Mat picture(5, 3, CV_8UC3, cv::Scalar::all(64));
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    cv::Mat out;
    engine.recoverHighlights(engine.source, out, 100);
    QCOMPARE(out.at<cv::Vec3b>(2, 1), cv::Vec3b(167, 167, 167));
    QCOMPARE(cv::countNonZero(out.reshape(1) != 167), 0);
    engine.recoverShadows(engine.source, out, 100);
    QCOMPARE(out.at<cv::Vec3b>(0, 0), cv::Vec3b(167, 167, 167));
    // Bright bytes saturate: t above 1 gives 255.
    cv::Mat bright(2, 2, CV_8UC3, cv::Scalar::all(200));
    PaddedBuffer brightBuffer(bright);
    engine.setSource(*brightBuffer.data);
    engine.recoverHighlights(engine.source, out, 100);
    QCOMPARE(out.at<cv::Vec3b>(1, 1), cv::Vec3b(255, 255, 255));
}

void TestHDRToneEngine::tonePassMatchesPerPixelFormula_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<bool>("highlights");
    for (int v : {-99, -75, -50, -10, 1, 10, 50, 100}) {
        QTest::newRow(qPrintable(QStringLiteral("highlights %1").arg(v))) << v << true;
        QTest::newRow(qPrintable(QStringLiteral("shadows %1").arg(v))) << v << false;
    }
}

void TestHDRToneEngine::tonePassMatchesPerPixelFormula()
{
    QFETCH(int, setting);
    QFETCH(bool, highlights);
    const cv::Mat picture = makePicture(cv::Size(61, 47), 7);
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    cv::Mat out;
    cv::Mat expected;
    if (highlights) {
        engine.recoverHighlights(engine.source, out, setting);
        expected = referenceTonePass(picture, setting, engine.highlightMask, engine.highlightWeight,
                                     engine.highlightMean[0]);
    } else {
        engine.recoverShadows(engine.source, out, setting);
        expected = referenceTonePass(picture, setting, engine.shadowMask, engine.shadowWeight,
                                     engine.shadowMean[0]);
    }
    QVERIFY(identical(out, expected));
    // In place gives the same bytes.
    cv::Mat inPlace = picture.clone();
    if (highlights)
        engine.recoverHighlights(inPlace, inPlace, setting);
    else
        engine.recoverShadows(inPlace, inPlace, setting);
    QVERIFY(identical(inPlace, expected));
}

void TestHDRToneEngine::tonePassAtLimitsIsDefinedAndRepeatable_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("highlight");
    QTest::addColumn<int>("shadow");
    QTest::newRow("-100/-100 w3") << 3 << -100 << -100;
    QTest::newRow("100/100 w3") << 3 << 100 << 100;
    QTest::newRow("-100/100 w1001") << 1001 << -100 << 100;
    QTest::newRow("100/-100 w1001") << 1001 << 100 << -100;
    QTest::newRow("out of range -300/250") << 64 << -300 << 250;
}

void TestHDRToneEngine::tonePassAtLimitsIsDefinedAndRepeatable()
{
    QFETCH(int, width);
    QFETCH(int, highlight);
    QFETCH(int, shadow);
    const cv::Mat picture = makePicture(cv::Size(width, 19), uint64_t(width));
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    IQHDRToneParams p;
    p.highlight = highlight;
    p.shadow = shadow;
    engine.setParams(p);
    cv::Mat first, second;
    engine.applyHighlightShadow(engine.source, first);
    engine.applyHighlightShadow(engine.source, second);
    QVERIFY(identical(first, second));
    QVERIFY(identical(engine.source, picture)); // the source is never written

    if (highlight == -100) {
        // g = 0 on masked pixels: a true power with an infinite exponent
        // sends everything below white to black.
        cv::Mat out;
        engine.recoverHighlights(engine.source, out, -100);
        for (int y = 0; y < picture.rows; ++y)
            for (int x = 0; x < picture.cols; ++x)
                if (engine.highlightMask.at<uchar>(y, x) == 255)
                    for (int c = 0; c < 3; ++c) {
                        const int in = picture.at<cv::Vec3b>(y, x)[c];
                        const int o = out.at<cv::Vec3b>(y, x)[c];
                        QVERIFY2(in >= 240 ? (o == 0 || o == 255) : o == 0,
                                 qPrintable(QStringLiteral("%1 -> %2").arg(in).arg(o)));
                    }
    }
}

void TestHDRToneEngine::highlightShadowNeutralIsCopy()
{
    const cv::Mat picture = makePicture(cv::Size(33, 21), 5);
    PaddedBuffer source(picture);
    PaddedBuffer target(cv::Mat(21, 33, CV_8UC3, cv::Scalar::all(9)));
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    cv::Mat dst = target.mat();
    engine.applyHighlightShadow(engine.source, dst);
    QCOMPARE(dst.data, target.data->data);
    QVERIFY(identical(target.mat(), picture));
}

void TestHDRToneEngine::highlightShadowStartsFromSource()
{
    // Highlights then shadows equals the two passes run one after the other.
    const cv::Mat picture = makePicture(cv::Size(40, 30), 9);
    PaddedBuffer source(picture);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    IQHDRToneParams p;
    p.highlight = 40;
    p.shadow = -30;
    engine.setParams(p);
    PaddedBuffer target(cv::Mat(30, 40, CV_8UC3, cv::Scalar::all(0)));
    cv::Mat dst = target.mat();
    engine.applyHighlightShadow(engine.source, dst);
    QCOMPARE(dst.data, target.data->data);
    cv::Mat step;
    engine.recoverHighlights(picture, step, 40);
    engine.recoverShadows(step, step, -30);
    QVERIFY(identical(target.mat(), step));
    // A second pass with another setting starts again from the source.
    p.highlight = 10;
    engine.setParams(p);
    engine.applyHighlightShadow(engine.source, dst);
    engine.recoverHighlights(picture, step, 10);
    engine.recoverShadows(step, step, -30);
    QVERIFY(identical(target.mat(), step));
}

void TestHDRToneEngine::localGammaMatchesFormula()
{
    const cv::Mat picture = makePicture(cv::Size(57, 45), 13);
    IQHDRToneEngine engine;
    cv::Mat out;
    engine.applyLocalGamma(picture, out);

    cv::Mat mask(picture.size(), CV_8UC1);
    for (int y = 0; y < picture.rows; ++y)
        for (int x = 0; x < picture.cols; ++x) {
            const cv::Vec3b p = picture.at<cv::Vec3b>(y, x);
            mask.at<uchar>(y, x) = uchar(255 - int((p[0] + 2 * p[1]) / 3.0));
        }
    cv::GaussianBlur(mask, mask, cv::Size(41, 41), 4.0, 0, cv::BORDER_DEFAULT);
    for (int y = 0; y < picture.rows; ++y)
        for (int x = 0; x < picture.cols; ++x) {
            const float e = float(std::pow(2.0, (128 - mask.at<uchar>(y, x)) * 0.0078125));
            for (int c = 0; c < 3; ++c) {
                const int expected = int(255 * std::pow(picture.at<cv::Vec3b>(y, x)[c] / 255.0, double(e)));
                QCOMPARE(int(out.at<cv::Vec3b>(y, x)[c]), expected);
            }
        }
    // Dark surroundings lighten.
    cv::Mat dark(50, 50, CV_8UC3, cv::Scalar::all(40)), lifted;
    engine.applyLocalGamma(dark, lifted);
    QVERIFY(lifted.at<cv::Vec3b>(25, 25)[0] > 40);
}

void TestHDRToneEngine::equalisation()
{
    IQHDRToneEngine engine;
    cv::Mat flat(6, 5, CV_8UC3, cv::Scalar::all(100)), out;
    engine.equalizeHistogramTruncated(flat, out);
    QCOMPARE(cv::countNonZero(out.reshape(1) != 255), 0);
    engine.equalizeHistogramRounded(flat, out);
    QCOMPARE(cv::countNonZero(out.reshape(1) != 255), 0);

    // Half the bytes 0, half 200: 0 maps to half of 255.
    cv::Mat halves(2, 2, CV_8UC3, cv::Scalar::all(0));
    halves.row(1).setTo(cv::Scalar::all(200));
    engine.equalizeHistogramTruncated(halves, out);
    QCOMPARE(int(out.at<cv::Vec3b>(0, 0)[0]), 127);
    QCOMPARE(int(out.at<cv::Vec3b>(1, 1)[2]), 255);
    engine.equalizeHistogramRounded(halves, out);
    QCOMPARE(int(out.at<cv::Vec3b>(0, 0)[0]), 128); // rint(127.5 + 0.5)
    QCOMPARE(int(out.at<cv::Vec3b>(1, 0)[1]), 255);
}

void TestHDRToneEngine::addNoiseRangeAndSeed()
{
    const cv::Mat picture = makePicture(cv::Size(31, 17), 2);
    IQHDRToneEngine engine;
    cv::Mat a = picture.clone();
    engine.addNoise(a, a, 0);
    QVERIFY(identical(a, picture));
    engine.addNoise(a, a, -5);
    QVERIFY(identical(a, picture));

    engine.seedNoise(42);
    engine.addNoise(a, a, 25);
    QVERIFY(!identical(a, picture));
    cv::Mat diff;
    cv::absdiff(a, picture, diff);
    double maxDiff = 0;
    cv::minMaxLoc(diff.reshape(1), nullptr, &maxDiff);
    QVERIFY(maxDiff <= 25);

    cv::Mat b = picture.clone();
    engine.seedNoise(42);
    engine.addNoise(b, b, 25);
    QVERIFY(identical(a, b));

    // Amounts above 50 act as 50; the result is clamped to bytes.
    cv::Mat white(4, 4, CV_8UC3, cv::Scalar::all(250));
    engine.addNoise(white, white, 1000);
    double lo = 0, hi = 0;
    cv::minMaxLoc(white.reshape(1), &lo, &hi);
    QVERIFY(lo >= 200 && hi <= 255);
}

void TestHDRToneEngine::addNoiseFollowsOneSequence()
{
    // Bands drawn in parallel give the bytes of one generator run in row
    // order, and the next call goes on where the last one stopped.
    const cv::Size size(1001, 37);
    IQHDRToneEngine engine;
    engine.seedNoise(1234);
    Rand15 serial(1234);
    for (int call = 0; call < 2; ++call) {
        cv::Mat grey(size, CV_8UC3, cv::Scalar::all(128));
        engine.addNoise(grey, grey, 25);
        for (int y = 0; y < size.height; ++y) {
            const uchar *row = grey.ptr<uchar>(y);
            for (int x = 0; x < size.width * 3; ++x) {
                const int expected = 128 + serial.next() % 50 - 25;
                if (row[x] != expected)
                    QFAIL(qPrintable(QStringLiteral("call %1 byte %2,%3").arg(call).arg(x).arg(y)));
            }
        }
    }
    QCOMPARE(IQHDRToneEngine::advanceNoiseState(7, 0), 7u);
    Rand15 r(99);
    for (int i = 0; i < 1000; ++i)
        r.next();
    Rand15 jumped(IQHDRToneEngine::advanceNoiseState(99, 1000));
    QCOMPARE(jumped.next(), r.next());
}

void TestHDRToneEngine::chainStepsWriteIntoDestination_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("none") << 0;
    QTest::newRow("localGamma") << 1;
    QTest::newRow("clahe") << 2;
    QTest::newRow("equalizeRounded") << 3;
    QTest::newRow("equalizeTruncated") << 4;
    QTest::newRow("detailEnhance") << 5;
    QTest::newRow("edgePreserve") << 6;
    QTest::newRow("denoiseColored") << 7;
    QTest::newRow("addNoise") << 8;
}

void TestHDRToneEngine::chainStepsWriteIntoDestination()
{
    QFETCH(int, step);
    const cv::Mat picture = makePicture(cv::Size(45, 35), 17);
    PaddedBuffer source(picture);
    IQHDRToneParams p;
    p.localGamma = step == 1;
    p.clahe = step == 2;
    p.claheClip = 2.0;
    p.equalizeRounded = step == 3;
    p.equalizeTruncated = step == 4;
    p.detailEnhance = step == 5;
    p.edgePreserve = step == 6;
    p.denoiseColored = step == 7;
    p.addNoise = step == 8;

    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    engine.setParams(p);
    engine.seedNoise(5);
    cv::Mat fresh;
    engine.applyDetailChain(engine.source, fresh);

    PaddedBuffer target(cv::Mat(35, 45, CV_8UC3, cv::Scalar::all(1)));
    cv::Mat wrapped = target.mat();
    engine.seedNoise(5);
    engine.applyDetailChain(engine.source, wrapped);
    QCOMPARE(wrapped.data, target.data->data);
    QVERIFY(identical(target.mat(), fresh));
    QVERIFY(identical(engine.source, picture));
    if (step != 0)
        QVERIFY(!identical(fresh, picture));
}

void TestHDRToneEngine::oddWidthsFullChain_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("3 x 5") << 3 << 5;
    QTest::newRow("1001 x 9") << 1001 << 9;
    QTest::newRow("1 x 1") << 1 << 1;
}

void TestHDRToneEngine::oddWidthsFullChain()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const cv::Mat picture = makePicture(cv::Size(width, height), uint64_t(width * 31 + height));
    PaddedBuffer source(picture);
    QCOMPARE(source.data->bytesPerLine % 4, 0);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    IQHDRToneParams p;
    p.highlight = 60;
    p.shadow = -100;
    p.localGamma = p.clahe = p.equalizeRounded = p.equalizeTruncated = true;
    p.detailEnhance = p.edgePreserve = p.denoiseColored = p.addNoise = true;
    engine.setParams(p);
    PaddedBuffer input(picture), working(picture);
    cv::Mat inputMat = input.mat(), workingMat = working.mat();
    engine.applyDetailChain(engine.source, inputMat);
    engine.applyHighlightShadow(inputMat, workingMat);
    QCOMPARE(inputMat.data, input.data->data);
    QCOMPARE(workingMat.data, working.data->data);
    QVERIFY(identical(engine.source, picture));
}

void TestHDRToneEngine::offeredHelpers()
{
    IQHDRToneEngine engine;
    // A low-contrast gradient, 100..150.
    cv::Mat flat(16, 51, CV_8UC3);
    for (int y = 0; y < flat.rows; ++y)
        for (int x = 0; x < flat.cols; ++x)
            flat.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(100 + x), uchar(100 + x), uchar(150 - x));

    auto inWrapper = [&](auto &&step) {
        PaddedBuffer target(cv::Mat(flat.size(), CV_8UC3, cv::Scalar::all(7)));
        cv::Mat wrapped = target.mat();
        step(flat, wrapped);
        if (wrapped.data != target.data->data)
            return cv::Mat();
        return target.mat().clone();
    };

    cv::Mat out = inWrapper([&](const cv::Mat &s, cv::Mat &d) { engine.applyLevels(s, d); });
    QVERIFY(!out.empty());
    double lo = 0, hi = 0;
    cv::minMaxLoc(out.reshape(1), &lo, &hi);
    QVERIFY(lo <= 5 && hi >= 250);

    out = inWrapper([&](const cv::Mat &s, cv::Mat &d) { engine.equalizeChannels(s, d); });
    QVERIFY(!out.empty());
    cv::minMaxLoc(out.reshape(1), &lo, &hi);
    QVERIFY(hi == 255 && lo < 20);

    out = inWrapper([&](const cv::Mat &s, cv::Mat &d) { engine.equalizeLuma(s, d); });
    QVERIFY(!out.empty());
    QVERIFY(!identical(out, flat));

    out = inWrapper([&](const cv::Mat &s, cv::Mat &d) { engine.enhanceDetail(s, d); });
    QVERIFY(!out.empty());

    out = inWrapper([&](const cv::Mat &s, cv::Mat &d) { engine.applyGammaLut(s, d, 1.0); });
    QVERIFY(identical(out, flat));
    cv::Mat grey(1, 3, CV_8UC1), greyOut;
    grey.at<uchar>(0) = 0;
    grey.at<uchar>(1) = 128;
    grey.at<uchar>(2) = 255;
    engine.applyGammaLut(grey, greyOut, 2.0);
    QCOMPARE(int(greyOut.at<uchar>(1)), 64);
    QCOMPARE(int(greyOut.at<uchar>(2)), 255);
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.applyGammaLut(grey, greyOut, 0.0));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.applyGammaLut(grey, greyOut, std::nan("")));

    const cv::Mat hist = engine.drawHistogram(flat, 300, 100);
    QCOMPARE(hist.size(), cv::Size(300, 100));
    QCOMPARE(hist.type(), CV_8UC3);
    QVERIFY(cv::countNonZero(hist.reshape(1)) > 0);
}

void TestHDRToneEngine::badInput()
{
    IQHDRToneEngine engine;
    cv::Mat picture = makePicture(cv::Size(20, 10), 1), out;
    // No source analysed yet.
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.recoverHighlights(picture, out, 50));
    PaddedBuffer source(picture);
    engine.setSource(*source.data);
    cv::Mat other = makePicture(cv::Size(21, 10), 1);
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.recoverShadows(other, out, 50));
    cv::Mat grey(10, 20, CV_8UC1, cv::Scalar(3));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.applyDetailChain(grey, out));
    cv::Mat small(5, 5, CV_8UC3, cv::Scalar::all(0));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.addNoise(picture, small, 10));
    IQBGRData empty;
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.setSource(empty));
    uint8_t pixels[12] = {};
    IQBGRData shortRows(pixels, 4, 1, 8);
    QVERIFY_THROWS_EXCEPTION(cv::Exception, engine.setSource(shortRows));
}

QTEST_GUILESS_MAIN(TestHDRToneEngine)
#include "tst_hdrtoneengine.moc"
