#include "IQBGRData.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Rows are padded to 4 bytes; 0 when the row length would not fit an int.
int32_t paddedRow(int width, int bitsPerPixel)
{
    if (width <= 0)
        return 0;
    const uint64_t bytes = ((uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32) * 4;
    return bytes > uint64_t(INT32_MAX) ? 0 : int32_t(bytes);
}

uint8_t* allocatePixels(int32_t bytesPerLine, int height)
{
    if (bytesPerLine <= 0 || height <= 0)
        return nullptr;
    const uint64_t total = uint64_t(bytesPerLine) * uint64_t(height);
    if (total > uint64_t(PTRDIFF_MAX))
        return nullptr;
    return static_cast<uint8_t*>(std::malloc(size_t(total)));
}

} // namespace

IQBGRData::IQBGRData(uint8_t* data_, uint32_t width_, int32_t height_, int32_t bytesPerLine_)
    : data(data_), width(width_), height(height_), bytesPerLine(bytesPerLine_), ownsData(false)
{
}

IQBGRData::~IQBGRData()
{
    if (ownsData && data)
        std::free(data);
}

int32_t IQBGRData::rowBytesFor(int width)
{
    return paddedRow(width, 24);
}

size_t IQBGRData::byteCount() const
{
    if (bytesPerLine <= 0 || height <= 0)
        return 0;
    return size_t(bytesPerLine) * size_t(height);
}

IQBGRData* IQBGRData::create(int width, int height)
{
    const int32_t bpl = rowBytesFor(width);
    uint8_t* pixels = allocatePixels(bpl, height);
    if (!pixels)
        return nullptr;
    auto* buffer = new IQBGRData(pixels, uint32_t(width), height, bpl);
    buffer->ownsData = true;
    return buffer;
}

bool IQBGRData::copyInto(IQBGRData& target) const
{
    target.width = width;
    target.height = height;
    target.bytesPerLine = bytesPerLine;
    const size_t bytes = byteCount();
    if (bytes == 0 || !data)
        return false;
    target.data = static_cast<uint8_t*>(std::malloc(bytes));
    if (!target.data)
        return false;
    std::memcpy(target.data, data, bytes);
    target.ownsData = true;
    return true;
}

IQBGRData* IQBGRData::clone() const
{
    auto* copy = new IQBGRData;
    if (!copyInto(*copy)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

IQBGRAData::IQBGRAData(uint8_t* data_, uint32_t width_, int32_t height_, int32_t bytesPerLine_)
    : IQBGRData(data_, width_, height_, bytesPerLine_)
{
}

IQBGRAData::~IQBGRAData() = default;

int32_t IQBGRAData::rowBytesFor(int width)
{
    return paddedRow(width, 32);
}

IQBGRAData* IQBGRAData::create(int width, int height)
{
    const int32_t bpl = rowBytesFor(width);
    uint8_t* pixels = allocatePixels(bpl, height);
    if (!pixels)
        return nullptr;
    auto* buffer = new IQBGRAData(pixels, uint32_t(width), height, bpl);
    buffer->ownsData = true;
    return buffer;
}

IQBGRAData* IQBGRAData::clone() const
{
    auto* copy = new IQBGRAData;
    if (!copyInto(*copy)) {
        delete copy;
        return nullptr;
    }
    return copy;
}
