#include "FilmParallel.h"

#include <algorithm>
#include <thread>
#include <vector>

void FilmParallelRows(int32_t rows, int64_t rowWork, const std::function<void(int32_t, int32_t)>& fn)
{
    if (rows <= 0)
        return;
    constexpr int64_t kSerialWork = int64_t(1) << 20;
    constexpr unsigned kMaxThreads = 8;
    const unsigned hw = std::max(1u, std::thread::hardware_concurrency());
    int32_t bands = static_cast<int32_t>(std::min(hw, kMaxThreads));
    if (static_cast<int64_t>(rows) * rowWork < kSerialWork)
        bands = 1;
    bands = std::min(bands, rows);
    if (bands <= 1) {
        fn(0, rows);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(bands) - 1);
    const auto bandStart = [&](int32_t b) { return static_cast<int32_t>(static_cast<int64_t>(rows) * b / bands); };
    try {
        for (int32_t b = 1; b < bands; ++b)
            threads.emplace_back(fn, bandStart(b), bandStart(b + 1));
    } catch (...) {
        // No thread to be had: do the bands that did not start here.
        for (int32_t b = static_cast<int32_t>(threads.size()) + 1; b < bands; ++b)
            fn(bandStart(b), bandStart(b + 1));
    }
    fn(0, bandStart(1));
    for (auto& t : threads)
        t.join();
}
