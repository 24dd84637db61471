#include <QtTest>

#include <cmath>
#include <cstring>
#include <vector>

#include "AdjustWhiteBalanceSrgb.h"
#include "BgrTestImage.h"
#include "Rand15.h"
#include "ToneEngine.h"

namespace {

int bytesPerPixel(int format)
{
    static const int bpp[5] = {0, 3, 1, 6, 2};
    return bpp[format];
}

// An image of any of the four formats with padded rows (filled with a marker).
struct Picture {
    int width, height, format, stride;
    std::vector<uint8_t> bytes;

    Picture(int w, int h, int fmt, int pad = 0)
        : width(w), height(h), format(fmt), stride(w * bytesPerPixel(fmt) + pad)
    {
        bytes.assign(static_cast<size_t>(stride) * h + 1, 0xA5);
    }
    int samples() const { return width * (format == 1 || format == 3 ? 3 : 1); }
    bool wide() const { return format >= 3; }
    // Sample i of row y, bytes or 16-bit words alike (words read bytewise,
    // since a padded stride may leave them unaligned).
    int get(int y, int i) const
    {
        const uint8_t* row = bytes.data() + static_cast<size_t>(y) * stride;
        if (!wide())
            return row[i];
        uint16_t w;
        std::memcpy(&w, row + 2 * i, 2);
        return w;
    }
    void set(int y, int i, int v)
    {
        uint8_t* row = bytes.data() + static_cast<size_t>(y) * stride;
        if (!wide()) {
            row[i] = static_cast<uint8_t>(v);
            return;
        }
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(row + 2 * i, &w, 2);
    }
    void fill(int v)
    {
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < samples(); ++i)
                set(y, i, v);
    }
    void fillRandom(uint32_t seed)
    {
        Rand15 rnd(seed);
        const int mask = wide() ? 0xffff : 0xff;
        for (int y = 0; y < height; ++y)
            for (int i = 0; i < samples(); ++i)
                set(y, i, ((rnd.next() << 15) ^ rnd.next()) & mask);
    }
    AdjustImage image() { return adjustImageOf(bytes.data(), width, height, stride, format); }
    // The w x h part at (x, y) as a tile of the whole picture.
    AdjustImageTile tile(int x, int y, int w, int h)
    {
        AdjustImageTile t;
        t.fullWidth = width;
        t.fullHeight = height;
        t.format = format;
        t.tileWidth = w;
        t.tileHeight = h;
        t.stride = stride;
        t.pixels = bytes.data() + static_cast<size_t>(y) * stride + x * bytesPerPixel(format);
        return t;
    }
    bool paddingIntact() const
    {
        for (int y = 0; y < height; ++y)
            for (int i = width * bytesPerPixel(format); i < stride; ++i)
                if (bytes[static_cast<size_t>(y) * stride + i] != 0xA5)
                    return false;
        return bytes.back() == 0xA5;
    }
};

struct Engine {
    ToneEngine* e = nullptr;
    Engine() { ToneCreate(&e); }
    ~Engine() { ToneDestroy(e); }
};

int applyOne(ToneEngine* e, int strength, int format, int value)
{
    Picture p(1, 1, format);
    p.fill(value);
    AdjustImage im = p.image();
    ToneApply(e, strength, &im);
    return p.get(0, 0);
}

} // namespace

class TestTone : public QObject {
    Q_OBJECT
private slots:
    void strengthZeroIsBitIdentical_data();
    void strengthZeroIsBitIdentical();
    void endsStayFixed_data();
    void endsStayFixed();
    void midGreyAtFullStrength();
    void strengthIsMonotone();
    void curveCacheFollowsStrength();
    void wordsMatchBytes();
    void analyseCountsBins();
    void analyseTilesAccumulate();
    void buildCurvesLevels_data();
    void buildCurvesLevels();
    void twoPercentThreshold();
    void gainCurveShapes();
    void applyGainBeforeCurvesIsRefused();
    void applyGainDarkensAndBrightens();
    void contrastCurves();
    void contrastBeyondRangeIsClamped();
    void contrastAppliesToStoredValues();
    void tileFormsMatchWholeImage();
    void refusesBadArguments();
    void sharpenRefusesOtherFormats_data();
    void sharpenRefusesOtherFormats();
    void sharpenBgr();
};

