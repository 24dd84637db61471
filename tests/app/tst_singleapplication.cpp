#include "SingleInstanceMemory.h"
#include "SingleInstanceProtocol.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <QtEndian>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <thread>
#include <sys/file.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>
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

// The id of the System V segment whose key comes from keyFile (Qt's ftok
// project id is 'Q'), as mapped by process pid, or -1. The kernel names such
// mappings "/SYSV<key in 8 hex digits>"; their inode column is the segment id.
int sysVSegmentOf(qint64 pid, const QString& keyFile)
{
    const key_t key = ::ftok(QFile::encodeName(keyFile).constData(), 'Q');
    if (key == key_t(-1))
        return -1;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray name = "/SYSV" + QByteArray::number(quint32(key), 16).rightJustified(8, '0');
    for (const QByteArray& line : maps.readAll().split('\n')) {
        if (!line.contains(name))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool ok = false;
        const int id = fields.value(4).toInt(&ok);
        return ok ? id : -1;
    }
    return -1;
}

// Whether the segment of that id is gone. Ids are not handed out again at
// once, unlike ftok keys, whose key files' inodes other tests running beside
// this one may reuse.
bool segmentRemoved(int id)
{
    struct shmid_ds info;
    return ::shmctl(id, IPC_STAT, &info) == -1 && (errno == EINVAL || errno == EIDRM);
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
    void startsOfOneUserMeet_data();
    void startsOfOneUserMeet();
    void instanceFolderChecks_data();
    void instanceFolderChecks();
    void lockFollowsItsName();
    void stuckLockEndsTheStart();
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

void TestSingleApplication::startsOfOneUserMeet_data()
{
    // "" leaves XDG_RUNTIME_DIR unset, "set" points it at a private folder of this user.
    QTest::addColumn<QString>("firstRuntime");
    QTest::addColumn<QString>("secondRuntime");
    // "short" a plain temporary folder, "long" one too long for a socket path in it.
    QTest::addColumn<QString>("firstTemp");
    QTest::addColumn<QString>("secondTemp");
    for (const char* temp : {"long", "short"}) {
        QTest::addRow("runtime unset, unset; %s temp", temp) << "" << "" << temp << temp;
        QTest::addRow("runtime unset, set; %s temp", temp) << "" << "set" << temp << temp;
        QTest::addRow("runtime set, unset; %s temp", temp) << "set" << "" << temp << temp;
        QTest::addRow("runtime set, set; %s temp", temp) << "set" << "set" << temp << temp;
    }
    QTest::newRow("temp short, then long") << "" << "set" << "short" << "long";
}

// Two starts of one user meet whatever their environments say: the second
// one's hand-shake and message reach the first, and nothing of the guard is
// left in a temporary folder.
void TestSingleApplication::startsOfOneUserMeet()
{
    QFETCH(QString, firstRuntime);
    QFETCH(QString, secondRuntime);
    QFETCH(QString, firstTemp);
    QFETCH(QString, secondTemp);

    QTemporaryDir root(QStringLiteral("/tmp/vsi-XXXXXX"));
    QVERIFY(root.isValid());
    const QString runtime = root.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkpath(runtime));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString shortTemp = root.filePath(QStringLiteral("t"));
    QString longTemp = root.path() + QLatin1Char('/');
    longTemp += QString(90 - longTemp.size(), QLatin1Char('t'));
    // A socket named by a block name (44 bytes) does not fit under it.
    QVERIFY(longTemp.size() + 1 + 44 > 108);
    QVERIFY(QDir().mkpath(shortTemp));
    QVERIFY(QDir().mkpath(longTemp));

    auto environment = [&](const QString& runtimeChoice, const QString& tempChoice) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        if (!runtimeChoice.isEmpty())
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("TMPDIR"), tempChoice == QLatin1String("long") ? longTemp : shortTemp);
        return env;
    };
    const QProcessEnvironment firstEnv = environment(firstRuntime, firstTemp);
    const QProcessEnvironment secondEnv = environment(secondRuntime, secondTemp);

    const QString key = uniqueKey();
    Helper first;
    first.start({"first", key}, firstEnv);
    QVERIFY(first.waitForLine("FIRST"));
    const QString blockName = first.line("FIRST").section(' ', 2, 2);
    const qint64 pid = first.line("FIRST").section(' ', 1, 1).toLongLong();
    QCOMPARE(pid, first.process->processId());

    // Everything sits in the user's own folder under /tmp.
    const QString folder = QStringLiteral("/tmp/vantrel-%1").arg(::geteuid());
    const QString socketPath = folder + QLatin1Char('/') + blockName;
    QCOMPARE(first.line("FIRST").section(' ', 3, 3), socketPath);
    QVERIFY(QFileInfo(socketPath).exists());
    const int segment = sysVSegmentOf(pid, socketPath + QLatin1String(".block"));
    QVERIFY(segment >= 0);
    QFileInfo folderInfo(folder);
    QVERIFY(folderInfo.isDir() && !folderInfo.isSymLink());
    QCOMPARE(folderInfo.ownerId(), uint(::geteuid()));
    QCOMPARE(folderInfo.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                         | QFile::WriteOther | QFile::ExeOther),
             QFile::Permissions());

    // A second start hands over through the server and ends with 0 ...
    QCOMPARE(runSecond({"first", key}, 10000, secondEnv), 0);
    QVERIFY2(first.waitForLine("STARTED", 5000), "the first instance was never told of the second start");
    // ... and messages arrive, each secondary with the next number.
    QCOMPARE(runSecond({"send", key, "open /tmp/a.jpg"}, 10000, secondEnv), 0);
    QVERIFY(first.waitForLine("MESSAGE 1 open /tmp/a.jpg", 5000));
    QCOMPARE(runSecond({"send", key, "again"}, 10000, firstEnv), 0);
    QVERIFY(first.waitForLine("MESSAGE 2 again", 5000));
    QCOMPARE(first.process->state(), QProcess::Running);

    // Qt's own placement would have left "qipc_" key files, and the socket,
    // in the temporary folder.
    for (const QString& temp : {shortTemp, longTemp}) {
        const QStringList left = QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : left)
            QVERIFY2(!name.startsWith(QLatin1String("qipc_")) && !name.contains(blockName), qPrintable(temp + '/' + name));
    }

    // The first instance leaves nothing behind when it ends: no files, no segment.
    first.quit();
    QCOMPARE(first.process->exitCode(), 0);
    QCOMPARE(QDir(folder).entryList({blockName + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden | QDir::System),
             QStringList());
    QVERIFY(segmentRemoved(segment));
}

