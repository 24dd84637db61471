#include "IQHDRKernels.h"

#include "IQParallel.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <mutex>
#include <numeric>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Both operators are fused per row: every pixel is read once per pass and
// no whole-picture temporaries exist. The arithmetic follows OpenCV's
// MergeDebevec and TonemapReinhard step by step, in single precision, with
// OpenCV's own exp/log/pow on each row, so the results agree with the
// single-call operators to float rounding (the merge departs from the
// library only where a reading is at an end of the range; see below).

namespace {

constexpr int kLdrSize = 256;

struct MinMax {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    std::mutex lock;

    void add(double lo, double hi)
    {
        std::lock_guard<std::mutex> guard(lock);
        min = std::min(min, lo);
        max = std::max(max, hi);
    }
};

// Folds the per-channel minimum and maximum of `pixels` B,G,R float pixels
// into lo and hi. NaN values are skipped, as std::min/std::max skip them.
void rowRange(const float* p, int pixels, float lo[3], float hi[3])
{
    int x = 0;
#ifdef __SSE2__
    // Four pixels are twelve floats: three vectors whose lanes hold the
    // channels in the patterns 0120, 1201 and 2012.
    if (pixels >= 4) {
        __m128 l0 = _mm_setr_ps(lo[0], lo[1], lo[2], lo[0]), l1 = _mm_setr_ps(lo[1], lo[2], lo[0], lo[1]),
               l2 = _mm_setr_ps(lo[2], lo[0], lo[1], lo[2]);
        __m128 h0 = _mm_setr_ps(hi[0], hi[1], hi[2], hi[0]), h1 = _mm_setr_ps(hi[1], hi[2], hi[0], hi[1]),
               h2 = _mm_setr_ps(hi[2], hi[0], hi[1], hi[2]);
        for (; x + 4 <= pixels; x += 4) {
            const float* q = p + 3 * x;
            const __m128 v0 = _mm_loadu_ps(q), v1 = _mm_loadu_ps(q + 4), v2 = _mm_loadu_ps(q + 8);
            // min(v, l) keeps l where v is NaN.
            l0 = _mm_min_ps(v0, l0);
            l1 = _mm_min_ps(v1, l1);
            l2 = _mm_min_ps(v2, l2);
            h0 = _mm_max_ps(v0, h0);
            h1 = _mm_max_ps(v1, h1);
            h2 = _mm_max_ps(v2, h2);
        }
        alignas(16) float a[12], b[12];
        _mm_store_ps(a, l0);
        _mm_store_ps(a + 4, l1);
        _mm_store_ps(a + 8, l2);
        _mm_store_ps(b, h0);
        _mm_store_ps(b + 4, h1);
        _mm_store_ps(b + 8, h2);
        for (int i = 0; i < 12; ++i) {
            lo[i % 3] = std::min(lo[i % 3], a[i]);
            hi[i % 3] = std::max(hi[i % 3], b[i]);
        }
    }
#endif
    for (; x < pixels; ++x) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], p[3 * x + c]);
            hi[c] = std::max(hi[c], p[3 * x + c]);
        }
    }
}

struct ChannelRanges {
    MinMax channel[3];

    void add(const float lo[3], const float hi[3])
    {
        for (int c = 0; c < 3; ++c)
            channel[c].add(lo[c], hi[c]);
    }
};

void startRange(float lo[3], float hi[3])
{
    for (int c = 0; c < 3; ++c) {
        lo[c] = std::numeric_limits<float>::infinity();
        hi[c] = -std::numeric_limits<float>::infinity();
    }
}

} // namespace

