// Denoiser pyramid, band and repacking kernels.
#include <QtTest>

#include <algorithm>
#include <random>
#include <vector>

#include "PixelEngine.h"
#include "TestPaths.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoisePackKernels.h"
#include "denoise/DenoisePlaneKernels.h"

namespace {
std::vector<uint8_t> randomPlane(int w, int h, int lo, int hi, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> p(size_t(w) * size_t(h));
    for (auto& v : p)
        v = uint8_t(lo + int(rng() % uint32_t(hi - lo + 1)));
    return p;
}

int coarseSize(int v) { return (v + 1) / 2; }
}

class TestDenoiseKernels : public QObject {
    Q_OBJECT
private slots:
    void bandArithmetic();
    void constantPlaneSurvives_data();
    void constantPlaneSurvives();
    void reduceEdges();
    void expandValues();
    void fastFormsMatchPlain_data();
    void fastFormsMatchPlain();
    void detailThenCollapseRestores_data();
    void detailThenCollapseRestores();
    void regionWrappers();
    void mirroredMargins_data();
    void mirroredMargins();
    void packAgreesWithSampleLayout_data();
    void packAgreesWithSampleLayout();
    void packRoundTrips();
    void packStrided();
};

void TestDenoiseKernels::bandArithmetic()
{
    const uint8_t a[4] = {10, 200, 0, 255};
    const uint8_t b[4] = {200, 10, 0, 0};
    int8_t d[4];
    DenoiseDetailFromPlanes(a, 4, b, 4, d, 4, 4, 1);
    QCOMPARE(int(d[0]), -128);
    QCOMPARE(int(d[1]), 127);
    QCOMPARE(int(d[2]), 0);
    QCOMPARE(int(d[3]), 127);

    const int8_t detail[4] = {127, -128, 5, -5};
    const uint8_t base[4] = {200, 100, 252, 3};
    uint8_t out[4];
    DenoiseAddDetail(detail, 4, base, 4, out, 4, 4, 1);
    QCOMPARE(int(out[0]), 255);
    QCOMPARE(int(out[1]), 0);
    QCOMPARE(int(out[2]), 255);
    QCOMPARE(int(out[3]), 0);

    int8_t scaled[4];
    DenoiseScaleDetail(detail, 4, 256, scaled, 4, 4, 1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(scaled[i], detail[i]);
    DenoiseScaleDetail(detail, 4, 0, scaled, 4, 4, 1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(int(scaled[i]), 0);
    DenoiseScaleDetail(detail, 4, 512, scaled, 4, 4, 1);
    QCOMPARE(int(scaled[0]), 127);
    QCOMPARE(int(scaled[1]), -128);
    QCOMPARE(int(scaled[2]), 10);
    DenoiseScaleDetail(detail, 4, 4096, scaled, 4, 4, 1);  // largest factor weight: clamps, no overflow
    QCOMPARE(int(scaled[3]), -80);
    QCOMPARE(DenoiseDetailEnergy(detail, 2, 2, 2), int64_t(127 + 128 + 5 + 5));
}

void TestDenoiseKernels::constantPlaneSurvives_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("1x1") << 1 << 1;
    QTest::newRow("2x2") << 2 << 2;
    QTest::newRow("3x5") << 3 << 5;
    QTest::newRow("17x9") << 17 << 9;
    QTest::newRow("64x33") << 64 << 33;
    QTest::newRow("1100x3") << 1100 << 3;
}

void TestDenoiseKernels::constantPlaneSurvives()
{
    QFETCH(int, w);
    QFETCH(int, h);
    for (int value : {0, 1, 77, 254, 255}) {
        std::vector<uint8_t> fine(size_t(w * h), uint8_t(value));
        std::vector<uint8_t> coarse(size_t(coarseSize(w) * coarseSize(h)), 0);
        QCOMPARE(DenoiseReduceTile(DENOISE_SAMPLES_U8, fine.data(), w, w, h, coarse.data(), coarseSize(w)), 0);
        for (uint8_t v : coarse)
            QCOMPARE(int(v), value);
        std::vector<uint8_t> back(size_t(w * h), 0);
        QCOMPARE(DenoiseExpandTile(DENOISE_SAMPLES_U8, coarse.data(), coarseSize(w), w, h, back.data(), w), 0);
        QCOMPARE(back, fine);
    }
}

void TestDenoiseKernels::reduceEdges()
{
    // 2x2 reduces to one sample: (sum + 2) >> 2.
    const uint8_t two[4] = {10, 21, 30, 40};
    uint8_t one = 0;
    DenoiseReduce(two, 2, 2, 2, 0, 0, 2, 2, &one, 1);
    QCOMPARE(int(one), (10 + 21 + 30 + 40 + 2) >> 2);

    // 3x3: the centre-less corner and the shortened kernels at the edges.
    const uint8_t f[9] = {0, 16, 32, 48, 64, 80, 96, 112, 128};
    uint8_t c[4] = {};
    DenoiseReduce(f, 3, 3, 3, 0, 0, 3, 3, c, 2);
    QCOMPARE(int(c[0]), (0 + 16 + 48 + 64 + 2) >> 2);
    QCOMPARE(int(c[1]), (16 + 32 + 64 + 80 + 2) >> 2);   // column 2: only the neighbour before
    QCOMPARE(int(c[2]), (48 + 64 + 96 + 112 + 2) >> 2);
    QCOMPARE(int(c[3]), (64 + 80 + 112 + 128 + 2) >> 2);

    // 4x3: row 0 has no row before (1,1 vertically), column 2 has both neighbours.
    const uint8_t g[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    uint8_t d[4] = {};
    DenoiseReduce(g, 4, 4, 3, 0, 0, 4, 3, d, 2);
    const int expect = (1 * 2 + 2 * 3 + 1 * 4 + 1 * 6 + 2 * 7 + 1 * 8 + 4) >> 3;
    QCOMPARE(int(d[1]), expect);
}

void TestDenoiseKernels::expandValues()
{
    const uint8_t c[4] = {10, 20, 30, 40};
    uint8_t f[16] = {};
    DenoiseExpand(c, 2, 4, 4, 0, 0, 4, 4, f, 4);
    const uint8_t expected[16] = {10, 15, 20, 20, 20, 25, 30, 30, 30, 35, 40, 40, 30, 35, 40, 40};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(int(f[i]), int(expected[i]));
    // A region starting on an odd column and row averages the two vertical means.
    const uint8_t c2[4] = {10, 21, 30, 41};
    uint8_t g[16] = {};
    DenoiseExpand(c2, 2, 4, 4, 1, 1, 4, 4, g, 4);
    QCOMPARE(int(g[5]), (((10 + 30) >> 1) + ((21 + 41) >> 1) + 1) >> 1);
    QCOMPARE(int(g[0]), 0);  // outside the region
}

void TestDenoiseKernels::fastFormsMatchPlain_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QRect>("region");
    QTest::newRow("whole even") << 40 << 30 << QRect(0, 0, 40, 30);
    QTest::newRow("whole odd") << 41 << 31 << QRect(0, 0, 41, 31);
    QTest::newRow("inner") << 41 << 31 << QRect(3, 5, 30, 20);
    QTest::newRow("odd start") << 41 << 31 << QRect(7, 9, 20, 12);
    QTest::newRow("past edge") << 20 << 20 << QRect(10, 10, 30, 30);
    QTest::newRow("thin") << 2 << 50 << QRect(0, 0, 2, 50);
    QTest::newRow("wide") << 1500 << 4 << QRect(0, 0, 1500, 4);
    QTest::newRow("photo") << 0 << 0 << QRect();
}

void TestDenoiseKernels::fastFormsMatchPlain()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QRect, region);
    std::vector<uint8_t> fine, coarse;
    if (w == 0) {  // a real photo's luma with its own reduction
        const QString data = sharedTestDataDir();
        if (data.isEmpty())
            QSKIP("no shared test photos");
        const QImage photo = QImage(QDir(data).filePath(QStringLiteral("homedeck_hall_5d3_3exp/group_14.jpg")))
                                 .convertToFormat(QImage::Format_Grayscale8);
        if (photo.isNull())
            QSKIP("test photo not readable");
        w = photo.width(), h = photo.height(), region = QRect(0, 0, w, h);
        for (int y = 0; y < h; ++y)
            fine.insert(fine.end(), photo.constScanLine(y), photo.constScanLine(y) + w);
        coarse.resize(size_t(coarseSize(w) * coarseSize(h)));
        DenoiseReducePlain(fine.data(), w, w, h, 0, 0, w, h, coarse.data(), coarseSize(w));
    } else {
        fine = randomPlane(w, h, 0, 255, 1);
        coarse = randomPlane(coarseSize(w), coarseSize(h), 0, 255, 2);
    }
    const int x0 = region.x(), y0 = region.y(), x1 = region.x() + region.width(), y1 = region.y() + region.height();
    const int cw = coarseSize(w), ch = coarseSize(h);

    std::vector<uint8_t> a(size_t(cw * ch), 7), b(size_t(cw * ch), 7);
    DenoiseReduce(fine.data(), w, w, h, x0, y0, x1, y1, a.data(), cw);
    DenoiseReducePlain(fine.data(), w, w, h, x0, y0, x1, y1, b.data(), cw);
    QCOMPARE(a, b);

    std::vector<uint8_t> e1(size_t(w * h), 7), e2(size_t(w * h), 7);
    DenoiseExpand(coarse.data(), cw, w, h, x0, y0, x1, y1, e1.data(), w);
    DenoiseExpandPlain(coarse.data(), cw, w, h, x0, y0, x1, y1, e2.data(), w);
    QCOMPARE(e1, e2);

    std::vector<uint8_t> d1 = fine, d2 = fine;
    DenoiseDetail(coarse.data(), cw, w, h, x0, y0, x1, y1, d1.data(), w);
    DenoiseDetailPlain(coarse.data(), cw, w, h, x0, y0, x1, y1, d2.data(), w);
    QCOMPARE(d1, d2);
    // The split forms: the same band, and with its excess the fine plane
    // back; the count is of the samples that have an excess.
    std::vector<uint8_t> split = fine, rest(size_t(w * h), DENOISE_EXCESS_ZERO);
    const int64_t clamped = DenoiseDetailSplit(coarse.data(), cw, w, h, x0, y0, x1, y1, split.data(), w, rest.data(), w);
    QCOMPARE(split, d2);
    QCOMPARE(clamped, int64_t(std::count_if(rest.begin(), rest.end(), [](uint8_t e) { return e != DENOISE_EXCESS_ZERO; })));
    DenoiseCollapseSplit(coarse.data(), cw, w, h, x0, y0, x1, y1, split.data(), w, rest.data(), w);
    QCOMPARE(split, fine);
    DenoiseCollapse(coarse.data(), cw, w, h, x0, y0, x1, y1, d1.data(), w);
    DenoiseCollapsePlain(coarse.data(), cw, w, h, x0, y0, x1, y1, d2.data(), w);
    QCOMPARE(d1, d2);
}

