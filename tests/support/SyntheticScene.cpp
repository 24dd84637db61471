#include "SyntheticScene.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <random>

namespace SyntheticScene {

namespace {

quint32 hash3(qint32 x, qint32 y, quint32 seed)
{
    quint32 h = seed * 0x9E3779B9u;
    h ^= quint32(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= quint32(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Blocky value noise in 0..1: one random value per cell of the given size.
float cellNoise(int x, int y, int cell, quint32 seed)
{
    const int cx = x >= 0 ? x / cell : -((-x + cell - 1) / cell);
    const int cy = y >= 0 ? y / cell : -((-y + cell - 1) / cell);
    return float(hash3(cx, cy, seed) & 0xFFFF) / 65535.0f;
}

} // namespace

RadianceScene::RadianceScene(QSize layout, quint32 seed, bool lightAndShadow)
    : m_layout(layout.isValid() && !layout.isEmpty() ? layout : QSize(320, 240)), m_seed(seed),
      m_lightAndShadow(lightAndShadow)
{
}

float RadianceScene::texture(int x, int y) const
{
    // Structure at several scales: coarse blocks, medium blocks, fine grain.
    const float coarse = cellNoise(x, y, 48, m_seed);
    const float medium = cellNoise(x, y, 12, m_seed + 1);
    const float fine = cellNoise(x, y, 3, m_seed + 2);
    return 0.55f + 0.5f * coarse + 0.3f * medium + 0.15f * fine; // 0.55 .. 1.5
}

void RadianceScene::radiance(int x, int y, float rgb[3]) const
{
    const float w = float(m_layout.width());
    const float h = float(m_layout.height());
    // Horizontal and vertical gradients under the texture.
    const float gx = std::clamp(float(x) / w, -0.5f, 1.5f);
    const float gy = std::clamp(float(y) / h, -0.5f, 1.5f);
    const float base = 0.04f + 0.22f * (0.5f + 0.5f * gx) * (0.7f + 0.3f * gy);
    const float t = texture(x, y);
    float value = base * t;
    float r = value * 1.1f, g = value, b = value * 0.85f;
    if (m_lightAndShadow) {
        // Deep shadow: the lower left quarter.
        if (float(x) < 0.3f * w && float(y) > 0.65f * h) {
            r *= 0.02f;
            g *= 0.02f;
            b *= 0.02f;
        }
        // Bright light: a disc in the upper right.
        const float dx = float(x) - 0.75f * w;
        const float dy = float(y) - 0.3f * h;
        const float radius = 0.08f * std::min(w, h);
        if (dx * dx + dy * dy < radius * radius) {
            const float light = 25.0f * (0.8f + 0.2f * t);
            r = light;
            g = light * 0.95f;
            b = light * 0.8f;
        }
    }
    rgb[0] = r;
    rgb[1] = g;
    rgb[2] = b;
}

float RadianceScene::peak() const
{
    return m_lightAndShadow ? 25.0f * (0.8f + 0.2f * 1.5f) : (0.04f + 0.22f) * 1.5f * 1.1f;
}

int encodeSRGB(double linear)
{
    const double c = std::clamp(linear, 0.0, 1.0);
    const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    return int(std::lround(v * 255.0));
}

double decodeSRGB(int value)
{
    const double c = std::clamp(value, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QImage renderFrame(const RadianceScene& scene, QSize size, double exposure, QPoint shift, double noiseSigma,
                   quint32 noiseSeed, QImage::Format format)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    std::mt19937 random(noiseSeed);
    std::normal_distribution<double> noise(0.0, noiseSigma > 0.0 ? noiseSigma : 1.0);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            float rgb[3];
            scene.radiance(x - shift.x(), y - shift.y(), rgb);
            int v[3];
            for (int c = 0; c < 3; ++c) {
                double level = encodeSRGB(double(rgb[c]) * exposure);
                if (noiseSigma > 0.0)
                    level += noise(random);
                v[c] = std::clamp(int(std::lround(level)), 0, 255);
            }
            line[x] = qRgb(v[0], v[1], v[2]);
        }
    }
    return format == QImage::Format_RGB32 ? image : image.convertToFormat(format);
}

QList<QImage> renderBracket(const BracketSpec& recipe)
{
    const RadianceScene scene(recipe.size, recipe.seed, recipe.lightAndShadow);
    QList<QImage> frames;
    for (int i = 0; i < recipe.exposures.size(); ++i) {
        const QPoint shift = i < recipe.shifts.size() ? recipe.shifts[i] : QPoint();
        frames.append(renderFrame(scene, recipe.size, recipe.exposures[i], shift, recipe.noiseSigma,
                                  recipe.seed * 31u + quint32(i)));
    }
    return frames;
}

QString writeImage(const QImage& image, const QString& dir, const QString& name, const QByteArray& format,
                   int quality)
{
    const QString path = QDir(dir).filePath(name + QLatin1Char('.') + QString::fromLatin1(format));
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    return writer.write(image) ? path : QString();
}

QStringList writeBracket(const BracketSpec& recipe, const QString& dir, const QByteArray& format,
                         const QString& baseName)
{
    const QList<QImage> frames = renderBracket(recipe);
    QStringList paths;
    for (int i = 0; i < frames.size(); ++i) {
        const QString path = writeImage(frames[i], dir, baseName + QString::number(i), format);
        if (path.isEmpty())
            return QStringList();
        paths.append(path);
    }
    return paths;
}

QByteArray jpegWithOrientation(const QImage& stored, int orientation)
{
    // Little-endian TIFF header, one entry (tag 0x0112, SHORT, count 1, the
    // value), no next block.
    QByteArray tiff("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18);
    tiff += char(orientation);
    tiff += QByteArray(7, '\0');
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    if (!buffer.open(QIODevice::WriteOnly) || !stored.save(&buffer, "jpeg"))
        return QByteArray();
    // APP1 right after the start-of-image marker; its length counts itself.
    return jpeg.insert(2, QByteArray("\xff\xe1\0", 3) + char(exif.size() + 2) + exif);
}

QImage uniformImage(QSize size, QRgb color, QImage::Format format)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return format == QImage::Format_ARGB32 ? image : image.convertToFormat(format);
}

QImage noiseImage(QSize size, quint32 seed, QImage::Format format)
{
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const quint32 v = random();
            line[x] = qRgb(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
        }
    }
    return format == QImage::Format_RGB32 ? image : image.convertToFormat(format);
}

} // namespace SyntheticScene
