#include "QNoMouseWheelWidgets.h"

#include <QWheelEvent>

// QWidget::wheelEvent ignores the event, so it propagates to the parent.
void QNoMouseWheelSpinbox::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
void QNoMouseWheelCombo::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
void QNoMouseWheelSlider::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
void QNoMouseWheelFontCombo::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
void QNoMouseWheelListWidget::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
