#include <QtTest>

#include <QThread>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "IQAdjustingProcessor.h"
#include "IQBGRData.h"
#include "IQDenoiseEngine.h"
#include "IQDenoiseEngineStage.h"
#include "IQYUVFrame.h"
#include "PaddedBuffer.h"
#include "PixelEngine.h"
#include "denoise/DenoiseEngine.h"

namespace {

// An allocated frame that frees itself.
struct Frame {
    IQYUVFrame f;
    Frame(uint32_t format, int w, int h)
    {
        f.format = format;
        f.width = w;
        f.height = h;
        YUVFrameAllocate(&f);
    }
    ~Frame() { YUVFrameRelease(&f); }
    Frame(const Frame &) = delete;
    Frame &operator=(const Frame &) = delete;

    size_t bytes() const { return YUVFrameByteCount(f.format, f.width, f.height); }
    QByteArray contents() const { return QByteArray(reinterpret_cast<const char *>(f.plane[0]), qsizetype(bytes())); }
    void fill(uint8_t v) { std::memset(f.plane[0], v, bytes()); }
};

// Clean content: a flat grey patch (top left), a flat coloured patch (top
// right), a gradient below, hard-edged squares and one-pixel lines.
void cleanPixel(int x, int y, int w, int h, int bgr[3])
{
    if (x < w / 2 && y < h / 2) {
        bgr[0] = bgr[1] = bgr[2] = 120;
        return;
    }
    if (y < h / 2) {
        bgr[0] = 60;
        bgr[1] = 140;
        bgr[2] = 200;
        return;
    }
    const int g = 40 + 170 * x / std::max(1, w - 1);
    bgr[0] = g;
    bgr[1] = 255 - g;
    bgr[2] = (g + 80) % 256;
    if (((x / 16) + (y / 16)) % 5 == 0)
        bgr[0] = bgr[1] = bgr[2] = 230;
    if (x % 37 == 0)
        bgr[0] = bgr[1] = bgr[2] = 10;
}

// The clean picture plus seeded Gaussian noise of sigma on every channel;
// row padding is set to 0xA5 so a writer past the row end shows up.
std::unique_ptr<IQBGRData> makePicture(int w, int h, double sigma, uint32_t seed)
{
    std::unique_ptr<IQBGRData> p(IQBGRData::create(w, h));
    std::mt19937 gen(seed);
    // Box-Muller by hand: the same numbers with every standard library.
    auto gauss = [&] {
        const double u1 = (double(gen()) + 1.0) / 4294967297.0;
        const double u2 = double(gen()) / 4294967296.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    };
    for (int y = 0; y < h; ++y) {
        uint8_t *row = p->data + size_t(y) * size_t(p->bytesPerLine);
        std::memset(row, 0xA5, size_t(p->bytesPerLine));
        for (int x = 0; x < w; ++x) {
            int bgr[3];
            cleanPixel(x, y, w, h, bgr);
            for (int c = 0; c < 3; ++c) {
                const double v = bgr[c] + (sigma > 0 ? sigma * gauss() : 0.0);
                row[3 * x + c] = uint8_t(std::clamp(int(std::lround(v)), 0, 255));
            }
        }
    }
    return p;
}

QByteArray bytesOf(const IQBGRData &p)
{
    return QByteArray(reinterpret_cast<const char *>(p.data), qsizetype(p.byteCount()));
}

// A YUY2 frame of the (noisy) test picture.
std::unique_ptr<Frame> yuy2Of(const IQBGRData &p)
{
    auto f = std::make_unique<Frame>(IQYUV_FORMAT_YUY2, int(p.width), p.height);
    if (!BGRDataToYUVFrame(p, &f->f))
        return nullptr;
    return f;
}

QByteArray profileOf(const IQDenoiseEngine &e)
{
    NoiseProfile profile;
    if (!e.copyNoiseProfile(&profile))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(profile.bytes), IQDenoiseEngine::ProfileBytes);
}

// What a fresh engine at these strengths makes of the frame; the profile it
// measured goes to profile when asked for.
QByteArray freshResult(const IQYUVFrame &src, int luminance, int chrominance, QByteArray *profile = nullptr)
{
    IQDenoiseEngine engine;
    engine.setLuminance(luminance);
    engine.setChrominance(chrominance);
    Frame out(src.format, src.width, src.height);
    if (engine.apply(&src, &out.f) != 0)
        return QByteArray();
    if (profile)
        *profile = profileOf(engine);
    return out.contents();
}

