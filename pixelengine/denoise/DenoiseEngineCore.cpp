#include "denoise/DenoiseEngineCore.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "PixelEngine.h"
#include "denoise/DenoiseImage.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoiseNoiseEstimate.h"
#include "denoise/DenoisePool.h"

DenoiseModeStages DenoiseModeTable(int mode)
{
    DenoiseModeStages s{};
    auto set = [&s](std::initializer_list<uint8_t> l, std::initializer_list<uint8_t> c) {
        std::copy(l.begin(), l.end(), s.luma);
        std::copy(c.begin(), c.end(), s.chroma);
    };
    switch (mode) {
    case 0: set({0x10, 0x10, 0x10, 0x10}, {0x15, 0x15, 0x15, 0x10}); break;
    case 1: set({0x15, 0x15, 0x15, 0x10}, {0x17, 0x15, 0x15, 0x10}); break;
    case 2: set({0x17, 0x15, 0x15, 0x10}, {0x17, 0x17, 0x17, 0x10}); break;
    case 3: set({0x17, 0x17, 0x17, 0x10}, {0x17, 0x17, 0x17, 0x10}); break;
    case 4: set({0x22, 0x22, 0x20, 0x20}, {0x22, 0x22, 0x20, 0x20}); break;
    case 5: set({0x23, 0x22, 0x22, 0x21}, {0x23, 0x22, 0x22, 0x21}); break;
    case 6:
        set({0x26, 0x22, 0x22, 0x21}, {0x26, 0x22, 0x22, 0x21});
        s.lumaUnitFactor[0] = s.chromaUnitFactor[0] = true;
        break;
    case 7:
        set({0x26, 0x26, 0x26, 0x21}, {0x26, 0x26, 0x26, 0x21});
        for (int i = 0; i < 3; ++i)
            s.lumaUnitFactor[i] = s.chromaUnitFactor[i] = true;
        break;
    case 16:
        set({0x33, 0x33, 0x33, 0x30}, {0x33, 0x33, 0x33, 0x30});
        s.profileFloor = true;
        break;
    case 17:
        set({0x37, 0x33, 0x33, 0x30}, {0x37, 0x33, 0x33, 0x33});
        s.lumaUnitFactor[0] = s.chromaUnitFactor[0] = true;
        s.profileFloor = true;
        break;
    case 18:
        set({0x37, 0x33, 0x33, 0x30}, {0x37, 0x33, 0x33, 0x33});
        s.lumaUnitFactor[0] = s.chromaUnitFactor[0] = true;
        break;
    case 19:
        set({0x36, 0x37, 0x37, 0x30}, {0x36, 0x37, 0x37, 0x33});
        for (int i = 0; i < 3; ++i)
            s.lumaUnitFactor[i] = true;
        s.chromaUnitFactor[0] = s.chromaUnitFactor[1] = s.chromaUnitFactor[3] = true;
        break;
    default:
        break;
    }
    return s;
}

int DenoiseDepthForArea(int64_t area)
{
    if (area < 76801)
        return 2;
    return area > 307199 ? 4 : 3;
}

int DenoiseDescriptorToLayout(const DenoisePlaneDesc& in, DenoisePlaneDesc* out)
{
    const uint32_t layout = DenoiseLayoutForCode(in.code);
    // The working planes hold one byte a sample.
    if (!out || layout == 0 || DenoiseLayoutBytesPerSample(layout) != 1)
        return PE_ERR_FORMAT;
    *out = in;
    out->layout = layout;
    return 0;
}

