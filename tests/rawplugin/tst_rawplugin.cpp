#include "DeviceDatastream.h"
#include "DngWriter.h"
#include "QRawPlugin.h"
#include "RawContent.h"
#include "RawIOHandler.h"
#include "TestPaths.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <QtPlugin>

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>
#include <vector>

Q_IMPORT_PLUGIN(QRawPlugin)

namespace {

enum class Tint { Red, Green, Blue, White, Magenta };

// Colour class of a developed pixel: LibRaw's tone curve moves the values,
// so only the dominant channels are checked.
bool looksLike(QRgb p, Tint t)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    switch (t) {
    case Tint::Red: return r > g + 60 && r > b + 60;
    case Tint::Green: return g > r + 60 && g > b + 60;
    case Tint::Blue: return b > r + 60 && b > g + 60;
    case Tint::White: return r > 120 && qAbs(r - g) < 30 && qAbs(r - b) < 30;
    case Tint::Magenta: return r > g + 60 && b > g + 60;
    }
    return false;
}

// Corner colours of the quadrant scene as shown for each EXIF orientation.
struct Corners
{
    Tint tl, tr, bl, br;
};

Corners cornersFor(int orientation)
{
    using T = Tint;
    switch (orientation) {
    case 2: return {T::Green, T::Red, T::White, T::Blue};
    case 3: return {T::White, T::Blue, T::Green, T::Red};
    case 4: return {T::Blue, T::White, T::Red, T::Green};
    case 5: return {T::Red, T::Blue, T::Green, T::White};
    case 6: return {T::Blue, T::Red, T::White, T::Green};
    case 7: return {T::White, T::Green, T::Blue, T::Red};
    case 8: return {T::Green, T::White, T::Red, T::Blue};
    default: return {T::Red, T::Green, T::Blue, T::White};
    }
}

QImage flatImage(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// A device that only streams: LibRaw needs random access.
class StreamDevice : public QIODevice
{
public:
    explicit StreamDevice(QByteArray data)
        : m_data(std::move(data))
    {
        open(ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qint64 n = qMin(max, qint64(m_data.size()) - m_pos);
        memcpy(out, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};

// Mean colour of a rectangle, in 8-bit levels per channel.
struct MeanColour
{
    double r, g, b;
};

MeanColour meanColour(const QImage& image, const QRect& rect)
{
    double r = 0, g = 0, b = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
    }
    const double n = double(rect.width()) * rect.height();
    return {r / n, g / n, b / n};
}

double largestDifference(const MeanColour& a, const MeanColour& b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

QString describe(const MeanColour& c)
{
    return QStringLiteral("(%1, %2, %3)").arg(c.r, 0, 'f', 1).arg(c.g, 0, 'f', 1).arg(c.b, 0, 'f', 1);
}

// LibRaw's own command-line developer, set as the handler sets LibRaw:
// camera white balance (-w), four-colour interpolation (-f, which makes it
// VNG), green matching (-G) and sRGB output (-o 1); LibRaw's defaults for
// the rest, as in the handler: the embedded colour matrix, full size, 8 bits,
// BT.709 gamma and automatic brightening, orientation applied. A null
// picture, and why, when the tool is missing or fails.
QImage developWithDcrawEmu(const QString& path, QString* why)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("dcraw_emu"));
    if (tool.isEmpty()) {
        *why = QStringLiteral("dcraw_emu (package libraw-bin) is not installed");
        return {};
    }
    QProcess process;
    process.start(tool, {QStringLiteral("-w"), QStringLiteral("-f"), QStringLiteral("-G"), QStringLiteral("-o"),
                         QStringLiteral("1"), QStringLiteral("-Z"), QStringLiteral("-"), path});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *why = QStringLiteral("dcraw_emu failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    const QImage picture = QImage::fromData(process.readAllStandardOutput(), "PPM");
    if (picture.isNull())
        *why = QStringLiteral("dcraw_emu wrote no picture");
    return picture.convertToFormat(QImage::Format_RGB32);
}

// Largest difference of one channel between two pictures of one size.
int largestPixelDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            worst = std::max({worst, qAbs(qRed(ra[x]) - qRed(rb[x])), qAbs(qGreen(ra[x]) - qGreen(rb[x])),
                              qAbs(qBlue(ra[x]) - qBlue(rb[x]))});
    }
    return worst;
}

// Linear light of an 8-bit level under the BT.709 transfer curve, the
// curve LibRaw develops with by default.
double bt709ToLinear(int level)
{
    const double v = level / 255.0;
    return v < 4.5 * 0.018 ? v / 4.5 : std::pow((v + 0.099) / 1.099, 1 / 0.45);
}

// The shared real DNG of a colour chart, or empty when it is not here.
QString colourChartPath()
{
    const QString dir = sharedTestDataDir();
    const QString path = dir + QStringLiteral("/raw_magiclantern_dng/colorchart.dng");
    return !dir.isEmpty() && QFile::exists(path) ? path : QString();
}

} // namespace

class TestRawPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void pluginIsRegistered();
    void capabilitiesByFormat_data();
    void capabilitiesByFormat();
    void capabilitiesByContent();

    void orientation_data();
    void orientation();
    void autoTransformTurnsOnce();
    void previewChoice_data();
    void previewChoice();
    void failedPreviewFallsBackToDevelopment();
    void previewPixels_data();
    void previewPixels();

    void refusesBadInput_data();
    void refusesBadInput();
    void truncatedImageDataDoesNotCrash();

    void deviceDatastream();
    void rawByContentWhateverTheName_data();
    void rawByContentWhateverTheName();
    void plainTiffsStayWithQt_data();
    void plainTiffsStayWithQt();
    void sizeOnlyMatchesRefused();
    void secondReadOnOneHandler();
    void concurrentReads();
    void realDng();
    void realDngColours();
    void developsToSrgb_data();
    void developsToSrgb();

private:
    QString writeDng(const QString& name, const DngSpec& recipe);
    static DngSpec quadrantSpec(int orientation, DngSpec::Preview preview = DngSpec::Preview::None);

    QTemporaryDir m_dir;
};

void TestRawPlugin::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestRawPlugin::writeDng(const QString& name, const DngSpec& recipe)
{
    const QString path = m_dir.filePath(name);
    if (!DngWriter::write(path, recipe))
        return {};
    return path;
}

DngSpec TestRawPlugin::quadrantSpec(int orientation, DngSpec::Preview preview)
{
    DngSpec recipe;
    recipe.scene = DngWriter::quadrantScene(96, 64);
    recipe.orientation = orientation;
    recipe.preview = preview;
    if (preview != DngSpec::Preview::None)
        recipe.previewImage = DngWriter::quadrantScene(48, 32);
    return recipe;
}

void TestRawPlugin::pluginIsRegistered()
{
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QString& key : QRawPlugin::rawFormatKeys())
        QVERIFY2(formats.contains(key.toLatin1()), qPrintable(key));
    QVERIFY(QImageReader::supportedMimeTypes().contains("image/x-adobe-dng"));
    QVERIFY(QImageReader::supportedMimeTypes().contains("image/x-sigma-x3f"));
}

void TestRawPlugin::capabilitiesByFormat_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("readable");
    for (const QString& key : QRawPlugin::rawFormatKeys())
        QTest::newRow(qPrintable(key)) << key.toLatin1() << true;
    QTest::newRow("tif") << QByteArray("tif") << true;
    QTest::newRow("tiff") << QByteArray("tiff") << true;
    QTest::newRow("upper case") << QByteArray("CR2") << false;
    QTest::newRow("png") << QByteArray("png") << false;
    QTest::newRow("jpeg") << QByteArray("jpeg") << false;
}

void TestRawPlugin::capabilitiesByFormat()
{
    QFETCH(QByteArray, format);
    QFETCH(bool, readable);
    QRawPlugin plugin;
    const auto caps = plugin.capabilities(nullptr, format);
    QCOMPARE(bool(caps & QImageIOPlugin::CanRead), readable);
    QVERIFY(!(caps & QImageIOPlugin::CanWrite));
    QVERIFY(!(caps & QImageIOPlugin::CanReadIncremental));
}

void TestRawPlugin::capabilitiesByContent()
{
    QRawPlugin plugin;
    QCOMPARE(plugin.capabilities(nullptr, QByteArray()), QImageIOPlugin::Capabilities());

    QByteArray dng = DngWriter::build(quadrantSpec(1));
    QVERIFY(!dng.isEmpty());
    QBuffer readable(&dng);
    QVERIFY(readable.open(QIODevice::ReadOnly));
    readable.seek(5);
    QCOMPARE(plugin.capabilities(&readable, QByteArray()), QImageIOPlugin::Capabilities(QImageIOPlugin::CanRead));
    QCOMPARE(readable.pos(), qint64(5));

    QByteArray sink;
    QBuffer writeOnly(&sink);
    QVERIFY(writeOnly.open(QIODevice::WriteOnly));
    QCOMPARE(plugin.capabilities(&writeOnly, QByteArray()), QImageIOPlugin::Capabilities());

    // A device that only streams is refused by the plugin and the handler.
    StreamDevice stream(dng);
    QCOMPARE(plugin.capabilities(&stream, QByteArray()), QImageIOPlugin::Capabilities());
    QVERIFY(!RawIOHandler::canReadDevice(&stream));
    RawIOHandler handler;
    handler.setDevice(&stream);
    QImage image;
    QVERIFY(!handler.canRead() && !handler.read(&image));

    // Found by contents at any position, and the position is kept.
    readable.seek(dng.size());
    QCOMPARE(plugin.capabilities(&readable, QByteArray()), QImageIOPlugin::Capabilities(QImageIOPlugin::CanRead));
    QCOMPARE(readable.pos(), qint64(dng.size()));

    // Whatever name the reader passes on, a camera RAW is claimed by contents
    // and a plain TIFF is not.
    QByteArray tiff = DngWriter::plainTiff(flatImage(32, 32, qRgb(1, 2, 3)), 0);
    QBuffer plain(&tiff);
    QVERIFY(plain.open(QIODevice::ReadOnly));
    for (const QByteArray& format : {QByteArray("tif"), QByteArray("tiff"), QByteArray("bin"), QByteArray("CR2")}) {
        readable.seek(7);
        QCOMPARE(plugin.capabilities(&readable, format), QImageIOPlugin::Capabilities(QImageIOPlugin::CanRead));
        QCOMPARE(readable.pos(), qint64(7));
        QCOMPARE(plugin.capabilities(&plain, format), QImageIOPlugin::Capabilities());
        QCOMPARE(plain.pos(), qint64(0));
    }
}

