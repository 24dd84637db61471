#include "denoise/DenoiseRecords.h"

#include <algorithm>
#include <cstring>

int DenoiseThreadCount()
{
    return 4;
}

void DenoiseProfileSetup(DenoiseProfile* profile, int channels, int lumaLevels, int chromaLevels)
{
    if (!profile)
        return;
    channels = std::clamp(channels, 0, DENOISE_MAX_CHANNELS);
    lumaLevels = std::clamp(lumaLevels, 0, DENOISE_MAX_LEVELS);
    chromaLevels = std::clamp(chromaLevels, 0, DENOISE_MAX_LEVELS);
    profile->count = uint32_t(channels);
    for (int c = 0; c < DENOISE_MAX_CHANNELS; ++c) {
        profile->levels[c] = c >= channels ? 0 : uint32_t(c == 0 ? lumaLevels : chromaLevels);
        for (int l = 0; l < DENOISE_MAX_LEVELS; ++l) {
            DenoiseProfileEntry& e = profile->entries[c][l];
            e.bits = 8;
            e.fractionBits = uint32_t(l);
            std::memset(e.table, 0, sizeof(e.table));
        }
    }
}

namespace {
void putU32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t getU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool profileConsistent(const DenoiseProfile& profile)
{
    if (profile.count > uint32_t(DENOISE_MAX_CHANNELS))
        return false;
    for (uint32_t c = 0; c < profile.count; ++c) {
        if (profile.levels[c] > uint32_t(DENOISE_MAX_LEVELS))
            return false;
        for (uint32_t l = 0; l < profile.levels[c]; ++l)
            if (profile.entries[c][l].bits > uint32_t(DENOISE_MAX_TABLE_BITS))
                return false;
    }
    return true;
}
}

size_t DenoiseProfileSerializedSize(const DenoiseProfile& profile)
{
    if (!profileConsistent(profile))
        return 0;
    size_t size = 4;
    for (uint32_t c = 0; c < profile.count; ++c) {
        size += 4;
        for (uint32_t l = 0; l < profile.levels[c]; ++l)
            size += 8 + (size_t(1) << profile.entries[c][l].bits);
    }
    return size;
}

int DenoiseProfileSerialize(const DenoiseProfile& profile, uint8_t* buffer, size_t capacity)
{
    const size_t size = DenoiseProfileSerializedSize(profile);
    if (!buffer || size == 0 || size > capacity)
        return -2;
    uint8_t* p = buffer;
    putU32(p, profile.count);
    p += 4;
    for (uint32_t c = 0; c < profile.count; ++c) {
        putU32(p, profile.levels[c]);
        p += 4;
        for (uint32_t l = 0; l < profile.levels[c]; ++l) {
            const DenoiseProfileEntry& e = profile.entries[c][l];
            putU32(p, e.bits);
            putU32(p + 4, e.fractionBits);
            p += 8;
            const size_t n = size_t(1) << e.bits;
            std::memcpy(p, e.table, n);
            p += n;
        }
    }
    return int(p - buffer);
}

int DenoiseProfileDeserialize(DenoiseProfile* profile, const uint8_t* buffer, size_t size)
{
    if (!profile || !buffer)
        return -2;
    size = std::min(size, DENOISE_PROFILE_BYTES);
    DenoiseProfile read;
    size_t pos = 0;
    auto take = [&](uint32_t* out) {
        if (size - pos < 4)
            return false;
        *out = getU32(buffer + pos);
        pos += 4;
        return true;
    };
    if (!take(&read.count) || read.count > uint32_t(DENOISE_MAX_CHANNELS))
        return -2;
    for (uint32_t c = 0; c < read.count; ++c) {
        if (!take(&read.levels[c]) || read.levels[c] > uint32_t(DENOISE_MAX_LEVELS))
            return -2;
        for (uint32_t l = 0; l < read.levels[c]; ++l) {
            DenoiseProfileEntry& e = read.entries[c][l];
            if (!take(&e.bits) || e.bits > uint32_t(DENOISE_MAX_TABLE_BITS))
                return -2;
            if (!take(&e.fractionBits) || e.fractionBits > uint32_t(DENOISE_MAX_FRACTION_BITS))
                return -2;
            const size_t n = size_t(1) << e.bits;
            if (size - pos < n)
                return -2;
            std::memcpy(e.table, buffer + pos, n);
            pos += n;
        }
    }
    *profile = read;
    return 0;
}

int DenoiseNoiseProfileWrite(const DenoiseProfile& profile, NoiseProfile* out)
{
    if (!out)
        return -2;
    std::memset(out->bytes, 0, sizeof(out->bytes));
    const int written = DenoiseProfileSerialize(profile, out->bytes, sizeof(out->bytes));
    return written < 0 ? written : 0;
}

int DenoiseNoiseProfileRead(const NoiseProfile* in, DenoiseProfile* profile)
{
    if (!in)
        return -2;
    return DenoiseProfileDeserialize(profile, in->bytes, sizeof(in->bytes));
}

int32_t DenoiseLevelWeight(int32_t level, int32_t offset)
{
    const int64_t l = std::clamp<int64_t>(int64_t(level) + offset, 0, 100000);
    return int32_t(std::min<int64_t>(l * l * 256 / 2500, 65535));
}

int32_t DenoiseStrengthWeight(int32_t strength, int32_t offset)
{
    const int64_t s = int64_t(strength) + offset;
    return int32_t(std::clamp<int64_t>(s * 256 / 100, 0, 256));
}

int32_t DenoiseFactorWeight(int32_t factor, int32_t offset)
{
    const int64_t f = int64_t(factor) + offset;
    return int32_t(std::clamp<int64_t>(f * 256 / 100 + 256, 0, 4096));
}

void DenoiseWorkRecordFillWeights(DenoiseWorkRecord* work, const DenoiseParamSet& luma,
                                  const DenoiseParamSet& chroma)
{
    if (!work)
        return;
    for (int i = 0; i < 4; ++i) {
        work->lumaLevel[i] = DenoiseLevelWeight(luma.level, luma.levelOffset[i]);
        work->lumaStrength[i] = DenoiseStrengthWeight(luma.strength, luma.strengthOffset[i]);
        work->lumaFactor[i] = DenoiseFactorWeight(luma.factor, luma.factorOffset[i]);
        work->chromaLevel[i] = DenoiseLevelWeight(chroma.level, chroma.levelOffset[i]);
        work->chromaStrength[i] = DenoiseStrengthWeight(chroma.strength, chroma.strengthOffset[i]);
        work->chromaFactor[i] = DenoiseFactorWeight(chroma.factor, chroma.factorOffset[i]);
    }
}
