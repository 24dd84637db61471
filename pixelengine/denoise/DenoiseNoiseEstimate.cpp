#include "denoise/DenoiseNoiseEstimate.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "PixelEngine.h"
#include "denoise/DenoiseImage.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoisePool.h"

int DenoiseHistogramsCreate(DenoiseMemHandle handle, DenoiseHistograms* h, int channels, int lumaLevels,
                            int chromaLevels)
{
    if (!h)
        return PE_ERR_ARGUMENT;
    *h = DenoiseHistograms{};
    h->channels = uint32_t(std::clamp(channels, 0, 3));
    for (uint32_t c = 0; c < h->channels; ++c) {
        h->levels[c] = uint32_t(std::clamp(c == 0 ? lumaLevels : chromaLevels, 0, 4));
        for (uint32_t l = 0; l < h->levels[c]; ++l) {
            h->bins[c][l] = static_cast<uint32_t*>(DenoiseCalloc(handle, DENOISE_HIST_BINS, sizeof(uint32_t)));
            if (!h->bins[c][l]) {
                DenoiseHistogramsFree(handle, h);
                return PE_ERR_NOMEM;
            }
        }
    }
    return 0;
}

void DenoiseHistogramsFree(DenoiseMemHandle handle, DenoiseHistograms* h)
{
    if (!h)
        return;
    for (auto& channel : h->bins)
        for (auto& bins : channel) {
            DenoiseFree(handle, bins);
            bins = nullptr;
        }
    h->channels = 0;
}

int DenoiseSizeClass(int64_t pixels)
{
    if (pixels <= 614399)
        return 0;
    return pixels < 2457600 ? 1 : 2;
}

int64_t DenoiseScratchSize(int64_t w, int64_t h, uint32_t layout, int lumaLevels, int chromaLevels, int64_t margin,
                           int workers)
{
    const int n = std::clamp(lumaLevels, 0, 4);
    const int c = std::clamp(chromaLevels, 0, 4);
    const int64_t v = std::min<int64_t>(int64_t(4) << std::max(n, c), margin);
    int64_t total = int64_t(n + 2 * c) << 15;
    auto levelSize = [&](int l) {
        const int64_t m = std::max<int64_t>((v >> l) * 2, 8);
        return DenoiseAlign4((w >> l) + m) * ((h >> l) + m);
    };
    for (int l = 0; l <= n; ++l)
        total += levelSize(l);
    if (c > 0) {
        for (int l = 0; l <= c; ++l) {
            const int64_t s = levelSize(l);
            if (DenoiseLayoutChromaClass(layout) == 0)
                total += 2 * s;
            else if (DenoiseLayoutChromaHalvesWidth(layout))
                total += s;
            else
                total += s / 2;
        }
    }
    total += std::max<int64_t>(int64_t(workers) * 6 * (h + 16) * DenoiseAlign4(w + 16), 0);
    return total;
}

namespace {

// One histogram pass over the window of `img` at level l: every pixel whose
// 8 x 8 neighbourhood is smooth adds one count at (guide brightness, variance).
void histogramPass(const DenoiseImage& img, const DenoiseImage& guide, int level, int sx, int sy, uint32_t* bins)
{
    const int x0 = img.left, y0 = img.top;
    const int aw = img.width - img.left - img.right;
    const int ah = img.height - img.top - img.bottom;
    if (aw <= 0 || ah <= 0 || img.left < 4 || img.top < 4 || img.right < 4 || img.bottom < 4)
        return;
    const int shift = 15 - level;
    const int gw = guide.width - guide.left - guide.right;
    const int gh = guide.height - guide.top - guide.bottom;
    // Running column sums over 8 rows (y - 4 .. y + 3), then 8 columns across.
    const int cols = aw + 8;
    std::vector<uint32_t> colS(size_t(cols), 0), colQ(size_t(cols), 0);
    const ptrdiff_t stride = img.stride;
    for (int dy = -4; dy < 4; ++dy) {
        const uint8_t* row = img.data + ptrdiff_t(y0 + dy) * stride + x0 - 4;
        for (int i = 0; i < cols; ++i) {
            colS[size_t(i)] += row[i];
            colQ[size_t(i)] += uint32_t(row[i]) * row[i];
        }
    }
    for (int y = 0; y < ah; ++y) {
        if (y > 0) {
            const uint8_t* out = img.data + ptrdiff_t(y0 + y - 5) * stride + x0 - 4;
            const uint8_t* in = img.data + ptrdiff_t(y0 + y + 3) * stride + x0 - 4;
            for (int i = 0; i < cols; ++i) {
                colS[size_t(i)] += uint32_t(in[i]) - uint32_t(out[i]);
                colQ[size_t(i)] += uint32_t(in[i]) * in[i] - uint32_t(out[i]) * out[i];
            }
        }
        uint32_t s = 0, q = 0;
        for (int i = 0; i < 8; ++i) {
            s += colS[size_t(i)];
            q += colQ[size_t(i)];
        }
        const int gy = std::clamp(y >> sy, 0, std::max(gh - 1, 0)) + guide.top;
        const uint8_t* guideRow = guide.data + ptrdiff_t(gy) * guide.stride + guide.left;
        for (int x = 0; x < aw; ++x) {
            if (x > 0) {
                // Unsigned wrap-around keeps the window sums exact.
                s += colS[size_t(x + 7)] - colS[size_t(x - 1)];
                q += colQ[size_t(x + 7)] - colQ[size_t(x - 1)];
            }
            const int64_t var = (64 * int64_t(q) - int64_t(s) * int64_t(s)) >> shift;
            if (var < 0 || var >= 64)
                continue;
            const int row = guideRow[std::clamp(x >> sx, 0, std::max(gw - 1, 0))];
            ++bins[(row << DENOISE_HIST_COLUMN_BITS) | int(var)];
        }
    }
}

} // namespace

