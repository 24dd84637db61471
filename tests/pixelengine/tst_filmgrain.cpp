// Film grain: the Gaussian draw, the tiled noise field and its enlargement,
// the weight curve, and grain applied through FilmApply.
#include <QtTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "BgrTestImage.h"
#include "FilmEngine.h"
#include "FilmGrain.h"
#include "FilmMemory.h"
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

// ---- Reference grain, written out from the grain's description ----

// Polar method: u, v = 2 r / 32767 - 1 until 0 < s < 1; u k, then v k.
struct RefGauss {
    Rand15& rng;
    bool pending = false;
    double second = 0;
    double next()
    {
        if (pending) {
            pending = false;
            return second;
        }
        double u, v, s;
        do {
            u = 2.0 * rng.next() / 32767.0 - 1.0;
            v = 2.0 * rng.next() / 32767.0 - 1.0;
            s = u * u + v * v;
        } while (s >= 1.0 || s == 0.0);
        const double k = std::sqrt(-2.0 * std::log(s) / s);
        second = v * k;
        pending = true;
        return u * k;
    }
};

// Colour, A, B, C, D, E of grain 1..23.
const double kRefGrain[23][6] = {
    {1, 0.1, 1.25, 0.08, 6.6, 1.5},     {1, 0.1, 1.25, 0.1, 6.486, 1.5},    {1, 0.15, 1.0, 0.11, 7.35, 1.5},
    {1, 0.15, 1.25, 0.1, 15.846, 1.5},  {1, 0.16, 1.25, 0.05, 5.923, 1.5},  {1, 0.06, 1.25, 0.1, 6.243, 1.5},
    {1, 0.12, 1.25, 0.1, 5.912, 1.5},   {1, 0.1, 1.25, 0.1, 7.457, 1.5},    {1, 0.08, 1.25, 0.1, 7.785, 1.5},
    {1, 0.28, 1.25, 0.04, 6.182, 1.5},  {1, 0.28, 1.25, 0.04, 11.63, 1.5},  {1, 0.28, 1.25, 0.04, 20.635, 1.2},
    {0, 0.03, 1.25, 0.02, 12.352, 1.2}, {0, 0.03, 1.25, 0.02, 27.431, 1.2}, {0, 0.1, 1.2, 0.02, 35.373, 1.2},
    {0, 0.18, 1.25, 0.08, 11.872, 1.2}, {0, 0.25, 1.25, 0.1, 11.607, 1.2},  {0, 0.035, 1.25, 0.02, 14.59, 1.2},
    {0, 0.04, 1.25, 0.035, 20.569, 1.2}, {0, 0.1, 1.25, 0.05, 30.486, 1.2}, {0, 0.1, 1.25, 0.06, 37.812, 1.2},
    {1, 0.18, 1.25, 0.08, 8.947, 1.5},  {1, 0.28, 1.25, 0.04, 6.439, 1.5},
};

double refBSpline(double x)
{
    const auto cube = [](double b) { return b > 0.0 ? b * b * b : 0.0; };
    return (cube(x + 2.0) - 4.0 * cube(x + 1.0) + 6.0 * cube(x) - 4.0 * cube(x - 1.0)) / 6.0;
}

// Taps of one axis from `src` samples to `dst`: source position
// (x + 0.5) src / dst - 0.5, weights in 1/1024 (the cubic ones rounded, the
// largest taking what the rounding lost), indices held inside the source.
struct RefTaps {
    int n;
    std::vector<int> index, weight;
    RefTaps(int src, int dst, bool cubic) : n(cubic ? 4 : 2), index(size_t(dst) * n), weight(size_t(dst) * n)
    {
        for (int x = 0; x < dst; ++x) {
            const double s = (x + 0.5) * src / dst - 0.5;
            const int i = int(std::floor(s));
            const double t = s - std::floor(s);
            int* id = &index[size_t(x) * n];
            int* w = &weight[size_t(x) * n];
            if (cubic) {
                for (int k = 0; k < 4; ++k) {
                    id[k] = i - 1 + k;
                    w[k] = int(std::lround(refBSpline(t + 1 - k) * 1024.0));
                }
                *std::max_element(w, w + 4) += 1024 - (w[0] + w[1] + w[2] + w[3]);
            } else {
                id[0] = i;
                id[1] = i + 1;
                w[1] = int(std::lround(t * 1024.0));
                w[0] = 1024 - w[1];
            }
            for (int k = 0; k < n; ++k)
                id[k] = std::clamp(id[k], 0, src - 1);
        }
    }
};

