#include "denoise/DenoiseTilePhases.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "PixelEngine.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoisePlaneKernels.h"

struct DenoiseTileContext {
    DenoiseMemHandle handle = nullptr;
    const DenoiseWorkRecord* work = nullptr;
    DenoiseLevelBuffer* maps = nullptr;      // the worker slot's noise maps
    DenoiseImage* scratch = nullptr;         // the worker slot's edge-map storage
    DenoiseLevelPlane guide;                 // edge map of this tile
    bool hasGuide = false;
    int tileIndex = 0;
    int status = 0;
    int planeCount = 0;
    int depth[3] = {0, 0, 0};
    int winX0[3] = {0, 0, 0};
    int winY0[3] = {0, 0, 0};
    int winX1[3] = {0, 0, 0};
    int winY1[3] = {0, 0, 0};
    DenoiseTilePlane planes[3];
};

namespace {

uint8_t stageOf(const DenoiseWorkRecord* work, int plane, int level)
{
    if (level < 0 || level > 3)
        return 0;
    return plane == 0 ? work->lumaStages[level] : work->chromaStages[level];
}

void freeContext(DenoiseTileContext* ctx)
{
    if (!ctx)
        return;
    for (auto& p : ctx->planes)
        DenoiseTilePlaneFree(ctx->handle, &p);
    DenoiseFree(ctx->handle, ctx);
}

// Noise map of (plane, level): one value per pixel of the coarsest luma level
// (window plus 4 round it), looked up by that pixel's brightness.
int fillNoiseMap(DenoiseTileContext* ctx, const DenoiseProfile* profile, int plane, int level, uint32_t layout)
{
    const int index = DenoiseLevelBufferIndex(ctx->work, plane, level);
    if (index < 0)
        return PE_ERR_ARGUMENT;
    DenoiseLevelBuffer& map = ctx->maps[index];
    const DenoiseImage* coarse = ctx->planes[0].level[ctx->depth[0] - 1];
    const int wc = coarse->width - coarse->left - coarse->right;
    const int hc = coarse->height - coarse->top - coarse->bottom;
    const uint32_t w = uint32_t(wc + 8), h = uint32_t(hc + 8);
    if (!map.data || w > map.stride || h > map.capacityRows)
        return PE_ERR_ARGUMENT;
    map.width = w;
    map.height = h;
    map.left = map.top = 4;
    map.right = map.bottom = 4;

    const int d = ctx->depth[0];
    int xs = d - 1 - level, ys = d - 1 - level;
    if (plane > 0) {
        if (DenoiseLayoutChromaHalvesBoth(layout)) {
            xs = d - 2 - level;
            ys = d - 2 - level;
        } else if (DenoiseLayoutChromaHalvesWidth(layout)) {
            xs = d - 2 - level;
        }
    }
    map.xShift = uint32_t(std::max(xs, 0));
    map.yShift = uint32_t(std::max(ys, 0));

    // A profile without this channel or level gives zero noise there: no filtering.
    const bool have = profile && uint32_t(plane) < profile->count && uint32_t(level) < profile->levels[plane];
    if (!have) {
        map.fractionBits = 0;
        for (uint32_t y = 0; y < h; ++y)
            std::memset(map.data + size_t(y) * map.stride, 0, w);
        return 0;
    }
    const DenoiseProfileEntry& entry = profile->entries[plane][level];
    const uint32_t bits = std::min<uint32_t>(entry.bits, 8);
    map.fractionBits = std::min<uint32_t>(entry.fractionBits, DENOISE_MAX_FRACTION_BITS);
    const int shift = int(8 - bits);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* src = coarse->data + ptrdiff_t(coarse->top + int(y) - 4) * coarse->stride + coarse->left - 4;
        uint8_t* dst = map.data + size_t(y) * map.stride;
        for (uint32_t x = 0; x < w; ++x)
            dst[x] = entry.table[src[x] >> shift];
    }
    return 0;
}