namespace {

// How far a photo's pixel can be trusted near the ends of the range, by its
// brightest channel: fully up to 240, not at all from 250 on (clipped, or
// JPEG ringing beside a clipped area); fully from 15 on, not at all at 5 or
// below (black in every channel). The ramps between keep the merge
// continuous where photos disagree a little about a level, as the JPEGs of
// one scene do; a hard cut draws contours there.
//
// A photo clipped at a pixel only says the radiance is at least f(z)/t,
// and every longer photo is clipped there too (though ringing may show it
// a few levels lower). The shortest photo gives the tightest bound, so the
// longer ones are left out from the first clipped one on and the shortest
// is always kept: a photo's weight is scaled by the top trust of the
// brightest level among it and the shorter photos. Otherwise a sky that is
// white in every photo averages its bounds down to a grey below the fringe
// around it, whose shortest reading is just under the top. Black is the
// mirror image, with the longest photo kept. A photo is weighed as a whole,
// as the merge weighs whole pixels, so a pixel left to its shortest photo
// keeps that photo's colour. Where nothing would be left (photos that
// contradict each other) every photo keeps its full weight, as it does in
// every pixel whose photos all lie within 15..240.
constexpr int kTopTrustEnd = 250;
constexpr int kBottomTrustEnd = 5;
constexpr int kTrustRamp = 10;
constexpr int kTopTrustFull = kTopTrustEnd - kTrustRamp;       // 240
constexpr int kBottomTrustFull = kBottomTrustEnd + kTrustRamp; // 15

// A pixel's place on the two ramps as one byte: 11 * t + b, where t is how
// far the greatest level reaches into the top ramp (0..10) and b how far
// the least level reaches into the bottom ramp (0..10). State 0 is full
// trust.
constexpr int kRampStates = kTrustRamp + 1;

inline int rampState(int greatest, int least)
{
    const int t = std::clamp(greatest - kTopTrustFull, 0, kTrustRamp);
    const int b = std::clamp(kBottomTrustFull - least, 0, kTrustRamp);
    return kRampStates * t + b;
}

// Weight factor by ramp state, for a photo that can be cut for clipping
// (all but the shortest) and for black (all but the longest).
void trustTable(bool clipping, bool black, float* table)
{
    for (int t = 0; t < kRampStates; ++t) {
        for (int b = 0; b < kRampStates; ++b) {
            const float top = clipping ? float(kTrustRamp - t) / float(kTrustRamp) : 1.0f;
            const float bottom = black ? float(kTrustRamp - b) / float(kTrustRamp) : 1.0f;
            table[kRampStates * t + b] = top * bottom;
        }
    }
}

// The brightest channel of each pixel of a row.
template <int Channels>
void brightestRow(const uchar* in, int width, uchar* top)
{
    int x = 0;
#ifdef __SSE2__
    if (Channels == 4) {
        // Four pixels a vector: the byte maximum of each pixel with itself
        // shifted by one and two bytes leaves max(B, G, R) in its low byte.
        const __m128i low = _mm_set1_epi32(0xFF);
        for (; x + 16 <= width; x += 16) {
            __m128i lanes[4];
            for (int k = 0; k < 4; ++k) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * (x + 4 * k)));
                __m128i m = _mm_max_epu8(v, _mm_srli_epi32(v, 8));
                m = _mm_max_epu8(m, _mm_srli_epi32(v, 16));
                lanes[k] = _mm_and_si128(m, low);
            }
            const __m128i t =
                _mm_packus_epi16(_mm_packs_epi32(lanes[0], lanes[1]), _mm_packs_epi32(lanes[2], lanes[3]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(top + x), t);
        }
    }
#endif
    for (; x < width; ++x) {
        const uchar* p = in + Channels * x;
        top[x] = std::max(std::max(p[0], p[1]), p[2]);
    }
}

// out = max(a, b) or min(a, b), byte by byte.
template <bool Greatest>
void foldRow(const uchar* a, const uchar* b, int width, uchar* out)
{
    int x = 0;
#ifdef __SSE2__
    for (; x + 16 <= width; x += 16) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), Greatest ? _mm_max_epu8(u, v) : _mm_min_epu8(u, v));
    }
#endif
    for (; x < width; ++x)
        out[x] = Greatest ? std::max(a[x], b[x]) : std::min(a[x], b[x]);
}

