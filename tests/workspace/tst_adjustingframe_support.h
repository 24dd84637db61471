#pragma once
#include "ModalWatcher.h"
// Shared helpers of the editing-page tests: a synthetic merged picture,
// reference passes straight through the processor, picture comparison and
// waiting for the page to settle.
#include "IQAdjustingFrame.h"
#include "IQAdjustingProcessor.h"
#include "IQParams.h"
#include "QSliderWidget.h"
#include "SyntheticScene.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QSemaphore>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace adjtest {

// Holds every pass inside the processor until the test lets it go.
class GateStage : public IQAdjustingProcessor::DenoiseStage
{
public:
    int apply(IQBGRData&, const IQDenoiseParams&) override
    {
        entered.release();
        if (throwNext.exchange(false) || throwAlways)
            throw std::runtime_error("gate failure");
        if (closed.load())
            gate.acquire();
        return 0;
    }
    // Lets one held pass go on.
    void letOneGo() { gate.release(); }
    // Opens for good.
    void open()
    {
        closed = false;
        gate.release(100);
    }
    // Serves the event loop meanwhile: the page starts the next pass from it.
    bool waitEntered(int count = 1)
    {
        return QTest::qWaitFor([&] { return entered.tryAcquire(count); }, 20000);
    }

    QSemaphore entered;
    QSemaphore gate;
    std::atomic<bool> closed{true};
    std::atomic<bool> throwNext{false};
    std::atomic<bool> throwAlways{false};
};


// A merged picture with a bright light, a deep shadow, texture and gradients.
inline QImage mergedPicture(QSize size = QSize(320, 240))
{
    const SyntheticScene::RadianceScene scene(size, 7, true);
    return SyntheticScene::renderFrame(scene, size, 0.6, QPoint(), 0.0, 1, QImage::Format_RGB888);
}

// Largest difference of any channel of any pixel; -1 when the sizes differ.
inline int maxDiff(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int m = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(r));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c) {
            m = std::max({m, std::abs(qRed(p[c]) - qRed(q[c])), std::abs(qGreen(p[c]) - qGreen(q[c])),
                          std::abs(qBlue(p[c]) - qBlue(q[c]))});
        }
    }
    return m;
}

// Mean of (R + G + B) / 3 over a rectangle.
inline double meanLevel(const QImage& image, QRect area = QRect())
{
    const QImage x = image.convertToFormat(QImage::Format_RGB32);
    if (area.isNull())
        area = x.rect();
    double sum = 0;
    for (int r = area.top(); r <= area.bottom(); ++r)
        for (int c = area.left(); c <= area.right(); ++c) {
            const QRgb p = x.pixel(c, r);
            sum += (qRed(p) + qGreen(p) + qBlue(p)) / 3.0;
        }
    return sum / (double(area.width()) * area.height());
}

// One pass of a processor with the given records and stage code.
inline QImage referencePass(IQAdjustingProcessor& p, const IQAdjustParams& a, const IQHDRToneParams& t,
                            const IQDenoiseParams& d, int stage)
{
    p.setAdjustParams(a);
    p.setDenoiseParams(d);
    p.setToneParams(t, stage);
    return p.process();
}

// Waits until no pass runs, waits or is held back.
inline bool settle(IQAdjustingFrame& page, int timeoutMs = 60000)
{
    return QTest::qWaitFor([&] { return !page.isBusy(); }, timeoutMs);
}

inline QSliderWidget* row(IQAdjustingFrame& page, const QString& name)
{
    return page.findChild<QSliderWidget*>(name);
}

// The user types a value into a row's field: the row's final value.
inline void release(QSliderWidget* r, int value)
{
    QSpinBox* box = r->findChild<QSpinBox*>();
    if (box->value() == value) {
        // The field would not signal an unchanged value; the slider's release would.
        emit r->propertyValueChanged(r->key(), value);
        return;
    }
    box->setValue(value);
}

// One update of a running drag.
inline void drag(QSliderWidget* r, int value)
{
    emit r->propertyValueChanging(r->key(), value);
}

// Dialogs of the page time out sooner than the default.
template <typename Widget>
void whenModal(std::function<void(Widget*)> onDialog, int timeoutMs = 20000)
{
    ::whenModal<Widget>(std::move(onDialog), timeoutMs);
}

} // namespace adjtest
