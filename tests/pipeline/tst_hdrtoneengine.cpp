#include <QtTest>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <cmath>
#include <memory>

#include "IQBGRData.h"
#include "IQHDREngine.h"
#include "IQHDRToneEngine.h"
#include "PaddedBuffer.h"
#include "Rand15.h"
#include "TestPaths.h"
#include "ToneReference.h"

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


// The tone pass written out per pixel. Below -50 the exponent's strength
// follows the slider at a fifth of the rate, reaching -0.15 (g = 0.4) at
// -100; the divisor keeps the setting's own strength s.
cv::Mat referenceTonePass(const cv::Mat &src, int v, const cv::Mat &mask, const cv::Mat &weight, double mean)
{
    const float s = float(v) / 100 * 0.25f;
    const float e = v >= -50 ? s : (-50 + float(v + 50) / 5) / 100 * 0.25f;
    cv::Mat out(src.size(), CV_8UC3);
    for (int y = 0; y < src.rows; ++y)
        for (int x = 0; x < src.cols; ++x) {
            const float w = weight.at<float>(y, x);
            const bool masked = mask.at<uchar>(y, x) == 255;
            const float g = masked ? 1 + 4 * e : float(4 * e * w / mean + 1);
            const float k = masked ? s : float(w / mean * s);
            for (int c = 0; c < 3; ++c) {
                const int byte = src.at<cv::Vec3b>(y, x)[c];
                const double p = referenceFastPow(double(float(byte) / 255.0f), double(1 / g));
                const float t = float(p / (1 - k));
                out.at<cv::Vec3b>(y, x)[c] = t > 1 ? 255 : (t > 0 ? uchar(int(t * 255)) : 0);
            }
        }
    return out;
}

