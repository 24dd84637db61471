#include "QWaitingDialog.h"

#include "ui_QWaitingDialog.h"

#include <QCloseEvent>
#include <QPainter>

QWaitingDialog::QWaitingDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::QWaitingDialog)
{
    ui->setupUi(this);
    ui->progressIndictor->setColor(Qt::white);
    ui->progressIndictor->startAnimation();
    // A window of its own: a sub-window flag would make it a child widget
    // painted inside its parent, which exec() cannot show as a modal dialog.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setModal(true);
}

QWaitingDialog::~QWaitingDialog()
{
    delete ui;
}

void QWaitingDialog::finish()
{
    m_held = false;
    accept();
}

void QWaitingDialog::reject()
{
    if (!m_held)
        QDialog::reject();
}

void QWaitingDialog::closeEvent(QCloseEvent* event)
{
    if (m_held)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

QProgressIndicator* QWaitingDialog::indicator() const
{
    return ui->progressIndictor;
}

void QWaitingDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(34, 34, 34, 128));
    painter.setPen(Qt::transparent);
    painter.drawRoundedRect(QRect(0, 0, width() - 1, height() - 1), 12, 12);
    QWidget::paintEvent(event);
}
