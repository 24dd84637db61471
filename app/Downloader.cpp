#include "Downloader.h"

#include "CloseApplication.h"
#include "DownloadSafety.h"
#include "ui_Downloader.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>

#include <cmath>

namespace {
const QString kPartSuffix = QStringLiteral(".part");
// Installers are kept apart from everything else in the download folder.
const QString kSaveSubfolder = QStringLiteral("downloads");
} // namespace

Downloader::Downloader(QWidget* parent)
    : QWidget(parent)
    , m_fileName(defaultDownloadFileName())
    , m_ui(new Ui::Downloader)
    , m_manager(new QNetworkAccessManager())
    , m_launcher(&Downloader::launchDetached)
{
    m_ui->setupUi(this);
    m_downloadDir.setPath(QDir::homePath() + QStringLiteral("/Downloads/"));
    setWindowIcon(QIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_ui->openButton->setEnabled(false);
    m_ui->openButton->hide();
    connect(m_ui->stopButton, &QPushButton::clicked, this, &Downloader::cancelDownload);
    connect(m_ui->openButton, &QPushButton::clicked, this, &Downloader::installUpdate);
    setFixedSize(minimumSizeHint());
}

Downloader::~Downloader()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
    }
    m_partFile.close();
    delete m_ui;
    delete m_manager;
}

bool Downloader::useCustomInstallProceduresValue() const
{
    return m_useCustomProcedures;
}

QString Downloader::downloadFolderPath() const
{
    return m_downloadDir.absolutePath();
}

QString Downloader::saveFolderPath() const
{
    return QDir(m_downloadDir.absolutePath()).filePath(kSaveSubfolder);
}

void Downloader::setLauncher(Launcher launcher)
{
    m_launcher = launcher ? std::move(launcher) : Launcher(&Downloader::launchDetached);
}

bool Downloader::launchDetached(const QString& path)
{
    // By path, unquoted, no arguments.
    return QProcess::startDetached(path, QStringList());
}

void Downloader::setUrlId(const QString& url)
{
    m_urlId = url;
}

void Downloader::setFileName(const QString& file)
{
    // Only a bare, harmless name is ever written; an empty one becomes the default.
    m_fileName = sanitizedFileName(file);
}

void Downloader::setUserAgentString(const QString& agent)
{
    m_userAgentString = agent;
}

void Downloader::setMandatoryUpdate(bool mandatory)
{
    m_mandatoryUpdate = mandatory;
}

void Downloader::setUseCustomInstallProcedures(bool custom)
{
    m_useCustomProcedures = custom;
}

void Downloader::changeDownloadFolder(const QString& path)
{
    if (m_downloadDir.absolutePath() != QDir(path).absolutePath())
        m_downloadDir.setPath(path);
}

void Downloader::setExpectedSha256(const QString& hex)
{
    m_expectedSha256 = hex.trimmed().toLower();
}

void Downloader::startDownload(const QUrl& url)
{
    m_ui->progressBar->setRange(0, 100);
    m_ui->progressBar->setValue(0);
    m_ui->stopButton->setText(tr("Stop"));
    m_ui->downloadLabel->setText(tr("Downloading updates"));
    m_ui->timeLabel->setText(tr("Time remaining") + QStringLiteral(": ") + tr("unknown"));
    m_ui->openButton->setEnabled(false);
    m_ui->openButton->hide();
    m_downloadedPath.clear();
    request(url, 0);
}

void Downloader::request(const QUrl& url, int redirects)
{
    clearUp();
    discardPartFile();
    m_redirects = redirects;
    m_requestUrl = url;
    m_writeFailed = false;
    m_hash.reset();

    if (!isFetchAllowed(url)) {
        qWarning().noquote() << "Downloader: refusing to fetch" << url.toDisplayString();
        failDownload();
        return;
    }

    const QDir saveDir(saveFolderPath());
    if (!saveDir.exists() && !QDir().mkpath(saveDir.absolutePath())) {
        qWarning().noquote() << "Downloader: cannot create" << saveDir.absolutePath();
        failDownload();
        return;
    }
    // The ".part" file lives in our own folder: a stale one is ours to replace.
    m_partFile.setFileName(saveDir.filePath(m_fileName + kPartSuffix));
    QFile::remove(m_partFile.fileName());
    if (!m_partFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning().noquote() << "Downloader: cannot write" << m_partFile.fileName() << m_partFile.errorString();
        failDownload();
        return;
    }

    QNetworkRequest req(url);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!m_userAgentString.isEmpty())
        req.setRawHeader("User-Agent", m_userAgentString.toUtf8());
    m_reply = m_manager->get(req);
    m_startTime = QDateTime::currentSecsSinceEpoch();

    connect(m_reply, &QNetworkReply::downloadProgress, this, &Downloader::updateProgress);
    connect(m_reply, &QIODevice::readyRead, this, &Downloader::writeFile);
    connect(m_reply, &QNetworkReply::finished, this, &Downloader::finished);

    showNormal();
}