void TestTone::strengthZeroIsBitIdentical_data()
{
    QTest::addColumn<int>("format");
    for (int f = 1; f <= 4; ++f)
        QTest::addRow("format %d", f) << f;
}

void TestTone::strengthZeroIsBitIdentical()
{
    QFETCH(int, format);
    Engine t;
    Picture p(13, 5, format, 3);
    p.fillRandom(11);
    const auto before = p.bytes;
    AdjustImage im = p.image();
    QCOMPARE(ToneApply(t.e, 0, &im), 0);
    QCOMPARE(ToneContrastApply(t.e, 0, &im), 0);
    QVERIFY(p.bytes == before);
}

void TestTone::endsStayFixed_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("strength");
    for (int f = 1; f <= 4; ++f)
        for (int s : {-100, -37, -1, 1, 50, 100})
            QTest::addRow("format %d strength %d", f, s) << f << s;
}

void TestTone::endsStayFixed()
{
    QFETCH(int, format);
    QFETCH(int, strength);
    Engine t;
    const int white = format >= 3 ? 65535 : 255;
    QCOMPARE(applyOne(t.e, strength, format, 0), 0);
    QCOMPARE(applyOne(t.e, strength, format, white), white);
}

void TestTone::midGreyAtFullStrength()
{
    Engine t;
    QCOMPARE(applyOne(t.e, 100, 1, 128), 177);
    QCOMPARE(applyOne(t.e, 100, 2, 128), 177);
    QCOMPARE(applyOne(t.e, -100, 1, 128), 88);
    QCOMPARE(applyOne(t.e, -100, 1, 64), 41);
    // All three channels of a pixel go through the same curve.
    Picture p(2, 1, 1);
    p.fill(128);
    AdjustImage im = p.image();
    QCOMPARE(ToneApply(t.e, 100, &im), 0);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(p.get(0, i), 177);
}

void TestTone::strengthIsMonotone()
{
    Engine t;
    std::vector<uint16_t> curve(4096);
    for (int s : {-100, -20, 30, 100}) {
        QCOMPARE(ToneBuildStrengthCurve8(curve.data(), s), 0);
        QCOMPARE(int(curve[0]), 0);
        QCOMPARE(int(curve[4095]), 4095);
        for (int i = 1; i < 4096; ++i)
            QVERIFY(curve[i] >= curve[i - 1]);
        // Positive strengths lift every interior level, negative ones lower it.
        for (int i = 200; i < 3900; i += 100)
            QVERIFY(s > 0 ? curve[i] > i : curve[i] < i);
    }
    // Stronger settings lift further.
    int last = 0;
    for (int s = 10; s <= 100; s += 10) {
        const int v = applyOne(t.e, s, 1, 100);
        QVERIFY(v >= last);
        last = v;
    }
    QVERIFY(last > 100);
    // Outside the slider range the curve stays inside its table.
    QCOMPARE(ToneBuildStrengthCurve8(curve.data(), 100000), 0);
    QCOMPARE(int(curve[4095]), 4095);
    QCOMPARE(ToneBuildStrengthCurve8(curve.data(), -100000), 0);
    QCOMPARE(int(curve[0]), 0);
}

void TestTone::curveCacheFollowsStrength()
{
    Engine t;
    Picture base(31, 4, 1);
    base.fillRandom(3);
    for (int s : {100, -60, 100, 25}) {
        Picture a = base, b = base;
        AdjustImage ia = a.image(), ib = b.image();
        QCOMPARE(ToneApply(t.e, s, &ia), 0);
        Engine once;
        QCOMPARE(ToneApply(once.e, s, &ib), 0);
        QVERIFY2(a.bytes == b.bytes, qPrintable(QString("strength %1").arg(s)));
    }
}

