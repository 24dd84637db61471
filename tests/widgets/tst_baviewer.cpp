#include "WidgetTestUtil.h"

#include "BAImageViewerWidget.h"
#include "GraphicsImageViewer.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace widgettest;

class TestBAViewer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<BAImageViewerWidget> w;
    BAImageViewerWidget& make(bool compare)
    {
        w = std::make_unique<BAImageViewerWidget>();
        w->resize(803, 400);
        w->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(w.get())); }();
        w->setCompareVisible(compare);
        QCoreApplication::processEvents();
        return *w;
    }
    static QPoint scrollOf(GraphicsImageViewer* p)
    {
        return QPoint(p->horizontalScrollBar()->value(), p->verticalScrollBar()->value());
    }

private slots:
    void cleanup() { w.reset(); }

    void layoutAndDefaults();
    void showImagesOwnership();
    void nullPicturesRejected_data();
    void nullPicturesRejected();
    void wheelZoomsBothInStep_data();
    void wheelZoomsBothInStep();
    void scrollMirrors();
    void differentSizesIndependent();
    void hiddenCompareStillFollows();
    void hiddenPaneBDoesNotDriveA();
    void stepZoomFanOutTakesOneStep_data();
    void stepZoomFanOutTakesOneStep();
    void fitModesReachBothPanes();
    void unevenPanesBothFitted();
    void replaceBeforeKeepsViewAndAfterNullCloses();
    void closeAndEmptyMode();
};

void TestBAViewer::layoutAndDefaults()
{
    BAImageViewerWidget& v = make(false);
    QVERIFY(v.paneA()->isVisible());
    QVERIFY(!v.paneB()->isVisible());
    QVERIFY(!v.isCompareVisible());
    QCOMPARE(v.currentScale(), 1.0f);
    QVERIFY(!v.paneA()->expandImage());
    QVERIFY(!v.paneB()->expandImage());
    v.setCompareVisible(true);
    QCoreApplication::processEvents();
    QVERIFY(v.paneB()->isVisible());
    // Pane B sits left of pane A, each taking half of the width.
    QVERIFY(v.paneB()->geometry().right() < v.paneA()->geometry().left());
    QVERIFY(std::abs(v.paneA()->width() - v.paneB()->width()) <= 1);
}

void TestBAViewer::showImagesOwnership()
{
    BAImageViewerWidget& v = make(true);
    const QImage beforeImg = testImage(600, 400, QColor(200, 60, 60));
    const QImage afterImg = testImage(600, 400, QColor(60, 200, 60));
    const QPixmap before = QPixmap::fromImage(beforeImg);
    QVERIFY(v.showImages(before, std::make_unique<QPixmap>(QPixmap::fromImage(afterImg))));
    QVERIFY(v.isSynchronised());
    QVERIFY(v.hasImages());
    // The caller's `before` is untouched and still usable.
    QCOMPARE(before.size(), QSize(600, 400));
    QCOMPARE(v.beforeImage().pixel(10, 10), afterImg.pixel(10, 10)); // pane A: working picture
    QCOMPARE(v.afterImage().pixel(10, 10), beforeImg.pixel(10, 10)); // pane B: unprocessed
}

void TestBAViewer::nullPicturesRejected_data()
{
    QTest::addColumn<bool>("beforeNull");
    QTest::addColumn<int>("after"); // 0 null pointer, 1 empty pixmap, 2 picture
    QTest::newRow("null after") << false << 0;
    QTest::newRow("empty after") << false << 1;
    QTest::newRow("null before") << true << 2;
}

void TestBAViewer::nullPicturesRejected()
{
    QFETCH(bool, beforeNull);
    QFETCH(int, after);
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(300, 200)), testPixmap(300, 200)));
    const QSize shown = v.sourceSize();
    std::unique_ptr<QPixmap> a;
    if (after == 1)
        a = std::make_unique<QPixmap>();
    else if (after == 2)
        a = testPixmap(50, 50);
    const QPixmap b = beforeNull ? QPixmap() : QPixmap::fromImage(testImage(70, 70));
    QVERIFY(!v.showImages(b, std::move(a)));
    QCOMPARE(v.sourceSize(), shown);
    QCOMPARE(v.paneB()->sourceSize(), QSize(300, 200));
}

void TestBAViewer::wheelZoomsBothInStep_data()
{
    QTest::addColumn<bool>("onB");
    QTest::newRow("wheel on pane A") << false;
    QTest::newRow("wheel on pane B") << true;
}

