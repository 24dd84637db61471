// The banded, parallel merge and tone mapper against the single-call OpenCV
// operators, and the engine's multi-photo route on synthetic brackets.
#include "IQHDREngine.h"
#include "IQHDRKernels.h"
#include "IQImageConvert.h"
#include "SyntheticScene.h"
#include "TestPaths.h"

#include <QTemporaryDir>
#include <QtTest>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

using namespace SyntheticScene;

namespace {

std::vector<cv::Mat> bracketMatrices(QSize size, const QList<double>& exposures, quint32 seed, double noise = 0.0)
{
    BracketSpec recipe;
    recipe.size = size;
    recipe.exposures = exposures;
    recipe.seed = seed;
    recipe.noiseSigma = noise;
    std::vector<cv::Mat> out;
    for (const QImage& frame : renderBracket(recipe))
        out.push_back(QImageToMat(frame.convertToFormat(QImage::Format_RGB888), true));
    return out;
}

cv::Mat stockReinhard8(const cv::Mat& radiance, float gamma, float intensity, float light, float color)
{
    cv::Mat mapped;
    cv::createTonemapReinhard(gamma, intensity, light, color)->process(radiance, mapped);
    cv::Mat scaled = mapped * 255.0;
    cv::Mat out;
    scaled.convertTo(out, CV_8UC3, 1.0, 0.0);
    return out;
}

int maxAbsDiff(const cv::Mat& a, const cv::Mat& b)
{
    cv::Mat diff;
    cv::absdiff(a.reshape(1), b.reshape(1), diff);
    double mx = 0;
    cv::minMaxLoc(diff, nullptr, &mx);
    return int(mx);
}

class EngineUnderTest : public IQHDREngine {
public:
    EngineUnderTest() = default;
};

} // namespace