void TestTone::wordsMatchBytes()
{
    // The 16-bit path gives about the 8-bit answer scaled by 257.
    Engine t;
    for (int s : {-100, 40, 100}) {
        for (int v : {16, 64, 128, 200}) {
            const int b = applyOne(t.e, s, 1, v);
            const int w = applyOne(t.e, s, 3, v * 257);
            QVERIFY2(std::abs(w - b * 257) <= 257, qPrintable(QString("%1 %2: %3 vs %4").arg(s).arg(v).arg(w).arg(b)));
        }
    }
    // Odd stride: every word unaligned, padding untouched.
    Picture p(5, 3, 4, 1);
    p.fill(30000);
    AdjustImage im = p.image();
    QCOMPARE(ToneApply(t.e, 60, &im), 0);
    const int v = p.get(0, 0);
    QVERIFY(v > 30000);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 5; ++i)
            QCOMPARE(p.get(y, i), v);
    QVERIFY(p.paddingIntact());
}

void TestTone::analyseCountsBins()
{
    // Random pixels, odd width: every histogram equals a plain count, and a
    // second analysis starts afresh.
    Engine t;
    uint16_t lin[256];
    AdjustBuildLinearLut(lin);
    Picture r(33, 17, 1, 3);
    r.fillRandom(99);
    std::vector<quint32> ref(4 * 256, 0);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const int lb = lin[r.get(y, 3 * x)], lg = lin[r.get(y, 3 * x + 1)], lr = lin[r.get(y, 3 * x + 2)];
            ++ref[lb >> 4];
            ++ref[256 + (lg >> 4)];
            ++ref[512 + (lr >> 4)];
            ++ref[768 + ((117 * lb + 601 * lg + 306 * lr) >> 14)];
        }
    AdjustImage ir = r.image();
    QCOMPARE(ToneAnalyse(t.e, &ir), 0);
    QCOMPARE(ToneAnalyse(t.e, &ir), 0);
    for (int h = 0; h < 4; ++h)
        for (int i = 0; i < 256; ++i)
            QCOMPARE(ToneHistogram(t.e, h)[i], ref[h * 256 + i]);
    QVERIFY(ToneHistogram(t.e, 4) == nullptr);
}

void TestTone::analyseTilesAccumulate()
{
    Engine whole, tiled;
    Picture p(40, 30, 1);
    p.fillRandom(21);
    AdjustImage im = p.image();
    QCOMPARE(ToneAnalyse(whole.e, &im), 0);

    // Top and bottom halves, the first resetting, the second accumulating.
    for (int half = 0; half < 2; ++half) {
        AdjustImageTile tile = p.tile(0, half * 15, 40, 15);
        QCOMPARE(ToneAnalyseTile(tiled.e, &tile, half == 0 ? 1 : 0), 0);
    }
    for (int h = 0; h < 4; ++h)
        QVERIFY(std::memcmp(ToneHistogram(whole.e, h), ToneHistogram(tiled.e, h), 256 * 4) == 0);
    QCOMPARE(ToneBuildCurves(whole.e), 0);
    QCOMPARE(ToneBuildCurves(tiled.e), 0);
    QCOMPARE(ToneGain(whole.e), ToneGain(tiled.e));
}

void TestTone::buildCurvesLevels_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("gain");
    uint16_t lin[256];
    AdjustBuildLinearLut(lin);
    // Pick bytes landing in chosen bins; level = bin - 1, g0 = 0.9 * (255 / level).
    auto byteForBin = [&](int bin) {
        for (int v = 0; v < 256; ++v)
            if ((lin[v] >> 4) == bin)
                return v;
        return -1;
    };
    QTest::newRow("black") << 0 << 1.0;
    QTest::newRow("white: level 254") << 255 << std::sqrt(0.9);
    QTest::newRow("level 99") << byteForBin(100) << 0.9 * 2;
    QTest::newRow("level 79") << byteForBin(80) << 0.9 * 3;
    QTest::newRow("level 15") << byteForBin(16) << 0.9 * 17;
    QTest::newRow("level 2") << byteForBin(3) << 16.0;
}

