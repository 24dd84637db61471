// Writes the seed corpora of the fuzz targets: small DNGs of every preview
// kind and orientation, and JPEG/EXIF blocks in both byte orders.
#include "DngWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool save(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Minimal TIFF/EXIF writer: directory 0 with Make, Model and Orientation,
// an EXIF directory (exposure, f-number, ISO) and a GPS directory.
class ExifBlock
{
public:
    explicit ExifBlock(bool le)
        : m_le(le)
    {
    }

    QByteArray build()
    {
        QByteArray t = QByteArray(m_le ? "II" : "MM") + u16(42) + u32(8);
        // Directory 0: 5 entries, values after it.
        const quint32 ifd0 = 8, ifd0Size = 2 + 5 * 12 + 4;
        const quint32 makeAt = ifd0 + ifd0Size, modelAt = makeAt + 8;
        const quint32 exifAt = modelAt + 10;
        const quint32 exifSize = 2 + 3 * 12 + 4;
        const quint32 exposureAt = exifAt + exifSize, fnumberAt = exposureAt + 8;
        const quint32 gpsAt = fnumberAt + 8;
        const quint32 gpsSize = 2 + 2 * 12 + 4;
        const quint32 latAt = gpsAt + gpsSize;
        t += u16(5) + entry(271, 2, 8, makeAt) + entry(272, 2, 10, modelAt) + entryShort(274, 1)
             + entry(34665, 4, 1, exifAt) + entry(34853, 4, 1, gpsAt) + u32(0);
        t += QByteArray("Vantrel\0", 8) + QByteArray("Test Cam\0\0", 10);
        t += u16(3) + entry(33434, 5, 1, exposureAt) + entry(33437, 5, 1, fnumberAt) + entryShort(34855, 100) + u32(0);
        t += u32(1) + u32(125) + u32(28) + u32(10);
        t += u16(2) + entry(1, 2, 2, m_le ? 0x4eu : 0x4e000000u) + entry(2, 5, 3, latAt) + u32(0);
        t += u32(48) + u32(1) + u32(51) + u32(1) + u32(295) + u32(10);
        return t;
    }

private:
    QByteArray u16(quint16 v) const
    {
        QByteArray b(2, '\0');
        b[m_le ? 0 : 1] = char(v & 0xff);
        b[m_le ? 1 : 0] = char(v >> 8);
        return b;
    }
    QByteArray u32(quint32 v) const
    {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[m_le ? i : 3 - i] = char((v >> (8 * i)) & 0xff);
        return b;
    }
    QByteArray entry(quint16 tag, quint16 type, quint32 count, quint32 value) const
    {
        return u16(tag) + u16(type) + u32(count) + u32(value);
    }
    QByteArray entryShort(quint16 tag, quint16 value) const
    {
        return u16(tag) + u16(3) + u32(1) + u16(value) + u16(0);
    }
    bool m_le;
};

QByteArray jpegWithExif(const QByteArray& tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray j("\xff\xd8", 2);
    const QByteArray xmp("http://ns.adobe.com/xap/1.0/\0<x/>", 33);
    j += QByteArray("\xff\xe1", 2) + char((xmp.size() + 2) >> 8) + char((xmp.size() + 2) & 0xff) + xmp;
    j += QByteArray("\xff\xe1", 2) + char((payload.size() + 2) >> 8) + char((payload.size() + 2) & 0xff) + payload;
    j += QByteArray("\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00\x12\x34\xff\xd9", 14);
    return j;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <raw-corpus-dir> <exif-corpus-dir>\n", argv[0]);
        return 2;
    }
    const QDir raw(QString::fromLocal8Bit(argv[1]));
    const QDir exif(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(raw.path());
    QDir().mkpath(exif.path());

    int written = 0;
    const DngSpec::Preview kinds[] = {DngSpec::Preview::None, DngSpec::Preview::Jpeg, DngSpec::Preview::Rgb,
                                      DngSpec::Preview::Grey};
    for (int orientation : {1, 3, 5, 6, 8}) {
        for (int k = 0; k < 4; ++k) {
            DngSpec spec;
            spec.scene = DngWriter::quadrantScene(32, 24);
            spec.orientation = orientation;
            spec.preview = kinds[k];
            spec.previewImage = DngWriter::quadrantScene(16, 12);
            spec.jpegQuality = 50;
            written += save(raw.filePath(QStringLiteral("dng_o%1_p%2.dng").arg(orientation).arg(k)),
                            DngWriter::build(spec));
        }
    }
    for (bool le : {true, false}) {
        const QByteArray tiff = ExifBlock(le).build();
        const QString order = le ? QStringLiteral("le") : QStringLiteral("be");
        written += save(exif.filePath(QStringLiteral("jpeg_%1.jpg").arg(order)), jpegWithExif(tiff));
        written += save(exif.filePath(QStringLiteral("app1_%1.bin").arg(order)), QByteArray("Exif\0\0", 6) + tiff);
    }
    // A DNG is a TIFF: its directory as an EXIF block.
    DngSpec spec;
    spec.scene = DngWriter::quadrantScene(8, 8);
    written += save(exif.filePath(QStringLiteral("jpeg_dng.jpg")), jpegWithExif(DngWriter::build(spec)));
    std::printf("%d seed files written\n", written);
    return 0;
}
