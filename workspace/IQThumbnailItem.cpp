#include "IQThumbnailItem.h"
#include "RawContent.h"

#include <QFileInfo>
#include <QImageReader>
#include <mutex>

namespace {
// Very large photos must not be refused; the limit is process-wide and
// thumbnails are read on several threads, so switch it off exactly once.
void disableAllocationLimit()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(0); });
}
}

IQFileItem::IQFileItem(const QString& identifier, const QString& path, const QDateTime& timeAdded)
    : identifier(identifier), path(path), timeAdded(timeAdded)
{
}

QString IQFileItem::suffix() const { return QFileInfo(path).suffix(); }
QDateTime IQFileItem::createdTime() const { return QFileInfo(path).fileTime(QFileDevice::FileBirthTime); }
QDateTime IQFileItem::addedTime() const { return timeAdded; }
QString IQFileItem::id() const { return identifier; }
QString IQFileItem::fileName() const { return QFileInfo(path).fileName(); }
void IQFileItem::setFilePath(const QString& newPath) { path = newPath; }
QImage IQFileItem::image() { return QImage(); }
QString IQFileItem::filePath() const { return path; }

QString IQImageFileItem::displayName() const { return QFileInfo(path).fileName(); }

QImage IQImageFileItem::thumbnail(QSize size)
{
    QImageReader reader(path, cameraRawFormat(path));
    reader.setAutoTransform(true);
    disableAllocationLimit();
    const QSize full = reader.size();
    if (full.isValid() && !full.isEmpty()) {
        // Decoding at the target size lets JPEG scale in the decoder and RAW
        // files answer from their embedded preview.
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
        return reader.read();
    }
    // The size is not known without decoding: read whole, then scale.
    const QImage whole = reader.read();
    if (whole.isNull())
        return whole;
    return whole.scaled(whole.size().scaled(size, Qt::KeepAspectRatio), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

QImage IQImageFileItem::image()
{
    QImageReader reader(path, cameraRawFormat(path));
    reader.setAutoTransform(true);
    disableAllocationLimit();
    return reader.read();
}
