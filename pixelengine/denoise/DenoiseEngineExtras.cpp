#include "denoise/DenoiseEngineExtras.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PixelEngine.h"
#include "denoise/DenoiseEngineCore.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoiseNoiseEstimate.h"
#include "denoise/DenoiseTileGrid.h"

struct DenoiseStatistics {
    DenoiseHistograms histograms;
};

namespace {
constexpr int64_t kScratchCap = 0x380000;

int engineDescriptor(const DenoisePlaneDesc& in, DenoisePlaneDesc* out)
{
    int rc = DenoiseDescriptorToLayout(in, out);
    if (rc == 0)
        rc = DenoiseDescriptorNormalize(out);
    return rc;
}
}

void DenoiseStatisticsFree(DenoiseEngine* engine)
{
    if (!engine || !engine->statistics)
        return;
    DenoiseHistogramsFree(engine->handle, &engine->statistics->histograms);
    DenoiseFree(engine->handle, engine->statistics);
    engine->statistics = nullptr;
}

int DenoiseEngineAccumulateStatistics(DenoiseEngine* engine, const DenoisePlaneDesc* desc, const uint32_t origin[2],
                                      const uint32_t rect[4])
{
    if (!engine || !origin || !rect || !desc)
        return PE_ERR_ARGUMENT;
    DenoisePlaneDesc d;
    int rc = engineDescriptor(*desc, &d);
    if (rc == 0) {
        DenoiseDescriptorEven(&d, d.layout);
        rc = DenoiseDescriptorValidate(d);
    }
    if (rc != 0)
        return rc;
    if (!engine->statistics) {
        auto* stats = static_cast<DenoiseStatistics*>(DenoiseCalloc(engine->handle, 1, sizeof(DenoiseStatistics)));
        if (!stats)
            return PE_ERR_NOMEM;
        int chroma = DenoiseLayoutChromaClass(d.layout) != 0 ? 3 : 4;
        if (engine->chroma.level <= 0 || engine->chroma.strength <= 0)
            chroma = 0;
        rc = DenoiseHistogramsCreate(engine->handle, &stats->histograms, std::min(DenoiseLayoutChannels(d.layout), 3),
                                     4, chroma);
        if (rc != 0) {
            DenoiseFree(engine->handle, stats);
            return rc;
        }
        engine->statistics = stats;
    }
    const int64_t x0 = int64_t(rect[0]) + origin[0], y0 = int64_t(rect[1]) + origin[1];
    const int64_t x1 = int64_t(rect[2]) + origin[0], y1 = int64_t(rect[3]) + origin[1];
    if (x0 >= d.width || y0 >= d.height || x1 <= x0 || y1 <= y0)
        return PE_ERR_ARGUMENT;
    const int32_t r[4] = {int32_t(x0), int32_t(y0), int32_t(std::min<int64_t>(x1, d.width)),
                          int32_t(std::min<int64_t>(y1, d.height))};
    return DenoiseHistogramsFill(engine->handle, &engine->statistics->histograms, &d, r);
}

int DenoiseEngineProfileFromStatistics(DenoiseEngine* engine)
{
    if (!engine || !engine->statistics)
        return PE_ERR_ARGUMENT;
    const DenoiseHistograms& h = engine->statistics->histograms;
    DenoiseProfile& p = engine->stored;
    const int chroma = h.channels >= 2 ? int(h.levels[1]) : 0;
    DenoiseProfileSetup(&p, 3, int(h.levels[0]), chroma);
    for (int c = 1; c < 3; ++c)
        for (int l = 0; l < DENOISE_MAX_LEVELS; ++l)
            p.entries[c][l].bits = 6;
    DenoiseProfileFromHistograms(&p, &h, 4915200);
    DenoiseStatisticsFree(engine);
    return 0;
}

int DenoiseEngineForgetStatistics(DenoiseEngine* engine)
{
    if (!engine)
        return PE_ERR_ARGUMENT;
    // Freed rather than dropped: nothing else holds the histograms.
    DenoiseStatisticsFree(engine);
    return 0;
}

