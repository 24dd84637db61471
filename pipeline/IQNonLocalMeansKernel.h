#pragma once
// Tile kernels of the non-local means filter (internal to IQNonLocalMeans).
// The kernels use no standard-library templates: the AVX2 and AVX-512 ones
// are built with their instruction sets switched on, and a template
// instantiated there could be picked by the linker for the baseline code.
#include <cstddef>
#include <cstdint>

// Tile widths are a multiple of this many pixels.
constexpr int IQNlmColumnStep = 32;

// One tile of one plane of one or two channels. The source holds the tile
// with a border of templateHalf + searchHalf pixels on every side, already
// reflected at the picture edges, and IQNlmSourcePadding more columns on
// the right whose values do not matter.
struct IQNlmTile {
    int channels;                   // 1 or 2
    const uint8_t *source[2];       // top-left of the bordered tile, per channel
    int sourceStride;
    int rows;
    int cols;                       // multiple of IQNlmColumnStep
    int templateHalf;
    int searchHalf;
    // weights[bin] for bin in [0, cap], where bin = distance sum >> shift and
    // every bin from cap on weighs 0; all weights are below 32768.
    const int32_t *weights;
    // The same weights in 16 bits, zero-padded to a multiple of 64 entries.
    const uint16_t *weights16;
    // When cap < 256: the low and the high bytes of the weights, 256 entries
    // each, zero from cap on, and how many blocks of 16 have high bytes.
    const uint8_t *weightsLow;
    const uint8_t *weightsHigh;
    int highBlocks;
    int cap;
    int shift;
    uint8_t *target[2];             // rows x cols result bytes, per channel
    int targetStride;
    void *scratch;                  // IQNlmScratchBytes() bytes, 64-byte aligned
};

// Extra source columns that the kernels may read past the border.
constexpr int IQNlmSourcePadding = 64;
size_t IQNlmScratchBytes(int rows, int cols, int templateHalf, int searchHalf, int channels);

void IQNlmDenoiseTileSse2(const IQNlmTile &tile);
void IQNlmDenoiseTileAvx2(const IQNlmTile &tile);
void IQNlmDenoiseTileAvx512(const IQNlmTile &tile);
