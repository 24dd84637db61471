#include "DamagedFiles.h"

#include "StreamedPng.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

#include <functional>

#include <cstdio>
#include <jpeglib.h>

namespace DamagedFiles {

QByteArray jpegBytes(const QImage& image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot encode a JPEG: %s", qPrintable(writer.errorString()));
    return bytes;
}

QString writeBytes(const QByteArray& bytes, const QString& dir, const QString& name)
{
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString writeCut(const QByteArray& bytes, double fraction, const QString& dir, const QString& name)
{
    const int length = fraction >= 1.0 ? int(bytes.size()) : qBound(1, int(bytes.size() * fraction), int(bytes.size()) - 1);
    return writeBytes(bytes.left(length), dir, name);
}

QString writePngHeaderOf(int width, int height, const QString& dir, const QString& name)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 0; // greyscale
    png += StreamedPng::chunk("IHDR", header);
    // Four rows of black: filter byte 0 and zero samples.
    const QByteArray rows(4 * (width + 1), '\0');
    // qCompress is a zlib stream behind a four-byte length.
    const QByteArray packed = qCompress(rows).mid(4);
    png += StreamedPng::chunk("IDAT", packed);
    png += StreamedPng::chunk("IEND", QByteArray());
    return writeBytes(png, dir, name);
}

namespace {

[[noreturn]] void jpegWriteFailed(j_common_ptr cinfo)
{
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    qFatal("cannot encode a JPEG: %s", message);
}

int byteAt(const QByteArray& bytes, int offset)
{
    return offset < bytes.size() ? quint8(bytes[offset]) : -1;
}

} // namespace

// Encodes `picture` (RGB888 or Grayscale8) with libjpeg at quality 90;
// `configure` sets what Qt's writer cannot, after the defaults.
static QByteArray encodeWithLibjpeg(const QImage& picture, const std::function<void(jpeg_compress_struct&)>& configure)
{
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = jpegWriteFailed;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    configure(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QByteArray jpegWithRestarts(const QImage& image, int mcuRows)
{
    return encodeWithLibjpeg(image.convertToFormat(QImage::Format_RGB888),
                             [mcuRows](jpeg_compress_struct& cinfo) { cinfo.restart_in_rows = mcuRows; });
}

QByteArray jpegWithManyScans(const QImage& image, int refinements)
{
    QList<jpeg_scan_info> script;
    for (int k = 0; k < 64; ++k) {
        script.append(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, 0, refinements});
        for (int bit = refinements; bit > 0; --bit)
            script.append(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, bit, bit - 1});
    }
    return encodeWithLibjpeg(image.convertToFormat(QImage::Format_Grayscale8), [&script](jpeg_compress_struct& cinfo) {
        cinfo.scan_info = script.constData();
        cinfo.num_scans = int(script.size());
    });
}

JpegLayout jpegLayout(const QByteArray& jpeg)
{
    JpegLayout layout;
    if (byteAt(jpeg, 0) != 0xFF || byteAt(jpeg, 1) != 0xD8)
        return JpegLayout();
    int at = 2;
    while (at < jpeg.size()) {
        if (byteAt(jpeg, at) != 0xFF)
            return JpegLayout();
        while (byteAt(jpeg, at + 1) == 0xFF) // fill bytes
            ++at;
        const int marker = byteAt(jpeg, at + 1);
        if (marker == 0xD9) {
            layout.end = at;
            return layout;
        }
        const int length = (byteAt(jpeg, at + 2) << 8) | byteAt(jpeg, at + 3);
        if (marker < 0 || length < 2)
            return JpegLayout();
        const int segmentStart = at;
        at += 2 + length;
        if (marker != 0xDA)
            continue;
        layout.scans << segmentStart;
        // Entropy-coded data runs to the next marker other than a stuffed
        // zero or a restart marker.
        while (at + 1 < jpeg.size()) {
            if (byteAt(jpeg, at) != 0xFF) {
                ++at;
                continue;
            }
            const int next = byteAt(jpeg, at + 1);
            if (next == 0x00) {
                at += 2;
            } else if (next >= 0xD0 && next <= 0xD7) {
                layout.restarts << at;
                at += 2;
            } else {
                break;
            }
        }
        layout.scanEnds << at;
    }
    return JpegLayout();
}

QByteArray withZeroedScanParameters(QByteArray jpeg)
{
    const JpegLayout layout = jpegLayout(jpeg);
    if (layout.scans.isEmpty())
        qFatal("withZeroedScanParameters: not a JPEG");
    for (const int sos : layout.scans) {
        // FF DA, length, component count, two bytes per component, then
        // Ss, Se and Ah/Al.
        const int components = byteAt(jpeg, sos + 4);
        const int params = sos + 5 + 2 * components;
        jpeg[params] = 0;
        jpeg[params + 1] = 0;
        jpeg[params + 2] = 0;
    }
    return jpeg;
}

QByteArray withoutRestartMarker(QByteArray jpeg, int index)
{
    const JpegLayout layout = jpegLayout(jpeg);
    if (index >= layout.restarts.size())
        qFatal("withoutRestartMarker: the JPEG has %d restart markers", int(layout.restarts.size()));
    return jpeg.remove(layout.restarts[index], 2);
}

QByteArray withRenumberedRestartMarker(QByteArray jpeg, int index)
{
    const JpegLayout layout = jpegLayout(jpeg);
    if (index >= layout.restarts.size())
        qFatal("withRenumberedRestartMarker: the JPEG has %d restart markers", int(layout.restarts.size()));
    const int at = layout.restarts[index] + 1;
    jpeg[at] = char(0xD0 + ((byteAt(jpeg, at) - 0xD0 + 1) & 7));
    return jpeg;
}

QByteArray withoutScan(QByteArray jpeg, int index)
{
    const JpegLayout layout = jpegLayout(jpeg);
    if (index >= layout.scans.size())
        qFatal("withoutScan: the JPEG has %d scans", int(layout.scans.size()));
    return jpeg.remove(layout.scans[index], layout.scanEnds[index] - layout.scans[index]);
}

QByteArray withCorruptEntropyData(QByteArray jpeg)
{
    const JpegLayout layout = jpegLayout(jpeg);
    if (layout.scans.isEmpty())
        qFatal("withCorruptEntropyData: not a JPEG");
    const int sos = layout.scans.first();
    const int dataStart = sos + 2 + ((byteAt(jpeg, sos + 2) << 8) | byteAt(jpeg, sos + 3));
    const int dataEnd = layout.scans.size() > 1 ? layout.scans[1] : layout.end;
    int at = dataStart + (dataEnd - dataStart) / 2;
    // Start on a byte that is not the second half of a stuffed or marker pair.
    while (byteAt(jpeg, at - 1) == 0xFF || byteAt(jpeg, at) == 0xFF)
        ++at;
    for (int i = 0; i < 16; i += 2) {
        jpeg[at + i] = char(0xFF);
        jpeg[at + i + 1] = 0;
    }
    return jpeg;
}

QByteArray withStrayBytesBeforeScan(QByteArray jpeg, int count)
{
    const JpegLayout layout = jpegLayout(jpeg);
    if (layout.scans.isEmpty())
        qFatal("withStrayBytesBeforeScan: not a JPEG");
    return jpeg.insert(layout.scans.first(), QByteArray(count, '\0'));
}

} // namespace DamagedFiles
