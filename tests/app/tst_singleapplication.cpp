#include "SingleInstanceProtocol.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {
const QString kHelper = QStringLiteral(SINGLEINSTANCE_HELPER);

// One helper process and the lines it printed.
struct Helper
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QStringList lines;

    void start(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setProcessEnvironment(env);
        process->start(kHelper, args);
    }
    bool waitForLine(const QString& prefix, int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            while (process->canReadLine())
                lines << QString::fromUtf8(process->readLine()).trimmed();
            for (const QString& l : std::as_const(lines))
                if (l.startsWith(prefix))
                    return true;
            if (process->state() == QProcess::NotRunning && !process->canReadLine())
                return false;
            process->waitForReadyRead(50);
        }
        return false;
    }
    QString line(const QString& prefix) const
    {
        for (const QString& l : lines)
            if (l.startsWith(prefix))
                return l;
        return QString();
    }
    void quit()
    {
        if (process->state() == QProcess::NotRunning)
            return;
        process->write("quit\n");
        process->closeWriteChannel();
        if (!process->waitForFinished(5000))
            process->kill();
        process->waitForFinished(1000);
    }
    ~Helper() { quit(); }
};

QString uniqueKey()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

int runSecond(const QStringList& args, int ms = 10000,
              const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setProcessEnvironment(env);
    p.start(kHelper, args);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}
} // namespace

class TestSingleApplication : public QObject
{
    Q_OBJECT
private slots:
    void killedFirstDoesNotBlock();
    void hostileClientsDoNotBlock();
    void longTempFolder_data();
    void longTempFolder();
    void liveFirstWithoutServerKeepsTheBlock();
};

void TestSingleApplication::killedFirstDoesNotBlock()
{
    const QString key = uniqueKey();
    {
        Helper first;
        first.start({"first", key});
        QVERIFY(first.waitForLine("FIRST"));
        first.process->kill(); // SIGKILL: no destructor runs, the block stays behind
        QVERIFY(first.process->waitForFinished(5000));
    }
    Helper next;
    next.start({"first", key});
    QVERIFY2(next.waitForLine("FIRST"), "a killed first instance blocked the next start");
    QCOMPARE(runSecond({"first", key}), 0);
    QVERIFY(next.waitForLine("STARTED"));
}

// A client that announces a body and never sends it; hostile lengths and
// garbage are refused on the connection itself (see the guard's own tests).
void TestSingleApplication::hostileClientsDoNotBlock()
{
    QByteArray stalled(8, '\0');
    qToBigEndian(qint64(100), stalled.data());
    const QString key = uniqueKey();
    Helper first;
    first.start({"first", key});
    QVERIFY(first.waitForLine("FIRST"));
    const QString serverName = first.line("FIRST").section(' ', 3, 3);

    QLocalSocket hostile;
    hostile.connectToServer(serverName);
    QVERIFY(hostile.waitForConnected(2000));
    hostile.write(stalled + "abc");
    QVERIFY(hostile.waitForBytesWritten(2000));

    // With the hostile client still connected, a second start is served.
    QCOMPARE(runSecond({"send", key, "still here"}), 0);
    QVERIFY(first.waitForLine("MESSAGE 1 still here"));
    QCOMPARE(first.process->state(), QProcess::Running);
    hostile.abort();
}

void TestSingleApplication::longTempFolder_data()
{
    QTest::addColumn<QString>("runtime"); // "" unset, "short" a private folder, "long" one too long
    QTest::newRow("no runtime folder") << "";
    QTest::newRow("private runtime folder") << "short";
    QTest::newRow("runtime folder too long") << "long";
}

// A temporary folder whose path leaves no room for a socket name in it must
// not cost the guard its server.
void TestSingleApplication::longTempFolder()
{
    QFETCH(QString, runtime);
    QTemporaryDir root(QStringLiteral("/tmp/vsi-XXXXXX"));
    QVERIFY(root.isValid());
    QString tmp = root.path() + QLatin1Char('/');
    tmp += QString(78 - tmp.size(), QLatin1Char('t'));
    QCOMPARE(tmp.size(), 78);
    QVERIFY(QDir().mkpath(tmp));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp);
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QString folder = QStringLiteral("/tmp/vantrel-%1").arg(::geteuid());
    if (!runtime.isEmpty()) {
        QString dir = root.filePath(QStringLiteral("run"));
        if (runtime == QLatin1String("long"))
            dir += QLatin1Char('/') + QString(60, QLatin1Char('r'));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
        if (runtime == QLatin1String("short"))
            folder = dir;
    }

    const QString key = uniqueKey();
    Helper first;
    first.start({"first", key}, env);
    QVERIFY(first.waitForLine("FIRST"));
    const QString blockName = first.line("FIRST").section(' ', 2, 2);
    QCOMPARE(first.line("FIRST").section(' ', 3, 3), folder + QLatin1Char('/') + blockName);
    QVERIFY(QFileInfo(folder + QLatin1Char('/') + blockName).exists());
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther),
             QFile::Permissions());

    // A second start hands over through the server and ends with 0 ...
    QCOMPARE(runSecond({"first", key}, 10000, env), 0);
    QVERIFY(first.waitForLine("STARTED"));
    // ... and messages still arrive, each secondary with the next number.
    QCOMPARE(runSecond({"send", key, "open /tmp/a.jpg"}, 10000, env), 0);
    QVERIFY(first.waitForLine("MESSAGE 1 open /tmp/a.jpg"));
    QCOMPARE(runSecond({"send", key, "again"}, 10000, env), 0);
    QVERIFY(first.waitForLine("MESSAGE 2 again"));
    QCOMPARE(first.process->state(), QProcess::Running);
}

void TestSingleApplication::liveFirstWithoutServerKeepsTheBlock()
{
    const QString key = uniqueKey();
    Helper first;
    first.start({"first", key});
    QVERIFY(first.waitForLine("FIRST"));
    // The first instance runs on, but nothing answers at its address.
    QVERIFY(QFile::remove(first.line("FIRST").section(' ', 3, 3)));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(runSecond({"first", key}), 0);
    // It gave up after its one-second hand-shake, not after running as a first instance.
    QVERIFY(clock.elapsed() < 8000);
    QCOMPARE(first.process->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestSingleApplication)
#include "tst_singleapplication.moc"
