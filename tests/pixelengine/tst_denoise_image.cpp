// Denoiser image records: window copies, the plane utilities against the
// tile pyramid's own steps, and the window-by-window streaming form.
#include <QtTest>

#include <algorithm>
#include <random>
#include <vector>

#include "PixelEngine.h"
#include "denoise/DenoiseImage.h"
#include "denoise/DenoiseImageStream.h"
#include "denoise/DenoisePlaneKernels.h"

namespace {
std::vector<uint8_t> randomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = uint8_t(rng());
    return v;
}

std::vector<uint8_t> bytesOf(const DenoiseImage* im)
{
    return std::vector<uint8_t>(im->data, im->data + size_t(im->stride) * size_t(im->height));
}
}

class TestDenoiseImage : public QObject {
    Q_OBJECT
private slots:
    void windowCopiesSplitAndJoin();
    void utilitiesMatchThePyramidSteps();
    void streamCarriesMarginsBetweenWindows_data();
    void streamCarriesMarginsBetweenWindows();
};

void TestDenoiseImage::windowCopiesSplitAndJoin()
{
    // A YUY2 frame's luma through the window copy, as the tile pyramid reads
    // it through its plane access.
    const int w = 22, h = 9;
    std::vector<uint8_t> packed = randomBytes(size_t(2 * w * h), 1);
    DenoisePlaneDesc desc;
    desc.width = w;
    desc.height = h;
    desc.layout = 0x20000013u;
    desc.pitch[0] = 2 * w;
    desc.buffer = packed.data();
    DenoisePlaneAccess luma;
    QCOMPARE(DenoisePlaneAccessFor(desc, 0, &luma), 0);
    std::vector<uint8_t> want(size_t(w * h));
    DenoisePlaneRead(luma, 0, 0, w, h, want.data(), w);

    DenoiseImage* im = DenoiseImageCreate(nullptr, w, h, 3, 2, 5, 4);
    QVERIFY(im);
    QCOMPARE(DenoiseImageCopyIn(im, packed.data(), 2 * w, w, h, 2, 0), 0);
    for (int y = 0; y < h; ++y)
        QCOMPARE(std::memcmp(im->data + (y + 2) * im->stride + 3, want.data() + y * w, size_t(w)), 0);
    std::vector<uint8_t> joined(packed.size(), 0x5A);
    QCOMPARE(DenoiseImageCopyOut(im, joined.data(), 2 * w, w, h, 2, 0), 0);
    for (size_t i = 0; i < joined.size(); ++i)
        QCOMPARE(joined[i], i % 2 ? uint8_t(0x5A) : packed[i]);
    QCOMPARE(DenoiseImageCopyIn(im, packed.data(), 2 * w, w + 1, h, 2, 0), int(PE_ERR_ARGUMENT));
    QCOMPARE(DenoiseImageCopyIn(im, packed.data(), 2 * w, w, h, 2, 2), int(PE_ERR_ARGUMENT));

    // Moving the window shifts the left and top margins, never below zero.
    QCOMPARE(DenoiseImageMoveWindow(im, 2, -1), 0);
    QCOMPARE(im->left, 5);
    QCOMPARE(im->top, 1);
    QCOMPARE(im->right, 3);
    QCOMPARE(im->bottom, 5);
    for (const QPoint& move : {QPoint(0, -2), QPoint(0, 6), QPoint(-6, 0), QPoint(4, 0)})
        QCOMPARE(DenoiseImageMoveWindow(im, move.x(), move.y()), int(PE_ERR_ARGUMENT));
    QCOMPARE(im->top, 1);
    DenoiseImageFree(nullptr, im);
}