int DenoiseDescriptorNormalize(DenoisePlaneDesc* d)
{
    if (!d)
        return PE_ERR_ARGUMENT;
    const uint32_t layout = d->layout;
    if (!DenoiseLayoutSeparatePlanes(layout))
        return 0;
    const int cls = DenoiseLayoutChromaClass(layout);
    const uint32_t variant = DenoiseLayoutVariant(layout);
    const bool twoPlanes = cls == 2 && (variant & 0x03000000u);
    const bool oneChannel = DenoiseLayoutChannels(layout) == 1;
    if (d->planes[0]) {
        if (oneChannel)
            d->planes[1] = d->planes[2] = nullptr;
        if (cls == 2)
            d->planes[3] = nullptr;
        if (twoPlanes)
            d->planes[2] = d->planes[3] = nullptr;
        if (cls == 0 || DenoiseLayoutPlainClass1(layout))
            d->planes[3] = nullptr;
        return 0;
    }
    if (!d->buffer)
        return PE_ERR_ARGUMENT;
    const int64_t W = d->width, H = d->height;
    if (oneChannel) {
        d->planes[0] = d->buffer;
        d->pitch[0] = int32_t(W);
    } else if (cls == 2 && variant == 0) {
        d->pitch[0] = int32_t(W);
        d->pitch[1] = d->pitch[2] = int32_t(W / 2);
        d->planes[0] = d->buffer;
        d->planes[1] = d->buffer + W * H;
        d->planes[2] = d->buffer + W * H + (H / 2) * (W / 2);
    } else if (cls == 0) {
        d->pitch[0] = d->pitch[1] = d->pitch[2] = int32_t(W);
        d->planes[0] = d->buffer;
        d->planes[1] = d->buffer + W * H;
        d->planes[2] = d->buffer + 2 * W * H;
    } else if (DenoiseLayoutPlainClass1(layout)) {
        d->pitch[0] = int32_t(W);
        d->pitch[1] = d->pitch[2] = int32_t(W / 2);
        d->planes[0] = d->buffer;
        d->planes[1] = d->buffer + W * H;
        d->planes[2] = d->buffer + W * H + H * (W / 2);
    } else if (twoPlanes) {
        if (d->pitch[0] <= 0)
            d->pitch[0] = int32_t(W);
        d->planes[0] = d->buffer;
        d->planes[1] = d->buffer + H * d->pitch[0];
        d->pitch[1] = d->pitch[0];
    } else {
        for (auto& p : d->planes)
            p = nullptr;
        return PE_ERR_FORMAT;
    }
    return 0;
}

void DenoiseDescriptorEven(DenoisePlaneDesc* desc, uint32_t layout)
{
    if (DenoiseLayoutChromaHalvesBoth(layout)) {
        desc->width &= ~1;
        desc->height &= ~1;
    } else if (DenoiseLayoutChromaHalvesWidth(layout)) {
        desc->width &= ~1;
    }
}

namespace {
// Bytes a row of each plane needs at the descriptor's (evened) size.
int64_t neededRowBytes(const DenoisePlaneDesc& d, int plane)
{
    const uint32_t layout = d.layout;
    const int64_t W = d.width;
    switch (layout) {
    case 0x20000013u:
    case 0x21000013u:
        return plane == 0 ? 2 * W : 0;
    case 0x00000013u:
    case 0x00200013u:
    case 0x00400013u:
    case 0x00500013u:
    case 0x00600013u:
        return plane == 0 ? 3 * W : 0;
    case 0x51000013u:
    case 0x52800013u:
        return plane < 2 ? W : 0;
    case 0x50000013u:
    case 0x30000013u:
        return plane == 0 ? W : (plane < 3 ? W / 2 : 0);
    case 0x10000013u:
    case 0x10200013u:
        return plane < 3 ? W : 0;
    case 0x10000011u:
        return plane == 0 ? W : 0;
    default:
        return -1;
    }
}
}

int DenoiseDescriptorValidate(const DenoisePlaneDesc& d)
{
    if (d.width <= 0 || d.height <= 0)
        return PE_ERR_ARGUMENT;
    const int channels = DenoiseLayoutChannels(d.layout);
    for (int p = 0; p < 3; ++p) {
        const int64_t need = neededRowBytes(d, p);
        if (need < 0)
            return PE_ERR_FORMAT;
        if (need == 0)
            continue;
        if (d.pitch[p] < need)
            return PE_ERR_ARGUMENT;
    }
    for (int p = 0; p < std::min(channels, 3); ++p) {
        DenoisePlaneAccess a;
        const int rc = DenoisePlaneAccessFor(d, p, &a);
        if (rc != 0)
            return rc;
    }
    return 0;
}

