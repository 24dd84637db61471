// The engine's reading stage and result codes, the single-photo route and
// its size rule, reference selection and the alignment depth.
#include "DamagedFiles.h"
#include "IQHDREngine.h"
#include "IQImageConvert.h"
#include "IQImageReadGuard.h"
#include "SyntheticScene.h"

#include <QElapsedTimer>

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <random>

using namespace SyntheticScene;

namespace {

class EngineUnderTest : public IQHDREngine {
public:
    EngineUnderTest() = default;
};

QString writeFrame(const QString& dir, const QString& name, QSize size, double exposure)
{
    const RadianceScene scene(QSize(200, 150), 4);
    return writeImage(renderFrame(scene, size, exposure), dir, name, "png");
}

int64_t g_available = 0;
int64_t injectedAvailable() { return g_available; }

// Sets the available memory for one test and restores the real source.
struct AvailableMemory {
    explicit AvailableMemory(int64_t bytes)
    {
        g_available = bytes;
        IQSetAvailableMemorySource(injectedAvailable);
    }
    ~AvailableMemory() { IQSetAvailableMemorySource(nullptr); }
};

} // namespace

class TestHdrEngine : public QObject {
    Q_OBJECT

private slots:
    void emptySelectionFails()
    {
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load({}, sources), int(IQHDR_READ_FAILED));
        QVERIFY(sources.isEmpty());
        QVERIFY(engine.isSingleImage());
    }

    void unreadablePhotoKeepsEarlierPictures_data()
    {
        QTest::addColumn<int>("badIndex");
        QTest::addColumn<QString>("badKind");
        QTest::newRow("first missing") << 0 << "missing";
        QTest::newRow("second garbage") << 1 << "garbage";
        QTest::newRow("third empty file") << 2 << "empty";
        QTest::newRow("third truncated header") << 2 << "truncated";
        QTest::newRow("single missing") << 0 << "single";
    }
    void unreadablePhotoKeepsEarlierPictures()
    {
        QFETCH(int, badIndex);
        QFETCH(QString, badKind);
        QTemporaryDir dir;
        QStringList paths;
        const int count = badKind == QLatin1String("single") ? 1 : 3;
        for (int i = 0; i < count; ++i)
            paths << writeFrame(dir.path(), QStringLiteral("f%1").arg(i), QSize(64, 48), 0.5 * (i + 1));
        QByteArray bad;
        if (badKind == QLatin1String("garbage"))
            bad = QByteArray(4096, '\x5a');
        else if (badKind == QLatin1String("truncated")) {
            QFile png(paths[badIndex]);
            QVERIFY(png.open(QIODevice::ReadOnly));
            bad = png.read(20);
        }
        if (badKind == QLatin1String("missing") || badKind == QLatin1String("single"))
            paths[badIndex] = dir.filePath(QStringLiteral("nothing-here.png"));
        else
            paths[badIndex] = DamagedFiles::writeBytes(bad, dir.path(), QStringLiteral("bad.png"));
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_READ_FAILED));
        QCOMPARE(int(sources.size()), badIndex);
        for (const QImage& picture : sources)
            QCOMPARE(picture.size(), QSize(64, 48));
    }

    void cutJpegIsUnreadable_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<bool>("single");
        for (const bool progressive : {false, true}) {
            for (const double fraction : {0.3, 0.7, 0.99, 1.0}) {
                for (const bool single : {true, false}) {
                    QTest::addRow("%s %d%% %s", progressive ? "progressive" : "baseline", int(fraction * 100),
                                  single ? "single" : "in a series")
                        << progressive << fraction << single;
                }
            }
        }
    }
    void cutJpegIsUnreadable()
    {
        // A JPEG cut short decodes to a picture whose lower part is flat
        // grey; it must be refused like any unreadable file. The whole file
        // (fraction 1) is the control.
        QFETCH(bool, progressive);
        QFETCH(double, fraction);
        QFETCH(bool, single);
        QTemporaryDir dir;
        const QSize size(1920, 1280);
        // Encoded once for all rows.
        static QMap<int, QByteArray> encoded;
        QStringList paths;
        for (int i = 0; i < (single ? 1 : 3); ++i) {
            QByteArray& bytes = encoded[i * 2 + int(progressive)];
            if (bytes.isEmpty()) {
                const RadianceScene scene(QSize(200, 150), 4);
                bytes = DamagedFiles::jpegBytes(renderFrame(scene, size, 0.5 * (i + 1)), progressive);
            }
            const QString name = QStringLiteral("f%1.jpg").arg(i);
            const bool cut = i == (single ? 0 : 1) && fraction < 1.0;
            paths << DamagedFiles::writeCut(bytes, cut ? fraction : 1.0, dir.path(), name);
        }
        EngineUnderTest engine;
        QList<QImage> sources;
        const int code = engine.load(paths, sources);
        if (fraction >= 1.0) {
            QCOMPARE(code, int(IQHDR_OK));
            QCOMPARE(sources.first().size(), size);
            return;
        }
        QCOMPARE(code, int(IQHDR_READ_FAILED));
        QCOMPARE(int(sources.size()), single ? 0 : 1);
    }

    void tooLargePhotosAreRefusedBeforeDecoding_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("available");
        QTest::addColumn<int>("code");
        // 900 MP behind a few kilobytes: the picture and the editing page
        // need far more than 16 GB.
        QTest::newRow("30000 x 30000 single, 16 GB") << QSize(30000, 30000) << 1 << qint64(16) * 1024 * 1024 * 1024
                                                    << int(IQHDR_TOO_LARGE);
        QTest::newRow("30000 x 30000 in a series") << QSize(30000, 30000) << 3 << qint64(16) * 1024 * 1024 * 1024
                                                  << int(IQHDR_TOO_LARGE);
        // Very large photos stay allowed where the memory is there: 36 MP
        // takes well under 4 GB; the header-only file then fails to decode.
        QTest::newRow("7360 x 4912 single, 16 GB") << QSize(7360, 4912) << 1 << qint64(16) * 1024 * 1024 * 1024
                                                  << int(IQHDR_READ_FAILED);
        QTest::newRow("7360 x 4912 series, 16 GB") << QSize(7360, 4912) << 3 << qint64(16) * 1024 * 1024 * 1024
                                                  << int(IQHDR_READ_FAILED);
        QTest::newRow("7360 x 4912 single, 1 GB") << QSize(7360, 4912) << 1 << qint64(1) * 1024 * 1024 * 1024
                                                 << int(IQHDR_TOO_LARGE);
    }
    void tooLargePhotosAreRefusedBeforeDecoding()
    {
        QFETCH(QSize, size);
        QFETCH(int, count);
        QFETCH(qint64, available);
        QFETCH(int, code);
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << DamagedFiles::writePngHeaderOf(size.width(), size.height(), dir.path(),
                                                    QStringLiteral("big%1.png").arg(i));
        const AvailableMemory memory(available);
        EngineUnderTest engine;
        QList<QImage> sources;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(engine.load(paths, sources), code);
        if (code == int(IQHDR_TOO_LARGE)) {
            // Refused from the header alone: nothing decoded, nothing kept.
            QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(sources.isEmpty());
        }
    }

    void realPhotoRefusedWhenMemoryIsShort()
    {
        QTemporaryDir dir;
        const QString path = writeFrame(dir.path(), QStringLiteral("p"), QSize(400, 300), 1.0);
        EngineUnderTest engine;
        QList<QImage> sources;
        {
            // 120,000 pixels cannot go through the editing page in 1 MB.
            const AvailableMemory memory(1024 * 1024);
            QCOMPARE(engine.load({path}, sources), int(IQHDR_TOO_LARGE));
        }
        {
            const AvailableMemory memory(qint64(64) * 1024 * 1024);
            QCOMPARE(engine.load({path}, sources), int(IQHDR_OK));
        }
        QCOMPARE(sources.size(), 1);
        // Unknown memory refuses nothing.
        const AvailableMemory unknown(-1);
        QCOMPARE(engine.load({path}, sources), int(IQHDR_OK));
    }

    void differentSizesFail_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QSize>("odd");
        QTest::newRow("second 1 px narrower") << 1 << QSize(63, 48);
        QTest::newRow("second 1 px taller") << 1 << QSize(64, 49);
        QTest::newRow("third 1 px wider") << 2 << QSize(65, 48);
    }
    void differentSizesFail()
    {
        QFETCH(int, index);
        QFETCH(QSize, odd);
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 0; i < 3; ++i)
            paths << writeFrame(dir.path(), QStringLiteral("f%1").arg(i), i == index ? odd : QSize(64, 48),
                                0.5 * (i + 1));
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_SIZE_MISMATCH));
        QCOMPARE(int(sources.size()), index);
    }

    void failedRouteKeepsPreviousResult()
    {
        QTemporaryDir dir;
        BracketSpec recipe;
        recipe.size = QSize(96, 64);
        const QStringList good = writeBracket(recipe, dir.path(), "png");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(good, sources), int(IQHDR_OK));
        const cv::Mat before = engine.result().clone();
        QStringList bad = good;
        bad[1] = dir.filePath(QStringLiteral("missing.png"));
        sources.clear();
        QCOMPARE(engine.load(bad, sources), int(IQHDR_READ_FAILED));
        QCOMPARE(cv::norm(engine.result(), before, cv::NORM_INF), 0.0);
    }

    void singlePhotoSizeRule_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("1001x667") << QSize(1001, 667) << QSize(1004, 668);
        QTest::newRow("1000x667") << QSize(1000, 667) << QSize(1000, 668);
        QTest::newRow("1000x668 kept") << QSize(1000, 668) << QSize(1000, 668);
        QTest::newRow("1x1") << QSize(1, 1) << QSize(4, 2);
    }
    void singlePhotoSizeRule()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, expected);
        QCOMPARE(IQHDREngine::outputSizeFor(size), expected);
        QTemporaryDir dir;
        const QString path = writeImage(noiseImage(size, 3), dir.path(), QStringLiteral("one"), "png");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load({path}, sources), int(IQHDR_OK));
        QCOMPARE(sources.size(), 1);
        QCOMPARE(sources[0].size(), expected);
        QCOMPARE(sources[0].format(), QImage::Format_RGB888);
        QCOMPARE(engine.mergeKind(), 0);
        QVERIFY(engine.isSingleImage());
        QCOMPARE(sources[0], QImage(path).convertToFormat(QImage::Format_RGB888)
                                 .scaled(expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }

    // A photo stored with an EXIF rotation comes in upright on both routes.
    void storedOrientationIsApplied_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("single") << 1;
        QTest::newRow("series") << 3;
    }
    void storedOrientationIsApplied()
    {
        QFETCH(int, count);
        QTemporaryDir dir;
        // Stored landscape, red left and blue right; turned a quarter
        // clockwise it is portrait with red on top.
        QImage stored(120, 60, QImage::Format_RGB32);
        for (int x = 0; x < stored.width(); ++x)
            for (int y = 0; y < stored.height(); ++y)
                stored.setPixel(x, y, x < 60 ? qRgb(220, 30, 30) : qRgb(30, 30, 220));
        const QString path = DamagedFiles::writeBytes(jpegWithOrientation(stored, 6), dir.path(), QStringLiteral("turned.jpg"));
        QCOMPARE(QImageReader(path).transformation(), QImageIOHandler::TransformationRotate90);
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(QStringList(count, path), sources), int(IQHDR_OK));
        QCOMPARE(sources.size(), count);
        for (const QImage& picture : sources) {
            QCOMPARE(picture.size(), QSize(60, 120));
            QVERIFY(qRed(picture.pixel(30, 20)) > 180 && qBlue(picture.pixel(30, 20)) < 80);
            QVERIFY(qBlue(picture.pixel(30, 100)) > 180 && qRed(picture.pixel(30, 100)) < 80);
        }
    }

    void singlePhotoFusionIsComputedOnRequest()
    {
        QTemporaryDir dir;
        const QString path = writeFrame(dir.path(), QStringLiteral("one"), QSize(101, 67), 1.0);
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load({path}, sources), int(IQHDR_OK));
        const cv::Mat fused = engine.result();
        QVERIFY(!fused.empty());
        // Mertens fusion (contrast 1, saturation 1, exposure 0) of the
        // picture the route shows.
        std::vector<cv::Mat> single{QImageToMat(sources[0], true)};
        cv::Mat stock;
        cv::createMergeMertens(1.0f, 1.0f, 0.0f)->process(single, stock);
        QCOMPARE(fused.size(), cv::Size(104, 68));
        QCOMPARE(cv::norm(fused, stock, cv::NORM_INF), 0.0);
        engine.clear();
        QVERIFY(engine.result().empty());
    }

    void toneMappersNeedARadianceMap()
    {
        EngineUnderTest engine;
        QVERIFY(engine.toneMapReinhard(1, 0, 0, 1).isNull());
        QVERIFY(engine.toneMapMantiuk(1, 0.7f, 1).isNull());
    }

    void mantiukMatchesStockOperator()
    {
        QTemporaryDir dir;
        BracketSpec recipe;
        recipe.size = QSize(123, 81);
        const QStringList paths = writeBracket(recipe, dir.path(), "png");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        const QImage picture = engine.toneMapMantiuk(1.0f, 0.7f, 1.0f);
        // The stock operator's output times 3, in 8 bits, then the size rule.
        cv::Mat mapped, out8;
        cv::createTonemapMantiuk(1.0f, 0.7f, 1.0f)->process(engine.result(), mapped);
        cv::Mat(mapped * 3.0 * 255.0).convertTo(out8, CV_8UC3);
        const QSize rounded((out8.cols + 3) / 4 * 4, (out8.rows + 1) / 2 * 2);
        QCOMPARE(picture, MatToQImage(out8).scaled(rounded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }

    void referenceIndex_data()
    {
        QTest::addColumn<std::vector<double>>("times");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.4 1.0 2.5") << std::vector<double>{0.4, 1.0, 2.5} << 1;
        QTest::newRow("0.3 0.6 0.9") << std::vector<double>{0.3, 0.6, 0.9} << -1;
        QTest::newRow("1.2 3.0") << std::vector<double>{1.2, 3.0} << 0;
        QTest::newRow("0.5 1.01 1.01") << std::vector<double>{0.5, 1.01, 1.01} << 1;
        QTest::newRow("empty") << std::vector<double>{} << -1;
    }
    void referenceIndex()
    {
        QFETCH(std::vector<double>, times);
        QFETCH(int, expected);
        QCOMPARE(IQHDREngine::referenceIndexFor(times), expected);
    }

    void alignmentDepthFollowsCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("3 photos: 10 bits, levels 0..6") << 3;
        QTest::newRow("4 photos: 6 bits, levels 0..5") << 4;
    }
    // 2048 px photos: up to 3 of them get a pyramid down to 32 px (shifts up
    // to 127 px); 4 or more stop at 64 px (shifts up to 63 px). The darkest
    // photo, never the reference, is moved by (90, -70).
    void alignmentDepthFollowsCount()
    {
        QFETCH(int, count);
        const int side = 2048;
        const QPoint moved(90, -70);
        // Random structure at every scale of the pyramid.
        cv::RNG rng(5);
        cv::Mat canvas(side + 200, side + 200, CV_32FC3, cv::Scalar::all(0));
        for (int cells = 8; cells <= 1024; cells *= 2) {
            cv::Mat grid(cells, cells, CV_32FC3), layer;
            rng.fill(grid, cv::RNG::UNIFORM, -1.0, 1.0);
            cv::resize(grid, layer, canvas.size(), 0, 0, cv::INTER_LINEAR);
            canvas += layer;
        }
        canvas.convertTo(canvas, CV_8UC3, 32, 128);
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            const QPoint at = i == 0 ? moved : QPoint();
            cv::Mat photo;
            canvas(cv::Rect(100 + at.x(), 100 + at.y(), side, side)).convertTo(photo, -1, 0.45 + 0.15 * i);
            paths << writeImage(MatToQImage(photo), dir.path(), QStringLiteral("p%1").arg(i), "bmp");
        }
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        const cv::Mat radiance = engine.result();
        if (count <= 3) {
            QCOMPARE(radiance.cols, side - std::abs(moved.x()));
            QCOMPARE(radiance.rows, side - std::abs(moved.y()));
        } else {
            QVERIFY2(radiance.cols >= side - 63 && radiance.rows >= side - 63,
                     qPrintable(QStringLiteral("%1 x %2").arg(radiance.cols).arg(radiance.rows)));
        }
    }

    // Grey values within 6 of the median are left out of the alignment. Two
    // 60 px photos (one pyramid level): a wide region of values median +-6
    // moves one column, a narrow one of median +-7 moves one row. Only the
    // narrow region counts, so the photos are cut by one row.
    void alignmentExcludesNearMedianValues()
    {
        const int side = 60, median = 100;
        std::mt19937 random(3);
        // Columns 0..1 hold median - 1 (so the median is exactly 100),
        // 2..39 the wide region, 40..59 the narrow one; 1800 of 3600 values
        // lie below the median.
        auto region = [&](int width, int below, int distance) {
            std::vector<int> values(size_t(width * side), median + distance);
            std::fill(values.begin(), values.begin() + below, median - distance);
            std::shuffle(values.begin(), values.end(), random);
            return values;
        };
        const std::vector<int> wide = region(38, 1140, 6), narrow = region(20, 540, 7);
        QTemporaryDir dir;
        QStringList paths;
        for (int photo = 0; photo < 2; ++photo) {
            QImage picture(side, side, QImage::Format_RGB32);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    int v = median - 1;
                    if (x >= 2 && x < 40)
                        v = wide[size_t(y * 38 + (x - 2 + photo) % 38)];
                    else if (x >= 40)
                        v = narrow[size_t(((y + photo) % side) * 20 + x - 40)];
                    picture.setPixel(x, y, qRgb(v, v, v));
                }
            }
            paths << writeImage(picture, dir.path(), QStringLiteral("g%1").arg(photo), "png");
        }
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        QCOMPARE(engine.result().cols, side);
        QCOMPARE(engine.result().rows, side - 1);
    }

    void elongatedSeriesMerges()
    {
        // A long thin series must not build an empty pyramid level.
        QTemporaryDir dir;
        BracketSpec recipe;
        recipe.size = QSize(1024, 40);
        const QStringList paths = writeBracket(recipe, dir.path(), "png");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        QVERIFY(!engine.toneMapReinhard(1, 0, 0, 1).isNull());
    }

    // Photos that decode to grey, 16-bit or alpha pictures merge like
    // ordinary 32-bit ones.
    void otherPixelFormatsMerge_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("Grayscale8") << int(QImage::Format_Grayscale8);
        QTest::newRow("RGBA64") << int(QImage::Format_RGBA64);
        QTest::newRow("ARGB32") << int(QImage::Format_ARGB32);
        QTest::newRow("Indexed8") << int(QImage::Format_Indexed8);
    }
    void otherPixelFormatsMerge()
    {
        QFETCH(int, format);
        QTemporaryDir dir;
        BracketSpec recipe;
        recipe.size = QSize(96, 72);
        QStringList paths;
        const QList<QImage> frames = renderBracket(recipe);
        for (int i = 0; i < frames.size(); ++i)
            paths << writeImage(frames[i].convertToFormat(QImage::Format(format)), dir.path(),
                                QStringLiteral("f%1").arg(i), "png");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        QCOMPARE(engine.result().type(), CV_32FC3);
        const QImage picture = engine.toneMapReinhard(1, 0, 0, 1);
        QVERIFY(!picture.isNull());
        QVERIFY(qGray(picture.pixel(picture.width() * 3 / 4, picture.height() * 3 / 10)) > 200);
    }
};

QTEST_GUILESS_MAIN(TestHdrEngine)
#include "tst_hdrengine.moc"
