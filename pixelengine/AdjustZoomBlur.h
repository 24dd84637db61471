#pragma once
// Zoom blur of 8-bit blue, green, red images: pixels outside a central disc
// are averaged along the line toward the centre, more so farther out. Source
// and destination have the same width, height and stride and must not
// overlap. 1 on success (also for height < 1); -2 for an unusable image
// description or a negative length; -201 when memory runs out (nothing
// written then).
#include <cstdint>

// maximumLength: pixels averaged at the corners (capped at 255); radius moves
// the edge of the untouched disc (0 = half the half diagonal; 125 or more
// leaves the picture as it is).
int AdjustZoomBlurApply(const uint8_t* source, int width, int height, int stride, uint8_t* destination,
                        int maximumLength, int radius);

// The same on a picture reduced to about 640 pixels on its longer side,
// expanded back and blended in by distance from the centre.
int AdjustZoomBlurFastApply(const uint8_t* source, int width, int height, int stride,
                            uint8_t* destination, int maximumLength, int radius);
