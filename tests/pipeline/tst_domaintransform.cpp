// The parallel domain-transform filters against the OpenCV calls they stand
// in for: at most one level apart per channel and at least 99.9 % of the
// bytes identical, on edge cases and on real photos when they are here.
#include <QtTest>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <functional>
#include <limits>

#include "IQDomainTransform.h"
#include "IQFilterScratch.h"
#include "IQHDRToneEngine.h"
#include "PaddedBuffer.h"
#include "TestPaths.h"

namespace {

using Filter = std::function<void(const cv::Mat&, cv::Mat&)>;

// The calls as the detail chain makes them.
void openCvDetail(const cv::Mat& s, cv::Mat& d) { cv::detailEnhance(s, d, 100.0f, 0.1f); }
void openCvEdge(const cv::Mat& s, cv::Mat& d) { cv::edgePreservingFilter(s, d, 1, 60.0f, 0.4f); }
void ourDetail(const cv::Mat& s, cv::Mat& d) { IQDetailEnhance(s, d, 100.0f, 0.1f); }
void ourEdge(const cv::Mat& s, cv::Mat& d) { IQEdgePreservingRecursive(s, d, 60.0f, 0.4f); }

struct FilterPair {
    const char* name;
    Filter ours, theirs;
};
const FilterPair kFilters[] = {{"detailEnhance", ourDetail, openCvDetail},
                               {"edgePreservingFilter", ourEdge, openCvEdge}};

cv::Mat random(int rows, int cols, uint64_t seed, int lo = 0, int hi = 256)
{
    cv::Mat m(rows, cols, CV_8UC3);
    cv::RNG(seed).fill(m, cv::RNG::UNIFORM, lo, hi);
    return m;
}

// Smooth colour, a little noise, saturated blocks and a diagonal step.
cv::Mat hardEdges(int rows, int cols)
{
    cv::Mat m(rows, cols, CV_8UC3);
    cv::RNG rng(7);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const bool block = ((x / 9) + (y / 7)) % 2 == 0;
            const bool above = x * rows > y * cols;
            const int n = rng.uniform(-6, 7);
            m.at<cv::Vec3b>(y, x) = block ? cv::Vec3b(255, 0, above ? 255 : 0)
                                          : cv::Vec3b(cv::saturate_cast<uchar>(60 + n + x),
                                                      cv::saturate_cast<uchar>(above ? 200 + n : 30 + n),
                                                      cv::saturate_cast<uchar>(120 + y + n));
        }
    return m;
}

cv::Mat withLine(bool horizontal)
{
    cv::Mat m(41, 64, CV_8UC3, cv::Scalar(60, 90, 120));
    if (horizontal)
        m.row(20).setTo(cv::Scalar(255, 255, 255));
    else
        m.col(30).setTo(cv::Scalar(0, 0, 0));
    return m;
}

} // namespace

class TestDomainTransform : public QObject {
    Q_OBJECT

private slots:
    void matchesOpenCv_data();
    void matchesOpenCv();
    void viewsAndInPlace();
    void sharedScratchGivesTheSameBytes();
    void chainUsesTheseSettings_data();
    void chainUsesTheseSettings();
    void rejectsBadInput_data();
    void rejectsBadInput();
};