// Per band, for each exposure rank (0 = shortest) and each pixel of a row:
// the greatest brightest-channel level of the photos up to that rank, the
// least of the photos from that rank on, and from the two the ramp state.
struct EndLevels {
    EndLevels(size_t width, size_t count) : greatest(width * count), least(width * count) {}
    std::vector<uchar> greatest; // becomes the ramp state
    std::vector<uchar> least;
};

// The ramp states of one rank's row.
void rampStateRow(const uchar* greatest, const uchar* least, int width, uchar* state)
{
    int x = 0;
#ifdef __SSE2__
    const __m128i topFull = _mm_set1_epi8(char(kTopTrustFull));
    const __m128i bottomFull = _mm_set1_epi8(char(kBottomTrustFull));
    const __m128i ramp = _mm_set1_epi8(char(kTrustRamp));
    for (; x + 16 <= width; x += 16) {
        const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(greatest + x));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(least + x));
        const __m128i t = _mm_min_epu8(_mm_subs_epu8(g, topFull), ramp);
        const __m128i b = _mm_min_epu8(_mm_subs_epu8(bottomFull, l), ramp);
        // 11 t + b = 8 t + 2 t + t + b; at most 120.
        const __m128i t2 = _mm_add_epi8(t, t);
        const __m128i t8 = _mm_add_epi8(_mm_add_epi8(t2, t2), _mm_add_epi8(t2, t2));
        const __m128i v = _mm_add_epi8(_mm_add_epi8(t8, t2), _mm_add_epi8(t, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(state + x), v);
    }
#endif
    for (; x < width; ++x)
        state[x] = uchar(rampState(greatest[x], least[x]));
}

void endStatesRow(const std::vector<cv::Mat>& images, const std::vector<int>& order, int y, int width,
                  EndLevels& levels)
{
    const size_t count = order.size();
    const size_t w = size_t(width);
    uchar* greatest = levels.greatest.data();
    uchar* least = levels.least.data();
    for (size_t r = 0; r < count; ++r) {
        const cv::Mat& image = images[size_t(order[r])];
        if (image.channels() == 4)
            brightestRow<4>(image.ptr<uchar>(y), width, least + r * w);
        else
            brightestRow<3>(image.ptr<uchar>(y), width, least + r * w);
    }
    std::copy(least, least + w, greatest);
    for (size_t r = 1; r < count; ++r)
        foldRow<true>(greatest + (r - 1) * w, least + r * w, width, greatest + r * w);
    for (size_t r = count - 1; r-- > 0;)
        foldRow<false>(least + r * w, least + (r + 1) * w, width, least + r * w);

    // Photos that contradict each other: the shortest black, the longest
    // clipped, and every photo between cut for one or the other. They keep
    // full weights, as if no photo were near an end.
    if (count >= 2) {
        const uchar* blackShortest = least;
        const uchar* clippedLongest = greatest + (count - 1) * w;
        const auto settle = [&](size_t x) {
            if (blackShortest[x] > kBottomTrustEnd || clippedLongest[x] < kTopTrustEnd)
                return;
            for (size_t r = 1; r + 1 < count; ++r) {
                if (greatest[r * w + x] < kTopTrustEnd && least[r * w + x] > kBottomTrustEnd)
                    return;
            }
            for (size_t r = 0; r < count; ++r) {
                greatest[r * w + x] = 0;
                least[r * w + x] = 255;
            }
        };
        size_t x = 0;
#ifdef __SSE2__
        const __m128i black = _mm_set1_epi8(char(kBottomTrustEnd));
        const __m128i clipped = _mm_set1_epi8(char(kTopTrustEnd));
        for (; x + 16 <= w; x += 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blackShortest + x));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(clippedLongest + x));
            const __m128i both =
                _mm_and_si128(_mm_cmpeq_epi8(_mm_min_epu8(b, black), b), _mm_cmpeq_epi8(_mm_max_epu8(c, clipped), c));
            for (unsigned bits = unsigned(_mm_movemask_epi8(both)); bits; bits &= bits - 1)
                settle(x + size_t(__builtin_ctz(bits)));
        }
