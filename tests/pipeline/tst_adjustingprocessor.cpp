#include <QtTest>

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <opencv2/core.hpp>

#include <memory>
#include <new>
#include <stdexcept>

#include "AdjustColor.h"
#include "IQAdjustEngine.h"
#include "IQAdjustingProcessor.h"
#include "IQAdjustingThread.h"
#include "IQBGRData.h"
#include "IQDenoiseEngine.h"
#include "IQDenoiseEngineStage.h"
#include "IQHDRToneEngine.h"
#include "IQYUVFrame.h"
#include "PaddedBuffer.h"
#include "Rand15.h"
#include "TestPaths.h"

namespace {

// Smooth gradients with noise, so both tone masks split the picture.
QImage makePicture(int w, int h, uint32_t seed)
{
    QImage image(w, h, QImage::Format_RGB888);
    Rand15 rnd(seed);
    for (int y = 0; y < h; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int n = rnd.next() & 15;
            row[3 * x + 0] = uchar(std::min(255, x * 255 / std::max(1, w - 1) + n));
            row[3 * x + 1] = uchar(std::min(255, (x + y) * 255 / std::max(1, w + h - 2) + n));
            row[3 * x + 2] = uchar(std::min(255, y * 255 / std::max(1, h - 1) + n));
        }
    }
    return image;
}

bool sameAs(const QImage &result, const IQBGRData &expected)
{
    return result.format() == QImage::Format_BGR888 && samePixels(result, imageOf(expected));
}

// What FakeDenoise does to the pixels.
void invert(IQBGRData &picture)
{
    cv::Mat m = matOf(picture);
    cv::bitwise_not(m, m);
}

IQHDRToneParams toneWith(int highlight, int shadow)
{
    IQHDRToneParams t;
    t.highlight = highlight;
    t.shadow = shadow;
    return t;
}

// A denoise stage that can hold a pass inside it, and records what it got.
class FakeDenoise : public IQAdjustingProcessor::DenoiseStage {
public:
    int apply(IQBGRData &picture, const IQDenoiseParams &params) override
    {
        calls.fetchAndAddOrdered(1);
        lastLuminance = params.luminance;
        entered.release();
        if (hold)
            proceed.acquire();
        if (result == 0)
            invert(picture);
        return result;
    }

    QAtomicInt calls;
    std::atomic<int> lastLuminance{-1};
    QSemaphore entered;
    QSemaphore proceed;
    bool hold = false;
    int result = 0;
};

// A denoise stage that throws what it is given.
template <typename E>
class ThrowingDenoise : public IQAdjustingProcessor::DenoiseStage {
public:
    explicit ThrowingDenoise(E e) : error(std::move(e)) {}
    int apply(IQBGRData &, const IQDenoiseParams &) override { throw error; }
    E error;
};

// The processor as first written: detail and highlight/shadow buffers made
// with the picture, stage 4 runs the detail chain from the source and then
// highlight/shadow, stage 8 only highlight/shadow, other codes keep the last
// result; then, when asked, the denoise engine on a YUY2 copy of the pass's
// picture (kept un-denoised when the engine fails); then the adjust engine.
class EagerReference {
public:
    explicit EagerReference(const QImage &picture)
        : source(PaddedBuffer(picture).data), input(source->clone()), working(source->clone()),
          adjust(int(source->width), source->height)
    {
        tone.setSource(*source);
    }
    std::unique_ptr<IQBGRData> pass(const IQHDRToneParams &t, const IQAdjustParams &a, int stage,
                                    const IQDenoiseParams &d = IQDenoiseParams())
    {
        tone.setParams(t);
        cv::Mat in = matOf(*input), work = matOf(*working);
        if (stage == 4)
            tone.applyDetailChain(tone.source, in);
        if (stage == 4 || stage == 8)
            tone.applyHighlightShadow(in, work);
        std::unique_ptr<IQBGRData> out(working->clone());
        if (d.luminance > 0 || d.chrominance > 0)
            denoiseInto(*out, d);
        adjust.setParams(a);
        adjust.apply(out->data, int(out->width), out->height, out->bytesPerLine);
        return out;
    }

private:
    void denoiseInto(IQBGRData &picture, const IQDenoiseParams &d)
    {
        IQYUVFrame src, dst;
        for (IQYUVFrame *f : {&src, &dst}) {
            f->format = IQYUV_FORMAT_YUY2;
            f->width = int(picture.width);
            f->height = picture.height;
            QVERIFY(YUVFrameAllocate(f));
        }
        QVERIFY(BGRDataToYUVFrame(picture, &src));
        denoise.setLuminance(d.luminance);
        denoise.setChrominance(d.chrominance);
        if (denoise.apply(&src, &dst) == 0)
            QVERIFY(YUVFrameToBGRData(&dst, picture));
        YUVFrameRelease(&src);
        YUVFrameRelease(&dst);
    }

