#include "WidgetTestUtil.h"

#include "QContinuesSlider.h"
#include "QDoubleSlider.h"
#include "QNoMouseWheelWidgets.h"
#include "QSliderWidget.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

using namespace widgettest;

class TestSliders : public QObject
{
    Q_OBJECT
private slots:
    void rowLoadIsSilent();
    void rowBlockRestoresPreviousStates();
    void rowClickInGroove_data();
    void rowClickInGroove();
    void rowDragGivesChangingThenOneFinal();
    void rowSpinBoxTypingMovesSliderOnce();
    void wheelOverControlsScrollsPanel();
    void doubleSliderSetValueOneSignal();
    void doubleSliderClickExactPosition_data();
    void doubleSliderClickExactPosition();
    void doubleSliderDragOneSignalPerStep();
    void heldDragReportsOnceOnRelease_data();
    void heldDragReportsOnceOnRelease();
};

void TestSliders::rowLoadIsSilent()
{
    QSliderWidget row;
    row.setKey(QStringLiteral("exposure"));
    QSignalSpy changed(&row, &QSliderWidget::propertyValueChanged);
    QSignalSpy changing(&row, &QSliderWidget::propertyValueChanging);
    row.setRange(-100, 100);
    row.setValue(-40);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(changing.count(), 0);
    auto* spin = row.findChild<QSpinBox*>(QStringLiteral("valueSpinBox"));
    auto* slider = row.findChild<QContinuesSlider*>(QStringLiteral("valueSlider"));
    QVERIFY(spin && slider);
    QCOMPARE(spin->value(), -40);
    QCOMPARE(slider->value(), -40);
    QCOMPARE(spin->minimum(), -100);
    QCOMPARE(slider->maximum(), 100);
    // Signals flow again afterwards.
    slider->setValue(10, false);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(spin->value(), 10);
}

void TestSliders::rowBlockRestoresPreviousStates()
{
    QSliderWidget row;
    auto* spin = row.findChild<QSpinBox*>(QStringLiteral("valueSpinBox"));
    spin->blockSignals(true);
    row.setValue(30);
    QVERIFY(spin->signalsBlocked());
    QVERIFY(!row.signalsBlocked());
    QVERIFY(!row.findChild<QSlider*>()->signalsBlocked());

    row.blockSignals(true);
    row.setRange(0, 50);
    QVERIFY(row.signalsBlocked());
}

void TestSliders::rowClickInGroove_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("expected");
    QTest::newRow("quarter") << 400 << 100 << 25;
    QTest::newRow("three quarters") << 400 << 300 << 75;
    QTest::newRow("truncates") << 345 << 86 << 24;
}

void TestSliders::rowClickInGroove()
{
    QFETCH(int, width);
    QFETCH(int, x);
    QFETCH(int, expected);
    QSliderWidget row;
    row.setKey(QStringLiteral("contrast"));
    row.resize(width, 60);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    auto* slider = row.findChild<QContinuesSlider*>();
    QCOMPARE(slider->width(), width);
    QSignalSpy changed(&row, &QSliderWidget::propertyValueChanged);
    QSignalSpy changing(&row, &QSliderWidget::propertyValueChanging);
    const QPoint at(x, slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, at);
    // One report for the jump; the release after a jump adds none.
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changing.count(), 0);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("contrast"));
    QCOMPARE(changed.at(0).at(1).toInt(), expected);
    QCOMPARE(row.findChild<QSpinBox*>()->value(), expected);
}

void TestSliders::rowDragGivesChangingThenOneFinal()
{
    QSliderWidget row;
    row.setKey(QStringLiteral("gamma"));
    row.resize(400, 60);
    row.setValue(50);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    auto* slider = row.findChild<QContinuesSlider*>();
    auto* spin = row.findChild<QSpinBox*>();
    QSignalSpy changed(&row, &QSliderWidget::propertyValueChanged);
    QSignalSpy changing(&row, &QSliderWidget::propertyValueChanging);
    const QPoint start = handleCentre(slider);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, start);
    for (int dx = 10; dx <= 60; dx += 10)
        sendMove(slider, start + QPoint(dx, 0), Qt::LeftButton);
    QVERIFY(changing.count() >= 3);
    QCOMPARE(changed.count(), 0);
    const int during = changing.last().at(1).toInt();
    QVERIFY(during > 50);
    QCOMPARE(spin->value(), during);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, start + QPoint(60, 0));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toInt(), during);
    QCOMPARE(slider->value(), during);
}

