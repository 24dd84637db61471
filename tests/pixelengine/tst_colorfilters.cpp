#include <QtTest>

#include "AdjustColor.h"
#include "AdjustLut3d.h"
#include "BgrTestImage.h"
#include "PixelEngine.h"

namespace {

// Applies a kernel to a one-pixel picture and returns its bytes b, g, r
// (-1 each when it wrote past the pixel).
template <typename F>
std::array<int, 3> onePixel(int b, int g, int r, F kernel, int* result = nullptr)
{
    BgrTestImage img(1, 1);
    img.fill(uint8_t(b), uint8_t(g), uint8_t(r));
    const int rc = kernel(img.data(), 1, 1, img.stride);
    if (result)
        *result = rc;
    if (!img.paddingIntact())
        return {-1, -1, -1};
    return {img.px(0, 0)[0], img.px(0, 0)[1], img.px(0, 0)[2]};
}

// Trilinear interpolation of one plane, written directly from the layout.
int cubeReference(int plane, int b, int g, int r)
{
    const uint8_t* p = kAdjustLut3dCube + plane * kAdjustLut3dPlaneSize;
    const int fb = b & 15, fg = g & 15, fr = r & 15;
    int sum = 0;
    for (int dr = 0; dr < 2; ++dr)
        for (int dg = 0; dg < 2; ++dg)
            for (int db = 0; db < 2; ++db) {
                const int w = (db ? fb : 16 - fb) * (dg ? fg : 16 - fg) * (dr ? fr : 16 - fr);
                sum += w * p[((r >> 4) + dr) * 289 + ((g >> 4) + dg) * 17 + (b >> 4) + db];
            }
    return sum >> 12;
}

std::array<int, 3> lutPixel(int b, int g, int r)
{
    return onePixel(b, g, r, [](uint8_t* p, int w, int h, int s) { return AdjustLut3dApply(p, w, h, s); });
}

} // namespace

