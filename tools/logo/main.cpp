// Draws the product logo: a rounded tile with a sunset over three stacked
// exposure bands (dark, middle, bright) merged into one picture.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

static QImage drawLogo(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    // Tile.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    QLinearGradient sky(0, 8, 0, 248);
    sky.setColorAt(0.0, QColor(0x1B, 0x2A, 0x49));
    sky.setColorAt(0.55, QColor(0x3A, 0x5F, 0xA0));
    sky.setColorAt(1.0, QColor(0x00, 0xBB, 0x9E));
    p.fillPath(tile, sky);
    p.setClipPath(tile);

    // Sun with a soft glow.
    QRadialGradient glow(QPointF(128, 118), 110);
    glow.setColorAt(0.0, QColor(255, 214, 120, 230));
    glow.setColorAt(0.45, QColor(255, 150, 60, 120));
    glow.setColorAt(1.0, QColor(255, 120, 40, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(128, 118), 110, 110);
    p.setBrush(QColor(255, 236, 170));
    p.drawEllipse(QPointF(128, 118), 40, 40);

    // Three exposure bands as hills: dark, middle and bright.
    const QColor bands[3] = {QColor(0x13, 0x1A, 0x24), QColor(0x25, 0x3B, 0x52), QColor(0x0F, 0x7F, 0x72)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath hill;
        const qreal base = 150 + i * 30;
        hill.moveTo(0, base + 20);
        hill.cubicTo(60, base - 30 + i * 8, 150, base + 40 - i * 10, 256, base - 10);
        hill.lineTo(256, 256);
        hill.lineTo(0, 256);
        hill.closeSubpath();
        QColor c = bands[2 - i];
        c.setAlpha(230);
        p.fillPath(hill, c);
    }

    // "HDR" lettering.
    p.setClipping(false);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(58);
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 240));
    p.drawText(QRectF(8, 168, 240, 72), Qt::AlignCenter, QStringLiteral("HDR"));

    // Thin rim.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 60), 3));
    p.drawPath(tile);
    p.end();
    return img;
}

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    struct Out {
        const char* name;
        int size;
    } outs[] = {{"icon_hdr_logo.png", 128}, {"icon_hdr_logo_24.png", 48}};
    for (const Out& o : outs) {
        const QString path = QDir(dir).filePath(QString::fromLatin1(o.name));
        if (!drawLogo(o.size).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
