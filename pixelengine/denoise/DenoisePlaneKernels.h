#pragma once
// Row kernels of the denoiser's Laplacian pyramid: element-wise band
// arithmetic, 2x reduction and expansion, detail and collapse, and the
// mirrored margin fill. Pitches are in bytes; nothing allocates.
//
// Region kernels take the fine plane's full size (fullW x fullH) and a region
// [x0, x1) x [y0, y1) of it; the coarse plane is ((fullW + 1) / 2) x
// ((fullH + 1) / 2), coarse sample (i, j) sitting on fine sample (2i, 2j).
#include <cstddef>
#include <cstdint>

constexpr uint32_t DENOISE_SAMPLES_U8 = 0x10;   // unsigned bytes (base plane)
constexpr uint32_t DENOISE_SAMPLES_S8 = 0x110;  // signed bytes (detail plane)

// out = clamp(a - b, -128, 127)
void DenoiseDetailFromPlanes(const uint8_t* a, ptrdiff_t pitchA, const uint8_t* b, ptrdiff_t pitchB, int8_t* out,
                             ptrdiff_t pitchOut, int width, int rows);
// out = clamp(b + d, 0, 255)
void DenoiseAddDetail(const int8_t* d, ptrdiff_t pitchD, const uint8_t* b, ptrdiff_t pitchB, uint8_t* out,
                      ptrdiff_t pitchOut, int width, int rows);
// out = clamp((d * f + 128) >> 8, -128, 127), f in 1/256
void DenoiseScaleDetail(const int8_t* d, ptrdiff_t pitchD, int32_t factor, int8_t* out, ptrdiff_t pitchOut,
                        int width, int rows);
// Sum of |d| over the region.
int64_t DenoiseDetailEnergy(const int8_t* d, ptrdiff_t pitch, int width, int rows);

// coarse = 3x3 binomial reduction of the fine region's even samples.
void DenoiseReducePlain(const uint8_t* fine, ptrdiff_t finePitch, int fullW, int fullH, int x0, int y0, int x1,
                        int y1, uint8_t* coarse, ptrdiff_t coarsePitch);
void DenoiseReduce(const uint8_t* fine, ptrdiff_t finePitch, int fullW, int fullH, int x0, int y0, int x1, int y1,
                   uint8_t* coarse, ptrdiff_t coarsePitch);
// fine region = rounded 2x expansion of the coarse plane.
void DenoiseExpandPlain(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                        int y1, uint8_t* fine, ptrdiff_t finePitch);
void DenoiseExpand(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                   int y1, uint8_t* fine, ptrdiff_t finePitch);
// In place: fine region (signed detail) += truncated expansion, clamped to 0..255.
void DenoiseCollapsePlain(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0,
                          int x1, int y1, uint8_t* fine, ptrdiff_t finePitch);
void DenoiseCollapse(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                     int y1, uint8_t* fine, ptrdiff_t finePitch);
// In place: fine region -= truncated expansion, clamped to -128..127.
void DenoiseDetailPlain(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                        int y1, uint8_t* fine, ptrdiff_t finePitch);
void DenoiseDetail(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                   int y1, uint8_t* fine, ptrdiff_t finePitch);

// A detail that does not fit the signed byte keeps the rest in an excess
// plane of the same geometry: excess - DENOISE_EXCESS_ZERO is what the clamp
// cut off (-127..128), so that band + excess is the whole difference and a
// collapse gives the fine plane back exactly.
constexpr int DENOISE_EXCESS_ZERO = 127;
// In place: fine region -= truncated expansion, the band clamped as
// DenoiseDetail clamps it and the rest written to `excess`. Returns how many
// samples were clamped.
int64_t DenoiseDetailSplit(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                           int y1, uint8_t* fine, ptrdiff_t finePitch, uint8_t* excess, ptrdiff_t excessPitch);
// In place: fine region = clamp(detail + excess + truncated expansion, 0, 255).
void DenoiseCollapseSplit(const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0, int y0, int x1,
                          int y1, uint8_t* fine, ptrdiff_t finePitch, const uint8_t* excess, ptrdiff_t excessPitch);
// DenoiseScaleDetail on band and excess together: a sample with an excess is
// scaled whole and split again; one without keeps the band gain's clamp.
void DenoiseScaleDetailSplit(int8_t* d, ptrdiff_t pitchD, uint8_t* excess, ptrdiff_t pitchE, int32_t factor,
                             int width, int rows);

// Region wrappers: -701 unless the plane holds unsigned bytes (0x10);
// 0 without work for an empty region.
int DenoiseReduceRegion(uint32_t layout, const uint8_t* fine, ptrdiff_t finePitch, int fullW, int fullH, int x0,
                        int y0, int x1, int y1, uint8_t* coarse, ptrdiff_t coarsePitch);
int DenoiseExpandRegion(uint32_t layout, const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0,
                        int y0, int x1, int y1, uint8_t* fine, ptrdiff_t finePitch);
int DenoiseCollapseRegion(uint32_t layout, const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH,
                          int x0, int y0, int x1, int y1, uint8_t* fine, ptrdiff_t finePitch);
int DenoiseDetailRegion(uint32_t layout, const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH, int x0,
                        int y0, int x1, int y1, uint8_t* fine, ptrdiff_t finePitch);
// Whole-plane forms.
int DenoiseReduceTile(uint32_t layout, const uint8_t* fine, ptrdiff_t finePitch, int fullW, int fullH,
                      uint8_t* coarse, ptrdiff_t coarsePitch);
int DenoiseExpandTile(uint32_t layout, const uint8_t* coarse, ptrdiff_t coarsePitch, int fullW, int fullH,
                      uint8_t* fine, ptrdiff_t finePitch);

// Fills the margins of a width x height plane around the valid area
// [x0, x1) x [y0, y1) by mirroring about the outermost valid sample without
// repeating it; where the mirror runs out the farthest valid sample is used.
void DenoiseMirrorMargins(uint8_t* plane, ptrdiff_t pitch, int width, int height, int x0, int y0, int x1, int y1);
