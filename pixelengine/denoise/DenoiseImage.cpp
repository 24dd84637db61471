#include "denoise/DenoiseImage.h"

#include <algorithm>
#include <cstring>

#include "PixelEngine.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoisePlaneKernels.h"

DenoiseImage* DenoiseImageCreate(DenoiseMemHandle handle, int w, int h, int left, int top, int right, int bottom)
{
    if (w < 0 || h < 0 || left < 0 || top < 0 || right < 0 || bottom < 0)
        return nullptr;
    const int64_t fullW = int64_t(w) + left + right;
    const int64_t fullH = int64_t(h) + top + bottom;
    const int64_t stride = DenoiseAlign4(fullW);
    if (fullW <= 0 || fullH <= 0 || stride > INT32_MAX || fullH > INT32_MAX)
        return nullptr;
    auto* image = static_cast<DenoiseImage*>(DenoiseCalloc(handle, 1, sizeof(DenoiseImage)));
    if (!image)
        return nullptr;
    image->data = static_cast<uint8_t*>(DenoiseCalloc(handle, size_t(stride), size_t(fullH)));
    if (!image->data) {
        DenoiseFree(handle, image);
        return nullptr;
    }
    image->layout = DENOISE_SAMPLES_U8;
    image->width = int32_t(fullW);
    image->height = int32_t(fullH);
    image->stride = int32_t(stride);
    image->left = left;
    image->top = top;
    image->right = right;
    image->bottom = bottom;
    image->validX1 = image->width;
    image->validY1 = image->height;
    return image;
}

void DenoiseImageFree(DenoiseMemHandle handle, DenoiseImage* image)
{
    if (!image)
        return;
    DenoiseFree(handle, image->data);
    DenoiseFree(handle, image);
}

DenoiseLevelPlane DenoiseImageAsPlane(const DenoiseImage& image)
{
    DenoiseLevelPlane p;
    p.data = image.data;
    p.layout = image.layout;
    p.width = image.width;
    p.height = image.height;
    p.pitch = image.stride;
    p.left = image.left;
    p.top = image.top;
    p.right = image.right;
    p.bottom = image.bottom;
    return p;
}

void DenoiseImageMirror(DenoiseImage* image)
{
    if (!image)
        return;
    DenoiseMirrorMargins(image->data, image->stride, image->width, image->height, image->validX0, image->validY0,
                         image->validX1, image->validY1);
}

int DenoiseImageMoveWindow(DenoiseImage* image, int dx, int dy)
{
    if (!image)
        return PE_ERR_ARGUMENT;
    const int64_t left = int64_t(image->left) + dx, top = int64_t(image->top) + dy;
    const int64_t right = int64_t(image->right) - dx, bottom = int64_t(image->bottom) - dy;
    if (left < 0 || top < 0 || right < 0 || bottom < 0)
        return PE_ERR_ARGUMENT;
    image->left = int32_t(left);
    image->top = int32_t(top);
    image->right = int32_t(right);
    image->bottom = int32_t(bottom);
    return 0;
}

namespace {
// Whether a w x h window copy with the channel arguments fits the image.
bool windowCopyFits(const DenoiseImage* image, const uint8_t* buffer, int w, int h, int channels, int offset)
{
    return image && image->data && buffer && w >= 0 && h >= 0 && channels >= 1 && offset >= 0 &&
           offset < channels && w <= image->width - image->left - image->right &&
           h <= image->height - image->top - image->bottom;
}
}

int DenoiseImageCopyIn(DenoiseImage* image, const uint8_t* source, ptrdiff_t pitch, int w, int h, int channels,
                       int offset)
{
    if (!windowCopyFits(image, source, w, h, channels, offset))
        return PE_ERR_ARGUMENT;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source + ptrdiff_t(y) * pitch + offset;
        uint8_t* d = image->data + ptrdiff_t(image->top + y) * image->stride + image->left;
        if (channels == 1) {
            std::memcpy(d, s, size_t(w));
        } else {
            for (int x = 0; x < w; ++x)
                d[x] = s[ptrdiff_t(x) * channels];
        }
    }
    return 0;
}