bool identical(const cv::Mat &a, const cv::Mat &b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

// What a person sees of a tone pass: mean brightness, the share of bright
// pixels crushed to dark, the share of near-grey pixels turned strongly
// coloured (HSV saturation 0..255). Pixels whose brightest channel is below
// darkFloor are left out of the colour count.
struct ToneDamage {
    double mean = 0, crushed = 0, coloured = 0;
};

ToneDamage damageOf(const cv::Mat &in, const cv::Mat &out, int darkFloor = 0)
{
    cv::Mat lumaIn, lumaOut, hsvIn, hsvOut;
    cv::cvtColor(in, lumaIn, cv::COLOR_BGR2GRAY);
    cv::cvtColor(out, lumaOut, cv::COLOR_BGR2GRAY);
    cv::cvtColor(in, hsvIn, cv::COLOR_BGR2HSV);
    cv::cvtColor(out, hsvOut, cv::COLOR_BGR2HSV);
    const cv::Mat crushed = (lumaIn > 200) & (lumaOut < 40);
    cv::Mat satIn, satOut, valueIn;
    cv::extractChannel(hsvIn, satIn, 1);
    cv::extractChannel(hsvOut, satOut, 1);
    cv::extractChannel(hsvIn, valueIn, 2);
    const cv::Mat coloured = (satIn < 30) & (satOut > 150) & (valueIn >= darkFloor);
    const double n = double(in.total());
    return {cv::mean(lumaOut)[0], cv::countNonZero(crushed) / n, cv::countNonZero(coloured) / n};
}

// Runs one pass of the engine's analysed maps over src.
cv::Mat tonePass(IQHDRToneEngine &engine, const cv::Mat &src, bool highlights, int v)
{
    cv::Mat out;
    if (highlights)
        engine.recoverHighlights(src, out, v);
    else
        engine.recoverShadows(src, out, v);
    return out;
}

// Both passes over the whole slider: bright pixels are not crushed, near-grey
// ones not turned into colour, -100 keeps over a third of the brightness, and
// from -50 to -100 no byte gets brighter.
void checkBoundedPasses(IQHDRToneEngine &engine, const cv::Mat &picture, int darkFloor, int step,
                        const QString &name)
{
    const double meanIn = damageOf(picture, picture).mean;
    for (const bool highlights : {true, false}) {
        const QString pass = name + (highlights ? QStringLiteral(" highlights ") : QStringLiteral(" shadows "));
        cv::Mat previous;
        for (int v = -50; v >= -100; --v) {
            const cv::Mat out = tonePass(engine, picture, highlights, v);
            if (!previous.empty()) {
                cv::Mat rise;
                cv::subtract(out, previous, rise);
                QVERIFY2(cv::countNonZero(rise.reshape(1)) == 0, qPrintable(pass + QString::number(v)));
            }
            previous = out;
        }
        for (int v = -100; v <= 100; v += step) {
            const ToneDamage d = damageOf(picture, tonePass(engine, picture, highlights, v), darkFloor);
            QVERIFY2(d.crushed < 1e-4, qPrintable(pass + QStringLiteral("%1 crushes %2").arg(v).arg(d.crushed)));
            QVERIFY2(d.coloured < 1e-4, qPrintable(pass + QStringLiteral("%1 colours %2").arg(v).arg(d.coloured)));
            if (v == -100)
                QVERIFY2(d.mean >= 0.35 * meanIn,
                         qPrintable(pass + QStringLiteral("-100 mean %1 of %2").arg(d.mean).arg(meanIn)));
        }
    }
}

// The detail chain called by hand: OpenCV directly, and the engine's own
// steps written out here, in the chain's order.
cv::Mat referenceDetailChain(const cv::Mat &src, const IQHDRToneParams &p, uint32_t noiseSeed)
{
    cv::Mat d = src.clone();
    if (p.localGamma) {
        cv::Mat mask(d.size(), CV_8UC1);
        for (int y = 0; y < d.rows; ++y)
            for (int x = 0; x < d.cols; ++x) {
                const cv::Vec3b q = d.at<cv::Vec3b>(y, x);
                mask.at<uchar>(y, x) = uchar(255 - int((q[0] + 2 * q[1]) / 3.0));
            }
        cv::GaussianBlur(mask, mask, cv::Size(41, 41), 4.0, 0, cv::BORDER_DEFAULT);
        for (int y = 0; y < d.rows; ++y)
            for (int x = 0; x < d.cols; ++x) {
                const float e = float(std::pow(2.0, (128 - mask.at<uchar>(y, x)) * 0.0078125));
                for (int c = 0; c < 3; ++c)
                    d.at<cv::Vec3b>(y, x)[c] = uchar(int(255 * std::pow(d.at<cv::Vec3b>(y, x)[c] / 255.0, double(e))));
            }
    }
    if (p.clahe) {
        cv::Mat lab;
        cv::cvtColor(d, lab, cv::COLOR_BGR2Lab);
        std::vector<cv::Mat> planes;
        cv::split(lab, planes);
        cv::createCLAHE(p.claheClip, cv::Size(8, 8))->apply(planes[0], planes[0]);
        cv::merge(planes, lab);
        cv::cvtColor(lab, d, cv::COLOR_Lab2BGR);
    }
    // Both equalisations share one histogram over all three channels.
    const auto sharedCounts = [](const cv::Mat &m) {
        std::vector<double> counts(256, 0.0);
        for (int y = 0; y < m.rows; ++y)
            for (int x = 0; x < m.cols * 3; ++x)
                counts[m.ptr<uchar>(y)[x]] += 1;
        return counts;
    };
    const double n = double(d.total()) * 3;
    if (p.equalizeRounded) {
        const std::vector<double> counts = sharedCounts(d);
        cv::Mat lut(1, 256, CV_8U);
        float c = 0;
        for (int i = 0; i < 256; ++i) {
            c += float(counts[size_t(i)] / n);
            lut.at<uchar>(i) = uchar(std::clamp(std::rint(c * 255 + 0.5), 0.0, 255.0));
        }
        cv::LUT(d, lut, d);
    }
    if (p.equalizeTruncated) {
        const std::vector<double> counts = sharedCounts(d);
        cv::Mat lut(1, 256, CV_8U);
        double c = 0;
        for (int i = 0; i < 256; ++i) {
            c += counts[size_t(i)];
            lut.at<uchar>(i) = uchar(int(c / n * 255.0));
        }
        cv::LUT(d, lut, d);
    }
    if (p.detailEnhance)
        cv::detailEnhance(d.clone(), d, 100.0f, 0.1f);
    if (p.edgePreserve)
        cv::edgePreservingFilter(d.clone(), d, 1, 60.0f, 0.4f);
    if (p.denoiseColored)
        cv::fastNlMeansDenoisingColored(d.clone(), d, 5.0f, 3.0f, 7, 21);
    if (p.addNoise) {
        Rand15 rng(noiseSeed);
        for (int y = 0; y < d.rows; ++y)
            for (int x = 0; x < d.cols * 3; ++x) {
                uchar &b = d.ptr<uchar>(y)[x];
                b = uchar(std::clamp(b + rng.next() % 50 - 25, 0, 255));
            }
    }
    return d;
}

} // namespace

