#include "IQAdjustEngine.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "AdjustBlur.h"
#include "AdjustColor.h"
#include "AdjustLut3d.h"
#include "AdjustVignette.h"
#include "AdjustWhiteBalance.h"
#include "PixelEngine.h"
#include "ToneEngine.h"

namespace {

// Runs fn(y0, y1) over row bands on OpenCV's pool. For per-pixel steps only:
// the result does not depend on the banding.
template <typename Fn>
void forRowBands(int rows, Fn &&fn)
{
    if (rows <= 0)
        return;
    const int bands = std::max(1, std::min(rows / 16, 256));
    if (bands == 1) {
        fn(0, rows);
        return;
    }
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range &r) {
        const int y0 = int(int64_t(rows) * r.start / bands);
        const int y1 = int(int64_t(rows) * r.end / bands);
        fn(y0, y1);
    });
}

// Several bands of the same kernel, for kernels that only look at one pixel
// at a time: each band is handed over as a picture of its own.
template <typename Kernel>
int bandedKernel(uint8_t *pixels, int height, int bytesPerLine, Kernel &&kernel)
{
    int result = 1;
    QMutex resultLock;
    forRowBands(height, [&](int y0, int y1) {
        const int rc = kernel(pixels + ptrdiff_t(y0) * bytesPerLine, y1 - y0);
        if (rc != 1) {
            QMutexLocker lock(&resultLock);
            result = rc;
        }
    });
    return result;
}

bool usable(const uint8_t *pixels, int width, int height, int bytesPerLine)
{
    return pixels && width > 0 && height > 0 && int64_t(bytesPerLine) >= int64_t(width) * 3;
}

inline uint8_t sepiaByte(double v)
{
    const float f = float(v);
    if (f < 0.0f)
        return 0;
    if (f > 255.0f)
        return 255;
    return uint8_t(f);
}

struct SepiaTables {
    SepiaTables()
    {
        static const double k[9] = {0.272, 0.534, 0.131, 0.349, 0.686, 0.168, 0.393, 0.769, 0.189};
        for (int i = 0; i < 9; ++i)
            for (int v = 0; v < 256; ++v)
                w[i][v] = k[i] * double(v);
    }
    double w[9][256];
};

} // namespace

IQAdjustEngine::IQAdjustEngine(int width, int height)
    : m_width(width), m_height(height), m_random(uint32_t(std::time(nullptr)))
{
    m_params.reset();
}

IQAdjustEngine::~IQAdjustEngine()
{
    QMutexLocker lock(&m_mutex);
    std::free(m_workBuffer);
    m_workBuffer = nullptr;
    if (m_tone)
        ToneDestroy(m_tone);
    if (m_whiteBalance)
        AdjustWhiteBalanceDestroy(m_whiteBalance);
}

void IQAdjustEngine::setParams(const IQAdjustParams &p)
{
    QMutexLocker lock(&m_mutex);
    m_params.assign(p);
}

IQAdjustParams IQAdjustEngine::getParams() const
{
    QMutexLocker lock(&m_mutex);
    return m_params;
}

float IQAdjustEngine::gammaExponent(int gamma)
{
    return float(float(gamma + 20) / 120.0f * 4.9 + 0.1);
}

int IQAdjustEngine::blurAmount(int blur)
{
    return int(float(blur) * 0.07f);
}

double IQAdjustEngine::randomFactor()
{
    QMutexLocker lock(&m_mutex);
    return 0.5 + 0.5 * m_random.next() / double(Rand15::Max);
}

uint8_t *IQAdjustEngine::workBuffer(size_t bytes)
{
    QMutexLocker lock(&m_mutex);
    return ensureWorkBuffer(bytes);
}

uint8_t *IQAdjustEngine::ensureWorkBuffer(size_t bytes)
{
    if (m_workBuffer && m_workBytes >= bytes)
        return m_workBuffer;
    // Sized from the picture actually handed over, not the size given at
    // construction.
    std::free(m_workBuffer);
    m_workBytes = 0;
    m_workBuffer = static_cast<uint8_t *>(std::malloc(std::max<size_t>(bytes, 1)));
    if (m_workBuffer)
        m_workBytes = bytes;
    return m_workBuffer;
}

