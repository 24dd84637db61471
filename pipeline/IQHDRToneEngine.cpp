#include "IQHDRToneEngine.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <QDebug>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <ctime>
#include <mutex>
#include <type_traits>
#include <vector>

#include "IQBGRData.h"
#include "IQDomainTransform.h"
#include "IQFilterScratch.h"
#include "IQLabTables.h"
#include "IQNonLocalMeans.h"
#include "IQToneByte.h"
#include "IQToneStrength.h"
#include "Rand15.h"

namespace {

template <typename Fn>
void forRowBands(int rows, Fn &&fn)
{
    if (rows <= 0)
        return;
    const int bands = std::max(1, std::min(rows / 16, 256));
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range &r) {
        const int y0 = int(int64_t(rows) * r.start / bands);
        const int y1 = int(int64_t(rows) * r.end / bands);
        fn(y0, y1);
    });
}

void requireBgr(const cv::Mat &m, const char *what)
{
    if (m.type() != CV_8UC3 || m.empty())
        CV_Error(cv::Error::StsBadArg, std::string(what) + " must be a non-empty 8-bit B,G,R picture");
}

// dst receives the pixels of src in its own memory when it already has the
// right size and type, and is allocated otherwise.
void prepareDestination(const cv::Mat &src, cv::Mat &dst)
{
    if (dst.data != src.data)
        dst.create(src.size(), src.type());
}

// OpenCV filters may hand back fresh pixels; a destination that wraps the
// caller's buffer must see them.
void storeInto(const cv::Mat &result, cv::Mat &dst)
{
    if (result.data == dst.data)
        return;
    result.copyTo(dst);
}

// out = (int)(255 * pow(c / 255, e)) with e = 2^((128 - m) / 128), for every
// blurred mask byte m and channel byte c.
const std::vector<uchar> &localGammaTable()
{
    static const std::vector<uchar> table = [] {
        std::vector<uchar> t(256 * 256);
        for (int m = 0; m < 256; ++m) {
            const float e = float(std::pow(2.0, (128 - m) * 0.0078125));
            for (int c = 0; c < 256; ++c) {
                const int v = int(255 * std::pow(c / 255.0, double(e)));
                t[size_t(m) * 256 + size_t(c)] = uchar(std::clamp(v, 0, 255));
            }
        }
        return t;
    }();
    return table;
}

// Counts of all three channel bytes of every pixel together, counted in
// parallel row bands.
std::array<int64_t, 256> byteHistogram(const cv::Mat &src)
{
    std::array<int64_t, 256> hist{};
    std::mutex lock;
    const int rowBytes = src.cols * 3;
    forRowBands(src.rows, [&](int y0, int y1) {
        // Four tables, so that runs of one byte value do not wait on one
        // counter.
        std::vector<uint32_t> counts(4 * 256, 0);
        for (int y = y0; y < y1; ++y) {
            const uchar *p = src.ptr<uchar>(y);
            int x = 0;
            for (; x + 4 <= rowBytes; x += 4) {
                ++counts[p[x]];
                ++counts[256 + p[x + 1]];
                ++counts[512 + p[x + 2]];
                ++counts[768 + p[x + 3]];
            }
            for (; x < rowBytes; ++x)
                ++counts[p[x]];
        }
        std::lock_guard<std::mutex> hold(lock);
        for (size_t i = 0; i < 256; ++i)
            hist[i] += int64_t(counts[i]) + counts[256 + i] + counts[512 + i] + counts[768 + i];
    });
    return hist;
}

// A whole-picture plane of the engine, in huge pages where the system has
// them; kept when it already has this size and type.
void createPlane(cv::Mat &m, cv::Size size, int type)
{
    if (m.size() == size && m.type() == type && m.isContinuous())
        return;
    m.release();
    m.create(size, type);
    IQAdviseHugePages(m.data, m.total() * m.elemSize());
}

void applyByteMap(const cv::Mat &src, cv::Mat &dst, const uchar *map)
{
    prepareDestination(src, dst);
    const int rowBytes = src.cols * 3;
    forRowBands(src.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *s = src.ptr<uchar>(y);
            uchar *d = dst.ptr<uchar>(y);
            for (int x = 0; x < rowBytes; ++x)
                d[x] = map[s[x]];
        }
    });
}

} // namespace

IQHDRToneEngine::IQHDRToneEngine()
    : highlightMean(0, 0, 0, 0), shadowMean(0, 0, 0, 0), noiseState(uint32_t(std::time(nullptr)))
{
    params.reset();
}

IQHDRToneEngine::~IQHDRToneEngine() = default;

