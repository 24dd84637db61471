#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "AdjustUnsharpMask.h"
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

// The curves written out from their definitions. Conversion tables between
// `top + 1` stored values and `n` linear levels.
struct Transfer {
    std::vector<int> lin, enc;
    Transfer(int top, int n) : lin(top + 1), enc(n)
    {
        for (int v = 0; v <= top; ++v) {
            const double c = double(v) / top;
            lin[v] = int((c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4)) * (n - 1) + 0.5);
        }
        for (int i = 0; i < n; ++i) {
            const double x = double(i) / (n - 1);
            enc[i] = int((x <= 0.00304 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055) * top + 0.5);
        }
    }
};

// S(x) = 1 - f(1 - x), f a power with a linear toe.
std::vector<int> strengthCurve(int n, int s)
{
    const double p = s >= 0 ? 1 + 0.014 * s : 1 / (1 - 0.014 * s);
    const double slope = std::pow(0.018, p) / 0.018;
    std::vector<int> curve(n);
    for (int i = 0; i < n; ++i) {
        const double x = double(i) / (n - 1);
        curve[n - 1 - i] = (n - 1) - int((x <= 0.018 ? x * slope : std::pow(x, p)) * (n - 1) + 0.5);
    }
    return curve;
}

// The contrast curve on stored values, q a quarter of their range: k
// truncated toward zero, taken off below the middle and added above it.
int contrastOf(int v, int s, int q)
{
    const int k = int((q - std::abs(v - (v < 2 * q ? q : 3 * q))) * s / 200.0);
    return v < 2 * q ? v - k : v + k;
}

// The gain and its curve for the largest histogram level L: a quadratic
// above a linear start, resampled by r, for gains from 1; below 1 a
// quadratic turned into factors in 1/4096.
std::vector<int> gainCurve(int level, double* gain)
{
    const double g0 = level == 0 ? 1.0 : 0.9 * (255 / level);
    std::vector<int> t(4096);
    if (g0 < 1) {
        const double g = std::sqrt(g0), c2 = (1 - g) * 16 / 9, c1 = g - c2 / 2, c0 = 1 - c2 - c1;
        *gain = g;
        for (int j = 0; j < 4096; ++j) {
            const double x = j / 4095.0;
            t[j] = j < 1024 ? int(j * g + 0.5) : int(((c2 * x + c1) * x + c0) * 4095 + 0.5);
            t[j] = j == 0 ? 0 : t[j] * 4095 / j;
        }
        return t;
    }
    *gain = std::min(g0, 16.0);
    const double g = std::min(g0, 2.0), r = *gain;
    const double p = 0.5 + 4095 * g, c1 = (17 * g - 8) / 9, c0 = (1 - g) / 9, c2 = 1 - c1 - c0;
    for (int j = 0; j < 4096; ++j) {
        const double x = j / p, y = (c2 * x + c1) * x + c0;
        t[j] = j < int(0.25 * p) ? j : y > 1 ? 4095 : int(y * 4095 + 0.5);
    }
    for (int j = 0; j < 4096; ++j)
        t[j] = j < int(4095 / r) ? t[int(j * r + 0.5)] : 4095;
    return t;
}

} // namespace

class TestTone : public QObject {
    Q_OBJECT
private slots:
    void applyMatchesCurves_data();
    void applyMatchesCurves();
    void midGreyAtFullStrength();
    void analyseCountsBins();
    void buildCurvesLevels_data();
    void buildCurvesLevels();
    void applyGainMatchesCurve_data();
    void applyGainMatchesCurve();
    void contrastCurves();
    void contrastBeyondRangeIsClamped();
    void tileFormsMatchWholeImage();
    void refusesBadArguments();
    void sharpen();
};

void TestTone::applyMatchesCurves_data()
{
    QTest::addColumn<int>("format");
    for (int f = 1; f <= 4; ++f)
        QTest::addRow("format %d", f) << f;
}

