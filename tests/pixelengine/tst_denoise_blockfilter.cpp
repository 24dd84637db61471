// Denoiser block filter on hand-built planes allocated at exactly their size.
#include <QtTest>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "PixelEngine.h"
#include "denoise/DenoiseBlockExtras.h"
#include "denoise/DenoiseBlockFilter.h"
#include "denoise/DenoiseMemory.h"
#include "denoise/DenoisePlaneKernels.h"

namespace {
// A plane with an active area of aw x ah and `margin` samples round it, in a
// buffer of exactly that size.
struct Plane {
    std::vector<uint8_t> buf;
    DenoiseLevelPlane p;
    Plane(int aw, int ah, uint32_t layout = DENOISE_SAMPLES_U8, int margin = 8)
    {
        const int w = aw + 2 * margin, h = ah + 2 * margin;
        buf.assign(size_t(w) * size_t(h), 0);
        p.data = buf.data();
        p.layout = layout;
        p.width = w;
        p.height = h;
        p.pitch = w;
        p.left = p.top = p.right = p.bottom = margin;
    }
    Plane(const Plane& o) : buf(o.buf), p(o.p) { p.data = buf.data(); }
    Plane& operator=(const Plane&) = delete;
    int activeW() const { return p.width - p.left - p.right; }
    int activeH() const { return p.height - p.top - p.bottom; }
    uint8_t& at(int x, int y) { return buf[size_t((y + p.top) * p.pitch + x + p.left)]; }
    int value(int x, int y) const
    {
        const uint8_t v = buf[size_t((y + p.top) * p.pitch + x + p.left)];
        return p.layout == DENOISE_SAMPLES_S8 ? int(int8_t(v)) : int(v);
    }
    void fill(const std::function<int(int, int)>& f)
    {
        for (int y = -p.top; y < p.height - p.top; ++y)
            for (int x = -p.left; x < p.width - p.left; ++x)
                at(x, y) = uint8_t(f(x, y));
    }
    double stddev() const
    {
        double s = 0, q = 0;
        const int n = activeW() * activeH();
        for (int y = 0; y < activeH(); ++y)
            for (int x = 0; x < activeW(); ++x) {
                s += value(x, y);
                q += double(value(x, y)) * value(x, y);
            }
        return std::sqrt(std::max(0.0, q / n - (s / n) * (s / n)));
    }
};

// A noise map at the plane's resolution with margins 4.
struct NoiseMap {
    std::vector<uint8_t> buf;
    DenoiseLevelBuffer b;
    NoiseMap(int aw, int ah, int value, uint32_t fractionBits = 0, uint32_t shift = 0)
    {
        b.width = uint32_t(((aw + (1 << shift) - 1) >> shift) + 9);
        b.height = uint32_t(((ah + (1 << shift) - 1) >> shift) + 9);
        b.stride = b.width;
        buf.assign(size_t(b.width) * b.height, uint8_t(value));
        b.data = buf.data();
        b.fractionBits = fractionBits;
        b.xShift = b.yShift = shift;
    }
};

int clampByte(double v, bool sign)
{
    const int i = int(std::lround(v));
    return sign ? std::clamp(i, -128, 127) : std::clamp(i, 0, 255);
}

// Block matching of the block at active (bx, by) written out from its
// definition: the full window, the greedy extension from the best border
// candidate, SAD-squared distances, distance classes through the weight
// table, and the division that the candidate count selects.
void referenceMatch(const Plane& src, Plane& dst, int bx, int by, const DenoiseBlockParams& bp, uint32_t t)
{
    static const int table[64] = {16, 15, 14, 13, 12, 12, 11, 10, 10, 9, 9, 8, 8, 7, 7, 6, 6, 6, 5, 5, 5, 4,
                                  4,  4,  4,  3,  3,  3,  3,  3,  2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1,
                                  1,  1,  1,  1,  1,  1,  1,  1,  1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    const int s = bp.step, off = (8 - s) / 2, R = bp.radius, A = bp.extension;
    auto dist = [&](int dx, int dy) {
        int64_t sad = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                sad += std::abs(src.value(bx - off + x, by - off + y) - src.value(bx - off + x + dx, by - off + y + dy));
        return sad * sad / 64;
    };
    std::vector<std::array<int64_t, 3>> c{{0, 0, 0}};
    std::array<int64_t, 3> border{0, 0, -1};
    for (int dy = -R; dy <= R; ++dy)
        for (int dx = -R; dx <= R; ++dx)
            if (dx || dy) {
                c.push_back({dx, dy, dist(dx, dy)});
                if ((std::abs(dx) == R || std::abs(dy) == R) && (border[2] < 0 || c.back()[2] < border[2]))
                    border = c.back();
            }
    int64_t x = border[0], y = border[1];
    for (int a = 0; a < A; ++a) {
        const int64_t mx = x + (x > 0) - (x < 0), my = y + (y > 0) - (y < 0);
        std::array<int64_t, 2> n1{mx, my - 1}, n2{mx, my + 1};
        if (std::abs(mx) < std::abs(my))
            n1 = {mx - 1, my}, n2 = {mx + 1, my};
        else if (std::abs(mx) == std::abs(my))
            n1 = {mx - (mx > 0) + (mx < 0), my}, n2 = {mx, my - (my > 0) + (my < 0)};
        const std::array<int64_t, 3> m{mx, my, dist(int(mx), int(my))}, p{n1[0], n1[1], dist(int(n1[0]), int(n1[1]))},
            q{n2[0], n2[1], dist(int(n2[0]), int(n2[1]))};
        c.insert(c.end(), {m, p, q});
        const auto& best = (p[2] < q[2] ? p : q)[2] < m[2] ? (p[2] < q[2] ? p : q) : m;
        x = best[0], y = best[1];
    }
    const int64_t n = int64_t(c.size()), k = (int64_t(bp.scale) * 256 + t / 2) / t;
    QCOMPARE(n, int64_t((2 * R + 1) * (2 * R + 1) + 3 * A));
    int64_t total = 0, sums[64] = {};
    for (const auto& cand : c) {
        const int64_t cls = cand[2] * k / 8192, w = cls < 64 ? table[cls] : 0;
        total += w;
        for (int yy = 0; yy < s; ++yy)
            for (int xx = 0; xx < s; ++xx)
                sums[yy * s + xx] += w * src.value(bx + xx + int(cand[0]), by + yy + int(cand[1]));
    }
    const bool sign = src.p.layout == DENOISE_SAMPLES_S8;
    for (int yy = 0; yy < s; ++yy)
        for (int xx = 0; xx < s; ++xx) {
            const int64_t v = sums[yy * s + xx] + total / 2;
            const int64_t avg = n <= 16 ? (v * (65535 / total)) >> 16
                                        : (s == 8 ? (v * (0xFFFFFFFFll / total)) >> 32 : v / total);
            const int64_t out = (avg * 256 + (src.value(bx + xx, by + yy) - avg) * bp.keep + 128) >> 8;
            dst.at(bx + xx, by + yy) = uint8_t(clampByte(double(out), sign));
        }
}

DenoiseLevelParams params(int stage, int set = 0, int level = 0, int keep = 0)
{
    DenoiseLevelParams p;
    p.stage = stage;
    p.set = set;
    p.level = level;
    p.keep = keep;
    return p;
}
}

class TestDenoiseBlockFilter : public QObject {
    Q_OBJECT
private slots:
    void stageDecoding_data();
    void stageDecoding();
    void zeroNoiseOrFullKeepKeepsSource();
    void refusals();
    void flatBlocksBecomeTheirMean();
    void rebuildFromCoarser_data();
    void rebuildFromCoarser();
    void isolatedBlockWithHugeWeightScale();
    void exactSizeSweep();
    void blockStats();
    void familyExtras();
    void blockMatchFollowsItsDefinition_data();
    void blockMatchFollowsItsDefinition();
    void guideRaisesTheMatchingThreshold_data();
    void guideRaisesTheMatchingThreshold();
    void workAreaFailure();
};

void TestDenoiseBlockFilter::blockMatchFollowsItsDefinition_data()
{
    QTest::addColumn<int>("radius");
    QTest::addColumn<int>("extension");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("isSigned");
    for (bool sg : {false, true})
        for (int step : {8, 4}) {
            const QByteArray tag = QByteArray(sg ? "signed" : "unsigned") + " step " + QByteArray::number(step);
            QTest::newRow(tag + " R3") << 3 << 0 << step << sg;  // 49 candidates, 32-bit sums
            QTest::newRow(tag + " R1 A3") << 1 << 3 << step << sg;  // 18
            QTest::newRow(tag + " R1 A2") << 1 << 2 << step << sg;  // 15, 16-bit sums
            QTest::newRow(tag + " R1") << 1 << 0 << step << sg;
        }
}

void TestDenoiseBlockFilter::blockMatchFollowsItsDefinition()
{
    QFETCH(int, radius);
    QFETCH(int, extension);
    QFETCH(int, step);
    QFETCH(bool, isSigned);
    const uint32_t layout = isSigned ? DENOISE_SAMPLES_S8 : DENOISE_SAMPLES_U8;
    Plane src(40, 40, layout), dst(40, 40, layout), want(40, 40, layout);
    std::mt19937 rng(uint32_t(radius * 100 + extension * 10 + step));
    std::vector<uint8_t> work(DENOISE_WORK_AREA_BYTES);
    const uint8_t* weights = nullptr;
    DenoiseWeightTableOpen(&weights, nullptr);
    DenoiseBlockParams bp;
    bp.step = step;
    bp.radius = radius;
    bp.extension = extension;
    // Blocks whose search reaches the plane's first and last samples.
    const int off = (8 - step) / 2, lo = off + radius + extension - 8, hi = 40 + off - radius - extension;
    for (int i = 0; i < 120; ++i) {
        // Two-level random samples: distances tie often, so the tie rules of
        // the search decide which blocks are averaged.
        if (i % 20 == 0)
            src.fill([&](int, int) { return (isSigned ? -20 : 100) + 40 * int(rng() % 2); });
        bp.keep = int(rng() % 3) * 128;
        bp.scale = int(1 + rng() % 16);
        const uint32_t t = 1 + rng() % 2000;
        const int bx = i == 0 ? lo : i == 1 ? hi : int(rng() % 33), by = i == 0 ? lo : i == 1 ? hi : int(rng() % 33);
        QCOMPARE(DenoiseBlockMatch(&src.p, &dst.p, &bp, bx, by, t, weights, work.data()), 0);
        referenceMatch(src, want, bx, by, bp, t);
        for (int y = 0; y < step; ++y)
            for (int x = 0; x < step; ++x)
                QCOMPARE(dst.value(bx + x, by + y), want.value(bx + x, by + y));
    }
    // A search that would leave the plane by one sample is refused.
    QCOMPARE(DenoiseBlockMatch(&src.p, &dst.p, &bp, lo - 1, lo, 10, weights, work.data()), int(PE_ERR_ARGUMENT));
    QCOMPARE(DenoiseBlockMatch(&src.p, &dst.p, &bp, hi, hi + 1, 10, weights, work.data()), int(PE_ERR_ARGUMENT));
}

void TestDenoiseBlockFilter::guideRaisesTheMatchingThreshold_data()
{
    QTest::addColumn<int>("stage");
    QTest::newRow("step 8") << 0x22;
    QTest::newRow("step 4") << 0x20;
}

void TestDenoiseBlockFilter::guideRaisesTheMatchingThreshold()
{
    // Luma type 2 (no flat test): every block is matched with threshold
    // n * (g + 64) >> 6, g the guide at the block's centre.
    QFETCH(int, stage);
    Plane src(40, 32), dst(40, 32), want(40, 32);
    std::mt19937 rng(11);
    src.fill([&](int, int) { return 100 + 10 * int(rng() % 2); });
    const int n = 200;
    NoiseMap map(40, 32, n, 4);
    Plane guide(40, 32, DENOISE_SAMPLES_U8, 4);
    guide.fill([](int x, int y) { return (x * 37 + y * 101) % 255; });
    DenoiseLevelParams p = params(stage, 0, 1, 0);
    p.guide = &guide.p;
    QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), 0);
    DenoiseBlockParams bp;
    QCOMPARE(DenoiseBlockParamsFromStage(p, 4, &bp), 0);
    want.buf = src.buf;
    const int h = bp.step / 2;  // sides that are multiples of the step: the grid starts half a block out
    for (int by = -h; by < 32; by += bp.step)
        for (int bx = -h; bx < 40; bx += bp.step)
            referenceMatch(src, want, bx, by, bp, uint32_t(n * (guide.value(bx + h, by + h) + 64) >> 6));
    QCOMPARE(dst.buf, want.buf);
}

