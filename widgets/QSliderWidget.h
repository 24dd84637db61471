#pragma once
#include <QWidget>

namespace Ui { class QSliderWidget; }

// One labelled adjustment: a label, a value field and a slider that mirror
// each other and report a named value.
class QSliderWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QSliderWidget(QWidget* parent = nullptr);
    ~QSliderWidget() override;

    void setLabel(const QString& label);
    void setKey(const QString& key);
    QString key() const { return m_propertyName; }

    // Load a value or range without any signal from the row or its children.
    void setValue(int v);
    void setRange(int min, int max);
    int value() const;

signals:
    void propertyValueChanged(QString propertyName, int value);
    void propertyValueChanging(QString propertyName, int value);

private slots:
    void on_valueSlider_valueChanged(int value);
    void on_valueSlider_valueChanging(int value);
    void on_valueSpinBox_valueChanged(int arg1);

private:
    template <typename F> void withAllSignalsBlocked(F&& f);

    Ui::QSliderWidget* ui;
    QString m_propertyName;
};
