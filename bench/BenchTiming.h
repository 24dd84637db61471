#pragma once
// Timing helpers shared by the benchmark programs.
#include <algorithm>
#include <ctime>
#include <vector>

// Process CPU time in ms: holds up better than wall time on a busy machine.
inline double benchCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline double benchMedian(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