namespace {

// How a rectangle is walked: estimation tiles of tw x th from (rx0, ry0),
// row by row, the last ones clipped to the rectangle.
struct FillPlan {
    int n = 0, c = 0, planes = 0;
    int sxC = 0, syC = 0;
    int rx0 = 0, ry0 = 0, rx1 = 0, ry1 = 0;
    int64_t tw = 0, th = 0;
    int64_t across = 0, down = 0;
    DenoisePlaneAccess access[3];
};

// 0 with the plan, 1 when there is nothing to count, else an error code.
int planFill(const DenoiseHistograms* h, const DenoisePlaneDesc* source, const int32_t rect[4], FillPlan* plan)
{
    const uint32_t layout = source->layout;
    const int channels = std::min<int>(DenoiseLayoutChannels(layout), int(h->channels));
    plan->n = int(h->levels[0]);
    plan->c = channels > 1 ? int(h->levels[1]) : 0;
    if (plan->n < 1)
        return 1;
    plan->rx0 = std::max(rect[0], 0);
    plan->ry0 = std::max(rect[1], 0);
    plan->rx1 = std::min(rect[2], source->width);
    plan->ry1 = std::min(rect[3], source->height);
    if (plan->rx0 >= plan->rx1 || plan->ry0 >= plan->ry1)
        return PE_ERR_ARGUMENT;
    const int n = plan->n, c = plan->c;
    const int m = std::max(n, c);
    const int64_t unit = int64_t(1) << m;
    int64_t tw = (int64_t(plan->rx1 - plan->rx0) + unit - 1) / unit * unit;
    int64_t th = (int64_t(plan->ry1 - plan->ry0) + unit - 1) / unit * unit;
    while (DenoiseScratchSize(tw, th, layout, n, c, int64_t(4) << m, 4) >= 0x360001) {
        if (th >= tw) {
            if (th <= unit)
                break;
            th -= unit;
        } else {
            if (tw <= unit)
                break;
            tw -= unit;
        }
    }
    plan->tw = tw;
    plan->th = th;
    plan->across = (int64_t(plan->rx1 - plan->rx0) + tw - 1) / tw;
    plan->down = (int64_t(plan->ry1 - plan->ry0) + th - 1) / th;

    DenoiseChromaShift(layout, &plan->sxC, &plan->syC);
    plan->planes = c > 0 ? std::min(channels, 3) : 1;
    for (int p = 0; p < plan->planes; ++p) {
        const int rc = DenoisePlaneAccessFor(*source, p, &plan->access[p]);
        if (rc != 0)
            return rc;
    }
    return 0;
}

// Counts estimation tile `index` of the plan (row by row) into h.
int fillTile(DenoiseMemHandle handle, DenoiseHistograms* h, const FillPlan& plan, int64_t index)
{
    const int64_t tx = plan.rx0 + (index % plan.across) * plan.tw;
    const int64_t ty = plan.ry0 + (index / plan.across) * plan.th;
    const int n = plan.n, c = plan.c;
    const int x0 = int(tx), y0 = int(ty);
    const int x1 = int(std::min<int64_t>(tx + plan.tw, plan.rx1)), y1 = int(std::min<int64_t>(ty + plan.th, plan.ry1));
    DenoiseTilePlane pyr[3];
    int rc = 0;
    for (int p = 0; p < plan.planes && rc == 0; ++p) {
        const int sx = p ? plan.sxC : 0, sy = p ? plan.syC : 0;
        const int wx0 = x0 >> sx, wy0 = y0 >> sy;
        const int wx1 = std::min((x1 + (1 << sx) - 1) >> sx, plan.access[p].width);
        const int wy1 = std::min((y1 + (1 << sy) - 1) >> sy, plan.access[p].height);
        if (wx0 >= wx1 || wy0 >= wy1)
            continue;
        rc = DenoiseTilePlaneBuild(handle, plan.access[p], wx0, wy0, wx1, wy1, (p ? c : n) + 1, 4, &pyr[p]);
    }
    if (rc == 0 && pyr[0].levels > n) {
        const DenoiseImage& guide = *pyr[0].level[n];
        for (int p = 0; p < plan.planes; ++p) {
            if (!pyr[p].levels)
                continue;
            const int levels = p ? c : n;
            for (int l = 0; l < levels; ++l) {
                const int s = n - l;
                int sx = s, sy = s;
                if (p > 0) {
                    sx = s - plan.sxC;
                    sy = s - plan.syC;
                }
                histogramPass(*pyr[p].level[l], guide, l, std::max(sx, 0), std::max(sy, 0), h->bins[p][l]);
            }
        }
    }
    for (auto& pl : pyr)
        DenoiseTilePlaneFree(handle, &pl);
    return rc;
}

// One worker's share of a pooled fill: tiles lane, lane + lanes, ... counted
// into its own histograms. Counts only add up, so the shares summed in any
// order give the bins of the walk on one thread.
struct FillLane {
    DenoiseMemHandle handle = nullptr;
    const FillPlan* plan = nullptr;
    DenoiseHistograms* bins = nullptr;
    int64_t lane = 0, lanes = 1;
    std::atomic<bool>* failed = nullptr;
    int rc = 0;
    int64_t failedTile = -1;
};

int fillLane(void* argument)
{
    auto* lane = static_cast<FillLane*>(argument);
    const int64_t tiles = lane->plan->across * lane->plan->down;
    for (int64_t i = lane->lane; i < tiles; i += lane->lanes) {
        if (lane->failed->load(std::memory_order_relaxed))
            break;
        const int rc = fillTile(lane->handle, lane->bins, *lane->plan, i);
        if (rc != 0) {
            lane->rc = rc;
            lane->failedTile = i;
            lane->failed->store(true, std::memory_order_relaxed);
            break;
        }
    }
    return lane->rc;
}

} // namespace

