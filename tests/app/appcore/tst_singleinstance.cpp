#include "SingleApplicationPrivate.h"
#include "SingleInstanceMemory.h"
#include "SingleInstanceProtocol.h"

#include <QDataStream>
#include <QLocalSocket>
#include <QProcess>
#include <QUuid>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QStringList uniqueKey()
{
    return {QUuid::createUuid().toString(QUuid::WithoutBraces)};
}

// Writes bytes on a raw client socket and lets the event loop deliver them.
void send(QLocalSocket& socket, const QByteArray& bytes)
{
    socket.write(bytes);
    socket.flush();
}

qint64 deadPid()
{
    QProcess p;
    p.start(QStringLiteral("/bin/true"));
    p.waitForFinished();
    return p.processId() > 0 ? p.processId() : 0x3ffffff0;
}

// A child that has ended but is not reaped until the guard goes.
struct Zombie
{
    pid_t pid = ::fork();
    Zombie()
    {
        if (pid == 0)
            ::_exit(0);
        QTest::qWait(100);
    }
    ~Zombie()
    {
        if (pid > 0)
            ::waitpid(pid, nullptr, 0);
    }
};
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void blockLayoutAndChecksum();
    void blockNameInputs();
    void userNameFallbacks_data();
    void userNameFallbacks();
    void handshakeRejects_data();
    void handshakeRejects();
    void firstInstanceReceivesMessage();
    void splitHandshake();
    void hostileFrames_data();
    void hostileFrames();
    void noMessageBeforeHandshake();
    void staleBlockRecovered_data();
    void staleBlockRecovered();
    void corruptBlockRepaired();
    void secondaryCountsInstances();
};

void TestSingleInstance::blockLayoutAndChecksum()
{
    SingleInstanceBlock b;
    resetBlock(b);
    QVERIFY(!b.primary);
    QCOMPARE(b.primaryPid, qint64(-1));
    QCOMPARE(b.checksum, blockChecksum(b));
    setBlockUser(b, QString(200, QChar(0x00e9))); // two bytes each in UTF-8
    QCOMPARE(b.primaryUser[127], '\0');
    QVERIFY(blockUser(b).size() <= 127);
    QVERIFY(b.checksum != blockChecksum(b));
    setBlockUser(b, QStringLiteral("anna"));
    QCOMPARE(blockUser(b), QStringLiteral("anna"));
}

void TestSingleInstance::blockNameInputs()
{
    BlockNameInputs a;
    a.applicationName = "vantrel-hdr";
    a.applicationVersion = "2.1.0.118";
    a.executablePath = "/opt/Vantrel/vantrel-hdr";
    a.userName = "anna";
    a.options = SingleInstanceUserScope;
    const QString key = deriveBlockName(a);
    QCOMPARE(key.size(), 44);
    QVERIFY(!key.contains(QLatin1Char('/')));
    // The key of `a` with one input changed.
    const auto with = [&a](const std::function<void(BlockNameInputs&)>& change) {
        BlockNameInputs b = a;
        change(b);
        return deriveBlockName(b);
    };
    QCOMPARE(with([](BlockNameInputs&) {}), key);
    QVERIFY(with([](BlockNameInputs& b) { b.userName = "bert"; }) != key); // two users, two keys
    QCOMPARE(with([](BlockNameInputs& b) { b.executablePath = "/OPT/vantrel/VANTREL-HDR"; }), key); // lower-cased
    QVERIFY(with([](BlockNameInputs& b) { b.executablePath = "/usr/bin/vantrel-hdr"; }) != key);
    QVERIFY(with([](BlockNameInputs& b) { b.applicationVersion = "2.1.0.119"; }) != key);
    QVERIFY(with([](BlockNameInputs& b) { b.extraData = {"x"}; }) != key);
    // Without the user scope the user does not count; with the path excluded, the path.
    a.options = 0;
    QCOMPARE(with([](BlockNameInputs& b) { b.userName = "bert"; }), deriveBlockName(a));
    a.options = SingleInstanceUserScope | SingleInstanceExcludePath;
    QCOMPARE(with([](BlockNameInputs& b) { b.executablePath = "/elsewhere"; }), deriveBlockName(a));
}

