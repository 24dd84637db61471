#include "IQDomainTransform.h"

#include "IQFilterScratch.h"
#include "IQLabTables.h"
#include "IQParallel.h"

#include <opencv2/core/hal/hal.hpp>
#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

// The recursions must round after every multiply and add, as OpenCV's own
// loops do; a fused multiply-add would move results across rounding edges.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("fp-contract=off")
#endif

// The arithmetic follows OpenCV's filters step by step in single precision:
// l1 distances to the left and upper neighbour, 1 + sigma_s/sigma_r times
// them, three iterations of a left-right, right-left, top-down, bottom-up
// recursion with feedback a^d. Only a^d is computed differently, as a
// vectorised exp(d * ln a) over whole rows: it is within about 1e-6 of pow,
// which moves a few bytes in a million by one level.

namespace {

constexpr int kIterations = 3;
constexpr float kInv255 = float(1.0 / 255.0);

void checkArguments(const cv::Mat& src, float sigmaS, float sigmaR)
{
    if (src.empty() || src.type() != CV_8UC3)
        CV_Error(cv::Error::StsBadArg, "the domain-transform filters need a non-empty 8-bit B,G,R picture");
    if (!(sigmaS > 0.f) || !(sigmaR > 0.f) || !std::isfinite(sigmaS) || !std::isfinite(sigmaR))
        CV_Error(cv::Error::StsBadArg,
                 "the domain-transform sigmas must be positive and finite (got " + std::to_string(sigmaS) + ", "
                     + std::to_string(sigmaR) + ")");
}

int coreCount()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int(n);
}

// Transformed-domain steps: 1 + ratio * (l1 distance to the left neighbour)
// in horiz, to the upper neighbour in vert; 1 at the first column / row.
template <int CN>
void buildSteps(const cv::Mat& img, float ratio, cv::Mat& horiz, cv::Mat& vert)
{
    const int rows = img.rows;
    const int cols = img.cols;
    IQParallelBands(rows, IQBandRowsFor(rows), [&](int y0, int y1) {
        std::vector<float> dist(static_cast<size_t>(cols));
        const cv::Mat distRow(1, cols, CV_32F, dist.data());
        for (int y = y0; y < y1; ++y) {
            const float* p = img.ptr<float>(y);
            dist[0] = 0.f;
            for (int x = 1; x < cols; ++x) {
                float d = 0.f;
                for (int c = 0; c < CN; ++c)
                    d += std::abs(p[x * CN + c] - p[(x - 1) * CN + c]);
                dist[size_t(x)] = d;
            }
            // The same scaled conversion OpenCV evaluates for 1 + ratio * dist.
            cv::Mat hRow = horiz.row(y);
            distRow.convertTo(hRow, CV_32F, double(ratio), 1.0);

            if (y == 0) {
                std::fill(dist.begin(), dist.end(), 0.f);
            } else {
                const float* u = img.ptr<float>(y - 1);
                for (int x = 0; x < cols; ++x) {
                    float d = 0.f;
                    for (int c = 0; c < CN; ++c)
                        d += std::abs(p[x * CN + c] - u[x * CN + c]);
                    dist[size_t(x)] = d;
                }
            }
            cv::Mat vRow = vert.row(y);
            distRow.convertTo(vRow, CV_32F, double(ratio), 1.0);
        }
    });
}

// x[i] = hz[i] * ln a, the exponent of a^hz[i], rounded to float.
inline void exponents(const float* hz, float* x, int n, double lnA)
{
    int i = 0;
#if CV_SIMD128_64F
    const cv::v_float64x2 k = cv::v_setall_f64(lnA);
    for (; i + 4 <= n; i += 4) {
        const cv::v_float32x4 h = cv::v_load(hz + i);
        cv::v_store(x + i, cv::v_cvt_f32(cv::v_cvt_f64(h) * k, cv::v_cvt_f64_high(h) * k));
    }
#endif
    for (; i < n; ++i)
        x[i] = float(hz[i] * lnA);
}

