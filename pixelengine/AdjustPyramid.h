#pragma once
// Single-channel plane kernels behind the pyramid blurs. Planes are 8-bit or
// signed 16-bit samples; row lengths are in samples.
#include <cstdint>

// Halves a width x height plane to ceil(width/2) x ceil(height/2) with 1:2:1
// (1:1 at the ends) weights. 1; -2 for bad arguments; -201 out of memory.
int AdjustPyramidReduce(const uint8_t* source, int sourceRowLength, int width, int height,
                        uint8_t* destination, int destinationRowLength);

// Doubles a ceil(width/2) x ceil(height/2) plane to width x height by
// averaging neighbours. 1; -2 for bad arguments.
int AdjustPyramidExpand(uint8_t* destination, int destinationRowLength, int width, int height,
                        const uint8_t* source, int sourceRowLength);

// destination = a - b over width x height packed samples. The fourth value is
// not used.
void AdjustDetailSubtract(int16_t* destination, const uint8_t* a, const uint8_t* b, int unused,
                          int width, int height);

// destination = clamp(base + detail, 0, 255) over width x height packed samples.
void AdjustDetailAdd(const int16_t* detail, const uint8_t* base, uint8_t* destination, int unused,
                     int width, int height);

// In place 3 x 3 binomial smoothing of a detail plane that also scales it by
// 1/16; the border keeps its values and planes under 3 x 3 are left alone.
// 0; -2 for bad arguments; -201 out of memory.
int AdjustDetailSmooth(int16_t* plane, int rowLength, int width, int height);

// In place 3 x 3 binomial blur of an 8-bit plane; the border keeps its
// values. 0; -2 for bad arguments; -201 out of memory.
int AdjustBinomialBlur3x3(uint8_t* plane, int rowLength, int width, int height);

// Number of halvings after which size is still at least max(minimum, 1);
// 0 when size is already below that.
int AdjustPyramidDepth(int size, int minimum);