class TestHdrMerge : public QObject {
    Q_OBJECT

private slots:
    void debevecBandsMatchSingleCall_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::newRow("320x240 x3") << QSize(320, 240) << 3;
        QTest::newRow("odd 201x77 x3") << QSize(201, 77) << 3;
        QTest::newRow("5 frames 160x121") << QSize(160, 121) << 5;
        QTest::newRow("one row") << QSize(64, 1) << 2;
    }
    void debevecBandsMatchSingleCall()
    {
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QList<double> exposures;
        std::vector<float> times;
        for (int i = 0; i < frames; ++i) {
            exposures << std::pow(4.0, i - frames / 2);
            times.push_back(float(exposures.last()));
        }
        const std::vector<cv::Mat> images = bracketMatrices(size, exposures, 7, 1.5);
        cv::Mat stock, banded;
        cv::createMergeDebevec()->process(images, stock, times);
        IQMergeDebevecBanded(images, times, banded);
        QCOMPARE(banded.type(), CV_32FC3);
        QCOMPARE(banded.size(), stock.size());
        cv::Mat relative;
        cv::absdiff(banded, stock, relative);
        relative = relative / (cv::abs(stock) + 1e-6f);
        double worst = 0;
        cv::minMaxLoc(relative.reshape(1), nullptr, &worst);
        QVERIFY2(worst < 1e-5, qPrintable(QString::number(worst)));

        // Four-channel views (what JPEG decodes to, with a padded row step
        // and a junk fourth byte) merge to the same map, and the range the
        // merge reports is the map's own.
        std::vector<cv::Mat> padded, views;
        cv::RNG rng(11);
        for (const cv::Mat& image : images) {
            cv::Mat bgra(image.rows, image.cols + 3, CV_8UC4);
            rng.fill(bgra, cv::RNG::UNIFORM, 0, 256);
            cv::Mat view = bgra.colRange(0, image.cols);
            const int fromTo[] = {0, 0, 1, 1, 2, 2};
            cv::mixChannels(&image, 1, &view, 1, fromTo, 3);
            padded.push_back(bgra);
            views.push_back(view);
        }
        cv::Mat fromViews;
        IQRadianceRange range;
        IQMergeDebevecBanded(views, times, fromViews, &range);
        QCOMPARE(cv::norm(fromViews, banded, cv::NORM_INF), 0.0);
        std::vector<cv::Mat> planes;
        cv::split(banded, planes);
        for (int c = 0; c < 3; ++c) {
            double lo = 0, hi = 0;
            cv::minMaxLoc(planes[size_t(c)], &lo, &hi);
            QCOMPARE(double(range.min[c]), lo);
            QCOMPARE(double(range.max[c]), hi);
        }
    }

    void reinhardBandsMatchSingleCall_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<float>("gamma");
        QTest::addColumn<float>("intensity");
        QTest::addColumn<float>("light");
        QTest::addColumn<float>("color");
        QTest::newRow("worker settings") << QSize(320, 240) << 1.0f << 0.0f << 0.0f << 1.0f;
        QTest::newRow("odd size") << QSize(203, 151) << 1.0f << 0.0f << 0.0f << 1.0f;
        QTest::newRow("no light adaptation, gamma 2.2") << QSize(190, 130) << 2.2f << 1.5f << 0.0f << 0.3f;
        QTest::newRow("gamma 2.2, adaptation") << QSize(256, 200) << 2.2f << 0.5f << 0.6f << 0.3f;
        QTest::newRow("tall") << QSize(40, 700) << 1.0f << -1.0f << 1.0f << 0.0f;
    }
    void reinhardBandsMatchSingleCall()
    {
        QFETCH(QSize, size);
        QFETCH(float, gamma);
        QFETCH(float, intensity);
        QFETCH(float, light);
        QFETCH(float, color);
        const std::vector<cv::Mat> images = bracketMatrices(size, {0.0625, 0.25, 1.0, 4.0}, 3, 1.0);
        cv::Mat radiance;
        cv::createMergeDebevec()->process(images, radiance, std::vector<float>{0.0625f, 0.25f, 1.0f, 4.0f});
        const cv::Mat stock = stockReinhard8(radiance, gamma, intensity, light, color);
        cv::Mat banded(radiance.size(), CV_8UC3);
        IQTonemapReinhardBanded(radiance, gamma, intensity, light, color, banded, false);
        QVERIFY2(maxAbsDiff(stock, banded) <= 1, qPrintable(QString::number(maxAbsDiff(stock, banded))));
        // Differences of one level are rare rounding ties, not a bias.
        cv::Mat diff;
        cv::absdiff(stock.reshape(1), banded.reshape(1), diff);
        QVERIFY2(cv::countNonZero(diff) * 1000 <= int(diff.total()), qPrintable(QString::number(cv::countNonZero(diff))));
        // A range handed in gives the picture that measuring it gives.
        IQRadianceRange range;
        IQRadianceRangeOf(radiance, range);
        cv::Mat withRange(radiance.size(), CV_8UC3);
        IQTonemapReinhardBanded(radiance, gamma, intensity, light, color, withRange, false, &range);
        QCOMPARE(maxAbsDiff(withRange, banded), 0);
        // The swapped form is the same picture in R,G,B order.
        cv::Mat swapped(radiance.size(), CV_8UC3);
        IQTonemapReinhardBanded(radiance, gamma, intensity, light, color, swapped, true);
        cv::Mat back;
        cv::cvtColor(swapped, back, cv::COLOR_RGB2BGR);
        QCOMPARE(maxAbsDiff(back, banded), 0);
    }

    void flatRadianceKeepsItsLevel()
    {
        // One colour everywhere has no contrast to map: without a known
        // level the picture is mid-grey, with one it is that level.
        const cv::Mat radiance(31, 17, CV_32FC3, cv::Scalar(0.5f, 2.0f, 9.0f));
        cv::Mat out(radiance.size(), CV_8UC3);
        IQTonemapReinhardBanded(radiance, 1.0f, 0.0f, 0.0f, 1.0f, out, false);
        QCOMPARE(cv::countNonZero(out.reshape(1) != 128), 0);
        const cv::Scalar level(10, 20, 30);
        IQTonemapReinhardBanded(radiance, 1.0f, 0.0f, 0.0f, 1.0f, out, false, nullptr, &level);
        QCOMPARE(cv::norm(out, cv::Mat(out.size(), CV_8UC3, level), cv::NORM_INF), 0.0);
        IQTonemapReinhardBanded(radiance, 1.0f, 0.0f, 0.0f, 1.0f, out, true, nullptr, &level);
        QCOMPARE(out.at<cv::Vec3b>(0, 0), cv::Vec3b(30, 20, 10));
        QCOMPARE(out.at<cv::Vec3b>(30, 16), cv::Vec3b(30, 20, 10));
    }

    void uniformSeriesKeepsItsLevel_data()
    {
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("lens cap: two black photos") << qRgb(0, 0, 0);
        QTest::newRow("two white photos") << qRgb(255, 255, 255);
        QTest::newRow("two orange photos") << qRgb(200, 90, 30);
    }
    void uniformSeriesKeepsItsLevel()
    {
        QFETCH(QRgb, colour);
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 0; i < 2; ++i) {
            QImage photo(64, 48, QImage::Format_RGB32);
            photo.fill(colour);
            paths << dir.filePath(QStringLiteral("flat%1.png").arg(i));
            QVERIFY(photo.save(paths.last()));
        }
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        const QImage picture = engine.toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f);
        QCOMPARE(picture.size(), QSize(64, 48));
        // Featureless photos tie every alignment offset, so the map may be
        // cropped by a pixel and smoothed back to the output size: one level
        // of slack.
        std::vector<cv::Mat> planes;
        cv::split(QImageToMat(picture, true), planes); // B, G, R
        const int expected[] = {qBlue(colour), qGreen(colour), qRed(colour)};
        for (int c = 0; c < 3; ++c) {
            double lo = 0, hi = 0;
            cv::minMaxLoc(planes[size_t(c)], &lo, &hi);
            QVERIFY2(lo >= expected[c] - 1 && hi <= expected[c] + 1,
                     qPrintable(QStringLiteral("channel %1: %2..%3").arg(c).arg(lo).arg(hi)));
        }
    }

    void engineMergesSyntheticBracket_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::newRow("png 320x240") << QByteArray("png") << QSize(320, 240);
        QTest::newRow("jpg odd 321x239") << QByteArray("jpg") << QSize(321, 239);
        QTest::newRow("tif 256x192") << QByteArray("tif") << QSize(256, 192);
    }
    void engineMergesSyntheticBracket()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        BracketSpec recipe;
        recipe.size = size;
        recipe.exposures = {0.25, 1.0, 4.0};
        const QStringList paths = writeBracket(recipe, dir.path(), format);
        QCOMPARE(paths.size(), 3);
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        QCOMPARE(sources.size(), 3);
        QCOMPARE(engine.mergeKind(), 1);
        QVERIFY(!engine.isSingleImage());
        const cv::Mat radiance = engine.result();
        QCOMPARE(radiance.type(), CV_32FC3);
        // Frames of one scene: at most a pixel or two of median-threshold
        // jitter between very different exposures.
        QVERIFY(radiance.cols >= size.width() - 2 && radiance.cols <= size.width());
        QVERIFY(radiance.rows >= size.height() - 2 && radiance.rows <= size.height());

        const QImage picture = engine.toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f);
        QCOMPARE(picture.format(), QImage::Format_RGB888);
        QCOMPARE(picture.size(), IQHDREngine::outputSizeFor(QSize(radiance.cols, radiance.rows)));
        QVERIFY(picture.width() % 4 == 0 && picture.height() % 2 == 0);
        // The light stays the brightest part and the shadow the darkest.
        const QPoint light(int(0.75 * size.width()), int(0.3 * size.height()));
        const QPoint shadow(int(0.1 * picture.width()), int(0.9 * picture.height()));
        QVERIFY(qGray(picture.pixel(light)) > 200);
        QVERIFY(qGray(picture.pixel(shadow)) < qGray(picture.pixel(picture.width() / 2, picture.height() / 2)));
        // The tone mapper leaves the radiance map as it was.
        cv::Mat after = engine.result();
        QCOMPARE(cv::norm(after, radiance, cv::NORM_INF), 0.0);
        picture.save(testOutputDir() + QStringLiteral("/hdrmerge_%1.png").arg(QString::fromLatin1(format)));
    }

    void engineMatchesStockPipeline_data()
    {
        QTest::addColumn<QList<double>>("exposures"); // in path order
        QTest::addColumn<QList<QPoint>>("shifts");
        QTest::addColumn<QSize>("size");
        QTest::newRow("3 unsorted, still") << QList<double>{4.0, 0.25, 1.0} << QList<QPoint>{} << QSize(240, 160);
        // Four photos darker than mid-grey, handed over out of order: the
        // reference is the middle one of the sorted series (exposure 0.5).
        // Only from it are all others within the 15 px that a 256 px high
        // pyramid reaches, so a wrong order or reference misaligns.
        QTest::newRow("4 dark, unsorted, moved")
            << QList<double>{0.25, 1.0, 0.125, 0.5}
            << QList<QPoint>{QPoint(-10, -1), QPoint(12, 3), QPoint(-13, 2), QPoint(0, 0)} << QSize(320, 256);
    }
    void engineMatchesStockPipeline()
    {
        // The engine's picture is the stock merge and tone mapping of the
        // part of the scene that every photo shows.
        QFETCH(QList<double>, exposures);
        QFETCH(QList<QPoint>, shifts);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        BracketSpec recipe;
        recipe.size = size;
        recipe.exposures = exposures;
        recipe.shifts = shifts;
        recipe.lightAndShadow = false;
        const QStringList paths = writeBracket(recipe, dir.path(), "png");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        const QImage picture = engine.toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f);

        // Photo i shows scene pixel p at p + shift i; the scene part that
        // all of them show starts at the largest of -shift.
        QPoint first(INT_MIN, INT_MIN), last(INT_MAX, INT_MAX);
        for (int i = 0; i < sources.size(); ++i) {
            const QPoint s = shifts.value(i);
            first = QPoint(std::max(first.x(), -s.x()), std::max(first.y(), -s.y()));
            last = QPoint(std::min(last.x(), size.width() - s.x()), std::min(last.y(), size.height() - s.y()));
        }
        std::vector<cv::Mat> images;
        std::vector<float> times;
        for (int i = 0; i < sources.size(); ++i) {
            const QRect common(first + shifts.value(i), last + shifts.value(i) - QPoint(1, 1));
            images.push_back(QImageToMat(sources[i].copy(common).convertToFormat(QImage::Format_RGB888), true));
            times.push_back(float(1.0 / IQHDREngine::exposureOf(sources[i])));
            QVERIFY(times.back() < 1.0f || shifts.isEmpty());
        }
        cv::Mat radiance;
        cv::createMergeDebevec()->process(images, radiance, times);
        const QImage stock = MatToQImage(stockReinhard8(radiance, 1.0f, 0.0f, 0.0f, 1.0f));
        const QSize rounded((stock.width() + 3) / 4 * 4, (stock.height() + 1) / 2 * 2);
        const QImage expected = stock.scaled(rounded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(engine.result().cols, stock.width());
        QCOMPARE(engine.result().rows, stock.height());
        QCOMPARE(picture.size(), expected.size());
        QVERIFY(maxAbsDiff(QImageToMat(picture, true), QImageToMat(expected, true)) <= 1);
    }

    void realHallSeriesStaysWhole()
    {
        const QString data = sharedTestDataDir();
        if (data.isEmpty())
            QSKIP("shared test photos not available");
        QDir hall(data + QStringLiteral("/homedeck_hall_5d3_3exp"));
        const QStringList names = hall.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
        if (names.size() != 3)
            QSKIP("hall series not available");
        QStringList paths;
        for (const QString& name : names)
            paths << hall.filePath(name);
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        const cv::Mat radiance = engine.result();
        // A sound alignment of a hand-held bracket shifts by a few pixels.
        QVERIFY2(radiance.cols >= sources[0].width() - 6 && radiance.rows >= sources[0].height() - 6,
                 qPrintable(QStringLiteral("%1 x %2").arg(radiance.cols).arg(radiance.rows)));
        const QImage picture = engine.toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f);
        QCOMPARE(picture.size(), IQHDREngine::outputSizeFor(QSize(radiance.cols, radiance.rows)));
        picture.scaledToWidth(960, Qt::SmoothTransformation).save(testOutputDir() + QStringLiteral("/hdrmerge_hall.jpg"));
    }
};

QTEST_GUILESS_MAIN(TestHdrMerge)
#include "tst_hdrmerge.moc"