int DenoiseImageCopyOut(const DenoiseImage* image, uint8_t* target, ptrdiff_t pitch, int w, int h, int channels,
                        int offset)
{
    if (!windowCopyFits(image, target, w, h, channels, offset))
        return PE_ERR_ARGUMENT;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = image->data + ptrdiff_t(image->top + y) * image->stride + image->left;
        uint8_t* d = target + ptrdiff_t(y) * pitch + offset;
        if (channels == 1) {
            std::memcpy(d, s, size_t(w));
        } else {
            for (int x = 0; x < w; ++x)
                d[ptrdiff_t(x) * channels] = s[x];
        }
    }
    return 0;
}

int DenoiseImageCopyGain(const DenoiseImage* source, DenoiseImage* target, int32_t gain)
{
    if (!source || !target || !source->data || !target->data || source->width != target->width ||
        source->height != target->height)
        return PE_ERR_ARGUMENT;
    const auto known = [](uint32_t layout) { return layout == DENOISE_SAMPLES_U8 || layout == DENOISE_SAMPLES_S8; };
    if (!known(source->layout) || !known(target->layout))
        return PE_ERR_SAMPLE;
    const bool signedIn = source->layout == DENOISE_SAMPLES_S8;
    const bool signedOut = target->layout == DENOISE_SAMPLES_S8;
    const int64_t g = gain;
    for (int y = 0; y < source->height; ++y) {
        const uint8_t* s = source->data + ptrdiff_t(y) * source->stride;
        uint8_t* d = target->data + ptrdiff_t(y) * target->stride;
        for (int x = 0; x < source->width; ++x) {
            const int64_t v = ((signedIn ? int64_t(int8_t(s[x])) : int64_t(s[x])) * g + 128) >> 8;
            d[x] = signedOut ? uint8_t(int8_t(std::clamp<int64_t>(v, -128, 127)))
                             : uint8_t(std::clamp<int64_t>(v, 0, 255));
        }
    }
    return 0;
}

int DenoiseImageDetail(DenoiseImage* fine, const DenoiseImage* coarse)
{
    if (!fine || !coarse || !fine->data || !coarse->data || fine->layout != DENOISE_SAMPLES_U8)
        return PE_ERR_SAMPLE;
    if (coarse->width != (fine->width + 1) / 2 || coarse->height != (fine->height + 1) / 2)
        return PE_ERR_ARGUMENT;
    const int rc = DenoiseDetailRegion(coarse->layout, coarse->data, coarse->stride, fine->width, fine->height, 0, 0,
                                       fine->width, fine->height, fine->data, fine->stride);
    if (rc == 0)
        fine->layout = DENOISE_SAMPLES_S8;
    return rc;
}

int DenoiseImageReduce(const DenoiseImage* fine, DenoiseImage* coarse)
{
    if (!fine || !coarse || !fine->data || !coarse->data)
        return PE_ERR_ARGUMENT;
    if (coarse->width != (fine->width + 1) / 2 || coarse->height != (fine->height + 1) / 2)
        return PE_ERR_ARGUMENT;
    const int rc = DenoiseReduceTile(fine->layout, fine->data, fine->stride, fine->width, fine->height,
                                     coarse->data, coarse->stride);
    if (rc == 0)
        DenoiseImageMirror(coarse);
    return rc;
}

int DenoiseImageExpand(const DenoiseImage* coarse, DenoiseImage* fine)
{
    if (!fine || !coarse || !fine->data || !coarse->data)
        return PE_ERR_ARGUMENT;
    if (coarse->width != (fine->width + 1) / 2 || coarse->height != (fine->height + 1) / 2)
        return PE_ERR_ARGUMENT;
    const int rc = DenoiseExpandTile(coarse->layout, coarse->data, coarse->stride, fine->width, fine->height,
                                     fine->data, fine->stride);
    if (rc == 0)
        DenoiseImageMirror(fine);
    return rc;
}

