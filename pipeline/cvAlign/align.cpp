#include "align.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace cv {

namespace {

// The assertions cite this file with fixed lines so that messages stay the
// same whatever the layout of the source.
const char *const kAlignFile = "cvAlign/align.cpp";

void checkShiftArguments(const Mat &img0, const Mat &img1)
{
    if (!(img0.channels() == 1 && img0.type() == img1.type()))
        cv::error(Error::StsAssert, "img0.channels() == 1 && img0.type() == img1.type()",
                  "calculateShift", kAlignFile, 119);
    if (!(img0.size() == img1.size()))
        cv::error(Error::StsAssert, "img0.size() == img1.size()", "calculateShift", kAlignFile, 120);
}

// Row bands big enough to be worth a task.
Range bandRange(int rows) { return Range(0, std::max(1, std::min(rows / 64, 64))); }

template <typename Fn>
void forRowBands(int rows, Fn &&fn)
{
    const Range bands = bandRange(rows);
    const int n = bands.end;
    parallel_for_(bands, [&](const Range &r) {
        const int y0 = int(int64_t(rows) * r.start / n);
        const int y1 = int(int64_t(rows) * r.end / n);
        fn(y0, y1);
    });
}

int medianOf(const Mat &img)
{
    int hist[256] = {};
    std::mutex lock;
    forRowBands(img.rows, [&](int y0, int y1) {
        // Four interleaved counters keep runs of equal bytes from stalling
        // on one memory location.
        int local[4][256] = {};
        for (int y = y0; y < y1; ++y) {
            const uchar *p = img.ptr<uchar>(y);
            int x = 0;
            for (; x + 4 <= img.cols; x += 4) {
                ++local[0][p[x]];
                ++local[1][p[x + 1]];
                ++local[2][p[x + 2]];
                ++local[3][p[x + 3]];
            }
            for (; x < img.cols; ++x)
                ++local[0][p[x]];
        }
        std::lock_guard<std::mutex> guard(lock);
        for (int i = 0; i < 256; ++i)
            hist[i] += local[0][i] + local[1][i] + local[2][i] + local[3][i];
    });
    // Bins are added while the running sum stays below half of the pixels.
    const int64_t thresh = int64_t(img.total()) / 2;
    int64_t sum = 0;
    int median = 0;
    while (sum < thresh && median < 256) {
        sum += hist[median];
        ++median;
    }
    return median;
}

// Threshold and exclusion bitmaps of one pyramid level, 64 pixels a word,
// bit x of a row in word x / 64 at bit x % 64. Bits past the width stay 0.
struct BitLevel {
    int width = 0;
    int height = 0;
    int words = 0;
    std::vector<uint64_t> tb;
    std::vector<uint64_t> eb;

    const uint64_t *tbRow(int y) const { return tb.data() + size_t(y) * words; }
    const uint64_t *ebRow(int y) const { return eb.data() + size_t(y) * words; }
};

// Bits for 64 pixels (or fewer at the row's end) of one row.
inline void packWord(const uchar *p, int n, int median, int excludeRange, uint64_t &t, uint64_t &e)
{
    t = 0;
    e = 0;
    int b = 0;
#ifdef __SSE2__
    if (n == 64 && median <= 255 && excludeRange >= 0 && excludeRange < 255) {
        // Unsigned compares through the sign flip.
        const __m128i flip = _mm_set1_epi8(char(0x80));
        const __m128i med = _mm_set1_epi8(char(median));
        const __m128i medFlipped = _mm_xor_si128(med, flip);
        const __m128i excl = _mm_set1_epi8(char(excludeRange ^ 0x80));
        for (; b < 64; b += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + b));
            const __m128i d = _mm_or_si128(_mm_subs_epu8(v, med), _mm_subs_epu8(med, v));
            const __m128i gt = _mm_cmpgt_epi8(_mm_xor_si128(v, flip), medFlipped);
            const __m128i far = _mm_cmpgt_epi8(_mm_xor_si128(d, flip), excl);
            t |= uint64_t(unsigned(_mm_movemask_epi8(gt))) << b;
            e |= uint64_t(unsigned(_mm_movemask_epi8(far))) << b;
        }
        return;
    }
#endif
    for (; b < n; ++b) {
        const int v = p[b];
        const int d = v > median ? v - median : median - v;
        t |= uint64_t(v > median) << b;
        e |= uint64_t(d > excludeRange) << b;
    }
}

