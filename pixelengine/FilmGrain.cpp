#include "FilmGrain.h"

#include "FilmEngine.h"
#include "FilmMemory.h"
#include "FilmParallel.h"
#include "FilmParams.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr int32_t kPatchWidth = 300;
constexpr int32_t kPatchHeight = 200;
constexpr int32_t kPatchPixels = kPatchWidth * kPatchHeight;  // 60,000
constexpr double kNoEnlarge = 1.000001;

const FilmGrainConstants kConstants[kFilmGrainCount] = {
    {1, 0.1, 1.25, 0.08, 6.6, 1.5},      {1, 0.1, 1.25, 0.1, 6.486, 1.5},
    {1, 0.15, 1.0, 0.11, 7.35, 1.5},     {1, 0.15, 1.25, 0.1, 15.846, 1.5},
    {1, 0.16, 1.25, 0.05, 5.923, 1.5},   {1, 0.06, 1.25, 0.1, 6.243, 1.5},
    {1, 0.12, 1.25, 0.1, 5.912, 1.5},    {1, 0.1, 1.25, 0.1, 7.457, 1.5},
    {1, 0.08, 1.25, 0.1, 7.785, 1.5},    {1, 0.28, 1.25, 0.04, 6.182, 1.5},
    {1, 0.28, 1.25, 0.04, 11.63, 1.5},   {1, 0.28, 1.25, 0.04, 20.635, 1.2},
    {0, 0.03, 1.25, 0.02, 12.352, 1.2},  {0, 0.03, 1.25, 0.02, 27.431, 1.2},
    {0, 0.1, 1.2, 0.02, 35.373, 1.2},    {0, 0.18, 1.25, 0.08, 11.872, 1.2},
    {0, 0.25, 1.25, 0.1, 11.607, 1.2},   {0, 0.035, 1.25, 0.02, 14.59, 1.2},
    {0, 0.04, 1.25, 0.035, 20.569, 1.2}, {0, 0.1, 1.25, 0.05, 30.486, 1.2},
    {0, 0.1, 1.25, 0.06, 37.812, 1.2},   {1, 0.18, 1.25, 0.08, 8.947, 1.5},
    {1, 0.28, 1.25, 0.04, 6.439, 1.5},
};

int16_t saturate16(double v)
{
    if (!(v > -32768.0))
        return -32768;
    if (v > 32767.0)
        return 32767;
    return static_cast<int16_t>(v);
}

int16_t saturate16(int32_t v)
{
    return static_cast<int16_t>(std::min(32767, std::max(-32768, v)));
}

// Resampling taps of one axis: for every output position, `taps` source
// indices (clamped to the source) and weights in 1/1024 summing to 1024.
struct Axis {
    int taps = 0;
    FilmVector<int32_t> index;
    FilmVector<int32_t> weight;

    bool build(int32_t src, int32_t dst, bool cubic)
    {
        taps = cubic ? 4 : 2;
        try {
            index.resize(static_cast<size_t>(dst) * taps);
            weight.resize(static_cast<size_t>(dst) * taps);
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (int32_t x = 0; x < dst; ++x) {
            const double s = (x + 0.5) * src / dst - 0.5;
            const double fl = std::floor(s);
            const double t = s - fl;
            const int32_t i = static_cast<int32_t>(fl);
            int32_t* idx = &index[static_cast<size_t>(x) * taps];
            int32_t* w = &weight[static_cast<size_t>(x) * taps];
            if (cubic) {
                int sum = 0, largest = 1;
                for (int k = 0; k < 4; ++k) {
                    idx[k] = i - 1 + k;
                    w[k] = static_cast<int32_t>(std::lround(FilmCubicBSpline(t + 1 - k) * 1024.0));
                    sum += w[k];
                    if (w[k] > w[largest])
                        largest = k;
                }
                w[largest] += 1024 - sum;
            } else {
                idx[0] = i;
                idx[1] = i + 1;
                w[1] = static_cast<int32_t>(std::lround(t * 1024.0));
                w[0] = 1024 - w[1];
            }
            // Taps beyond the source edges repeat the edge sample.
            for (int k = 0; k < taps; ++k)
                idx[k] = std::min(src - 1, std::max(0, idx[k]));
        }
        return true;
    }
};

// Enlarges a crop (cropW x cropH x 3) to width x height x 3 row by row.
// Source rows come from a callback, so the crop need not exist as a whole.
class Enlarger {
public:
    // False when the tables cannot be had; throws nothing.
    bool setup(int32_t cropW, int32_t cropH, int32_t width, int32_t height, bool cubic)
    {
        m_cropW = cropW;
        m_width = width;
        return m_x.build(cropW, width, cubic) && m_y.build(cropH, height, cubic);
    }

