#include "CFramelessWindow.h"
#include "CFramelessWindowHitTest.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>

CFramelessWindow::CFramelessWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setResizeable(true);
}

CFramelessWindow::~CFramelessWindow()
{
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

void CFramelessWindow::setResizeable(bool resizeable)
{
    const bool wasVisible = isVisible();
    m_resizeable = resizeable;
    Qt::WindowFlags flags = windowFlags();
    if (resizeable)
        flags |= Qt::WindowMaximizeButtonHint;
    else
        flags &= ~Qt::WindowMaximizeButtonHint;
    if (flags != windowFlags())
        setWindowFlags(flags);
    // Changing the flags hides the window (and may replace its native window).
    setVisible(wasVisible);
    watchWindowHandle();
}

void CFramelessWindow::setResizeableAreaWidth(int width)
{
    m_borderWidth = width < 1 ? 1 : width;
}

void CFramelessWindow::addCaptionWidget(QWidget* widget)
{
    m_captionWidgets.append(QPointer<QWidget>(widget));
}

void CFramelessWindow::addIgnoreWidget(QWidget* widget)
{
    if (!widget || m_ignoreWidgets.contains(widget))
        return;
    m_ignoreWidgets.append(widget);
}

void CFramelessWindow::setContentsMargins(const QMargins& margins)
{
    m_margins = margins;
    applyMargins();
}

void CFramelessWindow::setContentsMargins(int left, int top, int right, int bottom)
{
    setContentsMargins(QMargins(left, top, right, bottom));
}

QMargins CFramelessWindow::contentsMargins() const
{
    return QWidget::contentsMargins() - m_frames;
}

void CFramelessWindow::getContentsMargins(int* left, int* top, int* right, int* bottom) const
{
    QMargins m = QWidget::contentsMargins();
    if (isMaximized())
        m -= m_frames;
    if (left)
        *left = m.left();
    if (top)
        *top = m.top();
    if (right)
        *right = m.right();
    if (bottom)
        *bottom = m.bottom();
}

QRect CFramelessWindow::contentsRect() const
{
    return QWidget::contentsRect().translated(-m_frames.left(), -m_frames.top());
}

void CFramelessWindow::showFullScreen()
{
    if (isMaximized())
        clearFrameMargins();
    QWidget::showFullScreen();
}

QMargins CFramelessWindow::maximizedFrameMargins() const
{
    // X11 and Wayland window managers place a frameless maximised window
    // exactly on the work area; there is no invisible frame to take back.
    return QMargins();
}

void CFramelessWindow::applyMargins()
{
    QWidget::setContentsMargins(m_margins + m_frames);
}

void CFramelessWindow::clearFrameMargins()
{
    m_frames = QMargins();
    m_justMaximized = false;
    applyMargins();
}

void CFramelessWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (isMaximized() && !isFullScreen()) {
            m_frames = maximizedFrameMargins();
            m_justMaximized = true;
            applyMargins();
        } else if (m_justMaximized) {
            clearFrameMargins();
        }
        if (isMaximized() || isFullScreen())
            updateCursor(QPoint(-1, -1));
    }
    QMainWindow::changeEvent(event);
}

bool CFramelessWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WinIdChange:
    case QEvent::Show:
    case QEvent::PlatformSurface:
        watchWindowHandle();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void CFramelessWindow::watchWindowHandle()
{
    // Mouse events reach the native window before any child widget, so the
    // bands work over children that take the mouse themselves.
    QWindow* handle = windowHandle();
    if (handle == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = handle;
    if (handle)
        handle->installEventFilter(this);
}

int CFramelessWindow::hitTest(const QPoint& globalPoint) const
{
    if (m_resizeable && !isMaximized() && !isFullScreen()) {
        const bool widthResizable = minimumWidth() != maximumWidth();
        const bool heightResizable = minimumHeight() != maximumHeight();
        // The band width is in device pixels; work in device pixels too.
        const qreal dpr = devicePixelRatioF();
        const QRect frame = frameGeometry();
        const QRect physical(qRound(frame.x() * dpr), qRound(frame.y() * dpr), qRound(frame.width() * dpr),
                             qRound(frame.height() * dpr));
        const QPoint point(qRound(globalPoint.x() * dpr), qRound(globalPoint.y() * dpr));
        const int code = framelessBorderHit(physical, point, m_borderWidth, widthResizable, heightResizable);
        if (code != FramelessHitNone)
            return code;
    }
    return framelessCaptionHit(m_captionWidgets, m_ignoreWidgets, globalPoint) ? FramelessHitCaption
                                                                               : FramelessHitNone;
}

void CFramelessWindow::toggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

bool CFramelessWindow::handleMousePress(const QPoint& globalPos, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || m_drag != Drag::None)
        return false;
    const int code = hitTest(globalPos);
    if (code == FramelessHitNone)
        return false;
    QWindow* handle = windowHandle();
    m_usedFallback = false;
    if (code == FramelessHitCaption) {
        // The move starts once the mouse really drags, so that a double-click
        // still reaches the window.
        m_drag = Drag::PendingMove;
        m_dragStartGlobal = globalPos;
        m_dragStartGeometry = geometry();
        return true;
    } else {
        const Qt::Edges edges = framelessEdgesForHit(code);
        if (handle && handle->startSystemResize(edges))
            return true;
        m_drag = Drag::Resize;
        m_dragEdges = edges;
    }
    // The window system refused: follow the mouse ourselves.
    m_usedFallback = true;
    m_dragStartGlobal = globalPos;
    m_dragStartGeometry = geometry();
    return true;
}

