#include "IQImageReadThread.h"

#include "IQHDREngine.h"

IQImageReadThread::IQImageReadThread(const QString& path) : m_path(path) {}

IQImageReadThread::~IQImageReadThread() = default;

void IQImageReadThread::run()
{
    QImage image;
    try {
        // The same read as the HDR job's.
        image = IQHDREngine::readPhoto(m_path);
        if (!image.isNull())
            image = image.convertToFormat(QImage::Format_ARGB32);
    } catch (...) {
        image = QImage();
    }
    emit readFinished(image);
}
