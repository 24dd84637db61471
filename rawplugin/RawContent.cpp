#include "RawContent.h"
#include "QRawPlugin.h"
#include "RawIOHandler.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QString>
#include <QtEndian>

#include <cstring>

namespace {

// Reads `length` bytes at `offset`; false when the device has fewer.
bool readAt(QIODevice* device, qint64 offset, char* out, qint64 length)
{
    return offset >= 0 && device->seek(offset) && device->read(out, length) == length;
}

quint16 get16(const char* p, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
}

quint32 get32(const char* p, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
}

// A TIFF-structured RAW names its camera in the first directory (Make), a
// DNG also its version; a plain TIFF written by an editor or by Qt does not
// need either. Directories are at most a few hundred entries long.
bool firstDirectoryNamesCamera(QIODevice* device, const char* header, bool bigEndian)
{
    constexpr quint16 kMake = 271;
    constexpr quint16 kDngVersion = 50706;
    constexpr int kMaxEntries = 1024;
    const quint32 ifd = get32(header + 4, bigEndian);
    char countBytes[2];
    if (ifd < 8 || !readAt(device, ifd, countBytes, 2))
        return false;
    const int count = get16(countBytes, bigEndian);
    if (count == 0 || count > kMaxEntries)
        return false;
    QByteArray entries(qsizetype(count) * 12, Qt::Uninitialized);
    if (!readAt(device, qint64(ifd) + 2, entries.data(), entries.size()))
        return false;
    for (int i = 0; i < count; ++i) {
        const quint16 tag = get16(entries.constData() + i * 12, bigEndian);
        if (tag == kMake || tag == kDngVersion)
            return true;
    }
    return false;
}

bool layoutOfHeader(QIODevice* device, const char* h)
{
    const bool little = h[0] == 'I' && h[1] == 'I';
    const bool big = h[0] == 'M' && h[1] == 'M';
    if (little || big) {
        const quint16 magic = get16(h + 2, big);
        // TIFF, Olympus ORF ("RO", "RS") and Panasonic RW2 (0x55) headers.
        if (magic == 42 || magic == 0x4f52 || magic == 0x5352 || magic == 0x55)
            return firstDirectoryNamesCamera(device, h, big);
        // Canon CRW: a heap file after a little-endian header.
        return little && std::memcmp(h + 6, "HEAPCCDR", 8) == 0;
    }
    return std::memcmp(h + 4, "ftypcrx ", 8) == 0 // Canon CR3
        || std::memcmp(h, "FUJIFILM", 8) == 0    // Fujifilm RAF
        || std::memcmp(h, "\0MRM", 4) == 0       // Minolta MRW
        || std::memcmp(h, "FOVb", 4) == 0;       // Sigma X3F
}

} // namespace

bool hasCameraRawLayout(QIODevice* device)
{
    if (!device || !device->isOpen() || !device->isReadable() || device->isSequential())
        return false;
    const qint64 position = device->pos();
    char header[16];
    const bool found = readAt(device, 0, header, sizeof header) && layoutOfHeader(device, header);
    device->seek(position);
    return found;
}

QByteArray cameraRawFormat(const QString& path)
{
    // The RAW suffixes reach the RAW handler by name already.
    if (path.isEmpty() || QRawPlugin::rawFormatKeys().contains(QFileInfo(path).suffix().toLower()))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !RawIOHandler::canReadDevice(&file))
        return {};
    return QByteArrayLiteral("raw");
}