IQFilterScratch &IQHDRToneEngine::scratch()
{
    if (!m_scratch)
        m_scratch = std::make_unique<IQFilterScratch>();
    return *m_scratch;
}

cv::CLAHE &IQHDRToneEngine::equaliser()
{
    if (!m_clahe)
        m_clahe = cv::createCLAHE();
    return *m_clahe;
}

void IQHDRToneEngine::setParams(const IQHDRToneParams &p)
{
    params = p;
}

void IQHDRToneEngine::setSource(const IQBGRData &data)
{
    if (!data.data || data.width == 0 || data.height <= 0
        || int64_t(data.bytesPerLine) < int64_t(data.width) * 3 || data.width > uint32_t(INT32_MAX / 3))
        CV_Error(cv::Error::StsBadArg, "the source buffer is empty or its rows are too short");
    source = cv::Mat(data.height, int(data.width), CV_8UC3, data.data, size_t(data.bytesPerLine));
    analyseSource();
}

void IQHDRToneEngine::analyseSource()
{
    requireBgr(source, "the source");
    createPlane(highlightWeight, source.size(), CV_32FC1);
    createPlane(shadowWeight, source.size(), CV_32FC1);
    // Per-pixel work, done in row bands to keep the float copies small.
    forRowBands(source.rows, [&](int y0, int y1) {
        cv::Mat hw = highlightWeight.rowRange(y0, y1);
        cv::Mat sw = shadowWeight.rowRange(y0, y1);
        IQToneWeights(source.rowRange(y0, y1), hw, sw);
    });
    highlightMean = cv::mean(highlightWeight);
    shadowMean = cv::mean(shadowWeight);
    // weight >= mean as OpenCV compares a float plane with a scalar: against
    // the mean rounded to float.
    createPlane(highlightMask, source.size(), CV_8UC1);
    createPlane(shadowMask, source.size(), CV_8UC1);
    const float highlightLimit = float(highlightMean[0]);
    const float shadowLimit = float(shadowMean[0]);
    forRowBands(source.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const float *hw = highlightWeight.ptr<float>(y);
            const float *sw = shadowWeight.ptr<float>(y);
            uchar *hm = highlightMask.ptr<uchar>(y);
            uchar *sm = shadowMask.ptr<uchar>(y);
            for (int x = 0; x < source.cols; ++x) {
                hm[x] = hw[x] >= highlightLimit ? 255 : 0;
                sm[x] = sw[x] >= shadowLimit ? 255 : 0;
            }
        }
    });

    // Set up now what the first detail pass would: OpenCV's colour tables,
    // the equaliser, and the planes that CLAHE and the non-local means use.
    IQPrepareLabTables();
    equaliser();
    for (int slot = 0; slot < 3; ++slot) {
        cv::Mat plane = scratch().plane(slot, source.rows, source.cols, slot == 0 ? CV_8UC3 : CV_8UC1);
        IQTouchPages(plane.data, plane.total() * plane.elemSize());
    }
}

double IQHDRToneEngine::fastPow(double a, double b)
{
    return IQToneByte::fastPow(a, b);
}

void IQHDRToneEngine::tonePass(const cv::Mat &src, cv::Mat &dst, int v, const cv::Mat &mask, const cv::Mat &weight,
                               double mean, bool highlights)
{
    requireBgr(src, "the picture");
    if (mask.size() != src.size() || weight.size() != src.size())
        CV_Error(cv::Error::StsUnmatchedSizes, "the picture does not match the analysed source");
    prepareDestination(src, dst);

    const IQToneStrength strength(v, mean, highlights);
    // Masked pixels share one exponent: their bytes come from a table.
    const IQToneByte::Inputs &inputs = IQToneByte::inputs();
    uchar maskedTable[256];
    for (int c = 0; c < 256; ++c)
        maskedTable[c] = IQToneByte::byteOf(inputs, c, strength.maskedInvG(), strength.maskedDivisor());

    // Replacing is std::true_type when some weights take another strength
    // than the formula's; those pixels read their bytes from a row.
    const auto run = [&](auto replacing) {
        forRowBands(src.rows, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const uchar *sp = src.ptr<uchar>(y);
                uchar *dp = dst.ptr<uchar>(y);
                const uchar *mp = mask.ptr<uchar>(y);
                const float *wp = weight.ptr<float>(y);
                for (int x = 0; x < src.cols; ++x) {
                    const uchar *in = sp + 3 * x;
                    uchar *out = dp + 3 * x;
                    const uchar *table = maskedTable;
                    if (replacing && strength.replaces(wp[x])) {
                        table = strength.replacedRow(wp[x]);
                    } else if (mp[x] != 255) {
                        // All three channels share 1 / g and 1 - k, both
                        // positive, so the channels keep their order.
                        float invG, divisor;
                        strength.formula(wp[x], invG, divisor);
                        out[0] = IQToneByte::byteOf(inputs, in[0], invG, divisor);
                        out[1] = IQToneByte::byteOf(inputs, in[1], invG, divisor);
                        out[2] = IQToneByte::byteOf(inputs, in[2], invG, divisor);
                        continue;
                    }
                    out[0] = table[in[0]];
                    out[1] = table[in[1]];
                    out[2] = table[in[2]];
                }
            }
        });
    };
    if (strength.followsFormula())
        run(std::false_type());
    else
        run(std::true_type());
}