void TestDomainTransform::matchesOpenCv_data()
{
    QTest::addColumn<cv::Mat>("picture");
    QTest::newRow("flat") << cv::Mat(37, 53, CV_8UC3, cv::Scalar(90, 140, 200));
    QTest::newRow("horizontal 1-pixel line") << withLine(true);
    QTest::newRow("vertical 1-pixel line") << withLine(false);
    QTest::newRow("odd 37 x 23") << random(23, 37, 3, 80, 140);
    QTest::newRow("1 x 1") << random(1, 1, 4);
    QTest::newRow("2 x 2") << random(2, 2, 5);
    QTest::newRow("3 x 3") << random(3, 3, 6);
    QTest::newRow("1 row") << random(1, 57, 8);
    QTest::newRow("1 column") << random(57, 1, 9);
    QTest::newRow("noisy") << random(80, 96, 10);
    QTest::newRow("hard edges") << hardEdges(90, 121);
    QTest::newRow("black and white") << hardEdges(33, 47).setTo(cv::Scalar::all(255), random(33, 47, 11) > 128);
    // The hall bracket, when the shared photos are here.
    const QString data = sharedTestDataDir();
    const QDir hall(data + QStringLiteral("/homedeck_hall_5d3_3exp"));
    if (!data.isEmpty())
        for (const QString& file : hall.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file)) << bgrMatOf(QImage(hall.filePath(file)));
}

void TestDomainTransform::matchesOpenCv()
{
    QFETCH(cv::Mat, picture);
    QVERIFY(!picture.empty());
    const cv::Mat before = picture.clone();
    for (const FilterPair& f : kFilters) {
        cv::Mat a, b;
        f.ours(picture, a);
        f.theirs(picture, b);
        const QString wrong = disagreement(a, b, 1, 0.001);
        QVERIFY2(wrong.isEmpty(), qPrintable(QString::fromLatin1(f.name) + ": " + wrong));
    }
    QCOMPARE(cv::norm(picture, before, cv::NORM_INF), 0.0);
}

// A view into a larger picture as input; a padded buffer and the input
// itself as output: the pixels land in the caller's memory and nothing
// outside the view changes.
void TestDomainTransform::viewsAndInPlace()
{
    const cv::Mat parent = hardEdges(70, 90);
    const cv::Rect area(5, 7, 41, 33);
    const cv::Mat view = parent(area);
    QVERIFY(!view.isContinuous());
    for (const FilterPair& f : kFilters) {
        cv::Mat expected;
        f.theirs(view.clone(), expected);
        cv::Mat fromView;
        f.ours(view, fromView);
        VERIFY_CLOSE(fromView, expected);

        PaddedBuffer target(cv::Mat(view.size(), CV_8UC3, cv::Scalar::all(3)));
        cv::Mat wrapped = target.mat();
        f.ours(view, wrapped);
        QCOMPARE(wrapped.data, target.data->data);
        QCOMPARE(cv::norm(target.mat(), fromView, cv::NORM_INF), 0.0);

        cv::Mat copy = parent.clone();
        cv::Mat inner = copy(area);
        f.ours(inner, inner);
        QCOMPARE(inner.data, copy.data + area.y * copy.step + area.x * 3);
        QCOMPARE(cv::norm(inner, fromView, cv::NORM_INF), 0.0);
        cv::Mat outside = copy != parent;
        outside(area).setTo(0);
        QCOMPARE(cv::countNonZero(outside.reshape(1)), 0);
    }
}

// With working planes taken from a scratch that the other filter and other
// sizes used before: byte for byte the filter on fresh memory.
void TestDomainTransform::sharedScratchGivesTheSameBytes()
{
    const cv::Mat pictures[] = {hardEdges(90, 121), random(23, 37, 3, 80, 140), hardEdges(130, 150),
                                random(1, 57, 8)};
    IQFilterScratch scratch;
    for (const cv::Mat& picture : pictures) {
        for (int f = 0; f < 2; ++f) {
            cv::Mat fresh, shared;
            if (f == 0) {
                IQDetailEnhance(picture, fresh, 100.0f, 0.1f);
                IQDetailEnhance(picture, shared, 100.0f, 0.1f, &scratch);
            } else {
                IQEdgePreservingRecursive(picture, fresh, 60.0f, 0.4f);
                IQEdgePreservingRecursive(picture, shared, 60.0f, 0.4f, &scratch);
            }
            VERIFY_SAME(shared, fresh);
            // In place on the caller's memory as well.
            cv::Mat inPlace = picture.clone();
            if (f == 0)
                IQDetailEnhance(inPlace, inPlace, 100.0f, 0.1f, &scratch);
            else
                IQEdgePreservingRecursive(inPlace, inPlace, 60.0f, 0.4f, &scratch);
            VERIFY_SAME(inPlace, fresh);
        }
    }
    QVERIFY(scratch.bytesHeld() >= size_t(130) * 150 * 12);
}

