#include "WidgetTestUtil.h"

#include "GraphicsImageViewer.h"
#include "IQImageFrameV2.h"
#include "ImageViewerWidget.h"
#include "QDoubleSlider.h"
#include "QMovieProxy.h"

#include <QAction>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace widgettest;

namespace {
// Three frames of solid colours, the second of another size.
class FakeMovie : public QMovieProxy
{
public:
    int frameCount() const override { return 3; }
    int currentFrameNumber() const override { return m_frame; }
    bool jumpToFrame(int frame) override
    {
        if (frame < 0 || frame >= 3)
            return false;
        m_frame = frame;
        return true;
    }
    bool jumpToNextFrame() override { return jumpToFrame(m_frame + 1); }
    QPixmap currentPixmap() const override
    {
        QPixmap p(m_frame == 1 ? QSize(64, 48) : QSize(32, 32));
        p.fill(m_frame == 0 ? Qt::red : m_frame == 1 ? Qt::green : Qt::blue);
        return p;
    }
    int nextFrameDelay() const override { return 15; }

private:
    int m_frame = 0;
};
}

class TestImageFrame : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ImageViewerWidget> widget;
    ImageViewerWidget& makeWidget()
    {
        widget = std::make_unique<ImageViewerWidget>();
        widget->resize(400, 300);
        widget->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(widget.get())); }();
        return *widget;
    }

private slots:
    void cleanup() { widget.reset(); }
    void viewerWidgetShowsAndCloses();
    void cursorHidesAtRestAndReturnsOnMove();
    void fanOutReachesViewer();
    void animationPlaysAndStops();
    void frameWithoutPartsIsSafe();
    void frameDrivesViewer();
};

void TestImageFrame::viewerWidgetShowsAndCloses()
{
    ImageViewerWidget& w = makeWidget();
    QVERIFY(w.isEmpty());
    QVERIFY(!w.viewer()->isVisible());
    w.setImage(testImage(1600, 1200));
    QVERIFY(!w.isEmpty());
    QVERIFY(w.viewer()->isVisible());
    QCOMPARE(w.currentScale(), 0.25);
    w.closeImage();
    QVERIFY(!w.viewer()->isDisplaying());
    w.showImageOwned(testPixmap(100, 100));
    w.disableViewer();
    QVERIFY(w.isEmpty());
    QVERIFY(!w.viewer()->isVisible());
    QVERIFY(!w.viewer()->isDisplaying());
}

void TestImageFrame::cursorHidesAtRestAndReturnsOnMove()
{
    ImageViewerWidget& w = makeWidget();
    w.setImage(testImage(800, 600));
    QVERIFY(!w.isCursorHidden());
    sendMove(w.viewer()->viewport(), QPoint(100, 100), Qt::NoButton);
    QTRY_VERIFY_WITH_TIMEOUT(w.isCursorHidden(), 3000);
    QCOMPARE(w.viewer()->viewport()->cursor().shape(), Qt::BlankCursor);
    sendMove(w.viewer()->viewport(), QPoint(120, 100), Qt::NoButton);
    QVERIFY(!w.isCursorHidden());
    QTRY_VERIFY_WITH_TIMEOUT(w.isCursorHidden(), 3000);
    w.closeImage();
    QVERIFY(!w.isCursorHidden());
    w.setCursorAutoHide(false);
    w.setImage(testImage(800, 600));
    sendMove(w.viewer()->viewport(), QPoint(130, 100), Qt::NoButton);
    QTest::qWait(1300);
    QVERIFY(!w.isCursorHidden());
}

