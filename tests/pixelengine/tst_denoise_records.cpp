// Denoiser records: layout tables, weights, noise profile format, tile grid.
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "PixelEngine.h"
#include "denoise/DenoiseLayout.h"
#include "denoise/DenoiseMemory.h"
#include "denoise/DenoiseRecords.h"
#include "denoise/DenoiseTileGrid.h"

class TestDenoiseRecords : public QObject {
    Q_OBJECT
private slots:
    void layoutTable();
    void sampleLayout_data();
    void sampleLayout();
    void engineDefaults();
    void weights_data();
    void weights();
    void profileRoundTrip();
    void profileRejectsTruncated();
    void profileRejectsOversized_data();
    void profileRejectsOversized();
    void profileSurvivesHostileBytes();
    void tileGridCounts_data();
    void tileGridCounts();
    void tileGridBoundsMemory();
};

void TestDenoiseRecords::layoutTable()
{
    const uint32_t expected[15] = {0,           0x00500013u, 0x21000013u, 0,           0x00000013u,
                                   0,           0x00002023u, 0x00200013u, 0x51000013u, 0x30000013u,
                                   0x50000013u, 0,           0x20000013u, 0x22000013u, 0x52800013u};
    for (int code = 0; code <= 14; ++code)
        QCOMPARE(DenoiseLayoutForCode(code), expected[code]);
    // Frame formats to codes, and the layouts of those codes back to them.
    const int formats[][2] = {{0x503, 2},  {0x401, 4},  {0x501, 12},  {0x801, 8},
                              {0x802, 14}, {0x601, 10}, {0x602, int(PE_ERR_FORMAT)}, {0, int(PE_ERR_FORMAT)}};
    for (const auto& f : formats) {
        QCOMPARE(DenoiseCodeForFormat(f[0]), f[1]);
        if (f[1] > 0)
            QCOMPARE(DenoiseLayoutToCode(expected[f[1]]), f[1]);
    }
    QCOMPARE(DenoiseLayoutForCode(15), 0u);
    QCOMPARE(DenoiseLayoutForCode(-1), 0u);
    QCOMPARE(DenoiseLayoutBytesPerSample(0x00002023u), 2);
    QCOMPARE(DenoiseLayoutChannels(0x50000013u), 3);
    // Class 1 without variant is sized like class 2; with a variant it halves the width only.
    QVERIFY(DenoiseLayoutChromaHalvesBoth(0x20000013u));
    QVERIFY(DenoiseLayoutChromaHalvesBoth(0x30000013u));
    QVERIFY(DenoiseLayoutChromaHalvesBoth(0x50000013u));
    QVERIFY(!DenoiseLayoutChromaHalvesBoth(0x21000013u));
    QVERIFY(DenoiseLayoutChromaHalvesWidth(0x21000013u));
    QVERIFY(!DenoiseLayoutChromaHalvesBoth(0x00000013u));
    QCOMPARE(DenoiseLayoutToCode(0x12345678u), 0);
}

void TestDenoiseRecords::sampleLayout_data()
{
    QTest::addColumn<uint>("layout");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QList<int>>("expected");  // plane,row,byte for Y, U, V
    QTest::newRow("444") << 0x00000013u << 5 << 2 << QList<int>{0, 2, 15, 0, 2, 16, 0, 2, 17};
    QTest::newRow("YUY2 odd x") << 0x20000013u << 3 << 5 << QList<int>{0, 5, 6, 0, 5, 5, 0, 5, 7};
    QTest::newRow("YUY2 even x") << 0x20000013u << 4 << 1 << QList<int>{0, 1, 8, 0, 1, 9, 0, 1, 11};
    QTest::newRow("UYVY") << 0x21000013u << 3 << 0 << QList<int>{0, 0, 7, 0, 0, 4, 0, 0, 6};
    QTest::newRow("code 13") << 0x22000013u << 11 << 0 << QList<int>{0, 0, 19, 0, 0, 25, 0, 0, 29};
    QTest::newRow("0x23") << 0x23000013u << 3 << 0 << QList<int>{0, 0, 5, 0, 0, 6, 0, 0, 7};
    QTest::newRow("0x24 even") << 0x24000013u << 2 << 0 << QList<int>{0, 0, 6, 0, 0, 5, 0, 0, 7};
    QTest::newRow("0x24 odd") << 0x24000013u << 3 << 0 << QList<int>{0, 0, 4, 0, 0, 5, 0, 0, 7};
    QTest::newRow("planar 444") << 0x10000013u << 7 << 3 << QList<int>{0, 3, 7, 1, 3, 7, 2, 3, 7};
    QTest::newRow("code 9") << 0x30000013u << 7 << 3 << QList<int>{0, 3, 7, 1, 3, 3, 2, 3, 3};
    QTest::newRow("I420") << 0x50000013u << 7 << 3 << QList<int>{0, 3, 7, 1, 1, 3, 2, 1, 3};
    QTest::newRow("NV12") << 0x51000013u << 7 << 3 << QList<int>{0, 3, 7, 1, 1, 6, 1, 1, 7};
    QTest::newRow("NV21") << 0x52800013u << 7 << 3 << QList<int>{0, 3, 7, 1, 1, 7, 1, 1, 6};
}