    std::unique_ptr<IQBGRData> source, input, working;
    IQHDRToneEngine tone;
    IQDenoiseEngine denoise;
    IQAdjustEngine adjust;
};

// The built-in denoise stage, whose preparation on the set-up thread waits
// until the test lets it go: passes then run before the set-up is done.
class GatedStage : public IQAdjustingProcessor::DenoiseStage {
public:
    int apply(IQBGRData &picture, const IQDenoiseParams &params) override { return inner.apply(picture, params); }
    void prepare(int width, int height) override
    {
        gate.acquire();
        inner.prepare(width, height);
        prepared.release();
    }

    IQDenoiseEngineStage inner;
    QSemaphore gate;
    QSemaphore prepared;
};

// The highlight/shadow (and detail) result the processor should reach.
std::unique_ptr<IQBGRData> toneReference(const QImage &picture, const IQHDRToneParams &tone, bool detail)
{
    return EagerReference(picture).pass(tone, IQAdjustParams(), detail ? 4 : 8);
}

} // namespace

class Relay : public QObject {
    Q_OBJECT
signals:
    void delivered(const QImage &image);
};

class TestAdjustingProcessor : public QObject {
    Q_OBJECT

private slots:
    void defaultRecordsGiveThePicture_data();
    void defaultRecordsGiveThePicture();
    void pictureThatCannotBeLoaded();
    void fullStageRunsTheDetailChain();
    void stageRequestsAreNotDropped();
    void setterDuringASlowPass();
    void resultOutlivesProcessorAndNextPass();
    void denoiseStageSitsBetweenToneAndAdjust();
    void failingDenoiseKeepsThePixels();
    void tornDownProcessorReturnsNull();
    void threadRunsOnePassEitherWay();
    void anyExceptionFailsThePass_data();
    void anyExceptionFailsThePass();
    void buffersMadeOnDemandKeepEveryPass_data();
    void buffersMadeOnDemandKeepEveryPass();
    void loadingLaterKeepsAChosenStage();
    void presetsKeepTheirBytesWhateverTheSetUp_data();
    void presetsKeepTheirBytesWhateverTheSetUp();
};

void TestAdjustingProcessor::defaultRecordsGiveThePicture_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("format");
    QTest::newRow("RGB888 3x5") << 3 << 5 << int(QImage::Format_RGB888);
    QTest::newRow("RGB888 1001x23") << 1001 << 23 << int(QImage::Format_RGB888);
    QTest::newRow("ARGB32 1001x23") << 1001 << 23 << int(QImage::Format_ARGB32);
    QTest::newRow("RGB32 7x9") << 7 << 9 << int(QImage::Format_RGB32);
    QTest::newRow("BGR888 64x48") << 64 << 48 << int(QImage::Format_BGR888);
    QTest::newRow("RGB16 converted 33x17") << 33 << 17 << int(QImage::Format_RGB16);
}

void TestAdjustingProcessor::defaultRecordsGiveThePicture()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, format);
    const QImage picture = makePicture(width, height, 5).convertToFormat(QImage::Format(format));
    IQAdjustingProcessor processor(picture);
    QVERIFY(processor.isValid());
    for (int stage : {2, 4, 8, 0}) {
        processor.setToneParams(IQHDRToneParams(), stage);
        const QImage result = processor.process();
        QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::NoError));
        QCOMPARE(result.format(), QImage::Format_BGR888);
        QCOMPARE(result.size(), QSize(width, height));
        QVERIFY2(samePixels(result, picture), qPrintable(QString::number(stage)));
    }
}

