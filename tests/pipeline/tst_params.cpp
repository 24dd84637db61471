#include <QtTest>

#include "IQParams.h"

namespace {

// Every field of the three records, in declaration order.
QList<double> fieldsOf(const IQAdjustParams &a, const IQHDRToneParams &t = {}, const IQDenoiseParams &d = {})
{
    return {double(a.mode), double(a.filterBlue), double(a.filterGreen), double(a.filterRed), double(a.filterOpacity),
            double(a.filterBlend), double(a.contrast), double(a.saturation), double(a.vignette), double(a.blur),
            double(a.spare), double(a.brightness), double(a.sharpness), double(a.temperature), double(a.tint),
            double(a.gamma), double(a.vibrance), double(t.highlight), double(t.shadow), double(t.clahe), t.claheClip,
            double(t.equalizeRounded), double(t.detailEnhance), double(t.localGamma), double(t.equalizeTruncated),
            double(t.edgePreserve), double(t.denoiseColored), double(t.addNoise), double(d.mode),
            double(d.luminance), double(d.chrominance), double(d.luminanceFactor)};
}

QList<double> fieldsOf(const IQProcessParams &p)
{
    return fieldsOf(p.adjust, p.tone, p.denoise);
}

// Every field set away from its reset value.
IQProcessParams scrambled()
{
    IQProcessParams p;
    IQAdjustParams &a = p.adjust;
    a.mode = 3; a.filterBlue = 1; a.filterGreen = 2; a.filterRed = 3; a.filterOpacity = 4;
    a.filterBlend = false; a.contrast = 5; a.saturation = 6; a.vignette = 7; a.blur = 8;
    a.spare = 9; a.brightness = 10; a.sharpness = 11; a.temperature = 12; a.tint = 13;
    a.gamma = 14; a.vibrance = 15;
    IQHDRToneParams &t = p.tone;
    t.highlight = 16; t.shadow = 17; t.clahe = true; t.claheClip = 18.0; t.equalizeRounded = true;
    t.detailEnhance = true; t.localGamma = true; t.equalizeTruncated = true; t.edgePreserve = true;
    t.denoiseColored = true; t.addNoise = true;
    p.denoise.mode = 19; p.denoise.luminance = 20; p.denoise.chrominance = 21;
    p.denoise.luminanceFactor = 22;
    return p;
}

} // namespace

class TestParams : public QObject {
    Q_OBJECT
private slots:
    void neutralValues();
    void adjustIsDefaultPerField_data();
    void adjustIsDefaultPerField();
    void toneIsDefaultIgnoresClip();
    void assignCopiesEveryField();
    void presetsMatchTheTable_data();
    void presetsMatchTheTable();
    void outOfRangePresetsGiveDefaults_data();
    void outOfRangePresetsGiveDefaults();
};

void TestParams::neutralValues()
{
    // Mode, filter blue, green, red, opacity, spare, temperature, tint.
    const IQAdjustParams a;
    QCOMPARE((QList<int>{a.mode, a.filterBlue, a.filterGreen, a.filterRed, a.filterOpacity, a.spare,
                         a.temperature, a.tint}),
             (QList<int>{0, 255, 255, 255, 50, 50, 5000, 10}));
    QVERIFY(a.filterBlend);
    QVERIFY(IQProcessParams().isDefault());
}

void TestParams::adjustIsDefaultPerField_data()
{
    QTest::addColumn<int>("field");
    const char *names[] = {"mode", "filterBlue", "filterGreen", "filterRed", "filterOpacity",
                           "filterBlend", "contrast", "saturation", "vignette", "blur", "spare",
                           "brightness", "sharpness", "temperature", "tint", "gamma", "vibrance"};
    for (int i = 0; i < 17; ++i)
        QTest::newRow(names[i]) << i;
}

void TestParams::adjustIsDefaultPerField()
{
    QFETCH(int, field);
    IQAdjustParams a;
    int *ints[] = {&a.mode, &a.filterBlue, &a.filterGreen, &a.filterRed, &a.filterOpacity, nullptr,
                   &a.contrast, &a.saturation, &a.vignette, &a.blur, &a.spare, &a.brightness,
                   &a.sharpness, &a.temperature, &a.tint, &a.gamma, &a.vibrance};
    if (ints[field])
        *ints[field] = (field == 14) ? 0 : *ints[field] + 1; // a tint of 0 is an active setting
    else
        a.filterBlend = false;
    QVERIFY(!a.isDefault());
    a.reset();
    QVERIFY(a.isDefault());
}

void TestParams::toneIsDefaultIgnoresClip()
{
    IQHDRToneParams t;
    t.claheClip = 3.0;
    QVERIFY(t.isDefault());
    t.reset();
    QCOMPARE(t.claheClip, 1.0);
    bool IQHDRToneParams::*switches[] = {&IQHDRToneParams::clahe, &IQHDRToneParams::equalizeRounded,
                                         &IQHDRToneParams::detailEnhance, &IQHDRToneParams::localGamma,
                                         &IQHDRToneParams::equalizeTruncated, &IQHDRToneParams::edgePreserve,
                                         &IQHDRToneParams::denoiseColored, &IQHDRToneParams::addNoise};
    for (auto sw : switches) {
        IQHDRToneParams one;
        one.*sw = true;
        QVERIFY(!one.isDefault());
    }
    IQHDRToneParams h;
    h.highlight = -1;
    QVERIFY(!h.isDefault());
    IQHDRToneParams s;
    s.shadow = 100;
    QVERIFY(!s.isDefault());
    IQDenoiseParams d;
    d.luminanceFactor = 1;
    QVERIFY(!d.isDefault());
    d.clear();
    QVERIFY(d.isDefault());
}

