// RAW handler over arbitrary bytes: content probe, size, preview read and full
// development, through the plugin as Qt would call it.
#include "FuzzQtApp.h"
#include "QRawPlugin.h"
#include "RawIOHandler.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    startQuietQtApplication(argc, argv);
    // Keep every decode small: hostile headers may claim huge pictures.
    QImageReader::setAllocationLimit(4);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QRawPlugin plugin;
    const bool claimed = plugin.capabilities(&buffer, QByteArray()) & QImageIOPlugin::CanRead;
    // Any name Qt passes on is decided by the same contents, and the position stays.
    buffer.seek(qint64(size / 2));
    for (const char* name : {"tif", "bin"}) {
        if (bool(plugin.capabilities(&buffer, name) & QImageIOPlugin::CanRead) != claimed
            || buffer.pos() != qint64(size / 2))
            __builtin_trap();
    }
    buffer.seek(0);
    if (!claimed)
        return 0;
    std::unique_ptr<QImageIOHandler> handler(plugin.create(&buffer, "dng"));
    const QSize full = handler->option(QImageIOHandler::Size).toSize();
    QImage image;
    handler->setOption(QImageIOHandler::ScaledSize, QSize(32, 24));
    if (handler->read(&image) && (image.isNull() || image.size() != QSize(32, 24)))
        __builtin_trap();
    handler->setOption(QImageIOHandler::ScaledSize, QSize());
    if (handler->read(&image) && (image.isNull() || image.size() != full))
        __builtin_trap();
    return 0;
}