// Edge map of the coarsest luma level at the noise maps' geometry.
void fillEdgeMap(DenoiseTileContext* ctx)
{
    ctx->hasGuide = false;
    DenoiseImage* store = ctx->scratch;
    const DenoiseImage* coarse = ctx->planes[0].level[ctx->depth[0] - 1];
    const int wc = coarse->width - coarse->left - coarse->right;
    const int hc = coarse->height - coarse->top - coarse->bottom;
    const int w = wc + 8, h = hc + 8;
    if (!store || w > store->stride || h > store->height)
        return;
    const ptrdiff_t cs = coarse->stride;
    for (int y = 0; y < h; ++y) {
        const uint8_t* c = coarse->data + ptrdiff_t(coarse->top + y - 4) * cs + coarse->left - 4;
        uint8_t* out = store->data + ptrdiff_t(y) * store->stride;
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = c + x;
            const int up = p[-cs - 1] + 2 * p[-cs] + p[-cs + 1];
            const int mid = p[-1] + 2 * p[0] + p[1];
            const int down = p[cs - 1] + 2 * p[cs] + p[cs + 1];
            const int left = p[-cs - 1] + 2 * p[-1] + p[cs - 1];
            const int centre = p[-cs] + 2 * p[0] + p[cs];
            const int right = p[-cs + 1] + 2 * p[1] + p[cs + 1];
            const int gy = up + down - 2 * mid;
            const int gx = left + right - 2 * centre;
            out[x] = uint8_t(std::min(std::abs(gx) + std::abs(gy), 255));
        }
    }
    DenoiseLevelPlane& g = ctx->guide;
    g.data = store->data;
    g.layout = DENOISE_SAMPLES_U8;
    g.width = w;
    g.height = h;
    g.pitch = store->stride;
    g.left = g.top = g.right = g.bottom = 4;
    ctx->hasGuide = true;
}

// Turns every level of plane p but the coarsest into its band. A band whose
// signed bytes cannot hold a difference gets an excess image with the rest,
// so that the rebuild is exact: a one-pixel line on an odd column leaves a
// larger difference than on an even one.
int decompose(DenoiseTileContext* ctx, int p)
{
    DenoiseTilePlane& plane = ctx->planes[p];
    if (ctx->depth[p] < 2)
        return 0;
    const DenoiseImage* largest = plane.level[0];
    auto* rest = static_cast<uint8_t*>(DenoiseMalloc(ctx->handle, size_t(largest->width)));
    if (!rest)
        return PE_ERR_NOMEM;
    int rc = 0;
    for (int i = 0; i + 1 < ctx->depth[p] && rc == 0; ++i) {
        DenoiseImage* fine = plane.level[i];
        const DenoiseImage* coarse = plane.level[i + 1];
        if (coarse->layout != DENOISE_SAMPLES_U8 || fine->layout != DENOISE_SAMPLES_U8) {
            rc = PE_ERR_SAMPLE;
            break;
        }
        for (int y = 0; y < fine->height; ++y) {
            // One row at a time into `rest` (pitch 0): most rows need no excess.
            if (DenoiseDetailSplit(coarse->data, coarse->stride, fine->width, fine->height, 0, y, fine->width, y + 1,
                                   fine->data, fine->stride, rest, 0) == 0)
                continue;
            DenoiseImage*& excess = plane.excess[i];
            if (!excess) {
                excess = DenoiseImageCreate(ctx->handle, fine->width - fine->left - fine->right,
                                            fine->height - fine->top - fine->bottom, fine->left, fine->top,
                                            fine->right, fine->bottom);
                if (!excess) {
                    rc = PE_ERR_NOMEM;
                    break;
                }
                std::memset(excess->data, DENOISE_EXCESS_ZERO, size_t(excess->stride) * size_t(excess->height));
            }
            std::memcpy(excess->data + ptrdiff_t(y) * excess->stride, rest, size_t(fine->width));
        }
        fine->layout = DENOISE_SAMPLES_S8;
    }
    DenoiseFree(ctx->handle, rest);
    return rc;
}

// Rebuilds level i of plane p from its (filtered) band and the coarser level.
int collapse(DenoiseTileContext* ctx, int p, int i)
{
    DenoiseImage* img = ctx->planes[p].level[i];
    const DenoiseImage* coarser = ctx->planes[p].level[i + 1];
    const DenoiseImage* excess = ctx->planes[p].excess[i];
    int rc = 0;
    if (excess) {
        if (coarser->layout != DENOISE_SAMPLES_U8)
            return PE_ERR_SAMPLE;
        DenoiseCollapseSplit(coarser->data, coarser->stride, img->width, img->height, 0, 0, img->width, img->height,
                             img->data, img->stride, excess->data, excess->stride);
    } else {
        rc = DenoiseCollapseRegion(coarser->layout, coarser->data, coarser->stride, img->width, img->height, 0, 0,
                                   img->width, img->height, img->data, img->stride);
    }
    img->layout = DENOISE_SAMPLES_U8;
    return rc;
}

} // namespace

void DenoiseLevelParamsFill(DenoiseLevelParams* params, const DenoiseWorkRecord* work, int set, int level,
                            const DenoiseLevelPlane* guide)
{
    const int i = std::clamp(level, 0, 3);
    const int strength = set == 0 ? work->lumaStrength[i] : work->chromaStrength[i];
    params->keep = strength >= 256 ? 0 : 256 - std::max(strength, 0);
    params->set = set == 0 ? 0 : 1;
    params->level = level;
    params->stage = set == 0 ? work->lumaStages[i] : work->chromaStages[i];
    params->profileFlag = work->profileFlag;
    params->guide = guide;
    params->coarser = nullptr;
}