void TestTone::applyMatchesCurves()
{
    // Every sample through linearise, the strength curve and encode, or
    // through the contrast curve as stored, with one engine across
    // strengths so that a curve kept from the call before would show;
    // strength 0 leaves the picture bit-identical. The odd stride leaves
    // 16-bit words unaligned.
    QFETCH(int, format);
    const bool wide = format >= 3;
    const int top = wide ? 65535 : 255, n = wide ? 65536 : 4096;
    const Transfer tr(top, n);
    Engine t;
    Picture base(67, 5, format, 1);
    base.fillRandom(11);
    base.set(0, 0, 0);
    base.set(0, 1, top);
    for (int s : {100, -100, 0, -37, -1, 1, 50}) {
        Picture p = base, c = base;
        AdjustImage im = p.image(), ic = c.image();
        QCOMPARE(ToneApply(t.e, s, &im), 0);
        QCOMPARE(ToneContrastApply(t.e, s, &ic), 0);
        const std::vector<int> curve = strengthCurve(n, s);
        for (int y = 0; y < p.height; ++y)
            for (int i = 0; i < p.samples(); ++i) {
                const int v = base.get(y, i);
                QCOMPARE(p.get(y, i), s == 0 ? v : tr.enc[curve[tr.lin[v]]]);
                QCOMPARE(c.get(y, i), contrastOf(v, s, (top + 1) / 4));
            }
        if (s == 0)
            QVERIFY(p.bytes == base.bytes && c.bytes == base.bytes);
        QVERIFY(p.paddingIntact() && c.paddingIntact());
        std::vector<uint16_t> table(n);
        QCOMPARE(wide ? ToneBuildStrengthCurve16(table.data(), s) : ToneBuildStrengthCurve8(table.data(), s), 0);
        QVERIFY(std::equal(table.begin(), table.end(), curve.begin()));
    }
}

void TestTone::midGreyAtFullStrength()
{
    Engine t;
    QCOMPARE(applyOne(t.e, 100, 1, 128), 177);
    QCOMPARE(applyOne(t.e, 100, 2, 128), 177);
    QCOMPARE(applyOne(t.e, -100, 1, 128), 88);
    QCOMPARE(applyOne(t.e, -100, 1, 64), 41);
    // Far outside the slider range the curve stays inside its table.
    std::vector<uint16_t> curve(4096);
    for (int s : {100000, -100000}) {
        QCOMPARE(ToneBuildStrengthCurve8(curve.data(), s), 0);
        QVERIFY(std::all_of(curve.begin(), curve.end(), [](uint16_t v) { return v <= 4095; }));
    }
}

void TestTone::analyseCountsBins()
{
    // Random pixels, odd width: every histogram equals a plain count, and a
    // second analysis starts afresh.
    Engine t;
    const std::vector<int> lin = Transfer(255, 4096).lin;
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

void TestTone::buildCurvesLevels_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("whites"); // the first pixels, white
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("gain");
    const std::vector<int> lin = Transfer(255, 4096).lin;
    // Pick bytes landing in chosen bins; level = bin - 1, g0 = 0.9 * (255 / level).
    auto byteForBin = [&](int bin) {
        for (int v = 0; v < 256; ++v)
            if ((lin[v] >> 4) == bin)
                return v;
        return -1;
    };
    QTest::newRow("black") << 0 << 0 << 0 << 1.0;
    QTest::newRow("white: level 254") << 255 << 0 << 254 << std::sqrt(0.9);
    QTest::newRow("level 99") << byteForBin(100) << 0 << 99 << 0.9 * 2;
    QTest::newRow("level 79") << byteForBin(80) << 0 << 79 << 0.9 * 3;
    QTest::newRow("level 15") << byteForBin(16) << 0 << 15 << 0.9 * 17;
    QTest::newRow("level 2") << byteForBin(3) << 0 << 2 << 16.0;
    // 2% of 100 x 100 is 200: exactly 200 white pixels do not exceed it,
    // so the level comes from the black rest; 201 do.
    QTest::newRow("200 white of 10000") << 0 << 200 << 0 << 1.0;
    QTest::newRow("201 white of 10000") << 0 << 201 << 254 << std::sqrt(0.9);
}

