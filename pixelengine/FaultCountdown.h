#pragma once
// Test hook behind a family's allocations: once armed with n, the first n
// requests pass and every later one fails, until it is armed with -1 again.
#include <atomic>

class FaultCountdown {
public:
    // Arms the countdown; returns the previous setting.
    int arm(int count) { return m_count.exchange(count, std::memory_order_relaxed); }

    // True when this request must fail.
    bool hit()
    {
        int current = m_count.load(std::memory_order_relaxed);
        while (current >= 0) {
            if (current == 0)
                return true;
            if (m_count.compare_exchange_weak(current, current - 1, std::memory_order_relaxed))
                return false;
        }
        return false;
    }

private:
    std::atomic<int> m_count{-1};
};