void TestTone::buildCurvesLevels()
{
    QFETCH(int, value);
    QFETCH(double, gain);
    QVERIFY(value >= 0);
    Engine t;
    Picture p(20, 10, 1);
    p.fill(value);
    AdjustImage im = p.image();
    QCOMPARE(ToneAnalyse(t.e, &im), 0);
    QCOMPARE(ToneBuildCurves(t.e), 0);
    QCOMPARE(ToneGain(t.e), gain);
}

void TestTone::twoPercentThreshold()
{
    // 100 x 100 pixels: 2% is 200. Exactly 200 white pixels do not exceed it,
    // so the level comes from the black rest (level 0, gain 1); 201 do.
    for (int whites : {200, 201}) {
        Engine t;
        Picture p(100, 100, 2);
        p.fill(0);
        for (int i = 0; i < whites; ++i)
            p.set(i / 100, i % 100, 255);
        AdjustImage im = p.image();
        QCOMPARE(ToneAnalyse(t.e, &im), 0);
        QCOMPARE(ToneBuildCurves(t.e), 0);
        QCOMPARE(ToneGain(t.e), whites == 200 ? 1.0 : std::sqrt(0.9));
    }
}

void TestTone::gainCurveShapes()
{
    Engine t;
    QVERIFY(ToneGainCurve(t.e) == nullptr);
    // Before any analysis the histograms are empty: gain 1, identity curve.
    QCOMPARE(ToneBuildCurves(t.e), 0);
    QCOMPARE(ToneGain(t.e), 1.0);
    const uint16_t* c = ToneGainCurve(t.e);
    QVERIFY(c != nullptr);
    for (int i = 0; i < 4096; ++i)
        QCOMPARE(int(c[i]), i);

    // Dark picture: gain 16 and a curve reaching white at 4095 / 16.
    Picture dark(10, 10, 2);
    dark.fill(50); // bin 8, level 7: 0.9 * 36 is beyond 16
    AdjustImage im = dark.image();
    ToneAnalyse(t.e, &im);
    ToneBuildCurves(t.e);
    QCOMPARE(ToneGain(t.e), 16.0);
    c = ToneGainCurve(t.e);
    QCOMPARE(int(c[0]), 0);
    QCOMPARE(int(c[4095 / 16]), 4095);
    QCOMPARE(int(c[4095]), 4095);
    for (int i = 1; i < 4096; ++i)
        QVERIFY(c[i] >= c[i - 1]);
    // Resampled linear start: entry j reads the shape at 16 j (below K = 2047).
    QCOMPARE(int(c[10]), 160);

    // Bright picture: factors in 1/4096 (at most 4095), the low end scaled by sqrt(0.9).
    Picture bright(10, 10, 2);
    bright.fill(255);
    im = bright.image();
    ToneAnalyse(t.e, &im);
    ToneBuildCurves(t.e);
    c = ToneGainCurve(t.e);
    const double g = std::sqrt(0.9);
    QCOMPARE(int(c[0]), 0);
    QCOMPARE(int(c[1000]), static_cast<int>(1000 * g + 0.5) * 4095 / 1000);
    QCOMPARE(int(c[4095]), 4095);
    for (int i = 1; i < 4096; ++i)
        QVERIFY(c[i] <= 4095);
}

void TestTone::applyGainBeforeCurvesIsRefused()
{
    Engine t;
    Picture p(9, 4, 1);
    p.fillRandom(8);
    AdjustImage im = p.image();
    QCOMPARE(ToneAnalyse(t.e, &im), 0);
    const auto before = p.bytes;
    QCOMPARE(ToneApplyGain(t.e, &im), -2);
    QVERIFY(p.bytes == before);
    QCOMPARE(ToneBuildCurves(t.e), 0);
    QCOMPARE(ToneApplyGain(t.e, &im), 0);
}

