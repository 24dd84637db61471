// Exposure alignment of three synthetic 36 MP photos, against OpenCV's stock
// aligner on the same input.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include "align.h"

namespace {

const std::vector<cv::Mat> &series()
{
    static std::vector<cv::Mat> photos = [] {
        const cv::Size size(7360, 4912);
        cv::RNG rng(7);
        cv::Mat coarse(size.height / 64 + 40, size.width / 64 + 40, CV_8UC3);
        rng.fill(coarse, cv::RNG::UNIFORM, 0, 256);
        cv::Mat scene;
        cv::resize(coarse, scene, cv::Size(coarse.cols * 64, coarse.rows * 64), 0, 0, cv::INTER_LINEAR);
        std::vector<cv::Mat> out;
        const cv::Point offsets[] = {{-9, 4}, {0, 0}, {13, -6}};
        const double gains[] = {0.5, 1.0, 1.8};
        for (int i = 0; i < 3; ++i) {
            cv::Mat p;
            scene(cv::Rect(600 + offsets[i].x, 600 + offsets[i].y, size.width, size.height))
                .convertTo(p, -1, gains[i], 0);
            out.push_back(p);
        }
        return out;
    }();
    return photos;
}

void BM_AlignIndexMTB(benchmark::State &state)
{
    const auto &src = series();
    auto align = cv::createAlignIndexMTB(10, 6, true, -1);
    for (auto _ : state) {
        std::vector<cv::Mat> dst;
        align->process(src, dst);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_AlignIndexMTB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StockAlignMTB(benchmark::State &state)
{
    const auto &src = series();
    auto align = cv::createAlignMTB(6, 6, true);
    for (auto _ : state) {
        std::vector<cv::Mat> dst;
        align->process(src, dst);
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(BM_StockAlignMTB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
