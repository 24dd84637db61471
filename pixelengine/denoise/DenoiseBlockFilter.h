#pragma once
// The denoiser's per-level filter: every block of 4 or 8 samples of a plane
// is left, blended toward its mean, rebuilt from the next coarser level, or
// replaced by a weighted average of similar blocks nearby.
#include <cstdint>

#include "denoise/DenoiseBlockKernels.h"
#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"

// One plane of one pyramid level. `width` and `height` include the margins;
// the active area lies inside them and needs at least 8 samples of margin on
// every side.
struct DenoiseLevelPlane {
    uint8_t* data = nullptr;          // sample (0, 0) of the full plane
    uint32_t layout = 0x10;           // 0x10 unsigned bytes, 0x110 signed bytes
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;                // in samples
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

constexpr int DENOISE_FILTER_MARGIN = 8;
// The block filter's work area, allocated once a plane: the block sums at the
// start, then the copy of the area the search can reach.
constexpr int DENOISE_WORK_AREA_BYTES = 4096;
constexpr int DENOISE_BLOCK_SUMS_BYTES = 256;

struct DenoiseLevelParams {
    int32_t keep = 256;               // 256 copies the plane unchanged
    int32_t set = 0;                  // 0 luminance, 1 chrominance
    int32_t level = 0;
    int32_t stage = 0;                // stage byte of this level
    int32_t profileFlag = 0;
    const DenoiseLevelPlane* coarser = nullptr;   // next coarser level, filtered
    const DenoiseLevelPlane* guide = nullptr;     // edge map at the noise map's resolution
};

struct DenoiseBlockParams {
    int32_t keep = 256;
    int32_t scale = 0;                // distance-to-weight scale, noise-map units
    int32_t step = 8;
    int32_t flat = 0;                 // flat-test multiplier, 0 disables it
    int32_t radius = 0;
    int32_t extension = 0;
    const DenoiseLevelPlane* coarser = nullptr;
    const DenoiseLevelPlane* guide = nullptr;
};

// Decodes the stage byte and filters `source` into `destination` (same
// geometry). 0, -801 for an unknown filter type, -2 for planes without the
// required margins or of different geometry, -201 when the work area cannot
// be allocated (the destination then holds the copy of the source).
int DenoiseLevelFilter(DenoiseMemHandle handle, const DenoiseLevelPlane* source, const DenoiseLevelBuffer* noiseMap,
                       const DenoiseLevelParams* params, DenoiseLevelPlane* destination);
// Fills the filter parameters a stage byte selects; -801 for an unknown type,
// 1 when the stage means "no filtering".
int DenoiseBlockParamsFromStage(const DenoiseLevelParams& level, uint32_t fractionBits, DenoiseBlockParams* out);
int DenoiseBlockFilterPlane(DenoiseMemHandle handle, const DenoiseLevelPlane* source,
                            const DenoiseLevelBuffer* noiseMap, const DenoiseBlockParams* params,
                            DenoiseLevelPlane* destination);

// Distance-class to weight table (64 entries, largest 16).
void DenoiseWeightTableOpen(const uint8_t** table, int* length);
void DenoiseWeightTableClose(const uint8_t* table);

// The flat test of the block whose top-left corner is at (bx, by) of the
// active area, with threshold t (flat multiplier x noise level): 1 when the
// block is flat and was written (blended toward its mean or rebuilt from the
// coarser plane), 0 when it is not flat, -2 for unusable arguments.
int DenoiseFlatBlock(const DenoiseLevelPlane* source, DenoiseLevelPlane* destination,
                     const DenoiseBlockParams* params, int32_t bx, int32_t by, int64_t threshold);
// Block matching of the block at (bx, by): the weighted average of the
// candidate blocks of the search, blended by the keep weight, written to the
// destination. `weights` is the 64-entry table, `workArea` holds
// DENOISE_WORK_AREA_BYTES. 0, or -2 for unusable arguments (a block whose
// search would leave the plane, a zero threshold).
int DenoiseBlockMatch(const DenoiseLevelPlane* source, DenoiseLevelPlane* destination,
                      const DenoiseBlockParams* params, int32_t bx, int32_t by, uint32_t threshold,
                      const uint8_t* weights, uint8_t* workArea);
