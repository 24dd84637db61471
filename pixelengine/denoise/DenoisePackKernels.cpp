#include "denoise/DenoisePackKernels.h"

#include <algorithm>
#include <cstring>

#include "PixelEngine.h"

namespace {
// Moves one byte in the chosen direction.
inline void move(uint8_t& planeByte, uint8_t& packedByte, int direction)
{
    if (direction == DENOISE_PACK)
        packedByte = planeByte;
    else
        planeByte = packedByte;
}

// Shared body of the three 4:2:2 group forms: offsets of Y0, C1, Y1, C2
// within a group; chroma row of a luma row given by `chromaRow`.
template <typename ChromaRow>
void packGroups(const int off[4], uint8_t* y, ptrdiff_t py, uint8_t* c1, ptrdiff_t pc1, uint8_t* c2, ptrdiff_t pc2,
                uint8_t* packed, ptrdiff_t pp, int width, int rows, int direction, ChromaRow chromaRow,
                bool chromaFromUpperOnly)
{
    if (width <= 0 || rows <= 0)
        return;
    for (int r = 0; r < rows; ++r) {
        uint8_t* ry = y + r * py;
        const int cr = chromaRow(r);
        uint8_t* rc1 = c1 + cr * pc1;
        uint8_t* rc2 = c2 + cr * pc2;
        uint8_t* rp = packed + r * pp;
        // Unpacking a pair of rows takes the chroma of the upper one only.
        const bool chroma = direction == DENOISE_PACK || !chromaFromUpperOnly || (r % 2 == 0);
        const int pairs = width / 2;
        for (int k = 0; k < pairs; ++k) {
            uint8_t* g = rp + 4 * k;
            move(ry[2 * k], g[off[0]], direction);
            move(ry[2 * k + 1], g[off[2]], direction);
            if (chroma) {
                move(rc1[k], g[off[1]], direction);
                move(rc2[k], g[off[3]], direction);
            }
        }
        if (width & 1) {
            // The last group is cut at 2 * width bytes.
            uint8_t* g = rp + 4 * pairs;
            const int limit = 2;
            if (off[0] < limit)
                move(ry[2 * pairs], g[off[0]], direction);
            if (chroma && off[1] < limit)
                move(rc1[pairs], g[off[1]], direction);
        }
    }
}
}

void DenoisePackPlanes3(uint32_t layoutCode, uint8_t* p0, ptrdiff_t pitch0, uint8_t* p1, ptrdiff_t pitch1,
                        uint8_t* p2, ptrdiff_t pitch2, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                        int direction)
{
    if (layoutCode != 0x10)
        return;
    for (int r = 0; r < rows; ++r) {
        uint8_t* a = p0 + r * pitch0;
        uint8_t* b = p1 + r * pitch1;
        uint8_t* c = p2 + r * pitch2;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; ++x) {
            move(a[x], p[3 * x], direction);
            move(b[x], p[3 * x + 1], direction);
            move(c[x], p[3 * x + 2], direction);
        }
    }
}

void DenoisePackGroups8(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch, int width,
                        int rows, int direction)
{
    for (int r = 0; r < rows; ++r) {
        uint8_t* a = plane + r * planePitch;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; x += 8) {
            const size_t n = size_t(std::min(8, width - x));
            if (direction == DENOISE_PACK)
                std::memcpy(p + 2 * x, a + x, n);
            else
                std::memcpy(a + x, p + 2 * x, n);
        }
    }
}

void DenoisePackPairsSwapped(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch,
                             int width, int rows, int direction)
{
    for (int r = 0; r < rows; ++r) {
        uint8_t* a = plane + r * planePitch;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x + 1 < width; x += 2) {
            move(a[x], p[2 * x + 2], direction);
            move(a[x + 1], p[2 * x], direction);
        }
        // An odd last sample would sit at byte 2 * width, outside the row.
    }
}

void DenoisePackPairs16(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch, int width,
                        int rows, int direction)
{
    for (int r = 0; r < rows; ++r) {
        uint8_t* a = plane + r * planePitch;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; ++x) {
            move(a[2 * x], p[4 * x], direction);
            move(a[2 * x + 1], p[4 * x + 1], direction);
        }
    }
}

