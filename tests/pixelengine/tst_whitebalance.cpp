#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "AdjustWhiteBalance.h"
#include "AdjustWhiteBalanceSrgb.h"
#include "BgrTestImage.h"
#include "ColorTemperature.h"
#include "ColorTemperatureMatrix.h"
#include "Rand15.h"

namespace {

// Each channel walks through all 256 values, shifted against the others.
BgrTestImage allValues()
{
    BgrTestImage p(256, 2, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 256; ++x) {
            p.px(x, y)[0] = static_cast<uint8_t>(x);
            p.px(x, y)[1] = static_cast<uint8_t>(x + 85 * (y + 1));
            p.px(x, y)[2] = static_cast<uint8_t>(x + 170);
        }
    return p;
}

struct Context {
    AdjustWhiteBalanceContext* ctx = nullptr;
    Context() { AdjustWhiteBalanceCreate(&ctx); }
    ~Context() { AdjustWhiteBalanceDestroy(ctx); }
};

struct Tables {
    uint16_t lin[256];
    uint8_t enc[4096];
    Tables()
    {
        AdjustBuildLinearLut(lin);
        AdjustBuildEncodeLut(enc);
    }
};

AdjustWhiteBalanceParams params(int mode, int kelvin = 5000, int tint = 10)
{
    AdjustWhiteBalanceParams p;
    p.mode = mode;
    p.kelvin = kelvin;
    p.tint = tint;
    return p;
}

// The process-wide matrix and clip levels.
struct State {
    double m[9], clip[3];
    bool operator==(const State& o) const
    {
        return std::equal(m, m + 9, o.m) && std::equal(clip, clip + 3, o.clip);
    }
};

State current()
{
    State s;
    AdjustWhiteBalanceState(s.m, s.clip);
    return s;
}

State stateFor(int kelvin, int tint)
{
    AdjustWhiteBalanceSetTemperature(kelvin, tint);
    return current();
}

const State kIdentity = {{1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, 1, 1}};

// The kernel written out plainly from the process-wide matrix and clip levels.
void referenceApply(BgrTestImage& p, const Tables& t)
{
    const State s = current();
    int k[9];
    for (int j = 0; j < 9; ++j)
        k[j] = static_cast<int>(s.m[j] * 1024 + 0.5);
    const int limB = s.clip[0] < 0 ? 0 : static_cast<int>(s.clip[0] * 4095 + 0.5);
    const int limG = static_cast<int>(s.clip[1] * 4095 + 0.5);
    const int limR = s.clip[2] < 0 ? 0 : static_cast<int>(s.clip[2] * 4095 + 0.5);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t* q = p.px(x, y);
            const int b = std::min<int>(t.lin[q[0]], limB);
            const int g = std::min<int>(t.lin[q[1]], limG);
            const int r = std::min<int>(t.lin[q[2]], limR);
            int o[3];
            for (int row = 0; row < 3; ++row) {
                o[row] = (k[row * 3] * b + k[row * 3 + 1] * g + k[row * 3 + 2] * r) >> 10;
                o[row] = std::clamp(o[row], 0, 4095);
            }
            q[0] = t.enc[o[0]];
            q[1] = t.enc[o[1]];
            q[2] = t.enc[o[2]];
        }
}

// The colour matrix built from the published constants (sRGB primaries to
// XYZ under D50 in four and five digits, the Bradford cone matrix), without
// the library's helpers.
using M3 = std::array<double, 9>;

M3 mul(const M3& a, const M3& b)
{
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                r[i * 3 + j] += a[i * 3 + k] * b[k * 3 + j];
    return r;
}

std::array<double, 3> mul(const M3& a, const std::array<double, 3>& v)
{
    return {a[0] * v[0] + a[1] * v[1] + a[2] * v[2], a[3] * v[0] + a[4] * v[1] + a[5] * v[2],
            a[6] * v[0] + a[7] * v[1] + a[8] * v[2]};
}

