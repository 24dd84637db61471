#include "IQYUVFrame.h"

#include "IQBGRData.h"
#include "IQParallel.h"

#include <QImage>
#include <libyuv.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Rows converted per step through the 32-bit temporary: small enough to stay
// in cache, even so that I420 chroma rows line up with the band.
constexpr int kBandRows = 16;

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};
using MallocBuffer = std::unique_ptr<uint8_t, FreeDeleter>;

bool knownFormat(uint32_t format)
{
    return format == IQYUV_FORMAT_YUY2 || format == IQYUV_FORMAT_I420 || format == IQYUV_FORMAT_NV21;
}

bool framePlanesReady(const IQYUVFrame* frame)
{
    if (!frame || !knownFormat(frame->format) || frame->width <= 0 || frame->height <= 0 || !frame->plane[0])
        return false;
    if (frame->width > INT_MAX / 4)
        return false;
    // Pitches must hold a whole row of each plane.
    const int32_t chromaWidth = (frame->width + 1) / 2;
    if (frame->format == IQYUV_FORMAT_I420)
        return frame->plane[1] && frame->plane[2] && frame->pitch[0] >= frame->width
            && frame->pitch[1] >= chromaWidth && frame->pitch[2] >= chromaWidth;
    if (frame->format == IQYUV_FORMAT_NV21)
        return frame->plane[1] && frame->pitch[0] >= frame->width && frame->pitch[1] >= chromaWidth * 2;
    return frame->pitch[0] >= chromaWidth * 4;
}

// A 24-bit buffer that can take or give a frame's pixels: same size, whole rows.
bool bgrMatchesFrame(const IQBGRData& data, const IQYUVFrame* frame)
{
    return data.data && int64_t(data.width) == frame->width && data.height == frame->height
           && int64_t(data.bytesPerLine) >= int64_t(data.width) * 3;
}

bool isDirect32(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

int argbRowBytes(int width)
{
    return width * 4; // callers have checked width * 4 fits an int
}

// Runs step(y, rows, argb) over the picture in steps of kBandRows rows with
// a 32-bit scratch band of the given width; chunks of steps run in
// parallel. False when a scratch band could not be allocated.
template <typename Step>
bool forEachBand(int width, int height, const Step& step)
{
    const int chunkRows = ((IQBandRowsFor(height) + kBandRows - 1) / kBandRows) * kBandRows;
    std::atomic<bool> ok{true};
    IQParallelBands(height, chunkRows, [&](int begin, int end) {
        const int rows = std::min(kBandRows, end - begin);
        MallocBuffer tmp(static_cast<uint8_t*>(std::malloc(size_t(argbRowBytes(width)) * size_t(rows))));
        if (!tmp) {
            ok = false;
            return;
        }
        for (int y = begin; y < end; y += kBandRows)
            step(y, std::min(kBandRows, end - y), tmp.get());
    });
    return ok;
}

} // namespace

size_t YUVFrameByteCount(uint32_t format, int width, int height)
{
    if (width <= 0 || height <= 0 || width > INT_MAX / 4)
        return 0;
    const uint64_t w = uint64_t(width);
    const uint64_t h = uint64_t(height);
    const uint64_t cw = (w + 1) / 2;
    const uint64_t ch = (h + 1) / 2;
    uint64_t bytes = 0;
    switch (format) {
    case IQYUV_FORMAT_YUY2:
        bytes = cw * 4 * h;
        break;
    case IQYUV_FORMAT_I420:
    case IQYUV_FORMAT_NV21:
        bytes = w * h + 2 * cw * ch;
        break;
    default:
        return 0;
    }
    return bytes > uint64_t(PTRDIFF_MAX) ? 0 : size_t(bytes);
}

