// Film engine: the data blob, selections and their ranges, the colour-table
// chain and tone curve, the result buffer and the record's lifetime.
#include <QtTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "BgrTestImage.h"
#include "FilmEngine.h"
#include "FilmLut.h"
#include "FilmMemory.h"
#include "Rand15.h"

namespace {

// Node value of plane p of table k in the test blob: a different smooth-ish
// pattern per table, so a copy of the wrong record shows.
uint8_t lutValue(int k, int p, int a, int b, int c)
{
    return uint8_t((a * (3 + p) + b * (5 + k % 7) + c * (7 + p) + k * 11 + p * 40) & 255);
}

std::vector<uint8_t> makeBlob(int salt = 0)
{
    std::vector<uint8_t> blob(kFilmDataSize);
    for (int k = 0; k < kFilmLutCount; ++k)
        for (int p = 0; p < 3; ++p)
            for (int c = 0; c < 17; ++c)
                for (int b = 0; b < 17; ++b)
                    for (int a = 0; a < 17; ++a)
                        blob[size_t(k) * kFilmLutBytes + p * kFilmLutPlane + c * 289 + b * 17 + a]
                            = uint8_t(lutValue(k, p, a, b, c) + salt);
    for (int g = 0; g < kFilmGrainCount; ++g)
        for (int i = 0; i < kFilmGrainBytes; ++i)
            blob[size_t(kFilmGrainOffset) + size_t(g) * kFilmGrainBytes + i] = uint8_t(64 + (i * 7 + g) % 128);
    return blob;
}

const std::vector<uint8_t> kBlob = makeBlob();

bool loadBlob()
{
    return FilmLoadData(kBlob.data(), kFilmDataSize) == 0;
}

const uint8_t* lutOf(const std::vector<uint8_t>& blob, int record)
{
    return blob.data() + size_t(record) * kFilmLutBytes;
}

// Reference trilinear look-up, written out corner by corner.
void refSample(const uint8_t* lut, const uint8_t in[3], uint8_t out[3])
{
    const int i0 = in[0] >> 4, i1 = in[1] >> 4, i2 = in[2] >> 4;
    const int f[3] = {in[0] & 15, in[1] & 15, in[2] & 15};
    for (int p = 0; p < 3; ++p) {
        int sum = 0;
        for (int dc = 0; dc < 2; ++dc)
            for (int db = 0; db < 2; ++db)
                for (int da = 0; da < 2; ++da) {
                    const int w = (da ? f[0] : 16 - f[0]) * (db ? f[1] : 16 - f[1]) * (dc ? f[2] : 16 - f[2]);
                    sum += lut[p * kFilmLutPlane + (i2 + dc) * 289 + (i1 + db) * 17 + i0 + da] * w;
                }
        out[p] = uint8_t(sum >> 12);
    }
}

// A picture of node colours: pixel i has channels 16 * (node digits).
BgrTestImage nodePicture()
{
    BgrTestImage im(16, 9, 3);
    for (int y = 0; y < im.height; ++y)
        for (int x = 0; x < im.width; ++x) {
            uint8_t* p = im.px(x, y);
            const int n = y * im.width + x;
            p[0] = uint8_t(16 * (n % 16));
            p[1] = uint8_t(16 * ((n * 5) % 16));
            p[2] = uint8_t(16 * ((n * 3 + y) % 16));
        }
    return im;
}

// Runs FilmApply on a copy of `in` (rows kept in caller order) and returns
// the result as a picture.
BgrTestImage render(FilmImage& film, const BgrTestImage& in)
{
    BgrTestImage out(in.width, in.height, in.stride - in.width * 3);
    if (FilmApply(&film) != 0)
        return BgrTestImage(0, 0);
    for (int y = 0; y < in.height; ++y)
        std::memcpy(out.px(0, y), film.pixels + size_t(y) * film.rowBytes, size_t(in.width) * 3);
    return out;
}

struct Film {
    FilmImage image;
    ~Film() { FilmRelease(&image); }
};

}  // namespace

class TestFilm : public QObject {
    Q_OBJECT

private slots:
    void init() { FilmFreeData(); }
    void cleanup() { FilmFaultInjectAfter(-1); }
    void cleanupTestCase() { FilmFreeData(); }

