#include "QToolBoxWidget.h"

#include "IconLoader.h"
#include "ui_QToolBoxWidget.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
const char* const kArrowCollapsed = ":/vh/icon/Icon_ret.png";
const char* const kArrowExpanded = ":/vh/icon/Icon_ex.png";
const int kArrowSize = 9;
}

QToolBoxWidget::QToolBoxWidget(QWidget* parent, int style)
    : QWidget(parent)
    , ui(new Ui::QToolBoxWidget)
    , m_style(style)
{
    ui->setupUi(this);
    init();
}

QToolBoxWidget::~QToolBoxWidget()
{
    delete ui;
}

void QToolBoxWidget::init()
{
    m_arrowLabel = new QLabel(ui->closureButn);
    m_arrowLabel->setFixedSize(kArrowSize, kArrowSize);
    m_arrowLabel->setAlignment(Qt::AlignCenter);
    // The label passes clicks through to the header button below it.
    m_arrowLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    setArrow(QString::fromLatin1(kArrowCollapsed));

    m_titleLabel = new QLabel(ui->closureButn);
    m_titleLabel->setStyleSheet(QStringLiteral("font-weight:bold"));
    m_titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* header = new QHBoxLayout(ui->closureButn);
    // The row uses the button's full height, whatever padding a style sheet gives buttons.
    header->setContentsMargins(9, 0, 0, 0);
    header->setSpacing(m_style == 0 ? 2 : 10);
    header->addWidget(m_arrowLabel);
    header->addSpacing(2);
    header->addWidget(m_titleLabel);
    header->addStretch(1);
    ui->closureButn->setFlat(true);
    ui->closureButn->setStyleSheet(QStringLiteral("background-color:rgba(0,0,0,0);border:none"));

    ui->actionButn->setFixedSize(16, 16);
    ui->actionButn->setPixmap(QPixmap(QStringLiteral(":/vh/icon/restore_small.png")));
    ui->actionButn->setToolTip(tr("IDS_RESTORE"));

    ui->horizontalWidget->setStyleSheet(QStringLiteral("background-color:#303030"));
}

void QToolBoxWidget::setArrow(const QString& path)
{
    m_arrowIcon = path;
    m_arrowLabel->setPixmap(loadIconPixmap(path, kArrowSize, devicePixelRatioF()));
}

void QToolBoxWidget::expand()
{
    ui->widgetContent->show();
    for (QWidget* w : std::as_const(m_extraWidgets))
        w->show();
    m_expanded = true;
    setArrow(QString::fromLatin1(kArrowExpanded));
}

void QToolBoxWidget::collapse()
{
    ui->widgetContent->hide();
    for (QWidget* w : std::as_const(m_extraWidgets))
        w->hide();
    m_expanded = false;
    setArrow(QString::fromLatin1(kArrowCollapsed));
}

void QToolBoxWidget::on_closureButn_clicked()
{
    if (!m_collapsible)
        return;
    if (m_expanded)
        collapse();
    else
        expand();
}

void QToolBoxWidget::setCollapsible(bool on)
{
    m_collapsible = on;
    m_arrowLabel->setVisible(on);
}

void QToolBoxWidget::on_actionButn_clicked()
{
    if (!m_key.isEmpty())
        emit actionTrigged(m_key);
}

void QToolBoxWidget::setContent(const QString& title, QWidget* content, bool expanded)
{
    m_titleLabel->setText(title);
    ui->verticalLayoutContent->setContentsMargins(m_style != 0 ? 6 : 0, 0, 0, 0);
    if (content)
        ui->verticalLayoutContent->addWidget(content);
    if (expanded)
        expand();
    else
        collapse();
}

void QToolBoxWidget::setActionEnabled(bool on)
{
    ui->actionButn->setEnabled(on);
    ui->widgetContent->setEnabled(on);
}

void QToolBoxWidget::addContentWidget(QWidget* widget)
{
    if (widget)
        ui->verticalLayoutContent->addWidget(widget);
}

void QToolBoxWidget::addExtraWidget(QWidget* widget)
{
    if (widget && !m_extraWidgets.contains(widget))
        m_extraWidgets.append(widget);
}

void QToolBoxWidget::setKey(const QString& key)
{
    m_key = key;
}
