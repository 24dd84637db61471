#include "AdjustWarp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#include "AdjustKernelArgs.h"

namespace {

void copyRows(const uint8_t* src, int width, int height, int stride, uint8_t* dst)
{
    const size_t n = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(AdjustRow(dst, stride, y), AdjustRow(src, stride, y), n);
}

// Source positions in 1/256 pixel at every 16th pixel, relative to the image
// origin. Signed: positions left of or above the image stay negative instead
// of wrapping into huge unsigned values.
struct WarpGrid {
    int columns = 0;
    int rows = 0;
    int64_t* xy = nullptr; // columns * rows pairs

    bool allocate(int width, int height)
    {
        columns = (width + 31) >> 4;
        rows = (height + 31) >> 4;
        xy = static_cast<int64_t*>(std::malloc(sizeof(int64_t) * 2 * size_t(columns) * size_t(rows)));
        return xy != nullptr;
    }
    ~WarpGrid() { std::free(xy); }

    void set(int bx, int by, double sx, double sy)
    {
        int64_t* n = xy + 2 * (size_t(by) * size_t(columns) + size_t(bx));
        n[0] = toFixed(sx);
        n[1] = toFixed(sy);
    }

    static int64_t toFixed(double v)
    {
        // Far outside any image; keeps the conversion defined for wild values.
        constexpr double kLimit = 1e12;
        if (!(v > -kLimit))
            v = -kLimit;
        if (v > kLimit)
            v = kLimit;
        return static_cast<int64_t>(std::floor(v * 256.0 + 0.5));
    }

    // Bilinear position of pixel (x, y) from the four nodes around it.
    void position(int x, int y, int64_t& sx, int64_t& sy) const
    {
        const int bx = x >> 4, by = y >> 4, fx = x & 15, fy = y & 15;
        const int64_t* n00 = xy + 2 * (size_t(by) * size_t(columns) + size_t(bx));
        const int64_t* n10 = n00 + 2 * size_t(columns);
        for (int c = 0; c < 2; ++c) {
            const int64_t top = n00[c] * (16 - fx) + n00[c + 2] * fx;
            const int64_t bottom = n10[c] * (16 - fx) + n10[c + 2] * fx;
            const int64_t v = (top * (16 - fy) + bottom * fy) >> 8;
            (c == 0 ? sx : sy) = v;
        }
    }
};

// Bilinear sample at (sx, sy) in 1/256 pixel; false when outside the image.
// A neighbour beyond the last column or row is replaced by the edge pixel.
inline bool sample8(const uint8_t* src, int width, int height, int stride, int64_t sx, int64_t sy,
                    uint8_t out[3])
{
    if (sx < 0 || sy < 0)
        return false;
    const int64_t ix = sx >> 8, iy = sy >> 8;
    if (ix >= width || iy >= height)
        return false;
    const int fx = int(sx & 255), fy = int(sy & 255);
    const int x0 = int(ix), y0 = int(iy);
    const int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
    const uint8_t* r0 = AdjustRow(src, stride, y0);
    const uint8_t* r1 = AdjustRow(src, stride, y1);
    const int w00 = (256 - fx) * (256 - fy), w01 = fx * (256 - fy), w10 = (256 - fx) * fy, w11 = fx * fy;
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<uint8_t>((r0[3 * x0 + c] * w00 + r0[3 * x1 + c] * w01 + r1[3 * x0 + c] * w10
                                       + r1[3 * x1 + c] * w11) >> 16);
    return true;
}

// The common start of the grid warps: checks the picture, copies it when the
// warp is the identity and sizes the grid. A value is the call's result;
// none means go on and warp.
std::optional<int> startGridWarp(const uint8_t* source, int width, int height, int stride,
                                 uint8_t* destination, bool argumentsValid, bool identity,
                                 WarpGrid& grid)
{
    const int check = AdjustCheckBgr(source, width, height, stride);
    if (check != 0)
        return check;
    if (!destination || !argumentsValid)
        return PE_ERR_ARGUMENT;
    if (identity) {
        copyRows(source, width, height, stride, destination);
        return PE_OK_INPLACE;
    }
    if (!grid.allocate(width, height))
        return PE_ERR_NOMEM;
    return std::nullopt;
}

// Radial warps: a node at (dx, dy) from the centre (hw, hh) samples the
// source at the centre plus (dx, dy) scaled by factor(dx, dy).
template <typename Factor>
void fillRadialGrid(WarpGrid& grid, int hw, int hh, Factor factor)
{
    for (int by = 0; by < grid.rows; ++by)
        for (int bx = 0; bx < grid.columns; ++bx) {
            const float dx = static_cast<float>(16 * bx - hw), dy = static_cast<float>(16 * by - hh);
            const float f = factor(dx, dy);
            grid.set(bx, by, double(dx * f + static_cast<float>(hw)), double(dy * f + static_cast<float>(hh)));
        }
}

} // namespace

