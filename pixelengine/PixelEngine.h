#pragma once
// Shared conventions of the pixel engine: result codes and the image record
// taken by the white-balance, tone and sharpen entry points.
#include <cstdint>

enum PixelEngineResult : int {
    PE_OK = 0,
    PE_OK_INPLACE = 1,          // success of the in-place stateless filters
    PE_ERR_HANDLE = -1,         // missing handle, or a data blob of the wrong size
    PE_ERR_ARGUMENT = -2,       // bad argument / unsupported format / bad selection
    PE_ERR_FORMAT = -101,       // denoiser: pixel format outside its table
    PE_ERR_MISMATCH = -103,     // denoiser: source and destination do not match
    PE_ERR_NOMEM = -201,        // out of memory
    PE_ERR_MODE = -401,         // denoiser: bad mode value
    PE_ERR_SAMPLE = -701,       // denoiser: unsupported sample size in a plane kernel
    PE_ERR_FILTER = -801,       // denoiser: unknown filter type in a stage byte
};

enum AdjustImageFormat : int32_t {
    ADJUST_FORMAT_BGR24 = 1,    // 3 bytes a pixel: blue, green, red
    ADJUST_FORMAT_GRAY8 = 2,    // 1 byte a pixel
    ADJUST_FORMAT_BGR48 = 3,    // 3 unsigned 16-bit words a pixel: blue, green, red
    ADJUST_FORMAT_GRAY16 = 4,   // 1 unsigned 16-bit word a pixel
};

// Built by the caller around pixels it owns; never kept beyond a call.
struct AdjustImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t format = ADJUST_FORMAT_BGR24;
    int32_t reserved = 0;
    int32_t stride = 0;         // bytes from one row to the next
    uint8_t* pixels = nullptr;  // top row first
};

// 10-bit fixed-point luma of a B,G,R pixel.
inline int PixelLuma(int r, int g, int b) { return (306 * r + 601 * g + 117 * b) >> 10; }
