#include "IQParallel.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class FirstError {
public:
    void capture()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_error)
            m_error = std::current_exception();
    }
    void rethrow()
    {
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    std::mutex m_mutex;
    std::exception_ptr m_error;
};

int coreCount()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int(n);
}

} // namespace

void IQParallelFor(int count, const std::function<void(int)>& body, int maxThreads)
{
    if (count <= 0)
        return;
    int threads = maxThreads > 0 ? maxThreads : coreCount();
    threads = std::min(threads, count);
    FirstError error;
    std::atomic<int> next{0};
    auto worker = [&]() {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            try {
                body(i);
            } catch (...) {
                error.capture();
            }
        }
    };
    if (threads <= 1) {
        worker();
    } else {
        std::vector<std::thread> pool;
        pool.reserve(size_t(threads - 1));
        try {
            for (int t = 1; t < threads; ++t)
                pool.emplace_back(worker);
        } catch (...) {
            // No more threads to be had: the ones running and this one finish the work.
        }
        worker();
        for (auto& thread : pool)
            thread.join();
    }
    error.rethrow();
}

int IQBandRowsFor(int rows)
{
    const int bands = coreCount() * 4;
    return std::max(8, (rows + bands - 1) / bands);
}

void IQParallelBands(int rows, int bandRows, const std::function<void(int, int)>& body)
{
    if (rows <= 0)
        return;
    bandRows = std::max(1, bandRows);
    const int bands = (rows + bandRows - 1) / bandRows;
    FirstError error;
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& range) {
        for (int b = range.start; b < range.end; ++b) {
            try {
                body(b * bandRows, std::min(rows, (b + 1) * bandRows));
            } catch (...) {
                error.capture();
            }
        }
    });
    error.rethrow();
}