int DenoiseEngineDescribeBuffer(DenoiseMemHandle handle, DenoisePlaneDesc* desc, int code, int32_t width,
                                int32_t height)
{
    if (!desc)
        return PE_ERR_ARGUMENT;
    const uint32_t layout = DenoiseLayoutForCode(code);
    if (layout == 0)
        return PE_ERR_FORMAT;
    if (width <= 0 || height <= 0)
        return PE_ERR_ARGUMENT;
    const int64_t W = width, H = height, s = DenoiseLayoutBytesPerSample(layout);
    int64_t bytes = 0;
    int64_t pitch0 = 0;
    if (!DenoiseLayoutSeparatePlanes(layout)) {
        int64_t perPixel = 3;
        if (DenoiseLayoutChromaClass(layout) == 1)
            perPixel = 2;
        // Packed 4:2:2 rows hold whole pixel pairs; code 13 whole groups of eight.
        const int64_t unit = layout == 0x22000013u ? 8 : 2;
        pitch0 = (W + unit - 1) / unit * unit * perPixel * s;
        bytes = pitch0 * H;
    } else if (DenoiseLayoutChromaClass(layout) == 2 && DenoiseLayoutVariant(layout)) {
        pitch0 = W * s;
        bytes = pitch0 * (H + H / 2);
    } else if (DenoiseLayoutChromaClass(layout) == 2) {
        bytes = (W * H + 2 * (H / 2) * (W / 2)) * s;
    } else if (DenoiseLayoutChromaClass(layout) == 1) {
        bytes = (W * H + 2 * H * (W / 2)) * s;
    } else {
        bytes = 3 * W * H * s;
    }
    if (bytes <= 0 || bytes > (int64_t(1) << 40))
        return PE_ERR_ARGUMENT;
    DenoisePlaneDesc d;
    d.width = width;
    d.height = height;
    d.code = code;
    d.layout = layout;
    d.buffer = static_cast<uint8_t*>(DenoiseCalloc(handle, size_t(bytes), 1));
    if (!d.buffer)
        return PE_ERR_NOMEM;
    d.pitch[0] = int32_t(pitch0 / s);
    const int rc = DenoiseDescriptorNormalize(&d);
    if (rc != 0) {
        DenoiseFree(handle, d.buffer);
        return rc;
    }
    for (int& p : d.pitch)
        p *= int(s);
    d.layout = 0;
    *desc = d;
    return 0;
}

void DenoiseBufferFree(DenoiseMemHandle handle, DenoisePlaneDesc* desc)
{
    if (!desc)
        return;
    DenoiseFree(handle, desc->buffer);
    desc->buffer = nullptr;
    for (auto& p : desc->planes)
        p = nullptr;
}

int DenoiseImageCopy(const DenoisePlaneDesc* source, const DenoisePlaneDesc* target)
{
    if (!source || !target)
        return PE_ERR_ARGUMENT;
    DenoisePlaneDesc s, t;
    int rc = engineDescriptor(*source, &s);
    if (rc == 0)
        rc = engineDescriptor(*target, &t);
    if (rc != 0)
        return rc;
    if (s.layout != t.layout)
        return PE_ERR_FORMAT;
    return DenoisePlanesCopyCore(&s, &t);
}

int DenoisePlanesCopy(const DenoisePlaneDesc* source, const DenoisePlaneDesc* target)
{
    return DenoiseImageCopy(source, target);
}

int DenoiseDescriptorResize(DenoisePlaneDesc* out, const DenoisePlaneDesc* desc, int32_t width, int32_t height)
{
    if (!out || !desc)
        return PE_ERR_ARGUMENT;
    const uint32_t layout = DenoiseLayoutForCode(desc->code);
    const int code = DenoiseLayoutToCode(layout);
    if (code == 0)
        return PE_ERR_FORMAT;
    *out = DenoisePlaneDesc{};
    out->width = width;
    out->height = height;
    out->code = code;
    return 0;
}

