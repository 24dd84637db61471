#include "WidgetTestUtil.h"

#include "GraphicsImageViewer.h"
#include "TestPaths.h"

#include <QGestureEvent>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPinchGesture>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace widgettest;

namespace {
const QSize kViewport(400, 300);

QGraphicsPixmapItem* pictureItem(GraphicsImageViewer& v)
{
    for (QGraphicsItem* item : v.scene()->items())
        if (auto* p = dynamic_cast<QGraphicsPixmapItem*>(item))
            return p;
    return nullptr;
}

// The picture point (in source pixels) under a viewport point.
QPointF picturePointAt(GraphicsImageViewer& v, QPoint viewportPoint)
{
    QGraphicsPixmapItem* item = pictureItem(v);
    return item->mapFromScene(v.mapToScene(viewportPoint)) - item->offset();
}

QPointF viewportPointOf(GraphicsImageViewer& v, QPointF picturePoint)
{
    QGraphicsPixmapItem* item = pictureItem(v);
    return v.mapFromScene(item->mapToScene(picturePoint + item->offset()));
}

bool near(QPointF a, QPointF b)
{
    return std::abs(a.x() - b.x()) <= 1.0 && std::abs(a.y() - b.y()) <= 1.0;
}

// A picture wider (taller) than the viewport covers it on that axis; a
// narrower one is centred on it.
void verifyPlacement(const QRect& r, QSize viewport)
{
    if (r.width() > viewport.width()) {
        QVERIFY(r.left() <= 0);
        QVERIFY(r.right() >= viewport.width());
    } else {
        QVERIFY(std::abs((r.left() + r.right()) / 2 - viewport.width() / 2) <= 1);
    }
    if (r.height() > viewport.height()) {
        QVERIFY(r.top() <= 0);
        QVERIFY(r.bottom() >= viewport.height());
    } else {
        QVERIFY(std::abs((r.top() + r.bottom()) / 2 - viewport.height() / 2) <= 1);
    }
}

// Sends a pinch update the way the gesture manager delivers it.
bool sendPinch(GraphicsImageViewer& v, qreal totalFactor, QPinchGesture::ChangeFlags flags)
{
    QPinchGesture pinch;
    pinch.setTotalScaleFactor(totalFactor);
    pinch.setChangeFlags(flags);
    QGestureEvent event(QList<QGesture*>{&pinch});
    event.ignore();
    return static_cast<QObject&>(v).event(&event);
}
}

class TestImageViewer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<GraphicsImageViewer> viewer;
    GraphicsImageViewer& makeViewer(bool expand = true)
    {
        viewer = std::make_unique<GraphicsImageViewer>();
        viewer->setExpandImage(expand);
        viewer->resize(kViewport);
        viewer->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(viewer.get())); }();
        return *viewer;
    }

private slots:
    void cleanup() { viewer.reset(); }

    void fitModes_data();
    void fitModes();
    void scaleRangeAndClamp();
    void stepZoomsAndFitMode();
    void anchoredWheelZoom_data();
    void anchoredWheelZoom();
    void wheelPhases_data();
    void wheelPhases();
    void panningFollowsMouseAndStopsAtEdges();
    void narrowPictureStaysCentred();
    void dragOutRepeats();
    void rightDragZoom();
    void scrollStepsExtend();
    void nullAndEmptyPictures();
    void replaceKeepsView();
    void newSizeRefitsOrClamps_data();
    void newSizeRefitsOrClamps();
    void showImageScaledRefits();
    void anchorModes_data();
    void anchorModes();
    void pinch_data();
    void pinch();
    void slotsByName();
    void scalingRequestedBelowOne();
    void resizeRefits();
    void lockModesCarryOverPictures();
    void smartMagnifyAndExpandToggle();
};