void TestRawPlugin::orientation_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("preview");
    const struct
    {
        const char* name;
        DngSpec::Preview kind;
    } previews[] = {{"developed", DngSpec::Preview::None},
                    {"jpeg preview", DngSpec::Preview::Jpeg},
                    {"rgb preview", DngSpec::Preview::Rgb}};
    for (int o = 1; o <= 8; ++o)
        for (const auto& p : previews)
            QTest::addRow("orientation %d, %s", o, p.name) << o << int(p.kind);
}

void TestRawPlugin::orientation()
{
    QFETCH(int, orientation);
    QFETCH(int, preview);
    const auto kind = DngSpec::Preview(preview);
    const QString path = writeDng(QStringLiteral("orient%1_%2.dng").arg(orientation).arg(preview),
                                  quadrantSpec(orientation, kind));
    QVERIFY(!path.isEmpty());
    const bool portrait = orientation >= 5;
    const QSize shown = portrait ? QSize(64, 96) : QSize(96, 64);

    QImageReader reader(path);
    QCOMPARE(reader.size(), shown);
    QCOMPARE(reader.imageFormat(), QImage::Format_RGB32);
    QImage image;
    if (kind == DngSpec::Preview::None) {
        QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
        image = reader.read();
        QCOMPARE(image.size(), shown);
        image.save(testOutputDir() + QStringLiteral("/rawplugin_orientation%1.png").arg(orientation));
    } else {
        // Half the preview size: answered from the preview, rotated like the RAW data.
        const QSize target = portrait ? QSize(16, 24) : QSize(24, 16);
        reader.setScaledSize(target);
        QTest::ignoreMessage(QtDebugMsg, "Using thumbnail");
        image = reader.read();
        QCOMPARE(image.size(), target);
    }
    QCOMPARE(image.format(), QImage::Format_RGB32);
    const Corners want = cornersFor(orientation);
    const int w = image.width(), h = image.height();
    const int m = kind == DngSpec::Preview::None ? 4 : 1;
    const struct
    {
        QPoint at;
        Tint tint;
    } checks[] = {{{m, m}, want.tl}, {{w - 1 - m, m}, want.tr}, {{m, h - 1 - m}, want.bl}, {{w - 1 - m, h - 1 - m}, want.br}};
    for (const auto& c : checks) {
        const QRgb p = image.pixel(c.at);
        QVERIFY2(looksLike(p, c.tint), qPrintable(QStringLiteral("(%1,%2) = #%3, want tint %4")
                                                      .arg(c.at.x()).arg(c.at.y()).arg(p & 0xffffff, 6, 16, QLatin1Char('0'))
                                                      .arg(int(c.tint))));
    }
}

void TestRawPlugin::autoTransformTurnsOnce()
{
    // The HDR reader turns on auto-transform: the picture is turned once only.
    const QString path = writeDng(QStringLiteral("UPPER.DNG"), quadrantSpec(6));
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(64, 96));
    QVERIFY(looksLike(image.pixel(4, 4), Tint::Blue));
    QVERIFY(looksLike(image.pixel(59, 4), Tint::Red));
}

void TestRawPlugin::previewChoice_data()
{
    QTest::addColumn<QSize>("scaled");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("usesPreview");
    QTest::addColumn<QSize>("resultSize");
    // Sensor 640 x 480, magenta JPEG preview 800 x 600: the picture tells the path.
    QTest::newRow("thumbnail") << QSize(160, 120) << 1 << true << QSize(160, 120);
    QTest::newRow("other aspect") << QSize(200, 40) << 1 << true << QSize(200, 40);
    QTest::newRow("preview size") << QSize(800, 600) << 1 << true << QSize(800, 600);
    QTest::newRow("full size read") << QSize() << 1 << false << QSize(640, 480);
    QTest::newRow("wider than preview") << QSize(900, 100) << 1 << false << QSize(900, 100);
    QTest::newRow("half unset") << QSize(-1, 100) << 1 << false << QSize(640, 480);
    QTest::newRow("empty target") << QSize(0, 0) << 1 << false << QSize(640, 480);
    // Portrait: the preview is compared after turning it like the target.
    QTest::newRow("portrait thumbnail") << QSize(120, 160) << 6 << true << QSize(120, 160);
    QTest::newRow("portrait full size read") << QSize() << 6 << false << QSize(480, 640);
    QTest::newRow("portrait taller than unturned preview") << QSize(600, 700) << 6 << true << QSize(600, 700);
    QTest::newRow("portrait wider than turned preview") << QSize(700, 600) << 6 << false << QSize(700, 600);
}

void TestRawPlugin::previewChoice()
{
    QFETCH(QSize, scaled);
    QFETCH(int, orientation);
    QFETCH(bool, usesPreview);
    QFETCH(QSize, resultSize);

    DngSpec recipe;
    recipe.scene = flatImage(640, 480, qRgb(20, 200, 20));
    recipe.orientation = orientation;
    recipe.preview = DngSpec::Preview::Jpeg;
    recipe.previewImage = flatImage(800, 600, qRgb(220, 20, 220));
    const QString path = writeDng(QStringLiteral("choice%1.dng").arg(orientation), recipe);
    QVERIFY(!path.isEmpty());

    QImageReader reader(path);
    if (scaled.isValid() || scaled.width() >= 0 || scaled.height() >= 0)
        reader.setScaledSize(scaled);
    QTest::ignoreMessage(QtDebugMsg, usesPreview ? "Using thumbnail" : "Decoding raw data");
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), resultSize);
    QCOMPARE(image.format(), QImage::Format_RGB32);
    const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
    QVERIFY(looksLike(centre, usesPreview ? Tint::Magenta : Tint::Green));
}

