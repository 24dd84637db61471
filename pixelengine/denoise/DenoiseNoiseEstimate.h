#pragma once
// Measures a noise profile from the picture itself: per plane and pyramid
// level a histogram of local brightness against local variance, the typical
// variance of each brightness row, and a smooth curve through it.
#include <cstdint>

#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"

struct DenoisePool;

constexpr int DENOISE_HIST_ROW_BITS = 8;
constexpr int DENOISE_HIST_COLUMN_BITS = 6;
constexpr int DENOISE_HIST_BINS = 1 << (DENOISE_HIST_ROW_BITS + DENOISE_HIST_COLUMN_BITS);

// 32-bit bins: 16-bit ones wrap on large smooth pictures.
struct DenoiseHistograms {
    uint32_t channels = 0;
    uint32_t levels[3] = {0, 0, 0};
    uint32_t* bins[3][4] = {};
};

int DenoiseHistogramsCreate(DenoiseMemHandle handle, DenoiseHistograms* h, int channels, int lumaLevels,
                            int chromaLevels);
void DenoiseHistogramsFree(DenoiseMemHandle handle, DenoiseHistograms* h);

// 0 for fewer than 614,400 pixels, 1 below 2,457,600, else 2.
int DenoiseSizeClass(int64_t pixels);
// Budget of one estimation tile (64-bit terms).
int64_t DenoiseScratchSize(int64_t w, int64_t h, uint32_t layout, int lumaLevels, int chromaLevels, int64_t margin,
                           int workers);

// Sets the profile up for the layout and depths, then measures it over the
// whole picture of `source` (a normalised engine descriptor), on the pool's
// workers when there is a pool.
int DenoiseProfileEstimate(DenoiseMemHandle handle, DenoiseProfile* profile, const DenoisePlaneDesc* source,
                           int lumaLevels, int chromaLevels, DenoisePool* pool);
int DenoiseProfileEstimateFromHistograms(DenoiseMemHandle handle, DenoisePool* pool, DenoiseProfile* profile,
                                         const DenoisePlaneDesc* source);
// Adds the histograms of one picture rectangle {x0, y0, x1, y1}, tile after
// tile on the calling thread.
int DenoiseHistogramsFill(DenoiseMemHandle handle, DenoiseHistograms* h, const DenoisePlaneDesc* source,
                          const int32_t rect[4]);
// The same counts with the tiles shared out among the pool's workers (on
// the calling thread without a pool). On failure the code is that of the
// first tile that failed, and h holds partial counts.
constexpr int DENOISE_MAX_POOL_LANES = 16;
int DenoiseHistogramsFillOnPool(DenoiseMemHandle handle, DenoiseHistograms* h, const DenoisePlaneDesc* source,
                                const int32_t rect[4], DenoisePool* pool);
void DenoiseProfileFromHistograms(DenoiseProfile* profile, const DenoiseHistograms* h, int64_t pixels);
void DenoiseProfileTableFromHistogram(DenoiseProfileEntry* entry, const uint32_t* bins,
                                      const DenoiseProfileEntry* reference);
void DenoiseNoiseCurveFit(uint8_t* table, int bits, const uint32_t* bins, const uint8_t* reference);
// Typical noise of one row of `columns` bins: (noise, count).
void DenoiseHistogramPeak(const uint32_t* row, int columns, int* noise, uint32_t* count);
