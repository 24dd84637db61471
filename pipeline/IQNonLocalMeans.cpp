#include "IQNonLocalMeans.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "IQFilterScratch.h"
#include "IQLabTables.h"
#include "IQNonLocalMeansKernel.h"

namespace {

// Largest tile: the sums of a tile (about 600 KB for two channels) stay in
// the core's level-2 cache, and the rows and columns that the weight maps
// add past the tile (the offset, and the template's rows above and below)
// stay a small share.
constexpr int kTileRows = 128;
constexpr int kTileCols = 384;
constexpr int kMaxTemplateHalf = 16;
constexpr int kMaxSearchHalf = 32;

std::atomic<int> g_forcedKernel{int(IQNlmKernel::Auto)};

// The widest kernel this processor (and its operating system) runs, or a
// narrower one named in VANTREL_NLM_KERNEL ("sse2", "avx2"), so that whole
// test runs can be repeated on each kernel.
IQNlmKernel widestKernel()
{
    static const IQNlmKernel widest = [] {
        __builtin_cpu_init();
        IQNlmKernel k = IQNlmKernel::Sse2;
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
            k = IQNlmKernel::Avx512;
        else if (__builtin_cpu_supports("avx2"))
            k = IQNlmKernel::Avx2;
        if (const char *named = std::getenv("VANTREL_NLM_KERNEL")) {
            const std::string name(named);
            if (name == "sse2")
                k = IQNlmKernel::Sse2;
            else if (name == "avx2" && k == IQNlmKernel::Avx512)
                k = IQNlmKernel::Avx2;
        }
        return k;
    }();
    return widest;
}

IQNlmKernel activeKernel()
{
    const int forced = g_forcedKernel.load();
    if (forced == int(IQNlmKernel::Auto))
        return widestKernel();
    return IQNlmKernel(std::min(forced, int(widestKernel())));
}

using TileKernel = void (*)(const IQNlmTile &);

TileKernel tileKernel(IQNlmKernel kernel)
{
    switch (kernel) {
    case IQNlmKernel::Avx512:
        return IQNlmDenoiseTileAvx512;
    case IQNlmKernel::Avx2:
        return IQNlmDenoiseTileAvx2;
    default:
        return IQNlmDenoiseTileSse2;
    }
}

struct Weights {
    std::vector<int32_t> table; // table[cap] == 0
    std::vector<uint16_t> table16; // the same, zero-padded to a multiple of 64
    std::vector<uint8_t> low, high; // for a cap below 256: the bytes of the weights
    int highBlocks = 0;
    int cap = 0;
    int shift = 0;
    bool exact = false;
};

// The fixed-point weights of a distance bin: the sum of squared differences
// over the template window, shifted right by the power of two at or above
// the window's area, picks the entry; the entry is exp(-d / (h^2 channels))
// for the average distance d that the bin stands for, scaled so that a
// search window of full weights and full bytes still fits in an int, and
// dropped below 0.001.
Weights weightsFor(float h, int channels, int templateSize, int searchSize)
{
    Weights w;
    const int area = templateSize * templateSize;
    while ((1 << w.shift) < area)
        ++w.shift;
    const double binToDistance = double(1 << w.shift) / area;
    const int scale = INT_MAX / (searchSize * searchSize * 255);
    const int bins = int(255 * 255 * channels / binToDistance + 1);
    // A 16-bit saturated sum can still tell every bin below this one apart.
    const int reachable = std::min(bins, (0xFFFF >> w.shift) + 1);
    const float spread = h * h * float(channels);
    for (int bin = 0; bin < reachable; ++bin) {
        double f = std::exp(-(bin * binToDistance) / spread);
        if (std::isnan(f))
            f = 1.0; // h == 0
        int v = cvRound(scale * f);
        if (v < 0.001 * scale)
            v = 0;
        w.table.push_back(v);
        if (v == 0) {
            // exp falls monotonically: every later bin weighs 0 too.
            w.cap = bin;
            w.exact = scale < 32768; // the kernels multiply in signed 16 bits
            w.table16.assign(w.table.size() + 63 - (w.table.size() + 63) % 64, 0);
            std::copy(w.table.begin(), w.table.end(), w.table16.begin());
            if (w.cap < 256) {
                w.low.assign(256, 0);
                w.high.assign(256, 0);
                for (int b = 0; b < w.cap; ++b) {
                    w.low[size_t(b)] = uint8_t(w.table[size_t(b)] & 0xFF);
                    w.high[size_t(b)] = uint8_t(w.table[size_t(b)] >> 8);
                    if (w.high[size_t(b)] != 0)
                        w.highBlocks = b / 16 + 1;
                }
            }
            return w;
        }
    }
    return w;
}

template <int Step>
void copyStrided(const uint8_t *in, uint8_t *out, int n)
{
    for (int x = 0; x < n; ++x)
        out[x] = in[x * Step];
}

// out[x] = in[x * step] for the pixel steps of 1 to 4 channels.
void copyStrided(const uint8_t *in, int step, uint8_t *out, int n)
{
    switch (step) {
    case 1:
        std::copy(in, in + n, out);
        break;
    case 2:
        copyStrided<2>(in, out, n);
        break;
    case 3:
        copyStrided<3>(in, out, n);
        break;
    default:
        copyStrided<4>(in, out, n);
        break;
    }
}

// One plane to filter: channels [first, first + channels) of src.
struct PlaneJob {
    int first;
    int channels;
    Weights weights;
};

// The filtered channels of one tile, one target per channel of every plane
// in the order of the jobs, each rows x cols bytes at the given stride.
struct TileResult {
    int y0, x0, rows, cols; // the part inside the picture
    const uint8_t *target[3];
    int stride;
};

using TileSink = std::function<void(const TileResult &)>;

// Filters every plane of src tile by tile and hands each tile's result to
// the sink, on OpenCV's thread pool.
void runTiles(const cv::Mat &src, const std::vector<PlaneJob> &planes, int templateHalf, int searchHalf,
              const TileSink &sink)
{
    const int border = templateHalf + searchHalf;
    const int rows = src.rows;
    const int cols = src.cols;
    const int cn = src.channels();
    // Tiles of even size, so that the last ones do little work past the edge.
    const int tilesDown = (rows + kTileRows - 1) / kTileRows;
    const int tileRows = (rows + tilesDown - 1) / tilesDown;
    const int tilesAcross = (cols + kTileCols - 1) / kTileCols;
    const int tileCols = ((cols + tilesAcross - 1) / tilesAcross + IQNlmColumnStep - 1) / IQNlmColumnStep * IQNlmColumnStep;
    const int sourceRows = tileRows + 2 * border;
    const int sourceStride = tileCols + 2 * border + IQNlmSourcePadding;
    int channels = 0;
    for (const PlaneJob &plane : planes)
        channels += plane.channels;

    // Reflected coordinates of every row and column a tile may read.
    std::vector<int> rowAt(size_t(tilesDown * tileRows + 2 * border));
    for (size_t i = 0; i < rowAt.size(); ++i)
        rowAt[i] = cv::borderInterpolate(int(i) - border, rows, cv::BORDER_REFLECT_101);
    std::vector<int> colAt(size_t(tilesAcross * tileCols + 2 * border + IQNlmSourcePadding));
    for (size_t i = 0; i < colAt.size(); ++i)
        colAt[i] = cv::borderInterpolate(int(i) - border, cols, cv::BORDER_REFLECT_101);

    const TileKernel kernel = tileKernel(activeKernel());
    const int jobs = tilesDown * tilesAcross;
    // One tile at a time: the threads that finish first take the last
    // tiles, and none waits long for the others at the end.
    const int stripes = jobs;
    const size_t sourceBytes = size_t(sourceRows) * size_t(sourceStride);
    const size_t targetBytes = size_t(tileRows) * size_t(tileCols);
    const size_t scratchBytes = IQNlmScratchBytes(tileRows, tileCols, templateHalf, searchHalf, 2);

    cv::parallel_for_(cv::Range(0, jobs), [&](const cv::Range &range) {
        // Each pool thread keeps its tile memory from call to call: a pass
        // would otherwise map it afresh for every stripe.
        thread_local std::vector<uint8_t> memory;
        const size_t need = 2 * sourceBytes + size_t(channels) * targetBytes + scratchBytes + 64;
        if (memory.size() < need)
            memory.assign(need, 0);
        uint8_t *source[2] = {memory.data(), memory.data() + sourceBytes};
        uint8_t *targets = source[1] + sourceBytes;
        const uintptr_t scratchAt =
            (reinterpret_cast<uintptr_t>(targets + size_t(channels) * targetBytes) + 63) & ~uintptr_t(63);
        for (int tile = range.start; tile < range.end; ++tile) {
            const int y0 = tile / tilesAcross * tileRows;
            const int x0 = tile % tilesAcross * tileCols;
            if (y0 >= rows || x0 >= cols)
                continue;
            TileResult result;
            result.y0 = y0;
            result.x0 = x0;
            result.rows = std::min(rows, y0 + tileRows) - y0;
            result.cols = std::min(cols, x0 + tileCols) - x0;
            result.stride = tileCols;
            int channel = 0;
            for (const PlaneJob &plane : planes) {
                // Columns [inside0, inside1) of the bordered tile lie inside
                // the picture; the padding past the border is left as it is.
                const int span = tileCols + 2 * border;
                const int inside0 = std::max(0, border - x0);
                const int inside1 = std::max(inside0, std::min(span, cols - x0 + border));
                const int *at = colAt.data() + x0;
                for (int r = 0; r < sourceRows; ++r) {
                    const uint8_t *line = src.ptr<uint8_t>(rowAt[size_t(y0 + r)]);
                    for (int c = 0; c < plane.channels; ++c) {
                        uint8_t *out = source[c] + size_t(r) * sourceStride;
                        const uint8_t *in = line + plane.first + c;
                        for (int x = 0; x < inside0; ++x)
                            out[x] = in[at[x] * cn];
                        copyStrided(in + (x0 - border + inside0) * cn, cn, out + inside0, inside1 - inside0);
                        for (int x = inside1; x < span; ++x)
                            out[x] = in[at[x] * cn];
                    }
                }
                IQNlmTile t;
                t.channels = plane.channels;
                t.source[0] = source[0];
                t.source[1] = source[1];
                t.sourceStride = sourceStride;
                t.rows = tileRows;
                t.cols = tileCols;
                t.templateHalf = templateHalf;
                t.searchHalf = searchHalf;
                t.weights = plane.weights.table.data();
                t.weights16 = plane.weights.table16.data();
                t.weightsLow = plane.weights.low.data();
                t.weightsHigh = plane.weights.high.data();
                t.highBlocks = plane.weights.highBlocks;
                t.cap = plane.weights.cap;
                t.shift = plane.weights.shift;
                for (int c = 0; c < plane.channels; ++c) {
                    t.target[c] = targets + size_t(channel + c) * targetBytes;
                    result.target[channel + c] = t.target[c];
                }
                if (plane.channels < 2)
                    t.target[1] = nullptr;
                t.targetStride = tileCols;
                t.scratch = reinterpret_cast<void *>(scratchAt);
                kernel(t);
                channel += plane.channels;
            }
            sink(result);
        }
    }, stripes);
}

void checkSizes(int templateWindowSize, int searchWindowSize)
{
    if (templateWindowSize < 1 || searchWindowSize < 1)
        CV_Error(cv::Error::StsOutOfRange, "non-local means: the template and search windows must be at least 1 pixel");
}

// Fills in the weights of every plane; false when the kernels cannot
// reproduce these settings exactly.
bool prepareWeights(std::vector<PlaneJob> &planes, const std::vector<float> &strengths, int templateHalf,
                    int searchHalf)
{
    if (templateHalf > kMaxTemplateHalf || searchHalf > kMaxSearchHalf)
        return false;
    for (size_t i = 0; i < planes.size(); ++i) {
        planes[i].weights = weightsFor(strengths[i], planes[i].channels, 2 * templateHalf + 1, 2 * searchHalf + 1);
        if (!planes[i].weights.exact)
            return false;
    }
    return true;
}

// dst's pixels when they do not overlap src's, else a copy of src to read from.
cv::Mat readableSource(const cv::Mat &src, const cv::Mat &dst)
{
    const bool overlap = src.datastart < dst.dataend && dst.datastart < src.dataend;
    return overlap ? src.clone() : src;
}

} // namespace