void TestRawPlugin::failedPreviewFallsBackToDevelopment()
{
    DngSpec recipe = quadrantSpec(1, DngSpec::Preview::Jpeg);
    QByteArray dng = DngWriter::build(recipe);
    const qsizetype soi = dng.indexOf(QByteArray("\xff\xd8\xff", 3));
    QVERIFY(soi > 0);
    // Keep the SOI marker, wreck the rest of the preview stream.
    for (qsizetype i = soi + 2; i < soi + 300 && i < dng.size(); ++i)
        dng[i] = char(0x5a);
    QBuffer buffer(&dng);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    RawIOHandler handler;
    handler.setDevice(&buffer);
    handler.setOption(QImageIOHandler::ScaledSize, QSize(24, 16));
    QTest::ignoreMessage(QtDebugMsg, "Using thumbnail");
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    QImage image;
    QVERIFY(handler.read(&image));
    QCOMPARE(image.size(), QSize(24, 16));
    QVERIFY(looksLike(image.pixel(2, 2), Tint::Red));
}

void TestRawPlugin::previewPixels_data()
{
    QTest::addColumn<int>("preview");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("rgb bitmap") << int(DngSpec::Preview::Rgb) << false << 0;
    QTest::newRow("grey bitmap") << int(DngSpec::Preview::Grey) << true << 0;
    QTest::newRow("grey jpeg") << int(DngSpec::Preview::Jpeg) << true << 6;
}

// Ramps across and down, so a swapped byte order, an over-read or a wrong
// stride shows up as wrong values.
void TestRawPlugin::previewPixels()
{
    QFETCH(int, preview);
    QFETCH(bool, grey);
    QFETCH(int, tolerance);
    auto expected = [grey](int x, int y) {
        return grey ? qRgb(x * 5, x * 5, x * 5) : qRgb(x * 5, y * 8, 250 - x * 5);
    };
    DngSpec recipe = quadrantSpec(1, DngSpec::Preview(preview));
    QImage picture(48, 32, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, expected(x, y));
    recipe.previewImage = picture;
    const QString path = writeDng(QStringLiteral("preview%1.dng").arg(preview), recipe);
    QImageReader reader(path);
    reader.setScaledSize(QSize(48, 32));
    QTest::ignoreMessage(QtDebugMsg, "Using thumbnail");
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(48, 32));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y), want = expected(x, y);
            QVERIFY2(qAbs(qRed(p) - qRed(want)) <= tolerance && qAbs(qGreen(p) - qGreen(want)) <= tolerance
                         && qAbs(qBlue(p) - qBlue(want)) <= tolerance,
                     qPrintable(QStringLiteral("(%1,%2): %3").arg(x).arg(y).arg(p & 0xffffff, 6, 16)));
        }
    }
}

void TestRawPlugin::refusesBadInput_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<qint64>("position");
    QRandomGenerator rng(1234);
    QByteArray noise(64 * 1024, '\0');
    for (char& c : noise)
        c = char(rng.bounded(256));
    const QByteArray dng = DngWriter::build(quadrantSpec(1, DngSpec::Preview::Jpeg));
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("random bytes") << noise << qint64(17);
    QTest::newRow("tiff header only") << dng.left(8) << qint64(3);
    QTest::newRow("truncated dng") << dng.left(dng.size() / 2) << qint64(100);
    QTest::newRow("tiff magic then noise") << (QByteArray("II*\0\x08\0\0\0", 8) + noise) << qint64(9);
    QTest::newRow("text") << QByteArray("just some text, not a picture\n") << qint64(4);
}

void TestRawPlugin::refusesBadInput()
{
    QFETCH(QByteArray, data);
    QFETCH(qint64, position);
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    buffer.seek(position);

    QRawPlugin plugin;
    for (const QByteArray& format : {QByteArray(), QByteArray("tif"), QByteArray("bin")}) {
        QCOMPARE(plugin.capabilities(&buffer, format), QImageIOPlugin::Capabilities());
        QCOMPARE(buffer.pos(), position);
    }
    QVERIFY(!RawIOHandler::canReadDevice(&buffer));
    QCOMPARE(buffer.pos(), position);

    RawIOHandler handler;
    handler.setDevice(&buffer);
    QVERIFY(!handler.canRead());
    QCOMPARE(buffer.pos(), position);
    QImage image;
    QVERIFY(!handler.read(&image));
    QVERIFY(image.isNull());
    QCOMPARE(buffer.pos(), position);
    QCOMPARE(handler.option(QImageIOHandler::Size).toSize(), QSize(-1, -1));
    QCOMPARE(buffer.pos(), position);

    // Through the reader with an explicit RAW format.
    buffer.seek(0);
    QImageReader reader(&buffer, "dng");
    QVERIFY(reader.read().isNull());
}

