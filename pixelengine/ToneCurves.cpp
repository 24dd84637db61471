#include "ToneEngine.h"
#include "ToneEngineData.h"

#include <cmath>

namespace {

// Brightening curve: a quadratic shoulder of shape g, then resampled by r so
// that input 4095 / r reaches white.
void buildHighCurve(uint16_t* t, double g, double r)
{
    const double p = 0.5 + 4095.0 * g;
    const double c1 = (17.0 * g - 8.0) / 9.0;
    const double c0 = (1.0 - g) / 9.0;
    const double c2 = 1.0 - c1 - c0;
    int k = static_cast<int>(0.25 * p);
    if (k > 4096)
        k = 4096;
    for (int j = 0; j < k; ++j)
        t[j] = static_cast<uint16_t>(j);
    for (int j = k; j < 4096; ++j) {
        const double x = j / p;
        const double y = (c2 * x + c1) * x + c0;
        int v = y > 1.0 ? 4095 : static_cast<int>(y * 4095.0 + 0.5);
        t[j] = static_cast<uint16_t>(v < 0 ? 0 : v);
    }
    int e = static_cast<int>(4095.0 / r);
    if (e > 4096)
        e = 4096;
    if (e < 0)
        e = 0;
    for (int j = 0; j < e; ++j) {
        int src = static_cast<int>(j * r + 0.5);
        t[j] = t[src > 4095 ? 4095 : src];
    }
    for (int j = e; j < 4096; ++j)
        t[j] = 4095;
}

// Darkening: a gain factor per linear level in 1/4096 units.
void buildLowCurve(uint16_t* t, double g)
{
    const double c2 = (1.0 - g) * 16.0 / 9.0;
    const double c1 = g - c2 / 2.0;
    const double c0 = 1.0 - c2 - c1;
    for (int j = 0; j < 1024; ++j)
        t[j] = static_cast<uint16_t>(static_cast<int>(j * g + 0.5));
    for (int j = 1024; j < 4096; ++j) {
        const double x = j / 4095.0;
        t[j] = static_cast<uint16_t>(static_cast<int>(((c2 * x + c1) * x + c0) * 4095.0 + 0.5));
    }
    for (int j = 1; j < 4096; ++j)
        t[j] = static_cast<uint16_t>(t[j] * 4095 / j);
}

int buildStrengthCurve(uint16_t* s, int n, int strength)
{
    const double p = strength >= 0 ? 1.0 + 0.014 * strength : 1.0 / (1.0 - 0.014 * strength);
    const double slope = std::pow(0.018, p) / 0.018;
    const double top = n - 1;
    for (int i = 0; i < n; ++i) {
        const double x = i / top;
        const double f = x <= 0.018 ? x * slope : std::pow(x, p);
        s[n - 1 - i] = static_cast<uint16_t>((n - 1) - static_cast<int>(f * top + 0.5));
    }
    return 0;
}

// (int)((peak - |v - centre|) * s / 200.0). The product is formed exactly in
// double and the quotient held to a range an int can take, so any strength
// is well-defined.
int contrastStep(int v, int centre, int peak, int strength)
{
    int d = v - centre;
    if (d < 0)
        d = -d;
    double k = static_cast<double>(peak - d) * strength / 200.0;
    if (k > 1e6)
        k = 1e6;
    if (k < -1e6)
        k = -1e6;
    return static_cast<int>(k);
}

} // namespace

double ToneBuildGainCurve(uint16_t* t, int level)
{
    if (level <= 0) {
        buildHighCurve(t, 1.0, 1.0);
        return 1.0;
    }
    const double g0 = 0.9 * static_cast<double>(255 / level);
    if (g0 > 16.0) {
        buildHighCurve(t, 2.0, 16.0);
        return 16.0;
    }
    if (g0 < 0.0625) {
        buildLowCurve(t, 0.25);
        return 0.25;
    }
    if (g0 < 1.0) {
        const double g = std::sqrt(g0);
        buildLowCurve(t, g);
        return g;
    }
    if (g0 <= 2.0) {
        buildHighCurve(t, g0, g0);
        return g0;
    }
    buildHighCurve(t, 2.0, g0);
    return g0;
}

int ToneBuildStrengthCurve8(uint16_t* table, int strength)
{
    return buildStrengthCurve(table, 4096, strength);
}

int ToneBuildStrengthCurve16(uint16_t* table, int strength)
{
    return buildStrengthCurve(table, 65536, strength);
}

int ToneBuildContrastCurve8(uint8_t* table, int strength)
{
    // Strengths beyond +-100 would leave the byte range; such entries are clamped.
    for (int v = 0; v < 256; ++v) {
        const int out = v < 128 ? v - contrastStep(v, 64, 64, strength) : v + contrastStep(v, 192, 64, strength);
        table[v] = static_cast<uint8_t>(out < 0 ? 0 : (out > 255 ? 255 : out));
    }
    return 0;
}

int ToneBuildContrastCurve16(uint16_t* table, int strength)
{
    for (int v = 0; v < 65536; ++v) {
        const int out = v < 32768 ? v - contrastStep(v, 16384, 16384, strength)
                                  : v + contrastStep(v, 49152, 16384, strength);
        table[v] = static_cast<uint16_t>(out < 0 ? 0 : (out > 65535 ? 65535 : out));
    }
    return 0;
}
