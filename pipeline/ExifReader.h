#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reader of the EXIF block of a JPEG file held in memory: camera, exposure,
// lens and GPS fields of directory 0 and the EXIF and GPS sub-directories.
// Plain C++; every bound is checked in 64-bit arithmetic against the block.

enum ExifResult : int {
    ExifSuccess = 0,
    ExifNotJpeg = 1982,
    ExifNoExifBlock = 1983,
    ExifUnknownByteOrder = 1984,
    ExifCorrupt = 1985,
};

struct ExifRational
{
    std::int64_t numerator = 0;
    std::int64_t denominator = 0;
    double toDouble() const { return denominator ? double(numerator) / double(denominator) : 0.0; }
};

// One 12-byte directory entry and, once loaded, its value kept by type.
class ExifIfdEntry
{
public:
    enum Type : std::uint16_t {
        Byte = 1, Ascii = 2, Short = 3, Long = 4, Rational = 5, Undefined = 7, SLong = 9, SRational = 10
    };
    // Bit n set: type n is understood.
    static constexpr std::uint32_t SupportedTypes = 1726;

    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t valueOrOffset = 0;
    std::uint8_t rawValue[4] = {0, 0, 0, 0}; // the value field as stored

    std::vector<std::uint8_t> bytes;       // BYTE, UNDEFINED
    std::string text;                      // ASCII, up to the first NUL
    std::vector<std::uint32_t> integers;   // SHORT, LONG, SLONG (sign-cast)
    std::vector<ExifRational> rationals;   // RATIONAL, SRATIONAL

    void readLittleEndian(const std::uint8_t* p);
    void readBigEndian(const std::uint8_t* p);
    static bool isSupportedType(std::uint16_t type);
    static unsigned typeSize(std::uint16_t type);
    // Loads the value from the TIFF block; false when it lies outside.
    bool loadValue(const std::uint8_t* tiff, std::uint64_t tiffLength, bool littleEndian);
    void clear();

    double number(std::size_t index = 0) const; // any numeric type as a double
};

class ExifReader
{
public:
    int parseJpeg(const std::uint8_t* data, unsigned length);
    int parseExifSegment(const std::uint8_t* data, unsigned length);
    void reset();

    static std::uint32_t readUInt32(const std::uint8_t* p, bool littleEndian);
    static std::uint16_t readUInt16(const std::uint8_t* p, bool littleEndian);

    bool littleEndian = false;

    // Directory 0
    int bitsPerSample = 0;
    std::string imageDescription;
    std::string make;
    std::string model;
    int orientation = 0;
    std::string software;
    std::string dateTime;
    std::string copyright;

    // EXIF sub-directory
    double exposureTime = 0;        // seconds
    double fNumber = 0;
    int exposureProgram = 0;
    int isoSpeed = 0;
    std::string dateTimeOriginal;
    std::string dateTimeDigitized;
    double shutterSpeedValue = 0;   // APEX
    double exposureBias = 0;        // EV
    double subjectDistance = 0;     // metres
    int meteringMode = 0;
    int flash = 0;
    double focalLength = 0;         // mm
    std::string subSecTimeOriginal;
    unsigned imageWidth = 0;
    unsigned imageHeight = 0;
    double focalPlaneXResolution = 0;
    double focalPlaneYResolution = 0;
    int focalPlaneResolutionUnit = 0;
    int focalLengthIn35mm = 0;
    double lensMinFocalLength = 0;
    double lensMaxFocalLength = 0;
    double lensMinFNumberAtMinFocal = 0;
    double lensMinFNumberAtMaxFocal = 0;
    std::string lensMake;
    std::string lensModel;

    // GPS directory; degrees are unsigned, the reference gives the hemisphere
    std::string gpsLatitudeRef;
    double gpsLatitude = 0;
    std::string gpsLongitudeRef;
    double gpsLongitude = 0;
    int gpsAltitudeRef = 0;
    double gpsAltitude = 0;         // metres
    double gpsDop = 0;

private:
    enum class Directory { Main, Exif, Gps };
    int parseDirectory(const std::uint8_t* tiff, std::uint64_t tiffLength, std::uint64_t offset, Directory which,
                       std::uint32_t* exifOffset, std::uint32_t* gpsOffset);
    void store(const ExifIfdEntry& entry, Directory which, std::uint32_t* exifOffset, std::uint32_t* gpsOffset);
};