    // Output row y; rowOf(r) returns crop row r (cropW x 3 values). The
    // scratch row holds cropW x 3 values. Each pass sums its taps with
    // weights in 1/1024 and shifts the sum right by 10 (no rounding term).
    template <typename RowOf>
    void row(int32_t y, RowOf&& rowOf, FilmVector<int32_t>& vertical, int16_t* out) const
    {
        const size_t n = static_cast<size_t>(m_cropW) * 3;
        const int32_t* yi = &m_y.index[static_cast<size_t>(y) * m_y.taps];
        const int32_t* yw = &m_y.weight[static_cast<size_t>(y) * m_y.taps];
        int32_t* v = vertical.data();
        if (m_y.taps == 2) {
            const int16_t* s0 = rowOf(yi[0]);
            const int16_t* s1 = rowOf(yi[1]);
            const int32_t w0 = yw[0], w1 = yw[1];
            for (size_t i = 0; i < n; ++i)
                v[i] = (s0[i] * w0 + s1[i] * w1) >> 10;
        } else {
            const int16_t* s0 = rowOf(yi[0]);
            const int16_t* s1 = rowOf(yi[1]);
            const int16_t* s2 = rowOf(yi[2]);
            const int16_t* s3 = rowOf(yi[3]);
            const int32_t w0 = yw[0], w1 = yw[1], w2 = yw[2], w3 = yw[3];
            for (size_t i = 0; i < n; ++i)
                v[i] = (s0[i] * w0 + s1[i] * w1 + s2[i] * w2 + s3[i] * w3) >> 10;
        }
        if (m_x.taps == 2)
            horizontal<2>(v, out);
        else
            horizontal<4>(v, out);
    }

private:
    template <int Taps>
    void horizontal(const int32_t* v, int16_t* out) const
    {
        const int32_t* idx = m_x.index.data();
        const int32_t* w = m_x.weight.data();
        for (int32_t x = 0; x < m_width; ++x, idx += Taps, w += Taps, out += 3) {
            int32_t s0 = 0, s1 = 0, s2 = 0;
            for (int k = 0; k < Taps; ++k) {
                const int32_t* p = v + static_cast<size_t>(idx[k]) * 3;
                s0 += p[0] * w[k];
                s1 += p[1] * w[k];
                s2 += p[2] * w[k];
            }
            out[0] = saturate16(s0 >> 10);
            out[1] = saturate16(s1 >> 10);
            out[2] = saturate16(s2 >> 10);
        }
    }

    int32_t m_cropW = 0;
    int32_t m_width = 0;
    Axis m_x, m_y;
};

// The grain field of one apply, produced row by row: the noise patch, the
// start of every patch copy along the pixels, and the enlargement.
class GrainPlan {
public:
    // The noise patch and the tiling. 0; -2 no memory or bad arguments.
    int build(int32_t width, int32_t height, int32_t index, int32_t strength, double scale)
    {
        if (width <= 0 || height <= 0 || std::isnan(scale))
            return -2;
        // The same bounds as the setters, so the 16-bit field cannot overflow.
        strength = std::min(kFilmStrengthMax, std::max(-kFilmStrengthMax, strength));
        scale = std::min(kFilmGrainScaleMax, std::max(0.0, scale));
        m_width = width;
        m_total = static_cast<int64_t>(width) * height;
        Rand15 rng(static_cast<uint32_t>(index));
        if (index < 1) {
            m_zero = true;
            return 0;
        }
        FilmGrainConstants k;
        double f, a;
        if (FilmGrainConstantsFor(index, &k)) {
            f = k.a * (scale - 1.0) + k.b;
            a = ((scale - 1.0) * k.c + 1.0) * (k.d * k.e * strength * 0.005);
        } else {
            k.colour = 1;
            f = 0.0125 * (scale - 1.0) + 1.1;
            a = 0.0;
        }
        try {
            m_patch.resize(static_cast<size_t>(kPatchPixels) * 3);
            m_starts.reserve(static_cast<size_t>(m_total / 15000 + 2));
        } catch (const std::bad_alloc&) {
            return -2;
        }
        FilmGaussian gauss(rng);
        for (int32_t i = 0; i < kPatchPixels; ++i) {
            int16_t* p = &m_patch[static_cast<size_t>(i) * 3];
            if (k.colour) {
                const double g1 = gauss.next();
                const double g2 = gauss.next();
                const double g3 = gauss.next();
                p[0] = saturate16(std::trunc(g3 * a + 0.5));
                p[1] = saturate16(std::trunc(g2 * a + 0.5));
                p[2] = saturate16(std::trunc(g1 * a + 0.5));
            } else {
                p[0] = p[1] = p[2] = saturate16(std::trunc(gauss.next() * a + 0.5));
            }
        }
        // Copies overlap and later ones win, so each pixel belongs to the
        // last copy that starts at or before it; an advance is always
        // shorter than the patch, so every pixel is covered.
        for (int64_t pos = 0; pos < m_total; pos += rng.next() % 30000 + 15000)
            m_starts.push_back(pos);

        if (f > kNoEnlarge) {
            m_enlarge = true;
            m_cropW = std::max<int32_t>(1, static_cast<int32_t>(std::lround(width / f)));
            m_cropH = std::max<int32_t>(1, static_cast<int32_t>(std::lround(height / f)));
            m_cropW = std::min(m_cropW, width);
            m_cropH = std::min(m_cropH, height);
            m_cropX = width - m_cropW > 0 ? rng.next() % (width - m_cropW) : 0;
            m_cropY = height - m_cropH > 0 ? rng.next() % (height - m_cropH) : 0;
            m_cubic = f >= 2.0;
            m_height = height;
        }
        return 0;
    }

