// Film grain: the Gaussian draw, the tiled noise field and its enlargement,
// the weight curve, and grain applied through FilmApply.
#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "BgrTestImage.h"
#include "FilmEngine.h"
#include "FilmGrain.h"
#include "Rand15.h"

namespace {

// A blob whose colour tables are all zero and whose grain tables hold gains
// that vary over the colour cells; grain record `zeroRecord` is all zero.
std::vector<uint8_t> makeBlob(int zeroRecord = -1)
{
    std::vector<uint8_t> blob(kFilmDataSize, 0);
    for (int g = 0; g < kFilmGrainCount; ++g)
        for (int i = 0; i < kFilmGrainBytes; ++i)
            blob[size_t(kFilmGrainOffset) + size_t(g) * kFilmGrainBytes + i]
                = g == zeroRecord ? 0 : uint8_t(96 + (i * 13 + g * 5) % 160);
    return blob;
}

const uint8_t* grainTable(const std::vector<uint8_t>& blob, int index)
{
    return blob.data() + kFilmGrainOffset + size_t(index - 1) * kFilmGrainBytes;
}

std::vector<int16_t> makeField(int w, int h, int index, int strength, double scale, int* code = nullptr)
{
    std::vector<int16_t> f(size_t(w) * h * 3, 12345);
    const int c = FilmGrainField(f.data(), w, h, index, strength, scale);
    if (code)
        *code = c;
    return f;
}

int maxAbs(const std::vector<int16_t>& f)
{
    int m = 0;
    for (int16_t v : f)
        m = std::max(m, std::abs(int(v)));
    return m;
}

struct Film {
    FilmImage image;
    ~Film() { FilmRelease(&image); }
};

}  // namespace

class TestFilmGrain : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { FilmFreeData(); }

    void uniformRange();
    void gaussianMoments();
    void cubicKernel_data();
    void cubicKernel();
    void cubicPartitionOfUnity();
    void weightCurve_data();
    void weightCurve();
    void field_data();
    void field();
    void fieldWithoutGrain();
    void fieldIsOneStripAlongThePixels();
    void tinyFields();
    void largestStrengthBounded();
    void enlarge_data();
    void enlarge();
    void enlargeRefusals();
    void applyMatchesField_data();
    void applyMatchesField();
    void applyReproducibleAndBounded();
    void zeroGainsLeavePicture();
};

void TestFilmGrain::uniformRange()
{
    Rand15 rng(3);
    double lo = 2, hi = -2;
    for (int i = 0; i < 200000; ++i) {
        const double u = FilmUniform(rng);
        lo = std::min(lo, u);
        hi = std::max(hi, u);
    }
    QCOMPARE(lo, -1.0);
    QCOMPARE(hi, 1.0);
}

void TestFilmGrain::gaussianMoments()
{
    // The polar draw lands inside the unit circle about 78% of the time, so
    // a million values come quickly.
    QElapsedTimer timer;
    timer.start();
    Rand15 rng(1);
    FilmGaussian gauss(rng);
    const int n = 1000000;
    double sum = 0, sum2 = 0, peak = 0;
    for (int i = 0; i < n; ++i) {
        const double g = gauss.next();
        sum += g;
        sum2 += g * g;
        peak = std::max(peak, std::fabs(g));
    }
    const double mean = sum / n, var = sum2 / n - mean * mean;
    QVERIFY2(std::fabs(mean) < 0.01, qPrintable(QString::number(mean)));
    QVERIFY2(std::fabs(var - 1.0) < 0.01, qPrintable(QString::number(var)));
    QVERIFY(peak < 8.0);
    QVERIFY(timer.elapsed() < 10000);

    // Equal seeds, equal sequences.
    Rand15 a(9), b(9);
    FilmGaussian ga(a), gb(b);
    for (int i = 0; i < 1001; ++i)
        QCOMPARE(ga.next(), gb.next());
}

void TestFilmGrain::cubicKernel_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("value");
    QTest::newRow("0") << 0.0 << 2.0 / 3.0;
    QTest::newRow("1") << 1.0 << 1.0 / 6.0;
    QTest::newRow("-1") << -1.0 << 1.0 / 6.0;
    QTest::newRow("0.5") << 0.5 << 23.0 / 48.0;
    QTest::newRow("-1.5") << -1.5 << 1.0 / 48.0;
    QTest::newRow("2") << 2.0 << 0.0;
    QTest::newRow("-2") << -2.0 << 0.0;
    QTest::newRow("2.5 outside") << 2.5 << 0.0;
    QTest::newRow("-7 outside") << -7.0 << 0.0;
}

void TestFilmGrain::cubicKernel()
{
    QFETCH(double, x);
    QFETCH(double, value);
    QVERIFY2(std::fabs(FilmCubicBSpline(x) - value) < 1e-12, qPrintable(QString::number(FilmCubicBSpline(x))));
}

