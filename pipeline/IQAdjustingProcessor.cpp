#include "IQAdjustingProcessor.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

#include "IQAdjustEngine.h"
#include "IQBGRData.h"
#include "IQDenoiseEngineStage.h"
#include "IQFilterScratch.h"
#include "IQHDRToneEngine.h"
#include "PixelEngine.h"

namespace {

template <typename Fn>
void forRowBands(int rows, Fn &&fn)
{
    if (rows <= 0)
        return;
    const int bands = std::max(1, std::min(rows / 32, 64));
    if (bands == 1) {
        fn(0, rows);
        return;
    }
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range &r) {
        fn(int(int64_t(rows) * r.start / bands), int(int64_t(rows) * r.end / bands));
    });
}

cv::Mat wrap(IQBGRData &data)
{
    return cv::Mat(data.height, int(data.width), CV_8UC3, data.data, size_t(data.bytesPerLine));
}

// Copies rows of pixels between two buffers of the same size; the row
// lengths may differ, the shorter one is copied.
void copyRows(const uint8_t *src, int srcStride, uint8_t *dst, int dstStride, int height)
{
    const size_t bytes = size_t(std::min(srcStride, dstStride));
    forRowBands(height, [&](int y0, int y1) {
        if (srcStride == dstStride) {
            std::memcpy(dst + ptrdiff_t(y0) * dstStride, src + ptrdiff_t(y0) * srcStride,
                        size_t(y1 - y0) * bytes);
            return;
        }
        for (int y = y0; y < y1; ++y)
            std::memcpy(dst + ptrdiff_t(y) * dstStride, src + ptrdiff_t(y) * srcStride, bytes);
    });
}

// A buffer of the picture's size for tone work that writes every pixel of
// it: only the row padding is set, to 0 as in the source, so no copy of the
// picture is made that the work would overwrite. Null without memory.
IQBGRData *newToneBuffer(int width, int height)
{
    IQBGRData *buffer = IQBGRData::create(width, height);
    if (!buffer)
        return nullptr;
    IQAdviseHugePages(buffer->data, buffer->byteCount());
    const size_t used = size_t(width) * 3;
    const size_t padding = size_t(buffer->bytesPerLine) - used;
    if (padding > 0)
        for (int y = 0; y < height; ++y)
            std::memset(buffer->data + ptrdiff_t(y) * buffer->bytesPerLine + used, 0, padding);
    return buffer;
}

int mergeStage(int pending, int requested)
{
    if (pending == IQAdjustingProcessor::StageFull || requested == IQAdjustingProcessor::StageFull)
        return IQAdjustingProcessor::StageFull;
    if (pending == IQAdjustingProcessor::StageHighlightShadow
        || requested == IQAdjustingProcessor::StageHighlightShadow)
        return IQAdjustingProcessor::StageHighlightShadow;
    return requested;
}

} // namespace

IQAdjustingProcessor::IQAdjustingProcessor(const QImage &picture, Loading loading)
    : m_picture(picture), m_width(picture.width()), m_height(picture.height())
{
    m_adjustParams.reset();
    m_toneParams.reset();
    m_denoiseParams.reset();
    if (loading == LoadNow)
        prepare();
}

IQAdjustingProcessor::~IQAdjustingProcessor()
{
    freeBuffers();
    destroyEngines();
}

bool IQAdjustingProcessor::prepare()
{
    QMutexLocker pass(&mutex);
    if (!m_prepared) {
        m_prepared = true;
        const QImage picture = std::move(m_picture);
        m_picture = QImage();
        try {
            if (loadSource(picture) && !m_enginesDestroyed && createEngines())
                startToneAnalysis();
        } catch (...) {
            // Nothing may escape: this runs on pool threads too.
            m_lastError = ErrorUnexpected;
        }
    }
    return source && adjustEngine && toneEngine;
}

bool IQAdjustingProcessor::isValid()
{
    return prepare();
}

void IQAdjustingProcessor::waitForSetUp()
{
    QMutexLocker pass(&mutex);
    finishToneAnalysis();
}

QString IQAdjustingProcessor::lastErrorDetail() const
{
    QMutexLocker lock(&m_paramsLock);
    return m_lastErrorDetail;
}

