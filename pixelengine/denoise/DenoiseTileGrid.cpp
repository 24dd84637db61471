#include "denoise/DenoiseTileGrid.h"

#include <algorithm>

#include "denoise/DenoiseLayout.h"
#include "denoise/DenoiseMemory.h"

namespace {
// Halving i times, rounding up like the pyramid does.
int64_t halveUp(int64_t v, int i)
{
    return (v + (int64_t(1) << i) - 1) >> i;
}
}

int64_t DenoiseTileScratchSize(int64_t tw, int64_t th, int lumaDepth, int chromaDepth, uint32_t lumaStages,
                               uint32_t chromaStages, int64_t margin, uint32_t layout)
{
    const int d = std::clamp(lumaDepth, 1, 4);
    const int c = std::clamp(chromaDepth, 0, 4);
    const int s = std::max(d, c) - 1;
    const int64_t g = std::min<int64_t>(int64_t(8) << s, std::max<int64_t>(margin, 0));

    auto levelSize = [&](int i) {
        const int64_t m = std::max<int64_t>((2 * g) >> i, 16);
        return DenoiseAlign4(halveUp(tw, i) + m) * (halveUp(th, i) + m);
    };

    int64_t planes = 0;
    for (int i = 0; i < d; ++i)
        planes += levelSize(i);
    const int cls = DenoiseLayoutChromaClass(layout);
    for (int i = 0; i < c; ++i) {
        const int64_t size = levelSize(i);
        if (cls == 0)
            planes += 2 * size;
        else if (DenoiseLayoutChromaHalvesWidth(layout))
            planes += size;
        else
            planes += size / 2;
    }
    const int64_t bytes = std::max(DenoiseLayoutBytesPerSample(layout), 1);
    int64_t total = planes * bytes;
    total += (halveUp(tw, d - 1) + 16) * (halveUp(th, d - 1) + 16) + 16384;

    const int64_t noiseMap = DenoiseAlign4(halveUp(tw, s) + 8) * (halveUp(th, s) + 8);
    for (int i = 0; i < 4; ++i) {
        if (i < d && ((lumaStages >> (8 * i)) & 0xFF))
            total += noiseMap;
        if (i < c && ((chromaStages >> (8 * i)) & 0xFF))
            total += 2 * noiseMap;
    }
    return total;
}

DenoiseTileSize DenoiseTileGrid(int32_t width, int32_t height, int workers, int lumaDepth, int chromaDepth,
                                uint32_t lumaStages, uint32_t chromaStages, uint32_t layout)
{
    const int64_t w = std::max<int32_t>(width, 1);
    const int64_t h = std::max<int32_t>(height, 1);
    int64_t n = std::min<int64_t>(w * h / 16384 + 1, std::max(workers, 1));
    int64_t tw = w;
    int64_t th = h;
    while (n != 1) {
        int64_t p = 2;
        if (n % 2 != 0) {
            p = 3;
            while (n % p != 0)
                ++p;
        }
        n /= p;
        if (th >= tw)
            th = std::max<int64_t>(th / p, 1);
        else
            tw = std::max<int64_t>(tw / p, 1);
    }
    const int m = std::clamp(std::max(lumaDepth, chromaDepth), 1, 4);
    const int64_t step = int64_t(1) << m;
    tw = (tw + step - 1) / step * step;
    th = (th + step - 1) / step * step;
    const int64_t margin = int64_t(8) << (m - 1);
    while (DenoiseTileScratchSize(tw, th, lumaDepth, chromaDepth, lumaStages, chromaStages, margin, layout)
           >= DENOISE_TILE_SCRATCH_LIMIT) {
        if (th >= tw) {
            if (th <= step)
                break;
            th -= step;
        } else {
            if (tw <= step)
                break;
            tw -= step;
        }
    }
    return {int32_t(std::min(tw, w)), int32_t(std::min(th, h))};
}
