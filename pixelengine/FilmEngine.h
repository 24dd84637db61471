#pragma once
// Film engine: film looks through chained 17 x 17 x 17 colour tables, an
// optional tone curve, and colour-dependent film grain, all driven by one
// process-wide film data blob. Plain functions over a caller-owned record;
// not thread-safe (the blob is global), callers serialise.
#include <cstdint>

struct FilmParams;

// Sizes of the film data blob.
constexpr int32_t kFilmLutNodes = 17;
constexpr int32_t kFilmLutPlane = kFilmLutNodes * kFilmLutNodes * kFilmLutNodes;  // 4913
constexpr int32_t kFilmLutBytes = 3 * kFilmLutPlane;                              // 14739
constexpr int32_t kFilmLutCount = 43;
constexpr int32_t kFilmGrainCells = 4096;
constexpr int32_t kFilmGrainBytes = 3 * kFilmGrainCells;                          // 12288
constexpr int32_t kFilmGrainCount = 23;
constexpr int32_t kFilmGrainOffset = kFilmLutCount * kFilmLutBytes;               // 633777
constexpr int32_t kFilmDataSize = kFilmGrainOffset + kFilmGrainCount * kFilmGrainBytes;  // 916401

// Selection ranges. The 43 colour tables are the film looks (1..28 in
// category 0, 1..43 in categories 1..4), then four bank-2, four bank-3 and
// seven bank-4 tables.
constexpr int32_t kFilmCategoryMax = 4;
constexpr int32_t kFilmBaseLooks = 28;
constexpr int32_t kFilmBank2Count = 4;
constexpr int32_t kFilmBank3Count = 4;
constexpr int32_t kFilmBank4Count = 7;

// Grain strength (100 is the normal strength) and grain scale bounds, so
// the 16-bit grain field cannot overflow. The largest Gaussian the 15-bit
// polar draw can give is 5.8072; the largest amplitude per unit of strength
// is 0.349383 (grain 21 at scale 10); their product times 16,150 rounds to
// 32,767, one more to 32,769. Larger scales would also shrink the enlarged
// crop below a pixel.
constexpr int32_t kFilmStrengthMax = 16150;
constexpr double kFilmGrainScaleMax = 10.0;

// Caller-owned record. The result pixels are made by FilmApply and freed by
// FilmRelease; the parameter block is made by the first call that needs it.
struct FilmImage {
    uint8_t* pixels = nullptr;  // result, 3 bytes a pixel
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;
    FilmParams* params = nullptr;
};

// Film data: exactly kFilmDataSize bytes, else -1 and nothing changes; -2
// when the copy cannot be allocated. A blob loaded before is replaced.
int FilmLoadData(const uint8_t* bytes, int32_t size);
int FilmFreeData();
// Whether a blob is loaded.
bool FilmHasData();

// Copies the picture (height x rowBytes bytes, 3 bytes a pixel). With
// topDown 0 the working rows are reversed, which FilmApply undoes; with
// topDown set the result comes out upside down. -1 no parameter block, -2
// bad geometry or no memory.
int FilmSetImage(FilmImage* image, const uint8_t* pixels, int32_t width, int32_t height,
                 int32_t rowBytes, int32_t topDown);
// Strength 100, grain scale 1.0.
int FilmReset(FilmImage* image);
int FilmSetCategory(FilmImage* image, int32_t category);

// Selections, 0 = none. An index outside its range gives -2 and leaves the
// previous selection; -2 also when the copy cannot be allocated. Without a
// blob (or, for FilmSelectLut, with a category that allows no table for
// the index) the index is stored and no table is taken.
int FilmSelectLut(FilmImage* image, int32_t index);
int FilmSelectGrain(FilmImage* image, int32_t index);
int FilmSelectLutBank2(FilmImage* image, int32_t index);
int FilmSelectLutBank3(FilmImage* image, int32_t index);
int FilmSelectLutBank4(FilmImage* image, int32_t index);

// Strength is clamped to -kFilmStrengthMax..kFilmStrengthMax (a negative
// strength turns the grain over); the grain scale to 0..kFilmGrainScaleMax
// (a value that is not a number gives -2).
int FilmSetStrength(FilmImage* image, int32_t strength);
int FilmSetGrainScale(FilmImage* image, double scale);
// Grain scale for a picture size; kind 0, 1 or 2 (others give 1.0).
int FilmGrainScaleForSize(double* out, int32_t width, int32_t height, int32_t kind);

// Renders grain, tone curve and the colour tables into image->pixels
// (reallocated when the picture grew). 0; -1 no parameter block, -2 no
// picture or no memory. A grain failure leaves the result without grain;
// when only the grain enlargement runs short the grain stays unenlarged.
// Like every entry point of the family it throws nothing.
int FilmApply(FilmImage* image);
// Frees the result, the working picture, every table copy and the block.
int FilmRelease(FilmImage* image);

// Single steps over any 3-byte pixels: the trilinear look-up through one of
// the selected tables (-2 when that table is not taken) and every byte
// through the tone curve of the last FilmApply.
int FilmApplyLutFilm(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);
int FilmApplyLutBank2(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);
int FilmApplyLutBank3(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);
int FilmApplyLutBank4(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);
int FilmApplyCurve(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);

