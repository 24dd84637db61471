#pragma once
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace Ui {
class Downloader;
}
class QNetworkAccessManager;
class QNetworkReply;

// The application-modal window that downloads an installer named by the
// update feed into a downloads folder of its own, checks it and starts it.
class Downloader : public QWidget
{
    Q_OBJECT
public:
    // Starts a downloaded installer; returns whether it started.
    using Launcher = std::function<bool(const QString& path)>;

    explicit Downloader(QWidget* parent = nullptr);
    ~Downloader() override;

    bool useCustomInstallProceduresValue() const;
    QString downloadFolderPath() const;
    // Folder the installer is written to: a sub-folder of the download folder.
    QString saveFolderPath() const;
    QString fileName() const { return m_fileName; }
    // Full path of the last completed, checked download; empty otherwise.
    QString downloadedFilePath() const { return m_downloadedPath; }

    // Texts of the progress labels, from whole numbers of bytes and seconds.
    static QString sizeText(qint64 bytes);
    // Empty when no time has passed yet; "unknown" before the first byte.
    static QString timeRemainingText(qint64 received, qint64 total, qint64 elapsedSecs);

    void setLauncher(Launcher launcher);
    static bool launchDetached(const QString& path);

signals:
    void downloadFinished(const QString& url, const QString& filepath);

public slots:
    void setUrlId(const QString& url);
    void setFileName(const QString& file);
    void setUserAgentString(const QString& agent);
    void setMandatoryUpdate(bool mandatory);
    void setUseCustomInstallProcedures(bool custom);
    void changeDownloadFolder(const QString& path);
    // Hex SHA-256 the installer must have; empty accepts any content.
    void setExpectedSha256(const QString& hex);
    void startDownload(const QUrl& url);

private slots:
    void finished();
    void updateProgress(qint64 received, qint64 total);
    void installUpdate();
    void cancelDownload();

private:
    void request(const QUrl& url, int redirects);
    void calculateSizes(qint64 received, qint64 total);
    void calculateTimeRemaining(qint64 received, qint64 total);
    void writeFile();
    bool openDownload();
    // Keeps the window up with its Open button for another try.
    void offerOpen();
    void clearUp();
    void failDownload();
    void discardPartFile();
    bool replyIsSuccess() const;

    QString m_urlId;
    qint64 m_startTime = 0;
    QDir m_downloadDir;
    QString m_fileName;
    Ui::Downloader* m_ui = nullptr;
    QNetworkReply* m_reply = nullptr;
    QString m_userAgentString;
    bool m_useCustomProcedures = false;
    bool m_mandatoryUpdate = false;
    QNetworkAccessManager* m_manager = nullptr;

    QUrl m_requestUrl;
    int m_redirects = 0;
    QFile m_partFile;
    bool m_writeFailed = false;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    QString m_expectedSha256;
    QString m_downloadedPath;
    Launcher m_launcher;
};
