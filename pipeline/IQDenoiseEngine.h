#pragma once
// One denoise engine of the pixel engine for the adjustment processor. It
// forwards the luminance and chrominance settings, measures the picture's
// noise profile on the first run and reuses it on every later run, and
// serialises runs with a mutex.
#include <QMutex>

#include <cstdint>

struct DenoiseEngine;
struct IQYUVFrame;
struct NoiseProfile;

class IQDenoiseEngine {
public:
    // Bytes of a serialised noise profile (a NoiseProfile).
    static constexpr int ProfileBytes = 4096;

    IQDenoiseEngine();
    // Starts from a profile measured before (ProfileBytes readable). A
    // profile that does not read is dropped, so the first run measures one.
    explicit IQDenoiseEngine(const uint8_t *profile);
    ~IQDenoiseEngine();

    IQDenoiseEngine(const IQDenoiseEngine &) = delete;
    IQDenoiseEngine &operator=(const IQDenoiseEngine &) = delete;

    // False when the engine could not be created; apply() then fails.
    bool isValid() const;

    void setLuminance(int v);
    void setChrominance(int v);
    void setLuminanceFactor(int v);
    void setLumaChroma(int v);

    // Forgets the cached profile; the next run measures a new one.
    void resetNoiseProfile();
    bool hasNoiseProfile() const;
    // Copies the cached profile to `out`; false without one.
    bool copyNoiseProfile(NoiseProfile *out) const;

    // Denoises src into dst (same format and size). 0 on success, else the
    // engine's negative code with dst left as it was.
    int apply(const IQYUVFrame *src, IQYUVFrame *dst);

private:
    void configure();

    DenoiseEngine *engine = nullptr;
    NoiseProfile *noiseProfile = nullptr;
    int32_t settings[4] = {0, 0, 0, 0}; // [1] luminance, [2] chrominance, [3] luminance factor
    mutable QMutex mutex;
};
