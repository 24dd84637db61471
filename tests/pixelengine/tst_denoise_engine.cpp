// The denoise engine end to end on synthetic noisy YUV frames.
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <vector>

#include "DenoiseTestFrames.h"
#include "PixelEngine.h"
#include "denoise/DenoiseEngine.h"
#include "denoise/DenoiseMemory.h"

namespace {
struct Engine {
    DenoiseEngine* e = nullptr;
    Engine(int mode = 0)
    {
        DenoiseCreate(&e);
        DenoiseSetMode(e, mode);
        DenoiseSetLuminanceChrominance(e, 0);
        DenoiseSetLuminanceFactor(e, 0);
    }
    ~Engine() { DenoiseDestroy(e); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    operator DenoiseEngine*() const { return e; }
};

using Scene = DenoiseTestScene;

DenoiseTestFrame denoised(DenoiseEngine* engine, DenoiseTestFrame& src, int luminance, int chrominance, int* rc)
{
    DenoiseTestFrame out(src.frame.format, src.width(), src.height());
    DenoiseSetLuminance(engine, luminance);
    DenoiseSetChrominance(engine, chrominance);
    *rc = DenoiseProcess(engine, &src.frame, &out.frame, nullptr, nullptr);
    return out;
}

bool sameBytes(const DenoiseTestFrame& a, const DenoiseTestFrame& b)
{
    return a.y == b.y && a.u == b.u && a.v == b.v;
}

int evenW(const DenoiseTestFrame& f) { return f.frame.format == 0x401 ? f.width() : f.width() & ~1; }
int evenH(const DenoiseTestFrame& f)
{
    return (f.frame.format == 0x401 || f.frame.format == 0x503) ? f.height() : f.height() & ~1;
}
}

class TestDenoiseEngine : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { DenoiseFaultInjectAfter(-1); }
    void setters();
    void refusesBadFrames();
    void gainRisesWithStrength_data();
    void gainRisesWithStrength();
    void chrominanceNeverAddsNoise_data();
    void chrominanceNeverAddsNoise();
    void lumaLinesSurviveBothParities_data();
    void lumaLinesSurviveBothParities();
    void chromaUntouchedAtZero_data();
    void chromaUntouchedAtZero();
    void profileEstimatedWithoutChromaServesChroma();
    void repeatableAndIndependentOfWorkers_data();
    void repeatableAndIndependentOfWorkers();
    void storedProfileIsUsedAsItIs();
    void badProfileIsRefused();
    void progressReports();
    void packedOrdersGiveSameLuma();
    void profileWithFewerLevelsIsSafe();
    void awkwardSizes_data();
    void awkwardSizes();
    void outOfMemoryIsReported();
};

void TestDenoiseEngine::setters()
{
    Engine engine(1);
    DenoiseEngine* e = engine;
    QCOMPARE(DenoiseSetMode(e, 2), int(PE_ERR_MODE));
    QCOMPARE(e->mode, 6);
    QCOMPARE(DenoiseSetMode(e, 0), 0);
    QCOMPARE(e->mode, 4);
    DenoiseSetLuminance(e, 50);
    QCOMPARE(e->luma.strength, 80);
    QCOMPARE(e->luma.level, 50);
    DenoiseSetLuminance(e, 51);
    QCOMPARE(e->luma.strength, 80);
    QCOMPARE(e->luma.level, 51);
    DenoiseSetLuminance(e, 25);
    QCOMPARE(e->luma.strength, 40);
    QCOMPARE(e->luma.level, 50);
    DenoiseSetChrominance(e, 25);
    QCOMPARE(e->chroma.strength, 45);
    DenoiseSetLuminanceFactor(e, 49);
    QCOMPARE(e->luma.factor, 19);
    DenoiseSetLuminanceFactor(e, 0);
    QCOMPARE(e->luma.factor, 0);
    // Out-of-range values are clamped rather than wrapping into byte tables.
    DenoiseSetLuminance(e, -40);
    QCOMPARE(e->luma.strength, 0);
    DenoiseSetChrominance(e, 1 << 30);
    QCOMPARE(e->chroma.level, 1000);
    QCOMPARE(DenoiseSetMode(nullptr, 0), 0);
    QCOMPARE(DenoiseSetLuminance(nullptr, 5), 0);
    QCOMPARE(DenoiseEngineSetLevel(nullptr, 5, 0), -1);
    QCOMPARE(DenoiseEngineSetStrength(e, 70, 1), 90);
    QCOMPARE(DenoiseEngineSetChannelFactor(e, 3, 0, 7), int(PE_ERR_ARGUMENT));
}

