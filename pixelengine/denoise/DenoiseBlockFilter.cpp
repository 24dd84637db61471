#include "denoise/DenoiseBlockFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
inline int clampOut(int v, bool sign)
{
    return sign ? std::clamp(v, -128, 127) : std::clamp(v, 0, 255);
}
inline uint8_t storeOut(int v, bool sign) { return sign ? uint8_t(int8_t(clampOut(v, true))) : uint8_t(clampOut(v, false)); }

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

struct BlockContext {
    const DenoiseLevelPlane* src;
    DenoiseLevelPlane* dst;
    const DenoiseBlockParams* params;
    bool sign;
    int step;
};

// Rebuilds a step x step block at plane position (px, py) (active position
// (bx, by)) from the coarser plane and blends it with the block's samples.
void rebuildFromCoarser(const BlockContext& c, int px, int py, int bx, int by)
{
    const DenoiseLevelPlane* co = c.params->coarser;
    const int keep = c.params->keep;
    const int cx0 = co->left + (bx >> 1);
    const int cy0 = co->top + (by >> 1);
    const int half = c.step / 2;
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
                const int p = sampleAt(c.src->data + int64_t(y) * c.src->pitch + x, c.sign);
                const int v = (p * keep + up[q] * (256 - keep) + 128) >> 8;
                c.dst->data[int64_t(y) * c.dst->pitch + x] = storeOut(v, c.sign);
            }
        }
    }
}

// The flat test of one block; true when the block is handled.
bool flatBlock(const BlockContext& c, int px, int py, int bx, int by, int64_t t)
{
    const DenoiseLevelPlane* co = c.params->coarser;
    if (c.step == 8 && co) {
        const int wx = std::clamp(co->left + (bx >> 1) - 2, 0, std::max(co->width - 8, 0));
        const int wy = std::clamp(co->top + (by >> 1) - 2, 0, std::max(co->height - 8, 0));
        if (co->width < 8 || co->height < 8)
            return false;
        int32_t sum = 0;
        int64_t var = 0;
        DenoiseBlockStats(co->layout, co->data + int64_t(wy) * co->pitch + wx, co->pitch, &sum, &var);
        if (var > t * 1024)
            return false;
        if (!c.sign)
            rebuildFromCoarser(c, px, py, bx, by);
        return true;
    }
    const int off = (8 - c.step) / 2;
    const uint8_t* window = c.src->data + int64_t(py - off) * c.src->pitch + (px - off);
    int32_t sum = 0;
    int64_t var = 0;
    DenoiseBlockStats(c.src->layout, window, c.src->pitch, &sum, &var);
    if (var > t * 4096)
        return false;
    if (!co) {
        const int m = (sum + 32) >> 6;
        const int keep = c.params->keep;
        for (int y = 0; y < c.step; ++y) {
            const uint8_t* s = c.src->data + int64_t(py + y) * c.src->pitch + px;
            uint8_t* d = c.dst->data + int64_t(py + y) * c.dst->pitch + px;
            for (int x = 0; x < c.step; ++x) {
                const int p = sampleAt(s + x, c.sign);
                d[x] = storeOut((m * 256 + (p - m) * keep + 128) >> 8, c.sign);
            }
        }
    } else if (!c.sign) {
        rebuildFromCoarser(c, px, py, bx, by);
    }
    return true;
}

// sums += block * w for an S x S block of signed or unsigned samples.
template <int S, bool Sign>
inline void accumulate(int32_t* __restrict sums, const uint8_t* __restrict base, int32_t pitch, int w)
{
#if defined(__SSE2__)
    // Products fit 16 bits (|sample| <= 255, weight <= 16); sums are kept in 32.
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight = _mm_set1_epi16(int16_t(w));
    for (int y = 0; y < S; ++y) {
        const uint8_t* row = base + int64_t(y) * pitch;
        __m128i bytes;
        if (S == 8) {
            bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row));
        } else {
            int32_t four;
            std::memcpy(&four, row, 4);
            bytes = _mm_cvtsi32_si128(four);
        }
        const __m128i wide = Sign ? _mm_srai_epi16(_mm_unpacklo_epi8(zero, bytes), 8) : _mm_unpacklo_epi8(bytes, zero);
        const __m128i prod = _mm_mullo_epi16(wide, weight);
        const __m128i lo = Sign ? _mm_srai_epi32(_mm_unpacklo_epi16(zero, prod), 16) : _mm_unpacklo_epi16(prod, zero);
        __m128i* acc = reinterpret_cast<__m128i*>(sums + y * S);
        _mm_storeu_si128(acc, _mm_add_epi32(_mm_loadu_si128(acc), lo));
        if (S == 8) {
            const __m128i hi =
                Sign ? _mm_srai_epi32(_mm_unpackhi_epi16(zero, prod), 16) : _mm_unpackhi_epi16(prod, zero);
            _mm_storeu_si128(acc + 1, _mm_add_epi32(_mm_loadu_si128(acc + 1), hi));
        }
    }
