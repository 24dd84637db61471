#include "denoise/DenoiseEngine.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "YUVFrameRecord.h"
#include "PixelEngine.h"
#include "denoise/DenoiseEngineCore.h"
#include "denoise/DenoiseEngineExtras.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoisePool.h"

namespace {
// Settings stay in a range where every weight formula is exact.
constexpr int32_t kMaxSetting = 1000;

int32_t clampSetting(int64_t v) { return int32_t(std::clamp<int64_t>(v, 0, kMaxSetting)); }
int32_t clampOffset(int64_t v) { return int32_t(std::clamp<int64_t>(v, -kMaxSetting, kMaxSetting)); }

DenoiseParamSet* paramSet(DenoiseEngine* engine, int32_t set)
{
    return set == 0 ? &engine->luma : &engine->chroma;
}

void applyStrength(DenoiseParamSet* set, int32_t v, int32_t fullStrength)
{
    v = clampSetting(v);
    if (v < 51) {
        set->strength = v * fullStrength / 50;
        set->level = 50;
    } else {
        set->strength = fullStrength;
        set->level = v;
    }
}
}

int DenoiseEngineCreate(DenoiseMemHandle handle, DenoiseEngine** out)
{
    if (!out)
        return PE_ERR_ARGUMENT;
    void* memory = DenoiseMalloc(handle, sizeof(DenoiseEngine));
    if (!memory) {
        *out = nullptr;
        return PE_ERR_NOMEM;
    }
    auto* engine = new (memory) DenoiseEngine;
    engine->handle = handle;
    *out = engine;
    int rc = DenoisePoolCreate(handle, &engine->pool);
    if (rc != 0)
        return rc;
    DenoiseProfileSetup(&engine->stored, 3, 4, 4);
    engine->stored.count = 0;
    engine->exportBuffer = static_cast<NoiseProfile*>(DenoiseCalloc(handle, 1, sizeof(NoiseProfile)));
    if (!engine->exportBuffer)
        return PE_ERR_NOMEM;
    return 0;
}

int DenoiseEngineDestroy(DenoiseEngine* engine)
{
    if (!engine)
        return 0;
    const DenoiseMemHandle handle = engine->handle;
    DenoiseStatisticsFree(engine);
    DenoisePyramidFree(handle, &engine->pyramid);
    DenoiseFree(handle, engine->exportBuffer);
    DenoisePoolDestroy(engine->pool);
    engine->~DenoiseEngine();
    DenoiseFree(handle, engine);
    return 0;
}

int DenoiseCreate(DenoiseEngine** out)
{
    if (!out)
        return PE_ERR_ARGUMENT;
    DenoiseEngine* engine = nullptr;
    const int rc = DenoiseEngineCreate(nullptr, &engine);
    if (rc != 0) {
        // Never hand out a half-built engine.
        DenoiseEngineDestroy(engine);
        engine = nullptr;
    }
    *out = engine;
    return rc;
}

int DenoiseDestroy(DenoiseEngine* engine)
{
    return DenoiseEngineDestroy(engine);
}

int DenoiseEngineSetMode(DenoiseEngine* engine, uint32_t mode)
{
    if (!engine)
        return -1;
    const int previous = engine->mode;
    engine->mode = int32_t(std::min<uint32_t>(mode, 0x7FFFFFFF));
    return previous;
}

int DenoiseEngineSetLevel(DenoiseEngine* engine, uint32_t value, int32_t set)
{
    if (!engine)
        return -1;
    DenoiseParamSet* p = paramSet(engine, set);
    const int previous = p->level;
    p->level = clampSetting(value);
    return previous;
}

int DenoiseEngineSetStrength(DenoiseEngine* engine, uint32_t value, int32_t set)
{
    if (!engine)
        return -1;
    DenoiseParamSet* p = paramSet(engine, set);
    const int previous = p->strength;
    p->strength = clampSetting(value);
    return previous;
}

int DenoiseEngineSetFactor(DenoiseEngine* engine, uint32_t value, int32_t set)
{
    if (!engine)
        return -1;
    DenoiseParamSet* p = paramSet(engine, set);
    const int previous = p->factor;
    p->factor = clampOffset(int32_t(value));
    return previous;
}

namespace {
int setChannel(DenoiseEngine* engine, int32_t (DenoiseParamSet::*array)[4], uint32_t value, int32_t set,
               int32_t level)
{
    if (!engine)
        return -1;
    if (level < 0 || level > 3)
        return PE_ERR_ARGUMENT;
    int32_t& slot = (paramSet(engine, set)->*array)[level];
    const int previous = slot;
    slot = clampOffset(int32_t(value));
    return previous;
}
}

int DenoiseEngineSetChannelLevel(DenoiseEngine* engine, uint32_t value, int32_t set, int32_t level)
{
    return setChannel(engine, &DenoiseParamSet::levelOffset, value, set, level);
}

int DenoiseEngineSetChannelStrength(DenoiseEngine* engine, uint32_t value, int32_t set, int32_t level)
{
    return setChannel(engine, &DenoiseParamSet::strengthOffset, value, set, level);
}

int DenoiseEngineSetChannelFactor(DenoiseEngine* engine, uint32_t value, int32_t set, int32_t level)
{
    return setChannel(engine, &DenoiseParamSet::factorOffset, value, set, level);
}

