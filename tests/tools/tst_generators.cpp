// The committed data files must be what their generators in tools/ make
// today, so a change to a generator, a preset or the processor that is not
// followed by regenerating the files fails here.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

// Relative paths of every file below dir.
QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An area average of the picture, to compare pictures that carry random grain.
QImage smoothed(const QImage& src, int cell)
{
    return src.scaled(src.size() / cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Empty when the pictures agree: same size, at most 1 % of the channel values
// more than `near` levels apart and none more than `far`.
QString pictureDifference(const QImage& made, const QImage& committed, int near, int far)
{
    if (made.isNull() || committed.isNull())
        return QStringLiteral("cannot decode");
    if (made.size() != committed.size())
        return QStringLiteral("size %1x%2, committed %3x%4")
            .arg(made.width()).arg(made.height()).arg(committed.width()).arg(committed.height());
    const QImage a = made.convertToFormat(QImage::Format_RGBA8888);
    const QImage b = committed.convertToFormat(QImage::Format_RGBA8888);
    qint64 beyondNear = 0;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < 4 * a.width(); ++i) {
            const int d = std::abs(int(p[i]) - int(q[i]));
            worst = std::max(worst, d);
            beyondNear += d > near;
        }
    }
    const qint64 values = qint64(4) * a.width() * a.height();
    if (worst > far || beyondNear * 100 > values)
        return QStringLiteral("%1 of %2 values differ by more than %3, worst %4")
            .arg(beyondNear).arg(values).arg(near).arg(worst);
    return QString();
}

} // namespace

class tst_Generators : public QObject {
    Q_OBJECT

private slots:
    void committedFilesMatch_data();
    void committedFilesMatch();
};

void tst_Generators::committedFilesMatch_data()
{
    QTest::addColumn<QString>("tool");
    // A single file the tool writes is compared byte for byte (tables, sources);
    // a folder of pictures by pixels, as painting and JPEG coding may differ by
    // a level between CPUs.
    QTest::addColumn<QString>("output");    // file the tool writes, or empty: it writes a folder
    QTest::addColumn<QString>("committed"); // file or folder in the source tree

    const QString src = QStringLiteral(VANTREL_SOURCE_DIR "/");
    QTest::newRow("3D colour table") << QStringLiteral(VANTREL_TOOL_LUT3D) << QStringLiteral("Lut3dData.cpp")
                                     << src + "pixelengine/Lut3dData.cpp";
    QTest::newRow("film data") << QStringLiteral(VANTREL_TOOL_FILMDATA) << QStringLiteral("film.data")
                               << src + "resources/film/film.data";
    QTest::newRow("icons") << QStringLiteral(VANTREL_TOOL_ICONS) << QString() << src + "resources/icons";
    QTest::newRow("logo") << QStringLiteral(VANTREL_TOOL_LOGO) << QString() << src + "resources/logo";
    QTest::newRow("effect thumbnails") << QStringLiteral(VANTREL_TOOL_EFFECTTHUMBS) << QString()
                                       << src + "resources/effects";
}

void tst_Generators::committedFilesMatch()
{
    QFETCH(QString, tool);
    QFETCH(QString, output);
    QFETCH(QString, committed);

    QTemporaryDir out;
    QVERIFY(out.isValid());
    const QString target = output.isEmpty() ? out.path() : out.filePath(output);

    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(tool, {target});
    QVERIFY2(run.waitForFinished(300000), qPrintable(tool + QLatin1String(" did not finish")));
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
             qPrintable(tool + QLatin1String(" failed: ") + QString::fromLocal8Bit(run.readAll())));

    const QString hint = QStringLiteral(" — regenerate it with %1 from tools/ and commit the result").arg(QFileInfo(tool).fileName());
    if (!output.isEmpty()) {
        const QByteArray made = readAll(target);
        QVERIFY2(!made.isEmpty(), "the tool wrote nothing");
        QVERIFY2(made == readAll(committed), qPrintable(committed + QLatin1String(" differs") + hint));
        return;
    }

    const QStringList madeFiles = filesBelow(out.path());
    QVERIFY2(!madeFiles.isEmpty(), "the tool wrote nothing");
    QCOMPARE(filesBelow(committed), madeFiles);
    for (const QString& name : madeFiles) {
        const QString mine = out.filePath(name);
        const QString theirs = QDir(committed).filePath(name);
        QString why;
        if (name == QLatin1String("10.jpg")) {
            // "Old Photo" draws fresh film grain on every pass: compare the picture under the grain.
            why = pictureDifference(smoothed(QImage(mine), 12), smoothed(QImage(theirs), 12), 3, 12);
        } else {
            why = pictureDifference(QImage(mine), QImage(theirs), 2, 16);
        }
        QVERIFY2(why.isEmpty(), qPrintable(theirs + QLatin1String(": ") + why + hint));
    }
}

QTEST_GUILESS_MAIN(tst_Generators)
#include "tst_generators.moc"