void TestDenoiseEngine::refusesBadFrames()
{
    Engine engine;
    DenoiseTestFrame yuy2(0x501, 64, 48), i420(0x601, 64, 48), other(0x501, 66, 48);
    QCOMPARE(DenoiseProcess(engine, &yuy2.frame, &i420.frame, nullptr, nullptr), int(PE_ERR_MISMATCH));
    QCOMPARE(DenoiseProcess(engine, &yuy2.frame, &other.frame, nullptr, nullptr), int(PE_ERR_MISMATCH));
    DenoiseTestFrame bad(0x501, 64, 48), bad2(0x501, 64, 48);
    bad.frame.format = bad2.frame.format = 0x602;
    QCOMPARE(DenoiseProcess(engine, &bad.frame, &bad2.frame, nullptr, nullptr), int(PE_ERR_FORMAT));
    QCOMPARE(DenoiseEstimateNoise(engine, &bad.frame, nullptr), int(PE_ERR_FORMAT));
    QCOMPARE(DenoiseProcess(nullptr, &yuy2.frame, &yuy2.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    QCOMPARE(DenoiseProcess(engine, nullptr, &yuy2.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    // Missing planes, short pitches and sizes that even to nothing.
    DenoiseTestFrame a(0x601, 64, 48), b(0x601, 64, 48);
    b.frame.plane[2] = nullptr;
    QCOMPARE(DenoiseProcess(engine, &a.frame, &b.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    DenoiseTestFrame c(0x501, 64, 48), d(0x501, 64, 48);
    d.frame.pitch[0] = 100;
    QCOMPARE(DenoiseProcess(engine, &c.frame, &d.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    DenoiseTestFrame one(0x501, 1, 1), one2(0x501, 1, 1);
    QCOMPARE(DenoiseProcess(engine, &one.frame, &one2.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    DenoiseTestFrame neg(0x601, 16, 16), neg2(0x601, 16, 16);
    neg.frame.width = neg2.frame.width = -16;
    QCOMPARE(DenoiseProcess(engine, &neg.frame, &neg2.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    // A target sharing the source's memory (tiles read their margins after
    // neighbours were written) is refused, and nothing is written.
    Scene s(0x601, 200, 150, 10.0);
    DenoiseTestFrame before(s.noisy);
    QCOMPARE(DenoiseProcess(engine, &s.noisy.frame, &s.noisy.frame, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    IQYUVFrame shifted = s.noisy.frame;  // the same planes one row further on
    for (int i = 0; i < 3; ++i)
        shifted.plane[i] += shifted.pitch[i];
    shifted.height -= 2;
    IQYUVFrame source = s.noisy.frame;
    source.height -= 2;
    QCOMPARE(DenoiseProcess(engine, &source, &shifted, nullptr, nullptr), int(PE_ERR_ARGUMENT));
    QVERIFY(sameBytes(s.noisy, before));
}

void TestDenoiseEngine::gainRisesWithStrength_data()
{
    QTest::addColumn<uint>("format");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("YUY2 depth 2") << 0x501u << 320 << 240;
    QTest::newRow("YUY2 depth 3") << 0x501u << 480 << 360;
    QTest::newRow("I420 depth 4") << 0x601u << 640 << 480;
    QTest::newRow("NV21 depth 3") << 0x802u << 400 << 300;
    QTest::newRow("UYVY") << 0x503u << 320 << 241;
    QTest::newRow("444") << 0x401u << 300 << 200;
    QTest::newRow("NV12") << 0x801u << 256 << 256;
}

void TestDenoiseEngine::gainRisesWithStrength()
{
    QFETCH(uint, format);
    QFETCH(int, w);
    QFETCH(int, h);
    Scene s(format, w, h, 10.0);
    Engine engine;
    const int ew = evenW(s.noisy), eh = evenH(s.noisy);
    const double before = denoisePsnr(s.noisy, s.clean, 0, ew, eh);
    double last = before;
    for (int luminance : {25, 50, 100}) {
        int rc = 0;
        DenoiseTestFrame out = denoised(engine, s.noisy, luminance, 100, &rc);
        QCOMPARE(rc, 0);
        const double psnr = denoisePsnr(out, s.clean, 0, ew, eh);
        QVERIFY2(psnr > last + 0.2, qPrintable(QStringLiteral("luminance %1: %2 dB after %3 dB (noisy %4 dB)")
                                                   .arg(luminance).arg(psnr).arg(last).arg(before)));
        last = psnr;
        const double chromaBefore = denoisePsnr(s.noisy, s.clean, 1, ew, eh);
        const double chromaAfter = denoisePsnr(out, s.clean, 1, ew, eh);
        QVERIFY2(chromaAfter > chromaBefore + 3.0,
                 qPrintable(QStringLiteral("chroma %1 -> %2 dB").arg(chromaBefore).arg(chromaAfter)));
    }
    QVERIFY(last > before + 2.0);
}

void TestDenoiseEngine::chrominanceNeverAddsNoise_data()
{
    QTest::addColumn<uint>("format");
    QTest::addColumn<double>("sigma");
    QTest::addColumn<int>("chrominance");
    for (uint format : {0x601u, 0x501u})
        for (double sigma : {5.0, 10.0})
            for (int c : {25, 50, 100})
                QTest::newRow(qPrintable(QStringLiteral("%1 sigma %2 chrominance %3").arg(format, 0, 16).arg(sigma).arg(c)))
                    << format << sigma << c;
}

void TestDenoiseEngine::chrominanceNeverAddsNoise()
{
    // The luminance factor of 0 switches the detail boost off for chroma
    // too: no strength makes the chroma of a low-noise picture worse than it
    // came in. YUY2 chroma is worked at half height (an even row serves the
    // odd row below it), so it comes in with its rows doubled.
    QFETCH(uint, format);
    QFETCH(double, sigma);
    QFETCH(int, chrominance);
    Scene s(format, 640, 480, sigma, 7);
    DenoiseTestFrame in(s.noisy);
    for (int y = 1; format == 0x501 && y < 480; y += 2)
        for (int x = 0; x < 640; ++x)
            for (int c = 0; c < 2; ++c)
                *in.chromaAt(c, x, y) = *in.chromaAt(c, x, y - 1);
    Engine engine;
    int rc = 0;
    DenoiseTestFrame out = denoised(engine, s.noisy, 50, chrominance, &rc);
    QCOMPARE(rc, 0);
    const double before = denoisePsnr(in, s.clean, 1, 640, 480), after = denoisePsnr(out, s.clean, 1, 640, 480);
    QVERIFY2(after >= before, qPrintable(QStringLiteral("%1 -> %2 dB").arg(before).arg(after)));
}

void TestDenoiseEngine::lumaLinesSurviveBothParities_data()
{
    QTest::addColumn<uint>("format");
    QTest::addColumn<int>("luminance");
    for (uint format : {0x501u, 0x601u, 0x802u, 0x401u}) {
        const QByteArray f = QByteArray::number(format, 16);
        QTest::newRow(f + " chrominance only") << format << 0;
        QTest::newRow(f + " luminance 50") << format << 50;
    }
}

void TestDenoiseEngine::lumaLinesSurviveBothParities()
{
    // One-pixel lines of Y 235 on black in even and odd columns and rows,
    // without noise: luminance 0 must leave the luma alone, and on a clean
    // picture the luma pyramid rebuilds both parities exactly (an odd line
    // leaves a detail of 3/4 of its height, past a signed byte).
    QFETCH(uint, format);
    QFETCH(int, luminance);
    DenoiseTestFrame f(format, 320, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            *f.lumaAt(x, y) = (x == 100 || x == 201 || y == 60 || y == 121) ? 235 : 16;
            *f.chromaAt(0, x, y) = *f.chromaAt(1, x, y) = 128;
        }
    Engine engine;
    int rc = 0;
    DenoiseTestFrame out = denoised(engine, f, luminance, 50, &rc);
    QCOMPARE(rc, 0);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            QCOMPARE(*out.lumaAt(x, y), *f.lumaAt(x, y));
}

void TestDenoiseEngine::chromaUntouchedAtZero_data()
{
    QTest::addColumn<uint>("format");
    QTest::newRow("YUY2") << 0x501u;
    QTest::newRow("I420") << 0x601u;
    QTest::newRow("NV21") << 0x802u;
}

void TestDenoiseEngine::chromaUntouchedAtZero()
{
    QFETCH(uint, format);
    Scene s(format, 330, 250, 10.0);
    Engine engine;
    int rc = 0;
    DenoiseTestFrame out = denoised(engine, s.noisy, 80, 0, &rc);
    QCOMPARE(rc, 0);
    for (int y = 0; y < s.noisy.height(); ++y)
        for (int x = 0; x < s.noisy.width(); ++x)
            for (int c = 0; c < 2; ++c)
                QCOMPARE(*out.chromaAt(c, x, y), *s.noisy.chromaAt(c, x, y));
    QVERIFY(denoisePsnr(out, s.clean, 0, 330, 250) > denoisePsnr(s.noisy, s.clean, 0, 330, 250) + 1.0);
}

void TestDenoiseEngine::profileEstimatedWithoutChromaServesChroma()
{
    Scene s(0x501, 400, 300, 10.0);
    NoiseProfile profile{};
    Engine a;
    DenoiseSetChrominance(a, 0);
    QCOMPARE(DenoiseEstimateNoise(a, &s.noisy.frame, &profile), 0);
    QCOMPARE(DenoiseSetNoiseProfile(a, &profile), 0);
    int rc = 0;
    DenoiseTestFrame outA = denoised(a, s.noisy, 50, 100, &rc);
    QCOMPARE(rc, 0);

    Engine b;
    DenoiseSetChrominance(b, 50);
    QCOMPARE(DenoiseEstimateNoise(b, &s.noisy.frame, nullptr), 0);
    DenoiseTestFrame outB = denoised(b, s.noisy, 50, 100, &rc);
    QCOMPARE(rc, 0);
    QVERIFY(sameBytes(outA, outB));
    QVERIFY(denoisePsnr(outA, s.clean, 1, 400, 300) > denoisePsnr(s.noisy, s.clean, 1, 400, 300) + 3.0);
}

void TestDenoiseEngine::repeatableAndIndependentOfWorkers_data()
{
    QTest::addColumn<uint>("format");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    // Several batches of tiles, and more noise-estimate tiles than workers;
    // fewer estimate tiles than workers; a single one.
    QTest::newRow("501 1600x1200") << 0x501u << 1600 << 1200;
    QTest::newRow("601 1001x777") << 0x601u << 1001 << 777;
    QTest::newRow("802 700x901") << 0x802u << 700 << 901;
    QTest::newRow("503 1283x301") << 0x503u << 1283 << 301;
    QTest::newRow("401 641x481") << 0x401u << 641 << 481;
    QTest::newRow("501 300x200") << 0x501u << 300 << 200;
}

void TestDenoiseEngine::repeatableAndIndependentOfWorkers()
{
    QFETCH(uint, format);
    QFETCH(int, w);
    QFETCH(int, h);
    Scene s(format, w, h, 10.0);
    Engine engine;
    int rc = 0;
    DenoiseTestFrame first = denoised(engine, s.noisy, 70, 60, &rc);
    QCOMPARE(rc, 0);
    DenoiseTestFrame second = denoised(engine, s.noisy, 70, 60, &rc);
    QCOMPARE(rc, 0);
    QVERIFY(sameBytes(first, second));
    // The same tiles, and the same noise-estimate tiles, run one by one on
    // the calling thread.
    Engine serial;
    DenoiseEngineDestroyPool(serial);
    DenoiseTestFrame third = denoised(serial, s.noisy, 70, 60, &rc);
    QCOMPARE(rc, 0);
    QVERIFY(sameBytes(first, third));

    // The stored profile the workers measure is the one measured on the
    // calling thread, byte for byte.
    NoiseProfile pooled, alone;
    std::memset(pooled.bytes, 0xEE, sizeof(pooled.bytes));
    std::memset(alone.bytes, 0x11, sizeof(alone.bytes));
    QCOMPARE(DenoiseEstimateNoise(engine, &s.noisy.frame, &pooled), 0);
    QCOMPARE(DenoiseEstimateNoise(serial, &s.noisy.frame, &alone), 0);
    QVERIFY(std::memcmp(pooled.bytes, alone.bytes, sizeof(pooled.bytes)) == 0);
    QVERIFY(engine.e->stored.count > 0);
}

void TestDenoiseEngine::storedProfileIsUsedAsItIs()
{
    // A profile measured on a much noisier picture and stored: runs use it
    // unchanged instead of measuring the picture they are given.
    Scene s(0x601, 500, 400, 8.0), loud(0x601, 500, 400, 20.0, 2);
    Engine stored, loaded, inCall;
    NoiseProfile profile;
    QCOMPARE(DenoiseEstimateNoise(stored, &loud.noisy.frame, &profile), 0);
    QCOMPARE(DenoiseSetNoiseProfile(loaded, &profile), 0);
    int rc = 0;
    DenoiseTestFrame a = denoised(stored, s.noisy, 50, 50, &rc);
    QCOMPARE(rc, 0);
    DenoiseTestFrame b = denoised(loaded, s.noisy, 50, 50, &rc);
    QCOMPARE(rc, 0);
    DenoiseTestFrame c = denoised(inCall, s.noisy, 50, 50, &rc);
    QCOMPARE(rc, 0);
    QVERIFY(sameBytes(a, b));
    QVERIFY(!sameBytes(a, c));
    // The record travels between engines: three channels, noise measured.
    QCOMPARE(profile.bytes[0], uint8_t(3));
    const DenoiseProfileEntry& luma = stored.e->stored.entries[0][0];
    QVERIFY(std::any_of(luma.table, luma.table + 256, [](uint8_t v) { return v != 0; }));
    QCOMPARE(std::memcmp(DenoiseEngineExportProfile(stored)->bytes, profile.bytes, sizeof(profile.bytes)), 0);
    QCOMPARE(std::memcmp(DenoiseEngineExportProfile(loaded)->bytes, profile.bytes, sizeof(profile.bytes)), 0);
    QCOMPARE(DenoiseSetNoiseProfile(loaded, nullptr), 0);
    QCOMPARE(loaded.e->stored.count, 0u);
    // An empty stored profile is measured for the call only, as a stored
    // measurement of the same picture gives.
    QCOMPARE(inCall.e->stored.count, 0u);
    QCOMPARE(DenoiseEstimateNoise(inCall, &s.noisy.frame, nullptr), 0);
    DenoiseTestFrame d = denoised(inCall, s.noisy, 50, 50, &rc);
    QVERIFY(sameBytes(c, d));
}

void TestDenoiseEngine::badProfileIsRefused()
{
    Scene s(0x501, 256, 128, 10.0);
    Engine engine;
    NoiseProfile good{};
    QCOMPARE(DenoiseEstimateNoise(engine, &s.noisy.frame, &good), 0);
    NoiseProfile bad = good;
    bad.bytes[4] = 9;  // nine levels in channel 0
    QCOMPARE(DenoiseSetNoiseProfile(engine, &bad), int(PE_ERR_ARGUMENT));
    QCOMPARE(std::memcmp(DenoiseEngineExportProfile(engine)->bytes, good.bytes, sizeof(good.bytes)), 0);
    bad = good;
    bad.bytes[8] = 200;  // bits past 8
    QCOMPARE(DenoiseSetNoiseProfile(engine, &bad), int(PE_ERR_ARGUMENT));
    // A failed estimate leaves no profile marked as stored.
    DenoiseTestFrame tiny(0x501, 1, 1);
    QVERIFY(DenoiseEstimateNoise(engine, &tiny.frame, &bad) != 0);
    QCOMPARE(engine.e->stored.count, 0u);
    QCOMPARE(bad.bytes[8], uint8_t(200));  // the caller's buffer is untouched
}

void TestDenoiseEngine::progressReports()
{
    struct Log {
        std::vector<int> calls;
        int stopAt = -1;
        int stopWith = 1;
    };
    auto callback = [](int percent, int, void* user) {
        auto* log = static_cast<Log*>(user);
        log->calls.push_back(percent);
        return int(log->calls.size()) == log->stopAt ? log->stopWith : 0;
    };
    Engine engine;
    {
        Scene s(0x601, 120, 100, 5.0);  // one tile: only the closing call
        DenoiseTestFrame out(0x601, 120, 100);
        Log log;
        QCOMPARE(DenoiseProcess(engine, &s.noisy.frame, &out.frame, callback, &log), 0);
        QCOMPARE(log.calls, std::vector<int>{100});
    }
    {
        Scene s(0x601, 256, 192, 5.0);  // four tiles: one batch
        DenoiseTestFrame out(0x601, 256, 192);
        Log log;
        QCOMPARE(DenoiseProcess(engine, &s.noisy.frame, &out.frame, callback, &log), 0);
        QCOMPARE(log.calls, (std::vector<int>{100, 100}));
    }
    // Stop at the first report. A stop is a failure whatever the callback
    // returned (1 would read as success); a negative value is passed on.
    Scene s(0x501, 2000, 1500, 5.0);
    for (int stopWith : {1, 7, -5}) {
        DenoiseTestFrame out(0x501, 2000, 1500);
        Log log;
        log.stopAt = 1;
        log.stopWith = stopWith;
        QCOMPARE(DenoiseProcess(engine, &s.noisy.frame, &out.frame, callback, &log),
                 stopWith < 0 ? stopWith : DENOISE_ERR_STOPPED);
        QCOMPARE(log.calls.size(), size_t(2));
        QCOMPARE(log.calls.back(), 100);
    }
}

void TestDenoiseEngine::packedOrdersGiveSameLuma()
{
    // The same samples in the two byte orders.
    Scene s(0x501, 320, 240, 10.0), uyvy(0x503, 320, 240, 10.0);
    Engine a, b;
    int rc = 0;
    DenoiseTestFrame outA = denoised(a, s.noisy, 70, 0, &rc);
    QCOMPARE(rc, 0);
    DenoiseTestFrame outB = denoised(b, uyvy.noisy, 70, 0, &rc);
    QCOMPARE(rc, 0);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            QCOMPARE(*outA.lumaAt(x, y), *outB.lumaAt(x, y));
}

void TestDenoiseEngine::profileWithFewerLevelsIsSafe()
{
    // A profile measured on a small picture has fewer levels than a large
    // picture's pyramid: the missing levels get no noise, nothing is read past.
    Scene small(0x601, 200, 150, 10.0), large(0x601, 800, 600, 10.0);
    Engine engine;
    QCOMPARE(DenoiseEstimateNoise(engine, &small.noisy.frame, nullptr), 0);
    QCOMPARE(engine.e->stored.levels[0], 2u);
    int rc = 0;
    DenoiseTestFrame out = denoised(engine, large.noisy, 100, 100, &rc);
    QCOMPARE(rc, 0);
    QVERIFY(denoisePsnr(out, large.clean, 0, 800, 600) > denoisePsnr(large.noisy, large.clean, 0, 800, 600));
}

void TestDenoiseEngine::awkwardSizes_data()
{
    QTest::addColumn<uint>("format");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    for (uint format : {0x501u, 0x601u, 0x802u}) {
        const QByteArray f = QByteArray::number(format, 16);
        QTest::newRow(f + " 1084x2168") << format << 1084 << 2168;
        QTest::newRow(f + " 642x1284") << format << 642 << 1284;
        QTest::newRow(f + " 800x150") << format << 800 << 150;
        QTest::newRow(f + " 150x800") << format << 150 << 800;
        QTest::newRow(f + " 2x2") << format << 2 << 2;
        QTest::newRow(f + " 4x2") << format << 4 << 2;
        QTest::newRow(f + " 33x17") << format << 33 << 17;
        QTest::newRow(f + " 641x481") << format << 641 << 481;
    }
    QTest::newRow("503 641x481") << 0x503u << 641 << 481;
    QTest::newRow("503 3x1") << 0x503u << 3 << 1;
    QTest::newRow("401 1x1") << 0x401u << 1 << 1;
    QTest::newRow("401 320x241") << 0x401u << 320 << 241;
}

void TestDenoiseEngine::awkwardSizes()
{
    QFETCH(uint, format);
    QFETCH(int, w);
    QFETCH(int, h);
    Scene s(format, w, h, 10.0);
    Engine engine;
    for (int pass = 0; pass < 2; ++pass) {
        int rc = 0;
        DenoiseTestFrame out = denoised(engine, s.noisy, 100, 100, &rc);
        QCOMPARE(rc, 0);
        // Pixels outside the evened area keep the source values, chroma
        // included (the last chroma row of an odd-height 4:2:0 frame).
        const int ew = evenW(s.noisy), eh = evenH(s.noisy);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x >= ew || y >= eh) {
                    QCOMPARE(*out.lumaAt(x, y), *s.noisy.lumaAt(x, y));
                    QCOMPARE(*out.chromaAt(0, x, y), *s.noisy.chromaAt(0, x, y));
                    QCOMPARE(*out.chromaAt(1, x, y), *s.noisy.chromaAt(1, x, y));
                }
        if (w * h >= 10000)
            QVERIFY(denoisePsnr(out, s.clean, 0, ew, eh) > denoisePsnr(s.noisy, s.clean, 0, ew, eh));
        // Second pass with a stored profile.
        QCOMPARE(DenoiseEstimateNoise(engine, &s.noisy.frame, nullptr), 0);
    }
}

void TestDenoiseEngine::outOfMemoryIsReported()
{
    Scene s(0x601, 300, 200, 10.0);
    int failures = 0;
    for (int k = 0; k < 400; k += (k < 40 ? 1 : 17)) {
        DenoiseEngine* engine = nullptr;
        DenoiseFaultInjectAfter(k);
        const int created = DenoiseCreate(&engine);
        if (created != 0) {
            DenoiseFaultInjectAfter(-1);
            QCOMPARE(created, int(PE_ERR_NOMEM));
            QVERIFY(!engine);
            ++failures;
            continue;
        }
        DenoiseTestFrame out(0x601, 300, 200);
        const int rc = DenoiseProcess(engine, &s.noisy.frame, &out.frame, nullptr, nullptr);
        DenoiseFaultInjectAfter(-1);
        QVERIFY(rc == 0 || rc == int(PE_ERR_NOMEM));
        if (rc != 0)
            ++failures;
        // The engine stays usable after a failed run.
        DenoiseTestFrame again(0x601, 300, 200);
        QCOMPARE(DenoiseProcess(engine, &s.noisy.frame, &again.frame, nullptr, nullptr), 0);
        DenoiseDestroy(engine);
    }
    QVERIFY(failures > 10);

    // The noise estimate on the workers, failing at every point of a run
    // with several estimate tiles: the caller's buffer stays as it was, and
    // the next estimate measures the profile of a run that did not fail.
    Scene big(0x501, 1200, 900, 10.0);
    Engine engine;
    NoiseProfile clean;
    QCOMPARE(DenoiseEstimateNoise(engine, &big.noisy.frame, &clean), 0);
    failures = 0;
    for (int k = 0; k < 600; k += (k < 60 ? 1 : 23)) {
        NoiseProfile got;
        std::memset(got.bytes, 0x5A, sizeof(got.bytes));
        DenoiseFaultInjectAfter(k);
        const int rc = DenoiseEstimateNoise(engine, &big.noisy.frame, &got);
        DenoiseFaultInjectAfter(-1);
        if (rc != 0) {
            QCOMPARE(rc, int(PE_ERR_NOMEM));
            QVERIFY(std::all_of(got.bytes, got.bytes + sizeof(got.bytes), [](uint8_t b) { return b == 0x5A; }));
            QCOMPARE(engine.e->stored.count, 0u);
            ++failures;
        } else {
            QVERIFY(std::memcmp(got.bytes, clean.bytes, sizeof(got.bytes)) == 0);
        }
        QCOMPARE(DenoiseEstimateNoise(engine, &big.noisy.frame, &got), 0);
        QVERIFY(std::memcmp(got.bytes, clean.bytes, sizeof(got.bytes)) == 0);
    }
    QVERIFY(failures > 20);
}

QTEST_GUILESS_MAIN(TestDenoiseEngine)
#include "tst_denoise_engine.moc"
