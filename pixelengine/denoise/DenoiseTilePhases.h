#pragma once
// The two jobs of one tile: phase 1 builds the tile's pyramid, noise maps,
// edge map and band gains; phase 2 filters it level by level, rebuilds it and
// writes it into the target.
#include <cstdint>

#include "denoise/DenoiseBlockFilter.h"
#include "denoise/DenoiseImage.h"
#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"

struct DenoiseTileContext;

// Fills the level parameters of plane group `set` (0 luma, 1 chroma) at `level`.
void DenoiseLevelParamsFill(DenoiseLevelParams* params, const DenoiseWorkRecord* work, int set, int level,
                            const DenoiseLevelPlane* guide);

// Index of the worker level buffer of (plane, level) in a worker's array.
int DenoiseLevelBufferIndex(const DenoiseWorkRecord* work, int plane, int level);

// Phase 1 for the tile rectangle {x0, y0, x1, y1} (right and bottom exclusive,
// clipped to the picture). On failure the context is freed and *out is null.
int DenoiseTilePrepare(DenoiseTileContext** out, DenoiseMemHandle handle, const DenoisePlaneDesc* source,
                       const int32_t rect[4], int tileIndex, const DenoiseProfile* profile,
                       const DenoiseWorkRecord* work);
// Phase 2: filters and writes the tile, then frees the context.
int DenoiseTileFinish(DenoiseTileContext* context, const DenoisePlaneDesc* target);
// Frees a context whose phase 2 will not run.
void DenoiseTileRelease(DenoiseTileContext* context);
int DenoiseTileLevelPasses(DenoiseTileContext* context);
// Phase 1 then phase 2 on the calling thread.
int DenoiseTileRun(DenoiseMemHandle handle, const DenoisePlaneDesc* source, const DenoisePlaneDesc* target,
                   const int32_t rect[4], int tileIndex, const DenoiseProfile* profile, const DenoiseWorkRecord* work);
