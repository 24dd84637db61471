// The highlight and shadow passes never invert tones: along the grey axis
// the output rises and keeps 32 levels at least one level apart, for every
// setting and every picture mean; where the per-pixel formula already does
// that, the pass is that formula byte for byte; colours keep their channel
// order; and on real pictures no brighter patch ends darker than its
// neighbour.
#include <QtTest>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

#include "IQBGRData.h"
#include "IQHDREngine.h"
#include "IQHDRThread.h"
#include "IQHDRToneEngine.h"
#include "PaddedBuffer.h"
#include "TestPaths.h"
#include "ToneReference.h"

namespace {

// The written pass for one byte of a pixel of weight w: below the mask
// threshold g = 4 e w / mean + 1 and k = w / mean s, at or above it
// g = 1 + 4 e and k = s, with s = v / 400 and, past -50, the exponent's
// strength e following the slider at a fifth of the rate.
int referenceByte(int byte, float w, bool masked, double mean, int v)
{
    const float s = float(v) / 100 * 0.25f;
    const float e = v >= -50 ? s : (-50 + float(v + 50) / 5) / 100 * 0.25f;
    const float g = masked ? 1 + 4 * e : float(4 * e * w / mean + 1);
    const float k = masked ? s : float(w / mean * s);
    const double p = referenceFastPow(double(float(byte) / 255.0f), double(1 / g));
    const float t = float(p / (1 - k));
    return t > 1 ? 255 : (t > 0 ? int(t * 255) : 0);
}

// Rising, and 32 levels at least one level apart where the output lies
// between 8 and 247. Empty when so, else where not.
QString greyAxisFault(const std::vector<int> &y)
{
    for (int c = 0; c < 255; ++c)
        if (y[size_t(c) + 1] < y[size_t(c)])
            return QStringLiteral("grey %1 gives %2, grey %3 gives %4").arg(c).arg(y[size_t(c)]).arg(c + 1).arg(y[size_t(c) + 1]);
    for (int c = 0; c + 32 < 256; ++c)
        if (y[size_t(c)] >= 8 && y[size_t(c) + 32] <= 247 && y[size_t(c) + 32] <= y[size_t(c)])
            return QStringLiteral("greys %1 and %2 both give %3").arg(c).arg(c + 32).arg(y[size_t(c)]);
    return QString();
}

// An engine over the 256 greys, one per column, whose chosen pass reads the
// given mean (the masks rebuilt for it as the analysis builds them).
struct GreyRamp {
    cv::Mat picture = cv::Mat(1, 256, CV_8UC3);
    std::unique_ptr<PaddedBuffer> buffer;
    IQHDRToneEngine engine;

    GreyRamp()
    {
        for (int c = 0; c < 256; ++c)
            picture.at<cv::Vec3b>(0, c) = cv::Vec3b::all(uchar(c));
        buffer = std::make_unique<PaddedBuffer>(picture);
        engine.setSource(*buffer->data);
    }

    const cv::Mat &weight(bool highlights) const
    {
        return highlights ? engine.highlightWeight : engine.shadowWeight;
    }

    void setMean(bool highlights, double mean)
    {
        cv::Mat &mask = highlights ? engine.highlightMask : engine.shadowMask;
        mask = cv::Mat::zeros(picture.size(), CV_8UC1);
        mask.setTo(255, weight(highlights) >= mean);
        (highlights ? engine.highlightMean : engine.shadowMean) = cv::Scalar::all(mean);
    }

    std::vector<int> pass(bool highlights, int v)
    {
        cv::Mat out;
        if (highlights)
            engine.recoverHighlights(picture, out, v);
        else
            engine.recoverShadows(picture, out, v);
        std::vector<int> y(256);
        for (int c = 0; c < 256; ++c) {
            const cv::Vec3b p = out.at<cv::Vec3b>(0, c);
            if (p[0] != p[1] || p[1] != p[2])
                return {}; // a grey came out coloured
            y[size_t(c)] = p[0];
        }
        return y;
    }