void TestImageViewer::fitModes_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("expand");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("scale");
    QTest::newRow("large, window") << QSize(1600, 1200) << true << 0 << 0.25;
    QTest::newRow("tall, window") << QSize(800, 1200) << true << 0 << 0.25;
    QTest::newRow("tall, width") << QSize(800, 1200) << true << 1 << 0.5;
    QTest::newRow("large, original") << QSize(1600, 1200) << true << 2 << 1.0;
    QTest::newRow("small, window, expand") << QSize(50, 50) << true << 0 << 4.0;
    QTest::newRow("small, window, no expand") << QSize(50, 50) << false << 0 << 1.0;
    QTest::newRow("small, width, expand") << QSize(200, 20) << true << 1 << 2.0;
    QTest::newRow("small, width, no expand") << QSize(200, 20) << false << 1 << 1.0;
    QTest::newRow("exact fit") << QSize(400, 300) << true << 0 << 1.0;
    QTest::newRow("odd ratio") << QSize(1000, 777) << true << 0 << double(float(300.0 / 777));
}

void TestImageViewer::fitModes()
{
    QFETCH(QSize, picture);
    QFETCH(bool, expand);
    QFETCH(int, mode);
    QFETCH(double, scale);
    GraphicsImageViewer& v = makeViewer(expand);
    QCOMPARE(v.viewport()->size(), kViewport);
    v.showImageOwned(testPixmap(picture.width(), picture.height()));
    QCOMPARE(v.fitMode(), 0);
    v.setFitMode(ImageFitMode(mode));
    QCOMPARE(v.fitMode(), mode);
    QCOMPARE(v.currentScale(), scale);
    // Whatever the mode, no background shows on one side while the other side is cut.
    const QRect r = v.imageRect();
    verifyPlacement(r, kViewport);
    if (mode == 1 && r.height() > kViewport.height())
        QCOMPARE(r.top(), 0); // fit width shows the top of a tall picture
}

void TestImageViewer::scaleRangeAndClamp()
{
    GraphicsImageViewer& v = makeViewer();
    QSignalSpy range(&v, &GraphicsImageViewer::scaleRangeChanged);
    v.showImageOwned(testPixmap(1600, 1200));
    QVERIFY(range.count() >= 1);
    QCOMPARE(range.last().at(0).toDouble(), 0.25);
    QCOMPARE(range.last().at(1).toDouble(), 10.0);
    QCOMPARE(v.minScale(), 0.25);
    QCOMPARE(v.maxScale(), 10.0);
    v.zoom(0.01f);
    QCOMPARE(v.currentScale(), 0.25);
    v.zoom(50.0f);
    QCOMPARE(v.currentScale(), 10.0);
    QCOMPARE(v.fitMode(), 3);
    // Zooming to the scale already shown is silent and scrolls nothing.
    v.zoom(0.5f);
    const QPoint scroll(v.horizontalScrollBar()->value(), v.verticalScrollBar()->value());
    QSignalSpy scale(&v, &GraphicsImageViewer::scaleChanged);
    v.zoom(0.5f);
    QCOMPARE(scale.count(), 0);
    QCOMPARE(QPoint(v.horizontalScrollBar()->value(), v.verticalScrollBar()->value()), scroll);
    QCOMPARE(v.fitMode(), 3);
}

void TestImageViewer::stepZoomsAndFitMode()
{
    GraphicsImageViewer& v = makeViewer();
    // Small picture with expand: fit 4.0, minimum 1.0.
    v.showImageOwned(testPixmap(50, 50));
    QCOMPARE(v.currentScale(), 4.0);
    v.zoomIn();
    QCOMPARE(v.currentScale(), double(float(4.0 * 1.2)));
    QCOMPARE(v.fitMode(), 3);
    v.zoomOut();
    QCOMPARE(v.currentScale(), double(float(float(4.0 * 1.2) * 0.8)));
    QCOMPARE(v.fitMode(), 3); // 1.2 x 0.8 does not return to the fit scale
    v.zoom(4.0f);
    QCOMPARE(v.fitMode(), 0); // landing exactly on the fit scale

    // Large picture: the fit scale is also the minimum, so zooming out lands on it.
    v.showImageOwned(testPixmap(1600, 1200));
    // Receivers of scaleChanged already see the fit mode the zoom ends in.
    QList<int> modesSeen;
    connect(&v, &GraphicsImageViewer::scaleChanged, this, [&] { modesSeen << v.fitMode(); });
    v.zoomIn();
    QCOMPARE(modesSeen, QList<int>{3});
    QCOMPARE(v.currentScale(), double(float(0.25 * 1.2)));
    QCOMPARE(v.fitMode(), 3);
    v.zoomOut();
    v.zoomOut();
    QCOMPARE(v.currentScale(), 0.25);
    QCOMPARE(v.fitMode(), 0);
    QCOMPARE(modesSeen.last(), 0);
    disconnect(&v, &GraphicsImageViewer::scaleChanged, this, nullptr);
    v.setZoomStep(0.5);
    v.zoomIn();
    QCOMPARE(v.currentScale(), 0.375);
}