void TestBAViewer::wheelZoomsBothInStep()
{
    QFETCH(bool, onB);
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    QCOMPARE(v.paneA()->currentScale(), v.paneB()->currentScale());
    QWidget* vp = (onB ? v.paneB() : v.paneA())->viewport();
    QSignalSpy scale(&v, &BAImageViewerWidget::scaleChanged);
    QVERIFY(sendWheel(vp, QPoint(50, 60), 120));
    QCOMPARE(scale.count(), 1);
    QCOMPARE(scale.at(0).at(0).toDouble(), v.paneA()->currentScale());
    QCOMPARE(v.paneB()->currentScale(), v.paneA()->currentScale());
    QCOMPARE(scrollOf(v.paneB()), scrollOf(v.paneA()));
    QCOMPARE(v.paneB()->imageRect(), v.paneA()->imageRect());
    QVERIFY(sendWheel(vp, QPoint(350, 300), 120));
    QVERIFY(sendWheel(vp, QPoint(10, 10), -120));
    QCOMPARE(scale.count(), 3);
    QCOMPARE(v.paneB()->currentScale(), v.paneA()->currentScale());
    QCOMPARE(v.paneB()->imageRect(), v.paneA()->imageRect());
}

void TestBAViewer::scrollMirrors()
{
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    v.setFitMode(FIT_ORIGINAL);
    v.paneA()->scrollBy(120, -80);
    QCOMPARE(scrollOf(v.paneB()), scrollOf(v.paneA()));
    // Panning pane B with the mouse drags pane A along.
    QWidget* vp = v.paneB()->viewport();
    sendButton(vp, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    sendMove(vp, QPoint(90, 95), Qt::LeftButton);
    sendMove(vp, QPoint(40, 70), Qt::LeftButton);
    sendButton(vp, QEvent::MouseButtonRelease, QPoint(40, 70), Qt::LeftButton);
    QCOMPARE(scrollOf(v.paneA()), scrollOf(v.paneB()));
    QCOMPARE(v.paneA()->imageRect(), v.paneB()->imageRect());
    // Animated steps reach both panes through the fan-out.
    const QPoint start = scrollOf(v.paneA());
    emit v.scrollDown();
    QTRY_COMPARE_WITH_TIMEOUT(scrollOf(v.paneA()).y(), start.y() + 220, 3000);
    QTRY_COMPARE(scrollOf(v.paneB()), scrollOf(v.paneA()));
}

void TestBAViewer::differentSizesIndependent()
{
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(1000, 800)), testPixmap(2000, 1500)));
    QVERIFY(!v.isSynchronised());
    const double bScale = v.paneB()->currentScale();
    const QPoint bScroll = scrollOf(v.paneB());
    QSignalSpy scale(&v, &BAImageViewerWidget::scaleChanged);
    QVERIFY(sendWheel(v.paneA()->viewport(), QPoint(100, 100), 120));
    QCOMPARE(scale.count(), 1);
    QCOMPARE(v.paneB()->currentScale(), bScale);
    QCOMPARE(scrollOf(v.paneB()), bScroll);
    // Pane B's own zoom is reported too while it is visible, but moves nothing in A.
    const double aScale = v.paneA()->currentScale();
    QVERIFY(sendWheel(v.paneB()->viewport(), QPoint(100, 100), 120));
    QCOMPARE(v.paneA()->currentScale(), aScale);
    QCOMPARE(scale.count(), 2);
}

void TestBAViewer::hiddenCompareStillFollows()
{
    BAImageViewerWidget& v = make(false);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    QSignalSpy scale(&v, &BAImageViewerWidget::scaleChanged);
    QVERIFY(sendWheel(v.paneA()->viewport(), QPoint(200, 200), 120));
    QCOMPARE(scale.count(), 1);
    QCOMPARE(v.paneB()->currentScale(), v.paneA()->currentScale());
    v.setCompareVisible(true);
    QVERIFY(v.paneB()->isVisible());
    QCOMPARE(v.paneB()->currentScale(), v.paneA()->currentScale());
    QTRY_COMPARE(scrollOf(v.paneB()), scrollOf(v.paneA()));
}

void TestBAViewer::hiddenPaneBDoesNotDriveA()
{
    BAImageViewerWidget& v = make(false);
    // The hidden pane has a viewport of its own size; its fit must not move A.
    v.paneB()->resize(60, 40);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(200, 100)), testPixmap(200, 100)));
    QCOMPARE(v.paneA()->currentScale(), 1.0);
    QCOMPARE(v.fitMode(), 0);
    const QRect r = v.paneA()->imageRect();
    v.paneB()->scrollBy(500, 500);
    QCOMPARE(v.paneA()->imageRect(), r);
}

void TestBAViewer::stepZoomFanOutTakesOneStep_data()
{
    QTest::addColumn<bool>("compare");
    QTest::newRow("compare visible") << true;
    QTest::newRow("compare hidden") << false;
}

