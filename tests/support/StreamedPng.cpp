#include "StreamedPng.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <array>
#include <cstdint>

namespace StreamedPng {

namespace {

const std::array<quint32, 256>& crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

class PngFile {
public:
    explicit PngFile(const QString& path) : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        put(QByteArray("\x89PNG\r\n\x1a\n", 8));
    }

    void chunk(const char* type, const QByteArray& data) { put(StreamedPng::chunk(type, data)); }

    void close()
    {
        if (!m_file.flush())
            qFatal("cannot write %s", qPrintable(m_file.fileName()));
        m_file.close();
    }

private:
    void put(const QByteArray& bytes)
    {
        if (m_file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(m_file.fileName()));
    }

    QFile m_file;
};

// Deflate's bit order: values go in least significant bit first, Huffman
// codes most significant bit first. Full buffers go out as IDAT chunks.
class DeflateStream {
public:
    explicit DeflateStream(PngFile& png) : m_png(png) {}

    void bits(quint32 value, int count)
    {
        m_accumulator |= quint64(value) << m_count;
        m_count += count;
        while (m_count >= 8) {
            byte(uchar(m_accumulator & 0xFFu));
            m_accumulator >>= 8;
            m_count -= 8;
        }
    }

    void code(quint32 code, int length)
    {
        quint32 reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((code >> i) & 1u) << (length - 1 - i);
        bits(reversed, length);
    }

    void alignToByte()
    {
        if (m_count > 0)
            bits(0, 8 - m_count);
    }

    void byte(uchar b)
    {
        m_buffer.append(char(b));
        if (m_buffer.size() >= kChunkBytes)
            flush();
    }

    void flush()
    {
        if (!m_buffer.isEmpty())
            m_png.chunk("IDAT", m_buffer);
        m_buffer.clear();
    }

private:
    static constexpr int kChunkBytes = 1 << 20;
    PngFile& m_png;
    QByteArray m_buffer;
    quint64 m_accumulator = 0;
    int m_count = 0;
};

} // namespace

QByteArray chunk(const char* type, const QByteArray& data)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), bytes.data());
    const QByteArray body = QByteArray(type, 4) + data;
    bytes += body;
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : body)
        crc = crcTable()[(crc ^ quint8(c)) & 0xFFu] ^ (crc >> 8);
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(~crc, tail.data());
    return bytes + tail;
}

QString writeBlack(QSize size, Kind kind, const QString& dir, const QString& name)
{
    if (size.width() <= 0 || size.height() <= 0)
        qFatal("StreamedPng::writeBlack: empty size");
    int depth = 8, colourType = 0, bitsPerPixel = 8;
    if (kind == Kind::Grey1) {
        depth = 1;
        bitsPerPixel = 1;
    } else if (kind == Kind::Rgb8) {
        colourType = 2;
        bitsPerPixel = 24;
    }
    const QString path = QDir(dir).filePath(name);
    PngFile png(path);
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(size.width()), header.data());
    qToBigEndian<quint32>(quint32(size.height()), header.data() + 4);
    header[8] = char(depth);
    header[9] = char(colourType);
    png.chunk("IHDR", header);

    // Every byte of the filtered rows is zero: one literal zero, then copies
    // of 258 bytes at distance 1, then the rest as literals.
    const quint64 rowBytes = 1 + (quint64(size.width()) * quint64(bitsPerPixel) + 7) / 8;
    const quint64 total = rowBytes * quint64(size.height());
    DeflateStream stream(png);
    stream.byte(0x78); // zlib: deflate, 32 KiB window
    stream.byte(0x01); // no dictionary, fastest; header divisible by 31
    stream.bits(1, 1); // last block
    stream.bits(1, 2); // fixed Huffman codes
    const quint32 literalZero = 0x30; // 8-bit code of literal 0
    stream.code(literalZero, 8);
    const quint64 rest = total - 1;
    for (quint64 i = 0; i < rest / 258; ++i) {
        stream.code(0xC5, 8); // length 258: symbol 285, no extra bits
        stream.code(0, 5);    // distance 1: code 0, no extra bits
    }
    for (quint64 i = 0; i < rest % 258; ++i)
        stream.code(literalZero, 8);
    stream.code(0, 7); // end of block: symbol 256
    stream.alignToByte();
    // Adler-32 of zeros: A stays 1, B grows by 1 for every byte.
    const quint32 adler = (quint32(total % 65521u) << 16) | 1u;
    for (int shift = 24; shift >= 0; shift -= 8)
        stream.byte(uchar((adler >> shift) & 0xFFu));
    stream.flush();
    png.chunk("IEND", QByteArray());
    png.close();
    return path;
}

} // namespace StreamedPng
