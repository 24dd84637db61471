#include <QtTest>
#include <QDir>
#include <QImage>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include "TestPaths.h"
#include "align.h"

Q_DECLARE_METATYPE(cv::Point)
Q_DECLARE_METATYPE(cv::Size)

namespace {

// A structured scene bigger than the photos, so that shifted crops have
// real content everywhere.
cv::Mat makeScene(cv::Size size, uint64_t seed)
{
    cv::RNG rng(seed);
    // Smooth texture underneath, so that the median splits real structure
    // rather than a flat background.
    cv::Mat coarse(std::max(2, size.height / 16), std::max(2, size.width / 16), CV_8UC3);
    rng.fill(coarse, cv::RNG::UNIFORM, 0, 256);
    cv::Mat scene;
    cv::resize(coarse, scene, size, 0, 0, cv::INTER_CUBIC);
    const int shapes = std::max(20, size.area() / 2500);
    for (int i = 0; i < shapes; ++i) {
        const cv::Point c(rng.uniform(0, size.width), rng.uniform(0, size.height));
        const int r = rng.uniform(3, std::max(4, std::min(size.width, size.height) / 12));
        const cv::Scalar colour(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256));
        if (i % 2)
            cv::circle(scene, c, r, colour, cv::FILLED);
        else
            cv::rectangle(scene, cv::Rect(c.x, c.y, r * 2, r), colour, cv::FILLED);
    }
    cv::GaussianBlur(scene, scene, cv::Size(3, 3), 0.8);
    return scene;
}

const int kMargin = 140;

// The photo whose content sits at offset (ox, oy) of the reference crop: it
// aligns onto the reference with the shift (ox, oy).
cv::Mat photoAt(const cv::Mat &scene, cv::Size size, cv::Point offset, double gain = 1.0)
{
    cv::Mat photo = scene(cv::Rect(kMargin + offset.x, kMargin + offset.y, size.width, size.height)).clone();
    if (gain != 1.0)
        photo.convertTo(photo, -1, gain, 0);
    return photo;
}

cv::Mat sceneFor(cv::Size size, uint64_t seed)
{
    return makeScene(size + cv::Size(2 * kMargin, 2 * kMargin), seed);
}

cv::Mat grey(const cv::Mat &bgr)
{
    cv::Mat g;
    cv::cvtColor(bgr, g, cv::COLOR_RGB2GRAY);
    return g;
}

// The search written out with whole-image operations, as a reference for the
// packed-bitmap implementation.
cv::Point naiveShift(cv::AlignIndexMTBImpl &align, const cv::Mat &img0, const cv::Mat &img1)
{
    const int maxLevel = align.maxLevelFor(img0.size());
    std::vector<cv::Mat> p0{img0}, p1{img1};
    auto halve = [](const cv::Mat &m) {
        cv::Mat out(m.rows / 2, m.cols / 2, CV_8UC1);
        for (int y = 0; y < out.rows; ++y)
            for (int x = 0; x < out.cols; ++x)
                out.at<uchar>(y, x) = m.at<uchar>(2 * y, 2 * x);
        return out;
    };
    for (int l = 1; l <= maxLevel; ++l) {
        p0.push_back(halve(p0.back()));
        p1.push_back(halve(p1.back()));
    }
    cv::Point shift(0, 0);
    for (int level = maxLevel; level >= 0; --level) {
        shift *= 2;
        cv::Mat tb1, eb1, tb2, eb2;
        align.computeBitmaps(p0[level], tb1, eb1);
        align.computeBitmaps(p1[level], tb2, eb2);
        int minErr = int(p0[level].total());
        cv::Point best = shift;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j) {
                const cv::Point test = shift + cv::Point(i, j);
                cv::Mat stb, seb, diff;
                align.shiftMat(tb2, stb, test);
                align.shiftMat(eb2, seb, test);
                cv::bitwise_xor(tb1, stb, diff);
                cv::bitwise_and(diff, eb1, diff);
                cv::bitwise_and(diff, seb, diff);
                const int err = cv::countNonZero(diff);
                if (err < minErr) {
                    minErr = err;
                    best = test;
                }
            }
        shift = best;
    }
    return shift;
}

