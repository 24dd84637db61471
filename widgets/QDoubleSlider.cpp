#include "QDoubleSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <cmath>

QDoubleSlider::QDoubleSlider(QWidget* parent)
    : QSlider(parent)
{
    connect(this, SIGNAL(valueChanged(int)), this, SLOT(setValue(int)));
    setSingleStep(1);
    setOrientation(Qt::Horizontal);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::sliderPressed, this, [this] { m_pressed = true; });
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

bool QDoubleSlider::handleContains(const QPoint& pos) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this)
        .contains(pos);
}

void QDoubleSlider::mousePressEvent(QMouseEvent* event)
{
    m_jumped = false;
    m_handlePress = false;
    if (handleContains(event->position().toPoint())) {
        m_handlePress = true;
        QSlider::mousePressEvent(event);
        if (!m_continuous && !m_blockedForDrag) {
            m_blockedBeforeDrag = blockSignals(true);
            m_blockedForDrag = true;
        }
        return;
    }
    event->accept();
    if (width() <= 0)
        return;
    m_jumped = true;
    const double x = event->position().x();
    const int i = int(std::trunc(x / width() * (QSlider::maximum() - QSlider::minimum())
                                 + QSlider::minimum()));
    // Set the integer itself: going through i / multiplier and back can land
    // one unit short.
    setIntegerSilently(i);
    if (!signalsBlocked())
        emitValue(QSlider::value() / m_multiplier);
}

void QDoubleSlider::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasBlocked = blockSignals(true);
    QSlider::mouseReleaseEvent(event);
    blockSignals(wasBlocked);
    m_pressed = false;
    if (m_blockedForDrag) {
        blockSignals(m_blockedBeforeDrag);
        m_blockedForDrag = false;
    }
    // A tracked drag has already reported each step; only an unreported final
    // value (a drag without tracking, or with signals held) is sent now.
    if (m_handlePress && !m_jumped && value() != m_lastEmitted)
        emitValue(value());
    m_jumped = false;
    m_handlePress = false;
}

void QDoubleSlider::mouseMoveEvent(QMouseEvent* event)
{
    QSlider::mouseMoveEvent(event);
}

void QDoubleSlider::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
}
