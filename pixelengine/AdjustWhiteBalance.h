#pragma once
// White balance: colour temperature and tint corrected in linear light by a
// Bradford adaptation matrix. The matrix and clip levels live in
// process-wide state, so no two white-balance calls may overlap, even on
// different handles.
#include "PixelEngine.h"

#include <cstdint>

struct AdjustWhiteBalanceContext;

enum AdjustWhiteBalanceMode : int32_t {
    ADJUST_WB_NEUTRAL = 0,
    ADJUST_WB_AUTO = 1,
    ADJUST_WB_MANUAL = 8,
};

struct AdjustWhiteBalanceParams {
    int32_t mode = ADJUST_WB_NEUTRAL;
    int32_t kelvin = 5000;
    int32_t tint = 10;
};

// 0, or -201 when memory runs out (the out-pointer is then not written).
int AdjustWhiteBalanceCreate(AdjustWhiteBalanceContext** context);
int AdjustWhiteBalanceDestroy(AdjustWhiteBalanceContext* context);

// Resolves the request and applies the matrix in place to a B,G,R image.
// 0; -1 for a null context; -2 for a null record, a format other than 1, a
// mode outside 0..8 or an unusable geometry (pixels untouched, state kept).
int AdjustWhiteBalanceApply(AdjustWhiteBalanceContext* context, const AdjustWhiteBalanceParams* params,
                            AdjustImage* image);

// Turns (mode, kelvin, tint) into the process-wide matrix; mode 1 estimates
// from the pixels. 0; -2 for a mode outside 0..8 (state kept).
int AdjustWhiteBalanceResolve(int mode, int kelvin, int tint, const uint8_t* pixels, int width, int height,
                              int stride, const uint16_t* linearLut);

// Matrix and clip levels for one (kelvin, tint); 5000/10 is the identity.
int AdjustWhiteBalanceSetTemperature(int kelvin, int tint);

// Grey-world gains over whole 128 x 128 blocks. 0; -201 when the block table
// cannot be allocated and -2 for unusable pixels, both with gains 1, 1, 1.
int AdjustWhiteBalanceEstimate(double* blueGain, double* greenGain, double* redGain, const uint8_t* pixels,
                               int width, int height, int stride, const uint16_t* linearLut);

// Gains -> kelvin (a multiple of 50, 2000..12000) and tint (-150..150).
int AdjustWhiteBalanceGainsToTemperature(int* kelvin, int* tint, double redGain, double greenGain,
                                         double blueGain);

// White point -> process-wide matrix (blue-green-red order) and clip levels.
int AdjustBuildWhiteMatrix(double x, double y);

// Computes 2850 K / 0, then 7500 K / 10, leaving the latter in the state.
int AdjustWhiteBalanceWarmUp();

// Copies the process-wide matrix (B,G,R order) and clip levels (blue,
// green, red) for inspection.
void AdjustWhiteBalanceState(double matrix[9], double clip[3]);
