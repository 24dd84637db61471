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

Q_DECLARE_METATYPE(cv::Vec3d)

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

// Whether a photo's brightest channel lies within 15..240 at every pixel of
// the series: there the merge must be the library's to float rounding.
cv::Mat awayFromTheEnds(const std::vector<cv::Mat>& images)
{
    cv::Mat inside(images[0].size(), CV_8U, cv::Scalar(255));
    for (const cv::Mat& image : images) {
        std::vector<cv::Mat> planes;
        cv::split(image, planes);
        cv::Mat brightest = cv::max(cv::max(planes[0], planes[1]), planes[2]);
        inside &= (brightest >= 15) & (brightest <= 240);
    }
    return inside;
}

// Largest relative difference between two radiance maps where mask is set
// (infinite when a holds no number somewhere).
double worstRelative(const cv::Mat& a, const cv::Mat& b, const cv::Mat& mask)
{
    if (!cv::checkRange(a))
        return std::numeric_limits<double>::infinity();
    cv::Mat relative;
    cv::absdiff(a, b, relative);
    relative = relative / (cv::abs(b) + 1e-6f);
    cv::Mat worst = relative.reshape(1, relative.rows * relative.cols);
    cv::reduce(worst, worst, 1, cv::REDUCE_MAX);
    double value = 0;
    cv::minMaxLoc(worst.reshape(1, a.rows), nullptr, &value, nullptr, nullptr, mask);
    return value;
}

cv::Mat stockMerge(const std::vector<cv::Mat>& images, const std::vector<float>& times)
{
    cv::Mat radiance;
    cv::createMergeDebevec()->process(images, radiance, times);
    return radiance;
}

// An 8-bit level of linear light (1 = full white), linear or sRGB coded.
int levelOf(double light, bool srgb)
{
    return srgb ? encodeSRGB(light) : int(std::lround(std::clamp(light, 0.0, 1.0) * 255.0));
}

// Radiance of a disc far brighter than white (clipped in every photo)
// whose soft edge falls to a dim background, per channel.
cv::Vec3d discLight(double r, const cv::Vec3d& core)
{
    const double inner = 20, outer = 60, background = 0.03;
    double s = r <= inner ? 1.0 : r >= outer ? 0.0 : 0.5 + 0.5 * std::cos(M_PI * (r - inner) / (outer - inner));
    s *= s;
    cv::Vec3d light;
    for (int c = 0; c < 3; ++c)
        light[c] = background + (core[c] - background) * s;
    return light;
}

std::vector<cv::Mat> discBracket(int side, const std::vector<float>& times, bool srgb, const cv::Vec3d& core)
{
    std::vector<cv::Mat> photos;
    const double centre = (side - 1) / 2.0;
    for (const float t : times) {
        cv::Mat photo(side, side, CV_8UC3);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const cv::Vec3d light = discLight(std::hypot(x - centre, y - centre), core);
                for (int c = 0; c < 3; ++c)
                    photo.at<cv::Vec3b>(y, x)[c] = uchar(levelOf(light[c] * t, srgb));
            }
        }
        photos.push_back(photo);
    }
    return photos;
}

// Mean of each channel over the pixels at each whole distance from the
// centre, out to the largest circle inside the picture.
std::vector<cv::Vec3d> radialProfile(const cv::Mat& picture)
{
    const double centre = (picture.cols - 1) / 2.0;
    const int rings = picture.cols / 2;
    std::vector<cv::Vec3d> sum(static_cast<size_t>(rings));
    std::vector<int> count(static_cast<size_t>(rings));
    for (int y = 0; y < picture.rows; ++y) {
        for (int x = 0; x < picture.cols; ++x) {
            const int ring = int(std::lround(std::hypot(x - centre, y - centre)));
            if (ring >= rings)
                continue;
            for (int c = 0; c < 3; ++c)
                sum[size_t(ring)][c] += picture.type() == CV_32FC3 ? double(picture.at<cv::Vec3f>(y, x)[c])
                                                                     : double(picture.at<cv::Vec3b>(y, x)[c]);
            ++count[size_t(ring)];
        }
    }
    for (size_t i = 0; i < sum.size(); ++i)
        sum[i] /= double(count[i]);
    return sum;
}

