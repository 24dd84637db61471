#include <QtTest>

#include <cmath>

#include <vector>

#include "AdjustUnsharpMask.h"
#include "AdjustVignette.h"
#include "BgrTestImage.h"
#include "PixelEngine.h"

namespace {

// The unsharp mask written from its definition with a whole luma plane and
// a whole blurred plane.
void referenceUnsharp(BgrTestImage& img, int amount)
{
    const int w = img.width, h = img.height;
    if (amount == 0 || w < 5 || h < 5)
        return;
    const int t = 4 - amount / 25;
    std::vector<int> luma(size_t(w) * h), hb(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = img.px(x, y);
            luma[size_t(y) * w + x] = (306 * p[2] + 601 * p[1] + 117 * p[0]) >> 10;
        }
    auto Y = [&](int x, int y) { return luma[size_t(y) * w + x]; };
    for (int y = 0; y < h; ++y)
        for (int x = 2; x < w - 2; ++x)
            hb[size_t(y) * w + x] = (Y(x - 2, y) + Y(x + 2, y) + 4 * (Y(x - 1, y) + Y(x + 1, y)) + 6 * Y(x, y)) >> 4;
    auto H = [&](int x, int y) { return hb[size_t(y) * w + x]; };
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x) {
            const int blur = (H(x, y - 2) + H(x, y + 2) + 4 * (H(x, y - 1) + H(x, y + 1)) + 6 * H(x, y)) >> 4;
            const int d = Y(x, y) - blur;
            if (std::abs(d) > t)
                for (int c = 0; c < 3; ++c)
                    img.px(x, y)[c] = uint8_t(std::clamp(img.px(x, y)[c] + ((d * amount * 10) >> 8), 0, 255));
        }
}

} // namespace

class TestVignetteSharpen : public QObject {
    Q_OBJECT
private slots:
    // The gain table written out: 4^(-0.02 a r^2 / D), indexed by the
    // squared radius shifted so the table fits 4096 entries.
    void vignetteMatchesFormula_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("amount");
        QTest::newRow("81x41 60") << 81 << 41 << 60;
        QTest::newRow("300x200 25") << 300 << 200 << 25;
        QTest::newRow("7x5 100") << 7 << 5 << 100;
        QTest::newRow("3x2 100") << 3 << 2 << 100;
        QTest::newRow("64x64 100") << 64 << 64 << 100;
        QTest::newRow("6000x4000 100") << 6000 << 4000 << 100;
        QTest::newRow("30x20 INT_MAX") << 30 << 20 << std::numeric_limits<int>::max();
    }
    void vignetteMatchesFormula()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, amount);
        BgrTestImage img(width, height, 2);
        img.fillRandom(uint32_t(width) + uint32_t(amount));
        BgrTestImage orig = img;
        QCOMPARE(AdjustVignetteApply(img.data(), width, height, img.stride, 0), 1);
        QVERIFY(img.samePixels(orig));
        QCOMPARE(AdjustVignetteApply(img.data(), width, height, img.stride, amount), 1);
        const int hw = (width + 1) >> 1, hh = (height + 1) >> 1, d = hw * hw + hh * hh;
        const int shift = std::max(0, int(std::floor(std::log2(double(d)))) - 11);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int i = ((x - hw) * (x - hw) + (y - hh) * (y - hh)) >> shift;
                const int gain = int(std::pow(4.0, double(i) * (1 << shift) / d * (-0.02 * amount)) * 1024 + 0.5);
                for (int c = 0; c < 3; ++c)
                    if (img.px(x, y)[c] != (orig.px(x, y)[c] * gain) >> 10)
                        QFAIL(qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
            }
        QVERIFY(img.paddingIntact());
    }

    // Negative amounts brighten; the products used to wrap past 255.
    void vignetteNegativeSaturates_data()
    {
        QTest::addColumn<int>("amount");
        QTest::newRow("-100") << -100;
        QTest::newRow("-5000") << -5000;
        QTest::newRow("int min") << std::numeric_limits<int>::min();
    }
    void vignetteNegativeSaturates()
    {
        QFETCH(int, amount);
        BgrTestImage img(64, 48);
        img.fill(200, 0, 100);
        QCOMPARE(AdjustVignetteApply(img.data(), 64, 48, img.stride, amount), 1);
        QCOMPARE(int(img.px(0, 0)[0]), 255);
        QCOMPARE(int(img.px(0, 0)[1]), 0);
        QCOMPARE(int(img.px(32, 24)[2]), 100);
        QVERIFY(img.px(0, 0)[2] >= 100);
        QVERIFY(img.paddingIntact());
    }

    void unsharpMatchesReference_data()
    {
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("1") << 1 << 64 << 40;
        QTest::newRow("30") << 30 << 64 << 40;
        QTest::newRow("100") << 100 << 77 << 5;
        QTest::newRow("-20") << -20 << 5 << 33;
        QTest::newRow("7000") << 7000 << 20 << 20;
        QTest::newRow("-9000") << -9000 << 20 << 20;
        QTest::newRow("0") << 0 << 20 << 20;
    }
    void unsharpMatchesReference()
    {
        QFETCH(int, amount);
        QFETCH(int, width);
        QFETCH(int, height);
        BgrTestImage img(width, height, 3);
        img.fillScene(uint32_t(amount + 1000));
        BgrTestImage ref = img;
        referenceUnsharp(ref, amount);
        QCOMPARE(AdjustUnsharpMaskApply(img.data(), width, height, img.stride, amount), 0);
        QVERIFY(img.samePixels(ref));
        QVERIFY(img.paddingIntact());
    }

    void unsharpSmallPicturesAndBadArguments()
    {
        // Exactly sized buffers: nothing is read or written past them.
        for (auto size : {std::pair<int, int>{4, 30}, std::pair<int, int>{30, 4}, std::pair<int, int>{1, 1}}) {
            std::vector<uint8_t> small(size_t(size.first) * size.second * 3);
            for (size_t i = 0; i < small.size(); ++i)
                small[i] = uint8_t(i * 13);
            const std::vector<uint8_t> copy = small;
            QCOMPARE(AdjustUnsharpMaskApply(small.data(), size.first, size.second, size.first * 3, 100), 0);
            QCOMPARE(small, copy);
        }
        uint8_t px[75] = {};
        QCOMPARE(AdjustUnsharpMaskApply(nullptr, 5, 5, 15, 50), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustUnsharpMaskApply(px, 5, 5, 14, 50), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustUnsharpMaskApply(px, -5, 5, 15, 50), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustUnsharpMaskApply(px, 5, 0, 15, 50), 0);
        QCOMPARE(AdjustVignetteApply(nullptr, 5, 5, 15, 50), int(PE_ERR_ARGUMENT));
    }
};

QTEST_GUILESS_MAIN(TestVignetteSharpen)
#include "tst_vignettesharpen.moc"