int DenoisePlaneExtent(const DenoisePlaneDesc& d, int plane, DenoisePlaneSpan* out)
{
    if (!out || plane < 0 || plane > 2)
        return PE_ERR_ARGUMENT;
    *out = DenoisePlaneSpan{};
    const uint32_t layout = d.layout;
    const int64_t W = std::max(d.width, 0), H = std::max(d.height, 0);
    // Chroma of a 4:2:0 or 4:2:2 frame covers the last odd row or column too;
    // planes laid out in one buffer hold whole cells only.
    const bool oneBuffer = DenoiseLayoutSeparatePlanes(layout) && d.buffer;
    const int64_t cw = oneBuffer ? W / 2 : (W + 1) / 2;
    const int64_t ch = oneBuffer ? H / 2 : (H + 1) / 2;
    int64_t rowBytes = 0, rows = 0;
    const uint8_t* base = nullptr;
    if (!DenoiseLayoutSeparatePlanes(layout)) {
        if (plane != 0)
            return 0;
        base = d.buffer;
        rows = H;
        rowBytes = (layout == 0x20000013u || layout == 0x21000013u) ? 4 * ((W + 1) / 2) : 3 * W;
    } else {
        base = d.planes[plane];
        switch (layout) {
        case 0x50000013u:
            rowBytes = plane == 0 ? W : cw;
            rows = plane == 0 ? H : ch;
            break;
        case 0x30000013u:
            rowBytes = plane == 0 ? W : cw;
            rows = H;
            break;
        case 0x51000013u:
        case 0x52800013u:
            rowBytes = plane == 0 ? W : (plane == 1 ? 2 * cw : 0);
            rows = plane == 0 ? H : ch;
            break;
        case 0x10000013u:
        case 0x10200013u:
            rowBytes = W;
            rows = H;
            break;
        case 0x10000011u:
            rowBytes = plane == 0 ? W : 0;
            rows = H;
            break;
        default:
            return PE_ERR_FORMAT;
        }
    }
    if (!base || rowBytes <= 0 || rows <= 0)
        return 0;
    out->base = base;
    out->pitch = d.pitch[plane];
    out->rowBytes = std::min<int64_t>(rowBytes, std::max(d.pitch[plane], 0));
    out->rows = rows;
    return 0;
}

int DenoisePlanesCopyCore(const DenoisePlaneDesc* s, const DenoisePlaneDesc* t)
{
    if (!s || !t)
        return PE_ERR_ARGUMENT;
    if (s == t)
        return 0;
    if (s->layout != t->layout)
        return PE_ERR_FORMAT;
    for (int p = 0; p < 3; ++p) {
        DenoisePlaneSpan a, b;
        int rc = DenoisePlaneExtent(*s, p, &a);
        if (rc == 0)
            rc = DenoisePlaneExtent(*t, p, &b);
        if (rc != 0)
            return rc;
        if (!a.base || !b.base || a.base == b.base)
            continue;
        DenoiseCopyRows(const_cast<uint8_t*>(b.base), b.pitch, a.base, a.pitch, size_t(std::min(a.rowBytes, b.rowBytes)),
                        int(std::min(a.rows, b.rows)));
    }
    return 0;
}

bool DenoiseDescriptorsOverlap(const DenoisePlaneDesc& a, const DenoisePlaneDesc& b)
{
    for (int i = 0; i < 3; ++i) {
        DenoisePlaneSpan x;
        if (DenoisePlaneExtent(a, i, &x) != 0 || !x.base)
            continue;
        const uint8_t* x1 = x.base + (x.rows - 1) * int64_t(x.pitch) + x.rowBytes;
        for (int j = 0; j < 3; ++j) {
            DenoisePlaneSpan y;
            if (DenoisePlaneExtent(b, j, &y) != 0 || !y.base)
                continue;
            const uint8_t* y1 = y.base + (y.rows - 1) * int64_t(y.pitch) + y.rowBytes;
            if (x.base < y1 && y.base < x1)
                return true;
        }
    }
    return false;
}

