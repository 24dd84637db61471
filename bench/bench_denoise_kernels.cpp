// Timing of the denoiser's block filter and pyramid kernels.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "denoise/DenoiseBlockFilter.h"
#include "denoise/DenoisePlaneKernels.h"

namespace {
constexpr int kMargin = 8;

struct BenchPlane {
    std::vector<uint8_t> buf;
    DenoiseLevelPlane p;
    BenchPlane(int aw, int ah, uint32_t layout)
    {
        p.width = aw + 2 * kMargin;
        p.height = ah + 2 * kMargin;
        p.pitch = p.width;
        p.layout = layout;
        p.left = p.top = p.right = p.bottom = kMargin;
        buf.resize(size_t(p.width) * size_t(p.height));
        p.data = buf.data();
    }
};

void fillNoisy(BenchPlane& plane, bool isSigned)
{
    std::mt19937 rng(1);
    std::normal_distribution<double> noise(0.0, 8.0);
    for (int y = 0; y < plane.p.height; ++y)
        for (int x = 0; x < plane.p.width; ++x) {
            const double base = isSigned ? 0.0 : 60.0 + 120.0 * ((x / 97 + y / 61) % 2);
            const int v = int(base + noise(rng));
            plane.buf[size_t(y * plane.p.pitch + x)] =
                isSigned ? uint8_t(int8_t(std::clamp(v, -128, 127))) : uint8_t(std::clamp(v, 0, 255));
        }
}

// Block filter over a 1024 x 1024 plane; arg 0 the stage byte, arg 1 signed samples.
void BM_BlockFilter(benchmark::State& state)
{
    const int stage = int(state.range(0));
    const bool isSigned = state.range(1) != 0;
    const int side = 1024;
    BenchPlane src(side, side, isSigned ? DENOISE_SAMPLES_S8 : DENOISE_SAMPLES_U8);
    BenchPlane dst(side, side, src.p.layout);
    fillNoisy(src, isSigned);
    std::vector<uint8_t> map(size_t(side + 9) * (side + 9), 40);
    DenoiseLevelBuffer noise;
    noise.data = map.data();
    noise.width = noise.height = noise.stride = uint32_t(side + 9);
    DenoiseLevelParams params;
    params.stage = stage;
    params.keep = 51;
    params.set = isSigned ? 1 : 0;
    for (auto _ : state) {
        DenoiseLevelFilter(nullptr, &src.p, &noise, &params, &dst.p);
        benchmark::ClobberMemory();
    }
    const int step = (stage & 2) ? 8 : 4;
    const double blocks = double(side / step) * double(side / step);
    state.counters["MP/s"] = benchmark::Counter(double(side) * side / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ns/block"] = benchmark::Counter(blocks * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                       benchmark::Counter::kInvert);
}
BENCHMARK(BM_BlockFilter)->Args({0x22, 0})->Args({0x20, 0})->Args({0x22, 1})->Args({0x12, 0})->Args({0x16, 0})
    ->Unit(benchmark::kMillisecond);

void BM_Reduce(benchmark::State& state)
{
    const int w = 4000, h = 3000;
    std::vector<uint8_t> fine(size_t(w) * h, 100), coarse(size_t((w + 1) / 2) * ((h + 1) / 2));
    for (auto _ : state) {
        DenoiseReduceTile(DENOISE_SAMPLES_U8, fine.data(), w, w, h, coarse.data(), (w + 1) / 2);
        benchmark::ClobberMemory();
    }
    state.counters["MP/s"] = benchmark::Counter(double(w) * h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Reduce)->Unit(benchmark::kMillisecond);

void BM_Expand(benchmark::State& state)
{
    const int w = 4000, h = 3000;
    std::vector<uint8_t> fine(size_t(w) * h), coarse(size_t((w + 1) / 2) * ((h + 1) / 2), 100);
    for (auto _ : state) {
        DenoiseExpandTile(DENOISE_SAMPLES_U8, coarse.data(), (w + 1) / 2, w, h, fine.data(), w);
        benchmark::ClobberMemory();
    }
    state.counters["MP/s"] = benchmark::Counter(double(w) * h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Expand)->Unit(benchmark::kMillisecond);

void BM_DetailCollapse(benchmark::State& state)
{
    const int w = 4000, h = 3000;
    std::vector<uint8_t> fine(size_t(w) * h, 100), coarse(size_t((w + 1) / 2) * ((h + 1) / 2), 90);
    for (auto _ : state) {
        DenoiseDetail(coarse.data(), (w + 1) / 2, w, h, 0, 0, w, h, fine.data(), w);
        DenoiseCollapse(coarse.data(), (w + 1) / 2, w, h, 0, 0, w, h, fine.data(), w);
        benchmark::ClobberMemory();
    }
    state.counters["MP/s"] = benchmark::Counter(double(w) * h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DetailCollapse)->Unit(benchmark::kMillisecond);

// The same with the excess plane that keeps what a band's bytes cannot hold;
// arg 0 the share of samples (in percent) whose detail passes a byte.
void BM_DetailCollapseSplit(benchmark::State& state)
{
    const int w = 4000, h = 3000, cw = (w + 1) / 2;
    std::vector<uint8_t> fine(size_t(w) * h), coarse(size_t(cw) * ((h + 1) / 2), 90), excess(fine.size());
    std::mt19937 rng(2);
    for (auto& v : fine)
        v = int(rng() % 100) < state.range(0) ? 250 : 100;
    for (auto _ : state) {
        DenoiseDetailSplit(coarse.data(), cw, w, h, 0, 0, w, h, fine.data(), w, excess.data(), w);
        DenoiseCollapseSplit(coarse.data(), cw, w, h, 0, 0, w, h, fine.data(), w, excess.data(), w);
        benchmark::ClobberMemory();
    }
    state.counters["MP/s"] = benchmark::Counter(double(w) * h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DetailCollapseSplit)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