M3 inverse(const M3& m)
{
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
                       + m[2] * (m[3] * m[7] - m[4] * m[6]);
    M3 r = {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
            m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
            m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    for (double& v : r)
        v /= det;
    return r;
}

std::array<double, 3> xyz(double x, double y)
{
    if (x < 0.01 && y < 0.01)
        return {1, 1, 98};
    x = std::max(x, 0.01);
    y = std::max(y, 0.01);
    if (x + y > 0.99) {
        const double f = 0.99 / (x + y);
        x *= f;
        y *= f;
    }
    return {x / y, 1, (1 - x - y) / y};
}

const M3 kS4 = {0.4361, 0.3851, 0.1431, 0.2225, 0.7169, 0.0606, 0.0139, 0.0971, 0.7141};
const M3 kS5 = {0.43607, 0.38515, 0.14307, 0.22249, 0.71687, 0.06061, 0.01392, 0.09708, 0.7141};
const M3 kCone = {0.8951, 0.2664, -0.1614, -0.7502, 1.7135, 0.0367, 0.0389, -0.0685, 1.0296};

M3 bradford(double x1, double y1, double x2, double y2)
{
    const auto r1 = mul(kCone, xyz(x1, y1)), r2 = mul(kCone, xyz(x2, y2));
    M3 d{};
    for (int k = 0; k < 3; ++k)
        d[k * 4] = std::max(0.1, r2[k] / r1[k]);
    return mul(inverse(kCone), mul(d, kCone));
}

// The matrix in blue-green-red order and the blue, green, red clip levels.
void whiteMatrix(double x, double y, double bgr[9], double clip[3])
{
    M3 m1 = mul(inverse(kS4), bradford(0.3457, 0.3585, x, y));
    const auto g = mul(m1, xyz(0.3457, 0.3585));
    const double top = std::max({g[0], g[1], g[2]});
    for (double& v : m1)
        v /= top;
    const M3 m2 = mul(inverse(kS5), inverse(m1));
    for (int i = 0; i < 9; ++i)
        bgr[i] = m2[8 - i];
    const auto level = mul(m1, xyz(0.3457, 0.3585));
    clip[0] = level[2];
    clip[1] = level[1];
    clip[2] = level[0];
}

// The sRGB transfer curves, with the thresholds of the original sRGB draft.
double srgbToLinear(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double linearToSrgb(double l)
{
    return l <= 0.00304 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
}

bool close(double a, double b, double tolerance = 1e-9)
{
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::fabs(b));
}

} // namespace

class TestWhiteBalance : public QObject {
    Q_OBJECT
private slots:
    void transferTables();
    void neutralIsIdentityForAllValues_data();
    void neutralIsIdentityForAllValues();
    void whiteStaysWhite_data();
    void whiteStaysWhite();
    void kernelMatchesMatrix_data();
    void kernelMatchesMatrix();
    void manualClampsAndPresets();
    void knownGreys_data();
    void knownGreys();
    void matrixFromPublishedConstants_data();
    void matrixFromPublishedConstants();
    void temperatureOnPlanckianLocus();
    void d50ConvertsToFiveThousandKelvin();
    void temperatureRoundTrip_data();
    void temperatureRoundTrip();
    void colourScienceEdges();
    void automaticOnGreyAndSmallImages();
    void automaticCorrectsColourCast();
    void estimateFallsBackToUnitGains();
    void gainsToTemperatureLimits();
    void rejectsBadRecords_data();
    void rejectsBadRecords();
    void emptyImageStillResolves();
    void warmUpLeavesSevenThousandFiveHundred();
    void matrixHelpers();
    void srgbFilters();
};

void TestWhiteBalance::transferTables()
{
    Tables t;
    for (int v = 0; v < 256; ++v)
        QCOMPARE(int(t.lin[v]), int(srgbToLinear(v / 255.0) * 4095 + 0.5));
    for (int i = 0; i < 4096; ++i)
        QCOMPARE(int(t.enc[i]), int(linearToSrgb(i / 4095.0) * 255 + 0.5));
}

