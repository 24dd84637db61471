// The zoom state and action switching both image frames share.
#include "ImageViewerTypes.h"
#include "ZoomActions.h"

#include <QAction>
#include <QtTest>

class TestZoomActions : public QObject
{
    Q_OBJECT
private slots:
    void state_data();
    void state();
    void actionsFollowState_data();
    void actionsFollowState();
};

void TestZoomActions::state_data()
{
    QTest::addColumn<int>("fitMode");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("expected");
    QTest::newRow("fitted") << int(FIT_WINDOW) << 0.01 << 0;
    QTest::newRow("original size") << int(FIT_ORIGINAL) << 10.0 << 1;
    QTest::newRow("fit width counts as free") << int(FIT_WIDTH) << 0.5 << 2;
    QTest::newRow("free") << int(FIT_FREE) << 0.5 << 2;
    QTest::newRow("at maximum") << int(FIT_FREE) << 10.0 << 3;
    QTest::newRow("within a millionth of maximum") << int(FIT_FREE) << 10.0 - 5e-7 << 3;
    QTest::newRow("at minimum") << int(FIT_FREE) << 0.01 << 4;
    QTest::newRow("just above minimum") << int(FIT_FREE) << 0.01 + 1e-5 << 2;
}

void TestZoomActions::state()
{
    QFETCH(int, fitMode);
    QFETCH(double, scale);
    QFETCH(int, expected);
    QCOMPARE(zoomStateOf(fitMode, scale, 0.01, 10.0), expected);
}

void TestZoomActions::actionsFollowState_data()
{
    QTest::addColumn<bool>("hasPicture");
    QTest::addColumn<int>("state");
    // fit, original, in, out
    QTest::addColumn<QList<bool>>("enabled");
    QTest::newRow("no picture") << false << 2 << QList<bool>{false, false, false, false};
    QTest::newRow("fitted") << true << 0 << QList<bool>{false, true, true, false};
    QTest::newRow("original size") << true << 1 << QList<bool>{true, false, true, true};
    QTest::newRow("free") << true << 2 << QList<bool>{true, true, true, true};
    QTest::newRow("at maximum") << true << 3 << QList<bool>{true, true, false, true};
    QTest::newRow("at minimum") << true << 4 << QList<bool>{true, true, true, false};
}

void TestZoomActions::actionsFollowState()
{
    QFETCH(bool, hasPicture);
    QFETCH(int, state);
    QFETCH(QList<bool>, enabled);
    QAction fit, original, in, out;
    for (QAction* a : {&fit, &original, &in, &out})
        a->setEnabled(!hasPicture);
    ZoomActions actions{&fit, &original, &in, &out};
    actions.update(hasPicture, state);
    QCOMPARE(fit.isEnabled(), enabled[0]);
    QCOMPARE(original.isEnabled(), enabled[1]);
    QCOMPARE(in.isEnabled(), enabled[2]);
    QCOMPARE(out.isEnabled(), enabled[3]);
    // Missing actions are allowed.
    ZoomActions none;
    none.update(hasPicture, state);
}

QTEST_MAIN(TestZoomActions)
#include "tst_zoomactions.moc"
