#include "AdjustPyramid.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "AdjustPyramidRows.h"
#include "PixelEngine.h"

namespace {

bool planeOk(const void* p, int rowLength, int width, int height)
{
    return p && width > 0 && height > 0 && rowLength >= width;
}

template <typename T>
T* rowOf(T* plane, int rowLength, int y)
{
    return plane + static_cast<ptrdiff_t>(rowLength) * y;
}

// In-place 3 x 3 smoothing over the interior from the rows as they were: a
// ring of three horizontally filtered rows keeps the originals' sums.
template <typename T, typename H>
int smoothInPlace(T* plane, int rowLength, int width, int height, int shift)
{
    if (!planeOk(plane, rowLength, width, height))
        return PE_ERR_ARGUMENT;
    if (width < 3 || height < 3)
        return PE_OK;
    H* ring = static_cast<H*>(std::malloc(sizeof(H) * 3 * size_t(width)));
    if (!ring)
        return PE_ERR_NOMEM;
    H* rows[3] = {ring, ring + width, ring + 2 * size_t(width)};
    pyramid::horizontal121<1>(rowOf(plane, rowLength, 0), width, shift, rows[0]);
    pyramid::horizontal121<1>(rowOf(plane, rowLength, 1), width, shift, rows[1]);
    for (int y = 1; y + 1 < height; ++y) {
        H* above = rows[(y - 1) % 3];
        H* mid = rows[y % 3];
        H* below = rows[(y + 1) % 3];
        pyramid::horizontal121<1>(rowOf(plane, rowLength, y + 1), width, shift, below);
        T* out = rowOf(plane, rowLength, y);
        for (int x = 1; x + 1 < width; ++x)
            out[x] = static_cast<T>((above[x] + 2 * mid[x] + below[x]) >> shift);
    }
    std::free(ring);
    return PE_OK;
}

} // namespace

int AdjustPyramidReduce(const uint8_t* source, int sourceRowLength, int width, int height,
                        uint8_t* destination, int destinationRowLength)
{
    if (!planeOk(source, sourceRowLength, width, height)
        || !planeOk(destination, destinationRowLength, pyramid::halve(width), pyramid::halve(height)))
        return PE_ERR_ARGUMENT;
    uint16_t* sums = static_cast<uint16_t*>(std::malloc(sizeof(uint16_t) * size_t(width)));
    if (!sums)
        return PE_ERR_NOMEM;
    const int outHeight = pyramid::halve(height);
    for (int i = 0; i < outHeight; ++i) {
        int r0, r1, r2;
        const int shift = pyramid::reduceTaps(i, height, r0, r1, r2);
        pyramid::reduceRow<1>(rowOf(source, sourceRowLength, r0), rowOf(source, sourceRowLength, r1),
                              r2 >= 0 ? rowOf(source, sourceRowLength, r2) : nullptr, shift, width, sums,
                              rowOf(destination, destinationRowLength, i));
    }
    std::free(sums);
    return PE_OK_INPLACE;
}

int AdjustPyramidExpand(uint8_t* destination, int destinationRowLength, int width, int height,
                        const uint8_t* source, int sourceRowLength)
{
    if (!planeOk(destination, destinationRowLength, width, height)
        || !planeOk(source, sourceRowLength, pyramid::halve(width), pyramid::halve(height)))
        return PE_ERR_ARGUMENT;
    for (int y = 0; y < height; ++y) {
        int s0, s1;
        pyramid::expandSources(y, height, s0, s1);
        pyramid::expandRow<1>(rowOf(source, sourceRowLength, s0),
                              s1 >= 0 ? rowOf(source, sourceRowLength, s1) : nullptr, width,
                              rowOf(destination, destinationRowLength, y));
    }
    return PE_OK_INPLACE;
}

void AdjustDetailSubtract(int16_t* destination, const uint8_t* a, const uint8_t* b, int, int width, int height)
{
    if (!destination || !a || !b || width <= 0 || height <= 0)
        return;
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i)
        destination[i] = static_cast<int16_t>(a[i] - b[i]);
}

void AdjustDetailAdd(const int16_t* detail, const uint8_t* base, uint8_t* destination, int, int width, int height)
{
    if (!detail || !base || !destination || width <= 0 || height <= 0)
        return;
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i) {
        const int v = base[i] + detail[i];
        destination[i] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

int AdjustDetailSmooth(int16_t* plane, int rowLength, int width, int height)
{
    return smoothInPlace<int16_t, int16_t>(plane, rowLength, width, height, 4);
}

int AdjustBinomialBlur3x3(uint8_t* plane, int rowLength, int width, int height)
{
    return smoothInPlace<uint8_t, uint8_t>(plane, rowLength, width, height, 2);
}

int AdjustPyramidDepth(int size, int minimum)
{
    const int m = std::max(minimum, 1);
    if (size < m)
        return 0;
    int depth = 0;
    while ((size >> (depth + 1)) >= m)
        ++depth;
    return depth;
}