void DenoiseChromaShift(uint32_t layout, int* shiftX, int* shiftY)
{
    int sx = 0, sy = 0;
    if (DenoiseLayoutChromaHalvesBoth(layout)) {
        sx = 1;
        sy = 1;
    } else if (DenoiseLayoutChromaHalvesWidth(layout)) {
        sx = 1;
    }
    if (shiftX)
        *shiftX = sx;
    if (shiftY)
        *shiftY = sy;
}

int DenoisePlaneAccessFor(const DenoisePlaneDesc& desc, int plane, DenoisePlaneAccess* out)
{
    if (!out || plane < 0 || plane > 2)
        return PE_ERR_FORMAT;
    const uint32_t layout = desc.layout;
    if (plane >= DenoiseLayoutChannels(layout))
        return PE_ERR_FORMAT;
    int sx = 0, sy = 0;
    if (plane > 0)
        DenoiseChromaShift(layout, &sx, &sy);
    DenoisePlaneAccess a;
    a.width = desc.width >> sx;
    a.height = desc.height >> sy;
    a.frameHeight = a.height;
    auto packed = [&](int offset, int step, int rowRepeat) {
        a.base = desc.buffer ? desc.buffer + offset : nullptr;
        a.pitch = desc.pitch[0];
        a.step = step;
        a.rowRepeat = rowRepeat;
        a.frameHeight = desc.height;
    };
    auto planar = [&](int index, int offset, int step, int rowRepeat) {
        a.base = desc.planes[index] ? desc.planes[index] + offset : nullptr;
        a.pitch = desc.pitch[index];
        a.step = step;
        a.rowRepeat = rowRepeat;
        a.frameHeight = a.height * rowRepeat;
    };
    switch (layout) {
    case 0x20000013u: {  // Y0 U Y1 V, chroma worked at half height
        static constexpr int off[3] = {0, 1, 3};
        packed(off[plane], plane == 0 ? 2 : 4, plane == 0 ? 1 : 2);
        break;
    }
    case 0x21000013u: {  // U Y0 V Y1
        static constexpr int off[3] = {1, 0, 2};
        packed(off[plane], plane == 0 ? 2 : 4, 1);
        break;
    }
    case 0x00000013u:
    case 0x00200013u:
    case 0x00400013u:
    case 0x00500013u:
    case 0x00600013u:
        packed(plane, 3, 1);
        break;
    case 0x10000013u:
    case 0x10200013u:
    case 0x50000013u:
        planar(plane, 0, 1, 1);
        break;
    case 0x30000013u:  // chroma at half width, full height; worked at half height
        if (plane == 0)
            planar(0, 0, 1, 1);
        else
            planar(plane, 0, 1, 2);
        a.frameHeight = desc.height;
        break;
    case 0x51000013u:
        if (plane == 0)
            planar(0, 0, 1, 1);
        else
            planar(1, plane - 1, 2, 1);
        break;
    case 0x52800013u:
        if (plane == 0)
            planar(0, 0, 1, 1);
        else
            planar(1, plane == 1 ? 1 : 0, 2, 1);
        break;
    case 0x10000011u:
        planar(0, 0, 1, 1);
        break;
    default:
        return PE_ERR_FORMAT;
    }
    if (!a.base)
        return PE_ERR_ARGUMENT;
    *out = a;
    return 0;
}

void DenoisePlaneRead(const DenoisePlaneAccess& a, int x0, int y0, int x1, int y1, uint8_t* dst, ptrdiff_t dstPitch)
{
    for (int y = y0; y < y1; ++y) {
        const uint8_t* s = a.base + ptrdiff_t(y) * a.rowRepeat * a.pitch;
        uint8_t* d = dst + ptrdiff_t(y - y0) * dstPitch;
        if (a.step == 1) {
            std::memcpy(d, s + x0, size_t(x1 - x0));
        } else {
            for (int x = x0; x < x1; ++x)
                d[x - x0] = s[ptrdiff_t(x) * a.step];
        }
    }
}

