// merge_bounds [--dump DIR] [--pixel X,Y] IN1 IN2 ...
// Prepares a series as the HDR job does (exposure estimate, sort, alignment)
// and compares the program's merge with the stock OpenCV merge: how many
// pixels differ, whether every one of them has a photo near an end of the
// range, and how long each merge takes. --dump writes the aligned photos
// (shortest first) and both maps' tone-mapped pictures; --pixel prints the
// readings and both radiances of one pixel of the aligned frame.
#include "IQHDREngine.h"
#include "IQHDRKernels.h"
#include "IQImageConvert.h"
#include "align.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QtPlugin>

#include <opencv2/photo.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

Q_IMPORT_PLUGIN(QRawPlugin)

namespace {

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

cv::Mat tonemapped(const cv::Mat& radiance)
{
    cv::Mat out(radiance.size(), CV_8UC3);
    IQTonemapReinhardBanded(radiance, 1.0f, 0.0f, 0.0f, 1.0f, out, false);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString dump;
    int px = -1, py = -1;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            break;
        const QString value = args.takeFirst();
        if (option == QLatin1String("--dump")) {
            dump = value;
        } else if (option == QLatin1String("--pixel")) {
            px = value.section(QLatin1Char(','), 0, 0).toInt();
            py = value.section(QLatin1Char(','), 1, 1).toInt();
        }
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: merge_bounds [--dump DIR] [--pixel X,Y] IN1 IN2 ...\n");
        return 2;
    }

    struct Photo {
        QImage picture;
        cv::Mat bgr;
        double time = 1.0;
    };
    std::vector<Photo> photos;
    for (const QString& path : args) {
        Photo photo;
        photo.picture = IQHDREngine::readPhoto(path);
        if (photo.picture.isNull()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        photo.time = 1.0 / IQHDREngine::exposureOf(photo.picture);
        photo.bgr = QImageToMat(photo.picture.convertToFormat(QImage::Format_RGB888), true);
        photos.push_back(photo);
    }
    std::stable_sort(photos.begin(), photos.end(), [](const Photo& a, const Photo& b) { return a.time < b.time; });
    std::vector<cv::Mat> images;
    std::vector<float> times;
    std::vector<double> sortedTimes;
    for (const Photo& photo : photos) {
        images.push_back(photo.bgr);
        times.push_back(float(photo.time));
        sortedTimes.push_back(photo.time);
    }
    std::vector<cv::Mat> aligned(images);
    cv::createAlignIndexMTB(IQHDREngine::alignMaxBitsFor(int(images.size())), 6, true,
                            IQHDREngine::referenceIndexFor(sortedTimes))
        ->process(images, aligned);

    QElapsedTimer timer;
    cv::Mat ours, stock;
    double oursMs = 1e30;
    for (int run = 0; run < 3; ++run) {
        timer.start();
        IQMergeDebevecBanded(aligned, times, ours);
        oursMs = std::min(oursMs, msSince(timer));
    }
    timer.start();
    cv::createMergeDebevec()->process(aligned, stock, times);
    const double stockMs = msSince(timer);

    // A pixel is "near an end" when some photo's brightest channel there is
    // above 240 or below 15; every other pixel must be the stock merge's.
    const int rows = ours.rows, cols = ours.cols;
    long long changed = 0, changedInside = 0, nearTop = 0, nearBlack = 0, topEverywhere = 0, blackEverywhere = 0;
    long long changedBy[3] = {0, 0, 0}; // more than 1 %, 5 %, 20 %
    double worstInside = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < cols; ++x) {
            bool top = false, black = false, allTop = true, allBlack = true;
            for (const cv::Mat& image : aligned) {
                const cv::Vec3b p = image.at<cv::Vec3b>(y, x);
                const int brightest = std::max({p[0], p[1], p[2]});
                top = top || brightest > 240;
                black = black || brightest < 15;
                allTop = allTop && std::min({p[0], p[1], p[2]}) >= 250;
                allBlack = allBlack && brightest <= 5;
            }
            nearTop += top;
            nearBlack += black;
            topEverywhere += allTop;
            blackEverywhere += allBlack;
            const cv::Vec3f a = ours.at<cv::Vec3f>(y, x), b = stock.at<cv::Vec3f>(y, x);
            double relative = 0;
            for (int c = 0; c < 3; ++c)
                relative = std::max(relative, double(std::fabs(a[c] - b[c]) / (std::fabs(b[c]) + 1e-6f)));
            if (relative > 1e-5) {
                ++changed;
                changedInside += !(top || black);
                changedBy[0] += relative > 0.01;
                changedBy[1] += relative > 0.05;
                changedBy[2] += relative > 0.2;
            }
            if (!(top || black))
                worstInside = std::max(worstInside, relative);
        }
    }
    const double total = double(rows) * double(cols);
    std::printf("size %d x %d, %zu photos, times", cols, rows, aligned.size());
    for (float t : times)
        std::printf(" %.4f", double(t));
    std::printf("\nnear the top (some photo's brightest channel > 240): %lld (%.2f %%);"
                " near black (< 15): %lld (%.2f %%)\n",
                nearTop, 100.0 * double(nearTop) / total, nearBlack, 100.0 * double(nearBlack) / total);
    std::printf(">= 250 in every channel of every photo: %lld; <= 5 in every channel of every photo: %lld\n",
                topEverywhere, blackEverywhere);
    std::printf("changed against the stock merge (relative > 1e-5): %lld (%.2f %%); by > 1 %%: %lld, > 5 %%: %lld,"
                " > 20 %%: %lld\n",
                changed, 100.0 * double(changed) / total, changedBy[0], changedBy[1], changedBy[2]);
    std::printf("changed although every photo lies within 15..240: %lld (worst relative difference there %.3g)\n",
                changedInside, worstInside);
    std::printf("merge ms: ours %.1f (best of 3), stock %.1f\n", oursMs, stockMs);

    if (px >= 0 && py >= 0 && px < cols && py < rows) {
        for (size_t i = 0; i < aligned.size(); ++i) {
            const cv::Vec3b p = aligned[i].at<cv::Vec3b>(py, px);
            std::printf("photo %zu (t %.4f): B %d G %d R %d\n", i, double(times[i]), p[0], p[1], p[2]);
        }
        const cv::Vec3f a = ours.at<cv::Vec3f>(py, px), b = stock.at<cv::Vec3f>(py, px);
        std::printf("ours  B %.2f G %.2f R %.2f\nstock B %.2f G %.2f R %.2f\n", double(a[0]), double(a[1]),
                    double(a[2]), double(b[0]), double(b[1]), double(b[2]));
    }
    if (!dump.isEmpty()) {
        QDir().mkpath(dump);
        for (size_t i = 0; i < aligned.size(); ++i)
            MatToQImage(aligned[i]).save(QDir(dump).filePath(QStringLiteral("aligned_%1.png").arg(i)));
        MatToQImage(tonemapped(ours)).save(QDir(dump).filePath(QStringLiteral("ours.png")));
        MatToQImage(tonemapped(stock)).save(QDir(dump).filePath(QStringLiteral("stock.png")));
    }
    return 0;
}
