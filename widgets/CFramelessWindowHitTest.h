#pragma once
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QWidget;

// The non-client areas of a frameless window, numbered like the classic
// hit-test codes so that corners rank above edges.
enum FramelessHitCode {
    FramelessHitNone = 0,
    FramelessHitCaption = 2,
    FramelessHitLeft = 10,
    FramelessHitRight = 11,
    FramelessHitTop = 12,
    FramelessHitTopLeft = 13,
    FramelessHitTopRight = 14,
    FramelessHitBottom = 15,
    FramelessHitBottomLeft = 16,
    FramelessHitBottomRight = 17,
};

// Resize band under `point` for a window occupying `window` (right and bottom
// exclusive, as left + width and top + height), with bands `borderWidth` wide.
// Edges only count along a resizable direction; corners need both and win over
// edges. Returns FramelessHitNone outside every band.
int framelessBorderHit(const QRect& window, const QPoint& point, int borderWidth, bool widthResizable,
                       bool heightResizable);

// Whether the global (logical) point grabs the window as caption: it lies on
// one of the caption widgets, either on the widget itself or on a child listed
// in `ignored`. A child that is not ignored (a title-bar button) lets the next
// caption widget be tried. Gone or hidden caption widgets are skipped.
bool framelessCaptionHit(const QList<QPointer<QWidget>>& captions, const QList<QWidget*>& ignored,
                         const QPoint& globalPoint);

// The window edges a resize code moves (empty for none and caption).
Qt::Edges framelessEdgesForHit(int code);