#else
    for (int y = 0; y < S; ++y) {
        const uint8_t* __restrict row = base + int64_t(y) * pitch;
        int32_t* __restrict acc = sums + y * S;
        for (int x = 0; x < S; ++x)
            acc[x] += (Sign ? int(int8_t(row[x])) : int(row[x])) * w;
    }
#endif
}

// Block matching of one block at plane position (px, py).
void blockMatch(const BlockContext& c, int px, int py, uint32_t threshold, const uint8_t* table)
{
    const DenoiseBlockParams& bp = *c.params;
    const int R = bp.radius;
    const int A = bp.extension;
    const int reach = R + A;
    const int off = (8 - c.step) / 2;
    const int32_t pitch = c.src->pitch;
    const uint8_t* ref = c.src->data + int64_t(py - off) * pitch + (px - off);
    const uint32_t layout = c.src->layout;

    Candidate cands[kMaxCandidates];
    int n = 0;
    cands[n++] = {0, 0, 0};
    auto evaluate = [&](int dx, int dy) -> int64_t {
        if (std::abs(dx) > reach || std::abs(dy) > reach)
            return std::numeric_limits<int64_t>::max() / 4;
        return DenoiseBlockDistance(layout, ref, ref + int64_t(dy) * pitch + dx, pitch);
    };
    auto append = [&](int dx, int dy, int64_t d) {
        if (n < kMaxCandidates)
            cands[n++] = {dx, dy, d};
    };

    Candidate border{0, 0, std::numeric_limits<int64_t>::max()};
    for (int dy = -R; dy <= R; ++dy) {
        for (int dx = -R; dx <= R; ++dx) {
            if (dx == 0 && dy == 0)
                continue;
            const int64_t d = evaluate(dx, dy);
            append(dx, dy, d);
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
            const Candidate moved{mx, my, evaluate(mx, my)};
            const Candidate first{n1x, n1y, evaluate(n1x, n1y)};
            const Candidate second{n2x, n2y, evaluate(n2x, n2y)};
            append(moved.dx, moved.dy, moved.d);
            append(first.dx, first.dy, first.d);
            append(second.dx, second.dy, second.d);
            const Candidate& neighbour = first.d < second.d ? first : second;
            const Candidate& best = neighbour.d < moved.d ? neighbour : moved;
            x = best.dx;
            y = best.dy;
        }
    }

    // Distance classes: (d * k) >> 13 in 64 bits (d reaches 4.2e6, k 2.6e5).
    const uint64_t scale = uint64_t(std::max(bp.scale, 0));
    const uint64_t k = (scale * 256 + threshold / 2) / threshold;
    int weights[kMaxCandidates];
    int total = 0;
    for (int i = 0; i < n; ++i) {
        const uint64_t d = uint64_t(std::max<int64_t>(cands[i].d, 0));
        const uint64_t cls = (d > (std::numeric_limits<uint64_t>::max() >> 14) / std::max<uint64_t>(k, 1))
                                 ? 64
                                 : (d * k) >> 13;
        weights[i] = cls < 64 ? table[cls] : 0;
        total += weights[i];
    }

    const int s = c.step;
    int32_t sums[64] = {};
    for (int i = 0; i < n; ++i) {
        const int w = weights[i];
        if (w == 0)
            continue;
        const uint8_t* base = c.src->data + int64_t(py + cands[i].dy) * pitch + (px + cands[i].dx);
        if (s == 8)
            c.sign ? accumulate<8, true>(sums, base, pitch, w) : accumulate<8, false>(sums, base, pitch, w);
        else
            c.sign ? accumulate<4, true>(sums, base, pitch, w) : accumulate<4, false>(sums, base, pitch, w);
    }

    const int keep = bp.keep;
    const int64_t half = total / 2;
    const int64_t recip16 = 65535 / total;
    const int64_t recip32 = int64_t(0xFFFFFFFFu / uint32_t(total));
    for (int y = 0; y < s; ++y) {
        const uint8_t* srow = c.src->data + int64_t(py + y) * pitch + px;
        uint8_t* drow = c.dst->data + int64_t(py + y) * c.dst->pitch + px;
        for (int x = 0; x < s; ++x) {
            const int64_t sum = sums[y * s + x];
            int64_t avg;
            if (n <= 16)
                avg = ((sum + half) * recip16) >> 16;
            else if (s == 8)
                avg = ((sum + half) * recip32) >> 32;
            else
                avg = (sum + half) / total;
            const int p = sampleAt(srow + x, c.sign);
            const int64_t v = (avg * 256 + (p - avg) * keep + 128) >> 8;
            drow[x] = storeOut(int(std::clamp<int64_t>(v, -1024, 1024)), c.sign);
        }
    }
}

} // namespace