void IQHDRToneEngine::recoverHighlights(const cv::Mat &src, cv::Mat &dst, int v)
{
    tonePass(src, dst, v, highlightMask, highlightWeight, highlightMean[0], true);
}

void IQHDRToneEngine::recoverShadows(const cv::Mat &src, cv::Mat &dst, int v)
{
    tonePass(src, dst, v, shadowMask, shadowWeight, shadowMean[0], false);
}

void IQHDRToneEngine::applyHighlightShadow(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    // The first pass reads src directly; that equals copying first.
    if (params.highlight != 0) {
        recoverHighlights(src, dst, params.highlight);
        if (params.shadow != 0)
            recoverShadows(dst, dst, params.shadow);
    } else if (params.shadow != 0) {
        recoverShadows(src, dst, params.shadow);
    } else if (src.data != dst.data) {
        src.copyTo(dst);
    }
}

void IQHDRToneEngine::applyDetailChain(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    if (src.data != dst.data)
        src.copyTo(dst);
    if (params.localGamma)
        applyLocalGamma(dst, dst);
    if (params.clahe)
        applyClahe(dst, dst, params.claheClip, cv::Size(8, 8));
    if (params.equalizeRounded)
        equalizeHistogramRounded(dst, dst);
    if (params.equalizeTruncated)
        equalizeHistogramTruncated(dst, dst);
    // Parallel forms of cv::detailEnhance(100, 0.1) and
    // cv::edgePreservingFilter(flags 1, 60, 0.4), written in place.
    if (params.detailEnhance)
        IQDetailEnhance(dst, dst, 100.0f, 0.1f, &scratch());
    if (params.edgePreserve)
        IQEdgePreservingRecursive(dst, dst, 60.0f, 0.4f, &scratch());
    // The same bytes as cv::fastNlMeansDenoisingColored(5, 3, 7, 21), in place.
    if (params.denoiseColored)
        IQNonLocalMeansColored(dst, dst, 5.0f, 3.0f, 7, 21, &scratch());
    if (params.addNoise)
        addNoise(dst, dst, 25);
}

void IQHDRToneEngine::applyLocalGamma(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    cv::Mat mask(src.size(), CV_8UC1);
    forRowBands(src.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *p = src.ptr<uchar>(y);
            uchar *m = mask.ptr<uchar>(y);
            for (int x = 0; x < src.cols; ++x) {
                const int grey = int((p[3 * x] + 2 * p[3 * x + 1]) / 3.0);
                m[x] = uchar(255 - grey);
            }
        }
    });
    cv::GaussianBlur(mask, mask, cv::Size(41, 41), 4.0, 0, cv::BORDER_DEFAULT);

    prepareDestination(src, dst);
    const uchar *table = localGammaTable().data();
    forRowBands(src.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *s = src.ptr<uchar>(y);
            uchar *d = dst.ptr<uchar>(y);
            const uchar *m = mask.ptr<uchar>(y);
            for (int x = 0; x < src.cols; ++x) {
                const uchar *row = table + size_t(m[x]) * 256;
                d[3 * x] = row[s[3 * x]];
                d[3 * x + 1] = row[s[3 * x + 1]];
                d[3 * x + 2] = row[s[3 * x + 2]];
            }
        }
    });
}

