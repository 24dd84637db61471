#include "UpdateFeed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

UpdateFeedStatus parseUpdateFeed(const QByteArray& json, const QString& platformKey,
                                 const QString& moduleName, int channel, UpdateFeedEntry* entry)
{
    if (json.size() > kMaxUpdateFeedBytes)
        return UpdateFeedStatus::Malformed;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (doc.isNull())
        return UpdateFeedStatus::Malformed;

    const QJsonArray platform = doc.object().value(platformKey).toArray();
    for (const QJsonValue& value : platform) {
        if (!value.isObject())
            continue;
        const QJsonObject obj = value.toObject();
        if (obj.value(QStringLiteral("module-name")).toString() != moduleName)
            continue;
        if (obj.value(QStringLiteral("channel")).toInt(0) != channel)
            continue;
        if (entry) {
            entry->openUrl = obj.value(QStringLiteral("open-url")).toString();
            entry->changelog = obj.value(QStringLiteral("changelog")).toString();
            entry->downloadUrl = obj.value(QStringLiteral("download-url")).toString();
            entry->latestVersion = obj.value(QStringLiteral("latest-version")).toString();
            entry->sha256 = obj.value(QStringLiteral("sha256")).toString().trimmed().toLower();
            entry->hasMandatory = obj.contains(QStringLiteral("mandatory-update"));
            entry->mandatory = obj.value(QStringLiteral("mandatory-update")).toBool(false);
        }
        return UpdateFeedStatus::Found;
    }
    return UpdateFeedStatus::NoEntry;
}

bool isNewerVersion(const QString& x, const QString& y)
{
    const QStringList xs = x.split(QLatin1Char('.'));
    const QStringList ys = y.split(QLatin1Char('.'));
    const int common = qMin(xs.size(), ys.size());
    for (int i = 0; i < common; ++i) {
        // Text that is not a 32-bit number counts as 0.
        const int a = xs.at(i).toInt(nullptr, 10);
        const int b = ys.at(i).toInt(nullptr, 10);
        if (a != b)
            return a > b;
    }
    return xs.size() > ys.size();
}
