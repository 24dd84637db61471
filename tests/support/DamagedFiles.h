#pragma once
// Files that go wrong in the ways real ones do: JPEGs cut off part-way,
// and pictures whose header promises more than the data holds.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace DamagedFiles {

// The picture encoded as JPEG (quality 90), baseline or progressive.
QByteArray jpegBytes(const QImage& image, bool progressive);

// Writes the first `fraction` of `bytes` to dir/name and returns the path.
// A fraction below 1 always leaves out at least the last byte.
QString writeCut(const QByteArray& bytes, double fraction, const QString& dir, const QString& name);

// A PNG whose header declares width x height black pixels but which holds
// the compressed rows of only the first few: its size is known without
// decoding, and nothing of that size is ever allocated by writing it.
QString writePngHeaderOf(int width, int height, const QString& dir, const QString& name);

} // namespace DamagedFiles
