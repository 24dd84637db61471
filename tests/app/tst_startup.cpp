// Starts the built program as a new user would (offscreen, fresh home and data
// folders): the first start shows its window and asks the configured update
// feed; a second start hands over to the first and ends with 0.
#include <QtTest>
#include <QProcess>
#include <QSettings>
#include <QLocalServer>
#include <QTemporaryDir>

#include "HttpTestServer.h"
#include "SingleInstanceMemory.h"
#include "SingleInstanceProtocol.h"

#ifndef VANTREL_HDR_EXE
#error "VANTREL_HDR_EXE must name the built program"
#endif

namespace {
// The single-instance block of the program for this user.
QString programBlockName()
{
    BlockNameInputs in;
    in.applicationName = QFileInfo(QStringLiteral(VANTREL_HDR_EXE)).completeBaseName();
    in.applicationVersion = QStringLiteral(VANTREL_VERSION);
    in.executablePath = QFileInfo(QStringLiteral(VANTREL_HDR_EXE)).canonicalFilePath();
    in.userName = queryCurrentUserName();
    in.options = SingleInstanceUserScope;
    return deriveBlockName(in);
}

struct Program {
    QProcess process;
    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
            process.waitForFinished(2000);
        }
    }
};
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;
    HttpTestServer m_server;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString home = m_root.filePath(QStringLiteral("home"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("runtime")));
        // The single-instance block and server do not follow it (they sit in
        // the user's own folder); everything else temporary stays in here.
        env.insert(QStringLiteral("TMPDIR"), m_root.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        // The feed is on 127.0.0.1: no proxy in between.
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            env.remove(QString::fromLatin1(proxy));
        return env;
    }

    void start(Program& p) const
    {
        p.process.setProgram(QStringLiteral(VANTREL_HDR_EXE));
        p.process.setProcessEnvironment(environment());
        p.process.setWorkingDirectory(m_root.filePath(QStringLiteral("work")));
        p.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.process.start();
    }

    int feedRequests() const
    {
        int n = 0;
        for (const HttpRequestSeen& r : m_server.requests)
            n += r.target == "/feed.json";
        return n;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(VANTREL_HDR_EXE)).isExecutable());
        QVERIFY(m_server.isListening());
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("work"))));
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("home"))));
        const QString runtime = m_root.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("tmp"))));
        QSettings ini(m_root.filePath(QStringLiteral("work/Settings.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("checkupdate/url"), m_server.url(QStringLiteral("/feed.json")));
        ini.sync();
        const QByteArray entry = "{\"module-name\":\"Vantrel HDR\",\"channel\":1,\"latest-version\":\"" VANTREL_VERSION
                                 "\",\"download-url\":\"\",\"open-url\":\"\"}";
        m_server.answer("/feed.json", 200, "{\"windows\":[" + entry + "],\"linux\":[" + entry + "]}");
    }

    void secondStartHandsOverAndExitsWithZero()
    {
        Program first;
        QElapsedTimer clock;
        clock.start();
        start(first);
        QVERIFY(first.process.waitForStarted(10000));
        // The update check runs 10 ms after the window is shown, so the feed
        // request tells that the first window is up.
        QTRY_VERIFY_WITH_TIMEOUT(feedRequests() >= 1 || first.process.state() == QProcess::NotRunning, 30000);
        QCOMPARE(first.process.state(), QProcess::Running);
        {
            SingleInstanceMemory block(instancePaths(programBlockName()));
            QVERIFY2(block.attach(), "the first instance holds no single-instance block");
        }
        qInfo("start-up to the first shown window (feed request 10 ms after it): %lld ms", qint64(clock.elapsed()));

        Program second;
        start(second);
        QVERIFY(second.process.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(second.process.state() == QProcess::NotRunning, 20000);
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        // The second never got as far as a window of its own.
        QTest::qWait(300);
        QCOMPARE(feedRequests(), 1);
        QCOMPARE(first.process.state(), QProcess::Running);
    }

    void startsAgainAfterTheFirstEnded()
    {
        // The previous test's first instance was ended by a signal; a new
        // start must still become the first, not hand over to nobody.
        Program again;
        const int before = feedRequests();
        start(again);
        QVERIFY(again.process.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(feedRequests() > before || again.process.state() == QProcess::NotRunning, 30000);
        QCOMPARE(again.process.state(), QProcess::Running);
    }

    void cleanupTestCase()
    {
        // The instances were ended by a signal, which leaves their block
        // behind; the last one to attach and detach removes it with its files.
        const InstancePaths paths = instancePaths(programBlockName());
        {
            SingleInstanceMemory block(paths);
            QVERIFY(block.attach());
        }
        QVERIFY(!QFileInfo::exists(paths.keyFile));
        QVERIFY(!QFileInfo::exists(paths.lockFile));
        QLocalServer::removeServer(paths.server);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
