#pragma once
// What every photo read of the program goes through: the process-wide
// reader settings, made once before the first reader thread starts; a
// check of JPEG data for missing or corrupt parts; and the memory check
// that refuses a photo too large for this computer before it is decoded.
#include <QImage>
#include <QSize>

#include <cstdint>

class QImageReader;

// Switches the readers' allocation limit off (very large photos are the
// point of this program). Safe to call from any thread any number of times;
// call it on the GUI thread before starting threads that read photos.
void IQPrepareImageReading();

// Reads the picture. JPEG content (whatever the file's name) is checked
// too: data that is missing or corrupt (a cut-off or damaged JPEG, which
// Qt returns with a grey or smeared part) makes the result null, with
// *damaged set. The reader must read from a file name or a random-access
// device; a sequential device is read as it is, unchecked.
QImage IQReadImageChecked(QImageReader& reader, bool* damaged = nullptr);

// Bytes of memory available for new work (MemAvailable of /proc/meminfo),
// or -1 when it is not known.
int64_t IQAvailableMemory();

// Replaces the source of IQAvailableMemory (tests); null restores
// /proc/meminfo.
using IQAvailableMemorySource = int64_t (*)();
void IQSetAvailableMemorySource(IQAvailableMemorySource source);

// Bytes that `photos` photos of this size need on their way through the HDR
// job and then the editing page.
int64_t IQPhotoMemoryNeed(const QSize& size, int photos);

// Whether that fits in the memory available. When the available memory is
// not known the photos are let through (refusing every photo would be
// worse); the first such check says so in the log.
bool IQPhotosFitInMemory(const QSize& size, int photos);
