#include "denoise/DenoiseBlockFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "PixelEngine.h"
#include "denoise/DenoisePlaneKernels.h"

namespace {

constexpr uint8_t kWeights[64] = {
    16, 15, 14, 13, 12, 12, 11, 10, 10, 9, 9, 8, 8, 7, 7, 6,
    6, 6, 5, 5, 5, 4, 4, 4, 4, 3, 3, 3, 3, 3, 2, 2,
    2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0,
};
static_assert(kWeights[37] == 2 && kWeights[38] == 1 && kWeights[55] == 1 && kWeights[56] == 0,
              "weight classes 38..55 are 1, 56..63 are 0");

constexpr int kMaxCandidates = 64;

inline bool isSigned(uint32_t layout) { return layout == DENOISE_SAMPLES_S8; }
inline int sampleAt(const uint8_t* p, bool sign) { return sign ? int(int8_t(*p)) : int(*p); }
inline uint8_t storeOut(int v, bool sign)
{
    return sign ? uint8_t(int8_t(std::clamp(v, -128, 127))) : uint8_t(std::clamp(v, 0, 255));
}

bool planeUsable(const DenoiseLevelPlane* p)
{
    if (!p || !p->data || p->width <= 0 || p->height <= 0 || p->pitch < p->width)
        return false;
    if (p->layout != DENOISE_SAMPLES_U8 && p->layout != DENOISE_SAMPLES_S8)
        return false;
    const int m = DENOISE_FILTER_MARGIN;
    if (p->left < m || p->top < m || p->right < m || p->bottom < m)
        return false;
    return int64_t(p->left) + p->right < p->width && int64_t(p->top) + p->bottom < p->height;
}

bool sameGeometry(const DenoiseLevelPlane* a, const DenoiseLevelPlane* b)
{
    return a->width == b->width && a->height == b->height && a->left == b->left && a->top == b->top &&
           a->right == b->right && a->bottom == b->bottom && a->layout == b->layout;
}

inline int readClamped(const DenoiseLevelPlane* p, int x, int y)
{
    x = std::clamp(x, 0, p->width - 1);
    y = std::clamp(y, 0, p->height - 1);
    return sampleAt(p->data + int64_t(y) * p->pitch + x, isSigned(p->layout));
}

struct Candidate {
    int dx;
    int dy;
    int64_t d;
};

// Rebuilds the step x step block at plane position (px, py) (active position
// (bx, by)) from the coarser plane and blends it with the block's samples.
void rebuildFromCoarser(const DenoiseLevelPlane* src, DenoiseLevelPlane* dst, const DenoiseBlockParams* params,
                        int px, int py, int bx, int by, int step)
{
    const DenoiseLevelPlane* co = params->coarser;
    const int keep = params->keep;
    const int cx0 = co->left + (bx >> 1);
    const int cy0 = co->top + (by >> 1);
    const int half = step / 2;
    if (step == 8 && cx0 >= 0 && cy0 >= 0 && cx0 + half < co->width && cy0 + half < co->height) {
        DenoiseUpsampleBlend(co->data + int64_t(cy0) * co->pitch + cx0, co->pitch,
                             src->data + int64_t(py) * src->pitch + px, src->pitch, keep,
                             dst->data + int64_t(py) * dst->pitch + px, dst->pitch);
        return;
    }
    const bool sign = isSigned(src->layout);
    for (int j = 0; j < half; ++j) {
        for (int i = 0; i < half; ++i) {
            const int cv = readClamped(co, cx0 + i, cy0 + j);
            const int r = readClamped(co, cx0 + i + 1, cy0 + j);
            const int d = readClamped(co, cx0 + i, cy0 + j + 1);
            const int e = readClamped(co, cx0 + i + 1, cy0 + j + 1);
            const int up[4] = {cv, (cv + r + 1) >> 1, (cv + d + 1) >> 1, (cv + r + d + e + 2) >> 2};
            for (int q = 0; q < 4; ++q) {
                const int x = px + 2 * i + (q & 1);
                const int y = py + 2 * j + (q >> 1);
                const int p = sampleAt(src->data + int64_t(y) * src->pitch + x, sign);
                const int v = (p * keep + up[q] * (256 - keep) + 128) >> 8;
                dst->data[int64_t(y) * dst->pitch + x] = storeOut(v, sign);
            }
        }
    }
}

// Whether the 8 x 8 window of the block at active (bx, by) and `reach`
// samples round it lie inside the plane.
bool blockReachInside(const DenoiseLevelPlane* p, int bx, int by, int step, int reach)
{
    const int off = (8 - step) / 2;
    const int64_t x0 = int64_t(p->left) + bx - off - reach;
    const int64_t y0 = int64_t(p->top) + by - off - reach;
    const int64_t span = 8 + 2 * int64_t(reach);
    return x0 >= 0 && y0 >= 0 && x0 + span <= p->width && y0 + span <= p->height;
}

bool blockArgumentsUsable(const DenoiseLevelPlane* source, const DenoiseLevelPlane* destination,
                          const DenoiseBlockParams* params)
{
    return source && destination && params && source->data && destination->data &&
           (params->step == 4 || params->step == 8) && (source->layout == DENOISE_SAMPLES_U8 ||
                                                         source->layout == DENOISE_SAMPLES_S8) &&
           sameGeometry(source, destination) && source->pitch >= source->width &&
           destination->pitch >= destination->width &&
           (!params->coarser || (params->coarser->data && params->coarser->width > 0 &&
                                 params->coarser->height > 0 && params->coarser->pitch >= params->coarser->width));
}

} // namespace