    std::vector<int> formula(bool highlights, double mean, int v) const
    {
        const cv::Mat &mask = highlights ? engine.highlightMask : engine.shadowMask;
        std::vector<int> y(256);
        for (int c = 0; c < 256; ++c)
            y[size_t(c)] = referenceByte(c, weight(highlights).at<float>(0, c), mask.at<uchar>(0, c) == 255, mean, v);
        return y;
    }
};

// 16 x 16 blocks of mean luma; the first pair of 4-neighbours whose first
// block was at least 10 levels brighter before and ends at least 3 levels
// darker, or an empty string.
QString invertedBlocks(const cv::Mat &before, const cv::Mat &after)
{
    cv::Mat lumaBefore, lumaAfter;
    cv::cvtColor(before, lumaBefore, cv::COLOR_BGR2GRAY);
    cv::cvtColor(after, lumaAfter, cv::COLOR_BGR2GRAY);
    const int bw = before.cols / 16, bh = before.rows / 16;
    cv::Mat meanBefore(bh, bw, CV_64F), meanAfter(bh, bw, CV_64F);
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            const cv::Rect r(x * 16, y * 16, 16, 16);
            meanBefore.at<double>(y, x) = cv::mean(lumaBefore(r))[0];
            meanAfter.at<double>(y, x) = cv::mean(lumaAfter(r))[0];
        }
    int count = 0;
    QString first;
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x)
            for (const cv::Point d : {cv::Point(1, 0), cv::Point(0, 1)}) {
                const cv::Point a(x, y), b = a + d;
                if (b.x >= bw || b.y >= bh)
                    continue;
                for (const auto &[p, q] : {std::pair(a, b), std::pair(b, a)})
                    if (meanBefore.at<double>(p) >= meanBefore.at<double>(q) + 10
                        && meanAfter.at<double>(p) <= meanAfter.at<double>(q) - 3) {
                        if (count++ == 0)
                            first = QStringLiteral("block %1,%2: %3 -> %4 beside %5 -> %6")
                                        .arg(p.x * 16).arg(p.y * 16)
                                        .arg(meanBefore.at<double>(p), 0, 'f', 1).arg(meanAfter.at<double>(p), 0, 'f', 1)
                                        .arg(meanBefore.at<double>(q), 0, 'f', 1).arg(meanAfter.at<double>(q), 0, 'f', 1);
                    }
            }
    return count ? QStringLiteral("%1 inverted, first %2").arg(count).arg(first) : QString();
}

} // namespace

class TestToneGreyAxis : public QObject {
    Q_OBJECT
private slots:
    void greyAxisRisesForEveryMean_data();
    void greyAxisRisesForEveryMean();
    void coloursKeepChannelOrder_data();
    void coloursKeepChannelOrder();
    void realPicturesKeepBlocksInOrder_data();
    void realPicturesKeepBlocksInOrder();
};

void TestToneGreyAxis::greyAxisRisesForEveryMean_data()
{
    QTest::addColumn<bool>("highlights");
    QTest::newRow("highlights") << true;
    QTest::newRow("shadows") << false;
}

void TestToneGreyAxis::greyAxisRisesForEveryMean()
{
    // Every setting for means of the weight from 0.02 to 0.9: the grey axis
    // rises and keeps greys apart; where the formula does so on its own, the
    // pass is the formula; a stronger setting never turns a grey brighter
    // (darker, when brightening) by more than a level.
    QFETCH(bool, highlights);
    GreyRamp ramp;
    int kept = 0, mended = 0;
    for (int m = 2; m <= 90; ++m) {
        const double mean = m / 100.0;
        ramp.setMean(highlights, mean);
        std::vector<int> weaker = ramp.pass(highlights, 0);
        for (int step = 1; step <= 100; ++step)
            for (const int sign : {-1, 1}) {
                const int v = sign * step;
                const QString where = QStringLiteral("mean %1 setting %2").arg(mean).arg(v);
                const std::vector<int> y = ramp.pass(highlights, v);
                QVERIFY2(!y.empty(), qPrintable(where + QStringLiteral(": a grey came out coloured")));
                const QString fault = greyAxisFault(y);
                QVERIFY2(fault.isEmpty(), qPrintable(where + QStringLiteral(": ") + fault));
                const std::vector<int> formula = ramp.formula(highlights, mean, v);
                if (greyAxisFault(formula).isEmpty()) {
                    QVERIFY2(y == formula, qPrintable(where + QStringLiteral(": not the formula")));
                    ++kept;
                } else {
                    ++mended;
                }
                // Highlights darken below 0, shadows brighten above it.
                if ((sign < 0) == highlights) {
                    for (int c = 0; c < 256; ++c) {
                        const int moved = highlights ? y[size_t(c)] - weaker[size_t(c)]
                                                     : weaker[size_t(c)] - y[size_t(c)];
                        QVERIFY2(moved <= 1, qPrintable(where + QStringLiteral(": grey %1 went back by %2")
                                                                    .arg(c).arg(moved)));
                    }
                    weaker = y;
                }
            }
    }
    // Both kinds occur many times.
    QVERIFY2(kept > 5000 && mended > 1000, qPrintable(QStringLiteral("%1 kept, %2 mended").arg(kept).arg(mended)));
}

void TestToneGreyAxis::coloursKeepChannelOrder_data()
{
    QTest::addColumn<bool>("highlights");
    QTest::addColumn<int>("setting");
    QTest::addColumn<double>("mean");
    for (const bool highlights : {true, false})
        for (const int v : {-100, -60, -40, 40, 60, 100})
            for (const double mean : {0.05, 0.15, 0.3, 0.5})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2 mean %3")
                                             .arg(highlights ? "highlights" : "shadows")
                                             .arg(v)
                                             .arg(mean)))
                    << highlights << v << mean;
}

