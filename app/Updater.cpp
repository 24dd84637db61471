#include "Updater.h"

#include "CloseApplication.h"
#include "DownloadSafety.h"
#include "Downloader.h"
#include "UpdateFeed.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace {
void warnFeedTooLarge()
{
    qWarning("Updater: the feed is larger than %lld bytes; the check is abandoned", kMaxUpdateFeedBytes);
}
} // namespace

Updater::Updater()
    : m_userAgentString(QStringLiteral("%1/%2").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion()))
    , m_platform(QStringLiteral("linux"))
    , m_moduleName(QCoreApplication::applicationName())
    , m_moduleVersion(QCoreApplication::applicationVersion())
    , m_downloader(new Downloader())
    , m_manager(new QNetworkAccessManager(this))
    , m_urlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    m_downloader->setUserAgentString(m_userAgentString);
    connect(m_downloader, &Downloader::downloadFinished, this, &Updater::downloadFinished);
    connect(m_manager, &QNetworkAccessManager::finished, this, &Updater::onReply);
}

Updater::~Updater()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    delete m_downloader;
}

bool Updater::useCustomInstallProcedures() const
{
    return m_downloader->useCustomInstallProceduresValue();
}

void Updater::setUrlOpener(UrlOpener opener)
{
    m_urlOpener = opener ? std::move(opener) : UrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
}

bool Updater::isNewerVersion(const QString& x, const QString& y)
{
    return ::isNewerVersion(x, y);
}

void Updater::checkForUpdates()
{
    // One check at a time: the running one reports for a second call too.
    if (m_reply)
        return;
    sendRequest(QUrl(m_url), 0);
}

void Updater::sendRequest(const QUrl& url, int redirects)
{
    m_requestUrl = url;
    m_redirects = redirects;
    m_feed.clear();
    m_feedTooLarge = false;
    if (!isFetchAllowed(url)) {
        qWarning().noquote() << "Updater: refusing to fetch" << url.toDisplayString();
        finishWithoutUpdate();
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!m_userAgentString.isEmpty())
        request.setRawHeader("User-Agent", m_userAgentString.toUtf8());
    m_reply = m_manager->get(request);
    // Taken as it comes, so the reply never holds more than a small buffer.
    m_reply->setReadBufferSize(64 * 1024);
    connect(m_reply, &QIODevice::readyRead, this, &Updater::readFeed);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &Updater::watchFeedSize);
}

bool Updater::appendFeed(const QByteArray& chunk)
{
    if (m_feed.size() + chunk.size() > kMaxUpdateFeedBytes)
        return false;
    m_feed += chunk;
    return true;
}

void Updater::readFeed()
{
    if (m_reply && !m_feedTooLarge && !appendFeed(m_reply->readAll()))
        abandonOversizedFeed();
}

void Updater::watchFeedSize(qint64 received, qint64 total)
{
    // A declared length over the cap ends the check before the body comes.
    if (received > kMaxUpdateFeedBytes || total > kMaxUpdateFeedBytes)
        abandonOversizedFeed();
}

void Updater::abandonOversizedFeed()
{
    if (!m_reply || m_feedTooLarge)
        return;
    warnFeedTooLarge();
    m_feedTooLarge = true;
    m_feed.clear();
    // Finishes the reply at once; onReply reports the failed check.
    m_reply->abort();
}

void Updater::finishWithoutUpdate()
{
    setUpdateAvailable(false);
    emit checkingFinished(m_url);
}

void Updater::onReply(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    if (m_feedTooLarge) {
        finishWithoutUpdate();
        return;
    }

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && isRedirectStatus(status)) {
        const QUrl target = redirectTarget(m_requestUrl, reply->rawHeader("Location"));
        if (target.isValid() && m_redirects < kMaxRedirects) {
            sendRequest(target, m_redirects + 1);
            return;
        }
        qWarning().noquote() << "Updater: redirect refused" << reply->rawHeader("Location");
        finishWithoutUpdate();
        return;
    }

    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
        finishWithoutUpdate();
        return;
    }

    if (!appendFeed(reply->readAll())) {
        warnFeedTooLarge();
        finishWithoutUpdate();
        return;
    }
    const QByteArray data = std::exchange(m_feed, QByteArray());
    if (m_customAppcast) {
        emit appcastDownloaded(m_url, data);
        emit checkingFinished(m_url);
        return;
    }

    UpdateFeedEntry entry;
    const UpdateFeedStatus parsed = parseUpdateFeed(data, m_platform, m_moduleName, m_channel, &entry);
    if (parsed == UpdateFeedStatus::Malformed) {
        finishWithoutUpdate();
        return;
    }
    if (parsed == UpdateFeedStatus::Found) {
        m_openUrl = entry.openUrl;
        m_changelog = entry.changelog;
        m_downloadUrl = entry.downloadUrl;
        m_latestVersion = entry.latestVersion;
        m_sha256 = entry.sha256;
        if (entry.hasMandatory)
            m_mandatoryUpdate = entry.mandatory;
    }
    setUpdateAvailable(isNewerVersion(m_latestVersion, m_moduleVersion));
    emit checkingFinished(m_url);
}