    void loadData_data();
    void loadData();
    void reloadReplacesBlob();
    void noSelectionKeepsPicture_data();
    void noSelectionKeepsPicture();
    void selection_data();
    void selection();
    void refusedSelectionKeepsPrevious();
    void trilinearMatchesTable();
    void chainedTables();
    void toneCurveWithBank2_data();
    void toneCurveWithBank2();
    void singleStepMembers();
    void selectionsWithoutData();
    void grainScaleForSize_data();
    void grainScaleForSize();
    void strengthAndScaleBounded();
    void badPictures_data();
    void badPictures();
    void releaseAndReuse();
    void shortOfMemory();
};

void TestFilm::loadData_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("nullBytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << kFilmDataSize << false << 0;
    QTest::newRow("one byte less") << kFilmDataSize - 1 << false << -1;
    QTest::newRow("one byte more") << kFilmDataSize + 1 << false << -1;
    QTest::newRow("empty") << 0 << false << -1;
    QTest::newRow("negative") << -5 << false << -1;
    QTest::newRow("null bytes") << kFilmDataSize << true << -1;
}

void TestFilm::loadData()
{
    QFETCH(int, size);
    QFETCH(bool, nullBytes);
    QFETCH(int, expected);
    std::vector<uint8_t> blob = kBlob;
    blob.resize(kFilmDataSize + 1);
    QCOMPARE(FilmLoadData(nullBytes ? nullptr : blob.data(), size), expected);
    QCOMPARE(FilmHasData(), expected == 0);
}

void TestFilm::reloadReplacesBlob()
{
    // The second blob replaces the first (the sanitizer build catches a leak).
    const std::vector<uint8_t> first = makeBlob(0), second = makeBlob(9);
    QCOMPARE(FilmLoadData(first.data(), kFilmDataSize), 0);
    QCOMPARE(FilmLoadData(second.data(), kFilmDataSize), 0);
    // A refused load leaves the loaded blob alone.
    QCOMPARE(FilmLoadData(first.data(), kFilmDataSize - 1), -1);

    Film f;
    const BgrTestImage in = nodePicture();
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
    FilmSetCategory(&f.image, 1);
    QCOMPARE(FilmSelectLut(&f.image, 5), 0);
    const BgrTestImage out = render(f.image, in);
    const uint8_t* p = out.px(3, 2);
    uint8_t expect[3];
    refSample(lutOf(second, 4), in.px(3, 2), expect);
    QCOMPARE(int(p[0]), int(expect[0]));
    QCOMPARE(int(p[2]), int(expect[2]));
}

void TestFilm::noSelectionKeepsPicture_data()
{
    QTest::addColumn<int>("topDown");
    QTest::addColumn<bool>("withData");
    QTest::newRow("bottom-up flag, data") << 0 << true;
    QTest::newRow("bottom-up flag, no data") << 0 << false;
    QTest::newRow("top-down flag") << 1 << true;
}

void TestFilm::noSelectionKeepsPicture()
{
    QFETCH(int, topDown);
    QFETCH(bool, withData);
    if (withData)
        QVERIFY(loadBlob());
    // One record for pictures of changing sizes, larger after smaller.
    BgrTestImage small(8, 5, 0), large(300, 200, 9), mid(37, 23, 7);
    small.fillRandom(1);
    large.fillRandom(2);
    mid.fillRandom(11);
    Film f;
    for (const BgrTestImage* in : {&small, &large, &mid, &large}) {
        QCOMPARE(FilmSetImage(&f.image, in->data(), in->width, in->height, in->stride, topDown), 0);
        QCOMPARE(FilmReset(&f.image), 0);
        QCOMPARE(FilmApply(&f.image), 0);
        QCOMPARE(f.image.width, in->width);
        QCOMPARE(f.image.height, in->height);
        QCOMPARE(f.image.rowBytes, in->stride);
        for (int y = 0; y < in->height; ++y) {
            // With the top-down flag the result comes out upside down.
            const int src = topDown ? in->height - 1 - y : y;
            QVERIFY(std::memcmp(f.image.pixels + size_t(y) * f.image.rowBytes, in->px(0, src), size_t(in->width) * 3) == 0);
        }
    }
    // Applying twice gives the same picture: the working copy is untouched.
    std::vector<uint8_t> first(f.image.pixels, f.image.pixels + size_t(large.stride) * large.height);
    QCOMPARE(FilmApply(&f.image), 0);
    QVERIFY(std::memcmp(first.data(), f.image.pixels, first.size()) == 0);
    // A result pointer the caller replaced is not freed or written through.
    std::vector<uint8_t> foreign(4, 7);
    f.image.pixels = foreign.data();
    QCOMPARE(FilmApply(&f.image), 0);
    QVERIFY(f.image.pixels != foreign.data());
    QCOMPARE(int(foreign[0]), 7);
}