cv::Mat toMat(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    cv::Mat wrap(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar *>(rgb.constBits()),
                 size_t(rgb.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(wrap, bgr, cv::COLOR_RGB2BGR);
    return bgr;
}

template <typename Fn>
cv::Exception expectCvError(Fn &&fn)
{
    try {
        fn();
    } catch (const cv::Exception &e) {
        return e;
    }
    return cv::Exception(0, "no exception", "", "", 0);
}

} // namespace

class TestAlign : public QObject {
    Q_OBJECT
private slots:
    void findsKnownShift_data();
    void findsKnownShift();
    void signMatchesStockAligner();
    void packedSearchMatchesWholeImageSearch_data();
    void packedSearchMatchesWholeImageSearch();
    void identicalSeriesStaysUncut();
    void referenceIndexSelection_data();
    void referenceIndexSelection();
    void processAlignsAndCuts();
    void greyWeighsTheFirstChannelAsRed();
    void processWithoutCutKeepsSize();
    void pyramidDepth_data();
    void pyramidDepth();
    void maxBitsLimitsReachableShift();
    void elongatedSeries();
    void realBracketStaysPut_data();
    void realBracketStaysPut();
    void shiftMatMovesAndClears_data();
    void shiftMatMovesAndClears();
    void shiftMatInPlace();
    void computeBitmapsMedianAndExclusion();
    void assertionTexts();
    void badSeries();
    void persistence();
};

void TestAlign::findsKnownShift_data()
{
    QTest::addColumn<cv::Point>("offset");
    QTest::addColumn<double>("gain");
    QTest::newRow("3,-2") << cv::Point(3, -2) << 1.0;
    QTest::newRow("-5,7 darker") << cv::Point(-5, 7) << 0.5;
    QTest::newRow("0,1 brighter") << cv::Point(0, 1) << 1.6;
    QTest::newRow("12,-9") << cv::Point(12, -9) << 1.0;
    QTest::newRow("-14,9 darker") << cv::Point(-14, 9) << 0.4;
}

void TestAlign::findsKnownShift()
{
    QFETCH(cv::Point, offset);
    QFETCH(double, gain);
    const cv::Size size(320, 256);
    const cv::Mat scene = sceneFor(size, 11);
    const cv::Mat ref = photoAt(scene, size, {0, 0});
    const cv::Mat moved = photoAt(scene, size, offset, gain);
    auto align = cv::createAlignIndexMTB(10, 6, true, -1);
    QCOMPARE(align->calculateShift(grey(ref), grey(moved)), offset);
}

void TestAlign::signMatchesStockAligner()
{
    // Same depth for both: 256 x 256 with 4 bits gives levels 0..3.
    const cv::Size size(256, 256);
    const cv::Mat scene = sceneFor(size, 5);
    const cv::Mat ref = grey(photoAt(scene, size, {0, 0}));
    auto ours = cv::createAlignIndexMTB(4, 4, true, -1);
    auto stock = cv::createAlignMTB(4, 4, true);
    QCOMPARE(ours->maxLevelFor(size), 3);
    for (const cv::Point offset : {cv::Point(3, -2), cv::Point(-6, 4), cv::Point(9, 9)}) {
        const cv::Mat moved = grey(photoAt(scene, size, offset));
        const cv::Point expected = stock->calculateShift(ref, moved);
        QCOMPARE(expected, offset);
        QCOMPARE(ours->calculateShift(ref, moved), expected);
        // And shiftMat moves the same way as the stock one.
        cv::Mat a, b;
        ours->shiftMat(moved, a, expected);
        stock->shiftMat(moved, b, expected);
        QCOMPARE(cv::norm(a, b, cv::NORM_INF), 0.0);
    }
}

void TestAlign::packedSearchMatchesWholeImageSearch_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("excludeRange");
    QTest::newRow("odd 333x257") << 333 << 257 << 1 << 6;
    QTest::newRow("word edge 128x96") << 128 << 96 << 2 << 6;
    QTest::newRow("65 wide") << 65 << 300 << 3 << 4;
    QTest::newRow("noise, ties") << 200 << 150 << 4 << 0;
    QTest::newRow("tiny 7x5") << 7 << 5 << 5 << 6;
    QTest::newRow("negative exclusion") << 190 << 130 << 6 << -1;
}

