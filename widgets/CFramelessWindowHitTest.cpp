#include "CFramelessWindowHitTest.h"

#include <QWidget>

int framelessBorderHit(const QRect& window, const QPoint& point, int borderWidth, bool widthResizable,
                       bool heightResizable)
{
    const int bw = borderWidth > 0 ? borderWidth : 1;
    const int left = window.x();
    const int top = window.y();
    const int right = window.x() + window.width();
    const int bottom = window.y() + window.height();
    const int x = point.x();
    const int y = point.y();

    const bool inLeft = x >= left && x < left + bw;
    const bool inRight = x < right && x >= right - bw;
    const bool inTop = y >= top && y < top + bw;
    const bool inBottom = y < bottom && y >= bottom - bw;
    // A band only counts inside the window along its other axis.
    const bool insideX = x >= left && x < right;
    const bool insideY = y >= top && y < bottom;

    int code = FramelessHitNone;
    if (widthResizable && insideY) {
        if (inLeft)
            code = FramelessHitLeft;
        if (inRight)
            code = FramelessHitRight;
    }
    if (heightResizable && insideX) {
        if (inBottom)
            code = FramelessHitBottom;
        if (inTop)
            code = FramelessHitTop;
    }
    if (widthResizable && heightResizable) {
        if (inLeft && inBottom)
            code = FramelessHitBottomLeft;
        if (inRight && inBottom)
            code = FramelessHitBottomRight;
        if (inLeft && inTop)
            code = FramelessHitTopLeft;
        if (inRight && inTop)
            code = FramelessHitTopRight;
    }
    return code;
}

bool framelessCaptionHit(const QList<QPointer<QWidget>>& captions, const QList<QWidget*>& ignored,
                         const QPoint& globalPoint)
{
    for (const QPointer<QWidget>& caption : captions) {
        QWidget* w = caption.data();
        if (!w || !w->isVisible())
            continue;
        const QPoint p = w->mapFromGlobal(globalPoint);
        if (!w->rect().contains(p))
            continue;
        QWidget* child = w->childAt(p);
        if (!child || ignored.contains(child))
            return true;
    }
    return false;
}

Qt::Edges framelessEdgesForHit(int code)
{
    switch (code) {
    case FramelessHitLeft:
        return Qt::LeftEdge;
    case FramelessHitRight:
        return Qt::RightEdge;
    case FramelessHitTop:
        return Qt::TopEdge;
    case FramelessHitBottom:
        return Qt::BottomEdge;
    case FramelessHitTopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case FramelessHitTopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case FramelessHitBottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FramelessHitBottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}