void TestDenoiseBlockFilter::workAreaFailure()
{
    Plane src(24, 16), dst(24, 16);
    std::mt19937 rng(12);
    src.fill([&](int, int) { return int(rng() % 256); });
    std::fill(dst.buf.begin(), dst.buf.end(), uint8_t(0xAB));
    NoiseMap map(24, 16, 30);
    const DenoiseLevelParams p = params(0x22, 0, 0, 0);
    DenoiseFaultInjectAfter(0);
    const int rc = DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p);
    DenoiseFaultInjectAfter(-1);
    QCOMPARE(rc, int(PE_ERR_NOMEM));
    QCOMPARE(dst.buf, src.buf);  // the copy of the active area with its 8 samples of margin
}

void TestDenoiseBlockFilter::familyExtras()
{
    int32_t offsets[4];
    int64_t distances[2];
    QCOMPARE(DenoiseCandidateAppend(offsets, distances, 0, 2, -1, 2, 77), 0);
    QCOMPARE(DenoiseCandidateAppend(offsets, distances, 1, 2, 3, 0, 5), 1);
    QCOMPARE(DenoiseCandidateAppend(offsets, distances, 2, 2, 0, 0, 0), -1);
    QCOMPARE(offsets[1], 2);
    QCOMPARE(distances[1], int64_t(5));

    std::vector<uint8_t> ref(64, 10), b1(64, 12), b2(64, 10), block(64, 100);
    int64_t d1 = -1, d2 = -1;
    DenoiseBlockDistance2U8(ref.data(), b1.data(), b2.data(), 8, &d1, &d2);
    QCOMPARE(d1, (int64_t(128) * 128) >> 6);
    QCOMPARE(d2, int64_t(0));
    DenoiseBlockDistance2S8(ref.data(), b1.data(), b2.data(), 8, &d1, &d2);
    QCOMPARE(d1, (int64_t(128) * 128) >> 6);

    // Below 1024/2^17 nothing moves; half way moves half; above 128000 copies.
    DenoiseBlockShrinkU8(block.data(), 8, ref.data(), 8, 1, 1000);
    QCOMPARE(int(block[0]), 100);
    DenoiseBlockShrinkU8(block.data(), 8, ref.data(), 8, 1, 2);
    QCOMPARE(int(block[0]), 55);
    DenoiseBlockShrinkU8(block.data(), 8, ref.data(), 8, 1, 1);
    QCOMPARE(int(block[63]), 10);
    std::vector<uint8_t> sblock(64, uint8_t(int8_t(-100))), sref(64, uint8_t(int8_t(20)));
    DenoiseBlockShrinkS8(sblock.data(), 8, sref.data(), 8, 1, 2);
    QCOMPARE(int(int8_t(sblock[5])), -40);

    std::vector<uint8_t> src(12 * 12), dst(12 * 12, 0);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = uint8_t(i);
    DenoiseBlockCopy32(dst.data() + 13, 12, src.data() + 13, 12, 4);
    QCOMPARE(dst[13], src[13]);
    QCOMPARE(dst[13 + 3 * 12 + 3], src[13 + 3 * 12 + 3]);
    QCOMPARE(dst[13 + 4], uint8_t(0));
}

