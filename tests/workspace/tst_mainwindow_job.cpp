// A real-size HDR job through the main window: three 24 MP photos. While the
// job runs, neither Escape nor a close request may end the waiting dialog,
// and the window refuses to close; the time from Next to the editing page is
// reported.
#include <QtTest>

#include <algorithm>
#include <vector>

#include "SyntheticScene.h"
#include "tst_mainwindow_support.h"

using namespace mwtest;

class TestMainWindowJob : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<FreshUser> m_user;
    QStringList m_paths;

private slots:
    void initTestCase()
    {
        m_user = std::make_unique<FreshUser>();
        // Rendered small and enlarged: the job sees 6000 x 4000 photos with
        // real structure, without minutes of scene rendering.
        SyntheticScene::BracketSpec bracket;
        bracket.size = QSize(1500, 1000);
        bracket.exposures = {0.25, 1.0, 4.0};
        const QList<QImage> frames = SyntheticScene::renderBracket(bracket);
        QCOMPARE(frames.size(), 3);
        for (int i = 0; i < frames.size(); ++i) {
            const QImage big = frames[i].scaled(6000, 4000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const QString path = SyntheticScene::writeImage(big, m_user->photoDir(), QStringLiteral("big_%1").arg(i),
                                                            "jpg", 90);
            QVERIFY(!path.isEmpty());
            m_paths << path;
        }
    }

    void jobCannotBeEndedEarlyAndIsTimed()
    {
        auto w = openWindow();
        QVERIFY(w);
        QCOMPARE(w->tilesFrame()->importPaths(m_paths), 3);
        QTRY_VERIFY_WITH_TIMEOUT(thumbnailsLoaded(*w), 30000);

        bool dialogSeen = false;
        bool runningAtCheck = false;
        bool openAfterEscape = false;
        bool openAfterCloseRequest = false;
        bool windowClosed = true;
        bool windowVisible = false;
        whenModal<QWaitingDialog>([&](QWaitingDialog* d) {
            dialogSeen = true;
            QTest::keyClick(d, Qt::Key_Escape);
            QPointer<QWaitingDialog> dialog = d;
            QTimer::singleShot(200, d, [&, dialog] {
                runningAtCheck = w->isHDRJobRunning();
                openAfterEscape = dialog && dialog->isVisible();
                if (dialog)
                    dialog->close();
                QTimer::singleShot(50, dialog, [&, dialog] {
                    openAfterCloseRequest = dialog && dialog->isVisible();
                    windowClosed = w->close();
                    windowVisible = w->isVisible();
                });
            });
        });
        // The event loop's longest stall from Next until the page shows: a
        // 16 ms timer that notes when it fires.
        QElapsedTimer clock;
        std::vector<qint64> ticks;
        QTimer beat;
        beat.setInterval(16);
        beat.setTimerType(Qt::PreciseTimer);
        connect(&beat, &QTimer::timeout, &beat, [&] { ticks.push_back(clock.elapsed()); });
        clock.start();
        beat.start();
        selectAllAndNext(*w, false);
        QTRY_COMPARE_WITH_TIMEOUT(w->currentPage(), 1, 120000);
        const qint64 nextToEditing = clock.elapsed();
        QTRY_VERIFY(w->adjustingFrame()->isVisible() && !w->isHDRJobRunning());
        QTest::qWait(300); // its first paint included
        beat.stop();
        const qint64 stall = adjtest::longestStall(ticks);
        qInfo("Next to the editing page, three 24 MP photos: %lld ms; longest event-loop stall %lld ms",
              nextToEditing, stall);

        QVERIFY(dialogSeen);
        QVERIFY2(runningAtCheck, "the job ended before the checks; they proved nothing");
        QVERIFY(openAfterEscape);
        QVERIFY(openAfterCloseRequest);
        QVERIFY(!windowClosed);
        QVERIFY(windowVisible);

        IQAdjustingFrame* page = w->adjustingFrame();
        QVERIFY(settle(*page, 120000));
        const QImage merged = page->resultImage();
        QCOMPARE(merged.size(), QSize(6000, 4000));
        QVERIFY(greySpread(merged) > 20);
        QVERIFY(saveShot(screenshot(*w), QStringLiteral("mainwindow_editing_page_24mp.png")));

        // Once the job is over the window closes again (after the question).
        whenModal<QMessageBox>([](QMessageBox* box) { clickButton(box, QMessageBox::Discard); });
        QVERIFY(w->close());
    }
};

QTEST_MAIN(TestMainWindowJob)
#include "tst_mainwindow_job.moc"
