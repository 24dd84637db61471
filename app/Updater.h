#pragma once
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class Downloader;
class QNetworkAccessManager;
class QNetworkReply;

// Asks one update feed whether a newer version exists, tells the user and
// hands the download to its Downloader. GUI thread only.
class Updater : public QObject
{
    Q_OBJECT
public:
    // Opens a web page; returns whether it did.
    using UrlOpener = std::function<bool(const QUrl& url)>;

    Updater();
    ~Updater() override;

    QString url() const { return m_url; }
    QString openUrl() const { return m_openUrl; }
    QString changelog() const { return m_changelog; }
    QString moduleName() const { return m_moduleName; }
    QString downloadUrl() const { return m_downloadUrl; }
    QString platformKey() const { return m_platform; }
    QString moduleVersion() const { return m_moduleVersion; }
    QString latestVersion() const { return m_latestVersion; }
    QString userAgentString() const { return m_userAgentString; }
    QString sha256() const { return m_sha256; }
    int channel() const { return m_channel; }
    bool customAppcast() const { return m_customAppcast; }
    bool notifyOnUpdate() const { return m_notifyOnUpdate; }
    bool notifyOnFinish() const { return m_notifyOnFinish; }
    bool updateAvailable() const { return m_updateAvailable; }
    bool downloaderEnabled() const { return m_downloaderEnabled; }
    bool mandatoryUpdate() const { return m_mandatoryUpdate; }
    bool useCustomInstallProcedures() const;

    Downloader* downloader() const { return m_downloader; }
    void setUrlOpener(UrlOpener opener);

    static bool isNewerVersion(const QString& x, const QString& y);

signals:
    void checkingFinished(const QString& url);
    void downloadFinished(const QString& url, const QString& filepath);
    void appcastDownloaded(const QString& url, const QByteArray& data);

public slots:
    void checkForUpdates();
    void setUrl(const QString& url);
    void setModuleName(const QString& name);
    void setNotifyOnUpdate(bool notify);
    void setNotifyOnFinish(bool notify);
    void setUserAgentString(const QString& agent);
    void setModuleVersion(const QString& version);
    void setDownloaderEnabled(bool enabled);
    void setPlatformKey(const QString& platformKey);
    void setUseCustomAppcast(bool customAppcast);
    void setUseCustomInstallProcedures(bool custom);
    void setMandatoryUpdate(bool mandatory_update);
    void setChannel(int channel);
    void setDownloadDir(const QString& path);

private slots:
    void onReply(QNetworkReply* reply);
    void setUpdateAvailable(bool available);

private:
    void sendRequest(const QUrl& url, int redirects);
    // Adds a piece of the feed; false when it would pass the cap.
    bool appendFeed(const QByteArray& chunk);
    void readFeed();
    void watchFeedSize(qint64 received, qint64 total);
    void abandonOversizedFeed();
    void finishWithoutUpdate();
    bool openPage(const QString& address);

    QString m_url;
    QString m_userAgentString;
    bool m_customAppcast = false;
    bool m_notifyOnUpdate = true;
    bool m_notifyOnFinish = false;
    bool m_updateAvailable = false;
    bool m_downloaderEnabled = true;
    bool m_mandatoryUpdate = false;
    int m_channel = 0;
    QString m_openUrl;
    QString m_platform;
    QString m_changelog;
    QString m_moduleName;
    QString m_downloadUrl;
    QString m_moduleVersion;
    QString m_latestVersion;
    QString m_sha256;
    Downloader* m_downloader = nullptr;
    QNetworkAccessManager* m_manager = nullptr;

    QNetworkReply* m_reply = nullptr;
    // The feed as it arrives; a reply that outgrows the cap is abandoned.
    QByteArray m_feed;
    bool m_feedTooLarge = false;
    QUrl m_requestUrl;
    int m_redirects = 0;
    UrlOpener m_urlOpener;
};
