// The whole program in one window: import, HDR job, editing, saving, failure
// messages, the unsaved-work guard and the menus, driven as a user would.
#include <QtTest>
#include <QActionGroup>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>
#include <QToolButton>

#include "DamagedFiles.h"
#include "IQHDREngine.h"
#include "SyntheticScene.h"
#include "tst_mainwindow_support.h"

// Camera RAW files through every QImageReader, as in the program.
Q_IMPORT_PLUGIN(QRawPlugin)

using namespace mwtest;

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<FreshUser> m_user;
    QStringList m_bracket;
    QString m_single;

    // Brings a window to the editing page with a picture, without a job.
    static void showEditingPage(MainWindow& w)
    {
        const QImage after = adjtest::mergedPicture();
        w.onHDRFinished(after.copy(), after, 0);
    }

    static QAction* languageAction(QMenu& languages, QLocale::Language language)
    {
        for (QAction* a : languages.actions())
            if (a->data().toInt() == int(language))
                return a;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        m_user = std::make_unique<FreshUser>();
        QVERIFY(m_user->server.isListening());
        SyntheticScene::BracketSpec bracket;
        bracket.size = QSize(480, 320);
        bracket.exposures = {0.25, 1.0, 4.0};
        bracket.shifts = {QPoint(0, 0), QPoint(2, -1), QPoint(-1, 2)};
        bracket.noiseSigma = 1.0;
        m_bracket = SyntheticScene::writeBracket(bracket, m_user->photoDir(), "jpg", QStringLiteral("bracket"));
        QCOMPARE(m_bracket.size(), 3);
        // An odd size, so the single photo goes through the output size rule.
        const SyntheticScene::RadianceScene scene(QSize(402, 301), 3, true);
        m_single = SyntheticScene::writeImage(SyntheticScene::renderFrame(scene, QSize(402, 301), 1.0),
                                              m_user->photoDir(), QStringLiteral("single"), "png");
        QVERIFY(!m_single.isEmpty());
    }

    void startsOnTheImportPageWithItsTitleBar()
    {
        QElapsedTimer clock;
        clock.start();
        auto w = openWindow();
        QVERIFY(w);
        qInfo("main window constructed and shown in %lld ms", qint64(clock.elapsed()));
        QCOMPARE(w->currentPage(), 0);
        QVERIFY(w->tilesFrame()->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Vantrel HDR"));
        // The offscreen screen is 800 x 800: three quarters, held by the form's minimum.
        QCOMPARE(w->size(), QSize(800, 600));
        // The update check asks the configured feed shortly after the window shows.
        QTRY_VERIFY_WITH_TIMEOUT(m_user->feedAsked(), 10000);
        QVERIFY(!QApplication::activeModalWidget()); // the current version: nothing offered

        const QList<QPair<QString, QString>> buttons = {{"menuButton", "Menu"},
                                                        {"miniButton", "Minimize"},
                                                        {"normalButton", "Restore"},
                                                        {"closeButton", "Close"}};
        for (const auto& [name, tip] : buttons) {
            auto* b = w->findChild<QPushButton*>(name);
            QVERIFY2(b, qPrintable(name));
            QCOMPARE(b->toolTip(), tip);
            QVERIFY2(!b->icon().pixmap(16, 16).isNull(), qPrintable(name + QStringLiteral(" has no icon")));
        }
        // The pictures the pages name, each at 1x and 2x.
        for (const char* icon : {"icon-menu", "icon-minus", "icon-maximize", "icon-close", "icon_open", "icon_remove",
                                 "icon_remove_disable", "icon_hdr", "icon_hdr_high", "icon_image", "icon_image_high",
                                 "icon_loading", "icon_loading_error"}) {
            const QString base = QStringLiteral(":/vh/icon/") + QLatin1String(icon);
            QVERIFY2(!QImage(base + QStringLiteral(".png")).isNull(), icon);
            const QImage twice(base + QStringLiteral("@2x.png"));
            QCOMPARE(twice.size(), QImage(base + QStringLiteral(".png")).size() * 2);
        }
        auto* normal = w->findChild<QPushButton*>(QStringLiteral("normalButton"));
        QTest::mouseClick(normal, Qt::LeftButton);
        QTRY_VERIFY(w->isMaximized());
        QTest::mouseClick(normal, Qt::LeftButton);
        QTRY_VERIFY(!w->isMaximized());
        // Nothing to lose on the import page: the close button closes, asking nothing.
        QPointer<QTimer> noBox = whenModal<QMessageBox>([](QMessageBox* box) {
            clickButton(box, QMessageBox::Cancel);
            QFAIL("closing the import page asked a question");
        });
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
        QTRY_VERIFY(!w->isVisible());
        delete noBox.data();
    }

    void bracketFromImportToSavedJpeg()
    {
        auto w = openWindow();
        QVERIFY(w);
        // Import through the open dialog.
        answerFileDialog(m_user->photoDir(), QStringLiteral("\"bracket0.jpg\" \"bracket1.jpg\" \"bracket2.jpg\""));
        QTest::mouseClick(w->tilesFrame()->findChild<QToolButton*>(QStringLiteral("selectTileButn")), Qt::LeftButton);
        QTRY_COMPARE(photoList(*w)->count(), 3);
        QTRY_VERIFY(thumbnailsLoaded(*w));
        QVERIFY(saveShot(screenshot(*w), QStringLiteral("mainwindow_import_page.png")));

        // Next: the job runs behind the waiting dialog.
        bool waitingShown = false;
        ShowSpy<QWaitingDialog> waiting([&](QWaitingDialog* d) {
            if (waitingShown)
                return;
            waitingShown = d->isModal() && d->parentWidget() == w.get();
            // Once the dialog has placed itself over the window.
            QPointer<QWaitingDialog> dialog = d;
            QMetaObject::invokeMethod(
                d,
                [&, dialog] {
                    if (dialog && dialog->isVisible())
                        saveShot(screenshot(*w, {dialog.data()}), QStringLiteral("mainwindow_waiting_dialog.png"));
                },
                Qt::QueuedConnection);
        });
        selectAllAndNext(*w, false);
        QTRY_COMPARE(w->currentPage(), 1);
        QVERIFY(waitingShown);
        QTRY_VERIFY(!w->isHDRJobRunning());
        IQAdjustingFrame* page = w->adjustingFrame();
        QVERIFY(page->isVisible());
        QVERIFY(!w->tilesFrame()->isVisible());
        QVERIFY(settle(*page));
        // The page shows the series' Reinhard picture as the job made it.
        const QImage merged = page->resultImage();
        struct Engine : IQHDREngine {} engine;
        QList<QImage> sources;
        QCOMPARE(engine.load(m_bracket, sources), 0);
        const QImage reinhard = engine.toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f);
        QCOMPARE(merged.size(), reinhard.size());
        QVERIFY(meanAbsDiff(merged, reinhard) < 0.01);
        QVERIFY2(greySpread(merged) > 20, "the merged picture is flat");

        // An effect (the controls' pictures are pinned by the editing page's tests).
        page->findChild<QListWidget*>(QStringLiteral("effectListWidget"))->setCurrentRow(3);
        QVERIFY(settle(*page));
        const QImage edited = page->resultImage();
        QVERIFY(meanAbsDiff(edited, merged) > 1.0);
        QVERIFY(page->isModified());
        QVERIFY(saveShot(screenshot(*w), QStringLiteral("mainwindow_editing_page.png")));

        // Save as JPEG through the save dialog.
        answerFileDialog(m_user->saveDir(), QStringLiteral("result"), QStringLiteral("JPEG Image (*.jpeg *.jpg)"));
        QTest::mouseClick(page->findChild<QAbstractButton*>(QStringLiteral("saveButn")), Qt::LeftButton);
        const QString saved = QDir(m_user->saveDir()).filePath(QStringLiteral("result.jpg"));
        QTRY_VERIFY(QFileInfo::exists(saved));
        QImageReader reader(saved);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage back = reader.read();
        QCOMPARE(back.size(), edited.size());
        const double diff = meanAbsDiff(back, page->resultImage());
        QVERIFY2(diff >= 0 && diff < 4.0, qPrintable(QStringLiteral("saved picture differs by %1").arg(diff)));
        QVERIFY(!page->isModified());
        // Saved work closes without a question.
        QVERIFY(w->close());
    }

    void singlePhotoToSavedPng()
    {
        auto w = openWindow();
        QVERIFY(w);
        QCOMPARE(w->tilesFrame()->importPaths({m_single}), 1);
        selectAllAndNext(*w, true);
        QTRY_COMPARE(w->currentPage(), 1);
        QTRY_VERIFY(!w->isHDRJobRunning());
        IQAdjustingFrame* page = w->adjustingFrame();
        QVERIFY(settle(*page));
        // The photo itself, scaled from 402 x 301 to 404 x 302.
        const QImage shown = page->resultImage();
        const QImage scaled = QImage(m_single).convertToFormat(QImage::Format_RGB888).scaled(
            404, 302, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(meanAbsDiff(shown, scaled), 0.0);

        // The window's zoom entries drive the editing page's viewers.
        const double fitScale = page->scale();
        w->zoomActual();
        QTRY_COMPARE(page->scale(), 1.0);
        w->zoomIn();
        QTRY_VERIFY(page->scale() > 1.0);
        w->zoomFit();
        QTRY_COMPARE(page->scale(), fitScale);

        answerFileDialog(m_user->saveDir(), QStringLiteral("single"), QStringLiteral("PNG image (*.png)"));
        QVERIFY(w->save());
        const QImage back(QDir(m_user->saveDir()).filePath(QStringLiteral("single.png")));
        QCOMPARE(meanAbsDiff(back, page->resultImage()), 0.0); // lossless: every pixel as shown
        QVERIFY(w->close());
    }

    void realPhotos()
    {
        const QString data = sharedTestDataDir();
        if (data.isEmpty())
            QSKIP("no shared test photos");
        const QDir hall(data + QStringLiteral("/homedeck_hall_5d3_3exp"));
        const QString dng = data + QStringLiteral("/raw_magiclantern_dng/colorchart.dng");
        if (!hall.exists() || !QFileInfo::exists(dng))
            QSKIP("the hall bracket or the DNG is missing");
        auto w = openWindow();
        QVERIFY(w);
        QStringList bracket;
        for (const QString& name : hall.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
            bracket << hall.filePath(name);
        QCOMPARE(bracket.size(), 3);
        QCOMPARE(w->tilesFrame()->importPaths(bracket), 3);
        selectAllAndNext(*w, false);
        QTRY_COMPARE_WITH_TIMEOUT(w->currentPage(), 1, 60000);
        IQAdjustingFrame* page = w->adjustingFrame();
        QVERIFY(settle(*page));
        QImage merged = page->resultImage();
        QVERIFY(qAbs(merged.width() - 1920) <= 4 && qAbs(merged.height() - 1280) <= 2);
        QVERIFY(greySpread(merged) > 20);
        QVERIFY(saveShot(screenshot(*w), QStringLiteral("mainwindow_editing_page_real.png")));

        // Start over with the camera RAW file in Single Photo Mode.
        emit page->finish(page);
        QCOMPARE(w->currentPage(), 0);
        photoList(*w)->selectAll();
        QTest::mouseClick(w->tilesFrame()->findChild<QToolButton*>(QStringLiteral("removeTileButn")), Qt::LeftButton);
        QTRY_COMPARE(photoList(*w)->count(), 0);
        QCOMPARE(w->tilesFrame()->importPaths({dng}), 1);
        QTRY_VERIFY_WITH_TIMEOUT(thumbnailsLoaded(*w), 30000);
        selectAllAndNext(*w, true);
        QTRY_COMPARE_WITH_TIMEOUT(w->currentPage(), 1, 60000);
        QVERIFY(settle(*page));
        const QImage raw = page->resultImage();
        QVERIFY(qAbs(raw.width() - 1734) <= 4 && qAbs(raw.height() - 1156) <= 2);
        QVERIFY(greySpread(raw) > 20);
        QVERIFY(saveShot(screenshot(*w), QStringLiteral("mainwindow_editing_page_raw.png")));
        whenModal<QMessageBox>([](QMessageBox* box) { clickButton(box, QMessageBox::Discard); });
        QVERIFY(w->close());
    }

    // A failed job, or a failure code handed to the window, shows the code's
    // message from a timer (never inside the call), over the import page.
    void failedJobsShowTheirMessage_data()
    {
        QTest::addColumn<QString>("job"); // what the real job is given; empty: only the code
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("sizes differ") << "sizes" << 0
                                      << "Sorry, the source images resolution must be the same for each photo in the set.";
        QTest::newRow("unreadable") << "unreadable" << 0
                                    << "The selected image cannot be opened. It is either damaged or unsupported.";
        QTest::newRow("too large") << "" << -5
                                   << "The selected photos are too large for the memory available on this computer.";
        QTest::newRow("other") << "" << -7 << "Unable to create HDR.";
        QTest::newRow("0 without picture") << "" << 0 << "Unable to create HDR.";
    }
    void failedJobsShowTheirMessage()
    {
        QFETCH(QString, job);
        QFETCH(int, code);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QStringList paths = m_bracket.mid(0, 2);
        if (job == QLatin1String("sizes")) {
            const QImage other = QImage(m_bracket[2]).scaled(400, 300);
            paths << SyntheticScene::writeImage(other, dir.path(), QStringLiteral("smaller"), "jpg");
        } else if (job == QLatin1String("unreadable")) {
            paths << DamagedFiles::writeCut("\xFF\xD8\xFF\xE0 this is not a picture", 1.0, dir.path(),
                                            QStringLiteral("broken.jpg"));
        }
        auto w = openWindow();
        QVERIFY(w);

        QString shown;
        QString title;
        QWidget* parent = nullptr;
        bool waitingStillOpen = true;
        qint64 shownAfter = -1;
        QElapsedTimer clock;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            title = box->windowTitle();
            parent = box->parentWidget();
            shownAfter = clock.elapsed();
            const QWidgetList tops = QApplication::topLevelWidgets();
            waitingStillOpen = std::any_of(tops.begin(), tops.end(), [](QWidget* t) {
                return qobject_cast<QWaitingDialog*>(t) && t->isVisible();
            });
            clickButton(box, QMessageBox::Ok);
        });
        clock.start();
        if (job.isEmpty()) {
            const QImage after = code == 0 ? QImage() : SyntheticScene::uniformImage(QSize(64, 48), qRgb(90, 90, 90));
            w->onHDRFinished(QImage(), after, code); // returns at once: no box inside
            QVERIFY(shown.isEmpty());
        } else {
            QCOMPARE(w->tilesFrame()->importPaths(paths), 3);
            selectAllAndNext(*w, false);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 30000);
        QCOMPARE(shown, message);
        QCOMPARE(title, QStringLiteral("Vantrel HDR"));
        QCOMPARE(parent, w.get());
        QVERIFY(!waitingStillOpen);
        QVERIFY(shownAfter >= 95);
        QCOMPARE(w->currentPage(), 0);
        QVERIFY(w->tilesFrame()->isVisible());
    }

    void closingWithUnsavedWork_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveDialogAccepts");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("passRunning");
        QTest::newRow("save") << int(QMessageBox::Save) << true << true << true << false;
        QTest::newRow("save while a pass runs") << int(QMessageBox::Save) << true << true << true << true;
        QTest::newRow("save, dialog cancelled") << int(QMessageBox::Save) << false << false << false << false;
        QTest::newRow("discard") << int(QMessageBox::Discard) << false << true << false << false;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false << false << false;
        QTest::newRow("box dismissed") << int(QMessageBox::NoButton) << false << false << false << false;
    }
    void closingWithUnsavedWork()
    {
        QFETCH(int, answer);
        QFETCH(bool, saveDialogAccepts);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        QFETCH(bool, passRunning);
        auto w = openWindow();
        QVERIFY(w);
        showEditingPage(*w);
        QCOMPARE(w->currentPage(), 1);
        IQAdjustingFrame* page = w->adjustingFrame();
        release(row(*page, "exposureWidget"), 25);
        QVERIFY(settle(*page));
        QVERIFY(page->isModified());
        // The newest change is still being processed when the window closes.
        adjtest::GateStage* gate = nullptr;
        QImage expected = page->resultImage();
        if (passRunning) {
            IQAdjustingProcessor reference(page->originalImage().convertToFormat(QImage::Format_RGB888));
            IQAdjustParams adjust;
            adjust.brightness = 70;
            expected = adjtest::referencePass(reference, adjust, IQHDRToneParams(), IQDenoiseParams(), 2);
            gate = new adjtest::GateStage;
            page->adjustingProcessor()->setDenoiseStage(gate);
            release(row(*page, "exposureWidget"), 70);
            QVERIFY(gate->waitEntered());
            whenModal<QWaitingDialog>([gate](QWaitingDialog*) { gate->open(); });
        }

        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("closing.png"));
        QString question;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            if (QPushButton* d = box->defaultButton())
                defaultButton = box->standardButton(d);
            if (answer == QMessageBox::Save && saveDialogAccepts)
                answerFileDialog(out.path(), QStringLiteral("closing"), QStringLiteral("PNG image (*.png)"));
            else if (answer == QMessageBox::Save)
                rejectFileDialog();
            if (answer == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                clickButton(box, QMessageBox::StandardButton(answer));
        });
        const bool closed = w->close();
        QCOMPARE(question, QStringLiteral("Your changes will be lost if you don’t save them."));
        QCOMPARE(defaultButton, QMessageBox::Save);
        QCOMPARE(closed, closes);
        QCOMPARE(w->isVisible(), !closes);
        QCOMPARE(QFileInfo::exists(target), written);
        if (written) {
            QCOMPARE(meanAbsDiff(QImage(target), expected), 0.0);
            QVERIFY(!page->isModified());
        }
        if (gate)
            gate->open();
        QVERIFY(settle(*page));
        if (written)
            QCOMPARE(meanAbsDiff(page->resultImage(), expected), 0.0);
        if (!closes) {
            QCOMPARE(w->currentPage(), 1);
            QVERIFY(page->isModified());
        }
    }

    // The file is written while the window goes on running. A close request
    // then waits for the save: saved work closes once the file is complete,
    // work that failed to save gets the question. A second start of the
    // program (its instance handler brings the window up) changes nothing.
    void closeRequestOrSecondStartDuringSave_data()
    {
        QTest::addColumn<QString>("during");
        QTest::addColumn<bool>("writeFails");
        QTest::newRow("close request") << "close" << false;
        QTest::newRow("second start") << "second start" << false;
        QTest::newRow("close request, full disk") << "close" << true;
    }
    void closeRequestOrSecondStartDuringSave()
    {
        QFETCH(QString, during);
        QFETCH(bool, writeFails);
        auto w = openWindow();
        QVERIFY(w);
        // Large enough that writing it takes a good while.
        const QImage big = adjtest::grainyPicture(QSize(3000, 2000));
        w->onHDRFinished(big.copy(), big, 0);
        IQAdjustingFrame* page = w->adjustingFrame();
        release(row(*page, "exposureWidget"), 30);
        QVERIFY(settle(*page, 120000));
        const QImage edited = page->resultImage();
        QVERIFY(meanAbsDiff(edited, big) > 1.0);

        QTemporaryDir out;
        QString name = QStringLiteral("during.png");
        if (writeFails) {
            name = QStringLiteral("full.bmp");
            if (!adjtest::makeFullDisk(out.filePath(name)))
                QSKIP("no /dev/full");
        }
        const QString target = out.filePath(name);

        // The request comes once the file is being written, from the event
        // loop, as the window system's would.
        bool requestWhileWriting = false;
        bool windowClosedByRequest = false;
        bool waitingDialogOnTop = false;
        ShowSpy<QWaitingDialog> writing([&](QWaitingDialog* dialog) {
            QPointer<QWaitingDialog> d = dialog;
            QMetaObject::invokeMethod(
                w.get(),
                [&, d] {
                    // A failing write may end before this comes; it is still inside the save.
                    requestWhileWriting = page->isSaving() && (writeFails || (d && d->isVisible()));
                    if (during == QLatin1String("close")) {
                        windowClosedByRequest = w->close();
                    } else {
                        // What the instance handler does for a second start.
                        if (w->isMinimized())
                            w->showNormal();
                        w->show();
                        w->raise();
                        w->activateWindow();
                        waitingDialogOnTop = d && d->isVisible() && QApplication::activeModalWidget() == d;
                        if (d)
                            saveShot(screenshot(*w, {d.data()}), QStringLiteral("mainwindow_saving.png"));
                    }
                },
                Qt::QueuedConnection);
        });
        // The state of things when the window goes.
        bool savedWhenClosed = false;
        qint64 bytesWhenClosed = -1;
        struct HideSpy : QObject {
            std::function<void()> act;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Hide)
                    act();
                return false;
            }
        } hidden;
        hidden.act = [&] {
            savedWhenClosed = !page->isModified() && !page->isSaving();
            bytesWhenClosed = QFileInfo(target).size();
        };
        w->installEventFilter(&hidden);

        QString warning;
        QString question;
        answerFileDialog(out.path(), name, writeFails ? QStringLiteral("Windows BMP image (*.bmp)")
                                                      : QStringLiteral("PNG image (*.png)"));
        if (writeFails) {
            // Replace the existing "file"? Yes. Then the failure, then the
            // question of the close request, answered Cancel.
            whenModal<QMessageBox>([&](QMessageBox* replace) {
                whenModal<QMessageBox>([&](QMessageBox* failure) {
                    warning = failure->text();
                    saveShot(screenshot(*w, {failure}), QStringLiteral("mainwindow_save_full_disk.png"));
                    whenModal<QMessageBox>([&](QMessageBox* box) {
                        question = box->text();
                        clickButton(box, QMessageBox::Cancel);
                    });
                    clickButton(failure, QMessageBox::Ok);
                });
                clickButton(replace, QMessageBox::Yes);
            });
        }
        QTest::mouseClick(page->findChild<QAbstractButton*>(QStringLiteral("saveButn")), Qt::LeftButton);
        QVERIFY2(requestWhileWriting, "the request came after the file was written; it proved nothing");
        QVERIFY(!windowClosedByRequest);

        if (writeFails) {
            QTRY_VERIFY(!question.isEmpty());
            QVERIFY2(warning.contains(QDir::toNativeSeparators(target)), qPrintable(warning));
            QVERIFY2(warning.contains(QStringLiteral("No space left on device")), qPrintable(warning));
            QCOMPARE(question, QStringLiteral("Your changes will be lost if you don’t save them."));
            // The edit is all there.
            QVERIFY(w->isVisible());
            QVERIFY(page->isModified());
            QCOMPARE(page->adjustParams().brightness, 30);
            QCOMPARE(meanAbsDiff(page->resultImage(), edited), 0.0);
            QVERIFY(adjtest::isDevice(target));
            w->removeEventFilter(&hidden);
            return;
        }
        // Bytes of the edited picture as a plain writer makes them.
        QTemporaryDir plainDir;
        const QString plain = plainDir.filePath(name);
        QVERIFY(QImageWriter(plain).write(edited));
        if (during == QLatin1String("close")) {
            QTRY_VERIFY(!w->isVisible());
            QVERIFY(savedWhenClosed);
            QCOMPARE(bytesWhenClosed, QFileInfo(plain).size());
        } else {
            QVERIFY(waitingDialogOnTop);
            QTRY_VERIFY(!page->isSaving());
            QVERIFY(w->isVisible());
            QVERIFY(!page->isModified());
        }
        QFile written(target);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QFile reference(plain);
        QVERIFY(reference.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll() == reference.readAll());
        w->removeEventFilter(&hidden);
        // Saved: closing asks nothing.
        if (w->isVisible())
            QVERIFY(w->close());
    }

    void pageOperationsOutsideTheirPage()
    {
        auto w = openWindow();
        QVERIFY(w);
        QVERIFY(!w->save()); // nothing to save on the import page
        QFrame stranger;
        showEditingPage(*w);
        w->finish(&stranger);
        w->finish(nullptr);
        QCOMPARE(w->currentPage(), 1);
        QPointer<QTimer> noDialog = whenModal<QWidget>([](QWidget* d) {
            d->close();
            QFAIL("import opened a dialog on the editing page");
        });
        w->import();
        QTest::qWait(100);
        delete noDialog.data();
        // The editing page's own finish returns to the import page.
        emit w->adjustingFrame()->finish(w->adjustingFrame());
        QCOMPARE(w->currentPage(), 0);
        QVERIFY(w->tilesFrame()->isVisible());
        QVERIFY(!w->adjustingFrame()->isVisible());
        QVERIFY(w->close()); // the import page asks nothing
    }

    void menuAndLanguageMenu()
    {
        auto w = openWindow();
        QVERIFY(w);
        auto* menuButton = w->findChild<QPushButton*>(QStringLiteral("menuButton"));
        QVERIFY(menuButton);
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(menuButton, Qt::LeftButton);
            QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QCOMPARE(menu->title(), QStringLiteral("Help"));
            // It opens below the button (moved left only as far as the screen edge asks).
            const QPoint corner = menuButton->mapToGlobal(QPoint(0, menuButton->height()));
            QCOMPARE(menu->pos().y(), corner.y());
            QVERIFY(menu->pos().x() == corner.x() || menu->geometry().right() == menu->screen()->geometry().right());
            QStringList texts;
            for (QAction* a : menu->actions())
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            QCOMPARE(texts, (QStringList{"Language", "-", "Online Help", "Product FAQ", "Contact Customer Service",
                                         "-", "About"}));
            QMenu* languages = menu->actions().first()->menu();
            QVERIFY(languages);
            QCOMPARE(languages->actions().size(), 16);
            QVERIFY(languageAction(*languages, QLocale::English)->isChecked());
            if (i == 0) {
                menu->setActiveAction(menu->actions().first());
                QTRY_VERIFY(languages->isVisible());
                QVERIFY(saveShot(screenshot(*w, {menu, languages}), QStringLiteral("mainwindow_language_menu.png")));
            }
            QPointer<QMenu> gone = menu;
            menu->close();
            QTRY_VERIFY(!gone);
        }
        // One group lives, however often the menu was opened.
        QCOMPARE(w->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly).size(), 1);
    }

    void languageMenuChecksTheCurrentLanguage_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("checked"); // -1: no entry
        QTest::newRow("English") << int(QLocale::English) << int(QLocale::English);
        QTest::newRow("German") << int(QLocale::German) << int(QLocale::German);
        QTest::newRow("not offered") << int(QLocale::Welsh) << -1;
        const int system = int(SystemLanguage());
        bool offered = false;
        for (const InterfaceLanguage& l : InterfaceLanguages())
            offered = offered || int(l.language) == system;
        QTest::newRow("none stored: the system's") << 0 << (offered ? system : -1);
    }
    void languageMenuChecksTheCurrentLanguage()
    {
        QFETCH(int, stored);
        QFETCH(int, checked);
        IQSettings::instance()->setLanguage(stored);
        auto w = openWindow();
        QVERIFY(w);
        std::unique_ptr<QMenu> languages(w->createLanguageMenu());
        QList<int> marked;
        for (QAction* a : languages->actions())
            if (a->isChecked())
                marked << a->data().toInt();
        IQSettings::instance()->setLanguage(int(QLocale::English));
        QCOMPARE(marked, checked < 0 ? QList<int>() : QList<int>{checked});
    }

    // The restart question after a language choice: Cancel keeps running; Ok
    // restarts once every window has closed, which the unsaved-work question
    // may refuse. Last: a restart ends the (not running) event loop as the
    // real one does.
    void languageChoice_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("unsavedWork");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("restarts");
        QTest::newRow("cancelled") << int(QLocale::German) << false << int(QMessageBox::Cancel) << false;
        QTest::newRow("work kept") << int(QLocale::English) << true << int(QMessageBox::Ok) << false;
        QTest::newRow("restart") << int(QLocale::English) << false << int(QMessageBox::Ok) << true;
    }
    void languageChoice()
    {
        QFETCH(int, language);
        QFETCH(bool, unsavedWork);
        QFETCH(int, answer);
        QFETCH(bool, restarts);
        auto w = openWindow();
        QVERIFY(w);
        if (unsavedWork)
            showEditingPage(*w);
        std::unique_ptr<QMenu> languages(w->createLanguageMenu());
        QAction* chosen = languageAction(*languages, QLocale::Language(language));
        QVERIFY(chosen);
        QString text;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            // Cancel to the unsaved-work question that closing asks.
            if (unsavedWork)
                whenModal<QMessageBox>([](QMessageBox* question) { clickButton(question, QMessageBox::Cancel); });
            clickButton(box, QMessageBox::StandardButton(answer));
        });
        chosen->trigger();
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(text, QStringLiteral("The language is switched successfully, please restart your application."));
        QCOMPARE(IQSettings::instance()->language(), language);
        QCOMPARE(w->isVisible(), !restarts);
        // main starts the new instance once this one has let go of its guard.
        QCOMPARE(MainWindow::restartRequested(), restarts);
        MainWindow::setRestartRequested(false);
        IQSettings::instance()->setLanguage(int(QLocale::English));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
