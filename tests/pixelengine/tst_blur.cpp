#include <QtTest>

#include <cmath>
#include <vector>

#include "AdjustBlur.h"
#include "AdjustPyramid.h"
#include "AdjustZoomBlur.h"
#include "BgrTestImage.h"
#include "PixelEngine.h"

namespace {

int blurWeight(double s, int mix)
{
    return int(((1.0 - s) * (0.2 * mix + 0.9 * (100 - mix)) * 0.01 + 0.9 * s) * 256.0 + 0.5);
}

double blockDistance(int width, int height, int x, int y)
{
    const double hw = (width + 1) >> 1, hh = (height + 1) >> 1;
    const double dx = 16.0 * (x >> 4) - hw, dy = 16.0 * (y >> 4) - hh;
    return std::sqrt((dx * dx + dy * dy) / (hw * hw + hh * hh));
}

// The pyramid blur done step by step with the single-plane kernels: one
// channel at a time, every plane, expanded plane and detail plane kept.
BgrTestImage referenceBlur(const BgrTestImage& src, int levels, int mix)
{
    BgrTestImage out = src;
    const int w0 = src.width, h0 = src.height;
    const int wanted = std::min(levels, 8) - 1;
    std::vector<int> w{w0}, h{h0};
    int n = std::max(wanted, 0);
    for (int k = 0; k < wanted; ++k) {
        w.push_back((w[k] + 1) >> 1);
        h.push_back((h[k] + 1) >> 1);
        if (w[k] < 4 || h[k] < 4) {
            n = k + 1;
            break;
        }
    }
    std::vector<uint8_t> filtered(size_t(w0) * h0 * 3);
    for (int c = 0; c < 3; ++c) {
        std::vector<std::vector<uint8_t>> plane(n + 1), up(n);
        std::vector<std::vector<int16_t>> detail(n);
        plane[0].resize(size_t(w0) * h0);
        for (int y = 0; y < h0; ++y)
            for (int x = 0; x < w0; ++x)
                plane[0][size_t(y) * w0 + x] = src.px(x, y)[c];
        for (int k = 0; k < n; ++k) {
            plane[k + 1].resize(size_t(w[k + 1]) * h[k + 1]);
            up[k].resize(size_t(w[k]) * h[k]);
            detail[k].resize(size_t(w[k]) * h[k]);
            AdjustPyramidReduce(plane[k].data(), w[k], w[k], h[k], plane[k + 1].data(), w[k + 1]);
            AdjustPyramidExpand(up[k].data(), w[k], w[k], h[k], plane[k + 1].data(), w[k + 1]);
            AdjustDetailSubtract(detail[k].data(), plane[k].data(), up[k].data(), 0, w[k], h[k]);
            AdjustDetailSmooth(detail[k].data(), w[k], w[k], h[k]);
        }
        for (int k = n - 1; k >= 0; --k) {
            AdjustDetailAdd(detail[k].data(), up[k].data(), plane[k].data(), 0, w[k], h[k]);
            if (k > 0)
                AdjustPyramidExpand(up[k - 1].data(), w[k - 1], w[k - 1], h[k - 1], plane[k].data(), w[k]);
        }
        for (size_t i = 0; i < plane[0].size(); ++i)
            filtered[i * 3 + c] = plane[0][i];
    }
    for (int y = 0; y < h0; ++y)
        for (int x = 0; x < w0; ++x) {
            const int wt = std::clamp(blurWeight(blockDistance(w0, h0, x, y), mix), 0, 256);
            for (int c = 0; c < 3; ++c)
                out.px(x, y)[c] = uint8_t((src.px(x, y)[c] * (256 - wt) + filtered[(size_t(y) * w0 + x) * 3 + c] * wt) >> 8);
        }
    return out;
}

std::vector<uint8_t> exactImage(int w, int h, uint8_t value)
{
    return std::vector<uint8_t>(size_t(w) * h * 3, value);
}

bool sanitizerBuild()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

} // namespace

