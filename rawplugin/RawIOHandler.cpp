#include "RawIOHandler.h"
#include "DeviceDatastream.h"
#include "RawContent.h"
#include "RawPixels.h"

#include <QBuffer>
#include <QByteArray>
#include <QDebug>
#include <QImage>
#include <QImageReader>
#include <QIODevice>
#include <QVariant>

#include <libraw/libraw.h>

#include <memory>
#include <mutex>

namespace {
// LibRaw 0.20's VNG interpolation (chosen by four_color_rgb) keeps a pointer
// in a function-level static, so two developments at once can crash even in
// the thread-safe build. Unpacking stays parallel; only this step is serial.
int developSerialized(LibRaw& raw)
{
    static std::mutex developMutex;
    std::lock_guard<std::mutex> lock(developMutex);
    return raw.dcraw_process();
}

struct ProcessedImageDeleter
{
    void operator()(libraw_processed_image_t* p) const { LibRaw::dcraw_clear_mem(p); }
};
using ProcessedImage = std::unique_ptr<libraw_processed_image_t, ProcessedImageDeleter>;

bool isValidTarget(const QSize& size)
{
    return size.width() > 0 && size.height() > 0;
}

} // namespace

class RawIOHandlerPrivate
{
public:
    explicit RawIOHandlerPrivate(RawIOHandler* owner)
        : q(owner)
    {
    }

    bool load(QIODevice* device);
    QImage readPreview(const QSize& target);
    QImage develop(const QSize& target);
    bool previewCovers(const QSize& target) const;

    std::unique_ptr<LibRaw> raw;
    std::unique_ptr<LibRaw_abstract_datastream> stream;
    QByteArray bytes;      // whole file, only while developing
    QSize defaultSize{-1, -1};
    QSize scaledSize{-1, -1};
    QSize thumbSize;       // embedded preview as stored, before orientation
    int flip = 0;
    qint64 fileSize = 0;
    QIODevice* source = nullptr; // device the file was opened from
    RawIOHandler* q;

private:
    bool openProcessor(std::unique_ptr<LibRaw_abstract_datastream> input);
    void closeProcessor();
};

bool RawIOHandlerPrivate::openProcessor(std::unique_ptr<LibRaw_abstract_datastream> input)
{
    closeProcessor();
    stream = std::move(input);
    raw = std::make_unique<LibRaw>(0);
    // Damaged files end in a failed read; LibRaw's own messages go nowhere.
    raw->set_dataerror_handler(nullptr, nullptr);
    raw->set_memerror_handler(nullptr, nullptr);
    libraw_output_params_t& params = raw->imgdata.params;
    params.four_color_rgb = 1;
    params.use_camera_wb = 1;
    params.use_camera_matrix = 1;
    params.output_color = 1;
    params.output_tiff = 0;
    params.use_fuji_rotate = 1;
    params.green_matching = 1;
    if (!stream->valid() || raw->open_datastream(stream.get()) != LIBRAW_SUCCESS) {
        closeProcessor();
        return false;
    }
    return true;
}

void RawIOHandlerPrivate::closeProcessor()
{
    raw.reset();
    stream.reset();
}

bool RawIOHandlerPrivate::load(QIODevice* device)
{
    if (!device || device->isSequential() || !device->isReadable())
        return false;
    const qint64 position = device->pos();
    if (source == device && defaultSize.isValid())
        return device->seek(0);

    // Opening reads only the directories; the whole file is read to develop.
    closeProcessor();
    source = nullptr;
    defaultSize = QSize(-1, -1);
    if (!openProcessor(std::make_unique<DeviceDatastream>(device))) {
        device->seek(position);
        return false;
    }

    // The size LibRaw develops: orientation, pixel aspect and Fuji rotation applied.
    int width = 0, height = 0, colors = 0, bps = 0;
    raw->get_mem_image_format(&width, &height, &colors, &bps);
    if (width <= 0 || height <= 0) {
        closeProcessor();
        device->seek(position);
        return false;
    }
    defaultSize = QSize(width, height);
    thumbSize = QSize(raw->imgdata.thumbnail.twidth, raw->imgdata.thumbnail.theight);
    flip = raw->imgdata.sizes.flip;
    fileSize = device->size();
    source = device;
    return true;
}

bool RawIOHandlerPrivate::previewCovers(const QSize& target) const
{
    if (thumbSize.isEmpty())
        return false;
    const QSize shown = (flip & 4) ? thumbSize.transposed() : thumbSize;
    return shown.width() >= target.width() && shown.height() >= target.height();
}