void TestDenoiseKernels::detailThenCollapseRestores_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::newRow("no clamping even") << 64 << 48 << 60 << 180;
    QTest::newRow("no clamping odd") << 33 << 17 << 60 << 180;
    QTest::newRow("clamping") << 31 << 20 << 0 << 255;
}

void TestDenoiseKernels::detailThenCollapseRestores()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, lo);
    QFETCH(int, hi);
    const auto fine = randomPlane(w, h, lo, hi, 3);
    const int cw = coarseSize(w), ch = coarseSize(h);
    std::vector<uint8_t> coarse(size_t(cw * ch));
    QCOMPARE(DenoiseReduceTile(DENOISE_SAMPLES_U8, fine.data(), w, w, h, coarse.data(), cw), 0);
    std::vector<uint8_t> band = fine;
    QCOMPARE(DenoiseDetailRegion(DENOISE_SAMPLES_U8, coarse.data(), cw, w, h, 0, 0, w, h, band.data(), w), 0);
    std::vector<uint8_t> rebuilt = band;
    QCOMPARE(DenoiseCollapseRegion(DENOISE_SAMPLES_U8, coarse.data(), cw, w, h, 0, 0, w, h, rebuilt.data(), w), 0);
    int clamped = 0;
    for (size_t i = 0; i < fine.size(); ++i) {
        const int8_t d = int8_t(band[i]);
        if (d == 127 || d == -128) {
            ++clamped;
            continue;
        }
        QCOMPARE(int(rebuilt[i]), int(fine[i]));
    }
    if (hi - lo < 128)
        QCOMPARE(clamped, 0);

    // A gain on a band with its excess scales the whole difference; a band
    // without one keeps the band gain's own clamp.
    std::vector<uint8_t> split = fine, excess(fine.size(), 0);
    DenoiseDetailSplit(coarse.data(), cw, w, h, 0, 0, w, h, split.data(), w, excess.data(), w);
    std::vector<uint8_t> scaled = split, scaledExcess = excess, plain = split;
    DenoiseScaleDetailSplit(reinterpret_cast<int8_t*>(scaled.data()), w, scaledExcess.data(), w, 300, w, h);
    DenoiseScaleDetail(reinterpret_cast<int8_t*>(plain.data()), w, 300, reinterpret_cast<int8_t*>(plain.data()), w, w, h);
    for (size_t i = 0; i < fine.size(); ++i) {
        const int e = excess[i] - DENOISE_EXCESS_ZERO;
        const int want = e == 0 ? int(int8_t(plain[i])) : std::clamp(((int8_t(split[i]) + e) * 300 + 128) >> 8, -255, 255);
        QCOMPARE(int(int8_t(scaled[i])) + scaledExcess[i] - DENOISE_EXCESS_ZERO, want);
    }
}

