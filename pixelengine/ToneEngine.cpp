#include "ToneEngine.h"

#include "AdjustWhiteBalanceSrgb.h"
#include "ToneEngineData.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

int ToneCheckSurface(const ToneSurface& s, int lowestFormat, int highestFormat)
{
    if (s.format < lowestFormat || s.format > highestFormat)
        return PE_ERR_ARGUMENT;
    if (s.width < 0 || s.height < 0)
        return PE_ERR_ARGUMENT;
    if (s.width == 0 || s.height == 0)
        return PE_OK;
    static const int kBytesPerPixel[5] = {0, 3, 1, 6, 2};
    if (!s.pixels || static_cast<int64_t>(s.stride) < static_cast<int64_t>(s.width) * kBytesPerPixel[s.format])
        return PE_ERR_ARGUMENT;
    return PE_OK;
}

int ToneCreate(ToneEngine** engine)
{
    if (!engine)
        return PE_ERR_ARGUMENT;
    // Value-initialised: histograms, gain and size start at zero.
    auto* e = new (std::nothrow) ToneEngine();
    if (!e)
        return PE_ERR_NOMEM;
    AdjustBuildEncodeLut(e->encode8);
    AdjustBuildLinearLut(e->linearise8);
    for (int i = 0; i < 65536; ++i) {
        const double c = i / 65535.0;
        e->linearise16[i] = static_cast<uint16_t>(static_cast<int>(AdjustSrgbLinearise(c) * 65535.0 + 0.5));
        e->encode16[i] = static_cast<uint16_t>(static_cast<int>(AdjustSrgbEncode(c) * 65535.0 + 0.5));
    }
    *engine = e;
    return PE_OK;
}

int ToneDestroy(ToneEngine* engine)
{
    delete engine;
    return PE_OK;
}

namespace {

void analyseSurface(ToneEngine* e, const ToneSurface& s)
{
    // Channel bins depend on the byte alone, so the bytes are counted first
    // and mapped to bins once. Luma takes its weighted linear values from
    // per-channel tables. Two interleaved sets of counts keep neighbouring
    // equal pixels from waiting on each other's increments.
    const uint16_t* lin = e->linearise8;
    uint32_t wb[256], wg[256], wr[256];
    for (int v = 0; v < 256; ++v) {
        wb[v] = 117u * lin[v];
        wg[v] = 601u * lin[v];
        wr[v] = 306u * lin[v];
    }
    uint32_t raw[2][3][256];
    uint32_t luma[2][256];
    std::memset(raw, 0, sizeof raw);
    std::memset(luma, 0, sizeof luma);
    for (int y = 0; y < s.height; ++y) {
        const uint8_t* p = s.pixels + static_cast<ptrdiff_t>(y) * s.stride;
        if (s.format == ADJUST_FORMAT_BGR24) {
            int x = 0;
            for (; x + 1 < s.width; x += 2, p += 6) {
                const uint8_t b0 = p[0], g0 = p[1], r0 = p[2], b1 = p[3], g1 = p[4], r1 = p[5];
                ++raw[0][0][b0];
                ++raw[0][1][g0];
                ++raw[0][2][r0];
                ++luma[0][(wb[b0] + wg[g0] + wr[r0]) >> 14];
                ++raw[1][0][b1];
                ++raw[1][1][g1];
                ++raw[1][2][r1];
                ++luma[1][(wb[b1] + wg[g1] + wr[r1]) >> 14];
            }
            if (x < s.width) {
                ++raw[0][0][p[0]];
                ++raw[0][1][p[1]];
                ++raw[0][2][p[2]];
                ++luma[0][(wb[p[0]] + wg[p[1]] + wr[p[2]]) >> 14];
            }
        } else {
            int x = 0;
            for (; x + 1 < s.width; x += 2) {
                ++raw[0][0][p[x]];
                ++raw[1][0][p[x + 1]];
            }
            if (x < s.width)
                ++raw[0][0][p[x]];
        }
    }
    uint32_t* out[3] = {e->histBlue, e->histGreen, e->histRed};
    if (s.format == ADJUST_FORMAT_BGR24) {
        for (int v = 0; v < 256; ++v) {
            const int bin = lin[v] >> 4;
            for (int c = 0; c < 3; ++c)
                out[c][bin] += raw[0][c][v] + raw[1][c][v];
            e->histLuma[v] += luma[0][v] + luma[1][v];
        }
    } else {
        // Grey counts every sample in all four histograms.
        for (int v = 0; v < 256; ++v) {
            const uint32_t n = raw[0][0][v] + raw[1][0][v];
            const int bin = lin[v] >> 4;
            for (int c = 0; c < 3; ++c)
                out[c][bin] += n;
            e->histLuma[bin] += n;
        }
    }
}

void clearHistograms(ToneEngine* e)
{
    std::memset(e->histBlue, 0, sizeof e->histBlue);
    std::memset(e->histGreen, 0, sizeof e->histGreen);
    std::memset(e->histRed, 0, sizeof e->histRed);
    std::memset(e->histLuma, 0, sizeof e->histLuma);
}

// Level of one histogram: the bin below the one where the count from the
// top first exceeds n.
int histogramLevel(const uint32_t* hist, int64_t n)
{
    int64_t sum = 0;
    for (int i = 255; i >= 0; --i) {
        sum += hist[i];
        if (sum > n)
            return i > 0 ? i - 1 : 0;
    }
    return 0;
}

} // namespace

