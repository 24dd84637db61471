#include "ExifReader.h"

#include <cstring>

namespace {

bool isTextType(std::uint16_t type)
{
    return type == ExifIfdEntry::Ascii;
}

bool isIntegerType(std::uint16_t type)
{
    return type == ExifIfdEntry::Short || type == ExifIfdEntry::Long || type == ExifIfdEntry::SLong ||
           type == ExifIfdEntry::Byte;
}

bool isRationalType(std::uint16_t type)
{
    return type == ExifIfdEntry::Rational || type == ExifIfdEntry::SRational;
}

// Tags whose values the reader keeps, by directory.
bool isWanted(std::uint16_t tag, int directory)
{
    switch (directory) {
    case 0:
        switch (tag) {
        case 258: case 270: case 271: case 272: case 274: case 305: case 306: case 33432: case 34665: case 34853:
            return true;
        }
        return false;
    case 1:
        switch (tag) {
        case 33434: case 33437: case 34850: case 34855: case 36867: case 36868: case 37377: case 37380:
        case 37382: case 37383: case 37385: case 37386: case 37521: case 40962: case 40963: case 41486:
        case 41487: case 41488: case 41989: case 42034: case 42035: case 42036:
            return true;
        }
        return false;
    default:
        return (tag >= 1 && tag <= 6) || tag == 11;
    }
}

// Hostile values may exceed int; clamp instead of overflowing.
int clampToInt(double v)
{
    if (!(v > -2147483648.0))
        return v != v ? 0 : -2147483647 - 1;
    if (v > 2147483647.0)
        return 2147483647;
    return int(v);
}

unsigned clampToUnsigned(double v)
{
    if (!(v > 0.0))
        return 0;
    if (v > 4294967295.0)
        return 4294967295u;
    return unsigned(v);
}

} // namespace

// ---------------------------------------------------------------------------

void ExifIfdEntry::readLittleEndian(const std::uint8_t* p)
{
    tag = ExifReader::readUInt16(p, true);
    type = ExifReader::readUInt16(p + 2, true);
    count = ExifReader::readUInt32(p + 4, true);
    valueOrOffset = ExifReader::readUInt32(p + 8, true);
    std::memcpy(rawValue, p + 8, 4);
}

void ExifIfdEntry::readBigEndian(const std::uint8_t* p)
{
    tag = ExifReader::readUInt16(p, false);
    type = ExifReader::readUInt16(p + 2, false);
    count = ExifReader::readUInt32(p + 4, false);
    valueOrOffset = ExifReader::readUInt32(p + 8, false);
    std::memcpy(rawValue, p + 8, 4);
}

bool ExifIfdEntry::isSupportedType(std::uint16_t type)
{
    return type < 32 && ((SupportedTypes >> type) & 1u);
}

unsigned ExifIfdEntry::typeSize(std::uint16_t type)
{
    switch (type) {
    case Byte: case Ascii: case Undefined: return 1;
    case Short: return 2;
    case Long: case SLong: return 4;
    case Rational: case SRational: return 8;
    default: return 0;
    }
}

bool ExifIfdEntry::loadValue(const std::uint8_t* tiff, std::uint64_t tiffLength, bool littleEndian)
{
    clear();
    const std::uint64_t size = std::uint64_t(count) * typeSize(type);
    const std::uint8_t* p;
    if (size <= 4) {
        p = rawValue;
    } else {
        if (std::uint64_t(valueOrOffset) + size > tiffLength)
            return false;
        p = tiff + valueOrOffset;
    }
    switch (type) {
    case Byte:
    case Undefined:
        bytes.assign(p, p + size);
        break;
    case Ascii: {
        // Up to the first NUL, never past the count: a missing terminator is harmless.
        const void* nul = std::memchr(p, 0, std::size_t(size));
        text.assign(reinterpret_cast<const char*>(p),
                    nul ? std::size_t(static_cast<const std::uint8_t*>(nul) - p) : std::size_t(size));
        break;
    }
    case Short:
        integers.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            integers.push_back(ExifReader::readUInt16(p + 2 * std::size_t(i), littleEndian));
        break;
    case Long:
    case SLong:
        integers.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            integers.push_back(ExifReader::readUInt32(p + 4 * std::size_t(i), littleEndian));
        break;
    case Rational:
    case SRational:
        rationals.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t n = ExifReader::readUInt32(p + 8 * std::size_t(i), littleEndian);
            const std::uint32_t d = ExifReader::readUInt32(p + 8 * std::size_t(i) + 4, littleEndian);
            ExifRational r;
            if (type == SRational) {
                r.numerator = std::int32_t(n);
                r.denominator = std::int32_t(d);
            } else {
                r.numerator = n;
                r.denominator = d;
            }
            rationals.push_back(r);
        }
        break;
    default:
        return false;
    }
    return true;
}