int DenoiseHistogramsFill(DenoiseMemHandle handle, DenoiseHistograms* h, const DenoisePlaneDesc* source,
                          const int32_t rect[4])
{
    return DenoiseHistogramsFillOnPool(handle, h, source, rect, nullptr);
}

int DenoiseHistogramsFillOnPool(DenoiseMemHandle handle, DenoiseHistograms* h, const DenoisePlaneDesc* source,
                                const int32_t rect[4], DenoisePool* pool)
{
    if (!h || !source || !rect)
        return PE_ERR_ARGUMENT;
    FillPlan plan;
    const int planned = planFill(h, source, rect, &plan);
    if (planned != 0)
        return planned == 1 ? 0 : planned;
    const int64_t tiles = plan.across * plan.down;
    const int64_t lanes = pool && pool->workers ? std::min<int64_t>(pool->count, tiles) : 1;
    if (lanes <= 1) {
        for (int64_t i = 0; i < tiles; ++i) {
            const int rc = fillTile(handle, h, plan, i);
            if (rc != 0)
                return rc;
        }
        return 0;
    }

    // Lane 0 counts straight into h, the others into histograms of their own.
    FillLane lane[DENOISE_MAX_POOL_LANES];
    DenoiseHistograms own[DENOISE_MAX_POOL_LANES];
    void* arguments[DENOISE_MAX_POOL_LANES];
    const int count = int(std::min<int64_t>(lanes, DENOISE_MAX_POOL_LANES));
    std::atomic<bool> failed{false};
    int rc = 0;
    for (int i = 0; i < count && rc == 0; ++i) {
        if (i > 0)
            rc = DenoiseHistogramsCreate(handle, &own[i], int(h->channels), int(h->levels[0]),
                                         h->channels > 1 ? int(h->levels[1]) : 0);
        lane[i].handle = handle;
        lane[i].plan = &plan;
        lane[i].bins = i == 0 ? h : &own[i];
        lane[i].lane = i;
        lane[i].lanes = count;
        lane[i].failed = &failed;
        arguments[i] = &lane[i];
    }
    if (rc == 0) {
        DenoisePoolRun(pool, fillLane, arguments, uint32_t(count));
        // The code of the first tile that failed, as the walk on one thread gives.
        int64_t first = -1;
        for (int i = 0; i < count; ++i)
            if (lane[i].rc != 0 && (first < 0 || lane[i].failedTile < first)) {
                first = lane[i].failedTile;
                rc = lane[i].rc;
            }
    }
    for (int i = 1; i < count; ++i) {
        if (rc == 0)
            for (uint32_t ch = 0; ch < h->channels; ++ch)
                for (uint32_t l = 0; l < h->levels[ch]; ++l) {
                    uint32_t* to = h->bins[ch][l];
                    const uint32_t* from = own[i].bins[ch][l];
                    for (int b = 0; b < DENOISE_HIST_BINS; ++b)
                        to[b] += from[b];
                }
        DenoiseHistogramsFree(handle, &own[i]);
    }
    return rc;
}