void TestSliders::rowSpinBoxTypingMovesSliderOnce()
{
    QSliderWidget row;
    row.setKey(QStringLiteral("tint"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    auto* spin = row.findChild<QSpinBox*>();
    auto* slider = row.findChild<QContinuesSlider*>();
    QSignalSpy changed(&row, &QSliderWidget::propertyValueChanged);
    QSignalSpy sliderChanged(slider, &QSlider::valueChanged);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("42"));
    QCOMPARE(changed.count(), 0); // no keyboard tracking
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toInt(), 42);
    QCOMPARE(slider->value(), 42);
    QCOMPARE(sliderChanged.count(), 0);
}

void TestSliders::wheelOverControlsScrollsPanel()
{
    QScrollArea area;
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    auto* row = new QSliderWidget;
    row->setRange(0, 100);
    row->setValue(50);
    auto* combo = new QNoMouseWheelCombo;
    combo->addItems({QStringLiteral("Low"), QStringLiteral("Medium"), QStringLiteral("High")});
    combo->setCurrentIndex(1);
    auto* plainSlider = new QNoMouseWheelSlider(Qt::Horizontal);
    plainSlider->setValue(20);
    auto* doubleSlider = new QDoubleSlider;
    doubleSlider->setRange(0.0, 1.0);
    doubleSlider->setValue(0.5, true);
    layout->addWidget(row);
    layout->addWidget(combo);
    layout->addWidget(plainSlider);
    layout->addWidget(doubleSlider);
    for (int i = 0; i < 20; ++i)
        layout->addWidget(new QSliderWidget);
    area.setWidget(panel);
    area.setWidgetResizable(true);
    area.resize(300, 200);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QScrollBar* bar = area.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);

    QSignalSpy changed(row, &QSliderWidget::propertyValueChanged);
    auto* spin = row->findChild<QSpinBox*>();
    auto* slider = row->findChild<QContinuesSlider*>();
    int before = bar->value();
    sendWheel(spin, spin->rect().center(), -120);
    QVERIFY(bar->value() > before);
    before = bar->value();
    sendWheel(slider, slider->rect().center(), -120);
    QVERIFY(bar->value() > before);
    bar->setValue(0);
    before = bar->value();
    sendWheel(combo, combo->rect().center(), -120);
    QVERIFY(bar->value() > before);
    sendWheel(plainSlider, plainSlider->rect().center(), 120);
    before = bar->value();
    sendWheel(doubleSlider, doubleSlider->rect().center(), -120);
    QVERIFY(bar->value() > before);

    QCOMPARE(spin->value(), 50);
    QCOMPARE(slider->value(), 50);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(plainSlider->value(), 20);
    QCOMPARE(doubleSlider->value(), 0.5);
    QCOMPARE(changed.count(), 0);
}

void TestSliders::doubleSliderSetValueOneSignal()
{
    QDoubleSlider slider;
    slider.setRange(0.0, 1.0);
    QSignalSpy spy(&slider, qOverload<double>(&QDoubleSlider::valueChanged));
    slider.setValue(0.12345);
    QCOMPARE(static_cast<QSlider&>(slider).value(), 1234);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDouble(), 0.12345);

    slider.setValue(0.5, true);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(slider.value(), 0.5);

    // An integer change from outside is reported once, as a double.
    static_cast<QSlider&>(slider).setValue(2500);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toDouble(), 0.25);
}

void TestSliders::doubleSliderClickExactPosition_data()
{
    QTest::addColumn<int>("x");
    // On a 0..10 slider 333 px wide these positions give integers i for which
    // i / 10000.0 * 10000.0 truncates one unit short.
    QTest::newRow("x=95") << 95;
    QTest::newRow("x=136") << 136;
    QTest::newRow("x=201") << 201;
    QTest::newRow("x=150 (exact anyway)") << 150;
}

