#include "DownloadSafety.h"
#include "Downloader.h"
#include "HttpTestServer.h"
#include "ModalWatcher.h"
#include "QSimpleUpdater.h"
#include "TestPaths.h"
#include "Updater.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QApplication>
#include <QCryptographicHash>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
// Answers every message box that opens: Yes/Ok (or No/Cancel when declining),
// else Close; remembers what the boxes said.
class BoxAnswerer
{
public:
    explicit BoxAnswerer(bool accept = true)
        : m_accept(accept)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text() + QStringLiteral(" | ") + box->informativeText();
            const QList<QMessageBox::StandardButton> order = m_accept
                ? QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Close}
                : QList<QMessageBox::StandardButton>{QMessageBox::No, QMessageBox::Cancel, QMessageBox::Close};
            for (QMessageBox::StandardButton b : order) {
                if (QAbstractButton* button = box->button(b)) {
                    button->click();
                    return;
                }
            }
        });
        m_timer.start();
    }
    bool saw(const QString& part) const { return texts.join(QLatin1Char('\n')).contains(part); }
    QStringList texts;

private:
    bool m_accept;
    QTimer m_timer;
    // The boxes this answers are expected, not strays.
    std::shared_ptr<void> m_expected = expectModal<QMessageBox>();
};

const QByteArray kPayload = "#!/bin/sh\necho installer\n" + QByteArray(200000, 'x');

QByteArray sha256Hex(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QByteArray feed(const QString& version, const QString& downloadUrl = QString(), const QByteArray& sha = QByteArray(),
                const QString& openUrl = QString(), const QString& module = QStringLiteral("Vantrel HDR"), int channel = 1)
{
    QByteArray entry = "{\"module-name\":\"" + module.toUtf8() + "\",\"channel\":" + QByteArray::number(channel)
        + ",\"latest-version\":\"" + version.toUtf8() + "\",\"download-url\":\"" + downloadUrl.toUtf8()
        + "\",\"open-url\":\"" + openUrl.toUtf8() + "\"";
    if (!sha.isEmpty())
        entry += ",\"sha256\":\"" + sha + "\"";
    entry += "}";
    return "{\"windows\":[],\"linux\":[{\"module-name\":\"Other\",\"channel\":1,\"latest-version\":\"99\"}," + entry
        + "]}";
}

// An Updater set up as the main window does, against the test server.
struct Setup
{
    HttpTestServer server;
    QTemporaryDir dir;
    Updater updater;
    QStringList launched;
    QList<QUrl> opened;

    Setup()
    {
        updater.setUrl(server.url("/feed.json"));
        updater.setModuleName(QStringLiteral("Vantrel HDR"));
        updater.setChannel(1);
        updater.setDownloadDir(dir.path());
        updater.setNotifyOnUpdate(false);
        updater.downloader()->setLauncher([this](const QString& path) {
            launched << path;
            return true;
        });
        updater.setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    QStringList savedFiles() const
    {
        return QDir(updater.downloader()->saveFolderPath()).entryList(QDir::Files | QDir::Hidden);
    }
};
} // namespace

class TestUpdater : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void check_data();
    void check();
    void redirects_data();
    void redirects();
    void refusedFeedAddress();
    void oversizedFeed_data();
    void oversizedFeed();
    void secondCheckWhileRunning();
    void facadeForwards();
    void feedTextIsPlain();
    void openUrl_data();
    void openUrl();
    void downloadAndStart();
    void installUnderRunningLoop_data();
    void installUnderRunningLoop();
    void hostileFileNames_data();
    void hostileFileNames();
    void failedDownloads_data();
    void failedDownloads();
    void downloaderIcon();
    void sizeTexts_data();
    void sizeTexts();
    void timeTexts_data();
    void timeTexts();
};

void TestUpdater::initTestCase()
{
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0.118"));
}

