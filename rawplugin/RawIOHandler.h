#pragma once
#include <QImageIOHandler>
#include <QSize>

class QIODevice;
class RawIOHandlerPrivate;

// Decodes one camera RAW file through LibRaw: the fully developed picture, or
// the embedded preview when a scaled size no larger than the preview is asked
// for. The result is always Format_RGB32.
class RawIOHandler : public QImageIOHandler
{
public:
    RawIOHandler();
    ~RawIOHandler() override;

    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant& value) override;
    bool supportsOption(ImageOption option) const override;

    // Whether the device holds a camera RAW that LibRaw opens; the position
    // is kept. Files that LibRaw would only take for their size are refused.
    static bool canReadDevice(QIODevice* device);

private:
    Q_DISABLE_COPY(RawIOHandler)
    RawIOHandlerPrivate* d;
};
