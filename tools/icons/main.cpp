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

// View original: an eye (24 x 24).
void eye(QPainter& p)
{
    p.setPen(inkPen(1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath outline;
    outline.moveTo(3.0, 12.0);
    outline.quadTo(12.0, 2.5, 21.0, 12.0);
    outline.quadTo(12.0, 21.5, 3.0, 12.0);
    p.drawPath(outline);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(12.0, 12.0), 3.2, 3.2);
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
        {"commonRes", "icon_view", 24, false, eye},
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
