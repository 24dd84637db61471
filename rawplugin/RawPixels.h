#pragma once
#include <QImage>
#include <cstddef>

// Pixel helpers of the RAW handler: previews and developed pictures to RGB32.

// Packs a LibRaw bitmap (1 or 3 samples of 8 or 16 bits a pixel) into an RGB32
// image. The sample count is taken from the block's real size, never from the
// header alone; a block that matches neither layout gives a null image.
QImage rawBitmapToRgb32(const unsigned char* data, std::size_t dataSize, int width, int height, int bits);

// Applies a LibRaw orientation code (bit 2 transpose, bit 1 flip rows,
// bit 0 flip columns, in that order) to a picture stored in sensor order.
QImage applyRawFlip(const QImage& source, int flip);

// Whether a picture of this size fits under QImageReader's allocation limit.
bool fitsImageAllocationLimit(const QSize& size);