void TestDenoiseKernels::regionWrappers()
{
    std::vector<uint8_t> fine(64, 9), coarse(16, 3);
    const auto before = coarse;
    QCOMPARE(DenoiseReduceRegion(DENOISE_SAMPLES_S8, fine.data(), 8, 8, 8, 0, 0, 8, 8, coarse.data(), 4),
             int(PE_ERR_SAMPLE));
    QCOMPARE(coarse, before);
    QCOMPARE(DenoiseReduceRegion(DENOISE_SAMPLES_U8, fine.data(), 8, 8, 8, 4, 0, 4, 8, coarse.data(), 4), 0);
    QCOMPARE(DenoiseReduceRegion(DENOISE_SAMPLES_U8, fine.data(), 8, 8, 8, 0, 6, 8, 2, coarse.data(), 4), 0);
    QCOMPARE(coarse, before);
    const auto fineBefore = fine;
    QCOMPARE(DenoiseExpandRegion(DENOISE_SAMPLES_U8, coarse.data(), 4, 8, 8, 5, 5, 5, 8, fine.data(), 8), 0);
    QCOMPARE(DenoiseDetailRegion(DENOISE_SAMPLES_U8, coarse.data(), 4, 8, 8, 0, 0, 0, 0, fine.data(), 8), 0);
    QCOMPARE(DenoiseCollapseRegion(DENOISE_SAMPLES_U8, coarse.data(), 4, 8, 8, 9, 0, 20, 8, fine.data(), 8), 0);
    QCOMPARE(fine, fineBefore);
    QCOMPARE(DenoiseExpandRegion(0x110, coarse.data(), 4, 8, 8, 0, 0, 8, 8, fine.data(), 8), int(PE_ERR_SAMPLE));
    QCOMPARE(fine, fineBefore);
}

