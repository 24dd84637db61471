#pragma once
// Layout of the tone engine handle, shared by the files of the engine only.
#include <cstdint>

struct ToneEngine {
    uint8_t encode8[4096];
    uint16_t linearise8[256];
    uint16_t encode16[65536];
    uint16_t linearise16[65536];
    uint16_t gainCurve[4096];
    uint16_t strength8[4096];
    uint8_t contrast8[256];
    uint16_t strength16[65536];
    uint16_t contrast16[65536];
    uint32_t histBlue[256];
    uint32_t histGreen[256];
    uint32_t histRed[256];
    uint32_t histLuma[256];

    double gain;
    int32_t width;
    int32_t height;

    // Which parameters the curves were last built for (0 = never built:
    // strength 0 builds nothing), so they are rebuilt only on a change.
    bool gainCurveBuilt;
    int strength8Of;
    int strength16Of;
    int contrast8Of;
    int contrast16Of;
    // encode8[strength8[linearise8[v]]] for strength8Of.
    uint8_t strengthMap8[256];
};

// Geometry of one image or tile, checked against the formats an entry point takes.
struct ToneSurface {
    int width;
    int height;
    int format;
    int stride;
    uint8_t* pixels;
};

// 0 when usable (an empty surface is usable and means nothing to do), else -2.
int ToneCheckSurface(const ToneSurface& s, int lowestFormat, int highestFormat);

// Gain curve for a histogram level 0..255 into 4096 entries; returns the gain.
double ToneBuildGainCurve(uint16_t* table, int level);
