#pragma once
#include <QSlider>

// The press and release handling both value sliders share: a press off the
// handle jumps straight to the clicked position, a press on it drags, and a
// non-continuous slider holds its signals for the length of the drag. The
// wheel is left to the parent.
// No Q_OBJECT on purpose: it adds no signals, and the sliders built on it stay
// direct QSlider descendants to the meta-object system.
class QClickJumpSlider : public QSlider
{
public:
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool on) { m_continuous = on; }

protected:
    explicit QClickJumpSlider(QWidget* parent);

    // A press off the handle asked for this integer position.
    virtual void jumpTo(int position) = 0;
    // A press on the handle was released; the value is settled.
    virtual void dragReleased() = 0;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool handleContains(const QPoint& pos) const;

    bool m_continuous = true;
    bool m_pressed = false;
    bool m_jumped = false;
    bool m_handlePress = false;
    bool m_blockedForDrag = false;
    bool m_blockedBeforeDrag = false;
};