void putU32(QByteArray &b, int pos, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[pos + i] = char((v >> (8 * i)) & 0xff);
}

} // namespace

class TestDenoiseEngine : public QObject {
    Q_OBJECT

private slots:
    void profileMeasuredOnceThenLoaded();
    void chromaLevelsMeasuredAtZeroChrominance();
    void storedProfileMatchesEstimateInCall();
    void failedRunsKeepTargetAndProfile();
    void unusableProfileIsNotLoaded_data();
    void unusableProfileIsNotLoaded();
    void concurrentRunsAreSerialised();

    void processorPassIsTheEngineOnYuy2();
    void stageWithoutEngineKeepsPixels();
    void stageOddAndTinySizes_data();
    void stageOddAndTinySizes();
    void preparedFramesKeepEveryByte_data();
    void preparedFramesKeepEveryByte();
};

void TestDenoiseEngine::profileMeasuredOnceThenLoaded()
{
    auto clean = makePicture(160, 96, 8.0, 1);
    auto other = makePicture(160, 96, 20.0, 2); // a much noisier picture
    auto a = yuy2Of(*clean), b = yuy2Of(*other);
    Frame dst(IQYUV_FORMAT_YUY2, 160, 96);

    IQDenoiseEngine engine;
    QVERIFY(engine.isValid());
    QVERIFY(!engine.hasNoiseProfile());
    engine.setLuminance(50);
    engine.setChrominance(50);
    QCOMPARE(engine.apply(&a->f, &dst.f), 0);
    const QByteArray first = profileOf(engine);
    QCOMPARE(first.size(), IQDenoiseEngine::ProfileBytes);

    // The second picture is not measured: the profile stays, and the result
    // equals an engine that was handed the first profile.
    QCOMPARE(engine.apply(&b->f, &dst.f), 0);
    QCOMPARE(profileOf(engine), first);
    const QByteArray second = dst.contents();

    IQDenoiseEngine seeded(reinterpret_cast<const uint8_t *>(first.constData()));
    QVERIFY(seeded.hasNoiseProfile());
    seeded.setLuminance(50);
    seeded.setChrominance(50);
    dst.fill(0);
    QCOMPARE(seeded.apply(&b->f, &dst.f), 0);
    QCOMPARE(dst.contents(), second);

    // After a reset the next run measures the picture it gets.
    QByteArray measured;
    QVERIFY(!freshResult(b->f, 50, 50, &measured).isEmpty());
    engine.resetNoiseProfile();
    QVERIFY(!engine.hasNoiseProfile());
    QCOMPARE(engine.apply(&b->f, &dst.f), 0);
    QCOMPARE(profileOf(engine), measured);
    QVERIFY(measured != first);
}

// A profile measured while chrominance was 0 must serve a later run at 50
// exactly as one measured at 50.
void TestDenoiseEngine::chromaLevelsMeasuredAtZeroChrominance()
{
    const int w = 256, h = 160;
    auto noisy = makePicture(w, h, 10.0, 4);
    auto n = yuy2Of(*noisy);
    Frame outA(IQYUV_FORMAT_YUY2, w, h);

    IQDenoiseEngine a;
    a.setLuminance(50);
    a.setChrominance(0);
    QCOMPARE(a.apply(&n->f, &outA.f), 0);
    a.setChrominance(50);
    QCOMPARE(a.apply(&n->f, &outA.f), 0);

    QByteArray measuredAt50;
    QCOMPARE(outA.contents(), freshResult(n->f, 50, 50, &measuredAt50));
    QCOMPARE(profileOf(a), measuredAt50);
}

// The wrapper's stored profile gives what the engine does when it measures
// the picture inside the call.
void TestDenoiseEngine::storedProfileMatchesEstimateInCall()
{
    const int w = 200, h = 120;
    auto noisy = makePicture(w, h, 10.0, 5);
    auto n = yuy2Of(*noisy);
    Frame viaWrapper(IQYUV_FORMAT_YUY2, w, h), direct(IQYUV_FORMAT_YUY2, w, h);

    IQDenoiseEngine wrapper;
    wrapper.setLuminance(70);
    wrapper.setChrominance(40);
    QCOMPARE(wrapper.apply(&n->f, &viaWrapper.f), 0);
    QCOMPARE(wrapper.apply(&n->f, &viaWrapper.f), 0); // now from the loaded profile

    DenoiseEngine *engine = nullptr;
    QCOMPARE(DenoiseCreate(&engine), 0);
    DenoiseSetMode(engine, 0);
    DenoiseSetLuminanceChrominance(engine, 0);
    DenoiseSetLuminanceFactor(engine, 0);
    DenoiseSetLuminance(engine, 70);
    DenoiseSetChrominance(engine, 40);
    QCOMPARE(DenoiseProcess(engine, &n->f, &direct.f, nullptr, nullptr), 0);
    DenoiseDestroy(engine);

    QCOMPARE(viaWrapper.contents(), direct.contents());
}