void TestBAViewer::stepZoomFanOutTakesOneStep()
{
    QFETCH(bool, compare);
    BAImageViewerWidget& v = make(compare);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    const double start = v.paneA()->currentScale();
    QSignalSpy scale(&v, &BAImageViewerWidget::scaleChanged);
    v.slotZoomIn();
    QCOMPARE(v.paneA()->currentScale(), double(float(start * 1.2)));
    QCOMPARE(v.paneB()->currentScale(), v.paneA()->currentScale());
    QCOMPARE(scale.count(), 1);
    v.slotZoom(0.5);
    QCOMPARE(v.paneA()->currentScale(), 0.5);
    QCOMPARE(v.paneB()->currentScale(), 0.5);
    QCOMPARE(v.currentScale(), 0.5f);
    emit v.zoomOutCursor();
    QCOMPARE(v.paneA()->currentScale(), double(float(0.5 * 0.8)));
    QCOMPARE(v.paneB()->currentScale(), v.paneA()->currentScale());
}

void TestBAViewer::fitModesReachBothPanes()
{
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    v.setFitMode(FIT_ORIGINAL);
    QCOMPARE(v.fitMode(), 2);
    QCOMPARE(v.paneA()->currentScale(), 1.0);
    QCOMPARE(v.paneB()->currentScale(), 1.0);
    v.setFitMode(FIT_WIDTH);
    QCOMPARE(v.paneB()->fitMode(), 1);
    v.setFitMode(FIT_WINDOW);
    QCOMPARE(v.fitMode(), 0);
    QCOMPARE(v.paneA()->currentScale(), v.paneA()->fitScale());
    v.setFitMode(FIT_FREE); // nothing
    QCOMPARE(v.fitMode(), 0);
    QCOMPARE(v.minScale(), v.paneA()->minScale());
    QCOMPARE(v.maxScale(), 10.0);
}

void TestBAViewer::unevenPanesBothFitted()
{
    BAImageViewerWidget& v = make(true);
    v.resize(804, 400); // 801 px for two panes: one is a pixel wider
    QTRY_VERIFY(v.paneA()->width() != v.paneB()->width());
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    QCOMPARE(v.fitMode(), 0);
    QCOMPARE(v.paneA()->currentScale(), v.paneA()->fitScale());
    QCOMPARE(v.paneB()->currentScale(), v.paneB()->fitScale());
}

void TestBAViewer::replaceBeforeKeepsViewAndAfterNullCloses()
{
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(2000, 1500)), testPixmap(2000, 1500)));
    v.slotZoom(0.6);
    v.paneA()->scrollBy(50, 50);
    const QRect r = v.paneA()->imageRect();
    v.showBeforeImage(testPixmap(2000, 1500), false);
    QCOMPARE(v.paneA()->imageRect(), r);
    QCOMPARE(v.paneA()->currentScale(), double(0.6f));
    QVERIFY(v.isSynchronised());
    v.showBeforeImage(nullptr, true);
    v.showBeforeImage(std::make_unique<QPixmap>(), true);
    QVERIFY(v.paneA()->isDisplaying());
    v.showAfterImage(nullptr, false);
    QVERIFY(v.paneB()->isDisplaying());
    v.showAfterImage(nullptr, true);
    QVERIFY(!v.paneB()->isDisplaying());
    QVERIFY(!v.isSynchronised());
    QVERIFY(v.afterImage().isNull());
}

void TestBAViewer::closeAndEmptyMode()
{
    BAImageViewerWidget& v = make(true);
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(300, 300)), testPixmap(300, 300)));
    v.closeImage();
    QVERIFY(!v.paneA()->isDisplaying());
    QVERIFY(!v.paneB()->isDisplaying());
    QVERIFY(v.beforeImage().isNull());
    v.closeViewers();
    QCOMPARE(v.currentScale(), 1.0f);
    QVERIFY(v.imageRect().isNull());
    QVERIFY(!v.paneA()->isVisible());
    QVERIFY(v.showImages(QPixmap::fromImage(testImage(300, 300)), testPixmap(300, 300)));
    QVERIFY(v.paneA()->isVisible());
    QVERIFY(v.paneB()->isVisible());
    v.disconnectSignals();
    const double s = v.paneA()->currentScale();
    v.slotZoomIn();
    QCOMPARE(v.paneA()->currentScale(), s);
    QVERIFY(!v.paneA()->zoomInteractionEnabled());
    v.connectSignals();
    v.slotZoomIn();
    QVERIFY(v.paneA()->currentScale() > s);
}

QTEST_MAIN(TestBAViewer)
#include "tst_baviewer.moc"
