#include <QtTest>

#include <vector>

#include "AdjustPyramid.h"
#include "PixelEngine.h"

// The single-plane kernels behind the pyramid blurs. Planes are exactly
// sized vectors so that a read or write past them is caught by the
// sanitizer build.
class TestPyramid : public QObject {
    Q_OBJECT
private slots:
    void reduceWeights()
    {
        // One row: 1:1 at the first output, 1:2:1 inside, 1:1 at the odd end;
        // the single row counts twice.
        const std::vector<uint8_t> in{0, 40, 80, 120, 160};
        std::vector<uint8_t> out(3, 0xEE);
        QCOMPARE(AdjustPyramidReduce(in.data(), 5, 5, 1, out.data(), 3), 1);
        QCOMPARE(out, (std::vector<uint8_t>{20, 80, 140}));

        // Two dimensions, even sizes: 4 x 4 to 2 x 2.
        std::vector<uint8_t> sq(16);
        for (int i = 0; i < 16; ++i)
            sq[i] = uint8_t(16 * i);
        std::vector<uint8_t> half(4);
        QCOMPARE(AdjustPyramidReduce(sq.data(), 4, 4, 4, half.data(), 2), 1);
        // Output (0,0): rows 0,1 x columns 0,1 at 1:1, /4.
        QCOMPARE(int(half[0]), (0 + 16 + 64 + 80) / 4);
        // Output (1,1): rows 1..3 x columns 1..3 at 1:2:1 each, /16.
        int sum = 0;
        const int w[3] = {1, 2, 1};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                sum += w[r] * w[c] * sq[(r + 1) * 4 + c + 1];
        QCOMPARE(int(half[3]), sum >> 4);
    }

    // A plane one sample wide or high: the reduce used to read a second
    // sample that does not exist.
    void reduceOnePixelPlanes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("1x1") << 1 << 1;
        QTest::newRow("1x7") << 1 << 7;
        QTest::newRow("9x1") << 9 << 1;
        QTest::newRow("2x1") << 2 << 1;
    }
    void reduceOnePixelPlanes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        std::vector<uint8_t> in(size_t(width) * height, 200);
        const int ow = (width + 1) / 2, oh = (height + 1) / 2;
        std::vector<uint8_t> out(size_t(ow) * oh, 0);
        QCOMPARE(AdjustPyramidReduce(in.data(), width, width, height, out.data(), ow), 1);
        for (uint8_t v : out)
            QCOMPARE(int(v), 200);
    }

    void expand()
    {
        const std::vector<uint8_t> small{0, 100, 200, 40};
        std::vector<uint8_t> odd(9);
        QCOMPARE(AdjustPyramidExpand(odd.data(), 3, 3, 3, small.data(), 2), 1);
        QCOMPARE(odd, (std::vector<uint8_t>{0, 50, 100, 100, 85, 70, 200, 120, 40}));
        std::vector<uint8_t> even(16);
        QCOMPARE(AdjustPyramidExpand(even.data(), 4, 4, 4, small.data(), 2), 1);
        QCOMPARE(even, (std::vector<uint8_t>{0, 50, 100, 100, 100, 85, 70, 70, 200, 120, 40, 40, 200, 120, 40, 40}));
        const std::vector<uint8_t> one{77};
        std::vector<uint8_t> tiny(2);
        QCOMPARE(AdjustPyramidExpand(tiny.data(), 2, 2, 1, one.data(), 1), 1);
        QCOMPARE(tiny, (std::vector<uint8_t>{77, 77}));
    }

    void badArguments()
    {
        std::vector<uint8_t> p(16);
        QCOMPARE(AdjustPyramidReduce(nullptr, 4, 4, 4, p.data(), 2), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustPyramidReduce(p.data(), 3, 4, 4, p.data(), 2), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustPyramidReduce(p.data(), 4, 4, 4, p.data(), 1), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustPyramidExpand(p.data(), 4, 0, 4, p.data(), 2), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustDetailSmooth(nullptr, 4, 4, 4), int(PE_ERR_ARGUMENT));
        QCOMPARE(AdjustBinomialBlur3x3(p.data(), 2, 4, 4), int(PE_ERR_ARGUMENT));
    }

    void detailPlanes()
    {
        const std::vector<uint8_t> a{0, 255, 10, 200};
        const std::vector<uint8_t> b{255, 0, 10, 100};
        std::vector<int16_t> d(4);
        AdjustDetailSubtract(d.data(), a.data(), b.data(), 0, 2, 2);
        QCOMPARE(d, (std::vector<int16_t>{-255, 255, 0, 100}));
        std::vector<uint8_t> out(4);
        const std::vector<uint8_t> base{100, 100, 100, 200};
        AdjustDetailAdd(d.data(), base.data(), out.data(), 0, 2, 2);
        QCOMPARE(out, (std::vector<uint8_t>{0, 255, 100, 255}));
    }

    void detailSmooth()
    {
        // Interior of a constant plane: (160 * 4 >> 4) * 4 >> 4 = 10; negative
        // values shift arithmetically; the border keeps its values.
        std::vector<int16_t> plane(20, 160);
        plane[1 * 5 + 3] = -160;
        QCOMPARE(AdjustDetailSmooth(plane.data(), 5, 5, 4), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                const int v = plane[y * 5 + x];
                if (y == 0 || y == 3 || x == 0 || x == 4)
                    QCOMPARE(v, (y == 1 && x == 3) ? -160 : 160);
            }
        // Row 1 col 3 sees the -160 with weight 4 of 16: H(row1,3) = (160 - 320 + 160) >> 4 = 0.
        QCOMPARE(int(plane[1 * 5 + 3]), (40 + 2 * 0 + 40) >> 4);
        QCOMPARE(int(plane[2 * 5 + 1]), 10);
        std::vector<int16_t> thin(10, -77);
        QCOMPARE(AdjustDetailSmooth(thin.data(), 2, 2, 5), 0);
        for (int16_t v : thin)
            QCOMPARE(int(v), -77);
    }

    void binomialBlur()
    {
        std::vector<uint8_t> p(25, 0);
        p[12] = 255;
        QCOMPARE(AdjustBinomialBlur3x3(p.data(), 5, 5, 5), 0);
        QCOMPARE(int(p[12]), (0 + 2 * 127 + 0) >> 2);
        QCOMPARE(int(p[11]), (0 + 2 * 63 + 0) >> 2);
        QCOMPARE(int(p[6]), (0 + 2 * 0 + 63) >> 2);
        QCOMPARE(int(p[0]), 0);
    }

    void depth_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("depth");
        QTest::newRow("640/1") << 640 << 1 << 9;
        QTest::newRow("16/4") << 16 << 4 << 2;
        QTest::newRow("15/4") << 15 << 4 << 1;
        QTest::newRow("below") << 5 << 8 << 0;
        QTest::newRow("minimum 0 acts as 1") << 4 << 0 << 2;
        QTest::newRow("negative size") << -3 << 1 << 0;
        QTest::newRow("int max") << 2147483647 << 1 << 30;
    }
    void depth()
    {
        QFETCH(int, size);
        QFETCH(int, minimum);
        QFETCH(int, depth);
        QCOMPARE(AdjustPyramidDepth(size, minimum), depth);
    }
};

QTEST_GUILESS_MAIN(TestPyramid)
#include "tst_pyramid.moc"
