// Build and run: g++ -std=c++20 -O2 -o /tmp/make_filmdata tools/filmdata/make_filmdata.cpp && /tmp/make_filmdata resources/film/film.data
//
// Writes the film data: 43 colour tables of 17 x 17 x 17 nodes (three planes,
// output blue, green, red; node (a, b, c) at c * 289 + b * 17 + a with a the
// blue input, b green, c red; node n stands for the input value 16 n, node 16
// for white), then 23 grain tables of 4096 colour cells with three gains in
// 1/256 (cell (r >> 4) * 256 + (g >> 4) * 16 + (b >> 4), gains blue, green,
// red). 916,401 bytes, no header.
//
// Tables 1..28 are film looks, 29..32 the four print densities that go with
// the engine's tone-curve exponents (1/1.8, 1/1.4, 1.4, 1.8), 33..36 colour
// mixes, 37..43 tonings. Every look is a parametric function evaluated at the
// nodes; the program checks that every output channel is non-decreasing in
// its own input channel and along the grey axis, and refuses to write
// otherwise. Deterministic: no randomness, only the constants below.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kNodes = 17;
constexpr int kPlane = kNodes * kNodes * kNodes;
constexpr int kLutBytes = 3 * kPlane;
constexpr int kLutCount = 43;
constexpr int kGrainCells = 4096;
constexpr int kGrainCount = 23;
constexpr size_t kTotal = size_t(kLutCount) * kLutBytes + size_t(kGrainCount) * kGrainCells * 3;

struct Rgb {
    double r, g, b;
};

