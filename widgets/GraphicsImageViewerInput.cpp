// Mouse, wheel, gesture and keyboard handling of GraphicsImageViewer, and its
// scrolling: anchored zoom, panning, right-drag zoom, animated scroll steps and
// the two rules that keep the view sensible after every change.
#include "GraphicsImageViewer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGestureEvent>
#include <QGraphicsPixmapItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QScrollBar>
#include <QTimeLine>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

QPointF GraphicsImageViewer::visibleCentre() const
{
    return mapToScene(viewport()->rect()).boundingRect().center();
}

QPoint GraphicsImageViewer::viewportCentre() const
{
    return viewport()->rect().center();
}

QPoint GraphicsImageViewer::cursorPosition() const
{
    return mapFromGlobal(QCursor::pos());
}

void GraphicsImageViewer::setZoomAnchor(const QPoint& viewportPoint)
{
    m_anchorViewportPoint = viewportPoint;
    m_anchorItemPoint = m_item->mapFromScene(mapToScene(viewportPoint));
}

void GraphicsImageViewer::zoomAboutAnchor(float scale)
{
    if (double(scale) == currentScale())
        return;
    const QPointF c = visibleCentre();
    setScale(scale);
    const QPoint q = mapFromScene(m_item->mapToScene(m_anchorItemPoint));
    const QPoint& p = m_anchorViewportPoint;
    centerOn(c.x() - (p.x() - q.x()), c.y() - (p.y() - q.y()));
    requestScaling();
}

void GraphicsImageViewer::centreFittingAxes()
{
    if (!m_pixmap)
        return;
    QPointF c = visibleCentre();
    const QSizeF size = scaledImageSize();
    if (viewport()->width() >= qRound(size.width()))
        c.setX(kSceneSize * 0.5);
    if (viewport()->height() >= qRound(size.height()))
        c.setY(kSceneSize * 0.5);
    centerOn(c);
}

void GraphicsImageViewer::keepImageEdges()
{
    if (!m_pixmap)
        return;
    const QRect r = imageRect();
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    int dx = 0;
    int dy = 0;
    if (r.right() - r.left() > vw - 1) {
        if (r.left() >= 1)
            dx = r.left();
        else if (r.right() <= vw - 1)
            dx = r.right() - vw;
    }
    if (r.bottom() - r.top() > vh - 1) {
        if (r.top() >= 1)
            dy = r.top();
        else if (r.bottom() <= vh - 1)
            dy = r.bottom() - vh;
    }
    centerOn(visibleCentre() + QPointF(dx, dy));
}

void GraphicsImageViewer::zoomAtViewportPoint(const QPoint& viewportPoint, float scale)
{
    if (!m_pixmap)
        return;
    beginManualZoom(scale);
    setZoomAnchor(viewportPoint);
    zoomAboutAnchor(scale);
    finishManualZoom();
}

void GraphicsImageViewer::zoomInCursor()
{
    if (!m_pixmap)
        return;
    if (testAttribute(Qt::WA_UnderMouse))
        zoomAtViewportPoint(cursorPosition(), float(currentScale() * (1.0 + m_zoomStep)));
    else
        zoomIn();
}

void GraphicsImageViewer::zoomOutCursor()
{
    if (!m_pixmap)
        return;
    if (testAttribute(Qt::WA_UnderMouse))
        zoomAtViewportPoint(cursorPosition(), float(currentScale() * (1.0 - m_zoomStep)));
    else
        zoomOut();
}

// ---- wheel, mouse, keys, gestures ---------------------------------------------

void GraphicsImageViewer::wheelEvent(QWheelEvent* event)
{
    // The wheel only ever zooms; it never reaches a surrounding scroll area.
    event->accept();
    const Qt::ScrollPhase phase = event->phase();
    if (phase == Qt::ScrollBegin || phase == Qt::ScrollEnd || !m_zoomInteraction)
        return;
    m_state = StateWheelZoom;
    const int dy = event->angleDelta().y();
    // The event carries the pointer position, the most exact anchor there is.
    const QPoint at = event->position().toPoint();
    if (dy > 0)
        zoomAtViewportPoint(at, float(currentScale() * (1.0 + m_zoomStep)));
    else if (dy < 0)
        zoomAtViewportPoint(at, float(currentScale() * (1.0 - m_zoomStep)));
    m_state = StateIdle;
}

void GraphicsImageViewer::mousePressEvent(QMouseEvent* event)
{
    if (!m_pixmap || !m_zoomInteraction) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    QGraphicsView::mousePressEvent(event);
    if (event->isAccepted())
        return;
    m_pressPos = m_dragRef = event->position().toPoint();
    if (event->button() == Qt::RightButton)
        setZoomAnchor(m_pressPos);
    s_pressed = true;
    event->accept();
}

