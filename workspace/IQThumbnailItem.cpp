#include "IQThumbnailItem.h"

#include "IQImageReadGuard.h"
#include "RawContent.h"

#include <QFileInfo>
#include <QImageReader>

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
    const QSize full = reader.size();
    // A photo too large to go through the job is not decoded for its
    // thumbnail either: the list shows it as unreadable.
    if (full.isValid() && !IQPhotosFitInMemory(full, 1))
        return QImage();
    if (full.isValid() && !full.isEmpty()) {
        // Decoding at the target size lets JPEG scale in the decoder and RAW
        // files answer from their embedded preview.
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
        return IQReadImageChecked(reader);
    }
    // The size is not known without decoding: read whole, then scale.
    const QImage whole = IQReadImageChecked(reader);
    if (whole.isNull())
        return whole;
    return whole.scaled(whole.size().scaled(size, Qt::KeepAspectRatio), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

QImage IQImageFileItem::image()
{
    QImageReader reader(path, cameraRawFormat(path));
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && !IQPhotosFitInMemory(full, 1))
        return QImage();
    return IQReadImageChecked(reader);
}
