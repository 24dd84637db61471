#pragma once
// A tightly packed B,G,R benchmark picture: smooth gradients with a little
// noise, so table look-ups do not all hit one entry.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Rand15.h"

inline std::vector<uint8_t> benchGradientPicture(int width, int height)
{
    std::vector<uint8_t> p(static_cast<size_t>(width) * height * 3);
    Rand15 rnd(42);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* q = p.data() + (static_cast<size_t>(y) * width + x) * 3;
            const int n = rnd.next() & 31;
            q[0] = static_cast<uint8_t>((x * 255 / width + n) & 0xff);
            q[1] = static_cast<uint8_t>((y * 255 / height + n) & 0xff);
            q[2] = static_cast<uint8_t>(((x + y) * 255 / (width + height) + 2 * n) & 0xff);
        }
    return p;
}
