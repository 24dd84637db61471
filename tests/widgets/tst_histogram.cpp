#include "QHistogramWidget.h"

#include <QtTest>

class TestHistogram : public QObject
{
    Q_OBJECT
private slots:
    void primaries_data();
    void primaries();
    void transparentPixelsNotCounted();
    void twoLevelsNormalised();
    void paintsBarsAndBackground();
    void narrowWidgetKeepsEveryBar_data();
    void narrowWidgetKeepsEveryBar();
    void nullImageClears();
    void degenerateSizes();
};

void TestHistogram::primaries_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("bin");
    QTest::newRow("red") << QColor(255, 0, 0) << 87;
    QTest::newRow("green") << QColor(0, 255, 0) << 127;
    QTest::newRow("blue") << QColor(0, 0, 255) << 39;
    QTest::newRow("grey 128") << QColor(128, 128, 128) << 128;
    QTest::newRow("white") << QColor(255, 255, 255) << 255;
}

void TestHistogram::primaries()
{
    QFETCH(QColor, colour);
    QFETCH(int, bin);
    QImage img(40, 30, QImage::Format_RGB888);
    img.fill(colour);
    QHistogramWidget w;
    w.setImage(img);
    QCOMPARE(w.bins().size(), 256);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(w.bins().at(i), i == bin ? 1.0 : 0.0);
}

void TestHistogram::transparentPixelsNotCounted()
{
    QImage img(256, 10, QImage::Format_ARGB32);
    img.fill(qRgba(200, 200, 200, 127));
    QHistogramWidget w;
    w.setImage(img);
    QCOMPARE(w.bins().size(), 256);
    for (double v : w.bins())
        QCOMPARE(v, 0.0);
    w.resize(256, 50);
    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.pixelColor(128, 25), QColor(0x22, 0x22, 0x22));
}

void TestHistogram::twoLevelsNormalised()
{
    // One white row and three black rows at width 256 (no reduction).
    QImage img(256, 4, QImage::Format_RGB32);
    img.fill(Qt::black);
    for (int x = 0; x < 256; ++x)
        img.setPixel(x, 0, qRgb(255, 255, 255));
    const QVector<double> raw =
        QHistogramWidget::computeHistogram(img.convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(raw.at(0), 768.0);
    QCOMPARE(raw.at(255), 256.0);
    QHistogramWidget w;
    w.setImage(img);
    QCOMPARE(w.bins().at(0), 1.0);
    QCOMPARE(w.bins().at(255), 1.0 / 3.0);
}

void TestHistogram::paintsBarsAndBackground()
{
    QImage img(256, 2, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 128));
    QHistogramWidget w;
    w.setImage(img);
    w.resize(512, 100);
    const QImage shot = w.grab().toImage();
    const QColor bar(0xf4, 0xf4, 0xf4), bg(0x22, 0x22, 0x22);
    // Bin 128 covers columns 256 and 257 at full height.
    QCOMPARE(shot.pixelColor(256, 0), bar);
    QCOMPARE(shot.pixelColor(257, 99), bar);
    QCOMPARE(shot.pixelColor(255, 99), bg);
    QCOMPARE(shot.pixelColor(258, 50), bg);
    QCOMPARE(shot.pixelColor(0, 99), bg);

    w.setBackgroundColor(Qt::black);
    QCOMPARE(w.grab().toImage().pixelColor(10, 10), QColor(Qt::black));
}

void TestHistogram::narrowWidgetKeepsEveryBar_data()
{
    QTest::addColumn<int>("grey");
    QTest::addColumn<int>("width");
    // The editing page's histogram is about 240 pixels wide: fewer columns
    // than bins, so some bins share a column. Bin 0 (clipped blacks) is one.
    QTest::newRow("black, 240 wide") << 0 << 240;
    QTest::newRow("grey 16, 240 wide") << 16 << 240;
    QTest::newRow("white, 240 wide") << 255 << 240;
    QTest::newRow("black, 100 wide") << 0 << 100;
    QTest::newRow("grey 200, 7 wide") << 200 << 7;
}

void TestHistogram::narrowWidgetKeepsEveryBar()
{
    QFETCH(int, grey);
    QFETCH(int, width);
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(qRgb(grey, grey, grey));
    QHistogramWidget w;
    w.setImage(img);
    QCOMPARE(w.bins().at(grey), 1.0);
    w.resize(width, 50);
    const QImage shot = w.grab().toImage();
    const QColor bar(0xf4, 0xf4, 0xf4);
    const int column = int(std::trunc(grey * double(width) / 256));
    QCOMPARE(shot.pixelColor(column, 0), bar);
    QCOMPARE(shot.pixelColor(column, 49), bar);
    // One bar only: every other column is background.
    int barColumns = 0;
    for (int x = 0; x < width; ++x)
        barColumns += shot.pixelColor(x, 25) == bar ? 1 : 0;
    QCOMPARE(barColumns, 1);
}

void TestHistogram::nullImageClears()
{
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::white);
    QHistogramWidget w;
    w.setImage(img);
    QCOMPARE(w.bins().size(), 256);
    w.setImage(QImage());
    QVERIFY(w.bins().isEmpty());
    w.resize(100, 40);
    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.pixelColor(50, 39), QColor(0x22, 0x22, 0x22));
}

void TestHistogram::degenerateSizes()
{
    QHistogramWidget w;
    // So wide that the reduced height rounds to nothing: no crash, no bars.
    QImage line(20000, 1, QImage::Format_RGB32);
    line.fill(Qt::white);
    w.setImage(line);
    double total = 0;
    for (double v : w.bins())
        total += v;
    QVERIFY(total <= 1.0);
    // Tall and thin: widening it to 256 in proportion would need 256 x 12.8
    // million pixels; the reduction is bounded instead.
    QImage column(1, 50000, QImage::Format_RGB32);
    column.fill(Qt::white);
    QElapsedTimer timer;
    timer.start();
    w.setImage(column);
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(w.bins().at(255), 1.0);
    w.resize(0, 0);
    w.grab();
}

QTEST_MAIN(TestHistogram)
#include "tst_histogram.moc"
