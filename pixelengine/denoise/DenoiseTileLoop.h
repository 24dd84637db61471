#pragma once
// Cuts a picture into tiles and runs both phases of every tile on the
// worker pool, four tiles a batch, with progress reports.
#include <cstdint>

#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"
#include "denoise/DenoiseTileGrid.h"

// Called as (percent, 0, user); a non-zero return stops the run. A negative
// return is the run's result as it is; any other stop gives
// DENOISE_ERR_STOPPED, so that a stopped run never reads as a success.
using DenoiseProgressCallback = int (*)(int percent, int reserved, void* user);
constexpr int DENOISE_ERR_STOPPED = -901;

struct DenoiseTileContext;

struct DenoiseTileJob {
    DenoiseTileContext* context;
    DenoiseMemHandle handle;
    const DenoisePlaneDesc* source;
    const DenoisePlaneDesc* destination;
    uint32_t tileWidth;
    uint32_t tileHeight;
    uint32_t x;
    uint32_t y;
    const DenoiseProfile* profile;
    const DenoiseWorkRecord* work;
    uint32_t index;
    int32_t result;
};

int DenoiseTileJobPrepare(void* job);
int DenoiseTileJobFinish(void* job);

// Runs every tile of the grid `tile` (computed once for the run). Returns 0,
// -201, the first failing tile's code or the stop code of the callback.
int DenoiseProcessTiles(DenoiseMemHandle handle, const DenoisePlaneDesc* source, const DenoisePlaneDesc* destination,
                        const DenoiseProfile* profile, const DenoiseWorkRecord* work, DenoiseTileSize tile,
                        DenoiseProgressCallback progress, void* user);
