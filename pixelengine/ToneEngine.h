#pragma once
// Tone engine: histogram analysis, an automatic gain curve, brightness
// (strength) and contrast curves, applied through linear-light tables.
#include "PixelEngine.h"

#include <cstdint>

struct ToneEngine;

// Record of the tile forms: the tile's pixels inside a larger picture.
struct AdjustImageTile {
    int32_t fullWidth = 0;
    int32_t fullHeight = 0;
    int32_t format = ADJUST_FORMAT_BGR24;
    int32_t tileWidth = 0;
    int32_t tileHeight = 0;
    int32_t unused[3] = {0, 0, 0};
    int32_t stride = 0;
    uint8_t* pixels = nullptr;
};

// 0; -201 when memory runs out (the out-pointer is then not written).
int ToneCreate(ToneEngine** engine);
int ToneDestroy(ToneEngine* engine);

// Histograms of a format 1 or 2 image. 0; -2 for a null engine, another
// format or an unusable geometry.
int ToneAnalyse(ToneEngine* engine, const AdjustImage* image);
// The same over one tile; the histograms are cleared only when reset != 0.
int ToneAnalyseTile(ToneEngine* engine, const AdjustImageTile* tile, int reset);

// Gain and gain curve from the histograms. 0; -2 for a null engine.
int ToneBuildCurves(ToneEngine* engine);

// Brightness curve (strength -100..100) in linear light; formats 1..4.
int ToneApply(ToneEngine* engine, int strength, AdjustImage* image);
int ToneApplyTile(ToneEngine* engine, int strength, AdjustImageTile* tile);

// The gain curve of ToneBuildCurves; formats 1 and 2. -2 also when the
// curves have not been built yet.
int ToneApplyGain(ToneEngine* engine, AdjustImage* image);
int ToneApplyGainTile(ToneEngine* engine, AdjustImageTile* tile);

// Contrast curve (strength -100..100) on the stored values; formats 1..4.
int ToneContrastApply(ToneEngine* engine, int strength, AdjustImage* image);
int ToneContrastApplyTile(ToneEngine* engine, int strength, AdjustImageTile* tile);

// Unsharp mask on a format 1 image; the engine is not read. The unsharp
// mask's result (0 or -201); -2 for another format or an unusable geometry.
int ToneSharpen(ToneEngine* engine, int amount, AdjustImage* image);

// Curve builders: 4096 or 65536 entries for the strength curves, 256 or
// 65536 for the contrast curves.
int ToneBuildStrengthCurve8(uint16_t* table, int strength);
int ToneBuildStrengthCurve16(uint16_t* table, int strength);
int ToneBuildContrastCurve8(uint8_t* table, int strength);
int ToneBuildContrastCurve16(uint16_t* table, int strength);

// Inspection of an engine's analysis: the gain chosen by ToneBuildCurves
// (0 before it ran), the 4096-entry gain curve (null before it ran) and the
// four 256-bin histograms in blue, green, red, luma order.
double ToneGain(const ToneEngine* engine);
const uint16_t* ToneGainCurve(const ToneEngine* engine);
const uint32_t* ToneHistogram(const ToneEngine* engine, int which);