#endif
        for (; x < w; ++x)
            settle(x);
    }
    for (size_t r = 0; r < count; ++r)
        rampStateRow(greatest + r * w, least + r * w, width, greatest + r * w);
}

// Whether every pixel of a run of states has full trust.
bool allFullTrust(const uchar* state, int width)
{
    int x = 0;
    unsigned any = 0;
#ifdef __SSE2__
    __m128i bits = _mm_setzero_si128();
    for (; x + 16 <= width; x += 16)
        bits = _mm_or_si128(bits, _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + x)));
    any = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bits, _mm_setzero_si128()))) ^ 0xFFFFu;
#endif
    for (; x < width; ++x)
        any |= state[x];
    return any == 0;
}

// Adds one picture's row to the weighted sums; pixels are `Channels` bytes
// apart, B,G,R first (a fourth byte is ignored). With Trust, each pixel's
// weight is scaled by the trust of its ramp state (state 0, trust exactly
// 1, leaves the library's arithmetic as it is).
template <int Channels, bool Trust>
void accumulateRow(const uchar* in, int width, const float* weights, const float* logResponse, float logTime,
                   const float* trust, const uchar* state, float* out, float* weightSum)
{
    for (int x = 0; x < width; ++x) {
        const uchar* p = in + Channels * x;
        float w = 0.0f;
        w += weights[p[0]];
        w += weights[p[1]];
        w += weights[p[2]];
        w = float(double(w) * (1.0 / 3.0));
        if (Trust)
            w *= trust[state[x]];
        float* o = out + 3 * x;
        o[0] += w * (logResponse[p[0]] - logTime);
        o[1] += w * (logResponse[p[1]] - logTime);
        o[2] += w * (logResponse[p[2]] - logTime);
        weightSum[x] += w;
    }
}

// Runs of pixels whose trust is full take the plain sums.
template <int Channels>
void accumulateRow(const uchar* in, int width, const float* weights, const float* logResponse, float logTime,
                   const float* trust, const uchar* state, float* out, float* weightSum)
{
    constexpr int kRun = 64;
    for (int x = 0; x < width; x += kRun) {
        const int n = std::min(kRun, width - x);
        const uchar* p = in + Channels * x;
        if (allFullTrust(state + x, n))
            accumulateRow<Channels, false>(p, n, weights, logResponse, logTime, trust, state + x, out + 3 * x,
                                           weightSum + x);
        else
            accumulateRow<Channels, true>(p, n, weights, logResponse, logTime, trust, state + x, out + 3 * x,
                                          weightSum + x);
    }
}

} // namespace