void DenoiseHistogramPeak(const uint32_t* row, int columns, int* noise, uint32_t* count)
{
    int resultNoise = 0;
    uint32_t resultCount = 0;
    if (columns < 12) {
        if (columns > 5 && row[5] != 0) {
            resultNoise = 5;
            resultCount = row[5];
        }
    } else {
        int j = 0;
        for (int i = 1; i <= 10; ++i)
            if (row[i] > row[j])
                j = i;
        if (j < 5 && row[j] != 0) {
            resultNoise = j;
            resultCount = row[j];
        } else {
            bool found = false;
            for (int s = 0; s <= columns - 12 && !found; ++s) {
                uint32_t mx = 0;
                for (int i = s; i < s + 11; ++i)
                    mx = std::max(mx, row[i]);
                if (row[s + 5] != 0 && row[s + 5] == mx) {
                    resultNoise = s + 5;
                    resultCount = row[s + 5];
                    found = true;
                }
            }
            if (!found && row[columns - 6] != 0) {
                resultNoise = columns - 6;
                resultCount = row[columns - 6];
            }
        }
    }
    if (noise)
        *noise = resultNoise;
    if (count)
        *count = resultCount;
}

void DenoiseNoiseCurveFit(uint8_t* table, int bits, const uint32_t* bins, const uint8_t* reference)
{
    const int rows = 1 << DENOISE_HIST_ROW_BITS;
    const int columns = 1 << DENOISE_HIST_COLUMN_BITS;
    bits = std::clamp(bits, 0, 8);
    const int entries = 1 << bits;
    int64_t n[256];
    int64_t k[256];
    for (int r = 0; r < rows; ++r) {
        int noise = 0;
        uint32_t count = 0;
        DenoiseHistogramPeak(bins + r * columns, columns, &noise, &count);
        n[r] = noise;
        k[r] = count;
    }
    std::memset(table, 0, size_t(entries));
    auto w = [](int x) { return float(255 - x) * float(x) / 256.0f; };
    auto finish = [&] {
        if (table[0] != 0)
            return;
        int first = 0;
        while (first < entries && table[first] == 0)
            ++first;
        if (first == entries)
            return;
        for (int i = 0; i < first; ++i)
            table[i] = 1;
    };
    // Row of the histogram for table entry x.
    auto rowOf = [bits](int x) { return x << (8 - bits); };

    if (reference) {
        double K = 0, X = 0, Y = 0;
        for (int r = 0; r < rows; ++r) {
            const double f = reference[r];
            K += double(k[r]);
            X += double(n[r]) * f * double(k[r]);
            Y += f * f * double(k[r]);
        }
        if (X >= 1e-6 && Y >= 1e-6 && K >= 260) {
            double ratio = X / Y;
            if (ratio > 5.0)
                ratio = 1.0;
            for (int x = 0; x < entries; ++x)
                table[x] = uint8_t(std::clamp<int64_t>(int64_t(reference[rowOf(x)] * ratio), 0, 255));
        }
        finish();
        return;
    }

    int64_t A = 0, K = 0, N = 0;
    for (int r = rows / 16; r < rows; ++r) {
        A += int64_t(float(k[r]) * w(r));
        K += k[r];
        N += n[r] * k[r];
    }
    if (K < 261)
        return;
    const int64_t a0 = N / K + 1;
    const int64_t wbar = A / K;
    const int64_t prior = K / 512;
    for (int r = 0; r < rows; ++r) {
        if (k[r] == 0) {
            n[r] = int64_t(w(r)) * a0 / (wbar + 1);
            k[r] = prior;
        }
    }
    double S[5] = {0, 0, 0, 0, 0};
    double T[3] = {0, 0, 0};
    for (int r = 0; r < rows; ++r) {
        const double weight = double(k[r]) / 256.0;
        const double wr = w(r);
        double rj = 1;
        for (int j = 0; j < 5; ++j) {
            S[j] += weight * rj * wr * wr;
            if (j < 3)
                T[j] += weight * rj * wr * double(n[r]);
            rj *= r;
        }
    }
    auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    const double det = det3(S[0], S[1], S[2], S[1], S[2], S[3], S[2], S[3], S[4]);
    double a = 0, b = 0, c = 0;
    if (std::fabs(det) >= 1e-8) {
        a = det3(T[0], S[1], S[2], T[1], S[2], S[3], T[2], S[3], S[4]) / det;
        b = det3(S[0], T[0], S[2], S[1], T[1], S[3], S[2], T[2], S[4]) / det;
        c = det3(S[0], S[1], T[0], S[1], S[2], T[1], S[2], S[3], T[2]) / det;
    }
    for (int x = 0; x < entries; ++x) {
        const int r = rowOf(x);
        const double v = (a + b * r + c * double(r) * r) * double(w(r));
        table[x] = uint8_t(std::clamp<int64_t>(std::isfinite(v) ? int64_t(std::clamp(v, -1e9, 1e9)) : 0, 0, 63));
    }
    finish();
}