int DenoiseSetMode(DenoiseEngine* engine, int32_t mode)
{
    if (mode != 0 && mode != 1)
        return PE_ERR_MODE;
    if (engine)
        engine->mode = mode == 0 ? 4 : 6;
    return 0;
}

int DenoiseSetLuminance(DenoiseEngine* engine, int32_t value)
{
    if (engine)
        applyStrength(&engine->luma, value, 80);
    return 0;
}

int DenoiseSetChrominance(DenoiseEngine* engine, int32_t value)
{
    if (engine)
        applyStrength(&engine->chroma, value, 90);
    return 0;
}

int DenoiseSetLuminanceChrominance(DenoiseEngine* engine, int32_t value)
{
    if (engine) {
        applyStrength(&engine->luma, value, 80);
        applyStrength(&engine->chroma, value, 90);
    }
    return 0;
}

int DenoiseSetLuminanceFactor(DenoiseEngine* engine, int32_t value)
{
    // Both sets: a chroma factor left at its default would amplify chroma
    // detail by 1.2 while the caller has switched the luma boost off.
    if (engine) {
        engine->luma.factor = clampOffset(int64_t(value) * 20 / 50);
        engine->chroma.factor = engine->luma.factor;
    }
    return 0;
}

int DenoiseEngineLoadProfile(DenoiseEngine* engine, const NoiseProfile* profile)
{
    if (!engine)
        return PE_ERR_ARGUMENT;
    if (!profile) {
        engine->stored.count = 0;
        return 0;
    }
    // Validated as a whole; a bad profile leaves the stored one as it was.
    return DenoiseNoiseProfileRead(profile, &engine->stored);
}

const NoiseProfile* DenoiseEngineExportProfile(DenoiseEngine* engine)
{
    if (!engine || !engine->exportBuffer)
        return nullptr;
    // An inconsistent profile cannot be written: it goes out as "no profile".
    if (DenoiseNoiseProfileWrite(engine->stored, engine->exportBuffer) != 0)
        std::memset(engine->exportBuffer->bytes, 0, sizeof(engine->exportBuffer->bytes));
    return engine->exportBuffer;
}

int DenoiseEngineNoop(DenoiseEngine*)
{
    return 0;
}

int DenoiseEngineCreatePool(DenoiseEngine* engine)
{
    if (!engine)
        return PE_ERR_ARGUMENT;
    if (engine->pool)
        return 0;
    return DenoisePoolCreate(engine->handle, &engine->pool);
}

void DenoiseEngineDestroyPool(DenoiseEngine* engine)
{
    if (!engine)
        return;
    DenoisePoolDestroy(engine->pool);
    engine->pool = nullptr;
}

void DenoiseEngineRunJobs(DenoiseEngine* engine, int (*function)(void*), void* const* arguments, uint32_t count)
{
    if (engine)
        DenoisePoolRun(engine->pool, function, arguments, count);
}

int DenoiseConvertDescriptor(const IQYUVFrame* frame, DenoisePlaneDesc* desc)
{
    if (!frame || !desc)
        return PE_ERR_ARGUMENT;
    const int code = DenoiseCodeForFormat(int32_t(frame->format));
    if (code < 0)
        return code;
    *desc = DenoisePlaneDesc{};
    desc->width = frame->width;
    desc->height = frame->height;
    desc->code = code;
    const uint32_t layout = DenoiseLayoutForCode(code);
    if (!DenoiseLayoutSeparatePlanes(layout)) {
        desc->buffer = frame->plane[0];
        desc->pitch[0] = frame->pitch[0];
    } else {
        const int planes = frame->format == DENOISE_FORMAT_I420 ? 3 : 2;
        for (int i = 0; i < planes; ++i) {
            desc->planes[i] = frame->plane[i];
            desc->pitch[i] = frame->pitch[i];
        }
    }
    return 0;
}

int DenoiseEstimateNoise(DenoiseEngine* engine, const IQYUVFrame* frame, NoiseProfile* profile)
{
    if (!engine || !frame)
        return PE_ERR_ARGUMENT;
    DenoisePlaneDesc desc;
    int rc = DenoiseConvertDescriptor(frame, &desc);
    if (rc != 0)
        return rc;
    rc = DenoiseEngineEstimateNoise(engine, &desc);
    if (rc == 0 && profile) {
        const NoiseProfile* exported = DenoiseEngineExportProfile(engine);
        if (exported)
            *profile = *exported;
    }
    return rc;
}

int DenoiseSetNoiseProfile(DenoiseEngine* engine, const NoiseProfile* profile)
{
    return DenoiseEngineLoadProfile(engine, profile);
}

int DenoiseProcess(DenoiseEngine* engine, const IQYUVFrame* source, IQYUVFrame* target,
                   DenoiseProgressCallback progress, void* user)
{
    if (!engine || !source || !target)
        return PE_ERR_ARGUMENT;
    if (source->width != target->width || source->height != target->height || source->format != target->format)
        return PE_ERR_MISMATCH;
    DenoisePlaneDesc src, dst;
    int rc = DenoiseConvertDescriptor(source, &src);
    if (rc == 0)
        rc = DenoiseConvertDescriptor(target, &dst);
    if (rc != 0)
        return rc;
    return DenoiseEngineProcess(engine, &src, &dst, progress, user);
}
