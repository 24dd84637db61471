// Colour filters, blur, vignette and unsharp mask on a 6000 x 4000 picture,
// one core. Reports megapixels per second of CPU time ("MP/s"), which holds up
// better than wall time on a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "AdjustBlur.h"
#include "AdjustColor.h"
#include "AdjustLut3d.h"
#include "AdjustUnsharpMask.h"
#include "AdjustVignette.h"
#include "Rand15.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kStride = kWidth * 3;

// Smooth gradients, hard edges and a little noise, like a photo.
const std::vector<uint8_t>& picture()
{
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(size_t(kStride) * kHeight);
        Rand15 rng(42);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* q = p.data() + size_t(y) * kStride + 3 * x;
                const int n = (rng.next() & 15) - 8;
                const int edge = ((x / 300 + y / 200) & 1) * 60;
                q[0] = uint8_t(std::clamp(40 + 150 * x / kWidth + n + edge / 2, 0, 255));
                q[1] = uint8_t(std::clamp(30 + 180 * y / kHeight + n, 0, 255));
                q[2] = uint8_t(std::clamp(200 - 120 * x / kWidth + n + edge, 0, 255));
            }
        return p;
    }();
    return pixels;
}

void report(benchmark::State& state)
{
    state.counters["MP/s"] = benchmark::Counter(double(kWidth) * kHeight / 1e6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

// In-place kernels get a fresh copy of the picture before every run.
template <typename F>
void runInPlace(benchmark::State& state, F kernel)
{
    std::vector<uint8_t> work(picture());
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), picture().data(), work.size());
        state.ResumeTiming();
        benchmark::DoNotOptimize(kernel(work.data()));
        benchmark::ClobberMemory();
    }
    report(state);
}

void BM_ContrastSaturation(benchmark::State& state)
{
    runInPlace(state, [](uint8_t* p) { return AdjustContrastSaturationApply(p, kWidth, kHeight, kStride, 30, 40); });
}

void BM_Lut3d(benchmark::State& state)
{
    runInPlace(state, [](uint8_t* p) { return AdjustLut3dApply(p, kWidth, kHeight, kStride); });
}

void BM_Grayscale(benchmark::State& state)
{
    runInPlace(state, [](uint8_t* p) { return AdjustGrayscaleApply(p, kWidth, kHeight, kStride); });
}

void BM_ColorFilter(benchmark::State& state)
{
    runInPlace(state, [](uint8_t* p) {
        return AdjustColorFilterApply(p, kWidth, kHeight, kStride, 255, 160, 40, 60, 1);
    });
}

void BM_Vignette(benchmark::State& state)
{
    runInPlace(state, [](uint8_t* p) { return AdjustVignetteApply(p, kWidth, kHeight, kStride, 50); });
}

void BM_UnsharpMask(benchmark::State& state)
{
    runInPlace(state, [](uint8_t* p) { return AdjustUnsharpMaskApply(p, kWidth, kHeight, kStride, 50); });
}

void BM_Blur(benchmark::State& state)
{
    const int levels = int(state.range(0));
    std::vector<uint8_t> out(picture().size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(AdjustBlurApply(picture().data(), kWidth, kHeight, kStride, out.data(), levels, 50));
        benchmark::ClobberMemory();
    }
    report(state);
}

} // namespace

BENCHMARK(BM_ContrastSaturation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lut3d)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColorFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blur)->Arg(1)->Arg(4)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Vignette)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnsharpMask)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
