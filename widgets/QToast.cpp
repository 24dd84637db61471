#include "QToast.h"

#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

QToast::QToast(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(parent ? Qt::FramelessWindowHint : (Qt::Tool | Qt::FramelessWindowHint));
    setAttribute(Qt::WA_AlwaysStackOnTop);
    setAttribute(Qt::WA_TranslucentBackground);

    m_effect = new QGraphicsOpacityEffect(this);
    m_effect->setOpacity(0.0);
    setGraphicsEffect(m_effect);

    m_fadeOut = new QPropertyAnimation(m_effect, "opacity", this);
    m_fadeOut->setEasingCurve(QEasingCurve::Linear);
    m_fadeOut->setDuration(1000);
    m_fadeOut->setEndValue(0.0);
    connect(m_fadeOut, &QPropertyAnimation::finished, this, &QWidget::hide);

    m_fadeIn = new QPropertyAnimation(m_effect, "opacity", this);
    m_fadeIn->setEasingCurve(QEasingCurve::Linear);
    m_fadeIn->setDuration(200);
    m_fadeIn->setEndValue(1.0);
}

QToast::~QToast() = default;

double QToast::opacity() const
{
    return m_effect->opacity();
}

void QToast::setContent(QWidget* content)
{
    if (!content || content == m_content)
        return;
    if (m_content) {
        m_content->setParent(nullptr);
        m_content->deleteLater();
    }
    m_content = content;
    // One layout for the toast's lifetime; a second one could not be installed.
    auto* box = qobject_cast<QVBoxLayout*>(layout());
    if (!box) {
        delete layout();
        box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
    }
    box->addWidget(content);
}

void QToast::centre()
{
    setRelativePosition(0.5, 0.5);
}

void QToast::setRelativePosition(double x, double y)
{
    m_relX = x < 0 ? -1.0 : std::min(x, 1.0);
    m_relY = y < 0 ? -1.0 : std::min(y, 1.0);
}

void QToast::StartShowAnimation()
{
    // A fade-out still running would hide the toast just shown.
    m_fadeOut->stop();
    setVisible(true);
    m_fadeIn->stop();
    m_fadeIn->setStartValue(m_effect->opacity());
    m_fadeIn->start();
}

void QToast::StartHideAnimation()
{
    m_fadeIn->stop();
    m_fadeOut->stop();
    m_fadeOut->setStartValue(m_effect->opacity());
    m_fadeOut->start();
}

void QToast::hideNowOrFade()
{
    if (m_fadeOnHide)
        StartHideAnimation();
    else
        hide();
}

void QToast::hideAfter(int ms)
{
    if (ms >= 1)
        QTimer::singleShot(ms, this, &QToast::hideNowOrFade);
}

void QToast::reposition()
{
    if (m_relX < 0 || m_relY < 0)
        return;
    QSize area;
    if (parentWidget()) {
        area = parentWidget()->size();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->size();
    } else {
        return;
    }
    move(int(std::trunc(area.width() * m_relX - width() * 0.5)),
         int(std::trunc(area.height() * m_relY - height() * 0.5)));
}

void QToast::showEvent(QShowEvent* event)
{
    reposition();
    QDialog::showEvent(event);
    if (m_hideDelay >= 1)
        QTimer::singleShot(m_hideDelay, this, &QToast::hideNowOrFade);
}

void QToast::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (m_deleteOnHide)
        deleteLater();
}