// Crop of round(w / f) x round(h / f) at a random offset, enlarged back to
// w x h: the vertical pass first, then the horizontal one, each sum
// shifted right by 10.
void refEnlarge(std::vector<int32_t>& field, int w, int h, double f, Rand15& rng)
{
    const int cw = std::clamp(int(std::lround(w / f)), 1, w);
    const int ch = std::clamp(int(std::lround(h / f)), 1, h);
    const int cx = w - cw > 0 ? rng.next() % (w - cw) : 0;
    const int cy = h - ch > 0 ? rng.next() % (h - ch) : 0;
    std::vector<int32_t> crop(size_t(cw) * ch * 3);
    for (int y = 0; y < ch; ++y)
        std::copy_n(&field[(size_t(cy + y) * w + cx) * 3], size_t(cw) * 3, &crop[size_t(y) * cw * 3]);
    const RefTaps tx(cw, w, f >= 2.0), ty(ch, h, f >= 2.0);
    std::vector<int32_t> v(size_t(cw) * 3);
    for (int y = 0; y < h; ++y) {
        for (size_t i = 0; i < v.size(); ++i) {
            int32_t sum = 0;
            for (int k = 0; k < ty.n; ++k)
                sum += crop[size_t(ty.index[size_t(y) * ty.n + k]) * cw * 3 + i] * ty.weight[size_t(y) * ty.n + k];
            v[i] = sum >> 10;
        }
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int32_t sum = 0;
                for (int k = 0; k < tx.n; ++k)
                    sum += v[size_t(tx.index[size_t(x) * tx.n + k]) * 3 + c] * tx.weight[size_t(x) * tx.n + k];
                field[(size_t(y) * w + x) * 3 + c] = sum >> 10;
            }
    }
}

// The grain field, unclamped (a value past 16 bits would show here). With
// `enlarge` false it stops after the tiling.
std::vector<int32_t> refField(int w, int h, int index, int strength, double scale, bool enlarge = true)
{
    const size_t total = size_t(w) * h;
    std::vector<int32_t> field(total * 3, 0);
    if (index < 1 || index > 23)
        return field;
    Rand15 rng{uint32_t(index)}; // the 15-bit generator, seeded with the grain index
    const double* k = kRefGrain[index - 1];
    const double f = k[1] * (scale - 1) + k[2];
    const double a = ((scale - 1) * k[3] + 1) * (k[4] * k[5] * strength * 0.005);
    // A 300 x 200 patch.
    std::vector<int32_t> patch(60000 * 3);
    RefGauss gauss{rng};
    for (int i = 0; i < 60000; ++i) {
        int32_t* p = &patch[size_t(i) * 3];
        if (k[0] != 0) {
            const double g1 = gauss.next(), g2 = gauss.next(), g3 = gauss.next();
            p[0] = int32_t(std::trunc(g3 * a + 0.5));
            p[1] = int32_t(std::trunc(g2 * a + 0.5));
            p[2] = int32_t(std::trunc(g1 * a + 0.5));
        } else {
            p[0] = p[1] = p[2] = int32_t(std::trunc(gauss.next() * a + 0.5));
        }
    }
    // Overlapping copies along the pixels, the last one cut at the end.
    for (size_t pos = 0; pos < total; pos += size_t(rng.next() % 30000 + 15000))
        std::copy_n(patch.begin(), std::min<size_t>(60000, total - pos) * 3, field.begin() + pos * 3);
    if (enlarge && f > 1.000001)
        refEnlarge(field, w, h, f, rng);
    return field;
}

template <typename T>
QString firstDifference(const std::vector<int32_t>& expected, const std::vector<T>& got, int w)
{
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != int32_t(got[i]))
            return QStringLiteral("pixel %1,%2 channel %3: %4, expected %5")
                .arg(i / 3 % w).arg(i / 3 / w).arg(i % 3).arg(int32_t(got[i])).arg(expected[i]);
    return QString();
}

// The result FilmApply should give: `field` laid over the working rows
// (the caller's rows reversed unless top-down), gains from `table`, and
// the result in the caller's order (or upside down with the flag).
BgrTestImage withGrain(const BgrTestImage& in, const uint8_t* table, const std::vector<int32_t>& field, int topDown)
{
    BgrTestImage out(in.width, in.height, in.stride - in.width * 3);
    for (int wy = 0; wy < in.height; ++wy) {
        const int src = topDown ? wy : in.height - 1 - wy;
        const int dst = in.height - 1 - wy;
        for (int x = 0; x < in.width; ++x) {
            const uint8_t* p = in.px(x, src);
            const int cell = (p[2] >> 4) * 256 + (p[1] >> 4) * 16 + (p[0] >> 4);
            for (int k = 0; k < 3; ++k)
                out.px(x, dst)[k] = uint8_t(std::clamp(
                    p[k] + ((table[cell * 3 + k] * field[(size_t(wy) * in.width + x) * 3 + k]) >> 8), 0, 255));
        }
    }
    return out;
}

