#include "IQNonLocalMeans.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "IQNonLocalMeansKernel.h"

namespace {

// Largest tile: the sums of a tile and the maps of one offset stay in the
// core's level-2 cache, and the border that the weight maps add stays small.
constexpr int kTileRows = 64;
constexpr int kTileCols = 256;
constexpr int kMaxTemplateHalf = 16;
constexpr int kMaxSearchHalf = 32;

std::atomic<int> g_forcedKernel{int(IQNlmKernel::Auto)};

// The widest kernel this processor (and its operating system) runs.
IQNlmKernel widestKernel()
{
    static const IQNlmKernel widest = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
            return IQNlmKernel::Avx512;
        if (__builtin_cpu_supports("avx2"))
            return IQNlmKernel::Avx2;
        return IQNlmKernel::Sse2;
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

// One plane to filter: channels [first, first + channels) of src into the
// same channels of dst.
struct PlaneJob {
    int first;
    int channels;
    Weights weights;
};

void runTiles(const cv::Mat &src, cv::Mat &dst, const std::vector<PlaneJob> &planes, int templateHalf,
              int searchHalf)
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

    // Reflected coordinates of every row and column a tile may read.
    std::vector<int> rowAt(size_t(tilesDown * tileRows + 2 * border));
    for (size_t i = 0; i < rowAt.size(); ++i)
        rowAt[i] = cv::borderInterpolate(int(i) - border, rows, cv::BORDER_REFLECT_101);
    std::vector<int> colAt(size_t(tilesAcross * tileCols + 2 * border + IQNlmSourcePadding));
    for (size_t i = 0; i < colAt.size(); ++i)
        colAt[i] = cv::borderInterpolate(int(i) - border, cols, cv::BORDER_REFLECT_101);

    const TileKernel kernel = tileKernel(activeKernel());
    const int jobs = tilesDown * tilesAcross * int(planes.size());
    const int stripes = std::min(jobs, std::max(1, cv::getNumThreads()) * 8);
    const size_t sourceBytes = size_t(sourceRows) * size_t(sourceStride);
    const size_t targetBytes = size_t(tileRows) * size_t(tileCols);
    const size_t scratchBytes = IQNlmScratchBytes(tileRows, tileCols, templateHalf, searchHalf, 2);

    cv::parallel_for_(cv::Range(0, jobs), [&](const cv::Range &range) {
        std::vector<uint8_t> memory(2 * sourceBytes + 2 * targetBytes + scratchBytes + 64);
        uint8_t *source[2] = {memory.data(), memory.data() + sourceBytes};
        uint8_t *target[2] = {source[1] + sourceBytes, source[1] + sourceBytes + targetBytes};
        const uintptr_t scratchAt = (reinterpret_cast<uintptr_t>(target[1] + targetBytes) + 63) & ~uintptr_t(63);
        for (int job = range.start; job < range.end; ++job) {
            const PlaneJob &plane = planes[size_t(job) % planes.size()];
            const int tile = job / int(planes.size());
            const int y0 = tile / tilesAcross * tileRows;
            const int x0 = tile % tilesAcross * tileCols;
            if (y0 >= rows || x0 >= cols)
                continue;
            // Columns [inside0, inside1) of the bordered tile lie inside the
            // picture; the padding past the border is left as it is.
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
            t.target[0] = target[0];
            t.target[1] = target[1];
            t.targetStride = tileCols;
            t.scratch = reinterpret_cast<void *>(scratchAt);
            kernel(t);
            const int yEnd = std::min(rows, y0 + tileRows);
            const int xEnd = std::min(cols, x0 + tileCols);
            for (int y = y0; y < yEnd; ++y) {
                uint8_t *line = dst.ptr<uint8_t>(y);
                for (int c = 0; c < plane.channels; ++c) {
                    const uint8_t *in = target[c] + size_t(y - y0) * tileCols;
                    for (int x = x0; x < xEnd; ++x)
                        line[x * cn + plane.first + c] = in[x - x0];
                }
            }
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
                            int templateWindowSize, int searchWindowSize)
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
    cv::Mat lab;
    cv::cvtColor(src, lab, cv::COLOR_LBGR2Lab);
    cv::Mat filtered(lab.size(), CV_8UC3);
    runTiles(lab, filtered, planes, templateHalf, searchHalf);
    cv::cvtColor(filtered, _dst, cv::COLOR_Lab2LBGR);
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
    runTiles(src, dst, planes, templateHalf, searchHalf);
}

void IQNonLocalMeansForceKernel(IQNlmKernel kernel)
{
    g_forcedKernel.store(int(kernel));
}

IQNlmKernel IQNonLocalMeansKernel()
{
    return activeKernel();
}
