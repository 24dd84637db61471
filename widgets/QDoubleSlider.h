#pragma once
#include "QClickJumpSlider.h"

// A slider over doubles: the integer position is value × multiplier.
// Every change of value is reported by exactly one valueChanged(double).
class QDoubleSlider : public QClickJumpSlider
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

signals:
    void valueChanged(double value);
    void valueChanging(double value);
    void rangeChanged(double Min, double Max);

public slots:
    void setValue(int value);
    void setValue(double Value, bool BlockSignals);
    void setValue(double Value);

private:
    void jumpTo(int position) override;
    void dragReleased() override;
    void setIntegerSilently(int v);
    void emitValue(double v);

    double m_multiplier = 10000.0;
    bool m_silent = false;
    double m_lastEmitted = 0.0;
};