int AdjustLensCorrectApply(const uint8_t* source, int width, int height, int stride,
                           uint8_t* destination, int strength, int balance)
{
    WarpGrid grid;
    if (const auto done = startGridWarp(source, width, height, stride, destination, true,
                                        strength == 0, grid))
        return *done;

    const int hw = (width + 1) >> 1, hh = (height + 1) >> 1;
    const float a = 0.01f * static_cast<float>(strength);
    const float e = 0.01f * static_cast<float>(balance);
    float radius, c1, c2;
    if (strength > 0) {
        radius = std::sqrt(static_cast<float>(hw) * hw + static_cast<float>(hh) * hh);
        const float amp = 0.25f * a;
        c2 = (0.5f * e + 0.5f) * amp;
        c1 = amp * (0.5f - 0.5f * e);
    } else {
        radius = static_cast<float>(std::min(hw, hh));
        const float amp = 0.2f * a;
        c2 = (0.1f + 0.1f * e) * amp;
        c1 = amp * (0.9f - 0.1f * e);
    }
    const float c0 = 1.0f - c2 - c1;
    const float r2 = radius * radius;
    fillRadialGrid(grid, hw, hh, [&](float dx, float dy) {
        const float rho = (dx * dx + dy * dy) / r2;
        return c2 * rho + c1 * std::sqrt(rho) + c0;
    });

    for (int y = 0; y < height; ++y) {
        uint8_t* d = AdjustRow(destination, stride, y);
        for (int x = 0; x < width; ++x) {
            int64_t sx, sy;
            grid.position(x, y, sx, sy);
            sample8(source, width, height, stride, sx, sy, d + 3 * x);
        }
    }
    return PE_OK_INPLACE;
}

int AdjustFisheyeApply(const uint8_t* source, int width, int height, int stride,
                       uint8_t* destination, int amount)
{
    WarpGrid grid;
    if (const auto done = startGridWarp(source, width, height, stride, destination,
                                        amount >= 0 && amount <= 100, amount == 0, grid))
        return *done;

    const int hw = (width + 1) >> 1, hh = (height + 1) >> 1;
    const float radius = static_cast<float>(std::min(hw, hh) * int64_t(amount)
                                            + std::max(hw, hh) * int64_t(100 - amount)) / 100.0f;
    const int64_t limit = static_cast<int64_t>(double(radius) * double(radius) + 0.5);
    const float h = static_cast<float>(amount * 0.005);
    const float r2 = radius * radius;
    fillRadialGrid(grid, hw, hh,
                   [&](float dx, float dy) { return h * std::sqrt((dx * dx + dy * dy) / r2) + (1.0f - h); });

    for (int y = 0; y < height; ++y) {
        uint8_t* d = AdjustRow(destination, stride, y);
        const int64_t dy2 = int64_t(y - hh) * (y - hh);
        for (int x = 0; x < width; ++x) {
            uint8_t* out = d + 3 * x;
            int64_t sx, sy;
            grid.position(x, y, sx, sy);
            if (int64_t(x - hw) * (x - hw) + dy2 > limit || !sample8(source, width, height, stride, sx, sy, out))
                out[0] = out[1] = out[2] = 0;
        }
    }
    return PE_OK_INPLACE;
}

int AdjustPincushionApply(const uint8_t* source, int width, int height, int stride,
                          uint8_t* destination, int horizontalAmount, int verticalAmount)
{
    const int check = AdjustCheckBgr(source, width, height, stride);
    if (check != 0)
        return check;
    // Above 200 the square root below would be taken of a negative number.
    if (!destination || horizontalAmount > 200 || verticalAmount > 200)
        return PE_ERR_ARGUMENT;

    const int hw = (width + 1) >> 1, hh = (height + 1) >> 1;
    int64_t* tx = static_cast<int64_t*>(std::malloc(sizeof(int64_t) * (size_t(hw) + 1)));
    int64_t* ty = static_cast<int64_t*>(std::malloc(sizeof(int64_t) * (size_t(hh) + 1)));
    if (!tx || !ty) {
        std::free(tx);
        std::free(ty);
        return PE_ERR_NOMEM;
    }
    auto fill = [](int64_t* t, int half, int amount) {
        for (int i = 0; i <= half; ++i) {
            const double q = double(i) / half;
            t[i] = static_cast<int64_t>(std::sqrt(1.0 - amount * 0.005 * q * q) * 1024.0 + 0.5);
        }
    };
    fill(tx, hw, horizontalAmount);
    fill(ty, hh, verticalAmount);

    for (int y = 0; y < height; ++y) {
        uint8_t* d = AdjustRow(destination, stride, y);
        const int dy = y - hh;
        const int64_t tyv = ty[std::abs(dy)];
        for (int x = 0; x < width; ++x) {
            uint8_t* out = d + 3 * x;
            const int dx = x - hw;
            const int64_t sx = int64_t(hw) * 1024 + dx * tyv;
            const int64_t sy = int64_t(hh) * 1024 + dy * tx[std::abs(dx)];
            const int64_t ix = sx >> 10, iy = sy >> 10;
            if (sx < 0 || sy < 0 || ix >= width || iy >= height) {
                out[0] = out[1] = out[2] = 0;
                continue;
            }
            const int64_t fx = sx & 1023, fy = sy & 1023;
            const int x0 = int(ix), y0 = int(iy);
            const int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
            const uint8_t* r0 = AdjustRow(source, stride, y0);
            const uint8_t* r1 = AdjustRow(source, stride, y1);
            for (int c = 0; c < 3; ++c) {
                const int64_t v = (r0[3 * x0 + c] * (1024 - fx) + r0[3 * x1 + c] * fx) * (1024 - fy)
                    + (r1[3 * x0 + c] * (1024 - fx) + r1[3 * x1 + c] * fx) * fy;
                out[c] = static_cast<uint8_t>(v >> 20);
            }
        }
    }
    std::free(tx);
    std::free(ty);
    return PE_OK_INPLACE;
}