void ExifIfdEntry::clear()
{
    bytes.clear();
    text.clear();
    integers.clear();
    rationals.clear();
}

double ExifIfdEntry::number(std::size_t index) const
{
    if (isRationalType(type))
        return index < rationals.size() ? rationals[index].toDouble() : 0.0;
    if (type == SLong)
        return index < integers.size() ? double(std::int32_t(integers[index])) : 0.0;
    if (type == Byte || type == Undefined)
        return index < bytes.size() ? double(bytes[index]) : 0.0;
    return index < integers.size() ? double(integers[index]) : 0.0;
}

// ---------------------------------------------------------------------------

std::uint32_t ExifReader::readUInt32(const std::uint8_t* p, bool littleEndian)
{
    if (littleEndian)
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    return std::uint32_t(p[3]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[0]) << 24;
}

std::uint16_t ExifReader::readUInt16(const std::uint8_t* p, bool littleEndian)
{
    return littleEndian ? std::uint16_t(p[0] | p[1] << 8) : std::uint16_t(p[1] | p[0] << 8);
}

void ExifReader::reset()
{
    *this = ExifReader();
}

int ExifReader::parseJpeg(const std::uint8_t* data, unsigned length)
{
    if (!data || length < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return ExifNotJpeg;
    // The picture must end somewhere: an end-of-image marker after the start.
    bool hasEnd = false;
    for (std::uint64_t i = length - 1; i >= 3; --i) {
        if (data[i - 1] == 0xFF && data[i] == 0xD9) {
            hasEnd = true;
            break;
        }
    }
    if (!hasEnd)
        return ExifNotJpeg;

    reset();
    // Walk the marker segments up to the scan; only an APP1 that starts with
    // the EXIF signature is the EXIF block (XMP and others also use APP1).
    std::uint64_t pos = 2;
    while (pos + 1 < length) {
        if (data[pos] != 0xFF)
            return ExifCorrupt;
        while (pos + 1 < length && data[pos + 1] == 0xFF)
            ++pos; // fill bytes
        if (pos + 1 >= length)
            break;
        const std::uint8_t marker = data[pos + 1];
        pos += 2;
        if (marker == 0xD9 || marker == 0xDA)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // no length field
        if (pos + 2 > length)
            return ExifCorrupt;
        const std::uint64_t segmentLength = readUInt16(data + pos, false);
        if (segmentLength < 2 || pos + segmentLength > length)
            return ExifCorrupt;
        if (marker == 0xE1 && segmentLength >= 8 && std::memcmp(data + pos + 2, "Exif\0\0", 6) == 0) {
            if (segmentLength < 16)
                return ExifCorrupt;
            return parseExifSegment(data + pos + 2, unsigned(segmentLength - 2));
        }
        pos += segmentLength;
    }
    return ExifNoExifBlock;
}

int ExifReader::parseExifSegment(const std::uint8_t* data, unsigned length)
{
    // Nothing of an earlier block may survive into this one.
    reset();
    if (!data || length < 6 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return ExifNoExifBlock;
    if (length < 14)
        return ExifCorrupt;
    const std::uint8_t* tiff = data + 6;
    const std::uint64_t tiffLength = length - 6;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        littleEndian = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        littleEndian = false;
    else
        return ExifUnknownByteOrder;
    if (readUInt16(tiff + 2, littleEndian) != 42)
        return ExifCorrupt;

    std::uint32_t exifOffset = 0;
    std::uint32_t gpsOffset = 0;
    int result = parseDirectory(tiff, tiffLength, readUInt32(tiff + 4, littleEndian), Directory::Main, &exifOffset,
                                &gpsOffset);
    if (result != ExifSuccess)
        return result;
    // Each sub-directory is read once, from directory 0 only: no pointer loops.
    if (exifOffset) {
        result = parseDirectory(tiff, tiffLength, exifOffset, Directory::Exif, nullptr, nullptr);
        if (result != ExifSuccess)
            return result;
    }
    if (gpsOffset) {
        result = parseDirectory(tiff, tiffLength, gpsOffset, Directory::Gps, nullptr, nullptr);
        if (result != ExifSuccess)
            return result;
    }
    return ExifSuccess;
}

int ExifReader::parseDirectory(const std::uint8_t* tiff, std::uint64_t tiffLength, std::uint64_t offset,
                               Directory which, std::uint32_t* exifOffset, std::uint32_t* gpsOffset)
{
    if (offset + 2 > tiffLength)
        return ExifCorrupt;
    const std::uint64_t entries = readUInt16(tiff + offset, littleEndian);
    if (offset + 2 + entries * 12 > tiffLength)
        return ExifCorrupt;
    ExifIfdEntry entry;
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::uint8_t* p = tiff + offset + 2 + i * 12;
        if (littleEndian)
            entry.readLittleEndian(p);
        else
            entry.readBigEndian(p);
        if (!isWanted(entry.tag, int(which)) || !ExifIfdEntry::isSupportedType(entry.type))
            continue;
        if (!entry.loadValue(tiff, tiffLength, littleEndian))
            return ExifCorrupt;
        store(entry, which, exifOffset, gpsOffset);
        entry.clear();
    }
    return ExifSuccess;
}

void ExifReader::store(const ExifIfdEntry& e, Directory which, std::uint32_t* exifOffset, std::uint32_t* gpsOffset)
{
    const bool text = isTextType(e.type);
    const bool integer = isIntegerType(e.type);
    const bool numeric = integer || isRationalType(e.type);
    const bool hasNumber = numeric && e.count > 0;
    auto asInt = [&e]() { return clampToInt(e.number(0)); };

    if (which == Directory::Main) {
        switch (e.tag) {
        case 258: if (integer && hasNumber) bitsPerSample = asInt(); break;
        case 270: if (text) imageDescription = e.text; break;
        case 271: if (text) make = e.text; break;
        case 272: if (text) model = e.text; break;
        case 274: if (integer && hasNumber) orientation = asInt(); break;
        case 305: if (text) software = e.text; break;
        case 306: if (text) dateTime = e.text; break;
        case 33432: if (text) copyright = e.text; break;
        case 34665: if (integer && hasNumber && exifOffset) *exifOffset = e.integers.empty() ? 0 : e.integers[0]; break;
        case 34853: if (integer && hasNumber && gpsOffset) *gpsOffset = e.integers.empty() ? 0 : e.integers[0]; break;
        }
        return;
    }
    if (which == Directory::Exif) {
        switch (e.tag) {
        case 33434: if (hasNumber) exposureTime = e.number(0); break;
        case 33437: if (hasNumber) fNumber = e.number(0); break;
        case 34850: if (integer && hasNumber) exposureProgram = asInt(); break;
        case 34855: if (integer && hasNumber) isoSpeed = asInt(); break;
        case 36867: if (text) dateTimeOriginal = e.text; break;
        case 36868: if (text) dateTimeDigitized = e.text; break;
        case 37377: if (hasNumber) shutterSpeedValue = e.number(0); break;
        case 37380: if (hasNumber) exposureBias = e.number(0); break;
        case 37382: if (hasNumber) subjectDistance = e.number(0); break;
        case 37383: if (integer && hasNumber) meteringMode = asInt(); break;
        case 37385: if (integer && hasNumber) flash = asInt(); break;
        case 37386: if (hasNumber) focalLength = e.number(0); break;
        case 37521: if (text) subSecTimeOriginal = e.text; break;
        case 40962: if (integer && hasNumber) imageWidth = clampToUnsigned(e.number(0)); break;
        case 40963: if (integer && hasNumber) imageHeight = clampToUnsigned(e.number(0)); break;
        case 41486: if (hasNumber) focalPlaneXResolution = e.number(0); break;
        case 41487: if (hasNumber) focalPlaneYResolution = e.number(0); break;
        case 41488: if (integer && hasNumber) focalPlaneResolutionUnit = asInt(); break;
        case 41989: if (integer && hasNumber) focalLengthIn35mm = asInt(); break;
        case 42034:
            if (numeric && e.count >= 4) {
                lensMinFocalLength = e.number(0);
                lensMaxFocalLength = e.number(1);
                lensMinFNumberAtMinFocal = e.number(2);
                lensMinFNumberAtMaxFocal = e.number(3);
            }
            break;
        case 42035: if (text) lensMake = e.text; break;
        case 42036: if (text) lensModel = e.text; break;
        }
        return;
    }
    // Degrees, minutes and seconds to decimal degrees.
    auto degrees = [&e]() {
        return e.number(0) + (e.count > 1 ? e.number(1) / 60.0 : 0.0) + (e.count > 2 ? e.number(2) / 3600.0 : 0.0);
    };
    switch (e.tag) {
    case 1: if (text) gpsLatitudeRef = e.text; break;
    case 2: if (isRationalType(e.type) && e.count > 0) gpsLatitude = degrees(); break;
    case 3: if (text) gpsLongitudeRef = e.text; break;
    case 4: if (isRationalType(e.type) && e.count > 0) gpsLongitude = degrees(); break;
    case 5: if (hasNumber) gpsAltitudeRef = asInt(); break;
    case 6: if (hasNumber) gpsAltitude = e.number(0); break;
    case 11: if (hasNumber) gpsDop = e.number(0); break;
    }
}