void TestDenoiseBlockFilter::blockStats()
{
    // The window statistics, sum S and 64 Q - S^2, and the distance
    // (sum |a - b|)^2 >> 6 of every form (the filter calls only the fast
    // one), on windows at odd offsets.
    std::mt19937 rng(9);
    std::vector<uint8_t> w(19 * 12);
    for (auto& v : w)
        v = uint8_t(rng());
    const uint8_t *a = w.data() + 3, *b = w.data() + 2 * 19 + 8;
    for (uint32_t layout : {DENOISE_SAMPLES_U8, DENOISE_SAMPLES_S8}) {
        const auto value = [&](const uint8_t* p) { return layout == DENOISE_SAMPLES_S8 ? int(int8_t(*p)) : int(*p); };
        int32_t s = 0, sum = 0;
        int64_t q = 0, sad = 0, var = -1;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const int v = value(a + y * 19 + x);
                s += v;
                q += v * v;
                sad += std::abs(v - value(b + y * 19 + x));
            }
        DenoiseBlockStats(layout, a, 19, &sum, &var);
        QCOMPARE(sum, s);
        QCOMPARE(var, 64 * q - int64_t(s) * s);
        const bool sg = layout == DENOISE_SAMPLES_S8;
        QCOMPARE(sg ? DenoiseSadSquaredS8(a, b, 19) : DenoiseSadSquaredU8(a, b, 19), (sad * sad) >> 6);
        QCOMPARE(sg ? DenoiseBlockDistanceS8(a, b, 19) : DenoiseBlockDistanceU8(a, b, 19), (sad * sad) >> 6);
    }
    QCOMPARE(DenoiseBlockDistance(0x30, w.data(), w.data() + 1, 19), int64_t(0));
}

