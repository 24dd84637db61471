#include "WidgetTestUtil.h"

#include "GraphicsImageViewer.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
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

    void emptyViewerIgnoresEverything();
    void fitModes_data();
    void fitModes();
    void scaleRangeAndClamp_data();
    void scaleRangeAndClamp();
    void stepZoomsAndFitMode();
    void zoomToSameScaleIsSilent();
    void anchoredWheelZoom_data();
    void anchoredWheelZoom();
    void wheelPhases_data();
    void wheelPhases();
    void panningFollowsMouseAndStopsAtEdges();
    void narrowPictureStaysCentred();
    void dragOutRepeats();
    void rightDragZoom();
    void scrollStepsExtend();
    void keysDoNotScroll();
    void nullAndEmptyPictures();
    void replaceKeepsView();
    void scalingRequestedBelowOne();
    void resizeRefits();
    void imageRectOfCentredPicture();
    void lockModesCarryOverPictures();
    void smartMagnifyAndExpandToggle();
};

void TestImageViewer::emptyViewerIgnoresEverything()
{
    GraphicsImageViewer& v = makeViewer();
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
    QVERIFY(v.image().isNull());
    QVERIFY(v.pixmap().isNull());
}

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
    if (r.width() > kViewport.width()) {
        QVERIFY(r.left() <= 0);
        QVERIFY(r.right() >= kViewport.width());
    } else {
        QVERIFY(std::abs((r.left() + r.right()) / 2 - kViewport.width() / 2) <= 1);
    }
    if (r.height() > kViewport.height()) {
        QVERIFY(r.top() <= 0);
        QVERIFY(r.bottom() >= kViewport.height());
    } else {
        QVERIFY(std::abs((r.top() + r.bottom()) / 2 - kViewport.height() / 2) <= 1);
    }
    if (mode == 1 && r.height() > kViewport.height())
        QCOMPARE(r.top(), 0); // fit width shows the top of a tall picture
}

void TestImageViewer::scaleRangeAndClamp_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<double>("minimum");
    QTest::newRow("fits at 1.0") << QSize(300, 200) << 1.0;
    QTest::newRow("large") << QSize(1600, 1200) << 0.25;
}

void TestImageViewer::scaleRangeAndClamp()
{
    QFETCH(QSize, picture);
    QFETCH(double, minimum);
    GraphicsImageViewer& v = makeViewer();
    QSignalSpy range(&v, &GraphicsImageViewer::scaleRangeChanged);
    v.showImageOwned(testPixmap(picture.width(), picture.height()));
    QVERIFY(range.count() >= 1);
    QCOMPARE(range.last().at(0).toDouble(), minimum);
    QCOMPARE(range.last().at(1).toDouble(), 10.0);
    QCOMPARE(v.minScale(), minimum);
    QCOMPARE(v.maxScale(), 10.0);
    v.zoom(0.01f);
    QCOMPARE(v.currentScale(), minimum);
    v.zoom(50.0f);
    QCOMPARE(v.currentScale(), 10.0);
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

void TestImageViewer::zoomToSameScaleIsSilent()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(1600, 1200));
    v.zoom(0.5f);
    const int h = v.horizontalScrollBar()->value();
    const int y = v.verticalScrollBar()->value();
    QSignalSpy scale(&v, &GraphicsImageViewer::scaleChanged);
    v.zoom(0.5f);
    QCOMPARE(scale.count(), 0);
    QCOMPARE(v.horizontalScrollBar()->value(), h);
    QCOMPARE(v.verticalScrollBar()->value(), y);
    QCOMPARE(v.fitMode(), 3);
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
    const QPointF now = viewportPointOf(v, picturePoint);
    QVERIFY2(std::abs(now.x() - cursor.x()) <= 1.0 && std::abs(now.y() - cursor.y()) <= 1.0,
             qPrintable(QStringLiteral("(%1, %2)").arg(now.x()).arg(now.y())));
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
    const QPointF now = viewportPointOf(v, grabbed);
    QVERIFY(std::abs(now.x() - 150) <= 1 && std::abs(now.y() - 100) <= 1);
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
    const QPointF now = viewportPointOf(v, anchored);
    QVERIFY(std::abs(now.x() - press.x()) <= 1 && std::abs(now.y() - press.y()) <= 1);
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

void TestImageViewer::keysDoNotScroll()
{
    GraphicsImageViewer& v = makeViewer();
    v.showImageOwned(testPixmap(4000, 4000));
    v.setFitOriginal();
    const int y = v.verticalScrollBar()->value();
    QTest::keyClick(&v, Qt::Key_Down);
    QTest::keyClick(&v, Qt::Key_PageDown);
    QCOMPARE(v.verticalScrollBar()->value(), y);
}

void TestImageViewer::nullAndEmptyPictures()
{
    GraphicsImageViewer& v = makeViewer();
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

    // A new size keeps the scale; a picture that now fits is centred.
    v.showImage(testPixmap(200, 100));
    QCOMPARE(v.currentScale(), s);
    const QRect small = v.imageRect();
    QCOMPARE(small.width(), 161);
    QVERIFY(std::abs((small.left() + small.right()) / 2 - 200) <= 1);
    QVERIFY(std::abs((small.top() + small.bottom()) / 2 - 150) <= 1);

    // Replacing into an empty viewer shows the picture with a fit.
    v.closeImage();
    v.showImage(testPixmap(1600, 1200));
    QVERIFY(v.isDisplaying());
    QCOMPARE(v.currentScale(), 0.25);
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

void TestImageViewer::imageRectOfCentredPicture()
{
    GraphicsImageViewer& v = makeViewer(false);
    v.showImageOwned(testPixmap(100, 60));
    QCOMPARE(v.imageRect(), QRect(QPoint(150, 120), QPoint(250, 180)));
    v.zoom(2.0f);
    QCOMPARE(v.imageRect(), QRect(QPoint(100, 90), QPoint(300, 210)));
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