void TestWhiteBalance::neutralIsIdentityForAllValues_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<int>("tint");
    QTest::newRow("manual 5000/10") << 8 << 5000 << 10;
    QTest::newRow("neutral mode") << 0 << 3000 << -40;
}

void TestWhiteBalance::neutralIsIdentityForAllValues()
{
    QFETCH(int, mode);
    QFETCH(int, kelvin);
    QFETCH(int, tint);
    Context c;
    Tables t;
    // Leave a different matrix behind first: the neutral request must replace it.
    AdjustWhiteBalanceSetTemperature(2850, 0);
    BgrTestImage p = allValues();
    const BgrTestImage before = p;
    const auto prm = params(mode, kelvin, tint);
    AdjustImage im = p.image();
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
    QVERIFY(current() == kIdentity);
    for (int v = 0; v < 256; ++v)
        QCOMPARE(int(t.enc[t.lin[v]]), v); // the two tables invert each other
    QVERIFY(p.bytes == before.bytes);
}

void TestWhiteBalance::whiteStaysWhite_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<int>("tint");
    for (int mode = 0; mode <= 7; ++mode)
        QTest::addRow("mode %d", mode) << mode << 5000 << 10;
    for (int kelvin : {2000, 2850, 3800, 4500, 5000, 5500, 6500, 8500, 12000})
        for (int tint : {-150, -60, 0, 10, 75, 150})
            QTest::addRow("manual %d/%d", kelvin, tint) << 8 << kelvin << tint;
}

void TestWhiteBalance::whiteStaysWhite()
{
    QFETCH(int, mode);
    QFETCH(int, kelvin);
    QFETCH(int, tint);
    Context c;
    BgrTestImage p(130, 130, 2); // large enough for one estimate block
    p.fill(255, 255, 255);
    const auto prm = params(mode, kelvin, tint);
    AdjustImage im = p.image();
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
    for (int y = 0; y < p.height; y += 43)
        for (int x = 0; x < p.width; x += 43)
            for (int ch = 0; ch < 3; ++ch)
                QCOMPARE(int(p.px(x, y)[ch]), 255);
}

void TestWhiteBalance::kernelMatchesMatrix_data()
{
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<int>("tint");
    QTest::addColumn<int>("pad");
    QTest::newRow("tungsten") << 2850 << 0 << 0;
    QTest::newRow("warm, green") << 3200 << -120 << 3;
    QTest::newRow("cool, magenta") << 9000 << 90 << 1;
    QTest::newRow("coolest") << 12000 << 150 << 0;
    QTest::newRow("warmest") << 2000 << -150 << 2;
}

void TestWhiteBalance::kernelMatchesMatrix()
{
    QFETCH(int, kelvin);
    QFETCH(int, tint);
    QFETCH(int, pad);
    Context c;
    Tables t;
    // Alternate two settings so a table kept from the previous call would show.
    for (int pass = 0; pass < 3; ++pass) {
        const bool other = pass == 1;
        BgrTestImage p(67, 9, pad);
        p.fillRandom(1234 + pass);
        BgrTestImage expected = p;
        const auto prm = params(8, other ? 6500 : kelvin, other ? 10 : tint);
        AdjustImage im = p.image();
        QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
        referenceApply(expected, t);
        QVERIFY(p.bytes == expected.bytes);
        QVERIFY(p.paddingIntact());
    }
}

void TestWhiteBalance::manualClampsAndPresets()
{
    // Manual kelvin is clamped to 2000..12000 and the tint to -150..150;
    // presets ignore the record's kelvin and tint.
    Context c;
    BgrTestImage p(40, 7);
    p.fillRandom(77);
    AdjustImage im = p.image();
    const int cases[][5] = {{8, 1000, 400, 2000, 150}, {8, 20000, -999, 12000, -150}, {2, 3100, -77, 5500, 10},
                            {3, 3100, -77, 6500, 10},  {4, 3100, -77, 7500, 10},      {5, 3100, -77, 2850, 0},
                            {6, 3100, -77, 3800, 21},  {7, 3100, -77, 5500, 0}};
    for (const auto& row : cases) {
        const auto prm = params(row[0], row[1], row[2]);
        QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
        const State resolved = current();
        QVERIFY2(resolved == stateFor(row[3], row[4]), qPrintable(QString("mode %1 %2/%3").arg(row[0]).arg(row[1]).arg(row[2])));
    }
}

