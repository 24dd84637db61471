#pragma once
// Public face of the denoise engine: create, configure, estimate the noise
// profile, denoise YUV frames, destroy. Not thread-safe: one caller at a time
// per engine; the engine runs four worker threads of its own.
#include <cstdint>

#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"
#include "denoise/DenoiseTileLoop.h"

struct IQYUVFrame;
struct DenoiseEngine;

// Public entry points. Results: 0 success; -2 missing engine/frame,
// inconsistent frames, or a target that shares memory with the source;
// -101 unknown format; -103 source and target differ in format or size;
// -201 out of memory; -401 unknown mode; DENOISE_ERR_STOPPED (or the
// callback's own negative value) when the progress callback stopped the run.
int DenoiseCreate(DenoiseEngine** out);
int DenoiseDestroy(DenoiseEngine* engine);
int DenoiseSetMode(DenoiseEngine* engine, int32_t mode);
int DenoiseSetLuminance(DenoiseEngine* engine, int32_t value);
int DenoiseSetChrominance(DenoiseEngine* engine, int32_t value);
int DenoiseSetLuminanceChrominance(DenoiseEngine* engine, int32_t value);
int DenoiseSetLuminanceFactor(DenoiseEngine* engine, int32_t value);
// Measures the frame's noise into the stored profile and, when `profile` is
// given, writes its serialised form there. A failed estimate leaves `profile`
// untouched.
int DenoiseEstimateNoise(DenoiseEngine* engine, const IQYUVFrame* frame, NoiseProfile* profile);
// Loads a serialised profile; null empties the stored one. A profile that
// does not read (-2) leaves the stored one as it was.
int DenoiseSetNoiseProfile(DenoiseEngine* engine, const NoiseProfile* profile);
int DenoiseProcess(DenoiseEngine* engine, const IQYUVFrame* source, IQYUVFrame* target,
                   DenoiseProgressCallback progress, void* user);

// Engine level.
int DenoiseEngineCreate(DenoiseMemHandle handle, DenoiseEngine** out);
int DenoiseEngineDestroy(DenoiseEngine* engine);
int DenoiseEngineSetMode(DenoiseEngine* engine, uint32_t mode);
int DenoiseEngineSetLevel(DenoiseEngine* engine, uint32_t value, int32_t set);
int DenoiseEngineSetStrength(DenoiseEngine* engine, uint32_t value, int32_t set);
int DenoiseEngineSetFactor(DenoiseEngine* engine, uint32_t value, int32_t set);
int DenoiseEngineSetChannelLevel(DenoiseEngine* engine, uint32_t value, int32_t set, int32_t level);
int DenoiseEngineSetChannelStrength(DenoiseEngine* engine, uint32_t value, int32_t set, int32_t level);
int DenoiseEngineSetChannelFactor(DenoiseEngine* engine, uint32_t value, int32_t set, int32_t level);
int DenoiseEngineLoadProfile(DenoiseEngine* engine, const NoiseProfile* profile);
const NoiseProfile* DenoiseEngineExportProfile(DenoiseEngine* engine);
int DenoiseEngineNoop(DenoiseEngine* engine);
int DenoiseEngineCreatePool(DenoiseEngine* engine);
void DenoiseEngineDestroyPool(DenoiseEngine* engine);
void DenoiseEngineRunJobs(DenoiseEngine* engine, int (*function)(void*), void* const* arguments, uint32_t count);
// Frame record to interface descriptor; -101 for an unknown format.
int DenoiseConvertDescriptor(const IQYUVFrame* frame, DenoisePlaneDesc* desc);
