#include "FilmLut.h"

#include "FilmEngine.h"
#include "FilmMemory.h"
#include "FilmParallel.h"
#include "FilmParams.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kStrideB = kFilmLutNodes;                   // 17
constexpr int kStrideC = kFilmLutNodes * kFilmLutNodes;   // 289

// One pixel through the table: the eight nodes around the colour, weights in
// 1/16 per axis (4096 in all).
inline void sample(const uint8_t* lut, int c0, int c1, int c2, uint8_t* out)
{
    const int base = (c2 >> 4) * kStrideC + (c1 >> 4) * kStrideB + (c0 >> 4);
    const int f0 = c0 & 15, f1 = c1 & 15, f2 = c2 & 15;
    const int w00 = (16 - f1) * (16 - f2);
    const int w10 = f1 * (16 - f2);
    const int w01 = (16 - f1) * f2;
    const int w11 = f1 * f2;
    const int g0 = 16 - f0;
    const int g1 = f0;
    for (int p = 0; p < 3; ++p) {
        const uint8_t* n = lut + p * kFilmLutPlane + base;
        const int sum = (n[0] * g0 + n[1] * g1) * w00
                      + (n[kStrideB] * g0 + n[kStrideB + 1] * g1) * w10
                      + (n[kStrideC] * g0 + n[kStrideC + 1] * g1) * w01
                      + (n[kStrideC + kStrideB] * g0 + n[kStrideC + kStrideB + 1] * g1) * w11;
        out[p] = static_cast<uint8_t>(sum >> 12);
    }
}

bool taken(int32_t index, bool tableTaken)
{
    return index != 0 && tableTaken;
}

}  // namespace

void FilmLutSample(const uint8_t* lut, const uint8_t in[3], uint8_t out[3])
{
    uint8_t result[3];
    sample(lut, in[0], in[1], in[2], result);
    std::memcpy(out, result, 3);
}

int FilmApplyLut(FilmParams* params, uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    if (!params || !params->workingLut)
        return -1;
    if (!FilmGeometryUsable(pixels, width, height, rowBytes))
        return -2;
    FilmApplyLutTable(params->workingLut, pixels, width, height, rowBytes);
    return 0;
}

int FilmFlipRows(uint8_t* pixels, int32_t height, int32_t rowBytes)
{
    if (!pixels || height < 0 || rowBytes <= 0)
        return -2;
    uint8_t* row = FilmAllocateArray<uint8_t>(static_cast<size_t>(rowBytes));
    if (!row)
        return kFilmNoMemory;
    for (int32_t i = 0; i < height / 2; ++i) {
        uint8_t* a = pixels + static_cast<size_t>(i) * rowBytes;
        uint8_t* b = pixels + static_cast<size_t>(height - 1 - i) * rowBytes;
        std::memcpy(row, a, static_cast<size_t>(rowBytes));
        std::memcpy(a, b, static_cast<size_t>(rowBytes));
        std::memcpy(b, row, static_cast<size_t>(rowBytes));
    }
    FilmDeallocate(row);
    return 0;
}

void FilmApplyLutTable(const uint8_t* lut, uint8_t* pixels, int32_t width, int32_t height,
                       int32_t rowBytes)
{
    if (!lut || !pixels || width <= 0 || height <= 0)
        return;
    // The three planes packed into one 64-bit word per node, a channel in
    // each 21-bit lane: a weighted sum of eight nodes (at most 255 x 4096 a
    // lane) then needs one multiply per corner and never carries into the
    // next lane. Same sums as the per-plane formula, which runs instead when
    // the packed table cannot be made.
    uint64_t* packed = FilmAllocateArray<uint64_t>(kFilmLutPlane);
    if (!packed) {
        FilmParallelRows(height, int64_t(width) * 3, [=](int32_t y0, int32_t y1) {
            for (int32_t y = y0; y < y1; ++y) {
                uint8_t* px = pixels + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
                for (int32_t x = 0; x < width; ++x, px += 3)
                    sample(lut, px[0], px[1], px[2], px);
            }
        });
        return;
    }
    for (int n = 0; n < kFilmLutPlane; ++n)
        packed[n] = uint64_t(lut[n]) | uint64_t(lut[kFilmLutPlane + n]) << 21
                  | uint64_t(lut[2 * kFilmLutPlane + n]) << 42;
    const uint64_t* table = packed;
    FilmParallelRows(height, int64_t(width) * 3, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y) {
            uint8_t* px = pixels + static_cast<size_t>(y) * static_cast<size_t>(rowBytes);
            for (int32_t x = 0; x < width; ++x, px += 3) {
                const int c0 = px[0], c1 = px[1], c2 = px[2];
                const uint64_t* n = table + (c2 >> 4) * kStrideC + (c1 >> 4) * kStrideB + (c0 >> 4);
                const uint32_t f0 = c0 & 15, f1 = c1 & 15, f2 = c2 & 15;
                const uint32_t g0 = 16 - f0, g1 = 16 - f1, g2 = 16 - f2;
                const uint64_t b00 = n[0] * g0 + n[1] * f0;
                const uint64_t b10 = n[kStrideB] * g0 + n[kStrideB + 1] * f0;
                const uint64_t b01 = n[kStrideC] * g0 + n[kStrideC + 1] * f0;
                const uint64_t b11 = n[kStrideC + kStrideB] * g0 + n[kStrideC + kStrideB + 1] * f0;
                const uint64_t sum = (b00 * g1 + b10 * f1) * g2 + (b01 * g1 + b11 * f1) * f2;
                constexpr uint64_t lane = (uint64_t(1) << 21) - 1;
                px[0] = static_cast<uint8_t>((sum & lane) >> 12);
                px[1] = static_cast<uint8_t>(((sum >> 21) & lane) >> 12);
                px[2] = static_cast<uint8_t>(((sum >> 42) & lane) >> 12);
            }
        }
    });
    FilmDeallocate(packed);
}