void TestDenoiseEngine::failedRunsKeepTargetAndProfile()
{
    auto noisy = makePicture(64, 48, 10.0, 6);
    auto n = yuy2Of(*noisy);
    IQDenoiseEngine engine;
    engine.setLuminance(50);
    engine.setChrominance(50);

    // An unknown format fails the estimate: nothing is kept, the target is
    // not written.
    Frame dst(IQYUV_FORMAT_YUY2, 64, 48);
    dst.fill(7);
    const QByteArray untouched = dst.contents();
    IQYUVFrame bad = n->f;
    bad.format = 0x602;
    QCOMPARE(engine.apply(&bad, &dst.f), int(PE_ERR_FORMAT));
    QVERIFY(!engine.hasNoiseProfile());
    QCOMPARE(dst.contents(), untouched);

    QCOMPARE(engine.apply(nullptr, &dst.f), int(PE_ERR_ARGUMENT));
    QCOMPARE(engine.apply(&n->f, nullptr), int(PE_ERR_ARGUMENT));

    // A target of another size or format is refused.
    Frame small(IQYUV_FORMAT_YUY2, 32, 48);
    small.fill(9);
    const QByteArray smallBefore = small.contents();
    QCOMPARE(engine.apply(&n->f, &small.f), int(PE_ERR_MISMATCH));
    QCOMPARE(small.contents(), smallBefore);
    Frame i420(IQYUV_FORMAT_I420, 64, 48);
    i420.fill(3);
    const QByteArray i420Before = i420.contents();
    QCOMPARE(engine.apply(&n->f, &i420.f), int(PE_ERR_MISMATCH));
    QCOMPARE(i420.contents(), i420Before);

    // A good run then gives what a fresh engine gives.
    QCOMPARE(engine.apply(&n->f, &dst.f), 0);
    QVERIFY(engine.hasNoiseProfile());
    QVERIFY(dst.contents() != untouched);
    QByteArray measured;
    QCOMPARE(dst.contents(), freshResult(n->f, 50, 50, &measured));
    QCOMPARE(profileOf(engine), measured);
}

void TestDenoiseEngine::unusableProfileIsNotLoaded_data()
{
    QTest::addColumn<QByteArray>("profile");
    QByteArray zero(IQDenoiseEngine::ProfileBytes, '\0');
    QTest::newRow("empty") << zero;
    QByteArray channels = zero;
    putU32(channels, 0, 9);
    QTest::newRow("nine channels") << channels;
    QByteArray levels = zero;
    putU32(levels, 0, 3);
    putU32(levels, 4, 7);
    QTest::newRow("seven levels") << levels;
    QByteArray bits = zero;
    putU32(bits, 0, 1);
    putU32(bits, 4, 1);
    putU32(bits, 8, 12);
    QTest::newRow("4096-entry table") << bits;
    QTest::newRow("all ones") << QByteArray(IQDenoiseEngine::ProfileBytes, '\xff');
    // Three channels of four full levels need 12 * 264 bytes, less than 4096;
    // a count of 3 with 4 levels everywhere but bits 8 and a huge fraction:
    QByteArray fraction = zero;
    putU32(fraction, 0, 1);
    putU32(fraction, 4, 1);
    putU32(fraction, 8, 8);
    putU32(fraction, 12, 0x7fffffff);
    QTest::newRow("huge fraction bits") << fraction;
}

void TestDenoiseEngine::unusableProfileIsNotLoaded()
{
    QFETCH(QByteArray, profile);
    auto noisy = makePicture(96, 64, 10.0, 7);
    auto n = yuy2Of(*noisy);
    Frame got(IQYUV_FORMAT_YUY2, 96, 64);

    IQDenoiseEngine seeded(reinterpret_cast<const uint8_t *>(profile.constData()));
    QVERIFY(!seeded.hasNoiseProfile());
    seeded.setLuminance(60);
    seeded.setChrominance(60);
    QCOMPARE(seeded.apply(&n->f, &got.f), 0);
    QVERIFY(seeded.hasNoiseProfile());
    QCOMPARE(got.contents(), freshResult(n->f, 60, 60));
}

