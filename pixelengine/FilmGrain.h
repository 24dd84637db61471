#pragma once
// Film grain: a Gaussian noise patch tiled over the picture with random
// overlaps, optionally cropped and enlarged for coarser grain, and added to
// the pixels with colour-dependent gains from a grain table.
#include <cstddef>
#include <cstdint>

#include "Rand15.h"

struct FilmParams;

// 2 x r / 32767 - 1 for the next 15-bit value r.
double FilmUniform(Rand15& rng);

// Polar-method Gaussian over the 15-bit generator; keeps the second value
// of each accepted pair for the next call. One per grain field, so grain
// fields never share a sequence.
class FilmGaussian {
public:
    explicit FilmGaussian(Rand15& rng) : m_rng(rng) {}
    double next();

private:
    Rand15& m_rng;
    bool m_haveSecond = false;
    double m_v = 0.0;
    double m_factor = 0.0;
};

// The cubic B-spline kernel used to enlarge coarse grain (support -2..2).
double FilmCubicBSpline(double x);

// 256-entry weight curve in 0..256, built from the line 2x, the line
// 512 - 2x and the arc 2 sqrt(16384 - (x - 128)^2). Bit 0 of the kind takes
// the arc instead of 2x below 128, bit 1 the line 512 - 2x instead of the
// arc from 128 up, bit 2 turns the curve over (256 - w). Kinds outside 0..7
// give kind 0. -2 for a null curve.
int FilmWeightCurve(uint16_t* curve, int32_t kind);

// Per-index grain constants (index 1..23).
struct FilmGrainConstants {
    int colour;
    double a, b, c, d, e;
};
// Constants of an index; false outside 1..23.
bool FilmGrainConstantsFor(int32_t index, FilmGrainConstants* out);

// Fills width x height x 3 signed grain values for a grain index, strength
// and grain scale; the generator is seeded with the index, so equal
// arguments give equal fields. Strength and scale are clamped as by
// FilmSetStrength and FilmSetGrainScale. 0; -2 bad arguments (a scale that
// is not a number too) or no memory for the noise patch. When only the
// enlargement runs short of memory the field is the plain tiling.
int FilmGrainField(int16_t* field, int32_t width, int32_t height, int32_t index, int32_t strength,
                   double scale);

// Coarser grain: a crop of width / factor x height / factor at a random
// offset, enlarged back over the field (bilinear below factor 2, cubic
// B-spline from 2; separable, the vertical pass first, each pass summing weights in
// 1/1024 and shifting right by 10). -1 for a factor below 1.0 or bad
// arguments, 0 and no change up to 1.000001, -2 when memory runs out (field
// unchanged).
int FilmGrainEnlarge(int16_t* field, int32_t width, int32_t height, double factor, Rand15& rng);
// The two resamplings of that step: a cropW x cropH x 3 crop enlarged to
// width x height x 3 into out (which must not overlap the crop). 0; -1 bad
// arguments; -2 no memory (out unchanged).
int FilmGrainEnlargeBilinear(const int16_t* crop, int32_t cropW, int32_t cropH, int16_t* out, int32_t width,
                             int32_t height);
int FilmGrainEnlargeCubic(const int16_t* crop, int32_t cropW, int32_t cropH, int16_t* out, int32_t width,
                          int32_t height);

// Adds the grain of the block's grain index to 3-byte pixels, gains from
// its grain table. 0 (also when no grain table is taken, and with unenlarged
// grain when only the enlargement runs short); -2 no memory for the field or
// bad geometry (pixels unchanged).
int FilmApplyGrain(FilmParams* params, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);
// The same over rows `step` bytes apart (negative to walk a picture upwards;
// grain row y lands on firstRow + y * step).
int FilmApplyGrainRows(FilmParams* params, uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t step);