bool Downloader::replyIsSuccess() const
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Non-HTTP loopback schemes never get here; HTTP needs a 2xx answer.
    return status >= 200 && status < 300;
}

void Downloader::updateProgress(qint64 received, qint64 total)
{
    if (!m_reply || !replyIsSuccess())
        return;
    if (total < 1) {
        m_ui->progressBar->setRange(0, 0);
        m_ui->progressBar->setValue(-1);
        m_ui->downloadLabel->setText(tr("Downloading Updates") + QStringLiteral("..."));
        m_ui->timeLabel->setText(QStringLiteral("%1: %2").arg(tr("Time Remaining"), tr("Unknown")));
        return;
    }
    m_ui->progressBar->setRange(0, 100);
    m_ui->progressBar->setValue(int(qBound(qint64(0), received * 100 / total, qint64(100))));
    calculateSizes(received, total);
    calculateTimeRemaining(received, total);
    writeFile();
}

QString Downloader::sizeText(qint64 n)
{
    if (n < 1024)
        return tr("%1 bytes").arg(n);
    if (n < 1048576)
        return tr("%1 KB").arg(n / 1024);
    return tr("%1 MB").arg(n / 1048576);
}

void Downloader::calculateSizes(qint64 received, qint64 total)
{
    m_ui->downloadLabel->setText(tr("Downloading updates") + QStringLiteral(" (") + sizeText(received)
                                 + QLatin1Char(' ') + tr("of") + QLatin1Char(' ') + sizeText(total)
                                 + QLatin1Char(')'));
}

QString Downloader::timeRemainingText(qint64 received, qint64 total, qint64 elapsedSecs)
{
    if (elapsedSecs <= 0)
        return QString();
    // No rate before the first byte: nothing to divide by.
    if (received <= 0)
        return tr("unknown");
    const double rate = double(received) / double(elapsedSecs);
    const double remaining = double(qMax<qint64>(0, total - received)) / rate;
    if (remaining > 7200)
        return tr("about %1 hours").arg(int(std::floor(remaining / 3600 + 0.5)));
    if (remaining > 60) {
        const int minutes = int(std::floor(remaining / 60 + 0.5));
        return minutes == 1 ? tr("1 minute") : tr("%1 minutes").arg(minutes);
    }
    const int seconds = int(std::floor(remaining + 0.5));
    return seconds < 2 ? tr("1 second") : tr("%1 seconds").arg(seconds);
}

void Downloader::calculateTimeRemaining(qint64 received, qint64 total)
{
    const QString text = timeRemainingText(received, total, QDateTime::currentSecsSinceEpoch() - m_startTime);
    if (!text.isEmpty())
        m_ui->timeLabel->setText(tr("Time remaining") + QStringLiteral(": ") + text);
}

void Downloader::writeFile()
{
    if (!m_reply)
        return;
    const QByteArray data = m_reply->readAll();
    // Redirect and error pages are not part of the installer.
    if (data.isEmpty() || !replyIsSuccess() || m_writeFailed || !m_partFile.isOpen())
        return;
    if (m_partFile.write(data) != data.size()) {
        qWarning().noquote() << "Downloader: write failed" << m_partFile.fileName() << m_partFile.errorString();
        m_writeFailed = true;
        m_reply->abort();
        return;
    }
    m_hash.addData(data);
}

