// Renders the thumbnails of the editing page's effect list: a procedural
// landscape (sky with sun and clouds, hazy mountains, lit hills, a tree with
// its shadow, a meadow) run through the adjustment processor with each
// preset, written as <dir>/0.jpg ... <dir>/10.jpg. Deterministic, except the
// film noise of "Old Photo", which the engine draws anew on every pass.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "IQAdjustingProcessor.h"
#include "IQParams.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kThumbWidth = 320;
constexpr int kThumbHeight = 240;

double hash2(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xffffff) / double(0xffffff);
}

double smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, int seed)
{
    const int xi = int(std::floor(x));
    const int yi = int(std::floor(y));
    const double fx = smooth(x - xi);
    const double fy = smooth(y - yi);
    const double a = hash2(xi, yi, seed), b = hash2(xi + 1, yi, seed);
    const double c = hash2(xi, yi + 1, seed), d = hash2(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double fbm(double x, double y, int seed, int octaves = 5)
{
    double sum = 0.0, amp = 0.5, norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + i * 17);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb& a, double s)
{
    return {a.r * s, a.g * s, a.b * s};
}

// Linear light of the landscape at (x, y) in a kWidth x kHeight frame.
Rgb landscape(int px, int py)
{
    const double w = kWidth, h = kHeight;
    const double x = px / w, y = py / h;
    const double sunX = 0.72, sunY = 0.20;
    const double sunDist = std::hypot((x - sunX) * w / h, y - sunY);

    // Sky with sun, glow and lit clouds.
    const double horizon = 0.56;
    Rgb sky = mix({0.05, 0.14, 0.45}, {0.75, 0.62, 0.45}, std::pow(std::clamp(y / horizon, 0.0, 1.0), 1.6));
    sky = mix(sky, {1.6, 1.2, 0.7}, std::exp(-sunDist * 9.0) * 0.8);
    const double cloud = std::clamp((fbm(x * 6.0, y * 14.0, 3) - 0.52) * 4.0, 0.0, 1.0) *
                         std::clamp(1.0 - y / 0.45, 0.0, 1.0);
    const double cloudLight = 0.55 + 0.9 * std::exp(-sunDist * 3.0);
    sky = mix(sky, scale({0.95, 0.9, 0.88}, cloudLight), cloud * 0.85);
    if (sunDist < 0.035)
        sky = {8.0, 7.0, 5.0};

    // Hazy far mountains.
    const double ridge1 = 0.53 - 0.26 * std::clamp((fbm(x * 4.0, 0.5, 11, 6) - 0.3) * 1.8, 0.0, 1.0);
    // Green hills lit from the sun's side.
    const double ridge2 = 0.64 - 0.07 * fbm(x * 2.2, 2.5, 23) - 0.03 * std::sin(x * 7.0);
    Rgb c = sky;
    if (y > ridge1) {
        // Rock texture lit from the right, snow near the crest, haze towards the valley.
        const double rock = fbm(x * 9.0 + y * 3.0, y * 22.0, 13, 5);
        const double facing = fbm(x * 5.0 + 0.02, y * 8.0, 17, 3) - fbm(x * 5.0 - 0.02, y * 8.0, 17, 3);
        const double lit = std::clamp(0.45 + 0.5 * rock + facing * 6.0, 0.2, 1.1);
        Rgb mountain = scale({0.30, 0.33, 0.42}, lit);
        if (y < 0.38 + 0.05 * rock)
            mountain = scale({0.92, 0.94, 1.0}, 0.6 + 0.5 * lit);
        mountain = mix(mountain, {0.72, 0.66, 0.58}, 0.45 * std::clamp((y - ridge1) / 0.15, 0.0, 1.0));
        c = mountain;
    }
    if (y > ridge2) {
        const double tex = fbm(x * 40.0, y * 60.0, 31, 4);
        const double depth = std::clamp((y - ridge2) / (1.0 - ridge2), 0.0, 1.0);
        const double side = 0.6 + 0.6 * x; // the sun is on the right
        Rgb grass = mix({0.16, 0.30, 0.06}, {0.38, 0.46, 0.10}, tex);
        grass = scale(grass, side * (0.7 + 0.6 * depth));
        // Warm flowers scattered in the meadow.
        if (depth > 0.4 && hash2(px / 3, py / 3, 41) > 0.985)
            grass = {0.9, 0.55, 0.12};
        c = grass;

        // A tree on the left and its shadow across the meadow.
        const double tx = 0.17, groundY = 0.86;
        const double shadowDx = (x - (tx - 0.16)) / 0.22, shadowDy = (y - groundY - 0.02) / 0.05;
        if (shadowDx * shadowDx + shadowDy * shadowDy < 1.0)
            c = scale(c, 0.18);
    }
    // Trunk and crown (drawn over sky and ground).
    const double tx = 0.17;
    if (std::fabs(x - tx) < 0.012 && y > 0.55 && y < 0.88)
        c = {0.06, 0.04, 0.025};
    const double cdx = (x - tx) * w / h, cdy = y - 0.45;
    const double crown = std::hypot(cdx, cdy * 1.15);
    const double edge = 0.17 + 0.03 * (fbm(std::atan2(cdy, cdx) * 3.0, 0.0, 53) - 0.5);
    if (crown < edge) {
        const double leaf = fbm(x * 50.0, y * 50.0, 61, 3);
        const double lit = std::clamp(0.15 + 1.2 * (cdx / edge) + 0.3 * leaf, 0.08, 0.9);
        c = scale({0.10, 0.22, 0.05}, lit);
    }
    return c;
}

int encode(double v)
{
    // A soft shoulder keeps the sun and glow from clipping flat.
    v = v / (1.0 + 0.35 * v) * 1.35;
    v = std::clamp(v, 0.0, 1.0);
    const double s = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return int(std::lround(std::clamp(s, 0.0, 1.0) * 255.0));
}

QImage renderLandscape()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    for (int y = 0; y < kHeight; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = landscape(x, y);
            row[3 * x + 0] = uchar(encode(c.r));
            row[3 * x + 1] = uchar(encode(c.g));
            row[3 * x + 2] = uchar(encode(c.b));
        }
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: vantrel_effectthumbs <output folder>\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        err << "cannot create " << dir.path() << "\n";
        return 1;
    }
    const QImage scene = renderLandscape();
    for (int effect = 0; effect <= IQProcessParams::PresetCount; ++effect) {
        // A fresh processor per effect, as the page has one per picture.
        IQAdjustingProcessor processor(scene);
        if (!processor.isValid()) {
            err << "the processor cannot take the scene (error " << processor.lastError() << ")\n";
            return 1;
        }
        IQProcessParams params;
        params.setPreset(effect);
        const QImage result = processor.processWith(params);
        if (result.isNull()) {
            err << "effect " << effect << " failed (error " << processor.lastError() << ")\n";
            return 1;
        }
        const QImage thumb = result.convertToFormat(QImage::Format_RGB888)
                                 .scaled(kThumbWidth, kThumbHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString path = dir.filePath(QStringLiteral("%1.jpg").arg(effect));
        QImageWriter writer(path, "jpg");
        writer.setQuality(88);
        writer.setOptimizedWrite(true);
        if (!writer.write(thumb)) {
            err << "cannot write " << path << ": " << writer.errorString() << "\n";
            return 1;
        }
    }
    return 0;
}
