#pragma once
#include <QComboBox>
#include <QFontComboBox>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>

// Controls that leave the mouse wheel to their parent, so that a scrolling
// panel full of them scrolls instead of changing values under the pointer.

class QNoMouseWheelSpinbox : public QSpinBox
{
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class QNoMouseWheelCombo : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class QNoMouseWheelSlider : public QSlider
{
    Q_OBJECT
public:
    using QSlider::QSlider;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class QNoMouseWheelFontCombo : public QFontComboBox
{
    Q_OBJECT
public:
    using QFontComboBox::QFontComboBox;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class QNoMouseWheelListWidget : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

protected:
    void wheelEvent(QWheelEvent* event) override;
};