void TestImageViewer::anchoredWheelZoom_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QPoint>("scroll"); // picture scrolled so its corner is in view
    QTest::newRow("in, top-left corner") << QPoint(20, 20) << 120 << QPoint(-1, -1);
    QTest::newRow("in, bottom-right corner") << QPoint(385, 280) << 120 << QPoint(1, 1);
    QTest::newRow("in, middle") << QPoint(123, 201) << 120 << QPoint(0, 0);
    QTest::newRow("out, off centre") << QPoint(300, 60) << -120 << QPoint(0, 0);
    QTest::newRow("in, small delta") << QPoint(77, 150) << 15 << QPoint(0, 0);
}

void TestImageViewer::anchoredWheelZoom()
{
    QFETCH(QPoint, cursor);
    QFETCH(int, delta);
    QFETCH(QPoint, scroll);
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(2000, 1500));
    v.setFitOriginal();
    v.scrollBy(scroll.x() * 100000, scroll.y() * 100000);
    const double before = v.currentScale();
    const QPointF picturePoint = picturePointAt(v, cursor);
    QSignalSpy scale(&v, &GraphicsImageViewer::scaleChanged);
    QVERIFY(sendWheel(v.viewport(), cursor, delta));
    QCOMPARE(scale.count(), 1);
    QCOMPARE(v.currentScale(), double(float(before * (delta > 0 ? 1.2 : 0.8))));
    QVERIFY(near(viewportPointOf(v, picturePoint), cursor));
    QCOMPARE(v.fitMode(), 3);
}

void TestImageViewer::wheelPhases_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<bool>("zooms");
    QTest::newRow("none") << int(Qt::NoScrollPhase) << true;
    QTest::newRow("begin") << int(Qt::ScrollBegin) << false;
    QTest::newRow("update") << int(Qt::ScrollUpdate) << true;
    QTest::newRow("end") << int(Qt::ScrollEnd) << false;
    QTest::newRow("momentum") << int(Qt::ScrollMomentum) << true;
}

void TestImageViewer::wheelPhases()
{
    QFETCH(int, phase);
    QFETCH(bool, zooms);
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    const int h = v.horizontalScrollBar()->value();
    QSignalSpy scale(&v, &GraphicsImageViewer::scaleChanged);
    QVERIFY(sendWheel(v.viewport(), QPoint(200, 150), 120, Qt::ScrollPhase(phase)));
    QCOMPARE(scale.count(), zooms ? 1 : 0);
    if (!zooms)
        QCOMPARE(v.horizontalScrollBar()->value(), h);
    v.disableZoomInteraction();
    QVERIFY(sendWheel(v.viewport(), QPoint(200, 150), 120, Qt::ScrollPhase(phase)));
    QCOMPARE(scale.count(), zooms ? 1 : 0);
}

void TestImageViewer::panningFollowsMouseAndStopsAtEdges()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    v.setFitOriginal();
    QWidget* vp = v.viewport();
    const QPointF grabbed = picturePointAt(v, QPoint(200, 150));
    sendButton(vp, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
    sendMove(vp, QPoint(190, 140), Qt::LeftButton);
    QCOMPARE(v.interactionState(), int(GraphicsImageViewer::StatePanning));
    QCOMPARE(vp->cursor().shape(), Qt::ClosedHandCursor);
    sendMove(vp, QPoint(150, 100), Qt::LeftButton);
    QVERIFY(near(viewportPointOf(v, grabbed), QPointF(150, 100)));
    // Far beyond the picture: it stops flush with the viewport edges.
    sendMove(vp, QPoint(5000, 5000), Qt::LeftButton);
    QRect r = v.imageRect();
    QCOMPARE(r.left(), 0);
    QCOMPARE(r.top(), 0);
    sendMove(vp, QPoint(-5000, -5000), Qt::LeftButton);
    r = v.imageRect();
    QCOMPARE(r.right(), kViewport.width());
    QCOMPARE(r.bottom(), kViewport.height());
    sendButton(vp, QEvent::MouseButtonRelease, QPoint(-5000, -5000), Qt::LeftButton);
    QCOMPARE(v.interactionState(), 0);
    QCOMPARE(vp->cursor().shape(), Qt::ArrowCursor);
    // Without a button held, moves do nothing.
    sendMove(vp, QPoint(100, 100), Qt::NoButton);
    QCOMPARE(v.imageRect(), r);
}

