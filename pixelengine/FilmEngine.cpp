#include "FilmEngine.h"

#include "FilmGrain.h"
#include "FilmLut.h"
#include "FilmMemory.h"
#include "FilmParallel.h"
#include "FilmParams.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// The film data blob shared by every FilmImage of the process.
uint8_t* g_filmData = nullptr;

FilmParams* paramsOf(FilmImage* image)
{
    if (!image)
        return nullptr;
    if (!image->params) {
        if (void* memory = FilmAllocate(sizeof(FilmParams)))
            image->params = new (memory) FilmParams();
    }
    return image->params;
}

// Takes LUT record `record` (0-based, -1 for none) into `copy`, making the
// copy first. A copy that takes nothing is zero-filled and marked unused.
int takeRecord(uint8_t*& copy, bool& taken, int32_t bytes, const uint8_t* source)
{
    if (!copy) {
        copy = FilmAllocateArray<uint8_t>(static_cast<size_t>(bytes));
        if (!copy)
            return -2;
    }
    if (source)
        std::memcpy(copy, source, static_cast<size_t>(bytes));
    else
        std::memset(copy, 0, static_cast<size_t>(bytes));
    taken = source != nullptr;
    return 0;
}

const uint8_t* lutRecord(int32_t record)
{
    if (!g_filmData || record < 0 || record >= kFilmLutCount)
        return nullptr;
    return g_filmData + static_cast<size_t>(record) * kFilmLutBytes;
}

const uint8_t* grainRecord(int32_t record)
{
    if (!g_filmData || record < 0 || record >= kFilmGrainCount)
        return nullptr;
    return g_filmData + kFilmGrainOffset + static_cast<size_t>(record) * kFilmGrainBytes;
}

// Bank selections: index 0..count, record index + offset (0-based).
int selectBank(FilmImage* image, int32_t index, int32_t count, int32_t offset, int32_t FilmParams::*stored,
               uint8_t* FilmParams::*copy, bool FilmParams::*taken)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (index < 0 || index > count)
        return -2;
    const uint8_t* source = index > 0 ? lutRecord(index + offset) : nullptr;
    const int code = takeRecord(params->*copy, params->*taken, kFilmLutBytes, source);
    if (code != 0)
        return code;
    params->*stored = index;
    return 0;
}

int applyCopy(FilmImage* image, uint8_t* FilmParams::*copy, bool FilmParams::*taken, uint8_t* pixels,
              int32_t width, int32_t height, int32_t rowBytes)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (!(params->*taken) || !FilmGeometryUsable(pixels, width, height, rowBytes))
        return -2;
    FilmApplyLutTable(params->*copy, pixels, width, height, rowBytes);
    return 0;
}

}  // namespace

int FilmLoadData(const uint8_t* bytes, int32_t size)
{
    if (size != kFilmDataSize || !bytes)
        return -1;
    uint8_t* blob = FilmAllocateArray<uint8_t>(kFilmDataSize);
    if (!blob)
        return kFilmNoMemory;
    std::memcpy(blob, bytes, kFilmDataSize);
    FilmDeallocate(g_filmData);
    g_filmData = blob;
    return 0;
}

int FilmFreeData()
{
    FilmDeallocate(g_filmData);
    g_filmData = nullptr;
    return 0;
}

bool FilmHasData()
{
    return g_filmData != nullptr;
}

int FilmSetImage(FilmImage* image, const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                 int32_t topDown)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (!FilmGeometryUsable(pixels, width, height, rowBytes))
        return -2;
    const size_t bytes = static_cast<size_t>(height) * static_cast<size_t>(rowBytes);
    uint8_t* copy = FilmAllocateArray<uint8_t>(bytes);
    if (!copy)
        return kFilmNoMemory;
    if (topDown) {
        std::memcpy(copy, pixels, bytes);
    } else {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(copy + static_cast<size_t>(y) * rowBytes,
                        pixels + static_cast<size_t>(height - 1 - y) * rowBytes, static_cast<size_t>(rowBytes));
    }
    FilmDeallocate(params->working);
    params->working = copy;
    params->width = image->width = width;
    params->height = image->height = height;
    params->rowBytes = image->rowBytes = rowBytes;
    return 0;
}

int FilmReset(FilmImage* image)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    params->strength = 100;
    params->grainScale = 1.0;
    return 0;
}

int FilmSetCategory(FilmImage* image, int32_t category)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    params->category = category;
    return 0;
}

int FilmSelectLut(FilmImage* image, int32_t index)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (index < 0 || index > kFilmLutCount)
        return -2;
    // Category 0 offers the base looks only; categories 1..4 every table;
    // any other category none.
    const int32_t category = params->category;
    const bool allowed = index > 0
        && ((category >= 1 && category <= kFilmCategoryMax) || (category == 0 && index <= kFilmBaseLooks));
    const int code = takeRecord(params->filmLut, params->filmTaken, kFilmLutBytes,
                                allowed ? lutRecord(index - 1) : nullptr);
    if (code != 0)
        return code;
    params->filmIndex = index;
    return 0;
}

