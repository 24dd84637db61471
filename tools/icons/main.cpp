// Paints the application's icons with QPainter and writes them as PNG files:
// <name>.png at the logical size and <name>@2x.png at twice that, except for
// pixmap-button assets, which are written once at twice their shown size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <functional>

namespace {

const QColor kInk(0xbf, 0xbf, 0xbf);
const QColor kAccent(0x43, 0x9c, 0xf3);
const QColor kDisabled(0x5c, 0x5c, 0x5c);

using Painter = std::function<void(QPainter&)>;

QPen inkPen(double width, const QColor& colour = kInk)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QImage render(int logicalSize, int factor, const Painter& paint)
{
    QImage image(logicalSize * factor, logicalSize * factor, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(factor, factor);
    paint(p);
    p.end();
    return image;
}

// Collapsed arrow: a solid triangle pointing right (9 x 9).
void arrowRight(QPainter& p)
{
    QPainterPath path;
    path.moveTo(2.5, 1.0);
    path.lineTo(7.5, 4.5);
    path.lineTo(2.5, 8.0);
    path.closeSubpath();
    p.fillPath(path, kInk);
}

// Expanded arrow: a solid triangle pointing down (9 x 9).
void arrowDown(QPainter& p)
{
    QPainterPath path;
    path.moveTo(1.0, 2.5);
    path.lineTo(8.0, 2.5);
    path.lineTo(4.5, 7.5);
    path.closeSubpath();
    p.fillPath(path, kInk);
}

// Reset: an anticlockwise open circle whose arrow head points up at the right (16 x 16).
void restore(QPainter& p)
{
    const QPointF c(8.0, 8.5);
    const double r = 5.0;
    p.setPen(inkPen(1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 60 * 16, 270 * 16);
    // The arc ends at 330 degrees; the head follows the anticlockwise tangent there.
    const double t = 330.0 * M_PI / 180.0;
    const QPointF end = c + QPointF(r * std::cos(t), -r * std::sin(t));
    const QPointF dir(-std::sin(t), -std::cos(t));
    const QPointF normal(std::cos(t), -std::sin(t));
    QPainterPath head;
    head.moveTo(end + dir * 3.0);
    head.lineTo(end + normal * 2.6 - dir * 0.8);
    head.lineTo(end - normal * 2.6 - dir * 0.8);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(head, kInk);
}

// Back: a bar and a triangle pointing left (24 x 24).
void stepBackward(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(6.0, 6.5, 2.2, 11.0), 1.0, 1.0);
    QPainterPath tri;
    tri.moveTo(18.0, 6.5);
    tri.lineTo(18.0, 17.5);
    tri.lineTo(9.5, 12.0);
    tri.closeSubpath();
    p.drawPath(tri);
}

// Export: a tray with an arrow leaving it upwards (24 x 24).
void exportIcon(QPainter& p)
{
    p.setPen(inkPen(1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(5.0, 13.5);
    tray.lineTo(5.0, 19.0);
    tray.lineTo(19.0, 19.0);
    tray.lineTo(19.0, 13.5);
    p.drawPath(tray);
    p.drawLine(QPointF(12.0, 15.0), QPointF(12.0, 4.5));
    QPainterPath head;
    head.moveTo(8.0, 8.5);
    head.lineTo(12.0, 4.5);
    head.lineTo(16.0, 8.5);
    p.drawPath(head);
}

// Fit in: four corner brackets around a frame (24 x 24).
void fitIn(QPainter& p)
{
    p.setPen(inkPen(1.6));
    p.setBrush(Qt::NoBrush);
    const double lo = 4.5, hi = 19.5, len = 4.5;
    const QPointF corners[4] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
    for (const QPointF& c : corners) {
        const double sx = c.x() < 12 ? 1 : -1;
        const double sy = c.y() < 12 ? 1 : -1;
        QPainterPath bracket;
        bracket.moveTo(c + QPointF(0, sy * len));
        bracket.lineTo(c);
        bracket.lineTo(c + QPointF(sx * len, 0));
        p.drawPath(bracket);
    }
    p.drawRoundedRect(QRectF(8.5, 9.5, 7.0, 5.0), 1.0, 1.0);
}

// Actual size: "1:1" drawn with strokes (24 x 24).
void actualSize(QPainter& p)
{
    p.setPen(inkPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3.5, 4.5, 17.0, 15.0), 2.0, 2.0);
    QPainterPath one;
    one.moveTo(7.0, 9.5);
    one.lineTo(8.8, 8.3);
    one.lineTo(8.8, 15.7);
    p.drawPath(one);
    QPainterPath other;
    other.moveTo(14.2, 9.5);
    other.lineTo(16.0, 8.3);
    other.lineTo(16.0, 15.7);
    p.drawPath(other);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(12.0, 10.3), 0.95, 0.95);
    p.drawEllipse(QPointF(12.0, 13.9), 0.95, 0.95);
}

// Before / after: a frame split down the middle, the right half filled (24 x 24).
void beforeAfter(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    QPainterPath right;
    right.addRoundedRect(QRectF(12.0, 5.0, 8.5, 14.0), 2.0, 2.0);
    right.addRect(QRectF(12.0, 5.0, 2.0, 14.0));
    p.drawPath(right.simplified());
    p.setPen(inkPen(1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3.75, 5.0, 16.5, 14.0), 2.0, 2.0);
    p.drawLine(QPointF(12.0, 3.0), QPointF(12.0, 21.0));
}

// View original: an eye (24 x 24); in the accent colour while held.
void eye(QPainter& p, const QColor& colour)
{
    p.setPen(inkPen(1.6, colour));
    p.setBrush(Qt::NoBrush);
    QPainterPath outline;
    outline.moveTo(3.0, 12.0);
    outline.quadTo(12.0, 2.5, 21.0, 12.0);
    outline.quadTo(12.0, 21.5, 3.0, 12.0);
    p.drawPath(outline);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(12.0, 12.0), 3.2, 3.2);
}

// Open: a folder with an arrow pointing into it (24 x 24).
void openIcon(QPainter& p)
{
    p.setPen(inkPen(1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath folder;
    folder.moveTo(3.5, 18.5);
    folder.lineTo(3.5, 6.0);
    folder.lineTo(9.0, 6.0);
    folder.lineTo(10.8, 8.0);
    folder.lineTo(20.5, 8.0);
    folder.lineTo(20.5, 18.5);
    folder.closeSubpath();
    p.drawPath(folder);
    p.drawLine(QPointF(12.0, 10.5), QPointF(12.0, 16.5));
    p.drawLine(QPointF(9.0, 13.5), QPointF(15.0, 13.5));
}

// Remove: a waste bin (24 x 24).
void removeIcon(QPainter& p, const QColor& colour)
{
    p.setPen(inkPen(1.6, colour));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(4.5, 6.5), QPointF(19.5, 6.5));
    QPainterPath lid;
    lid.moveTo(9.5, 6.5);
    lid.lineTo(9.5, 4.0);
    lid.lineTo(14.5, 4.0);
    lid.lineTo(14.5, 6.5);
    p.drawPath(lid);
    QPainterPath bin;
    bin.moveTo(6.5, 6.5);
    bin.lineTo(7.5, 20.0);
    bin.lineTo(16.5, 20.0);
    bin.lineTo(17.5, 6.5);
    p.drawPath(bin);
    p.drawLine(QPointF(10.3, 10.0), QPointF(10.3, 16.5));
    p.drawLine(QPointF(13.7, 10.0), QPointF(13.7, 16.5));
}

// A photo frame with a mountain and a sun inside `frame`.
void photoFrame(QPainter& p, const QRectF& frame, const QColor& colour, double pen)
{
    p.setPen(inkPen(pen, colour));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 2.0, 2.0);
    const double w = frame.width(), h = frame.height();
    QPainterPath mountain;
    mountain.moveTo(frame.left() + 0.12 * w, frame.bottom() - 0.16 * h);
    mountain.lineTo(frame.left() + 0.40 * w, frame.top() + 0.42 * h);
    mountain.lineTo(frame.left() + 0.58 * w, frame.top() + 0.64 * h);
    mountain.lineTo(frame.left() + 0.70 * w, frame.top() + 0.52 * h);
    mountain.lineTo(frame.right() - 0.12 * w, frame.bottom() - 0.16 * h);
    mountain.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(mountain);
    p.drawEllipse(QPointF(frame.right() - 0.24 * w, frame.top() + 0.26 * h), 0.08 * w, 0.08 * w);
}

// Bracketing Mode: three stacked frames, the front one a photo (40 x 40).
void bracketIcon(QPainter& p, const QColor& colour)
{
    QColor back = colour;
    back.setAlphaF(0.45);
    QColor middle = colour;
    middle.setAlphaF(0.7);
    p.setPen(inkPen(1.6, back));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(14.0, 6.0, 20.0, 15.0), 2.0, 2.0);
    p.setPen(inkPen(1.6, middle));
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRoundedRect(QRectF(10.0, 10.5, 20.0, 15.0), 2.0, 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRoundedRect(QRectF(6.0, 15.0, 20.0, 15.0), 2.0, 2.0);
    photoFrame(p, QRectF(6.0, 15.0, 20.0, 15.0), colour, 1.6);
}

// Single Photo Mode: one frame with a mountain (40 x 40).
void singleIcon(QPainter& p, const QColor& colour)
{
    photoFrame(p, QRectF(7.0, 9.0, 26.0, 21.0), colour, 1.8);
}

// Thumbnail placeholders: a dark tile with a faint photo glyph (120 x 120).
void placeholderTile(QPainter& p)
{
    p.setPen(QPen(QColor(0x3a, 0x3a, 0x3a), 1.0));
    p.setBrush(QColor(0x2b, 0x2b, 0x2b));
    p.drawRoundedRect(QRectF(10.5, 20.5, 99.0, 79.0), 4.0, 4.0);
}

// Loading: the tile with a ring of dots fading round, like a spinner caught mid-turn.
void loadingIcon(QPainter& p)
{
    placeholderTile(p);
    p.setPen(Qt::NoPen);
    const QPointF c(60.0, 60.0);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4.0;
        QColor dot = kInk;
        dot.setAlphaF(0.2 + 0.1 * i);
        p.setBrush(dot);
        p.drawEllipse(c + QPointF(14.0 * std::cos(a), -14.0 * std::sin(a)), 3.2, 3.2);
    }
}

