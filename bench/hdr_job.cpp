// hdr_job OUT.png IN1 IN2 ...
// Runs the HDR worker's own job on this thread (the engine's load and, for
// two or more inputs, Reinhard tone mapping with the worker's settings),
// writes the picture, and prints per-stage timings as one JSON object on the
// last line.
#include "IQHDREngine.h"
#include "IQHDRThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QtPlugin>

#include <sys/resource.h>

#include <cstdio>

// Camera RAW files, as in the program.
Q_IMPORT_PLUGIN(QRawPlugin)

namespace {

double peakRssMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: hdr_job OUT.png IN1 [IN2 ...]\n");
        return 2;
    }
    const QString out = args.first();
    const QStringList inputs = args.mid(1);

    IQHDREngine* engine = IQHDREngine::instance();
    int code = IQHDR_FAILED;
    QImage picture;
    IQHDRThread job(engine, inputs);
    QObject::connect(&job, &IQHDRThread::threadFinished, [&](const QImage&, const QImage& after, int result) {
        picture = after;
        code = result;
    });
    QElapsedTimer total;
    total.start();
    job.run(); // never throws; the signal comes before it returns
    const double totalMs = double(total.nsecsElapsed()) / 1e6;

    if (code == IQHDR_OK) {
        QImageWriter writer(out);
        if (!writer.write(picture)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(out), qPrintable(writer.errorString()));
            code = IQHDR_FAILED;
        }
    }

    const IQHDRStageTimes& t = engine->lastStageTimes();
    QJsonObject json;
    json.insert(QStringLiteral("code"), code);
    json.insert(QStringLiteral("width"), picture.width());
    json.insert(QStringLiteral("height"), picture.height());
    json.insert(QStringLiteral("read_ms"), qRound(t.readMs));
    json.insert(QStringLiteral("exposure_ms"), qRound(t.exposureMs));
    json.insert(QStringLiteral("align_ms"), qRound(t.alignMs));
    json.insert(QStringLiteral("merge_ms"), qRound(t.mergeMs));
    json.insert(QStringLiteral("tonemap_ms"), qRound(t.tonemapMs));
    json.insert(QStringLiteral("total_ms"), qRound(totalMs));
    json.insert(QStringLiteral("peak_rss_mb"), qRound(peakRssMb()));
    QTextStream(stdout) << QJsonDocument(json).toJson(QJsonDocument::Compact) << Qt::endl;
    return code == IQHDR_OK ? 0 : 1;
}
