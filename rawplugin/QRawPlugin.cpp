#include "QRawPlugin.h"
#include "RawIOHandler.h"

#include <QIODevice>

QRawPlugin::QRawPlugin(QObject* parent)
    : QImageIOPlugin(parent)
{
}

QRawPlugin::~QRawPlugin() = default;

QStringList QRawPlugin::rawFormatKeys()
{
    return {QStringLiteral("crw"), QStringLiteral("cr2"), QStringLiteral("cr3"), QStringLiteral("arw"),
            QStringLiteral("sr2"), QStringLiteral("srf"), QStringLiteral("nef"), QStringLiteral("nrw"),
            QStringLiteral("raf"), QStringLiteral("orf"), QStringLiteral("dng"), QStringLiteral("pef"),
            QStringLiteral("mrw"), QStringLiteral("x3f"), QStringLiteral("rw2"), QStringLiteral("raw")};
}

QImageIOPlugin::Capabilities QRawPlugin::capabilities(QIODevice* device, const QByteArray& format) const
{
    if (!format.isEmpty()) {
        if (rawFormatKeys().contains(QString::fromLatin1(format), Qt::CaseSensitive))
            return CanRead;
        // Asked without a file: TIFF-based RAW files may carry these names.
        if (!device && (format == "tif" || format == "tiff"))
            return CanRead;
    }
    // Otherwise the contents decide. Qt asks with the file's suffix (or the
    // format it was given) before it probes by content, so a camera RAW under
    // any other name is claimed here, and every other file, plain TIFFs
    // included, is left to the reader that owns its name or its contents.
    if (!device || !device->isOpen() || !device->isReadable())
        return {};
    return RawIOHandler::canReadDevice(device) ? Capabilities(CanRead) : Capabilities();
}

QImageIOHandler* QRawPlugin::create(QIODevice* device, const QByteArray& format) const
{
    auto* handler = new RawIOHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
