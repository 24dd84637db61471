// Times passes of the adjustment processor on one picture.
//   edit_pass IN [--preset N] [--stage S] [--set name=value ...] [--runs K] [--out FILE]
//             [--kernel auto|sse2|avx2|avx512] [--pause MS] [--settle]
// The records start from preset N (default none); --set changes one field by
// its record name (adjust fields by their own name or "adjust.<name>", tone
// fields likewise or "tone.<name>", denoise fields as "denoise.<name>").
// Every run hands the records over with stage S (default 2), as the editing
// page does, then runs one pass. --out writes the result of the last pass to
// FILE, in the format its suffix names. The last line printed is one JSON
// object. --kernel forces the non-local-means kernel (AVX2 on a machine with
// AVX-512, as most users have); --pause waits MS milliseconds between taking
// the picture and the first pass, as a user does before the first change;
// --settle waits, after the pause, until the processor has set up its tone
// work, so that the first pass is timed without it. The JSON line also gives
// the median of the process's CPU time per pass, which a busy machine
// disturbs less than wall time.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "IQAdjustingProcessor.h"
#include "IQNonLocalMeans.h"
#include "IQParams.h"

#include "BenchTiming.h"

namespace {

using Setter = std::function<bool(IQProcessParams &, const QString &)>;


template <typename Record, typename Field>
Setter field(Record IQProcessParams::*record, Field Record::*member)
{
    return [record, member](IQProcessParams &p, const QString &value) {
        bool ok = false;
        if constexpr (std::is_same_v<Field, bool>) {
            const QString v = value.toLower();
            if (v == QLatin1String("true") || v == QLatin1String("1")) {
                (p.*record).*member = true;
                return true;
            }
            if (v == QLatin1String("false") || v == QLatin1String("0")) {
                (p.*record).*member = false;
                return true;
            }
            return false;
        } else if constexpr (std::is_same_v<Field, double>) {
            const double d = value.toDouble(&ok);
            if (ok)
                (p.*record).*member = d;
        } else {
            const int i = value.toInt(&ok);
            if (ok)
                (p.*record).*member = i;
        }
        return ok;
    };
}

std::map<QString, Setter> fieldTable()
{
    std::map<QString, Setter> t;
    const auto a = &IQProcessParams::adjust;
    const auto h = &IQProcessParams::tone;
    const auto d = &IQProcessParams::denoise;
#define ADJ(n) t["adjust." #n] = t[#n] = field(a, &IQAdjustParams::n)
    ADJ(mode); ADJ(filterBlue); ADJ(filterGreen); ADJ(filterRed); ADJ(filterOpacity); ADJ(filterBlend);
    ADJ(contrast); ADJ(saturation); ADJ(vignette); ADJ(blur); ADJ(spare); ADJ(brightness); ADJ(sharpness);
    ADJ(temperature); ADJ(tint); ADJ(gamma); ADJ(vibrance);
#undef ADJ
#define TONE(n) t["tone." #n] = t[#n] = field(h, &IQHDRToneParams::n)
    TONE(highlight); TONE(shadow); TONE(clahe); TONE(claheClip); TONE(equalizeRounded); TONE(detailEnhance);
    TONE(localGamma); TONE(equalizeTruncated); TONE(edgePreserve); TONE(denoiseColored); TONE(addNoise);
#undef TONE
#define DEN(n) t["denoise." #n] = field(d, &IQDenoiseParams::n)
    DEN(mode); DEN(luminance); DEN(chrominance); DEN(luminanceFactor);
#undef DEN
    return t;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: edit_pass IN [--preset N] [--stage S] [--set name=value ...] [--runs K] [--out FILE]\n"
                 "                 [--kernel auto|sse2|avx2|avx512] [--pause MS] [--settle]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return usage();

    QString path;
    QString outPath;
    int preset = 0;
    int stage = 2;
    int runs = 5;
    int pauseMs = 0;
    bool settle = false;
    std::vector<QString> sets;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (arg == QLatin1String("--preset") && hasValue)
            preset = args[++i].toInt(&ok);
        else if (arg == QLatin1String("--stage") && hasValue)
            stage = args[++i].toInt(&ok);
        else if (arg == QLatin1String("--runs") && hasValue)
            runs = args[++i].toInt(&ok);
        else if (arg == QLatin1String("--set") && hasValue)
            sets.push_back(args[++i]);
        else if (arg == QLatin1String("--pause") && hasValue)
            pauseMs = args[++i].toInt(&ok);
        else if (arg == QLatin1String("--settle"))
            settle = true;
        else if (arg == QLatin1String("--kernel") && hasValue) {
            static const std::map<QString, IQNlmKernel> kernels = {
                {QStringLiteral("auto"), IQNlmKernel::Auto}, {QStringLiteral("sse2"), IQNlmKernel::Sse2},
                {QStringLiteral("avx2"), IQNlmKernel::Avx2}, {QStringLiteral("avx512"), IQNlmKernel::Avx512}};
            const auto k = kernels.find(args[++i]);
            ok = k != kernels.end();
            if (ok)
                IQNonLocalMeansForceKernel(k->second);
        } else if (arg == QLatin1String("--out") && hasValue && outPath.isEmpty())
            outPath = args[++i];
        else if (!arg.startsWith(QLatin1String("--")) && path.isEmpty())
            path = arg;
        else
            return usage();
        if (!ok)
            return usage();
    }
    if (path.isEmpty() || runs < 1 || pauseMs < 0)
        return usage();
    // Refused before the passes run, not after.
    const QByteArray outFormat = QFileInfo(outPath).suffix().toLower().toLatin1();
    if (!outPath.isEmpty() && !QImageWriter::supportedImageFormats().contains(outFormat)) {
        std::fprintf(stderr, "edit_pass: cannot write \"%s\": unknown picture type\n", qPrintable(outPath));
        return 2;
    }