void TestDenoiseKernels::mirroredMargins_data()
{
    QTest::addColumn<QRect>("valid");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("wide margins") << QRect(8, 8, 20, 10) << 36 << 26;
    QTest::newRow("uneven") << QRect(3, 1, 7, 5) << 18 << 9;
    QTest::newRow("mirror runs out") << QRect(8, 8, 3, 2) << 24 << 24;
    QTest::newRow("one sample") << QRect(4, 4, 1, 1) << 9 << 9;
}

void TestDenoiseKernels::mirroredMargins()
{
    QFETCH(QRect, valid);
    QFETCH(int, w);
    QFETCH(int, h);
    const int x0 = valid.x(), y0 = valid.y(), x1 = valid.x() + valid.width(), y1 = valid.y() + valid.height();
    std::vector<uint8_t> p(size_t(w * h), 0xCD);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            p[size_t(y * w + x)] = uint8_t(x * 7 + y * 13);
    DenoiseMirrorMargins(p.data(), w, w, h, x0, y0, x1, y1);
    auto reflect = [](int v, int a, int b) {
        // About the outermost sample, without repeating it; the farthest sample once it runs out.
        if (v < a)
            return std::min(2 * a - v, b - 1);
        if (v >= b)
            return std::max(2 * b - 2 - v, a);
        return v;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = reflect(x, x0, x1), sy = reflect(y, y0, y1);
            QCOMPARE(int(p[size_t(y * w + x)]), int(uint8_t(sx * 7 + sy * 13)));
        }
}