void TestWhiteBalance::knownGreys_data()
{
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<int>("tint");
    QTest::addColumn<QList<int>>("out"); // B, G, R of grey 128
    QTest::newRow("6500/10") << 6500 << 10 << QList<int>{127, 146, 159};
    QTest::newRow("3000/0") << 3000 << 0 << QList<int>{228, 166, 108};
    QTest::newRow("2000/150") << 2000 << 150 << QList<int>{168, 181, 95};
}

void TestWhiteBalance::knownGreys()
{
    QFETCH(int, kelvin);
    QFETCH(int, tint);
    QFETCH(QList<int>, out);
    Context c;
    BgrTestImage p(4, 3, 1);
    p.fill(128, 128, 128);
    const auto prm = params(8, kelvin, tint);
    AdjustImage im = p.image();
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
    QCOMPARE(QList<int>({p.px(2, 1)[0], p.px(2, 1)[1], p.px(2, 1)[2]}), out);
}

void TestWhiteBalance::matrixFromPublishedConstants_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("D65") << 0.3127 << 0.3290;
    QTest::newRow("illuminant A") << 0.4476 << 0.4074;
    QTest::newRow("cool, green") << 0.28 << 0.31;
    QTest::newRow("past the locus, scaled") << 0.7 << 0.5;
}

void TestWhiteBalance::matrixFromPublishedConstants()
{
    QFETCH(double, x);
    QFETCH(double, y);
    double expected[9], expectedClip[3], m[9], clip[3];
    whiteMatrix(x, y, expected, expectedClip);
    QCOMPARE(AdjustBuildWhiteMatrix(x, y), 0);
    AdjustWhiteBalanceState(m, clip);
    for (int i = 0; i < 9; ++i)
        QVERIFY2(close(m[i], expected[i]), qPrintable(QString("m[%1] %2 vs %3").arg(i).arg(m[i], 0, 'g', 12).arg(expected[i], 0, 'g', 12)));
    for (int i = 0; i < 3; ++i)
        QVERIFY2(close(clip[i], expectedClip[i]), qPrintable(QString("clip[%1]").arg(i)));
    double b[9];
    AdjustBradfordMatrix(b, 0.3457, 0.3585, x, y);
    const M3 rb = bradford(0.3457, 0.3585, x, y);
    for (int i = 0; i < 9; ++i)
        QVERIFY(close(b[i], rb[i]));
}

void TestWhiteBalance::temperatureOnPlanckianLocus()
{
    // Chromaticities of the black body at temperatures on the table's rows.
    const double locus[][3] = {{2000, 0.52669, 0.41331}, {2500, 0.47701, 0.41368}, {4000, 0.38052, 0.37673},
                               {5000, 0.34510, 0.35162}, {10000, 0.28071, 0.28838}};
    for (const auto& row : locus) {
        double x = 0, y = 0;
        QCOMPARE(AdjustTemperatureToXy(row[0], 0, &x, &y), 0);
        QVERIFY2(std::fabs(x - row[1]) < 2e-4 && std::fabs(y - row[2]) < 2e-4,
                 qPrintable(QString("%1 K: %2, %3").arg(row[0]).arg(x, 0, 'f', 5).arg(y, 0, 'f', 5)));
    }
}