int DenoisePyramidBuild(DenoiseMemHandle handle, DenoisePyramid* pyramid, const DenoisePlaneDesc* source,
                        DenoiseTileSize tile, int lumaDepth, int chromaDepth, const uint8_t lumaStages[4],
                        const uint8_t chromaStages[4])
{
    if (!pyramid || !source || lumaDepth < 1)
        return PE_ERR_ARGUMENT;
    const int workers = DenoiseThreadCount();
    pyramid->workers = uint32_t(workers);
    // Noise maps and edge maps have the coarsest luma level's size plus 8,
    // halving with rounding up exactly as the tile pyramid does.
    const int shift = lumaDepth - 1;
    const int64_t mapW = ((int64_t(tile.width) + (int64_t(1) << shift) - 1) >> shift) + 8;
    const int64_t mapH = ((int64_t(tile.height) + (int64_t(1) << shift) - 1) >> shift) + 8;
    if (!pyramid->scratch) {
        pyramid->scratch = static_cast<DenoiseImage**>(DenoiseCalloc(handle, size_t(workers), sizeof(DenoiseImage*)));
        if (!pyramid->scratch)
            return PE_ERR_NOMEM;
        for (int w = 0; w < workers; ++w) {
            pyramid->scratch[w] = DenoiseImageCreate(handle, int(mapW), int(mapH), 0, 0, 0, 0);
            if (!pyramid->scratch[w])
                return PE_ERR_NOMEM;
        }
    }
    if (pyramid->levels)
        return 0;
    const int channels = std::min(DenoiseLayoutChannels(source->layout), 3);
    const int count = chromaDepth > 0 ? (channels - 1) * chromaDepth + lumaDepth : lumaDepth;
    pyramid->levelCount = uint32_t(count);
    pyramid->levels =
        static_cast<DenoiseLevelBuffer**>(DenoiseCalloc(handle, size_t(workers), sizeof(DenoiseLevelBuffer*)));
    if (!pyramid->levels)
        return PE_ERR_NOMEM;
    const int64_t stride = DenoiseAlign4(mapW);
    for (int w = 0; w < workers; ++w) {
        void* memory = DenoiseCalloc(handle, size_t(count), sizeof(DenoiseLevelBuffer));
        if (!memory)
            return PE_ERR_NOMEM;
        pyramid->levels[w] = static_cast<DenoiseLevelBuffer*>(memory);
        for (int i = 0; i < count; ++i) {
            new (&pyramid->levels[w][i]) DenoiseLevelBuffer;
            const bool luma = i < lumaDepth;
            const int level = luma ? i : (i - lumaDepth) % std::max(chromaDepth, 1);
            if ((luma ? lumaStages[level] : chromaStages[level]) == 0)
                continue;
            DenoiseLevelBuffer& b = pyramid->levels[w][i];
            b.data = static_cast<uint8_t*>(DenoiseMalloc(handle, size_t(stride * mapH)));
            if (!b.data)
                return PE_ERR_NOMEM;
            b.stride = uint32_t(stride);
            b.capacityRows = uint32_t(mapH);
            b.width = uint32_t(mapW);
            b.height = uint32_t(mapH);
        }
    }
    return 0;
}

void DenoisePyramidFree(DenoiseMemHandle handle, DenoisePyramid* pyramid)
{
    if (!pyramid)
        return;
    if (pyramid->levels) {
        for (uint32_t w = 0; w < pyramid->workers; ++w) {
            if (!pyramid->levels[w])
                continue;
            for (uint32_t i = 0; i < pyramid->levelCount; ++i)
                DenoiseFree(handle, pyramid->levels[w][i].data);
            DenoiseFree(handle, pyramid->levels[w]);
        }
        DenoiseFree(handle, pyramid->levels);
    }
    if (pyramid->scratch) {
        for (uint32_t w = 0; w < pyramid->workers; ++w)
            DenoiseImageFree(handle, pyramid->scratch[w]);
        DenoiseFree(handle, pyramid->scratch);
    }
    *pyramid = DenoisePyramid{};
}