void TestAlign::packedSearchMatchesWholeImageSearch()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, seed);
    QFETCH(int, excludeRange);
    const cv::Size size(width, height);
    cv::Mat a, b;
    if (QByteArray(QTest::currentDataTag()).startsWith("noise")) {
        a.create(size, CV_8UC1);
        b.create(size, CV_8UC1);
        cv::RNG rng{uint64_t(seed)};
        rng.fill(a, cv::RNG::UNIFORM, 0, 256);
        rng.fill(b, cv::RNG::UNIFORM, 0, 256);
    } else {
        const cv::Mat scene = sceneFor(size, uint64_t(seed));
        a = grey(photoAt(scene, size, {0, 0}));
        b = grey(photoAt(scene, size, {seed * 3 - 7, 5 - seed * 2}, 0.7));
        cv::Mat noise(size, CV_8UC1);
        cv::RNG(uint64_t(seed) + 100).fill(noise, cv::RNG::UNIFORM, 0, 9);
        b += noise;
    }
    auto align = cv::createAlignIndexMTB(10, excludeRange, true, -1);
    QCOMPARE(align->calculateShift(a, b), naiveShift(*align, a, b));
    QCOMPARE(align->calculateShift(b, a), naiveShift(*align, b, a));
}

void TestAlign::identicalSeriesStaysUncut()
{
    const cv::Size size(160, 120);
    const cv::Mat photo = photoAt(sceneFor(size, 3), size, {0, 0});
    std::vector<cv::Mat> src{photo.clone(), photo.clone(), photo.clone()}, dst;
    auto align = cv::createAlignIndexMTB(10, 6, true, -1);
    align->process(src, dst);
    QCOMPARE(dst.size(), size_t(3));
    for (size_t i = 0; i < 3; ++i) {
        QCOMPARE(dst[i].size(), size);
        QCOMPARE(cv::norm(dst[i], photo, cv::NORM_INF), 0.0);
    }
}

void TestAlign::referenceIndexSelection_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("pivot");
    QTest::newRow("index 2 of 3") << 3 << 2 << 2;
    QTest::newRow("index -1 of 3") << 3 << -1 << 1;
    QTest::newRow("index 0 of 3") << 3 << 0 << 0;
    QTest::newRow("index -1 of 4") << 4 << -1 << 2;
    QTest::newRow("index -1 of 1") << 1 << -1 << 0;
}

void TestAlign::referenceIndexSelection()
{
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(int, pivot);
    const cv::Size size(200, 160);
    const cv::Mat scene = sceneFor(size, 9);
    std::vector<cv::Mat> src;
    for (int i = 0; i < count; ++i)
        src.push_back(photoAt(scene, size, {2 * i, -i}, 0.6 + 0.3 * i));
    std::vector<cv::Mat> dst;
    auto align = cv::createAlignIndexMTB(6, 6, false, index);
    QCOMPARE(align->referenceIndex(), index);
    align->process(src, dst);
    QCOMPARE(int(dst.size()), count);
    // The reference is handed through untouched.
    QVERIFY(dst[size_t(pivot)].data == src[size_t(pivot)].data);
    // Every other photo is moved onto the reference's frame.
    for (int i = 0; i < count; ++i) {
        if (i == pivot)
            continue;
        QVERIFY(dst[size_t(i)].data != src[size_t(i)].data);
        const cv::Point shift = cv::Point(2 * i, -i) - cv::Point(2 * pivot, -pivot);
        cv::Mat expected;
        align->shiftMat(src[size_t(i)], expected, shift);
        QCOMPARE(cv::norm(dst[size_t(i)], expected, cv::NORM_INF), 0.0);
    }
}

