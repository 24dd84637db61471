#include "FilmParallel.h"

#include "FilmMemory.h"

#include <algorithm>
#include <thread>

void FilmParallelRowsCall(int32_t rows, int64_t rowWork, FilmRowsFn fn, void* context) noexcept
{
    if (rows <= 0)
        return;
    constexpr int64_t kSerialWork = int64_t(1) << 20;
    constexpr int32_t kMaxThreads = 8;
    const int32_t hw = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    int32_t bands = std::min(hw, kMaxThreads);
    if (static_cast<int64_t>(rows) * rowWork < kSerialWork)
        bands = 1;
    bands = std::min(bands, rows);
    const auto bandStart = [&](int32_t b) { return static_cast<int32_t>(static_cast<int64_t>(rows) * b / bands); };
    std::thread threads[kMaxThreads];
    for (int32_t b = 1; b < bands; ++b) {
        // No thread to be had: that band runs here after the first one.
        if (FilmFaultInjectHit())
            continue;
        try {
            threads[b] = std::thread(fn, context, bandStart(b), bandStart(b + 1));
        } catch (...) {
        }
    }
    fn(context, 0, bandStart(1));
    for (int32_t b = 1; b < bands; ++b) {
        if (threads[b].joinable())
            threads[b].join();
        else
            fn(context, bandStart(b), bandStart(b + 1));
    }
}
