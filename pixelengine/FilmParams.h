#pragma once
// Parameter block of a FilmImage, shared by the film engine's units.
#include <cstddef>
#include <cstdint>

struct FilmParams {
    uint8_t* working = nullptr;   // copy of the caller's picture
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowBytes = 0;

    int32_t category = 0;
    int32_t filmIndex = 0;        // 1-based record, 0 = none
    int32_t grainIndex = 0;       // 1..23, 0 = no grain; also the grain seed
    int32_t bank2Index = 0;
    int32_t bank3Index = 0;
    int32_t bank4Index = 0;
    int32_t strength = 0;
    double grainScale = 0.0;

    uint8_t* filmLut = nullptr;
    uint8_t* grainTable = nullptr;
    uint8_t* bank2Lut = nullptr;
    uint8_t* bank3Lut = nullptr;
    uint8_t* bank4Lut = nullptr;
    // Whether each copy holds a record; a selection that took nothing
    // (no blob, or a category without that table) leaves its copy unused.
    bool filmTaken = false;
    bool grainTaken = false;
    bool bank2Taken = false;
    bool bank3Taken = false;
    bool bank4Taken = false;

    int32_t lutFlag = 0;          // 1 when the working LUT holds a transform
    uint8_t* workingLut = nullptr;
    uint8_t curve[256] = {};

    // The result buffer this block made, and its size.
    uint8_t* result = nullptr;
    size_t resultBytes = 0;
};

// Whether pixels of width x height, three bytes each, rows rowBytes apart,
// can be worked.
inline bool FilmGeometryUsable(const void* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    return pixels && width > 0 && height > 0 && rowBytes / 3 >= width;
}