int DenoiseLevelBufferIndex(const DenoiseWorkRecord* work, int plane, int level)
{
    const int d = work->lumaDepth, c = work->chromaDepth;
    if (plane == 0)
        return (level >= 0 && level < d) ? level : -1;
    if (plane > 2 || level < 0 || level >= c)
        return -1;
    return d + (plane - 1) * c + level;
}

int DenoiseTilePrepare(DenoiseTileContext** out, DenoiseMemHandle handle, const DenoisePlaneDesc* source,
                       const int32_t rect[4], int tileIndex, const DenoiseProfile* profile,
                       const DenoiseWorkRecord* work)
{
    if (!out)
        return PE_ERR_ARGUMENT;
    *out = nullptr;
    if (!source || !rect || !work || !work->pyramid || work->lumaDepth < 1 || work->lumaDepth > 4 ||
        work->chromaDepth < 0 || work->chromaDepth > 4)
        return PE_ERR_ARGUMENT;
    const int x0 = std::max(rect[0], 0), y0 = std::max(rect[1], 0);
    const int x1 = std::min(rect[2], source->width), y1 = std::min(rect[3], source->height);
    if (x0 >= x1 || y0 >= y1)
        return PE_ERR_ARGUMENT;

    void* memory = DenoiseCalloc(handle, 1, sizeof(DenoiseTileContext));
    if (!memory)
        return PE_ERR_NOMEM;
    auto* ctx = new (memory) DenoiseTileContext;
    ctx->handle = handle;
    ctx->work = work;
    ctx->tileIndex = tileIndex;
    const DenoisePyramid* pyramid = work->pyramid;
    const int slot = pyramid->workers ? tileIndex % int(pyramid->workers) : 0;
    ctx->maps = pyramid->levels ? pyramid->levels[slot] : nullptr;
    ctx->scratch = pyramid->scratch ? pyramid->scratch[slot] : nullptr;

    const uint32_t layout = source->layout;
    const int channels = DenoiseLayoutChannels(layout);
    ctx->planeCount = (channels >= 3 && work->chromaDepth > 0) ? 3 : 1;
    int rc = 0;
    for (int p = 0; p < ctx->planeCount && rc == 0; ++p) {
        DenoisePlaneAccess access;
        rc = DenoisePlaneAccessFor(*source, p, &access);
        if (rc != 0)
            break;
        int sx = 0, sy = 0;
        if (p > 0)
            DenoiseChromaShift(layout, &sx, &sy);
        ctx->winX0[p] = x0 >> sx;
        ctx->winY0[p] = y0 >> sy;
        ctx->winX1[p] = std::min((x1 + (1 << sx) - 1) >> sx, access.width);
        ctx->winY1[p] = std::min((y1 + (1 << sy) - 1) >> sy, access.height);
        ctx->depth[p] = p == 0 ? work->lumaDepth : work->chromaDepth;
        if (ctx->winX0[p] >= ctx->winX1[p] || ctx->winY0[p] >= ctx->winY1[p]) {
            rc = PE_ERR_ARGUMENT;
            break;
        }
        rc = DenoiseTilePlaneBuild(handle, access, ctx->winX0[p], ctx->winY0[p], ctx->winX1[p], ctx->winY1[p],
                                   ctx->depth[p], DENOISE_FILTER_MARGIN, &ctx->planes[p]);
        if (rc == 0)
            rc = decompose(ctx, p);
    }

    for (int p = 0; p < ctx->planeCount && rc == 0; ++p) {
        for (int i = ctx->depth[p] - 1; i >= 0 && rc == 0; --i) {
            if (stageOf(work, p, i) != 0)
                rc = fillNoiseMap(ctx, profile, p, i, layout);
            if (p == 0 && i == ctx->depth[0] - 1)
                fillEdgeMap(ctx);
            if (i < ctx->depth[p] - 1) {
                const int factor = p == 0 ? work->lumaFactor[i] : work->chromaFactor[i];
                if (factor != 256) {
                    DenoiseImage* band = ctx->planes[p].level[i];
                    DenoiseImage* excess = ctx->planes[p].excess[i];
                    auto* d = reinterpret_cast<int8_t*>(band->data);
                    if (excess)
                        DenoiseScaleDetailSplit(d, band->stride, excess->data, excess->stride, factor, band->width,
                                                band->height);
                    else
                        DenoiseScaleDetail(d, band->stride, factor, d, band->stride, band->width, band->height);
                }
            }
        }
    }
    ctx->status = rc;
    if (rc != 0) {
        freeContext(ctx);
        return rc;
    }
    *out = ctx;
    return 0;
}

