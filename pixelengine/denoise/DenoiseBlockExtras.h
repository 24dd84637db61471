#pragma once
// Block kernels of the filter family that the level filter itself does not
// call: candidate lists, two-candidate distances, shrinking toward a
// reference and block copies.
#include <cstdint>

// Appends (dx, dy, distance) to parallel lists of `capacity`; the new index, or -1 when full.
int DenoiseCandidateAppend(int32_t* offsets, int64_t* distances, int count, int capacity, int dx, int dy,
                           int64_t distance);
// Same result as DenoiseBlockDistance, for windows the caller knows to be aligned.
int64_t DenoiseBlockDistanceAligned(uint32_t layout, const uint8_t* a, const uint8_t* b, int32_t pitch);
// Distances of two candidates against one reference 8 x 8 window.
void DenoiseBlockDistance2U8(const uint8_t* ref, const uint8_t* b1, const uint8_t* b2, int32_t pitch, int64_t* d1,
                             int64_t* d2);
void DenoiseBlockDistance2S8(const uint8_t* ref, const uint8_t* b1, const uint8_t* b2, int32_t pitch, int64_t* d1,
                             int64_t* d2);
// Moves an 8 x 8 block toward a reference by (value * 2^17) / divisor (in
// 1/2^17): below 1,024 nothing changes, above 128,000 the reference is copied.
void DenoiseBlockShrinkU8(uint8_t* block, int32_t pitch, const uint8_t* reference, int32_t refPitch, int64_t value,
                          int64_t divisor);
void DenoiseBlockShrinkS8(uint8_t* block, int32_t pitch, const uint8_t* reference, int32_t refPitch, int64_t value,
                          int64_t divisor);
// Copies a step x step block (step 4 or 8) in 32-bit words.
void DenoiseBlockCopy32(uint8_t* target, int32_t targetPitch, const uint8_t* source, int32_t sourcePitch, int step);
