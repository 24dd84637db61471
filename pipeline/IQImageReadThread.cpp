#include "IQImageReadThread.h"

#include "IQImageReadGuard.h"
#include "RawContent.h"

#include <QImageReader>

IQImageReadThread::IQImageReadThread(const QString& path) : m_path(path) {}

IQImageReadThread::~IQImageReadThread() = default;

void IQImageReadThread::run()
{
    QImage image;
    try {
        QImageReader reader(m_path, cameraRawFormat(m_path));
        reader.setAutoTransform(true);
        image = IQReadImageChecked(reader);
        if (!image.isNull())
            image = image.convertToFormat(QImage::Format_ARGB32);
    } catch (...) {
        image = QImage();
    }
    emit readFinished(image);
}