Q_DECLARE_METATYPE(IQHDRToneParams)

class TestHDRToneEngine : public QObject {
    Q_OBJECT
private slots:
    void fastPowMatchesFormula();
    void fastPowExtremesAreDefined();
    void analysisWeights();
    void tonePassMaskedByte();
    void tonePassMatchesPerPixelFormula_data();
    void tonePassMatchesPerPixelFormula();
    void tonePassBoundedOnRamps();
    void tonePassBoundedOnRealPhoto();
    void tonePassOutOfRangeActsAsEnds();
    void highlightShadowStartsFromSource();
    void addNoiseFollowsOneSequence();
    void detailChainMatchesDirectCalls_data();
    void detailChainMatchesDirectCalls();
    void oneEngineRunsChainAfterChain();
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
    // The masks are OpenCV's own comparison of the maps with their means.
    VERIFY_SAME(engine.highlightMask, cv::Mat(engine.highlightWeight >= engine.highlightMean[0]));
    VERIFY_SAME(engine.shadowMask, cv::Mat(engine.shadowWeight >= engine.shadowMean[0]));
}

void TestHDRToneEngine::tonePassMaskedByte()
{
    // Uniform: every pixel is masked, so setting 100 uses g = 2 and k = 0.25:
    // (int)(fastPow(64 / 255, 0.5) / 0.75 * 255) = 167.
    cv::Mat picture(5, 3, CV_8UC3, cv::Scalar::all(64));
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    cv::Mat out;
    engine.recoverHighlights(engine.source, out, 100);
    QCOMPARE(cv::countNonZero(out.reshape(1) != 167), 0);
    // For shadows a mean weight of (1 - 64 / 255)^2 would let the formula
    // lift the greys just above 64 past brighter ones, and the pass mends
    // it; a darker picture, whose mean the formula copes with, shows the
    // masked formula: byte 20 gives (int)(fastPow(20 / 255, 0.5) / 0.75 * 255).
    cv::Mat dark(5, 3, CV_8UC3, cv::Scalar::all(20));
    PaddedBuffer darkBuffer(dark);
    IQHDRToneEngine darkEngine;
    darkEngine.setSource(*darkBuffer.data);
    darkEngine.recoverShadows(darkEngine.source, out, 100);
    QCOMPARE(cv::countNonZero(out.reshape(1) != 93), 0);
    QCOMPARE(int(referenceFastPow(double(20.0f / 255.0f), 0.5) / 0.75 * 255), 93);
}

void TestHDRToneEngine::tonePassMatchesPerPixelFormula_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<bool>("highlights");
    for (int v : {-100, -99, -75, -51, -50, -49, -25, -1, 1, 25, 50, 51, 75, 100}) {
        QTest::newRow(qPrintable(QStringLiteral("highlights %1").arg(v))) << v << true;
        QTest::newRow(qPrintable(QStringLiteral("shadows %1").arg(v))) << v << false;
    }
}