class TestBlur : public QObject {
    Q_OBJECT
private slots:
    void blurMatchesStepByStepReference_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("mix");
        QTest::newRow("100x61 L4 m50") << 100 << 61 << 4 << 50;
        QTest::newRow("100x61 L2 m0") << 100 << 61 << 2 << 0;
        QTest::newRow("100x61 L7 m100") << 100 << 61 << 7 << 100;
        QTest::newRow("33x17 L8 m50") << 33 << 17 << 8 << 50;
        QTest::newRow("6x6 L8") << 6 << 6 << 8 << 50;
        QTest::newRow("5x7 L3") << 5 << 7 << 3 << 50;
        QTest::newRow("2x3 L5") << 2 << 3 << 5 << 50;
        QTest::newRow("1x1 L8") << 1 << 1 << 8 << 50;
        QTest::newRow("1x40 L8") << 1 << 40 << 8 << 30;
        QTest::newRow("40x1 L8") << 40 << 1 << 8 << 30;
        QTest::newRow("257x129 L9") << 257 << 129 << 9 << 50;
        QTest::newRow("40x30 L0") << 40 << 30 << 0 << 50;
        QTest::newRow("40x30 L1") << 40 << 30 << 1 << 50;
    }
    void blurMatchesStepByStepReference()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, levels);
        QFETCH(int, mix);
        BgrTestImage src(width, height, 3);
        src.fillScene(uint32_t(width * 31 + height));
        BgrTestImage dst(width, height, 3);
        QCOMPARE(AdjustBlurApply(src.data(), width, height, src.stride, dst.data(), levels, mix), 1);
        const BgrTestImage ref = referenceBlur(src, levels, mix);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * 3; ++x)
                if (dst.px(0, y)[x] != ref.px(0, y)[x])
                    QFAIL(qPrintable(QString("byte %1 of row %2: %3, expected %4").arg(x).arg(y)
                                         .arg(dst.px(0, y)[x]).arg(ref.px(0, y)[x])));
        QVERIFY(dst.paddingIntact());
        if (levels > 1 && width >= 32 && height >= 32)
            QVERIFY(!dst.samePixels(src));
    }

    void blurInPlaceEqualsSeparate()
    {
        BgrTestImage src(150, 90, 1);
        src.fillScene(5);
        BgrTestImage dst(150, 90, 1);
        QCOMPARE(AdjustBlurApply(src.data(), 150, 90, src.stride, dst.data(), 5, 50), 1);
        QCOMPARE(AdjustBlurApply(src.data(), 150, 90, src.stride, src.data(), 5, 50), 1);
        QVERIFY(src.samePixels(dst));
    }

    void blurTinyImagesStayInside_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("1x1") << 1 << 1;
        QTest::newRow("1x2") << 1 << 2;
        QTest::newRow("3x1") << 3 << 1;
        QTest::newRow("4x4") << 4 << 4;
    }
    void blurTinyImagesStayInside()
    {
        // Exactly sized buffers: a read past the picture shows in the
        // sanitizer build. A flat picture stays flat.
        QFETCH(int, width);
        QFETCH(int, height);
        const std::vector<uint8_t> src = exactImage(width, height, 123);
        std::vector<uint8_t> dst = exactImage(width, height, 0);
        QCOMPARE(AdjustBlurApply(src.data(), width, height, width * 3, dst.data(), 8, 50), 1);
        QCOMPARE(dst, src);
    }

    void blurRefusesBadArguments()
    {
        BgrTestImage src(8, 8), dst(8, 8);
        QCOMPARE(AdjustBlurApply(src.data(), 8, 8, src.stride, dst.data(), 3, 101), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustBlurApply(src.data(), 8, 8, src.stride, dst.data(), -1, 50), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustBlurApply(src.data(), 8, 8, src.stride, nullptr, 3, 50), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustBlurApply(src.data(), 8, 8, 10, dst.data(), 3, 50), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustRadialBlurApply(src.data(), 8, 8, src.stride, dst.data(), 0, -1), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustGaussianBlurApply(src.data(), 8, 8, src.stride, dst.data(), std::nan(""), 50),
                 int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustZoomBlurApply(src.data(), 8, 8, src.stride, dst.data(), -5, 0), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustBlurApply(src.data(), 8, 0, src.stride, dst.data(), 3, 50), 1);
    }

    // Out of memory used to be reported as success. A huge claimed size makes
    // the first table allocation fail before any pixel is touched.
    void outOfMemoryIsReported()
    {
        if (sanitizerBuild())
            QSKIP("the sanitizer's allocator aborts on impossible sizes");
        uint8_t pixel[3] = {1, 2, 3};
        uint8_t out[3] = {9, 9, 9};
        const int huge = 100000000;
        QCOMPARE(AdjustBlurApply(pixel, huge, huge, huge * 3, out, 4, 50), int(PE_ERR_NOMEM));
        QCOMPARE(AdjustRadialBlurApply(pixel, huge, huge, huge * 3, out, 0, 50), int(PE_ERR_NOMEM));
        QCOMPARE(AdjustGaussianBlurApply(pixel, huge, huge, huge * 3, out, 2.0, 50), int(PE_ERR_NOMEM));
        QCOMPARE(AdjustZoomBlurApply(pixel, huge, huge, huge * 3, out, 20, 0), int(PE_ERR_NOMEM));
        QCOMPARE(AdjustZoomBlurFastApply(pixel, huge, huge, huge * 3, out, 20, 0), int(PE_ERR_NOMEM));
        QCOMPARE(int(out[0]), 9);
    }

    void radialBlurMatchesReference()
    {
        BgrTestImage src(70, 45, 2);
        src.fillScene(12);
        BgrTestImage dst(70, 45, 2);
        QCOMPARE(AdjustRadialBlurApply(src.data(), 70, 45, src.stride, dst.data(), 1234, 50), 1);
        for (int c = 0; c < 3; ++c) {
            std::vector<uint8_t> plane(70 * 45);
            for (int y = 0; y < 45; ++y)
                for (int x = 0; x < 70; ++x)
                    plane[size_t(y) * 70 + x] = src.px(x, y)[c];
            AdjustBinomialBlur3x3(plane.data(), 70, 70, 45);
            for (int y = 0; y < 45; ++y)
                for (int x = 0; x < 70; ++x) {
                    const int wt = blurWeight(blockDistance(70, 45, x, y), 50);
                    const int expected = (src.px(x, y)[c] * (256 - wt) + plane[size_t(y) * 70 + x] * wt) >> 8;
                    QCOMPARE(int(dst.px(x, y)[c]), expected);
                }
        }
        QVERIFY(dst.paddingIntact());
        QCOMPARE(AdjustRadialBlurApply(src.data(), 70, 45, src.stride, src.data(), 0, 50), 1);
        QVERIFY(src.samePixels(dst));
    }

    void gaussianBlur()
    {
        // Sigma 0: nothing to do, the destination is left as it was.
        BgrTestImage src(48, 32), dst(48, 32);
        src.fillScene(3);
        dst.fill(7, 7, 7);
        QCOMPARE(AdjustGaussianBlurApply(src.data(), 48, 32, src.stride, dst.data(), 0.0, 50), 1);
        QCOMPARE(int(dst.px(10, 10)[0]), 7);

        // An impulse spreads symmetrically.
        BgrTestImage dot(33, 33);
        dot.fill(0, 0, 0);
        dot.px(16, 16)[1] = 255;
        BgrTestImage spread(33, 33);
        QCOMPARE(AdjustGaussianBlurApply(dot.data(), 33, 33, dot.stride, spread.data(), 1.5, 0), 1);
        QCOMPARE(spread.px(15, 16)[1], spread.px(17, 16)[1]);
        QCOMPARE(spread.px(16, 15)[1], spread.px(16, 17)[1]);
        QVERIFY(spread.px(15, 16)[1] > spread.px(14, 16)[1]);
        QVERIFY(spread.px(16, 16)[1] < 255);
        QCOMPARE(int(spread.px(16, 16)[0]), 0);
    }

    // Large sigmas used to overflow 16-bit sums: the blur of a flat picture
    // must stay flat and a two-tone picture must blur toward its mean.
    void gaussianLargeSigma_data()
    {
        QTest::addColumn<double>("sigma");
        QTest::newRow("40") << 40.0;
        QTest::newRow("500") << 500.0;
        QTest::newRow("1e9") << 1e9;
    }
    void gaussianLargeSigma()
    {
        QFETCH(double, sigma);
        BgrTestImage flat(40, 24), out(40, 24);
        flat.fill(250, 128, 3);
        QCOMPARE(AdjustGaussianBlurApply(flat.data(), 40, 24, flat.stride, out.data(), sigma, 50), 1);
        QVERIFY(out.samePixels(flat));

        BgrTestImage halves(40, 24), blurred(40, 24);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x)
                halves.px(x, y)[0] = halves.px(x, y)[1] = halves.px(x, y)[2] = x < 20 ? 0 : 200;
        QCOMPARE(AdjustGaussianBlurApply(halves.data(), 40, 24, halves.stride, blurred.data(), sigma, 0), 1);
        // Mix 0: weight (0.8 * 256 + 0.5) = 205 everywhere; the filtered
        // picture is close to the mean 100 when sigma dwarfs the picture.
        const int left = blurred.px(0, 12)[0], right = blurred.px(39, 12)[0];
        if (sigma >= 500) {
            QVERIFY2(std::abs(left - ((0 * 51 + 100 * 205) >> 8)) <= 1, qPrintable(QString::number(left)));
            QVERIFY2(std::abs(right - ((200 * 51 + 100 * 205) >> 8)) <= 1, qPrintable(QString::number(right)));
        } else {
            QVERIFY(left > 0 && right < 200);
        }
    }

    void zoomBlur()
    {
        // A horizontal ramp: pixels on the left take in brighter pixels
        // toward the centre, pixels on the right darker ones; the centre
        // disc is untouched.
        const int w = 200, h = 100;
        BgrTestImage src(w, h), dst(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                src.px(x, y)[0] = src.px(x, y)[1] = src.px(x, y)[2] = uint8_t(x);
        QCOMPARE(AdjustZoomBlurApply(src.data(), w, h, src.stride, dst.data(), 30, 0), 1);
        QVERIFY(dst.px(2, 50)[0] > src.px(2, 50)[0]);
        QVERIFY(dst.px(197, 50)[0] < src.px(197, 50)[0]);
        QCOMPARE(dst.px(100, 50)[0], src.px(100, 50)[0]);
        QVERIFY(dst.paddingIntact());

        BgrTestImage flat(w, h), out(w, h);
        flat.fill(9, 99, 199);
        QCOMPARE(AdjustZoomBlurApply(flat.data(), w, h, flat.stride, out.data(), 255, -300), 1);
        QVERIFY(out.samePixels(flat));
    }

    // Radius 125 puts the disc edge at c = 1, which divided by zero; beyond
    // it nothing is blurred. Long walks on a small picture used to run past
    // the centre and out of the picture.
    void zoomBlurEdges_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("radius");
        QTest::addColumn<bool>("unchanged");
        QTest::newRow("radius 125") << 40 << 125 << true;
        QTest::newRow("radius 400") << 40 << 400 << true;
        QTest::newRow("length 255 small picture") << 255 << 0 << false;
        QTest::newRow("length 100000") << 100000 << -100 << false;
        QTest::newRow("radius just under 125") << 255 << 124 << false;
    }
    void zoomBlurEdges()
    {
        QFETCH(int, length);
        QFETCH(int, radius);
        QFETCH(bool, unchanged);
        for (auto size : {std::pair<int, int>{37, 21}, std::pair<int, int>{9, 64}, std::pair<int, int>{1, 1}}) {
            const int w = size.first, h = size.second;
            std::vector<uint8_t> src(size_t(w) * h * 3);
            for (size_t i = 0; i < src.size(); ++i)
                src[i] = uint8_t(i * 7);
            std::vector<uint8_t> dst(src.size(), 0);
            QCOMPARE(AdjustZoomBlurApply(src.data(), w, h, w * 3, dst.data(), length, radius), 1);
            if (unchanged)
                QCOMPARE(dst, src);
            std::vector<uint8_t> fast(src.size(), 0);
            QCOMPARE(AdjustZoomBlurFastApply(src.data(), w, h, w * 3, fast.data(), length, radius), 1);
            QCOMPARE(fast, dst); // small pictures are not reduced first
        }
    }

    void zoomBlurFast()
    {
        const int w = 1400, h = 700;
        BgrTestImage flat(w, h), out(w, h);
        flat.fill(30, 60, 90);
        QCOMPARE(AdjustZoomBlurFastApply(flat.data(), w, h, flat.stride, out.data(), 40, 0), 1);
        QVERIFY(out.samePixels(flat));
        QVERIFY(out.paddingIntact());

        BgrTestImage ramp(w, h), blurred(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ramp.px(x, y)[0] = ramp.px(x, y)[1] = ramp.px(x, y)[2] = uint8_t(x * 255 / (w - 1));
        QCOMPARE(AdjustZoomBlurFastApply(ramp.data(), w, h, ramp.stride, blurred.data(), 40, 0), 1);
        QCOMPARE(blurred.px(w / 2, h / 2)[0], ramp.px(w / 2, h / 2)[0]);
        QVERIFY(blurred.px(3, h / 2)[0] > ramp.px(3, h / 2)[0]);
        QVERIFY(blurred.px(w - 4, h / 2)[0] < ramp.px(w - 4, h / 2)[0]);
        BgrTestImage same(w, h);
        QCOMPARE(AdjustZoomBlurFastApply(ramp.data(), w, h, ramp.stride, same.data(), 40, 125), 1);
        QVERIFY(same.samePixels(ramp));
    }
};

QTEST_GUILESS_MAIN(TestBlur)
#include "tst_blur.moc"
