// Exposure estimate and the BGR -> YUY2 -> BGR round trip on 6000 x 4000.
#include "IQBGRData.h"
#include "IQExposure.h"
#include "IQHDREngine.h"
#include "IQYUVFrame.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

QImage testPicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    std::mt19937 random(3);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            line[x] = 0xFF000000u | (random() & 0xFFFFFFu);
    }
    return picture;
}

void BM_ExposureOf(benchmark::State& state)
{
    const QImage picture = testPicture();
    for (auto _ : state)
        benchmark::DoNotOptimize(IQHDREngine::exposureOf(picture));
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ExposureOf)->Unit(benchmark::kMillisecond);

void BM_ExposureOfWholeFrame(benchmark::State& state)
{
    // The whole-frame conversion that the sampled rows stand in for.
    const QImage picture = testPicture();
    for (auto _ : state) {
        IQYUVFrame frame;
        frame.format = IQYUV_FORMAT_YUY2;
        frame.width = kWidth;
        frame.height = kHeight;
        YUVFrameAllocate(&frame);
        QImageToYUVFrame(picture, &frame);
        double gain = 1.0;
        ComputeExposureGain(&frame, &gain);
        YUVFrameRelease(&frame);
        benchmark::DoNotOptimize(gain);
    }
}
BENCHMARK(BM_ExposureOfWholeFrame)->Unit(benchmark::kMillisecond);

void BM_BGRToYUY2ToBGR(benchmark::State& state)
{
    std::unique_ptr<IQBGRData> source(IQBGRData::create(kWidth, kHeight));
    std::unique_ptr<IQBGRData> target(IQBGRData::create(kWidth, kHeight));
    std::mt19937 random(5);
    for (size_t i = 0; i < source->byteCount(); ++i)
        source->data[i] = uint8_t(random());
    IQYUVFrame frame;
    frame.format = IQYUV_FORMAT_YUY2;
    frame.width = kWidth;
    frame.height = kHeight;
    YUVFrameAllocate(&frame);
    for (auto _ : state) {
        BGRDataToYUVFrame(*source, &frame);
        YUVFrameToBGRData(&frame, *target);
        benchmark::ClobberMemory();
    }
    YUVFrameRelease(&frame);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BGRToYUY2ToBGR)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
