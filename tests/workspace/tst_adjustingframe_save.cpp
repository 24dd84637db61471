// Editing page saving and leaving: formats by suffix, the overwrite question,
// failed writes that keep an existing file, saving while passes run, and the
// unsaved-work question when the page is left.
#include "tst_adjustingframe_support.h"

#include <QAbstractButton>
#include <QImageReader>
#include <QImageWriter>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "QWaitingDialog.h"

#include <csignal>
#include <sys/resource.h>

using namespace adjtest;

namespace {

const char* const kPng = "PNG image (*.png)";

// Clicks `button` on the next message box and stores its text.
void answerMessageBox(QMessageBox::StandardButton button, QString* text = nullptr,
                      std::function<void()> then = nullptr)
{
    whenModal<QMessageBox>([button, text, then](QMessageBox* box) {
        if (text)
            *text = box->text();
        if (then)
            then();
        if (QAbstractButton* b = box->button(button))
            QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(box, "reject", Qt::QueuedConnection);
    });
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Files larger than `bytes` cannot be written by this process (also as root).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestAdjustingFrameSave : public PageTest
{
    Q_OBJECT
private:
    QTemporaryDir dir;

    void edit()
    {
        release(row(*page, "saturationWidget"), 50);
        release(row(*page, "shadowsWidget"), 40);
        QVERIFY(settle(*page));
        QVERIFY(maxDiff(page->resultImage(), picture) > 0);
    }

private slots:
    void init() { openPage(QSize(900, 600)); }
    void cleanup() { closePage(); }

    void savedFormats_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("jpg") << "out" << "JPEG Image (*.jpeg *.jpg)" << "out.jpg" << QByteArray("jpeg");
        QTest::newRow("jpeg upper case") << "out2.JPEG" << "JPEG Image (*.jpeg *.jpg)" << "out2.JPEG"
                                         << QByteArray("jpeg");
        QTest::newRow("png") << "out" << kPng << "out.png" << QByteArray("png");
        QTest::newRow("png typed, jpeg chosen") << "typed.png" << "JPEG Image (*.jpeg *.jpg)" << "typed.png"
                                                << QByteArray("png");
        QTest::newRow("bmp") << "out" << "Windows BMP image (*.bmp)" << "out.bmp" << QByteArray("bmp");
    }

    // The suffix picks the format and the writer keeps its own defaults (no
    // quality or compression set): written on a worker thread, the file is
    // byte for byte what a writer given nothing but the file name makes of
    // the picture.
    void savedFormats()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        edit();
        QTemporaryDir plainDir;
        const QString plain = plainDir.filePath(name);
        QVERIFY(QImageWriter(plain).write(page->resultImage()));

        answerFileDialog(dir.path(), typed, filter);
        QSignalSpy finished(page.get(), &IQAdjustingFrame::savingFinished);
        QVERIFY(page->save());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QVERIFY(!page->isModified());
        QVERIFY(!page->isSaving());
        const QString path = dir.filePath(name);
        QCOMPARE(QImageReader(path).format(), format);
        QVERIFY(readAll(path) == readAll(plain));

        // The same from saveTo, at once.
        const QString direct = dir.filePath(QStringLiteral("direct_") + name);
        QString error;
        QVERIFY2(page->saveTo(direct, &error), qPrintable(error));
        QVERIFY(readAll(direct) == readAll(plain));
        // No temporary files are left behind.
        QCOMPARE(QDir(dir.path()).entryList(QStringList() << "*.tmp" << ".*" , QDir::Files | QDir::Hidden).size(), 0);
    }

    void saveToBadTargets()
    {
        // Running as root, permission bits do not stop a write: a parent
        // folder that is a regular file does.
        const QString blocker = dir.filePath("not-a-folder");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        QString error;
        QVERIFY(!page->saveTo(blocker + "/out.png", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(blocker), QByteArray("x"));

        QVERIFY(!page->saveTo(dir.filePath("out.xyz"), &error));
        QVERIFY(error.contains("xyz"));
        QVERIFY(!QFile::exists(dir.filePath("out.xyz")));
        QVERIFY(!page->saveTo(dir.filePath("nosuffix"), &error));
    }

    // A full disk, for real: every write into /dev/full fails with ENOSPC.
    // The box names the file and the file system's reason (the image
    // writer's own is "Unknown error"); the work stays unsaved and the
    // device stays what it is.
    void fullDiskNamesFileAndReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::newRow("bmp") << "full.bmp" << "Windows BMP image (*.bmp)";
        // Qt's PNG and JPEG writers leak a row buffer when a write fails.
#ifndef __SANITIZE_ADDRESS__
        QTest::newRow("png") << "full.png" << kPng;
        QTest::newRow("jpg") << "full.jpg" << "JPEG Image (*.jpeg *.jpg)";
#endif
    }
    void fullDiskNamesFileAndReason()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        edit();
        const QImage before = page->resultImage();
        QTemporaryDir target;
        const QString path = target.filePath(name);
        if (!makeFullDisk(path))
            QSKIP("no /dev/full");

