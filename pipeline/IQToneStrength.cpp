#include "IQToneStrength.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "IQToneByte.h"

namespace {

// Rise of the grey axis (output levels per input level) while the output
// lies between kLow and kHigh: kBaseSlope plus a tenth of the way to
// kFullSlope for every setting past the last one the formula keeps apart.
// kBaseSlope alone is twice what keeps 32 levels one level apart; the full
// rise keeps a brighter patch from ending darker than a duller but busier
// neighbour.
constexpr double kBaseSlope = 1.0 / 16;
constexpr double kFullSlope = 1.0 / 2;
constexpr int kSlopeSettings = 10;
constexpr double kLow = 7.0 / 255;
constexpr double kHigh = 249.0 / 255;
// Outside that range a little everywhere below 1, so no stretch is flat.
constexpr double kCreep = 1.0 / 256;
// Bisection steps for a pair.
constexpr int kSteps = 20;
// A level keeps its pair while that misses its target by less than this.
constexpr double kKeep = 0.001 / 255;

struct Setting {
    float s;  // divisor strength
    float se; // exponent strength
};

Setting settingOf(int v)
{
    const float s = float(v) / 100 * 0.25f;
    // Past -50 the exponent follows the slider at a fifth of the rate, so at
    // -100 it is 2.5 (g = 0.4) instead of infinite. The divisor keeps the
    // full strength: it stays at or above 0.75 and goes on darkening.
    const float se = v >= -50 ? s : (-50 + float(v + 50) / 5) / 100 * 0.25f;
    return {s, se};
}

struct GreyWeights {
    float highlights[256];
    float shadows[256];
    // The analysis's own arithmetic on the 256 greys.
    GreyWeights()
    {
        cv::Mat greys(1, 256, CV_8UC3);
        for (int c = 0; c < 256; ++c)
            greys.at<cv::Vec3b>(0, c) = cv::Vec3b::all(uchar(c));
        cv::Mat hw, sw;
        IQToneWeights(greys, hw, sw);
        for (int c = 0; c < 256; ++c) {
            highlights[c] = hw.at<float>(0, c);
            shadows[c] = sw.at<float>(0, c);
        }
    }
};

// 1 / g and 1 - k the formula gives the grey c, masked as the analysis
// masks (its comparison rounds the mean to single precision).
void formulaPair(const Setting &set, double mean, const float *grey, int c, float &invG, float &divisor)
{
    invG = 1 / (1 + 4 * set.se);
    divisor = 1 - set.s;
    if (!(grey[c] >= float(mean)))
        IQToneStrength::formulaOf(grey[c], set.s, set.se, mean, invG, divisor);
}

// Whether the formula's bytes on the grey axis rise, and 32 levels lie at
// least one level apart where the output lies between 8 and 247.
bool formulaKeepsGreysApart(const Setting &set, double mean, const float *grey)
{
    const IQToneByte::Inputs &in = IQToneByte::inputs();
    uint8_t y[256];
    for (int c = 0; c < 256; ++c) {
        float invG, divisor;
        formulaPair(set, mean, grey, c, invG, divisor);
        y[c] = IQToneByte::byteOf(in, c, invG, divisor);
    }
    for (int c = 0; c < 255; ++c)
        if (y[c + 1] < y[c])
            return false;
    for (int c = 0; c + 32 < 256; ++c)
        if (y[c] >= 8 && y[c + 32] <= 247 && y[c + 32] <= y[c])
            return false;
    return true;
}

// 1 / g and 1 - k for a strength rho: g = 1 + 4 se rho, k = s rho.
void strengthOf(const Setting &set, float rho, float &invG, float &divisor)
{
    invG = 1 / (1 + 4 * set.se * rho);
    divisor = 1 - set.s * rho;
}

// The output of grey c before it becomes a byte, 1 when clipped.
double greyValue(const IQToneByte::Inputs &in, int c, float invG, float divisor)
{
    return std::min(IQToneByte::fastPowScaled(in.h[c], double(invG)) / double(divisor), 1.0);
}

} // namespace