void TestDenoiseRecords::sampleLayout()
{
    QFETCH(uint, layout);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QList<int>, expected);
    for (int c = 0; c < 3; ++c) {
        DenoiseSampleSite site{};
        QVERIFY(DenoiseSampleLocate(layout, c, x, y, &site));
        QCOMPARE(site.plane, expected[3 * c]);
        QCOMPARE(site.row, expected[3 * c + 1]);
        QCOMPARE(site.byte, expected[3 * c + 2]);
    }
    DenoiseSampleSite site{};
    QVERIFY(!DenoiseSampleLocate(0x10000011u, 1, 0, 0, &site));
    QVERIFY(!DenoiseSampleLocate(0xDEAD0013u, 0, 0, 0, &site));
}

void TestDenoiseRecords::engineDefaults()
{
    DenoiseEngine engine;
    QCOMPARE(engine.mode, 6);
    QCOMPARE(engine.stored.count, 0u);
    DenoiseWorkRecord work{};
    DenoiseWorkRecordFillWeights(&work, engine.luma, engine.chroma);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(work.lumaLevel[i], 256);
        QCOMPARE(work.chromaLevel[i], 256);
        QCOMPARE(work.lumaStrength[i], 204);
        QCOMPARE(work.chromaStrength[i], 230);
        QCOMPARE(work.lumaFactor[i], i < 3 ? 307 : 256);
        QCOMPARE(work.chromaFactor[i], i < 3 ? 307 : 256);
    }
    QCOMPARE(DenoiseThreadCount(), 4);
}

void TestDenoiseRecords::weights_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("strength");
    QTest::addColumn<int>("factor");
    QTest::newRow("50") << 50 << 0 << 256 << 128 << 384;
    QTest::newRow("100") << 100 << 0 << 1024 << 256 << 512;
    QTest::newRow("0") << 0 << 0 << 0 << 0 << 256;
    QTest::newRow("20-20") << 20 << -20 << 0 << 0 << 256;
    QTest::newRow("80") << 80 << 0 << 655 << 204 << 460;
    QTest::newRow("negative") << -30 << 0 << 0 << 0 << 180;
    QTest::newRow("very negative") << -1000 << 0 << 0 << 0 << 0;
    // L*L*256 overflows 32 bits past L = 2896; weights saturate instead.
    QTest::newRow("huge") << std::numeric_limits<int>::max() << 5 << 65535 << 256 << 4096;
    QTest::newRow("most negative") << std::numeric_limits<int>::min() << -5 << 0 << 0 << 0;
}

void TestDenoiseRecords::weights()
{
    QFETCH(int, value);
    QFETCH(int, offset);
    QFETCH(int, level);
    QFETCH(int, strength);
    QFETCH(int, factor);
    QCOMPARE(DenoiseLevelWeight(value, offset), level);
    QCOMPARE(DenoiseStrengthWeight(value, offset), strength);
    QCOMPARE(DenoiseFactorWeight(value, offset), factor);
}

static DenoiseProfile randomProfile(uint32_t seed)
{
    DenoiseProfile p;
    DenoiseProfileSetup(&p, 3, 4, 4);
    std::mt19937 rng(seed);
    for (int c = 0; c < 3; ++c)
        for (int l = 0; l < 4; ++l)
            for (int i = 0; i < 256; ++i)
                p.entries[c][l].table[i] = uint8_t(rng());
    return p;
}

static bool sameProfile(const DenoiseProfile& a, const DenoiseProfile& b)
{
    if (a.count != b.count)
        return false;
    for (uint32_t c = 0; c < a.count; ++c) {
        if (a.levels[c] != b.levels[c])
            return false;
        for (uint32_t l = 0; l < a.levels[c]; ++l) {
            const DenoiseProfileEntry& x = a.entries[c][l];
            const DenoiseProfileEntry& y = b.entries[c][l];
            if (x.bits != y.bits || x.fractionBits != y.fractionBits ||
                std::memcmp(x.table, y.table, size_t(1) << x.bits) != 0)
                return false;
        }
    }
    return true;
}