void TestDenoiseKernels::packAgreesWithSampleLayout_data()
{
    QTest::addColumn<uint>("layout");
    QTest::newRow("444") << 0x00000013u;
    QTest::newRow("YUY2") << 0x20000013u;
    QTest::newRow("UYVY") << 0x21000013u;
    QTest::newRow("code 13") << 0x22000013u;
    QTest::newRow("NV12") << 0x51000013u;
    QTest::newRow("NV21") << 0x52800013u;
}

void TestDenoiseKernels::packAgreesWithSampleLayout()
{
    QFETCH(uint, layout);
    const int w = 16, h = 6;
    const bool halfH = DenoiseLayoutChromaHalvesBoth(layout);
    const int cw = DenoiseLayoutChromaClass(layout) == 0 ? w : w / 2;
    const int ch = halfH ? h / 2 : h;
    auto yPlane = randomPlane(w, h, 0, 255, 5);
    auto uPlane = randomPlane(cw, ch, 0, 255, 6);
    auto vPlane = randomPlane(cw, ch, 0, 255, 7);
    const int bytesPerRow = layout == 0x00000013u ? 3 * w : 2 * w;
    const bool twoPlanes = DenoiseLayoutSeparatePlanes(layout);
    std::vector<uint8_t> packed(size_t(twoPlanes ? w * ch : bytesPerRow * h), 0);
    std::vector<uint8_t> luma(size_t(w * h), 0);

    switch (layout) {
    case 0x00000013u:
        DenoisePackPlanes3(0x10, yPlane.data(), w, uPlane.data(), cw, vPlane.data(), cw, packed.data(), bytesPerRow,
                           w, h, DENOISE_PACK);
        break;
    case 0x20000013u:
        DenoisePackQuad(yPlane.data(), w, uPlane.data(), cw, vPlane.data(), cw, packed.data(), bytesPerRow, w, h,
                        DENOISE_PACK);
        break;
    case 0x21000013u:
        DenoisePackQuadAlt(yPlane.data(), w, uPlane.data(), cw, vPlane.data(), cw, packed.data(), bytesPerRow, w, h,
                           DENOISE_PACK);
        break;
    case 0x22000013u:
        DenoisePackLumaChroma(yPlane.data(), w, uPlane.data(), cw, vPlane.data(), cw, packed.data(), bytesPerRow, w,
                              h, DENOISE_PACK);
        break;
    case 0x51000013u:
        luma = yPlane;
        DenoisePackInterleaved2(uPlane.data(), cw, vPlane.data(), cw, packed.data(), w, cw, ch, DENOISE_PACK);
        break;
    case 0x52800013u:
        luma = yPlane;
        DenoisePackInterleaved2(vPlane.data(), cw, uPlane.data(), cw, packed.data(), w, cw, ch, DENOISE_PACK);
        break;
    }
    const std::vector<uint8_t>* planes[3] = {&yPlane, &uPlane, &vPlane};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                DenoiseSampleSite site{};
                QVERIFY(DenoiseSampleLocate(layout, c, x, y, &site));
                const std::vector<uint8_t>& buffer = twoPlanes ? (site.plane == 0 ? luma : packed) : packed;
                const int pitch = twoPlanes ? (site.plane == 0 ? w : w) : bytesPerRow;
                const int px = c == 0 ? x : (cw == w ? x : x / 2);
                const int py = c == 0 ? y : (halfH ? y / 2 : y);
                const uint8_t want = (*planes[c])[size_t(py * (c == 0 ? w : cw) + px)];
                QCOMPARE(int(buffer[size_t(site.row * pitch + site.byte)]), int(want));
            }
}