void TestFilm::selection_data()
{
    QTest::addColumn<int>("bank");  // 0: a film look of the category
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("record");  // -1: nothing taken, picture unchanged
    QTest::newRow("cat 0, first") << 0 << 0 << 1 << 0 << 0;
    QTest::newRow("cat 0, last base look") << 0 << 0 << 28 << 0 << 27;
    QTest::newRow("cat 0, bank table not offered") << 0 << 0 << 29 << 0 << -1;
    QTest::newRow("cat 0, 43 not offered") << 0 << 0 << 43 << 0 << -1;
    QTest::newRow("cat 1, 29") << 0 << 1 << 29 << 0 << 28;
    QTest::newRow("cat 2, last") << 0 << 2 << 43 << 0 << 42;
    QTest::newRow("cat 4, first") << 0 << 4 << 1 << 0 << 0;
    QTest::newRow("cat 1, index 0 is none") << 0 << 1 << 0 << 0 << -1;
    QTest::newRow("cat 3, index 0 is none") << 0 << 3 << 0 << 0 << -1;
    QTest::newRow("cat 5 offers nothing") << 0 << 5 << 3 << 0 << -1;
    QTest::newRow("cat -1 offers nothing") << 0 << -1 << 3 << 0 << -1;
    QTest::newRow("cat 1, beyond the tables") << 0 << 1 << 44 << -2 << -1;
    QTest::newRow("cat 0, beyond the tables") << 0 << 0 << 44 << -2 << -1;
    QTest::newRow("negative") << 0 << 1 << -1 << -2 << -1;
    QTest::newRow("INT_MAX") << 0 << 1 << INT_MAX << -2 << -1;
    QTest::newRow("INT_MIN") << 0 << 1 << INT_MIN << -2 << -1;
    // A bank table alone applies as it is (no tone curve without a film look).
    QTest::newRow("bank 2, 1") << 2 << 0 << 1 << 0 << 28;
    QTest::newRow("bank 2, 4") << 2 << 0 << 4 << 0 << 31;
    QTest::newRow("bank 2, 5") << 2 << 0 << 5 << -2 << -1;
    QTest::newRow("bank 2, 0") << 2 << 0 << 0 << 0 << -1;
    QTest::newRow("bank 2, -1") << 2 << 0 << -1 << -2 << -1;
    QTest::newRow("bank 3, 1") << 3 << 0 << 1 << 0 << 32;
    QTest::newRow("bank 3, 4") << 3 << 0 << 4 << 0 << 35;
    QTest::newRow("bank 3, 5") << 3 << 0 << 5 << -2 << -1;
    QTest::newRow("bank 4, 1") << 4 << 0 << 1 << 0 << 36;
    QTest::newRow("bank 4, 7") << 4 << 0 << 7 << 0 << 42;
    QTest::newRow("bank 4, 8") << 4 << 0 << 8 << -2 << -1;
    QTest::newRow("bank 4, INT_MAX") << 4 << 0 << INT_MAX << -2 << -1;
}

void TestFilm::selection()
{
    QFETCH(int, bank);
    QFETCH(int, category);
    QFETCH(int, index);
    QFETCH(int, code);
    QFETCH(int, record);
    QVERIFY(loadBlob());
    const BgrTestImage in = nodePicture();
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
    QCOMPARE(FilmSetCategory(&f.image, category), 0);
    int (*select)(FilmImage*, int32_t) = bank == 0 ? FilmSelectLut
                                       : bank == 2 ? FilmSelectLutBank2
                                       : bank == 3 ? FilmSelectLutBank3
                                                   : FilmSelectLutBank4;
    QCOMPARE(select(&f.image, index), code);
    const BgrTestImage out = render(f.image, in);
    QCOMPARE(out.width, in.width);
    if (record < 0) {
        QVERIFY(out.samePixels(in));
        return;
    }
    // Node colours take exactly the values of their node.
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            const uint8_t* s = in.px(x, y);
            for (int p = 0; p < 3; ++p)
                QCOMPARE(int(out.px(x, y)[p]), int(lutValue(record, p, s[0] >> 4, s[1] >> 4, s[2] >> 4)));
        }
}