void TestSliders::doubleSliderClickExactPosition()
{
    QFETCH(int, x);
    QDoubleSlider slider;
    slider.setRange(0.0, 10.0);
    slider.setValue(0.0, true);
    slider.resize(333, 24);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    if (handleCentre(&slider).x() + 20 > x)
        QSKIP("the handle covers this position");
    QSignalSpy spy(&slider, qOverload<double>(&QDoubleSlider::valueChanged));
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 12));
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 12));
    const int expected = int(std::trunc(double(x) / 333 * 100000));
    QCOMPARE(static_cast<QSlider&>(slider).value(), expected);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDouble(), expected / 10000.0);
}

void TestSliders::doubleSliderDragOneSignalPerStep()
{
    QDoubleSlider slider;
    slider.setRange(0.0, 1.0);
    slider.setValue(0.5, true);
    slider.resize(400, 24);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy changed(&slider, qOverload<double>(&QDoubleSlider::valueChanged));
    QSignalSpy changing(&slider, &QDoubleSlider::valueChanging);
    const QPoint start = handleCentre(&slider);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, start);
    sendMove(&slider, start + QPoint(40, 0), Qt::LeftButton);
    sendMove(&slider, start + QPoint(80, 0), Qt::LeftButton);
    QCOMPARE(changing.count(), 2);
    QCOMPARE(changed.count(), 2);
    for (int i = 0; i < 2; ++i)
        QCOMPARE(changed.at(i).at(0).toDouble(), changing.at(i).at(0).toDouble());
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, start + QPoint(80, 0));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(slider.value(), changed.last().at(0).toDouble());
}

void TestSliders::heldDragReportsOnceOnRelease_data()
{
    QTest::addColumn<bool>("isDouble");
    QTest::newRow("QContinuesSlider") << false;
    QTest::newRow("QDoubleSlider") << true;
}

// A non-continuous slider stays silent while dragged, reports the settled
// value once on release and gives back the signal state it found.
void TestSliders::heldDragReportsOnceOnRelease()
{
    QFETCH(bool, isDouble);
    std::unique_ptr<QSlider> slider;
    std::unique_ptr<QSignalSpy> changed, changing;
    if (isDouble) {
        auto* d = new QDoubleSlider;
        d->setRange(0.0, 0.1);
        d->setValue(0.05, true);
        d->setContinuous(false);
        changed = std::make_unique<QSignalSpy>(d, qOverload<double>(&QDoubleSlider::valueChanged));
        changing = std::make_unique<QSignalSpy>(d, &QDoubleSlider::valueChanging);
        slider.reset(d);
    } else {
        auto* c = new QContinuesSlider;
        c->setRange(0, 1000);
        c->setValue(500, true);
        c->setContinuous(false);
        changed = std::make_unique<QSignalSpy>(c, &QSlider::valueChanged);
        changing = std::make_unique<QSignalSpy>(c, &QContinuesSlider::valueChanging);
        slider.reset(c);
    }
    slider->resize(400, 24);
    slider->show();
    QVERIFY(QTest::qWaitForWindowExposed(slider.get()));
    const QPoint start = handleCentre(slider.get());
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, start);
    QVERIFY(slider->signalsBlocked());
    for (int dx = 20; dx <= 80; dx += 20)
        sendMove(slider.get(), start + QPoint(dx, 0), Qt::LeftButton);
    QCOMPARE(changing->count(), 0);
    QCOMPARE(changed->count(), 0);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, start + QPoint(80, 0));
    QVERIFY(!slider->signalsBlocked());
    QCOMPARE(changed->count(), 1);
    QVERIFY(slider->value() > 500);
    const double reported = changed->at(0).at(0).toDouble();
    QCOMPARE(reported, isDouble ? slider->value() / 10000.0 : double(slider->value()));
}

QTEST_MAIN(TestSliders)
#include "tst_sliders.moc"