void TestDenoiseKernels::packRoundTrips()
{
    for (int w : {1, 2, 7, 16, 33}) {
        const int h = 5;
        const int cw = (w + 1) / 2;
        auto y = randomPlane(w, h, 0, 255, 8);
        auto u = randomPlane(cw, h, 0, 255, 9);
        auto v = randomPlane(cw, h, 0, 255, 10);
        // Exactly 2 * width bytes a row: an odd last pixel must not spill.
        std::vector<uint8_t> packed(size_t(2 * w * h));
        std::vector<uint8_t> y2(y.size()), u2(u.size(), 0), v2(v.size(), 0);
        DenoisePackQuadAlt(y.data(), w, u.data(), cw, v.data(), cw, packed.data(), 2 * w, w, h, DENOISE_PACK);
        DenoisePackQuadAlt(y2.data(), w, u2.data(), cw, v2.data(), cw, packed.data(), 2 * w, w, h, DENOISE_UNPACK);
        QCOMPARE(y2, y);
        DenoisePackQuadWide(y.data(), w, u.data(), cw, v.data(), cw, packed.data(), 2 * w, w, h, DENOISE_PACK);
        DenoisePackQuadWide(y2.data(), w, u2.data(), cw, v2.data(), cw, packed.data(), 2 * w, w, h, DENOISE_UNPACK);
        QCOMPARE(y2, y);
        if (w % 2 == 0) {
            QCOMPARE(u2, u);
            QCOMPARE(v2, v);
        }
        // 4:2:0: unpacking takes the upper row's chroma.
        std::vector<uint8_t> uq = randomPlane(cw, (h + 1) / 2, 0, 255, 11), uq2(uq.size(), 0);
        std::vector<uint8_t> vq = randomPlane(cw, (h + 1) / 2, 0, 255, 12), vq2(vq.size(), 0);
        DenoisePackQuad(y.data(), w, uq.data(), cw, vq.data(), cw, packed.data(), 2 * w, w, h, DENOISE_PACK);
        DenoisePackQuad(y2.data(), w, uq2.data(), cw, vq2.data(), cw, packed.data(), 2 * w, w, h, DENOISE_UNPACK);
        QCOMPARE(y2, y);
        if (w % 2 == 0) {
            QCOMPARE(uq2, uq);
            QCOMPARE(vq2, vq);
        }
        if (w % 2)
            continue;
        std::vector<uint8_t> swapped(size_t(2 * w * h));
        std::vector<uint8_t> s2(y.size());
        DenoisePackPairsSwapped(y.data(), w, swapped.data(), 2 * w, w, h, DENOISE_PACK);
        DenoisePackPairsSwapped(s2.data(), w, swapped.data(), 2 * w, w, h, DENOISE_UNPACK);
        QCOMPARE(s2, y);
        if (w >= 2)
            QCOMPARE(swapped[0], y[1]);
    }
    // 8-byte groups and 16-bit pairs.
    auto p = randomPlane(20, 3, 0, 255, 13);
    std::vector<uint8_t> packed(40 * 3, 0), back(p.size());
    DenoisePackGroups8(p.data(), 20, packed.data(), 40, 20, 3, DENOISE_PACK);
    DenoisePackGroups8(back.data(), 20, packed.data(), 40, 20, 3, DENOISE_UNPACK);
    QCOMPARE(back, p);
    QCOMPARE(packed[16], p[8]);
    DenoisePackPairs16(p.data(), 20, packed.data(), 40, 10, 3, DENOISE_PACK);
    DenoisePackPairs16(back.data(), 20, packed.data(), 40, 10, 3, DENOISE_UNPACK);
    QCOMPARE(back, p);
    QCOMPARE(packed[4], p[2]);
}

void TestDenoiseKernels::packStrided()
{
    auto plane = randomPlane(10, 2, 0, 255, 14);
    std::vector<uint8_t> packed(30 * 2, 0), back(plane.size(), 0);
    QCOMPARE(DenoisePackStrided(0x13, plane.data(), 10, packed.data(), 30, 10, 2, 3, 2, DENOISE_PACK), 0);
    QCOMPARE(packed[2], plane[0]);
    QCOMPARE(packed[5], plane[1]);
    QCOMPARE(DenoisePackStrided(0x13, back.data(), 10, packed.data(), 30, 10, 2, 3, 2, DENOISE_UNPACK), 0);
    QCOMPARE(back, plane);
    QCOMPARE(DenoisePackStrided(0x13, plane.data(), 10, packed.data(), 30, 10, 2, 2, 0, DENOISE_PACK), 0);
    QCOMPARE(packed[2], plane[1]);
    QCOMPARE(DenoisePackStrided(0x33, plane.data(), 10, packed.data(), 30, 10, 2, 2, 0, DENOISE_PACK),
             int(PE_ERR_SAMPLE));
    // Two-byte samples: five of them a row, every second slot.
    std::vector<uint8_t> wide(20 * 2, 0);
    QCOMPARE(DenoisePackStrided(0x2023, plane.data(), 10, wide.data(), 20, 5, 2, 2, 0, DENOISE_PACK), 0);
    QCOMPARE(wide[4], plane[2]);
    QCOMPARE(wide[5], plane[3]);
}

QTEST_GUILESS_MAIN(TestDenoiseKernels)
#include "tst_denoise_kernels.moc"