void TestDenoiseImage::utilitiesMatchThePyramidSteps()
{
    // A window of a 61 x 47 plane near its corner: mirrored margins at the
    // picture's edge, real samples elsewhere.
    const int pw = 61, ph = 47;
    std::vector<uint8_t> plane = randomBytes(size_t(pw * ph), 2);
    DenoisePlaneAccess a;
    a.base = plane.data();
    a.pitch = pw;
    a.width = pw;
    a.height = ph;
    a.frameHeight = ph;
    DenoiseTilePlane pyr;
    QCOMPARE(DenoiseTilePlaneBuild(nullptr, a, 3, 5, 40, 30, 2, 8, &pyr), 0);
    DenoiseImage* fine = pyr.level[0];
    DenoiseImage* coarse = pyr.level[1];

    // Reduce: the pyramid's own level 1.
    DenoiseImage* reduced = DenoiseImageCreate(nullptr, coarse->width - 16, coarse->height - 16, 8, 8, 8, 8);
    QVERIFY(reduced && reduced->width == coarse->width && reduced->height == coarse->height);
    reduced->validX0 = coarse->validX0, reduced->validY0 = coarse->validY0;
    reduced->validX1 = coarse->validX1, reduced->validY1 = coarse->validY1;
    QCOMPARE(DenoiseImageReduce(fine, reduced), 0);
    QCOMPARE(bytesOf(reduced), bytesOf(coarse));
    QCOMPARE(DenoiseImageReduce(coarse, fine), int(PE_ERR_ARGUMENT));

    // Expand: the rounded expansion inside the valid area.
    DenoiseImage* expanded = DenoiseImageCreate(nullptr, fine->width - 32, fine->height - 32, 16, 16, 16, 16);
    expanded->validX0 = fine->validX0, expanded->validY0 = fine->validY0;
    expanded->validX1 = fine->validX1, expanded->validY1 = fine->validY1;
    QCOMPARE(DenoiseImageExpand(coarse, expanded), 0);
    std::vector<uint8_t> want(size_t(fine->stride) * size_t(fine->height));
    DenoiseExpand(coarse->data, coarse->stride, fine->width, fine->height, 0, 0, fine->width, fine->height, want.data(),
                  fine->stride);
    for (int y = fine->validY0; y < fine->validY1; ++y)
        for (int x = fine->validX0; x < fine->validX1; ++x)
            QCOMPARE(expanded->data[y * expanded->stride + x], want[size_t(y * fine->stride + x)]);

    // Detail: the band the tile phase makes.
    std::vector<uint8_t> band = bytesOf(fine);
    QCOMPARE(DenoiseDetailRegion(DENOISE_SAMPLES_U8, coarse->data, coarse->stride, fine->width, fine->height, 0, 0,
                                 fine->width, fine->height, band.data(), fine->stride), 0);
    QCOMPARE(DenoiseImageDetail(fine, coarse), 0);
    QCOMPARE(fine->layout, DENOISE_SAMPLES_S8);
    QCOMPARE(bytesOf(fine), band);
    // Gain: (v * gain + 128) >> 8, clamped; at 1.5 every odd sample lands
    // half-way and the large ones clamp.
    DenoiseImage* gained = DenoiseImageCreate(nullptr, fine->width - 32, fine->height - 32, 16, 16, 16, 16);
    gained->layout = DENOISE_SAMPLES_S8;
    QCOMPARE(DenoiseImageCopyGain(fine, gained, 384), 0);
    for (int y = 0; y < fine->height; ++y)
        for (int x = 0; x < fine->width; ++x)
            QCOMPARE(int(int8_t(gained->data[y * gained->stride + x])),
                     std::clamp((int(int8_t(fine->data[y * fine->stride + x])) * 384 + 128) >> 8, -128, 127));
    // Between layouts the sample's value is kept, clamped to the target's range.
    gained->layout = DENOISE_SAMPLES_U8;
    QCOMPARE(DenoiseImageCopyGain(fine, gained, 256), 0);
    for (size_t i = 0; i < band.size(); i += 7)
        QCOMPARE(int(gained->data[i]), std::max(int(int8_t(fine->data[i])), 0));
    gained->layout = 0x120;
    QCOMPARE(DenoiseImageCopyGain(fine, gained, 256), int(PE_ERR_SAMPLE));

    for (DenoiseImage* im : {reduced, expanded, gained})
        DenoiseImageFree(nullptr, im);
    DenoiseTilePlaneFree(nullptr, &pyr);
}

void TestDenoiseImage::streamCarriesMarginsBetweenWindows_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("margin");
    QTest::newRow("uneven last windows") << QSize(50, 37) << QSize(16, 12) << 4;
    QTest::newRow("margin as wide as the window") << QSize(24, 20) << QSize(6, 5) << 5;
    QTest::newRow("one window") << QSize(9, 7) << QSize(30, 30) << 3;
    QTest::newRow("no margin") << QSize(20, 10) << QSize(8, 8) << 0;
}

void TestDenoiseImage::streamCarriesMarginsBetweenWindows()
{
    // Each window is filled from the picture; its left and top margins must
    // then hold the picture's samples left of and above it.
    QFETCH(QSize, picture);
    QFETCH(QSize, window);
    QFETCH(int, margin);
    const int pw = picture.width(), ph = picture.height();
    const std::vector<uint8_t> pic = randomBytes(size_t(pw * ph), 3);
    DenoiseImageStream s;
    QCOMPARE(DenoiseImageStreamCreate(nullptr, &s, pw, ph, window.width(), window.height(), margin), 0);
    int windows = 0, rc = 1;
    for (; rc == 1; rc = DenoiseImageStreamNext(&s)) {
        ++windows;
        QCOMPARE(s.width, std::min(window.width(), pw - s.x));
        QCOMPARE(s.height, std::min(window.height(), ph - s.y));
        const DenoiseImage* im = s.image;
        const int x0 = s.x > 0 ? s.x - margin : s.x, y0 = s.y > 0 ? s.y - margin : s.y;
        const int x1 = s.y > 0 ? std::min(s.x + s.width + margin, pw) : s.x;
        for (int y = y0; y < s.y + s.height; ++y)
            for (int x = x0; x < (y < s.y ? x1 : s.x); ++x)
                QCOMPARE(im->data[(im->top + y - s.y) * im->stride + im->left + x - s.x], pic[size_t(y * pw + x)]);
        QCOMPARE(DenoiseImageCopyIn(s.image, pic.data() + s.y * pw + s.x, pw, s.width, s.height, 1, 0), 0);
    }
    QCOMPARE(rc, 0);
    const int across = (pw + window.width() - 1) / window.width(), down = (ph + window.height() - 1) / window.height();
    QCOMPARE(windows, across * down);
    DenoiseImageStreamFree(nullptr, &s);
    QVERIFY(!s.image && !s.rows && !s.columns);
    QCOMPARE(DenoiseImageStreamCreate(nullptr, &s, 40, 40, 4, 8, 5), int(PE_ERR_ARGUMENT));
}

QTEST_GUILESS_MAIN(TestDenoiseImage)
#include "tst_denoise_image.moc"
