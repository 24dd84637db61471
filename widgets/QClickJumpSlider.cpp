#include "QClickJumpSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <cmath>

QClickJumpSlider::QClickJumpSlider(QWidget* parent)
    : QSlider(parent)
{
    setSingleStep(1);
    setOrientation(Qt::Horizontal);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::sliderPressed, this, [this] { m_pressed = true; });
}

bool QClickJumpSlider::handleContains(const QPoint& pos) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this)
        .contains(pos);
}

void QClickJumpSlider::mousePressEvent(QMouseEvent* event)
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
    jumpTo(int(std::trunc(x / width() * (maximum() - minimum()) + minimum())));
}

void QClickJumpSlider::mouseReleaseEvent(QMouseEvent* event)
{
    // The base release settles the dragged position into the value; its
    // valueChanged is replaced by the one dragReleased() sends.
    const bool wasBlocked = blockSignals(true);
    QSlider::mouseReleaseEvent(event);
    blockSignals(wasBlocked);
    m_pressed = false;
    if (m_blockedForDrag) {
        blockSignals(m_blockedBeforeDrag);
        m_blockedForDrag = false;
    }
    if (m_handlePress && !m_jumped)
        dragReleased();
    m_jumped = false;
    m_handlePress = false;
}

void QClickJumpSlider::mouseMoveEvent(QMouseEvent* event)
{
    QSlider::mouseMoveEvent(event);
}

void QClickJumpSlider::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
}
