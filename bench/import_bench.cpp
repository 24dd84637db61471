// Import page timings: rows for 1,000 photos, and the thumbnails of the rows in
// view for 24 MP JPEGs. Usage: import_bench [count-of-24MP-copies]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdio>

#include "IQThumbsViewer.h"
#include "IQTilesFrame.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int copies = argc > 1 ? atoi(argv[1]) : 60;
    QTemporaryDir dir;

    QImage big(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(big.scanLine(y));
        for (int x = 0; x < big.width(); ++x)
            line[x] = qRgb((x * 7) & 255, (y * 3) & 255, ((x ^ y) >> 3) & 255);
    }
    const QString master = dir.filePath(QStringLiteral("master.jpg"));
    QImageWriter(master).write(big);
    QStringList photos;
    for (int i = 0; i < copies; ++i) {
        const QString p = dir.filePath(QStringLiteral("photo_%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        QFile::copy(master, p);
        photos << p;
    }

    IQTilesFrame frame;
    frame.resize(1280, 800);
    frame.show();
    IQThumbsViewer* list = frame.findChild<IQThumbsViewer*>(QStringLiteral("tileListView"));

    QElapsedTimer t;
    t.start();
    frame.importPaths(photos);
    const int first = list->firstVisibleRow();
    const int last = list->lastVisibleRow();
    bool all = true;
    for (int r = first; r <= last && r >= 0; ++r)
        all = all && list->model()->index(r, 0).data(IQThumbsViewer::LoadedRole).toBool();
    const qint64 visibleMs = t.elapsed();
    std::printf("24MP JPEG thumbnails: rows %d..%d in view painted in %lld ms (all loaded: %s; look-ahead included)\n",
                first, last, static_cast<long long>(visibleMs), all ? "yes" : "no");

    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << dir.filePath(QStringLiteral("missing_%1.jpg").arg(i));
    IQTilesFrame frame2;
    frame2.resize(1280, 800);
    frame2.show();
    t.restart();
    frame2.importPaths(many);
    std::printf("1000 rows imported (thumbnails of rows in view included) in %lld ms\n",
                static_cast<long long>(t.elapsed()));
    return 0;
}
