#include "QProgressIndicator.h"

#include <QPainter>
#include <QTimerEvent>
#include <algorithm>

QProgressIndicator::QProgressIndicator(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

QSize QProgressIndicator::sizeHint() const
{
    return QSize(20, 20);
}

int QProgressIndicator::heightForWidth(int w) const
{
    return w;
}

void QProgressIndicator::startAnimation()
{
    m_angle = 0;
    if (m_timerId == -1)
        m_timerId = startTimer(m_delay, Qt::CoarseTimer);
}

void QProgressIndicator::stopAnimation()
{
    if (m_timerId != -1)
        killTimer(m_timerId);
    m_timerId = -1;
    update();
}

void QProgressIndicator::setAnimationDelay(int delay)
{
    if (m_timerId != -1) {
        killTimer(m_timerId);
        m_timerId = startTimer(delay, Qt::CoarseTimer);
    }
    m_delay = delay;
}

void QProgressIndicator::setDisplayedWhenStopped(bool state)
{
    m_displayedWhenStopped = state;
    update();
}

void QProgressIndicator::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void QProgressIndicator::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        QWidget::timerEvent(event);
        return;
    }
    m_angle = (m_angle + 30) % 360;
    update();
}

void QProgressIndicator::paintEvent(QPaintEvent*)
{
    if (!m_displayedWhenStopped && !isAnimated())
        return;
    const int side = std::min(width(), height());
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int outer = int((side - 1) * 0.5);
    const int inner = int((side - 1) * 0.5 * 0.38);
    const int length = outer - inner;
    const int capsuleWidth = side <= 32 ? int(length * 0.35) : int(length * 0.23);
    const int radius = capsuleWidth / 2;
    for (int i = 0; i < 12; ++i) {
        QColor c = m_color;
        c.setAlphaF(1.0f - float(i) / 12.0f);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.save();
        p.translate((width() - 1) / 2, (height() - 1) / 2);
        p.rotate(m_angle - 30.0 * i);
        p.drawRoundedRect(QRectF(int(-capsuleWidth * 0.5), -outer, capsuleWidth, length),
                          radius, radius);
        p.restore();
    }
}
