// RAW reading: the plugin's full development against LibRaw's own dcraw_emu
// on the same file, a thumbnail from a 6000 x 4000 embedded JPEG preview, and
// the content check every program read makes before it picks a reader.
#include "DngWriter.h"
#include "RawContent.h"
#include "TestPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtPlugin>

#include <benchmark/benchmark.h>

#include <cstdio>

Q_IMPORT_PLUGIN(QRawPlugin)

namespace {

QTemporaryDir* workDir = nullptr;
QString syntheticPath;  // 6000 x 4000 Bayer image with a 6000 x 4000 JPEG preview
QString colorChartPath; // the shared real DNG, when present
QString plainTiffPath;  // 6000 x 4000 8-bit RGB TIFF written by Qt
QString jpegPath;       // 6000 x 4000 JPEG
QString rawAsTiffPath;  // the synthetic DNG named .tif

// Gradients, stripes and light sensor-like noise: the JPEG preview comes out
// at about 3 MB, the size of a camera's full-size preview.
QImage texturedScene(int width, int height)
{
    QImage scene(width, height, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(scene.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 30) - 2;
            row[x] = qRgb(qBound(0, x * 255 / width + noise, 255), qBound(0, y * 255 / height + noise, 255),
                          qBound(0, ((x + y) / 16 % 2) * 120 + 60 + noise, 255));
        }
    }
    return scene;
}

void prepareFiles()
{
    workDir = new QTemporaryDir;
    DngSpec recipe;
    recipe.scene = texturedScene(6000, 4000);
    recipe.preview = DngSpec::Preview::Jpeg;
    recipe.previewImage = recipe.scene;
    recipe.jpegQuality = 85;
    syntheticPath = workDir->filePath(QStringLiteral("synthetic-6000x4000.dng"));
    if (!DngWriter::write(syntheticPath, recipe))
        syntheticPath.clear();
    plainTiffPath = workDir->filePath(QStringLiteral("plain-6000x4000.tif"));
    if (!recipe.scene.save(plainTiffPath, "TIFF"))
        plainTiffPath.clear();
    jpegPath = workDir->filePath(QStringLiteral("photo-6000x4000.jpg"));
    if (!recipe.scene.save(jpegPath, "JPEG", 90))
        jpegPath.clear();
    rawAsTiffPath = workDir->filePath(QStringLiteral("synthetic-6000x4000.tif"));
    if (syntheticPath.isEmpty() || !QFile::copy(syntheticPath, rawAsTiffPath))
        rawAsTiffPath.clear();
    const QString shared = sharedTestDataDir();
    const QString chart = (shared.isEmpty() ? QStringLiteral("/work/shared/testdata") : shared)
                          + QStringLiteral("/raw_magiclantern_dng/colorchart.dng");
    if (QFile::exists(chart))
        colorChartPath = chart;
}

void fullRead(benchmark::State& state, const QString* path)
{
    if (path->isEmpty()) {
        state.SkipWithError("file not available");
        return;
    }
    for (auto _ : state) {
        QImageReader reader(*path);
        const QImage image = reader.read();
        if (image.isNull()) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The same development settings as the plugin: four-colour RGB, camera white
// balance, camera matrix, green matching; 8-bit TIFF written to disk.
void dcrawEmu(benchmark::State& state, const QString* path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("dcraw_emu"));
    if (tool.isEmpty()) {
        state.SkipWithError("dcraw_emu not installed (Debian package libraw-bin)");
        return;
    }
    if (path->isEmpty()) {
        state.SkipWithError("file not available");
        return;
    }
    const QString out = workDir->filePath(QStringLiteral("dcraw_emu_out.tiff"));
    for (auto _ : state) {
        QProcess process;
        process.start(tool, {QStringLiteral("-T"), QStringLiteral("-f"), QStringLiteral("-w"), QStringLiteral("+M"),
                             QStringLiteral("-G"), QStringLiteral("-Z"), out, *path});
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            state.SkipWithError("dcraw_emu failed");
            return;
        }
    }
}

void thumbnail(benchmark::State& state)
{
    if (syntheticPath.isEmpty()) {
        state.SkipWithError("file not available");
        return;
    }
    for (auto _ : state) {
        QImageReader reader(syntheticPath);
        reader.setScaledSize(QSize(160, 120));
        const QImage image = reader.read();
        if (image.size() != QSize(160, 120)) {
            state.SkipWithError("thumbnail failed");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

// What each read of the program adds before Qt picks a reader.
void contentCheck(benchmark::State& state, const QString* path)
{
    if (path->isEmpty()) {
        state.SkipWithError("file not available");
        return;
    }
    const bool raw = path == &rawAsTiffPath;
    for (auto _ : state) {
        const QByteArray format = cameraRawFormat(*path);
        if (format.isEmpty() == raw) {
            state.SkipWithError("wrong verdict");
            return;
        }
        benchmark::DoNotOptimize(format.constData());
    }
}

void quietDebug(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

BENCHMARK_CAPTURE(fullRead, synthetic_6000x4000, &syntheticPath)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(dcrawEmu, synthetic_6000x4000, &syntheticPath)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(fullRead, colorchart, &colorChartPath)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(dcrawEmu, colorchart, &colorChartPath)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(thumbnail)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(contentCheck, plain_tiff, &plainTiffPath)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(contentCheck, jpeg, &jpegPath)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(contentCheck, dng_named_tif, &rawAsTiffPath)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietDebug);
    prepareFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete workDir;
    return 0;
}