void IQHDRToneEngine::applyClahe(const cv::Mat &src, cv::Mat &dst, double clip, cv::Size tiles)
{
    requireBgr(src, "the picture");
    // Lab in scratch slot 0, its lightness in slot 1, the equalised
    // lightness in slot 2; the result goes straight into dst.
    const int rows = src.rows;
    const int cols = src.cols;
    cv::Mat lab = scratch().plane(0, rows, cols, CV_8UC3);
    cv::cvtColor(src, lab, cv::COLOR_BGR2Lab);
    cv::Mat lightness = scratch().plane(1, rows, cols, CV_8UC1);
    forRowBands(rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *p = lab.ptr<uchar>(y);
            uchar *l = lightness.ptr<uchar>(y);
            for (int x = 0; x < cols; ++x)
                l[x] = p[3 * x];
        }
    });
    cv::Mat equalised = scratch().plane(2, rows, cols, CV_8UC1);
    cv::CLAHE &clahe = equaliser();
    clahe.setClipLimit(clip);
    clahe.setTilesGridSize(tiles);
    clahe.apply(lightness, equalised);
    forRowBands(rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = lab.ptr<uchar>(y);
            const uchar *l = equalised.ptr<uchar>(y);
            for (int x = 0; x < cols; ++x)
                p[3 * x] = l[x];
        }
    });
    prepareDestination(src, dst);
    cv::Mat out = dst;
    cv::cvtColor(lab, out, cv::COLOR_Lab2BGR);
    storeInto(out, dst);
}

void IQHDRToneEngine::equalizeHistogramRounded(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    const std::array<int64_t, 256> hist = byteHistogram(src);
    const double total = double(src.rows) * double(src.cols) * 3;
    uchar map[256];
    float cumulative = 0;
    for (int i = 0; i < 256; ++i) {
        const float p = float(double(hist[size_t(i)]) / total);
        cumulative += p;
        const double v = std::rint(cumulative * 255 + 0.5);
        map[i] = uchar(std::clamp(v, 0.0, 255.0));
    }
    applyByteMap(src, dst, map);
}

void IQHDRToneEngine::equalizeHistogramTruncated(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    const std::array<int64_t, 256> hist = byteHistogram(src);
    const double total = double(src.rows) * double(src.cols) * 3;
    uchar map[256];
    int64_t cumulative = 0;
    for (int i = 0; i < 256; ++i) {
        cumulative += hist[size_t(i)];
        map[i] = uchar(std::clamp(int(double(cumulative) / total * 255.0), 0, 255));
    }
    applyByteMap(src, dst, map);
}

cv::Mat IQHDRToneEngine::drawHistogram(const cv::Mat &src, int width, int height) const
{
    requireBgr(src, "the picture");
    width = std::max(width, 256);
    height = std::max(height, 16);
    cv::Mat canvas(height, width, CV_8UC3, cv::Scalar::all(0));
    const cv::Scalar colours[3] = {cv::Scalar(255, 0, 0), cv::Scalar(0, 255, 0), cv::Scalar(0, 0, 255)};
    const int histSize = 256;
    const float range[] = {0, 256};
    const float *ranges[] = {range};
    const double binWidth = double(width) / histSize;
    for (int c = 0; c < 3; ++c) {
        cv::Mat hist;
        const int channel = c;
        cv::calcHist(&src, 1, &channel, cv::Mat(), hist, 1, &histSize, ranges);
        cv::normalize(hist, hist, 0, height, cv::NORM_MINMAX);
        for (int i = 0; i < histSize; ++i) {
            const int barHeight = cvRound(hist.at<float>(i));
            if (barHeight <= 0)
                continue;
            const cv::Point topLeft(cvRound(i * binWidth), height - barHeight);
            const cv::Point bottomRight(cvRound((i + 1) * binWidth) - 1, height - 1);
            // Channels add up where they overlap.
            cv::Mat bar = canvas(cv::Rect(topLeft, bottomRight + cv::Point(1, 1)));
            cv::add(bar, colours[c], bar);
        }
    }
    return canvas;
}

void IQHDRToneEngine::enhanceDetail(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    cv::Mat out;
    IQDetailEnhance(src, out, 100.0f, 0.1f);
    prepareDestination(src, dst);
    storeInto(out, dst);
}

void IQHDRToneEngine::applyGammaLut(const cv::Mat &src, cv::Mat &dst, double g)
{
    if (src.empty() || src.depth() != CV_8U || (src.channels() != 1 && src.channels() != 3))
        CV_Error(cv::Error::StsBadArg, "the picture must be an 8-bit one- or three-channel picture");
    if (!(g > 0) || !std::isfinite(g))
        CV_Error(cv::Error::StsOutOfRange, "the gamma must be a positive number");
    cv::Mat lut(1, 256, CV_8U);
    for (int i = 0; i < 256; ++i)
        lut.at<uchar>(i) = cv::saturate_cast<uchar>(std::round(255 * std::pow(i / 255.0, g)));
    cv::Mat out;
    cv::LUT(src, lut, out);
    if (dst.data != src.data)
        dst.create(src.size(), src.type());
    storeInto(out, dst);
}