void TestAlign::processAlignsAndCuts()
{
    const cv::Size size(300, 220);
    const cv::Mat scene = sceneFor(size, 21);
    const std::vector<cv::Point> offsets{{3, -2}, {0, 0}, {-4, 5}, {1, 1}};
    std::vector<cv::Mat> src;
    for (size_t i = 0; i < offsets.size(); ++i)
        src.push_back(photoAt(scene, size, offsets[i], 0.5 + 0.25 * double(i)));
    std::vector<cv::Mat> dst;
    auto align = cv::createAlignIndexMTB(6, 6, true, 1);
    align->process(src, dst);
    // x spans -4..3, y spans -2..5.
    const cv::Rect common(3, 5, size.width - 7, size.height - 7);
    for (size_t i = 0; i < dst.size(); ++i) {
        QCOMPARE(dst[i].size(), common.size());
        // Cropped content equals the reference's view of the scene, scaled
        // by the photo's gain.
        const cv::Mat expected = photoAt(scene, size, {0, 0}, 0.5 + 0.25 * double(i))(common);
        QCOMPARE(cv::norm(dst[i], expected, cv::NORM_INF), 0.0);
    }

    // Four-channel photos (B,G,R and a fourth byte that differs per photo)
    // find the same shifts; the cut results are views into the sources.
    std::vector<cv::Mat> src4, dst4;
    for (size_t i = 0; i < src.size(); ++i) {
        cv::Mat bgra;
        cv::cvtColor(src[i], bgra, cv::COLOR_BGR2BGRA);
        cv::Mat alpha(bgra.size(), CV_8UC1);
        cv::randu(alpha, 0, 256);
        const int toAlpha[] = {0, 3};
        cv::mixChannels(&alpha, 1, &bgra, 1, toAlpha, 1);
        src4.push_back(bgra);
    }
    align->process(src4, dst4);
    for (size_t i = 0; i < dst4.size(); ++i) {
        QCOMPARE(dst4[i].size(), common.size());
        QCOMPARE(dst4[i].type(), CV_8UC4);
        QVERIFY(dst4[i].datastart == src4[i].datastart);
        cv::Mat bgr;
        cv::cvtColor(dst4[i], bgr, cv::COLOR_BGRA2BGR);
        QCOMPARE(cv::norm(bgr, dst[i], cv::NORM_INF), 0.0);
    }
}

void TestAlign::greyWeighsTheFirstChannelAsRed()
{
    // Blue carries a random pattern moved 2 px right, red one moved 2 px
    // down. The grey of B,G,R data read as R,G,B weighs blue 0.299 and red
    // 0.114: levels 0, 29, 76 and 105, median 30, so the bitmaps follow blue.
    const cv::Size size(120, 100);
    cv::Mat blue(size.height + 2, size.width + 2, CV_8UC1), red(blue.size(), CV_8UC1);
    cv::RNG rng(17);
    rng.fill(blue, cv::RNG::UNIFORM, 0, 2);
    rng.fill(red, cv::RNG::UNIFORM, 0, 2);
    std::vector<cv::Mat> src;
    for (const cv::Point at : {cv::Point(0, 0), cv::Point(2, 0)}) {
        const cv::Mat zero(size, CV_8UC1, cv::Scalar(0));
        const cv::Mat b = blue(cv::Rect(at, size)) * 255;
        const cv::Mat r = red(cv::Rect(cv::Point(at.y, at.x), size)) * 255;
        cv::Mat photo;
        cv::merge(std::vector<cv::Mat>{b, zero, r}, photo);
        src.push_back(photo);
    }
    std::vector<cv::Mat> dst;
    cv::createAlignIndexMTB(6, 6, true, 0)->process(src, dst);
    QCOMPARE(dst[1].size(), cv::Size(size.width - 2, size.height));
}

void TestAlign::processWithoutCutKeepsSize()
{
    const cv::Size size(300, 220);
    const cv::Mat scene = sceneFor(size, 22);
    std::vector<cv::Mat> src{photoAt(scene, size, {0, 0}), photoAt(scene, size, {6, -3})}, dst;
    auto align = cv::createAlignIndexMTB(6, 6, false, 0);
    align->process(src, dst);
    QCOMPARE(dst[1].size(), size);
    // Content moves by (6, -3): the left 6 columns and the bottom 3 rows are
    // left empty.
    QCOMPARE(cv::countNonZero(grey(dst[1])(cv::Rect(0, 0, 6, size.height))), 0);
    QCOMPARE(cv::countNonZero(grey(dst[1])(cv::Rect(0, size.height - 3, size.width, 3))), 0);
    // The source photos are not written to.
    QCOMPARE(cv::norm(src[1], photoAt(scene, size, {6, -3}), cv::NORM_INF), 0.0);
}