bool YUVFrameAllocate(IQYUVFrame* frame)
{
    if (!frame)
        return false;
    const size_t bytes = YUVFrameByteCount(frame->format, frame->width, frame->height);
    if (bytes == 0)
        return false;
    auto* block = static_cast<uint8_t*>(std::malloc(bytes));
    if (!block)
        return false;
    const size_t lumaBytes = size_t(frame->width) * size_t(frame->height);
    const int32_t chromaWidth = (frame->width + 1) / 2;
    const size_t chromaBytes = size_t(chromaWidth) * size_t((frame->height + 1) / 2);
    frame->plane[0] = block;
    frame->plane[1] = frame->plane[2] = frame->plane[3] = nullptr;
    frame->pitch[1] = frame->pitch[2] = frame->pitch[3] = 0;
    switch (frame->format) {
    case IQYUV_FORMAT_YUY2:
        frame->pitch[0] = chromaWidth * 4;
        break;
    case IQYUV_FORMAT_I420:
        frame->plane[1] = block + lumaBytes;
        frame->plane[2] = frame->plane[1] + chromaBytes;
        frame->pitch[0] = frame->width;
        frame->pitch[1] = frame->pitch[2] = chromaWidth;
        break;
    case IQYUV_FORMAT_NV21:
        frame->plane[1] = block + lumaBytes;
        frame->pitch[0] = frame->width;
        frame->pitch[1] = chromaWidth * 2;
        break;
    }
    return true;
}

void YUVFrameRelease(IQYUVFrame* frame)
{
    if (!frame)
        return;
    std::free(frame->plane[0]);
    for (int i = 0; i < 4; ++i) {
        frame->plane[i] = nullptr;
        frame->pitch[i] = 0;
    }
}

IQYUVFrame* QImageToYUVFrame(const QImage& image, IQYUVFrame* frame)
{
    if (!framePlanesReady(frame) || image.isNull())
        return nullptr;
    if (frame->format != IQYUV_FORMAT_YUY2 && frame->format != IQYUV_FORMAT_I420)
        return nullptr;
    if (image.width() != frame->width || image.height() != frame->height)
        return nullptr;
    const QImage source = isDirect32(image) ? image : image.convertToFormat(QImage::Format_RGB32);
    if (source.isNull())
        return nullptr;
    const uint8_t* bits = source.constBits();
    const int stride = int(source.bytesPerLine());
    if (frame->format == IQYUV_FORMAT_YUY2) {
        libyuv::ARGBToYUY2(bits, stride, frame->plane[0], frame->pitch[0], frame->width, frame->height);
    } else {
        libyuv::ARGBToI420(bits, stride, frame->plane[0], frame->pitch[0], frame->plane[1], frame->pitch[1],
                           frame->plane[2], frame->pitch[2], frame->width, frame->height);
    }
    return frame;
}

bool BGRDataToYUVFrame(const IQBGRData& data, IQYUVFrame* frame)
{
    if (!framePlanesReady(frame) || frame->format != IQYUV_FORMAT_YUY2 || !bgrMatchesFrame(data, frame))
        return false;
    const int width = frame->width;
    return forEachBand(width, frame->height, [&](int y, int n, uint8_t* tmp) {
        libyuv::RGB24ToARGB(data.data + size_t(y) * size_t(data.bytesPerLine), data.bytesPerLine, tmp,
                            argbRowBytes(width), width, n);
        libyuv::ARGBToYUY2(tmp, argbRowBytes(width), frame->plane[0] + size_t(y) * size_t(frame->pitch[0]),
                           frame->pitch[0], width, n);
    });
}

bool YUVFrameToARGB(uint8_t* dst, int dstStride, const IQYUVFrame* frame)
{
    if (!dst || !framePlanesReady(frame) || dstStride < argbRowBytes(frame->width))
        return false;
    const int w = frame->width;
    const int h = frame->height;
    switch (frame->format) {
    case IQYUV_FORMAT_I420:
        libyuv::I420ToARGB(frame->plane[0], frame->pitch[0], frame->plane[1], frame->pitch[1], frame->plane[2],
                           frame->pitch[2], dst, dstStride, w, h);
        return true;
    case IQYUV_FORMAT_NV21:
        libyuv::NV21ToARGB(frame->plane[0], frame->pitch[0], frame->plane[1], frame->pitch[1], dst, dstStride, w, h);
        return true;
    case IQYUV_FORMAT_YUY2:
        libyuv::YUY2ToARGB(frame->plane[0], frame->pitch[0], dst, dstStride, w, h);
        return true;
    default:
        return false;
    }
}