void TestImageViewer::narrowPictureStaysCentred()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(200, 2000));
    v.setFitOriginal();
    QWidget* vp = v.viewport();
    const QRect start = v.imageRect();
    QCOMPARE((start.left() + start.right()) / 2, 200);
    sendButton(vp, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
    sendMove(vp, QPoint(260, 120), Qt::LeftButton);
    sendMove(vp, QPoint(320, 40), Qt::LeftButton);
    sendButton(vp, QEvent::MouseButtonRelease, QPoint(320, 40), Qt::LeftButton);
    const QRect r = v.imageRect();
    QCOMPARE(r.left(), start.left());
    QCOMPARE(r.top(), start.top() - 110);
}

void TestImageViewer::dragOutRepeats()
{
    GraphicsImageViewer& v = makeViewer(false);
    v.showImageOwned(testPixmap(100, 80));
    QWidget* vp = v.viewport();
    QSignalSpy out(&v, &GraphicsImageViewer::draggedOut);
    sendButton(vp, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
    sendMove(vp, QPoint(205, 155), Qt::LeftButton);
    QCOMPARE(out.count(), 0);
    QCOMPARE(v.interactionState(), int(GraphicsImageViewer::StateDragOut));
    sendMove(vp, QPoint(210, 150), Qt::LeftButton);
    QCOMPARE(out.count(), 0); // exactly 10 px is not beyond
    sendMove(vp, QPoint(200, 161), Qt::LeftButton);
    QCOMPARE(out.count(), 1);
    sendMove(vp, QPoint(200, 162), Qt::LeftButton);
    QCOMPARE(out.count(), 2);
    sendButton(vp, QEvent::MouseButtonRelease, QPoint(200, 162), Qt::LeftButton);
    sendMove(vp, QPoint(250, 250), Qt::LeftButton);
    QCOMPARE(out.count(), 2); // no press, no drag
}

void TestImageViewer::rightDragZoom()
{
    if (qApp->devicePixelRatio() != 1.0)
        QSKIP("standard-density screen needed");
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(2000, 1500));
    v.setFitOriginal();
    QWidget* vp = v.viewport();
    const QPoint press(150, 200);
    const QPointF anchored = picturePointAt(v, press);
    sendButton(vp, QEvent::MouseButtonPress, press, Qt::RightButton);
    sendMove(vp, press + QPoint(0, -4), Qt::RightButton);
    QCOMPARE(v.currentScale(), 1.0); // 4 px is not beyond the threshold
    sendMove(vp, press + QPoint(0, -100), Qt::RightButton);
    QCOMPARE(v.currentScale(), double(float(1.0 + 100 * 0.003)));
    QCOMPARE(v.interactionState(), int(GraphicsImageViewer::StateDragZoom));
    QCOMPARE(vp->cursor().shape(), Qt::SizeVerCursor);
    QCOMPARE(v.fitMode(), 3);
    QVERIFY(near(viewportPointOf(v, anchored), press));
    // Moving down shrinks, compounding per event.
    sendMove(vp, press + QPoint(0, -50), Qt::RightButton);
    QCOMPARE(v.currentScale(), double(float(float(1.3) * (1.0 - 50 * 0.003))));
    sendButton(vp, QEvent::MouseButtonRelease, press, Qt::RightButton);
    QCOMPARE(v.interactionState(), 0);
}