    // The enlargement's tables, made after the field's own buffers; without
    // them the field stays the plain tiling.
    void prepareEnlargement()
    {
        if (m_enlarge && !m_enlarger.setup(m_cropW, m_cropH, m_width, m_height, m_cubic))
            m_enlarge = false;
    }

    // Gives up the enlargement (its scratch could not be had).
    void dropEnlargement() { m_enlarge = false; }

    // Per-thread scratch for rows().
    struct Scratch {
        FilmVector<int16_t> cache[4];
        int32_t cached[4] = {-1, -1, -1, -1};
        int next = 0;
        FilmVector<int32_t> vertical;
    };

    bool makeScratch(Scratch& s) const
    {
        if (!m_enlarge)
            return true;
        try {
            for (auto& c : s.cache)
                c.resize(static_cast<size_t>(m_cropW) * 3);
            s.vertical.resize(static_cast<size_t>(m_cropW) * 3);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    // Row y of the field (width x 3 values).
    void row(int32_t y, Scratch& s, int16_t* out) const
    {
        if (m_zero) {
            std::memset(out, 0, static_cast<size_t>(m_width) * 3 * sizeof(int16_t));
            return;
        }
        if (!m_enlarge) {
            readTiled(static_cast<int64_t>(y) * m_width, m_width, out);
            return;
        }
        auto rowOf = [&](int32_t r) -> const int16_t* {
            for (int i = 0; i < 4; ++i)
                if (s.cached[i] == r)
                    return s.cache[i].data();
            const int slot = s.next;
            s.next = (s.next + 1) & 3;
            s.cached[slot] = r;
            readTiled(static_cast<int64_t>(m_cropY + r) * m_width + m_cropX, m_cropW, s.cache[slot].data());
            return s.cache[slot].data();
        };
        m_enlarger.row(y, rowOf, s.vertical, out);
    }

private:
    // n pixels of the tiled field from linear pixel p on.
    void readTiled(int64_t p, int32_t n, int16_t* out) const
    {
        size_t k = static_cast<size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), p) - m_starts.begin()) - 1;
        while (n > 0) {
            const int64_t end = k + 1 < m_starts.size() ? m_starts[k + 1] : m_total;
            const int32_t m = static_cast<int32_t>(std::min<int64_t>(n, end - p));
            std::memcpy(out, &m_patch[static_cast<size_t>(p - m_starts[k]) * 3],
                        static_cast<size_t>(m) * 3 * sizeof(int16_t));
            out += static_cast<size_t>(m) * 3;
            p += m;
            n -= m;
            ++k;
        }
    }

    int32_t m_width = 0;
    int32_t m_height = 0;
    int64_t m_total = 0;
    bool m_zero = false;
    bool m_enlarge = false;
    bool m_cubic = false;
    int32_t m_cropW = 0, m_cropH = 0, m_cropX = 0, m_cropY = 0;
    FilmVector<int16_t> m_patch;
    FilmVector<int64_t> m_starts;
    Enlarger m_enlarger;
};

}  // namespace

