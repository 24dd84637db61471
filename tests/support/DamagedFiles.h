#pragma once
// Files that go wrong in the ways real ones do: JPEGs cut off part-way or
// with damaged scans, JPEGs with harmless oddities, and pictures whose
// header promises more than the data holds.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace DamagedFiles {

// The picture encoded as JPEG (quality 90), baseline or progressive.
QByteArray jpegBytes(const QImage& image, bool progressive);

// Writes `bytes` to dir/name and returns the path (qFatal when it cannot).
QString writeBytes(const QByteArray& bytes, const QString& dir, const QString& name);

// Writes the first `fraction` of `bytes` to dir/name and returns the path.
// A fraction below 1 always leaves out at least the last byte.
QString writeCut(const QByteArray& bytes, double fraction, const QString& dir, const QString& name);

// A PNG whose header declares width x height black pixels but which holds
// the compressed rows of only the first few: its size is known without
// decoding, and nothing of that size is ever allocated by writing it.
QString writePngHeaderOf(int width, int height, const QString& dir, const QString& name);

// A baseline JPEG (quality 90, 4:2:0) written by libjpeg with a restart
// marker after every `mcuRows` rows of MCUs.
QByteArray jpegWithRestarts(const QImage& image, int mcuRows);

// A valid progressive greyscale JPEG written by libjpeg in 64 x
// (refinements + 1) scans: each coefficient, DC included, gets a scan of
// its own for its first bits, then one scan for each refinement bit.
QByteArray jpegWithManyScans(const QImage& image, int refinements);

// Where the parts of a JPEG are, found by walking its segments: the offset
// of every start-of-scan marker, and of every restart marker inside the
// entropy-coded data. Empty lists when the walk fails.
struct JpegLayout {
    QList<int> scans;
    QList<int> scanEnds; // just past each scan's entropy-coded data
    QList<int> restarts;
    int end = -1; // offset of the end-of-image marker
};
JpegLayout jpegLayout(const QByteArray& jpeg);

// Every scan header's spectral selection and approximation bytes (Ss, Se,
// Ah, Al) set to zero. A sequential decoder warns about them and ignores
// them; the pixels are the same.
QByteArray withZeroedScanParameters(QByteArray jpeg);

// The restart marker at layout index `index` taken out (two bytes fewer),
// or renumbered to the one after it.
QByteArray withoutRestartMarker(QByteArray jpeg, int index);
QByteArray withRenumberedRestartMarker(QByteArray jpeg, int index);

// The scan at `index`, header and data, taken out; the segments around it
// stay.
QByteArray withoutScan(QByteArray jpeg, int index);

// Sixteen bytes in the middle of the first scan's data replaced by stuffed
// 0xFF bytes: a run of one-bits, which no Huffman table may use as a code.
QByteArray withCorruptEntropyData(QByteArray jpeg);

// `count` stray zero bytes between two complete segments, before the
// first scan's header, as some cameras write them.
QByteArray withStrayBytesBeforeScan(QByteArray jpeg, int count);

} // namespace DamagedFiles