void TestImageViewer::scrollStepsExtend()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(4000, 4000));
    v.setFitOriginal();
    QScrollBar* bar = v.verticalScrollBar();
    const int start = bar->value();
    // Keys do not scroll; the scroll slots do.
    QTest::keyClick(&v, Qt::Key_Down);
    QTest::keyClick(&v, Qt::Key_PageDown);
    QCOMPARE(bar->value(), start);
    v.scrollDown();
    v.scrollDown();
    v.scrollDown();
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), start + 220 + 286 + 286, 3000);
    QTest::qWait(50);
    QCOMPARE(bar->value(), start + 792);
    v.scrollLeft();
    const int h = v.horizontalScrollBar()->value();
    QTRY_COMPARE_WITH_TIMEOUT(v.horizontalScrollBar()->value(), h - 220, 3000);
    // Scrolling never leaves background at one edge.
    for (int i = 0; i < 40; ++i)
        v.scrollUp();
    QTRY_COMPARE_WITH_TIMEOUT(v.imageRect().top(), 0, 5000);
}

void TestImageViewer::nullAndEmptyPictures()
{
    GraphicsImageViewer& v = makeViewer();
    // An empty viewer ignores zooms, fits and scrolls.
    QSignalSpy scale(&v, &GraphicsImageViewer::scaleChanged);
    v.zoomIn();
    v.zoom(3.0f);
    v.setFitWidth();
    v.setFitOriginal();
    v.scrollDown();
    QVERIFY(sendWheel(v.viewport(), QPoint(10, 10), 120));
    QCOMPARE(scale.count(), 0);
    QVERIFY(!v.isDisplaying());
    QCOMPARE(v.sourceSize(), QSize(0, 0));
    QVERIFY(v.pixmap().isNull());

    v.showImageOwned(testPixmap(640, 480));
    QVERIFY(v.isDisplaying());
    v.showImage(nullptr);
    v.showImage(std::make_unique<QPixmap>());
    v.showImageScaled(nullptr);
    v.showImageScaled(std::make_unique<QPixmap>());
    QCOMPARE(v.sourceSize(), QSize(640, 480));

    v.showImageOwned(std::make_unique<QPixmap>());
    QVERIFY(!v.isDisplaying());
    v.zoomIn(); // nothing to zoom, no division by a zero size
    v.showImageOwned(testPixmap(640, 480));
    v.showImageOwned(nullptr);
    QVERIFY(!v.isDisplaying());
    QCOMPARE(v.currentScale(), 1.0);
    QVERIFY(v.image().isNull());

    // A one-pixel picture and an extreme strip are shown without trouble.
    v.showImageOwned(testPixmap(1, 1));
    QCOMPARE(v.currentScale(), 4.0);
    v.showImageOwned(testPixmap(20000, 2));
    QVERIFY(v.currentScale() > 0.0);
    QCOMPARE(v.currentScale(), double(float(400.0 / 20000)));
}

void TestImageViewer::replaceKeepsView()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    v.zoom(0.8f);
    v.scrollBy(37, -21);
    const QRect r = v.imageRect();
    const double s = v.currentScale();
    QImage other = testImage(1600, 1200, QColor(200, 40, 40));
    v.showImage(std::make_unique<QPixmap>(QPixmap::fromImage(other)));
    QCOMPARE(v.imageRect(), r);
    QCOMPARE(v.currentScale(), s);
    QCOMPARE(v.fitMode(), 3);
    QCOMPARE(v.image().pixel(800, 600), other.pixel(800, 600));

    // Replacing into an empty viewer shows the picture with a fit.
    v.closeImage();
    v.showImage(testPixmap(1600, 1200));
    QVERIFY(v.isDisplaying());
    QCOMPARE(v.currentScale(), 0.25);
}

