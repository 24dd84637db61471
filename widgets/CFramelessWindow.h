#pragma once
#include <QList>
#include <QMainWindow>
#include <QMargins>
#include <QPoint>
#include <QPointer>
#include <QRect>

// A main window without the system frame that still moves, resizes and
// maximises like a framed one: the owner marks its title-bar widgets as
// caption, and bands along the edges resize the window. Moving and resizing
// are handed to the window system; when it refuses (no window manager), the
// window does the work itself.
class CFramelessWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CFramelessWindow(QWidget* parent = nullptr);
    ~CFramelessWindow() override;

    void setResizeable(bool resizeable = true);
    bool isResizeable() const { return m_resizeable; }
    void setResizeableAreaWidth(int width = 8);
    int resizeableAreaWidth() const { return m_borderWidth; }

    void addCaptionWidget(QWidget* widget);
    void addIgnoreWidget(QWidget* widget);

    // Margins the owner asked for; the frame compensation of a maximised
    // window is kept apart and added on top.
    void setContentsMargins(const QMargins& margins);
    void setContentsMargins(int left, int top, int right, int bottom);
    QMargins contentsMargins() const;
    void getContentsMargins(int* left, int* top, int* right, int* bottom) const;
    QRect contentsRect() const;

    // Non-client area under a global (logical) point: a resize band code,
    // FramelessHitCaption, or FramelessHitNone for normal client handling.
    int hitTest(const QPoint& globalPoint) const;

    // Whether the last move or resize was done by the window itself because
    // the window system refused it.
    bool usedFallbackMove() const { return m_usedFallback; }

public slots:
    void showFullScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Invisible frame a maximised window must compensate; none on this platform.
    QMargins maximizedFrameMargins() const;
    void applyMargins();
    void clearFrameMargins();
    void watchWindowHandle();
    bool handleMousePress(const QPoint& globalPos, Qt::MouseButton button);
    bool handleMouseMove(const QPoint& globalPos, Qt::MouseButtons buttons);
    void updateCursor(const QPoint& globalPos);
    void toggleMaximized();

    QList<QPointer<QWidget>> m_captionWidgets;
    QList<QWidget*> m_ignoreWidgets;
    int m_borderWidth = 8;
    QMargins m_margins;
    QMargins m_frames;
    bool m_justMaximized = false;
    bool m_resizeable = true;

    // Fallback drag state.
    enum class Drag { None, PendingMove, Move, Resize };
    Drag m_drag = Drag::None;
    Qt::Edges m_dragEdges;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
    bool m_usedFallback = false;
    bool m_cursorOverridden = false;
    QPointer<QWindow> m_watchedWindow;
};