void TestWhiteBalance::d50ConvertsToFiveThousandKelvin()
{
    // Gains 1, 1, 1: their neutral is the chromaticity of the sRGB matrix's white.
    const double neutral[3] = {1, 1, 1};
    double x = 0, y = 0, kelvin = 0, tint = 0;
    AdjustNeutralToXy(neutral, &x, &y);
    QVERIFY(std::fabs(x - 0.3457) < 1e-5);
    QVERIFY(std::fabs(y - 0.3585) < 1e-5);
    QCOMPARE(AdjustXyToTemperature(x, y, &kelvin, &tint), 1);
    QVERIFY2(std::fabs(kelvin - 5000.65) < 0.01, qPrintable(QString::number(kelvin, 'f', 4)));
    QVERIFY2(std::fabs(tint - 9.56) < 0.005, qPrintable(QString::number(tint, 'f', 4)));
}

void TestWhiteBalance::temperatureRoundTrip_data()
{
    QTest::addColumn<int>("tint");
    QTest::newRow("tint 0") << 0;
    QTest::newRow("tint 10") << 10;
    QTest::newRow("tint -80") << -80;
    QTest::newRow("tint 120") << 120;
}

void TestWhiteBalance::temperatureRoundTrip()
{
    QFETCH(int, tint);
    double worst = 0;
    for (int kelvin = 2000; kelvin <= 12000; kelvin += 5) {
        double x, y, k2, t2;
        QCOMPARE(AdjustTemperatureToXy(kelvin, tint, &x, &y), 0);
        AdjustXyToTemperature(x, y, &k2, &t2);
        worst = std::max(worst, std::fabs(k2 - kelvin));
        QVERIFY2(std::fabs(k2 - kelvin) < 0.1, qPrintable(QString("%1 K -> %2").arg(kelvin).arg(k2, 0, 'f', 4)));
        QVERIFY2(std::fabs(t2 - tint) < 0.05, qPrintable(QString("%1 K tint %2 -> %3").arg(kelvin).arg(tint).arg(t2)));
    }
    // Isotherm rows reproduce their own temperature exactly.
    for (int row = 1; row < kAdjustRobertsonRows; ++row) {
        const double kelvin = 1e6 / kAdjustRobertson[row].r;
        double x, y, k2, t2;
        AdjustTemperatureToXy(kelvin, 0, &x, &y);
        AdjustXyToTemperature(x, y, &k2, &t2);
        QVERIFY(std::fabs(k2 - kelvin) < 1e-6 * kelvin);
    }
}

void TestWhiteBalance::colourScienceEdges()
{
    // Temperatures that are not positive numbers are refused with D50.
    double x = 0, y = 0;
    QCOMPARE(AdjustTemperatureToXy(0, 10, &x, &y), -2);
    QCOMPARE(x, kAdjustD50x);
    QCOMPARE(y, kAdjustD50y);
    QCOMPARE(AdjustTemperatureToXy(-500, 10, &x, &y), -2);
    QCOMPARE(AdjustTemperatureToXy(std::nan(""), 10, &x, &y), -2);
    // Below the table's last line the line pair is extrapolated, still finite.
    QCOMPARE(AdjustTemperatureToXy(1000, 0, &x, &y), 0);
    QVERIFY(std::isfinite(x) && std::isfinite(y));
    // Extremes of the inverse stay within the table's range.
    double k = 0, t = 0;
    AdjustXyToTemperature(0.25, 0.25, &k, &t);
    QVERIFY(k <= 100000.0 + 1e-6);
    AdjustXyToTemperature(0.6, 0.38, &k, &t);
    QVERIFY(k >= 1e6 / 600 - 1e-6);
    QCOMPARE(AdjustXyToTemperature(std::nan(""), 0.3, &k, &t), -2);
    QVERIFY(std::isfinite(k) && std::isfinite(t));
    // xy and XYZ: both coordinates tiny, no light at all, not numbers.
    double xyz[3];
    AdjustXyToXyz(xyz, 0.001, 0.005);
    QCOMPARE(xyz[0], 1.0);
    QCOMPARE(xyz[1], 1.0);
    QCOMPARE(xyz[2], 98.0);
    const double none[3] = {0, 0, 0};
    AdjustXyzToXy(&x, &y, none);
    QCOMPARE(x, 0.3457);
    QCOMPARE(y, 0.3585);
    AdjustXyToXyz(xyz, std::nan(""), std::numeric_limits<double>::infinity());
    QVERIFY(std::isfinite(xyz[0]) && std::isfinite(xyz[2]));
}