void TestDenoiseEngine::concurrentRunsAreSerialised()
{
    auto noisy = makePicture(180, 100, 12.0, 8);
    auto n = yuy2Of(*noisy);
    const QByteArray serial = freshResult(n->f, 50, 50);
    // The first run of either thread measures the profile the others load.
    IQDenoiseEngine engine;
    engine.setLuminance(50);
    engine.setChrominance(50);
    Frame d1(IQYUV_FORMAT_YUY2, 180, 100), d2(IQYUV_FORMAT_YUY2, 180, 100);
    int r1 = -1, r2 = -1;
    std::unique_ptr<QThread> t1(QThread::create([&] {
        for (int i = 0; i < 3; ++i)
            r1 = engine.apply(&n->f, &d1.f);
    }));
    std::unique_ptr<QThread> t2(QThread::create([&] {
        for (int i = 0; i < 3; ++i)
            r2 = engine.apply(&n->f, &d2.f);
    }));
    t1->start();
    t2->start();
    QVERIFY(t1->wait(60000));
    QVERIFY(t2->wait(60000));
    QCOMPARE(r1, 0);
    QCOMPARE(r2, 0);
    QCOMPARE(d1.contents(), serial);
    QCOMPARE(d2.contents(), serial);
}

// At 0/0 a pass gives the picture byte for byte (no YUY2 round trip); with
// strengths set, the engine's result on the picture's YUY2 frame converted
// back, and later passes load the profile the first one measured.
void TestDenoiseEngine::processorPassIsTheEngineOnYuy2()
{
    const int w = 320, h = 200;
    auto noisy = makePicture(w, h, 10.0, 10);
    const QImage picture = imageOf(*noisy);
    IQAdjustingProcessor processor(picture);
    QVERIFY(samePixels(processor.process(), picture));
    IQDenoiseParams d;
    d.luminance = 70;
    d.chrominance = 30;
    processor.setDenoiseParams(d);
    const QImage first = processor.process().copy();

    IQDenoiseEngine engine;
    engine.setLuminance(70);
    engine.setChrominance(30);
    auto in = yuy2Of(*noisy);
    Frame out(IQYUV_FORMAT_YUY2, w, h);
    QCOMPARE(engine.apply(&in->f, &out.f), 0);
    std::unique_ptr<IQBGRData> expected(IQBGRData::create(w, h));
    QVERIFY(YUVFrameToBGRData(&out.f, *expected));
    QVERIFY(samePixels(first, imageOf(*expected)));
    QVERIFY(!samePixels(first, picture));
    QVERIFY(samePixels(processor.process(), first));

    processor.setDenoiseParams(IQDenoiseParams());
    QVERIFY(samePixels(processor.process(), picture));
}

void TestDenoiseEngine::stageWithoutEngineKeepsPixels()
{
    auto noisy = makePicture(41, 23, 10.0, 11);
    const QByteArray before = bytesOf(*noisy);
    IQDenoiseParams d;
    d.luminance = 50;
    d.chrominance = 50;
    IQDenoiseEngineStage stage(nullptr);
    QVERIFY(stage.apply(*noisy, d) < 0);
    QCOMPARE(bytesOf(*noisy), before);

    // Through a pass: the picture goes on un-denoised and the pass succeeds.
    const QImage picture = imageOf(*noisy);
    IQAdjustingProcessor processor(picture);
    processor.setDenoiseStage(new IQDenoiseEngineStage(nullptr));
    processor.setDenoiseParams(d);
    QVERIFY(samePixels(processor.process(), picture));
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::NoError));
}

void TestDenoiseEngine::stageOddAndTinySizes_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("1x1") << 1 << 1;
    QTest::newRow("2x2") << 2 << 2;
    QTest::newRow("4x2") << 4 << 2;
    QTest::newRow("1x9") << 1 << 9;
    QTest::newRow("9x1") << 9 << 1;
    QTest::newRow("3x5") << 3 << 5;
    QTest::newRow("3x64") << 3 << 64;
    QTest::newRow("17x3") << 17 << 3;
    QTest::newRow("1001x37") << 1001 << 37;
    QTest::newRow("1001x130") << 1001 << 130;
}

