#include "QDoubleSlider.h"

#include <cmath>

QDoubleSlider::QDoubleSlider(QWidget* parent)
    : QClickJumpSlider(parent)
{
    connect(this, SIGNAL(valueChanged(int)), this, SLOT(setValue(int)));
    connect(this, &QAbstractSlider::sliderMoved, this,
            [this](int v) { emit valueChanging(v / m_multiplier); });
}

// Reached through the slider's own valueChanged(int) as well as by callers.
void QDoubleSlider::setValue(int value)
{
    if (value != QSlider::value()) {
        // The base emits valueChanged(int), which re-enters here once.
        QSlider::setValue(value);
        return;
    }
    if (!m_silent)
        emitValue(value / m_multiplier);
}

void QDoubleSlider::setValue(double Value, bool BlockSignals)
{
    const bool wasBlocked = BlockSignals ? blockSignals(true) : signalsBlocked();
    setIntegerSilently(int(std::trunc(m_multiplier * Value)));
    if (!BlockSignals && !wasBlocked)
        emitValue(Value);
    if (BlockSignals)
        blockSignals(wasBlocked);
}

void QDoubleSlider::setValue(double Value)
{
    setValue(Value, false);
}

void QDoubleSlider::setRange(double min, double max)
{
    QSlider::setRange(int(std::trunc(m_multiplier * min)), int(std::trunc(m_multiplier * max)));
    emit rangeChanged(min, max);
}

void QDoubleSlider::setMinimum(double min)
{
    QSlider::setMinimum(int(std::trunc(m_multiplier * min)));
    emit rangeChanged(minimum(), maximum());
}

void QDoubleSlider::setMaximum(double max)
{
    QSlider::setMaximum(int(std::trunc(m_multiplier * max)));
    emit rangeChanged(minimum(), maximum());
}

double QDoubleSlider::minimum() const { return QSlider::minimum() / m_multiplier; }
double QDoubleSlider::maximum() const { return QSlider::maximum() / m_multiplier; }
double QDoubleSlider::value() const { return QSlider::value() / m_multiplier; }

void QDoubleSlider::setIntegerSilently(int v)
{
    const bool wasSilent = m_silent;
    m_silent = true;
    QSlider::setValue(v);
    m_silent = wasSilent;
}

void QDoubleSlider::emitValue(double v)
{
    m_lastEmitted = v;
    emit valueChanged(v);
}

void QDoubleSlider::jumpTo(int position)
{
    // Set the integer itself: going through position / multiplier and back
    // can land one unit short.
    setIntegerSilently(position);
    if (!signalsBlocked())
        emitValue(QSlider::value() / m_multiplier);
}

void QDoubleSlider::dragReleased()
{
    // A tracked drag has already reported each step; only an unreported final
    // value (a drag without tracking, or with signals held) is sent now.
    if (value() != m_lastEmitted)
        emitValue(value());
}