bool IQAdjustingProcessor::loadSource(const QImage &picture)
{
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
        m_lastError = ErrorNoPicture;
        return false;
    }
    QImage converted;
    const QImage *image = &picture;
    switch (picture.format()) {
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        break;
    default:
        converted = picture.convertToFormat(QImage::Format_RGB888);
        if (converted.isNull()) {
            m_lastError = ErrorOutOfMemory;
            return false;
        }
        image = &converted;
        break;
    }

    const int w = image->width();
    const int h = image->height();
    std::unique_ptr<IQBGRData> loaded(IQBGRData::create(w, h));
    if (!loaded) {
        m_lastError = ErrorOutOfMemory;
        return false;
    }
    const QImage::Format format = image->format();
    const int stride = loaded->bytesPerLine;
    uint8_t *dst = loaded->data;
    forRowBands(h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *s = image->constScanLine(y);
            uint8_t *d = dst + ptrdiff_t(y) * stride;
            if (format == QImage::Format_BGR888) {
                std::memcpy(d, s, size_t(w) * 3);
            } else if (format == QImage::Format_RGB888) {
                for (int x = 0; x < w; ++x, s += 3, d += 3) {
                    d[0] = s[2];
                    d[1] = s[1];
                    d[2] = s[0];
                }
            } else {
                // 32-bit pixels hold blue, green, red, alpha in memory order.
                for (int x = 0; x < w; ++x, s += 4, d += 3) {
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                }
            }
            // Padding bytes are copied with the rows: keep them defined.
            std::memset(dst + ptrdiff_t(y) * stride + size_t(w) * 3, 0, size_t(stride) - size_t(w) * 3);
        }
    });

    source = loaded.release(); // the size was taken at construction
    return true;
}

// The tone engine analyses the source only when a tone pass first needs it.
bool IQAdjustingProcessor::createEngines()
{
    try {
        adjustEngine = new IQAdjustEngine(m_width, m_height);
        if (!m_denoiseStageChosen)
            denoiseStage.reset(new IQDenoiseEngineStage);
        toneEngine = new IQHDRToneEngine;
        return true;
    } catch (const cv::Exception &e) {
        m_lastError = e.code == cv::Error::StsNoMem ? ErrorOutOfMemory : ErrorNoEngine;
    } catch (const std::bad_alloc &) {
        m_lastError = ErrorOutOfMemory;
    } catch (...) {
        m_lastError = ErrorNoEngine;
    }
    destroyEngines();
    return false;
}

void IQAdjustingProcessor::setAdjustParams(const IQAdjustParams &p)
{
    QMutexLocker lock(&m_paramsLock);
    m_adjustParams.assign(p);
}

void IQAdjustingProcessor::setToneParams(const IQHDRToneParams &p, int stageCode)
{
    QMutexLocker lock(&m_paramsLock);
    m_toneParams = p;
    stage = mergeStage(stage, stageCode);
}

void IQAdjustingProcessor::setDenoiseParams(const IQDenoiseParams &p)
{
    QMutexLocker lock(&m_paramsLock);
    m_denoiseParams.assign(p);
}

IQAdjustParams IQAdjustingProcessor::adjustParams() const
{
    QMutexLocker lock(&m_paramsLock);
    return m_adjustParams;
}

IQHDRToneParams IQAdjustingProcessor::toneParams() const
{
    QMutexLocker lock(&m_paramsLock);
    return m_toneParams;
}

IQDenoiseParams IQAdjustingProcessor::denoiseParams() const
{
    QMutexLocker lock(&m_paramsLock);
    return m_denoiseParams;
}

int IQAdjustingProcessor::pendingStage() const
{
    QMutexLocker lock(&m_paramsLock);
    return stage;
}

IQAdjustingProcessor::Snapshot IQAdjustingProcessor::takeSnapshot()
{
    QMutexLocker lock(&m_paramsLock);
    Snapshot s;
    s.adjust = m_adjustParams;
    s.tone = m_toneParams;
    s.denoise = m_denoiseParams;
    s.stage = stage;
    // This pass does the tone work asked for so far.
    stage = StageNone;
    return s;
}

void IQAdjustingProcessor::requeueStage(int stageCode)
{
    QMutexLocker lock(&m_paramsLock);
    stage = mergeStage(stage, stageCode);
}

void IQAdjustingProcessor::setDenoiseStage(DenoiseStage *newStage)
{
    QMutexLocker pass(&mutex);
    denoiseStage.reset(newStage);
    m_denoiseStageChosen = true;
}

QImage IQAdjustingProcessor::fail(int error, const char *detail)
{
    {
        QMutexLocker lock(&m_paramsLock);
        m_lastErrorDetail = detail ? QString::fromLocal8Bit(detail) : QString();
    }
    m_lastError = error;
    return QImage();
}