void TestUpdater::check_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("available");
    // The feed's own rules are checked on the parser; here what the updater
    // passes to it (version, module, channel) and the HTTP status.
    QTest::newRow("newer") << 200 << feed("2.1.0.119") << true;
    QTest::newRow("equal") << 200 << feed("2.1.0.118") << false;
    QTest::newRow("older") << 200 << feed("2.0.5") << false;
    QTest::newRow("other module") << 200 << feed("3.0", {}, {}, {}, "Vantrel HDR Pro") << false;
    QTest::newRow("other channel") << 200 << feed("3.0", {}, {}, {}, "Vantrel HDR", 2) << false;
    QTest::newRow("malformed") << 200 << QByteArray("{\"linux\": [ nope ]}") << false;
    QTest::newRow("not found") << 404 << feed("3.0") << false;
    QTest::newRow("server error") << 500 << feed("3.0") << false;
}

void TestUpdater::check()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, available);
    Setup s;
    s.server.answer("/feed.json", status, body);
    QSignalSpy finished(&s.updater, &Updater::checkingFinished);
    s.updater.checkForUpdates();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toString(), s.server.url("/feed.json"));
    QCOMPARE(s.updater.updateAvailable(), available);
    QCOMPARE(s.server.requests.size(), 1);
    QCOMPARE(s.server.requests.at(0).userAgent,
             QCoreApplication::applicationName().toUtf8() + "/2.1.0.118");
    QVERIFY(s.launched.isEmpty());
}

void TestUpdater::redirects_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<bool>("available");
    QTest::addColumn<int>("maxRequests");
    QTest::newRow("relative target") << QByteArray("real/feed.json") << true << 2;
    QTest::newRow("loop") << QByteArray("/feed.json") << false << kMaxRedirects + 1;
}

void TestUpdater::redirects()
{
    QFETCH(QByteArray, location);
    QFETCH(bool, available);
    QFETCH(int, maxRequests);
    Setup s;
    s.server.redirect("/feed.json", 302, location);
    s.server.answer("/real/feed.json", 200, feed("2.2"));
    QSignalSpy finished(&s.updater, &Updater::checkingFinished);
    s.updater.checkForUpdates();
    QTRY_COMPARE(finished.count(), 1);
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(s.updater.updateAvailable(), available);
    QVERIFY(s.server.requests.size() <= maxRequests);
    // The address the window asked about stays the one reported.
    QCOMPARE(finished.at(0).at(0).toString(), s.server.url("/feed.json"));
}

// A newer feed the policy forbids reading: a local file, and no address at all.
void TestUpdater::refusedFeedAddress()
{
    Setup s;
    QFile local(QDir(s.dir.path()).filePath(QStringLiteral("feed.json")));
    QVERIFY(local.open(QIODevice::WriteOnly) && local.write(feed("3.0")) > 0);
    local.close();
    for (const QString& url : {QUrl::fromLocalFile(local.fileName()).toString(), QStringLiteral("::::")}) {
        s.updater.setUrl(url);
        QSignalSpy finished(&s.updater, &Updater::checkingFinished);
        s.updater.checkForUpdates();
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY2(!s.updater.updateAvailable(), qPrintable(url));
    }
    QVERIFY(s.server.requests.isEmpty());
}

void TestUpdater::oversizedFeed_data()
{
    QTest::addColumn<bool>("declareLength");
    QTest::addColumn<qint64>("size");   // a feed padded with blanks to this many bytes, or
    QTest::addColumn<bool>("stream");   // only blanks, handed over as the client reads
    QTest::addColumn<bool>("available");
    const qint64 cap = qint64(4) << 20; // 4 MiB
    for (bool declared : {true, false}) {
        const char* how = declared ? "declared length" : "no declared length";
        QTest::addRow("%s, 4 MiB", how) << declared << cap << false << true;
        QTest::addRow("%s, 4 MiB + 1", how) << declared << cap + 1 << false << false;
        QTest::addRow("%s, 256 MiB", how) << declared << (qint64(256) << 20) << true << false;
    }
}

