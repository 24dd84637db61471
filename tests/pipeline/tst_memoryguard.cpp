// The memory check before decoding, against the real memory figure of this
// machine: photos that need more than all of it are refused from their
// header, and large ones that fit still go through.
#include "IQHDREngine.h"
#include "IQImageReadGuard.h"
#include "StreamedPng.h"
#include "SyntheticScene.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/sysinfo.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

namespace {

// MemTotal and MemAvailable as the kernel gives them, read here without
// the code under test.
int64_t memTotalBytes()
{
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return -1;
    return int64_t(info.totalram) * int64_t(info.mem_unit);
}

int64_t procMemAvailableBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    long long value = 0;
    std::string unit;
    while (meminfo >> key >> value >> unit) {
        if (key == "MemAvailable:")
            return int64_t(value) * 1024;
    }
    return -1;
}

// Peak resident memory from a chosen moment on: the kernel's high-water
// mark is reset through /proc/self/clear_refs.
struct PeakMemory {
    bool reset()
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    }
    static int64_t peakBytes()
    {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmHWM:", 0) == 0)
                return int64_t(std::stoll(line.substr(6))) * 1024;
        }
        return -1;
    }
};

// A photo of this size needs more than all of this machine's memory under
// the program's rule, on any machine: 30000 x 30000, or larger where needed.
QSize sizeBeyondMemory(int photos)
{
    const int64_t total = memTotalBytes();
    QSize size(30000, 30000);
    while (IQPhotoMemoryNeed(size, photos) <= total)
        size *= 2;
    return size;
}

QStringList g_messages;
QtMessageHandler g_previousHandler = nullptr;
void capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg)
        g_messages << message;
    g_previousHandler(type, context, message);
}

int64_t unknownMemory() { return -1; }

int64_t g_available = 0;
int64_t injectedMemory() { return g_available; }

class Engine : public IQHDREngine {
public:
    Engine() = default;
};

} // namespace

class TestMemoryGuard : public QObject {
    Q_OBJECT

private slots:
    void availableMemoryComesFromThisMachine()
    {
        // No replacement: the figure comes from the kernel.
        IQSetAvailableMemorySource(nullptr);
        const int64_t available = IQAvailableMemory();
        const int64_t total = memTotalBytes();
        QVERIFY(total > 0);
        QVERIFY2(available >= 1024 * 1024 && available <= total,
                 qPrintable(QStringLiteral("%1 of %2 bytes").arg(available).arg(total)));
        // Other programs come and go; the two readings agree to within a
        // quarter of the memory.
        const int64_t direct = procMemAvailableBytes();
        QVERIFY(direct > 0);
        QVERIFY2(std::llabs(available - direct) < total / 4,
                 qPrintable(QStringLiteral("%1 against %2").arg(available).arg(direct)));
    }

    void unknownMemoryLetsPhotosThroughAndSaysSoOnce()
    {
        g_messages.clear();
        g_previousHandler = qInstallMessageHandler(capture);
        IQSetAvailableMemorySource(unknownMemory);
        QList<bool> fits;
        for (int i = 0; i < 3; ++i)
            fits << IQPhotosFitInMemory(QSize(30000, 30000), 1 + i);
        IQSetAvailableMemorySource(nullptr);
        qInstallMessageHandler(g_previousHandler);
        QCOMPARE(fits, QList<bool>({true, true, true}));
        QCOMPARE(int(g_messages.filter(QStringLiteral("not known")).size()), 1);
    }

    void memoryNeedFollowsThePerPixelBudget_data()
    {
        // The budget, worked out by hand: the editing page holds 48 bytes a
        // pixel; a series of n photos holds 4 n + 20 in the job, which
        // passes 48 from the eighth photo on.
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("photos");
        QTest::addColumn<qint64>("need");
        QTest::newRow("one photo") << QSize(1000, 1000) << 1 << qint64(48000000);
        QTest::newRow("no photo counts as one") << QSize(1000, 1000) << 0 << qint64(48000000);
        QTest::newRow("three photos") << QSize(1000, 1000) << 3 << qint64(48000000);
        QTest::newRow("seven photos") << QSize(1000, 1000) << 7 << qint64(48000000);
        QTest::newRow("eight photos") << QSize(1000, 1000) << 8 << qint64(52000000);
        QTest::newRow("ten 36 MP photos") << QSize(7360, 4912) << 10 << qint64(2169139200);
        QTest::newRow("no pixels") << QSize(0, 4912) << 1 << qint64(0);
        QTest::newRow("beyond 64 bits") << QSize(INT_MAX, INT_MAX) << 1 << std::numeric_limits<qint64>::max();
    }
    void memoryNeedFollowsThePerPixelBudget()
    {
        QFETCH(QSize, size);
        QFETCH(int, photos);
        QFETCH(qint64, need);
        QCOMPARE(qint64(IQPhotoMemoryNeed(size, photos)), need);
        // The photos fit when exactly that much is free, not a byte less.
        if (need <= 0 || need == std::numeric_limits<qint64>::max())
            return;
        g_available = need;
        IQSetAvailableMemorySource(injectedMemory);
        const bool fitsExactly = IQPhotosFitInMemory(size, photos);
        g_available = need - 1;
        const bool fitsOneByteShort = IQPhotosFitInMemory(size, photos);
        IQSetAvailableMemorySource(nullptr);
        QVERIFY(fitsExactly);
        QVERIFY(!fitsOneByteShort);
    }