void TestFilm::refusedSelectionKeepsPrevious()
{
    QVERIFY(loadBlob());
    const BgrTestImage in = nodePicture();
    Film a, b;
    for (Film* f : {&a, &b}) {
        QCOMPARE(FilmSetImage(&f->image, in.data(), in.width, in.height, in.stride, 0), 0);
        FilmSetCategory(&f->image, 2);
        QCOMPARE(FilmSelectLut(&f->image, 7), 0);
        QCOMPARE(FilmSelectLutBank4(&f->image, 3), 0);
        QCOMPARE(FilmSelectGrain(&f->image, 4), 0);
    }
    QCOMPARE(FilmSelectLut(&b.image, 99), -2);
    QCOMPARE(FilmSelectLutBank4(&b.image, 8), -2);
    QCOMPARE(FilmSelectGrain(&b.image, 24), -2);
    QCOMPARE(FilmSelectGrain(&b.image, -1), -2);
    QVERIFY(render(a.image, in).samePixels(render(b.image, in)));
}

void TestFilm::trilinearMatchesTable()
{
    QVERIFY(loadBlob());
    // Large enough to run in bands on helper threads.
    BgrTestImage in(700, 520, 2);
    in.fillRandom(5);
    // Include the extremes, where the top node (value 256) is used.
    std::memset(in.px(0, 0), 255, 3);
    std::memset(in.px(1, 0), 0, 3);
    for (int record : {0, 17, 42}) {
        Film f;
        QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
        FilmSetCategory(&f.image, 1);
        QCOMPARE(FilmSelectLut(&f.image, record + 1), 0);
        const BgrTestImage out = render(f.image, in);
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                uint8_t expect[3];
                refSample(lutOf(kBlob, record), in.px(x, y), expect);
                if (std::memcmp(expect, out.px(x, y), 3) != 0)
                    QFAIL(qPrintable(QStringLiteral("record %1 pixel %2,%3").arg(record).arg(x).arg(y)));
            }
        QVERIFY(out.paddingIntact());
    }
}

void TestFilm::chainedTables()
{
    // Film look, then bank 3, then bank 4: the working table holds each
    // later table evaluated at the earlier node colours.
    QVERIFY(loadBlob());
    const BgrTestImage in = nodePicture();
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
    QCOMPARE(FilmSelectLut(&f.image, 3), 0);
    QCOMPARE(FilmSelectLutBank3(&f.image, 2), 0);
    QCOMPARE(FilmSelectLutBank4(&f.image, 5), 0);
    const BgrTestImage out = render(f.image, in);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            const uint8_t* s = in.px(x, y);
            uint8_t v[3], w[3], z[3];
            for (int p = 0; p < 3; ++p)
                v[p] = lutValue(2, p, s[0] >> 4, s[1] >> 4, s[2] >> 4);
            refSample(lutOf(kBlob, 33), v, w);
            refSample(lutOf(kBlob, 40), w, z);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(out.px(x, y)), 3), QByteArray(reinterpret_cast<const char*>(z), 3));
        }
}

void TestFilm::toneCurveWithBank2_data()
{
    QTest::addColumn<int>("bank2");
    QTest::addColumn<double>("exponent");
    QTest::newRow("1") << 1 << 1.0 / 1.8;
    QTest::newRow("2") << 2 << 1.0 / 1.4;
    QTest::newRow("3") << 3 << 1.4;
    QTest::newRow("4") << 4 << 1.8;
}