void TestRawPlugin::truncatedImageDataDoesNotCrash()
{
    // Directories intact, Bayer samples cut short: whatever LibRaw makes of it,
    // the answer is either a refusal or a whole picture of the reported size.
    QByteArray dng = DngWriter::build(quadrantSpec(1));
    QVERIFY(!dng.isEmpty());
    const qsizetype rawBytes = 96 * 64 * 2;
    QByteArray cut = dng.left(8) + dng.mid(8 + rawBytes);
    // The directory moved forward; point the header at its new place.
    const quint32 ifd = qFromLittleEndian<quint32>(dng.constData() + 4) - quint32(rawBytes);
    qToLittleEndian(ifd, cut.data() + 4);
    for (QByteArray data : {cut, dng.left(8 + rawBytes / 3) + dng.mid(8 + rawBytes)}) {
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        RawIOHandler handler;
        handler.setDevice(&buffer);
        QImage image;
        const QSize reported = handler.option(QImageIOHandler::Size).toSize();
        if (handler.read(&image)) {
            QVERIFY(!image.isNull());
            QCOMPARE(image.size(), reported);
        } else {
            QVERIFY(image.isNull());
        }
    }
}

void TestRawPlugin::deviceDatastream()
{
    QByteArray data("12 3.5x\nsecond line\n");
    data += QByteArray(5000, 'z'); // longer than the look-ahead block
    data += "END";
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    DeviceDatastream stream(&buffer);
    QVERIFY(stream.valid());
    QCOMPARE(stream.size(), INT64(data.size()));

    int whole = 0;
    QCOMPARE(stream.scanf_one("%d", &whole), 1);
    QCOMPARE(whole, 12);
    float fraction = 0;
    QCOMPARE(stream.scanf_one("%f", &fraction), 1);
    QCOMPARE(fraction, 3.5f);
    char line[64];
    QCOMPARE(QByteArray(stream.gets(line, sizeof line)), QByteArray("\n"));
    QCOMPARE(QByteArray(stream.gets(line, 7)), QByteArray("second"));
    QCOMPARE(stream.get_char(), int(' '));

    // Reads past the end stop at the end; hostile seeks are clamped.
    QCOMPARE(stream.seek(-3, SEEK_END), 0);
    char tail[8] = {};
    QCOMPARE(stream.read(tail, 1, 8), 3);
    QCOMPARE(QByteArray(tail, 3), QByteArray("END"));
    QVERIFY(stream.eof());
    QCOMPARE(stream.get_char(), -1);
    QCOMPARE(stream.seek(std::numeric_limits<INT64>::max(), SEEK_CUR), 0);
    QCOMPARE(stream.tell(), stream.size());
    QCOMPARE(stream.seek(std::numeric_limits<INT64>::min(), SEEK_CUR), 0);
    QCOMPARE(stream.tell(), INT64(0));
    QCOMPARE(stream.read(tail, std::numeric_limits<size_t>::max(), 2), 0);
    QCOMPARE(stream.get_char(), int('1'));

    // A read that spans the look-ahead block and the device.
    QByteArray big(4200, '\0');
    QCOMPARE(stream.seek(10, SEEK_SET), 0);
    QCOMPARE(stream.read(big.data(), 1, 4200), 4200);
    QCOMPARE(big, data.mid(10, 4200));
    QCOMPARE(stream.tell(), INT64(4210));
}

void TestRawPlugin::rawByContentWhateverTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plainReader"); // the plugin alone wins, without routing
    QTest::newRow("tif") << QStringLiteral("picture.tif") << false;
    QTest::newRow("TIFF") << QStringLiteral("picture.TIFF") << false;
    QTest::newRow("no suffix") << QStringLiteral("picture") << false;
    QTest::newRow("bin") << QStringLiteral("picture.bin") << true;
    QTest::newRow("png") << QStringLiteral("picture.png") << true;
    QTest::newRow("dng") << QStringLiteral("picture.dng") << true;
}

void TestRawPlugin::rawByContentWhateverTheName()
{
    QFETCH(QString, name);
    QFETCH(bool, plainReader);
    // A 160 x 120 preview in the first directory, as cameras write it: Qt's
    // TIFF reader would return that preview instead of the picture.
    DngSpec recipe;
    recipe.scene = DngWriter::quadrantScene(320, 240);
    recipe.preview = DngSpec::Preview::Rgb;
    recipe.previewImage = flatImage(160, 120, qRgb(220, 20, 220));
    QVERIFY(DngWriter::write(m_dir.filePath(name), recipe));

    auto check = [](QImageReader& reader) {
        QCOMPARE(reader.size(), QSize(320, 240));
        QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(320, 240));
        QVERIFY(looksLike(image.pixel(8, 8), Tint::Red));
        QVERIFY(looksLike(image.pixel(311, 8), Tint::Green));
        QVERIFY(looksLike(image.pixel(8, 231), Tint::Blue));
        QVERIFY(looksLike(image.pixel(311, 231), Tint::White));
    };
    // The program's readers ask for the format by content first.
    const QByteArray format = cameraRawFormat(m_dir.filePath(name));
    QCOMPARE(format, name.endsWith(QLatin1String(".dng")) ? QByteArray() : QByteArray("raw"));
    QImageReader routed(m_dir.filePath(name), format);
    check(routed);
    if (plainReader) {
        QImageReader reader(m_dir.filePath(name));
        check(reader);
    }
}