// Forward then backward recursion along G rows at once; the G * CN chains are
// independent, which keeps the floating-point units busy.
template <int CN, int G>
void recurseRows(float* const* row, const float* const* weight, int cols)
{
    float p[G][CN];
    for (int g = 0; g < G; ++g)
        for (int c = 0; c < CN; ++c)
            p[g][c] = row[g][c];
    for (int x = 1; x < cols; ++x) {
        for (int g = 0; g < G; ++g) {
            const float v = weight[g][x];
            float* q = row[g] + x * CN;
            for (int c = 0; c < CN; ++c) {
                p[g][c] = q[c] + (p[g][c] - q[c]) * v;
                q[c] = p[g][c];
            }
        }
    }
    for (int g = 0; g < G; ++g)
        for (int c = 0; c < CN; ++c)
            p[g][c] = row[g][(cols - 1) * CN + c];
    for (int x = cols - 2; x >= 0; --x) {
        for (int g = 0; g < G; ++g) {
            const float v = weight[g][x + 1];
            float* q = row[g] + x * CN;
            for (int c = 0; c < CN; ++c) {
                p[g][c] = q[c] + (p[g][c] - q[c]) * v;
                q[c] = p[g][c];
            }
        }
    }
}

template <int CN>
void filterRows(cv::Mat& img, const cv::Mat& horiz, double lnA)
{
    const int rows = img.rows;
    const int cols = img.cols;
    if (cols < 2)
        return;
    constexpr int G = CN == 1 ? 8 : 4;
    IQParallelBands(rows, IQBandRowsFor(rows), [&](int y0, int y1) {
        std::vector<float> arg(size_t(cols) * G);
        std::vector<float> weight(size_t(cols) * G);
        for (int y = y0; y < y1; y += G) {
            const int n = std::min(G, y1 - y);
            float* rowPtr[G];
            const float* weightPtr[G];
            for (int g = 0; g < n; ++g) {
                exponents(horiz.ptr<float>(y + g), arg.data() + size_t(g) * cols, cols, lnA);
                rowPtr[g] = img.ptr<float>(y + g);
                weightPtr[g] = weight.data() + size_t(g) * cols;
            }
            cv::hal::exp32f(arg.data(), weight.data(), n * cols);
            if (n == G) {
                recurseRows<CN, G>(rowPtr, weightPtr, cols);
            } else {
                for (int g = 0; g < n; ++g)
                    recurseRows<CN, 1>(rowPtr + g, weightPtr + g, cols);
            }
        }
    });
}

// Rows of a strip lie a whole picture row apart, too far for the hardware
// to guess; asking for a row a few steps ahead hides most of the wait.
constexpr int kAhead = 8;

inline void prefetchRun(const void* p, size_t bytes)
{
#if defined(__GNUC__) || defined(__clang__)
    const char* c = static_cast<const char*>(p);
    for (size_t i = 0; i < bytes; i += 64)
        __builtin_prefetch(c + i);
    __builtin_prefetch(c + bytes - 1);
#else
    (void)p;
    (void)bytes;
#endif
}

// t = t + (u - t) * w over px pixels of CN channels, one weight per pixel.
template <int CN>
inline void stepTowards(float* t, const float* u, const float* w, int px)
{
    int s = 0;
#if CV_SIMD128
    if constexpr (CN == 3) {
        for (; s + 4 <= px; s += 4) {
            cv::v_float32x4 t0, t1, t2, u0, u1, u2;
            cv::v_load_deinterleave(t + 3 * s, t0, t1, t2);
            cv::v_load_deinterleave(u + 3 * s, u0, u1, u2);
            const cv::v_float32x4 v = cv::v_load(w + s);
            t0 = t0 + (u0 - t0) * v;
            t1 = t1 + (u1 - t1) * v;
            t2 = t2 + (u2 - t2) * v;
            cv::v_store_interleave(t + 3 * s, t0, t1, t2);
        }
    } else {
        for (; s + 4 <= px; s += 4) {
            const cv::v_float32x4 a = cv::v_load(t + s);
            cv::v_store(t + s, a + (cv::v_load(u + s) - a) * cv::v_load(w + s));
        }
    }
#endif
    for (; s < px; ++s)
        for (int c = 0; c < CN; ++c)
            t[s * CN + c] = t[s * CN + c] + (u[s * CN + c] - t[s * CN + c]) * w[s];
}