void TestImageViewer::newSizeRefitsOrClamps_data()
{
    QTest::addColumn<int>("mode"); // 3: free zoom to `scale`
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("first");
    QTest::addColumn<QSize>("second");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("modeAfter");
    // Viewport 400 x 300: the fit is min(400 / width, 300 / height); a picture
    // that fits at 1.0 has the minimum 1.0, any other its fit.
    QTest::newRow("free, now fits") << 3 << 0.8 << QSize(1600, 1200) << QSize(200, 100) << 1.0 << 3;
    QTest::newRow("free, onto new fit") << 3 << 0.3 << QSize(1600, 1200) << QSize(800, 600) << 0.5 << 0;
    QTest::newRow("free, within range") << 3 << 0.8 << QSize(1600, 1200) << QSize(1000, 1000) << double(0.8f) << 3;
    QTest::newRow("fit window, larger") << 0 << 0.0 << QSize(1600, 1200) << QSize(4000, 1000) << double(0.1f) << 0;
    QTest::newRow("fit window, smaller") << 0 << 0.0 << QSize(1600, 1200) << QSize(800, 600) << 0.5 << 0;
    QTest::newRow("fit width") << 1 << 0.0 << QSize(800, 1200) << QSize(1000, 2000) << double(0.4f) << 1;
    QTest::newRow("original size") << 2 << 0.0 << QSize(1600, 1200) << QSize(200, 100) << 1.0 << 2;
}

void TestImageViewer::newSizeRefitsOrClamps()
{
    QFETCH(int, mode);
    QFETCH(double, scale);
    QFETCH(QSize, first);
    QFETCH(QSize, second);
    QFETCH(double, expected);
    QFETCH(int, modeAfter);
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(first.width(), first.height()));
    if (mode == 3)
        v.zoom(float(scale));
    else
        v.setFitMode(ImageFitMode(mode));
    v.showImage(testPixmap(second.width(), second.height()));
    QCOMPARE(v.sourceSize(), second);
    QCOMPARE(v.currentScale(), expected);
    QCOMPARE(v.fitMode(), modeAfter);
    verifyPlacement(v.imageRect(), kViewport);
    // Zooming out never enlarges.
    v.zoomOut();
    QVERIFY(v.currentScale() <= expected);
}

void TestImageViewer::showImageScaledRefits()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    v.zoom(2.0f);
    v.scrollBy(300, 200);
    QSignalSpy range(&v, &GraphicsImageViewer::scaleRangeChanged);
    const QImage next = testImage(800, 600, QColor(220, 60, 20));
    v.showImageScaled(std::make_unique<QPixmap>(QPixmap::fromImage(next)));
    QCOMPARE(v.sourceSize(), QSize(800, 600));
    QCOMPARE(v.currentScale(), 0.5);
    QCOMPARE(v.fitMode(), 0);
    QCOMPARE(v.imageRect(), QRect(QPoint(0, 0), QPoint(400, 300)));
    QVERIFY(range.count() >= 1);
    QCOMPARE(range.last().at(0).toDouble(), 0.5);
    QCOMPARE(v.image(), next);
    // The screen shows the new picture whole: its corner markers at the corners.
    const QImage shot = v.viewport()->grab().toImage();
    shot.save(testOutputDir() + QStringLiteral("/imageviewer_showimagescaled.png"));
    QCOMPARE(QColor(shot.pixel(3, 3)), QColor(Qt::red));
    QCOMPARE(QColor(shot.pixel(396, 296)), QColor(Qt::white));
}

void TestImageViewer::anchorModes_data()
{
    QTest::addColumn<int>("anchor");
    QTest::newRow("0: top") << 0;
    QTest::newRow("1: viewport centre") << 1;
    QTest::newRow("2: cursor") << 2;
}

void TestImageViewer::anchorModes()
{
    QFETCH(int, anchor);
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(2000, 1500));
    QCOMPARE(v.currentScale(), double(0.2f));
    v.setZoomAnchorMode(anchor);
    const QPoint cursor(300, 60);
    QCursor::setPos(v.viewport()->mapToGlobal(cursor));
    QCOMPARE(v.viewport()->mapFromGlobal(QCursor::pos()), cursor);
    const QPoint centre(199, 149);
    const QPointF underCursor = picturePointAt(v, cursor);
    const QPointF underCentre = picturePointAt(v, centre);
    v.setFitOriginal();
    QCOMPARE(v.currentScale(), 1.0);
    const QRect r = v.imageRect();
    switch (anchor) {
    case 0: // the top of the picture, centred across
        QCOMPARE(r.top(), 0);
        QVERIFY(std::abs((r.left() + r.right()) / 2 - 200) <= 1);
        break;
    case 1:
        QVERIFY(near(viewportPointOf(v, underCentre), centre));
        break;
    case 2:
        QVERIFY(near(viewportPointOf(v, underCursor), cursor));
        QVERIFY(!near(viewportPointOf(v, underCentre), centre));
        break;
    }
    verifyPlacement(r, kViewport);
}