void TestAdjustingProcessor::pictureThatCannotBeLoaded()
{
    IQAdjustingProcessor processor{QImage()};
    QVERIFY(!processor.isValid());
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::ErrorNoPicture));
    processor.setToneParams(toneWith(30, 0), 4);
    QVERIFY(processor.process().isNull());
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::ErrorNoPicture));
}

void TestAdjustingProcessor::fullStageRunsTheDetailChain()
{
    const QImage picture = makePicture(128, 96, 31);
    IQAdjustingProcessor processor(picture);
    IQProcessParams p;
    p.setPreset(8); // grey, sharpness, highlight, shadow, clahe
    processor.setDenoiseStage(nullptr); // the reference below has no denoise step
    const QImage result = processor.processWith(p);
    QVERIFY(!result.isNull());

    std::unique_ptr<IQBGRData> expected = toneReference(picture, p.tone, true);
    IQAdjustEngine engine(128, 96);
    engine.setParams(p.adjust);
    QCOMPARE(engine.apply(expected->data, 128, 96, expected->bytesPerLine), 1);
    QVERIFY(sameAs(result, *expected));
}

void TestAdjustingProcessor::stageRequestsAreNotDropped()
{
    const QImage picture = makePicture(64, 64, 4);
    IQAdjustingProcessor processor(picture);
    IQHDRToneParams tone = toneWith(0, 35);
    tone.clahe = true;
    // A colour control follows a detail switch before any pass ran.
    processor.setToneParams(tone, IQAdjustingProcessor::StageFull);
    processor.setToneParams(tone, IQAdjustingProcessor::StageAdjust);
    QCOMPARE(processor.pendingStage(), int(IQAdjustingProcessor::StageFull));
    processor.setToneParams(tone, IQAdjustingProcessor::StageHighlightShadow);
    QCOMPARE(processor.pendingStage(), int(IQAdjustingProcessor::StageFull));
    QVERIFY(sameAs(processor.process(), *toneReference(picture, tone, true)));
    QCOMPARE(processor.pendingStage(), int(IQAdjustingProcessor::StageNone));
}

void TestAdjustingProcessor::setterDuringASlowPass()
{
    const QImage picture = makePicture(200, 150, 12);
    IQAdjustingProcessor processor(picture);
    auto *denoise = new FakeDenoise;
    denoise->hold = true;
    processor.setDenoiseStage(denoise);

    IQAdjustParams adjustA;
    adjustA.mode = 2;
    processor.setAdjustParams(adjustA);
    processor.setToneParams(toneWith(30, 0), IQAdjustingProcessor::StageHighlightShadow);

    QImage slow;
    QThread *worker = QThread::create([&] { slow = processor.process(); });
    worker->start();
    QVERIFY(denoise->entered.tryAcquire(1, 10000)); // the pass is inside

    // The GUI thread hands over new records while the pass waits: the
    // setters must not wait for the pass.
    QElapsedTimer timer;
    timer.start();
    IQAdjustParams adjustB;
    adjustB.mode = 3;
    processor.setAdjustParams(adjustB);
    processor.setToneParams(toneWith(0, 45), IQAdjustingProcessor::StageHighlightShadow);
    IQDenoiseParams d;
    d.luminance = 77;
    processor.setDenoiseParams(d);
    QVERIFY(timer.elapsed() < 2000);
    QVERIFY(worker->isRunning());

    denoise->proceed.release();
    QVERIFY(worker->wait(10000));
    delete worker;

    // The slow pass used the records it started with.
    std::unique_ptr<IQBGRData> expectA = toneReference(picture, toneWith(30, 0), false);
    invert(*expectA);
    AdjustGrayscaleApply(expectA->data, int(expectA->width), expectA->height, expectA->bytesPerLine);
    QVERIFY(sameAs(slow, *expectA));
    QCOMPARE(denoise->lastLuminance.load(), 0);

    // The next pass sees all of the new records, the tone stage included.
    denoise->hold = false;
    const QImage next = processor.process();
    QCOMPARE(denoise->lastLuminance.load(), 77);
    std::unique_ptr<IQBGRData> expectB = toneReference(picture, toneWith(0, 45), false);
    invert(*expectB);
    IQAdjustEngine::applySepia(expectB->data, int(expectB->width), expectB->height, expectB->bytesPerLine);
    QVERIFY(sameAs(next, *expectB));
}