BitLevel packBitmaps(const Mat &img, int excludeRange)
{
    BitLevel level;
    level.width = img.cols;
    level.height = img.rows;
    level.words = (img.cols + 63) / 64;
    const size_t total = size_t(level.words) * size_t(img.rows);
    level.tb.assign(total, 0);
    level.eb.assign(total, 0);
    const int median = medianOf(img);
    forRowBands(img.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *p = img.ptr<uchar>(y);
            uint64_t *tb = level.tb.data() + size_t(y) * level.words;
            uint64_t *eb = level.eb.data() + size_t(y) * level.words;
            for (int w = 0; w < level.words; ++w) {
                const int x0 = w * 64;
                packWord(p + x0, std::min(64, img.cols - x0), median, excludeRange, tb[w], eb[w]);
            }
        }
    });
    return level;
}

// Every second pixel of every second row.
Mat halve(const Mat &img)
{
    Mat out(img.rows / 2, img.cols / 2, CV_8UC1);
    forRowBands(out.rows, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *s = img.ptr<uchar>(2 * y);
            uchar *d = out.ptr<uchar>(y);
            for (int x = 0; x < out.cols; ++x)
                d[x] = s[2 * x];
        }
    });
    return out;
}

std::vector<BitLevel> buildPyramid(const Mat &grey, int maxLevel, int excludeRange)
{
    std::vector<BitLevel> levels;
    levels.reserve(size_t(maxLevel) + 1);
    Mat current = grey;
    for (int level = 0; level <= maxLevel; ++level) {
        if (level > 0)
            current = halve(current);
        levels.push_back(packBitmaps(current, excludeRange));
    }
    return levels;
}

// dst bit x = src bit (x - shift); bits shifted in are 0.
void shiftBits(const uint64_t *src, uint64_t *dst, int words, int shift)
{
    const int64_t amount = shift < 0 ? -int64_t(shift) : int64_t(shift);
    const int64_t q = amount / 64;
    const int r = int(amount % 64);
    for (int w = 0; w < words; ++w) {
        uint64_t v = 0;
        if (shift >= 0) {
            const int64_t s = w - q;
            if (s >= 0)
                v = src[s] << r;
            if (r && s - 1 >= 0)
                v |= src[s - 1] >> (64 - r);
        } else {
            const int64_t s = w + q;
            if (s < words)
                v = src[s] >> r;
            if (r && s + 1 < words)
                v |= src[s + 1] << (64 - r);
        }
        dst[w] = v;
    }
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// The hardware population count where the processor has one.
#define ALIGN_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define ALIGN_POPCOUNT_CLONES
#endif

ALIGN_POPCOUNT_CLONES
int64_t rowErrors(const uint64_t *t1, const uint64_t *e1, const uint64_t *t2, const uint64_t *e2, int words)
{
    int64_t err = 0;
    for (int w = 0; w < words; ++w)
        err += __builtin_popcountll((t1[w] ^ t2[w]) & e1[w] & e2[w]);
    return err;
}

// Number of differing, non-excluded pixels with the second level's
// horizontally pre-shifted bitmaps moved down by dy rows.
int64_t countErrors(const BitLevel &a, const std::vector<uint64_t> &tb2,
                    const std::vector<uint64_t> &eb2, int dy)
{
    const int y0 = std::max(0, dy);
    const int y1 = int(std::min<int64_t>(a.height, int64_t(a.height) + dy));
    if (y1 <= y0)
        return 0;
    std::atomic<int64_t> total(0);
    forRowBands(y1 - y0, [&](int b0, int b1) {
        int64_t err = 0;
        for (int y = y0 + b0; y < y0 + b1; ++y)
            err += rowErrors(a.tbRow(y), a.ebRow(y), tb2.data() + size_t(y - dy) * a.words,
                             eb2.data() + size_t(y - dy) * a.words, a.words);
        total += err;
    });
    return total.load();
}

Point searchShift(const std::vector<BitLevel> &ref, const std::vector<BitLevel> &img)
{
    Point shift(0, 0);
    std::vector<uint64_t> tb2, eb2;
    for (int level = int(ref.size()) - 1; level >= 0; --level) {
        shift *= 2;
        const BitLevel &a = ref[size_t(level)];
        const BitLevel &b = img[size_t(level)];
        tb2.resize(b.tb.size());
        eb2.resize(b.eb.size());
        int64_t minErr = int64_t(a.width) * a.height;
        Point best = shift;
        // x outer, y inner, strict improvement: the first offset wins ties.
        for (int i = -1; i <= 1; ++i) {
            const int dx = shift.x + i;
            forRowBands(b.height, [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    shiftBits(b.tbRow(y), tb2.data() + size_t(y) * b.words, b.words, dx);
                    shiftBits(b.ebRow(y), eb2.data() + size_t(y) * b.words, b.words, dx);
                }
            });
            for (int j = -1; j <= 1; ++j) {
                const int dy = shift.y + j;
                const int64_t err = countErrors(a, tb2, eb2, dy);
                if (err < minErr) {
                    best = Point(dx, dy);
                    minErr = err;
                }
            }
        }
        shift = best;
    }
    return shift;
}

