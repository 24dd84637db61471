#include "CheckBoxWordWrap.h"
#include "ClickableLabel.h"
#include "QToast.h"
#include "RSValidators.h"
#include "TrianglePopupWidget.h"

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

class TestExtras : public QObject
{
    Q_OBJECT
private slots:
    void toastPlacement();
    void toastFadesAndHidesOnTimer();
    void toastHidesWithoutFadeAndDeletes();
    void toastReplacesContent();
    void intValidator_data();
    void intValidator();
    void doubleValidator_data();
    void doubleValidator();
    void popupGeometry_data();
    void popupGeometry();
    void popupContentMargins();
    void checkBoxLabelTogglesAndWraps();
    void clickableLabel();
};

void TestExtras::toastPlacement()
{
    QWidget parent;
    parent.resize(600, 400);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QToast toast(&parent);
    toast.setContent(new QLabel(QStringLiteral("Saved")));
    toast.resize(200, 50);
    toast.centre();
    toast.StartShowAnimation();
    QVERIFY(toast.isVisible());
    QCOMPARE(toast.pos(), QPoint(200, 175));
    QTRY_COMPARE(toast.opacity(), 1.0);
    // A negative relative position means none: the toast stays where it was put.
    QToast placed(&parent);
    placed.resize(100, 40);
    placed.move(33, 44);
    placed.setRelativePosition(-0.2, 0.5);
    placed.StartShowAnimation();
    QCOMPARE(placed.pos(), QPoint(33, 44));
}

void TestExtras::toastFadesAndHidesOnTimer()
{
    QWidget parent;
    parent.resize(300, 200);
    parent.show();
    QToast toast(&parent);
    toast.setContent(new QLabel(QStringLiteral("Hello")));
    toast.setHideDelay(400);
    QElapsedTimer clock;
    clock.start();
    toast.StartShowAnimation();
    QTRY_VERIFY_WITH_TIMEOUT(toast.opacity() > 0.99, 1000);
    QVERIFY(toast.isVisible());
    // Fading starts after the delay and ends 1 s later with the toast hidden.
    QTRY_VERIFY_WITH_TIMEOUT(toast.opacity() < 0.95, 2000);
    QVERIFY(clock.elapsed() >= 400);
    QVERIFY(toast.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!toast.isVisible(), 3000);
    QVERIFY(clock.elapsed() >= 1000);
}

void TestExtras::toastHidesWithoutFadeAndDeletes()
{
    QPointer<QToast> toast = new QToast;
    QCOMPARE(toast->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    toast->setDeleteOnHide(true);
    toast->setFadeOnHide(false);
    toast->StartShowAnimation();
    QVERIFY(toast->isVisible());
    toast->hideAfter(0); // no timer for nothing
    QTest::qWait(20);
    QVERIFY(toast->isVisible());
    toast->hideAfter(50);
    QTRY_VERIFY_WITH_TIMEOUT(toast.isNull(), 2000);
}

void TestExtras::toastReplacesContent()
{
    QToast toast;
    QPointer<QLabel> first = new QLabel(QStringLiteral("one"));
    toast.setContent(first);
    toast.setContent(nullptr);
    QCOMPARE(toast.content(), first.data());
    auto* second = new QLabel(QStringLiteral("two"));
    toast.setContent(second);
    QCOMPARE(toast.content(), second);
    QCOMPARE(second->parentWidget(), &toast);
    QTRY_VERIFY(first.isNull());
}

void TestExtras::intValidator_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("after");
    QTest::newRow("inside") << QStringLiteral("42") << int(QValidator::Acceptable) << QStringLiteral("42");
    QTest::newRow("top") << QStringLiteral("100") << int(QValidator::Acceptable) << QStringLiteral("100");
    QTest::newRow("above") << QStringLiteral("250") << int(QValidator::Invalid) << QStringLiteral("0");
    QTest::newRow("below") << QStringLiteral("-1") << int(QValidator::Invalid) << QStringLiteral("0");
    QTest::newRow("not a number") << QStringLiteral("abc") << int(QValidator::Acceptable) << QStringLiteral("abc");
    QTest::newRow("too long for 64 bits") << QStringLiteral("99999999999999999999")
                                          << int(QValidator::Invalid) << QStringLiteral("0");
    QTest::newRow("4294967296 does not wrap to 0") << QStringLiteral("4294967296")
                                                   << int(QValidator::Invalid) << QStringLiteral("0");
}

void TestExtras::intValidator()
{
    QFETCH(QString, input);
    QFETCH(int, state);
    QFETCH(QString, after);
    RSIntValidator v(0, 100.9);
    QCOMPARE(v.top(), 100);
    int pos = 0;
    QCOMPARE(int(v.validate(input, pos)), state);
    QCOMPARE(input, after);
    QString text = QStringLiteral("x");
    v.fixup(text);
    QCOMPARE(text, QStringLiteral("0"));
    RSIntValidator extreme(-1e300, 1e300);
    QCOMPARE(extreme.bottom(), std::numeric_limits<int>::min());
    QCOMPARE(extreme.top(), std::numeric_limits<int>::max());
}

