#include <QtTest>

#include <vector>

#include "AdjustWarp.h"
#include "BgrTestImage.h"
#include "PixelEngine.h"

namespace {

// A picture whose bytes tell where they came from: blue = x, green = y.
BgrTestImage coordinates(int w, int h)
{
    BgrTestImage img(w, h, 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            img.px(x, y)[0] = uint8_t(x);
            img.px(x, y)[1] = uint8_t(y);
            img.px(x, y)[2] = 255;
        }
    return img;
}

} // namespace

class TestWarps : public QObject {
    Q_OBJECT
private slots:
    void zeroAmountsCopy()
    {
        const BgrTestImage src = coordinates(50, 30);
        BgrTestImage a(50, 30, 2), b(50, 30, 2), c(50, 30, 2);
        QCOMPARE(AdjustLensCorrectApply(src.data(), 50, 30, src.stride, a.data(), 0, 40), 1);
        QCOMPARE(AdjustFisheyeApply(src.data(), 50, 30, src.stride, b.data(), 0), 1);
        QCOMPARE(AdjustPincushionApply(src.data(), 50, 30, src.stride, c.data(), 0, 0), 1);
        QVERIFY(a.samePixels(src));
        QVERIFY(b.samePixels(src));
        QVERIFY(c.samePixels(src)); // amounts 0 map every pixel onto itself
    }

    void lensCorrectKeepsCentreAndMovesEdges()
    {
        const BgrTestImage src = coordinates(96, 64);
        BgrTestImage dst(96, 64, 2);
        QCOMPARE(AdjustLensCorrectApply(src.data(), 96, 64, src.stride, dst.data(), 60, 0), 1);
        // Grid nodes sit at multiples of 16 from the centre node (48, 32).
        QCOMPARE(int(dst.px(48, 32)[0]), 48);
        QCOMPARE(int(dst.px(48, 32)[1]), 32);
        // f = 1 - 0.15 at the centre: pixels in between come from nearer the centre.
        QVERIFY(dst.px(64, 32)[0] < 64);
        QVERIFY(dst.px(64, 32)[0] > 48);
        QVERIFY(dst.paddingIntact());

        // Strength 100 at the node 16 pixels right of the centre: R^2 = 3328,
        // f = 0.125 rho + 0.125 sqrt(rho) + 0.75 = 0.79428, source x 60.7085,
        // 15541 in 1/256, so blue (the x coordinate) samples to 60.
        BgrTestImage full(96, 64, 2);
        QCOMPARE(AdjustLensCorrectApply(src.data(), 96, 64, src.stride, full.data(), 100, 0), 1);
        QCOMPARE(int(full.px(64, 32)[0]), 60);
        QCOMPARE(int(full.px(64, 32)[1]), 32);
    }

    // Source positions left of or above the picture used to wrap to huge
    // unsigned values. Extreme settings on an exactly sized buffer: every
    // destination pixel is either untouched or a real source pixel.
    void lensCorrectExtremeSettingsStayInside_data()
    {
        QTest::addColumn<int>("strength");
        QTest::addColumn<int>("balance");
        QTest::newRow("+5000") << 5000 << 0;
        QTest::newRow("-5000") << -5000 << 100;
        QTest::newRow("+100000 -300") << 100000 << -300;
        QTest::newRow("int min") << std::numeric_limits<int>::min() << 0;
    }
    void lensCorrectExtremeSettingsStayInside()
    {
        QFETCH(int, strength);
        QFETCH(int, balance);
        const int w = 40, h = 24;
        std::vector<uint8_t> src(size_t(w) * h * 3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                src[(size_t(y) * w + x) * 3] = uint8_t(x);
                src[(size_t(y) * w + x) * 3 + 1] = uint8_t(y);
                src[(size_t(y) * w + x) * 3 + 2] = 100;
            }
        std::vector<uint8_t> dst(src.size(), 0xFF);
        QCOMPARE(AdjustLensCorrectApply(src.data(), w, h, w * 3, dst.data(), strength, balance), 1);
        for (size_t i = 0; i < dst.size(); i += 3) {
            const bool untouched = dst[i] == 0xFF && dst[i + 1] == 0xFF && dst[i + 2] == 0xFF;
            QVERIFY(untouched || (dst[i] < w && dst[i + 1] < h && dst[i + 2] == 100));
        }
    }

    void fisheyeCutsACircle()
    {
        const int w = 80, h = 60;
        BgrTestImage src(w, h);
        src.fill(50, 150, 250);
        BgrTestImage dst(w, h);
        QCOMPARE(AdjustFisheyeApply(src.data(), w, h, src.stride, dst.data(), 100), 1);
        // Amount 100: radius min(40, 30) = 30.
        QCOMPARE(int(dst.px(0, 0)[0]), 0);
        QCOMPARE(int(dst.px(79, 59)[2]), 0);
        QCOMPARE(int(dst.px(5, 30)[1]), 0);
        QCOMPARE(int(dst.px(40, 30)[1]), 150);
        QCOMPARE(int(dst.px(40, 5)[2]), 250);
        QVERIFY(dst.paddingIntact());
        QCOMPARE(AdjustFisheyeApply(src.data(), w, h, src.stride, dst.data(), -1), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustFisheyeApply(src.data(), w, h, src.stride, dst.data(), 101), int(PE_ERR_ARGUMENT));
    }

    void pincushion()
    {
        const BgrTestImage src = coordinates(65, 41);
        BgrTestImage dst(65, 41, 2);
        QCOMPARE(AdjustPincushionApply(src.data(), 65, 41, src.stride, dst.data(), 100, 100), 1);
        // The centre row and column map onto themselves.
        QCOMPARE(int(dst.px(10, 21)[0]), 10);
        QCOMPARE(int(dst.px(33, 5)[1]), 5);
        // Off the centre row, x is pulled toward the centre: ty < 1024.
        QVERIFY(dst.px(5, 2)[0] > 5);
        QVERIFY(dst.paddingIntact());

        QCOMPARE(AdjustPincushionApply(src.data(), 65, 41, src.stride, dst.data(), 201, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustPincushionApply(src.data(), 65, 41, src.stride, dst.data(), 0, 300), int(PE_ERR_ARGUMENT));
        // Strongly negative amounts push far outside: black there, no overrun.
        const int w = 21, h = 13;
        std::vector<uint8_t> exact(size_t(w) * h * 3, 77), out(exact.size(), 1);
        QCOMPARE(AdjustPincushionApply(exact.data(), w, h, w * 3, out.data(), -100000, std::numeric_limits<int>::min()), 1);
        for (uint8_t v : out)
            QVERIFY(v == 0 || v == 77);
        QCOMPARE(int(out[0]), 0);
    }

    void badArguments()
    {
        BgrTestImage img(8, 8);
        QCOMPARE(AdjustLensCorrectApply(img.data(), 8, 8, img.stride, nullptr, 10, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustFisheyeApply(nullptr, 8, 8, img.stride, img.data(), 10), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustPincushionApply(img.data(), 8, 8, 23, img.data(), 10, 10), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustPincushionApply(img.data(), 8, 0, img.stride, img.data(), 10, 10), 1);
    }
};

QTEST_GUILESS_MAIN(TestWarps)
#include "tst_warps.moc"