double clamp01(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

double luma(const Rgb& c)
{
    return (306.0 * c.r + 601.0 * c.g + 117.0 * c.b) / 1024.0;
}

// Bumps over luma that vanish at black and white: shadows peak at 1/3,
// highlights at 2/3, mid-tones at 1/2.
double shadowBump(double l)
{
    return 6.75 * l * (1.0 - l) * (1.0 - l);
}
double highlightBump(double l)
{
    return 6.75 * l * l * (1.0 - l);
}
double midBump(double l)
{
    return 4.0 * l * (1.0 - l);
}

// Film-like contrast: a logistic S-curve around a pivot, normalised to pass
// through (0, 0) and (1, 1); slope 0 gives the identity.
double sCurve(double x, double slope, double pivot)
{
    if (slope < 1e-6)
        return x;
    const auto sig = [&](double t) { return 1.0 / (1.0 + std::exp(-slope * (t - pivot))); };
    const double lo = sig(0.0), hi = sig(1.0);
    return (sig(x) - lo) / (hi - lo);
}

// One look. Channels are listed red, green, blue throughout.
struct Look {
    const char* name;
    double mix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // rows: output R, G, B from input R, G, B
    double saturation = 1.0;                                // chroma gain around luma
    bool mono = false;                                      // black and white through `bw`
    double bw[3] = {0.299, 0.587, 0.114};                   // black-and-white weights (non-negative)
    double gamma[3] = {1, 1, 1};                            // per-channel mid-tone lift (> 1 brighter)
    double contrast[3] = {0, 0, 0};                         // S-curve slopes
    double pivot = 0.45;
    double black[3] = {0, 0, 0};                            // output at input black
    double white[3] = {1, 1, 1};                            // output at input white
    double shadowTint[3] = {0, 0, 0};                       // split toning
    double highlightTint[3] = {0, 0, 0};
    double midTint[3] = {0, 0, 0};                          // toning of the mid-tones
    double tone = 0.0;                                      // > 0: blend towards the toned luma (0..1)
    double densityExponent = 0.0;                           // print density (see density())
};

// The engine's tone curve for an exponent, mirrored as it builds it: the
// exponent below 1 darkens, above 1 brightens.
double densityCurve(double y, double e)
{
    const double x = 1.0 - y;
    const double k = std::pow(0.018, e) / 0.018;
    const double f = x <= 0.018 ? x * k : std::pow(x, e);
    return 1.0 - f;
}

// Stages in order: channel mix, split toning on the input's luma,
// saturation (or black and white), print density, per-channel lift, S-curve
// and levels, then toning of the result's luma. Every stage keeps each
// channel non-decreasing in its own input; clamps only flatten.
Rgb evaluate(const Look& look, Rgb in)
{
    double c[3] = {in.r, in.g, in.b};
    double m[3];
    for (int i = 0; i < 3; ++i)
        m[i] = clamp01(look.mix[i][0] * c[0] + look.mix[i][1] * c[1] + look.mix[i][2] * c[2]);

    if (look.tone <= 0.0) {
        const double l = luma({m[0], m[1], m[2]});
        for (int i = 0; i < 3; ++i)
            m[i] += look.shadowTint[i] * shadowBump(l) + look.highlightTint[i] * highlightBump(l)
                  + look.midTint[i] * midBump(l);
    }

    if (look.mono) {
        const double w = look.bw[0] + look.bw[1] + look.bw[2];
        const double y = (look.bw[0] * m[0] + look.bw[1] * m[1] + look.bw[2] * m[2]) / w;
        m[0] = m[1] = m[2] = y;
    } else {
        const double l = luma({m[0], m[1], m[2]});
        for (double& v : m)
            v = l + look.saturation * (v - l);
    }
    for (double& v : m)
        v = clamp01(v);

    if (look.densityExponent > 0.0) {
        // Half of the print density, moved on luma so hues stay put.
        const double l = luma({m[0], m[1], m[2]});
        const double shift = 0.5 * (densityCurve(l, look.densityExponent) - l);
        for (double& v : m)
            v = clamp01(v + shift);
    }

    for (int i = 0; i < 3; ++i) {
        double v = std::pow(m[i], 1.0 / look.gamma[i]);
        v = sCurve(v, look.contrast[i], look.pivot);
        m[i] = look.black[i] + (look.white[i] - look.black[i]) * v;
    }

    if (look.tone > 0.0) {
        const double l = clamp01(luma({m[0], m[1], m[2]}));
        for (int i = 0; i < 3; ++i) {
            const double toned = l + look.midTint[i] * midBump(l) + look.shadowTint[i] * shadowBump(l)
                               + look.highlightTint[i] * highlightBump(l);
            m[i] = (1.0 - look.tone) * m[i] + look.tone * toned;
        }
    }
    return {clamp01(m[0]), clamp01(m[1]), clamp01(m[2])};
}

Look filmLook(const char* name)
{
    Look l;
    l.name = name;
    return l;
}

void setAll(double (&v)[3], double a)
{
    v[0] = v[1] = v[2] = a;
}

void set3(double (&v)[3], double r, double g, double b)
{
    v[0] = r;
    v[1] = g;
    v[2] = b;
}

std::vector<Look> looks()
{
    std::vector<Look> out;
    Look l;

    // --- 1..28: film looks ---------------------------------------------
    // 1-3 colour negative portrait stocks: soft contrast, gentle warmth,
    // restrained saturation, slightly lifted blacks.
    l = filmLook("Portrait 160");
    l.saturation = 0.92; setAll(l.contrast, 2.2); setAll(l.black, 0.02); setAll(l.white, 0.98);
    set3(l.highlightTint, 0.02, 0.008, -0.015); set3(l.shadowTint, -0.005, 0.0, 0.01);
    out.push_back(l);
    l = filmLook("Portrait 400");
    l.saturation = 0.97; setAll(l.contrast, 2.8); setAll(l.black, 0.025);
    set3(l.highlightTint, 0.025, 0.01, -0.02); set3(l.shadowTint, 0.0, 0.006, 0.012);
    out.push_back(l);
    l = filmLook("Portrait 800");
    l.saturation = 1.02; setAll(l.contrast, 3.4); setAll(l.black, 0.03);
    set3(l.highlightTint, 0.03, 0.012, -0.02); set3(l.shadowTint, 0.01, -0.006, 0.02);
    out.push_back(l);
    // 4-6 consumer colour negative: warmer, punchier.
    l = filmLook("Gold 200");
    l.saturation = 1.12; setAll(l.contrast, 3.2); set3(l.gamma, 1.04, 1.02, 0.95);
    set3(l.highlightTint, 0.02, 0.008, -0.02); setAll(l.black, 0.015);
    out.push_back(l);
    l = filmLook("Consumer 400 green");
    l.saturation = 1.05; setAll(l.contrast, 3.0); set3(l.gamma, 0.99, 1.015, 1.0);
    set3(l.shadowTint, -0.01, 0.01, 0.004); set3(l.highlightTint, 0.006, 0.004, -0.006); setAll(l.black, 0.02);
    out.push_back(l);
    l = filmLook("Ultra 400");
    l.saturation = 1.18; setAll(l.contrast, 3.6); set3(l.gamma, 1.03, 1.0, 0.97);
    set3(l.highlightTint, 0.02, 0.01, -0.02);
    out.push_back(l);
    // 7-9 colour reversal (slide): high contrast, deep blacks, rich colour.
    l = filmLook("Slide 50 vivid");
    l.saturation = 1.35; setAll(l.contrast, 5.0); l.pivot = 0.5;
    set3(l.mix[0], 1.05, -0.03, -0.02); set3(l.mix[2], -0.02, -0.03, 1.05);
    out.push_back(l);
    l = filmLook("Slide 100 natural");
    l.saturation = 1.15; setAll(l.contrast, 4.2); l.pivot = 0.5; set3(l.shadowTint, 0.0, 0.0, 0.01);
    out.push_back(l);
    l = filmLook("Slide 64 classic");
    l.saturation = 1.2; setAll(l.contrast, 4.6); l.pivot = 0.5; set3(l.gamma, 1.02, 0.98, 0.96);
    set3(l.shadowTint, 0.0, -0.005, 0.025); set3(l.highlightTint, 0.02, 0.01, -0.01);
    out.push_back(l);
    // 10-12 motion picture stocks.
    l = filmLook("Cinema tungsten 500");
    l.saturation = 0.95; setAll(l.contrast, 2.4); set3(l.gamma, 0.97, 1.0, 1.05);
    set3(l.shadowTint, -0.015, 0.005, 0.03); setAll(l.black, 0.015);
    out.push_back(l);
    l = filmLook("Cinema daylight 250");
    l.saturation = 1.0; setAll(l.contrast, 2.6); setAll(l.black, 0.01); setAll(l.white, 0.985);
    set3(l.highlightTint, 0.012, 0.006, -0.008);
    out.push_back(l);
    l = filmLook("Teal and orange");
    l.saturation = 1.1; setAll(l.contrast, 3.2);
    set3(l.shadowTint, -0.05, 0.015, 0.06); set3(l.highlightTint, 0.05, 0.012, -0.05);
    out.push_back(l);
    // 13-20 character looks.
    l = filmLook("Faded 70s");
    l.saturation = 0.8; setAll(l.contrast, 2.0); set3(l.black, 0.09, 0.07, 0.06); set3(l.white, 0.97, 0.95, 0.88);
    set3(l.highlightTint, 0.02, 0.015, -0.02);
    out.push_back(l);
    l = filmLook("Expired");
    l.saturation = 0.85; setAll(l.contrast, 2.6); set3(l.black, 0.06, 0.045, 0.065); set3(l.white, 0.98, 0.95, 0.95);
    set3(l.gamma, 1.01, 0.98, 1.02); set3(l.shadowTint, 0.012, -0.01, 0.012);
    out.push_back(l);
    l = filmLook("Cross process");
    l.saturation = 1.2; set3(l.contrast, 5.5, 4.0, 2.0); l.pivot = 0.5;
    set3(l.black, 0.0, 0.02, 0.1); set3(l.white, 1.0, 1.0, 0.85); set3(l.gamma, 1.05, 1.06, 0.92);
    set3(l.shadowTint, -0.03, 0.02, 0.03);
    out.push_back(l);
    l = filmLook("Instant");
    l.saturation = 0.88; setAll(l.contrast, 2.2); set3(l.black, 0.06, 0.07, 0.08); set3(l.white, 0.97, 0.95, 0.9);
    set3(l.shadowTint, -0.02, 0.01, 0.03); set3(l.highlightTint, 0.025, 0.015, -0.01);
    out.push_back(l);
    l = filmLook("Bleach bypass");
    l.saturation = 0.55; setAll(l.contrast, 5.2); l.pivot = 0.5; setAll(l.black, 0.0);
    out.push_back(l);
    l = filmLook("Pastel");
    l.saturation = 0.8; setAll(l.contrast, 0.0); setAll(l.gamma, 1.18); set3(l.black, 0.07, 0.07, 0.08);
    set3(l.highlightTint, 0.01, 0.0, 0.01);
    out.push_back(l);
    l = filmLook("Matte");
    l.saturation = 0.95; setAll(l.contrast, 3.0); setAll(l.black, 0.1); setAll(l.white, 0.94);
    out.push_back(l);
    l = filmLook("Nordic");
    l.saturation = 0.82; setAll(l.contrast, 2.8); set3(l.gamma, 0.97, 1.0, 1.04);
    set3(l.shadowTint, -0.02, 0.0, 0.025); set3(l.highlightTint, -0.01, 0.0, 0.01); setAll(l.black, 0.02);
    out.push_back(l);
    // 21-28 black and white.
    l = filmLook("Pan 100"); l.mono = true; setAll(l.contrast, 3.4);
    out.push_back(l);
    l = filmLook("Pan 400 push"); l.mono = true; set3(l.bw, 0.33, 0.5, 0.17); setAll(l.contrast, 5.0); l.pivot = 0.5;
    out.push_back(l);
    l = filmLook("Pan 3200"); l.mono = true; setAll(l.contrast, 6.5); l.pivot = 0.5; setAll(l.black, 0.03);
    out.push_back(l);
    l = filmLook("Orthochromatic"); l.mono = true; set3(l.bw, 0.02, 0.55, 0.43); setAll(l.contrast, 4.0);
    out.push_back(l);
    l = filmLook("Red filter"); l.mono = true; set3(l.bw, 0.75, 0.25, 0.0); setAll(l.contrast, 4.5); l.pivot = 0.5;
    out.push_back(l);
    l = filmLook("Soft monochrome"); l.mono = true; setAll(l.contrast, 1.5); setAll(l.black, 0.05); setAll(l.white, 0.97);
    out.push_back(l);
    l = filmLook("Sepia print"); l.mono = true; setAll(l.contrast, 3.0); l.tone = 1.0;
    set3(l.midTint, 0.09, 0.025, -0.08); setAll(l.black, 0.03);
    out.push_back(l);
    l = filmLook("Selenium print"); l.mono = true; setAll(l.contrast, 3.8); l.tone = 1.0;
    set3(l.shadowTint, 0.01, -0.015, 0.03); set3(l.highlightTint, 0.005, 0.0, -0.005);
    out.push_back(l);

    // --- 29..32: print densities (bank 2) ------------------------------
    // Alone each moves luma by half of the engine's curve for its exponent;
    // with a film look the engine adds the full per-channel curve.
    const double exponents[4] = {1.0 / 1.8, 1.0 / 1.4, 1.4, 1.8};
    const char* densityNames[4] = {"Dense print", "Rich print", "Bright print", "Airy print"};
    for (int i = 0; i < 4; ++i) {
        l = filmLook(densityNames[i]);
        l.densityExponent = exponents[i];
        if (i < 2)
            set3(l.shadowTint, 0.006, 0.002, -0.004);  // denser prints run a touch warm
        else
            set3(l.highlightTint, -0.004, 0.0, 0.006);  // lighter prints a touch cool
        out.push_back(l);
    }

    // --- 33..36: colour mixes (bank 3) ---------------------------------
    l = filmLook("Vivid"); l.saturation = 1.3; setAll(l.contrast, 1.5);
    out.push_back(l);
    l = filmLook("Muted"); l.saturation = 0.7; setAll(l.black, 0.02);
    out.push_back(l);
    l = filmLook("Warm skin, teal shadows"); l.saturation = 1.08;
    set3(l.mix[0], 1.04, 0.0, -0.04); set3(l.mix[2], -0.03, 0.05, 0.98);
    set3(l.shadowTint, -0.035, 0.01, 0.04); set3(l.highlightTint, 0.035, 0.01, -0.03);
    out.push_back(l);
    l = filmLook("Neutral monochrome"); l.mono = true; set3(l.bw, 0.299, 0.587, 0.114);
    out.push_back(l);

    // --- 37..43: tonings (bank 4) --------------------------------------
    l = filmLook("Warm"); set3(l.white, 1.0, 0.985, 0.93); set3(l.black, 0.01, 0.0, 0.0);
    out.push_back(l);
    l = filmLook("Cool"); set3(l.white, 0.94, 0.985, 1.0); set3(l.black, 0.0, 0.0, 0.012);
    out.push_back(l);
    l = filmLook("Sepia"); l.tone = 0.85; set3(l.midTint, 0.1, 0.03, -0.09);
    out.push_back(l);
    l = filmLook("Selenium"); l.tone = 0.8; set3(l.shadowTint, 0.03, -0.02, 0.05); set3(l.midTint, 0.01, 0.0, -0.01);
    out.push_back(l);
    l = filmLook("Cyanotype"); l.tone = 0.9; set3(l.midTint, -0.12, 0.0, 0.12); set3(l.shadowTint, -0.02, 0.01, 0.04);
    out.push_back(l);
    l = filmLook("Split warm and cool"); set3(l.shadowTint, -0.03, 0.0, 0.045); set3(l.highlightTint, 0.04, 0.015, -0.035);
    out.push_back(l);
    l = filmLook("Platinum"); l.tone = 0.9; set3(l.midTint, 0.04, 0.02, -0.015); setAll(l.contrast, 0.0);
    set3(l.black, 0.03, 0.025, 0.02);
    out.push_back(l);
    return out;
}

// Grain gains: a smooth bell over luma (grain shows most in the mid-tones
// and fades towards black and white), per channel for colour records.
struct GrainLook {
    double mid;        // luma of the largest gain
    double width;      // spread of the bell
    double peak;       // largest gain in 1/256
    double floor;      // gain kept away from the mid-tones
    double channel[3]; // red, green, blue factors (colour records)
    bool mono;
};

std::vector<GrainLook> grains()
{
    std::vector<GrainLook> g;
    // Indices 1..12 and 22..23 are colour grain (blue layer the grainiest);
    // 13..21 monochrome.
    const double colour[3] = {1.0, 0.9, 1.12};
    for (int i = 1; i <= kGrainCount; ++i) {
        GrainLook k;
        k.mono = i >= 13 && i <= 21;
        const int n = k.mono ? i - 13 : (i <= 12 ? i - 1 : i - 10);  // 0.. within the family
        k.mid = 0.38 + 0.015 * (n % 7);
        k.width = 0.2 + 0.018 * (n % 5);
        k.peak = 200.0 + 5.0 * (n % 9);
        k.floor = 30.0 + 4.0 * (n % 6);
        for (int c = 0; c < 3; ++c)
            k.channel[c] = k.mono ? 1.0 : colour[c];
        g.push_back(k);
    }
    return g;
}

double grainGain(const GrainLook& k, double l)
{
    const double t = (l - k.mid) / k.width;
    const double bell = std::exp(-0.5 * t * t);
    // Taper to a quarter at pure black and white.
    const double ends = 0.25 + 0.75 * std::min(1.0, std::min(l, 1.0 - l) * 8.0);
    return (k.floor + (k.peak - k.floor) * bell) * ends;
}

uint8_t toByte(double v)
{
    const double b = std::floor(clamp01(v) * 255.0 + 0.5);
    return static_cast<uint8_t>(b);
}

bool checkMonotone(const std::vector<uint8_t>& lut, const char* name)
{
    const auto at = [&](int plane, int a, int b, int c) { return lut[plane * kPlane + c * 289 + b * 17 + a]; };
    for (int n = 1; n < kNodes; ++n)
        for (int p = 0; p < 3; ++p)
            if (at(p, n, n, n) < at(p, n - 1, n - 1, n - 1)) {
                std::fprintf(stderr, "%s: plane %d falls along the grey axis at node %d\n", name, p, n);
                return false;
            }
    for (int i = 0; i < kNodes; ++i)
        for (int j = 0; j < kNodes; ++j)
            for (int n = 1; n < kNodes; ++n) {
                // plane 0 along a (blue), plane 1 along b (green), plane 2 along c (red)
                const int drops[3] = {at(0, n - 1, i, j) - at(0, n, i, j), at(1, i, n - 1, j) - at(1, i, n, j),
                                      at(2, i, j, n - 1) - at(2, i, j, n)};
                for (int p = 0; p < 3; ++p)
                    if (drops[p] > 0) {
                        std::fprintf(stderr, "%s: plane %d falls by %d along its own input (%d %d %d)\n", name, p,
                                     drops[p], i, j, n);
                        return false;
                    }
            }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output film.data>\n", argv[0]);
        return 2;
    }
    const std::vector<Look> all = looks();
    if (all.size() != size_t(kLutCount)) {
        std::fprintf(stderr, "expected %d looks, have %zu\n", kLutCount, all.size());
        return 1;
    }
    std::vector<uint8_t> data;
    data.reserve(kTotal);
    for (const Look& look : all) {
        std::vector<uint8_t> lut(kLutBytes);
        for (int c = 0; c < kNodes; ++c)
            for (int b = 0; b < kNodes; ++b)
                for (int a = 0; a < kNodes; ++a) {
                    const Rgb in{std::min(255, 16 * c) / 255.0, std::min(255, 16 * b) / 255.0,
                                 std::min(255, 16 * a) / 255.0};
                    const Rgb out = evaluate(look, in);
                    const int node = c * 289 + b * 17 + a;
                    lut[node] = toByte(out.b);
                    lut[kPlane + node] = toByte(out.g);
                    lut[2 * kPlane + node] = toByte(out.r);
                }
        if (!checkMonotone(lut, look.name))
            return 1;
        data.insert(data.end(), lut.begin(), lut.end());
    }
    for (const GrainLook& k : grains()) {
        for (int cell = 0; cell < kGrainCells; ++cell) {
            // Cell centre colour.
            const double r = ((cell >> 8) * 16 + 8) / 255.0;
            const double g = (((cell >> 4) & 15) * 16 + 8) / 255.0;
            const double b = ((cell & 15) * 16 + 8) / 255.0;
            const double l = luma({r, g, b});
            const double own[3] = {b, g, r};
            for (int ch = 0; ch < 3; ++ch) {
                double gain;
                if (k.mono) {
                    gain = grainGain(k, l);
                } else {
                    // Each dye layer follows its own density a little.
                    gain = grainGain(k, 0.6 * l + 0.4 * own[ch]) * k.channel[2 - ch];
                }
                data.push_back(static_cast<uint8_t>(std::min(255.0, std::floor(gain + 0.5))));
            }
        }
    }
    if (data.size() != kTotal) {
        std::fprintf(stderr, "wrong size %zu\n", data.size());
        return 1;
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("wrote %zu bytes to %s\n", data.size(), argv[1]);
    return 0;
}
