#include "TrianglePopupWidget.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

namespace {
// The triangle keeps this far from the body's ends, plus half its width.
const int kEndClearance = 4;
}

TrianglePopupWidget::TrianglePopupWidget(const QPoint& anchor, const QSize& size,
                                         const QColor& colour, QWidget* parent)
    : QWidget(parent)
    , m_anchor(anchor)
    , m_size(size.expandedTo(QSize(kTriangleWidth + 2 * kEndClearance, 1)))
    , m_colour(colour)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("background:transparent;border:0px solid transparent;"));
    computeGeometry();
}

void TrianglePopupWidget::computeGeometry()
{
    const int w = m_size.width();
    const int h = m_size.height() + kTriangleHeight;
    int left = m_anchor.x() - w / 2;
    // Keep the body on the anchor's screen where it can be.
    const QScreen* screen = QGuiApplication::screenAt(m_anchor);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        if (w <= avail.width())
            left = std::clamp(left, avail.left(), avail.right() + 1 - w);
    }
    // The triangle must stay clear of the body's rounded ends.
    const int minApex = kEndClearance + (kTriangleWidth + 1) / 2;
    left = std::clamp(left, m_anchor.x() - (w - minApex), m_anchor.x() - minApex);
    m_apexX = m_anchor.x() - left;
    setGeometry(left, m_anchor.y() - h, w, h);
}

void TrianglePopupWidget::setColor(const QColor& colour)
{
    m_colour = colour;
    update();
}

QHBoxLayout* TrianglePopupWidget::contentLayout()
{
    if (!m_layout) {
        m_layout = new QHBoxLayout(this);
        m_layout->setSpacing(10);
        m_layout->setContentsMargins(10, 10, 10, 10 + kTriangleHeight);
    }
    return m_layout;
}

void TrianglePopupWidget::addWidget(QWidget* widget)
{
    if (widget)
        contentLayout()->addWidget(widget);
}

void TrianglePopupWidget::setContentsMargins(int left, int top, int right, int bottom)
{
    contentLayout()->setContentsMargins(left, top, right, bottom + kTriangleHeight);
}

void TrianglePopupWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_colour);
    QPainterPath body;
    body.addRoundedRect(QRectF(0, 0, width(), height() - kTriangleHeight), 5, 5);
    QPainterPath triangle;
    const double half = kTriangleWidth / 2.0;
    const double base = height() - kTriangleHeight;
    triangle.moveTo(m_apexX - half, base - 1);
    triangle.lineTo(m_apexX + half, base - 1);
    triangle.lineTo(m_apexX, height());
    triangle.closeSubpath();
    p.drawPath(body.united(triangle));
}
