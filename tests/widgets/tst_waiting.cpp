#include "QProgressIndicator.h"
#include "QWaitingDialog.h"

#include <QTimer>
#include <QtTest>

class TestWaiting : public QObject
{
    Q_OBJECT
private slots:
    void angleSequence();
    void startTwiceKeepsOneTimer();
    void stoppedPaintsNothing();
    void capsuleWidthSwitch_data();
    void capsuleWidthSwitch();
    void execReturnsWhenWorkEnds();
    void heldDialogRefusesToBeDismissed();
};

namespace {
int countOpaque(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 0;
    return n;
}

QImage renderIndicator(QProgressIndicator& indicator, int side)
{
    indicator.resize(side, side);
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    indicator.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}
}

void TestWaiting::angleSequence()
{
    QProgressIndicator indicator;
    indicator.setAnimationDelay(5);
    indicator.startAnimation();
    QCOMPARE(indicator.angle(), 0);
    QList<int> seen;
    int last = 0;
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
        if (indicator.angle() != last) {
            last = indicator.angle();
            seen << last;
        }
        return seen.size() >= 13;
    }()), 5000);
    // Ticks may coalesce, but each observed step lands on a multiple of 30.
    for (int a : seen)
        QCOMPARE(a % 30, 0);
    QVERIFY(seen.contains(0) || seen.contains(330));
    indicator.stopAnimation();
}

void TestWaiting::startTwiceKeepsOneTimer()
{
    QProgressIndicator indicator;
    indicator.startAnimation();
    QVERIFY(indicator.isAnimated());
    QTRY_VERIFY(indicator.angle() != 0);
    indicator.startAnimation();
    QCOMPARE(indicator.angle(), 0);
    indicator.stopAnimation();
    QVERIFY(!indicator.isAnimated());
    const int frozen = indicator.angle();
    QTest::qWait(120);
    // A second, leaked timer would keep turning it.
    QCOMPARE(indicator.angle(), frozen);
}

void TestWaiting::stoppedPaintsNothing()
{
    QProgressIndicator indicator;
    indicator.setColor(Qt::white);
    QCOMPARE(countOpaque(renderIndicator(indicator, 40)), 0);
    indicator.setDisplayedWhenStopped(true);
    QVERIFY(countOpaque(renderIndicator(indicator, 40)) > 0);
    indicator.setDisplayedWhenStopped(false);
    indicator.startAnimation();
    QVERIFY(countOpaque(renderIndicator(indicator, 40)) > 0);
}

void TestWaiting::capsuleWidthSwitch_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("capsuleWidth");
    // outer = (side-1)/2, inner = (side-1)*0.19, L = outer - inner
    QTest::newRow("32") << 32 << int((15 - int(31 * 0.5 * 0.38)) * 0.35);
    QTest::newRow("33") << 33 << int((16 - int(32 * 0.5 * 0.38)) * 0.23);
}

void TestWaiting::capsuleWidthSwitch()
{
    QFETCH(int, side);
    QFETCH(int, capsuleWidth);
    // The top capsule at angle 0 is the opaque one: measure its width on the
    // row just below the top edge.
    QProgressIndicator indicator;
    indicator.setColor(Qt::black);
    indicator.setDisplayedWhenStopped(true);
    const QImage img = renderIndicator(indicator, side);
    const int cx = (side - 1) / 2;
    const int outer = (side - 1) / 2;
    const int row = cx - outer + 2;
    // Only the fully opaque capsule counts; the next one has alpha 11/12.
    int covered = 0;
    for (int x = cx - 8; x <= cx + 8; ++x)
        if (qAlpha(img.pixel(x, row)) >= 250)
            ++covered;
    QVERIFY2(std::abs(covered - capsuleWidth) <= 1,
             qPrintable(QStringLiteral("%1 vs %2").arg(covered).arg(capsuleWidth)));
}

void TestWaiting::execReturnsWhenWorkEnds()
{
    QWidget parent;
    parent.show();
    QWaitingDialog dialog(&parent);
    bool modalWhileRunning = false;
    QTimer::singleShot(50, &dialog, [&] {
        modalWhileRunning = QApplication::activeModalWidget() == &dialog && dialog.isVisible()
                            && dialog.indicator()->isAnimated();
        dialog.close();
    });
    dialog.exec();
    QVERIFY(modalWhileRunning);
    QVERIFY(!dialog.isVisible());
}

void TestWaiting::heldDialogRefusesToBeDismissed()
{
    QWidget parent;
    parent.show();
    QWaitingDialog dialog(&parent);
    dialog.setHeld(true);
    bool openAfterEscape = false;
    bool openAfterClose = false;
    bool openAfterReject = false;
    bool stillModal = false;
    QTimer::singleShot(50, &dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        openAfterEscape = dialog.isVisible();
        openAfterClose = !dialog.close() && dialog.isVisible();
        dialog.reject();
        openAfterReject = dialog.isVisible();
        stillModal = QApplication::activeModalWidget() == &dialog;
        dialog.finish();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(openAfterEscape);
    QVERIFY(openAfterClose);
    QVERIFY(openAfterReject);
    QVERIFY(stillModal);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.isHeld());

    // Not held (the default): Escape ends it.
    QWaitingDialog plain(&parent);
    QTimer::singleShot(50, &plain, [&] { QTest::keyClick(&plain, Qt::Key_Escape); });
    QTimer::singleShot(10000, &plain, [&] { plain.done(99); }); // not to hang when broken
    QCOMPARE(plain.exec(), int(QDialog::Rejected));
}

QTEST_MAIN(TestWaiting)
#include "tst_waiting.moc"
