// Editing page controls: slider rows, box resets, the HDR box, effect presets,
// Revert, and a screenshot of the page with a picture.
#include "tst_adjustingframe_support.h"

#include "BAImageViewerWidget.h"
#include "QToolBoxWidget.h"
#include "TestPaths.h"

#include <QCheckBox>
#include <iterator>
#include <climits>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

using namespace adjtest;

namespace {

// The record a row's value lands in, named by the row.
int recordValue(const IQAdjustingFrame& page, const QString& rowName)
{
    const IQAdjustParams& a = page.adjustParams();
    const IQHDRToneParams& t = page.toneParams();
    const IQDenoiseParams& d = page.denoiseParams();
    const QHash<QString, int> records = {
        {"highlightsWidget", t.highlight}, {"shadowsWidget", t.shadow}, {"contastWidget", a.contrast},
        {"exposureWidget", a.brightness}, {"sharpnessWidget", a.sharpness}, {"blurWidget", a.blur},
        {"tempWidget", a.temperature}, {"tintWidget", a.tint}, {"gammaWidget", a.gamma},
        {"saturationWidget", a.saturation}, {"vibranceWidget", a.vibrance}, {"redWidget", a.filterRed},
        {"greenWidget", a.filterGreen}, {"blueWidget", a.filterBlue}, {"opacityWidget", a.filterOpacity},
        {"amountWidget", a.vignette}, {"luminWidget", d.luminance}, {"colorWidget", d.chrominance}};
    return records.value(rowName, INT_MIN);
}

bool sameAdjust(const IQAdjustParams& a, const IQAdjustParams& b)
{
    return a.mode == b.mode && a.filterBlue == b.filterBlue && a.filterGreen == b.filterGreen
        && a.filterRed == b.filterRed && a.filterOpacity == b.filterOpacity && a.filterBlend == b.filterBlend
        && a.contrast == b.contrast && a.saturation == b.saturation && a.vignette == b.vignette && a.blur == b.blur
        && a.spare == b.spare && a.brightness == b.brightness && a.sharpness == b.sharpness
        && a.temperature == b.temperature && a.tint == b.tint && a.gamma == b.gamma && a.vibrance == b.vibrance;
}

bool sameTone(const IQHDRToneParams& a, const IQHDRToneParams& b)
{
    return a.highlight == b.highlight && a.shadow == b.shadow && a.clahe == b.clahe && a.claheClip == b.claheClip
        && a.equalizeRounded == b.equalizeRounded && a.detailEnhance == b.detailEnhance
        && a.localGamma == b.localGamma && a.equalizeTruncated == b.equalizeTruncated
        && a.edgePreserve == b.edgePreserve && a.denoiseColored == b.denoiseColored && a.addNoise == b.addNoise;
}

} // namespace

class TestAdjustingFrame : public PageTest
{
    Q_OBJECT
private slots:
    void init() { openPage(QSize(1100, 720), true); }
    void cleanup() { closePage(); }

    void formAndDefaults()
    {
        // Page before any picture: nothing to save, nothing to revert.
        IQAdjustingFrame empty;
        QVERIFY(!empty.findChild<QToolButton*>("saveButn")->isEnabled());
        QVERIFY(!empty.findChild<QToolButton*>("restoreButn")->isEnabled());
        QVERIFY(empty.isDefaultParam());
        // Changes are kept but start no pass.
        QSignalSpy results(&empty, &IQAdjustingFrame::algorithmFinished);
        empty.onPropertyValueChanged("SATURATION_NAME", 40);
        empty.findChild<QCheckBox*>("colorCheckBox")->setChecked(true);
        QVERIFY(!empty.isBusy());
        QVERIFY(!empty.findChild<QDialog*>());
        QCOMPARE(empty.adjustParams().saturation, 40);
        QTest::qWait(20);
        QCOMPARE(results.count(), 0);

        QCOMPARE(row(*page, "tempWidget")->value(), 5000);
        QCOMPARE(row(*page, "tintWidget")->value(), 10);
        QCOMPARE(row(*page, "redWidget")->value(), 255);
        QCOMPARE(row(*page, "opacityWidget")->value(), 50);

        // The black one-pixel separators between the page's areas are horizontal.
        for (const char* name : {"line_2", "line_4", "line_7", "line_8"}) {
            auto* line = child<QFrame>(name);
            QVERIFY2(line && line->frameShape() == QFrame::HLine, name);
            QVERIFY2(line->styleSheet().contains("background-color:black;")
                         && line->styleSheet().contains("max-height : 1px;"),
                     name);
        }
        QTRY_COMPARE(child<QFrame>("line_8")->height(), 1);
        QVERIFY(child<QFrame>("line_8")->width() > 200);

        auto* combo = child<QComboBox>("contrastComboBox");
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(2), QStringLiteral("Medium  High Contrast"));
        QVERIFY(!combo->isEnabled());
        QVERIFY(child<QCheckBox>("detailCheckBox")->isHidden());