void DenoiseProfileScale(DenoiseProfile* profile, const int32_t lumaWeights[4], const int32_t chromaWeights[4])
{
    if (!profile)
        return;
    for (uint32_t c = 0; c < std::min<uint32_t>(profile->count, DENOISE_MAX_CHANNELS); ++c) {
        const int32_t* weights = c == 0 ? lumaWeights : chromaWeights;
        for (uint32_t l = 0; l < std::min<uint32_t>(profile->levels[c], DENOISE_MAX_LEVELS); ++l) {
            DenoiseProfileEntry& e = profile->entries[c][l];
            const int64_t w = std::max(weights[l], 0);
            const int n = 1 << std::min<uint32_t>(e.bits, 8);
            for (int i = 0; i < n; ++i) {
                const int64_t x = e.table[i];
                const int64_t v = (w > 256 && x == 0) ? (w - 128) >> 8 : (x * w + 128) >> 8;
                e.table[i] = uint8_t(std::min<int64_t>(v, 255));
            }
        }
    }
}

void DenoiseProfileRaiseFloor(DenoiseProfile* profile, int floor)
{
    if (!profile)
        return;
    const uint8_t f = uint8_t(std::clamp(floor, 0, 255));
    for (uint32_t c = 0; c < std::min<uint32_t>(profile->count, DENOISE_MAX_CHANNELS); ++c)
        for (uint32_t l = 0; l < std::min<uint32_t>(profile->levels[c], DENOISE_MAX_LEVELS); ++l) {
            DenoiseProfileEntry& e = profile->entries[c][l];
            for (int i = 0; i < (1 << std::min<uint32_t>(e.bits, 8)); ++i)
                e.table[i] = std::max(e.table[i], f);
        }
}

namespace {
// Interface descriptor to a checked engine descriptor of evened size.
int prepareDescriptor(const DenoisePlaneDesc& in, DenoisePlaneDesc* out)
{
    int rc = DenoiseDescriptorToLayout(in, out);
    if (rc == 0)
        rc = DenoiseDescriptorNormalize(out);
    if (rc == 0) {
        DenoiseDescriptorEven(out, out->layout);
        rc = DenoiseDescriptorValidate(*out);
    }
    return rc;
}

int chromaDepthFor(uint32_t layout, int depth)
{
    if (DenoiseLayoutChannels(layout) < 3)
        return 0;
    return DenoiseLayoutChromaClass(layout) != 0 ? depth - 1 : depth;
}
}

void DenoiseWorkRecordSetup(const DenoiseEngine* engine, uint32_t layout, int32_t width, int32_t height,
                            DenoiseWorkRecord* work)
{
    *work = DenoiseWorkRecord{};
    DenoiseWorkRecordFillWeights(work, engine->luma, engine->chroma);
    work->constant = 1;
    const int depth = DenoiseDepthForArea(int64_t(width) * height);
    work->lumaDepth = depth;
    work->chromaDepth = chromaDepthFor(layout, depth);
    const DenoiseModeStages mode = DenoiseModeTable(engine->mode);
    for (int i = 0; i < 4; ++i) {
        work->lumaStages[i] = mode.luma[i];
        work->chromaStages[i] = mode.chroma[i];
        if (mode.lumaUnitFactor[i])
            work->lumaFactor[i] = 256;
        if (mode.chromaUnitFactor[i])
            work->chromaFactor[i] = 256;
    }
    // The coarsest stage byte serves the levels that a shallower pyramid cuts off.
    if (work->lumaDepth <= 3)
        work->lumaStages[2] = work->lumaStages[3];
    if (work->lumaDepth <= 2)
        work->lumaStages[1] = work->lumaStages[3];
    const int k = 4 - work->chromaDepth;
    if (k >= 1)
        work->chromaStages[2] = work->chromaStages[3];
    if (k >= 2)
        work->chromaStages[1] = work->chromaStages[3];
    if (k >= 3)
        work->chromaStages[0] = work->chromaStages[3];
    if (engine->chroma.strength <= 0 || engine->chroma.level <= 0)
        work->chromaDepth = 0;
}