int FilmLutThroughLut(uint8_t* a, const uint8_t* b)
{
    if (!a || !b)
        return -2;
    // Read from a copy so a can be overwritten node by node.
    static thread_local uint8_t source[kFilmLutBytes];
    std::memcpy(source, a, kFilmLutBytes);
    for (int n = 0; n < kFilmLutPlane; ++n) {
        uint8_t out[3];
        sample(b, source[n], source[kFilmLutPlane + n], source[2 * kFilmLutPlane + n], out);
        a[n] = out[0];
        a[kFilmLutPlane + n] = out[1];
        a[2 * kFilmLutPlane + n] = out[2];
    }
    return 0;
}

void FilmLutThroughCurve(uint8_t* lut, const uint8_t curve[256])
{
    for (int i = 0; i < kFilmLutBytes; ++i)
        lut[i] = curve[lut[i]];
}

void FilmBuildToneCurve(FilmParams* params)
{
    if (!params || !taken(params->filmIndex, params->filmTaken)
        || !taken(params->bank2Index, params->bank2Taken))
        return;
    double e;
    switch (params->bank2Index) {
    case 1: e = 1.0 / 1.8; break;
    case 2: e = 1.0 / 1.4; break;
    case 3: e = 1.4; break;
    default: e = 1.8; break;
    }
    const double k = std::pow(0.018, e) / 0.018;
    for (int i = 0; i < 255; ++i) {
        const double x = i / 255.0;
        const double f = x <= 0.018 ? x * k : std::pow(x, e);
        double v = std::trunc(f * 255.0 + 0.5);
        if (v > 255.0)
            v = 255.0;
        params->curve[255 - i] = static_cast<uint8_t>(255 - static_cast<int>(v));
    }
}

int FilmComposeLut(FilmParams* params)
{
    if (!params)
        return -1;
    if (!params->workingLut) {
        params->workingLut = FilmAllocateArray<uint8_t>(kFilmLutBytes);
        if (!params->workingLut)
            return -2;
    }
    params->lutFlag = 0;
    uint8_t* working = params->workingLut;

    const bool film = taken(params->filmIndex, params->filmTaken);
    const bool bank2 = taken(params->bank2Index, params->bank2Taken);
    if (film) {
        std::memcpy(working, params->filmLut, kFilmLutBytes);
        params->lutFlag = 1;
        if (bank2)
            FilmLutThroughLut(working, params->bank2Lut);
    } else if (bank2) {
        std::memcpy(working, params->bank2Lut, kFilmLutBytes);
        params->lutFlag = 1;
    }
    if (film && bank2 && params->filmIndex > 0 && params->bank2Index > 0)
        FilmLutThroughCurve(working, params->curve);

    const uint8_t* later[2] = {
        taken(params->bank3Index, params->bank3Taken) ? params->bank3Lut : nullptr,
        taken(params->bank4Index, params->bank4Taken) ? params->bank4Lut : nullptr,
    };
    for (const uint8_t* lut : later) {
        if (!lut)
            continue;
        if (params->lutFlag) {
            FilmLutThroughLut(working, lut);
        } else {
            std::memcpy(working, lut, kFilmLutBytes);
            params->lutFlag = 1;
        }
    }
    return 0;
}
