// The press and release handling shared by the two value sliders, run on both.
#include "WidgetTestUtil.h"

#include "QContinuesSlider.h"
#include "QDoubleSlider.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace widgettest;

namespace {
// Either slider at integer range 0..1000, position 500, 400 px wide, with
// spies on its final and in-drag signals whatever their argument types.
struct SliderUnderTest {
    std::unique_ptr<QSlider> slider;
    std::unique_ptr<QSignalSpy> changed;
    std::unique_ptr<QSignalSpy> changing;
    QSlider* get() const { return slider.get(); }
};

SliderUnderTest makeSlider(bool isDouble, bool continuous)
{
    SliderUnderTest s;
    if (isDouble) {
        auto* d = new QDoubleSlider;
        d->setRange(0.0, 0.1);
        d->setValue(0.05, true);
        d->setContinuous(continuous);
        s.slider.reset(d);
        s.changed = std::make_unique<QSignalSpy>(d, qOverload<double>(&QDoubleSlider::valueChanged));
        s.changing = std::make_unique<QSignalSpy>(d, &QDoubleSlider::valueChanging);
    } else {
        auto* c = new QContinuesSlider;
        c->setRange(0, 1000);
        c->setValue(500, true);
        c->setContinuous(continuous);
        s.slider.reset(c);
        s.changed = std::make_unique<QSignalSpy>(c, &QSlider::valueChanged);
        s.changing = std::make_unique<QSignalSpy>(c, &QContinuesSlider::valueChanging);
    }
    s.slider->resize(400, 24);
    return s;
}
} // namespace

class TestClickJumpSlider : public QObject
{
    Q_OBJECT
private slots:
    void stillQSliderToMetaObjects();
    void heldDragReportsOnceOnRelease_data();
    void heldDragReportsOnceOnRelease();
    void clickOffHandleJumpsOnce_data();
    void clickOffHandleJumpsOnce();
    void wheelIsLeftToParent_data();
    void wheelIsLeftToParent();
};

void TestClickJumpSlider::stillQSliderToMetaObjects()
{
    QCOMPARE(QDoubleSlider::staticMetaObject.superClass(), &QSlider::staticMetaObject);
    QCOMPARE(QContinuesSlider::staticMetaObject.superClass(), &QSlider::staticMetaObject);
    QDoubleSlider d;
    QCOMPARE(qobject_cast<QSlider*>(static_cast<QObject*>(&d)), static_cast<QSlider*>(&d));
}

static void addKinds()
{
    QTest::addColumn<bool>("isDouble");
    QTest::newRow("QContinuesSlider") << false;
    QTest::newRow("QDoubleSlider") << true;
}

void TestClickJumpSlider::heldDragReportsOnceOnRelease_data()
{
    addKinds();
}

// A non-continuous slider stays silent while dragged, reports the settled
// value once on release and gives back the signal state it found.
void TestClickJumpSlider::heldDragReportsOnceOnRelease()
{
    QFETCH(bool, isDouble);
    SliderUnderTest s = makeSlider(isDouble, false);
    s.get()->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.get()));
    const QPoint start = handleCentre(s.get());
    QTest::mousePress(s.get(), Qt::LeftButton, Qt::NoModifier, start);
    QVERIFY(s.get()->signalsBlocked());
    for (int dx = 20; dx <= 80; dx += 20)
        sendMove(s.get(), start + QPoint(dx, 0), Qt::LeftButton);
    QCOMPARE(s.changing->count(), 0);
    QCOMPARE(s.changed->count(), 0);
    QTest::mouseRelease(s.get(), Qt::LeftButton, Qt::NoModifier, start + QPoint(80, 0));
    QVERIFY(!s.get()->signalsBlocked());
    QCOMPARE(s.changed->count(), 1);
    QVERIFY(s.get()->value() > 500);
    const double reported = s.changed->at(0).at(0).toDouble();
    QCOMPARE(reported, isDouble ? s.get()->value() / 10000.0 : double(s.get()->value()));
}

void TestClickJumpSlider::clickOffHandleJumpsOnce_data()
{
    addKinds();
}

void TestClickJumpSlider::clickOffHandleJumpsOnce()
{
    QFETCH(bool, isDouble);
    SliderUnderTest s = makeSlider(isDouble, true);
    s.get()->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.get()));
    const QPoint at(50, 12);
    QVERIFY(std::abs(handleCentre(s.get()).x() - at.x()) > 40);
    QTest::mousePress(s.get(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(s.get(), Qt::LeftButton, Qt::NoModifier, at);
    const int expected = int(std::trunc(50.0 / 400 * 1000));
    QCOMPARE(s.get()->value(), expected);
    // One report for the jump; the release after a jump adds none.
    QCOMPARE(s.changed->count(), 1);
    QCOMPARE(s.changing->count(), 0);
}

void TestClickJumpSlider::wheelIsLeftToParent_data()
{
    addKinds();
}

void TestClickJumpSlider::wheelIsLeftToParent()
{
    QFETCH(bool, isDouble);
    SliderUnderTest s = makeSlider(isDouble, true);
    s.get()->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.get()));
    QVERIFY(!sendWheel(s.get(), QPoint(200, 12), -120));
    QCOMPARE(s.get()->value(), 500);
    QCOMPARE(s.changed->count(), 0);
}

QTEST_MAIN(TestClickJumpSlider)
#include "tst_clickjumpslider.moc"
