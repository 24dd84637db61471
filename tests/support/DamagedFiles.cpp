#include "DamagedFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

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

QString writeCut(const QByteArray& bytes, double fraction, const QString& dir, const QString& name)
{
    const int length = fraction >= 1.0 ? int(bytes.size()) : qBound(1, int(bytes.size() * fraction), int(bytes.size()) - 1);
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.left(length)) != length)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

namespace {

quint32 pngCrc(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    uchar length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    png.append(reinterpret_cast<const char*>(length), 4);
    const QByteArray body = QByteArray(type, 4) + data;
    png.append(body);
    uchar crc[4];
    qToBigEndian<quint32>(pngCrc(body), crc);
    png.append(reinterpret_cast<const char*>(crc), 4);
}

} // namespace

QString writePngHeaderOf(int width, int height, const QString& dir, const QString& name)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 0; // greyscale
    appendChunk(png, "IHDR", header);
    // Four rows of black: filter byte 0 and zero samples.
    const QByteArray rows(4 * (width + 1), '\0');
    // qCompress is a zlib stream behind a four-byte length.
    const QByteArray packed = qCompress(rows).mid(4);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", QByteArray());
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace DamagedFiles
