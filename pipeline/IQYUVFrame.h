#pragma once
// YUV frame record shared by the exposure measure and the denoise engine,
// and its conversions to and from 32-bit and 24-bit BGR pixels (libyuv).
#include <cstddef>
#include <cstdint>

#include "YUVFrameRecord.h"

class QImage;
class IQBGRData;

// Bytes of one frame of the given layout: YUY2 rows hold ((w+1)/2)*4 bytes
// (libyuv writes a whole macro-pixel for an odd last pixel); I420 and NV21
// chroma is (w+1)/2 by (h+1)/2. 0 for unknown codes or unaddressable sizes.
size_t YUVFrameByteCount(uint32_t format, int width, int height);

// Allocates the planes of a frame whose format, width and height are set
// (one malloc block in plane[0]; the other planes point into it) and sets the
// pitches. Returns false, leaving the planes null, for unknown codes,
// non-positive sizes or when memory runs out.
bool YUVFrameAllocate(IQYUVFrame* frame);

// Frees plane[0] and clears the plane pointers and pitches.
void YUVFrameRelease(IQYUVFrame* frame);

// 32-bit picture (B,G,R,A bytes) into an allocated YUY2 or I420 frame of the
// same size. Pictures in other pixel formats are converted to Format_RGB32
// first. Returns the frame, or null when nothing was written (null frame,
// unknown code, missing planes, size mismatch).
IQYUVFrame* QImageToYUVFrame(const QImage& image, IQYUVFrame* frame);

// 24-bit buffer into an allocated YUY2 frame of the same size.
bool BGRDataToYUVFrame(const IQBGRData& data, IQYUVFrame* frame);

// Frame into 32-bit B,G,R,A pixels of dstStride bytes per row (at least
// width*4) for I420, NV21 and YUY2 frames.
bool YUVFrameToARGB(uint8_t* dst, int dstStride, const IQYUVFrame* frame);

// Frame into a 24-bit buffer of the same size.
bool YUVFrameToBGRData(const IQYUVFrame* frame, IQBGRData& data);

// Copies the pixels of a YUY2, I420 or NV21 frame into an allocated frame of
// the same format and size.
bool YUVFrameCopy(const IQYUVFrame* src, IQYUVFrame* dst);
