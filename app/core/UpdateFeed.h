#pragma once
#include <QByteArray>
#include <QString>

// One module entry of the update feed.
struct UpdateFeedEntry
{
    QString openUrl;
    QString changelog;
    QString downloadUrl;
    QString latestVersion;
    QString sha256;        // hex digest of the installer; empty when the feed gives none
    bool hasMandatory = false;
    bool mandatory = false;
};

enum class UpdateFeedStatus
{
    Found,      // a matching entry was read
    NoEntry,    // valid JSON, but no entry for this module and channel
    Malformed,  // not a JSON document
};

// Largest feed accepted; a bigger answer is not a feed.
constexpr qint64 kMaxUpdateFeedBytes = 4 * 1024 * 1024;

// Looks in the array named by the platform key for the first object whose
// "module-name" equals moduleName exactly and whose "channel" equals channel.
UpdateFeedStatus parseUpdateFeed(const QByteArray& json, const QString& platformKey,
                                 const QString& moduleName, int channel, UpdateFeedEntry* entry);

// True when dotted version x is newer than y.
bool isNewerVersion(const QString& x, const QString& y);