void TestDenoiseBlockFilter::stageDecoding_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<int>>("expected");  // step, flat, radius, extension, scale units
    QTest::newRow("main road luma 0x22") << 0x22 << 0 << 0 << QList<int>{8, 0, 1, 2, 4};
    QTest::newRow("main road luma 0x20") << 0x20 << 0 << 2 << QList<int>{4, 0, 1, 2, 4};
    QTest::newRow("main road chroma 0x22") << 0x22 << 1 << 1 << QList<int>{8, 8, 1, 2, 4};
    QTest::newRow("chroma 0x20 level 3") << 0x20 << 1 << 3 << QList<int>{4, 1, 1, 2, 4};
    QTest::newRow("0x21 luma") << 0x21 << 0 << 0 << QList<int>{4, 0, 1, 0, 3};
    QTest::newRow("0x26 chroma") << 0x26 << 1 << 0 << QList<int>{8, 12, 0, 0, 4};
    QTest::newRow("0x23 level 4") << 0x23 << 1 << 4 << QList<int>{8, 0, 1, 0, 0};
    QTest::newRow("0x10 luma level 0") << 0x10 << 0 << 0 << QList<int>{4, 0, 3, 0, 2};
    QTest::newRow("0x15 luma level 1") << 0x15 << 0 << 1 << QList<int>{4, 4, 1, 3, 4};
    QTest::newRow("0x17 chroma level 2") << 0x17 << 1 << 2 << QList<int>{8, 4, 1, 3, 4};
    QTest::newRow("0x11 chroma level 3") << 0x11 << 1 << 3 << QList<int>{4, 1, 3, 0, 4};
}

