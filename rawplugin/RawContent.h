#pragma once

#include <QByteArray>

class QIODevice;
class QString;

// Telling camera RAW files by their contents rather than by their names.

// Whether the device holds a camera RAW container: a TIFF-structured file
// (TIFF, ORF or RW2 header) whose first directory names a camera maker or a
// DNG version, or a CRW, CR3, RAF, MRW or X3F header. Reads a few hundred
// bytes from the start at most and puts the device back where it was.
// LibRaw on its own also takes any file whose size matches one of its
// headerless sensor dumps (a 307,200-byte PNG opens as a 640 x 480 "Generic"
// RAW), so content is never claimed without this check.
bool hasCameraRawLayout(QIODevice* device);

// Qt asks the image plugins it loads from disk before built-in ones. Its TIFF
// plugin therefore takes every ".tif" or ".tiff" name, and every TIFF-shaped
// file whose name tells nothing, camera RAW files included; it then reads
// their first directory only, which is a small preview or a 14-bit mosaic it
// refuses. The format to hand to a QImageReader made on `path`: "raw", which
// only the RAW handler reads, when the file is a camera RAW that LibRaw opens
// and its name does not already lead there; otherwise empty, so Qt chooses
// as it always has.
QByteArray cameraRawFormat(const QString& path);
