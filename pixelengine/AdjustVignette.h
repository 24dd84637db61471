#pragma once
// Radial vignette on 8-bit blue, green, red pixels, in place.
#include <cstdint>

// Gain 4^(-0.02 * amount * r^2 / D), D the squared half diagonal: 1 at the
// centre, 1/16 at the corners for amount 100. Negative amounts brighten
// toward the corners, saturating at 255. 1 on success (also for amount 0 or
// height < 1); -2 for an unusable image description.
int AdjustVignetteApply(uint8_t* pixels, int width, int height, int stride, int amount);