        // Six boxes in order, keyed.
        QStringList keys;
        for (QToolBoxWidget* b : page->findChildren<QToolBoxWidget*>())
            keys << b->key();
        QCOMPARE(keys, QStringList({"hdrTone", "smartTone", "imageRadiance", "colorFilter", "vignetting", "denoise"}));

        auto* list = child<QListWidget>("effectListWidget");
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->currentRow(), 0);
        for (int r = 0; r < 11; ++r) {
            QCOMPARE(list->item(r)->data(Qt::UserRole + 1).toInt(), r);
            QVERIFY(!list->item(r)->icon().isNull());
            QCOMPARE(list->item(r)->sizeHint(), QSize(226, 128));
        }
        QVERIFY(!QImage(":/Effects/thumb/10.jpg").isNull());

        // Effect / Advanced switch the stacked pages.
        auto* stack = child<QStackedWidget>("stackedWidget");
        QCOMPARE(stack->currentIndex(), 0);
        child<QPushButton>("manualButn")->click();
        QCOMPARE(stack->currentIndex(), 1);
        child<QPushButton>("effectButn")->click();
        QCOMPARE(stack->currentIndex(), 0);

        // A new picture: nothing processed, pane A shows it, save enabled.
        QVERIFY(!page->isBusy());
        QVERIFY(child<QToolButton>("saveButn")->isEnabled());
        QVERIFY(!child<QToolButton>("restoreButn")->isEnabled());
        QCOMPARE(maxDiff(page->currentImage(), picture), 0);
        QVERIFY(page->isModified());
    }

    void sliderRow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stage");
        QTest::addColumn<bool>("changesPicture");
        QTest::newRow("highlights") << "highlightsWidget" << -70 << 8 << true;
        QTest::newRow("shadows") << "shadowsWidget" << 80 << 8 << true;
        QTest::newRow("contrast") << "contastWidget" << 60 << 2 << true;
        QTest::newRow("brightness") << "exposureWidget" << 50 << 2 << true;
        QTest::newRow("sharpness") << "sharpnessWidget" << 80 << 2 << true;
        QTest::newRow("blur") << "blurWidget" << 60 << 2 << true;
        QTest::newRow("temperature") << "tempWidget" << 9000 << 2 << true;
        QTest::newRow("tint 0 is a change") << "tintWidget" << 0 << 2 << true;
        QTest::newRow("gamma") << "gammaWidget" << 60 << 2 << true;
        QTest::newRow("saturation") << "saturationWidget" << 70 << 2 << true;
        QTest::newRow("vibrance") << "vibranceWidget" << 70 << 2 << true;
        QTest::newRow("red") << "redWidget" << 0 << 2 << true;
        QTest::newRow("green") << "greenWidget" << 20 << 2 << true;
        QTest::newRow("blue") << "blueWidget" << 30 << 2 << true;
        QTest::newRow("opacity") << "opacityWidget" << 0 << 2 << false; // the neutral white filter shows nothing
        QTest::newRow("vignette") << "amountWidget" << 90 << 2 << true;
        QTest::newRow("luminance") << "luminWidget" << 60 << 2 << true;
        QTest::newRow("chrominance") << "colorWidget" << 60 << 2 << true;
    }

    void sliderRow()
    {
        QFETCH(QString, name);
        QFETCH(int, value);
        QFETCH(int, stage);
        QFETCH(bool, changesPicture);
        QSliderWidget* r = row(*page, name);
        QVERIFY(r);
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        release(r, value);
        QCOMPARE(recordValue(*page, name), value);
        QCOMPARE(page->stageCode(), stage);
        QVERIFY(page->isBusy());
        QVERIFY(settle(*page));
        QCOMPARE(results.count(), 1);

        // The shown picture is what the processor makes of the page's records.
        const QImage expected = expectedNow(stage);
        QCOMPARE(maxDiff(page->resultImage(), expected), 0);
        QCOMPARE(maxDiff(page->currentImage(), expected), 0);
        if (changesPicture) {
            QVERIFY(maxDiff(page->currentImage(), picture) > 0);
            QVERIFY(!page->isDefaultParam());
        }

        QVERIFY(child<QToolButton>("restoreButn")->isEnabled() == !page->isDefaultParam());
        // A hand-made change deselects the effect (or keeps "Original" at defaults).
        QCOMPARE(child<QListWidget>("effectListWidget")->currentRow(), page->isDefaultParam() ? 0 : -1);
    }

    void takeRulesAndIgnoredInput()
    {
        QSliderWidget* temp = row(*page, "tempWidget");
        // While dragging, a temperature equal to the stored one is dropped.
        drag(temp, 5000);
        QVERIFY(!page->isBusy());
        // On release an unchanged non-zero value is dropped too...
        release(temp, 5000);
        QVERIFY(!page->isBusy());
        // ...but an unchanged 0 is stored again and processed.
        QSliderWidget* contrast = row(*page, "contastWidget");
        release(contrast, 0);
        QVERIFY(page->isBusy());
        QVERIFY(settle(*page));
        // Sharpness never takes an unchanged 0.
        release(row(*page, "sharpnessWidget"), 0);
        QVERIFY(!page->isBusy());
        // Gamma takes a 0 while dragging, contrast does not.
        drag(row(*page, "gammaWidget"), 0);
        QVERIFY(page->isBusy());
        QVERIFY(settle(*page));
        drag(contrast, 0);
        QVERIFY(!page->isBusy());
        // Unknown keys change nothing.
        page->onPropertyValueChanged("NO_SUCH_NAME", 5);
        page->onPropertyValueChanging("highlight_name", 5);
        QVERIFY(!page->isBusy());
        QVERIFY(page->isDefaultParam());
        // Nor do effect rows outside the list.
        child<QListWidget>("effectListWidget")->setCurrentRow(3);
        QVERIFY(settle(*page));
        const IQAdjustParams before = page->adjustParams();
        page->onEffectChanged(-1);
        page->onEffectChanged(11);
        QVERIFY(!page->isBusy());
        QVERIFY(sameAdjust(page->adjustParams(), before));
        QCOMPARE(page->adjustParams().mode, 1);
    }

    void boxReset_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("stage");
        QTest::newRow("colorFilter") << "colorFilter" << 2;
        QTest::newRow("denoise") << "denoise" << 2;
        QTest::newRow("vignetting") << "vignetting" << 2;
        QTest::newRow("hdrTone") << "hdrTone" << 4;
        QTest::newRow("smartTone") << "smartTone" << 8;
        QTest::newRow("imageRadiance") << "imageRadiance" << 2;
    }

    void boxReset()
    {
        QFETCH(QString, key);
        QFETCH(int, stage);
        // Start from "Super B/W" plus hand-made values in every box.
        child<QListWidget>("effectListWidget")->setCurrentRow(9);
        QVERIFY(settle(*page));
        const QList<QPair<QString, int>> values = {
            {"highlightsWidget", 40}, {"shadowsWidget", 20}, {"saturationWidget", 30}, {"tempWidget", 7000},
            {"tintWidget", -20}, {"redWidget", 100}, {"opacityWidget", 80}, {"amountWidget", 40},
            {"luminWidget", 30}, {"colorWidget", 40}};
        for (const auto& v : values)
            release(row(*page, v.first), v.second);
        QVERIFY(settle(*page));
        const IQAdjustParams adjustBefore = page->adjustParams();
        const IQHDRToneParams toneBefore = page->toneParams();
        const IQDenoiseParams denoiseBefore = page->denoiseParams();

        QToolBoxWidget* box = nullptr;
        for (QToolBoxWidget* b : page->findChildren<QToolBoxWidget*>())
            if (b->key() == key)
                box = b;
        QVERIFY(box);
        emit box->actionTrigged(box->key());
        QCOMPARE(page->stageCode(), stage);
        QVERIFY(page->isBusy());
        QVERIFY(settle(*page));

        const IQAdjustParams& a = page->adjustParams();
        const IQHDRToneParams& t = page->toneParams();
        const IQDenoiseParams& d = page->denoiseParams();
        if (key == "colorFilter") {
            QCOMPARE(a.filterRed, 255);
            QCOMPARE(a.filterOpacity, 50);
            QCOMPARE(row(*page, "redWidget")->value(), 255);
            QCOMPARE(a.temperature, 7000);
        } else if (key == "denoise") {
            QCOMPARE(d.luminance, 0);
            QCOMPARE(d.chrominance, 0);
            QCOMPARE(row(*page, "colorWidget")->value(), 0);
        } else if (key == "vignetting") {
            QCOMPARE(a.vignette, 0);
            QCOMPARE(row(*page, "amountWidget")->value(), 0);
        } else if (key == "hdrTone") {
            QVERIFY(!t.clahe);
            QCOMPARE(t.claheClip, 1.0);
            // Switches without a control of their own stay as the preset set them.
            QVERIFY(t.detailEnhance);
            QVERIFY(t.denoiseColored);
            QVERIFY(!child<QCheckBox>("contrastCheckBox")->isChecked());
            QCOMPARE(t.highlight, 40);
        } else if (key == "smartTone") {
            QCOMPARE(t.highlight, 0);
            QCOMPARE(t.shadow, 0);
            QCOMPARE(row(*page, "highlightsWidget")->value(), 0);
            QVERIFY(t.clahe);
        } else if (key == "imageRadiance") {
            QCOMPARE(a.temperature, 5000);
            QCOMPARE(a.tint, 10);
            QCOMPARE(a.saturation, 0);
            QCOMPARE(row(*page, "tintWidget")->value(), 10);
            // The colour filter rows are left as they are.
            QCOMPARE(a.filterRed, 100);
            QCOMPARE(row(*page, "redWidget")->value(), 100);
        }
        // Everything outside the box is kept.
        if (key != "colorFilter" && key != "vignetting" && key != "imageRadiance")
            QVERIFY(sameAdjust(a, adjustBefore));
        if (key != "denoise")
            QCOMPARE(d.luminance, denoiseBefore.luminance);
        if (key != "hdrTone" && key != "smartTone")
            QVERIFY(sameTone(t, toneBefore));
        QCOMPARE(child<QListWidget>("effectListWidget")->currentRow(), page->isDefaultParam() ? 0 : -1);
    }

    void hdrBox()
    {
        auto* contrast = child<QCheckBox>("contrastCheckBox");
        auto* combo = child<QComboBox>("contrastComboBox");
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);

        // The level alone changes nothing while Contrast Enhancement is off.
        combo->setCurrentIndex(2);
        QVERIFY(!page->isBusy());
        QVERIFY(page->isDefaultParam());
        QCOMPARE(results.count(), 0);

        // Switching it on takes the level shown: a full pass behind the waiting dialog.
        contrast->setChecked(true);
        QVERIFY(page->toneParams().clahe);
        QCOMPARE(page->toneParams().claheClip, 5.0);
        QCOMPARE(page->stageCode(), 4);
        QVERIFY(combo->isEnabled());
        QVERIFY(page->findChild<QDialog*>());
        QVERIFY(settle(*page));
        QTRY_VERIFY(!page->findChild<QDialog*>() || !page->findChild<QDialog*>()->isVisible());
        QCOMPARE(results.count(), 1);
        const QImage expected = expectedNow(4);
        QCOMPARE(maxDiff(page->currentImage(), expected), 0);
        QVERIFY(maxDiff(expected, picture) > 0);

        combo->setCurrentIndex(3);
        QCOMPARE(page->toneParams().claheClip, 7.0);
        QVERIFY(settle(*page));

        child<QCheckBox>("colorCheckBox")->setChecked(true);
        QVERIFY(page->toneParams().equalizeRounded);
        child<QCheckBox>("lccCheckBox")->setChecked(true);
        QVERIFY(page->toneParams().localGamma);
        QVERIFY(settle(*page));
        QCOMPARE(child<QListWidget>("effectListWidget")->currentRow(), -1);

        contrast->setChecked(false);
        QVERIFY(!page->toneParams().clahe);
        QVERIFY(!combo->isEnabled());
        QVERIFY(settle(*page));
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(4)), 0);
    }

    void preset_data()
    {
        QTest::addColumn<int>("rowIndex");
        for (int r = 0; r <= 10; ++r)
            QTest::newRow(qPrintable(QString::number(r))) << r;
    }

    void preset()
    {
        QFETCH(int, rowIndex);
        auto* list = child<QListWidget>("effectListWidget");
        auto* combo = child<QComboBox>("contrastComboBox");
        // A hand-made change first, so that every row (also "Original") is a change.
        release(row(*page, "saturationWidget"), 25);
        combo->setCurrentIndex(1);
        QVERIFY(settle(*page));
        QCOMPARE(list->currentRow(), -1);

        list->setCurrentRow(rowIndex);
        QCOMPARE(page->stageCode(), 4);
        QVERIFY(settle(*page));

        IQProcessParams expected;
        expected.setPreset(rowIndex);
        QVERIFY(sameAdjust(page->adjustParams(), expected.adjust));
        QVERIFY(sameTone(page->toneParams(), expected.tone));
        QCOMPARE(page->denoiseParams().luminance, expected.denoise.luminance);
        // The controls show the records.
        QCOMPARE(row(*page, "saturationWidget")->value(), expected.adjust.saturation);
        QCOMPARE(row(*page, "vibranceWidget")->value(), expected.adjust.vibrance);
        QCOMPARE(row(*page, "sharpnessWidget")->value(), expected.adjust.sharpness);
        QCOMPARE(row(*page, "exposureWidget")->value(), expected.adjust.brightness);
        QCOMPARE(row(*page, "tempWidget")->value(), expected.adjust.temperature);
        QCOMPARE(row(*page, "highlightsWidget")->value(), expected.tone.highlight);
        QCOMPARE(row(*page, "shadowsWidget")->value(), expected.tone.shadow);
        QCOMPARE(row(*page, "luminWidget")->value(), expected.denoise.luminance);
        QCOMPARE(child<QCheckBox>("contrastCheckBox")->isChecked(), expected.tone.clahe);
        QCOMPARE(child<QCheckBox>("colorCheckBox")->isChecked(), expected.tone.equalizeRounded);
        QCOMPARE(combo->isEnabled(), expected.tone.clahe);
        // Levels 2.0 and 4.0 have no entry: the combo keeps its index.
        const double clip = expected.tone.claheClip;
        const int wantIndex = clip == 1.0 ? 0 : clip == 3.0 ? 1 : clip == 5.0 ? 2 : clip == 7.0 ? 3 : 1;
        QCOMPARE(combo->currentIndex(), wantIndex);
        QCOMPARE(child<QToolButton>("restoreButn")->isEnabled(), rowIndex != 0);
        QCOMPARE(list->currentRow(), rowIndex);

        // The picture is the preset's full pass.
        IQAdjustingProcessor reference(picture);
        const QImage want = reference.processWith(expected);
        if (!expected.tone.addNoise) // film noise is random from pass to pass
            QCOMPARE(maxDiff(page->currentImage(), want), 0);
        if (rowIndex == 0)
            QCOMPARE(maxDiff(page->currentImage(), picture), 0);
        else
            QVERIFY(maxDiff(page->currentImage(), picture) > 0);
    }

    void revertToOriginal()
    {
        child<QListWidget>("effectListWidget")->setCurrentRow(6);
        QVERIFY(settle(*page));
        release(row(*page, "shadowsWidget"), 60);
        QVERIFY(settle(*page));
        auto* restore = child<QToolButton>("restoreButn");
        QVERIFY(restore->isEnabled());
        restore->click();
        QCOMPARE(page->stageCode(), 4);
        QVERIFY(settle(*page));
        QVERIFY(page->isDefaultParam());
        QVERIFY(!restore->isEnabled());
        QCOMPARE(child<QListWidget>("effectListWidget")->currentRow(), 0);
        QCOMPARE(row(*page, "shadowsWidget")->value(), 0);
        QCOMPARE(row(*page, "tempWidget")->value(), 5000);
        // The detail work of the effect is gone too.
        QCOMPARE(maxDiff(page->currentImage(), picture), 0);
    }

    void effectThumbnail()
    {
        QImage image = SyntheticScene::uniformImage(QSize(320, 240), qRgb(200, 40, 40));
        const QPixmap pixmap = IQAdjustingFrame::makeEffectThumbnail(image, "Super Nature");
        QCOMPARE(pixmap.size(), QSize(320, 240));
        const QImage out = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        // Above the band: untouched.
        QCOMPARE(out.pixel(5, 5), qRgb(200, 40, 40));
        // The band: RGB (39, 39, 39) at alpha 196 over the picture, full width.
        const QRgb band = out.pixel(2, 236);
        QVERIFY(std::abs(qRed(band) - (39 * 196 + 200 * 59) / 255) <= 2);
        QVERIFY(std::abs(qGreen(band) - (39 * 196 + 40 * 59) / 255) <= 2);
        QCOMPARE(out.pixel(317, 236), band);
        // The name in white, centred.
        int white = 0, left = 320, right = 0;
        for (int y = 190; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (qGray(out.pixel(x, y)) > 200) {
                    ++white;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY(white > 100);
        QVERIFY(std::abs((left + right) / 2 - 160) <= 6);
    }

    // Each row of the effect list shows the thumbnail of its own preset,
    // with its own name on the band, in the list's order.
    void effectRowsShowTheirOwnThumbnails()
    {
        struct Row {
            const char* name;
            int preset;
            int thumbnail; // ":/Effects/thumb/<n>.jpg"
        };
        const Row rows[] = {{"Original", 0, 0},   {"Classic", 1, 1},  {"Super Nature", 2, 2}, {"Magic", 3, 3},
                            {"Cooler", 4, 4},     {"Fresh", 5, 5},    {"Blue Sky", 6, 6},      {"Painterly", 7, 7},
                            {"B/W", 8, 8},        {"Super B/W", 9, 9}, {"Old Photo", 10, 10}};
        auto* list = child<QListWidget>("effectListWidget");
        QCOMPARE(list->count(), int(std::size(rows)));

        // Above the name band the icon is the resource picture as it is.
        auto top = [](const QImage& image) {
            return image.copy(0, 0, image.width(), image.height() * 3 / 4).convertToFormat(QImage::Format_RGB32);
        };
        QList<QImage> resources;
        for (const Row& r : rows) {
            const QImage resource(QStringLiteral(":/Effects/thumb/%1.jpg").arg(r.thumbnail));
            QVERIFY2(!resource.isNull(), r.name);
            // Every thumbnail differs from the others, so a row showing another's is seen.
            for (const QImage& other : resources)
                QVERIFY2(top(other) != top(resource), r.name);
            resources << resource;
        }
        for (int i = 0; i < list->count(); ++i) {
            const Row& r = rows[i];
            QListWidgetItem* item = list->item(i);
            QCOMPARE(item->data(Qt::UserRole + 1).toInt(), r.preset);
            QVERIFY(item->text().isEmpty());
            const QImage& resource = resources[i];
            const QImage icon = item->icon().pixmap(resource.size()).toImage();
            QCOMPARE(icon.size(), resource.size());
            QVERIFY2(top(icon) == top(resource), r.name);
            // The band carries this row's name.
            QImage named = resource.copy();
            const QImage expected = IQAdjustingFrame::makeEffectThumbnail(named, QString::fromLatin1(r.name)).toImage();
            QVERIFY2(icon.convertToFormat(QImage::Format_RGB32) == expected.convertToFormat(QImage::Format_RGB32),
                     r.name);
        }
    }

    // The compare button, and screenshots of the page dressed as the
    // application dresses it: fusion style and its style sheet.
    void compareAndScreenshots()
    {
        QApplication::setStyle("fusion");
        QFile sheet(":/qss/psblack.css");
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromLatin1(sheet.readAll().split('\0').first()));
        auto shoot = [this](const char* name) {
            QTest::qWait(100);
            QVERIFY(page->grab().toImage().save(QDir(testOutputDir()).filePath(name)));
        };

        // The landscape of the effect thumbnails makes a friendlier picture.
        QImage landscape = QImage(":/Effects/thumb/0.jpg").scaled(960, 720, Qt::IgnoreAspectRatio,
                                                                   Qt::SmoothTransformation);
        QVERIFY(!landscape.isNull());
        landscape = landscape.convertToFormat(QImage::Format_RGB888);
        page->setSource(landscape);
        page->setImages(landscape, landscape);
        child<QListWidget>("effectListWidget")->setCurrentRow(2);
        QVERIFY(settle(*page));
        QVERIFY(!page->viewer()->isCompareVisible());
        child<QToolButton>("baButn")->click();
        QVERIFY(page->viewer()->isCompareVisible());
        QVERIFY(page->isCompareMode());
        shoot("adjustingframe_effects.png");
        // View Original held: the unprocessed picture and the pressed icon.
        auto* original = child<QToolButton>("originalButn");
        QTest::mousePress(original, Qt::LeftButton);
        shoot("adjustingframe_view_original.png");
        QTest::mouseRelease(original, Qt::LeftButton);

        page->toggleCompare();
        QVERIFY(!page->viewer()->isCompareVisible());
        child<QPushButton>("manualButn")->click();
        release(row(*page, "shadowsWidget"), 50);
        QVERIFY(settle(*page));
        shoot("adjustingframe_advanced.png");
    }
};

QTEST_MAIN(TestAdjustingFrame)
#include "tst_adjustingframe.moc"
