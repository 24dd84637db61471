// The check of JPEG data against libjpeg's real decoding of damaged and
// oddly-formed files, whatever logging rules or message handlers are set.
#include "DamagedFiles.h"
#include "IQHDREngine.h"
#include "IQImageReadGuard.h"
#include "IQJpegCheck.h"
#include "SyntheticScene.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void swallowEverything(QtMsgType, const QMessageLogContext&, const QString&) {}

class Engine : public IQHDREngine {
public:
    Engine() = default;
};

QByteArray photoJpeg(bool progressive)
{
    const SyntheticScene::RadianceScene scene(QSize(200, 150), 3);
    return DamagedFiles::jpegBytes(SyntheticScene::renderFrame(scene, QSize(640, 424), 0.7), progressive);
}

// What some programs leave after the end marker, a second start marker
// among it.
const char kTrailing[] = "\x00\x00 trailing \xFF\xD8\xFF\xE0 junk";

QByteArray cut(const QByteArray& bytes, double fraction)
{
    return bytes.left(qsizetype(bytes.size() * fraction));
}

// How warnings are routed while a photo is read.
enum class Logging { AsStarted, JpegWarningsOff, AllWarningsOff, OtherMessageHandler };

class LoggingSetup {
public:
    explicit LoggingSetup(Logging logging) : m_logging(logging)
    {
        IQPrepareImageReading();
        if (logging == Logging::JpegWarningsOff)
            QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
        else if (logging == Logging::AllWarningsOff)
            QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
        else if (logging == Logging::OtherMessageHandler)
            m_previous = qInstallMessageHandler(swallowEverything);
    }
    ~LoggingSetup()
    {
        if (m_logging == Logging::OtherMessageHandler)
            qInstallMessageHandler(m_previous);
        else
            QLoggingCategory::setFilterRules(QString());
    }

private:
    Logging m_logging;
    QtMessageHandler m_previous = nullptr;
};

const char* loggingName(Logging logging)
{
    switch (logging) {
    case Logging::AsStarted:
        return "as started";
    case Logging::JpegWarningsOff:
        return "JPEG warnings off";
    case Logging::AllWarningsOff:
        return "all warnings off";
    case Logging::OtherMessageHandler:
        return "another message handler";
    }
    return "";
}

} // namespace

class TestJpegDamage : public QObject {
    Q_OBJECT

private slots:
    void jpegVerdictWhateverTheLogging_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("suffix");
        for (const bool progressive : {false, true}) {
            const QByteArray whole = photoJpeg(progressive);
            const char* kind = progressive ? "progressive" : "baseline";
            for (const double fraction : {0.3, 0.7, 0.99})
                QTest::addRow("%s cut at %d%%", kind, int(fraction * 100)) << cut(whole, fraction) << true << "jpg";
            QTest::addRow("%s with corrupt entropy data", kind)
                << DamagedFiles::withCorruptEntropyData(whole) << true << "jpg";
            QTest::addRow("%s whole", kind) << whole << false << "jpg";
            QTest::addRow("%s with bytes after the end", kind)
                << whole + QByteArray(kTrailing, sizeof kTrailing - 1) << false << "jpg";
            QTest::addRow("%s with stray bytes between segments", kind)
                << DamagedFiles::withStrayBytesBeforeScan(whole, 3) << false << "jpg";
        }
        // The second scan of the progression holds the first bits of the
        // luma's lowest frequencies; later scans refine them.
        const QByteArray progressive = photoJpeg(true);
        QVERIFY(DamagedFiles::jpegLayout(progressive).scans.size() >= 3);
        QTest::newRow("progressive with a scan missing") << DamagedFiles::withoutScan(progressive, 1) << true << "jpg";
        // Valid, but so many scans are only ever written to make a decoder
        // spin; a few hundred are let through.
        const QImage small = SyntheticScene::noiseImage(QSize(64, 48), 9);
        const QByteArray manyScans = DamagedFiles::jpegWithManyScans(small, 5);
        const QByteArray tooManyScans = DamagedFiles::jpegWithManyScans(small, 8);
        QCOMPARE(DamagedFiles::jpegLayout(manyScans).scans.size(), 384);
        QCOMPARE(DamagedFiles::jpegLayout(tooManyScans).scans.size(), 576);
        QTest::newRow("384 scans") << manyScans << false << "jpg";
        QTest::newRow("576 scans") << tooManyScans << true << "jpg";
        const QByteArray baseline = photoJpeg(false);
        QTest::newRow("baseline with zeroed scan parameters")
            << DamagedFiles::withZeroedScanParameters(baseline) << false << "jpg";
        QTest::newRow("JPEG named .png, cut at 70%") << cut(baseline, 0.7) << true << "png";

