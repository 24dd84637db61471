#pragma once
// One denoise run: checks and normalises the descriptors, turns the settings
// into the work record, builds the per-worker buffers, obtains and scales the
// noise profile and drives the tile loop.
#include <cstdint>

#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"
#include "denoise/DenoiseTileGrid.h"
#include "denoise/DenoiseTileLoop.h"

// Stage bytes and forced factor weights of an internal mode.
struct DenoiseModeStages {
    uint8_t luma[4];
    uint8_t chroma[4];
    bool lumaUnitFactor[4];    // factor weight forced to 256
    bool chromaUnitFactor[4];
    bool profileFloor;         // profile flag set and tables raised to 1
};
DenoiseModeStages DenoiseModeTable(int mode);

// Pyramid depth for an evened area: 2, 3 or 4.
int DenoiseDepthForArea(int64_t area);

// Converts an interface descriptor (internal code, pitches in bytes) into an
// engine descriptor (layout word, pitches in samples). -101 for codes without layout.
int DenoiseDescriptorToLayout(const DenoisePlaneDesc& in, DenoisePlaneDesc* out);
int DenoiseDescriptorNormalize(DenoisePlaneDesc* desc);
// Rounds the size down as the layout's chroma needs.
void DenoiseDescriptorEven(DenoisePlaneDesc* desc, uint32_t layout);
// Checks that every plane the layout needs is present and large enough.
int DenoiseDescriptorValidate(const DenoisePlaneDesc& desc);
// The bytes one plane of an engine descriptor occupies: `rows` rows of
// `rowBytes` at `base`, `pitch` apart (base null for a plane the layout does
// not have). 4:2:0 chroma has (height + 1) / 2 rows, whole cells only when the
// planes were laid out in one buffer.
struct DenoisePlaneSpan {
    const uint8_t* base = nullptr;
    int32_t pitch = 0;
    int64_t rowBytes = 0;
    int64_t rows = 0;
};
int DenoisePlaneExtent(const DenoisePlaneDesc& desc, int plane, DenoisePlaneSpan* out);
int DenoisePlanesCopyCore(const DenoisePlaneDesc* source, const DenoisePlaneDesc* target);
// True when any plane of one descriptor shares bytes with a plane of the other.
bool DenoiseDescriptorsOverlap(const DenoisePlaneDesc& a, const DenoisePlaneDesc& b);

int DenoisePyramidBuild(DenoiseMemHandle handle, DenoisePyramid* pyramid, const DenoisePlaneDesc* source,
                        DenoiseTileSize tile, int lumaDepth, int chromaDepth, const uint8_t lumaStages[4],
                        const uint8_t chromaStages[4]);
void DenoisePyramidFree(DenoiseMemHandle handle, DenoisePyramid* pyramid);

void DenoiseProfileScale(DenoiseProfile* profile, const int32_t lumaWeights[4], const int32_t chromaWeights[4]);
void DenoiseProfileRaiseFloor(DenoiseProfile* profile, int floor);

// Fills the run's work record from the engine's settings for an evened
// picture of the given size and layout: weights, depths, stage bytes.
void DenoiseWorkRecordSetup(const DenoiseEngine* engine, uint32_t layout, int32_t width, int32_t height,
                            DenoiseWorkRecord* work);

int DenoiseEngineProcess(DenoiseEngine* engine, const DenoisePlaneDesc* source, const DenoisePlaneDesc* target,
                         DenoiseProgressCallback progress, void* user);
// Estimates the stored profile from an interface descriptor.
int DenoiseEngineEstimateNoise(DenoiseEngine* engine, const DenoisePlaneDesc* desc);
