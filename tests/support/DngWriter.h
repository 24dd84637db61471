#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>

// Test-only writer of small DNG files: little-endian TIFF with the DNG tags
// LibRaw needs, a 16-bit RGGB Bayer image and an optional embedded preview.
// The Bayer samples come from a scene picture read as linear camera RGB:
// 16-bit samples as they are, 8-bit ones times 257.
struct DngSpec
{
    enum class Preview { None, Jpeg, Rgb, Grey };

    QImage scene;                 // sensor-order picture; its size is the sensor size
    // Camera RGB seen for linear sRGB (row-major); identity: the camera sees sRGB.
    std::array<double, 9> cameraFromSrgb{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::array<double, 3> asShotNeutral{1, 1, 1}; // camera values of a white surface
    int orientation = 1;          // EXIF orientation 1..8
    Preview preview = Preview::None;
    QImage previewImage;          // stored in sensor order as given
    int jpegQuality = 90;
    int whiteLevel = 65535;
};

class DngWriter
{
public:
    // The whole file; empty when the recipe cannot be written.
    static QByteArray build(const DngSpec& recipe);
    static bool write(const QString& path, const DngSpec& recipe);

    // A plain 8-bit RGB TIFF (no RAW data) in tiles of `tile` pixels, or in
    // one strip when `tile` is 0; `make` adds a camera maker tag.
    static QByteArray plainTiff(const QImage& image, int tile, const QByteArray& make = {});

    // A scene of four flat quadrants: red, green / blue, white (top-left,
    // top-right / bottom-left, bottom-right).
    static QImage quadrantScene(int width, int height);
};
