#pragma once
// Entry points of the denoise library that the application does not call:
// statistics over several rectangles, buffers described by internal code,
// single pixels, copies, resized descriptors, scratch sizes and profile-table
// helpers.
#include <cstdint>

#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"

struct DenoiseEngine;

// Adds the noise histograms of rect {x0, y0, x1, y1} shifted by origin {x, y}.
int DenoiseEngineAccumulateStatistics(DenoiseEngine* engine, const DenoisePlaneDesc* desc, const uint32_t origin[2],
                                      const uint32_t rect[4]);
// Turns the accumulated statistics into the stored profile and frees them.
int DenoiseEngineProfileFromStatistics(DenoiseEngine* engine);
// Drops the accumulated statistics.
int DenoiseEngineForgetStatistics(DenoiseEngine* engine);
void DenoiseStatisticsFree(DenoiseEngine* engine);

// One buffer for all planes of an internal code 1..14; pitches in bytes.
int DenoiseEngineDescribeBuffer(DenoiseMemHandle handle, DenoisePlaneDesc* desc, int code, int32_t width,
                                int32_t height);
void DenoiseBufferFree(DenoiseMemHandle handle, DenoisePlaneDesc* desc);
int DenoiseImageCopy(const DenoisePlaneDesc* source, const DenoisePlaneDesc* target);
int DenoisePlanesCopy(const DenoisePlaneDesc* source, const DenoisePlaneDesc* target);
int DenoiseDescriptorResize(DenoisePlaneDesc* out, const DenoisePlaneDesc* desc, int32_t width, int32_t height);
int64_t DenoiseEngineScratchSize(const DenoiseEngine* engine, int32_t width, int32_t height, int32_t margin);
int64_t DenoiseScratchSizeForImage(const DenoiseEngine* engine, int32_t width, int32_t height, int32_t margin);
// Y * 65536 + U * 256 + V of the pixel at (x, y); 0 for what cannot be read.
uint32_t DenoisePixelGet(const DenoisePlaneDesc* desc, int32_t x, int32_t y);
void DenoisePixelSet(const DenoisePlaneDesc* desc, int32_t x, int32_t y, uint32_t value);

// Profile-table helpers.
void DenoiseHistogramAdd(uint32_t* target, const uint32_t* source, int bins);
void DenoiseTableMarkOutliers(uint8_t* table, int n, int start, int tolerance);
void DenoiseTableFillGaps(uint8_t* table, int n);