void TestTone::applyGainDarkensAndBrightens()
{
    // Dark picture: the curve brightens (gain >= 1 path).
    {
        Engine t;
        Picture p(16, 16, 1);
        p.fill(50);
        p.set(0, 0, 0);
        AdjustImage im = p.image();
        ToneAnalyse(t.e, &im);
        ToneBuildCurves(t.e);
        QCOMPARE(ToneApplyGain(t.e, &im), 0);
        QCOMPARE(ToneGain(t.e), 16.0);
        QVERIFY(p.get(1, 1) > 150);
        QCOMPARE(p.get(0, 0), 0);
    }
    // Bright picture: luma-driven factor below 1 darkens every channel alike.
    {
        Engine t;
        Picture p(16, 16, 1);
        p.fill(255);
        p.set(5, 0, 100);
        p.set(5, 1, 180);
        p.set(5, 2, 60);
        AdjustImage im = p.image();
        ToneAnalyse(t.e, &im);
        ToneBuildCurves(t.e);
        QVERIFY(ToneGain(t.e) < 1.0);
        QCOMPARE(ToneApplyGain(t.e, &im), 0);
        QVERIFY(p.get(5, 0) <= 100 && p.get(5, 1) < 180 && p.get(5, 2) <= 60);
        QCOMPARE(p.get(1, 0), 255); // white keeps a factor of 4095/4096
    }
    // Grey format, gain < 1.
    {
        Engine t;
        Picture p(10, 10, 2, 1);
        p.fill(255);
        p.set(3, 3, 150);
        AdjustImage im = p.image();
        ToneAnalyse(t.e, &im);
        ToneBuildCurves(t.e);
        QCOMPARE(ToneApplyGain(t.e, &im), 0);
        QVERIFY(p.get(3, 3) < 150);
        QVERIFY(p.paddingIntact());
    }
}

void TestTone::contrastCurves()
{
    uint8_t c8[256];
    QCOMPARE(ToneBuildContrastCurve8(c8, 100), 0);
    QCOMPARE(int(c8[0]), 0);
    QCOMPARE(int(c8[64]), 32);
    QCOMPARE(int(c8[100]), 100 - static_cast<int>(28 * 100 / 200.0));
    QCOMPARE(int(c8[127]), 127);
    QCOMPARE(int(c8[128]), 128);
    QCOMPARE(int(c8[192]), 224);
    QCOMPARE(int(c8[255]), 255);
    QCOMPARE(ToneBuildContrastCurve8(c8, -100), 0);
    QCOMPARE(int(c8[64]), 96);
    QCOMPARE(int(c8[192]), 160);
    // Truncation toward zero: (64 - 61) * -33 / 200 = -0.495 -> 0.
    QCOMPARE(ToneBuildContrastCurve8(c8, -33), 0);
    QCOMPARE(int(c8[3]), 3);
    for (int s : {-100, -50, 50, 100}) {
        ToneBuildContrastCurve8(c8, s);
        for (int v = 1; v < 256; ++v)
            QVERIFY(c8[v] >= c8[v - 1]);
    }

    std::vector<uint16_t> c16(65536);
    QCOMPARE(ToneBuildContrastCurve16(c16.data(), 100), 0);
    QCOMPARE(int(c16[16384]), 8192);
    QCOMPARE(int(c16[49152]), 57344);
    QCOMPARE(int(c16[65535]), 65535);
    QCOMPARE(int(c16[0]), 0);
}

void TestTone::contrastBeyondRangeIsClamped()
{
    uint8_t c8[256];
    // Strength 300 would take 64 to -32: it must not wrap to 224.
    QCOMPARE(ToneBuildContrastCurve8(c8, 300), 0);
    QCOMPARE(int(c8[64]), 0);
    QCOMPARE(int(c8[192]), 255);
    for (int v = 1; v < 256; ++v)
        QVERIFY(c8[v] >= c8[v - 1] || v == 128);
    std::vector<uint16_t> c16(65536);
    QCOMPARE(ToneBuildContrastCurve16(c16.data(), 0x7fffffff), 0);
    QCOMPARE(int(c16[16384]), 0);
    QCOMPARE(int(c16[49152]), 65535);
    QCOMPARE(ToneBuildContrastCurve16(c16.data(), int(0x80000000)), 0);
    QCOMPARE(int(c16[16384]), 65535);
    QCOMPARE(int(c16[49152]), 0);
}

