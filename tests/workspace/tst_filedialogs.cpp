#include <QtTest>
#include "ModalWatcher.h"
#include <QTemporaryDir>

#include "IQFileDialogs.h"

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void suffixes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("image");
        QTest::addColumn<bool>("raw");
        QTest::newRow("JPG") << "/x/a.JPG" << true << false;
        QTest::newRow("Jpeg") << "a.Jpeg" << true << false;
        QTest::newRow("TIF") << "a.TIF" << true << false;
        QTest::newRow("Cr3") << "a.Cr3" << false << true;
        QTest::newRow("raw any case") << "a.RaW" << false << true;
        QTest::newRow("two dots") << "archive.tar.nef" << false << true;
        QTest::newRow("heic") << "a.heic" << false << false;
        QTest::newRow("bmp") << "a.bmp" << false << false;
        QTest::newRow("hdr") << "a.hdr" << false << false;
        QTest::newRow("gif") << "a.gif" << false << false;
        QTest::newRow("no suffix") << "jpg" << false << false;
        QTest::newRow("trailing dot") << "a." << false << false;
    }
    void suffixes()
    {
        QFETCH(QString, path);
        QFETCH(bool, image);
        QFETCH(bool, raw);
        QCOMPARE(isSupportedImageSuffix(path), image);
        QCOMPARE(isSupportedRawSuffix(path), raw);
        QCOMPARE(isSupportedImageFile(path), image || raw);
    }

    void filterTexts()
    {
        QCOMPARE(defaultSuffixForFilter(QStringLiteral("JPEG Image (*.jpeg *.jpg)")), QStringLiteral("jpg"));
        QCOMPARE(defaultSuffixForFilter(QStringLiteral("PNG image (*.png)")), QStringLiteral("png"));
        QCOMPARE(defaultSuffixForFilter(QStringLiteral("Windows BMP image (*.bmp)")), QStringLiteral("bmp"));
        QCOMPARE(defaultSuffixForFilter(QStringLiteral("GIF Image (*.gif)")), QStringLiteral("gif"));
        QVERIFY(defaultSuffixForFilter(QStringLiteral("PNG Image (*.png)")).isEmpty());
        QVERIFY(isHdrFile(QStringLiteral("x.HDR")));
        QVERIFY(!openImageFilter().contains(QLatin1String("*.raw")));
    }

    void outputNameNeverExists()
    {
        QTemporaryDir dir;
        QCOMPARE(makeOutputFileName(QStringLiteral("result.jpg"), dir.path()), dir.filePath(QStringLiteral("result.jpg")));
        QFile(dir.filePath(QStringLiteral("result.jpg"))).open(QIODevice::WriteOnly);
        QFile(dir.filePath(QStringLiteral("result_1.jpg"))).open(QIODevice::WriteOnly);
        QCOMPARE(makeOutputFileName(QStringLiteral("result.jpg"), dir.path()), dir.filePath(QStringLiteral("result_2.jpg")));
    }

    void saveDialogAddsSuffixOfFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("png") << "result" << "PNG image (*.png)" << "result.png";
        QTest::newRow("bmp") << "result" << "Windows BMP image (*.bmp)" << "result.bmp";
        QTest::newRow("jpeg") << "result" << "JPEG Image (*.jpeg *.jpg)" << "result.jpg";
        QTest::newRow("own suffix kept") << "result.jpg" << "PNG image (*.png)" << "result.jpg";
    }
    void saveDialogAddsSuffixOfFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString name = QStringLiteral("untouched");
        QString preselect;
        answerFileDialog(QString(), typed, filter);
        QCOMPARE(getSaveImageFileName(nullptr, &name, dir.path(), &preselect), int(QDialog::Accepted));
        QCOMPARE(QFileInfo(name).fileName(), expected);
        QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    }

    void cancelledDialogsWriteNothing()
    {
        QString name = QStringLiteral("keep");
        QString preselect;
        rejectFileDialog();
        QCOMPARE(getSaveImageFileName(nullptr, &name, QString(), &preselect), int(QDialog::Rejected));
        QCOMPARE(name, QStringLiteral("keep"));
        QStringList files{QStringLiteral("keep")};
        rejectFileDialog();
        QCOMPARE(getOpenImageFileNames(nullptr, &files, QString(), QFileDialog::ExistingFiles), int(QDialog::Rejected));
        QCOMPARE(files, QStringList{QStringLiteral("keep")});
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