void TestHDRToneEngine::tonePassMatchesPerPixelFormula()
{
    // Wherever the formula keeps the grey axis of the picture's mean rising
    // and apart, the pass is the formula on every pixel; elsewhere it
    // differs from it.
    QFETCH(int, setting);
    QFETCH(bool, highlights);
    const cv::Mat picture = makePicture(cv::Size(61, 47), 7);
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    const cv::Mat &mask = highlights ? engine.highlightMask : engine.shadowMask;
    const cv::Mat &weight = highlights ? engine.highlightWeight : engine.shadowWeight;
    const double mean = (highlights ? engine.highlightMean : engine.shadowMean)[0];
    const cv::Mat expected = referenceTonePass(picture, setting, mask, weight, mean);

    // The formula on the 256 greys, with this picture's mean.
    cv::Mat greys(1, 256, CV_8UC3);
    for (int c = 0; c < 256; ++c)
        greys.at<cv::Vec3b>(0, c) = cv::Vec3b::all(uchar(c));
    PaddedBuffer greyBuffer(greys);
    IQHDRToneEngine greyEngine;
    greyEngine.setSource(*greyBuffer.data);
    const cv::Mat &greyWeight = highlights ? greyEngine.highlightWeight : greyEngine.shadowWeight;
    const cv::Mat greyCurve = referenceTonePass(greys, setting, greyWeight >= mean, greyWeight, mean);
    bool apart = true;
    for (int c = 0; c < 255; ++c)
        apart = apart && greyCurve.at<cv::Vec3b>(0, c + 1)[0] >= greyCurve.at<cv::Vec3b>(0, c)[0];
    for (int c = 0; c + 32 < 256; ++c) {
        const int low = greyCurve.at<cv::Vec3b>(0, c)[0], high = greyCurve.at<cv::Vec3b>(0, c + 32)[0];
        apart = apart && !(low >= 8 && high <= 247 && high <= low);
    }

    const cv::Mat out = tonePass(engine, engine.source, highlights, setting);
    QCOMPARE(identical(out, expected), apart);
    // In place gives the same bytes.
    cv::Mat inPlace = picture.clone();
    const auto pass = highlights ? &IQHDRToneEngine::recoverHighlights : &IQHDRToneEngine::recoverShadows;
    (engine.*pass)(inPlace, inPlace, setting);
    QVERIFY(identical(inPlace, out));
}

void TestHDRToneEngine::tonePassBoundedOnRamps()
{
    // Grey and slightly tinted ramps along x.
    const int width = 256;
    cv::Mat ramps(256, width, CV_8UC3);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < width; ++x)
            ramps.at<cv::Vec3b>(y, x) =
                y < 128 ? cv::Vec3b::all(uchar(x)) : cv::Vec3b(uchar(x), uchar(x * 24 / 25), uchar(x * 23 / 25));
    PaddedBuffer buffer(ramps);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    // Any darkening exponent takes bytes below about 48 to 0..3, where one
    // level between channels reads as full saturation: the colour count
    // starts above them.
    checkBoundedPasses(engine, ramps, 48, 1, QStringLiteral("ramp"));

    // Over a grey ramp every column has one mask and weight; rows 0..255 of
    // the probe hold bytes 0..255, so a column is the pass's curve for that
    // weight and must not fall.
    cv::Mat probe(256, width, CV_8UC3);
    for (int y = 0; y < 256; ++y)
        probe.row(y).setTo(cv::Scalar(y, y * 24 / 25, y));
    PaddedBuffer greyBuffer(cv::repeat(ramps.row(0), 256, 1));
    IQHDRToneEngine grey;
    grey.setSource(*greyBuffer.data);
    for (const bool highlights : {true, false})
        for (int v = -100; v <= 100; v += 5) {
            const cv::Mat out = tonePass(grey, probe, highlights, v);
            const cv::Mat falls = out.rowRange(1, 256) < out.rowRange(0, 255);
            QVERIFY2(cv::countNonZero(falls.reshape(1)) == 0,
                     qPrintable(QStringLiteral("%1 %2: a column falls")
                                    .arg(highlights ? "highlights" : "shadows").arg(v)));
        }
}