// A feed is read up to 4 MiB; a larger one is given up while it arrives,
// not kept whole.
void TestUpdater::oversizedFeed()
{
    QFETCH(bool, declareLength);
    QFETCH(qint64, size);
    QFETCH(bool, stream);
    QFETCH(bool, available);
    Setup s;
    HttpAnswer answer;
    if (stream) {
        answer.streamBytes = size;
    } else {
        answer.body = feed("2.1.0.119");
        answer.body.append(QByteArray(size - answer.body.size(), ' '));
    }
    answer.declareLength = declareLength;
    s.server.answer("/feed.json", answer);
    QSignalSpy finished(&s.updater, &Updater::checkingFinished);
    s.updater.checkForUpdates();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QCOMPARE(s.updater.updateAvailable(), available);
    // The server writes only as the client reads: it could hand over little
    // beyond the cap and the socket buffers, so nothing like the whole feed was held.
    QVERIFY2(s.server.streamed < qint64(32) << 20, QByteArray::number(s.server.streamed));
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
}

void TestUpdater::secondCheckWhileRunning()
{
    Setup s;
    s.server.answer("/feed.json", 200, feed("2.1.0.119"));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    QSignalSpy finished(&s.updater, &Updater::checkingFinished);
    s.updater.checkForUpdates();
    s.updater.checkForUpdates();
    QTRY_COMPARE(finished.count(), 1);
    QTest::qWait(200);
    // One answer, and the true one.
    QCOMPARE(finished.count(), 1);
    QVERIFY(s.updater.updateAvailable());
    QCOMPARE(s.server.requests.size(), 1);
    // Once it is done, the next check runs again.
    s.updater.checkForUpdates();
    QTRY_COMPARE(finished.count(), 2);
    QCOMPARE(s.server.requests.size(), 2);
}

void TestUpdater::facadeForwards()
{
    HttpTestServer server;
    server.answer("/f.json", 200, feed("2.5"));
    const QString url = server.url("/f.json");
    QSimpleUpdater* up = QSimpleUpdater::globalInstance();
    up->setModuleName(url, QStringLiteral("Vantrel HDR"));
    up->setModuleChannel(url, 1);
    up->setNotifyOnUpdate(url, false);
    QCOMPARE(up->getPlatformKey(url), QStringLiteral("linux"));
    QSignalSpy finished(up, &QSimpleUpdater::checkingFinished);
    up->checkForUpdates(url);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toString(), url);
    QVERIFY(up->getUpdateAvailable(url));
    QCOMPARE(up->getLatestVersion(url), QStringLiteral("2.5"));
}

void TestUpdater::feedTextIsPlain()
{
    Setup s;
    s.updater.setNotifyOnUpdate(true);
    s.server.answer("/feed.json", 200, feed("3.0<img src=x onerror=1><a href='file:///'>b</a>"));
    BoxAnswerer answers(false);
    QSignalSpy finished(&s.updater, &Updater::checkingFinished);
    s.updater.checkForUpdates();
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(s.updater.updateAvailable());
    QCOMPARE(answers.texts.size(), 1);
    QVERIFY(answers.saw(QStringLiteral("&lt;img src=x")));
    QVERIFY(!answers.saw(QStringLiteral("<img")));
    QVERIFY(!answers.saw(QStringLiteral("<a ")));
    QVERIFY(s.launched.isEmpty());
}

void TestUpdater::openUrl_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("opened");
    QTest::newRow("https page") << "https://www.vantrel.example/news" << true;
    QTest::newRow("file page") << "file:///etc/passwd" << false;
}

void TestUpdater::openUrl()
{
    QFETCH(QString, page);
    QFETCH(bool, opened);
    Setup s;
    s.updater.setNotifyOnUpdate(true);
    s.server.answer("/feed.json", 200, feed("3.0", s.server.url("/files/a.run"), {}, page));
    BoxAnswerer answers;
    QSignalSpy finished(&s.updater, &Updater::checkingFinished);
    s.updater.checkForUpdates();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(s.opened.size(), opened ? 1 : 0);
    if (opened)
        QCOMPARE(s.opened.at(0), QUrl(page));
    QTest::qWait(50);
    QCOMPARE(s.server.requests.size(), 1); // the downloader never started
}