int FilmSelectGrain(FilmImage* image, int32_t index)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (index < 0 || index > kFilmGrainCount)
        return -2;
    const int code = takeRecord(params->grainTable, params->grainTaken, kFilmGrainBytes,
                                index > 0 ? grainRecord(index - 1) : nullptr);
    if (code != 0)
        return code;
    params->grainIndex = index;
    return 0;
}

int FilmSelectLutBank2(FilmImage* image, int32_t index)
{
    return selectBank(image, index, kFilmBank2Count, 27, &FilmParams::bank2Index, &FilmParams::bank2Lut,
                      &FilmParams::bank2Taken);
}

int FilmSelectLutBank3(FilmImage* image, int32_t index)
{
    return selectBank(image, index, kFilmBank3Count, 31, &FilmParams::bank3Index, &FilmParams::bank3Lut,
                      &FilmParams::bank3Taken);
}

int FilmSelectLutBank4(FilmImage* image, int32_t index)
{
    return selectBank(image, index, kFilmBank4Count, 35, &FilmParams::bank4Index, &FilmParams::bank4Lut,
                      &FilmParams::bank4Taken);
}

int FilmSetStrength(FilmImage* image, int32_t strength)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    params->strength = std::min(kFilmStrengthMax, std::max(-kFilmStrengthMax, strength));
    return 0;
}

int FilmSetGrainScale(FilmImage* image, double scale)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (std::isnan(scale))
        return -2;
    params->grainScale = std::min(kFilmGrainScaleMax, std::max(0.0, scale));
    return 0;
}

namespace {

int applyFilm(FilmImage* image)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (!params->working)
        return -2;
    const int32_t width = params->width, height = params->height, rowBytes = params->rowBytes;
    const size_t bytes = static_cast<size_t>(height) * static_cast<size_t>(rowBytes);
    // The result buffer is ours; a picture larger than the last needs a new one.
    if (image->pixels != params->result || !params->result || params->resultBytes < bytes) {
        uint8_t* result = FilmAllocateArray<uint8_t>(bytes);
        if (!result)
            return kFilmNoMemory;
        FilmDeallocate(params->result);
        params->result = result;
        params->resultBytes = bytes;
    }
    image->pixels = params->result;
    image->width = width;
    image->height = height;
    image->rowBytes = rowBytes;
    // The result is the working picture with its rows reversed; grain is
    // laid over the working rows, so it walks the result upwards.
    uint8_t* result = image->pixels;
    const uint8_t* working = params->working;
    FilmParallelRows(height, rowBytes, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y)
            std::memcpy(result + static_cast<size_t>(height - 1 - y) * rowBytes,
                        working + static_cast<size_t>(y) * rowBytes, static_cast<size_t>(rowBytes));
    });

    if (params->grainIndex != 0)  // a failure leaves the result without grain
        FilmApplyGrainRows(params, result + static_cast<size_t>(height - 1) * rowBytes, width, height,
                           -static_cast<ptrdiff_t>(rowBytes));

    FilmBuildToneCurve(params);
    const int code = FilmComposeLut(params);
    if (code != 0)
        return code;
    if (params->lutFlag)
        return FilmApplyLut(params, result, width, height, rowBytes);
    return 0;
}

}  // namespace

int FilmApply(FilmImage* image)
{
    return FilmNoThrow([&] { return applyFilm(image); });
}

int FilmRelease(FilmImage* image)
{
    if (!image)
        return -1;
    FilmParams* params = image->params;
    if (params) {
        for (uint8_t* buffer : {params->filmLut, params->grainTable, params->bank2Lut, params->bank3Lut,
                                params->bank4Lut, params->workingLut, params->working, params->result})
            FilmDeallocate(buffer);
        params->~FilmParams();
        FilmDeallocate(params);
    }
    image->params = nullptr;
    image->pixels = nullptr;
    return 0;
}

int FilmApplyLutFilm(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    return applyCopy(image, &FilmParams::filmLut, &FilmParams::filmTaken, pixels, width, height, rowBytes);
}

int FilmApplyLutBank2(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    return applyCopy(image, &FilmParams::bank2Lut, &FilmParams::bank2Taken, pixels, width, height, rowBytes);
}

int FilmApplyLutBank3(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    return applyCopy(image, &FilmParams::bank3Lut, &FilmParams::bank3Taken, pixels, width, height, rowBytes);
}

int FilmApplyLutBank4(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    return applyCopy(image, &FilmParams::bank4Lut, &FilmParams::bank4Taken, pixels, width, height, rowBytes);
}

int FilmApplyCurve(FilmImage* image, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    FilmParams* params = paramsOf(image);
    if (!params)
        return -1;
    if (!FilmGeometryUsable(pixels, width, height, rowBytes))
        return -2;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* px = pixels + static_cast<size_t>(y) * rowBytes;
        for (int32_t i = 0; i < width * 3; ++i)
            px[i] = params->curve[px[i]];
    }
    return 0;
}