void TestAdjustingProcessor::resultOutlivesProcessorAndNextPass()
{
    const QImage picture = makePicture(1001, 31, 8);
    QImage kept;
    QImage copyOfKept;
    {
        IQAdjustingProcessor processor(picture);
        IQAdjustParams p;
        p.mode = 2;
        processor.setAdjustParams(p);
        kept = processor.process();
        copyOfKept = kept.copy();
        // A later pass must not write into a picture someone still holds.
        p.mode = 3;
        processor.setAdjustParams(p);
        const QImage later = processor.process();
        QVERIFY(!samePixels(later, kept));
        QVERIFY(samePixels(kept, copyOfKept));
        // Once nobody holds a result, its memory may serve the next pass;
        // the picture is still right.
        const QImage again = processor.process();
        QVERIFY(samePixels(again, later));
    }
    QVERIFY(samePixels(kept, copyOfKept));
}

void TestAdjustingProcessor::denoiseStageSitsBetweenToneAndAdjust()
{
    const QImage picture = makePicture(77, 41, 19);
    IQAdjustingProcessor processor(picture);
    auto *denoise = new FakeDenoise;
    processor.setDenoiseStage(denoise);
    IQAdjustParams p;
    p.gamma = 60;
    processor.setAdjustParams(p);
    processor.setToneParams(toneWith(25, 0), IQAdjustingProcessor::StageHighlightShadow);
    const QImage result = processor.process();
    QCOMPARE(denoise->calls.loadRelaxed(), 1);

    std::unique_ptr<IQBGRData> e = toneReference(picture, toneWith(25, 0), false);
    invert(*e);
    IQAdjustEngine::applyGamma(e->data, e->data, int(e->width), e->height, e->bytesPerLine,
                               IQAdjustEngine::gammaExponent(60));
    QVERIFY(sameAs(result, *e));

    // The denoise step works on the pass's copy: the next stage-2 pass
    // starts again from the highlight result, not from inverted pixels.
    processor.setDenoiseStage(nullptr);
    processor.setAdjustParams(IQAdjustParams());
    QVERIFY(sameAs(processor.process(), *toneReference(picture, toneWith(25, 0), false)));
}

void TestAdjustingProcessor::failingDenoiseKeepsThePixels()
{
    const QImage picture = makePicture(50, 30, 6);
    IQAdjustingProcessor processor(picture);
    auto *denoise = new FakeDenoise;
    denoise->result = -103;
    processor.setDenoiseStage(denoise);
    const QImage result = processor.process();
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::NoError));
    QVERIFY(samePixels(result, picture));
}

void TestAdjustingProcessor::tornDownProcessorReturnsNull()
{
    IQAdjustingProcessor processor(makePicture(20, 20, 1));
    processor.destroyEngines();
    QVERIFY(processor.process().isNull());
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::ErrorNoEngine));
    processor.freeBuffers();
    QVERIFY(processor.process().isNull());
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::ErrorNoPicture));
    QVERIFY(!processor.isValid());
}