int64_t DenoiseEngineScratchSize(const DenoiseEngine* engine, int32_t width, int32_t height, int32_t margin)
{
    if (!engine)
        return 0;
    DenoiseWorkRecord work;
    DenoiseWorkRecordSetup(engine, 0x13, width, height, &work);
    const int64_t size = DenoiseTileScratchSize(width, height, work.lumaDepth, work.chromaDepth,
                                                DenoiseStageWord(work.lumaStages), DenoiseStageWord(work.chromaStages),
                                                margin, 0x13);
    return std::min(size + 8192, kScratchCap);
}

int64_t DenoiseScratchSizeForImage(const DenoiseEngine* engine, int32_t width, int32_t height, int32_t margin)
{
    if (!engine)
        return 0;
    const int64_t size = DenoiseScratchSize(width, height, 0x13, engine->lumaDepth, engine->chromaDepth, margin, 1);
    return std::min(size + 8192, kScratchCap);
}

namespace {
// Address of channel c of the pixel at (x, y), or null.
uint8_t* sampleAddress(const DenoisePlaneDesc& d, int c, int x, int y)
{
    // Subsampled layouts describe whole chroma cells only: stay in the evened area.
    DenoisePlaneDesc even = d;
    DenoiseDescriptorEven(&even, d.layout);
    if (x < 0 || y < 0 || x >= even.width || y >= even.height)
        return nullptr;
    DenoiseSampleSite site{};
    if (!DenoiseSampleLocate(d.layout, c, x, y, &site))
        return nullptr;
    if (!DenoiseLayoutSeparatePlanes(d.layout))
        return d.buffer ? d.buffer + int64_t(site.row) * d.pitch[0] + site.byte : nullptr;
    if (site.plane < 0 || site.plane > 2 || !d.planes[site.plane])
        return nullptr;
    return d.planes[site.plane] + int64_t(site.row) * d.pitch[site.plane] + site.byte;
}
}

uint32_t DenoisePixelGet(const DenoisePlaneDesc* desc, int32_t x, int32_t y)
{
    DenoisePlaneDesc d;
    if (!desc || engineDescriptor(*desc, &d) != 0)
        return 0;
    uint32_t value = 0;
    for (int c = 0; c < 3; ++c) {
        const uint8_t* p = sampleAddress(d, c, x, y);
        value = value << 8 | (p ? *p : 0u);
    }
    return value;
}

void DenoisePixelSet(const DenoisePlaneDesc* desc, int32_t x, int32_t y, uint32_t value)
{
    DenoisePlaneDesc d;
    if (!desc || engineDescriptor(*desc, &d) != 0)
        return;
    for (int c = 0; c < 3; ++c) {
        uint8_t* p = sampleAddress(d, c, x, y);
        if (p)
            *p = uint8_t(value >> (16 - 8 * c));
    }
}

void DenoiseHistogramAdd(uint32_t* target, const uint32_t* source, int bins)
{
    if (!target || !source)
        return;
    for (int i = 0; i < bins; ++i)
        target[i] += source[i];
}

void DenoiseTableMarkOutliers(uint8_t* table, int n, int start, int tolerance)
{
    if (!table || n <= 0 || start < 0 || start >= n)
        return;
    auto walk = [&](int from, int to, int step) {
        int last = table[start];
        int allowance = tolerance;
        for (int i = from; i != to; i += step) {
            if (table[i] < 255 && std::abs(int(table[i]) - last) <= allowance) {
                last = table[i];
                allowance = tolerance;
            } else {
                table[i] = 255;
                allowance += tolerance;
            }
        }
    };
    walk(start - 1, -1, -1);
    walk(start + 1, n, 1);
}

void DenoiseTableFillGaps(uint8_t* table, int n)
{
    if (!table || n <= 0)
        return;
    int first = 0;
    while (first < n && table[first] == 255)
        ++first;
    if (first == n) {
        std::memset(table, 0, size_t(n));
        return;
    }
    for (int i = 0; i < first; ++i)
        table[i] = table[first];
    int prev = first;
    for (int i = first + 1; i < n; ++i) {
        if (table[i] == 255)
            continue;
        for (int x = prev + 1; x < i; ++x)
            table[x] = uint8_t((table[prev] * (i - x) + table[i] * (x - prev)) / (i - prev));
        prev = i;
    }
    for (int x = prev + 1; x < n; ++x)
        table[x] = table[prev];
}
