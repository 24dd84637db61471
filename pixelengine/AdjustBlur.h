#pragma once
// Radial blurs of 8-bit blue, green, red images: the blur strength grows from
// the centre toward the corners in 16 x 16 blocks. Source and destination
// have the same width, height and stride and may be the same buffer. They
// return 1 on success (also for height < 1), -2 for an unusable image
// description or value, -201 when memory runs out (nothing written then).
#include <cstdint>

// Multi-scale pyramid blur; levels 0..8 (0 copies, 1 leaves the picture as
// it is), mix 0..100 the share of the unblurred picture near the centre.
int AdjustBlurApply(const uint8_t* source, int width, int height, int stride, uint8_t* destination,
                    int levels, int mix);

// One 3 x 3 binomial blur blended in by block; the sixth value is not used.
int AdjustRadialBlurApply(const uint8_t* source, int width, int height, int stride,
                          uint8_t* destination, int unused, int mix);

// Gaussian blur of the given sigma (radius ceil(2 sigma); 0 leaves the
// destination unwritten) blended in by block.
int AdjustGaussianBlurApply(const uint8_t* source, int width, int height, int stride,
                            uint8_t* destination, double sigma, int mix);
