#include "QContinuesSlider.h"

QContinuesSlider::QContinuesSlider(QWidget* parent)
    : QClickJumpSlider(parent)
{
    // Without tracking a drag only moves the position; the value (and its one
    // valueChanged) is settled on release.
    setTracking(false);
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int v) { emit valueChanging(v); });
}

void QContinuesSlider::setValue(int Value, bool BlockSignals)
{
    const bool wasBlocked = blockSignals(true);
    QSlider::setValue(Value);
    blockSignals(wasBlocked);
    if (!BlockSignals)
        emit valueChanged(value());
}

void QContinuesSlider::setValue(int Value)
{
    setValue(Value, false);
}

void QContinuesSlider::jumpTo(int position)
{
    setValue(position, false);
}

void QContinuesSlider::dragReleased()
{
    emit valueChanged(value());
}
