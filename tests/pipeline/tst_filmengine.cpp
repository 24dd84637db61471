// The film engine wrapper and the film data resource it loads.
#include <QFile>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "FilmEngine.h"
#include "IQFilmEngine.h"
#include "Rand15.h"

namespace {

const char* const kResource = ":/film/data/filmdata/film.data";

const uint8_t* lutRecord(const QByteArray& data, int record)
{
    return reinterpret_cast<const uint8_t*>(data.constData()) + size_t(record) * kFilmLutBytes;
}

int node(const uint8_t* lut, int plane, int a, int b, int c)
{
    return lut[plane * kFilmLutPlane + c * 289 + b * 17 + a];
}

void refSample(const uint8_t* lut, const uint8_t in[3], uint8_t out[3])
{
    const int f[3] = {in[0] & 15, in[1] & 15, in[2] & 15};
    for (int p = 0; p < 3; ++p) {
        int sum = 0;
        for (int dc = 0; dc < 2; ++dc)
            for (int db = 0; db < 2; ++db)
                for (int da = 0; da < 2; ++da)
                    sum += node(lut, p, (in[0] >> 4) + da, (in[1] >> 4) + db, (in[2] >> 4) + dc)
                         * (da ? f[0] : 16 - f[0]) * (db ? f[1] : 16 - f[1]) * (dc ? f[2] : 16 - f[2]);
        out[p] = uint8_t(sum >> 12);
    }
}

struct Picture {
    int width, height, rowBytes;
    std::vector<uint8_t> bytes;
    Picture(int w, int h, int pad = 0, uint32_t seed = 1)
        : width(w), height(h), rowBytes(w * 3 + pad), bytes(size_t(rowBytes) * h)
    {
        Rand15 rng(seed);
        for (auto& b : bytes)
            b = uint8_t(rng.next() & 255);
    }
    uint8_t* px(int x, int y) { return bytes.data() + size_t(y) * rowBytes + x * 3; }
    const uint8_t* px(int x, int y) const { return bytes.data() + size_t(y) * rowBytes + x * 3; }
};

}  // namespace

class TestFilmEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QFile file(QString::fromLatin1(kResource));
        QVERIFY(file.open(QIODevice::ReadOnly));
        data = file.readAll();
        QCOMPARE(data.size(), qsizetype(kFilmDataSize));
    }
    void resourceLooksAreMonotone();
    void resourceGrainTables();
    void resourcePrintDensities();
    void noSelectionRendersPicture();
    void lookFollowsItsTable_data();
    void lookFollowsItsTable();
    void grainChangesPicture();
    void selectionRanges();
    void refusedPicture();
    void grainScales();
    void renderCopiesWhatBothHold_data();
    void renderCopiesWhatBothHold();
    void sharedDataOutlivesOneEngine();
    void enginesOnThreads();

private:
    QByteArray data; // the film data resource
};

void TestFilmEngine::resourceLooksAreMonotone()
{
    for (int r = 0; r < kFilmLutCount; ++r) {
        const uint8_t* lut = lutRecord(data, r);
        for (int i = 0; i < 17; ++i)
            for (int j = 0; j < 17; ++j)
                for (int n = 1; n < 17; ++n) {
                    // Each output channel along its own input, and along the grey axis.
                    QVERIFY(node(lut, 0, n, i, j) >= node(lut, 0, n - 1, i, j));
                    QVERIFY(node(lut, 1, i, n, j) >= node(lut, 1, i, n - 1, j));
                    QVERIFY(node(lut, 2, i, j, n) >= node(lut, 2, i, j, n - 1));
                    if (i == 0 && j == 0)
                        for (int p = 0; p < 3; ++p)
                            QVERIFY(node(lut, p, n, n, n) >= node(lut, p, n - 1, n - 1, n - 1));
                }
        // Black stays dark and white stays light.
        for (int p = 0; p < 3; ++p) {
            QVERIFY(node(lut, p, 0, 0, 0) < 40);
            QVERIFY(node(lut, p, 16, 16, 16) > 200);
        }
    }
    // The black-and-white looks give equal channels on a saturated colour.
    for (int r : {20, 21, 22, 23, 24, 25}) {
        const uint8_t* lut = lutRecord(data, r);
        QCOMPARE(node(lut, 0, 2, 9, 14), node(lut, 2, 2, 9, 14));
    }
}

void TestFilmEngine::resourceGrainTables()
{
    for (int g = 1; g <= kFilmGrainCount; ++g) {
        const auto* table = reinterpret_cast<const uint8_t*>(data.constData()) + kFilmGrainOffset
                          + size_t(g - 1) * kFilmGrainBytes;
        const bool mono = g >= 13 && g <= 21;
        bool equal = true;
        for (int cell = 0; cell < kFilmGrainCells; ++cell)
            equal &= table[cell * 3] == table[cell * 3 + 1] && table[cell * 3] == table[cell * 3 + 2];
        QCOMPARE(equal, mono);
        // Grain shows most in the mid-tones.
        const int black = 0, grey = 8 * 256 + 8 * 16 + 8, white = 4095;
        for (int ch = 0; ch < 3; ++ch) {
            QVERIFY(table[grey * 3 + ch] > table[black * 3 + ch]);
            QVERIFY(table[grey * 3 + ch] > table[white * 3 + ch]);
        }
    }
}