void TestTone::contrastAppliesToStoredValues()
{
    Engine t;
    Picture p(3, 2, 1, 2);
    p.fill(64);
    AdjustImage im = p.image();
    QCOMPARE(ToneContrastApply(t.e, 100, &im), 0);
    QCOMPARE(p.get(1, 8), 32);
    QVERIFY(p.paddingIntact());
    // Switching strength rebuilds the curve.
    p.fill(64);
    QCOMPARE(ToneContrastApply(t.e, -100, &im), 0);
    QCOMPARE(p.get(0, 0), 96);

    Picture w(4, 2, 3, 1);
    w.fill(49152);
    AdjustImage iw = w.image();
    QCOMPARE(ToneContrastApply(t.e, 100, &iw), 0);
    QCOMPARE(w.get(1, 11), 57344);
    QVERIFY(w.paddingIntact());
}

void TestTone::tileFormsMatchWholeImage()
{
    Engine t;
    Picture p(24, 10, 1, 4);
    p.fillRandom(31);
    Picture whole = p;
    AdjustImageTile tile = p.tile(4, 3, 12, 6);

    QCOMPARE(ToneApplyTile(t.e, 70, &tile), 0);
    QCOMPARE(ToneContrastApplyTile(t.e, 40, &tile), 0);
    AdjustImage im = whole.image();
    QCOMPARE(ToneApply(t.e, 70, &im), 0);
    QCOMPARE(ToneContrastApply(t.e, 40, &im), 0);
    Picture original(24, 10, 1, 4);
    original.fillRandom(31);
    for (int y = 0; y < 10; ++y)
        for (int i = 0; i < 72; ++i) {
            const bool inside = y >= 3 && y < 9 && i >= 12 && i < 48;
            QCOMPARE(p.get(y, i), inside ? whole.get(y, i) : original.get(y, i));
        }

    // Gain over a tile: refused until the curves exist.
    Engine g;
    QCOMPARE(ToneAnalyseTile(g.e, &tile, 1), 0);
    QCOMPARE(ToneApplyGainTile(g.e, &tile), -2);
    QCOMPARE(ToneBuildCurves(g.e), 0);
    QCOMPARE(ToneApplyGainTile(g.e, &tile), 0);
    QVERIFY(p.paddingIntact());
}