void IQToneWeights(const cv::Mat &bgr, cv::Mat &highlights, cv::Mat &shadows)
{
    cv::Mat f;
    bgr.convertTo(f, CV_32FC3);
    cv::Mat ch[3];
    cv::split(f, ch);
    cv::Mat L = ch[0] * 0.114 + ch[1] * 0.587 + ch[2] * 0.299;
    L = L / 255.0;
    cv::multiply(L, L, highlights);
    cv::Mat inv = 1 - L;
    cv::multiply(inv, inv, shadows);
}

const float *IQToneStrength::greyWeights(bool highlights)
{
    static const GreyWeights weights;
    return highlights ? weights.highlights : weights.shadows;
}

IQToneStrength::IQToneStrength(int v, double mean, bool highlights)
{
    v = std::clamp(v, -100, 100);
    const Setting set = settingOf(v);
    strength = set.s;
    exponentStrength = set.se;
    meanWeight = mean;
    if (!formulaKeepsGreysApart(set, mean, greyWeights(highlights)))
        replace(v, highlights);
}

void IQToneStrength::replace(int v, bool highlights)
{
    // Everything below runs along the grey axis, c = 0..255 from black.
    const float *grey = greyWeights(highlights);
    const IQToneByte::Inputs &in = IQToneByte::inputs();
    const auto formulaCurve = [&](const Setting &set, double *curve) {
        for (int c = 0; c < 256; ++c) {
            float invG, divisor;
            formulaPair(set, meanWeight, grey, c, invG, divisor);
            curve[c] = greyValue(in, c, invG, divisor);
        }
    };
    const double step = 1.0 / 255;

    // Darkening settings (v < 0) lift their curve where it falls and stay at
    // or below the weaker setting's; brightening ones the other way round.
    const bool darkening = v < 0;
    const int weaker = darkening ? 1 : -1;
    int from = v + weaker;
    while (from != 0 && !formulaKeepsGreysApart(settingOf(from), meanWeight, grey))
        from += weaker;

    // The nearest stronger setting whose formula keeps the greys apart, if
    // any, is a floor (a ceiling when brightening): no setting in between
    // goes past it.
    int beyond = v - weaker;
    while (beyond >= -100 && beyond <= 100 && !formulaKeepsGreysApart(settingOf(beyond), meanWeight, grey))
        beyond -= weaker;
    double limit[256];
    if (beyond >= -100 && beyond <= 100)
        formulaCurve(settingOf(beyond), limit);
    else
        std::fill(limit, limit + 256, darkening ? 0.0 : 1.0);

    // Each grey level carries the exponent and divisor it had at the
    // previous setting of the chain. A stronger setting only ever makes both
    // stronger, so every byte of a pixel, not only its grey, follows the
    // slider in one direction.
    const auto stronger = [&](float a, float b) { return darkening ? a >= b : a <= b; };
    const auto strongest = [&](float a, float b) { return darkening ? std::max(a, b) : std::min(a, b); };
    float invG[256], divisor[256];
    bool onFormula[256];
    const Setting start = settingOf(from);
    for (int c = 0; c < 256; ++c) {
        formulaPair(start, meanWeight, grey, c, invG[c], divisor[c]);
        onFormula[c] = true;
    }
    double target[256], response[256], mended[256], bound[256];
    formulaCurve(start, target);
    for (int u = from - weaker, count = 1;; u -= weaker, ++count) {
        const Setting set = settingOf(u);
        const double slope =
            kBaseSlope + (kFullSlope - kBaseSlope) * std::min(1.0, double(count) / kSlopeSettings);
        const auto rise = [&](double y) {
            if (y >= 1)
                return 0.0;
            return (y >= kLow && y <= kHigh ? slope : kCreep) * step;
        };
        formulaCurve(set, response);
        if (darkening) {
            // From black up: at least the required rise, never darker than
            // the formula ...
            mended[0] = response[0];
            for (int c = 1; c < 256; ++c)
                mended[c] = std::max(response[c], std::min(mended[c - 1] + rise(mended[c - 1]), 1.0));
            // ... and no brighter than the weaker setting, which, from white
            // down, keeps the required rise too.
            bound[255] = target[255];
            for (int c = 254; c >= 0; --c)
                bound[c] = std::min(target[c], std::max(bound[c + 1] - rise(bound[c + 1]), 0.0));
            for (int c = 0; c < 256; ++c)
                target[c] = std::max(std::min(mended[c], bound[c]), limit[c]);
        } else {
            mended[255] = response[255];
            for (int c = 254; c >= 0; --c)
                mended[c] = std::min(response[c], std::max(mended[c + 1] - rise(mended[c + 1]), 0.0));
            bound[0] = target[0];
            for (int c = 1; c < 256; ++c)
                bound[c] = std::max(target[c], std::min(bound[c - 1] + rise(bound[c - 1]), 1.0));
            for (int c = 0; c < 256; ++c)
                target[c] = std::min(std::max(mended[c], bound[c]), limit[c]);
        }

        // The strongest pair of this setting: the exponent stays below 5
        // (g above 0.2), the divisor above 0.5.
        float topInvG, topDivisor;
        strengthOf(set, darkening ? std::min(2.0f, 0.8f / (-4 * set.se)) : 2.0f, topInvG, topDivisor);
        for (int c = 0; c < 256; ++c) {
            float fe, fd;
            formulaPair(set, meanWeight, grey, c, fe, fd);
            if (target[c] == response[c] && stronger(fe, invG[c]) && stronger(fd, divisor[c])) {
                invG[c] = fe;
                divisor[c] = fd;
                onFormula[c] = true;
                continue;
            }
            onFormula[c] = false;
            const double have = greyValue(in, c, invG[c], divisor[c]);
            if (darkening ? have <= target[c] + kKeep : have >= target[c] - kKeep)
                continue;
            // Strengthen both along a line towards the strongest pair until
            // the grey reaches its target.
            const float e0 = invG[c], d0 = divisor[c];
            const float e1 = strongest(strongest(e0, fe), topInvG), d1 = strongest(strongest(d0, fd), topDivisor);
            float weak = 0, strong = 1;
            for (int k = 0; k < kSteps; ++k) {
                const float mid = (weak + strong) / 2;
                const double r = greyValue(in, c, e0 + mid * (e1 - e0), d0 + mid * (d1 - d0));
                if (darkening ? r > target[c] : r < target[c])
                    weak = mid;
                else
                    strong = mid;
            }
            invG[c] = e0 + strong * (e1 - e0);
            divisor[c] = d0 + strong * (d1 - d0);
        }
        if (u == v)
            break;
    }

    int low = 256, high = -1; // grey levels that leave the formula
    for (int c = 0; c < 256; ++c)
        if (!onFormula[c]) {
            low = std::min(low, c);
            high = std::max(high, c);
        }
    if (high < 0)
        return; // the grey bytes failed between the levels only

    // Rows by i = round(sqrt(w) * 255): i is c for highlights, 255 - c for
    // shadows.
    first = highlights ? low : 255 - high;
    last = highlights ? high : 255 - low;
    rows.resize(size_t(last - first + 1) * 256);
    for (int i = first; i <= last; ++i) {
        const int c = highlights ? i : 255 - i;
        uint8_t *row = rows.data() + size_t(i - first) * 256;
        for (int b = 0; b < 256; ++b)
            row[b] = IQToneByte::byteOf(in, b, invG[c], divisor[c]);
    }
    const float inf = std::numeric_limits<float>::infinity();
    const double qLow = (first - 0.5) / 255, qHigh = (last + 0.5) / 255;
    bandLow = first == 0 ? -inf : float(qLow * qLow);
    bandHigh = last == 255 ? inf : float(qHigh * qHigh);
}

const uint8_t *IQToneStrength::replacedRow(float w) const
{
    const int i = std::clamp(int(std::sqrt(w) * 255 + 0.5f), first, last);
    return rows.data() + size_t(i - first) * 256;
}