// Passes that need no tone work run meanwhile; they touch neither the tone
// engine nor what the thread makes until it is handed over. The denoise
// stage guards itself against a pass that denoises meanwhile.
void IQAdjustingProcessor::startToneAnalysis()
{
    IQHDRToneEngine *engine = toneEngine;
    const IQBGRData *picture = source;
    std::shared_ptr<DenoiseStage> denoise = denoiseStage;
    const std::atomic<bool> *cancelled = &m_setUpCancelled; // the processor waits for the thread
    const int w = m_width;
    const int h = m_height;
    try {
        m_toneAnalysis = std::async(std::launch::async, [engine, picture, denoise, cancelled, w, h] {
            ToneAnalysis done;
            if (cancelled->load())
                return done;
            try {
                engine->setSource(*picture);
                done.analysed = true;
            } catch (...) {
                // The first tone pass tries again and reports it.
            }
            // Mapped here rather than by the first pass that writes them. A
            // buffer that cannot be had now is made by that pass, or fails it.
            try {
                for (std::unique_ptr<IQBGRData> *buffer : {&done.input, &done.working}) {
                    if (cancelled->load())
                        return done;
                    buffer->reset(newToneBuffer(w, h));
                    if (*buffer)
                        IQTouchPages((*buffer)->data, (*buffer)->byteCount());
                }
                if (cancelled->load())
                    return done;
                done.output = QImage(w, h, QImage::Format_BGR888);
                if (!done.output.isNull()) {
                    uchar *bits = done.output.bits();
                    IQAdviseHugePages(bits, size_t(done.output.sizeInBytes()));
                    IQTouchPages(bits, size_t(done.output.sizeInBytes()));
                }
            } catch (...) {
            }
            // Last: a pass that denoises before this point makes what it
            // needs itself, and the stage then skips it here.
            try {
                if (denoise && !cancelled->load())
                    denoise->prepare(w, h);
            } catch (...) {
            }
            return done;
        });
    } catch (...) {
        // No thread to be had: the first tone pass analyses.
    }
}

// Before anything else touches the tone engine or the source.
void IQAdjustingProcessor::finishToneAnalysis()
{
    if (m_toneAnalysis.valid())
        adoptToneAnalysis(m_toneAnalysis.get());
}

// Buffers a pass has made meanwhile are kept, and the thread's dropped.
void IQAdjustingProcessor::adoptToneAnalysis(ToneAnalysis &&analysis)
{
    m_toneSourceSet = analysis.analysed;
    if (!input)
        m_spareInput = std::move(analysis.input);
    if (!working)
        m_spareWorking = std::move(analysis.working);
    if (m_output.isNull())
        m_output = std::move(analysis.output);
}

// The analysis thread's buffer when there is one, else a new one; null
// without memory.
IQBGRData *IQAdjustingProcessor::takeToneBuffer(std::unique_ptr<IQBGRData> &spare)
{
    if (spare)
        return spare.release();
    return newToneBuffer(m_width, m_height);
}

void IQAdjustingProcessor::prepareToneSource()
{
    finishToneAnalysis();
    if (m_toneSourceSet)
        return;
    toneEngine->setSource(*source);
    m_toneSourceSet = true;
}

int IQAdjustingProcessor::runToneStage(const Snapshot &s)
{
    if (s.stage != StageFull && s.stage != StageHighlightShadow)
        return NoError; // the last highlight/shadow result stands
    try {
        prepareToneSource();
        toneEngine->setParams(s.tone);
        if (s.stage == StageFull) {
            if (!input && !(input = takeToneBuffer(m_spareInput)))
                return ErrorOutOfMemory;
            cv::Mat inputMat = wrap(*input);
            toneEngine->applyDetailChain(toneEngine->source, inputMat);
            if (inputMat.data != input->data)
                return ErrorToneStage;
        }
        const IQBGRData &detail = input ? *input : *source;
        if (!working && !(working = takeToneBuffer(m_spareWorking)))
            return ErrorOutOfMemory;
        const cv::Mat detailMat = wrap(const_cast<IQBGRData &>(detail));
        cv::Mat workingMat = wrap(*working);
        toneEngine->applyHighlightShadow(detailMat, workingMat);
        if (workingMat.data != working->data)
            return ErrorToneStage;
        return NoError;
    } catch (const cv::Exception &e) {
        return e.code == cv::Error::StsNoMem ? ErrorOutOfMemory : ErrorToneStage;
    } catch (const std::bad_alloc &) {
        return ErrorOutOfMemory;
    }
}