    IQProcessParams params;
    params.setPreset(preset);
    const auto table = fieldTable();
    for (const QString &s : sets) {
        const int eq = s.indexOf(QLatin1Char('='));
        const auto it = eq > 0 ? table.find(s.left(eq)) : table.end();
        if (it == table.end() || !it->second(params, s.mid(eq + 1))) {
            std::fprintf(stderr, "edit_pass: cannot set \"%s\"\n", qPrintable(s));
            return 2;
        }
    }

    QImageReader::setAllocationLimit(0);
    QImageReader reader(path);
    QImage picture = reader.read();
    if (picture.isNull()) {
        std::fprintf(stderr, "edit_pass: cannot read %s: %s\n", qPrintable(path),
                     qPrintable(reader.errorString()));
        return 1;
    }
    if (picture.format() != QImage::Format_RGB888)
        picture = picture.convertToFormat(QImage::Format_RGB888);

    QElapsedTimer timer;
    timer.start();
    IQAdjustingProcessor processor(picture);
    const double buildMs = timer.nsecsElapsed() / 1e6;
    if (!processor.isValid()) {
        std::fprintf(stderr, "edit_pass: the processor could not take the picture (error %d)\n",
                     processor.lastError());
        return 1;
    }
    picture = QImage();
    std::printf("processor built in %.1f ms\n", buildMs);
    if (pauseMs > 0)
        QThread::msleep(unsigned(pauseMs));
    if (settle) {
        timer.restart();
        processor.waitForSetUp();
        std::printf("set-up waited for %.1f ms\n", timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> times, cpuTimes;
    QImage last;
    for (int r = 0; r < runs; ++r) {
        processor.setToneParams(params.tone, stage);
        processor.setAdjustParams(params.adjust);
        processor.setDenoiseParams(params.denoise);
        const double cpu0 = benchCpuMs();
        timer.restart();
        const QImage result = processor.process();
        const double ms = timer.nsecsElapsed() / 1e6;
        cpuTimes.push_back(benchCpuMs() - cpu0);
        if (result.isNull()) {
            std::fprintf(stderr, "edit_pass: pass %d failed (error %d)\n", r, processor.lastError());
            return 1;
        }
        std::printf("pass %d: %.1f ms, %.1f ms CPU\n", r, ms, cpuTimes.back());
        times.push_back(ms);
        // Holding a result makes the next pass start a new picture; keep
        // only the last one, so every pass is timed alike.
        if (r == runs - 1)
            last = result;
    }
    if (!outPath.isEmpty()) {
        QImageWriter writer(outPath, outFormat);
        if (!writer.write(last)) {
            std::fprintf(stderr, "edit_pass: cannot write %s: %s\n", qPrintable(outPath),
                         qPrintable(writer.errorString()));
            return 1;
        }
        std::printf("last pass written to %s\n", qPrintable(outPath));
    }
    const double first = times.front();
    const double firstCpu = cpuTimes.front();
    std::printf("{\"width\":%d, \"height\":%d, \"stage\":%d, \"first_ms\":%.1f, \"median_ms\":%.1f, "
                "\"first_cpu_ms\":%.1f, \"median_cpu_ms\":%.1f}\n",
                processor.width(), processor.height(), stage, first, benchMedian(times), firstCpu, benchMedian(cpuTimes));
    return 0;
}