void TestAlign::pyramidDepth_data()
{
    QTest::addColumn<int>("maxBits");
    QTest::addColumn<cv::Size>("size");
    QTest::addColumn<int>("maxLevel");
    // The coarsest level keeps at least 32 pixels on its shorter side.
    QTest::newRow("600x400, 10") << 10 << cv::Size(600, 400) << 3;
    QTest::newRow("1920x1280, 10") << 10 << cv::Size(1920, 1280) << 5;
    QTest::newRow("1024x400 elongated") << 10 << cv::Size(1024, 400) << 3;
    QTest::newRow("8000x6000, 10") << 10 << cv::Size(8000, 6000) << 7;
    QTest::newRow("8000x6000, 6") << 6 << cv::Size(8000, 6000) << 5;
    QTest::newRow("4096x4096, 10") << 10 << cv::Size(4096, 4096) << 7;
    QTest::newRow("63x63") << 10 << cv::Size(63, 63) << 0;
    QTest::newRow("64x64") << 10 << cv::Size(64, 64) << 1;
    QTest::newRow("3000x10 strip") << 10 << cv::Size(3000, 10) << 0;
    QTest::newRow("1x1") << 10 << cv::Size(1, 1) << 0;
    QTest::newRow("max bits 0") << 0 << cv::Size(640, 480) << 0;
}

void TestAlign::pyramidDepth()
{
    QFETCH(int, maxBits);
    QFETCH(cv::Size, size);
    QFETCH(int, maxLevel);
    auto align = cv::createAlignIndexMTB(maxBits, 6, true, -1);
    QCOMPARE(align->maxLevelFor(size), maxLevel);
    QCOMPARE(align->maxLevelFor(cv::Size(size.height, size.width)), maxLevel);
}

void TestAlign::maxBitsLimitsReachableShift()
{
    // 2048 x 2048: ten bits give levels 0..6 (shifts up to 127 px), six bits
    // levels 0..5 (up to 63 px).
    const cv::Size size(2048, 2048);
    cv::Mat canvas = makeScene(size + cv::Size(400, 400), 31);
    cv::GaussianBlur(canvas, canvas, cv::Size(9, 9), 3);
    const cv::Mat ref = grey(canvas(cv::Rect(200, 200, size.width, size.height)));
    const cv::Point offset(100, -90);
    const cv::Mat moved = grey(canvas(cv::Rect(200 + offset.x, 200 + offset.y, size.width, size.height)));
    auto ten = cv::createAlignIndexMTB(10, 6, true, -1);
    auto six = cv::createAlignIndexMTB(6, 6, true, -1);
    QCOMPARE(ten->calculateShift(ref, moved), offset);
    const cv::Point limited = six->calculateShift(ref, moved);
    QVERIFY(std::abs(limited.x) <= 63 && std::abs(limited.y) <= 63);
    QVERIFY(limited != offset);
    six->setMaxBits(10);
    QCOMPARE(six->getMaxBits(), 10);
    QCOMPARE(six->calculateShift(ref, moved), offset);
}

void TestAlign::elongatedSeries()
{
    const cv::Size size(1024, 400);
    const cv::Mat scene = sceneFor(size, 41);
    const std::vector<cv::Point> offsets{{-7, 3}, {0, 0}, {11, -5}};
    std::vector<cv::Mat> src, dst;
    for (size_t i = 0; i < offsets.size(); ++i)
        src.push_back(photoAt(scene, size, offsets[i], 0.5 + 0.5 * double(i)));
    auto align = cv::createAlignIndexMTB(10, 6, true, -1);
    align->process(src, dst);
    for (size_t i = 0; i < offsets.size(); ++i)
        QCOMPARE(align->calculateShift(grey(src[1]), grey(src[i])), offsets[i]);
    QCOMPARE(dst[0].size(), cv::Size(1024 - 18, 400 - 8));
    QCOMPARE(cv::norm(dst[1], src[1](cv::Rect(11, 3, 1024 - 18, 400 - 8)), cv::NORM_INF), 0.0);
}

