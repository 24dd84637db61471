#pragma once
// Unsharp mask on 8-bit blue, green, red pixels, in place.
#include <cstdint>

// Sharpens by the difference between each pixel's luma and a 5 x 5 binomial
// blur of it. amount 0..100 (0 does nothing). The two outer rows and columns
// are never changed; images narrower or shorter than 5 pixels are left alone.
// Returns 0 on success, -2 for bad arguments (null pixels with a non-empty
// image, stride shorter than a row), -201 when a buffer cannot be allocated.
int AdjustUnsharpMaskApply(uint8_t* pixels, int width, int height, int stride, int amount);