bool sameResult(const FilmImage& image, const BgrTestImage& expected)
{
    for (int y = 0; y < expected.height; ++y)
        if (std::memcmp(image.pixels + size_t(y) * image.rowBytes, expected.px(0, y), size_t(expected.width) * 3) != 0)
            return false;
    return true;
}

}  // namespace

class TestFilmGrain : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        FilmFaultInjectAfter(-1);
        FilmFreeData();
    }

    void cubicKernel_data();
    void cubicKernel();
    void weightCurve_data();
    void weightCurve();
    void fieldMatchesReference_data();
    void fieldMatchesReference();
    void fieldWithoutGrain();
    void strengthBound();
    void enlarge_data();
    void enlarge();
    void enlargeRefusals();
    void applyMatchesField_data();
    void applyMatchesField();
    void shortOfMemory_data();
    void shortOfMemory();
};

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

void TestFilmGrain::fieldMatchesReference_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("strength");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Every grain at the largest scale, where each of its constants shows
    // (blur factors from 1.52 to 3.77: bilinear and cubic enlargement).
    for (int index = 1; index <= 23; ++index)
        QTest::addRow("grain %d, scale 10", index) << index << 10.0 << 60 + 29 * index << 307 << 229;
    QTest::newRow("3 at scale 1: plain tiling") << 3 << 1.0 << 100 << 401 << 330;
    QTest::newRow("1 bilinear") << 1 << 1.0 << 100 << 173 << 121;
    QTest::newRow("13 mono bilinear") << 13 << 1.0 << 100 << 640 << 120;
    QTest::newRow("12 scale 2") << 12 << 2.0 << 100 << 250 << 250;
    QTest::newRow("9 scale 0") << 9 << 0.0 << 37 << 200 << 150;
    QTest::newRow("21 strong") << 21 << 3.0 << 5000 << 180 << 140;
    QTest::newRow("4 tall, cubic") << 4 << 7.0 << 250 << 61 << 997;
    QTest::newRow("1 x 1") << 17 << 10.0 << 100 << 1 << 1;
    QTest::newRow("1 x 7") << 1 << 1.0 << 100 << 1 << 7;
    QTest::newRow("301 x 1") << 23 << 10.0 << 100 << 301 << 1;
    QTest::newRow("2 x 3") << 21 << 3.0 << 100 << 2 << 3;
    QTest::newRow("beyond the tables") << 24 << 10.0 << 100 << 50 << 40;
}

void TestFilmGrain::fieldMatchesReference()
{
    QFETCH(int, index);
    QFETCH(double, scale);
    QFETCH(int, strength);
    QFETCH(int, width);
    QFETCH(int, height);
    int code = -9;
    const std::vector<int16_t> got = makeField(width, height, index, strength, scale, &code);
    QCOMPARE(code, 0);
    const std::vector<int32_t> expected = refField(width, height, index, strength, scale);
    const QString diff = firstDifference(expected, got, width);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    if (index <= 23 && width * height > 100)
        QVERIFY(maxAbs(got) > 0);
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
    // Out-of-range scales are clamped like the setter does.
    QVERIFY(makeField(40, 30, 4, 100, 1e300) == makeField(40, 30, 4, 100, kFilmGrainScaleMax));
    QVERIFY(makeField(40, 30, 4, 100, -3.0) == makeField(40, 30, 4, 100, 0.0));
}