void TestAdjustingProcessor::threadRunsOnePassEitherWay()
{
    const QImage picture = makePicture(120, 80, 14);
    IQAdjustingProcessor processor(picture);
    IQAdjustParams p;
    p.vibrance = 40;
    processor.setAdjustParams(p);
    IQAdjustingProcessor reference(picture);
    reference.setAdjustParams(p);
    const QImage expected = reference.process();

    // As a pool's runnable: an auto connection brings the picture from the
    // pool thread to the relay that lives here.
    Relay relay;
    QSignalSpy spy(&relay, &Relay::delivered);
    QThread *deliveredOn = nullptr;
    connect(&relay, &Relay::delivered, this, [&] { deliveredOn = QThread::currentThread(); });
    auto *job = new IQAdjustingThread(&processor);
    QVERIFY(job->autoDelete());
    connect(job, &IQAdjustingThread::threadFinished, &relay, &Relay::delivered);
    QThreadPool::globalInstance()->start(job);
    QVERIFY(spy.wait(20000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(deliveredOn, QThread::currentThread());
    QVERIFY(samePixels(spy.at(0).at(0).value<QImage>(), expected));
    QThreadPool::globalInstance()->waitForDone();

    // As a thread of its own; without a processor the signal still comes,
    // with a null picture. The signals may come before a wait here could
    // start: wait for the threads instead.
    IQAdjustingThread own(&processor), empty;
    QSignalSpy ownSpy(&own, &IQAdjustingThread::threadFinished);
    QSignalSpy emptySpy(&empty, &IQAdjustingThread::threadFinished);
    own.start();
    empty.start();
    QVERIFY(own.wait(20000));
    QVERIFY(empty.wait(20000));
    QTRY_COMPARE(ownSpy.count(), 1);
    QTRY_COMPARE(emptySpy.count(), 1);
    QVERIFY(samePixels(ownSpy.at(0).at(0).value<QImage>(), expected));
    QVERIFY(emptySpy.at(0).at(0).value<QImage>().isNull());
}

void TestAdjustingProcessor::anyExceptionFailsThePass_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("detail");
    QTest::newRow("int") << 0 << int(IQAdjustingProcessor::ErrorUnexpected) << QString();
    QTest::newRow("std::runtime_error") << 1 << int(IQAdjustingProcessor::ErrorUnexpected) << "stage broke";
    QTest::newRow("std::bad_alloc") << 2 << int(IQAdjustingProcessor::ErrorOutOfMemory) << QString();
}

void TestAdjustingProcessor::anyExceptionFailsThePass()
{
    QFETCH(int, kind);
    QFETCH(int, error);
    QFETCH(QString, detail);
    const QImage picture = makePicture(70, 50, 23);
    IQAdjustingProcessor processor(picture);
    if (kind == 0)
        processor.setDenoiseStage(new ThrowingDenoise<int>(42));
    else if (kind == 1)
        processor.setDenoiseStage(new ThrowingDenoise<std::runtime_error>(std::runtime_error("stage broke")));
    else
        processor.setDenoiseStage(new ThrowingDenoise<std::bad_alloc>(std::bad_alloc()));
    processor.setToneParams(toneWith(55, -30), IQAdjustingProcessor::StageHighlightShadow);
    QVERIFY(processor.process().isNull());
    QCOMPARE(processor.lastError(), error);
    QCOMPARE(processor.lastErrorDetail(), detail);

    // The tone work of the failed pass is redone by the next one, which works.
    processor.setDenoiseStage(nullptr);
    processor.setToneParams(toneWith(55, -30), IQAdjustingProcessor::StageNone);
    QVERIFY(sameAs(processor.process(), *toneReference(picture, toneWith(55, -30), false)));
    QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::NoError));
    QVERIFY(processor.lastErrorDetail().isEmpty());
}

void TestAdjustingProcessor::buffersMadeOnDemandKeepEveryPass_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("photo");
    // Settled: the thread started with the picture has analysed it and made
    // its buffers before the first pass, which then takes them.
    QTest::addColumn<bool>("settled");
    for (const bool settled : {false, true}) {
        const char *when = settled ? "settled" : "at once";
        QTest::addRow("synthetic 301x203, %s", when) << QSize(301, 203) << QString() << settled;
        QTest::addRow("synthetic 3x7, %s", when) << QSize(3, 7) << QString() << settled;
        QTest::addRow("synthetic 1x1, %s", when) << QSize(1, 1) << QString() << settled;
        const QString data = sharedTestDataDir();
        if (!data.isEmpty())
            QTest::addRow("hall photo, %s", when) << QSize() << data + "/homedeck_hall_5d3_3exp/group_15.jpg" << settled;
    }
}

