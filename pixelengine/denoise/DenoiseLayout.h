#pragma once
// Frame formats, internal codes and the 32-bit sample-layout word.
//
// Layout word bits: 0-3 channel count, 4-7 bytes per sample, 28 separate plane
// pointers, 29-31 chroma class (0 none, 1 horizontal, 2 both ways), 23-27 a
// variant within the class (chroma order or interleave).
#include <cstdint>

enum DenoiseFrameFormat : int32_t {
    DENOISE_FORMAT_YUV444 = 0x401,  // packed Y, U, V
    DENOISE_FORMAT_YUY2 = 0x501,    // packed Y0, U, Y1, V
    DENOISE_FORMAT_UYVY = 0x503,    // packed U, Y0, V, Y1
    DENOISE_FORMAT_I420 = 0x601,    // Y, U, V planes, 4:2:0
    DENOISE_FORMAT_NV12 = 0x801,    // Y plane, interleaved U, V
    DENOISE_FORMAT_NV21 = 0x802,    // Y plane, interleaved V, U
};

constexpr uint32_t DENOISE_CLASS_MASK = 0xE0000000u;
constexpr uint32_t DENOISE_VARIANT_MASK = 0x0F800000u;
constexpr uint32_t DENOISE_SEPARATE_PLANES = 0x10000000u;
constexpr uint32_t DENOISE_CLASS_1 = 0x20000000u;
constexpr uint32_t DENOISE_CLASS_2 = 0x40000000u;

// Internal code (1..14) of a frame format, or -101 for any other format.
int DenoiseCodeForFormat(int32_t frameFormat);
// Layout word of an internal code 1..14, 0 for a code without one.
uint32_t DenoiseLayoutForCode(int code);
// Internal code of a layout word, 0 when there is none.
int DenoiseLayoutToCode(uint32_t layout);

inline int DenoiseLayoutChannels(uint32_t layout) { return int(layout & 0xFu); }
inline int DenoiseLayoutBytesPerSample(uint32_t layout) { return int((layout >> 4) & 0xFu); }
inline bool DenoiseLayoutSeparatePlanes(uint32_t layout) { return (layout & DENOISE_SEPARATE_PLANES) != 0; }
inline int DenoiseLayoutChromaClass(uint32_t layout) { return int(layout >> 29); }
inline uint32_t DenoiseLayoutVariant(uint32_t layout) { return layout & DENOISE_VARIANT_MASK; }
// Class 1 without variant bits (0x20000013, 0x30000013): sized like class 2.
inline bool DenoiseLayoutPlainClass1(uint32_t layout) { return (layout & 0xEF000000u) == DENOISE_CLASS_1; }
// Chroma planes held at half width and half height inside the engine.
inline bool DenoiseLayoutChromaHalvesBoth(uint32_t layout)
{
    return DenoiseLayoutChromaClass(layout) == 2 || DenoiseLayoutPlainClass1(layout);
}
// Chroma planes held at half width only (class 1 with variant bits).
inline bool DenoiseLayoutChromaHalvesWidth(uint32_t layout)
{
    return DenoiseLayoutChromaClass(layout) == 1 && !DenoiseLayoutPlainClass1(layout);
}

// Where one sample of the pixel at (x, y) lives: plane index, row and byte
// offset within that row. channel 0 = Y, 1 = U, 2 = V. False for a layout or
// channel the table does not describe.
struct DenoiseSampleSite {
    int plane;
    int row;
    int byte;
};
bool DenoiseSampleLocate(uint32_t layout, int channel, int x, int y, DenoiseSampleSite* site);
