#include "IQHDRThread.h"

#include "IQHDREngine.h"
#include "IQImageReadGuard.h"

#include <QDebug>
#include <opencv2/core.hpp>

#include <exception>
#include <new>

IQHDRThread::IQHDRThread(IQHDREngine* engine, const QStringList& paths)
    : m_engine(engine), m_paths(paths)
{
    // The readers' process-wide settings are made here, on the creating
    // thread, before the job's threads read anything.
    IQPrepareImageReading();
}

IQHDRThread::~IQHDRThread() = default;

int IQHDRThread::runJob(QImage& after)
{
    if (!m_engine)
        return IQHDR_FAILED;
    QList<QImage> sources;
    int code = m_engine->load(m_paths, sources);
    if (code != IQHDR_OK)
        return code;
    if (m_paths.size() >= 2) {
        // The tone mapper reads only the radiance map: the decoded photos go
        // before it runs, which lowers the job's peak by their size.
        sources.clear();
        int toneCode = IQHDR_OK;
        after = m_engine->toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f, &toneCode);
        // The radiance map is not read again in this road; give its memory back.
        m_engine->clear();
        if (after.isNull())
            return toneCode != IQHDR_OK ? toneCode : IQHDR_FAILED;
    } else if (!sources.isEmpty()) {
        after = sources.first();
    }
    // A job that produced no picture did not succeed; running out of memory
    // is reported as such where it happens.
    return after.isNull() ? IQHDR_FAILED : IQHDR_OK;
}

void IQHDRThread::run()
{
    QImage after;
    int code = IQHDR_FAILED;
    try {
        code = runJob(after);
    } catch (const std::bad_alloc&) {
        qCritical() << "HDR job ran out of memory";
        code = IQHDR_OUT_OF_MEMORY;
    } catch (const cv::Exception& e) {
        qCritical() << "HDR job failed:" << e.what();
        code = e.code == cv::Error::StsNoMem ? IQHDR_OUT_OF_MEMORY : IQHDR_FAILED;
    } catch (const std::exception& e) {
        qCritical() << "HDR job failed:" << e.what();
        code = IQHDR_FAILED;
    } catch (...) {
        qCritical() << "HDR job failed with an unknown error";
        code = IQHDR_FAILED;
    }
    if (code != IQHDR_OK)
        after = QImage();
    QImage before;
    try {
        before = after.copy();
        if (!after.isNull() && before.isNull())
            code = IQHDR_OUT_OF_MEMORY;
    } catch (...) {
        code = IQHDR_OUT_OF_MEMORY;
    }
    if (code != IQHDR_OK) {
        before = QImage();
        after = QImage();
    }
    emit threadFinished(before, after, code);
}