void TestAdjustingProcessor::buffersMadeOnDemandKeepEveryPass()
{
    QFETCH(QSize, size);
    QFETCH(QString, photo);
    QFETCH(bool, settled);
    const QImage picture = photo.isEmpty() ? makePicture(size.width(), size.height(), 77) : QImage(photo);
    QVERIFY(!picture.isNull());

    struct Step {
        int stage, highlight, shadow;
        bool clahe, equalize, localGamma;
        int saturation, brightness;
    };
    // Colour controls first (no tone buffer yet), then every order of the
    // tone stages, with colour passes in between: two highlight/shadow
    // passes in a row start from the same input, stage 0 and 2 keep the
    // last tone result, stage 8 after stage 4 starts from the detail result.
    const Step steps[] = {
        {2, 0, 0, false, false, false, 30, 0},   {0, 0, 0, false, false, false, -20, 15},
        {8, 40, -25, false, false, false, -20, 15}, {8, -100, 100, false, false, false, -20, 15},
        {8, 40, -25, false, false, false, -20, 15}, {2, 40, -25, false, false, false, 10, 15},
        {4, 40, -25, true, false, false, 10, 0}, {0, 40, -25, true, false, false, 10, 0},
        {8, -60, 70, true, false, false, 10, 0}, {2, -60, 70, true, false, false, -5, -30},
        {4, 0, 0, false, true, true, 0, 0},      {8, 20, 0, false, true, true, 0, 0},
        {4, 20, 0, true, true, false, 25, 5},    {2, 20, 0, true, true, false, 0, 0},
    };
    IQAdjustingProcessor processor(picture, IQAdjustingProcessor::LoadLater);
    QCOMPARE(processor.width(), picture.width());
    QCOMPARE(processor.height(), picture.height());
    processor.setDenoiseStage(nullptr);
    if (settled) {
        QVERIFY(processor.prepare());
        processor.waitForSetUp();
    }
    EagerReference reference(picture);
    int index = 0;
    for (const Step &st : steps) {
        IQHDRToneParams t = toneWith(st.highlight, st.shadow);
        t.clahe = st.clahe;
        t.claheClip = 3.0;
        t.equalizeRounded = st.equalize;
        t.localGamma = st.localGamma;
        IQAdjustParams a;
        a.saturation = st.saturation;
        a.brightness = st.brightness;
        processor.setAdjustParams(a);
        processor.setToneParams(t, st.stage);
        const QImage result = processor.process();
        QVERIFY2(sameAs(result, *reference.pass(t, a, st.stage)), qPrintable(QString::number(index)));
        ++index;
    }
}

void TestAdjustingProcessor::loadingLaterKeepsAChosenStage()
{
    const QImage picture = makePicture(40, 24, 8);
    IQAdjustingProcessor later(picture, IQAdjustingProcessor::LoadLater);
    auto *denoise = new FakeDenoise;
    later.setDenoiseStage(denoise);
    QVERIFY(later.prepare());
    // The stage set before the picture was loaded is the one passes use.
    const QImage result = later.process();
    QCOMPARE(denoise->calls.loadRelaxed(), 1);
    QImage inverted = picture.convertToFormat(QImage::Format_BGR888);
    inverted.invertPixels();
    QVERIFY(samePixels(result, inverted));

    IQAdjustingProcessor broken(QImage(), IQAdjustingProcessor::LoadLater);
    QVERIFY(!broken.prepare());
    QCOMPARE(broken.lastError(), int(IQAdjustingProcessor::ErrorNoPicture));
    QVERIFY(broken.process().isNull());
}