void TestFilmEngine::resourcePrintDensities()
{
    // Bank 2 goes with the tone-curve exponents 1/1.8, 1/1.4, 1.4, 1.8:
    // the first two print darker, the last two lighter, in that order.
    int mid[4];
    for (int i = 0; i < 4; ++i)
        mid[i] = node(lutRecord(data, 28 + i), 1, 8, 8, 8);
    QVERIFY(mid[0] < mid[1]);
    QVERIFY(mid[1] < 128);
    QVERIFY(mid[2] > 128);
    QVERIFY(mid[3] > mid[2]);
}

void TestFilmEngine::noSelectionRendersPicture()
{
    IQFilmEngine engine;
    const Picture in(33, 17, 3, 2);
    QVERIFY(engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
    Picture out(33, 17, 3, 9);
    QCOMPARE(engine.render(out.bytes.data(), out.width, out.height, out.rowBytes), 0);
    for (int y = 0; y < in.height; ++y)
        QVERIFY(std::memcmp(in.px(0, y), out.px(0, y), size_t(in.width) * 3) == 0);
}

void TestFilmEngine::lookFollowsItsTable_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("film");
    QTest::newRow("portrait") << 0 << 1;
    QTest::newRow("slide") << 0 << 7;
    QTest::newRow("black and white") << 0 << 21;
    QTest::newRow("toning through category 2") << 2 << 39;
}

void TestFilmEngine::lookFollowsItsTable()
{
    QFETCH(int, category);
    QFETCH(int, film);
    const uint8_t* lut = lutRecord(data, film - 1);

    IQFilmEngine engine;
    const Picture in(40, 30, 0, 4);
    QVERIFY(engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
    QCOMPARE(engine.setCategory(category), 0);
    QCOMPARE(engine.setFilm(film), 0);
    Picture out(40, 30);
    QCOMPARE(engine.render(out.bytes.data(), out.width, out.height, out.rowBytes), 0);
    int changed = 0;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            uint8_t expect[3];
            refSample(lut, in.px(x, y), expect);
            QVERIFY(std::memcmp(expect, out.px(x, y), 3) == 0);
            changed += std::memcmp(in.px(x, y), out.px(x, y), 3) != 0;
        }
    QVERIFY(changed > in.width * in.height / 2);
}

void TestFilmEngine::grainChangesPicture()
{
    IQFilmEngine engine;
    const Picture in(200, 150, 0, 6);
    Picture a(200, 150), b(200, 150);
    for (Picture* out : {&a, &b}) {
        QVERIFY(engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
        QCOMPARE(engine.setGrain(14), 0);
        QCOMPARE(engine.setStrength(150), 0);
        QCOMPARE(engine.render(out->bytes.data(), out->width, out->height, out->rowBytes), 0);
    }
    QVERIFY(a.bytes == b.bytes);
    QVERIFY(a.bytes != in.bytes);
}

void TestFilmEngine::selectionRanges()
{
    IQFilmEngine engine;
    const Picture in(8, 8);
    QVERIFY(engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
    QCOMPARE(engine.setFilm(28), 0);
    QCOMPARE(engine.setFilm(44), -2);
    QCOMPARE(engine.setFilm(-1), -2);
    QCOMPARE(engine.setGrain(23), 0);
    QCOMPARE(engine.setGrain(24), -2);
    QCOMPARE(engine.setFilmBank2(4), 0);
    QCOMPARE(engine.setFilmBank2(5), -2);
    QCOMPARE(engine.setFilmBank3(4), 0);
    QCOMPARE(engine.setFilmBank3(5), -2);
    QCOMPARE(engine.setFilmBank4(7), 0);
    QCOMPARE(engine.setFilmBank4(8), -2);
    QCOMPARE(engine.setGrainScale(std::nan("")), -2);
    Picture out(8, 8);
    QCOMPARE(engine.render(out.bytes.data(), 8, 8, 24), 0);
}

void TestFilmEngine::refusedPicture()
{
    IQFilmEngine engine;
    std::vector<uint8_t> bytes(100);
    QVERIFY(!engine.setImage(nullptr, 4, 4, 12, 0));
    QVERIFY(!engine.setImage(bytes.data(), 4, 4, 11, 0));
    QVERIFY(!engine.setImage(bytes.data(), -4, 4, 12, 0));
    QVERIFY(engine.render(bytes.data(), 4, 4, 12) < 0);
}

void TestFilmEngine::grainScales()
{
    IQFilmEngine engine;
    const Picture in(2000, 1500, 0);
    IQFilmParams* p = engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0);
    QVERIFY(p);
    QVERIFY(qFuzzyCompare(p->grainScales[0], 1.9));  // kind 0: (2000 - 1424) >> 6 = 9
    QVERIFY(qFuzzyCompare(p->grainScales[1], 1.9));
    QVERIFY(qFuzzyCompare(p->grainScales[2], 1.0));  // kind 2 starts at 3200
    QVERIFY(qFuzzyCompare(p->grainScales[3], 1.1));  // kind 1: 100 / 86
    double out = 0;
    QCOMPARE(engine.grainScaleForImage(&out), 0);
    QVERIFY(qFuzzyCompare(out, 1.1));
    // A smaller picture resets the scales.
    const Picture small(100, 100, 0);
    p = engine.setImage(small.bytes.data(), small.width, small.height, small.rowBytes, 0);
    QVERIFY(p && p->isDefault());
    for (double s : p->grainScales)
        QCOMPARE(s, 1.0);
}

void TestFilmEngine::renderCopiesWhatBothHold_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pad");
    QTest::addColumn<int>("code");
    QTest::newRow("same") << 20 << 10 << 0 << 0;
    QTest::newRow("narrower, padded") << 7 << 10 << 5 << 0;
    QTest::newRow("shorter") << 20 << 3 << 0 << 0;
    QTest::newRow("larger") << 50 << 40 << 2 << 0;
    QTest::newRow("empty") << 0 << 0 << 0 << 0;
    QTest::newRow("rows too short") << 20 << 10 << -1 << -2;
}