        QString error;
        QVERIFY(!page->saveTo(path, &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));

        QString warning;
        answerFileDialog(target.path(), name, filter);
        // Replace the existing name? Yes; then the failure.
        answerMessageBox(QMessageBox::Yes, nullptr, [&warning] { answerMessageBox(QMessageBox::Ok, &warning); });
        QVERIFY(!page->save());
        QCOMPARE(warning, QStringLiteral("The picture could not be saved as \"%1\".\nNo space left on device")
                              .arg(QDir::toNativeSeparators(path)));
        QVERIFY(page->isModified());
        QCOMPARE(maxDiff(page->resultImage(), before), 0);
        QCOMPARE(page->adjustParams().saturation, 50);
        // Written into, never replaced.
        QVERIFY(isDevice(path));
        QVERIFY(isDevice(QStringLiteral("/dev/full")));
    }

    void overwriteAsksFirst()
    {
        edit();
        QTemporaryDir target;
        const QString path = target.filePath("exists.png");
        QVERIFY(picture.copy(0, 0, 4, 4).save(path));
        const QByteArray before = readAll(path);

        // No: the dialog stays; then it is cancelled and nothing is written.
        QString question;
        answerFileDialog(target.path(), "exists.png", kPng);
        answerMessageBox(QMessageBox::No, &question, [] { rejectFileDialog(); });
        QVERIFY(!page->save());
        QVERIFY(question.contains("exists.png"));
        QCOMPARE(readAll(path), before);
        QVERIFY(page->isModified());

        // The same name typed without its suffix is asked about too.
        question.clear();
        answerFileDialog(target.path(), "exists", kPng);
        answerMessageBox(QMessageBox::No, &question, [] { rejectFileDialog(); });
        QVERIFY(!page->save());
        QVERIFY(question.contains("exists.png"));
        QCOMPARE(readAll(path), before);

        // Yes: replaced, the suffix added to the typed name.
        answerFileDialog(target.path(), "exists", kPng);
        answerMessageBox(QMessageBox::Yes);
        QVERIFY(page->save());
        QCOMPARE(maxDiff(QImage(path), page->resultImage()), 0);
        QVERIFY(!page->isModified());
        // Any change afterwards makes the work unsaved again.
        release(row(*page, "vibranceWidget"), 30);
        QVERIFY(page->isModified());
    }

    void failedSaveReportsAndKeepsWork()
    {
        edit();
        QTemporaryDir target;
        // BMP: Qt's PNG and JPEG writers leak a row buffer when a write fails.
        const QString path = target.filePath("keep.bmp");
        QVERIFY(picture.copy(0, 0, 4, 4).save(path));
        const QByteArray before = readAll(path);
        QString warning;
        answerFileDialog(target.path(), "keep.bmp", "Windows BMP image (*.bmp)");
        // Replace? Yes; then the write fails and the writer's reason is shown.
        answerMessageBox(QMessageBox::Yes, nullptr, [&warning] { answerMessageBox(QMessageBox::Ok, &warning); });
        bool saved = true;
        {
            FileSizeLimit limit(2048);
            QVERIFY(limit.ok());
            saved = page->save();
        }
        QVERIFY(!saved);
        // The file system's reason, not the image writer's "Unknown error".
        QVERIFY2(warning.contains(QStringLiteral("File too large")), qPrintable(warning));
        QVERIFY2(warning.contains(QDir::toNativeSeparators(path)), qPrintable(warning));
        QCOMPARE(readAll(path), before);
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.bmp"});
        QVERIFY(page->isModified());
        QVERIFY(!page->resultImage().isNull());
        QVERIFY(!page->isDefaultParam());
    }

    // Save pressed while a pass runs (or waits) writes the picture of the
    // controls as they are, once the passes have ended behind the waiting
    // dialog; the page is saved afterwards.
    void saveWaitsForThePasses_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("revert, a preview pass without dialog") << 0;
        QTest::newRow("slider, one pass running and one waiting") << 1;
    }

    void saveWaitsForThePasses()
    {
        QFETCH(int, change);
        edit();
        installGate();
        QImage expected;
        if (change == 0) {
            page->findChild<QToolButton*>("restoreButn")->click();
            expected = picture;
        } else {
            release(row(*page, "vibranceWidget"), 35);
            QVERIFY(gate->waitEntered());
            release(row(*page, "saturationWidget"), -60);
            QVERIFY(page->hasPendingPass());
            IQAdjustingProcessor reference(picture);
            IQHDRToneParams tone;
            tone.shadow = 40;
            IQAdjustParams adjust;
            adjust.saturation = -60;
            adjust.vibrance = 35;
            expected = referencePass(reference, adjust, tone, IQDenoiseParams(), 8);
        }
        QVERIFY(page->isProcessing());

        QTemporaryDir target;
        bool heldWhileWaiting = false;
        answerFileDialog(target.path(), "during.png", kPng);
        whenModal<QWaitingDialog>([&](QWaitingDialog* d) {
            heldWhileWaiting = d->isHeld() && page->isBusy();
            gate->open();
        });
        const bool saved = page->save();
        gate->open();
        QVERIFY(saved);
        QVERIFY(heldWhileWaiting);
        QVERIFY(!page->isBusy());
        QCOMPARE(maxDiff(QImage(target.filePath("during.png")), expected), 0);
        QCOMPARE(maxDiff(page->resultImage(), expected), 0);
        QVERIFY(!page->isModified());
        QTest::qWait(50);
        QVERIFY(!page->isModified());
    }

    void saveRefusedWhenTheNewestPassFailed()
    {
        // The failed pass's box is closed below.
        const auto errorBox = expectModal<QMessageBox>();
        edit();
        installGate();
        gate->open();
        gate->throwAlways = true;
        release(row(*page, "vibranceWidget"), 45);
        QVERIFY(settle(*page));
        QTRY_VERIFY(page->findChild<QMessageBox*>());
        page->findChild<QMessageBox*>()->close();
        // The picture on screen lacks the newest change: it is not written.
        QTemporaryDir target;
        QString warning;
        answerFileDialog(target.path(), "stale.png", kPng);
        answerMessageBox(QMessageBox::Ok, &warning);
        QVERIFY(!page->save());
        QVERIFY(!warning.isEmpty());
        QVERIFY(!QFile::exists(target.filePath("stale.png")));
        QVERIFY(page->isModified());
    }

    void leavingThePage()
    {
        edit();
        QSignalSpy finished(page.get(), &IQAdjustingFrame::finish);

        // Cancel: the page stays.
        answerMessageBox(QMessageBox::Cancel);
        QVERIFY(!page->closeImage());
        QCOMPARE(finished.count(), 0);

        // Save chosen, save dialog cancelled: the page and the edits stay.
        answerMessageBox(QMessageBox::Save, nullptr, [] { rejectFileDialog(); });
        QVERIFY(!page->closeImage());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(page->adjustParams().saturation, 50);
        QVERIFY(!page->resultImage().isNull());

        // Save chosen and done: the page is left.
        QTemporaryDir target;
        answerMessageBox(QMessageBox::Save, nullptr,
                         [&target] { answerFileDialog(target.path(), "left.jpg", "JPEG Image (*.jpeg *.jpg)"); });
        QVERIFY(page->closeImage());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<QFrame*>(), page.get());
        QVERIFY(QFile::exists(target.filePath("left.jpg")));
        QVERIFY(page->currentImage().isNull());
        QVERIFY(!page->isModified());
        QVERIFY(!page->adjustingProcessor());

        // Discard on the next picture.
        page->setImages(picture, picture);
        edit();
        answerMessageBox(QMessageBox::Discard);
        page->findChild<QToolButton*>("newButn")->click();
        QCOMPARE(finished.count(), 2);
        QVERIFY(page->currentImage().isNull());
    }
};

QTEST_MAIN(TestAdjustingFrameSave)
#include "tst_adjustingframe_save.moc"
