// Film engine at 24 MP (6000 x 4000): a look, grain, and both together.
// Run: ./bench_film --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// ("MP/s" is megapixels per second; on a shared machine take the "min" time)
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "BenchPicture.h"
#include "FilmEngine.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const std::vector<uint8_t>& picture()
{
    static const std::vector<uint8_t> pixels = benchGradientPicture(kWidth, kHeight);
    return pixels;
}

bool loadData()
{
    static const bool loaded = [] {
        QFile file(QStringLiteral(":/film/data/filmdata/film.data"));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        return FilmLoadData(reinterpret_cast<const uint8_t*>(bytes.constData()), int32_t(bytes.size())) == 0;
    }();
    return loaded;
}

void run(benchmark::State& state, bool look, bool grain)
{
    if (!loadData()) {
        state.SkipWithError("film data not available");
        return;
    }
    FilmImage image;
    FilmSetImage(&image, picture().data(), kWidth, kHeight, kWidth * 3, 0);
    FilmReset(&image);
    if (look) {
        FilmSetCategory(&image, 0);
        FilmSelectLut(&image, 4);
        FilmSelectLutBank2(&image, 3);
        FilmSelectLutBank3(&image, 1);
    }
    if (grain) {
        double scale = 1.0;
        FilmGrainScaleForSize(&scale, kWidth, kHeight, 0);
        FilmSelectGrain(&image, 7);
        FilmSetGrainScale(&image, scale);
    }
    for (auto _ : state) {
        if (FilmApply(&image) != 0) {
            state.SkipWithError("FilmApply failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels);
    }
    FilmRelease(&image);
    state.counters["MP/s"] = benchmark::Counter(double(kWidth) * kHeight / 1e6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void BM_FilmNothing(benchmark::State& state) { run(state, false, false); }
void BM_FilmLook(benchmark::State& state) { run(state, true, false); }
void BM_FilmGrain(benchmark::State& state) { run(state, false, true); }
void BM_FilmLookAndGrain(benchmark::State& state) { run(state, true, true); }

}  // namespace

BENCHMARK(BM_FilmNothing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilmLook)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilmGrain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilmLookAndGrain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