void TestHDRToneEngine::tonePassBoundedOnRealPhoto()
{
    const QString root = sharedTestDataDir();
    const QDir hall(root + QStringLiteral("/homedeck_hall_5d3_3exp"));
    if (root.isEmpty() || !hall.exists(QStringLiteral("group_14.jpg")))
        QSKIP("the hall bracket is not available");
    QList<QImage> sources;
    IQHDREngine *hdr = IQHDREngine::instance();
    QCOMPARE(hdr->load({hall.filePath(QStringLiteral("group_14.jpg")), hall.filePath(QStringLiteral("group_15.jpg")),
                        hall.filePath(QStringLiteral("group_16.jpg"))},
                       sources),
             0);
    const cv::Mat picture = bgrMatOf(hdr->toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f));
    hdr->clear();
    QVERIFY(!picture.empty());
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    checkBoundedPasses(engine, picture, 0, 5, QStringLiteral("hall"));

    // For a person to look at.
    for (const bool highlights : {true, false})
        for (const int v : {-100, -75, 100}) {
            const cv::Mat out = tonePass(engine, picture, highlights, v);
            QImage(out.data, out.cols, out.rows, int(out.step), QImage::Format_BGR888)
                .save(QDir(testOutputDir())
                          .filePath(QStringLiteral("tone_hall_%1_%2.jpg")
                                        .arg(highlights ? "highlights" : "shadows")
                                        .arg(v)));
        }
}

void TestHDRToneEngine::tonePassOutOfRangeActsAsEnds()
{
    const cv::Mat picture = makePicture(cv::Size(64, 19), 64);
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    for (const bool highlights : {true, false}) {
        QVERIFY(identical(tonePass(engine, picture, highlights, -300), tonePass(engine, picture, highlights, -100)));
        QVERIFY(identical(tonePass(engine, picture, highlights, 250), tonePass(engine, picture, highlights, 100)));
        QVERIFY(identical(tonePass(engine, picture, highlights, std::numeric_limits<int>::min()),
                          tonePass(engine, picture, highlights, -100)));
    }
    QVERIFY(identical(engine.source, picture)); // the source is never written
}

