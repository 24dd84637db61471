#pragma once
// Complete, valid PNG files of black pixels at any size, written as a
// stream: the picture is never held in memory, so a 30000 x 30000 file
// takes a fraction of a second and a few megabytes at most.
#include <QByteArray>
#include <QSize>
#include <QString>

namespace StreamedPng {

enum class Kind {
    Grey1,  // 1-bit greyscale: the smallest and fastest to write
    Grey8,  // 8-bit greyscale
    Rgb8,   // 8-bit RGB
};

// Writes dir/name and returns its path (qFatal when it cannot be written).
// Every row is filter 0 with zero samples; the compressed stream is a zlib
// stream of one fixed-Huffman deflate block made of 258-byte repeats.
QString writeBlack(QSize size, Kind kind, const QString& dir, const QString& name);

// One PNG chunk as it goes into a file: length, type, data and CRC-32.
QByteArray chunk(const char* type, const QByteArray& data);

} // namespace StreamedPng