bool IQAdjustEngine::prepareTone(AdjustImage *image)
{
    QMutexLocker lock(&m_mutex);
    return createTone(image);
}

bool IQAdjustEngine::createTone(AdjustImage *image)
{
    if (m_tone)
        return true;
    ToneEngine *tone = nullptr;
    if (ToneCreate(&tone) != PE_OK || !tone)
        return false;
    m_tone = tone;
    // The curves come from the first picture that reaches the tone step and
    // are kept for every later pass.
    ToneAnalyse(m_tone, image);
    ToneBuildCurves(m_tone);
    return true;
}

int IQAdjustEngine::apply(uint8_t *pixels, int width, int height, int bytesPerLine)
{
    QMutexLocker lock(&m_mutex);
    if (!usable(pixels, width, height, bytesPerLine))
        return PE_ERR_ARGUMENT;
    return applyLocked(pixels, width, height, bytesPerLine, m_params);
}

int IQAdjustEngine::applyLocked(uint8_t *pixels, int width, int height, int bytesPerLine,
                                const IQAdjustParams &p)
{
    AdjustImage image;
    image.width = width;
    image.height = height;
    image.format = ADJUST_FORMAT_BGR24;
    image.stride = bytesPerLine;
    image.pixels = pixels;

    if (p.vibrance != 0)
        applyVibrance(pixels, pixels, width, height, bytesPerLine, p.vibrance);

    if (p.contrast != 0 || p.saturation != 0)
        bandedKernel(pixels, height, bytesPerLine, [&](uint8_t *band, int rows) {
            return AdjustContrastSaturationApply(band, width, rows, bytesPerLine, p.contrast, p.saturation);
        });

    if (p.brightness != 0 || (p.sharpness != 0 && !m_tone)) {
        if (!createTone(&image))
            return PE_ERR_NOMEM;
        if (p.brightness != 0)
            ToneApply(m_tone, p.brightness, &image);
    }

    if (p.sharpness != 0 && ToneSharpen(m_tone, p.sharpness, &image) == PE_ERR_NOMEM)
        return PE_ERR_NOMEM;

    if (p.gamma != 0) {
        const float e = gammaExponent(p.gamma);
        if (e != 0.0f)
            applyGamma(pixels, pixels, width, height, bytesPerLine, e);
    }

    if (p.temperature != 5000 || p.tint != 10) {
        if (!m_whiteBalance) {
            AdjustWhiteBalanceContext *wb = nullptr;
            if (AdjustWhiteBalanceCreate(&wb) != PE_OK || !wb)
                return PE_ERR_NOMEM;
            m_whiteBalance = wb;
        }
        // The white-balance kernels keep their matrix in process-wide state:
        // engines of different processors must not overlap here.
        static QMutex whiteBalanceLock;
        QMutexLocker wbLock(&whiteBalanceLock);
        AdjustWhiteBalanceParams wbParams;
        wbParams.mode = ADJUST_WB_MANUAL;
        wbParams.kelvin = p.temperature;
        wbParams.tint = p.tint;
        AdjustWhiteBalanceApply(m_whiteBalance, &wbParams, &image);
    }

    switch (p.mode) {
    case 1:
        bandedKernel(pixels, height, bytesPerLine,
                     [&](uint8_t *band, int rows) { return AdjustLut3dApply(band, width, rows, bytesPerLine); });
        break;
    case 2:
        bandedKernel(pixels, height, bytesPerLine, [&](uint8_t *band, int rows) {
            return AdjustGrayscaleApply(band, width, rows, bytesPerLine);
        });
        break;
    case 3:
        applySepia(pixels, width, height, bytesPerLine);
        break;
    default:
        break;
    }

    if (p.filterRed != 255 || p.filterGreen != 255 || p.filterBlue != 255)
        bandedKernel(pixels, height, bytesPerLine, [&](uint8_t *band, int rows) {
            return AdjustColorFilterApply(band, width, rows, bytesPerLine, p.filterRed, p.filterGreen,
                                          p.filterBlue, p.filterOpacity, p.filterBlend ? 1 : 0);
        });

    if (p.blur > 0) {
        // Levels 0 and 1 give the picture back unchanged: no copy needed.
        const int levels = blurAmount(p.blur);
        if (levels >= 2) {
            const size_t bytes = size_t(bytesPerLine) * size_t(height);
            if (!ensureWorkBuffer(bytes))
                return PE_ERR_NOMEM;
            std::memcpy(m_workBuffer, pixels, bytes);
            const int rc = AdjustBlurApply(m_workBuffer, width, height, bytesPerLine, pixels, levels, 50);
            if (rc == 0 || rc == PE_ERR_NOMEM)
                return PE_ERR_NOMEM;
        }
    }

    if (p.vignette != 0)
        AdjustVignetteApply(pixels, width, height, bytesPerLine, p.vignette);

    return 1;
}