void TestFilmGrain::strengthBound()
{
    // The largest Gaussian the polar draw can give. |u| k <= sqrt(-2 ln s),
    // below 4.2 once s > 1.5e-4, that is once u or v lies more than 201
    // steps from the middle of the 15-bit range; so the largest value lies
    // within that window.
    double gMax = 0;
    for (int r = 16183; r <= 16584; ++r)
        for (int q = 16183; q <= 16584; ++q) {
            const double u = 2.0 * r / 32767.0 - 1.0, v = 2.0 * q / 32767.0 - 1.0, s = u * u + v * v;
            if (s < 1.0 && s > 0.0)
                gMax = std::max(gMax, std::fabs(u) * std::sqrt(-2.0 * std::log(s) / s));
        }
    QVERIFY(gMax > 5.8 && gMax < 5.81);
    // The largest amplitude per unit of strength, at the largest scale.
    double aMax = 0;
    for (const auto& k : kRefGrain)
        aMax = std::max(aMax, ((kFilmGrainScaleMax - 1) * k[3] + 1) * (k[4] * k[5] * 0.005));
    // The bound is the last strength whose grain still fits 16 bits.
    QVERIFY(std::trunc(gMax * aMax * kFilmStrengthMax + 0.5) <= 32767);
    QVERIFY(std::trunc(gMax * aMax * (kFilmStrengthMax + 1) + 0.5) > 32767);

    // At the bound the field is exact (no clamping, no wrap), either way up;
    // beyond it the strength is clamped.
    const int w = 257, h = 190;
    for (int strength : {kFilmStrengthMax, -kFilmStrengthMax}) {
        const std::vector<int16_t> got = makeField(w, h, 21, strength, kFilmGrainScaleMax);
        const QString diff = firstDifference(refField(w, h, 21, strength, kFilmGrainScaleMax), got, w);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QVERIFY2(maxAbs(got) > 12000, qPrintable(QString::number(maxAbs(got))));
    }
    const std::vector<int16_t> top = makeField(w, h, 21, kFilmStrengthMax, kFilmGrainScaleMax);
    QVERIFY(makeField(w, h, 21, kFilmStrengthMax + 1, kFilmGrainScaleMax) == top);
    QVERIFY(makeField(w, h, 21, INT_MAX, kFilmGrainScaleMax) == top);
    QVERIFY(makeField(w, h, 21, INT_MIN, kFilmGrainScaleMax) == makeField(w, h, 21, -kFilmStrengthMax, kFilmGrainScaleMax));
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
    // The same crop and the same sums as the reference.
    std::vector<int16_t> f(size_t(w) * h * 3);
    std::vector<int32_t> ref(f.size());
    Rand15 fill(8);
    for (size_t i = 0; i < f.size(); ++i)
        ref[i] = f[i] = int16_t(fill.next() - 16384);
    Rand15 rng(4);
    Rand15 refRng(4);
    QCOMPARE(FilmGrainEnlarge(f.data(), w, h, factor, rng), 0);
    refEnlarge(ref, w, h, factor, refRng);
    const QString diff = firstDifference(ref, f, w);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestFilmGrain::enlargeRefusals()
{
    std::vector<int16_t> f(30, 5);
    Rand15 rng(1);
    QCOMPARE(FilmGrainEnlarge(f.data(), 5, 2, 0.99, rng), -1);
    QCOMPARE(FilmGrainEnlarge(f.data(), 5, 2, std::nan(""), rng), -1);
    QCOMPARE(FilmGrainEnlarge(nullptr, 5, 2, 1.5, rng), -1);
    QCOMPARE(FilmGrainEnlarge(f.data(), 0, 2, 1.5, rng), -1);
    std::vector<int16_t> out(30, 9);
    QCOMPARE(FilmGrainEnlargeBilinear(nullptr, 2, 2, out.data(), 5, 2), -1);
    QCOMPARE(FilmGrainEnlargeCubic(f.data(), 0, 2, out.data(), 5, 2), -1);
    QCOMPARE(FilmGrainEnlargeCubic(f.data(), 2, 2, out.data(), 5, 0), -1);
    QVERIFY(std::all_of(out.begin(), out.end(), [](int16_t v) { return v == 9; }));
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
    QTest::newRow("7 bilinear, turned over") << 7 << -100 << 1.0 << 1;
    QTest::newRow("15 cubic, mono") << 15 << 150 << 10.0 << 0;
    QTest::newRow("22 strong") << 22 << 2400 << 4.0 << 0;
    QTest::newRow("5, all gains zero") << 5 << 100 << 1.0 << 0;
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
    const std::vector<uint8_t> blob = makeBlob(4); // grain 5 has only zero gains
    QCOMPARE(FilmLoadData(blob.data(), kFilmDataSize), 0);
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, topDown), 0);
    FilmReset(&f.image);
    QCOMPARE(FilmSelectGrain(&f.image, index), 0);
    QCOMPARE(FilmSetStrength(&f.image, strength), 0);
    QCOMPARE(FilmSetGrainScale(&f.image, scale), 0);
    QCOMPARE(FilmApply(&f.image), 0);

    const BgrTestImage expected = withGrain(in, grainTable(blob, index), refField(in.width, in.height, index, strength, scale), topDown);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            if (std::memcmp(f.image.pixels + size_t(y) * f.image.rowBytes + x * 3, expected.px(x, y), 3) != 0)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    // Applying again draws the same grain.
    QCOMPARE(FilmApply(&f.image), 0);
    QVERIFY(sameResult(f.image, expected));
}

