// Times the two domain-transform filters of the detail chain against the
// OpenCV calls they stand in for, and reports how far the pictures differ.
//   dt_filters IN [--size WxH] [--runs K] [--threads N] [--no-opencv] [--scratch]
// IN is read with Qt and resized to WxH when given (e.g. 6000x4000).
// Prints the median wall time of K runs (default 3) of each call, then the
// largest difference per channel and the share of identical bytes.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QImageReader>

#include "IQDomainTransform.h"
#include "IQFilterScratch.h"

#include "BenchTiming.h"

namespace {

// Median wall time of the runs, and the process CPU time of that run
// (which holds up better than wall time on a busy machine).
std::string timeRuns(int runs, const std::function<void()>& fn)
{
    std::vector<std::pair<double, double>> t;
    for (int r = 0; r < runs; ++r) {
        const double cpu = benchCpuMs();
        const auto start = std::chrono::steady_clock::now();
        fn();
        t.emplace_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
                       benchCpuMs() - cpu);
    }
    std::sort(t.begin(), t.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.1f ms (CPU %.1f ms)", t[t.size() / 2].first, t[t.size() / 2].second);
    return text;
}

void report(const char* name, const cv::Mat& ours, const cv::Mat& theirs)
{
    cv::Mat diff;
    cv::absdiff(ours, theirs, diff);
    double maxDiff = 0;
    cv::minMaxLoc(diff.reshape(1), nullptr, &maxDiff);
    const double differing = cv::countNonZero(diff.reshape(1));
    std::printf("%s: max difference %.0f, identical bytes %.5f %%\n", name, maxDiff,
                100.0 * (1.0 - differing / double(diff.total() * diff.channels())));
}

int usage()
{
    std::fprintf(stderr, "usage: dt_filters IN [--size WxH] [--runs K] [--threads N] [--no-opencv] [--scratch]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    int width = 0, height = 0, runs = 3;
    bool withOpenCv = true;
    // As the detail chain runs them: working planes kept from run to run.
    bool keepPlanes = false;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1)
                return usage();
        } else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--threads") && i + 1 < argc) {
            cv::setNumThreads(std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--scratch")) {
            keepPlanes = true;
        } else if (!std::strcmp(argv[i], "--no-opencv")) {
            withOpenCv = false;
        } else {
            return usage();
        }
    }
    QImageReader::setAllocationLimit(0);
    const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_BGR888);
    cv::Mat picture;
    if (!image.isNull())
        cv::Mat(image.height(), image.width(), CV_8UC3, const_cast<uchar*>(image.constBits()),
                size_t(image.bytesPerLine())).copyTo(picture);
    if (picture.empty()) {
        std::fprintf(stderr, "dt_filters: cannot read %s\n", argv[1]);
        return 1;
    }
    if (width > 0)
        cv::resize(picture, picture, cv::Size(width, height), 0, 0, cv::INTER_CUBIC);
    std::printf("%d x %d, %d threads\n", picture.cols, picture.rows, cv::getNumThreads());

    cv::Mat ours, theirs;
    IQFilterScratch scratch;
    IQFilterScratch *planes = keepPlanes ? &scratch : nullptr;
    std::printf("detailEnhance ours: %s\n",
                timeRuns(runs, [&] { IQDetailEnhance(picture, ours, 100.0f, 0.1f, planes); }).c_str());
    if (withOpenCv) {
        std::printf("detailEnhance OpenCV: %s\n",
                    timeRuns(1, [&] { cv::detailEnhance(picture, theirs, 100.0f, 0.1f); }).c_str());
        report("detailEnhance", ours, theirs);
    }
    std::printf("edgePreservingFilter ours: %s\n",
                timeRuns(runs, [&] { IQEdgePreservingRecursive(picture, ours, 60.0f, 0.4f, planes); }).c_str());
    if (withOpenCv) {
        std::printf("edgePreservingFilter OpenCV: %s\n",
                    timeRuns(1, [&] { cv::edgePreservingFilter(picture, theirs, 1, 60.0f, 0.4f); }).c_str());
        report("edgePreservingFilter", ours, theirs);
    }
    return 0;
}