void TestFilm::toneCurveWithBank2()
{
    QFETCH(int, bank2);
    QFETCH(double, exponent);
    QVERIFY(loadBlob());
    uint8_t curve[256] = {};
    const double k = std::pow(0.018, exponent) / 0.018;
    for (int i = 0; i < 255; ++i) {
        const double x = i / 255.0;
        const double fx = x <= 0.018 ? x * k : std::pow(x, exponent);
        curve[255 - i] = uint8_t(255 - std::min(255, int(std::trunc(fx * 255 + 0.5))));
    }

    const BgrTestImage in = nodePicture();
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
    QCOMPARE(FilmSelectLut(&f.image, 10), 0);
    QCOMPARE(FilmSelectLutBank2(&f.image, bank2), 0);
    const BgrTestImage out = render(f.image, in);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            const uint8_t* s = in.px(x, y);
            uint8_t v[3], w[3];
            for (int p = 0; p < 3; ++p)
                v[p] = lutValue(9, p, s[0] >> 4, s[1] >> 4, s[2] >> 4);
            refSample(lutOf(kBlob, 27 + bank2), v, w);
            for (int p = 0; p < 3; ++p)
                QCOMPARE(int(out.px(x, y)[p]), int(curve[w[p]]));
        }

    // The curve itself, through the single-step member.
    BgrTestImage ramp(86, 1, 0);
    for (int i = 0; i < 256; ++i)
        ramp.px(0, 0)[i] = uint8_t(i);
    QCOMPARE(FilmApplyCurve(&f.image, ramp.data(), ramp.width, 1, ramp.stride), 0);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(int(ramp.px(0, 0)[i]), int(curve[i]));
    // Monotone and mirrored: darker for exponents below 1, lighter above.
    for (int i = 1; i < 256; ++i)
        QVERIFY(curve[i] >= curve[i - 1]);
    QCOMPARE(int(curve[255]), 255);
    QVERIFY(exponent < 1.0 ? curve[128] < 128 : curve[128] > 128);
}

void TestFilm::singleStepMembers()
{
    QVERIFY(loadBlob());
    Film f;
    BgrTestImage px = nodePicture();
    const BgrTestImage orig = px;
    QCOMPARE(FilmApplyLutFilm(&f.image, px.data(), px.width, px.height, px.stride), -2);
    QCOMPARE(FilmApplyLutBank3(&f.image, px.data(), px.width, px.height, px.stride), -2);
    QVERIFY(px.samePixels(orig));
    QCOMPARE(FilmSelectLutBank3(&f.image, 1), 0);
    QCOMPARE(FilmApplyLutBank3(&f.image, px.data(), px.width, px.height, px.stride), 0);
    QCOMPARE(int(px.px(4, 4)[1]), int(lutValue(32, 1, orig.px(4, 4)[0] >> 4, orig.px(4, 4)[1] >> 4, orig.px(4, 4)[2] >> 4)));
    QVERIFY(px.paddingIntact());
    QCOMPARE(FilmApplyLutBank3(&f.image, px.data(), px.width, px.height, px.width * 3 - 1), -2);
    QCOMPARE(FilmApplyLutBank3(&f.image, nullptr, px.width, px.height, px.stride), -2);
    QCOMPARE(FilmApplyLut(nullptr, px.data(), px.width, px.height, px.stride), -1);

    // Row reversal: row y takes row height - 1 - y, padding included; twice is the identity.
    const BgrTestImage before = px;
    QCOMPARE(FilmFlipRows(px.data(), px.height, px.stride), 0);
    for (int y = 0; y < px.height; ++y)
        QVERIFY(std::memcmp(px.data() + size_t(y) * px.stride,
                            before.data() + size_t(px.height - 1 - y) * px.stride, size_t(px.stride)) == 0);
    QCOMPARE(FilmFlipRows(px.data(), px.height, px.stride), 0);
    QVERIFY(px.samePixels(before));
    QCOMPARE(FilmFlipRows(nullptr, px.height, px.stride), -2);
}

void TestFilm::selectionsWithoutData()
{
    // No blob: every selection stores its index, takes nothing, and the
    // picture comes out unchanged (no black picture from an empty table).
    const BgrTestImage in = nodePicture();
    Film f;
    QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
    FilmSetCategory(&f.image, 1);
    QCOMPARE(FilmSelectLut(&f.image, 5), 0);
    QCOMPARE(FilmSelectLutBank2(&f.image, 2), 0);
    QCOMPARE(FilmSelectLutBank3(&f.image, 2), 0);
    QCOMPARE(FilmSelectLutBank4(&f.image, 2), 0);
    QCOMPARE(FilmSelectGrain(&f.image, 2), 0);
    QVERIFY(render(f.image, in).samePixels(in));
    // Ranges still hold.
    QCOMPARE(FilmSelectLut(&f.image, 44), -2);
    // Freeing the blob after a selection leaves the copy in the record.
    QVERIFY(loadBlob());
    Film g;
    QCOMPARE(FilmSetImage(&g.image, in.data(), in.width, in.height, in.stride, 0), 0);
    QCOMPARE(FilmSelectLut(&g.image, 1), 0);
    FilmFreeData();
    QCOMPARE(int(render(g.image, in).px(0, 0)[0]), int(lutValue(0, 0, 0, 0, 0)));
}

