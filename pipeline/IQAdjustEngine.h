#pragma once
// Applies the finishing adjustments of one IQAdjustParams record to a 24-bit
// B,G,R picture in place, in a fixed order over the pixel-engine kernels.
// Owns the lazily created tone engine and white-balance context and the blur
// work buffer. Every public operation takes the engine's mutex; the
// white-balance step also takes one process-wide lock, because its kernels
// keep their matrix in process-wide state.
#include <QMutex>

#include <cstddef>
#include <cstdint>

#include "IQParams.h"
#include "Rand15.h"

struct AdjustImage;
struct AdjustWhiteBalanceContext;
struct ToneEngine;

class IQAdjustEngine {
public:
    IQAdjustEngine(int width, int height);
    ~IQAdjustEngine();

    IQAdjustEngine(const IQAdjustEngine &) = delete;
    IQAdjustEngine &operator=(const IQAdjustEngine &) = delete;

    void setParams(const IQAdjustParams &p);
    IQAdjustParams getParams() const;

    // Runs the steps the record asks for on the picture. 1 on success;
    // -2 (PE_ERR_ARGUMENT) for an unusable picture description, nothing
    // changed; -201 (PE_ERR_NOMEM) when a step could not get its memory: the
    // steps before it have run, so the picture must be discarded.
    int apply(uint8_t *pixels, int width, int height, int bytesPerLine);

    // The blur work buffer, at least bytes long (grown when needed); null when
    // memory runs out.
    uint8_t *workBuffer(size_t bytes);
    // Creates the tone engine and analyses the picture once; false when the
    // engine cannot be created.
    bool prepareTone(AdjustImage *image);
    // 0.5 .. 1.0 from the engine's own generator.
    double randomFactor();

    int width() const { return m_width; }
    int height() const { return m_height; }

    // The formulas of the gamma and blur steps.
    static float gammaExponent(int gamma);
    static int blurAmount(int blur);
    static double lerp(double a, double x, double y) { return a * x + (1.0 - a) * y; }

    // Per-pixel steps of the chain. src and dst may be the same buffer; both
    // use bytesPerLine. Rows run in parallel bands.
    static void applyVibrance(const uint8_t *src, uint8_t *dst, int width, int height, int bytesPerLine,
                              int vibrance);
    static void buildGammaTable(uint8_t table[256], float exponent);
    static void applyGamma(const uint8_t *src, uint8_t *dst, int width, int height, int bytesPerLine,
                           float exponent);
    static void applySepia(uint8_t *pixels, int width, int height, int bytesPerLine);

private:
    uint8_t *ensureWorkBuffer(size_t bytes);
    bool createTone(AdjustImage *image);
    int applyLocked(uint8_t *pixels, int width, int height, int bytesPerLine, const IQAdjustParams &p);

    ToneEngine *m_tone = nullptr;
    AdjustWhiteBalanceContext *m_whiteBalance = nullptr;
    int m_width = 0;
    int m_height = 0;
    uint8_t *m_workBuffer = nullptr;
    size_t m_workBytes = 0;
    IQAdjustParams m_params;
    Rand15 m_random;
    mutable QMutex m_mutex;
};
