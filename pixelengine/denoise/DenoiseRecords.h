#pragma once
// Records shared by every part of the denoiser: settings, frame descriptor,
// noise profile, per-run work record and the per-worker pyramid buffers.
#include <cstddef>
#include <cstdint>

#include "denoise/DenoiseMemory.h"

struct DenoisePool;
struct DenoiseImage;
struct DenoiseStatistics;

constexpr int DENOISE_MAX_CHANNELS = 3;
constexpr int DENOISE_MAX_LEVELS = 4;
constexpr int DENOISE_MAX_TABLE_BITS = 8;
constexpr int DENOISE_MAX_FRACTION_BITS = 8;
constexpr size_t DENOISE_PROFILE_BYTES = 4096;

// Number of workers of every engine.
int DenoiseThreadCount();

// One parameter set: luminance (set 0) or chrominance (set 1). Offsets are
// per pyramid level 0..3, level 0 the finest.
struct DenoiseParamSet {
    int32_t level = 50;
    int32_t strength = 80;
    int32_t factor = 20;
    int32_t levelOffset[4] = {0, 0, 0, 0};
    int32_t strengthOffset[4] = {0, 0, 0, 0};
    int32_t factorOffset[4] = {0, 0, 0, -20};
};

// The engine's frame descriptor. At the interface pitches are in bytes and
// `code` holds the internal code; inside the engine `layout` holds the layout
// word and pitches are in samples.
struct DenoisePlaneDesc {
    int32_t width = 0;
    int32_t height = 0;
    int32_t code = 0;
    uint32_t layout = 0;
    int32_t pitch[3] = {0, 0, 0};
    uint8_t* buffer = nullptr;      // single buffer of one-plane formats
    uint8_t* planes[4] = {nullptr, nullptr, nullptr, nullptr};
};

// In-memory noise profile: per channel and pyramid level a table of
// 2^bits noise values carrying `fractionBits` fractional bits.
struct DenoiseProfileEntry {
    uint32_t bits = 8;
    uint32_t fractionBits = 0;
    uint8_t table[256] = {};
};

struct DenoiseProfile {
    uint32_t count = 0;                        // channels; 0 = no profile
    uint32_t levels[DENOISE_MAX_CHANNELS] = {0, 0, 0};
    DenoiseProfileEntry entries[DENOISE_MAX_CHANNELS][DENOISE_MAX_LEVELS];
};

// The serialised noise profile exchanged with the caller: what
// DenoiseEstimateNoise hands out, what DenoiseSetNoiseProfile takes and what
// the denoise wrapper keeps between pictures. Little-endian and packed, no
// header: u32 channel count, then per channel a u32 level count and per level
// u32 bits, u32 fraction bits and 2^bits table bytes (3 channels of 4 levels
// of 256 entries take 3,184 bytes). The bytes past the profile are not read.
struct NoiseProfile {
    uint8_t bytes[DENOISE_PROFILE_BYTES];
};
static_assert(sizeof(NoiseProfile) == DENOISE_PROFILE_BYTES, "a NoiseProfile is its bytes");

// Sets the profile up for `channels` channels (at most 3), channel 0 with
// lumaLevels and the rest with chromaLevels (each at most 4), 8 bits, level i
// with i fraction bits, tables zeroed.
void DenoiseProfileSetup(DenoiseProfile* profile, int channels, int lumaLevels, int chromaLevels);
// Bytes the serialised form of the profile takes.
size_t DenoiseProfileSerializedSize(const DenoiseProfile& profile);
// Writes the little-endian serialised form; returns bytes written or -2 when
// the profile is inconsistent or `capacity` too small.
int DenoiseProfileSerialize(const DenoiseProfile& profile, uint8_t* buffer, size_t capacity);
// Reads a serialised profile of at most `size` bytes. The whole profile is
// validated first: channel count <= 3, level count <= 4, bits <= 8, fraction
// bits <= 8, nothing read past `size`. On failure -2 and `profile` unchanged.
int DenoiseProfileDeserialize(DenoiseProfile* profile, const uint8_t* buffer, size_t size);
// The same two for a NoiseProfile record. Writing zero-fills the bytes past
// the profile; reading validates as above and leaves `profile` unchanged on -2.
int DenoiseNoiseProfileWrite(const DenoiseProfile& profile, NoiseProfile* out);
int DenoiseNoiseProfileRead(const NoiseProfile* in, DenoiseProfile* profile);

// Per-worker noise map of one plane and pyramid level.
struct DenoiseLevelBuffer {
    uint8_t* data = nullptr;
    uint32_t fractionBits = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t stride = 0;
    uint32_t left = 4;
    uint32_t top = 4;
    uint32_t right = 0;
    uint32_t bottom = 0;
    uint32_t xShift = 0;   // halvings between this level and the coarsest luma level
    uint32_t yShift = 0;
    uint32_t capacityRows = 0;  // rows allocated; `stride` is the allocated row length
};

// Per-engine pyramid record, emptied after every run.
struct DenoisePyramid {
    uint32_t workers = 0;
    uint32_t levelCount = 0;                  // level buffers per worker
    DenoiseLevelBuffer** levels = nullptr;    // one array per worker
    DenoiseImage** scratch = nullptr;         // one edge-map image per worker
    DenoiseProfile profile;                   // working noise profile
};

// Per-run weights (in 1/256), depths and stage bytes.
struct DenoiseWorkRecord {
    int32_t lumaLevel[4];
    int32_t lumaStrength[4];
    int32_t lumaFactor[4];
    int32_t chromaLevel[4];
    int32_t chromaStrength[4];
    int32_t chromaFactor[4];
    int32_t reserved[2];
    int32_t lumaDepth;
    int32_t chromaDepth;
    int32_t constant;
    uint8_t lumaStages[4];
    uint8_t chromaStages[4];
    int32_t profileFlag;
    DenoisePyramid* pyramid;
    DenoisePool* pool;
};

// Weight formulas for one level; inputs and results are clamped so that no
// setting can overflow or turn negative.
int32_t DenoiseLevelWeight(int32_t level, int32_t offset);       // 0..65535
int32_t DenoiseStrengthWeight(int32_t strength, int32_t offset); // 0..256
int32_t DenoiseFactorWeight(int32_t factor, int32_t offset);     // 0..4096
void DenoiseWorkRecordFillWeights(DenoiseWorkRecord* work, const DenoiseParamSet& luma,
                                  const DenoiseParamSet& chroma);
inline uint32_t DenoiseStageWord(const uint8_t stages[4])
{
    return uint32_t(stages[0]) | uint32_t(stages[1]) << 8 | uint32_t(stages[2]) << 16 | uint32_t(stages[3]) << 24;
}

// The engine record behind the public handle.
struct DenoiseEngine {
    DenoiseMemHandle handle = nullptr;
    void* reserved = nullptr;
    DenoisePool* pool = nullptr;
    DenoiseProfile stored;                  // count 0: no profile stored
    NoiseProfile* exportBuffer = nullptr;   // where the stored profile is serialised
    int32_t mode = 6;
    DenoiseParamSet luma;
    DenoiseParamSet chroma{50, 90, 20, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, -20}};
    int32_t lumaDepth = 0;
    int32_t chromaDepth = 0;
    DenoisePyramid pyramid;
    DenoiseStatistics* statistics = nullptr;
};