void DenoiseProfileTableFromHistogram(DenoiseProfileEntry* entry, const uint32_t* bins,
                                      const DenoiseProfileEntry* reference)
{
    if (!entry || !bins)
        return;
    if (entry->bits == 0) {
        int best = 0;
        for (int i = 1; i < (1 << DENOISE_HIST_COLUMN_BITS); ++i)
            if (bins[i] > bins[best])
                best = i;
        entry->table[0] = uint8_t(std::max(best, 1));
        return;
    }
    DenoiseNoiseCurveFit(entry->table, int(entry->bits), bins, reference ? reference->table : nullptr);
}

void DenoiseProfileFromHistograms(DenoiseProfile* profile, const DenoiseHistograms* h, int64_t pixels)
{
    if (!profile || !h)
        return;
    const int sizeClass = DenoiseSizeClass(pixels);
    const int luma = int(std::min(profile->levels[0], h->levels[0]));
    const int chroma = profile->count > 1 ? int(profile->levels[1]) : 0;
    const int d = chroma - luma + sizeClass;
    const int refLevel = std::min(sizeClass, luma - 1);
    for (int l = 0; l < luma; ++l) {
        const DenoiseProfileEntry* ref = (l > sizeClass && refLevel >= 0) ? &profile->entries[0][refLevel] : nullptr;
        DenoiseProfileTableFromHistogram(&profile->entries[0][l], h->bins[0][l], ref);
    }
    for (uint32_t ch = 1; ch < std::min(profile->count, h->channels); ++ch) {
        const int levels = int(std::min(profile->levels[ch], h->levels[ch]));
        for (int l = 0; l < levels; ++l) {
            const bool own = l == 0 || l <= std::max(d, 0) || refLevel < 0;
            DenoiseProfileTableFromHistogram(&profile->entries[ch][l], h->bins[ch][l],
                                             own ? nullptr : &profile->entries[0][refLevel]);
        }
    }
}

int DenoiseProfileEstimateFromHistograms(DenoiseMemHandle handle, DenoisePool* pool, DenoiseProfile* profile,
                                         const DenoisePlaneDesc* source)
{
    if (!profile || !source)
        return PE_ERR_ARGUMENT;
    DenoiseHistograms h;
    int rc = DenoiseHistogramsCreate(handle, &h, int(profile->count), int(profile->levels[0]),
                                     profile->count > 1 ? int(profile->levels[1]) : 0);
    if (rc != 0)
        return rc;
    const int32_t rect[4] = {0, 0, source->width, source->height};
    rc = DenoiseHistogramsFillOnPool(handle, &h, source, rect, pool);
    if (rc == 0)
        DenoiseProfileFromHistograms(profile, &h, int64_t(source->width) * source->height);
    DenoiseHistogramsFree(handle, &h);
    return rc;
}

int DenoiseProfileEstimate(DenoiseMemHandle handle, DenoiseProfile* profile, const DenoisePlaneDesc* source,
                           int lumaLevels, int chromaLevels, DenoisePool* pool)
{
    if (!profile || !source)
        return PE_ERR_ARGUMENT;
    const int channels = std::min(DenoiseLayoutChannels(source->layout), 3);
    DenoiseProfileSetup(profile, channels, lumaLevels, channels > 1 ? chromaLevels : 0);
    return DenoiseProfileEstimateFromHistograms(handle, pool, profile, source);
}
