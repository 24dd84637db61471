#include <QtTest>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWindow>

#include "CFramelessWindow.h"
#include "CFramelessWindowHitTest.h"

namespace {
// A title bar of a spacer area, a label and a button, as the main window has.
struct TitleBarWindow {
    CFramelessWindow window;
    QWidget* bar = nullptr;
    QLabel* label = nullptr;
    QPushButton* button = nullptr;

    TitleBarWindow()
    {
        auto* central = new QWidget(&window);
        auto* column = new QVBoxLayout(central);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        bar = new QWidget(central);
        bar->setFixedHeight(32);
        auto* row = new QHBoxLayout(bar);
        row->setContentsMargins(6, 3, 6, 3);
        label = new QLabel(QStringLiteral("Title"), bar);
        label->setFixedWidth(80);
        row->addWidget(label);
        row->addStretch(1);
        button = new QPushButton(QStringLiteral("X"), bar);
        button->setFixedWidth(32);
        row->addWidget(button);
        column->addWidget(bar);
        auto* body = new QWidget(central);
        body->setMinimumHeight(100);
        column->addWidget(body, 1);
        window.setCentralWidget(central);
        window.setMinimumSize(200, 150);
        window.setGeometry(100, 100, 400, 300);
        window.addCaptionWidget(bar);
        window.addIgnoreWidget(label);
    }
};

QPoint globalOf(QWidget* w, QPoint local)
{
    return w->mapToGlobal(local);
}
} // namespace