void TestImageViewer::pinch_data()
{
    QTest::addColumn<qreal>("factor");
    QTest::addColumn<bool>("scaleChanged"); // the flag of the update
    QTest::addColumn<bool>("underMouse");
    QTest::addColumn<bool>("interaction");
    QTest::addColumn<bool>("handled");
    QTest::addColumn<double>("step"); // scale factor expected
    QTest::newRow("spread") << 1.5 << true << true << true << true << 1.2;
    QTest::newRow("slight spread") << 1.01 << true << true << true << true << 1.2;
    QTest::newRow("pinch") << 0.6 << true << true << true << true << 0.8;
    QTest::newRow("no change") << 1.0 << true << true << true << true << 1.0;
    QTest::newRow("centre moved only") << 1.5 << false << true << true << false << 1.0;
    QTest::newRow("mouse elsewhere") << 1.5 << true << false << true << false << 1.0;
    QTest::newRow("interaction off") << 1.5 << true << true << false << true << 1.0;
}

void TestImageViewer::pinch()
{
    QFETCH(qreal, factor);
    QFETCH(bool, scaleChanged);
    QFETCH(bool, underMouse);
    QFETCH(bool, interaction);
    QFETCH(bool, handled);
    QFETCH(double, step);
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(2000, 1500));
    v.setFitOriginal();
    const QPoint cursor(90, 230);
    QCursor::setPos(v.viewport()->mapToGlobal(cursor));
    v.setAttribute(Qt::WA_UnderMouse, underMouse);
    if (!interaction)
        v.disableZoomInteraction();
    const QPointF anchored = picturePointAt(v, cursor);
    const QPinchGesture::ChangeFlags flags = scaleChanged ? QPinchGesture::ScaleFactorChanged
                                                          : QPinchGesture::CenterPointChanged;
    QCOMPARE(sendPinch(v, factor, flags), handled);
    // One zoom step per update, about the point under the fingers.
    QCOMPARE(v.currentScale(), double(float(step)));
    QVERIFY(near(viewportPointOf(v, anchored), cursor));
}

void TestImageViewer::slotsByName()
{
    // The panes are driven through string-based connections and invocations.
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    v.setFitOriginal();
    QVERIFY(QMetaObject::invokeMethod(&v, "setZoomStep"));
    QVERIFY(QMetaObject::invokeMethod(&v, "zoomIn"));
    QCOMPARE(v.currentScale(), double(float(1.05)));
    ImageScrolling scrolling = SCROLL_NONE;
    QVERIFY(QMetaObject::invokeMethod(&v, "imageScrolling", Q_RETURN_ARG(ImageScrolling, scrolling)));
    QCOMPARE(int(scrolling), 1);
    bool swiped = true, frame = true, locked = false;
    QVERIFY(QMetaObject::invokeMethod(&v, "nativeSwipeEvent", Q_RETURN_ARG(bool, swiped), Q_ARG(float, 1.0f),
                                      Q_ARG(float, 0.0f), Q_ARG(float, 0.0f)));
    QVERIFY(QMetaObject::invokeMethod(&v, "showAnimationFrame", Q_RETURN_ARG(bool, frame), Q_ARG(int, 0)));
    QVERIFY(QMetaObject::invokeMethod(&v, "toggleLockView"));
    QVERIFY(QMetaObject::invokeMethod(&v, "lockViewEnabled", Q_RETURN_ARG(bool, locked)));
    QVERIFY(!swiped && !frame && locked); // a still picture has no frames
    QVERIFY(QMetaObject::invokeMethod(&v, "setScalingFilter", Q_ARG(ScalingFilter, QI_FILTER_NEAREST)));
    QCOMPARE(v.itemTransformationMode(), Qt::FastTransformation);
}