void TestDenoiseRecords::profileRoundTrip()
{
    const DenoiseProfile p = randomProfile(7);
    std::vector<uint8_t> buffer(DENOISE_PROFILE_BYTES, 0xEE);
    QCOMPARE(DenoiseProfileSerializedSize(p), size_t(3184));
    QCOMPARE(DenoiseProfileSerialize(p, buffer.data(), buffer.size()), 3184);
    // Little-endian header words: count 3, levels 4, bits 8, fraction bits 0, then the table.
    const uint8_t head[16] = {3, 0, 0, 0, 4, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0};
    QVERIFY(std::memcmp(buffer.data(), head, 16) == 0);
    QCOMPARE(buffer[16], p.entries[0][0].table[0]);
    QCOMPARE(buffer[16 + 256 + 4], uint8_t(1));  // fraction bits of level 1
    QCOMPARE(buffer[3184], uint8_t(0xEE));        // nothing written past the profile

    DenoiseProfile read;
    QCOMPARE(DenoiseProfileDeserialize(&read, buffer.data(), buffer.size()), 0);
    QVERIFY(sameProfile(p, read));
    // The NoiseProfile record holds the same bytes, zeros after them.
    NoiseProfile record;
    std::memset(record.bytes, 0xEE, sizeof(record.bytes));
    QCOMPARE(DenoiseNoiseProfileWrite(p, &record), 0);
    QCOMPARE(std::memcmp(record.bytes, buffer.data(), 3184), 0);
    QCOMPARE(std::count(record.bytes + 3184, record.bytes + sizeof(record.bytes), 0), long(4096 - 3184));
    DenoiseProfile fromRecord;
    QCOMPARE(DenoiseNoiseProfileRead(&record, &fromRecord), 0);
    QVERIFY(sameProfile(p, fromRecord));

    // Uneven level counts and small tables survive too.
    DenoiseProfile q;
    DenoiseProfileSetup(&q, 3, 3, 2);
    q.entries[1][1].bits = 0;
    q.entries[1][1].table[0] = 42;
    q.entries[2][0].table[255] = 9;
    const int n = DenoiseProfileSerialize(q, buffer.data(), buffer.size());
    QVERIFY(n > 0);
    QCOMPARE(DenoiseProfileDeserialize(&read, buffer.data(), size_t(n)), 0);
    QVERIFY(sameProfile(q, read));

    // An empty profile is a single zero word.
    DenoiseProfile empty;
    QCOMPARE(DenoiseProfileSerialize(empty, buffer.data(), buffer.size()), 4);
    QCOMPARE(DenoiseProfileDeserialize(&read, buffer.data(), 4), 0);
    QCOMPARE(read.count, 0u);

    // Too small a target is refused.
    QCOMPARE(DenoiseProfileSerialize(p, buffer.data(), 3183), -2);
}

void TestDenoiseRecords::profileRejectsTruncated()
{
    const DenoiseProfile p = randomProfile(11);
    std::vector<uint8_t> buffer(DENOISE_PROFILE_BYTES);
    QCOMPARE(DenoiseProfileSerialize(p, buffer.data(), buffer.size()), 3184);
    const DenoiseProfile before = randomProfile(99);
    for (size_t len = 0; len < 3184; ++len) {
        // Exactly sized copies let AddressSanitizer catch any read past the end.
        std::vector<uint8_t> cut(buffer.begin(), buffer.begin() + long(len));
        DenoiseProfile target = before;
        QCOMPARE(DenoiseProfileDeserialize(&target, cut.data(), cut.size()), -2);
        QVERIFY(sameProfile(target, before));
    }
    std::vector<uint8_t> exact(buffer.begin(), buffer.begin() + 3184);
    DenoiseProfile target;
    QCOMPARE(DenoiseProfileDeserialize(&target, exact.data(), exact.size()), 0);
}

void TestDenoiseRecords::profileRejectsOversized_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<uint>("value");
    QTest::newRow("4 channels") << 0 << 4u;
    QTest::newRow("huge channel count") << 0 << 0xFFFFFFFFu;
    QTest::newRow("5 levels") << 4 << 5u;
    QTest::newRow("levels wrap") << 4 << 0x80000001u;
    QTest::newRow("9 bits") << 8 << 9u;
    QTest::newRow("32 bits") << 8 << 32u;
    QTest::newRow("fraction bits") << 12 << 200u;
    QTest::newRow("later channel levels") << 4 + 4 + 4 * 264 << 7u;
}