void TestWhiteBalance::automaticOnGreyAndSmallImages()
{
    Context c;
    Tables t;
    double gb = 0, gg = 0, gr = 0;
    BgrTestImage grey(300, 260, 1);
    grey.fill(90, 90, 90);
    QCOMPARE(AdjustWhiteBalanceEstimate(&gb, &gg, &gr, grey.data(), grey.width, grey.height, grey.stride, t.lin), 0);
    QCOMPARE(gb, 1.0);
    QCOMPARE(gg, 1.0);
    QCOMPARE(gr, 1.0);

    // Grey, and a coloured picture too small for one block: the identity matrix.
    BgrTestImage small(127, 200);
    small.fillRandom(5);
    for (BgrTestImage* p : {&grey, &small}) {
        AdjustWhiteBalanceSetTemperature(9000, 40);
        BgrTestImage before = *p;
        const auto prm = params(1);
        AdjustImage im = p->image();
        QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
        QVERIFY(current() == kIdentity);
        QVERIFY(p->bytes == before.bytes);
    }
}

void TestWhiteBalance::automaticCorrectsColourCast()
{
    Context c;
    Tables t;
    // A bluish grey: blue strongest, red weakest. Right and bottom remainders
    // (outside whole blocks) are painted red and must not count.
    BgrTestImage p(128 * 3 + 50, 128 * 2 + 70, 2);
    p.fill(150, 120, 100);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (x >= 384 || y >= 256) {
                p.px(x, y)[0] = 0;
                p.px(x, y)[1] = 0;
                p.px(x, y)[2] = 255;
            }
    double gb = 0, gg = 0, gr = 0;
    QCOMPARE(AdjustWhiteBalanceEstimate(&gb, &gg, &gr, p.data(), p.width, p.height, p.stride, t.lin), 0);
    const double lb = t.lin[150], lg = t.lin[120], lr = t.lin[100];
    QCOMPARE(gb, 1.0);
    QVERIFY(std::fabs(gg - lb / lg) < 1e-9);
    QVERIFY(std::fabs(gr - lb / lr) < 1e-9);

    int kelvin = 0, tint = 0;
    AdjustWhiteBalanceGainsToTemperature(&kelvin, &tint, gr, gg, gb);
    QVERIFY(kelvin > 5000); // a cool cast reads as a high temperature
    QCOMPARE(kelvin % 50, 0);

    // The automatic mode pulls the picture towards grey.
    const auto prm = params(1);
    AdjustImage im = p.image();
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
    const uint8_t* q = p.px(10, 10);
    // The temperature and tint found for the cast neutralise it almost exactly.
    QVERIFY(std::abs(q[0] - q[2]) <= 3);
    QVERIFY(std::abs(q[1] - q[2]) <= 3);
    QVERIFY(p.paddingIntact());
}

void TestWhiteBalance::estimateFallsBackToUnitGains()
{
    Tables t;
    double gb = 7, gg = 7, gr = 7;
    uint8_t pixel[3] = {10, 20, 30};
    // A block table for this geometry cannot exist; the estimate must fail
    // cleanly before touching pixels, with gains that mean no correction.
    QCOMPARE(AdjustWhiteBalanceEstimate(&gb, &gg, &gr, pixel, 0x7fffffff / 3, 0x7fffffff, 0x7fffffff, t.lin), -201);
    QCOMPARE(gb, 1.0);
    QCOMPARE(gg, 1.0);
    QCOMPARE(gr, 1.0);
    // The automatic resolve then uses the identity, whatever was set before.
    AdjustWhiteBalanceSetTemperature(2850, 0);
    QCOMPARE(AdjustWhiteBalanceResolve(1, 0, 0, pixel, 0x7fffffff / 3, 0x7fffffff, 0x7fffffff, t.lin), 0);
    QVERIFY(current() == kIdentity);
    // Unusable pixels likewise.
    gb = gg = gr = 7;
    QCOMPARE(AdjustWhiteBalanceEstimate(&gb, &gg, &gr, nullptr, 256, 256, 768, t.lin), -2);
    QCOMPARE(gr, 1.0);
    QCOMPARE(AdjustWhiteBalanceEstimate(&gb, &gg, &gr, pixel, 256, 256, 100, t.lin), -2);
}