void TestAdjustingProcessor::presetsKeepTheirBytesWhateverTheSetUp_data()
{
    QTest::addColumn<QImage>("picture");
    // 0: the set-up is done before the first pass; 1: passes that denoise run
    // while it is still under way; 2: as 0, on a processor built while the
    // previous picture's set-up ran and was dropped.
    QTest::addColumn<int>("when");
    QList<QPair<QString, QImage>> pictures = {{"301x203", makePicture(301, 203, 41)},
                                              {"3x7", makePicture(3, 7, 42)},
                                              {"1x1", makePicture(1, 1, 43)},
                                              {"64x2", makePicture(64, 2, 44)}};
    const QString data = sharedTestDataDir();
    if (!data.isEmpty()) {
        const QImage photo(data + "/homedeck_hall_5d3_3exp/group_15.jpg");
        QVERIFY(!photo.isNull());
        // Odd in both directions, and small enough for every preset.
        pictures.append({"hall photo 641x427", photo.scaled(641, 427, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)});
    }
    const char *const names[] = {"settled", "before the set-up ends", "after a dropped set-up"};
    for (const auto &p : pictures)
        for (int when = 0; when < 3; ++when)
            QTest::addRow("%s, %s", qPrintable(p.first), names[when]) << p.second << when;
}

// Every effect preset, picked one after another as on the editing page, gives
// the bytes of the processor as first written, whatever the set-up has done
// when the passes run. The noise of preset 10 is left out: it is seeded from
// the clock.
void TestAdjustingProcessor::presetsKeepTheirBytesWhateverTheSetUp()
{
    QFETCH(QImage, picture);
    QFETCH(int, when);
    const int w = picture.width(), h = picture.height();
    if (when == 2) {
        auto dropped = std::make_unique<IQAdjustingProcessor>(makePicture(w + 5, h + 3, 9));
        IQDenoiseParams d;
        d.luminance = 60;
        dropped->setDenoiseParams(d);
        QVERIFY(!dropped->process().isNull());
        dropped.reset(); // its set-up may still be under way
    }
    IQAdjustingProcessor processor(picture, IQAdjustingProcessor::LoadLater);
    auto *stage = new GatedStage;
    processor.setDenoiseStage(stage);
    QVERIFY(processor.prepare());
    EagerReference reference(picture);

    const auto pass = [&](const IQProcessParams &p, int stageCode, const char *what) {
        processor.setToneParams(p.tone, stageCode);
        processor.setAdjustParams(p.adjust);
        processor.setDenoiseParams(p.denoise);
        const QImage result = processor.process();
        QCOMPARE(processor.lastError(), int(IQAdjustingProcessor::NoError));
        QVERIFY2(sameAs(result, *reference.pass(p.tone, p.adjust, stageCode, p.denoise)), what);
    };
    if (when == 1) {
        // Colour passes do not wait for the set-up: the first one that
        // denoises makes the frames and measures the profile itself.
        IQProcessParams p;
        p.setPreset(4);
        pass(p, IQAdjustingProcessor::StageAdjust, "colour pass before the set-up ends");
        p.denoise.chrominance = 40;
        pass(p, IQAdjustingProcessor::StageNone, "second colour pass before the set-up ends");
        QVERIFY(!stage->prepared.tryAcquire());
    }
    stage->gate.release();
    if (when != 1) {
        processor.waitForSetUp();
        QVERIFY(stage->prepared.tryAcquire());
        QVERIFY(stage->inner.framesReady(w, h));
    }
    for (int preset = 0; preset <= 10; ++preset) {
        IQProcessParams p;
        p.setPreset(preset);
        p.tone.addNoise = false;
        const QByteArray name = "preset " + QByteArray::number(preset);
        pass(p, IQAdjustingProcessor::StageFull, name.constData());
        // A slider moved after the preset: a colour pass on its tone result.
        p.adjust.brightness += 15;
        p.denoise.luminance = p.denoise.luminance > 0 ? p.denoise.luminance + 20 : 0;
        pass(p, IQAdjustingProcessor::StageAdjust, (name + ", then a colour pass").constData());
    }
    QVERIFY(stage->inner.framesReady(w, h));
}

QTEST_GUILESS_MAIN(TestAdjustingProcessor)
#include "tst_adjustingprocessor.moc"
