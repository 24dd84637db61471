// Times the detail chain's coloured non-local means (h 5, hColor 3,
// template 7, search 21) on one picture, ours and optionally OpenCV's.
//   nlmeans_pass IN [--runs K] [--kernel auto|sse2|avx2|avx512] [--threads T] [--opencv]
// With --opencv the two results are compared byte for byte as well. The
// last line printed is one JSON object; times are medians of wall-clock time
// and of the process's CPU time, which a busy machine disturbs less (CPU
// time over the core count is what an idle machine would take at best).
// --threads T runs on T threads of OpenCV's pool; with one thread, the
// fastest run's CPU time is the steadiest figure to compare kernels by on a
// shared machine, and it is printed as well.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "IQNonLocalMeans.h"

#include "BenchTiming.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: nlmeans_pass IN [--runs K] [--kernel auto|sse2|avx2|avx512] [--threads T] [--opencv]\n");
    return 2;
}

struct Timing {
    double wallMs;
    double cpuMs;
    double fastestCpuMs;
};

Timing timeRuns(int runs, const std::function<void()> &pass, const char *name)
{
    std::vector<double> wall, cpu;
    QElapsedTimer timer;
    for (int r = 0; r < runs; ++r) {
        const double c0 = benchCpuMs();
        timer.restart();
        pass();
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(benchCpuMs() - c0);
        std::printf("%s run %d: %.1f ms, %.1f ms CPU\n", name, r, wall.back(), cpu.back());
    }
    return {benchMedian(wall), benchMedian(cpu), *std::min_element(cpu.begin(), cpu.end())};
}

const char *kernelName(IQNlmKernel k)
{
    switch (k) {
    case IQNlmKernel::Avx512:
        return "avx512";
    case IQNlmKernel::Avx2:
        return "avx2";
    case IQNlmKernel::Sse2:
        return "sse2";
    default:
        return "auto";
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString path;
    int runs = 3;
    int threads = 0;
    bool withOpenCv = false;
    IQNlmKernel kernel = IQNlmKernel::Auto;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (arg == QLatin1String("--runs") && hasValue) {
            runs = args[++i].toInt(&ok);
        } else if (arg == QLatin1String("--threads") && hasValue) {
            threads = args[++i].toInt(&ok);
            ok = ok && threads > 0;
        } else if (arg == QLatin1String("--kernel") && hasValue) {
            const QString k = args[++i];
            if (k == QLatin1String("sse2"))
                kernel = IQNlmKernel::Sse2;
            else if (k == QLatin1String("avx2"))
                kernel = IQNlmKernel::Avx2;
            else if (k == QLatin1String("avx512"))
                kernel = IQNlmKernel::Avx512;
            else
                ok = k == QLatin1String("auto");
        } else if (arg == QLatin1String("--opencv")) {
            withOpenCv = true;
        } else if (!arg.startsWith(QLatin1String("--")) && path.isEmpty()) {
            path = arg;
        } else {
            return usage();
        }
        if (!ok)
            return usage();
    }
    if (path.isEmpty() || runs < 1)
        return usage();

    QImageReader::setAllocationLimit(0);
    QImageReader reader(path);
    const QImage image = reader.read().convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) {
        std::fprintf(stderr, "nlmeans_pass: cannot read %s: %s\n", qPrintable(path), qPrintable(reader.errorString()));
        return 1;
    }
    cv::Mat picture;
    cv::cvtColor(cv::Mat(image.height(), image.width(), CV_8UC3, const_cast<uchar *>(image.constBits()),
                         size_t(image.bytesPerLine())),
                 picture, cv::COLOR_RGB2BGR);

    if (threads > 0)
        cv::setNumThreads(threads);
    IQNonLocalMeansForceKernel(kernel);
    std::printf("%d x %d, kernel %s, %d OpenCV threads\n", picture.cols, picture.rows,
                kernelName(IQNonLocalMeansKernel()), cv::getNumThreads());
    cv::Mat ours, theirs;
    const Timing oursT = timeRuns(runs, [&] { IQNonLocalMeansColored(picture, ours, 5, 3, 7, 21); }, "ours");
    Timing theirsT{0, 0, 0};
    long long differing = -1;
    double worst = -1;
    if (withOpenCv) {
        theirsT = timeRuns(runs, [&] { cv::fastNlMeansDenoisingColored(picture, theirs, 5, 3, 7, 21); }, "opencv");
        cv::Mat diff;
        cv::absdiff(ours, theirs, diff);
        cv::minMaxLoc(diff.reshape(1), nullptr, &worst);
        differing = cv::countNonZero(diff.reshape(1));
    }
    std::printf("{\"width\":%d, \"height\":%d, \"kernel\":\"%s\", \"ours_ms\":%.1f, \"ours_cpu_ms\":%.1f, "
                "\"ours_fastest_cpu_ms\":%.1f, \"opencv_ms\":%.1f, \"opencv_cpu_ms\":%.1f, \"max_diff\":%.0f, \"differing_bytes\":%lld}\n",
                picture.cols, picture.rows, kernelName(IQNonLocalMeansKernel()), oursT.wallMs, oursT.cpuMs, oursT.fastestCpuMs,
                theirsT.wallMs, theirsT.cpuMs, worst, differing);
    return 0;
}
