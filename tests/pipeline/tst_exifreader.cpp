#include "ExifReader.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QTest>
#include <QVector>

#include <functional>

namespace {

// One directory entry as written: either a value (placed inline or after the
// directory) or a raw count and value field, for hostile entries.
struct Entry
{
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray value;     // encoded value; empty with raw
    bool raw = false;
    quint32 rawField = 0; // the value/offset field of a raw entry
};

class TiffWriter
{
public:
    explicit TiffWriter(bool littleEndian)
        : le(littleEndian)
    {
    }

    QByteArray u16(quint16 v) const
    {
        QByteArray b(2, '\0');
        b[le ? 0 : 1] = char(v & 0xff);
        b[le ? 1 : 0] = char(v >> 8);
        return b;
    }
    QByteArray u32(quint32 v) const
    {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[le ? i : 3 - i] = char((v >> (8 * i)) & 0xff);
        return b;
    }

    Entry ascii(quint16 tag, const QByteArray& s, bool terminate = true) const
    {
        QByteArray v = s;
        if (terminate)
            v.append('\0');
        return {tag, 2, quint32(v.size()), v};
    }
    Entry shorts(quint16 tag, std::initializer_list<quint16> vs) const
    {
        QByteArray v;
        for (quint16 x : vs)
            v += u16(x);
        return {tag, 3, quint32(vs.size()), v};
    }
    Entry longs(quint16 tag, std::initializer_list<quint32> vs) const
    {
        QByteArray v;
        for (quint32 x : vs)
            v += u32(x);
        return {tag, 4, quint32(vs.size()), v};
    }
    Entry byte(quint16 tag, quint8 b) const { return {tag, 1, 1, QByteArray(1, char(b))}; }
    Entry rationals(quint16 tag, std::initializer_list<std::pair<qint64, qint64>> vs, bool isSigned = false) const
    {
        QByteArray v;
        for (const auto& r : vs)
            v += u32(quint32(r.first)) + u32(quint32(r.second));
        return {tag, quint16(isSigned ? 10 : 5), quint32(vs.size()), v};
    }
    static Entry rawEntry(quint16 tag, quint16 type, quint32 count, quint32 field)
    {
        return {tag, type, count, {}, true, field};
    }

    // Appends a directory at the end of `out`; returns its offset. Pointer
    // entries name a directory appended later through `patch`.
    quint32 writeIfd(QByteArray& out, const QVector<Entry>& entries) const
    {
        while (out.size() % 2)
            out.append('\0');
        const quint32 offset = quint32(out.size());
        quint32 external = offset + 2 + 12 * quint32(entries.size()) + 4;
        QByteArray tail;
        out += u16(quint16(entries.size()));
        for (const Entry& e : entries) {
            out += u16(e.tag) + u16(e.type) + u32(e.count);
            if (e.raw) {
                out += u32(e.rawField);
            } else if (e.value.size() <= 4) {
                out += e.value + QByteArray(4 - e.value.size(), '\0');
            } else {
                out += u32(external + quint32(tail.size()));
                tail += e.value;
                if (tail.size() % 2)
                    tail.append('\0');
            }
        }
        out += u32(0);
        out += tail;
        return offset;
    }

    // The whole TIFF block: directory 0, then the EXIF and GPS directories.
    QByteArray build(QVector<Entry> ifd0, const QVector<Entry>& exif, const QVector<Entry>& gps) const
    {
        QByteArray out = QByteArray(le ? "II" : "MM") + u16(42) + u32(8);
        if (!exif.isEmpty())
            ifd0.append(rawEntry(34665, 4, 1, 0));
        if (!gps.isEmpty())
            ifd0.append(rawEntry(34853, 4, 1, 0));
        writeIfd(out, ifd0);
        if (!exif.isEmpty())
            setPointer(out, 34665, writeIfd(out, exif));
        if (!gps.isEmpty())
            setPointer(out, 34853, writeIfd(out, gps));
        return out;
    }

    // Sets the value field of the pointer entry `tag` in directory 0.
    void setPointer(QByteArray& tiff, quint16 tag, quint32 target) const
    {
        const int n = int(readU16(tiff, 8));
        for (int i = 0; i < n; ++i)
            if (readU16(tiff, 10 + 12 * i) == tag)
                tiff.replace(10 + 12 * i + 8, 4, u32(target));
    }

    quint16 readU16(const QByteArray& b, int at) const
    {
        const auto lo = quint8(b[le ? at : at + 1]), hi = quint8(b[le ? at + 1 : at]);
        return quint16(lo | hi << 8);
    }