void IQAdjustEngine::applyVibrance(const uint8_t *src, uint8_t *dst, int width, int height, int bytesPerLine,
                                   int vibrance)
{
    if (!src || !dst || width <= 0 || height <= 0 || bytesPerLine / width != 3)
        return;
    const int k = int(-std::clamp(vibrance, -100, 100) * 1.28);
    forRowBands(height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t *s = src + ptrdiff_t(y) * bytesPerLine;
            uint8_t *d = dst + ptrdiff_t(y) * bytesPerLine;
            for (int x = 0; x < width; ++x, s += 3, d += 3) {
                const int b = s[0], g = s[1], r = s[2];
                const int mx = std::max(b, std::max(g, r));
                const int f = (mx - ((b + 2 * g + r) >> 2)) * k;
                // The strongest channel gets (0 * f) >> 14 = 0, so it needs no
                // test of its own.
                d[0] = uint8_t(std::clamp(b + (((mx - b) * f) >> 14), 0, 255));
                d[1] = uint8_t(std::clamp(g + (((mx - g) * f) >> 14), 0, 255));
                d[2] = uint8_t(std::clamp(r + (((mx - r) * f) >> 14), 0, 255));
            }
        }
    });
}

void IQAdjustEngine::buildGammaTable(uint8_t table[256], float exponent)
{
    for (int i = 0; i < 256; ++i) {
        const float base = (float(i) + 0.5f) / 256;
        const float t = float(std::pow(double(base), double(exponent))) * 256.0f - 0.5f;
        // Exponents of 0 or below would give values above 255.
        table[i] = uint8_t(std::clamp(int(std::clamp(t, -1.0f, 256.0f)), 0, 255));
    }
}

void IQAdjustEngine::applyGamma(const uint8_t *src, uint8_t *dst, int width, int height, int bytesPerLine,
                                float exponent)
{
    if (!usable(src, width, height, bytesPerLine) || !dst)
        return;
    uint8_t table[256];
    buildGammaTable(table, exponent);
    const int rowBytes = width * 3;
    forRowBands(height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t *s = src + ptrdiff_t(y) * bytesPerLine;
            uint8_t *d = dst + ptrdiff_t(y) * bytesPerLine;
            for (int x = 0; x < rowBytes; ++x)
                d[x] = table[s[x]];
        }
    });
}

void IQAdjustEngine::applySepia(uint8_t *pixels, int width, int height, int bytesPerLine)
{
    if (!usable(pixels, width, height, bytesPerLine))
        return;
    // The products of each weight with every byte value, so a pixel costs
    // look-ups and additions; the sums are formed in the same order as
    // 0.272 R + 0.534 G + 0.131 B, so the doubles are the same.
    static const SepiaTables tables;
    forRowBands(height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t *p = pixels + ptrdiff_t(y) * bytesPerLine;
            for (int x = 0; x < width; ++x, p += 3) {
                const int b = p[0], g = p[1], r = p[2];
                p[0] = sepiaByte(tables.w[0][r] + tables.w[1][g] + tables.w[2][b]);
                p[1] = sepiaByte(tables.w[3][r] + tables.w[4][g] + tables.w[5][b]);
                p[2] = sepiaByte(tables.w[6][r] + tables.w[7][g] + tables.w[8][b]);
            }
        }
    });
}