int DenoiseFlatBlock(const DenoiseLevelPlane* source, DenoiseLevelPlane* destination,
                     const DenoiseBlockParams* params, int32_t bx, int32_t by, int64_t threshold)
{
    if (!blockArgumentsUsable(source, destination, params) || !blockReachInside(source, bx, by, params->step, 0))
        return PE_ERR_ARGUMENT;
    const int step = params->step;
    const bool sign = isSigned(source->layout);
    const int px = source->left + bx;
    const int py = source->top + by;
    const DenoiseLevelPlane* co = params->coarser;
    if (step == 8 && co) {
        if (co->width < 8 || co->height < 8)
            return 0;
        const int wx = std::clamp(co->left + (bx >> 1) - 2, 0, std::max(co->width - 8, 0));
        const int wy = std::clamp(co->top + (by >> 1) - 2, 0, std::max(co->height - 8, 0));
        int32_t sum = 0;
        int64_t var = 0;
        DenoiseBlockStats(co->layout, co->data + int64_t(wy) * co->pitch + wx, co->pitch, &sum, &var);
        if (var > threshold * 1024)
            return 0;
        if (!sign)
            rebuildFromCoarser(source, destination, params, px, py, bx, by, step);
        return 1;
    }
    const int off = (8 - step) / 2;
    const uint8_t* window = source->data + int64_t(py - off) * source->pitch + (px - off);
    int32_t sum = 0;
    int64_t var = 0;
    DenoiseBlockStats(source->layout, window, source->pitch, &sum, &var);
    if (var > threshold * 4096)
        return 0;
    if (!co) {
        const int m = (sum + 32) >> 6;
        const int keep = params->keep;
        for (int y = 0; y < step; ++y) {
            const uint8_t* s = source->data + int64_t(py + y) * source->pitch + px;
            uint8_t* d = destination->data + int64_t(py + y) * destination->pitch + px;
            for (int x = 0; x < step; ++x) {
                const int p = sampleAt(s + x, sign);
                d[x] = storeOut((m * 256 + (p - m) * keep + 128) >> 8, sign);
            }
        }
    } else if (!sign) {
        rebuildFromCoarser(source, destination, params, px, py, bx, by, step);
    }
    return 1;
}

