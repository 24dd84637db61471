#pragma once
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSlider>
#include <QSpontaneKeyEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <memory>

namespace widgettest {

// A picture with a colour gradient, a grid and a marker in each corner, so
// that screenshots show where the picture is cut and that it is not mirrored.
inline QImage testImage(int w, int h, QColor tint = QColor(40, 120, 200))
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int r = (x * 255) / std::max(1, w - 1);
            const int g = (y * 255) / std::max(1, h - 1);
            row[x] = qRgb((r + tint.red()) / 2, (g + tint.green()) / 2, tint.blue());
        }
    }
    QPainter p(&img);
    p.setPen(QColor(255, 255, 255, 90));
    for (int x = 0; x < w; x += 50)
        p.drawLine(x, 0, x, h - 1);
    for (int y = 0; y < h; y += 50)
        p.drawLine(0, y, w - 1, y);
    const int m = std::max(4, std::min(w, h) / 10);
    p.fillRect(0, 0, m, m, Qt::red);
    p.fillRect(w - m, 0, m, m, Qt::green);
    p.fillRect(0, h - m, m, m, Qt::blue);
    p.fillRect(w - m, h - m, m, m, Qt::white);
    return img;
}

inline std::unique_ptr<QPixmap> testPixmap(int w, int h)
{
    return std::make_unique<QPixmap>(QPixmap::fromImage(testImage(w, h)));
}

// Sends a wheel event of one notch to `target` at `pos`, marked as coming from
// the window system so that an ignored event travels to the parents; returns
// whether it was accepted.
inline bool sendWheel(QWidget* target, QPoint pos, int deltaY,
                      Qt::ScrollPhase phase = Qt::NoScrollPhase)
{
    const QPointF global = target->mapToGlobal(QPointF(pos));
    QWheelEvent event(QPointF(pos), global, QPoint(), QPoint(0, deltaY), Qt::NoButton,
                      Qt::NoModifier, phase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    // sendEvent() would clear the spontaneous flag again.
    qApp->notify(target, &event);
    return event.isAccepted();
}

// Sends one mouse move with the given buttons held.
inline void sendMove(QWidget* target, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), target->mapToGlobal(QPointF(pos)),
                      Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void sendButton(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button)
                                                                    : Qt::MouseButtons();
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Where the style draws the slider's handle for its current position.
inline QPoint handleCentre(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = false;
    option.subControls = QStyle::SC_All;
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
}

} // namespace widgettest