        const QImage scene = SyntheticScene::noiseImage(QSize(320, 240), 5);
        const QByteArray restarts = DamagedFiles::jpegWithRestarts(scene, 2);
        QVERIFY(DamagedFiles::jpegLayout(restarts).restarts.size() >= 6);
        QTest::newRow("restart markers, whole") << restarts << false << "jpg";
        QTest::newRow("a restart marker lost") << DamagedFiles::withoutRestartMarker(restarts, 3) << true << "jpg";
        QTest::newRow("the last restart marker lost")
            << DamagedFiles::withoutRestartMarker(restarts, int(DamagedFiles::jpegLayout(restarts).restarts.size()) - 1)
            << true << "jpg";
        QTest::newRow("a restart marker out of order")
            << DamagedFiles::withRenumberedRestartMarker(restarts, 2) << true << "jpg";
    }
    void jpegVerdictWhateverTheLogging()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        QFETCH(QString, suffix);
        // A child process started with logging rules in its environment or
        // configuration checks that the rules really are in force there.
        if (qEnvironmentVariableIsSet("VANTREL_EXPECT_JPEG_WARNINGS_OFF"))
            QVERIFY(!QLoggingCategory("qt.gui.imageio.jpeg").isWarningEnabled());
        QTemporaryDir dir;
        const QString path = DamagedFiles::writeBytes(bytes, dir.path(), QStringLiteral("photo.") + suffix);
        // What Qt alone makes of the file: the pixels an accepted read keeps.
        const QImage plain = QImage::fromData(bytes);
        for (const Logging logging :
             {Logging::AsStarted, Logging::JpegWarningsOff, Logging::AllWarningsOff, Logging::OtherMessageHandler}) {
            const LoggingSetup setup(logging);
            QImageReader reader(path);
            bool damaged = !refused;
            const QImage image = IQReadImageChecked(reader, &damaged);
            QVERIFY2(damaged == refused, loggingName(logging));
            QVERIFY2(image.isNull() == refused, loggingName(logging));
            if (!refused) {
                QVERIFY(!plain.isNull());
                QVERIFY2(image == plain, loggingName(logging));
            }
            // The same through a name without its suffix, which the reader
            // completes, and through a device instead of a file name.
            if (suffix == QLatin1String("jpg")) {
                QImageReader bare(path.chopped(4));
                QVERIFY2(IQReadImageChecked(bare).isNull() == refused, loggingName(logging));
            }
            QBuffer buffer(&bytes);
            QImageReader fromDevice(&buffer);
            QVERIFY2(IQReadImageChecked(fromDevice).isNull() == refused, loggingName(logging));
        }
    }

    void malformedBytesGetAVerdict_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("verdict");
        const int notJpeg = int(IQJpegIntegrity::NotJpeg);
        const int damaged = int(IQJpegIntegrity::Damaged);
        const QByteArray whole = photoJpeg(false);
        const DamagedFiles::JpegLayout layout = DamagedFiles::jpegLayout(whole);
        QVERIFY(!layout.scans.isEmpty());
        QTest::newRow("nothing") << QByteArray() << notJpeg;
        QTest::newRow("a PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << notJpeg;
        QTest::newRow("start marker alone") << QByteArray("\xFF\xD8", 2) << notJpeg;
        QTest::newRow("start marker and a marker byte") << QByteArray("\xFF\xD8\xFF", 3) << damaged;
        QTest::newRow("start then end") << QByteArray("\xFF\xD8\xFF\xD9", 4) << damaged;
        QTest::newRow("start then text") << QByteArray("\xFF\xD8\xFF\xE0 this is not a picture") << damaged;
        QTest::newRow("headers only") << whole.left(layout.scans.first()) << damaged;
        QTest::newRow("headers and the end marker") << whole.left(layout.scans.first()) + "\xFF\xD9" << damaged;
        QTest::newRow("scan header cut") << whole.left(layout.scans.first() + 6) << damaged;
        // A segment length running past the end of the file.
        QByteArray longSegment = whole.left(2) + QByteArray("\xFF\xE1\xFF\xF0", 4) + QByteArray(100, 'x');
        QTest::newRow("segment longer than the file") << longSegment << damaged;
        // Seeded noise after a valid header set: whatever libjpeg makes of
        // it, the check ends with a verdict.
        QByteArray noise = whole.left(layout.scans.first() + 14);
        quint32 state = 12345;
        for (int i = 0; i < 20000; ++i) {
            state = state * 1664525u + 1013904223u;
            noise.append(char(state >> 24));
        }
        QTest::newRow("noise for scan data") << noise << damaged;
    }
    void malformedBytesGetAVerdict()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, verdict);
        QString reason;
        const IQJpegIntegrity result =
            IQCheckJpegData(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()), &reason);
        QCOMPARE(int(result), verdict);
        if (result == IQJpegIntegrity::Damaged)
            QVERIFY(!reason.isEmpty());
    }

    void zeroedScanParametersKeepThePixels()
    {
        // The control for the row above: the patched file differs from the
        // original only in those bytes, and Qt decodes both to one picture.
        const QByteArray baseline = photoJpeg(false);
        const QByteArray patched = DamagedFiles::withZeroedScanParameters(baseline);
        QCOMPARE(patched.size(), baseline.size());
        QVERIFY(patched != baseline);
        const QImage original = QImage::fromData(baseline);
        QVERIFY(!original.isNull());
        QCOMPARE(QImage::fromData(patched), original);
    }

    void loggingRulesFromOutsideTheProgram_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("rules");
        QTest::newRow("QT_LOGGING_RULES, JPEG category")
            << "QT_LOGGING_RULES" << "qt.gui.imageio.jpeg.warning=false";
        QTest::newRow("QT_LOGGING_RULES, every warning") << "QT_LOGGING_RULES" << "*.warning=false";
        QTest::newRow("the user's qtlogging.ini") << "XDG_CONFIG_HOME" << "*.warning=false";
    }
    void loggingRulesFromOutsideTheProgram()
    {
        QFETCH(QString, variable);
        QFETCH(QString, rules);
        QTemporaryDir config;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        if (variable == QLatin1String("XDG_CONFIG_HOME")) {
            QVERIFY(QDir(config.path()).mkpath(QStringLiteral("QtProject")));
            DamagedFiles::writeBytes("[Rules]\n" + rules.toUtf8() + "\n", config.filePath(QStringLiteral("QtProject")),
                                     QStringLiteral("qtlogging.ini"));
            environment.insert(variable, config.path());
        } else {
            environment.insert(variable, rules);
        }
        environment.insert(QStringLiteral("VANTREL_EXPECT_JPEG_WARNINGS_OFF"), QStringLiteral("1"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("jpegVerdictWhateverTheLogging")});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("Totals:") && !output.contains("FAIL!"), output.constData());
    }

    void damagedPhotoEndsTheJob_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("zeroedScanParameters");
        QTest::addColumn<int>("code");
        QTest::newRow("alone, cut") << 1 << false << int(IQHDR_READ_FAILED);
        QTest::newRow("in a series, cut") << 3 << false << int(IQHDR_READ_FAILED);
        QTest::newRow("alone, zeroed scan parameters") << 1 << true << int(IQHDR_OK);
        QTest::newRow("in a series, zeroed scan parameters") << 3 << true << int(IQHDR_OK);
    }
    void damagedPhotoEndsTheJob()
    {
        // Through the engine: as started, and with every warning filtered
        // out and another message handler installed.
        QFETCH(int, count);
        QFETCH(bool, zeroedScanParameters);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QList<QImage> frames = SyntheticScene::renderBracket(SyntheticScene::BracketSpec());
        QStringList paths;
        QList<QImage> expected;
        for (int i = 0; i < count; ++i) {
            QByteArray bytes = DamagedFiles::jpegBytes(frames[i], false);
            expected << QImage::fromData(bytes);
            if (i == count / 2)
                bytes = zeroedScanParameters ? DamagedFiles::withZeroedScanParameters(bytes) : cut(bytes, 0.5);
            paths << DamagedFiles::writeBytes(bytes, dir.path(), QStringLiteral("f%1.jpg").arg(i));
        }
        for (const bool quiet : {false, true}) {
            if (quiet)
                QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
            const LoggingSetup handler(quiet ? Logging::OtherMessageHandler : Logging::AsStarted);
            Engine engine;
            QList<QImage> sources;
            const int result = engine.load(paths, sources);
            QLoggingCategory::setFilterRules(QString());
            QCOMPARE(result, code);
            if (code != int(IQHDR_OK)) {
                QCOMPARE(int(sources.size()), count / 2);
                continue;
            }
            QCOMPARE(int(sources.size()), count);
            // A series hands over the pictures as read; a single photo its
            // 24-bit copy.
            for (int i = 0; i < count; ++i)
                QCOMPARE(sources[i].convertToFormat(QImage::Format_RGB888),
                         expected[i].convertToFormat(QImage::Format_RGB888));
        }
    }
};

QTEST_GUILESS_MAIN(TestJpegDamage)
#include "tst_jpegdamage.moc"
