#include "IQImageReadGuard.h"

#include "IQJpegCheck.h"

#include <QFile>
#include <QImageReader>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <future>
#include <limits>
#include <mutex>
#include <system_error>

namespace {

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

// The bytes of the file the reader will decode when they are JPEG content,
// else none. A file is mapped, not copied.
class JpegBytes {
public:
    explicit JpegBytes(QImageReader& reader)
    {
        QString name = reader.fileName();
        if (!name.isEmpty() && !QFile::exists(name)) {
            // The reader then looks for the name with an image suffix added;
            // finding the format makes it settle on one.
            reader.format();
            name = reader.fileName();
        }
        if (!name.isEmpty()) {
            m_file.setFileName(name);
            if (!m_file.open(QIODevice::ReadOnly))
                return;
            const qint64 size = m_file.size();
            const QByteArray start = m_file.peek(3);
            if (size <= 0 || !IQLooksLikeJpeg(reinterpret_cast<const uchar*>(start.constData()), size_t(start.size())))
                return;
            if (const uchar* mapped = m_file.map(0, size)) {
                m_data = mapped;
                m_size = size_t(size);
                return;
            }
            m_copy = m_file.readAll();
        } else if (QIODevice* device = reader.device(); device && !device->isSequential()) {
            const bool wasOpen = device->isOpen();
            if (!wasOpen && !device->open(QIODevice::ReadOnly))
                return;
            const QByteArray start = device->peek(3);
            if (IQLooksLikeJpeg(reinterpret_cast<const uchar*>(start.constData()), size_t(start.size())))
                m_copy = device->peek(device->size() - device->pos());
            if (!wasOpen)
                device->close();
        }
        m_data = reinterpret_cast<const uchar*>(m_copy.constData());
        m_size = size_t(m_copy.size());
    }

    const uchar* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    QFile m_file; // unmaps when it goes
    QByteArray m_copy;
    const uchar* m_data = nullptr;
    size_t m_size = 0;
};

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
    std::call_once(once, [] { QImageReader::setAllocationLimit(0); });
}

QImage IQReadImageChecked(QImageReader& reader, bool* damaged)
{
    IQPrepareImageReading();
    if (damaged)
        *damaged = false;
    const JpegBytes bytes(reader);
    if (!bytes.data())
        return reader.read();
    // The check decodes the entropy-coded data a second time. It runs beside
    // Qt's decoding, which on a free core hides its cost; without a thread
    // it runs first.
    QString reason;
    const auto check = [&bytes, &reason] { return IQCheckJpegData(bytes.data(), bytes.size(), &reason); };
    QImage image;
    IQJpegIntegrity verdict = IQJpegIntegrity::Damaged;
    std::future<IQJpegIntegrity> pending;
    try {
        pending = std::async(std::launch::async, check);
    } catch (const std::system_error&) {
    }
    if (pending.valid()) {
        image = reader.read();
        verdict = pending.get();
    } else {
        verdict = check();
        if (verdict != IQJpegIntegrity::Damaged)
            image = reader.read();
    }
    if (verdict != IQJpegIntegrity::Damaged)
        return image;
    if (damaged)
        *damaged = true;
    const QString name = reader.fileName();
    qWarning("%s: the JPEG data is missing, corrupt or cannot be decoded (%s); the picture is not used",
             name.isEmpty() ? "A photo" : qPrintable(name), qPrintable(reason));
    return QImage();
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