    bool le;
};

QByteArray exifSegment(const QByteArray& tiff)
{
    return QByteArray("Exif\0\0", 6) + tiff;
}

QByteArray segment(quint8 marker, const QByteArray& payload)
{
    QByteArray s;
    s.append(char(0xff)).append(char(marker));
    const int len = payload.size() + 2;
    s.append(char(len >> 8)).append(char(len & 0xff));
    return s + payload;
}

// A small JPEG file: JFIF, an XMP APP1 (not EXIF), the EXIF APP1, a scan, EOI.
QByteArray jpegWith(const QByteArray& app1Payload, bool withXmp = true)
{
    QByteArray j("\xff\xd8", 2);
    j += segment(0xe0, QByteArray("JFIF\0\x01\x02\0\0\x01\0\x01\0\0", 14));
    if (withXmp)
        j += segment(0xe1, QByteArray("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 42));
    if (!app1Payload.isEmpty())
        j += segment(0xe1, app1Payload);
    j += segment(0xda, QByteArray("\x01\x01\0\0\x3f\0", 6));
    j += QByteArray("\x12\x34\xff\x00\x56", 5); // entropy-coded bytes with a stuffed FF
    j += QByteArray("\xff\xd9", 2);
    return j;
}

QByteArray fullTiff(bool le)
{
    TiffWriter w(le);
    return w.build(
        {w.shorts(258, {8, 8, 8}), w.ascii(270, "A test picture"), w.ascii(271, "Vantrel"), w.ascii(272, "Test Cam 1"),
         w.shorts(274, {6}), w.ascii(305, "unit test"), w.ascii(306, "2024:05:01 12:00:00"),
         w.ascii(33432, "Nobody")},
        {w.rationals(33434, {{1, 125}}), w.rationals(33437, {{28, 10}}), w.shorts(34850, {2}), w.shorts(34855, {100}),
         w.ascii(36867, "2024:05:01 11:59:58"), w.ascii(36868, "2024:05:01 11:59:59"),
         w.rationals(37377, {{7, 1}}, true), w.rationals(37380, {{-2, 3}}, true), w.rationals(37382, {{35, 10}}),
         w.shorts(37383, {5}), w.shorts(37385, {16}), w.rationals(37386, {{50, 1}}), w.ascii(37521, "42"),
         w.longs(40962, {6000}), w.shorts(40963, {4000}), w.rationals(41486, {{3000, 1}}),
         w.rationals(41487, {{3000, 1}}), w.shorts(41488, {3}), w.shorts(41989, {75}),
         w.rationals(42034, {{24, 1}, {70, 1}, {28, 10}, {28, 10}}), w.ascii(42035, "Lensmaker"),
         w.ascii(42036, "Zoom 24-70")},
        {w.ascii(1, "N"), w.rationals(2, {{48, 1}, {51, 1}, {295, 10}}), w.ascii(3, "E"),
         w.rationals(4, {{2, 1}, {17, 1}, {40, 1}}), w.byte(5, 0), w.rationals(6, {{35, 1}}),
         w.rationals(11, {{12, 10}})});
}

int parseJpeg(ExifReader& reader, const QByteArray& data)
{
    return reader.parseJpeg(reinterpret_cast<const std::uint8_t*>(data.constData()), unsigned(data.size()));
}

int parseSegment(ExifReader& reader, const QByteArray& data)
{
    return reader.parseExifSegment(reinterpret_cast<const std::uint8_t*>(data.constData()), unsigned(data.size()));
}

} // namespace

class TestExifReader : public QObject
{
    Q_OBJECT

private slots:
    void bothByteOrders_data();
    void bothByteOrders();
    void jpegErrors_data();
    void jpegErrors();
    void segmentEdges_data();
    void segmentEdges();
    void resetBetweenFiles();
    void hostileBlocks();
};

void TestExifReader::bothByteOrders_data()
{
    QTest::addColumn<bool>("littleEndian");
    QTest::newRow("II") << true;
    QTest::newRow("MM") << false;
}

void TestExifReader::bothByteOrders()
{
    QFETCH(bool, littleEndian);
    ExifReader r;
    QCOMPARE(parseJpeg(r, jpegWith(exifSegment(fullTiff(littleEndian)))), int(ExifSuccess));
    QCOMPARE(r.littleEndian, littleEndian);
    QCOMPARE(r.bitsPerSample, 8);
    QCOMPARE(r.imageDescription, std::string("A test picture"));
    QCOMPARE(r.make, std::string("Vantrel"));
    QCOMPARE(r.model, std::string("Test Cam 1"));
    QCOMPARE(r.orientation, 6);
    QCOMPARE(r.software, std::string("unit test"));
    QCOMPARE(r.dateTime, std::string("2024:05:01 12:00:00"));
    QCOMPARE(r.copyright, std::string("Nobody"));

    QCOMPARE(r.exposureTime, 1.0 / 125.0);
    QCOMPARE(r.fNumber, 2.8);
    QCOMPARE(r.exposureProgram, 2);
    QCOMPARE(r.isoSpeed, 100);
    QCOMPARE(r.dateTimeOriginal, std::string("2024:05:01 11:59:58"));
    QCOMPARE(r.dateTimeDigitized, std::string("2024:05:01 11:59:59"));
    QCOMPARE(r.shutterSpeedValue, 7.0);
    QCOMPARE(r.exposureBias, -2.0 / 3.0);
    QCOMPARE(r.subjectDistance, 3.5);
    QCOMPARE(r.meteringMode, 5);
    QCOMPARE(r.flash, 16);
    QCOMPARE(r.focalLength, 50.0);
    QCOMPARE(r.subSecTimeOriginal, std::string("42"));
    QCOMPARE(r.imageWidth, 6000u);
    QCOMPARE(r.imageHeight, 4000u);
    QCOMPARE(r.focalPlaneXResolution, 3000.0);
    QCOMPARE(r.focalPlaneResolutionUnit, 3);
    QCOMPARE(r.focalLengthIn35mm, 75);
    QCOMPARE(r.lensMinFocalLength, 24.0);
    QCOMPARE(r.lensMaxFocalLength, 70.0);
    QCOMPARE(r.lensMinFNumberAtMaxFocal, 2.8);
    QCOMPARE(r.lensMake, std::string("Lensmaker"));
    QCOMPARE(r.lensModel, std::string("Zoom 24-70"));

    QCOMPARE(r.gpsLatitudeRef, std::string("N"));
    QVERIFY(qAbs(r.gpsLatitude - (48.0 + 51.0 / 60.0 + 29.5 / 3600.0)) < 1e-9);
    QCOMPARE(r.gpsLongitudeRef, std::string("E"));
    QVERIFY(qAbs(r.gpsLongitude - (2.0 + 17.0 / 60.0 + 40.0 / 3600.0)) < 1e-9);
    QCOMPARE(r.gpsAltitudeRef, 0);
    QCOMPARE(r.gpsAltitude, 35.0);
    QCOMPARE(r.gpsDop, 1.2);
}

void TestExifReader::jpegErrors_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("expected");
    const QByteArray good = jpegWith(exifSegment(fullTiff(true)));
    QTest::newRow("empty") << QByteArray() << int(ExifNotJpeg);
    QTest::newRow("three bytes") << QByteArray("\xff\xd8\xff", 3) << int(ExifNotJpeg);
    QTest::newRow("png signature") << QByteArray("\x89PNG\r\n\x1a\n", 8) << int(ExifNotJpeg);
    QTest::newRow("no end marker") << good.left(good.size() - 2) << int(ExifNotJpeg);
    QTest::newRow("end marker inside start") << QByteArray("\xff\xd8\x00\x00", 4) << int(ExifNotJpeg);
    QTest::newRow("end right after start") << QByteArray("\xff\xd8\xff\xd9", 4) << int(ExifNoExifBlock);
    QTest::newRow("no app1") << jpegWith({}, false) << int(ExifNoExifBlock);
    QTest::newRow("xmp app1 only") << jpegWith({}, true) << int(ExifNoExifBlock);
    QTest::newRow("good") << good << int(ExifSuccess);

    // APP1 length field: 15 is too short for the EXIF and TIFF headers.
    QByteArray shortApp1("\xff\xd8\xff\xe1\x00\x0f", 6);
    shortApp1 += QByteArray("Exif\0\0II*\0\x08\0\0\0", 14) + QByteArray("\xff\xd9", 2);
    QTest::newRow("app1 length 15") << shortApp1 << int(ExifCorrupt);

    QByteArray pastEnd = good;
    const int app1 = pastEnd.indexOf(QByteArray("Exif\0\0", 6)) - 4;
    pastEnd[app1 + 2] = char(0x7f); // length far beyond the file
    QTest::newRow("app1 length past end") << pastEnd << int(ExifCorrupt);

    QByteArray notMarker = good;
    notMarker[2] = 0x00;
    QTest::newRow("garbage instead of a marker") << notMarker << int(ExifCorrupt);

    // A segment whose length runs into the end marker.
    QByteArray cut("\xff\xd8\xff\xe0\x00\x10JFIF", 10);
    cut += QByteArray("\xff\xd9", 2);
    QTest::newRow("segment runs past end") << cut << int(ExifCorrupt);
}

void TestExifReader::jpegErrors()
{
    QFETCH(QByteArray, data);
    QFETCH(int, expected);
    ExifReader r;
    // Copy into an exact-size heap block so any over-read is caught by ASan.
    std::vector<std::uint8_t> exact(data.begin(), data.end());
    QCOMPARE(r.parseJpeg(exact.empty() ? nullptr : exact.data(), unsigned(exact.size())), expected);
}

void TestExifReader::segmentEdges_data()
{
    QTest::addColumn<QByteArray>("segment");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QByteArray>("make"); // expected Make on success

    for (bool le : {true, false}) {
        const char* order = le ? "II" : "MM";
        TiffWriter w(le);
        auto row = [&](const char* name) { return &QTest::addRow("%s %s", order, name); };

        *row("five bytes") << QByteArray("Exif\0", 5) << int(ExifNoExifBlock) << QByteArray();
        *row("wrong signature") << QByteArray("Exif\0\x01", 6) + w.build({}, {}, {}) << int(ExifNoExifBlock)
                                << QByteArray();
        *row("thirteen bytes") << exifSegment(w.build({}, {}, {})).left(13) << int(ExifCorrupt) << QByteArray();
        QByteArray badOrder = exifSegment(w.build({}, {}, {}));
        badOrder[6] = 'I';
        badOrder[7] = 'M';
        *row("byte order IM") << badOrder << int(ExifUnknownByteOrder) << QByteArray();
        QByteArray badMagic = exifSegment(w.build({}, {}, {}));
        badMagic[le ? 8 : 9] = 43;
        *row("magic 43") << badMagic << int(ExifCorrupt) << QByteArray();

        // Directory 0 right at the end: its count fits, nothing more.
        QByteArray tail = QByteArray(le ? "II" : "MM") + w.u16(42) + w.u32(8) + w.u16(0);
        *row("empty directory at the very end") << exifSegment(tail) << int(ExifSuccess) << QByteArray();
        QByteArray ifdPast = QByteArray(le ? "II" : "MM") + w.u16(42) + w.u32(9) + w.u16(0);
        *row("directory offset past end") << exifSegment(ifdPast) << int(ExifCorrupt) << QByteArray();
        QByteArray hugeOffset = QByteArray(le ? "II" : "MM") + w.u16(42) + w.u32(0xfffffffe) + w.u16(0);
        *row("directory offset wraps") << exifSegment(hugeOffset) << int(ExifCorrupt) << QByteArray();
        QByteArray manyEntries = QByteArray(le ? "II" : "MM") + w.u16(42) + w.u32(8) + w.u16(2) + QByteArray(12, '\0');
        *row("entry count past end") << exifSegment(manyEntries) << int(ExifCorrupt) << QByteArray();

        // Make whose text ends exactly at the end of the block, without a terminator.
        {
            QByteArray t = w.build({TiffWriter::rawEntry(271, 2, 7, 0)}, {}, {});
            const quint32 at = quint32(t.size());
            t += "Vantrel";
            t.replace(8 + 2 + 8, 4, w.u32(at));
            *row("unterminated text at the end") << exifSegment(t) << int(ExifSuccess) << QByteArray("Vantrel");
            QByteArray over = t;
            over.replace(8 + 2 + 8, 4, w.u32(at + 1));
            *row("text one byte past the end") << exifSegment(over) << int(ExifCorrupt) << QByteArray();
        }
        *row("inline text without terminator")
            << exifSegment(w.build({w.ascii(271, "Abcd", false)}, {}, {})) << int(ExifSuccess) << QByteArray("Abcd");
        *row("text stops at first NUL")
            << exifSegment(w.build({w.ascii(271, QByteArray("Ab\0cdef", 7))}, {}, {})) << int(ExifSuccess)
            << QByteArray("Ab");
        // count x 8 wraps to 0 in 32 bits; offset + size wraps in 32 bits.
        *row("rational count overflows 32 bits")
            << exifSegment(w.build({}, {TiffWriter::rawEntry(33434, 5, 0x20000000, 8)}, {})) << int(ExifCorrupt)
            << QByteArray();
        *row("offset plus size wraps")
            << exifSegment(w.build({TiffWriter::rawEntry(271, 2, 16, 0xfffffff8)}, {}, {})) << int(ExifCorrupt)
            << QByteArray();
        *row("unsupported type skipped")
            << exifSegment(w.build({TiffWriter::rawEntry(271, 13, 0xffffffff, 0xffffffff), w.ascii(272, "M")}, {}, {}))
            << int(ExifSuccess) << QByteArray();
        *row("unknown tag not read")
            << exifSegment(w.build({TiffWriter::rawEntry(0x9999, 7, 0xffffffff, 0xffffffff)}, {}, {}))
            << int(ExifSuccess) << QByteArray();
        {
            QByteArray t = w.build({w.ascii(271, "Cam")}, {w.shorts(34855, {200})}, {});
            w.setPointer(t, 34665, quint32(t.size())); // the EXIF directory past the end
            *row("exif pointer past end") << exifSegment(t) << int(ExifCorrupt) << QByteArray();
        }
    }
}

void TestExifReader::segmentEdges()
{
    QFETCH(QByteArray, segment);
    QFETCH(int, expected);
    QFETCH(QByteArray, make);
    ExifReader r;
    std::vector<std::uint8_t> exact(segment.begin(), segment.end());
    QCOMPARE(r.parseExifSegment(exact.data(), unsigned(exact.size())), expected);
    if (expected == ExifSuccess)
        QCOMPARE(QByteArray::fromStdString(r.make), make);

    // Wrapped into a JPEG, the same block gives the same answer (or 1985 for
    // blocks too short to be an APP1 with EXIF).
    if (segment.size() >= 14 && segment.startsWith(QByteArray("Exif\0\0", 6))) {
        const QByteArray jpeg = jpegWith(segment);
        std::vector<std::uint8_t> j(jpeg.begin(), jpeg.end());
        ExifReader viaJpeg;
        QCOMPARE(viaJpeg.parseJpeg(j.data(), unsigned(j.size())), expected);
    }
}

void TestExifReader::resetBetweenFiles()
{
    ExifReader r;
    QCOMPARE(parseJpeg(r, jpegWith(exifSegment(fullTiff(false)))), int(ExifSuccess));
    QVERIFY(r.gpsLatitude > 0);
    TiffWriter w(true);
    QCOMPARE(parseJpeg(r, jpegWith(exifSegment(w.build({w.ascii(271, "Other")}, {}, {})))), int(ExifSuccess));
    QCOMPARE(r.make, std::string("Other"));
    QCOMPARE(r.model, std::string());
    QCOMPARE(r.exposureTime, 0.0);
    QCOMPARE(r.gpsLatitude, 0.0);
    QCOMPARE(r.gpsLatitudeRef, std::string());
    QVERIFY(r.littleEndian);

    // The payload on its own, too.
    QCOMPARE(parseSegment(r, exifSegment(fullTiff(false))), int(ExifSuccess));
    QCOMPARE(parseSegment(r, exifSegment(w.build({w.ascii(272, "Model only")}, {}, {}))), int(ExifSuccess));
    QCOMPARE(r.make, std::string());
    QCOMPARE(r.isoSpeed, 0);
    QCOMPARE(r.model, std::string("Model only"));
}

void TestExifReader::hostileBlocks()
{
    // Every truncation and many random corruptions of a valid block: the
    // reader answers with a code and never reads outside (ASan watches).
    QRandomGenerator rng(20240501);
    for (bool le : {true, false}) {
        const QByteArray good = exifSegment(fullTiff(le));
        for (int len = 0; len <= good.size(); ++len) {
            std::vector<std::uint8_t> cut(good.begin(), good.begin() + len);
            ExifReader r;
            const int code = r.parseExifSegment(cut.empty() ? nullptr : cut.data(), unsigned(cut.size()));
            QVERIFY(code == ExifSuccess || code == ExifNoExifBlock || code == ExifCorrupt);
        }
        for (int round = 0; round < 4000; ++round) {
            std::vector<std::uint8_t> bad(good.begin(), good.end());
            const int flips = 1 + int(rng.bounded(8));
            for (int f = 0; f < flips; ++f) {
                const quint32 at = 6 + rng.bounded(quint32(bad.size() - 6));
                bad[at] = std::uint8_t(rng.bounded(4) == 0 ? 0xff : rng.bounded(256));
            }
            ExifReader r;
            const int code = r.parseExifSegment(bad.data(), unsigned(bad.size()));
            QVERIFY(code == ExifSuccess || code == ExifUnknownByteOrder || code == ExifCorrupt);
            const QByteArray jpeg = jpegWith(QByteArray(reinterpret_cast<const char*>(bad.data()), int(bad.size())));
            std::vector<std::uint8_t> j(jpeg.begin(), jpeg.end());
            QCOMPARE(r.parseJpeg(j.data(), unsigned(j.size())), code);
        }
    }
}

QTEST_GUILESS_MAIN(TestExifReader)
#include "tst_exifreader.moc"
