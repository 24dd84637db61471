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
        const QString name = QString::fromLatin1(format);
        if (rawFormatKeys().contains(name, Qt::CaseSensitive))
            return CanRead;
        // TIFF-based RAW files; Qt's own TIFF reader is preferred by suffix.
        if (format == "tif" || format == "tiff")
            return CanRead;
        return {};
    }
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
