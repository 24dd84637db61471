// Renders the comparison viewer and the adjustment panel into PNG files under
// testOutputDir() so that a person can look at them.
#include "WidgetTestUtil.h"

#include "BAImageViewerWidget.h"
#include "GraphicsImageViewer.h"
#include "QHistogramWidget.h"
#include "QSliderWidget.h"
#include "QToolBoxWidget.h"
#include "QWaitingDialog.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QtTest>

using namespace widgettest;

namespace {
QPalette darkPalette()
{
    QPalette p;
    const QColor base(0x22, 0x22, 0x22);
    p.setColor(QPalette::Window, base);
    p.setColor(QPalette::Base, QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::WindowText, QColor(0xbf, 0xbf, 0xbf));
    p.setColor(QPalette::Text, QColor(0xbf, 0xbf, 0xbf));
    p.setColor(QPalette::ButtonText, QColor(0xbf, 0xbf, 0xbf));
    p.setColor(QPalette::Highlight, QColor(0x43, 0x9c, 0xf3));
    return p;
}

QWidget* makePanel(const QImage& picture)
{
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* hist = new QHistogramWidget;
    hist->setFixedHeight(90);
    hist->setImage(picture);
    layout->addWidget(hist);

    auto* rows = new QWidget;
    auto* rowsLayout = new QVBoxLayout(rows);
    const struct { const char* label; int min; int max; int value; } specs[] = {
        {"Saturation", -100, 100, 25}, {"Contrast", -100, 100, -40},
        {"Exposure", -100, 100, 0}, {"Temperature", 2000, 50000, 5000}};
    for (const auto& s : specs) {
        auto* row = new QSliderWidget;
        row->setLabel(QString::fromLatin1(s.label));
        row->setRange(s.min, s.max);
        row->setValue(s.value);
        rowsLayout->addWidget(row);
    }
    auto* radiance = new QToolBoxWidget(nullptr, 1);
    radiance->setContent(QStringLiteral("Image Radiance"), rows, true);
    radiance->setKey(QStringLiteral("imageRadiance"));
    layout->addWidget(radiance);

    auto* collapsed = new QToolBoxWidget(nullptr, 1);
    collapsed->setContent(QStringLiteral("Color Filter"), new QSliderWidget, false);
    layout->addWidget(collapsed);
    layout->addStretch(1);
    return panel;
}

bool saveShot(QWidget* w, const QString& name)
{
    const QString path = QDir(testOutputDir()).filePath(name);
    const bool ok = w->grab().save(path);
    qInfo("screenshot: %s", qPrintable(path));
    return ok;
}
}

class TestScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion"))); }
    void comparisonAndPanel_data();
    void comparisonAndPanel();
    void waitingDialog();
};

void TestScreenshots::comparisonAndPanel_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<bool>("styleSheet");
    QTest::newRow("dark") << true << false;
    QTest::newRow("default palette") << false << false;
    QTest::newRow("application style sheet") << true << true;
}

void TestScreenshots::comparisonAndPanel()
{
    QFETCH(bool, dark);
    QFETCH(bool, styleSheet);
    QString sheet;
    if (styleSheet) {
        // The application's own sheet lives with the workspace; read it from the sources.
        QFile file(QFINDTESTDATA("../../resources/qss/psblack.css"));
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("application style sheet not found");
        sheet = QString::fromUtf8(file.readAll());
    }
    const QPalette saved = QApplication::palette();
    if (dark)
        QApplication::setPalette(darkPalette());
    qApp->setStyleSheet(sheet);
    const QImage before = testImage(1200, 800, QColor(120, 80, 40));
    const QImage after = testImage(1200, 800, QColor(40, 120, 200));

    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* viewer = new BAImageViewerWidget;
    layout->addWidget(viewer, 1);
    QWidget* panel = makePanel(after);
    panel->setFixedWidth(260);
    layout->addWidget(panel);
    window.resize(1100, 520);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    viewer->setCompareVisible(true);
    QVERIFY(viewer->showImages(QPixmap::fromImage(before),
                               std::make_unique<QPixmap>(QPixmap::fromImage(after))));
    QCoreApplication::processEvents();
    // A zoom and a scroll, so the shot shows the panes in step away from the fit.
    viewer->slotZoom(0.6);
    viewer->paneA()->scrollBy(-60, 40);
    QCoreApplication::processEvents();
    QCOMPARE(viewer->paneB()->imageRect(), viewer->paneA()->imageRect());

    const QString suffix = styleSheet ? QStringLiteral("stylesheet")
                           : dark     ? QStringLiteral("dark")
                                      : QStringLiteral("default");
    QVERIFY(saveShot(&window, QStringLiteral("widgets-comparison-%1.png").arg(suffix)));
    QVERIFY(saveShot(panel, QStringLiteral("widgets-slider-rows-%1.png").arg(suffix)));

    // The panes paint the picture where imageRect() says, with background around it.
    const QImage shot = viewer->paneA()->grab().toImage();
    const QRect r = viewer->paneA()->imageRect();
    const QPoint inside = r.center();
    QVERIFY(shot.rect().contains(inside));
    QVERIFY(shot.pixelColor(inside) != QColor(0x22, 0x22, 0x22));
    qApp->setStyleSheet(QString());
    QApplication::setPalette(saved);
}

void TestScreenshots::waitingDialog()
{
    QWidget parent;
    parent.setPalette(darkPalette());
    parent.setAutoFillBackground(true);
    parent.resize(200, 200);
    parent.show();
    QWaitingDialog dialog(&parent);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(100);
    QImage canvas(104, 104, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(QColor(0x50, 0x50, 0x50));
    dialog.render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    const QString path = QDir(testOutputDir()).filePath(QStringLiteral("widgets-waiting-dialog.png"));
    QVERIFY(canvas.save(path));
    qInfo("screenshot: %s", qPrintable(path));
    dialog.close();
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
