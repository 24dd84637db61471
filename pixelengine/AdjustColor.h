#pragma once
// Stateless per-pixel colour filters on 8-bit blue, green, red pixels, in place.
// All return 1 on success (also when height < 1: nothing changes) and -2 for
// an unusable image description or an out-of-range value (nothing changes).
#include <cstdint>

// contrast and saturation in -100..100; 0 leaves that step out.
int AdjustContrastSaturationApply(uint8_t* pixels, int width, int height, int stride,
                                  int contrast, int saturation);

// Every pixel becomes its 10-bit luma on all three channels.
int AdjustGrayscaleApply(uint8_t* pixels, int width, int height, int stride);

// Tints the picture toward (red, green, blue) by opacity 0..100. Mode 0 mixes
// the whole YCbCr product; any other mode keeps luma and fades the tint out in
// the highlights.
int AdjustColorFilterApply(uint8_t* pixels, int width, int height, int stride,
                           int red, int green, int blue, int opacity, int mode);