int DenoiseTileLevelPasses(DenoiseTileContext* ctx)
{
    if (!ctx)
        return PE_ERR_ARGUMENT;
    const DenoiseImage* largest = ctx->planes[0].level[0];
    for (int p = 1; p < ctx->planeCount; ++p)
        if (ctx->planes[p].level[0] &&
            int64_t(ctx->planes[p].level[0]->stride) * ctx->planes[p].level[0]->height >
                int64_t(largest->stride) * largest->height)
            largest = ctx->planes[p].level[0];
    uint8_t* temp = static_cast<uint8_t*>(DenoiseMalloc(ctx->handle, size_t(largest->stride) * size_t(largest->height)));
    if (!temp)
        return PE_ERR_NOMEM;

    int rc = 0;
    for (int p = 0; p < ctx->planeCount && rc == 0; ++p) {
        const int n = ctx->depth[p];
        const int set = p == 0 ? 0 : 1;
        for (int i = n - 1; i >= 0 && rc == 0; --i) {
            DenoiseImage* img = ctx->planes[p].level[i];
            const DenoiseImage* coarser = i + 1 < n ? ctx->planes[p].level[i + 1] : nullptr;
            // Luma levels are rebuilt first and filtered against the coarser level;
            // chroma bands are filtered first and rebuilt afterwards.
            if (p == 0 && coarser)
                rc = collapse(ctx, p, i);
            DenoiseLevelParams params;
            DenoiseLevelParamsFill(&params, ctx->work, set, i, ctx->hasGuide ? &ctx->guide : nullptr);
            const int index = DenoiseLevelBufferIndex(ctx->work, p, i);
            if (rc == 0 && (params.stage & 0xFF) != 0 && params.keep < 256 && index >= 0 && ctx->maps) {
                const DenoiseLevelPlane src = DenoiseImageAsPlane(*img);
                DenoiseLevelPlane dst = src;
                dst.data = temp;
                DenoiseLevelPlane coarsePlane;
                if (p == 0 && coarser) {
                    coarsePlane = DenoiseImageAsPlane(*coarser);
                    params.coarser = &coarsePlane;
                }
                rc = DenoiseLevelFilter(ctx->handle, &src, &ctx->maps[index], &params, &dst);
                if (rc == 0) {
                    // The filter wrote the active area and 8 samples round it.
                    const int m = DENOISE_FILTER_MARGIN;
                    const ptrdiff_t off = ptrdiff_t(img->top - m) * img->stride + (img->left - m);
                    DenoiseCopyRows(img->data + off, img->stride, temp + off, img->stride,
                                    size_t(img->width - img->left - img->right + 2 * m),
                                    img->height - img->top - img->bottom + 2 * m);
                }
            }
            if (rc == 0 && p != 0 && coarser)
                rc = collapse(ctx, p, i);
        }
    }
    DenoiseFree(ctx->handle, temp);
    return rc;
}

int DenoiseTileFinish(DenoiseTileContext* ctx, const DenoisePlaneDesc* target)
{
    if (!ctx)
        return PE_ERR_ARGUMENT;
    int rc = ctx->status;
    if (rc == 0 && !target)
        rc = PE_ERR_ARGUMENT;
    if (rc == 0)
        rc = DenoiseTileLevelPasses(ctx);
    for (int p = 0; p < ctx->planeCount && rc == 0; ++p) {
        DenoisePlaneAccess access;
        rc = DenoisePlaneAccessFor(*target, p, &access);
        if (rc != 0)
            break;
        const DenoiseImage* img = ctx->planes[p].level[0];
        if (ctx->winX1[p] > access.width || ctx->winY1[p] > access.height) {
            rc = PE_ERR_MISMATCH;
            break;
        }
        DenoisePlaneWrite(access, ctx->winX0[p], ctx->winY0[p], ctx->winX1[p], ctx->winY1[p],
                          img->data + ptrdiff_t(img->top) * img->stride + img->left, img->stride);
    }
    freeContext(ctx);
    return rc;
}

void DenoiseTileRelease(DenoiseTileContext* context)
{
    freeContext(context);
}

int DenoiseTileRun(DenoiseMemHandle handle, const DenoisePlaneDesc* source, const DenoisePlaneDesc* target,
                   const int32_t rect[4], int tileIndex, const DenoiseProfile* profile, const DenoiseWorkRecord* work)
{
    DenoiseTileContext* ctx = nullptr;
    const int rc = DenoiseTilePrepare(&ctx, handle, source, rect, tileIndex, profile, work);
    if (rc != 0)
        return rc;
    if (!ctx)
        return -1;
    return DenoiseTileFinish(ctx, target);
}
