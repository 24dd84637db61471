#include "PixmapButton.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

PixmapButton::PixmapButton(QWidget* parent)
    : QPushButton(parent)
{
    QPushButton::setFixedSize(m_fixedSize);
    m_dpr = devicePixelRatioF();
}

PixmapButton::~PixmapButton() = default;

void PixmapButton::setFixedSize(const QSize& size)
{
    m_fixedSize = size;
    QPushButton::setFixedSize(size);
}

void PixmapButton::setFixedSize(int w, int h)
{
    setFixedSize(QSize(w, h));
}

QPixmap PixmapButton::pixmap() const
{
    return m_pixmap ? *m_pixmap : QPixmap();
}

void PixmapButton::setPixmap(const QPixmap& pixmap)
{
    m_pixmap = std::make_unique<QPixmap>(pixmap);
    if (m_dpr >= 1.001) {
        m_highDensity = true;
        m_pixmapRatio = m_dpr >= 1.999 ? m_dpr : 2.0;
        m_pixmap->setDevicePixelRatio(m_pixmapRatio);
    } else {
        m_highDensity = false;
        m_pixmapRatio = m_dpr;
        m_pixmap->setDevicePixelRatio(1.0);
    }
    update();
}

void PixmapButton::setFadeInactive(bool on)
{
    m_fadeInactive = on;
    update();
}

void PixmapButton::setColor(const QColor& color)
{
    m_color = color;
    update();
}

bool PixmapButton::event(QEvent* event)
{
    const bool result = QPushButton::event(event);
    // A style sheet's button rules (minimum height, padding) must not change
    // the fixed size of an icon button.
    if (event->type() == QEvent::Polish
        && (minimumSize() != m_fixedSize || maximumSize() != m_fixedSize))
        QPushButton::setFixedSize(m_fixedSize);
    return result;
}

void PixmapButton::enterEvent(QEnterEvent*)
{
    m_hovered = true;
    update();
}

void PixmapButton::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
}

void PixmapButton::mousePressEvent(QMouseEvent* event)
{
    if (menu())
        m_hovered = false;
    QAbstractButton::mousePressEvent(event);
}

void PixmapButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int w = width();
    const int h = height();
    const bool hoverFill = m_hovered && isEnabled();

    if (isChecked()) {
        painter.setPen(QPen(Qt::lightGray, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 2, 2);
        if (hoverFill) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::darkGray);
            painter.drawRoundedRect(QRectF(0, 0, w, h), 2, 2);
        }
    } else if (hoverFill) {
        if (isCheckable()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::darkGray);
            painter.drawRoundedRect(QRectF(0, 0, w, h), 2, 2);
        } else {
            painter.fillRect(rect(), Qt::darkGray);
        }
    }

    if (m_pixmap && !m_pixmap->isNull()) {
        if (m_fadeInactive && !isDown() && !m_hovered && !hasFocus())
            painter.setOpacity(0.4);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const int d = isDown() ? 1 : 0;
        const int pw = m_pixmap->width();
        const int ph = m_pixmap->height();
        if (m_highDensity) {
            const QPointF topLeft(w / 2 + d - pw / (2 * m_pixmapRatio),
                                  h / 2 + d - ph / (2 * m_pixmapRatio));
            painter.drawPixmap(topLeft, *m_pixmap);
        } else {
            painter.drawPixmap(QRect(w / 2 + d - pw / 4, h / 2 + d - ph / 4, pw / 2, ph / 2),
                               *m_pixmap);
        }
        painter.setOpacity(1.0);
    }

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