void TestTone::buildCurvesLevels()
{
    QFETCH(int, value);
    QFETCH(int, whites);
    QFETCH(int, level);
    QFETCH(double, gain);
    QVERIFY(value >= 0);
    Engine t;
    QVERIFY(ToneGainCurve(t.e) == nullptr);
    Picture p(100, 100, 2);
    p.fill(value);
    for (int i = 0; i < whites; ++i)
        p.set(i / 100, i % 100, 255);
    AdjustImage im = p.image();
    QCOMPARE(ToneAnalyse(t.e, &im), 0);
    QCOMPARE(ToneBuildCurves(t.e), 0);
    QCOMPARE(ToneGain(t.e), gain);
    double expectedGain = 0;
    const std::vector<int> curve = gainCurve(level, &expectedGain);
    QCOMPARE(ToneGain(t.e), expectedGain);
    QVERIFY(std::equal(curve.begin(), curve.end(), ToneGainCurve(t.e)));
}

void TestTone::applyGainMatchesCurve_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("limit"); // samples below it; the darker, the larger the gain
    QTest::newRow("colour, dark") << 1 << 60;
    QTest::newRow("colour, middle") << 1 << 170;
    QTest::newRow("colour, bright") << 1 << 256;
    QTest::newRow("grey, dark") << 2 << 60;
    QTest::newRow("grey, bright") << 2 << 256;
}

void TestTone::applyGainMatchesCurve()
{
    // Gains from 1 read the curve per sample; below 1 the curve holds
    // factors, read at the pixel's linear luma in colour pictures.
    QFETCH(int, format);
    QFETCH(int, limit);
    const Transfer tr(255, 4096);
    Engine t;
    Picture base(33, 21, format, 3);
    base.fillRandom(7);
    for (int y = 0; y < base.height; ++y)
        for (int i = 0; i < base.samples(); ++i)
            base.set(y, i, base.get(y, i) * limit / 256);
    Picture p = base;
    AdjustImage im = p.image();
    QCOMPARE(ToneAnalyse(t.e, &im), 0);
    QCOMPARE(ToneBuildCurves(t.e), 0);
    QCOMPARE(ToneApplyGain(t.e, &im), 0);
    const uint16_t* curve = ToneGainCurve(t.e);
    const bool factors = ToneGain(t.e) < 1;
    QCOMPARE(factors, limit == 256);
    const int channels = format == 1 ? 3 : 1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            int l[3];
            for (int c = 0; c < channels; ++c)
                l[c] = tr.lin[base.get(y, x * channels + c)];
            const int f = channels == 3 ? curve[(117 * l[0] + 601 * l[1] + 306 * l[2]) >> 10] : curve[l[0]];
            for (int c = 0; c < channels; ++c)
                QCOMPARE(p.get(y, x * channels + c), tr.enc[factors ? (l[c] * f) >> 12 : curve[l[c]]]);
        }
    QVERIFY(p.paddingIntact());
}

