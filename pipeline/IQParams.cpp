#include "IQParams.h"

IQAdjustParams &IQAdjustParams::operator=(const IQAdjustParams &other)
{
    assign(other);
    return *this;
}

void IQAdjustParams::reset()
{
    *this = IQAdjustParams();
}

bool IQAdjustParams::isDefault() const
{
    const IQAdjustParams d;
    return mode == d.mode && filterBlue == d.filterBlue && filterGreen == d.filterGreen
           && filterRed == d.filterRed && filterOpacity == d.filterOpacity && filterBlend
           && contrast == d.contrast && saturation == d.saturation && vignette == d.vignette
           && blur == d.blur && spare == d.spare && brightness == d.brightness
           && sharpness == d.sharpness && temperature == d.temperature && tint == d.tint
           && gamma == d.gamma && vibrance == d.vibrance;
}

void IQAdjustParams::assign(const IQAdjustParams &other)
{
    if (this == &other)
        return;
    mode = other.mode;
    filterBlue = other.filterBlue;
    filterGreen = other.filterGreen;
    filterRed = other.filterRed;
    filterOpacity = other.filterOpacity;
    filterBlend = other.filterBlend;
    contrast = other.contrast;
    saturation = other.saturation;
    vignette = other.vignette;
    blur = other.blur;
    spare = other.spare;
    brightness = other.brightness;
    sharpness = other.sharpness;
    temperature = other.temperature;
    tint = other.tint;
    gamma = other.gamma;
    vibrance = other.vibrance;
}

void IQHDRToneParams::reset()
{
    *this = IQHDRToneParams();
}

bool IQHDRToneParams::isDefault() const
{
    return highlight == 0 && shadow == 0 && !clahe && !equalizeRounded && !detailEnhance
           && !localGamma && !equalizeTruncated && !edgePreserve && !denoiseColored && !addNoise;
}

void IQDenoiseParams::reset()
{
    *this = IQDenoiseParams();
}

void IQDenoiseParams::assign(const IQDenoiseParams &other)
{
    mode = other.mode;
    luminance = other.luminance;
    chrominance = other.chrominance;
    luminanceFactor = other.luminanceFactor;
}

bool IQDenoiseParams::isDefault() const
{
    return mode == 0 && luminance == 0 && chrominance == 0 && luminanceFactor == 0;
}

void IQProcessParams::reset()
{
    adjust.reset();
    tone.reset();
    denoise.reset();
}

bool IQProcessParams::isDefault() const
{
    return adjust.isDefault() && tone.isDefault() && denoise.isDefault();
}

void IQProcessParams::setPreset(int effect)
{
    reset();
    IQAdjustParams &a = adjust;
    IQHDRToneParams &t = tone;
    switch (effect) {
    case 1:
        a.vibrance = 50;
        a.sharpness = 30;
        t.highlight = -10;
        t.shadow = 30;
        t.clahe = true;
        t.claheClip = 1.0;
        break;
    case 2:
        a.mode = 0;
        a.saturation = 30;
        t.clahe = true;
        t.claheClip = 4.0;
        t.equalizeRounded = true;
        t.denoiseColored = true;
        break;
    case 3:
        a.mode = 1;
        a.brightness = 20;
        a.sharpness = 10;
        t.clahe = true;
        t.claheClip = 1.0;
        denoise.luminance = 50;
        break;
    case 4:
        a.mode = 0;
        a.contrast = 5;
        a.brightness = -30;
        a.sharpness = 50;
        a.temperature = 4000;
        a.vibrance = 20;
        t.highlight = 20;
        t.clahe = true;
        t.claheClip = 1.0;
        denoise.luminance = 50;
        break;
    case 5:
        a.mode = 0;
        a.contrast = 5;
        a.brightness = 10;
        a.sharpness = 30;
        a.vibrance = 35;
        t.highlight = 15;
        t.shadow = -5;
        t.clahe = true;
        t.claheClip = 1.0;
        denoise.luminance = 50;
        break;
    case 6:
        a.mode = 0;
        a.contrast = 20;
        a.saturation = 20;
        a.brightness = 20;
        t.highlight = -30;
        t.shadow = 15;
        t.clahe = true;
        t.claheClip = 1.0;
        denoise.luminance = 50;
        break;
    case 7:
        a.mode = 0;
        a.contrast = 5;
        a.brightness = 10;
        a.sharpness = 30;
        a.vibrance = 45;
        t.highlight = 10;
        t.edgePreserve = true;
        denoise.luminance = 20;
        break;
    case 8:
        a.mode = 2;
        a.sharpness = 10;
        t.highlight = 10;
        t.shadow = 10;
        t.clahe = true;
        t.claheClip = 2.0;
        denoise.luminance = 50;
        break;
    case 9:
        a.mode = 2;
        t.highlight = 30;
        t.shadow = 30;
        t.clahe = true;
        t.claheClip = 3.0;
        t.detailEnhance = true;
        t.denoiseColored = true;
        break;
    case 10:
        a.mode = 3;
        a.brightness = -50;
        a.vibrance = -30;
        t.highlight = -20;
        t.equalizeTruncated = true;
        t.addNoise = true;
        break;
    default:
        // 0, negative values and anything past the last effect: no preset.
        break;
    }
}
