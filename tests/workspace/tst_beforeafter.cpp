#include "BAImageViewerWidget.h"
#include "GraphicsImageViewer.h"
#include "IQBAImageFrame.h"
#include "QDoubleSlider.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>

namespace {
QImage picture(int w, int h, QColor colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    QPainter p(&img);
    p.fillRect(0, 0, w / 4, h / 4, Qt::white);
    return img;
}

void wheel(QWidget* target, QPoint pos, int delta)
{
    QWheelEvent event(QPointF(pos), target->mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
}
}

class TestBeforeAfter : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<IQBAImageFrame> frame;
    std::unique_ptr<QDoubleSlider> slider;
    std::unique_ptr<QLineEdit> edit;
    QAction actualAction{QStringLiteral("actual")};
    QAction fitAction{QStringLiteral("fit")};
    QAction inAction{QStringLiteral("in")};
    QAction outAction{QStringLiteral("out")};

    // Pane A's viewport is (width - 2) x (height - 2) while comparison is hidden.
    IQBAImageFrame& make(int width, int height)
    {
        frame = std::make_unique<IQBAImageFrame>();
        auto* layout = new QVBoxLayout(frame.get());
        layout->setContentsMargins(0, 0, 0, 0);
        slider = std::make_unique<QDoubleSlider>();
        edit = std::make_unique<QLineEdit>();
        edit->setReadOnly(true);
        frame->setZoomControls(slider.get(), edit.get());
        frame->createViewer(layout);
        frame->setZoomActions(&actualAction, &fitAction, &inAction, &outAction);
        frame->resize(width, height);
        frame->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(frame.get())); }();
        return *frame;
    }