void TestSingleApplication::instanceFolderChecks_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("usable");
    QTest::newRow("missing: made private") << "missing" << true;
    QTest::newRow("private folder") << "0700" << true;
    QTest::newRow("open to the group") << "0750" << false;
    QTest::newRow("open to others") << "0701" << false;
    QTest::newRow("owner cannot write") << "0500" << false;
    QTest::newRow("a link to a private folder") << "link" << false;
    QTest::newRow("a file") << "file" << false;
    QTest::newRow("another user's folder") << "foreign" << false;
    QTest::newRow("parent too long for a socket path") << "long" << false;
}

// The folder is taken only when it is a real folder of this user that nobody
// else may enter and a socket path in it fits.
void TestSingleApplication::instanceFolderChecks()
{
    QFETCH(QString, setup);
    QFETCH(bool, usable);
    QTemporaryDir root(QStringLiteral("/tmp/vsf-XXXXXX"));
    QVERIFY(root.isValid());
    QString parent = root.path();
    if (setup == QLatin1String("long")) {
        // 100 bytes is the longest socket path used: the folder plus "/" and 44 leaves too little.
        parent += QLatin1Char('/') + QString(60, QLatin1Char('p'));
        QVERIFY(QDir().mkpath(parent));
    }
    const QString folder = parent + QStringLiteral("/vantrel-%1").arg(::geteuid());
    const QByteArray path = QFile::encodeName(folder);
    if (setup.startsWith(QLatin1Char('0')) || setup == QLatin1String("foreign")) {
        QVERIFY(::mkdir(path.constData(), 0700) == 0);
        QVERIFY(::chmod(path.constData(), setup == QLatin1String("foreign") ? 0700 : setup.toUInt(nullptr, 8)) == 0);
        if (setup == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("giving a folder to another user needs root");
            QVERIFY(::chown(path.constData(), 65534, 65534) == 0);
        }
    } else if (setup == QLatin1String("link")) {
        const QString target = root.filePath(QStringLiteral("target"));
        QVERIFY(::mkdir(QFile::encodeName(target).constData(), 0700) == 0);
        QVERIFY(QFile::link(target, folder));
    } else if (setup == QLatin1String("file")) {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    const QString got = privateInstanceFolder(QFile::encodeName(parent));
    QCOMPARE(got, usable ? folder : QString());
    if (setup == QLatin1String("missing")) {
        struct stat st;
        QVERIFY(::lstat(path.constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0700);
    }
    // A folder that was refused is left as it was.
    if (setup.startsWith(QLatin1Char('0'))) {
        struct stat st;
        QVERIFY(::lstat(path.constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), int(setup.toUInt(nullptr, 8)));
    }
}

// A process that waited on a lock file which the last user of the block
// took away must not count the old file as the lock: it takes the new one.
void TestSingleApplication::lockFollowsItsName()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    InstancePaths paths;
    paths.folder = dir.path();
    paths.server = dir.filePath(QStringLiteral("b"));
    paths.keyFile = dir.filePath(QStringLiteral("b.block"));
    paths.lockFile = dir.filePath(QStringLiteral("b.lock"));
    SingleInstanceMemory memory(paths);
    QVERIFY(memory.lock());
    QVERIFY(memory.unlock());

    // Another process replaces the file and holds the new one for 300 ms.
    const QByteArray lockPath = QFile::encodeName(paths.lockFile);
    QVERIFY(::unlink(lockPath.constData()) == 0);
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    QVERIFY(::flock(fd, LOCK_EX) == 0);
    std::thread holder([fd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::flock(fd, LOCK_UN);
    });
    QElapsedTimer clock;
    clock.start();
    const bool locked = memory.lock();
    const qint64 waited = clock.elapsed();
    holder.join();
    ::close(fd);
    QVERIFY(locked);
    QVERIFY2(waited >= 250, qPrintable(QStringLiteral("took the lock after %1 ms").arg(waited)));
    QVERIFY(memory.unlock());
}

// A holder that never lets go of the block's lock costs the next start a
// clear failure, not a hang.
void TestSingleApplication::stuckLockEndsTheStart()
{
    const QString key = uniqueKey();
    QString lockPath;
    {
        Helper first;
        first.start({"first", key});
        QVERIFY(first.waitForLine("FIRST"));
        lockPath = first.line("FIRST").section(' ', 3, 3) + QLatin1String(".lock");
    }
    // The first instance took its lock file away when it ended; this one is new.
    QVERIFY(!QFileInfo::exists(lockPath));
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY2(fd >= 0, qPrintable(lockPath));
    QVERIFY(::flock(fd, LOCK_EX) == 0);

    QProcess stuck;
    stuck.start(kHelper, {"first", key});
    QElapsedTimer clock;
    clock.start();
    const bool ended = stuck.waitForFinished(30000);
    const QByteArray errors = stuck.readAllStandardError();
    ::close(fd);
    if (!ended) {
        stuck.kill();
        stuck.waitForFinished();
        QFAIL("the start hung behind the lock");
    }
    QCOMPARE(stuck.exitStatus(), QProcess::NormalExit);
    QCOMPARE(stuck.exitCode(), 1);
    QVERIFY2(errors.contains("stayed locked"), errors.constData());
    QVERIFY(clock.elapsed() >= 9000);

    // Once the lock is free again, the next start becomes the first instance.
    Helper next;
    next.start({"first", key});
    QVERIFY(next.waitForLine("FIRST"));
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
