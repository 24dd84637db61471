#include <QtTest>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <memory>

#include "IQBGRData.h"
#include "IQFilterScratch.h"
#include "IQHDRToneEngine.h"
#include "IQNonLocalMeans.h"
#include "PaddedBuffer.h"
#include "TestPaths.h"

namespace {

// Smooth shapes with a little noise: the search finds many similar
// patches, so most weights are neither full nor zero.
cv::Mat texturedPicture(cv::Size size, uint64_t seed, int type = CV_8UC3)
{
    cv::RNG rng(seed);
    cv::Mat coarse(std::max(2, size.height / 6), std::max(2, size.width / 6), type);
    rng.fill(coarse, cv::RNG::UNIFORM, 30, 220);
    cv::Mat picture;
    cv::resize(coarse, picture, size, 0, 0, cv::INTER_CUBIC);
    cv::Mat noise(size, CV_MAKETYPE(CV_16S, picture.channels()));
    rng.fill(noise, cv::RNG::NORMAL, 0, 6);
    cv::Mat wide;
    picture.convertTo(wide, CV_16S);
    cv::Mat(wide + noise).convertTo(picture, type);
    return picture;
}

cv::Mat syntheticPicture(const QString &kind, cv::Size size)
{
    cv::Mat m(size, CV_8UC3, cv::Scalar(120, 128, 135));
    if (kind == "flat white") {
        // Full weights on full bytes: the weighted sums reach the top of the 32-bit range.
        m.setTo(cv::Scalar::all(255));
    } else if (kind == "horizontal lines") {
        for (int y = 0; y < m.rows; y += 4)
            m.row(y).setTo(cv::Scalar(20, 230, 90));
    } else if (kind == "vertical lines") {
        for (int x = 1; x < m.cols; x += 3)
            m.col(x).setTo(cv::Scalar(250, 10, 200));
    } else if (kind == "strong noise") {
        cv::RNG(7).fill(m, cv::RNG::UNIFORM, 0, 256);
    } else if (kind == "hard edges") {
        for (int y = 0; y < m.rows; ++y)
            for (int x = 0; x < m.cols; ++x)
                m.at<cv::Vec3b>(y, x) = ((x / 8 + y / 8) % 2) ? cv::Vec3b(255, 255, 255) : cv::Vec3b(0, 0, 0);
    } else if (kind == "textured") {
        m = texturedPicture(size, uint64_t(size.area()));
    }
    return m;
}

bool forceKernel(IQNlmKernel kernel)
{
    IQNonLocalMeansForceKernel(kernel);
    return kernel == IQNlmKernel::Auto || IQNonLocalMeansKernel() == kernel;
}

const std::pair<const char *, IQNlmKernel> kKernels[] = {
    {"widest", IQNlmKernel::Auto}, {"avx2", IQNlmKernel::Avx2}, {"sse2", IQNlmKernel::Sse2}};

cv::Mat openCvColoured(const cv::Mat &src)
{
    cv::Mat out;
    cv::fastNlMeansDenoisingColored(src, out, 5, 3, 7, 21);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(IQNlmKernel)

class TestNonLocalMeans : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { IQNonLocalMeansForceKernel(IQNlmKernel::Auto); }
    void colouredMatchesOpenCv_data();
    void colouredMatchesOpenCv();
    void planeMatchesOpenCvForEveryStrength_data();
    void planeMatchesOpenCvForEveryStrength();
    void roiInPlaceAndOutsideBytes();
    void scratchOfOtherSizes_data();
    void scratchOfOtherSizes();
    void realPhotoMatchesOpenCv_data();
    void realPhotoMatchesOpenCv();
    void detailChainUsesTheSettings();
    void badInput();
};

void TestNonLocalMeans::colouredMatchesOpenCv_data()
{
    QTest::addColumn<IQNlmKernel>("kernel");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    const std::pair<const char *, QSize> cases[] = {
        {"flat", {40, 30}},           {"flat white", {33, 21}},     {"horizontal lines", {45, 37}},
        {"vertical lines", {37, 45}}, {"strong noise", {64, 48}},   {"hard edges", {70, 50}},
        {"textured", {300, 140}},     {"textured", {531, 77}},      {"textured", {1, 1}},
        {"textured", {3, 3}},         {"strong noise", {2, 61}},    {"strong noise", {97, 1}},
        {"textured", {19, 5}}};
    for (const auto &k : kKernels)
        for (const auto &c : cases)
            QTest::addRow("%s %s %dx%d", k.first, c.first, c.second.width(), c.second.height())
                << k.second << QString(c.first) << c.second;
}

void TestNonLocalMeans::colouredMatchesOpenCv()
{
    QFETCH(IQNlmKernel, kernel);
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    if (!forceKernel(kernel))
        QSKIP("this processor does not run that kernel");
    const cv::Mat picture = syntheticPicture(kind, cv::Size(size.width(), size.height()));
    cv::Mat ours;
    IQNonLocalMeansColored(picture, ours, 5, 3, 7, 21);
    VERIFY_SAME(ours, openCvColoured(picture));
}

void TestNonLocalMeans::planeMatchesOpenCvForEveryStrength_data()
{
    QTest::addColumn<IQNlmKernel>("kernel");
    QTest::addColumn<int>("channels");
    QTest::addColumn<float>("h");
    QTest::addColumn<int>("templateSize");
    QTest::addColumn<int>("searchSize");
    for (const auto &k : kKernels) {
        QTest::addRow("%s lightness h 5", k.first) << k.second << 1 << 5.0f << 7 << 21;
        QTest::addRow("%s lightness h 4", k.first) << k.second << 1 << 4.0f << 7 << 21;
        QTest::addRow("%s colour h 3", k.first) << k.second << 2 << 3.0f << 7 << 21;
        QTest::addRow("%s colour h 3.5", k.first) << k.second << 2 << 3.5f << 7 << 21;
        QTest::addRow("%s h 12 template 5 search 17", k.first) << k.second << 1 << 12.0f << 5 << 17;
        QTest::addRow("%s h 2 template 9 search 35", k.first) << k.second << 2 << 2.0f << 9 << 35;
        QTest::addRow("%s h 0", k.first) << k.second << 1 << 0.0f << 7 << 21;
        // Outside the exact range of the kernels: OpenCV's own code runs.
        QTest::addRow("%s search 11", k.first) << k.second << 1 << 5.0f << 7 << 11;
        QTest::addRow("%s h 60", k.first) << k.second << 2 << 60.0f << 7 << 21;
    }
}

void TestNonLocalMeans::planeMatchesOpenCvForEveryStrength()
{
    QFETCH(IQNlmKernel, kernel);
    QFETCH(int, channels);
    QFETCH(float, h);
    QFETCH(int, templateSize);
    QFETCH(int, searchSize);
    if (!forceKernel(kernel))
        QSKIP("this processor does not run that kernel");
    const cv::Mat plane = texturedPicture(cv::Size(150, 90), 11, CV_8UC(channels));
    cv::Mat ours, theirs;
    IQNonLocalMeansPlane(plane, ours, h, templateSize, searchSize);
    cv::fastNlMeansDenoising(plane, theirs, h, templateSize, searchSize);
    VERIFY_SAME(ours, theirs);
}

void TestNonLocalMeans::roiInPlaceAndOutsideBytes()
{
    const cv::Mat big = texturedPicture(cv::Size(120, 90), 5);
    const cv::Rect inner(13, 9, 71, 55);
    const cv::Mat roi = big(inner);
    QVERIFY(!roi.isContinuous());
    const cv::Mat expected = openCvColoured(roi.clone());

    cv::Mat fresh;
    IQNonLocalMeansColored(roi, fresh, 5, 3, 7, 21);
    VERIFY_SAME(fresh, expected);

    // Into a window of a larger picture: the bytes around it stay.
    const cv::Scalar fill(1, 2, 3);
    cv::Mat canvas(100, 100, CV_8UC3, fill);
    const cv::Rect place(20, 30, inner.width, inner.height);
    cv::Mat window = canvas(place);
    IQNonLocalMeansColored(roi, window, 5, 3, 7, 21);
    QCOMPARE(window.data, canvas.ptr(30) + 20 * 3);
    VERIFY_SAME(window, expected);
    cv::Mat rest = canvas.clone();
    rest(place).setTo(fill);
    QCOMPARE(cv::norm(rest, cv::Mat(canvas.size(), CV_8UC3, fill), cv::NORM_INF), 0.0);

    // In place, for both entry points.
    cv::Mat same = roi.clone();
    IQNonLocalMeansColored(same, same, 5, 3, 7, 21);
    VERIFY_SAME(same, expected);
    cv::Mat grey;
    cv::cvtColor(roi, grey, cv::COLOR_BGR2GRAY);
    cv::Mat greyExpected;
    cv::fastNlMeansDenoising(grey, greyExpected, 5, 7, 21);
    IQNonLocalMeansPlane(grey, grey, 5, 7, 21);
    VERIFY_SAME(grey, greyExpected);
}

void TestNonLocalMeans::scratchOfOtherSizes_data()
{
    QTest::addColumn<IQNlmKernel>("kernel");
    for (const auto &k : kKernels)
        QTest::newRow(k.first) << k.second;
}

// The Lab copy in a scratch plane that larger and smaller pictures used
// before, and left full of other bytes: the same result.
void TestNonLocalMeans::scratchOfOtherSizes()
{
    QFETCH(IQNlmKernel, kernel);
    if (!forceKernel(kernel))
        QSKIP("this processor does not run that kernel");
    IQFilterScratch scratch;
    scratch.plane(0, 300, 400, CV_8UC3).setTo(cv::Scalar(255, 0, 77));
    const cv::Size sizes[] = {{413, 70}, {37, 29}, {120, 90}, {1, 1}};
    for (const cv::Size &size : sizes) {
        const cv::Mat picture = texturedPicture(size, uint64_t(size.area()) + 1);
        cv::Mat ours = picture.clone();
        IQNonLocalMeansColored(ours, ours, 5, 3, 7, 21, &scratch);
        VERIFY_SAME(ours, openCvColoured(picture));
    }
}

void TestNonLocalMeans::realPhotoMatchesOpenCv_data()
{
    QTest::addColumn<IQNlmKernel>("kernel");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QRect>("crop");
    // The full frame once; the narrower kernels on crops that hold a corner
    // of the frame and some of everything in it.
    QTest::newRow("widest, hall") << IQNlmKernel::Auto << "homedeck_hall_5d3_3exp/group_15.jpg" << QRect();
    QTest::newRow("avx2, kitchen") << IQNlmKernel::Avx2 << "homedeck_kitchen_em1_5exp/group_3.jpg"
                                   << QRect(0, 1040, 600, 400);
    QTest::newRow("sse2, hall") << IQNlmKernel::Sse2 << "homedeck_hall_5d3_3exp/group_15.jpg"
                                << QRect(1400, 900, 520, 380);
}

void TestNonLocalMeans::realPhotoMatchesOpenCv()
{
    QFETCH(IQNlmKernel, kernel);
    QFETCH(QString, file);
    QFETCH(QRect, crop);
    const QString data = sharedTestDataDir();
    if (data.isEmpty())
        QSKIP("the shared test photos are not here");
    if (!forceKernel(kernel))
        QSKIP("this processor does not run that kernel");
    QImage image(data + "/" + file);
    QVERIFY(!image.isNull());
    if (!crop.isNull()) {
        QVERIFY(image.rect().contains(crop));
        image = image.copy(crop);
    }
    const cv::Mat input = bgrMatOf(image);
    cv::Mat ours;
    IQNonLocalMeansColored(input, ours, 5, 3, 7, 21);
    VERIFY_SAME(ours, openCvColoured(input));
}

void TestNonLocalMeans::detailChainUsesTheSettings()
{
    // The chain's denoise step is the coloured filter with h 5, hColor 3,
    // template 7 and search 21: every other setting gives other bytes here.
    const cv::Mat picture = texturedPicture(cv::Size(90, 70), 3);
    const cv::Mat expected = openCvColoured(picture);
    const double others[][4] = {{6, 3, 7, 21}, {5, 4, 7, 21}, {5, 3, 5, 21}, {5, 3, 7, 19}};
    for (const auto &o : others) {
        cv::Mat other;
        cv::fastNlMeansDenoisingColored(picture, other, float(o[0]), float(o[1]), int(o[2]), int(o[3]));
        QVERIFY(cv::norm(other, expected, cv::NORM_INF) > 0);
    }

    PaddedBuffer source(picture);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    IQHDRToneParams p;
    p.denoiseColored = true;
    engine.setParams(p);
    cv::Mat out;
    engine.applyDetailChain(engine.source, out);
    VERIFY_SAME(out, expected);
}

void TestNonLocalMeans::badInput()
{
    cv::Mat out;
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansColored(cv::Mat(), out, 5, 3, 7, 21));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansColored(cv::Mat(8, 8, CV_8UC1), out, 5, 3, 7, 21));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansColored(cv::Mat(8, 8, CV_16UC3), out, 5, 3, 7, 21));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansColored(cv::Mat(8, 8, CV_8UC3), out, 5, 3, 0, 21));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansColored(cv::Mat(8, 8, CV_8UC3), out, 5, 3, 7, -1));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansPlane(cv::Mat(8, 8, CV_8UC3), out, 5, 7, 21));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQNonLocalMeansPlane(cv::Mat(), out, 5, 7, 21));
    QVERIFY(out.empty());
}

QTEST_MAIN(TestNonLocalMeans)
#include "tst_nonlocalmeans.moc"