void TestFilmGrain::cubicPartitionOfUnity()
{
    for (double t = 0; t < 1.0; t += 0.03125) {
        double sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += FilmCubicBSpline(t + 1 - k);
        QVERIFY(std::fabs(sum - 1.0) < 1e-12);
    }
}

void TestFilmGrain::weightCurve_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("value");
    QTest::newRow("k0 line") << 0 << 64 << 128;
    QTest::newRow("k0 top") << 0 << 128 << 256;
    QTest::newRow("k0 arc") << 0 << 192 << 222;  // 2 sqrt(16384 - 4096)
    QTest::newRow("k0 end") << 0 << 255 << 32;
    QTest::newRow("k1 arc below") << 1 << 64 << 222;
    QTest::newRow("k2 falling line") << 2 << 192 << 128;
    QTest::newRow("k3 falling line") << 3 << 255 << 2;
    QTest::newRow("k4 turned over") << 4 << 64 << 128;
    QTest::newRow("k4 mid-tones out") << 4 << 128 << 0;
    QTest::newRow("k6") << 6 << 192 << 128;
    QTest::newRow("k8 is k0") << 8 << 192 << 222;
    QTest::newRow("k-3 is k0") << -3 << 0 << 0;
}

void TestFilmGrain::weightCurve()
{
    QFETCH(int, kind);
    QFETCH(int, x);
    QFETCH(int, value);
    uint16_t curve[257];
    curve[256] = 0xBEEF;
    QCOMPARE(FilmWeightCurve(curve, kind), 0);
    QCOMPARE(int(curve[x]), value);
    QCOMPARE(int(curve[256]), 0xBEEF);
    for (int i = 0; i < 256; ++i)
        QVERIFY(curve[i] <= 256);
    QCOMPARE(FilmWeightCurve(nullptr, kind), -2);
}

void TestFilmGrain::field_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("mono");
    // Index 3 at scale 1 is the only plain tiling; the others enlarge
    // (bilinear below factor 2, cubic from 2).
    QTest::newRow("3 tiled") << 3 << 1.0 << false;
    QTest::newRow("3 bilinear") << 3 << 5.0 << false;
    QTest::newRow("3 cubic") << 3 << 10.0 << false;
    QTest::newRow("1") << 1 << 1.0 << false;
    QTest::newRow("12") << 12 << 2.0 << false;
    QTest::newRow("13 mono") << 13 << 1.0 << true;
    QTest::newRow("17 mono cubic") << 17 << 10.0 << true;
    QTest::newRow("21 mono") << 21 << 3.0 << true;
    QTest::newRow("23") << 23 << 1.0 << false;
}

void TestFilmGrain::field()
{
    QFETCH(int, index);
    QFETCH(double, scale);
    QFETCH(bool, mono);
    const int w = 173, h = 121;
    int code = -9;
    const std::vector<int16_t> a = makeField(w, h, index, 100, scale, &code);
    QCOMPARE(code, 0);
    QVERIFY(a == makeField(w, h, index, 100, scale));
    QVERIFY(a != makeField(w, h, index == 1 ? 2 : 1, 100, scale));
    QVERIFY(maxAbs(a) > 0);
    QVERIFY(maxAbs(a) < 1000);
    bool channelsDiffer = false;
    double sum = 0;
    for (size_t i = 0; i < a.size(); i += 3) {
        channelsDiffer |= a[i] != a[i + 1] || a[i] != a[i + 2];
        sum += a[i];
    }
    QCOMPARE(channelsDiffer, !mono);
    // Zero-mean noise.
    QVERIFY(std::fabs(sum / (w * h)) < 0.2 * maxAbs(a));
    // Strength scales the amplitude.
    QVERIFY(maxAbs(makeField(w, h, index, 300, scale)) > 2 * maxAbs(a));
}

void TestFilmGrain::fieldWithoutGrain()
{
    for (int index : {0, -4, 24, 1000}) {
        int code = -9;
        const std::vector<int16_t> f = makeField(50, 40, index, 100, 1.0, &code);
        QCOMPARE(code, 0);
        QCOMPARE(maxAbs(f), 0);
    }
    QCOMPARE(FilmGrainField(nullptr, 5, 5, 1, 100, 1.0), -2);
    std::vector<int16_t> f(30);
    QCOMPARE(FilmGrainField(f.data(), 0, 5, 1, 100, 1.0), -2);
    QCOMPARE(FilmGrainField(f.data(), 5, -1, 1, 100, 1.0), -2);
    QCOMPARE(FilmGrainField(f.data(), 5, 2, 1, 100, std::nan("")), -2);
    // Out-of-range strength and scale are clamped like the setters do.
    QVERIFY(makeField(40, 30, 4, INT_MAX, 1e300) == makeField(40, 30, 4, kFilmStrengthMax, kFilmGrainScaleMax));
    QVERIFY(makeField(40, 30, 4, -50, -3.0) == makeField(40, 30, 4, 0, 0.0));
}

