#pragma once
// The parameter records that carry the editing page's settings to the
// adjustment processor, and the built-in effect presets.

// Colour, tone and finishing steps of the adjust engine.
struct IQAdjustParams {
    int mode = 0;            // 0 none, 1 built-in 3D colour table, 2 grey, 3 sepia
    int filterBlue = 255;    // colour-filter target, 0..255
    int filterGreen = 255;
    int filterRed = 255;
    int filterOpacity = 50;  // 0..100
    bool filterBlend = true;
    int contrast = 0;
    int saturation = 0;
    int vignette = 0;
    int blur = 0;
    int spare = 50;          // carried, read by no step
    int brightness = 0;      // strength of the automatic tone curve
    int sharpness = 0;
    int temperature = 5000;  // kelvin; 5000 with tint 10 is neutral
    int tint = 10;
    int gamma = 0;
    int vibrance = 0;

    IQAdjustParams() = default;
    IQAdjustParams(const IQAdjustParams &other) = default;
    IQAdjustParams &operator=(const IQAdjustParams &other);

    void reset();
    bool isDefault() const;
    void assign(const IQAdjustParams &other);
};

// Highlight and shadow recovery and the switches of the detail chain.
struct IQHDRToneParams {
    int highlight = 0;       // -100..100
    int shadow = 0;          // -100..100
    bool clahe = false;
    double claheClip = 1.0;
    bool equalizeRounded = false;
    bool detailEnhance = false;
    bool localGamma = false;
    bool equalizeTruncated = false;
    bool edgePreserve = false;
    bool denoiseColored = false;
    bool addNoise = false;

    void reset();
    // The clip limit alone does not make a change: it only matters with clahe.
    bool isDefault() const;
};

// Settings of the denoise engine; only luminance and chrominance reach it.
struct IQDenoiseParams {
    int mode = 0;
    int luminance = 0;       // 0..100
    int chrominance = 0;     // 0..100
    int luminanceFactor = 0;

    void reset();
    void clear() { reset(); }
    void assign(const IQDenoiseParams &other);
    bool isDefault() const;
};

// The three records together, as an effect preset fills them.
struct IQProcessParams {
    IQAdjustParams adjust;
    IQHDRToneParams tone;
    IQDenoiseParams denoise;

    static constexpr int PresetCount = 10;

    void reset();
    bool isDefault() const;
    // Resets the records, then applies effect 1..10; any other value leaves
    // them at their reset values.
    void setPreset(int effect);
};