void IQMergeDebevecBanded(const std::vector<cv::Mat>& images, const std::vector<float>& times, cv::Mat& radiance,
                          IQRadianceRange* range)
{
    CV_Assert(!images.empty() && images.size() == times.size());
    const cv::Size size = images[0].size();
    for (const cv::Mat& image : images)
        CV_Assert((image.type() == CV_8UC3 || image.type() == CV_8UC4) && image.size() == size);

    // Triangle weights and the log of the linear response (response 0 is
    // taken as 1, so its log is 0).
    float weights[kLdrSize];
    cv::Mat response(kLdrSize, 1, CV_32F);
    for (int i = 0; i < kLdrSize; ++i) {
        weights[i] = i < kLdrSize / 2 ? float(i) + 1.0f : float(kLdrSize - 1 - i) + 1.0f;
        response.at<float>(i) = float(std::max(i, 1));
    }
    cv::Mat logResponseMat;
    cv::log(response, logResponseMat);
    const float* logResponse = logResponseMat.ptr<float>();
    cv::Mat logTimes;
    cv::log(cv::Mat(times, true), logTimes);

    // Exposure ranks (photos of equal time keep their order); the sums run
    // in the given order, as the library's do.
    const size_t count = images.size();
    std::vector<int> order(count), rank(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return times[size_t(a)] < times[size_t(b)]; });
    for (size_t r = 0; r < count; ++r)
        rank[size_t(order[r])] = int(r);
    // Weight factors by ramp state for each rank: the shortest photo is
    // never cut for clipping, the longest never for black.
    std::vector<float> trust(count * kRampStates * kRampStates);
    for (size_t r = 0; r < count; ++r)
        trustTable(r > 0, r + 1 < count, trust.data() + r * kRampStates * kRampStates);

    radiance.create(size, CV_32FC3);
    const int width = size.width;
    const size_t w = size_t(width);
    ChannelRanges ranges;
    IQParallelBands(size.height, IQBandRowsFor(size.height), [&](int begin, int end) {
        std::vector<float> weightSum(w);
        EndLevels levels(w, count);
        float lo[3], hi[3];
        startRange(lo, hi);
        for (int y = begin; y < end; ++y) {
            float* out = radiance.ptr<float>(y);
            std::fill(out, out + w * 3, 0.0f);
            std::fill(weightSum.begin(), weightSum.end(), 0.0f);
            endStatesRow(images, order, y, width, levels);
            for (size_t i = 0; i < count; ++i) {
                const float logTime = logTimes.at<float>(int(i));
                const size_t r = size_t(rank[i]);
                const float* factor = trust.data() + r * kRampStates * kRampStates;
                const uchar* state = levels.greatest.data() + r * w;
                if (images[i].channels() == 4)
                    accumulateRow<4>(images[i].ptr<uchar>(y), width, weights, logResponse, logTime, factor, state,
                                     out, weightSum.data());
                else
                    accumulateRow<3>(images[i].ptr<uchar>(y), width, weights, logResponse, logTime, factor, state,
                                     out, weightSum.data());
            }
            for (int x = 0; x < width; ++x) {
                const float inverse = 1.0f / weightSum[size_t(x)];
                float* o = out + 3 * x;
                o[0] *= inverse;
                o[1] *= inverse;
                o[2] *= inverse;
            }
            cv::Mat row(1, width * 3, CV_32F, out);
            cv::exp(row, row);
            // The tone mapper's first pass, done while the row is at hand.
            if (range)
                rowRange(out, width, lo, hi);
        }
        if (range)
            ranges.add(lo, hi);
    });
    if (range) {
        for (int c = 0; c < 3; ++c) {
            range->min[c] = float(ranges.channel[c].min);
            range->max[c] = float(ranges.channel[c].max);
        }
    }
}

namespace {

struct ReinhardGlobals {
    float scale1 = 1, shift1 = 0; // first stretch: v * scale1 + shift1
    bool stretch1 = false;
    float mapKey = 0;
    float intensity = 0;
    float lightAdapt = 0;
    float colorAdapt = 0;
    float global[3] = {0, 0, 0};
};

// The stretch of the linear operator, as OpenCV evaluates (src - lo) / d.
void stretchParams(double lo, double hi, bool& enabled, float& scale, float& shift)
{
    enabled = hi - lo > DBL_EPSILON;
    scale = enabled ? float(1.0 / (hi - lo)) : 1.0f;
    shift = enabled ? float(-lo / (hi - lo)) : 0.0f;
}

inline float grayOf(const float* p)
{
    // cvtColor RGB2GRAY on the B,G,R data, as the library operator does.
    return p[0] * 0.299f + p[1] * 0.587f + p[2] * 0.114f;
}

// Stretched picture row (3 floats a pixel) and its grey row.
void stretchedRow(const float* src, int width, const ReinhardGlobals& g, float* img, float* gray)
{
    for (int x = 0; x < width; ++x) {
        const float* s = src + 3 * x;
        float* d = img + 3 * x;
        if (g.stretch1) {
            d[0] = s[0] * g.scale1 + g.shift1;
            d[1] = s[1] * g.scale1 + g.shift1;
            d[2] = s[2] * g.scale1 + g.shift1;
        } else {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
        gray[x] = grayOf(d);
    }
}

// Reinhard's per-pixel mapping of one row into mapped (3 floats a pixel).
void mappedRow(const float* src, int width, const ReinhardGlobals& g, std::vector<float>& img,
               std::vector<float>& gray, std::vector<float>& adapt, float* mapped)
{
    stretchedRow(src, width, g, img.data(), gray.data());
    const float ca = g.colorAdapt;
    const float la = g.lightAdapt;
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c) {
            float a = ca * img[size_t(3 * x + c)] + (1.0f - ca) * gray[size_t(x)];
            a = la * a + (1.0f - la) * g.global[c];
            adapt[size_t(3 * x + c)] = g.intensity * a;
        }
    }
    cv::Mat adaptRow(1, width * 3, CV_32F, adapt.data());
    cv::pow(adaptRow, g.mapKey, adaptRow);
    for (size_t i = 0; i < size_t(width) * 3; ++i)
        mapped[i] = img[i] * (1.0f / (adapt[i] + img[i]));
}

} // namespace