void TestFilmGrain::fieldIsOneStripAlongThePixels()
{
    // Without enlargement the patch copies run along the pixels regardless
    // of the row length: equal prefixes for any shape.
    const std::vector<int16_t> a = makeField(1000, 150, 3, 100, 1.0);
    const std::vector<int16_t> b = makeField(150, 1000, 3, 100, 1.0);
    const std::vector<int16_t> c = makeField(997, 200, 3, 100, 1.0);
    QVERIFY(a == b);
    QVERIFY(std::equal(a.begin(), a.end(), c.begin()));
    // The first copy starts at pixel 0 and covers at least 15,000 pixels,
    // so the next 60,000-pixel strip does not repeat from pixel 0 on.
    QVERIFY(!std::equal(a.begin(), a.begin() + 3000, a.begin() + 3 * 60000));
}

void TestFilmGrain::tinyFields()
{
    const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {2, 3}, {301, 1}, {1, 301}, {3, 2}};
    for (const auto& s : sizes)
        for (int index : {1, 3, 13, 17, 21})
            for (double scale : {0.0, 1.0, 3.0, 10.0}) {
                int code = -9;
                const std::vector<int16_t> f = makeField(s[0], s[1], index, 100, scale, &code);
                QCOMPARE(code, 0);
                QVERIFY(f == makeField(s[0], s[1], index, 100, scale));
                QVERIFY(maxAbs(f) < 1000);
            }
}

void TestFilmGrain::largestStrengthBounded()
{
    // The strongest grain: largest constants, clamped strength and scale.
    for (int index = 1; index <= kFilmGrainCount; ++index) {
        const std::vector<int16_t> f = makeField(320, 240, index, kFilmStrengthMax, kFilmGrainScaleMax);
        QVERIFY(maxAbs(f) > 0);
        QVERIFY2(maxAbs(f) < 4000, qPrintable(QString::number(maxAbs(f))));
    }
}

void TestFilmGrain::enlarge_data()
{
    QTest::addColumn<double>("factor");
    QTest::newRow("bilinear 1.3") << 1.3;
    QTest::newRow("bilinear 1.99") << 1.99;
    QTest::newRow("cubic 2") << 2.0;
    QTest::newRow("cubic 7.5") << 7.5;
    QTest::newRow("beyond the picture") << 500.0;
}

void TestFilmGrain::enlarge()
{
    QFETCH(double, factor);
    const int w = 97, h = 61;
    // A constant field stays constant: weights sum to one, edges repeat.
    std::vector<int16_t> f(size_t(w) * h * 3, -700);
    Rand15 rng(4);
    QCOMPARE(FilmGrainEnlarge(f.data(), w, h, factor, rng), 0);
    QVERIFY(std::all_of(f.begin(), f.end(), [](int16_t v) { return v == -700; }));

    // A horizontal ramp stays non-decreasing along x and keeps its range.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                f[(size_t(y) * w + x) * 3 + c] = int16_t(x * 100 - 4800);
    Rand15 rng2(4);
    QCOMPARE(FilmGrainEnlarge(f.data(), w, h, factor, rng2), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 1; x < w; ++x) {
            QVERIFY(f[(size_t(y) * w + x) * 3] >= f[(size_t(y) * w + x - 1) * 3]);
            QVERIFY(f[(size_t(y) * w + x) * 3] >= -4800 && f[(size_t(y) * w + x) * 3] <= 4800);
        }
}

void TestFilmGrain::enlargeRefusals()
{
    std::vector<int16_t> f(30, 5);
    Rand15 rng(1);
    QCOMPARE(FilmGrainEnlarge(f.data(), 5, 2, 0.99, rng), -1);
    QCOMPARE(FilmGrainEnlarge(f.data(), 5, 2, std::nan(""), rng), -1);
    QCOMPARE(FilmGrainEnlarge(nullptr, 5, 2, 1.5, rng), -1);
    QCOMPARE(FilmGrainEnlarge(f.data(), 0, 2, 1.5, rng), -1);
    f[4] = 77;
    QCOMPARE(FilmGrainEnlarge(f.data(), 5, 2, 1.0000005, rng), 0);
    QCOMPARE(int(f[4]), 77);
}

void TestFilmGrain::applyMatchesField_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("strength");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("topDown");
    QTest::newRow("3 tiled") << 3 << 100 << 1.0 << 1;
    QTest::newRow("7 bilinear") << 7 << 100 << 1.0 << 1;
    QTest::newRow("15 cubic, mono") << 15 << 150 << 10.0 << 0;
    QTest::newRow("22 strong") << 22 << 400 << 4.0 << 0;
}

