#include "PixmapButton.h"
#include "QToolBoxWidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestToolBox : public QObject
{
    Q_OBJECT
private slots:
    void iconsAreCompiledIn();
    void headerTogglesContent();
    void notCollapsibleIgnoresHeader();
    void extraWidgetsFollowContent();
    void resetButtonEmitsKey_data();
    void resetButtonEmitsKey();
    void actionEnabled();
    void pixmapButtonPaintsHalfSizeCentred();
    void fixedSizeSurvivesStyleSheet();
};

void TestToolBox::iconsAreCompiledIn()
{
    for (const char* path : {":/vh/icon/Icon_ret.png", ":/vh/icon/Icon_ex.png",
                             ":/vh/icon/restore_small.png", ":/vh/icon/Icon_ret@2x.png",
                             ":/vh/icon/step-backward.png", ":/vh/icon/icon_export.png",
                             ":/vh/icon/icon_fit_in.png", ":/vh/icon/icon-actual_size.png",
                             ":/commonRes/Icon_BAN.png", ":/commonRes/icon_view.png"}) {
        const QPixmap pixmap(QString::fromLatin1(path));
        QVERIFY2(!pixmap.isNull(), path);
    }
    QCOMPARE(QPixmap(QStringLiteral(":/vh/icon/Icon_ret.png")).size(), QSize(9, 9));
    QCOMPARE(QPixmap(QStringLiteral(":/vh/icon/restore_small.png")).size(), QSize(32, 32));
}

void TestToolBox::headerTogglesContent()
{
    QToolBoxWidget box(nullptr, 1);
    auto* content = new QLabel(QStringLiteral("content"));
    box.setContent(QStringLiteral("Smart Tone"), content, true);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(content->isVisible());
    QVERIFY(box.isExpanded());
    QCOMPARE(box.arrowIcon(), QStringLiteral(":/vh/icon/Icon_ex.png"));
    auto* arrow = box.findChild<QPushButton*>(QStringLiteral("closureButn"))->findChild<QLabel*>();
    QVERIFY(arrow);
    QVERIFY(!arrow->pixmap().isNull());

    auto* header = box.findChild<QPushButton*>(QStringLiteral("closureButn"));
    QTest::mouseClick(header, Qt::LeftButton);
    QVERIFY(!content->isVisible());
    QVERIFY(!box.isExpanded());
    QCOMPARE(box.arrowIcon(), QStringLiteral(":/vh/icon/Icon_ret.png"));

    QTest::mouseClick(header, Qt::LeftButton);
    QVERIFY(content->isVisible());

    QToolBoxWidget collapsed;
    auto* hidden = new QLabel;
    collapsed.setContent(QStringLiteral("HDR"), hidden, false);
    collapsed.show();
    QVERIFY(!hidden->isVisible());
    QCOMPARE(collapsed.arrowIcon(), QStringLiteral(":/vh/icon/Icon_ret.png"));
}

void TestToolBox::notCollapsibleIgnoresHeader()
{
    QToolBoxWidget box;
    auto* content = new QLabel;
    box.setContent(QStringLiteral("Denoise"), content, true);
    box.setCollapsible(false);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* header = box.findChild<QPushButton*>(QStringLiteral("closureButn"));
    QTest::mouseClick(header, Qt::LeftButton);
    QVERIFY(content->isVisible());
    QVERIFY(!header->findChild<QLabel*>()->isVisible());
}

void TestToolBox::extraWidgetsFollowContent()
{
    QWidget window;
    auto* box = new QToolBoxWidget(&window);
    auto* extra = new QLabel(&window);
    box->addExtraWidget(extra);
    box->setContent(QStringLiteral("Vignetting"), new QLabel, true);
    window.show();
    QVERIFY(extra->isVisible());
    box->collapse();
    QVERIFY(!extra->isVisible());
    box->expand();
    QVERIFY(extra->isVisible());
}

void TestToolBox::resetButtonEmitsKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("emitted");
    QTest::newRow("no key") << QString() << 0;
    QTest::newRow("key") << QStringLiteral("imageRadiance") << 1;
}

void TestToolBox::resetButtonEmitsKey()
{
    QFETCH(QString, key);
    QFETCH(int, emitted);
    QToolBoxWidget box;
    box.setContent(QStringLiteral("Image Radiance"), new QLabel, true);
    if (!key.isEmpty())
        box.setKey(key);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy spy(&box, &QToolBoxWidget::actionTrigged);
    auto* reset = box.findChild<PixmapButton*>(QStringLiteral("actionButn"));
    QCOMPARE(reset->size(), QSize(16, 16));
    QTest::mouseClick(reset, Qt::LeftButton);
    QCOMPARE(spy.count(), emitted);
    if (emitted)
        QCOMPARE(spy.at(0).at(0).toString(), key);
}

void TestToolBox::actionEnabled()
{
    QToolBoxWidget box;
    auto* content = new QLabel;
    box.setContent(QStringLiteral("Color Filter"), content, true);
    box.setActionEnabled(false);
    QVERIFY(!box.findChild<PixmapButton*>()->isEnabled());
    QVERIFY(!content->isEnabled());
    box.setActionEnabled(true);
    QVERIFY(content->isEnabled());
}

void TestToolBox::pixmapButtonPaintsHalfSizeCentred()
{
    if (qApp->devicePixelRatio() != 1.0)
        QSKIP("standard-density screen needed");
    PixmapButton button;
    QPixmap red(32, 32);
    red.fill(Qt::red);
    button.setPixmap(red);
    QVERIFY(!button.isHighDensity());
    QCOMPARE(button.size(), QSize(32, 32));
    const QImage shot = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int minX = 32, minY = 32, maxX = -1, maxY = -1;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == qRgb(255, 0, 0)) {
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxX = std::max(maxX, x);
                maxY = std::max(maxY, y);
            }
    QCOMPARE(QRect(QPoint(minX, minY), QPoint(maxX, maxY)), QRect(8, 8, 16, 16));
}

void TestToolBox::fixedSizeSurvivesStyleSheet()
{
    qApp->setStyleSheet(QStringLiteral("QPushButton{min-height:20px;padding:4px 12px;}"));
    QToolBoxWidget box;
    box.setContent(QStringLiteral("HDR"), new QLabel(QStringLiteral("x")), true);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* reset = box.findChild<PixmapButton*>(QStringLiteral("actionButn"));
    QCOMPARE(reset->size(), QSize(16, 16));
    // The title keeps the header's full height rather than the padded one.
    auto* header = box.findChild<QPushButton*>(QStringLiteral("closureButn"));
    const QLabel* title = header->findChildren<QLabel*>().last();
    QVERIFY(title->height() >= title->sizeHint().height());
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(TestToolBox)
#include "tst_toolbox.moc"
