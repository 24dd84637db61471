#include <QtTest>
#include "ModalWatcher.h"
#include <QApplication>
#include <QFileSystemModel>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "DamagedFiles.h"
#include "DngWriter.h"
#include "IQFileDialogs.h"
#include "IQImageReadGuard.h"
#include "IQSettings.h"
#include "IQThumbsViewer.h"
#include "IQTilesFrame.h"
#include "SyntheticScene.h"
#include "TestPaths.h"

class TestTilesFrame : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_data;
    QTemporaryDir m_photos;
    QStringList m_paths;

    IQThumbsViewer* list(IQTilesFrame& f) { return f.findChild<IQThumbsViewer*>(QStringLiteral("tileListView")); }
    QPushButton* next(IQTilesFrame& f) { return f.findChild<QPushButton*>(QStringLiteral("nextButn")); }
    QToolButton* remove(IQTilesFrame& f) { return f.findChild<QToolButton*>(QStringLiteral("removeTileButn")); }

    // Shows the page and imports `files`, every one of them.
    static bool shownWith(IQTilesFrame& f, const QStringList& files)
    {
        f.resize(856, 400);
        f.show();
        return QTest::qWaitForWindowExposed(&f) && f.importPaths(files) == files.size();
    }

    // Presses Next and returns the text of the information box it showed, if any.
    QString pressNext(IQTilesFrame& f)
    {
        QString shown;
        QPointer<QTimer> watcher = whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        QTest::mouseClick(next(f), Qt::LeftButton);
        QTest::qWait(50);
        delete watcher.data(); // no box came: the watcher must not outlive this call
        return shown;
    }

    // Imports the files into a fresh page and tells, row by row, whether
    // the row shows the error placeholder once its thumbnail is loaded.
    QList<bool> showsErrorPlaceholder(const QStringList& files, const QString& screenshot)
    {
        IQTilesFrame f;
        if (!shownWith(f, files))
            return {};
        IQThumbsViewer* l = list(f);
        QList<bool> shown;
        const QImage placeholder = l->errorPlaceholder().toImage().convertToFormat(QImage::Format_ARGB32);
        for (int r = 0; r < files.size(); ++r) {
            const QModelIndex index = l->model()->index(r, 0);
            if (!QTest::qWaitFor([&] { return index.data(IQThumbsViewer::LoadedRole).toBool(); }, 10000))
                return {};
            const QPixmap pixmap = index.data(Qt::DecorationRole).value<QIcon>().pixmap(placeholder.size());
            shown << (pixmap.toImage().convertToFormat(QImage::Format_ARGB32) == placeholder);
        }
        f.grab().save(QDir(testOutputDir()).filePath(screenshot));
        return shown;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("VantrelTilesTest"));
        qputenv("XDG_DATA_HOME", m_data.filePath(QStringLiteral("fresh/share")).toUtf8());
        IQSettings::resetInstanceForTesting();
        for (int i = 0; i < 4; ++i) {
            const int shade = 40 + 50 * i;
            m_paths << SyntheticScene::writeImage(SyntheticScene::uniformImage(QSize(64, 48), qRgb(shade, shade, shade)),
                                                  m_photos.path(), QStringLiteral("shot%1").arg(i), "jpg");
        }
    }

    void startState()
    {
        IQTilesFrame f;
        QCOMPARE(f.mode(), 0);
        QVERIFY(f.findChild<QRadioButton*>(QStringLiteral("hdrButton"))->isChecked());
        QCOMPARE(f.findChild<QLabel*>(QStringLiteral("noteLabel"))->text(),
                 QStringLiteral("Bracketing Mode.\r\nPlease select 3 or more photos with different exposures."));
        QVERIFY(!next(f)->isEnabled());
        QVERIFY(!remove(f)->isEnabled());
        QCOMPARE(next(f)->size(), QSize(96, 40));
        QTest::mouseClick(f.findChild<QRadioButton*>(QStringLiteral("fotoButton")), Qt::LeftButton);
        QCOMPARE(f.mode(), 1);
        QCOMPARE(f.findChild<QLabel*>(QStringLiteral("noteLabel"))->text(), QStringLiteral("Single photo mode."));
    }

    void importThroughDialogSkipsDuplicatesAndRemembersFolder()
    {
        IQTilesFrame f;
        QVERIFY(shownWith(f, {}));
        QFile::copy(m_paths[0], m_photos.filePath(QStringLiteral("SHOT0.JPG")));
        QFile gif(m_photos.filePath(QStringLiteral("anim.gif")));
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.close();
        answerFileDialog(m_photos.path(), QStringLiteral("\"shot0.jpg\" \"shot1.jpg\" \"SHOT0.JPG\""));
        QTest::mouseClick(f.findChild<QToolButton*>(QStringLiteral("selectTileButn")), Qt::LeftButton);
        QTRY_COMPARE(list(f)->count(), 3); // a.JPG and a.jpg are two files on Linux
        QCOMPARE(QDir(IQSettings::instance()->lastOpenTileDir()).canonicalPath(), QDir(m_photos.path()).canonicalPath());
        // Already listed, unsupported and missing files are skipped.
        QCOMPARE(f.importPaths({m_paths[0], m_photos.filePath(QStringLiteral("anim.gif")), m_paths[2]}), 1);
        QCOMPARE(list(f)->count(), 4);
        QCOMPARE(f.importPaths({m_photos.path() + QStringLiteral("/./shot2.jpg")}), 0);
    }

    // Every suffix the open dialog offers, in lower and upper case, is taken
    // by the import: the files are listed by the dialog under its filter,
    // chosen there, and all land in the list; the pictures among them load.
    void importTakesEverySuffixTheOpenDialogOffers()
    {
        const QStringList offered = {"jpg", "jpeg", "png", "tif", "tiff", "cr2", "cr3", "crw", "nef", "dng",
                                     "orf", "arw", "srf", "sr2", "rw2", "nrw", "pef", "mrw", "raf", "x3f"};
        const QStringList pictures = {"jpg", "jpeg", "png", "tif", "tiff"};
        {
            // The filter's patterns are these and no others.
            const QString filter = openImageFilter();
            QStringList patterns;
            const int open = filter.indexOf(QLatin1Char('('));
            for (const QString& p : filter.mid(open + 1, filter.lastIndexOf(QLatin1Char(')')) - open - 1)
                                        .split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (p.startsWith(QLatin1String("*.")))
                    patterns << p.mid(2);
            patterns.removeDuplicates();
            patterns.sort();
            QStringList sorted = offered;
            sorted.sort();
            QCOMPARE(patterns, sorted);
        }

        QTemporaryDir dir;
        const QImage picture = SyntheticScene::noiseImage(QSize(48, 32), 5);
        DngSpec raw;
        raw.scene = DngWriter::quadrantScene(64, 48);
        const QByteArray rawBytes = DngWriter::build(raw);
        QVERIFY(!rawBytes.isEmpty());
        QStringList names;
        for (const QString& suffix : offered) {
            for (const QString& name : {QStringLiteral("lower_%1.%1").arg(suffix),
                                        QStringLiteral("UPPER_%1.%1").arg(suffix.toUpper())}) {
                const QString path = dir.filePath(name);
                if (pictures.contains(suffix)) {
                    const QByteArray format = suffix.startsWith(QLatin1String("tif")) ? "tiff"
                                              : suffix == QLatin1String("png")      ? "png"
                                                                                    : "jpeg";
                    QVERIFY2(QImageWriter(path, format).write(picture), qPrintable(name));
                } else {
                    // Camera RAW files: the check goes by the suffix, the bytes are a real DNG.
                    QFile f(path);
                    QVERIFY(f.open(QIODevice::WriteOnly));
                    f.write(rawBytes);
                }
                names << name;
            }
        }
        // Not offered: neither listed by the dialog nor taken.
        for (const char* other : {"other.gif", "other.bmp", "other.hdr"})
            QVERIFY(QImageWriter(dir.filePath(QLatin1String(other)), "png").write(picture));

        IQTilesFrame f;
        QVERIFY(shownWith(f, {}));
        QStringList listedByDialog;
        whenModal<QFileDialog>([&](QFileDialog* d) {
            // What the dialog lists under its filter, once it has read the folder.
            auto* model = d->findChild<QFileSystemModel*>();
            if (model) {
                QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
                d->setDirectory(dir.path());
                const QModelIndex root = model->index(dir.path());
                const bool read = QTest::qWaitFor(
                    [&] {
                        const bool done = std::any_of(loaded.begin(), loaded.end(), [&](const QList<QVariant>& a) {
                            return QFileInfo(a.at(0).toString()) == QFileInfo(dir.path());
                        });
                        return done && model->rowCount(root) >= names.size();
                    },
                    20000);
                for (int r = 0; read && r < model->rowCount(root); ++r)
                    listedByDialog << model->index(r, 0, root).data().toString();
            }
            fillFileDialog(d, QString(), QLatin1Char('"') + names.join(QStringLiteral("\" \"")) + QLatin1Char('"'));
        });
        QTest::mouseClick(f.findChild<QToolButton*>(QStringLiteral("selectTileButn")), Qt::LeftButton);
        QTRY_COMPARE(list(f)->count(), names.size());

        listedByDialog.sort();
        QStringList sortedNames = names;
        sortedNames.sort();
        QCOMPARE(listedByDialog, sortedNames);
        QStringList imported;
        for (const auto& item : list(f)->allItems(false))
            imported << QFileInfo(item->filePath()).fileName();
        imported.sort();
        QCOMPARE(imported, sortedNames);

        // The pictures' thumbnails load (no error placeholder).
        IQThumbsViewer* l = list(f);
        const QImage placeholder = l->errorPlaceholder().toImage().convertToFormat(QImage::Format_ARGB32);
        const QList<IQThumbsViewer::ItemPtr> items = l->allItems(false);
        for (int r = 0; r < items.size(); ++r) {
            const QString name = QFileInfo(items[r]->filePath()).fileName();
            if (!pictures.contains(QFileInfo(name).suffix().toLower()))
                continue;
            const QModelIndex index = l->model()->index(r, 0);
            QTRY_VERIFY(index.data(IQThumbsViewer::LoadedRole).toBool());
            const QImage shown =
                index.data(Qt::DecorationRole).value<QIcon>().pixmap(placeholder.size()).toImage().convertToFormat(
                    QImage::Format_ARGB32);
            QVERIFY2(shown != placeholder, qPrintable(name));
        }
    }

    // Next, and in Single Photo Mode a double-click, hands the selection on
    // when its count suits the mode; Remove empties the list.
    void selectionIsHandedOnByMode()
    {
        IQTilesFrame f;
        QVERIFY(shownWith(f, m_paths));
        IQThumbsViewer* l = list(f);
        QSignalSpy emitted(&f, &IQTilesFrame::imageSelected);
        auto select = [&](int n) {
            l->clearSelection();
            l->selectionModel()->select(QItemSelection(l->model()->index(0, 0), l->model()->index(n - 1, 0)),
                                        QItemSelectionModel::Select);
        };
        select(2);
        QVERIFY(next(f)->isEnabled());
        QCOMPARE(pressNext(f),
                 QStringLiteral("For Bracketing mode, you need select at least 3 photos with different exposures."));
        QCOMPARE(emitted.count(), 0);
        select(3);
        QVERIFY(pressNext(f).isEmpty());
        QCOMPARE(emitted.count(), 1);
        QStringList paths = emitted.takeFirst().at(0).toStringList();
        paths.sort();
        QCOMPARE(paths, m_paths.mid(0, 3));
        const QPoint third = l->visualRect(l->model()->index(2, 0)).center();
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, third);
        QCOMPARE(emitted.count(), 0); // Bracketing Mode: nothing beyond the list's own handling

        QTest::mouseClick(f.findChild<QRadioButton*>(QStringLiteral("fotoButton")), Qt::LeftButton);
        select(2);
        QCOMPARE(pressNext(f), QStringLiteral("For Single photo mode, you only need select one photo."));
        QCOMPARE(emitted.count(), 0);
        select(1);
        pressNext(f);
        QCOMPARE(emitted.count(), 1);
        QCOMPARE(emitted.takeFirst().at(0).toStringList(), QStringList{m_paths[0]});
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, third);
        QCOMPARE(emitted.count(), 1);
        QCOMPARE(emitted.takeFirst().at(0).toStringList(), QStringList{m_paths[2]});

        l->selectAll();
        QVERIFY(remove(f)->isEnabled());
        QTest::mouseClick(remove(f), Qt::LeftButton);
        QCOMPARE(l->count(), 0);
        QVERIFY(!remove(f)->isEnabled());
        QVERIFY(!next(f)->isEnabled());
    }

    void thumbnailsAndErrorPlaceholder()
    {
        QTemporaryDir dir;
        const QString png = SyntheticScene::writeImage(SyntheticScene::uniformImage(QSize(64, 48), qRgb(200, 200, 200)),
                                                       dir.path(), QStringLiteral("a"));
        const QString tif = SyntheticScene::writeImage(SyntheticScene::uniformImage(QSize(80, 60), qRgb(0, 128, 128)),
                                                       dir.path(), QStringLiteral("b"), "tif");
        const QString broken =
            DamagedFiles::writeCut("\xFF\xD8\xFF\xE0 not really a jpeg", 1.0, dir.path(), QStringLiteral("broken.jpg"));
        QStringList files{m_paths[0], png, tif, broken};
        QList<bool> expected{false, false, false, true};
        // JPEGs cut short decode with a grey lower part; they are unreadable.
        const QImage photo = SyntheticScene::noiseImage(QSize(640, 427), 1);
        for (const bool progressive : {false, true}) {
            const QByteArray bytes = DamagedFiles::jpegBytes(photo, progressive);
            for (const double fraction : {0.3, 0.7, 0.99, 1.0}) {
                files << DamagedFiles::writeCut(bytes, fraction, dir.path(),
                                                QStringLiteral("cut%1_%2.jpg").arg(int(progressive)).arg(int(fraction * 100)));
                expected << (fraction < 1.0);
            }
        }
        QCOMPARE(showsErrorPlaceholder(files, QStringLiteral("import_page.png")), expected);
    }

    void tooLargePhotoShowsErrorPlaceholder()
    {
        // A photo that cannot go through the job in the memory available
        // is not decoded for its thumbnail either.
        QTemporaryDir dir;
        const QString big = SyntheticScene::writeImage(SyntheticScene::noiseImage(QSize(400, 300), 2), dir.path(),
                                                       QStringLiteral("big"));
        IQSetAvailableMemorySource([]() -> int64_t { return 1024 * 1024; });
        const QList<bool> shown = showsErrorPlaceholder({m_paths[1], big}, QStringLiteral("import_page_large.png"));
        IQSetAvailableMemorySource(nullptr);
        QCOMPARE(shown, QList<bool>({false, true}));
    }
};

QTEST_MAIN(TestTilesFrame)
#include "tst_tilesframe.moc"
