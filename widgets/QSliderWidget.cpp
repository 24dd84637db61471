#include "QSliderWidget.h"

#include "ui_QSliderWidget.h"

#include <QSignalBlocker>
#include <utility>
#include <vector>

QSliderWidget::QSliderWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::QSliderWidget)
{
    ui->setupUi(this);
    ui->valueSlider->setSingleStep(0);
    ui->valueSlider->setPageStep(0);
    ui->valueSpinBox->setButtonSymbols(QAbstractSpinBox::NoButtons);
    ui->valueSpinBox->setKeyboardTracking(false);
    ui->valueSlider->setContinuous(true);
}

QSliderWidget::~QSliderWidget()
{
    delete ui;
}

void QSliderWidget::setLabel(const QString& label)
{
    ui->valueDescLabel->setText(label);
}

void QSliderWidget::setKey(const QString& key)
{
    m_propertyName = key;
}

int QSliderWidget::value() const
{
    return ui->valueSlider->value();
}

template <typename F> void QSliderWidget::withAllSignalsBlocked(F&& f)
{
    // Each object gets back the blocked state it had, so a caller that had
    // silenced a child keeps it silenced.
    std::vector<std::pair<QObject*, bool>> previous;
    previous.emplace_back(this, blockSignals(true));
    const auto children = findChildren<QWidget*>();
    for (QWidget* child : children)
        previous.emplace_back(child, child->blockSignals(true));
    f();
    for (auto it = previous.rbegin(); it != previous.rend(); ++it)
        it->first->blockSignals(it->second);
}

void QSliderWidget::setValue(int v)
{
    withAllSignalsBlocked([&] {
        ui->valueSpinBox->setValue(v);
        ui->valueSlider->setValue(v, true);
    });
}

void QSliderWidget::setRange(int min, int max)
{
    withAllSignalsBlocked([&] {
        ui->valueSlider->setMinimum(min);
        ui->valueSlider->setMaximum(max);
        ui->valueSpinBox->setMinimum(min);
        ui->valueSpinBox->setMaximum(max);
    });
}

void QSliderWidget::on_valueSlider_valueChanged(int value)
{
    {
        const QSignalBlocker blocker(ui->valueSpinBox);
        ui->valueSpinBox->setValue(value);
    }
    emit propertyValueChanged(m_propertyName, value);
}

void QSliderWidget::on_valueSlider_valueChanging(int value)
{
    {
        const QSignalBlocker blocker(ui->valueSpinBox);
        ui->valueSpinBox->setValue(value);
    }
    emit propertyValueChanging(m_propertyName, value);
}

void QSliderWidget::on_valueSpinBox_valueChanged(int arg1)
{
    {
        const QSignalBlocker blocker(ui->valueSlider);
        ui->valueSlider->setValue(arg1, false);
    }
    emit propertyValueChanged(m_propertyName, arg1);
}