void IQNonLocalMeansColored(cv::InputArray _src, cv::OutputArray _dst, float h, float hColor,
                            int templateWindowSize, int searchWindowSize, IQFilterScratch *scratch)
{
    const cv::Mat src = _src.getMat();
    if (src.empty() || src.type() != CV_8UC3)
        CV_Error(cv::Error::StsBadArg, "non-local means: the picture must be a non-empty 8-bit B,G,R picture");
    checkSizes(templateWindowSize, searchWindowSize);
    const int templateHalf = templateWindowSize / 2;
    const int searchHalf = searchWindowSize / 2;
    std::vector<PlaneJob> planes{{0, 1, {}}, {1, 2, {}}};
    if (!prepareWeights(planes, {h, hColor}, templateHalf, searchHalf)) {
        cv::fastNlMeansDenoisingColored(src, _dst, h, hColor, templateWindowSize, searchWindowSize);
        return;
    }
    IQPrepareLabTables();
    cv::Mat lab = IQWorkPlane(scratch, 0, src.size(), CV_8UC3);
    cv::cvtColor(src, lab, cv::COLOR_LBGR2Lab);
    // The tiles read only lab, so dst may be src. Each tile goes back to
    // B,G,R on its own, straight into dst.
    _dst.create(src.size(), CV_8UC3);
    cv::Mat dst = _dst.getMat();
    runTiles(lab, planes, templateHalf, searchHalf, [&](const TileResult &r) {
        cv::Mat tile(r.rows, r.cols, CV_8UC3);
        for (int y = 0; y < r.rows; ++y) {
            uint8_t *out = tile.ptr<uint8_t>(y);
            const size_t at = size_t(y) * size_t(r.stride);
            const uint8_t *l = r.target[0] + at;
            const uint8_t *a = r.target[1] + at;
            const uint8_t *b = r.target[2] + at;
            for (int x = 0; x < r.cols; ++x) {
                out[3 * x] = l[x];
                out[3 * x + 1] = a[x];
                out[3 * x + 2] = b[x];
            }
        }
        cv::Mat place = dst(cv::Rect(r.x0, r.y0, r.cols, r.rows));
        cv::cvtColor(tile, place, cv::COLOR_Lab2LBGR);
        CV_Assert(place.data == dst.ptr(r.y0) + size_t(r.x0) * 3);
    });
}