Mat toGrey(const Mat &bgr)
{
    // Code 7 on B,G,R data, as the merge has always done. Four-channel
    // pictures (B,G,R,X) take the same weights through the RGBA form.
    Mat grey;
    cvtColor(bgr, grey, bgr.channels() == 4 ? COLOR_RGBA2GRAY : COLOR_RGB2GRAY);
    return grey;
}

} // namespace

AlignIndexMTBImpl::AlignIndexMTBImpl(int maxBits, int excludeRange, bool cutResults, int referenceIndex)
    : name("AlignIndexMTB"), max_bits(maxBits), exclude_range(excludeRange), cut(cutResults),
      index(referenceIndex)
{
}

AlignIndexMTBImpl::~AlignIndexMTBImpl() = default;

void AlignIndexMTBImpl::write(FileStorage &fs) const
{
    writeFormat(fs);
    fs << "name" << name << "max_bits" << max_bits << "exclude_range" << exclude_range << "cut"
       << static_cast<int>(cut);
}

void AlignIndexMTBImpl::read(const FileNode &fn)
{
    FileNode n = fn["name"];
    if (!(n.isString() && String(n) == name))
        cv::error(Error::StsAssert, "n.isString() && String(n) == name", "read", kAlignFile, 197);
    max_bits = fn["max_bits"];
    exclude_range = fn["exclude_range"];
    int cutValue = fn["cut"];
    cut = (cutValue != 0);
}

void AlignIndexMTBImpl::process(InputArrayOfArrays src, std::vector<Mat> &dst, InputArray, InputArray)
{
    process(src, dst);
}

int AlignIndexMTBImpl::maxLevelFor(Size size) const
{
    const int longer = std::max(size.width, size.height);
    const int shorter = std::min(size.width, size.height);
    if (longer <= 0)
        return 0;
    int level = int(std::log(double(longer)) / std::log(2.0)) - 1;
    level = std::min(level, max_bits - 1);
    int cap = 0;
    while ((shorter >> (cap + 1)) >= 32)
        ++cap;
    return std::max(0, std::min(level, cap));
}