    void streamedPngDecodesToBlack_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QSize>("size");
        QTest::newRow("1-bit grey, odd width") << int(StreamedPng::Kind::Grey1) << QSize(301, 7);
        QTest::newRow("8-bit grey") << int(StreamedPng::Kind::Grey8) << QSize(1000, 3);
        QTest::newRow("RGB, rows longer than a repeat") << int(StreamedPng::Kind::Rgb8) << QSize(900, 40);
        QTest::newRow("one pixel") << int(StreamedPng::Kind::Rgb8) << QSize(1, 1);
    }
    void streamedPngDecodesToBlack()
    {
        // The huge files below are only meaningful if such a file decodes
        // in full when nothing stops it.
        QFETCH(int, kind);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = StreamedPng::writeBlack(size, StreamedPng::Kind(kind), dir.path(), QStringLiteral("b.png"));
        QImage image;
        QVERIFY(image.load(path));
        QCOMPARE(image.size(), size);
        image = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                QCOMPARE(image.pixel(x, y), qRgb(0, 0, 0));
    }

    void photoBeyondMemoryRefusedBeforeDecoding_data()
    {
        QTest::addColumn<bool>("series");
        QTest::newRow("alone") << false;
        QTest::newRow("one of three") << true;
    }
    void photoBeyondMemoryRefusedBeforeDecoding()
    {
        // A complete, valid PNG: without the check it decodes (for 18 s and
        // gigabytes); with the real memory figure it is refused from its header.
        QFETCH(bool, series);
        IQSetAvailableMemorySource(nullptr);
        QTemporaryDir dir;
        const QSize huge = sizeBeyondMemory(series ? 3 : 1);
        QVERIFY(IQPhotoMemoryNeed(huge, series ? 3 : 1) > memTotalBytes());
        QStringList paths{StreamedPng::writeBlack(huge, StreamedPng::Kind::Grey1, dir.path(), QStringLiteral("huge.png"))};
        if (series) {
            // Between two ordinary photos.
            const QList<QImage> frames = SyntheticScene::renderBracket(SyntheticScene::BracketSpec());
            paths.prepend(SyntheticScene::writeImage(frames[0], dir.path(), QStringLiteral("a"), "jpg"));
            paths.append(SyntheticScene::writeImage(frames[2], dir.path(), QStringLiteral("c"), "jpg"));
        }
        PeakMemory peak;
        const bool measured = peak.reset();
        const int64_t before = PeakMemory::peakBytes();
        Engine engine;
        QList<QImage> sources;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(engine.load(paths, sources), int(IQHDR_TOO_LARGE));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(sources.isEmpty());
        if (measured) {
            const int64_t grown = PeakMemory::peakBytes() - before;
            QVERIFY2(grown < 50 * 1024 * 1024, qPrintable(QString::number(grown)));
        }
    }

    void largePhotoStillAcceptedWhereMemoryAllows()
    {
        // 12000 x 8000 (96 MP) goes through on a computer with 8 GB free.
        IQSetAvailableMemorySource(nullptr);
        if (procMemAvailableBytes() < int64_t(8) * 1024 * 1024 * 1024)
            QSKIP("less than 8 GB available");
        const QSize size(12000, 8000);
        QVERIFY(IQPhotosFitInMemory(size, 1));
        QVERIFY(IQPhotosFitInMemory(size, 3));
        QImage grey(size, QImage::Format_Grayscale8);
        for (int y = 0; y < size.height(); ++y)
            memset(grey.scanLine(y), y * 255 / size.height(), size_t(size.width()));
        QTemporaryDir dir;
        const QString path = SyntheticScene::writeImage(grey, dir.path(), QStringLiteral("big"), "jpg", 80);
        Engine engine;
        QList<QImage> sources;
        QCOMPARE(engine.load({path}, sources), int(IQHDR_OK));
        QCOMPARE(sources.size(), 1);
        QCOMPARE(sources.first().size(), size);
    }
};

QTEST_GUILESS_MAIN(TestMemoryGuard)
#include "tst_memoryguard.moc"
