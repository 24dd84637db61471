#pragma once
// Image records of a tile pyramid, and row access to the planes of the
// caller's frame as the engine sees them (luma, then the two chroma planes at
// their working resolution).
#include <cstddef>
#include <cstdint>

#include "denoise/DenoiseBlockFilter.h"
#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"

// One level (or band) of one plane of a tile, margins included.
struct DenoiseImage {
    uint8_t* data = nullptr;
    uint32_t layout = 0x10;      // 0x10 unsigned, 0x110 signed band
    int32_t width = 0;           // margins included
    int32_t height = 0;
    int32_t stride = 0;          // width rounded up to a multiple of 4
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    // Part of the image that lies inside the picture (image coordinates).
    int32_t validX0 = 0;
    int32_t validY0 = 0;
    int32_t validX1 = 0;
    int32_t validY1 = 0;
};

// Allocates an image of inner size w x h with the given margins; null on no memory.
DenoiseImage* DenoiseImageCreate(DenoiseMemHandle handle, int w, int h, int left, int top, int right, int bottom);
void DenoiseImageFree(DenoiseMemHandle handle, DenoiseImage* image);
DenoiseLevelPlane DenoiseImageAsPlane(const DenoiseImage& image);
// Mirrors the image's margins about its valid area.
void DenoiseImageMirror(DenoiseImage* image);

// Moves the window (the inner area) by (dx, dy) inside the same storage: the
// left and top margins grow by dx and dy, the right and bottom ones shrink.
// -2, and nothing changes, when a margin would turn negative.
int DenoiseImageMoveWindow(DenoiseImage* image, int dx, int dy);
// Copies w x h samples between the window and a caller's buffer of `pitch`
// bytes a row. With one channel rows are copied; with more, every
// `channels`-th sample from `offset` is taken (splitting a packed layout) or
// written back (joining). -2 when the window is smaller than w x h or the
// channel arguments do not fit.
int DenoiseImageCopyIn(DenoiseImage* image, const uint8_t* source, ptrdiff_t pitch, int w, int h, int channels,
                       int offset);
int DenoiseImageCopyOut(const DenoiseImage* image, uint8_t* target, ptrdiff_t pitch, int w, int h, int channels,
                        int offset);

// Plane utilities over whole image records (margins included).
// Copies `source` into `target` (same size) with a gain in 1/256: every
// sample's value (0..255 for layout 0x10, -128..127 for 0x110) becomes
// (value * gain + 128) >> 8, stored clamped to the target's layout. -2 for
// different sizes, -701 for a layout other than those two.
int DenoiseImageCopyGain(const DenoiseImage* source, DenoiseImage* target, int32_t gain);
// Replaces `fine` by its detail against the expansion of `coarse`
// (DenoiseDetailRegion over the whole image) and marks it signed.
int DenoiseImageDetail(DenoiseImage* fine, const DenoiseImage* coarse);
// Reduces the whole of `fine` into `coarse`, whose size must be half of it
// rounded up, then mirrors the coarse margins about its valid area. -2 for a
// coarse image of another size, -701 for a signed fine image.
int DenoiseImageReduce(const DenoiseImage* fine, DenoiseImage* coarse);
// Expands the whole of `coarse` into `fine` (twice its size, rounded up as
// the reduction does), then mirrors the fine margins about its valid area.
int DenoiseImageExpand(const DenoiseImage* coarse, DenoiseImage* fine);

// Row access to one working plane of a frame descriptor (pitches in samples,
// one byte a sample). Working row r is frame row r * rowRepeat; writing it back
// fills rowRepeat frame rows.
struct DenoisePlaneAccess {
    uint8_t* base = nullptr;
    ptrdiff_t pitch = 0;
    int step = 1;            // bytes between samples of one row
    int rowRepeat = 1;
    int width = 0;           // working plane size
    int height = 0;
    int frameHeight = 0;     // rows of the frame plane
};

// Working-plane shifts of chroma for a layout: (1, 1) halves both ways,
// (1, 0) the width only, (0, 0) none.
void DenoiseChromaShift(uint32_t layout, int* shiftX, int* shiftY);
// 0, or -101 when the layout has no such plane or cannot be read row by row.
int DenoisePlaneAccessFor(const DenoisePlaneDesc& desc, int plane, DenoisePlaneAccess* out);
// Copies working-plane rows [y0, y1) columns [x0, x1) into `dst` (or back).
void DenoisePlaneRead(const DenoisePlaneAccess& a, int x0, int y0, int x1, int y1, uint8_t* dst, ptrdiff_t dstPitch);
void DenoisePlaneWrite(const DenoisePlaneAccess& a, int x0, int y0, int x1, int y1, const uint8_t* src,
                       ptrdiff_t srcPitch);

// A plane of a tile as a pyramid of `levels` unsigned images: level 0 is the
// window [wx0, wx1) x [wy0, wy1) of the working plane with margins
// minMargin << (levels - 1) (mirrored outside the picture); every further
// level is the previous reduced by two with its margins mirrored again.
struct DenoiseTilePlane {
    int levels = 0;
    DenoiseImage* level[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    // Per band, what its signed bytes could not hold (made only for a band
    // that needs it); see DenoiseDetailSplit.
    DenoiseImage* excess[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
};

int DenoiseTilePlaneBuild(DenoiseMemHandle handle, const DenoisePlaneAccess& access, int wx0, int wy0, int wx1,
                          int wy1, int levels, int minMargin, DenoiseTilePlane* out);
void DenoiseTilePlaneFree(DenoiseMemHandle handle, DenoiseTilePlane* plane);