void TestDenoiseBlockFilter::stageDecoding()
{
    QFETCH(int, stage);
    QFETCH(int, set);
    QFETCH(int, level);
    QFETCH(QList<int>, expected);
    DenoiseBlockParams bp;
    QCOMPARE(DenoiseBlockParamsFromStage(params(stage, set, level, 40), 2, &bp), 0);
    QCOMPARE(bp.step, expected[0]);
    QCOMPARE(bp.flat, expected[1]);
    QCOMPARE(bp.radius, expected[2]);
    QCOMPARE(bp.extension, expected[3]);
    QCOMPARE(bp.scale, expected[4] << 2);
    QCOMPARE(bp.keep, 40);
}

void TestDenoiseBlockFilter::zeroNoiseOrFullKeepKeepsSource()
{
    Plane src(40, 24), dst(40, 24);
    std::mt19937 rng(2);
    src.fill([&](int, int) { return int(rng() % 256); });
    NoiseMap none(40, 24, 0), some(40, 24, 30);
    for (int stage : {0x22, 0x20, 0x13, 0x17}) {
        for (int set : {0, 1}) {
            DenoiseLevelParams p = params(stage, set, 0, 0);
            QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &none.b, &p, &dst.p), 0);
            QCOMPARE(dst.buf, src.buf);
            p.keep = 256;
            QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &some.b, &p, &dst.p), 0);
            QCOMPARE(dst.buf, src.buf);
        }
    }
}