void TestTone::contrastCurves()
{
    uint8_t c8[256];
    QCOMPARE(ToneBuildContrastCurve8(c8, 100), 0);
    QCOMPARE(int(c8[64]), 32);
    QCOMPARE(int(c8[192]), 224);
    QCOMPARE(ToneBuildContrastCurve8(c8, -100), 0);
    QCOMPARE(int(c8[64]), 96);
    // Every entry.
    for (int s = -100; s <= 100; ++s) {
        QCOMPARE(ToneBuildContrastCurve8(c8, s), 0);
        for (int v = 0; v < 256; ++v)
            QCOMPARE(int(c8[v]), contrastOf(v, s, 64));
    }
    std::vector<uint16_t> c16(65536);
    for (int s : {-100, -33, 1, 100}) {
        QCOMPARE(ToneBuildContrastCurve16(c16.data(), s), 0);
        for (int v = 0; v < 65536; ++v)
            QCOMPARE(int(c16[v]), contrastOf(v, s, 16384));
    }
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

void TestTone::tileFormsMatchWholeImage()
{
    // Analysing the top and bottom halves, the first resetting and the
    // second accumulating, counts what analysing the whole picture does.
    Engine whole, tiled;
    Picture p(24, 10, 1, 4);
    p.fillRandom(31);
    AdjustImage im = p.image();
    QCOMPARE(ToneAnalyse(whole.e, &im), 0);
    for (int half = 0; half < 2; ++half) {
        AdjustImageTile rows = p.tile(0, half * 5, 24, 5);
        QCOMPARE(ToneAnalyseTile(tiled.e, &rows, half == 0 ? 1 : 0), 0);
    }
    for (int h = 0; h < 4; ++h)
        QVERIFY(std::memcmp(ToneHistogram(whole.e, h), ToneHistogram(tiled.e, h), 256 * 4) == 0);
    // Columns 4..15, rows 3..8. The gain is refused until the curves exist.
    const Picture original = p;
    AdjustImageTile tile = p.tile(4, 3, 12, 6);
    QCOMPARE(ToneApplyGainTile(tiled.e, &tile), -2);
    QCOMPARE(ToneApplyGain(whole.e, &im), -2);
    QVERIFY(p.bytes == original.bytes);
    QCOMPARE(ToneBuildCurves(whole.e), 0);
    QCOMPARE(ToneBuildCurves(tiled.e), 0);
    QCOMPARE(ToneGain(whole.e), ToneGain(tiled.e));

    // Gain, strength and contrast change the tile as they change the whole
    // picture, and nothing outside it.
    Picture all = p;
    QCOMPARE(ToneApplyGainTile(tiled.e, &tile), 0);
    QCOMPARE(ToneApplyTile(tiled.e, 70, &tile), 0);
    QCOMPARE(ToneContrastApplyTile(tiled.e, 40, &tile), 0);
    AdjustImage ia = all.image();
    QCOMPARE(ToneApplyGain(whole.e, &ia), 0);
    QCOMPARE(ToneApply(whole.e, 70, &ia), 0);
    QCOMPARE(ToneContrastApply(whole.e, 40, &ia), 0);
    for (int y = 0; y < 10; ++y)
        for (int i = 0; i < 72; ++i) {
            const bool inside = y >= 3 && y < 9 && i >= 12 && i < 48;
            QCOMPARE(p.get(y, i), inside ? all.get(y, i) : original.get(y, i));
        }
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

void TestTone::sharpen()
{
    // The unsharp mask on the record's pixels; strength 0 leaves them alone
    // and the engine is not read.
    Picture p(20, 12, 1, 2);
    p.fillRandom(5);
    const Picture before = p;
    Picture direct = p;
    AdjustImage im = p.image();
    QCOMPARE(ToneSharpen(nullptr, 0, &im), 0);
    QVERIFY(p.bytes == before.bytes);
    QCOMPARE(ToneSharpen(nullptr, 60, &im), 0);
    QCOMPARE(AdjustUnsharpMaskApply(direct.bytes.data(), direct.width, direct.height, direct.stride, 60), 0);
    QVERIFY(p.bytes == direct.bytes);
    QVERIFY(p.bytes != before.bytes);
    // Other formats are refused: a grey 8 x 8 buffer read as three bytes a
    // pixel would overrun.
    std::vector<uint8_t> grey(64);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = uint8_t(i * 37);
    const auto greyBefore = grey;
    for (int format : {0, 2, 3, 4}) {
        AdjustImage g = adjustImageOf(grey.data(), format == 3 ? 2 : 8, 8, 8, format);
        QCOMPARE(ToneSharpen(nullptr, 100, &g), -2);
    }
    QVERIFY(grey == greyBefore);
    QCOMPARE(ToneSharpen(nullptr, 100, nullptr), -2);
}

QTEST_GUILESS_MAIN(TestTone)
#include "tst_tone.moc"