void TestAlign::realBracketStaysPut_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("files"); // in exposure order
    QTest::addColumn<int>("maxBits");
    QTest::addColumn<cv::Size>("size");
    QTest::newRow("hall, 3 shots") << QStringLiteral("homedeck_hall_5d3_3exp")
                                   << QStringList{"group_15.jpg", "group_14.jpg", "group_16.jpg"} << 10
                                   << cv::Size(1920, 1280);
    QTest::newRow("kitchen, 5 shots") << QStringLiteral("homedeck_kitchen_em1_5exp")
                                      << QStringList{"group_4.jpg", "group_5.jpg", "group_1.jpg",
                                                     "group_2.jpg", "group_3.jpg"}
                                      << 6 << cv::Size(1920, 1440);
}

void TestAlign::realBracketStaysPut()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    QFETCH(int, maxBits);
    QFETCH(cv::Size, size);
    const QString root = sharedTestDataDir();
    if (root.isEmpty())
        QSKIP("shared test photos are not available");
    const QDir dir(root + QLatin1Char('/') + folder);
    if (!dir.exists())
        QSKIP("this bracket is not available");
    std::vector<cv::Mat> src;
    for (const QString &name : files) {
        const QImage image(dir.filePath(name));
        QVERIFY2(!image.isNull(), qPrintable(name));
        src.push_back(toMat(image));
        QCOMPARE(src.back().size(), size);
    }
    auto align = cv::createAlignIndexMTB(maxBits, 6, true, -1);
    const cv::Mat base = grey(src[src.size() / 2]);
    int spanX = 0, spanY = 0;
    for (size_t i = 0; i < src.size(); ++i) {
        const cv::Point s = align->calculateShift(base, grey(src[i]));
        QVERIFY2(std::abs(s.x) <= 3 && std::abs(s.y) <= 3,
                 qPrintable(QStringLiteral("photo %1 shifted by %2,%3").arg(i).arg(s.x).arg(s.y)));
        spanX = std::max(spanX, std::abs(s.x));
        spanY = std::max(spanY, std::abs(s.y));
    }
    std::vector<cv::Mat> dst;
    align->process(src, dst);
    QCOMPARE(dst.size(), src.size());
    QVERIFY(dst[0].cols >= size.width - 2 * spanX && dst[0].rows >= size.height - 2 * spanY);
    if (folder.startsWith(QLatin1String("homedeck_hall")))
        QCOMPARE(dst[0].size(), cv::Size(1920, 1280)); // the hall aligns with no shift at all
}

void TestAlign::shiftMatMovesAndClears_data()
{
    QTest::addColumn<cv::Point>("shift");
    QTest::newRow("none") << cv::Point(0, 0);
    QTest::newRow("right down") << cv::Point(2, 1);
    QTest::newRow("left up") << cv::Point(-1, -3);
    QTest::newRow("beyond the frame") << cv::Point(9, 0);
    QTest::newRow("far beyond") << cv::Point(-1000000, 1000000);
}

void TestAlign::shiftMatMovesAndClears()
{
    QFETCH(cv::Point, shift);
    cv::Mat src(5, 7, CV_8UC3);
    for (int y = 0; y < src.rows; ++y)
        for (int x = 0; x < src.cols; ++x)
            src.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(1 + x), uchar(10 + y), 200);
    cv::Mat dst(5, 7, CV_8UC3, cv::Scalar::all(77));
    auto align = cv::createAlignIndexMTB(6, 6, true, -1);
    align->shiftMat(src, dst, shift);
    for (int y = 0; y < src.rows; ++y)
        for (int x = 0; x < src.cols; ++x) {
            const int sx = x - shift.x, sy = y - shift.y;
            const cv::Vec3b expected = (sx >= 0 && sx < src.cols && sy >= 0 && sy < src.rows)
                                           ? src.at<cv::Vec3b>(sy, sx)
                                           : cv::Vec3b(0, 0, 0);
            QCOMPARE(dst.at<cv::Vec3b>(y, x), expected);
        }
}

