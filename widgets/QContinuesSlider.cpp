#include "QContinuesSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <cmath>

QContinuesSlider::QContinuesSlider(QWidget* parent)
    : QSlider(parent)
{
    setSingleStep(1);
    setOrientation(Qt::Horizontal);
    setFocusPolicy(Qt::NoFocus);
    // Without tracking a drag only moves the position; the value (and its one
    // valueChanged) is settled on release.
    setTracking(false);
    connect(this, &QAbstractSlider::sliderPressed, this, [this] { m_pressed = true; });
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

bool QContinuesSlider::handleContains(const QPoint& pos) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this)
        .contains(pos);
}

void QContinuesSlider::mousePressEvent(QMouseEvent* event)
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
    const int v = int(std::trunc(x / width() * (maximum() - minimum()) + minimum()));
    setValue(v, false);
}

void QContinuesSlider::mouseReleaseEvent(QMouseEvent* event)
{
    // The base release settles the dragged position into the value; its
    // valueChanged is replaced by the single one below.
    const bool wasBlocked = blockSignals(true);
    QSlider::mouseReleaseEvent(event);
    blockSignals(wasBlocked);
    m_pressed = false;
    if (m_blockedForDrag) {
        blockSignals(m_blockedBeforeDrag);
        m_blockedForDrag = false;
    }
    if (m_handlePress && !m_jumped)
        emit valueChanged(value());
    m_jumped = false;
    m_handlePress = false;
}

void QContinuesSlider::mouseMoveEvent(QMouseEvent* event)
{
    QSlider::mouseMoveEvent(event);
}

void QContinuesSlider::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
}