void TestImageFrame::fanOutReachesViewer()
{
    ImageViewerWidget& w = makeWidget();
    w.setImage(testImage(1600, 1200));
    QSignalSpy scale(&w, &ImageViewerWidget::scaleChanged);
    w.setFitMode(FIT_ORIGINAL);
    QCOMPARE(w.currentScale(), 1.0);
    QCOMPARE(w.fitMode(), 2);
    w.slotZoomIn();
    QCOMPARE(w.currentScale(), double(1.2f));
    w.slotZoom(0.5);
    QCOMPARE(w.currentScale(), 0.5);
    QCOMPARE(scale.count(), 3);
    w.setFitMode(FIT_WIDTH);
    QCOMPARE(w.fitMode(), 1);
    emit w.toggleLockZoom();
    QVERIFY(w.lockZoomEnabled());
}

void TestImageFrame::animationPlaysAndStops()
{
    ImageViewerWidget& w = makeWidget();
    QSignalSpy frames(&w, &ImageViewerWidget::frameChanged);
    QSignalSpy finished(&w, &ImageViewerWidget::playbackFinished);
    QSignalSpy duration(&w, &ImageViewerWidget::durationChanged);
    w.setLoopPlayback(false);
    w.showAnimation(std::make_unique<FakeMovie>());
    QCOMPARE(duration.count(), 1);
    QCOMPARE(duration.at(0).at(1).toInt(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 3000);
    QCOMPARE(frames.count(), 3);
    QCOMPARE(w.viewer()->sourceSize(), QSize(32, 32));
    w.seek(1);
    QCOMPARE(w.viewer()->sourceSize(), QSize(64, 48));
    w.frameStepBack();
    QCOMPARE(frames.last().at(0).toInt(), 0);
    w.frameStepBack();
    QCOMPARE(frames.last().at(0).toInt(), 2);
    w.closeImage();
    QVERIFY(!w.viewer()->hasAnimation());
}

void TestImageFrame::frameWithoutPartsIsSafe()
{
    IQImageFrameV2 frame;
    QCOMPARE(frame.scale(), 1.0);
    QCOMPARE(frame.zoomState(), 0);
    frame.updateZoomAction();
    frame.zoomIn();
    frame.zoomOut();
    frame.zoomFit();
    frame.zoomActual();
    frame.setImage(testImage(10, 10));
    QCOMPARE(frame.image().size(), QSize(10, 10));
    frame.closeImage();
    QVERIFY(frame.image().isNull());
    QDoubleSlider slider;
    frame.setZoomSlider(&slider);
    slider.setValue(2.0);
    frame.createViewer(nullptr);
    QVERIFY(!frame.viewer());
}

void TestImageFrame::frameDrivesViewer()
{
    IQImageFrameV2 frame;
    auto* layout = new QVBoxLayout(&frame);
    layout->setContentsMargins(0, 0, 0, 0);
    frame.createViewer(layout);
    QDoubleSlider slider;
    frame.setZoomSlider(&slider);
    QAction fit, original, in, out;
    frame.setZoomActions(&fit, &original, &in, &out);
    QVERIFY(!fit.isEnabled());
    frame.resize(400, 300);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.setImage(testImage(1600, 1200));
    QCOMPARE(frame.scale(), 0.25);
    QCOMPARE(slider.minimum(), 0.25);
    QCOMPARE(slider.value(), 0.25);
    QVERIFY(!fit.isEnabled());
    QVERIFY(!out.isEnabled());
    slider.setValue(0.5);
    QCOMPARE(frame.scale(), 0.5);
    QCOMPARE(frame.zoomState(), 2);
    QVERIFY(fit.isEnabled());
    QVERIFY(out.isEnabled());
    frame.zoomActual();
    QCOMPARE(frame.zoomState(), 1);
    QVERIFY(!original.isEnabled());
    QCOMPARE(slider.value(), 1.0);
    frame.zoomIn();
    QCOMPARE(frame.scale(), double(1.2f));
    frame.setImageKeepView(testImage(1600, 1200));
    QCOMPARE(frame.scale(), double(1.2f));
    frame.zoomFit();
    QCOMPARE(frame.zoomState(), 0);
    frame.closeImage();
    QVERIFY(!in.isEnabled());
}

QTEST_MAIN(TestImageFrame)
#include "tst_imageframe.moc"