void TestAlign::shiftMatInPlace()
{
    cv::Mat m(4, 6, CV_8UC1);
    for (int i = 0; i < 24; ++i)
        m.data[i] = uchar(i + 1);
    const cv::Mat original = m.clone();
    auto align = cv::createAlignIndexMTB(6, 6, true, -1);
    align->shiftMat(m, m, cv::Point(1, 1));
    cv::Mat expected;
    align->shiftMat(original, expected, cv::Point(1, 1));
    QCOMPARE(cv::norm(m, expected, cv::NORM_INF), 0.0);
    QCOMPARE(int(m.at<uchar>(1, 1)), 1);
    QCOMPARE(int(m.at<uchar>(3, 5)), int(original.at<uchar>(2, 4)));
}

void TestAlign::computeBitmapsMedianAndExclusion()
{
    // 10 pixels 0..9: the median is 5 (bins added while the sum stays below 5).
    cv::Mat img(1, 10, CV_8UC1);
    for (int i = 0; i < 10; ++i)
        img.at<uchar>(0, i) = uchar(i);
    auto align = cv::createAlignIndexMTB(6, 2, true, -1);
    cv::Mat tb, eb;
    align->computeBitmaps(img, tb, eb);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(int(tb.at<uchar>(0, i)), i > 5 ? 255 : 0);
        // Both sides of the median count: |v - 5| > 2.
        QCOMPARE(int(eb.at<uchar>(0, i)), std::abs(i - 5) > 2 ? 255 : 0);
    }
    // A single pixel has median 0.
    cv::Mat one(1, 1, CV_8UC1, cv::Scalar(3));
    align->computeBitmaps(one, tb, eb);
    QCOMPARE(int(tb.at<uchar>(0, 0)), 255);
    QCOMPARE(int(eb.at<uchar>(0, 0)), 255);
}

void TestAlign::assertionTexts()
{
    auto align = cv::createAlignIndexMTB(6, 6, true, -1);
    const cv::Mat a(64, 64, CV_8UC1, cv::Scalar(1)), b(64, 64, CV_8UC3, cv::Scalar(1));
    const cv::Mat c(32, 64, CV_8UC1, cv::Scalar(1));
    cv::Exception e = expectCvError([&] { align->calculateShift(b, b); });
    QCOMPARE(e.code, int(cv::Error::StsAssert));
    QCOMPARE(QString::fromStdString(e.err), QStringLiteral("img0.channels() == 1 && img0.type() == img1.type()"));
    QCOMPARE(QString::fromStdString(e.func), QStringLiteral("calculateShift"));
    QCOMPARE(e.line, 119);
    QVERIFY(QString::fromStdString(e.file).startsWith(QStringLiteral("cvAlign")));
    e = expectCvError([&] { align->calculateShift(a, b); });
    QCOMPARE(e.line, 119);
    e = expectCvError([&] { align->calculateShift(a, c); });
    QCOMPARE(e.code, int(cv::Error::StsAssert));
    QCOMPARE(QString::fromStdString(e.err), QStringLiteral("img0.size() == img1.size()"));
    QCOMPARE(e.line, 120);

    cv::FileStorage fs("<?xml version=\"1.0\"?>\n<opencv_storage>\n<name>AlignMTB</name>\n</opencv_storage>\n",
                       cv::FileStorage::READ | cv::FileStorage::MEMORY);
    e = expectCvError([&] { align->read(fs.root()); });
    QCOMPARE(e.code, int(cv::Error::StsAssert));
    QCOMPARE(QString::fromStdString(e.err), QStringLiteral("n.isString() && String(n) == name"));
    QCOMPARE(QString::fromStdString(e.func), QStringLiteral("read"));
    QCOMPARE(e.line, 197);
}