bool Updater::openPage(const QString& address)
{
    const QUrl url(address);
    if (!isFetchAllowed(url)) {
        qWarning().noquote() << "Updater: refusing to open" << address;
        return false;
    }
    return m_urlOpener(url);
}

void Updater::setUpdateAvailable(bool available)
{
    m_updateAvailable = available;

    QMessageBox box;
    box.setTextFormat(Qt::RichText);
    box.setIcon(QMessageBox::Information);

    // Texts from the feed are escaped: they are never markup.
    const QString module = m_moduleName.toHtmlEscaped();
    if (!available) {
        if (!m_notifyOnFinish)
            return;
        box.setText(QStringLiteral("<h3>")
                    + tr("Congratulations! You are running the latest version of %1").arg(module)
                    + QStringLiteral("</h3>"));
        box.setInformativeText(tr("No updates are available for the moment"));
        box.setStandardButtons(QMessageBox::Close);
        box.exec();
        return;
    }
    if (!m_notifyOnUpdate && !m_notifyOnFinish)
        return;

    box.setText(QStringLiteral("<h3>")
                + tr("Version %1 of %2 has been released!").arg(m_latestVersion.toHtmlEscaped(), module)
                + QStringLiteral("</h3>"));
    box.setInformativeText(m_mandatoryUpdate
                               ? tr("Would you like to download the update now? This is a mandatory update, exiting now will close the application.")
                               : tr("Would you like to download the update now?"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);

    if (box.exec() != QMessageBox::Yes) {
        if (m_mandatoryUpdate)
            CloseApplication();
        return;
    }

    if (!m_openUrl.isEmpty()) {
        openPage(m_openUrl);
        return;
    }
    if (!m_downloaderEnabled) {
        openPage(m_downloadUrl);
        return;
    }
    const QUrl download(m_downloadUrl);
    m_downloader->setUrlId(m_url);
    m_downloader->setFileName(sanitizedDownloadFileName(download));
    m_downloader->setMandatoryUpdate(m_mandatoryUpdate);
    m_downloader->setExpectedSha256(m_sha256);
    m_downloader->startDownload(download);
}

void Updater::setUrl(const QString& url)
{
    m_url = url;
}

void Updater::setModuleName(const QString& name)
{
    m_moduleName = name;
}

void Updater::setNotifyOnUpdate(bool notify)
{
    m_notifyOnUpdate = notify;
}

void Updater::setNotifyOnFinish(bool notify)
{
    m_notifyOnFinish = notify;
}

void Updater::setUserAgentString(const QString& agent)
{
    m_userAgentString = agent;
    m_downloader->setUserAgentString(agent);
}

void Updater::setModuleVersion(const QString& version)
{
    m_moduleVersion = version;
}

void Updater::setDownloaderEnabled(bool enabled)
{
    m_downloaderEnabled = enabled;
}

void Updater::setPlatformKey(const QString& platformKey)
{
    m_platform = platformKey;
}

void Updater::setUseCustomAppcast(bool customAppcast)
{
    m_customAppcast = customAppcast;
}

void Updater::setUseCustomInstallProcedures(bool custom)
{
    m_downloader->setUseCustomInstallProcedures(custom);
}

void Updater::setMandatoryUpdate(bool mandatory_update)
{
    m_mandatoryUpdate = mandatory_update;
}

void Updater::setChannel(int channel)
{
    m_channel = channel;
}

void Updater::setDownloadDir(const QString& path)
{
    m_downloader->changeDownloadFolder(path);
}