int ToneAnalyse(ToneEngine* engine, const AdjustImage* image)
{
    if (!engine || !image)
        return PE_ERR_ARGUMENT;
    const ToneSurface s{image->width, image->height, image->format, image->stride, image->pixels};
    if (ToneCheckSurface(s, ADJUST_FORMAT_BGR24, ADJUST_FORMAT_GRAY8) != PE_OK)
        return PE_ERR_ARGUMENT;
    engine->width = image->width;
    engine->height = image->height;
    clearHistograms(engine);
    analyseSurface(engine, s);
    return PE_OK;
}

int ToneAnalyseTile(ToneEngine* engine, const AdjustImageTile* tile, int reset)
{
    if (!engine || !tile)
        return PE_ERR_ARGUMENT;
    const ToneSurface s{tile->tileWidth, tile->tileHeight, tile->format, tile->stride, tile->pixels};
    if (ToneCheckSurface(s, ADJUST_FORMAT_BGR24, ADJUST_FORMAT_GRAY8) != PE_OK)
        return PE_ERR_ARGUMENT;
    engine->width = tile->fullWidth;
    engine->height = tile->fullHeight;
    if (reset)
        clearHistograms(engine);
    analyseSurface(engine, s);
    return PE_OK;
}

int ToneBuildCurves(ToneEngine* engine)
{
    if (!engine)
        return PE_ERR_ARGUMENT;
    const int64_t n = static_cast<int64_t>(engine->width) * engine->height / 50;
    int level = histogramLevel(engine->histBlue, n);
    const uint32_t* others[3] = {engine->histGreen, engine->histRed, engine->histLuma};
    for (const uint32_t* h : others) {
        const int l = histogramLevel(h, n);
        if (l > level)
            level = l;
    }
    engine->gain = ToneBuildGainCurve(engine->gainCurve, level);
    engine->gainCurveBuilt = true;
    return PE_OK;
}

double ToneGain(const ToneEngine* engine)
{
    return engine ? engine->gain : 0.0;
}

const uint16_t* ToneGainCurve(const ToneEngine* engine)
{
    return engine && engine->gainCurveBuilt ? engine->gainCurve : nullptr;
}

const uint32_t* ToneHistogram(const ToneEngine* engine, int which)
{
    if (!engine)
        return nullptr;
    switch (which) {
    case 0: return engine->histBlue;
    case 1: return engine->histGreen;
    case 2: return engine->histRed;
    case 3: return engine->histLuma;
    default: return nullptr;
    }
}