void TestAlign::badSeries()
{
    auto align = cv::createAlignIndexMTB(10, 6, true, -1);
    std::vector<cv::Mat> dst{cv::Mat(2, 2, CV_8UC3)};
    align->process(std::vector<cv::Mat>{}, dst);
    QVERIFY(dst.empty());

    // Photos of different sizes fail with the size assertion, not a crash.
    std::vector<cv::Mat> mixed{cv::Mat(100, 120, CV_8UC3, cv::Scalar::all(5)),
                               cv::Mat(100, 121, CV_8UC3, cv::Scalar::all(5)),
                               cv::Mat(100, 120, CV_8UC3, cv::Scalar::all(9))};
    cv::Exception e = expectCvError([&] { align->process(mixed, dst); });
    QCOMPARE(e.line, 120);

    // A reference index past the series is refused.
    auto outside = cv::createAlignIndexMTB(10, 6, true, 3);
    std::vector<cv::Mat> three(3, cv::Mat(40, 40, CV_8UC3, cv::Scalar::all(5)));
    e = expectCvError([&] { outside->process(three, dst); });
    QCOMPARE(e.code, int(cv::Error::StsOutOfRange));

    // Photos that are too small to share any area are refused, not cropped to
    // an invalid rectangle: on one pixel every shift but (0, 0) compares
    // nothing, so the first offset tried, (-1, -1), wins and leaves no
    // common area.
    cv::Mat dot(1, 1, CV_8UC3, cv::Scalar::all(200));
    std::vector<cv::Mat> dots{dot, cv::Mat(1, 1, CV_8UC3, cv::Scalar::all(10)), dot};
    QCOMPARE(align->calculateShift(grey(dots[1]), grey(dot)), cv::Point(-1, -1));
    e = expectCvError([&] { align->process(dots, dst); });
    QCOMPARE(e.code, int(cv::Error::StsBadSize));

    // An empty photo is an error.
    std::vector<cv::Mat> withEmpty{cv::Mat(40, 40, CV_8UC3, cv::Scalar::all(5)), cv::Mat()};
    bool threw = false;
    try {
        align->process(withEmpty, dst);
    } catch (const cv::Exception &) {
        threw = true;
    }
    QVERIFY(threw);
}

void TestAlign::persistence()
{
    auto align = cv::createAlignIndexMTB(7, 3, false, 2);
    cv::FileStorage out(".yml", cv::FileStorage::WRITE | cv::FileStorage::MEMORY);
    align->write(out);
    const std::string text = out.releaseAndGetString();
    QVERIFY(text.find("AlignIndexMTB") != std::string::npos);
    QVERIFY(text.find("index") == std::string::npos);

    cv::FileStorage in(text, cv::FileStorage::READ | cv::FileStorage::MEMORY);
    QCOMPARE(int(in["max_bits"]), 7);
    QCOMPARE(int(in["exclude_range"]), 3);
    QCOMPARE(int(in["cut"]), 0);
    auto other = cv::createAlignIndexMTB(10, 6, true, -1);
    other->read(in.root());
    QCOMPARE(other->getMaxBits(), 7);
    QCOMPARE(other->getExcludeRange(), 3);
    QCOMPARE(other->getCut(), false);
    QCOMPARE(other->referenceIndex(), -1);

    cv::FileStorage cutOn("%YAML:1.0\nname: AlignIndexMTB\nmax_bits: 5\nexclude_range: 4\ncut: 2\n",
                          cv::FileStorage::READ | cv::FileStorage::MEMORY);
    other->read(cutOn.root());
    QCOMPARE(other->getCut(), true);
    QCOMPARE(other->getMaxBits(), 5);

    // The four-argument process ignores times and response.
    const cv::Size size(128, 128);
    const cv::Mat scene = sceneFor(size, 8);
    std::vector<cv::Mat> src{photoAt(scene, size, {0, 0}), photoAt(scene, size, {2, 2})}, a, b;
    auto four = cv::createAlignIndexMTB(6, 6, true, 0);
    four->process(src, a, std::vector<float>{1.f, 2.f}, cv::noArray());
    four->process(src, b);
    QCOMPARE(cv::norm(a[1], b[1], cv::NORM_INF), 0.0);
}

QTEST_GUILESS_MAIN(TestAlign)
#include "tst_align.moc"