void DenoisePlaneWrite(const DenoisePlaneAccess& a, int x0, int y0, int x1, int y1, const uint8_t* src,
                       ptrdiff_t srcPitch)
{
    for (int y = y0; y < y1; ++y) {
        const uint8_t* s = src + ptrdiff_t(y - y0) * srcPitch;
        for (int r = 0; r < a.rowRepeat; ++r) {
            const int frameRow = y * a.rowRepeat + r;
            if (frameRow >= a.frameHeight)
                break;
            uint8_t* d = a.base + ptrdiff_t(frameRow) * a.pitch;
            if (a.step == 1) {
                std::memcpy(d + x0, s, size_t(x1 - x0));
            } else {
                for (int x = x0; x < x1; ++x)
                    d[ptrdiff_t(x) * a.step] = s[x - x0];
            }
        }
    }
}

int DenoiseTilePlaneBuild(DenoiseMemHandle handle, const DenoisePlaneAccess& access, int wx0, int wy0, int wx1,
                          int wy1, int levels, int minMargin, DenoiseTilePlane* out)
{
    // An even margin keeps every reduced image exactly the size of the next level.
    if (!out || levels < 1 || levels > 5 || minMargin < 2 || (minMargin & 1) || wx0 >= wx1 || wy0 >= wy1 || wx0 < 0 || wy0 < 0 ||
        wx1 > access.width || wy1 > access.height)
        return PE_ERR_ARGUMENT;
    *out = DenoiseTilePlane{};
    out->levels = levels;
    int margin = minMargin << (levels - 1);
    int winW = wx1 - wx0, winH = wy1 - wy0;
    // Image origin in working-plane coordinates, and the plane's size, per level.
    int originX = wx0 - margin, originY = wy0 - margin;
    int planeW = access.width, planeH = access.height;
    for (int i = 0; i < levels; ++i) {
        DenoiseImage* img = DenoiseImageCreate(handle, winW, winH, margin, margin, margin, margin);
        if (!img) {
            DenoiseTilePlaneFree(handle, out);
            return PE_ERR_NOMEM;
        }
        out->level[i] = img;
        img->validX0 = std::clamp(-originX, 0, img->width);
        img->validY0 = std::clamp(-originY, 0, img->height);
        img->validX1 = std::clamp(planeW - originX, img->validX0, img->width);
        img->validY1 = std::clamp(planeH - originY, img->validY0, img->height);
        if (i == 0) {
            uint8_t* dst = img->data + ptrdiff_t(img->validY0) * img->stride + img->validX0;
            DenoisePlaneRead(access, originX + img->validX0, originY + img->validY0, originX + img->validX1,
                             originY + img->validY1, dst, img->stride);
        } else {
            const DenoiseImage* fine = out->level[i - 1];
            DenoiseReduceTile(DENOISE_SAMPLES_U8, fine->data, fine->stride, fine->width, fine->height, img->data,
                              img->stride);
        }
        DenoiseImageMirror(img);
        // Next level: everything halves, rounding up; with an even margin the
        // reduced image is exactly the next level's full size.
        margin = std::max(margin / 2, minMargin);
        originX = (originX - (originX & 1)) / 2;
        originY = (originY - (originY & 1)) / 2;
        winW = (winW + 1) / 2;
        winH = (winH + 1) / 2;
        planeW = (planeW + 1) / 2;
        planeH = (planeH + 1) / 2;
    }
    return 0;
}

void DenoiseTilePlaneFree(DenoiseMemHandle handle, DenoiseTilePlane* plane)
{
    if (!plane)
        return;
    for (auto& l : plane->level) {
        DenoiseImageFree(handle, l);
        l = nullptr;
    }
    for (auto& e : plane->excess) {
        DenoiseImageFree(handle, e);
        e = nullptr;
    }
    plane->levels = 0;
}