QImage IQAdjustingProcessor::outputImage()
{
    if (!m_output.isNull() && m_output.isDetached() && m_output.width() == m_width
        && m_output.height() == m_height && m_output.format() == QImage::Format_BGR888)
        return m_output;
    // The caller still holds the last result: start a new picture.
    m_output = QImage();
    m_output = QImage(m_width, m_height, QImage::Format_BGR888);
    if (!m_output.isNull())
        IQAdviseHugePages(m_output.bits(), size_t(m_output.sizeInBytes()));
    return m_output;
}

QImage IQAdjustingProcessor::process()
{
    QMutexLocker pass(&mutex);
    prepare();
    const Snapshot s = takeSnapshot();
    // Nothing may escape a pass: it runs on pool threads. A failed pass hands
    // its tone work back, so the next pass redoes it.
    try {
        QImage result = runPass(s);
        if (result.isNull())
            requeueStage(s.stage);
        return result;
    } catch (const cv::Exception &e) {
        requeueStage(s.stage);
        return fail(e.code == cv::Error::StsNoMem ? ErrorOutOfMemory : ErrorToneStage, e.what());
    } catch (const std::bad_alloc &) {
        requeueStage(s.stage);
        return fail(ErrorOutOfMemory);
    } catch (const std::exception &e) {
        requeueStage(s.stage);
        return fail(ErrorUnexpected, e.what());
    } catch (...) {
        requeueStage(s.stage);
        return fail(ErrorUnexpected);
    }
}

QImage IQAdjustingProcessor::runPass(const Snapshot &s)
{
    if (!source)
        return fail(ErrorNoPicture);
    if (!adjustEngine || !toneEngine)
        return fail(ErrorNoEngine);
    // A colour pass takes what the analysis thread made once it is done,
    // but does not wait for it.
    if (m_toneAnalysis.valid() && m_toneAnalysis.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        finishToneAnalysis();

    // On failure input or working may be half written; the caller hands the
    // stage back so the next pass redoes the work.
    const int toneResult = runToneStage(s);
    if (toneResult != NoError)
        return fail(toneResult);

    QImage result = outputImage();
    if (result.isNull())
        return fail(ErrorOutOfMemory);
    m_output = QImage(); // result is now the only holder, so bits() does not copy
    uint8_t *bits = result.bits();
    const int stride = int(result.bytesPerLine());
    const IQBGRData &shown = working ? *working : input ? *input : *source;
    copyRows(shown.data, shown.bytesPerLine, bits, stride, m_height);

    IQBGRData out(bits, uint32_t(m_width), m_height, stride);
    if (denoiseStage)
        denoiseStage->apply(out, s.denoise); // a failure keeps the un-denoised pixels

    adjustEngine->setParams(s.adjust);
    const int adjustResult = adjustEngine->apply(bits, m_width, m_height, stride);
    if (adjustResult != 1)
        return fail(adjustResult == PE_ERR_NOMEM ? ErrorOutOfMemory : ErrorAdjustStage);

    m_output = result;
    m_lastError = NoError;
    {
        QMutexLocker lock(&m_paramsLock);
        m_lastErrorDetail.clear();
    }
    return result;
}

QImage IQAdjustingProcessor::processWith(const IQProcessParams &p)
{
    QMutexLocker pass(&mutex);
    setToneParams(p.tone, StageFull);
    setAdjustParams(p.adjust);
    setDenoiseParams(p.denoise);
    return process();
}

void IQAdjustingProcessor::freeBuffers()
{
    QMutexLocker pass(&mutex);
    m_setUpCancelled = true; // nothing of it would be used
    finishToneAnalysis();
    if (toneEngine)
        toneEngine->source.release(); // it views the source buffer
    m_toneSourceSet = false;
    delete source;
    delete input;
    delete working;
    source = input = working = nullptr;
    m_spareInput.reset();
    m_spareWorking.reset();
    m_output = QImage();
    // Nothing left to load either.
    m_prepared = true;
    m_picture = QImage();
}

void IQAdjustingProcessor::destroyEngines()
{
    QMutexLocker pass(&mutex);
    m_enginesDestroyed = true; // also for a processor not prepared yet
    m_setUpCancelled = true;
    finishToneAnalysis();
    delete adjustEngine;
    adjustEngine = nullptr;
    delete toneEngine;
    toneEngine = nullptr;
    m_toneSourceSet = false;
    denoiseStage.reset();
}