void TestDenoiseBlockFilter::refusals()
{
    // Type 0 does nothing and unknown types are refused, the target left alone.
    Plane src(16, 16), dst(16, 16);
    std::fill(dst.buf.begin(), dst.buf.end(), uint8_t(0xAB));
    const auto before = dst.buf;
    NoiseMap map(16, 16, 20);
    DenoiseLevelParams p = params(0x00);
    QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), 0);
    QCOMPARE(dst.buf, before);
    for (int stage : {0x30, 0x42, 0xF2}) {
        p = params(stage);
        QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), int(PE_ERR_FILTER));
        QCOMPARE(dst.buf, before);
    }
    // Planes without the margins the filter reads, of different sizes, or
    // without a noise map.
    Plane thin(16, 16, DENOISE_SAMPLES_U8, 4), thin2(16, 16, DENOISE_SAMPLES_U8, 4), wider(18, 16);
    p = params(0x22);
    QCOMPARE(DenoiseLevelFilter(nullptr, &thin.p, &map.b, &p, &thin2.p), int(PE_ERR_ARGUMENT));
    QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &wider.p), int(PE_ERR_ARGUMENT));
    QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, nullptr, &p, &src.p), int(PE_ERR_ARGUMENT));
}

void TestDenoiseBlockFilter::flatBlocksBecomeTheirMean()
{
    // 36 x 36: the block grid starts at 0 (36 mod 8 = 4), 5 x 5 blocks.
    for (bool isSigned : {false, true}) {
        const uint32_t layout = isSigned ? DENOISE_SAMPLES_S8 : DENOISE_SAMPLES_U8;
        Plane src(36, 36, layout), dst(36, 36, layout);
        std::mt19937 rng(5);
        const int base = isSigned ? -3 : 100;
        src.fill([&](int, int) { return base + int(rng() % 3) - 1; });
        NoiseMap map(36, 36, 10);
        // Chroma, type 2 without matching: only the flat test changes blocks.
        const DenoiseLevelParams p = params(0x26, 1, 0, 0);
        QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), 0);
        for (int by = 0; by < 36; by += 8)
            for (int bx = 0; bx < 36; bx += 8) {
                int sum = 0;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x)
                        sum += src.value(bx + x, by + y);
                const int mean = (sum + 32) >> 6;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x)
                        QCOMPARE(dst.value(bx + x, by + y), mean);
            }
        // A guide of 255 (an edge) switches the flat test off; 254 does not.
        Plane guide(36, 36, DENOISE_SAMPLES_U8, 4);
        DenoiseLevelParams guided = p;
        guided.guide = &guide.p;
        const std::vector<uint8_t> flat = dst.buf;
        std::fill(guide.buf.begin(), guide.buf.end(), uint8_t(254));
        QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &guided, &dst.p), 0);
        QCOMPARE(dst.buf, flat);
        std::fill(guide.buf.begin(), guide.buf.end(), uint8_t(255));
        QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &guided, &dst.p), 0);
        QCOMPARE(dst.buf, src.buf);
    }
}

void TestDenoiseBlockFilter::rebuildFromCoarser_data()
{
    QTest::addColumn<int>("stage");
    QTest::newRow("step 8, coarse variance") << 0x13;
    QTest::newRow("step 4, own variance") << 0x11;
}