void Downloader::finished()
{
    if (!m_reply)
        return;
    if (m_writeFailed) {
        failDownload();
        return;
    }
    if (m_reply->error() == QNetworkReply::OperationCanceledError) {
        discardPartFile();
        return;
    }

    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_reply->error() == QNetworkReply::NoError && isRedirectStatus(status)
        && m_reply->hasRawHeader("Location")) {
        const QUrl target = redirectTarget(m_requestUrl, m_reply->rawHeader("Location"));
        if (!target.isValid() || m_redirects >= kMaxRedirects) {
            qWarning().noquote() << "Downloader: redirect refused" << m_reply->rawHeader("Location");
            failDownload();
            return;
        }
        request(target, m_redirects + 1);
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError || !replyIsSuccess()) {
        qWarning().noquote() << "Downloader: download failed" << status << m_reply->errorString();
        failDownload();
        return;
    }

    writeFile();
    if (m_writeFailed || !m_partFile.flush()) {
        failDownload();
        return;
    }
    m_partFile.close();

    if (!m_expectedSha256.isEmpty() && QString::fromLatin1(m_hash.result().toHex()) != m_expectedSha256) {
        qWarning("Downloader: checksum mismatch, the download is discarded");
        failDownload();
        return;
    }

    // Never over an existing file: take a free name beside it.
    const QString target = freeFilePath(QDir(saveFolderPath()), m_fileName);
    if (target.isEmpty() || !QFile::rename(m_partFile.fileName(), target)) {
        qWarning().noquote() << "Downloader: cannot store" << m_fileName;
        failDownload();
        return;
    }
    m_downloadedPath = target;
    emit downloadFinished(m_urlId, target);
    clearUp();
    if (m_useCustomProcedures) {
        hide();
        return;
    }
    // The window stays up unless the application ends: it holds the Open button.
    installUpdate();
}

void Downloader::failDownload()
{
    clearUp();
    discardPartFile();
    m_downloadedPath.clear();
    QMessageBox::critical(this, tr("Error"), tr("Cannot execute downloaded package!"), QMessageBox::Close);
    if (m_mandatoryUpdate)
        CloseApplication();
}

void Downloader::discardPartFile()
{
    if (m_partFile.isOpen())
        m_partFile.close();
    if (!m_partFile.fileName().isEmpty())
        QFile::remove(m_partFile.fileName());
}

void Downloader::installUpdate()
{
    if (m_useCustomProcedures)
        return;

    m_ui->stopButton->setText(tr("Close"));
    m_ui->downloadLabel->setText(tr("Download complete!"));
    m_ui->timeLabel->setText(tr("The installer will open separately") + QStringLiteral("..."));

    QMessageBox box;
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setInformativeText(tr("Click \"OK\" to begin installing the update"));
    if (m_mandatoryUpdate)
        box.setText(QStringLiteral("<h3>")
                    + tr("In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application")
                    + QStringLiteral("</h3>"));
    else
        box.setText(QStringLiteral("<h3>") + tr("In order to install the update, you may need to quit the application.")
                    + QStringLiteral("</h3>"));

    if (box.exec() == QMessageBox::Ok) {
        // The installer first: the application ends only once it runs, and
        // then as the user would end it, so a window with unsaved work can
        // still ask (or keep the application).
        if (openDownload() && CloseApplication())
            return;
    } else if (m_mandatoryUpdate && CloseApplication()) {
        return;
    }
    offerOpen();
}

void Downloader::offerOpen()
{
    m_ui->openButton->setEnabled(true);
    m_ui->openButton->show();
    m_ui->timeLabel->setText(tr("Click the \"Open\" button to apply the update"));
    // Closing the windows may have closed this one too.
    showNormal();
    raise();
    activateWindow();
}

bool Downloader::openDownload()
{
    // Only a download that completed and passed its checks is started.
    if (m_downloadedPath.isEmpty() || !QFileInfo::exists(m_downloadedPath)) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot find downloaded update!"), QMessageBox::Close);
        return false;
    }
    QFile file(m_downloadedPath);
    const bool executable = file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    if (!executable || !m_launcher(m_downloadedPath)) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot execute downloaded package!"), QMessageBox::Close);
        return false;
    }
    return true;
}

void Downloader::cancelDownload()
{
    if (!m_reply || m_reply->isFinished()) {
        if (m_mandatoryUpdate)
            CloseApplication();
        hide();
        return;
    }
    QMessageBox box;
    box.setWindowTitle(tr("Updater"));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setText(m_mandatoryUpdate
                    ? tr("Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application")
                    : tr("Are you sure you want to cancel the download?"));
    if (box.exec() == QMessageBox::Yes) {
        hide();
        if (m_reply)
            m_reply->abort();
        if (m_mandatoryUpdate)
            CloseApplication();
    }
}

void Downloader::clearUp()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
}
