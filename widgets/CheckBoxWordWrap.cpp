#include "CheckBoxWordWrap.h"

#include "ClickableLabel.h"

#include <QHBoxLayout>
#include <QStyle>

namespace {
const int kExtraIndent = 5;
}

CheckBoxWordWrap::CheckBoxWordWrap(QWidget* parent)
    : QCheckBox(parent)
{
    init();
}

CheckBoxWordWrap::CheckBoxWordWrap(const QString& text, QWidget* parent)
    : QCheckBox(parent)
{
    init();
    setText(text);
}

void CheckBoxWordWrap::init()
{
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_label = new ClickableLabel(this);
    m_label->setIndent(style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) + kExtraIndent);
    m_label->setWordWrap(true);
    m_layout->addWidget(m_label);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    connect(m_label, SIGNAL(clicked()), this, SLOT(labelIsClicked()));
}

bool CheckBoxWordWrap::wordWrap() const
{
    return m_label->wordWrap();
}

void CheckBoxWordWrap::setWordWrap(bool on)
{
    m_label->setWordWrap(on);
    updateGeometry();
}

QString CheckBoxWordWrap::text() const
{
    return m_label->text();
}

void CheckBoxWordWrap::setText(const QString& text)
{
    m_label->setText(text);
    updateGeometry();
}

void CheckBoxWordWrap::labelIsClicked()
{
    if (isEnabled())
        toggle();
}

QSize CheckBoxWordWrap::sizeHint() const
{
    const QSize base = QCheckBox::sizeHint();
    QRect area = m_label->rect();
    area.setLeft(area.left() + m_label->indent());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | (wordWrap() ? int(Qt::TextWordWrap) : 0);
    const QRect text = fontMetrics().boundingRect(area, flags, m_label->text());
    return QSize(base.width(), text.height() + 1);
}

void CheckBoxWordWrap::resizeEvent(QResizeEvent* event)
{
    QCheckBox::resizeEvent(event);
    updateGeometry();
}
