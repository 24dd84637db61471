#pragma once
// Looks through a JPEG's compressed data for missing or corrupt parts.
//
// libjpeg decodes a cut-off or damaged file "successfully": it warns, fills
// what is missing with grey or smears, and Qt returns that picture. This
// check decodes the entropy-coded data once more with an error manager of
// our own and reads those warnings by their codes, so the verdict depends
// neither on Qt's logging rules nor on any message handler. It decodes at
// 1/8 scale (DC only): every bit of the data is still read, but almost no
// pixels are made.
#include <QString>

#include <cstddef>

enum class IQJpegIntegrity {
    NotJpeg, // the bytes do not start like a JPEG; nothing was checked
    Intact,  // every scan decodes; warnings that lose no data are allowed
    Damaged, // data is missing or corrupt, or the file cannot be decoded at all
};

// Whether the bytes start with a JPEG start-of-image marker.
bool IQLooksLikeJpeg(const unsigned char* data, size_t size);

// Checks `size` bytes at `data`. With Damaged, *reason (when given) gets
// the decoder's words for the first fault.
IQJpegIntegrity IQCheckJpegData(const unsigned char* data, size_t size, QString* reason = nullptr);