void TestDenoiseRecords::profileRejectsOversized()
{
    QFETCH(int, offset);
    QFETCH(uint, value);
    const DenoiseProfile p = randomProfile(3);
    std::vector<uint8_t> buffer(DENOISE_PROFILE_BYTES);
    QCOMPARE(DenoiseProfileSerialize(p, buffer.data(), buffer.size()), 3184);
    for (int i = 0; i < 4; ++i)
        buffer[size_t(offset + i)] = uint8_t(value >> (8 * i));
    const DenoiseProfile before = randomProfile(5);
    DenoiseProfile target = before;
    QCOMPARE(DenoiseProfileDeserialize(&target, buffer.data(), buffer.size()), -2);
    QVERIFY(sameProfile(target, before));
    QCOMPARE(DenoiseProfileDeserialize(nullptr, buffer.data(), buffer.size()), -2);
    QCOMPARE(DenoiseProfileDeserialize(&target, nullptr, 10), -2);
}

void TestDenoiseRecords::profileSurvivesHostileBytes()
{
    std::mt19937 rng(1234);
    int accepted = 0;
    for (int round = 0; round < 5000; ++round) {
        const size_t len = rng() % 5000;
        std::vector<uint8_t> bytes(len);
        for (auto& b : bytes)
            b = uint8_t(rng() % 6 == 0 ? rng() : rng() % 9);
        DenoiseProfile target;
        const int rc = DenoiseProfileDeserialize(&target, bytes.data(), bytes.size());
        QVERIFY(rc == 0 || rc == -2);
        if (rc == 0) {
            ++accepted;
            QVERIFY(target.count <= 3);
            QVERIFY(DenoiseProfileSerializedSize(target) <= DENOISE_PROFILE_BYTES);
        }
    }
    QVERIFY(accepted > 0);
}

void TestDenoiseRecords::tileGridCounts_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("tiles");
    QTest::newRow("16383 px") << 127 << 129 << 1;
    QTest::newRow("16384 px") << 128 << 128 << 2;
    QTest::newRow("40000 px") << 200 << 200 << 3;
    QTest::newRow("49152 px") << 256 << 192 << 4;
    QTest::newRow("wide 49152 px") << 1024 << 48 << 4;
    QTest::newRow("tiny") << 2 << 2 << 1;
}

void TestDenoiseRecords::tileGridCounts()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, tiles);
    const DenoiseTileSize t = DenoiseTileGrid(width, height, 4, 2, 1, 0x20202222u, 0x20202222u, 0x50000013u);
    QVERIFY(t.width > 0 && t.height > 0);
    QVERIFY(t.width <= width && t.height <= height);
    const int across = (width + t.width - 1) / t.width;
    const int down = (height + t.height - 1) / t.height;
    QCOMPARE(across * down, tiles);
}

void TestDenoiseRecords::tileGridBoundsMemory()
{
    for (const auto& size : {std::pair{4000, 3000}, std::pair{6000, 4000}, std::pair{100000, 16}, std::pair{16, 100000}}) {
        const DenoiseTileSize t = DenoiseTileGrid(size.first, size.second, 4, 4, 3, 0x20202222u, 0x20202222u,
                                                  0x20000013u);
        QVERIFY(t.width > 0 && t.height > 0);
        QVERIFY(t.width % 16 == 0 || t.width == size.first);
        QVERIFY(t.height % 16 == 0 || t.height == size.second);
        QVERIFY(DenoiseTileScratchSize(t.width, t.height, 4, 3, 0x20202222u, 0x20202222u, 64, 0x20000013u) <
                DENOISE_TILE_SCRATCH_LIMIT);
        const int64_t count = int64_t((size.first + t.width - 1) / t.width) * ((size.second + t.height - 1) / t.height);
        QVERIFY2(count > 4 || size.first * int64_t(size.second) < 1000000, "large pictures need more tiles");
    }
    // Scratch terms are 64-bit: a giant tile does not wrap to a small size.
    QVERIFY(DenoiseTileScratchSize(1 << 20, 1 << 20, 4, 3, 0x20202222u, 0x20202222u, 64, 0x20000013u) > (int64_t(1) << 40));
}

QTEST_GUILESS_MAIN(TestDenoiseRecords)
#include "tst_denoise_records.moc"