void TestSingleInstance::userNameFallbacks_data()
{
    QTest::addColumn<QString>("passwd");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("logname");
    QTest::addColumn<QString>("expected");
    QTest::newRow("passwd first") << "anna" << "bert" << "carl" << "anna";
    QTest::newRow("USER next") << "" << "bert" << "carl" << "bert";
    QTest::newRow("LOGNAME next") << "" << "" << "carl" << "carl";
    QTest::newRow("uid last") << "" << "" << "" << "uid4242";
}

void TestSingleInstance::userNameFallbacks()
{
    QFETCH(QString, passwd);
    QFETCH(QString, user);
    QFETCH(QString, logname);
    QFETCH(QString, expected);
    QCOMPARE(resolveUserName(passwd, user, logname, 4242), expected);
    QVERIFY(!queryCurrentUserName().isEmpty());
}

void TestSingleInstance::handshakeRejects_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray good = handshakeBody("key", HandshakeNewInstance, 0);
    QByteArray badSum = good;
    badSum[badSum.size() - 1] = char(badSum.at(badSum.size() - 1) ^ 1);
    QByteArray badType = good;
    badType[4 + 3] = 2; // type byte after the name, checksum now wrong
    QByteArray hugeName = good;
    hugeName[0] = char(0x7f); // announces a 2 GB name
    QTest::newRow("other name") << handshakeBody("other", HandshakeNewInstance, 0);
    QTest::newRow("name prefix") << handshakeBody("ke", HandshakeNewInstance, 0);
    QTest::newRow("wrong checksum") << badSum;
    QTest::newRow("altered type") << badType;
    QTest::newRow("truncated") << good.left(good.size() - 3);
    QTest::newRow("trailing bytes") << good + "x";
    QTest::newRow("huge name count") << hugeName;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\xde\xad\xbe\xef garbage", 12);
}

void TestSingleInstance::handshakeRejects()
{
    QFETCH(QByteArray, body);
    QVERIFY(!parseHandshakeBody(body, "key").accepted);
}

void TestSingleInstance::firstInstanceReceivesMessage()
{
    SingleApplicationPrivate first(SingleInstanceUserScope, uniqueKey());
    QCOMPARE(first.start(false, 1000), SingleApplicationPrivate::StartResult::FirstInstance);
    QVERIFY(first.isFirstInstance());
    QCOMPARE(first.firstInstanceProcessId(), QCoreApplication::applicationPid());
    QCOMPARE(first.firstInstanceUserName(), queryCurrentUserName());
    QSignalSpy started(&first, &SingleApplicationPrivate::instanceStarted);
    QSignalSpy messages(&first, &SingleApplicationPrivate::receivedMessage);

    QLocalSocket client;
    client.connectToServer(first.serverName());
    QVERIFY(client.waitForConnected(1000));
    QCOMPARE(lengthFrame(0x0102030405060708LL), QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
    const QByteArray hs = handshakeBody(first.blockName(), HandshakeNewInstance, 5);
    send(client, lengthFrame(hs.size()) + hs);
    QTRY_COMPARE(started.count(), 1);
    QTRY_COMPARE(client.bytesAvailable(), qint64(2)); // two acknowledgements
    QCOMPARE(client.readAll(), QByteArray("\n\n"));

    send(client, lengthFrame(5) + "hello" + lengthFrame(0));
    QTRY_COMPARE(messages.count(), 2);
    QCOMPARE(messages.at(0).at(0).toUInt(), 5u);
    QCOMPARE(messages.at(0).at(1).toByteArray(), QByteArray("hello"));
    QCOMPARE(messages.at(1).at(1).toByteArray(), QByteArray());
}

void TestSingleInstance::splitHandshake()
{
    SingleApplicationPrivate first(SingleInstanceUserScope, uniqueKey());
    QCOMPARE(first.start(false, 1000), SingleApplicationPrivate::StartResult::FirstInstance);
    QSignalSpy messages(&first, &SingleApplicationPrivate::receivedMessage);
    QLocalSocket client;
    client.connectToServer(first.serverName());
    QVERIFY(client.waitForConnected(1000));
    const QByteArray hs = handshakeBody(first.blockName(), HandshakeReconnect, 1);
    const QByteArray all = lengthFrame(hs.size()) + hs + lengthFrame(3) + "abc";
    for (int i = 0; i < all.size(); ++i) {
        send(client, all.mid(i, 1));
        QTest::qWait(1);
    }
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(1).toByteArray(), QByteArray("abc"));
}