int DenoiseBlockMatch(const DenoiseLevelPlane* source, DenoiseLevelPlane* destination,
                      const DenoiseBlockParams* params, int32_t bx, int32_t by, uint32_t threshold,
                      const uint8_t* weights, uint8_t* workArea)
{
    if (!blockArgumentsUsable(source, destination, params) || !weights || !workArea || threshold == 0 ||
        params->radius < 0 || params->extension < 0)
        return PE_ERR_ARGUMENT;
    const int R = params->radius;
    const int A = params->extension;
    const int reach = R + A;
    const int step = params->step;
    const int N = (2 * R + 1) * (2 * R + 1) + 3 * A;
    // The search reads a private copy of what it can reach, 16-aligned rows.
    const int32_t pitch = (2 * reach + 23) & ~15;
    const int span = 8 + 2 * reach;
    if (N > kMaxCandidates || DENOISE_BLOCK_SUMS_BYTES + int64_t(pitch) * span > DENOISE_WORK_AREA_BYTES ||
        !blockReachInside(source, bx, by, step, reach))
        return PE_ERR_ARGUMENT;
    const bool sign = isSigned(source->layout);
    const uint32_t layout = source->layout;
    const int off = (8 - step) / 2;
    const int px = source->left + bx;
    const int py = source->top + by;
    uint8_t* copy = workArea + DENOISE_BLOCK_SUMS_BYTES;
    DenoiseCopyRows(copy, pitch, source->data + int64_t(py - off - reach) * source->pitch + (px - off - reach),
                    source->pitch, size_t(span), span);
    const uint8_t* ref = copy + reach * pitch + reach;

    Candidate cands[kMaxCandidates];
    int n = 0;
    cands[n++] = {0, 0, 0};
    auto distance = [&](int dx, int dy) {
        return DenoiseBlockDistance(layout, ref, ref + int64_t(dy) * pitch + dx, pitch);
    };

    Candidate border{0, 0, std::numeric_limits<int64_t>::max()};
    for (int dy = -R; dy <= R; ++dy) {
        for (int dx = -R; dx <= R; ++dx) {
            if (dx == 0 && dy == 0)
                continue;
            const int64_t d = distance(dx, dy);
            cands[n++] = {dx, dy, d};
            if (A > 0 && (std::abs(dx) == R || std::abs(dy) == R) && d < border.d)
                border = {dx, dy, d};
        }
    }
    if (A > 0 && border.d != std::numeric_limits<int64_t>::max()) {
        int x = border.dx;
        int y = border.dy;
        auto outward = [](int v) { return v > 0 ? v + 1 : (v < 0 ? v - 1 : 0); };
        auto toward0 = [](int v) { return v > 0 ? v - 1 : (v < 0 ? v + 1 : 0); };
        for (int a = 0; a < A; ++a) {
            const int mx = outward(x);
            const int my = outward(y);
            int n1x, n1y, n2x, n2y;
            if (std::abs(my) < std::abs(mx)) {
                n1x = mx; n1y = my - 1; n2x = mx; n2y = my + 1;
            } else if (std::abs(mx) < std::abs(my)) {
                n1x = mx - 1; n1y = my; n2x = mx + 1; n2y = my;
            } else {
                n1x = toward0(mx); n1y = my; n2x = mx; n2y = toward0(my);
            }
            const Candidate moved{mx, my, distance(mx, my)};
            const Candidate first{n1x, n1y, distance(n1x, n1y)};
            const Candidate second{n2x, n2y, distance(n2x, n2y)};
            cands[n++] = moved;
            cands[n++] = first;
            cands[n++] = second;
            const Candidate& neighbour = first.d < second.d ? first : second;
            const Candidate& best = neighbour.d < moved.d ? neighbour : moved;
            x = best.dx;
            y = best.dy;
        }
    }

    // Distance classes: (d * k) >> 13 in 64 bits (d reaches 4.2e6, k 2.6e5).
    const uint64_t scale = uint64_t(std::max(params->scale, 0));
    const uint64_t k = (scale * 256 + threshold / 2) / threshold;
    int w[kMaxCandidates];
    int total = 0;
    for (int i = 0; i < n; ++i) {
        const uint64_t d = uint64_t(std::max<int64_t>(cands[i].d, 0));
        const uint64_t cls = (d > (std::numeric_limits<uint64_t>::max() >> 14) / std::max<uint64_t>(k, 1))
                                 ? 64
                                 : (d * k) >> 13;
        w[i] = cls < 64 ? weights[cls] : 0;
        total += w[i];
    }

    // Candidate blocks inside the copy; the sums sit at the start of the work area.
    auto block = [&](int i) { return ref + int64_t(off + cands[i].dy) * pitch + off + cands[i].dx; };
    const int cells = step * step;
    const int first = std::min(n, 16);
    std::memset(workArea, 0, size_t(cells) * 4);
    const uint8_t* s = source->data + int64_t(py) * source->pitch + px;
    uint8_t* d = destination->data + int64_t(py) * destination->pitch + px;
    if (!sign) {
        auto* sums16 = reinterpret_cast<uint16_t*>(workArea);
        int i = 0;
        for (; i + 1 < first; i += 2)
            DenoiseAccumulatePair(step, sums16, block(i), w[i], block(i + 1), w[i + 1], pitch);
        if (i < first)
            DenoiseAccumulate16(step, sums16, block(i), w[i], pitch);
        if (n <= 16) {
            DenoiseNormalize16(step, sums16, total, s, source->pitch, params->keep, d, destination->pitch);
            return 0;
        }
        DenoiseWiden(workArea, cells);
        auto* sums32 = reinterpret_cast<uint32_t*>(workArea);
        for (i = 16; i < n; ++i)
            if (w[i] != 0)
                DenoiseAccumulate32(step, sums32, block(i), w[i], pitch);
        DenoiseNormalize32(step, sums32, total, s, source->pitch, params->keep, d, destination->pitch);
        return 0;
    }
    auto* sums16 = reinterpret_cast<int16_t*>(workArea);
    for (int i = 0; i < first; ++i)
        if (w[i] != 0)
            DenoiseAccumulateSigned16(step, sums16, block(i), w[i], pitch);
    if (n <= 16) {
        DenoiseNormalizeSigned16(step, sums16, total, s, source->pitch, params->keep, d, destination->pitch);
        return 0;
    }
    DenoiseWidenSigned(workArea, cells);
    auto* sums32 = reinterpret_cast<int32_t*>(workArea);
    for (int i = 16; i < n; ++i)
        if (w[i] != 0)
            DenoiseAccumulateSigned32(step, sums32, block(i), w[i], pitch);
    DenoiseNormalizeSigned32(step, sums32, total, s, source->pitch, params->keep, d, destination->pitch);
    return 0;
}


