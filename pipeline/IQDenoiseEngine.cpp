#include "IQDenoiseEngine.h"

#include <QMutexLocker>
#include <QtDebug>

#include <cstdlib>
#include <cstring>

#include "PixelEngine.h"
#include "denoise/DenoiseEngine.h"
#include "denoise/DenoiseRecords.h"

static_assert(IQDenoiseEngine::ProfileBytes == int(sizeof(NoiseProfile)), "profile sizes differ");

namespace {

// A profile worth keeping: it reads and holds channels.
bool usableProfile(const NoiseProfile *profile)
{
    DenoiseProfile parsed;
    return DenoiseNoiseProfileRead(profile, &parsed) == 0 && parsed.count > 0;
}

} // namespace

IQDenoiseEngine::IQDenoiseEngine()
{
    DenoiseEngine *created = nullptr;
    const int rc = DenoiseCreate(&created);
    if (rc != 0) {
        // A failed creation may still hand back a partly built engine.
        if (created)
            DenoiseDestroy(created);
        qCritical("IQDenoiseEngine: the denoise engine could not be created (%d)", rc);
        return;
    }
    engine = created;
    configure();
}

IQDenoiseEngine::IQDenoiseEngine(const uint8_t *profile)
    : IQDenoiseEngine()
{
    if (!profile)
        return;
    NoiseProfile read;
    std::memcpy(read.bytes, profile, sizeof(read.bytes));
    if (!usableProfile(&read))
        return;
    noiseProfile = static_cast<NoiseProfile *>(std::malloc(sizeof(NoiseProfile)));
    if (noiseProfile)
        *noiseProfile = read;
}

IQDenoiseEngine::~IQDenoiseEngine()
{
    QMutexLocker lock(&mutex);
    std::free(noiseProfile);
    noiseProfile = nullptr;
    DenoiseDestroy(engine);
    engine = nullptr;
}

void IQDenoiseEngine::configure()
{
    DenoiseSetMode(engine, 0);
    DenoiseSetLuminanceChrominance(engine, 0);
    DenoiseSetLuminanceFactor(engine, 0);
}

bool IQDenoiseEngine::isValid() const
{
    QMutexLocker lock(&mutex);
    return engine != nullptr;
}

// The setters take the lock too, so a caller without a lock of its own
// cannot change the settings under a running apply().
void IQDenoiseEngine::setLuminance(int v)
{
    QMutexLocker lock(&mutex);
    if (!engine)
        return;
    settings[1] = v;
    DenoiseSetLuminance(engine, v);
}

void IQDenoiseEngine::setChrominance(int v)
{
    QMutexLocker lock(&mutex);
    if (!engine)
        return;
    settings[2] = v;
    DenoiseSetChrominance(engine, v);
}

void IQDenoiseEngine::setLuminanceFactor(int v)
{
    QMutexLocker lock(&mutex);
    if (!engine)
        return;
    settings[3] = v;
    DenoiseSetLuminanceFactor(engine, v);
}

void IQDenoiseEngine::setLumaChroma(int v)
{
    QMutexLocker lock(&mutex);
    if (engine)
        DenoiseSetLuminanceChrominance(engine, v);
}

void IQDenoiseEngine::resetNoiseProfile()
{
    QMutexLocker lock(&mutex);
    std::free(noiseProfile);
    noiseProfile = nullptr;
}

bool IQDenoiseEngine::hasNoiseProfile() const
{
    QMutexLocker lock(&mutex);
    return noiseProfile != nullptr;
}

bool IQDenoiseEngine::copyNoiseProfile(NoiseProfile *out) const
{
    QMutexLocker lock(&mutex);
    if (!noiseProfile || !out)
        return false;
    *out = *noiseProfile;
    return true;
}

int IQDenoiseEngine::apply(const IQYUVFrame *src, IQYUVFrame *dst)
{
    QMutexLocker lock(&mutex);
    if (!engine)
        return PE_ERR_HANDLE;
    if (!src || !dst)
        return PE_ERR_ARGUMENT;

    int code = -1;
    if (noiseProfile) {
        code = DenoiseSetNoiseProfile(engine, noiseProfile);
        if (code != 0) {
            // Unreadable: measure this picture instead.
            std::free(noiseProfile);
            noiseProfile = nullptr;
        }
    }
    if (!noiseProfile) {
        auto *measured = static_cast<NoiseProfile *>(std::malloc(sizeof(NoiseProfile)));
        if (!measured)
            return PE_ERR_NOMEM;
        code = DenoiseEstimateNoise(engine, src, measured);
        if (code != 0 || !usableProfile(measured)) {
            // Nothing kept: the next run measures again.
            std::free(measured);
            DenoiseSetNoiseProfile(engine, nullptr);
            return code != 0 ? code : PE_ERR_ARGUMENT;
        }
        noiseProfile = measured;
    }
    return DenoiseProcess(engine, src, dst, nullptr, nullptr);
}
