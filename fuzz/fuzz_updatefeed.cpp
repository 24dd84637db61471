// Update feed over arbitrary bytes: the feed parser, then what the updater does
// with the strings of a found entry (version compare, fetch rule, download
// file name, a hostile redirect Location).
#include "FuzzQtApp.h"
#include "DownloadSafety.h"
#include "UpdateFeed.h"

#include <QCoreApplication>
#include <QUrl>

#include <cstddef>
#include <cstdint>

namespace {

const QUrl& feedUrl()
{
    static const QUrl url(QStringLiteral("https://updates.vantrel.example/update/update.json"));
    return url;
}

void checkFileName(const QString& name)
{
    if (name.isEmpty() || name.size() > 120 || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\')))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    startQuietQtApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    UpdateFeedEntry entry;
    const UpdateFeedStatus status =
        parseUpdateFeed(json, QStringLiteral("linux"), QStringLiteral("Vantrel HDR"), 1, &entry);
    if (status != UpdateFeedStatus::Found)
        return 0;

    const QString current = QStringLiteral(VANTREL_VERSION);
    if (isNewerVersion(entry.latestVersion, current) && isNewerVersion(current, entry.latestVersion))
        __builtin_trap();
    if (isNewerVersion(entry.latestVersion, entry.latestVersion))
        __builtin_trap();

    const QUrl download(entry.downloadUrl);
    const bool allowed = isFetchAllowed(download);
    if (allowed && download.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0
        && !isLoopbackHost(download.host()))
        __builtin_trap();
    checkFileName(sanitizedDownloadFileName(download));
    checkFileName(sanitizedFileName(entry.changelog));

    // The feed's strings as a Location answer to the https feed request.
    for (const QString& location : {entry.openUrl, entry.downloadUrl}) {
        const QUrl target = redirectTarget(feedUrl(), location.toUtf8());
        if (target.isValid() && target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
            __builtin_trap();
    }
    return 0;
}