void IQHDRToneEngine::equalizeLuma(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    cv::Mat ycc;
    cv::cvtColor(src, ycc, cv::COLOR_BGR2YCrCb);
    std::vector<cv::Mat> planes;
    cv::split(ycc, planes);
    cv::Mat luma;
    cv::equalizeHist(planes[0], luma);
    planes[0] = luma;
    cv::merge(planes, ycc);
    cv::Mat out;
    cv::cvtColor(ycc, out, cv::COLOR_YCrCb2BGR);
    prepareDestination(src, dst);
    storeInto(out, dst);
}

void IQHDRToneEngine::equalizeChannels(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    std::vector<cv::Mat> planes;
    cv::split(src, planes);
    for (cv::Mat &plane : planes) {
        cv::Mat equalised;
        cv::equalizeHist(plane, equalised);
        plane = equalised;
    }
    cv::Mat out;
    cv::merge(planes, out);
    prepareDestination(src, dst);
    storeInto(out, dst);
}

void IQHDRToneEngine::applyLevels(const cv::Mat &src, cv::Mat &dst)
{
    requireBgr(src, "the picture");
    const double total = double(src.total());
    const double clip = total * 0.005;
    int low[3], high[3];
    for (int c = 0; c < 3; ++c) {
        int64_t hist[256] = {};
        for (int y = 0; y < src.rows; ++y) {
            const uchar *p = src.ptr<uchar>(y);
            for (int x = 0; x < src.cols; ++x)
                ++hist[p[3 * x + c]];
        }
        int lo = 0, hi = 255;
        double sum = 0;
        while (lo < 255 && sum + double(hist[lo]) <= clip)
            sum += double(hist[lo++]);
        sum = 0;
        while (hi > 0 && sum + double(hist[hi]) <= clip)
            sum += double(hist[hi--]);
        if (hi <= lo) {
            lo = 0;
            hi = 255;
        }
        low[c] = lo;
        high[c] = hi;
    }
    qDebug("levels: B %d-%d, G %d-%d, R %d-%d", low[0], high[0], low[1], high[1], low[2], high[2]);
    uchar maps[3][256];
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            maps[c][i] = cv::saturate_cast<uchar>((i - low[c]) * 255.0 / (high[c] - low[c]));
    prepareDestination(src, dst);
    forRowBands(src.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *s = src.ptr<uchar>(y);
            uchar *d = dst.ptr<uchar>(y);
            for (int x = 0; x < src.cols; ++x) {
                d[3 * x] = maps[0][s[3 * x]];
                d[3 * x + 1] = maps[1][s[3 * x + 1]];
                d[3 * x + 2] = maps[2][s[3 * x + 2]];
            }
        }
    });
}

void IQHDRToneEngine::seedNoise(uint32_t seed)
{
    noiseState = seed;
}

void IQHDRToneEngine::addNoise(const cv::Mat &ref, cv::Mat &dst, int amount)
{
    const int a = std::min(amount, 50);
    if (a <= 0)
        return;
    requireBgr(ref, "the picture");
    if (dst.data != ref.data) {
        requireBgr(dst, "the destination");
        if (dst.size() != ref.size())
            CV_Error(cv::Error::StsUnmatchedSizes, "the destination does not match the picture");
    }
    // One draw per byte in row order. Each band starts its own generator at
    // the state the single sequence would have reached there, so the bytes
    // are the same as drawing them one after another.
    const int rowBytes = ref.cols * 3;
    const uint32_t start = noiseState;
    forRowBands(ref.rows, [&](int y0, int y1) {
        Rand15 rng(advanceNoiseState(start, uint64_t(y0) * uint64_t(rowBytes)));
        for (int y = y0; y < y1; ++y) {
            uchar *d = dst.ptr<uchar>(y);
            for (int x = 0; x < rowBytes; ++x) {
                const int v = d[x] + rng.next() % (2 * a) - a;
                d[x] = uchar(std::clamp(v, 0, 255));
            }
        }
    });
    noiseState = advanceNoiseState(start, uint64_t(ref.rows) * uint64_t(rowBytes));
}

uint32_t IQHDRToneEngine::advanceNoiseState(uint32_t state, uint64_t steps)
{
    // Compose the generator's step x -> 214013 x + 2531011 (mod 2^32) by
    // repeated squaring.
    uint32_t mul = 214013u, add = 2531011u;
    uint32_t accMul = 1u, accAdd = 0u;
    while (steps) {
        if (steps & 1u) {
            accMul = accMul * mul;
            accAdd = accAdd * mul + add;
        }
        add = add * mul + add;
        mul = mul * mul;
        steps >>= 1;
    }
    return accMul * state + accAdd;
}