void TestUpdater::downloadAndStart()
{
    Setup s;
    s.updater.setNotifyOnUpdate(true);
    s.server.answer("/files/Vantrel-2.2.run", 200, kPayload);
    s.server.answer("/feed.json", 200, feed("2.2", s.server.url("/files/Vantrel-2.2.run"), sha256Hex(kPayload)));
    BoxAnswerer answers;
    QSignalSpy done(&s.updater, &Updater::downloadFinished);
    s.updater.checkForUpdates();
    QTRY_COMPARE(s.launched.size(), 1);
    QCOMPARE(done.count(), 1);
    const QString path = s.launched.at(0);
    QCOMPARE(done.at(0).at(0).toString(), s.server.url("/feed.json"));
    QCOMPARE(done.at(0).at(1).toString(), path);
    QCOMPARE(path, QDir(s.dir.path()).filePath("downloads/Vantrel-2.2.run"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kPayload);
    QVERIFY(file.permissions() & QFileDevice::ExeOwner);
    QCOMPARE(s.savedFiles(), QStringList{"Vantrel-2.2.run"}); // no ".part" left
    QVERIFY(answers.saw(QStringLiteral("Version 2.2 of Vantrel HDR has been released!")));
    QCOMPARE(s.server.requests.last().userAgent, QCoreApplication::applicationName().toUtf8() + "/2.1.0.118");
}

// A window standing in for the main window: it keeps itself open when told to,
// as the main window does for unsaved work the user wants to keep.
class GuardedWindow : public QWidget
{
public:
    explicit GuardedWindow(QStringList* events)
        : m_events(events)
    {
    }
    bool refuse = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        *m_events << QStringLiteral("close");
        if (refuse)
            event->ignore();
        else
            event->accept();
    }

private:
    QStringList* m_events;
};

void TestUpdater::installUnderRunningLoop_data()
{
    QTest::addColumn<bool>("starts");  // the launcher starts the installer
    QTest::addColumn<bool>("accept");  // the install question is answered OK
    QTest::addColumn<bool>("refuse");  // the window keeps its work
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("quits");
    QTest::newRow("installer starts, window closes") << true << true << false << QStringList{"launch", "close"} << true;
    QTest::newRow("installer starts, window keeps its work") << true << true << true << QStringList{"launch", "close"}
                                                             << false;
    QTest::newRow("installer does not start") << false << true << false << QStringList{"launch"} << false;
    QTest::newRow("install declined") << true << false << false << QStringList{} << false;
}

// The whole install step under the application's own event loop, where a
// quit really ends it.
void TestUpdater::installUnderRunningLoop()
{
    QFETCH(bool, starts);
    QFETCH(bool, accept);
    QFETCH(bool, refuse);
    QFETCH(QStringList, events);
    QFETCH(bool, quits);
    QStringList seen;
    GuardedWindow window(&seen);
    window.refuse = refuse;
    window.show();
    Setup s;
    s.updater.setNotifyOnUpdate(true);
    s.updater.downloader()->setLauncher([&seen, starts](const QString&) {
        seen << QStringLiteral("launch");
        return starts;
    });
    s.server.answer("/files/Vantrel-2.2.run", 200, kPayload);
    s.server.answer("/feed.json", 200, feed("2.2", s.server.url("/files/Vantrel-2.2.run"), sha256Hex(kPayload)));
    Downloader* downloader = s.updater.downloader();
    auto* open = downloader->findChild<QPushButton*>(QStringLiteral("openButton"));
    QVERIFY(open);

    int installQuestions = 0;
    qint64 errorShownMs = -1;
    QElapsedTimer errorClock;
    bool stepDone = false;
    bool downloaderShown = false;
    bool openOffered = false;
    const auto expectedBoxes = expectModal<QMessageBox>();
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (!box->isVisible())
                return;
            const QString text = box->text();
            if (text.contains(QStringLiteral("has been released"))) {
                box->button(QMessageBox::Yes)->click();
            } else if (text.contains(QStringLiteral("In order to install the update"))) {
                ++installQuestions;
                // The second question comes from the Open button: declined.
                const bool ok = installQuestions == 1 && accept;
                box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
                if (installQuestions == 2)
                    QTimer::singleShot(200, [] { QCoreApplication::exit(42); });
            } else if (text.contains(QStringLiteral("Cannot execute downloaded package!"))) {
                // The error waits for the user, however long it takes.
                if (!errorClock.isValid())
                    errorClock.start();
                if (errorClock.elapsed() >= 1000) {
                    errorShownMs = errorClock.elapsed();
                    box->button(QMessageBox::Close)->click();
                }
            }
            return;
        }
        if (installQuestions == 1 && !stepDone) {
            stepDone = true;
            downloaderShown = downloader->isVisible();
            openOffered = open->isVisible() && open->isEnabled();
            if (openOffered)
                QTimer::singleShot(0, open, &QAbstractButton::click);
            else
                QCoreApplication::exit(42);
        }
    });
    driver.start();
    QTimer::singleShot(30000, [] { QCoreApplication::exit(99); });
    QTimer::singleShot(0, &s.updater, &Updater::checkForUpdates);
    const int code = QApplication::exec();
    driver.stop();

    QCOMPARE(code, quits ? 0 : 42);
    QCOMPARE(errorShownMs >= 1000, !starts);
    // The installer before any window is asked to close.
    QCOMPARE(seen, events);
    if (!quits) {
        QVERIFY(downloaderShown);
        QVERIFY(openOffered);
        QCOMPARE(installQuestions, 2);
        QCOMPARE(window.isVisible(), true);
    }
}