class TestFrameless : public QObject {
    Q_OBJECT
private slots:
    void borderBands_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("widthResizable");
        QTest::addColumn<bool>("heightResizable");
        QTest::addColumn<int>("code");
        // Window (10, 20) 300 x 200, right edge x 310 and bottom y 220 exclusive, bands 8 wide.
        QTest::newRow("left edge") << QPoint(10, 100) << true << true << int(FramelessHitLeft);
        QTest::newRow("left band inner") << QPoint(17, 100) << true << true << int(FramelessHitLeft);
        QTest::newRow("past left band") << QPoint(18, 100) << true << true << int(FramelessHitNone);
        QTest::newRow("right edge") << QPoint(309, 100) << true << true << int(FramelessHitRight);
        QTest::newRow("right band inner") << QPoint(302, 100) << true << true << int(FramelessHitRight);
        QTest::newRow("before right band") << QPoint(301, 100) << true << true << int(FramelessHitNone);
        QTest::newRow("outside right") << QPoint(310, 100) << true << true << int(FramelessHitNone);
        QTest::newRow("top") << QPoint(150, 20) << true << true << int(FramelessHitTop);
        QTest::newRow("top inner") << QPoint(150, 27) << true << true << int(FramelessHitTop);
        QTest::newRow("below top") << QPoint(150, 28) << true << true << int(FramelessHitNone);
        QTest::newRow("bottom") << QPoint(150, 219) << true << true << int(FramelessHitBottom);
        QTest::newRow("bottom inner") << QPoint(150, 212) << true << true << int(FramelessHitBottom);
        QTest::newRow("outside bottom") << QPoint(150, 220) << true << true << int(FramelessHitNone);
        QTest::newRow("middle") << QPoint(150, 100) << true << true << int(FramelessHitNone);
        // Corners win over edges.
        QTest::newRow("top-left 3px in") << QPoint(13, 23) << true << true << int(FramelessHitTopLeft);
        QTest::newRow("top-right") << QPoint(305, 22) << true << true << int(FramelessHitTopRight);
        QTest::newRow("bottom-left") << QPoint(11, 215) << true << true << int(FramelessHitBottomLeft);
        QTest::newRow("bottom-right") << QPoint(309, 219) << true << true << int(FramelessHitBottomRight);
        // Fixed width: no left, right or corner codes; the top and bottom stay.
        QTest::newRow("fixed width left") << QPoint(12, 100) << false << true << int(FramelessHitNone);
        QTest::newRow("fixed width right") << QPoint(305, 100) << false << true << int(FramelessHitNone);
        QTest::newRow("fixed width corner") << QPoint(12, 22) << false << true << int(FramelessHitTop);
        QTest::newRow("fixed width bottom") << QPoint(150, 215) << false << true << int(FramelessHitBottom);
        // Fixed height: no top, bottom or corner codes.
        QTest::newRow("fixed height top") << QPoint(150, 22) << true << false << int(FramelessHitNone);
        QTest::newRow("fixed height corner") << QPoint(305, 215) << true << false << int(FramelessHitRight);
        QTest::newRow("fixed both corner") << QPoint(12, 22) << false << false << int(FramelessHitNone);
    }

    void borderBands()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, widthResizable);
        QFETCH(bool, heightResizable);
        QFETCH(int, code);
        QCOMPARE(framelessBorderHit(QRect(10, 20, 300, 200), point, 8, widthResizable, heightResizable), code);
    }

    void zeroBandWidthIsOnePixel()
    {
        const QRect r(0, 0, 100, 100);
        QCOMPARE(framelessBorderHit(r, QPoint(0, 50), 0, true, true), int(FramelessHitLeft));
        QCOMPARE(framelessBorderHit(r, QPoint(1, 50), 0, true, true), int(FramelessHitNone));
        QCOMPARE(framelessBorderHit(r, QPoint(99, 50), -5, true, true), int(FramelessHitRight));
    }

    void windowFlags()
    {
        CFramelessWindow w;
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.windowFlags() & Qt::WindowSystemMenuHint);
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(w.isResizeable());
        w.setResizeable(false);
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!w.isVisible());
    }

    void captionRule()
    {
        TitleBarWindow t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QList<QPointer<QWidget>> captions{QPointer<QWidget>(t.bar)};
        QList<QWidget*> ignored{t.label};
        const QPoint empty = globalOf(t.bar, QPoint(t.bar->width() / 2, 16));
        const QPoint onLabel = globalOf(t.label, QPoint(10, 5));
        const QPoint onButton = globalOf(t.button, QPoint(10, 10));
        const QPoint below = globalOf(t.bar, QPoint(t.bar->width() / 2, 40));
        QVERIFY(framelessCaptionHit(captions, ignored, empty));
        QVERIFY(framelessCaptionHit(captions, ignored, onLabel));
        QVERIFY(!framelessCaptionHit(captions, ignored, onButton));
        QVERIFY(!framelessCaptionHit(captions, ignored, below));
        // The label counts only while ignored.
        QVERIFY(!framelessCaptionHit(captions, {}, onLabel));
        // A child that is not ignored lets the next caption widget be tried.
        QList<QPointer<QWidget>> both{QPointer<QWidget>(t.bar), QPointer<QWidget>(t.button)};
        QVERIFY(framelessCaptionHit(both, ignored, onButton));
        // A destroyed caption widget is skipped.
        auto* gone = new QWidget(t.window.centralWidget());
        QList<QPointer<QWidget>> withGone{QPointer<QWidget>(gone), QPointer<QWidget>(t.bar)};
        delete gone;
        QVERIFY(framelessCaptionHit(withGone, ignored, empty));
        QVERIFY(!framelessCaptionHit(withGone, ignored, onButton));
    }

    void windowHitTest()
    {
        TitleBarWindow t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        const QRect g = t.window.frameGeometry();
        // Corners beat the caption, the caption beats nothing.
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(3, 3)), int(FramelessHitTopLeft));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(200, 3)), int(FramelessHitTop));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(200, 16)), int(FramelessHitCaption));
        QCOMPARE(t.window.hitTest(globalOf(t.label, QPoint(10, 5))), int(FramelessHitCaption));
        QCOMPARE(t.window.hitTest(globalOf(t.button, QPoint(10, 10))), int(FramelessHitNone));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(200, 150)), int(FramelessHitNone));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(g.width() - 1, g.height() - 1)),
                 int(FramelessHitBottomRight));
        // Not resizeable: no bands, the caption stays, the window stays shown.
        t.window.setResizeable(false);
        QVERIFY(t.window.isVisible());
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(3, 3)), int(FramelessHitCaption));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(3, 150)), int(FramelessHitNone));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(200, 16)), int(FramelessHitCaption));
        t.window.setResizeable(true);
        QVERIFY(t.window.isVisible());
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(g.width() - 2, 100)), int(FramelessHitRight));
        // A fixed width removes the side bands.
        t.window.setFixedWidth(g.width());
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(2, 150)), int(FramelessHitNone));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(2, g.height() - 2)), int(FramelessHitBottom));
    }

    void noBandsWhileMaximized()
    {
        TitleBarWindow t;
        t.window.setContentsMargins(2, 3, 4, 5);
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        t.window.showMaximized();
        QTRY_VERIFY(t.window.isMaximized());
        const QRect g = t.window.frameGeometry();
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(1, 1)), int(FramelessHitNone));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(g.width() - 1, g.height() / 2)), int(FramelessHitNone));
        QCOMPARE(t.window.hitTest(g.topLeft() + QPoint(g.width() / 2, g.height() - 1)), int(FramelessHitNone));
        // The owner's margins are reported unchanged while maximised and after.
        QCOMPARE(t.window.contentsMargins(), QMargins(2, 3, 4, 5));
        int l = 0, tp = 0, r = 0, b = 0;
        t.window.getContentsMargins(&l, &tp, &r, &b);
        QCOMPARE(QMargins(l, tp, r, b), QMargins(2, 3, 4, 5));
        QCOMPARE(t.window.contentsRect(), t.window.rect().marginsRemoved(QMargins(2, 3, 4, 5)));
        t.window.showNormal();
        QTRY_VERIFY(!t.window.isMaximized());
        QCOMPARE(t.window.contentsMargins(), QMargins(2, 3, 4, 5));
        t.window.showMaximized();
        QTRY_VERIFY(t.window.isMaximized());
        t.window.showFullScreen();
        QTRY_VERIFY(t.window.isFullScreen());
        QCOMPARE(t.window.contentsMargins(), QMargins(2, 3, 4, 5));
    }

    void doubleClickOnCaptionMaximizes()
    {
        TitleBarWindow t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QWindow* handle = t.window.windowHandle();
        const QPoint local = t.bar->mapTo(&t.window, QPoint(t.bar->width() / 2, 16));
        QTest::mouseDClick(handle, Qt::LeftButton, {}, local);
        QTRY_VERIFY(t.window.isMaximized());
        QTest::mouseDClick(handle, Qt::LeftButton, {}, t.bar->mapTo(&t.window, QPoint(t.bar->width() / 2, 16)));
        QTRY_VERIFY(!t.window.isMaximized());
        // Double-clicking the button does not maximise; the button gets its clicks.
        QSignalSpy clicked(t.button, &QPushButton::clicked);
        QTest::mouseClick(handle, Qt::LeftButton, {}, t.button->mapTo(&t.window, QPoint(10, 10)));
        QCOMPARE(clicked.count(), 1);
        QTest::mouseDClick(handle, Qt::LeftButton, {}, t.button->mapTo(&t.window, QPoint(10, 10)));
        QTest::qWait(20);
        QVERIFY(!t.window.isMaximized());
    }

    void fallbackMove()
    {
        TitleBarWindow t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QWindow* handle = t.window.windowHandle();
        const QPoint start = t.window.pos();
        const QPoint grab = t.bar->mapTo(&t.window, QPoint(t.bar->width() / 2, 16));
        QTest::mousePress(handle, Qt::LeftButton, {}, grab);
        QTest::mouseMove(handle, grab + QPoint(30, 20));
        // The window follows, so the mouse stays on the same spot of it.
        QTest::mouseMove(handle, grab + QPoint(30, 20) - (t.window.pos() - start) + QPoint(10, 5));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grab);
        if (!t.window.usedFallbackMove())
            QSKIP("the window system moved the window itself");
        QCOMPARE(t.window.pos(), start + QPoint(40, 25));
        // Size untouched; later moves without the button change nothing.
        QCOMPARE(t.window.size(), QSize(400, 300));
        const QPoint after = t.window.pos();
        QTest::mouseMove(handle, grab + QPoint(60, 60));
        QCOMPARE(t.window.pos(), after);
        // Pressing a button in the title bar does not move the window.
        QTest::mousePress(handle, Qt::LeftButton, {}, t.button->mapTo(&t.window, QPoint(5, 5)));
        QTest::mouseMove(handle, t.button->mapTo(&t.window, QPoint(5, 5)) + QPoint(20, 20));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, t.button->mapTo(&t.window, QPoint(5, 5)));
        QCOMPARE(t.window.pos(), after);
    }

    void fallbackResize_data()
    {
        QTest::addColumn<QPoint>("grab");     // in window coordinates, -1 means the far edge
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected"); // relative to the start geometry (dx, dy, dw, dh)
        QTest::newRow("right") << QPoint(-3, 150) << QPoint(50, 0) << QRect(0, 0, 50, 0);
        QTest::newRow("bottom") << QPoint(200, -3) << QPoint(0, 40) << QRect(0, 0, 0, 40);
        QTest::newRow("left grows") << QPoint(2, 150) << QPoint(-30, 0) << QRect(-30, 0, 30, 0);
        QTest::newRow("top shrinks") << QPoint(200, 2) << QPoint(0, 50) << QRect(0, 50, 0, -50);
        QTest::newRow("bottom-right") << QPoint(-2, -2) << QPoint(25, 35) << QRect(0, 0, 25, 35);
        QTest::newRow("top-left") << QPoint(3, 3) << QPoint(-20, -10) << QRect(-20, -10, 20, 10);
        // The minimum size (200 x 150) holds, and the opposite edge stays put.
        QTest::newRow("left to minimum") << QPoint(2, 150) << QPoint(350, 0) << QRect(200, 0, -200, 0);
        QTest::newRow("top to minimum") << QPoint(200, 2) << QPoint(0, 250) << QRect(0, 150, 0, -150);
        QTest::newRow("right to minimum") << QPoint(-2, 150) << QPoint(-500, 0) << QRect(0, 0, -200, 0);
    }

    void fallbackResize()
    {
        QFETCH(QPoint, grab);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        TitleBarWindow t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QWindow* handle = t.window.windowHandle();
        const QRect start = t.window.geometry();
        QPoint p(grab.x() < 0 ? start.width() + grab.x() : grab.x(),
                 grab.y() < 0 ? start.height() + grab.y() : grab.y());
        const QPoint global = t.window.mapToGlobal(p);
        QTest::mousePress(handle, Qt::LeftButton, {}, p);
        // Moves are sent by global position: the window moves under the mouse.
        QMouseEvent move(QEvent::MouseMove, QPointF(p + delta), QPointF(global + delta), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p + delta), QPointF(global + delta),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &release);
        if (!t.window.usedFallbackMove())
            QSKIP("the window system resized the window itself");
        const QRect want(start.x() + expected.x(), start.y() + expected.y(), start.width() + expected.width(),
                         start.height() + expected.height());
        QCOMPARE(t.window.geometry(), want);
    }

    void resizeCursor()
    {
        TitleBarWindow t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QWindow* handle = t.window.windowHandle();
        // Qt drops a move to the position the mouse already has.
        QTest::mouseMove(handle, QPoint(201, 151));
        QTest::mouseMove(handle, QPoint(t.window.width() - 2, 150));
        QCOMPARE(handle->cursor().shape(), Qt::SizeHorCursor);
        QTest::mouseMove(handle, QPoint(2, 2));
        QCOMPARE(handle->cursor().shape(), Qt::SizeFDiagCursor);
        QTest::mouseMove(handle, QPoint(t.window.width() - 2, t.window.height() - 2));
        QCOMPARE(handle->cursor().shape(), Qt::SizeFDiagCursor);
        QTest::mouseMove(handle, QPoint(t.window.width() - 2, 2));
        QCOMPARE(handle->cursor().shape(), Qt::SizeBDiagCursor);
        QTest::mouseMove(handle, QPoint(200, t.window.height() - 1));
        QCOMPARE(handle->cursor().shape(), Qt::SizeVerCursor);
        QTest::mouseMove(handle, QPoint(200, 150));
        QCOMPARE(handle->cursor().shape(), Qt::ArrowCursor);
        // No resize cursor while maximised.
        t.window.showMaximized();
        QTRY_VERIFY(t.window.isMaximized());
        QTest::mouseMove(handle, QPoint(t.window.width() - 2, 150));
        QCOMPARE(handle->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestFrameless)
#include "tst_frameless.moc"
