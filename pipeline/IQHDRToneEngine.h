#pragma once
// The OpenCV side of the editing chain: the detail chain (local gamma, CLAHE,
// histogram equalisation, OpenCV photo filters, noise) and the highlight and
// shadow recovery passes, driven by IQHDRToneParams. All pictures are 8-bit
// B,G,R matrices. Every step writes into the memory of its destination, so a
// matrix that wraps a caller's buffer receives the result.
//
// Not thread-safe: the adjustment processor serialises all calls.
#include <opencv2/core.hpp>

#include <cstdint>
#include <memory>

#include "IQParams.h"

class IQBGRData;
class IQFilterScratch;
namespace cv {
class CLAHE;
}

class IQHDRToneEngine {
public:
    IQHDRToneEngine();
    ~IQHDRToneEngine();

    void setParams(const IQHDRToneParams &p);
    const IQHDRToneParams &getParams() const { return params; }

    // Views the buffer without copying (it must outlive the engine's use of
    // it), then analyses it.
    void setSource(const IQBGRData &data);
    // Also sets up what the detail chain would otherwise set up in its first
    // pass (OpenCV's colour tables, the equaliser, the chain's working
    // planes), so that the pass the user waits for does not.
    void analyseSource();

    void applyDetailChain(const cv::Mat &src, cv::Mat &dst);
    void applyHighlightShadow(const cv::Mat &src, cv::Mat &dst);

    // One tone pass with the highlight or the shadow maps, v in -100..100
    // (values beyond act as the ends). Past -50 the exponent grows at a fifth
    // of its rate, so no setting crushes the picture. Where the per-pixel
    // formula would turn a brighter grey darker than a duller one (or merge
    // greys), the pixels take another strength (IQToneStrength).
    void recoverHighlights(const cv::Mat &src, cv::Mat &dst, int v);
    void recoverShadows(const cv::Mat &src, cv::Mat &dst, int v);

    void applyLocalGamma(const cv::Mat &src, cv::Mat &dst);
    void applyClahe(const cv::Mat &src, cv::Mat &dst, double clip, cv::Size tiles);
    void equalizeHistogramRounded(const cv::Mat &src, cv::Mat &dst);
    void equalizeHistogramTruncated(const cv::Mat &src, cv::Mat &dst);
    // Adds uniform noise of +-amount (at most 50) to every byte; an amount of
    // 0 or less leaves dst as it is.
    void addNoise(const cv::Mat &ref, cv::Mat &dst, int amount);

    // Helpers offered beside the chain; no pass calls them.
    // A histogram picture (width x height, 8-bit B,G,R) of the three channels.
    cv::Mat drawHistogram(const cv::Mat &src, int width = 512, int height = 400) const;
    void enhanceDetail(const cv::Mat &src, cv::Mat &dst);
    // round(255 * (i / 255)^g), for one- or three-channel 8-bit pictures.
    void applyGammaLut(const cv::Mat &src, cv::Mat &dst, double g);
    // Equalises the luma only, keeping the colour.
    void equalizeLuma(const cv::Mat &src, cv::Mat &dst);
    void equalizeChannels(const cv::Mat &src, cv::Mat &dst);
    // Stretches each channel between its 0.5 % and 99.5 % points.
    void applyLevels(const cv::Mat &src, cv::Mat &dst);

    // Noise is seeded from the clock at construction; a fixed seed makes it
    // repeatable.
    void seedNoise(uint32_t seed);
    // The generator state after the given number of draws from state.
    static uint32_t advanceNoiseState(uint32_t state, uint64_t steps);

    // Bit-level approximation of a^b: scales the upper 32 bits of the double
    // a around 0x3FEF127F. Computed in double and clamped to the finite
    // non-negative range, so exponents of any size stay defined.
    static double fastPow(double a, double b);

    cv::Mat source;           // CV_8UC3 view of the picture, never written
    cv::Mat highlightMask;    // 255 where the highlight weight is >= its mean
    cv::Mat highlightWeight;  // L^2
    cv::Scalar highlightMean;
    cv::Mat shadowMask;       // 255 where the shadow weight is >= its mean
    cv::Mat shadowWeight;     // (1 - L)^2
    cv::Scalar shadowMean;
    IQHDRToneParams params;

private:
    void tonePass(const cv::Mat &src, cv::Mat &dst, int v, const cv::Mat &mask, const cv::Mat &weight,
                  double mean, bool highlights);

    IQFilterScratch &scratch();
    cv::CLAHE &equaliser();

    uint32_t noiseState; // of the Rand15 sequence the noise draws from
    // The detail chain's whole-picture working planes and its equaliser,
    // kept from pass to pass.
    std::unique_ptr<IQFilterScratch> m_scratch;
    cv::Ptr<cv::CLAHE> m_clahe;
};
