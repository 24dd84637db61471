#pragma once
// Geometric warps of 8-bit blue, green, red images. Each reads a source and
// writes a separate destination of the same width, height and stride (the two
// must not overlap). They return 1 on success (also for height < 1), -2 for
// an unusable image description or amount, -201 when memory runs out (nothing
// written then).
#include <cstdint>

// Radial lens correction; strength 0 copies. Destination pixels whose source
// position falls outside the image are not written.
int AdjustLensCorrectApply(const uint8_t* source, int width, int height, int stride,
                           uint8_t* destination, int strength, int balance);

// Fisheye: the picture is cut to a circle and magnified toward its centre.
// amount 0..100 (0 copies); pixels outside the circle or the source are black.
int AdjustFisheyeApply(const uint8_t* source, int width, int height, int stride,
                       uint8_t* destination, int amount);

// Pincushion: rows far from the centre are stretched horizontally, columns
// vertically. Amounts up to 200; pixels mapped outside the source are black.
int AdjustPincushionApply(const uint8_t* source, int width, int height, int stride,
                          uint8_t* destination, int horizontalAmount, int verticalAmount);