QImage RawIOHandlerPrivate::readPreview(const QSize& target)
{
    if (!raw && !openProcessor(std::make_unique<DeviceDatastream>(source)))
        return {};
    // One LibRaw object unpacks once; the next step starts afresh.
    struct Release
    {
        RawIOHandlerPrivate* d;
        ~Release() { d->closeProcessor(); }
    } release{this};
    qDebug("Using thumbnail");
    if (raw->unpack_thumb() != LIBRAW_SUCCESS)
        return {};

    const int orientation = flip;
    const libraw_thumbnail_t& thumb = raw->imgdata.thumbnail;
    QImage picture;
    if (thumb.tformat == LIBRAW_THUMBNAIL_JPEG && thumb.thumb && thumb.tlength > 0) {
        // The JPEG bytes as LibRaw holds them, without another copy.
        QBuffer buffer;
        buffer.setData(QByteArray::fromRawData(thumb.thumb, qsizetype(thumb.tlength)));
        if (!buffer.open(QIODevice::ReadOnly))
            return {};
        QImageReader reader(&buffer, "jpeg");
        reader.setAutoTransform(false);
        // Decode straight to the wanted size so libjpeg can scale while decoding.
        const QSize decodeSize = (orientation & 4) ? target.transposed() : target;
        reader.setScaledSize(decodeSize);
        picture = reader.read();
        if (picture.isNull())
            return {};
        if (picture.size() != decodeSize)
            picture = picture.scaled(decodeSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        picture = picture.convertToFormat(QImage::Format_RGB32);
    } else {
        int error = 0;
        const ProcessedImage processed(raw->dcraw_make_mem_thumb(&error));
        if (!processed || processed->type != LIBRAW_IMAGE_BITMAP)
            return {};
        picture = rawBitmapToRgb32(processed->data, processed->data_size, processed->width, processed->height,
                                   processed->bits);
    }
    picture = applyRawFlip(picture, orientation);
    if (picture.isNull())
        return {};
    if (picture.size() != target)
        picture = picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

QImage RawIOHandlerPrivate::develop(const QSize& target)
{
    if (!fitsImageAllocationLimit(target) || !fitsImageAllocationLimit(defaultSize))
        return {};
    // Decoders read byte by byte: develop from memory. The file must not have
    // changed since it was opened.
    closeProcessor();
    struct Release
    {
        RawIOHandlerPrivate* d;
        ~Release()
        {
            d->closeProcessor();
            d->bytes.clear();
        }
    } release{this};
    if (!source->seek(0))
        return {};
    bytes = source->readAll();
    if (bytes.size() != fileSize)
        return {};
    // LibRaw 0.20 wants a writable pointer; it only reads through it.
    if (!openProcessor(std::make_unique<LibRaw_buffer_datastream>(bytes.data(), std::size_t(bytes.size()))))
        return {};
    qDebug("Decoding raw data");
    QImage picture;
    if (raw->unpack() == LIBRAW_SUCCESS && developSerialized(*raw) == LIBRAW_SUCCESS) {
        int width = 0, height = 0, colors = 0, bps = 0;
        raw->get_mem_image_format(&width, &height, &colors, &bps);
        if (colors == 3 && bps == 8 && fitsImageAllocationLimit(QSize(width, height))) {
            // Straight into the picture, then one widening pass to 32 bits.
            QImage rgb(width, height, QImage::Format_RGB888);
            if (!rgb.isNull() && raw->copy_mem_image(rgb.bits(), int(rgb.bytesPerLine()), 0) == LIBRAW_SUCCESS)
                picture = rgb.convertToFormat(QImage::Format_RGB32);
        } else {
            int error = 0;
            ProcessedImage processed(raw->dcraw_make_mem_image(&error));
            if (processed && processed->type == LIBRAW_IMAGE_BITMAP)
                picture = rawBitmapToRgb32(processed->data, processed->data_size, processed->width,
                                           processed->height, processed->bits);
        }
    }
    closeProcessor();
    if (picture.isNull())
        return {};
    if (picture.size() != target)
        picture = picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

RawIOHandler::RawIOHandler()
    : d(new RawIOHandlerPrivate(this))
{
}

RawIOHandler::~RawIOHandler()
{
    delete d;
}

bool RawIOHandler::canReadDevice(QIODevice* device)
{
    if (!device || !hasCameraRawLayout(device))
        return false;
    const qint64 position = device->pos();
    RawIOHandler probe;
    const bool ok = probe.d->load(device);
    if (ok)
        device->seek(position);
    return ok;
}

bool RawIOHandler::canRead() const
{
    QIODevice* dev = device();
    if (!dev)
        return false;
    const qint64 position = dev->isSequential() ? 0 : dev->pos();
    if (!d->load(dev))
        return false;
    dev->seek(position);
    setFormat("raw");
    return true;
}

bool RawIOHandler::read(QImage* image)
{
    if (!image || !d->load(device()))
        return false;
    const bool scaled = isValidTarget(d->scaledSize);
    const QSize target = scaled ? d->scaledSize : d->defaultSize;

    QImage picture;
    // A full-size read always develops the RAW data; the preview serves only
    // scaled reads it covers, and a failed preview falls back to developing.
    if (scaled && d->previewCovers(target))
        picture = d->readPreview(target);
    if (picture.isNull())
        picture = d->develop(target);
    if (picture.isNull())
        return false;
    *image = picture;
    return true;
}

QVariant RawIOHandler::option(ImageOption option) const
{
    switch (option) {
    case Size:
        d->load(device());
        return d->defaultSize;
    case ScaledSize:
        return d->scaledSize;
    case ImageFormat:
        return int(QImage::Format_RGB32);
    default:
        return {};
    }
}

void RawIOHandler::setOption(ImageOption option, const QVariant& value)
{
    if (option == ScaledSize)
        d->scaledSize = value.toSize();
}

bool RawIOHandler::supportsOption(ImageOption option) const
{
    return option == Size || option == ScaledSize || option == ImageFormat;
}
