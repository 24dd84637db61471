#pragma once
// A 15-bit pseudo-random generator with per-instance state.
// Several formulas (grain, jitter, rejection sampling) were designed for a
// generator whose maximum is 32767; glibc's rand() is 31-bit and shared by the
// whole process, so those formulas use this instead.
#include <cstdint>

class Rand15 {
public:
    static constexpr int Max = 32767;

    explicit Rand15(uint32_t seed = 1) : m_state(seed) {}
    void seed(uint32_t seed) { m_state = seed; }

    // Next value in 0..Max.
    int next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7fffu);
    }

private:
    uint32_t m_state;
};
