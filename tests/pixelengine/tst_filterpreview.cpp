#include <QtTest>

#include <QDir>
#include <QImage>
#include <functional>

#include "AdjustBlur.h"
#include "AdjustColor.h"
#include "AdjustLut3d.h"
#include "AdjustUnsharpMask.h"
#include "AdjustVignette.h"
#include "TestPaths.h"

using FilterKernel = std::function<int(uint8_t*, int, int, int)>;
Q_DECLARE_METATYPE(FilterKernel)

// Runs the colour and spatial filters on a real photo and writes before and
// after pictures to the test output folder for a person to look at. Checks
// only what must hold for any photo.
class TestFilterPreview : public QObject {
    Q_OBJECT
private:
    QImage m_photo;

private slots:
    void initTestCase()
    {
        const QString data = sharedTestDataDir();
        if (data.isEmpty())
            QSKIP("no shared test photos");
        const QString path = QDir(data).filePath(QStringLiteral("homedeck_kitchen_em1_5exp/group_3.jpg"));
        QImage image(path);
        if (image.isNull())
            QSKIP("test photo not readable");
        m_photo = image.convertToFormat(QImage::Format_BGR888);
    }

    void filters_data()
    {
        using Kernel = FilterKernel;
        QTest::addColumn<Kernel>("kernel");
        QTest::addColumn<int>("success");
        QTest::newRow("lut3d") << Kernel([](uint8_t* p, int w, int h, int s) { return AdjustLut3dApply(p, w, h, s); })
                               << 1;
        QTest::newRow("contrast-saturation")
            << Kernel([](uint8_t* p, int w, int h, int s) { return AdjustContrastSaturationApply(p, w, h, s, 40, 40); })
            << 1;
        QTest::newRow("colorfilter-warm")
            << Kernel([](uint8_t* p, int w, int h, int s) { return AdjustColorFilterApply(p, w, h, s, 255, 170, 60, 60, 1); })
            << 1;
        QTest::newRow("vignette-100")
            << Kernel([](uint8_t* p, int w, int h, int s) { return AdjustVignetteApply(p, w, h, s, 100); }) << 1;
        QTest::newRow("unsharp-100")
            << Kernel([](uint8_t* p, int w, int h, int s) { return AdjustUnsharpMaskApply(p, w, h, s, 100); }) << 0;
        QTest::newRow("blur-7") << Kernel([](uint8_t* p, int w, int h, int s) {
            std::vector<uint8_t> copy(p, p + size_t(s) * h);
            return AdjustBlurApply(copy.data(), w, h, s, p, 7, 50);
        }) << 1;
    }
    void filters()
    {
        using Kernel = FilterKernel;
        QFETCH(Kernel, kernel);
        QFETCH(int, success);
        QImage out = m_photo.copy();
        QCOMPARE(kernel(out.bits(), out.width(), out.height(), int(out.bytesPerLine())), success);
        QVERIFY(out != m_photo);
        const QString name = QStringLiteral("pixelengine-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(out.save(QDir(testOutputDir()).filePath(name)));
        QVERIFY(m_photo.save(QDir(testOutputDir()).filePath(QStringLiteral("pixelengine-original.png"))));
    }
};

QTEST_GUILESS_MAIN(TestFilterPreview)
#include "tst_filterpreview.moc"