void AlignIndexMTBImpl::process(InputArrayOfArrays _src, std::vector<Mat> &dst)
{
    std::vector<Mat> src;
    _src.getMatVector(src);
    const size_t count = src.size();
    dst.resize(count);
    if (count == 0)
        return;

    const size_t pivot = index >= 0 ? size_t(index) : count / 2;
    if (pivot >= count)
        cv::error(Error::StsOutOfRange, "the reference index is outside the series", "process",
                  kAlignFile, __LINE__);

    const Mat greyBase = toGrey(src[pivot]);
    const int maxLevel = maxLevelFor(greyBase.size());
    const std::vector<BitLevel> reference = buildPyramid(greyBase, maxLevel, exclude_range);

    std::vector<size_t> others;
    for (size_t i = 0; i < count; ++i)
        if (i != pivot)
            others.push_back(i);

    std::vector<Point> shifts(count, Point(0, 0));
    std::vector<std::exception_ptr> errors(count);
    parallel_for_(Range(0, int(others.size())), [&](const Range &r) {
        for (int k = r.start; k < r.end; ++k) {
            const size_t i = others[size_t(k)];
            try {
                const Mat grey = toGrey(src[i]);
                checkShiftArguments(greyBase, grey);
                shifts[i] = searchShift(reference, buildPyramid(grey, maxLevel, exclude_range));
            } catch (...) {
                errors[i] = std::current_exception();
            }
        }
    });
    for (const std::exception_ptr &e : errors)
        if (e)
            std::rethrow_exception(e);

    if (!cut) {
        for (size_t i = 0; i < count; ++i) {
            if (shifts[i] == Point(0, 0))
                dst[i] = src[i];
            else
                shiftMat(src[i], dst[i], shifts[i]);
        }
        return;
    }
    Point maxShift(0, 0), minShift(0, 0);
    for (const Point &s : shifts) {
        maxShift.x = std::max(maxShift.x, s.x);
        maxShift.y = std::max(maxShift.y, s.y);
        minShift.x = std::min(minShift.x, s.x);
        minShift.y = std::min(minShift.y, s.y);
    }
    const Size size = src[pivot].size();
    const int64_t width = int64_t(size.width) + minShift.x - maxShift.x;
    const int64_t height = int64_t(size.height) + minShift.y - maxShift.y;
    if (width <= 0 || height <= 0)
        cv::error(Error::StsBadSize, "the aligned photos have no area in common", "process", kAlignFile,
                  __LINE__);
    // Inside the common area every shifted picture is covered by its source,
    // so the cut result is a view of the source: no shifted copy is needed.
    const Rect common(maxShift.x, maxShift.y, int(width), int(height));
    for (size_t i = 0; i < count; ++i)
        dst[i] = src[i](Rect(common.tl() - shifts[i], common.size()));
}

Point AlignIndexMTBImpl::calculateShift(InputArray _img0, InputArray _img1)
{
    const Mat img0 = _img0.getMat();
    const Mat img1 = _img1.getMat();
    checkShiftArguments(img0, img1);
    CV_Assert(img0.depth() == CV_8U);
    const int maxLevel = maxLevelFor(img0.size());
    return searchShift(buildPyramid(img0, maxLevel, exclude_range),
                       buildPyramid(img1, maxLevel, exclude_range));
}

void AlignIndexMTBImpl::shiftMat(InputArray _src, OutputArray _dst, const Point shift)
{
    Mat src = _src.getMat();
    if (!_dst.empty()) {
        // Writing over the source while reading it would smear the picture.
        const Mat current = _dst.getMat();
        if (current.datastart < src.dataend && src.datastart < current.dataend)
            src = src.clone();
    }
    _dst.create(src.size(), src.type());
    Mat dst = _dst.getMat();

    const int w = src.cols, h = src.rows;
    const int64_t dx0 = std::max<int64_t>(0, shift.x), dy0 = std::max<int64_t>(0, shift.y);
    const int64_t dx1 = std::min<int64_t>(w, int64_t(w) + shift.x);
    const int64_t dy1 = std::min<int64_t>(h, int64_t(h) + shift.y);
    if (dx1 <= dx0 || dy1 <= dy0) {
        dst.setTo(Scalar::all(0));
        return;
    }
    const Rect to(int(dx0), int(dy0), int(dx1 - dx0), int(dy1 - dy0));
    const Rect from(int(dx0 - shift.x), int(dy0 - shift.y), to.width, to.height);
    // Only the uncovered border is cleared; the rest is overwritten.
    if (to.y > 0)
        dst.rowRange(0, to.y).setTo(Scalar::all(0));
    if (to.y + to.height < h)
        dst.rowRange(to.y + to.height, h).setTo(Scalar::all(0));
    Mat band = dst.rowRange(to.y, to.y + to.height);
    if (to.x > 0)
        band.colRange(0, to.x).setTo(Scalar::all(0));
    if (to.x + to.width < w)
        band.colRange(to.x + to.width, w).setTo(Scalar::all(0));
    src(from).copyTo(dst(to));
}

void AlignIndexMTBImpl::computeBitmaps(InputArray _img, OutputArray tb, OutputArray eb)
{
    const Mat img = _img.getMat();
    CV_Assert(img.type() == CV_8UC1);
    const int median = medianOf(img);
    compare(img, median, tb, CMP_GT);
    Mat diff;
    absdiff(img, Scalar(median), diff);
    compare(diff, exclude_range, eb, CMP_GT);
}

Ptr<AlignIndexMTBImpl> createAlignIndexMTB(int maxBits, int excludeRange, bool cut, int index)
{
    return makePtr<AlignIndexMTBImpl>(maxBits, excludeRange, cut, index);
}

} // namespace cv
