#include "ToneEngine.h"
#include "ToneEngineData.h"

#include <cstddef>
#include <cstring>

namespace {

// The darkening factors never exceed 4095/4096; the clamp only guards the table.
inline uint32_t clampLinear(uint32_t v)
{
    return v > 4095 ? 4095 : v;
}

int samplesPerPixel(int format)
{
    return (format == ADJUST_FORMAT_BGR24 || format == ADJUST_FORMAT_BGR48) ? 3 : 1;
}

void mapBytes(const ToneSurface& s, const uint8_t* map)
{
    const size_t n = static_cast<size_t>(s.width) * samplesPerPixel(s.format);
    for (int y = 0; y < s.height; ++y) {
        uint8_t* p = s.pixels + static_cast<ptrdiff_t>(y) * s.stride;
        for (size_t i = 0; i < n; ++i)
            p[i] = map[p[i]];
    }
}

// Words are read and written bytewise: a caller's stride need not keep them aligned.
template <typename F>
void mapWords(const ToneSurface& s, F f)
{
    const size_t n = static_cast<size_t>(s.width) * samplesPerPixel(s.format);
    for (int y = 0; y < s.height; ++y) {
        uint8_t* p = s.pixels + static_cast<ptrdiff_t>(y) * s.stride;
        for (size_t i = 0; i < n; ++i, p += 2) {
            uint16_t w;
            std::memcpy(&w, p, 2);
            w = f(w);
            std::memcpy(p, &w, 2);
        }
    }
}

int applyStrength(ToneEngine* e, int strength, const ToneSurface& s)
{
    if (ToneCheckSurface(s, ADJUST_FORMAT_BGR24, ADJUST_FORMAT_GRAY16) != PE_OK)
        return PE_ERR_ARGUMENT;
    if (strength == 0 || s.width == 0 || s.height == 0)
        return PE_OK;
    if (s.format <= ADJUST_FORMAT_GRAY8) {
        if (e->strength8Of != strength) {
            ToneBuildStrengthCurve8(e->strength8, strength);
            for (int v = 0; v < 256; ++v)
                e->strengthMap8[v] = e->encode8[e->strength8[e->linearise8[v]]];
            e->strength8Of = strength;
        }
        mapBytes(s, e->strengthMap8);
    } else {
        if (e->strength16Of != strength) {
            ToneBuildStrengthCurve16(e->strength16, strength);
            e->strength16Of = strength;
        }
        const uint16_t* lin = e->linearise16;
        const uint16_t* curve = e->strength16;
        const uint16_t* enc = e->encode16;
        mapWords(s, [=](uint16_t w) { return enc[curve[lin[w]]]; });
    }
    return PE_OK;
}

int applyGain(ToneEngine* e, const ToneSurface& s)
{
    if (ToneCheckSurface(s, ADJUST_FORMAT_BGR24, ADJUST_FORMAT_GRAY8) != PE_OK)
        return PE_ERR_ARGUMENT;
    // Before ToneBuildCurves there is no curve to read.
    if (!e->gainCurveBuilt)
        return PE_ERR_ARGUMENT;
    if (s.width == 0 || s.height == 0)
        return PE_OK;
    const uint16_t* t = e->gainCurve;
    const uint16_t* lin = e->linearise8;
    const uint8_t* enc = e->encode8;
    if (e->gain >= 1.0) {
        uint8_t map[256];
        for (int v = 0; v < 256; ++v)
            map[v] = enc[t[lin[v]]];
        mapBytes(s, map);
        return PE_OK;
    }
    for (int y = 0; y < s.height; ++y) {
        uint8_t* p = s.pixels + static_cast<ptrdiff_t>(y) * s.stride;
        if (s.format == ADJUST_FORMAT_BGR24) {
            for (int x = 0; x < s.width; ++x, p += 3) {
                const uint32_t lb = lin[p[0]], lg = lin[p[1]], lr = lin[p[2]];
                const uint32_t f = t[(117 * lb + 601 * lg + 306 * lr) >> 10];
                p[0] = enc[clampLinear((lb * f) >> 12)];
                p[1] = enc[clampLinear((lg * f) >> 12)];
                p[2] = enc[clampLinear((lr * f) >> 12)];
            }
        } else {
            for (int x = 0; x < s.width; ++x) {
                const uint32_t l = lin[p[x]];
                p[x] = enc[clampLinear((l * t[l]) >> 12)];
            }
        }
    }
    return PE_OK;
}

int applyContrast(ToneEngine* e, int strength, const ToneSurface& s)
{
    if (ToneCheckSurface(s, ADJUST_FORMAT_BGR24, ADJUST_FORMAT_GRAY16) != PE_OK)
        return PE_ERR_ARGUMENT;
    if (strength == 0 || s.width == 0 || s.height == 0)
        return PE_OK;
    if (s.format <= ADJUST_FORMAT_GRAY8) {
        if (e->contrast8Of != strength) {
            ToneBuildContrastCurve8(e->contrast8, strength);
            e->contrast8Of = strength;
        }
        mapBytes(s, e->contrast8);
    } else {
        if (e->contrast16Of != strength) {
            ToneBuildContrastCurve16(e->contrast16, strength);
            e->contrast16Of = strength;
        }
        const uint16_t* c = e->contrast16;
        mapWords(s, [=](uint16_t w) { return c[w]; });
    }
    return PE_OK;
}

ToneSurface surfaceOf(const AdjustImage* image)
{
    return ToneSurface{image->width, image->height, image->format, image->stride, image->pixels};
}

ToneSurface surfaceOf(const AdjustImageTile* tile)
{
    return ToneSurface{tile->tileWidth, tile->tileHeight, tile->format, tile->stride, tile->pixels};
}

} // namespace

int ToneApply(ToneEngine* engine, int strength, AdjustImage* image)
{
    if (!engine || !image)
        return PE_ERR_ARGUMENT;
    return applyStrength(engine, strength, surfaceOf(image));
}

int ToneApplyTile(ToneEngine* engine, int strength, AdjustImageTile* tile)
{
    if (!engine || !tile)
        return PE_ERR_ARGUMENT;
    return applyStrength(engine, strength, surfaceOf(tile));
}

int ToneApplyGain(ToneEngine* engine, AdjustImage* image)
{
    if (!engine || !image)
        return PE_ERR_ARGUMENT;
    return applyGain(engine, surfaceOf(image));
}

int ToneApplyGainTile(ToneEngine* engine, AdjustImageTile* tile)
{
    if (!engine || !tile)
        return PE_ERR_ARGUMENT;
    return applyGain(engine, surfaceOf(tile));
}

int ToneContrastApply(ToneEngine* engine, int strength, AdjustImage* image)
{
    if (!engine || !image)
        return PE_ERR_ARGUMENT;
    return applyContrast(engine, strength, surfaceOf(image));
}

int ToneContrastApplyTile(ToneEngine* engine, int strength, AdjustImageTile* tile)
{
    if (!engine || !tile)
        return PE_ERR_ARGUMENT;
    return applyContrast(engine, strength, surfaceOf(tile));
}