void TestWhiteBalance::gainsToTemperatureLimits()
{
    int k = 0, t = 0;
    // Extreme casts land on the clamps.
    // Much red gain: the light lacked red, i.e. it was blue, a high temperature.
    AdjustWhiteBalanceGainsToTemperature(&k, &t, 50.0, 1.0, 0.02);
    QCOMPARE(k, 12000);
    AdjustWhiteBalanceGainsToTemperature(&k, &t, 0.02, 1.0, 50.0);
    QCOMPARE(k, 2000);
    AdjustWhiteBalanceGainsToTemperature(&k, &t, 1.0, 0.01, 1.0);
    QCOMPARE(t, 150);
    AdjustWhiteBalanceGainsToTemperature(&k, &t, 1.0, 100.0, 1.0);
    QCOMPARE(t, -150);
    // A gain that is not positive counts as 1; gains 1 are D50, 5000 K and tint 10.
    QCOMPARE(AdjustWhiteBalanceGainsToTemperature(&k, &t, 0.0, -3.0, std::nan("")), 0);
    QCOMPARE(k, 5000);
    QCOMPARE(t, 10);
}

void TestWhiteBalance::rejectsBadRecords_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("stride");
    QTest::addColumn<bool>("nullPixels");
    QTest::newRow("grey 8") << 8 << 2 << 16 << 48 << false;
    QTest::newRow("bgr 16-bit") << 8 << 3 << 16 << 48 << false;
    QTest::newRow("grey 16-bit") << 8 << 4 << 16 << 48 << false;
    QTest::newRow("format 0") << 8 << 0 << 16 << 48 << false;
    QTest::newRow("short stride") << 8 << 1 << 16 << 47 << false;
    QTest::newRow("negative width") << 8 << 1 << -4 << 48 << false;
    QTest::newRow("null pixels") << 8 << 1 << 16 << 48 << true;
    QTest::newRow("mode -1") << -1 << 1 << 16 << 48 << false;
    QTest::newRow("mode 9") << 9 << 1 << 16 << 48 << false;
    QTest::newRow("mode 100000") << 100000 << 1 << 16 << 48 << false;
    QTest::newRow("mode INT_MIN") << int(0x80000000) << 1 << 16 << 48 << false;
}

void TestWhiteBalance::rejectsBadRecords()
{
    QFETCH(int, mode);
    QFETCH(int, format);
    QFETCH(int, width);
    QFETCH(int, stride);
    QFETCH(bool, nullPixels);
    Context c;
    Tables t;
    BgrTestImage p(16, 4, 0);
    p.fillRandom(9);
    const auto before = p.bytes;
    AdjustImage im = adjustImageOf(nullPixels ? nullptr : p.data(), width, 4, stride, format);
    const State kept = stateFor(6500, 10);
    const auto prm = params(mode, 3000, 0);
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), -2);
    if (mode != 8)
        QCOMPARE(AdjustWhiteBalanceResolve(mode, 3000, 0, p.data(), 16, 4, 48, t.lin), -2);
    QVERIFY(p.bytes == before);
    QVERIFY(current() == kept); // a refused call leaves the state alone
}

