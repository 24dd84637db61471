// Editing page passes: the order and number of passes, the stage a pass runs,
// the drag throttle, View Original during a pass, failures, the waiting
// dialog, and a new picture while a pass runs. A gate in the processor's
// denoise step holds a pass running for as long as a test needs.
#include "tst_adjustingframe_support.h"

#include "QWaitingDialog.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace adjtest;

class TestAdjustingFramePasses : public PageTest
{
    Q_OBJECT
private:
    QWaitingDialog* waitingDialog() { return page->findChild<QWaitingDialog*>(); }

private slots:
    void init() { openPage(QSize(1000, 700)); }
    void cleanup() { closePage(); }

    void shadowsThenSaturationKeepsShadowLift()
    {
        release(row(*page, "shadowsWidget"), 80);
        QVERIFY(settle(*page));
        release(row(*page, "saturationWidget"), 40);
        QVERIFY(settle(*page));

        IQAdjustingProcessor reference(picture);
        IQHDRToneParams tone;
        tone.shadow = 80;
        IQAdjustParams adjust;
        IQDenoiseParams denoise;
        referencePass(reference, adjust, tone, denoise, 8);
        adjust.saturation = 40;
        const QImage expected = referencePass(reference, adjust, tone, denoise, 2);
        QCOMPARE(maxDiff(page->currentImage(), expected), 0);

        // Saturation alone, for comparison: the lift is still in the picture.
        IQAdjustingProcessor plain(picture);
        const QImage saturationOnly = referencePass(plain, adjust, IQHDRToneParams(), denoise, 2);
        QVERIFY(meanLevel(page->currentImage()) > meanLevel(saturationOnly) + 1.0);
    }