void TestTone::refusesBadArguments()
{
    Engine t;
    Picture p(6, 3, 1);
    p.fillRandom(2);
    const auto before = p.bytes;
    AdjustImage im = p.image();
    AdjustImageTile tile = p.tile(0, 0, 6, 3);

    QCOMPARE(ToneAnalyse(nullptr, &im), -2);
    QCOMPARE(ToneAnalyseTile(nullptr, &tile, 1), -2);
    QCOMPARE(ToneBuildCurves(nullptr), -2);
    QCOMPARE(ToneApply(nullptr, 10, &im), -2);
    QCOMPARE(ToneApplyTile(nullptr, 10, &tile), -2);
    QCOMPARE(ToneApplyGain(nullptr, &im), -2);
    QCOMPARE(ToneApplyGainTile(nullptr, &tile), -2);
    QCOMPARE(ToneContrastApply(nullptr, 10, &im), -2);
    QCOMPARE(ToneContrastApplyTile(nullptr, 10, &tile), -2);
    QCOMPARE(ToneAnalyse(t.e, nullptr), -2);
    QCOMPARE(ToneApply(t.e, 10, nullptr), -2);
    QCOMPARE(ToneCreate(nullptr), -2);

    // Formats: analysis and gain take 1 and 2 only; apply and contrast 1..4.
    // The format is checked before the strength.
    for (int f : {0, 3, 4, 5, -1}) {
        im.format = f;
        QCOMPARE(ToneAnalyse(t.e, &im), -2);
        QCOMPARE(ToneApplyGain(t.e, &im), -2);
    }
    for (int f : {0, 5, 100}) {
        im.format = f;
        QCOMPARE(ToneApply(t.e, 0, &im), -2);
        QCOMPARE(ToneContrastApply(t.e, 0, &im), -2);
    }
    // Geometry: a stride shorter than a row, missing pixels, negative sizes.
    im = p.image();
    im.stride = 17;
    QCOMPARE(ToneApply(t.e, 50, &im), -2);
    QCOMPARE(ToneAnalyse(t.e, &im), -2);
    im = p.image();
    im.format = 3; // 6 bytes a pixel: the 18-byte rows are too short
    QCOMPARE(ToneApply(t.e, 50, &im), -2);
    im = p.image();
    im.pixels = nullptr;
    QCOMPARE(ToneContrastApply(t.e, 50, &im), -2);
    im = p.image();
    im.height = -1;
    QCOMPARE(ToneApply(t.e, 50, &im), -2);
    QVERIFY(p.bytes == before);
    // An empty image is nothing to do.
    im = p.image();
    im.width = 0;
    im.pixels = nullptr;
    QCOMPARE(ToneApply(t.e, 50, &im), 0);
    QCOMPARE(ToneAnalyse(t.e, &im), 0);
    QCOMPARE(ToneBuildCurves(t.e), 0);
    QCOMPARE(ToneGain(t.e), 1.0);
}

void TestTone::sharpenRefusesOtherFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("grey 8") << 2;
    QTest::newRow("bgr 16") << 3;
    QTest::newRow("grey 16") << 4;
    QTest::newRow("format 0") << 0;
}

void TestTone::sharpenRefusesOtherFormats()
{
    QFETCH(int, format);
    Engine t;
    // A grey 8-bit buffer of 8 x 8: read as three bytes a pixel it would overrun.
    std::vector<uint8_t> bytes(64);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>((i * 37) & 0xff);
    const auto before = bytes;
    AdjustImage im;
    im.width = format == 3 ? 2 : 8;
    im.height = 8;
    im.format = format;
    im.stride = 8;
    im.pixels = bytes.data();
    QCOMPARE(ToneSharpen(t.e, 100, &im), -2);
    QVERIFY(bytes == before);
    QCOMPARE(ToneSharpen(t.e, 100, nullptr), -2);
}

void TestTone::sharpenBgr()
{
    Engine t;
    // Flat picture: unchanged; a step edge: the bright side brightens, the
    // dark side darkens, the two outer rows and columns are kept.
    Picture flat(20, 12, 1, 2);
    flat.fill(120);
    const auto flatBefore = flat.bytes;
    AdjustImage im = flat.image();
    QCOMPARE(ToneSharpen(t.e, 100, &im), 0);
    QVERIFY(flat.bytes == flatBefore);

    Picture edge(20, 12, 1, 2);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            for (int ch = 0; ch < 3; ++ch)
                edge.set(y, x * 3 + ch, x < 10 ? 60 : 180);
    Picture before = edge;
    im = edge.image();
    QCOMPARE(ToneSharpen(t.e, 0, &im), 0);
    QVERIFY(edge.bytes == before.bytes);
    QCOMPARE(ToneSharpen(nullptr, 100, &im), 0); // the engine is not read
    QVERIFY(edge.get(5, 9 * 3) < 60);
    QVERIFY(edge.get(5, 10 * 3) > 180);
    QCOMPARE(edge.get(0, 9 * 3), 60);
    QCOMPARE(edge.get(11, 10 * 3), 180);
    QVERIFY(edge.paddingIntact());
}

QTEST_GUILESS_MAIN(TestTone)
#include "tst_tone.moc"