double FilmUniform(Rand15& rng)
{
    return 2.0 * rng.next() / 32767.0 - 1.0;
}

double FilmGaussian::next()
{
    if (m_haveSecond) {
        m_haveSecond = false;
        return m_v * m_factor;
    }
    double u, v, s;
    do {
        u = FilmUniform(m_rng);
        v = FilmUniform(m_rng);
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    m_factor = std::sqrt(-2.0 * std::log(s) / s);
    m_v = v;
    m_haveSecond = true;
    return u * m_factor;
}

double FilmCubicBSpline(double x)
{
    if (!(x > -2.0 && x < 2.0))
        return 0.0;
    const auto cube = [](double b) { return b > 0.0 ? b * b * b : 0.0; };
    return (cube(x + 2.0) - 4.0 * cube(x + 1.0) + 6.0 * cube(x) - 4.0 * cube(x - 1.0)) / 6.0;
}

int FilmWeightCurve(uint16_t* curve, int32_t kind)
{
    if (!curve)
        return -2;
    if (kind < 0 || kind > 7)
        kind = 0;
    for (int x = 0; x < 256; ++x) {
        const double arc = 2.0 * std::sqrt(std::max(0.0, 16384.0 - double(x - 128) * (x - 128)));
        double w;
        if (x < 128)
            w = (kind & 1) ? arc : 2.0 * x;
        else
            w = (kind & 2) ? 512.0 - 2.0 * x : arc;
        w = std::min(256.0, std::max(0.0, w));
        if (kind & 4)
            w = 256.0 - w;
        curve[x] = static_cast<uint16_t>(std::lround(w));
    }
    return 0;
}

bool FilmGrainConstantsFor(int32_t index, FilmGrainConstants* out)
{
    if (index < 1 || index > kFilmGrainCount)
        return false;
    if (out)
        *out = kConstants[index - 1];
    return true;
}

int FilmGrainScaleForSize(double* out, int32_t width, int32_t height, int32_t kind)
{
    if (!out)
        return -2;
    const int32_t l = std::max(width, height);
    int32_t n = -1;
    if (kind == 0 && l >= 1424)
        n = (l - 1424) >> 6;
    else if (kind == 1 && l >= 1900)
        n = (l - 1900) / 86;
    else if (kind == 2 && l >= 3200)
        n = (l - 3200) / 142;
    *out = n < 0 ? 1.0 : std::min(kFilmGrainScaleMax, 1.0 + 0.1 * n);
    return 0;
}

int FilmGrainField(int16_t* field, int32_t width, int32_t height, int32_t index, int32_t strength,
                   double scale)
{
    if (!field || width <= 0 || height <= 0)
        return -2;
    return FilmNoThrow([&] {
        GrainPlan plan;
        GrainPlan::Scratch scratch;
        if (plan.build(width, height, index, strength, scale) != 0)
            return kFilmNoMemory;
        plan.prepareEnlargement();
        if (!plan.makeScratch(scratch))
            plan.dropEnlargement();
        for (int32_t y = 0; y < height; ++y)
            plan.row(y, scratch, field + static_cast<size_t>(y) * width * 3);
        return 0;
    });
}

namespace {

// Enlarges a cropW x cropH x 3 crop to width x height x 3 into out.
int enlargeCrop(const int16_t* crop, int32_t cropW, int32_t cropH, int16_t* out, int32_t width,
                int32_t height, bool cubic)
{
    if (!crop || !out || cropW <= 0 || cropH <= 0 || width <= 0 || height <= 0)
        return -1;
    return FilmNoThrow([&] {
        Enlarger enlarger;
        if (!enlarger.setup(cropW, cropH, width, height, cubic))
            return kFilmNoMemory;
        FilmVector<int32_t> vertical(static_cast<size_t>(cropW) * 3);
        auto rowOf = [&](int32_t r) { return crop + static_cast<size_t>(r) * cropW * 3; };
        for (int32_t y = 0; y < height; ++y)
            enlarger.row(y, rowOf, vertical, out + static_cast<size_t>(y) * width * 3);
        return 0;
    });
}

}  // namespace

int FilmGrainEnlargeBilinear(const int16_t* crop, int32_t cropW, int32_t cropH, int16_t* out, int32_t width,
                             int32_t height)
{
    return enlargeCrop(crop, cropW, cropH, out, width, height, false);
}

int FilmGrainEnlargeCubic(const int16_t* crop, int32_t cropW, int32_t cropH, int16_t* out, int32_t width,
                          int32_t height)
{
    return enlargeCrop(crop, cropW, cropH, out, width, height, true);
}

int FilmGrainEnlarge(int16_t* field, int32_t width, int32_t height, double factor, Rand15& rng)
{
    if (!field || width <= 0 || height <= 0 || !(factor >= 1.0))
        return -1;
    if (factor <= kNoEnlarge)
        return 0;
    int32_t cropW = std::max<int32_t>(1, static_cast<int32_t>(std::lround(std::min(double(width), width / factor))));
    int32_t cropH = std::max<int32_t>(1, static_cast<int32_t>(std::lround(std::min(double(height), height / factor))));
    const int32_t cropX = width - cropW > 0 ? rng.next() % (width - cropW) : 0;
    const int32_t cropY = height - cropH > 0 ? rng.next() % (height - cropH) : 0;

    FilmVector<int16_t> crop;
    const int copied = FilmNoThrow([&] {
        crop.resize(static_cast<size_t>(cropW) * cropH * 3);
        for (int32_t r = 0; r < cropH; ++r)
            std::memcpy(&crop[static_cast<size_t>(r) * cropW * 3],
                        field + (static_cast<size_t>(cropY + r) * width + cropX) * 3,
                        static_cast<size_t>(cropW) * 3 * sizeof(int16_t));
        return 0;
    });
    if (copied != 0)
        return copied;
    return factor >= 2.0 ? FilmGrainEnlargeCubic(crop.data(), cropW, cropH, field, width, height)
                         : FilmGrainEnlargeBilinear(crop.data(), cropW, cropH, field, width, height);
}

int FilmApplyGrain(FilmParams* params, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    if (!FilmGeometryUsable(pixels, width, height, rowBytes))
        return -2;
    return FilmApplyGrainRows(params, pixels, width, height, rowBytes);
}

namespace {

int applyGrainRows(FilmParams* params, uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t step)
{
    GrainPlan plan;
    if (plan.build(width, height, params->grainIndex, params->strength, params->grainScale) != 0)
        return kFilmNoMemory;
    const uint8_t* table = params->grainTable;
    // Every band gets its buffers before any pixel changes: without the field
    // rows the picture keeps no grain; without the enlargement's tables or
    // scratch (asked for last) the grain stays unenlarged.
    constexpr int kBands = 8;
    GrainPlan::Scratch scratch[kBands];
    FilmVector<int16_t> rowBuffers[kBands];
    try {
        for (auto& row : rowBuffers)
            row.resize(static_cast<size_t>(width) * 3);
    } catch (const std::bad_alloc&) {
        return kFilmNoMemory;
    }
    plan.prepareEnlargement();
    for (auto& s : scratch)
        if (!plan.makeScratch(s)) {
            plan.dropEnlargement();
            break;
        }
    FilmParallelRows(kBands, int64_t(height / kBands + 1) * width * 3, [&](int32_t b0, int32_t b1) {
        for (int32_t b = b0; b < b1; ++b) {
            const int32_t y0 = static_cast<int32_t>(static_cast<int64_t>(height) * b / kBands);
            const int32_t y1 = static_cast<int32_t>(static_cast<int64_t>(height) * (b + 1) / kBands);
            int16_t* g = rowBuffers[b].data();
            for (int32_t y = y0; y < y1; ++y) {
                plan.row(y, scratch[b], g);
                uint8_t* px = firstRow + static_cast<ptrdiff_t>(y) * step;
                for (int32_t x = 0; x < width; ++x, px += 3) {
                    const int cell = (px[2] >> 4) * 256 + (px[1] >> 4) * 16 + (px[0] >> 4);
                    const uint8_t* gain = table + cell * 3;
                    const int16_t* gx = g + static_cast<size_t>(x) * 3;
                    for (int k = 0; k < 3; ++k) {
                        const int v = px[k] + ((gain[k] * gx[k]) >> 8);
                        px[k] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
                    }
                }
            }
        }
    });
    return 0;
}

}  // namespace

int FilmApplyGrainRows(FilmParams* params, uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t step)
{
    if (!params || !firstRow || width <= 0 || height <= 0)
        return -2;
    if (params->grainIndex == 0 || !params->grainTaken || !params->grainTable)
        return 0;
    return FilmNoThrow([&] { return applyGrainRows(params, firstRow, width, height, step); });
}