void DenoisePackLumaChroma(uint8_t* y, ptrdiff_t pitchY, uint8_t* u, ptrdiff_t pitchU, uint8_t* v,
                           ptrdiff_t pitchV, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                           int direction)
{
    for (int r = 0; r < rows; ++r) {
        uint8_t* ry = y + r * pitchY;
        uint8_t* ru = u + r * pitchU;
        uint8_t* rv = v + r * pitchV;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; ++x) {
            uint8_t* g = p + 16 * (x / 8);
            const int m = x % 8;
            move(ry[x], g[m], direction);
            if (m % 2 == 0) {
                move(ru[x / 2], g[8 + m / 2], direction);
                move(rv[x / 2], g[12 + m / 2], direction);
            }
        }
    }
}

void DenoisePackQuad(uint8_t* y, ptrdiff_t pitchY, uint8_t* c1, ptrdiff_t pitchC1, uint8_t* c2, ptrdiff_t pitchC2,
                     uint8_t* packed, ptrdiff_t packedPitch, int width, int rows, int direction)
{
    const int off[4] = {0, 1, 2, 3};
    packGroups(off, y, pitchY, c1, pitchC1, c2, pitchC2, packed, packedPitch, width, rows, direction,
               [](int r) { return r / 2; }, true);
}

void DenoisePackQuadAlt(uint8_t* y, ptrdiff_t pitchY, uint8_t* c1, ptrdiff_t pitchC1, uint8_t* c2,
                        ptrdiff_t pitchC2, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                        int direction)
{
    const int off[4] = {1, 0, 3, 2};
    packGroups(off, y, pitchY, c1, pitchC1, c2, pitchC2, packed, packedPitch, width, rows, direction,
               [](int r) { return r; }, false);
}

void DenoisePackQuadWide(uint8_t* y, ptrdiff_t pitchY, uint8_t* c1, ptrdiff_t pitchC1, uint8_t* c2,
                         ptrdiff_t pitchC2, uint8_t* packed, ptrdiff_t packedPitch, int width, int rows,
                         int direction)
{
    const int off[4] = {0, 1, 2, 3};
    packGroups(off, y, pitchY, c1, pitchC1, c2, pitchC2, packed, packedPitch, width, rows, direction,
               [](int r) { return r; }, false);
}

void DenoisePackInterleaved2(uint8_t* a, ptrdiff_t pitchA, uint8_t* b, ptrdiff_t pitchB, uint8_t* packed,
                             ptrdiff_t packedPitch, int width, int rows, int direction)
{
    for (int r = 0; r < rows; ++r) {
        uint8_t* ra = a + r * pitchA;
        uint8_t* rb = b + r * pitchB;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; ++x) {
            move(ra[x], p[2 * x], direction);
            move(rb[x], p[2 * x + 1], direction);
        }
    }
}

void DenoisePackStrided2(uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed, ptrdiff_t packedPitch, int width,
                         int rows, int direction)
{
    for (int r = 0; r < rows; ++r) {
        uint8_t* a = plane + r * planePitch;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; ++x)
            move(a[x], p[2 * x], direction);
    }
}

int DenoisePackStrided(uint32_t layout, uint8_t* plane, ptrdiff_t planePitch, uint8_t* packed,
                       ptrdiff_t packedPitch, int width, int rows, int n, int s, int direction)
{
    const int bytes = int((layout >> 4) & 0xF);
    if (bytes != 1 && bytes != 2)
        return PE_ERR_SAMPLE;
    if (n < 1 || s < 0)
        return PE_ERR_ARGUMENT;
    if (bytes == 1 && n == 2 && s == 0) {
        DenoisePackStrided2(plane, planePitch, packed, packedPitch, width, rows, direction);
        return 0;
    }
    for (int r = 0; r < rows; ++r) {
        uint8_t* a = plane + r * planePitch;
        uint8_t* p = packed + r * packedPitch;
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bytes; ++b)
                move(a[x * bytes + b], p[(size_t(x) * n + s) * bytes + b], direction);
    }
    return 0;
}
