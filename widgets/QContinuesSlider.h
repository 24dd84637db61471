#pragma once
#include <QSlider>

// A slider that jumps to the clicked position and reports a drag as a stream
// of valueChanging() with one valueChanged() when the button is released.
class QContinuesSlider : public QSlider
{
    Q_OBJECT
public:
    explicit QContinuesSlider(QWidget* parent = nullptr);

    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool on) { m_continuous = on; }

signals:
    void valueChanging(int value);

public slots:
    void setValue(int Value, bool BlockSignals);
    void setValue(int Value);

protected:
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
