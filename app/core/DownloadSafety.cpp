#include "DownloadSafety.h"

#include <QFileInfo>
#include <QHostAddress>

QString defaultDownloadFileName()
{
    return QStringLiteral("QSU_Update.bin");
}

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

bool isFetchAllowed(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("http") && isLoopbackHost(url.host());
}

bool isRedirectStatus(int httpStatus)
{
    return httpStatus == 301 || httpStatus == 302 || httpStatus == 303 || httpStatus == 307
        || httpStatus == 308;
}

QUrl redirectTarget(const QUrl& request, const QByteArray& location)
{
    const QByteArray trimmed = location.trimmed();
    if (trimmed.isEmpty())
        return QUrl();
    const QUrl relative = QUrl::fromEncoded(trimmed, QUrl::StrictMode);
    if (!relative.isValid())
        return QUrl();
    const QUrl target = request.resolved(relative);
    if (!isFetchAllowed(target))
        return QUrl();
    if (request.scheme().toLower() == QLatin1String("https")
        && target.scheme().toLower() != QLatin1String("https"))
        return QUrl();
    return target;
}

QString sanitizedDownloadFileName(const QUrl& url)
{
    // path() drops the query and fragment and decodes percent escapes.
    return sanitizedFileName(url.path(QUrl::FullyDecoded));
}

QString sanitizedFileName(const QString& name)
{
    const QString last = name.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    QString clean;
    clean.reserve(last.size());
    for (const QChar c : last) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')
            || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('+');
        clean.append(ok ? c : QLatin1Char('_'));
    }
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    if (clean.size() > 120)
        clean = clean.right(120);
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    bool meaningful = false;
    for (const QChar c : clean)
        meaningful = meaningful || (c != QLatin1Char('_') && c != QLatin1Char('.'));
    return meaningful ? clean : defaultDownloadFileName();
}

QString freeFilePath(const QDir& dir, const QString& fileName)
{
    const QString first = dir.filePath(fileName);
    if (!QFileInfo::exists(first) && !QFileInfo(first).isSymLink())
        return first;
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = dir.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
    return QString();
}
