#pragma once
// How strongly one highlight or shadow pass acts on a pixel of weight w
// (L^2 for highlights, (1 - L)^2 for shadows, L the pixel's luminance).
//
// The pass turns every channel byte c of a pixel into
// fastPow(c / 255, 1 / g) / (1 - k), with g = 1 + 4 se rho and k = s rho for
// a strength rho of w / mean below the mask threshold and 1 at or above it
// (s = v / 400; se = s up to -50 and a fifth of that rate beyond). The
// strength grows with w, and w with the pixel's own brightness, so at strong
// settings this formula darkens a brighter grey below a duller one
// (highlights) or lifts a darker grey above a lighter one (shadows).
//
// Where the formula keeps the grey axis rising, and every 32 levels of it at
// least one level apart while the output lies between 8 and 247, the pass is
// the formula byte for byte. Otherwise every grey level gets an exponent and
// a divisor of its own. They come from a walk over the settings: from the
// nearest weaker setting whose formula keeps the greys apart towards this
// one, each step takes its formula's grey curve, lifts it where it falls
// (lowers it, when brightening) so that between outputs 7 and 249 it rises
// by a tenth of a level per level at first and by half a level ten settings
// on (a little elsewhere, flat only at 255), keeps it no brighter (no
// darker) than the
// step before and no darker (brighter) than the nearest stronger setting
// whose formula keeps the greys apart, and strengthens each level's
// exponent and divisor, both together, until its grey meets that curve.
// So along the grey axis the output always rises, a stronger setting never
// brightens (darkens) a grey, and since both numbers only grow, every other
// byte of a pixel follows the slider the same way. A pixel whose luminance
// rounds to such a level reads its bytes from that level's row; all three
// channels share it, so colours keep their channel order.
#include <cstdint>
#include <vector>

namespace cv {
class Mat;
}

// The weights of a B,G,R byte picture, in single precision: L^2 into
// highlights and (1 - L)^2 into shadows, L = (0.114 B + 0.587 G + 0.299 R)
// / 255. Maps of the picture's size and CV_32FC1 type are written in
// place. The analysis and the grey levels below share it, so they agree
// to the bit.
void IQToneWeights(const cv::Mat &bgr, cv::Mat &highlights, cv::Mat &shadows);

class IQToneStrength {
public:
    // v is the setting (clamped to -100..100), mean the mean weight of the
    // picture, highlights whether w is L^2 (else (1 - L)^2).
    IQToneStrength(int v, double mean, bool highlights);

    // Whether the pass is the formula everywhere.
    bool followsFormula() const { return rows.empty(); }

    // 1 / g and 1 - k of a pixel at or above the mask threshold.
    float maskedInvG() const { return 1 / (1 + 4 * exponentStrength); }
    float maskedDivisor() const { return 1 - strength; }

    // 1 / g and 1 - k of the formula for a pixel below the mask threshold.
    void formula(float w, float &invG, float &divisor) const
    {
        formulaOf(w, strength, exponentStrength, meanWeight, invG, divisor);
    }

    // Whether a pixel of weight w, masked or not, takes another strength.
    bool replaces(float w) const { return w >= bandLow && w < bandHigh; }

    // The output bytes 0..255 of a pixel of weight w where replaces(w).
    const uint8_t *replacedRow(float w) const;

    // The weight the analysis gives the grey pixel (c, c, c), c = 0..255.
    static const float *greyWeights(bool highlights);

    static void formulaOf(float w, float s, float se, double mean, float &invG, float &divisor)
    {
        const float g = float(4 * se * w / mean + 1);
        const float k = float(w / mean * s);
        invG = 1 / g;
        divisor = 1 - k;
    }

private:
    void replace(int v, bool highlights);

    float strength = 0;
    float exponentStrength = 0;
    double meanWeight = 0;
    // Pixels with sqrt(w) * 255 rounding to first..last take rows.
    float bandLow = 2, bandHigh = -1; // empty unless replaced
    int first = 0, last = -1;
    std::vector<uint8_t> rows; // 256 bytes for each of first..last
};
