#pragma once
// Synthetic pictures for tests: a procedural linear-light scene (texture,
// gradients, a bright light and a deep shadow) rendered at chosen exposures,
// with optional whole-pixel shifts and noise, plus small picture helpers.
// Qt only, so every test folder can use it.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

namespace SyntheticScene {

// A scene defined at every integer coordinate, so shifted frames keep real
// content at their borders. Features are laid out relative to `layout`.
class RadianceScene {
public:
    explicit RadianceScene(QSize layout = QSize(320, 240), quint32 seed = 1, bool lightAndShadow = true);

    // Linear radiance (R, G, B) at scene pixel (x, y). Radiance 1.0 at
    // exposure 1.0 is full white; the light is far brighter, the shadow
    // far darker.
    void radiance(int x, int y, float rgb[3]) const;

    QSize layout() const { return m_layout; }
    // Largest radiance of any pixel of the layout area.
    float peak() const;

private:
    float texture(int x, int y) const;

    QSize m_layout;
    quint32 m_seed;
    bool m_lightAndShadow;
};

// Encodes linear light (0..1) to an 8-bit sRGB value.
int encodeSRGB(double linear);
// Decodes an 8-bit sRGB value to linear light (0..1).
double decodeSRGB(int value);

// One frame: pixel (x, y) shows scene pixel (x - shift.x, y - shift.y), so
// the content moves right/down by the shift. Gaussian noise of noiseSigma
// 8-bit levels is added when non-zero.
QImage renderFrame(const RadianceScene& scene, QSize size, double exposure, QPoint shift = QPoint(),
                   double noiseSigma = 0.0, quint32 noiseSeed = 1,
                   QImage::Format format = QImage::Format_RGB32);

struct BracketSpec {
    QSize size{320, 240};
    QList<double> exposures{0.25, 1.0, 4.0};
    QList<QPoint> shifts;      // one per frame; missing entries mean no shift
    double noiseSigma = 0.0;   // 8-bit levels
    quint32 seed = 1;
    bool lightAndShadow = true;
};

QList<QImage> renderBracket(const BracketSpec& recipe);

// Writes the picture as dir/name.<format> ("png", "jpg", "tif", ...);
// returns the path, or an empty string when writing failed.
QString writeImage(const QImage& image, const QString& dir, const QString& name, const QByteArray& format = "png",
                   int quality = 95);

// Renders and writes a bracket; returns the paths in frame order (empty on
// a write failure).
QStringList writeBracket(const BracketSpec& recipe, const QString& dir, const QByteArray& format = "png",
                         const QString& baseName = QStringLiteral("frame"));

// JPEG bytes of a picture stored as it is, with an EXIF block whose only
// entry is the given orientation (1..8; 6 is "rotate 90").
QByteArray jpegWithOrientation(const QImage& stored, int orientation);

// A picture of one colour.
QImage uniformImage(QSize size, QRgb color, QImage::Format format = QImage::Format_RGB32);

// A picture of seeded random colours (every channel of every pixel).
QImage noiseImage(QSize size, quint32 seed, QImage::Format format = QImage::Format_RGB32);

} // namespace SyntheticScene