void TestExtras::doubleValidator_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");
    QTest::newRow("two decimals") << QStringLiteral("0.25") << int(QValidator::Acceptable);
    QTest::newRow("three decimals") << QStringLiteral("0.125") << int(QValidator::Invalid);
    QTest::newRow("minus") << QStringLiteral("-") << int(QValidator::Intermediate);
    QTest::newRow("empty") << QString() << int(QValidator::Intermediate);
    QTest::newRow("top") << QStringLiteral("1") << int(QValidator::Acceptable);
    QTest::newRow("above") << QStringLiteral("1.01") << int(QValidator::Invalid);
    QTest::newRow("below") << QStringLiteral("-0.5") << int(QValidator::Invalid);
    QTest::newRow("garbage") << QStringLiteral("x1") << int(QValidator::Invalid);
}

void TestExtras::doubleValidator()
{
    QFETCH(QString, input);
    QFETCH(int, state);
    RSDoubleValidator v(0, 1, 2);
    v.setLocale(QLocale::c());
    int pos = 0;
    QCOMPARE(int(v.validate(input, pos)), state);
}

void TestExtras::popupGeometry_data()
{
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<int>("apexMin");
    QTest::addColumn<int>("apexMax");
    QTest::newRow("centred") << QPoint(400, 400) << 100 << 100;
    QTest::newRow("near the left screen edge") << QPoint(30, 400) << 12 << 30;
    QTest::newRow("at the left screen edge") << QPoint(0, 400) << 12 << 12;
    QTest::newRow("near the right screen edge") << QPoint(795, 400) << 100 << 188;
}

void TestExtras::popupGeometry()
{
    QFETCH(QPoint, anchor);
    QFETCH(int, apexMin);
    QFETCH(int, apexMax);
    TrianglePopupWidget popup(anchor, QSize(200, 80), QColor(0x30, 0x30, 0x30));
    QCOMPARE(popup.size(), QSize(200, 90));
    QCOMPARE(popup.geometry().bottom(), anchor.y() - 1);
    QCOMPARE(popup.geometry().left() + popup.apex().x(), anchor.x());
    QVERIFY2(popup.apex().x() >= apexMin && popup.apex().x() <= apexMax,
             qPrintable(QString::number(popup.apex().x())));
    QCOMPARE(popup.windowFlags() & Qt::WindowType_Mask, Qt::Popup);
}

void TestExtras::popupContentMargins()
{
    TrianglePopupWidget popup(QPoint(300, 300), QSize(200, 80), Qt::darkGray);
    auto* label = new QLabel(QStringLiteral("content"));
    popup.addWidget(label);
    QVERIFY(popup.layout());
    QCOMPARE(popup.layout()->contentsMargins(), QMargins(10, 10, 10, 20));
    popup.setContentsMargins(1, 2, 3, 4);
    QCOMPARE(popup.layout()->contentsMargins(), QMargins(1, 2, 3, 14));
    // Painting fills the body and the triangle and nothing beside the triangle.
    QImage img(popup.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    popup.render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    QVERIFY(qAlpha(img.pixel(100, 40)) == 255);
    QVERIFY(qAlpha(img.pixel(popup.apex().x(), 85)) > 0);
    QCOMPARE(qAlpha(img.pixel(2, 88)), 0);
}

void TestExtras::checkBoxLabelTogglesAndWraps()
{
    CheckBoxWordWrap box(QStringLiteral(
        "A long explanation that certainly does not fit on one line of a narrow check box"));
    QVERIFY(box.wordWrap());
    QVERIFY(box.QCheckBox::text().isEmpty());
    box.resize(120, 20);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const int wrapped = box.sizeHint().height();
    QVERIFY(wrapped > box.fontMetrics().height() * 2);
    box.setWordWrap(false);
    QVERIFY(box.sizeHint().height() < wrapped);
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QTest::mouseClick(box.label(), Qt::LeftButton);
    QVERIFY(box.isChecked());
    QCOMPARE(toggled.count(), 1);
    box.setProperty("text", QStringLiteral("Short"));
    QCOMPARE(box.label()->text(), QStringLiteral("Short"));
    box.setEnabled(false);
    QTest::mouseClick(box.label(), Qt::LeftButton);
    QVERIFY(box.isChecked());
}

void TestExtras::clickableLabel()
{
    ClickableLabel label(QStringLiteral("click me"));
    label.show();
    QSignalSpy clicked(&label, &ClickableLabel::clicked);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestExtras)
#include "tst_extras.moc"