// Vertical recursion on strips of columns, walking the rows so that the
// inner loop runs along a row of the strip and vectorises; no transposes.
template <int CN>
void filterColumns(cv::Mat& img, const cv::Mat& vert, double lnA)
{
    const int rows = img.rows;
    const int cols = img.cols;
    if (rows < 2)
        return;
    constexpr int kStrip = CN == 1 ? 64 : 16;
    const int perTask = std::max(1, (cols + kStrip - 1) / kStrip / (coreCount() * 4));
    IQParallelBands(cols, perTask * kStrip, [&](int x0, int x1) {
        std::vector<float> arg(size_t(rows) * kStrip);
        std::vector<float> weight(size_t(rows) * kStrip);
        for (int s0 = x0; s0 < x1; s0 += kStrip) {
            const int px = std::min(kStrip, x1 - s0);
            const size_t bytes = size_t(px) * CN * sizeof(float);
            // Row y's weights at y * px; row 0 has none.
            for (int y = 1; y < rows; ++y) {
                if (y + kAhead < rows)
                    prefetchRun(vert.ptr<float>(y + kAhead) + s0, size_t(px) * sizeof(float));
                exponents(vert.ptr<float>(y) + s0, arg.data() + size_t(y) * px, px, lnA);
            }
            cv::hal::exp32f(arg.data() + px, weight.data() + px, (rows - 1) * px);
            for (int y = 1; y < rows; ++y) {
                if (y + kAhead < rows)
                    prefetchRun(img.ptr<float>(y + kAhead) + s0 * CN, bytes);
                stepTowards<CN>(img.ptr<float>(y) + s0 * CN, img.ptr<float>(y - 1) + s0 * CN,
                                weight.data() + size_t(y) * px, px);
            }
            for (int y = rows - 2; y >= 0; --y) {
                if (y >= kAhead)
                    prefetchRun(img.ptr<float>(y - kAhead) + s0 * CN, bytes);
                stepTowards<CN>(img.ptr<float>(y) + s0 * CN, img.ptr<float>(y + 1) + s0 * CN,
                                weight.data() + size_t(y + 1) * px, px);
            }
        }
    });
}

// Smooths img (CV_32FC1 or CV_32FC3, continuous or not) in place; the
// transformed-domain steps go to scratch slots 1 and 2.
template <int CN>
void domainTransform(cv::Mat& img, float sigmaS, float sigmaR, IQFilterScratch* scratch)
{
    cv::Mat horiz = IQWorkPlane(scratch, 1, img.size(), CV_32F);
    cv::Mat vert = IQWorkPlane(scratch, 2, img.size(), CV_32F);
    buildSteps<CN>(img, sigmaS / sigmaR, horiz, vert);
    for (int i = 0; i < kIterations; ++i) {
        const float sigmaH = float(sigmaS * std::sqrt(3.0) * std::pow(2.0, kIterations - (i + 1))
                                   / std::sqrt(std::pow(4.0, kIterations) - 1));
        const float a = float(std::exp(-std::sqrt(2.0) / sigmaH));
        const double lnA = std::log(double(a));
        filterRows<CN>(img, horiz, lnA);
        filterColumns<CN>(img, vert, lnA);
    }
}