void TestUpdater::hostileFileNames_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("savedAs");
    QTest::newRow("dot dot") << "/files/.." << defaultDownloadFileName();
    QTest::newRow("query string") << "/files/setup.run?name=../../IQSettings.ini" << "setup.run";
    QTest::newRow("encoded traversal") << "/files/..%2F..%2FIQSettings.ini" << "IQSettings.ini";
    QTest::newRow("name taken") << "/files/a.run" << "a (1).run";
    // A long name is cut to 120 characters from the front, so that its
    // suffix survives; characters other than plain ASCII letters, digits and
    // ".-_+" become "_" (one per UTF-16 unit), so the name, with ".part" or
    // " (n)" added, stays far below the 255-byte limit of a file name.
    QTest::newRow("long name, .exe")
        << "/files/Vantrel-HDR-Setup-" + QString(300, QLatin1Char('x')) + "-2.2.exe"
        << QString(112, QLatin1Char('x')) + "-2.2.exe";
    QTest::newRow("long two-byte name, .deb")
        << "/files/Vantrel_" + QStringLiteral("%C3%A9").repeated(300) + "_2.2_amd64.deb"
        << QString(106, QLatin1Char('_')) + "_2.2_amd64.deb";
    QTest::newRow("long four-byte name, .AppImage")
        << "/files/" + QStringLiteral("%C3%A9").repeated(100) + "-" + QStringLiteral("%F0%9F%8E%9E").repeated(100)
               + "-x86_64.AppImage"
        << QString(104, QLatin1Char('_')) + "-x86_64.AppImage";
    // Leading dots left by the cut go too: the name must not hide itself.
    QTest::newRow("cut lands on dots") << "/files/" + QString(50, QLatin1Char('a')) + QString(200, QLatin1Char('.')) + "x.run"
                                       << "x.run";
    QTest::newRow("long run of dots") << "/files/" + QString(300, QLatin1Char('.')) << defaultDownloadFileName();
}

void TestUpdater::hostileFileNames()
{
    QFETCH(QString, target);
    QFETCH(QString, savedAs);
    Setup s;
    // The user's settings live in the same folder the downloads go below, and
    // an earlier file of the same name may be in the downloads already.
    const QString settings = QDir(s.dir.path()).filePath("IQSettings.ini");
    const QString earlier = QDir(s.updater.downloader()->saveFolderPath()).filePath("a.run");
    QVERIFY(QDir().mkpath(s.updater.downloader()->saveFolderPath()));
    for (const QString& path : {settings, earlier}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[app]\nlanguage=94\n") > 0);
    }
    s.updater.setNotifyOnUpdate(true);
    HttpAnswer installer;
    installer.body = kPayload;
    s.server.setFallback(installer);
    s.server.answer("/feed.json", 200, feed("2.2", s.server.url(target)));
    BoxAnswerer answers;
    s.updater.checkForUpdates();
    QTRY_COMPARE(s.launched.size(), 1);
    QCOMPARE(s.launched.at(0), QDir(s.updater.downloader()->saveFolderPath()).filePath(savedAs));
    for (const QString& path : {settings, earlier}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[app]\nlanguage=94\n"));
    }
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files), QStringList{"IQSettings.ini"});
}