// Failed thumbnail: the tile with a photo glyph crossed out and a warning mark.
void loadingErrorIcon(QPainter& p)
{
    placeholderTile(p);
    const QColor dim(0x6a, 0x6a, 0x6a);
    photoFrame(p, QRectF(38.0, 40.0, 44.0, 34.0), dim, 2.0);
    p.setPen(inkPen(2.4, QColor(0xd9, 0x53, 0x4f)));
    p.drawLine(QPointF(34.0, 36.0), QPointF(86.0, 78.0));
}

// Title bar, drawn for 16 x 16 on the #222222 bar.
void menuIcon(QPainter& p)
{
    p.setPen(inkPen(1.4));
    p.drawLine(QPointF(3.0, 4.5), QPointF(13.0, 4.5));
    p.drawLine(QPointF(3.0, 8.0), QPointF(13.0, 8.0));
    p.drawLine(QPointF(3.0, 11.5), QPointF(13.0, 11.5));
}

void minusIcon(QPainter& p)
{
    p.setPen(inkPen(1.4));
    p.drawLine(QPointF(3.0, 8.5), QPointF(13.0, 8.5));
}

void maximizeIcon(QPainter& p)
{
    p.setPen(inkPen(1.3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3.5, 3.5, 9.0, 9.0));
}