void TestImageViewer::scalingRequestedBelowOne()
{
    GraphicsImageViewer& v = makeViewer();
    QSignalSpy spy(&v, &GraphicsImageViewer::scalingRequested);
    v.showImageOwned(testPixmap(1600, 1200));
    QVERIFY(spy.count() >= 1);
    QCOMPARE(spy.last().at(0).toSize(), QSize(400, 300));
    QCOMPARE(spy.last().at(1).value<ScalingFilter>(), QI_FILTER_BILINEAR);
    spy.clear();
    v.setFitOriginal();
    v.zoom(2.0f);
    QCOMPARE(spy.count(), 0);
    v.setFilterNearest();
    QCOMPARE(v.scalingFilter(), 0);
    QCOMPARE(v.itemTransformationMode(), Qt::FastTransformation);
    QCOMPARE(spy.count(), 0);
    v.zoom(0.5f);
    QCOMPARE(spy.last().at(0).toSize(), QSize(800, 600));
    QCOMPARE(spy.last().at(1).value<ScalingFilter>(), QI_FILTER_NEAREST);
}

void TestImageViewer::resizeRefits()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    QCOMPARE(v.currentScale(), 0.25);
    QSignalSpy range(&v, &GraphicsImageViewer::scaleRangeChanged);
    v.resize(800, 600);
    QTRY_COMPARE(v.currentScale(), 0.5);
    QVERIFY(range.count() >= 1);
    QCOMPARE(range.last().at(0).toDouble(), 0.5);
    v.zoom(0.75f);
    v.resize(400, 300);
    QTRY_COMPARE(v.viewport()->width(), 400);
    QCOMPARE(v.currentScale(), 0.75); // free zoom keeps its scale
    QCOMPARE(v.imageRect().left(), std::min(0, v.imageRect().left()));
}

void TestImageViewer::lockModesCarryOverPictures()
{
    GraphicsImageViewer& v = makeViewer();
    v.toggleLockZoom(); // nothing shown: no lock
    QVERIFY(!v.lockZoomEnabled());
    v.showImageOwned(testPixmap(1600, 1200));
    v.zoom(0.5f);
    v.toggleLockZoom();
    QVERIFY(v.lockZoomEnabled());
    v.showImageOwned(testPixmap(1000, 1000));
    QCOMPARE(v.currentScale(), 0.5);
    QCOMPARE(v.fitMode(), 3);
    v.toggleLockZoom();
    QVERIFY(!v.lockZoomEnabled());
    v.showImageOwned(testPixmap(1600, 1200));
    QCOMPARE(v.currentScale(), 0.25);

    // Lock view also brings back the relative position.
    v.zoom(1.0f);
    v.scrollBy(-300, -200);
    const QRect before = v.imageRect();
    v.toggleLockView();
    QVERIFY(v.lockViewEnabled());
    v.showImageOwned(testPixmap(1600, 1200));
    QCOMPARE(v.currentScale(), 1.0);
    const QRect after = v.imageRect();
    QVERIFY(std::abs(after.left() - before.left()) <= 2);
    QVERIFY(std::abs(after.top() - before.top()) <= 2);
}

void TestImageViewer::smartMagnifyAndExpandToggle()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(60, 40));
    QCOMPARE(v.currentScale(), 4.0);
    QVERIFY(v.nativeSmartMagnifyEvent(0, 0, 0));
    QCOMPARE(v.fitMode(), 2);
    QCOMPARE(v.currentScale(), 1.0);
    QVERIFY(v.nativeSmartMagnifyEvent(0, 0, 0));
    QCOMPARE(v.fitMode(), 0);
    QCOMPARE(v.currentScale(), 4.0);
    v.setExpandImage(false);
    QCOMPARE(v.currentScale(), 1.0);
    QCOMPARE(v.minScale(), 1.0);
    v.setExpandImage(true);
    QCOMPARE(v.currentScale(), 4.0);
    QVERIFY(v.nativeMagnifyEvent(0.5f, 0, 0));
    QCOMPARE(v.currentScale(), double(float(4.0 * 1.2)));
    v.disableZoomInteraction();
    QVERIFY(!v.nativeMagnifyEvent(0.5f, 0, 0));
    QCOMPARE(v.currentScale(), double(float(4.0 * 1.2)));
}

QTEST_MAIN(TestImageViewer)
#include "tst_imageviewer.moc"
