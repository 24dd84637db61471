#pragma once
// The tone pass's power approximation written out from its description, for
// the tone tests' own references.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

// The upper 32 bits of a, scaled around 1072632447, with a saturating
// conversion to int where the scaled value leaves its range (byte 0 with
// large exponents).
inline double referenceFastPow(double a, double b)
{
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int h = int(int32_t(uint32_t(bits >> 32)));
    const double scaled = b * (h - 1072632447) + 1072632447;
    const int hp = int(std::clamp(scaled, double(std::numeric_limits<int>::min()),
                                  double(std::numeric_limits<int>::max())));
    const uint64_t out = uint64_t(uint32_t(hp)) << 32;
    double r;
    std::memcpy(&r, &out, sizeof r);
    return r;
}