void DenoiseWeightTableOpen(const uint8_t** table, int* length)
{
    if (table)
        *table = kWeights;
    if (length)
        *length = 64;
}

void DenoiseWeightTableClose(const uint8_t*) {}

void DenoiseBlockStats(uint32_t layout, const uint8_t* window, int32_t pitch, int32_t* sum, int64_t* variance)
{
    const bool sign = isSigned(layout);
    int32_t s = 0;
    int64_t q = 0;
    for (int y = 0; y < 8; ++y) {
        const uint8_t* row = window + int64_t(y) * pitch;
        for (int x = 0; x < 8; ++x) {
            const int v = sampleAt(row + x, sign);
            s += v;
            q += v * v;
        }
    }
    if (sum)
        *sum = s;
    if (variance)
        *variance = 64 * q - int64_t(s) * s;
}

int64_t DenoiseBlockDistance(uint32_t layout, const uint8_t* a, const uint8_t* b, int32_t pitch)
{
    int sad = 0;
#if defined(__SSE2__)
    if (layout == DENOISE_SAMPLES_U8 || layout == DENOISE_SAMPLES_S8) {
        // Flipping the sign bit maps signed bytes onto unsigned ones with the same differences.
        const __m128i flip = _mm_set1_epi8(layout == DENOISE_SAMPLES_S8 ? char(0x80) : 0);
        __m128i total = _mm_setzero_si128();
        for (int y = 0; y < 8; y += 2) {
            const uint8_t* ra = a + int64_t(y) * pitch;
            const uint8_t* rb = b + int64_t(y) * pitch;
            const __m128i va = _mm_xor_si128(
                _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(ra)),
                                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(ra + pitch))),
                flip);
            const __m128i vb = _mm_xor_si128(
                _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(rb)),
                                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rb + pitch))),
                flip);
            total = _mm_add_epi64(total, _mm_sad_epu8(va, vb));
        }
        sad = _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_srli_si128(total, 8));
        return (int64_t(sad) * sad) >> 6;
    }
#endif
    if (layout == DENOISE_SAMPLES_U8) {
        for (int y = 0; y < 8; ++y) {
            const uint8_t* ra = a + int64_t(y) * pitch;
            const uint8_t* rb = b + int64_t(y) * pitch;
            for (int x = 0; x < 8; ++x)
                sad += std::abs(int(ra[x]) - int(rb[x]));
        }
    } else if (layout == DENOISE_SAMPLES_S8) {
        for (int y = 0; y < 8; ++y) {
            const int8_t* ra = reinterpret_cast<const int8_t*>(a + int64_t(y) * pitch);
            const int8_t* rb = reinterpret_cast<const int8_t*>(b + int64_t(y) * pitch);
            for (int x = 0; x < 8; ++x)
                sad += std::abs(int(ra[x]) - int(rb[x]));
        }
    } else {
        return 0;
    }
    return (int64_t(sad) * sad) >> 6;
}

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

int DenoiseBlockFilterPlane(DenoiseMemHandle, const DenoiseLevelPlane* source, const DenoiseLevelBuffer* noiseMap,
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

    const int step = params->step;
    const int offX = (activeW % step) < step / 2 ? step / 2 : 0;
    const int offY = (activeH % step) < step / 2 ? step / 2 : 0;
    const uint32_t b = std::min<uint32_t>(noiseMap->fractionBits, DENOISE_MAX_FRACTION_BITS);
    const int xs = int(std::min<uint32_t>(noiseMap->xShift, 16));
    const int ys = int(std::min<uint32_t>(noiseMap->yShift, 16));
    const bool matching = params->radius + params->extension > 0;

    BlockContext ctx{source, destination, params, isSigned(source->layout), step};
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
            const int px = source->left + bx;
            const int py = source->top + by;
            if (params->flat > 0 && (!guide || g < 255)) {
                const int64_t t = (int64_t(params->flat) * noise) >> b;
                if (flatBlock(ctx, px, py, bx, by, t))
                    continue;
            }
            if (matching) {
                const uint32_t threshold = std::max<uint32_t>((uint32_t(noise) * uint32_t(g + 64)) >> 6, 1);
                blockMatch(ctx, px, py, threshold, table);
            }
        }
    }
    DenoiseWeightTableClose(table);
    return 0;
}