void GraphicsImageViewer::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pixmap || !m_zoomInteraction) {
        QGraphicsView::mouseMoveEvent(event);
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
    if (!s_pressed || m_state == StateBusy || m_state == StateWheelZoom)
        return;
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        if (m_state == StateIdle) {
            if (imageFitsViewport()) {
                m_state = StateDragOut;
            } else {
                m_state = StatePanning;
                if (viewport()->cursor().shape() != Qt::ClosedHandCursor)
                    viewport()->setCursor(Qt::ClosedHandCursor);
            }
        }
        if (m_state == StateDragOut) {
            if (std::abs(m_pressPos.x() - pos.x()) > kDragOutDistance
                || std::abs(m_pressPos.y() - pos.y()) > kDragOutDistance) {
                m_state = StateIdle;
                emit draggedOut();
            }
        } else if (m_state == StatePanning) {
            if (!imageFitsViewport())
                scrollBy(m_dragRef.x() - pos.x(), m_dragRef.y() - pos.y());
            m_dragRef = pos;
            if (m_lockMode == 2)
                saveRelativePosition();
        }
        event->accept();
    } else if (event->buttons() & Qt::RightButton) {
        const double dpr = screenRatio();
        if (m_state != StateDragZoom
            && !(std::abs(m_pressPos.y() - pos.y()) > m_dragThreshold / dpr))
            return;
        if (viewport()->cursor().shape() != Qt::SizeVerCursor)
            viewport()->setCursor(Qt::SizeVerCursor);
        m_state = StateDragZoom;
        if (qint64(viewport()->width()) * viewport()->height() > kLargeViewportPixels)
            m_forceFast = true;
        const float newScale = float(
            (1.0 + float(m_dragRef.y() - pos.y()) * kDragZoomPerPixel * dpr) * currentScale());
        beginManualZoom(newScale);
        m_dragRef = pos;
        // The anchor set by the press keeps the pressed picture point in place.
        zoomAboutAnchor(newScale);
        finishManualZoom();
        event->accept();
    } else {
        event->ignore();
    }
}

void GraphicsImageViewer::mouseReleaseEvent(QMouseEvent* event)
{
    s_pressed = false;
    if (!m_zoomInteraction) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    viewport()->unsetCursor();
    if (m_forceFast) {
        m_forceFast = false;
        m_item->setTransformationMode(transformationMode());
    }
    if (!m_pixmap || m_state == StateIdle) {
        QGraphicsView::mouseReleaseEvent(event);
        event->ignore();
    }
    m_state = StateIdle;
}

void GraphicsImageViewer::keyPressEvent(QKeyEvent* event)
{
    // Keys never scroll the view.
    event->accept();
}

bool GraphicsImageViewer::event(QEvent* event)
{
    if (event->type() == QEvent::Gesture)
        return pinchGesture(static_cast<QGestureEvent*>(event));
    return QGraphicsView::event(event);
}

bool GraphicsImageViewer::pinchGesture(QGestureEvent* event)
{
    auto* pinch = static_cast<QPinchGesture*>(event->gesture(Qt::PinchGesture));
    if (!pinch || !testAttribute(Qt::WA_UnderMouse))
        return false;
    if (!(pinch->changeFlags() & QPinchGesture::ScaleFactorChanged))
        return false;
    event->accept();
    const qreal f = pinch->totalScaleFactor();
    if (f != 1.0)
        nativeMagnifyEvent(float(f - 1.0), 0, 0);
    return true;
}

bool GraphicsImageViewer::nativeMagnifyEvent(float delta, float, float)
{
    if (m_zoomInteraction) {
        if (delta > 0)
            zoomInCursor();
        else if (delta < 0)
            zoomOutCursor();
    }
    return m_zoomInteraction;
}

bool GraphicsImageViewer::nativeSmartMagnifyEvent(float, float, float)
{
    if (m_zoomInteraction) {
        if (m_fitMode == FIT_ORIGINAL || m_fitMode == FIT_FREE)
            setFitWindow();
        else if (m_fitMode == FIT_WINDOW)
            setFitOriginal();
    }
    return m_zoomInteraction;
}

// ---- scrolling ------------------------------------------------------------------------------

void GraphicsImageViewer::stopScrollTimelines()
{
    if (m_timelineX->state() == QTimeLine::Running)
        m_timelineX->stop();
    if (m_timelineY->state() == QTimeLine::Running)
        m_timelineY->stop();
}

void GraphicsImageViewer::scrollTo(int x, int y)
{
    stopScrollTimelines();
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
    centreFittingAxes();
    keepImageEdges();
    if (m_lockMode == 2)
        saveRelativePosition();
}

void GraphicsImageViewer::scrollBy(int dx, int dy)
{
    scrollTo(horizontalScrollBar()->value() + dx, verticalScrollBar()->value() + dy);
}

void GraphicsImageViewer::scrollAxisAnimated(QTimeLine* timeline, int value, int direction)
{
    const int cur = value;
    int target = cur + direction * kScrollStep;
    if (timeline->state() == QTimeLine::Running) {
        const int end = timeline->endFrame();
        if ((direction < 0 && cur >= end) || (direction > 0 && cur <= end))
            target = end + direction * int(kScrollStep * kScrollContinuation);
    }
    timeline->stop();
    timeline->setFrameRange(cur, target);
    timeline->start();
}

void GraphicsImageViewer::scrollAnimated(int dx, int dy)
{
    if (dx != 0)
        scrollAxisAnimated(m_timelineX, horizontalScrollBar()->value(), dx < 0 ? -1 : 1);
    if (dy != 0)
        scrollAxisAnimated(m_timelineY, verticalScrollBar()->value(), dy < 0 ? -1 : 1);
    if (m_lockMode == 2)
        saveRelativePosition();
}

void GraphicsImageViewer::scrollUp() { scrollAnimated(0, -kScrollStep); }
void GraphicsImageViewer::scrollDown() { scrollAnimated(0, kScrollStep); }
void GraphicsImageViewer::scrollLeft() { scrollAnimated(-kScrollStep, 0); }
void GraphicsImageViewer::scrollRight() { scrollAnimated(kScrollStep, 0); }

void GraphicsImageViewer::scrollToX(int x)
{
    horizontalScrollBar()->setValue(x);
    centreFittingAxes();
    keepImageEdges();
    viewport()->update();
}

void GraphicsImageViewer::scrollToY(int y)
{
    verticalScrollBar()->setValue(y);
    centreFittingAxes();
    keepImageEdges();
    viewport()->update();
}

void GraphicsImageViewer::onScrollTimelineFinished()
{
    if (m_lockMode == 2)
        saveRelativePosition();
}
