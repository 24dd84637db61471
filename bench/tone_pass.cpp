// Times the highlight and shadow passes of the tone engine on one picture.
//   tone_pass IN [--runs K] [--set highlight=V|shadow=V ...]
// IN is read with Qt and analysed once; every --set (default highlight=-50,
// highlight=-100, shadow=90, shadow=100) is then run K times (default 5)
// into a separate destination. Prints the median wall time and the process
// CPU time of that run, and the share of pixels whose weight takes another
// strength than the per-pixel formula's.
#include <opencv2/core.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QImageReader>
#include <QString>

#include "IQBGRData.h"
#include "IQHDRToneEngine.h"
#include "IQToneStrength.h"

#include "BenchTiming.h"

namespace {

double replacedShare(const IQHDRToneEngine &engine, bool highlights, int v)
{
    const IQToneStrength strength(v, highlights ? engine.highlightMean[0] : engine.shadowMean[0], highlights);
    if (strength.followsFormula())
        return 0;
    const cv::Mat &weight = highlights ? engine.highlightWeight : engine.shadowWeight;
    size_t count = 0;
    for (int y = 0; y < weight.rows; ++y) {
        const float *w = weight.ptr<float>(y);
        for (int x = 0; x < weight.cols; ++x)
            count += strength.replaces(w[x]);
    }
    return double(count) / double(weight.total());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tone_pass IN [--runs K] [--set highlight=V|shadow=V ...]\n");
        return 2;
    }
    int runs = 5;
    std::vector<std::pair<bool, int>> passes;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--set" && i + 1 < argc) {
            const QString set = QString::fromLocal8Bit(argv[++i]);
            const int eq = set.indexOf(QLatin1Char('='));
            const QString name = set.left(eq);
            bool ok = false;
            const int v = set.mid(eq + 1).toInt(&ok);
            if (eq < 0 || !ok || (name != QLatin1String("highlight") && name != QLatin1String("shadow"))) {
                std::fprintf(stderr, "bad --set %s\n", argv[i]);
                return 2;
            }
            passes.emplace_back(name == QLatin1String("highlight"), v);
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (passes.empty())
        passes = {{true, -50}, {true, -100}, {false, 90}, {false, 100}};

    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    const QImage picture = reader.read().convertToFormat(QImage::Format_BGR888);
    if (picture.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    IQBGRData *source = IQBGRData::create(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        std::copy_n(picture.constScanLine(y), size_t(picture.width()) * 3, source->data + size_t(y) * source->bytesPerLine);
    IQHDRToneEngine engine;
    engine.setSource(*source);
    std::printf("%d x %d, highlight mean %.4f, shadow mean %.4f\n", picture.width(), picture.height(),
                engine.highlightMean[0], engine.shadowMean[0]);

    cv::Mat out(engine.source.size(), CV_8UC3);
    for (const auto &[highlights, v] : passes) {
        std::vector<std::pair<double, double>> t;
        for (int r = 0; r < runs; ++r) {
            const double cpu = benchCpuMs();
            const auto start = std::chrono::steady_clock::now();
            if (highlights)
                engine.recoverHighlights(engine.source, out, v);
            else
                engine.recoverShadows(engine.source, out, v);
            t.emplace_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
                           benchCpuMs() - cpu);
        }
        std::sort(t.begin(), t.end());
        std::printf("%s %4d: %.1f ms (CPU %.1f ms), replaced %.1f %%\n", highlights ? "highlight" : "shadow   ", v,
                    t[t.size() / 2].first, t[t.size() / 2].second, 100 * replacedShare(engine, highlights, v));
    }
    delete source;
    return 0;
}