void TestToneGreyAxis::coloursKeepChannelOrder()
{
    // Every colour of a 64-level cube (plus every grey), with the picture's
    // mean replaced by one that makes strong settings mend: equal channels
    // stay equal, a brighter channel never comes out darker.
    QFETCH(bool, highlights);
    QFETCH(int, setting);
    QFETCH(double, mean);
    cv::Mat picture(64 * 64 + 4, 64, CV_8UC3);
    for (int y = 0; y < 64 * 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x * 4 + 1), uchar((y % 64) * 4 + 2), uchar((y / 64) * 4 + 3));
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 4; ++y)
            picture.at<cv::Vec3b>(64 * 64 + y, x) = cv::Vec3b::all(uchar(y * 64 + x));
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    cv::Mat &mask = highlights ? engine.highlightMask : engine.shadowMask;
    const cv::Mat &weight = highlights ? engine.highlightWeight : engine.shadowWeight;
    mask = cv::Mat::zeros(picture.size(), CV_8UC1);
    mask.setTo(255, weight >= mean);
    (highlights ? engine.highlightMean : engine.shadowMean) = cv::Scalar::all(mean);

    cv::Mat out;
    if (highlights)
        engine.recoverHighlights(picture, out, setting);
    else
        engine.recoverShadows(picture, out, setting);
    for (int y = 0; y < picture.rows; ++y)
        for (int x = 0; x < picture.cols; ++x) {
            const cv::Vec3b in = picture.at<cv::Vec3b>(y, x), o = out.at<cv::Vec3b>(y, x);
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b)
                    if ((in[a] == in[b] && o[a] != o[b]) || (in[a] < in[b] && o[a] > o[b]))
                        QFAIL(qPrintable(QStringLiteral("%1,%2,%3 became %4,%5,%6")
                                             .arg(in[0]).arg(in[1]).arg(in[2]).arg(o[0]).arg(o[1]).arg(o[2])));
        }
}

void TestToneGreyAxis::realPicturesKeepBlocksInOrder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("hall") << QStringLiteral("homedeck_hall_5d3_3exp")
                          << QStringList{QStringLiteral("group_14.jpg"), QStringLiteral("group_15.jpg"),
                                         QStringLiteral("group_16.jpg")};
    QTest::newRow("kitchen") << QStringLiteral("homedeck_kitchen_em1_5exp")
                             << QStringList{QStringLiteral("group_1.jpg"), QStringLiteral("group_2.jpg"),
                                            QStringLiteral("group_3.jpg"), QStringLiteral("group_4.jpg"),
                                            QStringLiteral("group_5.jpg")};
    // The darkest photo of the hall on its own.
    QTest::newRow("dark single photo") << QStringLiteral("homedeck_hall_5d3_3exp")
                                       << QStringList{QStringLiteral("group_15.jpg")};
}

void TestToneGreyAxis::realPicturesKeepBlocksInOrder()
{
    // The HDR result the program makes (or the single photo), at Highlights
    // -50 and -100: no 16 x 16 block at least 10 levels brighter than the
    // block beside it ends 3 levels darker.
    QFETCH(QString, folder);
    QFETCH(QStringList, files);
    const QString root = sharedTestDataDir();
    const QDir dir(root + QLatin1Char('/') + folder);
    if (root.isEmpty() || !dir.exists(files.first()))
        QSKIP("the test photos are not available");
    QStringList paths;
    for (const QString &file : files)
        paths << dir.filePath(file);
    QImage result;
    if (paths.size() == 1) {
        result = QImage(paths.first());
    } else {
        IQHDRThread job(IQHDREngine::instance(), paths);
        int code = -1;
        connect(&job, &IQHDRThread::threadFinished, this, [&](const QImage &, const QImage &after, int c) {
            result = after;
            code = c;
        });
        job.run();
        QCOMPARE(code, 0);
    }
    const cv::Mat picture = bgrMatOf(result);
    QVERIFY(!picture.empty());
    PaddedBuffer buffer(picture);
    IQHDRToneEngine engine;
    engine.setSource(*buffer.data);
    // The written formula on the greys, with this picture's mean.
    GreyRamp ramp;
    ramp.setMean(true, engine.highlightMean[0]);
    for (const int v : {-50, -100}) {
        cv::Mat out;
        engine.recoverHighlights(picture, out, v);
        const QString fault = invertedBlocks(picture, out);
        const QString what = QStringLiteral("%1 highlights %2: %3").arg(QTest::currentDataTag()).arg(v).arg(fault);
        // Where the formula keeps the greys rising and apart, the pass is the
        // formula (pinned above) and so are its blocks: on a bright picture it
        // flattens the midtones at -50 (the kitchen: 55 to 58 over 32 levels),
        // and the per-channel power then lets a few colourful blocks pass a
        // greyer, brighter neighbour by 3 levels, as the formula always did.
        if (greyAxisFault(ramp.formula(true, engine.highlightMean[0], v)).isEmpty()) {
            if (!fault.isEmpty())
                qInfo("%s (the formula's own)", qPrintable(what));
        } else {
            QVERIFY2(fault.isEmpty(), qPrintable(what));
        }
        // For a person to look at.
        QImage(out.data, out.cols, out.rows, int(out.step), QImage::Format_BGR888)
            .save(QDir(testOutputDir())
                      .filePath(QStringLiteral("greyaxis_%1_highlights_%2.png")
                                    .arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')))
                                    .arg(v)));
    }
}

QTEST_GUILESS_MAIN(TestToneGreyAxis)
#include "tst_hdrtone_greyaxis.moc"
