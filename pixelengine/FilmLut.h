#pragma once
// Colour-table kernels of the film engine: trilinear look-up, chaining of
// tables, the tone curve and the composition of the working table.
#include <cstdint>

struct FilmParams;

// Trilinear look-up of 3-byte pixels through one 14,739-byte table (three
// planes of 17^3 nodes; node (a, b, c) at c * 289 + b * 17 + a for input
// channels 0, 1, 2). Rows run in parallel on large pictures.
void FilmApplyLutTable(const uint8_t* lut, uint8_t* pixels, int32_t width, int32_t height,
                       int32_t rowBytes);
// The block's working table over 3-byte pixels (the step FilmApply runs
// when the table holds a transform). 0; -1 no block or no working table;
// -2 bad geometry.
int FilmApplyLut(FilmParams* params, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);
// Reverses the row order of a picture in place through a one-row buffer.
// 0; -2 bad geometry or no memory for the row.
int FilmFlipRows(uint8_t* pixels, int32_t height, int32_t rowBytes);
// Colour of one pixel through a table.
void FilmLutSample(const uint8_t* lut, const uint8_t in[3], uint8_t out[3]);

// Replaces every node of a by b evaluated at that node's colour. -2 when
// the scratch copy cannot be made.
int FilmLutThroughLut(uint8_t* a, const uint8_t* b);
// Every value of the three planes through the curve.
void FilmLutThroughCurve(uint8_t* lut, const uint8_t curve[256]);

// Tone curve of the film and bank-2 pair (leaves the curve alone unless
// both are taken).
void FilmBuildToneCurve(FilmParams* params);
// Builds the working table from the taken film and bank tables. 0; -1 no
// block; -2 no memory.
int FilmComposeLut(FilmParams* params);
