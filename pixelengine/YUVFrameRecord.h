#pragma once
// The YUV frame record that the pipeline fills and the denoise engine reads.
#include <cstdint>

enum IQYUVFormat : uint32_t {
    IQYUV_FORMAT_YUY2 = 0x501, // packed Y0 U Y1 V
    IQYUV_FORMAT_I420 = 0x601, // Y plane, then U and V at half width and height
    IQYUV_FORMAT_NV21 = 0x802, // Y plane, then interleaved V/U at half height
};

struct IQYUVFrame {
    uint32_t format = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* plane[4] = {nullptr, nullptr, nullptr, nullptr};
    int32_t pitch[4] = {0, 0, 0, 0};
};
