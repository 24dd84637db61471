#pragma once
// The arithmetic of one output byte of the highlight and shadow passes:
// p = fastPow(c / 255, 1 / g), t = p / (1 - k), the byte 255 above 1,
// (int)(t * 255) above 0, else 0. fastPow is the bit-level approximation of
// a^b that scales the upper 32 bits of the double a around 0x3FEF127F.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace IQToneByte {

constexpr double kPowPivot = 1072632447.0; // 0x3FEF127F
// Upper 32 bits of the largest finite double.
constexpr double kPowTop = double(0x7FEFFFFF);

// Upper 32 bits of a as a signed integer, minus the pivot.
inline double upperBitsMinusPivot(double a)
{
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    return double(int32_t(uint32_t(bits >> 32))) - kPowPivot;
}

// The approximation's second half: scale around the pivot, rebuild a double.
inline double fastPowScaled(double hMinusPivot, double b)
{
    double scaled = b * hMinusPivot + kPowPivot;
    // An infinite exponent times 0 gives NaN: treat it as no change.
    if (std::isnan(scaled))
        scaled = kPowPivot;
    // Below 0 the value would be negative, above the top not finite; the
    // tone pass maps both ends to the same bytes as before.
    scaled = std::clamp(scaled, 0.0, kPowTop);
    const uint64_t out = uint64_t(uint32_t(int32_t(scaled))) << 32;
    double result;
    std::memcpy(&result, &out, sizeof result);
    return result;
}

inline double fastPow(double a, double b)
{
    return fastPowScaled(upperBitsMinusPivot(a), b);
}

// Byte c as the pass feeds it to the approximation: c / 255 in single
// precision, widened, split into its upper bits.
struct Inputs {
    double h[256];
    Inputs()
    {
        for (int c = 0; c < 256; ++c)
            h[c] = upperBitsMinusPivot(double(float(c) / 255.0f));
    }
};

inline const Inputs &inputs()
{
    static const Inputs table;
    return table;
}

// One output byte for exponent 1/g and divisor 1 - k.
inline uint8_t byteOf(const Inputs &in, int c, float invG, float divisor)
{
    const double p = fastPowScaled(in.h[c], double(invG));
    // Past 1 the byte is 255 however large the quotient; capping it keeps the
    // narrowing to float defined.
    const float t = float(std::min(p / double(divisor), 2.0));
    // 255 above 1 and 0 at or below 0, without branches: clamping to 1 gives
    // 1 * 255 = 255.
    return uint8_t(int(std::min(std::max(t, 0.0f), 1.0f) * 255));
}

} // namespace IQToneByte