void TestRawPlugin::plainTiffsStayWithQt_data()
{
    QVERIFY2(QImageReader::supportedImageFormats().contains("tiff"),
             "Qt's TIFF plugin (package qt6-image-formats-plugins) is required");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QImage>("expected");
    QImage picture(72, 40, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 3, y * 6, (x * y) % 251));
    const struct
    {
        const char* name;
        QImage::Format format;
    } written[] = {{"rgb 8-bit", QImage::Format_RGB32},       {"argb 8-bit", QImage::Format_ARGB32},
                   {"grey 8-bit", QImage::Format_Grayscale8}, {"grey 16-bit", QImage::Format_Grayscale16},
                   {"rgba 16-bit", QImage::Format_RGBA64},    {"mono", QImage::Format_Mono}};
    for (const auto& w : written) {
        const QImage source = picture.convertToFormat(w.format);
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(source.save(&buffer, "TIFF"));
        for (const char* name : {"plain.tif", "plain.tiff", "plain"})
            QTest::addRow("%s, %s", w.name, name) << QString::fromLatin1(name) << data << source;
    }
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QTest::newRow("tiled") << QStringLiteral("tiled.tif") << DngWriter::plainTiff(picture, 32) << rgb;
    QTest::newRow("one strip, camera make") << QStringLiteral("strip.tif")
                                            << DngWriter::plainTiff(picture, 0, "Canon") << rgb;
    QTest::newRow("tiled, camera make, no suffix") << QStringLiteral("tiled") << DngWriter::plainTiff(picture, 32, "NIKON")
                                                   << rgb;
}

void TestRawPlugin::plainTiffsStayWithQt()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    const QString path = m_dir.filePath(name);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    QCOMPARE(cameraRawFormat(path), QByteArray());
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("tiff"));
    const QImage back = reader.read();
    QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(back.size(), expected.size());
    // Every pixel as written, compared at the depth of the written picture.
    const QImage::Format common = expected.depth() > 32 || expected.format() == QImage::Format_Grayscale16
                                      ? QImage::Format_RGBA64
                                      : QImage::Format_ARGB32;
    QCOMPARE(back.convertToFormat(common), expected.convertToFormat(common));
}

void TestRawPlugin::sizeOnlyMatchesRefused()
{
    // LibRaw takes any 307,200-byte file for a 640 x 480 headerless sensor
    // dump; a PNG of that size (PNG readers ignore the padding) stays a PNG.
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    picture.setPixel(5, 7, qRgb(250, 0, 0));
    QByteArray png;
    QBuffer pngBuffer(&png);
    QVERIFY(pngBuffer.open(QIODevice::WriteOnly));
    QVERIFY(picture.save(&pngBuffer, "PNG"));
    pngBuffer.close();
    png.append(QByteArray(640 * 480 - png.size(), '\0'));
    const QImage loaded = QImage::fromData(png);
    QCOMPARE(loaded.size(), picture.size());
    QCOMPARE(loaded.convertToFormat(QImage::Format_RGB32), picture);

    QRawPlugin plugin;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QCOMPARE(plugin.capabilities(&buffer, QByteArray()), QImageIOPlugin::Capabilities());
    QCOMPARE(plugin.capabilities(&buffer, QByteArray("png")), QImageIOPlugin::Capabilities());

    // A bare dump of that size under a name that says nothing is no photo.
    const QString dump = m_dir.filePath(QStringLiteral("dump.bin"));
    QFile out(dump);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(QByteArray(640 * 480, '\x40')) == 640 * 480);
    out.close();
    QCOMPARE(cameraRawFormat(dump), QByteArray());
    QImageReader reader(dump);
    QVERIFY(reader.read().isNull());
    QCOMPARE(reader.error(), QImageReader::UnsupportedFormatError);
}

void TestRawPlugin::secondReadOnOneHandler()
{
    const QString path = writeDng(QStringLiteral("twice.dng"), quadrantSpec(6, DngSpec::Preview::Rgb));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    RawIOHandler handler;
    handler.setDevice(&file);
    QCOMPARE(handler.option(QImageIOHandler::Size).toSize(), QSize(64, 96));

    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    QImage first;
    QVERIFY(handler.read(&first));
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    QImage second;
    QVERIFY(handler.read(&second));
    QCOMPARE(second, first);

    handler.setOption(QImageIOHandler::ScaledSize, QSize(16, 24));
    QTest::ignoreMessage(QtDebugMsg, "Using thumbnail");
    QImage thumb;
    QVERIFY(handler.read(&thumb));
    QCOMPARE(thumb.size(), QSize(16, 24));
    QTest::ignoreMessage(QtDebugMsg, "Using thumbnail");
    QImage thumbAgain;
    QVERIFY(handler.read(&thumbAgain));
    QCOMPARE(thumbAgain, thumb);
}