void DenoiseWeightTableOpen(const uint8_t** table, int* length)
{
    if (table)
        *table = kWeights;
    if (length)
        *length = 64;
}

void DenoiseWeightTableClose(const uint8_t*) {}

int DenoiseBlockParamsFromStage(const DenoiseLevelParams& level, uint32_t fractionBits, DenoiseBlockParams* out)
{
    const int stage = level.stage & 0xFF;
    const int type = stage & 0xF0;
    if (type == 0)
        return 1;
    if (type != 0x10 && type != 0x20)
        return PE_ERR_FILTER;
    DenoiseBlockParams p;
    p.keep = std::clamp(level.keep, 0, 256);
    p.step = (stage & 2) ? 8 : 4;
    p.coarser = level.coarser;
    p.guide = level.guide;
    const bool bit0 = stage & 1;
    const bool bit2 = stage & 4;
    const bool chroma = level.set != 0;
    const int lv = level.level;
    int scaleUnits = 0;
    if (type == 0x10) {
        p.radius = bit2 ? 1 : 3;
        p.extension = bit2 ? 3 : 0;
        if (lv >= 0 && lv <= 3) {
            scaleUnits = (!chroma && lv == 0) ? 2 : 4;
            if (bit0) {
                static constexpr int lumaFlat[4] = {8, 4, 0, 0};
                static constexpr int chromaFlat[4] = {12, 6, 4, 1};
                p.flat = chroma ? chromaFlat[lv] : lumaFlat[lv];
            }
        }
    } else {
        p.radius = bit2 ? 0 : 1;
        p.extension = bit2 ? 0 : (bit0 ? 0 : 2);
        if (lv >= 0 && lv <= 3) {
            static constexpr int chromaFlat[4] = {12, 8, 4, 1};
            p.flat = chroma ? chromaFlat[lv] : 0;
            scaleUnits = 4;
        }
        if (bit0)
            scaleUnits = std::max(scaleUnits - 1, 0);
    }
    p.scale = scaleUnits << std::min<uint32_t>(fractionBits, DENOISE_MAX_FRACTION_BITS);
    *out = p;
    return 0;
}

int DenoiseLevelFilter(DenoiseMemHandle handle, const DenoiseLevelPlane* source, const DenoiseLevelBuffer* noiseMap,
                       const DenoiseLevelParams* params, DenoiseLevelPlane* destination)
{
    if (!source || !params || !destination || !source->data || !destination->data)
        return PE_ERR_ARGUMENT;
    if (params->keep >= 256) {
        if (source->width != destination->width || source->height != destination->height)
            return PE_ERR_ARGUMENT;
        if (source->data != destination->data)
            DenoiseCopyRows(destination->data, destination->pitch, source->data, source->pitch,
                            size_t(source->width), source->height);
        return 0;
    }
    DenoiseBlockParams bp;
    const int rc = DenoiseBlockParamsFromStage(*params, noiseMap ? noiseMap->fractionBits : 0, &bp);
    if (rc == 1)
        return 0;
    if (rc != 0)
        return rc;
    return DenoiseBlockFilterPlane(handle, source, noiseMap, &bp, destination);
}