void TestFilm::grainScaleForSize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("scale");
    QTest::newRow("k0 1423") << 1423 << 100 << 0 << 1.0;
    QTest::newRow("k0 1424") << 100 << 1424 << 0 << 1.0;
    QTest::newRow("k0 1488") << 1488 << 1000 << 0 << 1.1;
    QTest::newRow("k0 1551") << 1551 << 1000 << 0 << 1.1;
    QTest::newRow("k0 1552") << 1552 << 1000 << 0 << 1.2;
    QTest::newRow("k0 7184") << 7184 << 10 << 0 << 10.0;
    QTest::newRow("k0 huge") << INT_MAX << INT_MAX << 0 << 10.0;
    QTest::newRow("k1 1985") << 1985 << 0 << 1 << 1.0;
    QTest::newRow("k1 1986") << 1986 << 0 << 1 << 1.1;
    QTest::newRow("k2 3341") << 3341 << 0 << 2 << 1.0;
    QTest::newRow("k2 3342") << 3342 << 0 << 2 << 1.1;
    QTest::newRow("k3") << 9000 << 9000 << 3 << 1.0;
    QTest::newRow("k-1") << 9000 << 9000 << -1 << 1.0;
    QTest::newRow("negative size") << -9000 << -5 << 0 << 1.0;
}

void TestFilm::grainScaleForSize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, kind);
    QFETCH(double, scale);
    double out = -1;
    QCOMPARE(FilmGrainScaleForSize(&out, width, height, kind), 0);
    QVERIFY2(std::fabs(out - scale) < 1e-9, qPrintable(QString::number(out)));
    QCOMPARE(FilmGrainScaleForSize(nullptr, width, height, kind), -2);
}

void TestFilm::strengthAndScaleBounded()
{
    QVERIFY(loadBlob());
    BgrTestImage in(80, 60, 1);
    in.fillScene(3);
    Film capped, huge, nan;
    for (Film* f : {&capped, &huge, &nan}) {
        QCOMPARE(FilmSetImage(&f->image, in.data(), in.width, in.height, in.stride, 0), 0);
        FilmReset(&f->image);
        QCOMPARE(FilmSelectGrain(&f->image, 21), 0);
    }
    QCOMPARE(FilmSetStrength(&capped.image, kFilmStrengthMax), 0);
    QCOMPARE(FilmSetGrainScale(&capped.image, kFilmGrainScaleMax), 0);
    QCOMPARE(FilmSetStrength(&huge.image, kFilmStrengthMax + 1), 0);
    QCOMPARE(FilmSetGrainScale(&huge.image, 1e300), 0);
    QCOMPARE(FilmSetGrainScale(&nan.image, std::nan("")), -2);
    const BgrTestImage a = render(capped.image, in), b = render(huge.image, in);
    QVERIFY(a.samePixels(b));
    QVERIFY(!a.samePixels(in));
    QVERIFY(!render(nan.image, in).samePixels(in));  // still the reset scale
}

void TestFilm::badPictures_data()
{
    QTest::addColumn<bool>("nullPixels");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("rowBytes");
    QTest::newRow("null pixels") << true << 4 << 4 << 12;
    QTest::newRow("zero width") << false << 0 << 4 << 12;
    QTest::newRow("negative height") << false << 4 << -4 << 12;
    QTest::newRow("short rows") << false << 4 << 4 << 11;
    QTest::newRow("negative rows") << false << 4 << 4 << -12;
    QTest::newRow("width overflows") << false << INT_MAX << 1 << INT_MAX;
}

void TestFilm::badPictures()
{
    QFETCH(bool, nullPixels);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, rowBytes);
    BgrTestImage good(5, 4, 0);
    good.fillRandom(8);
    Film f;
    QCOMPARE(FilmApply(&f.image), -2);  // nothing set yet
    QCOMPARE(FilmSetImage(&f.image, good.data(), good.width, good.height, good.stride, 1), 0);
    std::vector<uint8_t> bytes(64);
    QCOMPARE(FilmSetImage(&f.image, nullPixels ? nullptr : bytes.data(), width, height, rowBytes, 1), -2);
    // The picture before is kept.
    QCOMPARE(FilmApply(&f.image), 0);
    QCOMPARE(f.image.width, good.width);
    QVERIFY(std::memcmp(f.image.pixels, good.px(0, good.height - 1), 15) == 0);
    QCOMPARE(FilmSetImage(nullptr, good.data(), 5, 4, 15, 0), -1);
    QCOMPARE(FilmApply(nullptr), -1);
    QCOMPARE(FilmRelease(nullptr), -1);
}