// Every size either denoises or leaves the picture as it was; the row
// padding is never written.
void TestDenoiseEngine::stageOddAndTinySizes()
{
    QFETCH(int, w);
    QFETCH(int, h);
    auto picture = makePicture(w, h, 10.0, uint32_t(w * 1000 + h));
    const std::unique_ptr<IQBGRData> before(picture->clone());

    IQDenoiseEngineStage stage;
    IQDenoiseParams d;
    d.luminance = 50;
    d.chrominance = 50;
    const int rc = stage.apply(*picture, d);
    const QByteArray after = bytesOf(*picture);
    if (rc == 0) {
        // Close to the input (no garbage); with the input's pixels put back,
        // all bytes are the input's: the padding was not written.
        const double meanDiff = cv::norm(matOf(*picture), matOf(*before), cv::NORM_L1) / (double(w) * h * 3);
        QVERIFY2(meanDiff < 20.0, qPrintable(QString::number(meanDiff)));
        cv::Mat pixels = matOf(*picture);
        matOf(*before).copyTo(pixels);
    }
    QCOMPARE(bytesOf(*picture), bytesOf(*before));

    // A second pass gives the same bytes.
    auto again = makePicture(w, h, 10.0, uint32_t(w * 1000 + h));
    QCOMPARE(stage.apply(*again, d), rc);
    QCOMPARE(bytesOf(*again), after);
}

void TestDenoiseEngine::preparedFramesKeepEveryByte_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    // When the stage prepares its frames: before the first pass, after it,
    // for another size before it, or on another thread, over and over and
    // at two sizes, while the passes run.
    QTest::addColumn<int>("when");
    const char *const names[] = {"before", "after", "other size", "beside passes"};
    for (const QSize size : {QSize(1, 1), QSize(3, 5), QSize(17, 3), QSize(320, 200), QSize(1001, 37)})
        for (int when = 0; when < 4; ++when)
            QTest::addRow("%dx%d %s", size.width(), size.height(), names[when]) << size.width() << size.height()
                                                                             << when;
}

// Frames made ahead of the passes give the bytes of frames made by them: the
// engine on the picture's YUY2 frame, converted back (or the picture as it
// was when the engine refuses it). The first pass measures the profile, the
// second loads it.
void TestDenoiseEngine::preparedFramesKeepEveryByte()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, when);
    const int strengths[2][2] = {{50, 30}, {80, 0}};
    const auto noisy = makePicture(w, h, 10.0, uint32_t(w * 7 + h));

    QByteArray expected[2];
    int codes[2];
    {
        IQDenoiseEngine engine;
        for (int i = 0; i < 2; ++i) {
            const std::unique_ptr<IQBGRData> picture(noisy->clone());
            auto in = yuy2Of(*picture);
            QVERIFY(in);
            Frame out(IQYUV_FORMAT_YUY2, w, h);
            engine.setLuminance(strengths[i][0]);
            engine.setChrominance(strengths[i][1]);
            codes[i] = engine.apply(&in->f, &out.f);
            if (codes[i] == 0)
                QVERIFY(YUVFrameToBGRData(&out.f, *picture));
            expected[i] = bytesOf(*picture);
        }
    }
    QVERIFY(w * h < 100 || (codes[0] == 0 && expected[0] != bytesOf(*noisy)));

    IQDenoiseEngineStage stage;
    QVERIFY(!stage.framesReady(w, h));
    if (when == 0) {
        stage.prepare(w, h);
        QVERIFY(stage.framesReady(w, h));
    } else if (when == 2) {
        stage.prepare(w + 3, h + 1);
        QVERIFY(stage.framesReady(w + 3, h + 1));
        QVERIFY(!stage.framesReady(w, h));
    }
    std::atomic<bool> stop{false};
    // Stopped however the test leaves: a failed check returns at once.
    const auto stopAndJoin = [&stop](QThread *thread) {
        stop = true;
        thread->wait();
        delete thread;
    };
    std::unique_ptr<QThread, decltype(stopAndJoin)> beside(nullptr, stopAndJoin);
    if (when == 3) {
        beside.reset(QThread::create([&] {
            for (int i = 0; !stop.load(); ++i)
                stage.prepare(w + (i & 1), h);
        }));
        beside->start();
    }
    for (int i = 0; i < 2; ++i) {
        const std::unique_ptr<IQBGRData> picture(noisy->clone());
        IQDenoiseParams d;
        d.luminance = strengths[i][0];
        d.chrominance = strengths[i][1];
        QCOMPARE(stage.apply(*picture, d), codes[i]);
        QVERIFY2(bytesOf(*picture) == expected[i], qPrintable(QStringLiteral("pass %1").arg(i)));
        if (when == 1 && i == 0)
            stage.prepare(w, h);
    }
    if (beside) {
        stop = true;
        QVERIFY(beside->wait(60000));
    }
}

QTEST_GUILESS_MAIN(TestDenoiseEngine)
#include "tst_denoiseengine.moc"