int DenoiseEngineEstimateNoise(DenoiseEngine* engine, const DenoisePlaneDesc* desc)
{
    if (!engine)
        return PE_ERR_ARGUMENT;
    if (!desc)
        return 0;
    DenoisePlaneDesc d;
    int rc = prepareDescriptor(*desc, &d);
    if (rc == 0) {
        const int depth = DenoiseDepthForArea(int64_t(d.width) * d.height);
        // Chroma levels are measured whatever the chrominance setting, so
        // that a later run with chrominance finds them.
        rc = DenoiseProfileEstimate(engine->handle, &engine->stored, &d, depth, chromaDepthFor(d.layout, depth),
                                    engine->pool);
    }
    if (rc != 0)
        engine->stored.count = 0;
    return rc;
}

int DenoiseEngineProcess(DenoiseEngine* engine, const DenoisePlaneDesc* source, const DenoisePlaneDesc* target,
                         DenoiseProgressCallback progress, void* user)
{
    if (!engine || !source || !target || source->width != target->width || source->height != target->height ||
        source->code != target->code)
        return PE_ERR_ARGUMENT;
    DenoisePlaneDesc src, dst;
    int rc = prepareDescriptor(*source, &src);
    if (rc == 0)
        rc = prepareDescriptor(*target, &dst);
    if (rc != 0)
        return rc;
    // Tiles read their margins from the source after neighbouring tiles have
    // been written: a target in the source's memory would change the seams.
    DenoisePlaneDesc fullSrc = src, fullDst = dst;
    fullSrc.width = fullDst.width = source->width;
    fullSrc.height = fullDst.height = source->height;
    if (DenoiseDescriptorsOverlap(fullSrc, fullDst))
        return PE_ERR_ARGUMENT;

    auto* work = static_cast<DenoiseWorkRecord*>(DenoiseCalloc(engine->handle, 1, sizeof(DenoiseWorkRecord)));
    if (!work)
        return PE_ERR_NOMEM;
    DenoiseWorkRecordSetup(engine, src.layout, src.width, src.height, work);
    work->pyramid = &engine->pyramid;
    work->pool = engine->pool;
    const DenoiseModeStages mode = DenoiseModeTable(engine->mode);

    const DenoiseTileSize tile =
        DenoiseTileGrid(src.width, src.height, DenoiseThreadCount(), work->lumaDepth, work->chromaDepth,
                        DenoiseStageWord(work->lumaStages), DenoiseStageWord(work->chromaStages), src.layout);
    DenoisePyramid& pyramid = engine->pyramid;
    auto cleanUp = [&] {
        DenoisePyramidFree(engine->handle, &pyramid);
        DenoiseFree(engine->handle, work);
    };
    rc = DenoisePyramidBuild(engine->handle, &pyramid, &src, tile, work->lumaDepth, work->chromaDepth,
                             work->lumaStages, work->chromaStages);
    if (rc != 0) {
        cleanUp();
        return rc;
    }
    if (engine->stored.count == 0) {
        rc = DenoiseProfileEstimate(engine->handle, &pyramid.profile, &src, work->lumaDepth, work->chromaDepth,
                                    engine->pool);
        if (rc != 0) {
            cleanUp();
            return rc;
        }
    } else {
        pyramid.profile = engine->stored;
    }
    engine->lumaDepth = work->lumaDepth;
    engine->chromaDepth = work->chromaDepth;
    if (mode.profileFloor) {
        work->profileFlag = 1;
        DenoiseProfileRaiseFloor(&pyramid.profile, 1);
    }
    DenoiseProfileScale(&pyramid.profile, work->lumaLevel, work->chromaLevel);
    DenoiseProfileScale(&pyramid.profile, work->lumaFactor, work->chromaFactor);

    // The target starts as a copy of the source: it keeps the source's chroma
    // when chroma is not denoised, and the row or column that evening leaves out.
    DenoisePlanesCopyCore(&fullSrc, &fullDst);

    rc = DenoiseProcessTiles(engine->handle, &src, &dst, &pyramid.profile, work, tile, progress, user);
    cleanUp();
    return rc;
}
