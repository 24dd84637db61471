#include "denoise/DenoiseLayout.h"

#include "PixelEngine.h"

namespace {
// Indexed by internal code 1..14; 0 marks a code without layout.
constexpr uint32_t kLayoutTable[15] = {
    0,           0x00500013u, 0x21000013u, 0,           0x00000013u,
    0,           0x00002023u, 0x00200013u, 0x51000013u, 0x30000013u,
    0x50000013u, 0,           0x20000013u, 0x22000013u, 0x52800013u,
};
}

int DenoiseCodeForFormat(int32_t frameFormat)
{
    switch (frameFormat) {
    case DENOISE_FORMAT_UYVY: return 2;
    case DENOISE_FORMAT_YUV444: return 4;
    case DENOISE_FORMAT_YUY2: return 12;
    case DENOISE_FORMAT_NV12: return 8;
    case DENOISE_FORMAT_NV21: return 14;
    case DENOISE_FORMAT_I420: return 10;
    default: return PE_ERR_FORMAT;
    }
}

uint32_t DenoiseLayoutForCode(int code)
{
    if (code < 1 || code > 14)
        return 0;
    return kLayoutTable[code];
}

int DenoiseLayoutToCode(uint32_t layout)
{
    switch (layout) {
    case 0x20000013u: return 12;
    case 0x50000013u: return 10;
    case 0x21000013u: return 2;
    case 0x30000013u: return 9;
    case 0x51000013u: return 8;
    case 0x52800013u: return 14;
    case 0x00002023u: return 6;
    case 0x00000013u: return 4;
    case 0x00200013u: return 7;
    case 0x00500013u: return 1;
    default: return 0;
    }
}

bool DenoiseSampleLocate(uint32_t layout, int channel, int x, int y, DenoiseSampleSite* site)
{
    if (!site || channel < 0 || channel > 2 || x < 0 || y < 0)
        return false;
    const int hx = x / 2;
    const int hy = y / 2;
    auto set = [site](int plane, int row, int byte) {
        site->plane = plane;
        site->row = row;
        site->byte = byte;
        return true;
    };
    switch (layout) {
    case 0x00000013u:
    case 0x00200013u:
    case 0x00400013u:
    case 0x00500013u:
    case 0x00600013u:
        return set(0, y, 3 * x + channel);
    case 0x20000013u: {
        const int off[3] = {2 * x, 4 * hx + 1, 4 * hx + 3};
        return set(0, y, off[channel]);
    }
    case 0x21000013u: {
        const int off[3] = {2 * x + 1, 4 * hx, 4 * hx + 2};
        return set(0, y, off[channel]);
    }
    case 0x22000013u: {
        const int g = 16 * (x / 8);
        const int m = x % 8;
        const int off[3] = {g + m, g + m / 2 + 8, g + m / 2 + 12};
        return set(0, y, off[channel]);
    }
    case 0x23000013u: {
        const int off[3] = {4 * hx + x % 2, 4 * hx + 2, 4 * hx + 3};
        return set(0, y, off[channel]);
    }
    case 0x24000013u: {
        const int off[3] = {(x % 2) ? 4 * hx : 4 * hx + 2, 4 * hx + 1, 4 * hx + 3};
        return set(0, y, off[channel]);
    }
    case 0x10000013u:
    case 0x10200013u:
        return set(channel, y, x);
    case 0x30000013u:
        return channel == 0 ? set(0, y, x) : set(channel, y, hx);
    case 0x50000013u:
        return channel == 0 ? set(0, y, x) : set(channel, hy, hx);
    case 0x51000013u:
        return channel == 0 ? set(0, y, x) : set(1, hy, 2 * hx + (channel == 2 ? 1 : 0));
    case 0x52800013u:
        return channel == 0 ? set(0, y, x) : set(1, hy, 2 * hx + (channel == 1 ? 1 : 0));
    case 0x10000011u:
        return channel == 0 ? set(0, y, x) : false;
    default:
        return false;
    }
}
