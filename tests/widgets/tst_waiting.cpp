#include "QProgressIndicator.h"
#include "QWaitingDialog.h"

#include <QSet>
#include <QTimer>
#include <QTimerEvent>
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

// Every tick a timer delivers to the indicator, with the angle just before
// the tick turns it: no tick is missed however late the event loop runs.
class TickRecorder : public QObject
{
public:
    explicit TickRecorder(QProgressIndicator& indicator) : m_indicator(indicator)
    {
        indicator.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer) {
            anglesBefore << m_indicator.angle();
            timerIds.insert(static_cast<QTimerEvent*>(event)->timerId());
        }
        return false;
    }
    void clear()
    {
        anglesBefore.clear();
        timerIds.clear();
    }

    QList<int> anglesBefore;
    QSet<int> timerIds;

private:
    QProgressIndicator& m_indicator;
};
}

void TestWaiting::angleSequence()
{
    QProgressIndicator indicator;
    TickRecorder ticks(indicator);
    indicator.setAnimationDelay(5);
    indicator.startAnimation();
    QCOMPARE(indicator.angle(), 0);
    // More than one turn: the wrap from 330 to 0 is included.
    QTRY_VERIFY_WITH_TIMEOUT(ticks.anglesBefore.size() >= 14, 60000);
    indicator.stopAnimation();
    QCOMPARE(ticks.anglesBefore.first(), 0);
    for (int i = 1; i < ticks.anglesBefore.size(); ++i)
        QCOMPARE(ticks.anglesBefore[i], (30 * i) % 360);
    QCOMPARE(indicator.angle(), (30 * int(ticks.anglesBefore.size())) % 360);
    QCOMPARE(ticks.timerIds.size(), 1);
}

void TestWaiting::startTwiceKeepsOneTimer()
{
    QProgressIndicator indicator;
    TickRecorder ticks(indicator);
    indicator.startAnimation();
    QVERIFY(indicator.isAnimated());
    QTRY_VERIFY(ticks.anglesBefore.size() >= 2);
    QVERIFY(indicator.angle() != 0);
    indicator.startAnimation();
    QCOMPARE(indicator.angle(), 0);
    // A second timer would tick as well, under its own id.
    ticks.clear();
    QTRY_VERIFY(ticks.anglesBefore.size() >= 6);
    QCOMPARE(ticks.timerIds.size(), 1);
    QCOMPARE(ticks.anglesBefore.first(), 0);

    indicator.stopAnimation();
    QVERIFY(!indicator.isAnimated());
    const int frozen = indicator.angle();
    ticks.clear();
    // A timer of the same kind, started after the stop, fires three times:
    // any timer left running on the indicator was due earlier and would
    // have ticked by then.
    int referenceTicks = 0;
    QTimer reference;
    reference.setTimerType(Qt::CoarseTimer);
    reference.setInterval(40);
    connect(&reference, &QTimer::timeout, this, [&] { ++referenceTicks; });
    reference.start();
    QTRY_VERIFY(referenceTicks >= 3);
    QCOMPARE(ticks.anglesBefore.size(), 0);
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
