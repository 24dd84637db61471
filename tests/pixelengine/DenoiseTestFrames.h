#pragma once
// Synthetic YUV frames for the denoiser tests: exact-size buffers, a clean
// picture with gradients, shapes, texture, flat patches and thin lines, and
// seeded Gaussian noise.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "../../pipeline/IQYUVFrame.h"

struct DenoiseTestFrame {
    std::vector<uint8_t> y, u, v;   // separate planes (I420, NV21) or y alone (packed)
    IQYUVFrame frame;

    DenoiseTestFrame(uint32_t format, int w, int h)
    {
        frame.format = format;
        frame.width = w;
        frame.height = h;
        const int cw = (w + 1) / 2, ch = (h + 1) / 2;
        if (format == 0x501 || format == 0x503) {
            frame.pitch[0] = 4 * cw;
            y.assign(size_t(frame.pitch[0]) * size_t(h), 0);
        } else if (format == 0x401) {
            frame.pitch[0] = 3 * w;
            y.assign(size_t(frame.pitch[0]) * size_t(h), 0);
        } else if (format == 0x601) {
            frame.pitch[0] = w;
            frame.pitch[1] = frame.pitch[2] = cw;
            y.assign(size_t(w) * size_t(h), 0);
            u.assign(size_t(cw) * size_t(ch), 0);
            v.assign(size_t(cw) * size_t(ch), 0);
        } else {  // 0x801, 0x802
            frame.pitch[0] = w;
            frame.pitch[1] = 2 * cw;
            y.assign(size_t(w) * size_t(h), 0);
            u.assign(size_t(2 * cw) * size_t(ch), 0);
        }
        bindPlanes();
    }
    DenoiseTestFrame(const DenoiseTestFrame& o) : y(o.y), u(o.u), v(o.v), frame(o.frame) { bindPlanes(); }
    DenoiseTestFrame& operator=(const DenoiseTestFrame&) = delete;

    void bindPlanes()
    {
        frame.plane[0] = y.data();
        frame.plane[1] = u.empty() ? nullptr : u.data();
        frame.plane[2] = v.empty() ? nullptr : v.data();
    }
    int width() const { return frame.width; }
    int height() const { return frame.height; }
    uint8_t* lumaAt(int x, int yy)
    {
        switch (frame.format) {
        case 0x501: return &y[size_t(yy) * size_t(frame.pitch[0]) + size_t(2 * x)];
        case 0x503: return &y[size_t(yy) * size_t(frame.pitch[0]) + size_t(2 * x + 1)];
        case 0x401: return &y[size_t(yy) * size_t(frame.pitch[0]) + size_t(3 * x)];
        default: return &y[size_t(yy) * size_t(frame.pitch[0]) + size_t(x)];
        }
    }
    // Chroma sample c (0 U, 1 V) of the pixel at (x, yy).
    uint8_t* chromaAt(int c, int x, int yy)
    {
        const size_t p0 = size_t(frame.pitch[0]);
        switch (frame.format) {
        case 0x501: return &y[size_t(yy) * p0 + size_t(4 * (x / 2) + (c ? 3 : 1))];
        case 0x503: return &y[size_t(yy) * p0 + size_t(4 * (x / 2) + (c ? 2 : 0))];
        case 0x401: return &y[size_t(yy) * p0 + size_t(3 * x + 1 + c)];
        case 0x601: return c ? &v[size_t(yy / 2) * size_t(frame.pitch[2]) + size_t(x / 2)]
                             : &u[size_t(yy / 2) * size_t(frame.pitch[1]) + size_t(x / 2)];
        case 0x801: return &u[size_t(yy / 2) * size_t(frame.pitch[1]) + size_t(2 * (x / 2) + c)];
        default: return &u[size_t(yy / 2) * size_t(frame.pitch[1]) + size_t(2 * (x / 2) + (1 - c))];
        }
    }
};

// The clean test picture: luma and two chroma values at (x, y).
inline void denoiseTestScene(int x, int y, int w, int h, int* Y, int* U, int* V)
{
    double l = 40 + 150.0 * x / std::max(w - 1, 1);                   // horizontal gradient
    if (std::hypot(x - w * 0.3, y - h * 0.4) < std::min(w, h) * 0.18)  // bright disc
        l = 215;
    if (x > w * 0.6 && x < w * 0.85 && y > h * 0.15 && y < h * 0.45) // dark flat patch
        l = 70;
    if (x > w * 0.55 && y > h * 0.6)                                  // texture
        l = 128 + 40 * std::sin(x * 0.35) * std::cos(y * 0.27);
    if (y % 97 == 50 || x % 131 == 65)                                // one-pixel lines
        l = 235;
    *Y = std::clamp(int(std::lround(l)), 0, 255);
    *U = std::clamp(int(128 + 40 * std::sin(x * 0.01) + 20.0 * y / std::max(h, 1)), 0, 255);
    *V = std::clamp(int(128 - 30 * std::cos(y * 0.013) + (x > w / 2 ? 25 : -25)), 0, 255);
}

inline DenoiseTestFrame& denoiseFillScene(DenoiseTestFrame& f)
{
    const int w = f.width(), h = f.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int Y, U, V;
            denoiseTestScene(x, y, w, h, &Y, &U, &V);
            *f.lumaAt(x, y) = uint8_t(Y);
            *f.chromaAt(0, x, y) = uint8_t(U);
            *f.chromaAt(1, x, y) = uint8_t(V);
        }
    return f;
}

// Gaussian noise of sigma on luma and sigma / 2 on chroma, seeded.
inline void denoiseAddNoise(DenoiseTestFrame& f, double sigma, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> n(0.0, 1.0);
    auto noisy = [&](uint8_t* p, double s) { *p = uint8_t(std::clamp(int(std::lround(*p + s * n(rng))), 0, 255)); };
    const int w = f.width(), h = f.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            noisy(f.lumaAt(x, y), sigma);
    // Each chroma sample once: visit the top-left pixel of its cell.
    const bool halfW = f.frame.format != 0x401;
    const bool halfH = f.frame.format == 0x601 || f.frame.format == 0x801 || f.frame.format == 0x802;
    for (int y = 0; y < h; y += halfH ? 2 : 1)
        for (int x = 0; x < w; x += halfW ? 2 : 1)
            for (int c = 0; c < 2; ++c)
                noisy(f.chromaAt(c, x, y), sigma / 2);
}

// The clean test picture and a copy with seeded noise.
struct DenoiseTestScene {
    DenoiseTestFrame clean, noisy;
    DenoiseTestScene(uint32_t format, int w, int h, double sigma, uint32_t seed = 1)
        : clean(format, w, h), noisy(denoiseFillScene(clean))
    {
        denoiseAddNoise(noisy, sigma, seed);
    }
};

// PSNR of a channel (0 Y, 1 U/V together) over the top-left w x h pixels.
inline double denoisePsnr(DenoiseTestFrame& a, DenoiseTestFrame& b, int channel, int w, int h)
{
    double se = 0;
    int64_t n = 0;
    auto add = [&](uint8_t p, uint8_t q) {
        se += (double(p) - q) * (double(p) - q);
        ++n;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (channel == 0)
                add(*a.lumaAt(x, y), *b.lumaAt(x, y));
            else
                for (int c = 0; c < 2; ++c)
                    add(*a.chromaAt(c, x, y), *b.chromaAt(c, x, y));
        }
    if (se == 0)
        return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 / (se / double(n)));
}