void TestParams::assignCopiesEveryField()
{
    const IQProcessParams source = scrambled();
    IQAdjustParams a;
    a.assign(source.adjust);
    QCOMPARE(fieldsOf(a), fieldsOf(source.adjust));
    IQAdjustParams b;
    b = source.adjust;
    QCOMPARE(fieldsOf(b), fieldsOf(source.adjust));
    b = b; // self-assignment leaves the record as it was
    QCOMPARE(fieldsOf(b), fieldsOf(source.adjust));
    IQDenoiseParams d;
    d.assign(source.denoise);
    QCOMPARE(fieldsOf({}, {}, d), fieldsOf({}, {}, source.denoise));
}

Q_DECLARE_METATYPE(IQProcessParams)

void TestParams::presetsMatchTheTable_data()
{
    // The effect table, cell by cell, on top of fresh records.
    QTest::addColumn<int>("effect");
    QTest::addColumn<IQProcessParams>("expected");
    IQProcessParams p;
    IQAdjustParams &a = p.adjust;
    IQHDRToneParams &t = p.tone;
    IQDenoiseParams &d = p.denoise;

    p.reset(); a.vibrance = 50; a.sharpness = 30;
    t.highlight = -10; t.shadow = 30; t.clahe = true; t.claheClip = 1.0;
    QTest::newRow("1") << 1 << p;
    p.reset(); a.mode = 0; a.saturation = 30;
    t.clahe = true; t.claheClip = 4.0; t.equalizeRounded = true; t.denoiseColored = true;
    QTest::newRow("2") << 2 << p;
    p.reset(); a.mode = 1; a.brightness = 20; a.sharpness = 10;
    t.clahe = true; t.claheClip = 1.0; d.luminance = 50;
    QTest::newRow("3") << 3 << p;
    p.reset(); a.mode = 0; a.contrast = 5; a.brightness = -30; a.sharpness = 50; a.temperature = 4000; a.vibrance = 20;
    t.highlight = 20; t.clahe = true; t.claheClip = 1.0; d.luminance = 50;
    QTest::newRow("4") << 4 << p;
    p.reset(); a.mode = 0; a.contrast = 5; a.brightness = 10; a.sharpness = 30; a.vibrance = 35;
    t.highlight = 15; t.shadow = -5; t.clahe = true; t.claheClip = 1.0; d.luminance = 50;
    QTest::newRow("5") << 5 << p;
    p.reset(); a.mode = 0; a.contrast = 20; a.saturation = 20; a.brightness = 20;
    t.highlight = -30; t.shadow = 15; t.clahe = true; t.claheClip = 1.0; d.luminance = 50;
    QTest::newRow("6") << 6 << p;
    p.reset(); a.mode = 0; a.contrast = 5; a.brightness = 10; a.sharpness = 30; a.vibrance = 45;
    t.highlight = 10; t.edgePreserve = true; d.luminance = 20;
    QTest::newRow("7") << 7 << p;
    p.reset(); a.mode = 2; a.sharpness = 10;
    t.highlight = 10; t.shadow = 10; t.clahe = true; t.claheClip = 2.0; d.luminance = 50;
    QTest::newRow("8") << 8 << p;
    p.reset(); a.mode = 2;
    t.highlight = 30; t.shadow = 30; t.clahe = true; t.claheClip = 3.0; t.detailEnhance = true; t.denoiseColored = true;
    QTest::newRow("9") << 9 << p;
    p.reset(); a.mode = 3; a.brightness = -50; a.vibrance = -30;
    t.highlight = -20; t.equalizeTruncated = true; t.addNoise = true;
    QTest::newRow("10") << 10 << p;
}

void TestParams::presetsMatchTheTable()
{
    QFETCH(int, effect);
    QFETCH(IQProcessParams, expected);
    // Start from a record with every field moved: nothing may stay behind.
    IQProcessParams p = scrambled();
    p.setPreset(effect);
    QCOMPARE(fieldsOf(p), fieldsOf(expected));
    QVERIFY(!p.isDefault());
}

void TestParams::outOfRangePresetsGiveDefaults_data()
{
    QTest::addColumn<int>("effect");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
    QTest::newRow("11") << 11;
    QTest::newRow("min int") << std::numeric_limits<int>::min();
}

void TestParams::outOfRangePresetsGiveDefaults()
{
    QFETCH(int, effect);
    IQProcessParams p = scrambled();
    p.setPreset(effect);
    QCOMPARE(fieldsOf(p), fieldsOf(IQProcessParams()));
    QVERIFY(p.isDefault());
}

QTEST_GUILESS_MAIN(TestParams)
#include "tst_params.moc"