void TestFilm::releaseAndReuse()
{
    QVERIFY(loadBlob());
    BgrTestImage in(30, 20, 2);
    in.fillScene(4);
    FilmImage image;
    QCOMPARE(FilmSetImage(&image, in.data(), in.width, in.height, in.stride, 0), 0);
    FilmReset(&image);
    FilmSetCategory(&image, 1);
    FilmSelectLut(&image, 3);
    FilmSelectLutBank2(&image, 1);
    FilmSelectLutBank3(&image, 1);
    FilmSelectLutBank4(&image, 1);
    FilmSelectGrain(&image, 9);
    QCOMPARE(FilmApply(&image), 0);
    // Everything goes, the working picture too (the sanitizer build checks leaks).
    QCOMPARE(FilmRelease(&image), 0);
    QVERIFY(image.pixels == nullptr);
    QVERIFY(image.params == nullptr);
    QCOMPARE(FilmRelease(&image), 0);
    // The record can be used again and starts empty.
    QCOMPARE(FilmApply(&image), -2);
    QCOMPARE(FilmSetImage(&image, in.data(), in.width, in.height, in.stride, 0), 0);
    QCOMPARE(FilmApply(&image), 0);
    QVERIFY(std::memcmp(image.pixels, in.data(), size_t(in.width) * 3) == 0);
    FilmRelease(&image);
}

void TestFilm::shortOfMemory()
{
    // The whole calling order with each acquisition failing in turn (and
    // every one after it): codes come back, never an exception, and a
    // result reported as made is right. Large enough for helper threads.
    BgrTestImage in(700, 520, 2);
    in.fillRandom(12);
    BgrTestImage expected(in.width, in.height, 2);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            refSample(lutOf(kBlob, 4), in.px(x, y), expected.px(x, y));

    constexpr int kMany = 1 << 20;
    const auto calls = [&](FilmImage& image, int codes[6]) {
        codes[0] = FilmLoadData(kBlob.data(), kFilmDataSize);
        codes[1] = FilmSetImage(&image, in.data(), in.width, in.height, in.stride, 0);
        codes[2] = FilmReset(&image);
        codes[3] = FilmSetCategory(&image, 1);
        codes[4] = FilmSelectLut(&image, 5);
        codes[5] = FilmApply(&image);
    };
    // Count what the whole order acquires.
    int total = 0;
    {
        Film f;
        int codes[6];
        FilmFaultInjectAfter(kMany);
        calls(f.image, codes);
        total = kMany - FilmFaultInjectAfter(-1);
        QVERIFY(std::all_of(codes, codes + 6, [](int c) { return c == 0; }));
        FilmFreeData();
    }
    QVERIFY(total >= 6);

    // Every n below the total makes one acquisition fail.
    int renderedDespiteFailure = 0;
    for (int n = 0; n < total; ++n) {
        Film f;
        int codes[6];
        FilmFaultInjectAfter(n);
        calls(f.image, codes);
        FilmFaultInjectAfter(-1);
        bool allMade = true;
        for (int c : codes) {
            QVERIFY2(c == 0 || c == -1 || c == -2, qPrintable(QString::number(c)));
            allMade &= c == 0;
        }
        if (allMade) {
            for (int y = 0; y < in.height; ++y)
                QVERIFY2(std::memcmp(f.image.pixels + size_t(y) * f.image.rowBytes, expected.px(0, y), size_t(in.width) * 3) == 0,
                         qPrintable(QStringLiteral("acquisition %1, row %2").arg(n).arg(y)));
            ++renderedDespiteFailure;
        }
        FilmFreeData();
        // The record stays usable.
        QCOMPARE(FilmSetImage(&f.image, in.data(), in.width, in.height, in.stride, 0), 0);
        QCOMPARE(FilmApply(&f.image), 0);
    }
    // A look-up table or a thread that could not be had changes nothing.
    QVERIFY(renderedDespiteFailure > 0);
}

QTEST_GUILESS_MAIN(TestFilm)
#include "tst_film.moc"
