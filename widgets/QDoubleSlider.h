#pragma once
#include <QSlider>

// A slider over doubles: the integer position is value × multiplier.
// Every change of value is reported by exactly one valueChanged(double).
class QDoubleSlider : public QSlider
{
    Q_OBJECT
public:
    explicit QDoubleSlider(QWidget* parent = nullptr);

    void setRange(double min, double max);
    void setMinimum(double min);
    void setMaximum(double max);
    double minimum() const;
    double maximum() const;
    double value() const;
    double multiplier() const { return m_multiplier; }

    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool on) { m_continuous = on; }

signals:
    void valueChanged(double value);
    void valueChanging(double value);
    void rangeChanged(double Min, double Max);

public slots:
    void setValue(int value);
    void setValue(double Value, bool BlockSignals);
    void setValue(double Value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool handleContains(const QPoint& pos) const;
    void setIntegerSilently(int v);
    void emitValue(double v);

    double m_multiplier = 10000.0;
    bool m_continuous = true;
    bool m_pressed = false;
    bool m_jumped = false;
    bool m_handlePress = false;
    bool m_silent = false;
    bool m_blockedForDrag = false;
    bool m_blockedBeforeDrag = false;
    double m_lastEmitted = 0.0;
};
