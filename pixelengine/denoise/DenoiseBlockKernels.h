#pragma once
// The block filter's kernels: window statistics and distances over 8 x 8
// windows, weighted sums of candidate blocks in 16- and 32-bit lanes, the
// normalisation of a sum into the block's output, and the 2x rebuild of a
// block from the next coarser level. Each operation dispatches on the block
// size (8, 4, other) or on the sample layout (0x10 unsigned, 0x110 signed);
// the members of one operation agree exactly.
//
// Sums of a step x step block are `step * step` entries, row by row. Pitches
// are in samples (one byte a sample). Nothing here allocates.
#include <cstdint>

// Σp and 64·Σp² − (Σp)² of the 8 x 8 window at `window`.
void DenoiseBlockStatsU8(const uint8_t* window, int32_t pitch, int32_t* sum, int64_t* variance);
void DenoiseBlockStats(uint32_t layout, const uint8_t* window, int32_t pitch, int32_t* sum, int64_t* variance);

// (Σ|a − b|)² >> 6 over two 8 x 8 windows. The plain forms work on any
// alignment; the dispatcher gives 0 for a layout other than 0x10 and 0x110.
int64_t DenoiseSadSquaredU8(const uint8_t* a, const uint8_t* b, int32_t pitch);
int64_t DenoiseSadSquaredS8(const uint8_t* a, const uint8_t* b, int32_t pitch);
int64_t DenoiseBlockDistanceU8(const uint8_t* a, const uint8_t* b, int32_t pitch);
int64_t DenoiseBlockDistanceS8(const uint8_t* a, const uint8_t* b, int32_t pitch);
int64_t DenoiseBlockDistance(uint32_t layout, const uint8_t* a, const uint8_t* b, int32_t pitch);

// 16-bit sums += a * wa + b * wb (unsigned samples).
void DenoiseAccumulatePair8(uint16_t* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb,
                            int32_t pitch);
void DenoiseAccumulatePair4(uint16_t* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb,
                            int32_t pitch);
void DenoiseAccumulatePair(int step, uint16_t* sums, const uint8_t* a, int32_t wa, const uint8_t* b, int32_t wb,
                           int32_t pitch);
// 16-bit sums += a * w (unsigned samples); step 0 does nothing.
void DenoiseAccumulate16x8(uint16_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
void DenoiseAccumulate16x4(uint16_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
void DenoiseAccumulate16(int step, uint16_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
// 32-bit sums += a * w (unsigned samples); step 0 does nothing.
void DenoiseAccumulate32x8(uint32_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
void DenoiseAccumulate32(int step, uint32_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
// Signed 16- and 32-bit sums += a * w (signed samples).
void DenoiseAccumulateSigned16x8(int16_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
void DenoiseAccumulateSigned16(int step, int16_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
void DenoiseAccumulateSigned32x8(int32_t* sums, const uint8_t* a, int32_t w, int32_t pitch);
void DenoiseAccumulateSigned32(int step, int32_t* sums, const uint8_t* a, int32_t w, int32_t pitch);

// Block output from a sum of weights `total`: avg = (sum + total / 2) / total,
// and every source sample p becomes (avg·256 + (p − avg)·keep + 128) >> 8,
// clamped to the sample range. 16-bit sums and 32-bit sums of blocks of 8
// divide by a reciprocal, ((sum + total / 2) · ⌊(2^16 − 1) / total⌋) >> 16 and
// ((sum + total / 2) · ⌊(2^32 − 1) / total⌋) >> 32; other 32-bit sums divide
// exactly.
void DenoiseNormalize16x8(const uint16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
                          uint8_t* dst, int32_t dstPitch);
void DenoiseNormalize16x4(const uint16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
                          uint8_t* dst, int32_t dstPitch);
void DenoiseNormalize16(int step, const uint16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                        int32_t keep, uint8_t* dst, int32_t dstPitch);
void DenoiseNormalize32x8(const uint32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch, int32_t keep,
                          uint8_t* dst, int32_t dstPitch);
void DenoiseNormalize32(int step, const uint32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                        int32_t keep, uint8_t* dst, int32_t dstPitch);
void DenoiseNormalizeSigned16x8(const int16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                                int32_t keep, uint8_t* dst, int32_t dstPitch);
void DenoiseNormalizeSigned16(int step, const int16_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                              int32_t keep, uint8_t* dst, int32_t dstPitch);
void DenoiseNormalizeSigned32x8(const int32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                                int32_t keep, uint8_t* dst, int32_t dstPitch);
void DenoiseNormalizeSigned32(int step, const int32_t* sums, int32_t total, const uint8_t* src, int32_t srcPitch,
                              int32_t keep, uint8_t* dst, int32_t dstPitch);

// Widens n 16-bit sums at `sums` to n 32-bit sums in the same storage (which
// must hold 4 n bytes), from the last entry backwards.
void DenoiseWiden(void* sums, int n);
void DenoiseWidenSigned(void* sums, int n);

// Rebuilds an 8 x 8 block from the 4 x 4 coarse block at `coarse` (its right
// column and lower row read one sample further): the fine samples of coarse c
// with right r, lower d and diagonal e are c, (c + r + 1) >> 1,
// (c + d + 1) >> 1 and (c + r + d + e + 2) >> 2, each blended with the
// block's own sample p as (p·keep + u·(256 − keep) + 128) >> 8.
void DenoiseUpsampleBlend(const uint8_t* coarse, int32_t coarsePitch, const uint8_t* src, int32_t srcPitch,
                          int32_t keep, uint8_t* dst, int32_t dstPitch);