void TestFilmEngine::renderCopiesWhatBothHold()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, pad);
    QFETCH(int, code);
    IQFilmEngine engine;
    const Picture in(20, 10, 4, 3);
    QVERIFY(engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
    const int rowBytes = width * 3 + pad;
    // The destination is exactly rowBytes x height long, with a guard behind.
    std::vector<uint8_t> dst(size_t(std::max(0, rowBytes)) * height + 32, 0xEE);
    QCOMPARE(engine.render(dst.data(), width, height, rowBytes), code);
    for (size_t i = size_t(std::max(0, rowBytes)) * height; i < dst.size(); ++i)
        QCOMPARE(int(dst[i]), 0xEE);
    if (code != 0)
        return;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* d = dst.data() + size_t(y) * rowBytes + x * 3;
            if (x < in.width && y < in.height)
                QVERIFY(std::memcmp(d, in.px(x, y), 3) == 0);
            else
                QCOMPARE(int(d[0]), 0xEE);
        }
    QCOMPARE(engine.render(nullptr, width, height, rowBytes), -2);
}

void TestFilmEngine::sharedDataOutlivesOneEngine()
{
    auto first = std::make_unique<IQFilmEngine>();
    auto second = std::make_unique<IQFilmEngine>();
    QVERIFY(first->hasFilmData() && second->hasFilmData());
    const Picture in(24, 16, 0, 8);
    QVERIFY(first->setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
    QCOMPARE(first->setFilm(3), 0);

    // Destroying one engine leaves the data to the other.
    first.reset();
    QVERIFY(FilmHasData());
    QVERIFY(second->setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0));
    QCOMPARE(second->setFilm(5), 0);
    Picture out(24, 16);
    QCOMPARE(second->render(out.bytes.data(), out.width, out.height, out.rowBytes), 0);
    uint8_t expect[3];
    refSample(lutRecord(data, 4), in.px(3, 3), expect);
    QVERIFY(std::memcmp(expect, out.px(3, 3), 3) == 0);

    // release() twice, then the destructor: one share given up, once.
    second->release();
    second->release();
    QVERIFY(!FilmHasData());
    QVERIFY(!second->hasFilmData());
    QCOMPARE(second->loadFilmData(), 0);
    QVERIFY(FilmHasData());
    second.reset();
    QVERIFY(!FilmHasData());
}

void TestFilmEngine::enginesOnThreads()
{
    // Engines used on two threads while others come and go on this one.
    std::atomic<int> failures{0};
    std::atomic<bool> stop{false};
    auto work = [&](int film) {
        IQFilmEngine engine;
        const Picture in(64, 48, 0, uint32_t(film));
        Picture out(64, 48);
        for (int i = 0; i < 60 && !stop; ++i) {
            if (!engine.setImage(in.bytes.data(), in.width, in.height, in.rowBytes, 0)
                || engine.setFilm(film) != 0 || engine.setGrain(1 + i % 23) != 0
                || engine.render(out.bytes.data(), out.width, out.height, out.rowBytes) != 0)
                ++failures;
        }
    };
    std::thread a(work, 3), b(work, 12);
    for (int i = 0; i < 30; ++i) {
        IQFilmEngine passing;
        QVERIFY(passing.hasFilmData());
    }
    a.join();
    b.join();
    QCOMPARE(failures.load(), 0);
    QVERIFY(!FilmHasData());
}

QTEST_GUILESS_MAIN(TestFilmEngine)
#include "tst_filmengine.moc"