// Runs body(y0, y1, lab) over [r0, r1) in chunks of a few rows, lab being
// the chunk as the 0..1 float Lab picture. The chunk buffers are reused, so a
// band costs no whole-band temporaries.
template <typename Body>
void forLabChunks(const cv::Mat& src, int r0, int r1, Body&& body)
{
    constexpr int kChunkRows = 8;
    cv::Mat f, lab;
    for (int y0 = r0; y0 < r1; y0 += kChunkRows) {
        const int y1 = std::min(r1, y0 + kChunkRows);
        src.rowRange(y0, y1).convertTo(f, CV_32F, 1.0 / 255.0);
        cv::cvtColor(f, lab, cv::COLOR_BGR2Lab);
        body(y0, y1, lab);
    }
}

} // namespace

void IQEdgePreservingRecursive(const cv::Mat& src, cv::Mat& dst, float sigmaS, float sigmaR,
                               IQFilterScratch* scratch)
{
    checkArguments(src, sigmaS, sigmaR);
    const int rows = src.rows;
    const int band = IQBandRowsFor(rows);
    cv::Mat img = IQWorkPlane(scratch, 0, src.size(), CV_32FC3);
    IQParallelBands(rows, band, [&](int y0, int y1) {
        cv::Mat out = img.rowRange(y0, y1);
        src.rowRange(y0, y1).convertTo(out, CV_32F, 1.0 / 255.0);
    });
    domainTransform<3>(img, sigmaS, sigmaR, scratch);
    dst.create(src.size(), CV_8UC3);
    IQParallelBands(rows, band, [&](int y0, int y1) {
        cv::Mat out = dst.rowRange(y0, y1);
        cv::convertScaleAbs(img.rowRange(y0, y1), out, 255.0);
    });
}

void IQDetailEnhance(const cv::Mat& src, cv::Mat& dst, float sigmaS, float sigmaR, IQFilterScratch* scratch)
{
    checkArguments(src, sigmaS, sigmaR);
    const int rows = src.rows;
    const int cols = src.cols;
    const int band = IQBandRowsFor(rows);
    IQPrepareLabTables();
    // L of the float Lab picture, scaled by 1/255 as the filter expects; it
    // is smoothed in place.
    cv::Mat smooth = IQWorkPlane(scratch, 0, src.size(), CV_32F);
    IQParallelBands(rows, band, [&](int r0, int r1) {
        forLabChunks(src, r0, r1, [&](int y0, int y1, const cv::Mat& lab) {
            for (int y = y0; y < y1; ++y) {
                const float* l = lab.ptr<float>(y - y0);
                float* o = smooth.ptr<float>(y);
                for (int x = 0; x < cols; ++x)
                    o[x] = l[3 * x] * kInv255;
            }
        });
    });
    domainTransform<1>(smooth, sigmaS, sigmaR, scratch);

    // The Lab picture is rebuilt per chunk rather than kept whole: cheaper
    // than holding three float planes of a large picture, and the same
    // conversion gives the same lightness again. dst may be src: every chunk
    // reads its rows before writing them.
    dst.create(src.size(), CV_8UC3);
    IQParallelBands(rows, band, [&](int r0, int r1) {
        cv::Mat bgr;
        forLabChunks(src, r0, r1, [&](int y0, int y1, cv::Mat& lab) {
            for (int y = y0; y < y1; ++y) {
                const float* f = smooth.ptr<float>(y);
                float* o = lab.ptr<float>(y - y0);
                for (int x = 0; x < cols; ++x) {
                    const float l = o[3 * x] * kInv255;
                    const float detail = (l - f[x]) * 3.0f;
                    o[3 * x] = (f[x] + detail) * 255.0f;
                }
            }
            cv::cvtColor(lab, bgr, cv::COLOR_Lab2BGR);
            cv::Mat out = dst.rowRange(y0, y1);
            bgr.convertTo(out, CV_8U, 255.0);
        });
    });
}
