#pragma once
// How one denoise run cuts a picture into tiles whose working memory is bounded.
#include <cstdint>

struct DenoiseTileSize {
    int32_t width;
    int32_t height;
};

// Working memory bound of one tile: the grid shrinks tiles until their
// scratch size is below this.
constexpr int64_t DENOISE_TILE_SCRATCH_LIMIT = 3661825;

// Scratch bytes of one tile (tw x th) with the given depths, stage words
// (byte i = pyramid level i), margin and layout word.
int64_t DenoiseTileScratchSize(int64_t tw, int64_t th, int lumaDepth, int chromaDepth, uint32_t lumaStages,
                               uint32_t chromaStages, int64_t margin, uint32_t layout);

DenoiseTileSize DenoiseTileGrid(int32_t width, int32_t height, int workers, int lumaDepth, int chromaDepth,
                                uint32_t lumaStages, uint32_t chromaStages, uint32_t layout);
