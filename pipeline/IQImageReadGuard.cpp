#include "IQImageReadGuard.h"

#include <QFile>
#include <QImageReader>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>

namespace {

// The watch of the read running on this thread, if any.
thread_local bool* t_damage = nullptr;
QtMessageHandler g_previousHandler = nullptr;

// libjpeg's warnings for data that is missing or broken. The decoder goes
// on and fills the rest of the picture with grey; Qt returns that picture.
// "Extraneous bytes before marker" is left out: it names stray bytes
// between complete segments, which many cameras write, and loses nothing.
bool reportsDamage(const QString& message)
{
    if (message.contains(QLatin1String("extraneous bytes before marker")))
        return false;
    return message.startsWith(QLatin1String("Corrupt JPEG data"))
        || message.startsWith(QLatin1String("Premature end of JPEG file"))
        || message.startsWith(QLatin1String("Invalid SOS parameters"));
}

void watchingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (t_damage && type == QtWarningMsg && reportsDamage(message))
        *t_damage = true;
    g_previousHandler(type, context, message);
}

std::atomic<IQAvailableMemorySource> g_memorySource{nullptr};

// MemAvailable of /proc/meminfo in bytes, or -1. Files under /proc report
// a size of 0, so the file is read line by line to its end rather than to
// its size.
int64_t memAvailableFromProc()
{
    std::FILE* file = std::fopen("/proc/meminfo", "re");
    if (!file)
        return -1;
    int64_t bytes = -1;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, "MemAvailable:", 13) != 0)
            continue;
        unsigned long long kb = 0;
        char unit[8] = {};
        if (std::sscanf(line + 13, "%llu %7s", &kb, unit) == 2 && std::strcmp(unit, "kB") == 0)
            bytes = kb > uint64_t(std::numeric_limits<int64_t>::max()) / 1024 ? std::numeric_limits<int64_t>::max()
                                                                                : int64_t(kb) * 1024;
        break;
    }
    std::fclose(file);
    return bytes;
}

// Bytes per pixel of the largest photo. The job holds every decoded photo
// (4 bytes a pixel) and, for a series, its radiance map (12), the alignment's
// grey pictures (2) and the tone-mapped and before pictures (3 + 3); a
// single photo needs its 24-bit copies (about 9). The editing page holds the
// processor's buffers and YUV frames, a pass's copies, the detail chain's
// float temporaries and the viewers' pixmaps: about 48 bytes a pixel,
// measured on a 36 MP picture.
constexpr int64_t kEditingBytesPerPixel = 48;

int64_t jobBytesPerPixel(int photos)
{
    return photos >= 2 ? 4 * int64_t(photos) + 20 : 13;
}

} // namespace

void IQPrepareImageReading()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QImageReader::setAllocationLimit(0);
        g_previousHandler = qInstallMessageHandler(watchingHandler);
    });
}

QImage IQReadImageChecked(QImageReader& reader, bool* damaged)
{
    IQPrepareImageReading();
    bool reported = false;
    bool* const outer = t_damage;
    t_damage = &reported;
    QImage image;
    try {
        image = reader.read();
    } catch (...) {
        t_damage = outer;
        throw;
    }
    t_damage = outer;
    if (outer && reported)
        *outer = true;
    if (damaged)
        *damaged = reported;
    if (reported) {
        qWarning("%s: the decoder reported missing or corrupt data; the picture is not used",
                 qPrintable(reader.fileName()));
        return QImage();
    }
    return image;
}

int64_t IQAvailableMemory()
{
    const IQAvailableMemorySource source = g_memorySource.load();
    return source ? source() : memAvailableFromProc();
}

void IQSetAvailableMemorySource(IQAvailableMemorySource source)
{
    g_memorySource.store(source);
}

int64_t IQPhotoMemoryNeed(const QSize& size, int photos)
{
    if (size.width() <= 0 || size.height() <= 0)
        return 0;
    const int64_t perPixel = std::max(jobBytesPerPixel(std::max(1, photos)), kEditingBytesPerPixel);
    const int64_t pixels = int64_t(size.width()) * int64_t(size.height());
    if (pixels > std::numeric_limits<int64_t>::max() / perPixel)
        return std::numeric_limits<int64_t>::max();
    return pixels * perPixel;
}

bool IQPhotosFitInMemory(const QSize& size, int photos)
{
    const int64_t available = IQAvailableMemory();
    if (available < 0) {
        static std::once_flag once;
        std::call_once(once, [] {
            qWarning("The memory available is not known; photos are read without checking their size against it");
        });
        return true;
    }
    return IQPhotoMemoryNeed(size, photos) <= available;
}
