#pragma once
#include <QImageIOPlugin>
#include <QStringList>

// Static image-format plugin that reads camera RAW files through LibRaw.
class QRawPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "rawplugin.json")

public:
    explicit QRawPlugin(QObject* parent = nullptr);
    ~QRawPlugin() override;

    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;

    // The lower-case suffixes the plugin answers for.
    static QStringList rawFormatKeys();
};