void IQRadianceRangeOf(const cv::Mat& radiance, IQRadianceRange& range)
{
    CV_Assert(!radiance.empty() && radiance.type() == CV_32FC3);
    const int width = radiance.cols;
    ChannelRanges ranges;
    IQParallelBands(radiance.rows, IQBandRowsFor(radiance.rows), [&](int begin, int end) {
        float lo[3], hi[3];
        startRange(lo, hi);
        for (int y = begin; y < end; ++y)
            rowRange(radiance.ptr<float>(y), width, lo, hi);
        ranges.add(lo, hi);
    });
    for (int c = 0; c < 3; ++c) {
        range.min[c] = float(ranges.channel[c].min);
        range.max[c] = float(ranges.channel[c].max);
    }
}

namespace {

// Gives every pixel one colour.
void fillPicture(cv::Mat& out8, const cv::Scalar& colour, bool swapRedBlue)
{
    cv::Scalar value = colour;
    if (swapRedBlue)
        std::swap(value[0], value[2]);
    out8.setTo(value);
}

#ifdef __SSE2__
// Four pixels of a global-adaptation mapping: twelve floats in, twelve
// rounded bytes out. The arithmetic is the scalar loop's, lane by lane.
inline void mapGlobalBlock(const float* src, const ReinhardGlobals& g, const __m128 adapt[3], bool stretch2,
                           float scale2, float shift2, float* mapped)
{
    const __m128 one = _mm_set1_ps(1.0f);
    for (int k = 0; k < 3; ++k) {
        __m128 x = _mm_loadu_ps(src + 4 * k);
        if (g.stretch1)
            x = _mm_add_ps(_mm_mul_ps(x, _mm_set1_ps(g.scale1)), _mm_set1_ps(g.shift1));
        __m128 m = _mm_mul_ps(x, _mm_div_ps(one, _mm_add_ps(adapt[k], x)));
        if (stretch2)
            m = _mm_add_ps(_mm_mul_ps(m, _mm_set1_ps(scale2)), _mm_set1_ps(shift2));
        _mm_storeu_ps(mapped + 4 * k, m);
    }
}
#endif

} // namespace