void TestDomainTransform::chainUsesTheseSettings_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("detailEnhance switch") << 0;
    QTest::newRow("edgePreserve switch") << 1;
    QTest::newRow("enhanceDetail helper") << 2;
}

// The chain's settings are pinned by the direct OpenCV calls with the
// constants written out, on a picture where other settings differ by far
// more than the tolerance.
void TestDomainTransform::chainUsesTheseSettings()
{
    QFETCH(int, step);
    cv::Mat picture = hardEdges(96, 128);
    cv::Mat noise = random(96, 128, 12, 0, 25);
    picture += noise;
    PaddedBuffer source(picture);
    IQHDRToneEngine engine;
    engine.setSource(*source.data);
    IQHDRToneParams p;
    p.detailEnhance = step == 0;
    p.edgePreserve = step == 1;
    engine.setParams(p);

    PaddedBuffer target(cv::Mat(picture.size(), CV_8UC3, cv::Scalar::all(1)));
    cv::Mat out = target.mat();
    cv::Mat expected;
    if (step == 2) {
        engine.enhanceDetail(picture, out);
        cv::detailEnhance(picture, expected, 100, 0.1f);
    } else {
        engine.applyDetailChain(engine.source, out);
        if (step == 0)
            cv::detailEnhance(picture, expected, 100, 0.1f);
        else
            cv::edgePreservingFilter(picture, expected, 1, 60, 0.4f);
    }
    QCOMPARE(out.data, target.data->data);
    VERIFY_CLOSE(out, expected);
    QVERIFY(cv::norm(out, picture, cv::NORM_INF) > 10);
}

void TestDomainTransform::rejectsBadInput_data()
{
    QTest::addColumn<cv::Mat>("picture");
    QTest::addColumn<float>("sigmaS");
    QTest::addColumn<float>("sigmaR");
    const cv::Mat good = random(8, 9, 13);
    QTest::newRow("empty") << cv::Mat() << 60.0f << 0.4f;
    QTest::newRow("grey") << cv::Mat(8, 9, CV_8UC1, cv::Scalar(7)) << 60.0f << 0.4f;
    QTest::newRow("four channels") << cv::Mat(8, 9, CV_8UC4, cv::Scalar::all(7)) << 60.0f << 0.4f;
    QTest::newRow("float") << cv::Mat(8, 9, CV_32FC3, cv::Scalar::all(0.5)) << 60.0f << 0.4f;
    QTest::newRow("sigma_s 0") << good << 0.0f << 0.4f;
    QTest::newRow("sigma_r negative") << good << 60.0f << -0.4f;
    QTest::newRow("sigma_r NaN") << good << 60.0f << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("sigma_s infinite") << good << std::numeric_limits<float>::infinity() << 0.4f;
}

void TestDomainTransform::rejectsBadInput()
{
    QFETCH(cv::Mat, picture);
    QFETCH(float, sigmaS);
    QFETCH(float, sigmaR);
    cv::Mat dst(4, 4, CV_8UC3, cv::Scalar::all(9));
    const cv::Mat before = dst.clone();
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQDetailEnhance(picture, dst, sigmaS, sigmaR));
    QVERIFY_THROWS_EXCEPTION(cv::Exception, IQEdgePreservingRecursive(picture, dst, sigmaS, sigmaR));
    QCOMPARE(dst.size(), before.size());
    QCOMPARE(cv::norm(dst, before, cv::NORM_INF), 0.0);
}

QTEST_MAIN(TestDomainTransform)
#include "tst_domaintransform.moc"