void TestFilmGrain::applyMatchesField()
{
    QFETCH(int, index);
    QFETCH(int, strength);
    QFETCH(double, scale);
    QFETCH(int, topDown);
    // Large enough to take the parallel path.
    BgrTestImage in(640, 600, 4);
    in.fillScene(21);
    const std::vector<uint8_t> blob = makeBlob();
    QCOMPARE(FilmLoadData(blob.data(), kFilmDataSize), 0);
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, topDown), 0);
    FilmReset(&f.image);
    QCOMPARE(FilmSelectGrain(&f.image, index), 0);
    QCOMPARE(FilmSetStrength(&f.image, strength), 0);
    QCOMPARE(FilmSetGrainScale(&f.image, scale), 0);
    QCOMPARE(FilmApply(&f.image), 0);

    // The field is laid over the working rows (reversed unless top-down),
    // and the result comes back in the caller's order (or upside down).
    const std::vector<int16_t> g = makeField(in.width, in.height, index, strength, scale);
    const uint8_t* table = grainTable(blob, index);
    for (int wy = 0; wy < in.height; ++wy) {
        const int src = topDown ? wy : in.height - 1 - wy;  // caller row of working row wy
        const int dst = in.height - 1 - wy;                  // result row of working row wy
        for (int x = 0; x < in.width; ++x) {
            const uint8_t* p = in.px(x, src);
            const int cell = (p[2] >> 4) * 256 + (p[1] >> 4) * 16 + (p[0] >> 4);
            for (int k = 0; k < 3; ++k) {
                const int v = std::clamp(p[k] + ((table[cell * 3 + k] * g[(size_t(wy) * in.width + x) * 3 + k]) >> 8), 0, 255);
                const int got = f.image.pixels[size_t(dst) * f.image.rowBytes + x * 3 + k];
                if (got != v)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 channel %3: %4, expected %5").arg(x).arg(wy).arg(k).arg(got).arg(v)));
            }
        }
    }
}

void TestFilmGrain::applyReproducibleAndBounded()
{
    const std::vector<uint8_t> blob = makeBlob();
    QCOMPARE(FilmLoadData(blob.data(), kFilmDataSize), 0);
    BgrTestImage in(1600, 1200, 0);
    in.fillScene(5);
    QElapsedTimer timer;
    timer.start();
    Film a, b;
    for (Film* f : {&a, &b}) {
        QCOMPARE(FilmSetImage(&f->image, in.data(), in.width, in.height, in.stride, 0), 0);
        FilmReset(&f->image);
        QCOMPARE(FilmSelectGrain(&f->image, 11), 0);
        QCOMPARE(FilmApply(&f->image), 0);
    }
    // Two megapixels of grain twice, well within a few seconds even under the sanitizers.
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    const size_t bytes = size_t(in.stride) * in.height;
    QVERIFY(std::memcmp(a.image.pixels, b.image.pixels, bytes) == 0);
    // Grain changes the picture but keeps its overall brightness.
    double diff = 0;
    size_t changed = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const int d = int(a.image.pixels[i]) - int(in.bytes[i]);
        diff += d;
        changed += d != 0;
    }
    QVERIFY(changed > bytes / 2);
    QVERIFY2(std::fabs(diff / bytes) < 1.0, qPrintable(QString::number(diff / bytes)));
    // Applying again to the same record gives the same grain.
    std::vector<uint8_t> first(a.image.pixels, a.image.pixels + bytes);
    QCOMPARE(FilmApply(&a.image), 0);
    QVERIFY(std::memcmp(first.data(), a.image.pixels, bytes) == 0);
}

void TestFilmGrain::zeroGainsLeavePicture()
{
    const std::vector<uint8_t> blob = makeBlob(4);
    QCOMPARE(FilmLoadData(blob.data(), kFilmDataSize), 0);
    BgrTestImage in(90, 70, 2);
    in.fillRandom(6);
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
    FilmReset(&f.image);
    QCOMPARE(FilmSelectGrain(&f.image, 5), 0);
    QCOMPARE(FilmApply(&f.image), 0);
    for (int y = 0; y < in.height; ++y)
        QVERIFY(std::memcmp(f.image.pixels + size_t(y) * f.image.rowBytes, in.px(0, y), size_t(in.width) * 3) == 0);
    QCOMPARE(FilmSelectGrain(&f.image, 6), 0);
    QCOMPARE(FilmApply(&f.image), 0);
    QVERIFY(std::memcmp(f.image.pixels, in.data(), size_t(in.stride) * in.height) != 0);
}

QTEST_GUILESS_MAIN(TestFilmGrain)
#include "tst_filmgrain.moc"