void TestSingleInstance::hostileFrames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    auto be = [](qint64 v) {
        QByteArray out(8, '\0');
        qToBigEndian(v, out.data());
        return out;
    };
    QTest::newRow("huge handshake length") << be(std::numeric_limits<qint64>::max());
    QTest::newRow("negative handshake length") << be(-1);
    QTest::newRow("length just above cap") << be(kMaxHandshakeLength + 1);
    const QByteArray junk("\x00\x00\x00\x00\x00\x00\x00\x10garbage-garbage!", 24);
    QTest::newRow("garbage body") << junk;
    QTest::newRow("foreign name") << lengthFrame(handshakeBody("nope", 1, 0).size()) + handshakeBody("nope", 1, 0);
}

void TestSingleInstance::hostileFrames()
{
    QFETCH(QByteArray, bytes);
    SingleApplicationPrivate first(SingleInstanceUserScope, uniqueKey());
    QCOMPARE(first.start(false, 1000), SingleApplicationPrivate::StartResult::FirstInstance);
    QSignalSpy started(&first, &SingleApplicationPrivate::instanceStarted);
    QSignalSpy messages(&first, &SingleApplicationPrivate::receivedMessage);

    QLocalSocket hostile;
    hostile.connectToServer(first.serverName());
    QVERIFY(hostile.waitForConnected(1000));
    QSignalSpy closed(&hostile, &QLocalSocket::disconnected);
    send(hostile, bytes);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 2000);
    QCOMPARE(started.count(), 0);
    QCOMPARE(messages.count(), 0);

    // The first instance still serves an honest client.
    QLocalSocket honest;
    honest.connectToServer(first.serverName());
    QVERIFY(honest.waitForConnected(1000));
    const QByteArray hs = handshakeBody(first.blockName(), HandshakeReconnect, 2);
    send(honest, lengthFrame(hs.size()) + hs + lengthFrame(2) + "ok");
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(1).toByteArray(), QByteArray("ok"));
}

void TestSingleInstance::noMessageBeforeHandshake()
{
    SingleApplicationPrivate first(SingleInstanceUserScope, uniqueKey());
    QCOMPARE(first.start(false, 1000), SingleApplicationPrivate::StartResult::FirstInstance);
    QSignalSpy messages(&first, &SingleApplicationPrivate::receivedMessage);
    QSignalSpy started(&first, &SingleApplicationPrivate::instanceStarted);
    {
        // Bytes left on a socket that closes before any hand-shake are not a message.
        QLocalSocket client;
        client.connectToServer(first.serverName());
        QVERIFY(client.waitForConnected(1000));
        send(client, lengthFrame(40) + "not a hand-shake");
        client.waitForBytesWritten(1000);
        client.disconnectFromServer();
    }
    QTest::qWait(200);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(started.count(), 0);

    // A complete exchange sent just before closing still arrives.
    QLocalSocket client;
    client.connectToServer(first.serverName());
    QVERIFY(client.waitForConnected(1000));
    const QByteArray hs = handshakeBody(first.blockName(), HandshakeReconnect, 3);
    send(client, lengthFrame(hs.size()) + hs + lengthFrame(4) + "last");
    client.waitForBytesWritten(1000);
    client.disconnectFromServer();
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(1).toByteArray(), QByteArray("last"));
}