bool YUVFrameToBGRData(const IQYUVFrame* frame, IQBGRData& data)
{
    if (!framePlanesReady(frame) || !bgrMatchesFrame(data, frame))
        return false;
    const int width = frame->width;
    // Each band is converted through a view of its rows (bands start on even
    // rows, so chroma rows line up).
    return forEachBand(width, frame->height, [&](int y, int n, uint8_t* tmp) {
        IQYUVFrame band = *frame;
        band.height = n;
        band.plane[0] = frame->plane[0] + size_t(y) * size_t(frame->pitch[0]);
        if (frame->format == IQYUV_FORMAT_I420) {
            band.plane[1] = frame->plane[1] + size_t(y / 2) * size_t(frame->pitch[1]);
            band.plane[2] = frame->plane[2] + size_t(y / 2) * size_t(frame->pitch[2]);
        } else if (frame->format == IQYUV_FORMAT_NV21) {
            band.plane[1] = frame->plane[1] + size_t(y / 2) * size_t(frame->pitch[1]);
        }
        YUVFrameToARGB(tmp, argbRowBytes(width), &band);
        libyuv::ARGBToRGB24(tmp, argbRowBytes(width), data.data + size_t(y) * size_t(data.bytesPerLine),
                            data.bytesPerLine, width, n);
    });
}

namespace {

void copyRows(const uint8_t* src, int srcPitch, uint8_t* dst, int dstPitch, size_t rowBytes, int rows)
{
    for (int y = 0; y < rows; ++y)
        std::memcpy(dst + size_t(y) * size_t(dstPitch), src + size_t(y) * size_t(srcPitch), rowBytes);
}

} // namespace

bool YUVFrameCopy(const IQYUVFrame* src, IQYUVFrame* dst)
{
    if (!framePlanesReady(src) || !framePlanesReady(dst))
        return false;
    if (src->format != dst->format || src->width != dst->width || src->height != dst->height)
        return false;
    const size_t w = size_t(src->width);
    const size_t cw = (w + 1) / 2;
    const int h = src->height;
    const int ch = (h + 1) / 2;
    // Row by row with each frame's own pitches; the pitches must hold a row.
    switch (src->format) {
    case IQYUV_FORMAT_YUY2:
        if (size_t(src->pitch[0]) < cw * 4 || size_t(dst->pitch[0]) < cw * 4)
            return false;
        copyRows(src->plane[0], src->pitch[0], dst->plane[0], dst->pitch[0], cw * 4, h);
        return true;
    case IQYUV_FORMAT_I420:
        if (size_t(src->pitch[0]) < w || size_t(dst->pitch[0]) < w || size_t(src->pitch[1]) < cw
            || size_t(dst->pitch[1]) < cw || size_t(src->pitch[2]) < cw || size_t(dst->pitch[2]) < cw)
            return false;
        copyRows(src->plane[0], src->pitch[0], dst->plane[0], dst->pitch[0], w, h);
        copyRows(src->plane[1], src->pitch[1], dst->plane[1], dst->pitch[1], cw, ch);
        copyRows(src->plane[2], src->pitch[2], dst->plane[2], dst->pitch[2], cw, ch);
        return true;
    case IQYUV_FORMAT_NV21:
        if (size_t(src->pitch[0]) < w || size_t(dst->pitch[0]) < w || size_t(src->pitch[1]) < cw * 2
            || size_t(dst->pitch[1]) < cw * 2)
            return false;
        copyRows(src->plane[0], src->pitch[0], dst->plane[0], dst->pitch[0], w, h);
        copyRows(src->plane[1], src->pitch[1], dst->plane[1], dst->pitch[1], cw * 2, ch);
        return true;
    default:
        return false;
    }
}