void TestRawPlugin::concurrentReads()
{
    const QString path = writeDng(QStringLiteral("threads.dng"), quadrantSpec(1));
    QImageReader single(path);
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    const QImage reference = single.read();
    QVERIFY(!reference.isNull());

    // Two decodes at once must not share LibRaw state.
    QImage results[4];
    auto work = [&](int slot) {
        QImageReader reader(path);
        results[slot] = reader.read();
    };
    std::vector<std::thread> threads;
    for (int slot = 0; slot < 4; ++slot)
        threads.emplace_back(work, slot);
    for (std::thread& t : threads)
        t.join();
    for (const QImage& r : results)
        QCOMPARE(r, reference);
}

void TestRawPlugin::realDng()
{
    const QString path = colourChartPath();
    if (path.isEmpty())
        QSKIP("colorchart.dng not available");

    QImageReader reader(path);
    QCOMPARE(reader.size(), QSize(1734, 1156));
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(1734, 1156));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    // A colour chart: many distinct colours, not a flat or black picture.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 37)
        for (int x = 0; x < image.width(); x += 41)
            colours.insert(image.pixel(x, y) & 0xf0f0f0);
    QVERIFY(colours.size() > 20);
    image.scaledToWidth(600).save(testOutputDir() + QStringLiteral("/rawplugin_colorchart.jpg"));

    // The same file under names Qt's TIFF reader owns or that say nothing.
    for (const QString& name : {QStringLiteral("chart.tif"), QStringLiteral("chart"), QStringLiteral("chart.bin")}) {
        const QString copy = m_dir.filePath(name);
        QFile::remove(copy);
        QVERIFY(QFile::copy(path, copy));
        QImageReader renamed(copy, cameraRawFormat(copy));
        QCOMPARE(renamed.format(), QByteArray("raw"));
        QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
        QCOMPARE(renamed.read(), image);
    }
}