void TestHDRToneEngine::highlightShadowStartsFromSource()
{
    // Neutral settings copy the source into the caller's buffer.
    const cv::Mat picture = makePicture(cv::Size(40, 30), 9);
    PaddedBuffer source(picture);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    PaddedBuffer target(cv::Mat(30, 40, CV_8UC3, cv::Scalar::all(0)));
    cv::Mat dst = target.mat();
    engine.applyHighlightShadow(engine.source, dst);
    QCOMPARE(dst.data, target.data->data);
    QVERIFY(identical(target.mat(), picture));
    // Highlights then shadows equals the two passes run one after the other.
    IQHDRToneParams p;
    p.highlight = 40;
    p.shadow = -30;
    engine.setParams(p);
    engine.applyHighlightShadow(engine.source, dst);
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

void TestHDRToneEngine::addNoiseFollowsOneSequence()
{
    // Bands drawn in parallel give the bytes of one generator run in row
    // order, +-amount (at most 50) around each byte, and the next call goes
    // on where the last one stopped; amounts of 0 and below draw nothing.
    const cv::Size size(1001, 37);
    IQHDRToneEngine engine;
    engine.seedNoise(1234);
    Rand15 serial(1234);
    for (const int amount : {25, 0, -5, 1000}) {
        const int a = std::min(amount, 50);
        cv::Mat grey(size, CV_8UC3, cv::Scalar::all(128));
        engine.addNoise(grey, grey, amount);
        for (int y = 0; y < size.height; ++y) {
            const uchar *row = grey.ptr<uchar>(y);
            for (int x = 0; x < size.width * 3; ++x) {
                const int expected = a > 0 ? 128 + serial.next() % (2 * a) - a : 128;
                if (row[x] != expected)
                    QFAIL(qPrintable(QStringLiteral("amount %1 byte %2,%3").arg(amount).arg(x).arg(y)));
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

void TestHDRToneEngine::detailChainMatchesDirectCalls_data()
{
    // Each exact switch alone, then all together. The OpenCV photo filters
    // (checked alone where they are replaced) may differ by one level on
    // 0.1 % of the bytes.
    QTest::addColumn<IQHDRToneParams>("params");
    QTest::addColumn<bool>("photoFilter");
    QTest::newRow("none") << IQHDRToneParams() << false;
    const std::pair<const char *, bool IQHDRToneParams::*> switches[] = {
        {"localGamma", &IQHDRToneParams::localGamma},
        {"clahe 2.5", &IQHDRToneParams::clahe},
        {"equalizeRounded", &IQHDRToneParams::equalizeRounded},
        {"equalizeTruncated", &IQHDRToneParams::equalizeTruncated},
        {"addNoise", &IQHDRToneParams::addNoise}};
    IQHDRToneParams p;
    for (const auto &[name, on] : switches) {
        p = IQHDRToneParams();
        p.*on = true;
        p.claheClip = 2.5;
        QTest::newRow(name) << p << false;
    }
    p.localGamma = p.clahe = p.equalizeRounded = p.equalizeTruncated = true;
    p.detailEnhance = p.edgePreserve = p.denoiseColored = true;
    p.claheClip = 1.5;
    QTest::newRow("all") << p << true;
    p.detailEnhance = p.edgePreserve = p.denoiseColored = false;
    QTest::newRow("all but the photo filters") << p << false;
}

void TestHDRToneEngine::detailChainMatchesDirectCalls()
{
    QFETCH(IQHDRToneParams, params);
    QFETCH(bool, photoFilter);
    // Large enough that eight tiles a side differ from other counts, with
    // coloured structure so that a histogram per channel differs from one
    // shared histogram.
    const cv::Mat picture = makePicture(cv::Size(160, 120), 17);
    PaddedBuffer source(picture);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    engine.setParams(params);
    engine.seedNoise(5);
    PaddedBuffer target(cv::Mat(picture.size(), CV_8UC3, cv::Scalar::all(1)));
    cv::Mat wrapped = target.mat();
    engine.applyDetailChain(engine.source, wrapped);
    QCOMPARE(wrapped.data, target.data->data);
    QVERIFY(identical(engine.source, picture));

    const cv::Mat expected = referenceDetailChain(picture, params, 5);
    const cv::Mat out = target.mat();
    if (photoFilter)
        VERIFY_CLOSE(out, expected);
    else
        VERIFY_SAME(out, expected);
    if (!params.isDefault())
        QVERIFY(!identical(out, picture));
}

void TestHDRToneEngine::oneEngineRunsChainAfterChain()
{
    // The chain's filters share their working planes from pass to pass: each
    // pass must give what its own filters give on a fresh picture, whatever
    // the passes before it left in those planes.
    const cv::Mat picture = makePicture(cv::Size(203, 131), 29);
    PaddedBuffer source(picture);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    PaddedBuffer target(picture);
    struct Pass {
        bool IQHDRToneParams::*on;
        double clip;
        bool photoFilter;
    };
    const Pass passes[] = {{&IQHDRToneParams::edgePreserve, 1, true}, {&IQHDRToneParams::clahe, 4.0, false},
                           {&IQHDRToneParams::detailEnhance, 1, true}, {&IQHDRToneParams::denoiseColored, 1, false},
                           {&IQHDRToneParams::clahe, 1.0, false},      {&IQHDRToneParams::localGamma, 1, false},
                           {&IQHDRToneParams::denoiseColored, 1, false}, {&IQHDRToneParams::equalizeRounded, 1, false},
                           {&IQHDRToneParams::edgePreserve, 1, true}};
    int index = 0;
    for (const Pass &pass : passes) {
        IQHDRToneParams p;
        p.*pass.on = true;
        p.claheClip = pass.clip;
        engine.setParams(p);
        cv::Mat out = target.mat();
        engine.applyDetailChain(engine.source, out);
        const cv::Mat expected = referenceDetailChain(picture, p, 0);
        const QString why = disagreement(target.mat(), expected, pass.photoFilter ? 1 : 0, pass.photoFilter ? 0.001 : 0);
        QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("pass %1: %2").arg(index).arg(why)));
        ++index;
    }
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

    out = inWrapper([&](const cv::Mat &s, cv::Mat &d) { engine.applyGammaLut(s, d, 1.0); });
    QVERIFY(identical(out, flat));
    const cv::Mat grey = (cv::Mat_<uchar>(1, 3) << 0, 128, 255);
    cv::Mat greyOut;
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