// The first ring (and channel) that is brighter than the ring inside it by
// more than the slack, or -1.
int firstRise(const std::vector<cv::Vec3d>& profile, double relativeSlack, double absoluteSlack, int* channel)
{
    for (size_t i = 1; i < profile.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            if (profile[i][c] > profile[i - 1][c] * (1.0 + relativeSlack) + absoluteSlack) {
                *channel = c;
                return int(i);
            }
        }
    }
    return -1;
}

QString profileText(const std::vector<cv::Vec3d>& profile, int from, int to, int channel)
{
    QStringList values;
    for (int i = std::max(from, 0); i < std::min(to, int(profile.size())); ++i)
        values << QString::number(profile[size_t(i)][channel], 'g', 4);
    return values.join(QLatin1Char(' '));
}

// The three photos of the shared hall series, or none when it is not here.
QStringList hallSeriesPaths()
{
    const QString data = sharedTestDataDir();
    if (data.isEmpty())
        return {};
    const QDir hall(data + QStringLiteral("/homedeck_hall_5d3_3exp"));
    QStringList paths;
    for (const QString& name : hall.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << hall.filePath(name);
    return paths.size() == 3 ? paths : QStringList();
}

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
            exposures << std::pow(2.0, i - frames / 2);
            times.push_back(float(exposures.last()));
        }
        const std::vector<cv::Mat> images = bracketMatrices(size, exposures, 7, 1.5);
        cv::Mat stock, banded;
        cv::createMergeDebevec()->process(images, stock, times);
        IQMergeDebevecBanded(images, times, banded);
        QCOMPARE(banded.type(), CV_32FC3);
        QCOMPARE(banded.size(), stock.size());
        // Where every photo lies within 15..240 the merge is the library's;
        // the scene's light and shadow reach the ends of the range.
        const cv::Mat inside = awayFromTheEnds(images);
        QVERIFY(cv::countNonZero(inside) > int(inside.total()) / 4);
        const double worst = worstRelative(banded, stock, inside);
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

    // A pixel at an end of the range in a photo only bounds its radiance.
    // Photos are given out of exposure order; each row lists the pixel in
    // the shortest, middle and longest photo, and which photos its radiance
    // must come from, as the library merges them.
    void endsOfTheRangeAreBounds_data()
    {
        QTest::addColumn<QList<QRgb>>("pixel"); // shortest, middle, longest
        QTest::addColumn<QString>("from");      // "shortest", "longest" or "all"
        const auto row = [](const char* name, QRgb shortest, QRgb middle, QRgb longest, const char* from) {
            QTest::newRow(name) << QList<QRgb>{shortest, middle, longest} << QString::fromLatin1(from);
        };
        const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
        row("white in every photo", white, white, white, "shortest");
        row("white, just below the top in the shortest", qRgb(252, 251, 250), white, white, "shortest");
        // JPEG ringing beside a clipped sky reads below 250 in a longer photo.
        row("ringing in a longer photo", white, qRgb(244, 247, 238), white, "shortest");
        // A warm lamp clipped in red keeps the shortest photo's colour.
        row("warm lamp", qRgb(255, 226, 170), qRgb(255, 255, 236), white, "shortest");
        row("black in every photo", black, black, black, "longest");
        row("black but a trace in the longest", black, qRgb(1, 0, 2), qRgb(3, 2, 5), "longest");
        // The shortest black and the longest clipped: they disagree, and all
        // of them count as they would without bounds.
        row("contradicting photos", black, qRgb(120, 130, 250), white, "all");
        row("mid-tones", qRgb(40, 60, 30), qRgb(150, 200, 120), qRgb(235, 240, 215), "all");
    }
    void endsOfTheRangeAreBounds()
    {
        QFETCH(QList<QRgb>, pixel);
        QFETCH(QString, from);
        // Given order: middle, longest, shortest.
        const std::vector<float> times{1.0f, 4.0f, 0.25f};
        const int exposureRank[] = {1, 2, 0};
        std::vector<cv::Mat> photos;
        for (int i = 0; i < 3; ++i) {
            const QRgb c = pixel[exposureRank[i]];
            // Wide enough for the vector loops and a remainder.
            photos.emplace_back(3, 37, CV_8UC3, cv::Scalar(qBlue(c), qGreen(c), qRed(c)));
        }
        cv::Mat expected;
        if (from == QLatin1String("shortest"))
            expected = stockMerge({photos[2]}, {times[2]});
        else if (from == QLatin1String("longest"))
            expected = stockMerge({photos[1]}, {times[1]});
        else
            expected = stockMerge(photos, times);
        cv::Mat radiance;
        IQMergeDebevecBanded(photos, times, radiance);
        const double worst = worstRelative(radiance, expected, cv::Mat(radiance.size(), CV_8U, cv::Scalar(255)));
        const cv::Vec3f got = radiance.at<cv::Vec3f>(0, 0), want = expected.at<cv::Vec3f>(0, 0);
        QVERIFY2(worst < 1e-5, qPrintable(QStringLiteral("B,G,R %1 %2 %3, expected %4 %5 %6")
                                               .arg(got[0]).arg(got[1]).arg(got[2])
                                               .arg(want[0]).arg(want[1]).arg(want[2])));
    }

    // A disc clipped in every photo, with a soft edge: from the centre out,
    // the radiance and the tone-mapped picture only fall. Linear coding
    // matches the merge's response; sRGB coding is what cameras give.
    void clippedDiscHasNoRing_data()
    {
        QTest::addColumn<bool>("srgb");
        QTest::addColumn<QList<float>>("times");
        QTest::addColumn<cv::Vec3d>("core");
        QTest::newRow("linear, 3 photos") << false << QList<float>{0.25f, 1.0f, 4.0f} << cv::Vec3d(8, 8, 8);
        QTest::newRow("sRGB, 3 photos") << true << QList<float>{0.25f, 1.0f, 4.0f} << cv::Vec3d(8, 8, 8);
        QTest::newRow("sRGB, 5 photos") << true << QList<float>{0.125f, 0.35f, 1.0f, 2.8f, 8.0f}
                                        << cv::Vec3d(16, 16, 16);
        QTest::newRow("sRGB, warm lamp") << true << QList<float>{0.25f, 1.0f, 4.0f} << cv::Vec3d(3, 8, 12);
    }
    void clippedDiscHasNoRing()
    {
        QFETCH(bool, srgb);
        QFETCH(QList<float>, times);
        QFETCH(cv::Vec3d, core);
        const std::vector<float> t(times.begin(), times.end());
        const std::vector<cv::Mat> photos = discBracket(161, t, srgb, core);
        cv::Mat radiance;
        IQMergeDebevecBanded(photos, t, radiance);
        const std::vector<cv::Vec3d> light = radialProfile(radiance);
        int channel = 0;
        // Float rounding aside, no ring is brighter than the one inside it.
        int ring = firstRise(light, 1e-5, 0.0, &channel);
        QVERIFY2(ring < 0, qPrintable(QStringLiteral("radiance rises at ring %1 (channel %2): %3")
                                          .arg(ring).arg(channel)
                                          .arg(profileText(light, ring - 4, ring + 3, channel))));

        cv::Mat mapped;
        cv::createTonemapReinhard(1.0f, 0.0f, 0.0f, 1.0f)->process(radiance, mapped);
        cv::Mat picture;
        mapped.convertTo(picture, CV_8UC3, 255.0);
        const std::vector<cv::Vec3d> levels = radialProfile(picture);
        ring = firstRise(levels, 0.0, 0.0, &channel);
        QVERIFY2(ring < 0, qPrintable(QStringLiteral("picture brightens at ring %1 (channel %2): %3")
                                          .arg(ring).arg(channel)
                                          .arg(profileText(levels, ring - 4, ring + 3, channel))));

        // The clipped core holds what the shortest photo says of it.
        const cv::Vec3f shortest = stockMerge({photos.front()}, {t.front()}).at<cv::Vec3f>(80, 80);
        for (int c = 0; c < 3; ++c)
            QVERIFY2(std::fabs(light[0][c] - shortest[c]) < 1e-3 * shortest[c],
                     qPrintable(QStringLiteral("%1, expected %2").arg(light[0][c]).arg(shortest[c])));
    }

    // Photos that disagree a little about a level, as camera JPEGs do,
    // merge without steps where one of them reaches the top: a gentle
    // gradient of light stays gentle.
    void gradientThroughTheTopHasNoSteps()
    {
        const int width = 600;
        const std::vector<float> times{0.25f, 1.0f, 4.0f};
        std::vector<cv::Mat> photos;
        for (const float t : times) {
            cv::Mat photo(2, width, CV_8UC3);
            // The shortest photo stays below the top, where the library's
            // merge would make its own ring.
            for (int x = 0; x < width; ++x) {
                const double light = 0.1 * std::pow(36.0, double(x) / (width - 1)); // 0.1 .. 3.6
                photo.at<cv::Vec3b>(0, x) = photo.at<cv::Vec3b>(1, x) = cv::Vec3b::all(uchar(levelOf(light * t, true)));
            }
            photos.push_back(photo);
        }
        cv::Mat radiance;
        IQMergeDebevecBanded(photos, times, radiance);
        const cv::Mat stock = stockMerge(photos, times);
        // The light grows by 0.6 % a pixel, but levels are whole numbers:
        // the library's merge steps by up to about 2 % where a level
        // changes. A photo that leaves the merge at one level (a hard cut at
        // 250) adds a step of twice that; fading it out over ten levels
        // does not.
        auto largestStep = [&](const cv::Mat& map, int* at) {
            double largest = 0;
            for (int x = 1; x < width; ++x) {
                const double step = std::fabs(std::log(map.at<cv::Vec3f>(0, x)[1] / map.at<cv::Vec3f>(0, x - 1)[1]));
                if (step > largest) {
                    largest = step;
                    *at = x;
                }
            }
            return largest;
        };
        int at = 0, stockAt = 0;
        const double ours = largestStep(radiance, &at);
        const double library = largestStep(stock, &stockAt);
        QVERIFY2(ours <= 2.0 * library,
                 qPrintable(QStringLiteral("step of %1 at %2 (levels %3/%4/%5 -> %6/%7/%8); library's largest %9")
                                .arg(ours).arg(at)
                                .arg(photos[0].at<cv::Vec3b>(0, at - 1)[1]).arg(photos[1].at<cv::Vec3b>(0, at - 1)[1])
                                .arg(photos[2].at<cv::Vec3b>(0, at - 1)[1]).arg(photos[0].at<cv::Vec3b>(0, at)[1])
                                .arg(photos[1].at<cv::Vec3b>(0, at)[1]).arg(photos[2].at<cv::Vec3b>(0, at)[1])
                                .arg(library)));
        // And it rises throughout.
        for (int x = 1; x < width; ++x)
            QVERIFY2(radiance.at<cv::Vec3f>(0, x)[1] >= radiance.at<cv::Vec3f>(0, x - 1)[1] * 0.999f,
                     qPrintable(QString::number(x)));
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
        // The photos keep clear of the ends of the range, where the merge
        // departs from the library's.
        QTest::newRow("3 unsorted, still") << QList<double>{1.8, 0.45, 0.9} << QList<QPoint>{} << QSize(240, 160);
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

    // On real camera JPEGs the merge is the library's wherever every photo
    // lies within 15..240, and only there.
    void realBracketsMatchStockAwayFromTheEnds_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("hall") << QStringLiteral("homedeck_hall_5d3_3exp");
        QTest::newRow("kitchen") << QStringLiteral("homedeck_kitchen_em1_5exp");
    }
    void realBracketsMatchStockAwayFromTheEnds()
    {
        QFETCH(QString, folder);
        const QString data = sharedTestDataDir();
        if (data.isEmpty())
            QSKIP("shared test photos not available");
        const QDir dir(data + QLatin1Char('/') + folder);
        const QStringList names = dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
        if (names.size() < 3)
            QSKIP("series not available");
        std::vector<cv::Mat> photos;
        std::vector<float> times;
        for (const QString& name : names) {
            const QImage photo(dir.filePath(name));
            QVERIFY(!photo.isNull());
            photos.push_back(QImageToMat(photo.convertToFormat(QImage::Format_RGB888), true));
            times.push_back(float(1.0 / IQHDREngine::exposureOf(photo)));
        }
        cv::Mat radiance;
        IQMergeDebevecBanded(photos, times, radiance);
        const cv::Mat stock = stockMerge(photos, times);
        const cv::Mat inside = awayFromTheEnds(photos);
        QVERIFY(cv::countNonZero(inside) > int(inside.total()) / 2);
        const double worst = worstRelative(radiance, stock, inside);
        QVERIFY2(worst < 1e-5, qPrintable(QString::number(worst)));
        // Near the ends it is not: the bright windows and lamps come out
        // brighter than the library makes them.
        cv::Mat brighter;
        cv::compare(radiance.reshape(1), stock.reshape(1) * 1.2, brighter, cv::CMP_GT);
        QVERIFY(cv::countNonZero(brighter) > 1000);
    }

    // The arch window of the hall shows sky that is white in all three
    // photos; its bars have a fringe just below white in the darkest photo.
    // The sky must come out at least as bright as anything the darkest
    // photo shows below white.
    void hallSkyStaysBrightest()
    {
        const QStringList paths = hallSeriesPaths();
        if (paths.isEmpty())
            QSKIP("hall series not available");
        EngineUnderTest engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(paths, sources), int(IQHDR_OK));
        const QImage picture = engine.toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f).convertToFormat(QImage::Format_RGB32);
        // The series was shot from a tripod: the photos align unshifted, so
        // the result's pixels are the photos' pixels.
        QCOMPARE(picture.size(), sources[0].size());
        QList<QImage> photos;
        int darkest = 0;
        double darkestMean = 1e9;
        for (int i = 0; i < sources.size(); ++i) {
            photos << sources[i].convertToFormat(QImage::Format_RGB32);
            const cv::Scalar mean = cv::mean(QImageToMat(photos[i], false));
            if (mean[0] + mean[1] + mean[2] < darkestMean) {
                darkestMean = mean[0] + mean[1] + mean[2];
                darkest = i;
            }
        }
        auto luma = [](QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); };
        auto white = [](QRgb c) { return qRed(c) >= 250 && qGreen(c) >= 250 && qBlue(c) >= 250; };
        double skyDarkest = 1e9, otherBrightest = -1;
        QPoint skyAt, otherAt;
        int sky = 0;
        for (int y = 0; y < picture.height(); ++y) {
            const QRgb* out = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                bool allWhite = true;
                for (const QImage& photo : photos)
                    allWhite = allWhite && white(reinterpret_cast<const QRgb*>(photo.constScanLine(y))[x]);
                const double l = luma(out[x]);
                if (allWhite) {
                    ++sky;
                    if (l < skyDarkest) {
                        skyDarkest = l;
                        skyAt = QPoint(x, y);
                    }
                    continue;
                }
                const QRgb inDarkest = reinterpret_cast<const QRgb*>(photos[darkest].constScanLine(y))[x];
                if (!white(inDarkest) && l > otherBrightest) {
                    otherBrightest = l;
                    otherAt = QPoint(x, y);
                }
            }
        }
        QVERIFY2(sky > 10000, qPrintable(QString::number(sky)));
        QVERIFY2(skyDarkest >= otherBrightest - 2.0,
                 qPrintable(QStringLiteral("sky at (%1, %2) has luma %3; (%4, %5), below white in the darkest, %6")
                                .arg(skyAt.x()).arg(skyAt.y()).arg(skyDarkest)
                                .arg(otherAt.x()).arg(otherAt.y()).arg(otherBrightest)));
        picture.copy(240, 370, 400, 200).save(testOutputDir() + QStringLiteral("/hdrmerge_hall_window.png"));
    }

    void realHallSeriesStaysWhole()
    {
        const QStringList paths = hallSeriesPaths();
        if (paths.isEmpty())
            QSKIP("hall series not available");
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
