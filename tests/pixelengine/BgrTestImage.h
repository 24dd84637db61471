#pragma once
// A blue, green, red test picture with padded rows and guard bytes after the
// last row, so kernels that write past a row or the image are caught.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "PixelEngine.h"
#include "Rand15.h"

// The engine's image record around pixels a test owns.
inline AdjustImage adjustImageOf(uint8_t* pixels, int width, int height, int stride,
                                 int format = ADJUST_FORMAT_BGR24)
{
    AdjustImage im;
    im.width = width;
    im.height = height;
    im.format = format;
    im.stride = stride;
    im.pixels = pixels;
    return im;
}

struct BgrTestImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> bytes;
    static constexpr int kGuard = 64;
    static constexpr uint8_t kGuardValue = 0xA5;

    BgrTestImage(int w, int h, int padding = 5)
        : width(w), height(h), stride(w * 3 + padding),
          bytes(size_t(stride) * size_t(h > 0 ? h : 0) + kGuard, kGuardValue)
    {
    }

    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }
    AdjustImage image() { return adjustImageOf(bytes.data(), width, height, stride); }
    uint8_t* px(int x, int y) { return bytes.data() + size_t(y) * stride + 3 * x; }
    const uint8_t* px(int x, int y) const { return bytes.data() + size_t(y) * stride + 3 * x; }

    void fill(uint8_t b, uint8_t g, uint8_t r)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = px(x, y);
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
    }
    void fillRandom(uint32_t seed)
    {
        Rand15 rng(seed);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3 * width; ++x)
                px(0, y)[x] = uint8_t(rng.next() & 255);
    }
    // Smooth gradients with some texture: closer to a photo than noise.
    void fillScene(uint32_t seed)
    {
        Rand15 rng(seed);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = px(x, y);
                const int n = (rng.next() & 31) - 16;
                p[0] = uint8_t(std::max(0, std::min(255, 255 * x / std::max(1, width - 1) + n)));
                p[1] = uint8_t(std::max(0, std::min(255, 255 * y / std::max(1, height - 1) + n)));
                p[2] = uint8_t(std::max(0, std::min(255, ((x / 7 + y / 5) % 2) * 200 + 20 + n)));
            }
    }
    // True when padding bytes and the guard after the image are untouched.
    bool paddingIntact() const
    {
        for (int y = 0; y < height; ++y)
            for (int i = width * 3; i < stride; ++i)
                if (bytes[size_t(y) * stride + i] != kGuardValue)
                    return false;
        for (size_t i = size_t(stride) * height; i < bytes.size(); ++i)
            if (bytes[i] != kGuardValue)
                return false;
        return true;
    }
    bool samePixels(const BgrTestImage& o) const
    {
        if (o.width != width || o.height != height)
            return false;
        for (int y = 0; y < height; ++y)
            if (std::memcmp(px(0, y), o.px(0, y), size_t(width) * 3) != 0)
                return false;
        return true;
    }
};