void TestFilmGrain::shortOfMemory_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("cubic") << 17 << 10.0 << 300 << 200;
    // Large enough for helper threads, whose start can fail too.
    QTest::newRow("bilinear, in bands") << 1 << 1.0 << 640 << 560;
}

void TestFilmGrain::shortOfMemory()
{
    QFETCH(int, index);
    QFETCH(double, scale);
    QFETCH(int, width);
    QFETCH(int, height);
    const std::vector<uint8_t> blob = makeBlob();
    QCOMPARE(FilmLoadData(blob.data(), kFilmDataSize), 0);
    BgrTestImage in(width, height, 3);
    in.fillScene(9);
    const uint8_t* table = grainTable(blob, index);
    const std::vector<int32_t> tiled = refField(width, height, index, 100, scale, false);
    const std::vector<int32_t> full = refField(width, height, index, 100, scale);
    // What may come out: no grain (no room for the field), the tiled grain
    // without its enlargement (no room for that), or the full grain.
    const BgrTestImage outcomes[3] = {
        withGrain(in, table, std::vector<int32_t>(size_t(width) * height * 3, 0), 0),
        withGrain(in, table, tiled, 0),
        withGrain(in, table, full, 0),
    };
    QVERIFY(!outcomes[1].samePixels(outcomes[2]));

    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), width, height, in.stride, 0), 0);
    FilmReset(&f.image);
    QCOMPARE(FilmSelectGrain(&f.image, index), 0);
    QCOMPARE(FilmSetGrainScale(&f.image, scale), 0);
    // A record that never had a result cannot render without memory.
    {
        Film fresh;
        QCOMPARE(FilmSetImage(&fresh.image, in.data(), width, height, in.stride, 0), 0);
        FilmFaultInjectAfter(0);
        QCOMPARE(FilmApply(&fresh.image), -2);
        FilmFaultInjectAfter(-1);
    }
    // Count what an apply acquires once its result buffer exists.
    QCOMPARE(FilmApply(&f.image), 0);
    constexpr int kMany = 1 << 20;
    FilmFaultInjectAfter(kMany);
    QCOMPARE(FilmApply(&f.image), 0);
    const int used = kMany - FilmFaultInjectAfter(-1);
    QVERIFY(sameResult(f.image, outcomes[2]));
    QVERIFY(used > 10);

    // Each acquisition failing in turn (and every one after it): the call
    // returns, and the picture is one of the three.
    int seen[3] = {};
    for (int n = 0; n < used; ++n) {
        FilmFaultInjectAfter(n);
        const int code = FilmApply(&f.image);
        FilmFaultInjectAfter(-1);
        QCOMPARE(code, 0);
        int which = -1;
        for (int k = 0; k < 3 && which < 0; ++k)
            if (sameResult(f.image, outcomes[k]))
                which = k;
        QVERIFY2(which >= 0, qPrintable(QStringLiteral("acquisition %1 of %2").arg(n).arg(used)));
        ++seen[which];
    }
    QVERIFY(seen[0] > 0);
    QVERIFY(seen[1] > 0);

    // The field and the enlargement on their own: the same outcomes, or -2
    // with the field untouched.
    for (int n = 0; n < 40; ++n) {
        std::vector<int16_t> field(size_t(width) * height * 3, 7);
        FilmFaultInjectAfter(n);
        const int code = FilmGrainField(field.data(), width, height, index, 100, scale);
        FilmFaultInjectAfter(-1);
        if (code != 0) {
            QCOMPARE(code, -2);
            QVERIFY(std::all_of(field.begin(), field.end(), [](int16_t v) { return v == 7; }));
        } else {
            QVERIFY(firstDifference(full, field, width).isEmpty() || firstDifference(tiled, field, width).isEmpty());
        }
        std::vector<int16_t> before(tiled.begin(), tiled.end()), after = before;
        Rand15 rng(5);
        FilmFaultInjectAfter(n);
        const int enlarged = FilmGrainEnlarge(after.data(), width, height, 2.5, rng);
        FilmFaultInjectAfter(-1);
        QVERIFY(enlarged == 0 || (enlarged == -2 && after == before));
    }
}

QTEST_GUILESS_MAIN(TestFilmGrain)
#include "tst_filmgrain.moc"