// The colour chart as developed: camera white balance (as shot, which leaves
// this warm-lit chart orange), the camera's matrix to sRGB, the tone curve.
// The written means come from LibRaw's own developer (dcraw_emu -w -f -G
// -o 1) run once on this file; the same tool is run again when installed.
void TestRawPlugin::realDngColours()
{
    const QString path = colourChartPath();
    if (path.isEmpty())
        QSKIP("colorchart.dng not available");

    QImageReader reader(path);
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    const QImage developed = reader.read();
    QVERIFY2(!developed.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(developed.size(), QSize(1734, 1156));

    // The 24-patch chart in the lower half: 40 x 40 squares inside each patch.
    const struct
    {
        const char* name;
        int column, row;
        MeanColour expected;
    } patches[] = {
        {"dark skin", 0, 0, {66.5, 26.9, 9.1}},      {"light skin", 1, 0, {136.2, 59.3, 37.2}},
        {"blue sky", 2, 0, {59.5, 46.1, 50.0}},      {"foliage", 3, 0, {52.3, 41.0, 9.6}},
        {"blue flower", 4, 0, {90.9, 46.3, 58.7}},   {"bluish green", 5, 0, {81.2, 84.2, 59.8}},
        {"orange", 0, 1, {147.6, 50.1, 1.5}},        {"purplish blue", 1, 1, {43.3, 25.8, 56.8}},
        {"moderate red", 2, 1, {132.0, 22.7, 17.8}}, {"purple", 3, 1, {52.6, 12.1, 25.3}},
        {"yellow green", 4, 1, {111.9, 87.7, 12.0}}, {"orange yellow", 5, 1, {154.2, 71.7, 1.1}},
        {"blue", 0, 2, {15.6, 12.4, 45.8}},          {"green", 1, 2, {55.7, 65.7, 17.9}},
        {"red", 2, 2, {115.6, 8.1, 6.0}},            {"yellow", 3, 2, {166.9, 94.0, 1.7}},
        {"magenta", 4, 2, {128.1, 19.1, 43.4}},      {"cyan", 5, 2, {28.6, 52.6, 58.5}},
        {"white", 0, 3, {183.8, 117.0, 88.9}},       {"neutral 8", 1, 3, {145.4, 91.9, 70.0}},
        {"neutral 6.5", 2, 3, {111.9, 69.8, 52.4}},  {"neutral 5", 3, 3, {75.7, 48.1, 31.5}},
        {"neutral 3.5", 4, 3, {44.9, 27.7, 17.0}},   {"black", 5, 3, {17.0, 9.0, 8.0}},
    };
    constexpr int kColumns[] = {714, 822, 928, 1036, 1144, 1252};
    constexpr int kRows[] = {624, 722, 822, 928};
    const auto square = [&](int column, int row) { return QRect(kColumns[column] - 20, kRows[row] - 20, 40, 40); };

    // Within a few levels of the written means.
    constexpr double kTolerance = 3.0;
    for (const auto& p : patches) {
        const MeanColour got = meanColour(developed, square(p.column, p.row));
        QVERIFY2(largestDifference(got, p.expected) <= kTolerance,
                 qPrintable(QStringLiteral("%1: %2, want %3").arg(QLatin1String(p.name), describe(got),
                                                                   describe(p.expected))));
    }

    QString why;
    const QImage reference = developWithDcrawEmu(path, &why);
    if (reference.isNull())
        QSKIP(qPrintable(why));
    QCOMPARE(reference.size(), developed.size());
    for (const auto& p : patches) {
        const MeanColour got = meanColour(developed, square(p.column, p.row));
        const MeanColour want = meanColour(reference, square(p.column, p.row));
        QVERIFY2(largestDifference(got, want) <= kTolerance,
                 qPrintable(QStringLiteral("%1: %2, dcraw_emu %3").arg(QLatin1String(p.name), describe(got),
                                                                      describe(want))));
    }
    // And the whole picture, pixel for pixel: orientation and every region.
    const int worst = largestPixelDifference(developed, reference);
    QVERIFY2(worst <= kTolerance, qPrintable(QStringLiteral("pixels differ by up to %1 levels").arg(worst)));
}

void TestRawPlugin::developsToSrgb_data()
{
    QTest::addColumn<int>("orientation");
    QTest::newRow("landscape") << 1;
    QTest::newRow("turned right") << 6;
}

// A camera far from sRGB: each of its channels sees a mix of the three
// primaries, so the matrix back to sRGB has large negative terms, and its
// white reads strongly green. Developed, each patch must come back at the
// sRGB level it was made from: white balanced, converted, BT.709 curve.
void TestRawPlugin::developsToSrgb()
{
    QFETCH(int, orientation);
    // Rows sum to one: a white surface gives equal channels once balanced.
    const std::array<double, 9> cameraFromSrgb{0.55, 0.35, 0.10, 0.20, 0.65, 0.15, 0.05, 0.30, 0.65};
    const std::array<double, 3> neutral{0.55, 1.0, 0.70};
    // White in 16-bit linear light: the brightest patch, large enough for the
    // automatic brightening to put it at 255, and under three quarters of the
    // white level, above which LibRaw takes the brightest sample for white.
    constexpr double kWhite = 40000;
    constexpr int kCellWidth = 64, kCellHeight = 48;
    const struct
    {
        const char* name;
        int r, g, b; // sRGB levels
    } patches[] = {{"white", 255, 255, 255},  {"red", 200, 40, 30},    {"green", 50, 170, 60},
                   {"blue", 40, 60, 190},     {"grey", 128, 128, 128}, {"yellow", 220, 200, 40},
                   {"magenta", 180, 50, 160}, {"cyan", 40, 170, 190},  {"dark", 40, 40, 40}};

    // The camera's linear samples of each patch, before white balance.
    QImage scene(3 * kCellWidth, 3 * kCellHeight, QImage::Format_RGBX64);
    for (int i = 0; i < 9; ++i) {
        const double linear[3] = {bt709ToLinear(patches[i].r), bt709ToLinear(patches[i].g),
                                  bt709ToLinear(patches[i].b)};
        quint16 camera[3];
        for (int c = 0; c < 3; ++c) {
            double v = 0;
            for (int k = 0; k < 3; ++k)
                v += cameraFromSrgb[std::size_t(c * 3 + k)] * linear[k];
            camera[c] = quint16(qRound(v * kWhite * neutral[std::size_t(c)]));
        }
        const QRgba64 sample = QRgba64::fromRgba64(camera[0], camera[1], camera[2], 65535);
        for (int y = 0; y < kCellHeight; ++y) {
            auto* row = reinterpret_cast<QRgba64*>(scene.scanLine((i / 3) * kCellHeight + y)) + (i % 3) * kCellWidth;
            std::fill(row, row + kCellWidth, sample);
        }
    }
    DngSpec recipe;
    recipe.scene = scene;
    recipe.orientation = orientation;
    recipe.cameraFromSrgb = cameraFromSrgb;
    recipe.asShotNeutral = neutral;
    const QString path = writeDng(QStringLiteral("colours%1.dng").arg(orientation), recipe);
    QVERIFY(!path.isEmpty());

    QImageReader reader(path);
    QTest::ignoreMessage(QtDebugMsg, "Decoding raw data");
    const QImage developed = reader.read();
    QVERIFY2(!developed.isNull(), qPrintable(reader.errorString()));
    const QSize shown = orientation == 6 ? scene.size().transposed() : scene.size();
    QCOMPARE(developed.size(), shown);
    developed.save(testOutputDir() + QStringLiteral("/rawplugin_colours%1.png").arg(orientation));

    // Back in sensor order (orientation 6 is shown turned a quarter clockwise).
    const QImage sensor = orientation == 6 ? developed.transformed(QTransform().rotate(-90)) : developed;
    constexpr double kTolerance = 3.0;
    for (int i = 0; i < 9; ++i) {
        const QRect inside((i % 3) * kCellWidth + 8, (i / 3) * kCellHeight + 8, kCellWidth - 16, kCellHeight - 16);
        const MeanColour got = meanColour(sensor, inside);
        const MeanColour want{double(patches[i].r), double(patches[i].g), double(patches[i].b)};
        QVERIFY2(largestDifference(got, want) <= kTolerance,
                 qPrintable(QStringLiteral("%1: %2, want %3").arg(QLatin1String(patches[i].name), describe(got),
                                                                   describe(want))));
    }

    // LibRaw's own developer with the same settings, pixel for pixel.
    QString why;
    const QImage reference = developWithDcrawEmu(path, &why);
    if (reference.isNull())
        QSKIP(qPrintable(why));
    QCOMPARE(reference.size(), developed.size());
    const int worst = largestPixelDifference(developed, reference);
    QVERIFY2(worst <= kTolerance, qPrintable(QStringLiteral("pixels differ by up to %1 levels").arg(worst)));
}

QTEST_GUILESS_MAIN(TestRawPlugin)
#include "tst_rawplugin.moc"