void IQNonLocalMeansPlane(cv::InputArray _src, cv::OutputArray _dst, float h, int templateWindowSize,
                          int searchWindowSize)
{
    const cv::Mat in = _src.getMat();
    if (in.empty() || (in.type() != CV_8UC1 && in.type() != CV_8UC2))
        CV_Error(cv::Error::StsBadArg, "non-local means: the plane must be a non-empty 8-bit picture of 1 or 2 channels");
    checkSizes(templateWindowSize, searchWindowSize);
    const int templateHalf = templateWindowSize / 2;
    const int searchHalf = searchWindowSize / 2;
    std::vector<PlaneJob> planes{{0, in.channels(), {}}};
    if (!prepareWeights(planes, {h}, templateHalf, searchHalf)) {
        cv::fastNlMeansDenoising(in, _dst, h, templateWindowSize, searchWindowSize);
        return;
    }
    _dst.create(in.size(), in.type());
    cv::Mat dst = _dst.getMat();
    const cv::Mat src = readableSource(in, dst);
    const int cn = src.channels();
    runTiles(src, planes, templateHalf, searchHalf, [&](const TileResult &r) {
        for (int y = 0; y < r.rows; ++y) {
            uint8_t *line = dst.ptr<uint8_t>(r.y0 + y) + size_t(r.x0) * size_t(cn);
            for (int c = 0; c < cn; ++c) {
                const uint8_t *in = r.target[c] + size_t(y) * size_t(r.stride);
                for (int x = 0; x < r.cols; ++x)
                    line[x * cn + c] = in[x];
            }
        }
    });
}

void IQNonLocalMeansForceKernel(IQNlmKernel kernel)
{
    g_forcedKernel.store(int(kernel));
}

IQNlmKernel IQNonLocalMeansKernel()
{
    return activeKernel();
}