void TestUpdater::failedDownloads_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("not found") << "404";
    QTest::newRow("checksum mismatch") << "sha";
    QTest::newRow("redirect loop") << "loop";
    QTest::newRow("server error") << "500";
    QTest::newRow("download url not allowed") << "file";
}

void TestUpdater::failedDownloads()
{
    QFETCH(QString, kind);
    Setup s;
    s.updater.setNotifyOnUpdate(true);
    QString download = s.server.url("/files/setup.run");
    QByteArray sha;
    if (kind == "404") {
        // no answer for the installer: the server says 404
    } else if (kind == "sha") {
        s.server.answer("/files/setup.run", 200, kPayload);
        sha = sha256Hex("something else");
    } else if (kind == "loop") {
        s.server.redirect("/files/setup.run", 302, "setup.run");
    } else if (kind == "500") {
        s.server.answer("/files/setup.run", 500, kPayload);
    } else {
        download = QStringLiteral("file:///bin/sh");
    }
    s.server.answer("/feed.json", 200, feed("2.2", download, sha));
    BoxAnswerer answers;
    QSignalSpy done(&s.updater, &Updater::downloadFinished);
    s.updater.checkForUpdates();
    QTRY_VERIFY(answers.saw(QStringLiteral("Cannot execute downloaded package!")));
    QTest::qWait(100);
    QVERIFY(s.launched.isEmpty());
    QCOMPARE(done.count(), 0);
    QVERIFY(s.savedFiles().isEmpty());
    QVERIFY(s.updater.downloader()->downloadedFilePath().isEmpty());
    QVERIFY(s.server.requests.size() <= kMaxRedirects + 2);
}

void TestUpdater::downloaderIcon()
{
    Downloader window;
    auto* icon = window.findChild<QLabel*>(QStringLiteral("updater_icon"));
    QVERIFY(icon);
    const QImage image = icon->pixmap().toImage();
    QVERIFY2(!image.isNull(), "the window's icon is not among the resources");
    QCOMPARE(image.size(), QSize(96, 96));
    // A drawn disc: clear corners, an opaque middle.
    QCOMPARE(image.pixelColor(1, 1).alpha(), 0);
    QCOMPARE(image.pixelColor(48, 48).alpha(), 255);
    QCOMPARE(QImage(QStringLiteral(":/icons/update@2x.png")).size(), QSize(192, 192));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.grab().save(testOutputDir() + QStringLiteral("/downloader.png")));
}

void TestUpdater::sizeTexts_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("1023") << qint64(1023) << "1023 bytes";
    QTest::newRow("1024") << qint64(1024) << "1 KB";
    QTest::newRow("1048575") << qint64(1048575) << "1023 KB";
    QTest::newRow("1048576") << qint64(1048576) << "1 MB";
    QTest::newRow("0") << qint64(0) << "0 bytes";
}

void TestUpdater::sizeTexts()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(Downloader::sizeText(bytes), text);
}

void TestUpdater::timeTexts_data()
{
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<QString>("text");
    QTest::newRow("90.5 s") << qint64(2) << qint64(183) << qint64(1) << "2 minutes";
    QTest::newRow("61 s") << qint64(1) << qint64(62) << qint64(1) << "1 minute";
    QTest::newRow("7201 s") << qint64(1) << qint64(7202) << qint64(1) << "about 2 hours";
    QTest::newRow("0.4 s") << qint64(5) << qint64(6) << qint64(2) << "1 second";
    QTest::newRow("30 s") << qint64(10) << qint64(40) << qint64(10) << "30 seconds";
    QTest::newRow("no byte yet") << qint64(0) << qint64(1000) << qint64(5) << "unknown";
    QTest::newRow("no time yet") << qint64(10) << qint64(1000) << qint64(0) << "";
}

void TestUpdater::timeTexts()
{
    QFETCH(qint64, received);
    QFETCH(qint64, total);
    QFETCH(qint64, elapsed);
    QFETCH(QString, text);
    QCOMPARE(Downloader::timeRemainingText(received, total, elapsed), text);
}

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