void IQTonemapReinhardBanded(const cv::Mat& radiance, float gamma, float intensity, float lightAdapt,
                             float colorAdapt, cv::Mat& out8, bool swapRedBlue, const IQRadianceRange* knownRange,
                             const cv::Scalar* flatColour)
{
    CV_Assert(!radiance.empty() && radiance.type() == CV_32FC3);
    CV_Assert(out8.type() == CV_8UC3 && out8.size() == radiance.size());
    const int rows = radiance.rows;
    const int width = radiance.cols;
    const int bandRows = IQBandRowsFor(rows);
    const double total = double(radiance.total());

    // Range of the radiance map, per channel and overall.
    IQRadianceRange measured;
    if (!knownRange)
        IQRadianceRangeOf(radiance, measured);
    const IQRadianceRange& r = knownRange ? *knownRange : measured;
    MinMax range;
    MinMax channelRange[3];
    for (int c = 0; c < 3; ++c) {
        channelRange[c].add(r.min[c], r.max[c]);
        range.add(r.min[c], r.max[c]);
    }
    // A picture of one colour has no contrast to map: the operator would
    // make it a light grey whatever it showed. It keeps the level it came
    // with, or mid-grey when that is not known.
    if (r.isFlat()) {
        fillPicture(out8, flatColour ? *flatColour : cv::Scalar::all(128), swapRedBlue);
        return;
    }
    ReinhardGlobals g;
    stretchParams(range.min, range.max, g.stretch1, g.scale1, g.shift1);

    // Log-luminance statistics and channel means of the stretched picture.
    MinMax logRange;
    std::mutex sumLock;
    double logSum = 0, graySum = 0, channelSum[3] = {0, 0, 0};
    IQParallelBands(rows, bandRows, [&](int begin, int end) {
        std::vector<float> img(size_t(width) * 3), gray(static_cast<size_t>(width));
        double bandLog = 0, bandGray = 0, bandChannels[3] = {0, 0, 0};
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (int y = begin; y < end; ++y) {
            stretchedRow(radiance.ptr<float>(y), width, g, img.data(), gray.data());
            double rowGray = 0, rowChannels[3] = {0, 0, 0};
            for (int x = 0; x < width; ++x) {
                rowGray += gray[size_t(x)];
                gray[size_t(x)] = std::max(gray[size_t(x)], 1e-4f);
                for (int c = 0; c < 3; ++c)
                    rowChannels[c] += img[size_t(3 * x + c)];
            }
            cv::Mat logRow(1, width, CV_32F, gray.data());
            cv::log(logRow, logRow);
            double rowLog = 0;
            for (int x = 0; x < width; ++x) {
                const float v = gray[size_t(x)];
                rowLog += v;
                lo = std::min(lo, double(v));
                hi = std::max(hi, double(v));
            }
            bandLog += rowLog;
            bandGray += rowGray;
            for (int c = 0; c < 3; ++c)
                bandChannels[c] += rowChannels[c];
        }
        logRange.add(lo, hi);
        std::lock_guard<std::mutex> guard(sumLock);
        logSum += bandLog;
        graySum += bandGray;
        for (int c = 0; c < 3; ++c)
            channelSum[c] += bandChannels[c];
    });

    const float logMean = static_cast<float>(logSum / total);
    // A picture of one brightness has no log range; the library's division
    // gives NaN there and an undefined picture. Key 0 keeps it flat.
    double key = 0.0;
    if (logRange.max - logRange.min > 0.0)
        key = static_cast<float>((logRange.max - logMean) / (logRange.max - logRange.min));
    g.mapKey = 0.3f + 0.7f * std::pow(static_cast<float>(key), 1.4f);
    g.intensity = std::exp(-intensity);
    g.lightAdapt = lightAdapt;
    g.colorAdapt = colorAdapt;
    const float grayMean = static_cast<float>(graySum / total);
    for (int c = 0; c < 3; ++c)
        g.global[c] = colorAdapt * static_cast<float>(channelSum[c] / total) + (1.0f - colorAdapt) * grayMean;

    // Without light adaptation every pixel of a channel adapts to the same
    // global value, so the adaptation term is one number per channel and
    // the mapping x / (A + x) rises with x: the mapped range follows from the
    // channel ranges, and no per-pixel power is needed.
    const bool globalAdaptation = lightAdapt == 0.0f;
    float channelAdapt[3] = {0, 0, 0};
    MinMax mappedRange;
    if (globalAdaptation) {
        cv::Mat adaptValues(1, 3, CV_32F);
        for (int c = 0; c < 3; ++c)
            adaptValues.at<float>(c) = g.intensity * g.global[c];
        cv::pow(adaptValues, g.mapKey, adaptValues);
        for (int c = 0; c < 3; ++c) {
            channelAdapt[c] = adaptValues.at<float>(c);
            for (const double v : {channelRange[c].min, channelRange[c].max}) {
                const float x = g.stretch1 ? float(v) * g.scale1 + g.shift1 : float(v);
                const float mapped = x * (1.0f / (channelAdapt[c] + x));
                mappedRange.add(mapped, mapped);
            }
        }
    } else {
        IQParallelBands(rows, bandRows, [&](int begin, int end) {
            std::vector<float> img(size_t(width) * 3), gray(static_cast<size_t>(width)), adapt(size_t(width) * 3),
                mapped(size_t(width) * 3);
            double lo = std::numeric_limits<double>::infinity(), hi = -lo;
            for (int y = begin; y < end; ++y) {
                mappedRow(radiance.ptr<float>(y), width, g, img, gray, adapt, mapped.data());
                for (float v : mapped) {
                    lo = std::min(lo, double(v));
                    hi = std::max(hi, double(v));
                }
            }
            mappedRange.add(lo, hi);
        });
    }
    bool stretch2 = false;
    float scale2 = 1, shift2 = 0;
    stretchParams(mappedRange.min, mappedRange.max, stretch2, scale2, shift2);
    const float inverseGamma = 1.0f / gamma;

    // Final stretch, gamma and 8-bit rounding.
    IQParallelBands(rows, bandRows, [&](int begin, int end) {
        const size_t n = size_t(width) * 3;
        std::vector<float> img(n), gray(static_cast<size_t>(width)), adapt(n), mapped(n);
        std::vector<uchar> bytes(n);
        cv::Mat mappedMat(1, width * 3, CV_32F, mapped.data());
#ifdef __SSE2__
        const __m128 adaptLanes[3] = {_mm_setr_ps(channelAdapt[0], channelAdapt[1], channelAdapt[2], channelAdapt[0]),
                                      _mm_setr_ps(channelAdapt[1], channelAdapt[2], channelAdapt[0], channelAdapt[1]),
                                      _mm_setr_ps(channelAdapt[2], channelAdapt[0], channelAdapt[1], channelAdapt[2])};
#endif
        for (int y = begin; y < end; ++y) {
            size_t done = 0;
            if (globalAdaptation) {
                const float* src = radiance.ptr<float>(y);
#ifdef __SSE2__
                for (; done + 12 <= n; done += 12)
                    mapGlobalBlock(src + done, g, adaptLanes, stretch2, scale2, shift2, mapped.data() + done);
#endif
                for (size_t i = done; i < n; i += 3) {
                    for (int c = 0; c < 3; ++c) {
                        const float x = g.stretch1 ? src[i + c] * g.scale1 + g.shift1 : src[i + c];
                        mapped[i + c] = x * (1.0f / (channelAdapt[c] + x));
                    }
                }
            } else {
                mappedRow(radiance.ptr<float>(y), width, g, img, gray, adapt, mapped.data());
            }
            if (stretch2) {
                for (size_t i = done; i < n; ++i)
                    mapped[i] = mapped[i] * scale2 + shift2;
            }
            if (inverseGamma != 1.0f)
                cv::pow(mappedMat, inverseGamma, mappedMat);
            // Rounded to the nearest even as cvRound does, then saturated.
            size_t i = 0;
#ifdef __SSE2__
            const __m128 full = _mm_set1_ps(255.0f);
            for (; i + 8 <= n; i += 8) {
                const __m128i a = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(mapped.data() + i), full));
                const __m128i b = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(mapped.data() + i + 4), full));
                const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_setzero_si128());
                _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes.data() + i), packed);
            }
#endif
            for (; i < n; ++i)
                bytes[i] = cv::saturate_cast<uchar>(mapped[i] * 255.0f);
            uchar* out = out8.ptr<uchar>(y);
            if (!swapRedBlue) {
                std::copy(bytes.begin(), bytes.end(), out);
                continue;
            }
            for (size_t p = 0; p < n; p += 3) {
                out[p] = bytes[p + 2];
                out[p + 1] = bytes[p + 1];
                out[p + 2] = bytes[p];
            }
        }
    });
}