void TestWhiteBalance::emptyImageStillResolves()
{
    Context c;
    const auto prm = params(8, 3000, 0);
    AdjustImage im; // 0 x 0, no pixels
    QCOMPARE(AdjustWhiteBalanceApply(nullptr, &prm, &im), -1);
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, nullptr, &im), -2);
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, nullptr), -2);
    AdjustWhiteBalanceSetTemperature(5000, 10);
    QCOMPARE(AdjustWhiteBalanceApply(c.ctx, &prm, &im), 0);
    QVERIFY(!(current() == kIdentity));
}

void TestWhiteBalance::warmUpLeavesSevenThousandFiveHundred()
{
    AdjustWhiteBalanceSetTemperature(5000, 10);
    QCOMPARE(AdjustWhiteBalanceWarmUp(), 0);
    const State s = current();
    QVERIFY(s == stateFor(7500, 10));
    // Clip levels: the largest is 1, none above.
    QCOMPARE(std::max({s.clip[0], s.clip[1], s.clip[2]}), 1.0);
}

void TestWhiteBalance::matrixHelpers()
{
    // The products, the inverse and the reversal are pinned by the white
    // matrix; here what it does not reach: a singular matrix, in-place use,
    // the largest entry, blending and normalising rows.
    double a[9], singular[9], out[9];
    AdjustMatrixSet(a, 2, 1, 0, 0, 3, 1, 1, 0, 4);
    AdjustMatrixSet(singular, 1, 2, 3, 2, 4, 6, 0, 1, 1);
    AdjustMatrixSet(out, 9, 9, 9, 9, 9, 9, 9, 9, 9);
    QCOMPARE(AdjustMatrixInverse(out, singular), 0);
    for (double v : out)
        QCOMPARE(v, 9.0);
    QCOMPARE(AdjustMatrixInverse(out, a), 1);

    double v[3] = {1, 2, 3};
    AdjustMatrixMultiplyVector(v, a, v);
    QCOMPARE(v[0], 4.0);
    QCOMPARE(v[2], 13.0);
    QCOMPARE(AdjustMatrixMax(a), 4.0);

    double blend[9], scaled[9];
    AdjustMatrixScale(scaled, a, 2.0);
    AdjustMatrixBlend(blend, scaled, a, 0.25);
    QCOMPARE(blend[0], 0.25 * 4 + 0.75 * 2);

    double rows[9];
    AdjustMatrixSet(rows, 1, 1, 2, -1, 0.5, 0.5, 0, 0, 0);
    AdjustMatrixNormaliseRows(rows, rows);
    QCOMPARE(rows[2], 0.5);
    QCOMPARE(rows[3], -1.0); // sum 0: kept
    QCOMPARE(rows[8], 0.0);
}

void TestWhiteBalance::srgbFilters()
{
    BgrTestImage p(3, 2, 3);
    const uint8_t values[6] = {0, 1, 64, 128, 200, 255};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x)
            p.px(0, y)[x] = values[(x + y) % 6];
    BgrTestImage dec = p, enc = p;
    QCOMPARE(AdjustSrgbDecodeApply(dec.data(), dec.width, dec.height, dec.stride), 1);
    QCOMPARE(AdjustSrgbEncodeApply(enc.data(), enc.width, enc.height, enc.stride), 1);
    QVERIFY(dec.paddingIntact() && enc.paddingIntact());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x) {
            const double c = values[(x + y) % 6] / 255.0;
            QCOMPARE(int(dec.px(0, y)[x]), int(srgbToLinear(c) * 255 + 0.5));
            QCOMPARE(int(enc.px(0, y)[x]), int(linearToSrgb(c) * 255 + 0.5));
        }
    QCOMPARE(int(dec.px(1, 0)[0]), 55); // 128 decodes to about 21.6%
    // Nothing to do, and unusable descriptions.
    QCOMPARE(AdjustSrgbEncodeApply(nullptr, 5, 0, 15), 1);
    QCOMPARE(AdjustSrgbEncodeApply(nullptr, 5, 2, 15), -2);
    QCOMPARE(AdjustSrgbDecodeApply(p.data(), 5, 2, 14), -2);
}

QTEST_GUILESS_MAIN(TestWhiteBalance)
#include "tst_whitebalance.moc"