int DenoiseBlockFilterPlane(DenoiseMemHandle handle, const DenoiseLevelPlane* source, const DenoiseLevelBuffer* noiseMap,
                            const DenoiseBlockParams* params, DenoiseLevelPlane* destination)
{
    if (!planeUsable(source) || !planeUsable(destination) || !sameGeometry(source, destination) || !params ||
        !noiseMap || !noiseMap->data || noiseMap->width == 0 || noiseMap->height == 0)
        return PE_ERR_ARGUMENT;
    if (params->step != 4 && params->step != 8)
        return PE_ERR_ARGUMENT;
    if (params->radius < 0 || params->extension < 0 || params->radius + params->extension > 4)
        return PE_ERR_ARGUMENT;
    if (params->coarser && !planeUsable(params->coarser))
        return PE_ERR_ARGUMENT;
    const DenoiseLevelPlane* guide = params->guide;
    if (guide && (!guide->data || guide->width <= 0 || guide->height <= 0))
        return PE_ERR_ARGUMENT;

    const int m = DENOISE_FILTER_MARGIN;
    const int activeW = source->width - source->left - source->right;
    const int activeH = source->height - source->top - source->bottom;
    if (source->data != destination->data)
        DenoiseCopyRows(destination->data + int64_t(source->top - m) * destination->pitch + (source->left - m),
                        destination->pitch, source->data + int64_t(source->top - m) * source->pitch + (source->left - m),
                        source->pitch, size_t(activeW + 2 * m), activeH + 2 * m);

    const uint8_t* table = nullptr;
    int tableLength = 0;
    DenoiseWeightTableOpen(&table, &tableLength);
    auto* workArea = static_cast<uint8_t*>(DenoiseMalloc(handle, DENOISE_WORK_AREA_BYTES));
    if (!workArea) {
        DenoiseWeightTableClose(table);
        return PE_ERR_NOMEM;
    }

    const int step = params->step;
    const int offX = (activeW % step) < step / 2 ? step / 2 : 0;
    const int offY = (activeH % step) < step / 2 ? step / 2 : 0;
    const uint32_t b = std::min<uint32_t>(noiseMap->fractionBits, DENOISE_MAX_FRACTION_BITS);
    const int xs = int(std::min<uint32_t>(noiseMap->xShift, 16));
    const int ys = int(std::min<uint32_t>(noiseMap->yShift, 16));
    const bool matching = params->radius + params->extension > 0;

    for (int by = -offY; by < activeH; by += step) {
        const int cy = by + step / 2;
        const int mr = (cy + ((1 << ys) >> 1)) >> ys;
        const int mapRow = std::clamp(int(noiseMap->top) + mr, 0, int(noiseMap->height) - 1);
        const uint8_t* mapLine = noiseMap->data + int64_t(mapRow) * noiseMap->stride;
        const uint8_t* guideLine = nullptr;
        if (guide)
            guideLine = guide->data + int64_t(std::clamp(guide->top + mr, 0, guide->height - 1)) * guide->pitch;
        for (int bx = -offX; bx < activeW; bx += step) {
            const int cx = bx + step / 2;
            const int mc = (cx + ((1 << xs) >> 1)) >> xs;
            const int noise = mapLine[std::clamp(int(noiseMap->left) + mc, 0, int(noiseMap->width) - 1)];
            if (noise == 0)
                continue;
            const int g = guideLine ? guideLine[std::clamp(guide->left + mc, 0, guide->width - 1)] : 0;
            if (params->flat > 0 && (!guide || g < 255)) {
                const int64_t t = (int64_t(params->flat) * noise) >> b;
                if (DenoiseFlatBlock(source, destination, params, bx, by, t) == 1)
                    continue;
            }
            if (matching) {
                // Edges (a high guide) raise the threshold, so that less alike blocks still count.
                const uint32_t threshold = (uint32_t(noise) * uint32_t(g + 64)) >> 6;
                DenoiseBlockMatch(source, destination, params, bx, by, threshold, table, workArea);
            }
        }
    }
    DenoiseFree(handle, workArea);
    DenoiseWeightTableClose(table);
    return 0;
}