private slots:
    void cleanup()
    {
        frame.reset();
        slider.reset();
        edit.reset();
    }

    // No viewer, no picture yet, no zoom actions, a second viewer asked for: ignored.
    void missingOrRepeatedParts()
    {
        IQBAImageFrame bare;
        QCOMPARE(bare.scale(), 1.0);
        QCOMPARE(bare.zoomState(), 0);
        bare.setImages(picture(10, 10, Qt::red), picture(10, 10, Qt::blue));
        bare.zoomIn();
        bare.zoomFit();
        bare.closeImage();
        bare.createViewer(nullptr);
        QVERIFY(!bare.viewer());

        IQBAImageFrame& f = make(402, 302);
        slider->setRange(0.1, 10.0);
        slider->setValue(3.0);
        QCOMPARE(f.scale(), 1.0);
        QVERIFY(edit->text().isEmpty());
        QVERIFY(!fitAction.isEnabled());
        QVERIFY(!inAction.isEnabled());

        BAImageViewerWidget* first = f.viewer();
        QVBoxLayout other;
        f.createViewer(&other);
        QCOMPARE(f.viewer(), first);
        QCOMPARE(other.count(), 0);

        f.setZoomActions(nullptr, nullptr, nullptr, nullptr);
        f.setImages(picture(800, 600, Qt::gray), picture(800, 600, Qt::gray));
        f.updateZoomAction();
        f.zoomIn();
        QCOMPARE(f.zoomState(), 2);
    }

    void imagesLoadControls_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("text");
        QTest::newRow("eighth") << QSize(3200, 2400) << 0.125 << QStringLiteral("13 %");
        QTest::newRow("quarter") << QSize(1600, 1200) << 0.25 << QStringLiteral("25 %");
        QTest::newRow("small") << QSize(200, 100) << 1.0 << QStringLiteral("100 %");
    }

    void imagesLoadControls()
    {
        QFETCH(QSize, size);
        QFETCH(double, scale);
        QFETCH(QString, text);
        IQBAImageFrame& f = make(402, 302);
        QCOMPARE(f.viewer()->paneA()->viewport()->size(), QSize(400, 300));
        QSignalSpy sliderSpy(slider.get(), qOverload<double>(&QDoubleSlider::valueChanged));
        f.setImages(picture(size.width(), size.height(), Qt::darkRed),
                    picture(size.width(), size.height(), Qt::darkGreen));
        QCOMPARE(f.scale(), scale);
        QCOMPARE(edit->text(), text);
        QCOMPARE(slider->value(), scale);
        QCOMPARE(slider->minimum(), std::min(1.0, scale));
        QCOMPARE(slider->maximum(), 10.0);
        QCOMPARE(sliderSpy.count(), 0);
        QCOMPARE(f.zoomState(), 0);
        QVERIFY(!fitAction.isEnabled());
        QVERIFY(!outAction.isEnabled());
        QVERIFY(actualAction.isEnabled());
        QVERIFY(inAction.isEnabled());
        QCOMPARE(f.currentImage().pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::darkGreen));
        QCOMPARE(f.originalImage().pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::darkRed));
    }

    // The slider and the viewer's own zoom keep both panes and the controls together.
    void zoomKeepsPanesAndControlsTogether()
    {
        IQBAImageFrame& f = make(803, 402);
        f.setImages(picture(1600, 1200, Qt::darkRed), picture(1600, 1200, Qt::darkGreen));
        f.viewer()->setCompareVisible(true);
        QCoreApplication::processEvents();
        GraphicsImageViewer* a = f.viewer()->paneA();
        GraphicsImageViewer* b = f.viewer()->paneB();

        // The wheel over a pane updates the controls without their signals.
        QSignalSpy sliderSpy(slider.get(), qOverload<double>(&QDoubleSlider::valueChanged));
        wheel(a->viewport(), QPoint(100, 100), 120);
        const double s = f.scale();
        QCOMPARE(slider->value(), std::trunc(s * 10000) / 10000);
        QCOMPARE(edit->text(), QStringLiteral("%1 %").arg(std::lround(s * 100)));
        QCOMPARE(sliderSpy.count(), 0);
        QCOMPARE(b->currentScale(), a->currentScale());

        QSignalSpy scale(f.viewer(), &BAImageViewerWidget::scaleChanged);
        slider->setValue(0.5);
        QCOMPARE(scale.count(), 1);
        QCOMPARE(a->currentScale(), 0.5);
        QCOMPARE(b->currentScale(), 0.5);
        QCOMPARE(a->imageRect(), b->imageRect());
        QCOMPARE(edit->text(), QStringLiteral("50 %"));
        QCOMPARE(f.zoomState(), 2);

        // A click in the slider's groove zooms both panes to the clicked value.
        slider->resize(300, 20);
        slider->show();
        QVERIFY(QTest::qWaitForWindowExposed(slider.get()));
        QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, QPoint(290, 10));
        const double clicked = slider->value();
        QVERIFY(clicked > 5.0);
        QCOMPARE(a->currentScale(), double(float(clicked)));
        QCOMPARE(b->currentScale(), a->currentScale());
    }

    void zoomActions()
    {
        IQBAImageFrame& f = make(402, 302);
        f.setImages(picture(1600, 1200, Qt::darkRed), picture(1600, 1200, Qt::darkGreen));
        f.zoomActual();
        QCOMPARE(f.zoomState(), 1);
        QVERIFY(!actualAction.isEnabled());
        QVERIFY(fitAction.isEnabled());
        QVERIFY(outAction.isEnabled());
        f.zoomFit();
        QCOMPARE(f.zoomState(), 0);
        QVERIFY(!fitAction.isEnabled());
        QVERIFY(!outAction.isEnabled());
        QVERIFY(actualAction.isEnabled());
        f.zoomIn();
        QCOMPARE(f.zoomState(), 2);
        QCOMPARE(f.scale(), double(float(0.25 * 1.2)));
        QVERIFY(outAction.isEnabled());
        slider->setValue(10.0);
        QCOMPARE(f.zoomState(), 3);
        QVERIFY(!inAction.isEnabled());
        f.zoomOut();
        QCOMPARE(f.scale(), 8.0);
        f.closeImage();
        f.updateZoomAction();
        for (QAction* a : {&actualAction, &fitAction, &inAction, &outAction})
            QVERIFY(!a->isEnabled());
    }

    void currentImageReplacedInPlace()
    {
        IQBAImageFrame& f = make(402, 302);
        f.setImages(picture(1600, 1200, Qt::darkRed), picture(1600, 1200, Qt::darkGreen));
        slider->setValue(0.7);
        f.viewer()->paneA()->scrollBy(40, 30);
        const QRect r = f.viewer()->paneA()->imageRect();
        f.setCurrentImage(picture(1600, 1200, Qt::yellow), false);
        QCOMPARE(f.viewer()->paneA()->imageRect(), r);
        QCOMPARE(f.currentImage().pixelColor(1000, 1000), QColor(Qt::yellow));
        QCOMPARE(f.originalImage().pixelColor(1000, 1000), QColor(Qt::darkRed));
        QCOMPARE(edit->text(), QStringLiteral("70 %"));
        f.setCurrentImage(QImage(), false); // ignored
        QCOMPARE(f.currentImage().pixelColor(1000, 1000), QColor(Qt::yellow));
        f.setOriginalImage(QImage(), true); // closes pane B's picture
        QVERIFY(f.originalImage().isNull());
    }
};

QTEST_MAIN(TestBeforeAfter)
#include "tst_beforeafter.moc"
