#include "QSimpleUpdater.h"

#include "Updater.h"

QSimpleUpdater* QSimpleUpdater::globalInstance()
{
    static QSimpleUpdater* instance = new QSimpleUpdater();
    return instance;
}

QSimpleUpdater::~QSimpleUpdater()
{
    m_urls.clear();
    for (Updater* updater : std::as_const(m_updaters))
        updater->deleteLater();
    m_updaters.clear();
}

Updater* QSimpleUpdater::updaterForUrl(const QString& url)
{
    const int index = m_urls.indexOf(url);
    if (index >= 0)
        return m_updaters.at(index);
    auto* updater = new Updater();
    updater->setUrl(url);
    m_urls.append(url);
    m_updaters.append(updater);
    connect(updater, &Updater::checkingFinished, this, &QSimpleUpdater::checkingFinished);
    connect(updater, &Updater::downloadFinished, this, &QSimpleUpdater::downloadFinished);
    connect(updater, &Updater::appcastDownloaded, this, &QSimpleUpdater::appcastDownloaded);
    return updater;
}

bool QSimpleUpdater::usesCustomAppcast(const QString& url) { return updaterForUrl(url)->customAppcast(); }
bool QSimpleUpdater::getNotifyOnUpdate(const QString& url) { return updaterForUrl(url)->notifyOnUpdate(); }
bool QSimpleUpdater::getNotifyOnFinish(const QString& url) { return updaterForUrl(url)->notifyOnFinish(); }
bool QSimpleUpdater::getUpdateAvailable(const QString& url) { return updaterForUrl(url)->updateAvailable(); }
bool QSimpleUpdater::getDownloaderEnabled(const QString& url) { return updaterForUrl(url)->downloaderEnabled(); }
bool QSimpleUpdater::usesCustomInstallProcedures(const QString& url) { return updaterForUrl(url)->useCustomInstallProcedures(); }
bool QSimpleUpdater::getMandatoryUpdate(const QString& url) { return updaterForUrl(url)->mandatoryUpdate(); }
QString QSimpleUpdater::getOpenUrl(const QString& url) { return updaterForUrl(url)->openUrl(); }
QString QSimpleUpdater::getChangelog(const QString& url) { return updaterForUrl(url)->changelog(); }
QString QSimpleUpdater::getModuleName(const QString& url) { return updaterForUrl(url)->moduleName(); }
QString QSimpleUpdater::getDownloadUrl(const QString& url) { return updaterForUrl(url)->downloadUrl(); }
QString QSimpleUpdater::getPlatformKey(const QString& url) { return updaterForUrl(url)->platformKey(); }
QString QSimpleUpdater::getLatestVersion(const QString& url) { return updaterForUrl(url)->latestVersion(); }
QString QSimpleUpdater::getModuleVersion(const QString& url) { return updaterForUrl(url)->moduleVersion(); }
QString QSimpleUpdater::getUserAgentString(const QString& url) { return updaterForUrl(url)->userAgentString(); }

void QSimpleUpdater::checkForUpdates(const QString& url) { updaterForUrl(url)->checkForUpdates(); }
void QSimpleUpdater::setModuleName(const QString& url, const QString& name) { updaterForUrl(url)->setModuleName(name); }
void QSimpleUpdater::setNotifyOnUpdate(const QString& url, bool notify) { updaterForUrl(url)->setNotifyOnUpdate(notify); }
void QSimpleUpdater::setNotifyOnFinish(const QString& url, bool notify) { updaterForUrl(url)->setNotifyOnFinish(notify); }
void QSimpleUpdater::setPlatformKey(const QString& url, const QString& platform) { updaterForUrl(url)->setPlatformKey(platform); }
void QSimpleUpdater::setModuleVersion(const QString& url, const QString& version) { updaterForUrl(url)->setModuleVersion(version); }
void QSimpleUpdater::setDownloaderEnabled(const QString& url, bool enabled) { updaterForUrl(url)->setDownloaderEnabled(enabled); }
void QSimpleUpdater::setUserAgentString(const QString& url, const QString& agent) { updaterForUrl(url)->setUserAgentString(agent); }
void QSimpleUpdater::setUseCustomAppcast(const QString& url, bool customAppcast) { updaterForUrl(url)->setUseCustomAppcast(customAppcast); }
void QSimpleUpdater::setUseCustomInstallProcedures(const QString& url, bool custom) { updaterForUrl(url)->setUseCustomInstallProcedures(custom); }
void QSimpleUpdater::setMandatoryUpdate(const QString& url, bool mandatory_update) { updaterForUrl(url)->setMandatoryUpdate(mandatory_update); }
void QSimpleUpdater::setModuleChannel(const QString& url, int channel) { updaterForUrl(url)->setChannel(channel); }
void QSimpleUpdater::setDownloadDir(const QString& url, const QString& path) { updaterForUrl(url)->setDownloadDir(path); }