class TestColorFilters : public QObject {
    Q_OBJECT
private slots:
    // Every byte value and many colours against the two tables written out
    // directly: T for contrast, A and B for saturation.
    void contrastSaturationMatchTables_data()
    {
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("saturation");
        // -90 .. 76: settings where single and double precision truncate
        // differently.
        for (int c : {-100, -90, -88, -76, -65, -64, -52, -37, 0, 1, 30, 52, 76, 99, 100})
            for (int s : {-100, -55, 0, 3, 61, 100})
                QTest::addRow("c%d s%d", c, s) << c << s;
    }
    void contrastSaturationMatchTables()
    {
        QFETCH(int, contrast);
        QFETCH(int, saturation);
        int t[256], a[256], b[256];
        float k = float(contrast) / 200.0f;
        k = k + 1.0f;
        k = k - 1.0f;
        for (int v = 0; v < 256; ++v) {
            t[v] = v < 128 ? v - int(float(64 - std::abs(v - 64)) * k) : v + int(float(64 - std::abs(v - 192)) * k);
            a[v] = (50 - 128 * saturation * v) / 100;
            b[v] = 128 * v - a[v];
        }
        BgrTestImage img(256, 64, 1);
        img.fillRandom(uint32_t(contrast * 1000 + saturation));
        for (int x = 0; x < 256; ++x)
            img.px(x, 0)[0] = img.px(x, 0)[1] = img.px(x, 0)[2] = uint8_t(x);
        const BgrTestImage orig = img;
        QCOMPARE(AdjustContrastSaturationApply(img.data(), img.width, img.height, img.stride, contrast, saturation), 1);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const uint8_t* o = orig.px(x, y);
                int c[3] = {t[o[0]], t[o[1]], t[o[2]]};
                const int mx = std::max(c[0], std::max(c[1], c[2]));
                const int mn = std::min(c[0], std::min(c[1], c[2]));
                for (int ch = 0; ch < 3; ++ch) {
                    const int expected = (saturation == 0 || mx == mn)
                        ? c[ch] : std::clamp((b[c[ch]] + a[mx]) >> 7, 0, 255);
                    if (img.px(x, y)[ch] != expected)
                        QFAIL(qPrintable(QString("pixel %1,%2 channel %3: %4, expected %5")
                                             .arg(x).arg(y).arg(ch).arg(img.px(x, y)[ch]).arg(expected)));
                }
            }
        QVERIFY(img.paddingIntact());
    }

    // A bad value used to return 0 ("success" to callers treating 0 and 1
    // alike) after the contrast had already changed the picture.
    void contrastSaturationRefusesBadValues_data()
    {
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("saturation");
        QTest::newRow("saturation 150") << 20 << 150;
        QTest::newRow("saturation -101") << 20 << -101;
        QTest::newRow("contrast 101") << 101 << 0;
        QTest::newRow("contrast -300") << -300 << 10;
    }
    void contrastSaturationRefusesBadValues()
    {
        QFETCH(int, contrast);
        QFETCH(int, saturation);
        BgrTestImage img(9, 4), orig(9, 4);
        img.fillRandom(8);
        orig.fillRandom(8);
        QCOMPARE(AdjustContrastSaturationApply(img.data(), img.width, img.height, img.stride, contrast, saturation),
                 int(PE_ERR_ARGUMENT));
        QVERIFY(img.samePixels(orig));
    }

    void badDescriptionsAndValues()
    {
        uint8_t px[12] = {};
        QCOMPARE(AdjustContrastSaturationApply(nullptr, 4, 1, 12, 10, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustContrastSaturationApply(px, 4, 1, 11, 10, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustGrayscaleApply(px, -1, 1, 12), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustColorFilterApply(px, 4, 1, 8, 255, 0, 0, 50, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustLut3dApply(nullptr, 4, 1, 12), int(PE_ERR_ARGUMENT));
        // No rows: nothing to do, still success.
        QCOMPARE(AdjustGrayscaleApply(nullptr, 4, 0, 12), 1);
        QCOMPARE(AdjustLut3dApply(px, 4, -3, 12), 1);
        QCOMPARE(AdjustColorFilterApply(px, 4, 0, 12, 255, 0, 0, 50, 1), 1);
        // Colour filter values outside their ranges, the picture left alone.
        BgrTestImage img(3, 3), orig(3, 3);
        img.fillRandom(2);
        orig.fillRandom(2);
        QCOMPARE(AdjustColorFilterApply(img.data(), 3, 3, img.stride, 255, 0, 0, 101, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustColorFilterApply(img.data(), 3, 3, img.stride, 256, 0, 0, 50, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustColorFilterApply(img.data(), 3, 3, img.stride, 0, -1, 0, 50, 0), int(PE_ERR_ARGUMENT));
        QVERIFY(img.samePixels(orig));
    }

    void grayscale()
    {
        BgrTestImage img(5, 3);
        img.fill(10, 20, 30);
        img.px(4, 2)[0] = 255;
        img.px(4, 2)[1] = 255;
        img.px(4, 2)[2] = 255;
        QCOMPARE(AdjustGrayscaleApply(img.data(), img.width, img.height, img.stride), 1);
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(int(img.px(0, 0)[c]), (117 * 10 + 601 * 20 + 306 * 30) >> 10);
            QCOMPARE(int(img.px(4, 2)[c]), 255);
        }
        QVERIFY(img.paddingIntact());
    }

    void colorFilter_data()
    {
        QTest::addColumn<QList<int>>("target");
        QTest::addColumn<int>("opacity");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("in");
        QTest::addColumn<QList<int>>("out");
        // Target red (Yt 76, Cbt -44, Crt 127) on grey 128, worked by hand.
        QTest::newRow("red 100 mode 0 on grey") << QList<int>{255, 0, 0} << 100 << 0 << QList<int>{128, 128, 128}
                                                << QList<int>{0, 0, 126};
        QTest::newRow("red 100 mode 1 on grey") << QList<int>{255, 0, 0} << 100 << 1 << QList<int>{128, 128, 128}
                                                << QList<int>{97, 100, 193};
        QTest::newRow("red 50 mode 1 on grey") << QList<int>{255, 0, 0} << 50 << 1 << QList<int>{128, 128, 128}
                                               << QList<int>{112, 114, 160};
        QTest::newRow("white 50 mode 0") << QList<int>{255, 255, 255} << 50 << 0 << QList<int>{200, 100, 50}
                                         << QList<int>{195, 99, 47};
        QTest::newRow("opacity 0 leaves it") << QList<int>{255, 0, 0} << 0 << 0 << QList<int>{12, 34, 56}
                                             << QList<int>{12, 34, 56};
        // White target: Yt = 255 scales by 255/256, a little more through
        // the fixed-point round trip at saturated colours.
        QTest::newRow("white 100 mode 0 on red") << QList<int>{255, 255, 255} << 100 << 0 << QList<int>{0, 0, 255}
                                                 << QList<int>{0, 0, 251};
        QTest::newRow("white 100 mode 0 on green") << QList<int>{255, 255, 255} << 100 << 0
                                                   << QList<int>{30, 200, 120} << QList<int>{27, 199, 117};
        // Mode 1: luma 255 keeps nearly all of its own colour, luma up to 85
        // takes the full tint.
        QTest::newRow("blue 100 mode 1 on white") << QList<int>{0, 0, 255} << 100 << 1 << QList<int>{255, 255, 255}
                                                  << QList<int>{255, 255, 253};
        QTest::newRow("blue 100 mode 1 on grey 60") << QList<int>{0, 0, 255} << 100 << 1 << QList<int>{60, 60, 60}
                                                    << QList<int>{111, 53, 52};
        // Between the two (luma 157 keeps 107/256 of its own colour), at an
        // opacity whose weight 450.56 rounds up.
        QTest::newRow("blue 44 mode 1 on luma 157") << QList<int>{0, 0, 255} << 44 << 1 << QList<int>{30, 160, 200}
                                                    << QList<int>{93, 155, 183};
    }
    void colorFilter()
    {
        QFETCH(QList<int>, target);
        QFETCH(int, opacity);
        QFETCH(int, mode);
        QFETCH(QList<int>, in);
        QFETCH(QList<int>, out);
        int rc = 0;
        const auto px = onePixel(in[0], in[1], in[2], [&](uint8_t* p, int w, int h, int s) {
            return AdjustColorFilterApply(p, w, h, s, target[0], target[1], target[2], opacity, mode);
        }, &rc);
        QCOMPARE(rc, 1);
        QCOMPARE(QList<int>({px[0], px[1], px[2]}), out);
    }

    void lut3dMatchesTrilinearReference()
    {
        QCOMPARE(int(sizeof(kAdjustLut3dCube)), 14739);
        BgrTestImage img(256, 40);
        img.fillRandom(77);
        for (int x = 0; x < 256; ++x) { // the grey axis and the extremes
            img.px(x, 0)[0] = img.px(x, 0)[1] = img.px(x, 0)[2] = uint8_t(x);
            img.px(x, 1)[0] = uint8_t(x);
            img.px(x, 1)[1] = 0;
            img.px(x, 1)[2] = 255;
        }
        BgrTestImage ref = img;
        QCOMPARE(AdjustLut3dApply(img.data(), img.width, img.height, img.stride), 1);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const uint8_t* s = ref.px(x, y);
                for (int c = 0; c < 3; ++c)
                    QCOMPARE(int(img.px(x, y)[c]), cubeReference(c, s[0], s[1], s[2]));
            }
        QVERIFY(img.paddingIntact());
    }

    // The shipped look: black fixed and white nearly so, grey axis monotone
    // and close to neutral, a little warmth in the highlights and coolness in
    // the shadows, more saturation.
    void lut3dLook()
    {
        int previous = -1;
        for (int v = 0; v < 256; ++v) {
            const auto px = lutPixel(v, v, v);
            const int lum = PixelLuma(px[2], px[1], px[0]);
            QVERIFY2(lum >= previous, qPrintable(QString("grey %1").arg(v)));
            previous = lum;
            QVERIFY2(std::abs(px[0] - px[2]) <= 16, qPrintable(QString("grey %1 tinted too much").arg(v)));
        }
        QCOMPARE(lutPixel(0, 0, 0), (std::array<int, 3>{0, 0, 0}));
        const auto white = lutPixel(255, 255, 255); // 15/16 of the way to node 16
        QVERIFY(white[0] >= 250 && white[1] >= 250 && white[2] >= 250);

        const auto light = lutPixel(190, 190, 190);
        QVERIFY(light[2] > light[0]);
        const auto dark = lutPixel(60, 60, 60);
        QVERIFY(dark[0] > dark[2]);
        const auto colour = lutPixel(90, 120, 170);
        QVERIFY(colour[2] - colour[0] > 170 - 90);
    }

    // Smooth and monotone: each output channel rises along its own input
    // axis, and neighbouring nodes never differ by more than 40.
    void lut3dSmoothAndMonotone()
    {
        const int step[3] = {1, 17, 289}; // blue, green, red axes
        for (int c = 0; c < 3; ++c) {
            const uint8_t* plane = kAdjustLut3dCube + c * kAdjustLut3dPlaneSize;
            for (int i = 0; i < kAdjustLut3dPlaneSize; ++i) {
                const int index[3] = {i % 17, (i / 17) % 17, i / 289};
                for (int axis = 0; axis < 3; ++axis) {
                    if (index[axis] == 16)
                        continue;
                    const int next = plane[i + step[axis]], here = plane[i];
                    if (axis == c && next < here)
                        QFAIL(qPrintable(QString("plane %1 falls at node %2").arg(c).arg(i)));
                    if (std::abs(next - here) > 40)
                        QFAIL(qPrintable(QString("plane %1 jumps at node %2").arg(c).arg(i)));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestColorFilters)
#include "tst_colorfilters.moc"