void closeIcon(QPainter& p)
{
    p.setPen(inkPen(1.4));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

// Updater: an accent disc with an arrow coming down into a tray (96 x 96).
void updateIcon(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(48.0, 48.0), 42.0, 42.0);
    const QColor white(0xff, 0xff, 0xff);
    p.setPen(inkPen(7.0, white));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(48.0, 22.0), QPointF(48.0, 56.0));
    QPainterPath head;
    head.moveTo(34.0, 43.0);
    head.lineTo(48.0, 57.0);
    head.lineTo(62.0, 43.0);
    p.drawPath(head);
    QPainterPath tray;
    tray.moveTo(27.0, 60.0);
    tray.lineTo(27.0, 71.0);
    tray.lineTo(69.0, 71.0);
    tray.lineTo(69.0, 60.0);
    p.drawPath(tray);
}

struct Icon {
    const char* folder;
    const char* name;
    int logicalSize;
    bool twoXOnly; // pixmap-button assets: one file at twice the shown size
    Painter paint;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: vantrel_icons <resources/icons folder>\n";
        return 2;
    }
    const QDir out(args.at(1));
    const Icon icons[] = {
        {"vh", "Icon_ret", 9, false, arrowRight},
        {"vh", "Icon_ex", 9, false, arrowDown},
        {"vh", "restore_small", 16, true, restore},
        {"vh", "step-backward", 24, false, stepBackward},
        {"vh", "icon_export", 24, false, exportIcon},
        {"vh", "icon_fit_in", 24, false, fitIn},
        {"vh", "icon-actual_size", 24, false, actualSize},
        {"commonRes", "Icon_BAN", 24, false, beforeAfter},
        {"commonRes", "icon_view", 24, false, [](QPainter& p) { eye(p, kInk); }},
        {"commonRes", "icon_viewN", 24, false, [](QPainter& p) { eye(p, kAccent); }},
        {"vh", "icon_open", 24, false, openIcon},
        {"vh", "icon_remove", 24, false, [](QPainter& p) { removeIcon(p, kInk); }},
        {"vh", "icon_remove_disable", 24, false, [](QPainter& p) { removeIcon(p, kDisabled); }},
        {"vh", "icon_hdr", 40, false, [](QPainter& p) { bracketIcon(p, kInk); }},
        {"vh", "icon_hdr_high", 40, false, [](QPainter& p) { bracketIcon(p, kAccent); }},
        {"vh", "icon_image", 40, false, [](QPainter& p) { singleIcon(p, kInk); }},
        {"vh", "icon_image_high", 40, false, [](QPainter& p) { singleIcon(p, kAccent); }},
        {"vh", "icon_loading", 120, false, loadingIcon},
        {"vh", "icon_loading_error", 120, false, loadingErrorIcon},
        {"vh", "icon-menu", 16, false, menuIcon},
        {"vh", "icon-minus", 16, false, minusIcon},
        {"vh", "icon-maximize", 16, false, maximizeIcon},
        {"vh", "icon-close", 16, false, closeIcon},
        {"updater", "update", 96, false, updateIcon},
    };
    for (const Icon& icon : icons) {
        if (!out.mkpath(QString::fromLatin1(icon.folder))) {
            QTextStream(stderr) << "cannot create " << icon.folder << "\n";
            return 1;
        }
        const QString base = out.filePath(QString::fromLatin1(icon.folder) + QLatin1Char('/')
                                          + QString::fromLatin1(icon.name));
        bool ok = true;
        if (icon.twoXOnly) {
            ok = render(icon.logicalSize, 2, icon.paint).save(base + QStringLiteral(".png"));
        } else {
            ok = render(icon.logicalSize, 1, icon.paint).save(base + QStringLiteral(".png"))
                && render(icon.logicalSize, 2, icon.paint).save(base + QStringLiteral("@2x.png"));
        }
        if (!ok) {
            QTextStream(stderr) << "cannot write " << base << "\n";
            return 1;
        }
    }
    return 0;
}