bool CFramelessWindow::handleMouseMove(const QPoint& globalPos, Qt::MouseButtons buttons)
{
    if (m_drag == Drag::None) {
        if (buttons != Qt::NoButton)
            return false;
        // Like a real frame, the bands belong to the window: children see no
        // hover there, and no enter event resets the resize cursor.
        updateCursor(globalPos);
        return m_cursorOverridden;
    }
    if (!(buttons & Qt::LeftButton)) {
        m_drag = Drag::None;
        return true;
    }
    const QPoint delta = globalPos - m_dragStartGlobal;
    const QRect start = m_dragStartGeometry;
    if (m_drag == Drag::PendingMove) {
        // The window system keeps the offset the pointer has when the move
        // starts, so the window trails the grab point by this distance: keep
        // it small, just enough for a double-click with a shaky hand.
        const int threshold = std::min(QApplication::startDragDistance(), 4);
        if (delta.manhattanLength() < threshold)
            return true;
        QWindow* handle = windowHandle();
        if (handle && handle->startSystemMove()) {
            m_drag = Drag::None;
            m_usedFallback = false;
            return true;
        }
        m_drag = Drag::Move;
        m_usedFallback = true;
    }
    if (m_drag == Drag::Move) {
        move(start.topLeft() + delta);
        return true;
    }
    const QSize lo = minimumSize().expandedTo(QSize(1, 1));
    const QSize hi = maximumSize();
    int left = start.left();
    int top = start.top();
    int width = start.width();
    int height = start.height();
    if (m_dragEdges & Qt::LeftEdge) {
        width = std::clamp(start.width() - delta.x(), lo.width(), hi.width());
        left = start.left() + start.width() - width; // the right edge stays
    } else if (m_dragEdges & Qt::RightEdge) {
        width = std::clamp(start.width() + delta.x(), lo.width(), hi.width());
    }
    if (m_dragEdges & Qt::TopEdge) {
        height = std::clamp(start.height() - delta.y(), lo.height(), hi.height());
        top = start.top() + start.height() - height; // the bottom edge stays
    } else if (m_dragEdges & Qt::BottomEdge) {
        height = std::clamp(start.height() + delta.y(), lo.height(), hi.height());
    }
    setGeometry(left, top, width, height);
    return true;
}

void CFramelessWindow::updateCursor(const QPoint& globalPos)
{
    QWindow* handle = windowHandle();
    if (!handle)
        return;
    int code = FramelessHitNone;
    if (globalPos != QPoint(-1, -1) && m_resizeable && !isMaximized() && !isFullScreen())
        code = hitTest(globalPos);
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (code) {
    case FramelessHitLeft:
    case FramelessHitRight:
        shape = Qt::SizeHorCursor;
        break;
    case FramelessHitTop:
    case FramelessHitBottom:
        shape = Qt::SizeVerCursor;
        break;
    case FramelessHitTopLeft:
    case FramelessHitBottomRight:
        shape = Qt::SizeFDiagCursor;
        break;
    case FramelessHitTopRight:
    case FramelessHitBottomLeft:
        shape = Qt::SizeBDiagCursor;
        break;
    default:
        if (!m_cursorOverridden)
            return;
        // Back to the cursor of the widget under the mouse.
        m_cursorOverridden = false;
        if (globalPos != QPoint(-1, -1)) {
            QWidget* under = childAt(mapFromGlobal(globalPos));
            handle->setCursor((under ? under : this)->cursor());
        } else {
            handle->setCursor(cursor());
        }
        return;
    }
    m_cursorOverridden = true;
    handle->setCursor(QCursor(shape));
}

bool CFramelessWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedWindow) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (handleMousePress(me->globalPosition().toPoint(), me->button()))
                return true;
            break;
        }
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (handleMouseMove(me->globalPosition().toPoint(), me->buttons()))
                return true;
            break;
        }
        case QEvent::MouseButtonRelease: {
            if (m_drag != Drag::None && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                m_drag = Drag::None;
                return true;
            }
            break;
        }
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && m_resizeable
                && hitTest(me->globalPosition().toPoint()) == FramelessHitCaption) {
                m_drag = Drag::None;
                toggleMaximized();
                return true;
            }
            break;
        }
        case QEvent::Leave:
            if (m_drag == Drag::None)
                updateCursor(QPoint(-1, -1));
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