    void strongestStageSurvivesWeakerRequests()
    {
        installGate();
        release(row(*page, "saturationWidget"), 30);
        QVERIFY(gate->waitEntered());
        QVERIFY(page->isProcessing());

        // A full request (stage 4) while the pass runs, then weaker ones.
        child<QCheckBox>("colorCheckBox")->setChecked(true);
        QVERIFY(page->hasPendingPass());
        QVERIFY(waitingDialog() && waitingDialog()->isVisible());
        release(row(*page, "highlightsWidget"), -40); // 8
        drag(row(*page, "saturationWidget"), 45);     // 2
        release(row(*page, "vibranceWidget"), 20);    // 2
        QCOMPARE(page->stageCode(), 2);

        // The first pass ends; the waiting one (the full one) starts at once.
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        gate->letOneGo();
        QVERIFY(gate->waitEntered());
        QTRY_COMPARE(results.count(), 1);
        QVERIFY(page->isProcessing());
        QVERIFY(!page->hasPendingPass());
        // The dialog belongs to the full pass: still up.
        QVERIFY(waitingDialog() && waitingDialog()->isVisible());
        gate->open();
        QVERIFY(settle(*page));
        QCOMPARE(results.count(), 2);
        QTRY_VERIFY(!waitingDialog());

        // Detail chain (equalisation) and highlight/shadow are in the picture.
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(4)), 0);
        IQAdjustingProcessor withoutDetail(picture);
        IQHDRToneParams noEqualize = page->toneParams();
        noEqualize.equalizeRounded = false;
        const QImage lost = referencePass(withoutDetail, page->adjustParams(), noEqualize, page->denoiseParams(), 4);
        QVERIFY(maxDiff(page->currentImage(), lost) > 0);
    }

    void revertAfterDrag()
    {
        installGate();
        for (int v = 5; v <= 60; v += 5)
            drag(row(*page, "highlightsWidget"), v);
        QVERIFY(gate->waitEntered());
        child<QListWidget>("effectListWidget")->setCurrentRow(5);
        drag(row(*page, "shadowsWidget"), 30);
        child<QToolButton>("restoreButn")->click();
        QVERIFY(page->isDefaultParam());
        gate->open();
        QVERIFY(settle(*page));
        QTRY_VERIFY(!waitingDialog());
        // The effect's detail work and the drag are both gone.
        QCOMPARE(maxDiff(page->currentImage(), picture), 0);
        QCOMPARE(row(*page, "highlightsWidget")->value(), 0);
        QCOMPARE(child<QListWidget>("effectListWidget")->currentRow(), 0);
    }

    void dragLastValue_data()
    {
        QTest::addColumn<bool>("withRelease");
        QTest::addColumn<bool>("slowPasses");
        for (const bool slow : {false, true})
            for (const bool withRelease : {true, false})
                QTest::addRow("%s, %s passes", withRelease ? "release" : "no release", slow ? "slow" : "fast")
                    << withRelease << slow;
    }

    void dragLastValue()
    {
        QFETCH(bool, withRelease);
        QFETCH(bool, slowPasses);
        if (slowPasses) {
            installGate();
            gate->closed = false; // passes take a while, but go on
        }
        QSliderWidget* gamma = row(*page, "gammaWidget");
        for (int v = 1; v <= 40; ++v) {
            drag(gamma, v);
            QTest::qWait(slowPasses ? 3 : 1);
        }
        if (withRelease)
            release(gamma, 40); // equal to the stored value
        QVERIFY(settle(*page));
        QCOMPARE(page->adjustParams().gamma, 40);
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(2)), 0);
    }

    void throttleHoldsBackDragUpdates()
    {
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        QSliderWidget* sat = row(*page, "saturationWidget");
        QTest::qWait(110); // the page counts its construction as the last start
        QElapsedTimer sinceStart;
        drag(sat, 10);
        sinceStart.start();
        QVERIFY(page->isProcessing());
        QVERIFY(settle(*page));
        QCOMPARE(results.count(), 1);
        if (sinceStart.elapsed() >= 90)
            QSKIP("the machine is too slow to finish a small pass within the throttle interval");
        // Within 100 ms of the last start: held back, not started.
        drag(sat, 20);
        QVERIFY(!page->isProcessing());
        QVERIFY(page->isBusy());
        drag(sat, 30);
        QVERIFY(!page->isProcessing());
        // The newest value runs once the interval is over.
        QVERIFY(settle(*page));
        QCOMPARE(results.count(), 2);
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(2)), 0);
        // A release is never held back.
        release(sat, 35);
        QVERIFY(page->isProcessing());
        QVERIFY(settle(*page));
        // A drag update 100 ms after the last start starts a pass at once.
        QTest::qWait(110);
        drag(sat, 50);
        QVERIFY(page->isProcessing());
    }

    void passesNeverPileUp()
    {
        installGate();
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        QSliderWidget* sat = row(*page, "saturationWidget");
        release(sat, 1);
        QVERIFY(gate->waitEntered());
        for (int v = 2; v <= 60; ++v) {
            drag(sat, v);
            if (v % 10 == 0)
                release(row(*page, "vibranceWidget"), v);
        }
        QVERIFY(page->isProcessing());
        QVERIFY(page->hasPendingPass());
        gate->open();
        QVERIFY(settle(*page));
        // One running, one waiting: two passes in all.
        QCOMPARE(results.count(), 2);
        QCOMPARE(gate->entered.available(), 1);
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(2)), 0);
    }

    void viewOriginalDuringPass()
    {
        installGate();
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        release(row(*page, "saturationWidget"), 60);
        QVERIFY(gate->waitEntered());

        // The button's icon: the plain eye, the pressed one while held.
        auto* button = child<QToolButton>("originalButn");
        auto iconIs = [button](const char* file) {
            const QImage shown = button->icon().pixmap(QSize(24, 24), 1.0).toImage();
            return shown.convertToFormat(QImage::Format_ARGB32) == QImage(file).convertToFormat(QImage::Format_ARGB32);
        };
        QVERIFY(QImage(":/commonRes/icon_viewN.png") != QImage(":/commonRes/icon_view.png"));
        QVERIFY(iconIs(":/commonRes/icon_view.png"));
        QTest::mousePress(button, Qt::LeftButton);
        QVERIFY(page->isViewingOriginal());
        QVERIFY(iconIs(":/commonRes/icon_viewN.png"));
        QCOMPARE(maxDiff(page->currentImage(), picture), 0);

        gate->open();
        QVERIFY(settle(*page));
        QCOMPARE(results.count(), 1);
        // Held: still the original on screen, the result kept aside.
        QCOMPARE(maxDiff(page->currentImage(), picture), 0);
        const QImage expected = expectedNow(2);
        QCOMPARE(maxDiff(page->resultImage(), expected), 0);

        // Save writes the newest result, also while the original is shown.
        QTemporaryDir dir;
        const QString path = dir.filePath("held.png");
        QVERIFY(page->saveTo(path));
        QCOMPARE(maxDiff(QImage(path), expected), 0);

        QTest::mouseRelease(button, Qt::LeftButton);
        QVERIFY(!page->isViewingOriginal());
        QVERIFY(!button->isDown());
        QVERIFY(iconIs(":/commonRes/icon_view.png"));
        QCOMPARE(maxDiff(page->currentImage(), expected), 0);
        // Later releases are not caught any more.
        QTest::mouseClick(button, Qt::RightButton);
        QCOMPARE(maxDiff(page->currentImage(), expected), 0);
    }

    void failedPassEndsDialogAndReports()
    {
        // The error box is looked at and closed below.
        const auto errorBox = expectModal<QMessageBox>();
        QSignalSpy failures(page.get(), &IQAdjustingFrame::processingFailed);
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        // Every pass fails.
        installGate();
        gate->open();
        gate->throwAlways = true;
        child<QCheckBox>("lccCheckBox")->setChecked(true);
        QVERIFY(page->isProcessing());
        QVERIFY(settle(*page));
        QTRY_COMPARE(failures.count(), 1);
        QCOMPARE(results.count(), 0);
        QTRY_VERIFY(!waitingDialog());
        // The error is shown; the picture on screen stays.
        QMessageBox* box = page->findChild<QMessageBox*>();
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        QVERIFY(!box->text().isEmpty());
        QCOMPARE(maxDiff(page->currentImage(), picture), 0);
        // Further failures while the box is up do not stack more boxes.
        for (int v = 1; v <= 3; ++v) {
            release(row(*page, "saturationWidget"), v);
            QVERIFY(settle(*page));
        }
        QTRY_COMPARE(failures.count(), 4);
        QCOMPARE(page->findChildren<QMessageBox*>().size(), 1);
        QVERIFY(failures.at(0).at(0).toString().contains("gate failure"));
        box->close();
        // Once passes work again, the next one still does the detail work
        // the failed ones missed.
        gate->throwAlways = false;
        release(row(*page, "saturationWidget"), 10);
        QVERIFY(settle(*page));
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(4)), 0);
    }

    void fullPassDialogCannotBeDismissed()
    {
        installGate();
        child<QCheckBox>("colorCheckBox")->setChecked(true);
        QVERIFY(gate->waitEntered());
        QWaitingDialog* dialog = waitingDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        // Neither Escape nor a close request ends it while the pass runs, so
        // Save and the controls stay out of reach.
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->close());
        QTest::qWait(50);
        QVERIFY(waitingDialog() && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        QVERIFY(page->isProcessing());
        gate->open();
        QVERIFY(settle(*page));
        QTRY_VERIFY(!waitingDialog());
        QCOMPARE(maxDiff(page->currentImage(), expectedNow(4)), 0);
    }

    void newPictureWhilePassRuns()
    {
        installGate();
        QSignalSpy results(page.get(), &IQAdjustingFrame::algorithmFinished);
        release(row(*page, "saturationWidget"), 70);
        QVERIFY(gate->waitEntered());
        const QImage second = mergedPicture(QSize(200, 150));
        GateStage* oldGate = gate;
        gate = nullptr;
        // The page does not wait for the running pass: the old processor
        // goes once that pass has ended.
        std::atomic<bool> opened{false};
        std::thread opener([oldGate, &opened] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            opened = true;
            oldGate->open();
        });
        page->setImages(second, second);
        QVERIFY(!opened);
        QVERIFY(!page->isBusy());
        opener.join();
        QTest::qWait(200);
        // The old pass's result never reaches the new picture.
        QCOMPARE(results.count(), 0);
        QCOMPARE(maxDiff(page->currentImage(), second), 0);
        QVERIFY(page->isDefaultParam());
        QCOMPARE(row(*page, "saturationWidget")->value(), 0);
        release(row(*page, "saturationWidget"), 20);
        QVERIFY(settle(*page));
        QCOMPARE(page->resultImage().size(), QSize(200, 150));
    }
};

QTEST_MAIN(TestAdjustingFramePasses)
#include "tst_adjustingframe_passes.moc"