void TestSingleInstance::staleBlockRecovered_data()
{
    QTest::addColumn<QString>("owner");
    QTest::newRow("ended") << "ended";
    QTest::newRow("ended, not reaped") << "zombie";
    QTest::newRow("number reused by another program") << "other";
}

// What a killed first instance leaves: a block that names a process that is
// gone, or a number that now belongs to some other program.
void TestSingleInstance::staleBlockRecovered()
{
    QFETCH(QString, owner);
    Zombie zombie;
    QProcess other;
    qint64 pid = deadPid();
    if (owner == QLatin1String("zombie")) {
        pid = zombie.pid;
    } else if (owner == QLatin1String("other")) {
        other.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        pid = other.processId();
    }
    const QStringList key = uniqueKey();
    SingleApplicationPrivate probe(SingleInstanceUserScope, key);
    const QString name = probe.deriveBlockName();

    SingleInstanceMemory leftover(instancePaths(name));
    QVERIFY(leftover.create(kSingleInstanceBlockSize));
    QVERIFY(leftover.lock());
    auto* b = static_cast<SingleInstanceBlock*>(leftover.data());
    resetBlock(*b);
    b->primary = true;
    b->primaryPid = pid;
    setBlockUser(*b, QStringLiteral("ghost"));
    b->checksum = blockChecksum(*b);
    QVERIFY(leftover.unlock());

    SingleApplicationPrivate next(SingleInstanceUserScope, key);
    QCOMPARE(next.start(false, 300), SingleApplicationPrivate::StartResult::FirstInstance);
    QVERIFY(next.isFirstInstance());
    QCOMPARE(next.firstInstanceProcessId(), QCoreApplication::applicationPid());
    if (other.state() != QProcess::NotRunning) {
        other.kill();
        other.waitForFinished();
    }
}

void TestSingleInstance::corruptBlockRepaired()
{
    const QStringList key = uniqueKey();
    SingleApplicationPrivate probe(SingleInstanceUserScope, key);
    SingleInstanceMemory leftover(instancePaths(probe.deriveBlockName()));
    QVERIFY(leftover.create(kSingleInstanceBlockSize));
    QVERIFY(leftover.lock());
    auto* b = static_cast<SingleInstanceBlock*>(leftover.data());
    resetBlock(*b);
    b->primary = true;
    b->checksum = quint16(blockChecksum(*b) + 1);
    QVERIFY(leftover.unlock());

    QElapsedTimer timer;
    timer.start();
    SingleApplicationPrivate next(SingleInstanceUserScope, key);
    QCOMPARE(next.start(false, 300), SingleApplicationPrivate::StartResult::FirstInstance);
    QVERIFY(timer.elapsed() >= 5000);
}

void TestSingleInstance::secondaryCountsInstances()
{
    const QStringList key = uniqueKey();
    auto first = std::make_unique<SingleApplicationPrivate>(SingleInstanceUserScope, key);
    QCOMPARE(first->start(false, 1000), SingleApplicationPrivate::StartResult::FirstInstance);
    SingleApplicationPrivate second(SingleInstanceUserScope, key);
    QCOMPARE(second.start(true, 1000), SingleApplicationPrivate::StartResult::SecondaryInstance);
    QCOMPARE(second.instanceNumber(), 1u);
    QVERIFY(!second.isFirstInstance());

    // After the first ends, the block is free again.
    first.reset();
    SingleApplicationPrivate third(SingleInstanceUserScope, key);
    QCOMPARE(third.start(false, 300), SingleApplicationPrivate::StartResult::FirstInstance);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