void TestDenoiseBlockFilter::rebuildFromCoarser()
{
    QFETCH(int, stage);
    Plane src(32, 32), dst(32, 32);
    std::mt19937 rng(7);
    src.fill([&](int, int) { return 128 + int(rng() % 3) - 1; });
    // Coarse samples close enough for the flat test, far enough apart that
    // each interpolation and its rounding show.
    Plane coarse(16, 16);
    coarse.fill([&](int, int) { return 70 + int(rng() % 15); });
    NoiseMap map(32, 32, 20);
    DenoiseLevelParams p = params(stage, 0, 0, 0);
    p.coarser = &coarse.p;
    // Fine (x, y) from coarse c at (x / 2, y / 2), r right of it, d below, e
    // diagonal: c, (c + r + 1) >> 1, (c + d + 1) >> 1, (c + r + d + e + 2) >> 2
    // by the parities of x and y.
    const auto rebuilt = [&](int x, int y) {
        const int cx = x >> 1, cy = y >> 1, c = coarse.value(cx, cy), r = coarse.value(cx + 1, cy);
        const int d = coarse.value(cx, cy + 1), e = coarse.value(cx + 1, cy + 1);
        return (y & 1) ? ((x & 1) ? (c + r + d + e + 2) >> 2 : (c + d + 1) >> 1) : ((x & 1) ? (c + r + 1) >> 1 : c);
    };
    // No keep gives the rebuilt samples; half keep lies halfway to the block's own.
    for (int keep : {0, 128}) {
        p.keep = keep;
        QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(dst.value(x, y), (src.value(x, y) * keep + rebuilt(x, y) * (256 - keep) + 128) >> 8);
    }
}

void TestDenoiseBlockFilter::isolatedBlockWithHugeWeightScale()
{
    // Noise 1 with 8 fraction bits gives the largest k: distances times k
    // leave 32 bits; a lone dark block must not be blended with its bright
    // surroundings, nor they with it.
    Plane src(36, 36), dst(36, 36);
    src.fill([](int x, int y) { return (x >= 8 && x < 16 && y >= 8 && y < 16) ? 0 : 255; });
    NoiseMap map(36, 36, 1, 8);
    const DenoiseLevelParams p = params(0x22, 0, 0, 0);
    QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), 0);
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x)
            QCOMPARE(dst.value(x, y), src.value(x, y));
}

void TestDenoiseBlockFilter::exactSizeSweep()
{
    // Every filter type and option on planes of awkward sizes, allocated at
    // exactly their size: the sanitizer build catches any stray access.
    std::mt19937 rng(8);
    int runs = 0;
    for (int aw : {1, 3, 8, 13, 37}) {
        for (int ah : {1, 5, 9, 22}) {
            for (bool isSigned : {false, true}) {
                const uint32_t layout = isSigned ? DENOISE_SAMPLES_S8 : DENOISE_SAMPLES_U8;
                Plane src(aw, ah, layout), dst(aw, ah, layout);
                src.fill([&](int, int) { return int(rng() % 256); });
                Plane coarse((aw + 1) / 2, (ah + 1) / 2);
                coarse.fill([&](int, int) { return int(rng() % 256); });
                for (uint32_t shift : {0u, 1u}) {
                    NoiseMap map(aw, ah, 0, 1, shift);
                    for (auto& v : map.buf)
                        v = uint8_t(rng() % 64);
                    Plane guide(int(map.b.width) - 9, int(map.b.height) - 9, DENOISE_SAMPLES_U8, 4);
                    guide.fill([&](int, int) { return int(rng() % 256); });
                    for (int type : {0x10, 0x20}) {
                        for (int options = 0; options < 8; ++options) {
                            for (int set : {0, 1}) {
                                for (int level : {0, 3, 4}) {
                                    DenoiseLevelParams p = params(type | options, set, level, int(rng() % 200));
                                    p.coarser = (rng() % 2) ? &coarse.p : nullptr;
                                    p.guide = (rng() % 2) ? &guide.p : nullptr;
                                    QCOMPARE(DenoiseLevelFilter(nullptr, &src.p, &map.b, &p, &dst.p), 0);
                                    ++runs;
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    QVERIFY(runs > 1000);
}

QTEST_GUILESS_MAIN(TestDenoiseBlockFilter)
#include "tst_denoise_blockfilter.moc"
