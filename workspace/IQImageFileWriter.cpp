#include "IQImageFileWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <exception>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A write that stops part way (the disk filled up during it) gives a short
// count and no reason; one more byte at the same place meets the cause.
QString causeOfShortWrite(QFileDevice& file)
{
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    if (fd >= 0 && ::write(fd, "", 1) < 0)
        return qt_error_string(errno);
#else
    Q_UNUSED(file);
#endif
    return QString();
}

// The image writer reports a failed write of its device only as "Unknown
// error"; the file system knows why (a full disk, a vanished folder).
QString failureReason(const QImageWriter& writer, QFileDevice& file)
{
    if (writer.error() != QImageWriter::UnknownError && writer.error() != QImageWriter::DeviceError)
        return writer.errorString();
    const QString unknown = QFile().errorString();
    if (file.error() != QFileDevice::NoError && file.errorString() != unknown)
        return file.errorString();
    const QString cause = causeOfShortWrite(file);
    return cause.isEmpty() ? writer.errorString() : cause;
}

// A device or a pipe cannot be replaced by a renamed file (and must not be:
// the rename would put a regular file in its place), so it is written into.
bool writeInto(const QImage& picture, const QString& path, const QByteArray& format, QString* reason)
{
    QFile file;
    bool opened = false;
#ifdef Q_OS_UNIX
    // Not blocking: a pipe without a reader is an error, not a wait without end.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        opened = file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
        if (!opened)
            ::close(fd);
    } else {
        *reason = qt_error_string(errno);
        return false;
    }
#else
    file.setFileName(path);
    opened = file.open(QIODevice::WriteOnly);
#endif
    if (!opened) {
        *reason = file.errorString();
        return false;
    }
    QImageWriter writer(&file, format);
    if (!writer.write(picture) || !file.flush()) {
        *reason = failureReason(writer, file);
        return false;
    }
    return true;
}

bool writeBeside(const QImage& picture, const QString& path, const QByteArray& format, QString* reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    // The writer cannot see a name through the save file, so it is told the format.
    QImageWriter writer(&file, format);
    // Flushed here, while the reason of a failure can still be found.
    if (!writer.write(picture) || !file.flush()) {
        *reason = failureReason(writer, file);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool writeImageFile(const QImage& picture, const QString& path, QString* error)
{
    QString reason;
    bool written = false;
    if (picture.isNull()) {
        reason = QCoreApplication::translate("IQAdjustingFrame", "There is no picture to save.");
    } else {
        const QFileInfo target(path);
        const QByteArray format = target.suffix().toLower().toLatin1();
        if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format)) {
            reason = QCoreApplication::translate("IQAdjustingFrame", "The file type \"%1\" cannot be written.")
                         .arg(target.suffix());
        } else {
            try {
                if (target.exists() && !target.isFile() && !target.isDir())
                    written = writeInto(picture, path, format, &reason);
                else
                    written = writeBeside(picture, path, format, &reason);
            } catch (const std::bad_alloc&) {
                reason = QCoreApplication::translate("IQAdjustingFrame",
                                                     "There is not enough memory to process the picture.");
            } catch (const std::exception& e) {
                reason = QString::fromLocal8Bit(e.what());
            }
        }
    }
    if (!written && error)
        *error = reason;
    return written;
}
