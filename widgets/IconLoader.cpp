#include "IconLoader.h"

#include <QFile>

QPixmap loadIconPixmap(const QString& path, int logicalSize, double dpr)
{
    if (logicalSize <= 0)
        return QPixmap();
    if (dpr < 1.001) {
        QPixmap pixmap(path);
        if (pixmap.isNull() || pixmap.width() == logicalSize)
            return pixmap;
        return pixmap.scaledToWidth(logicalSize, Qt::FastTransformation);
    }
    QString hiPath = path;
    const int dot = hiPath.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        hiPath.insert(dot, QStringLiteral("@2x"));
    QPixmap pixmap(QFile::exists(hiPath) ? hiPath : path);
    if (!pixmap.isNull())
        pixmap.setDevicePixelRatio(double(pixmap.width()) / logicalSize);
    return pixmap;
}
