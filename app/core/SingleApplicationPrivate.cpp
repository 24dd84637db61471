#include "SingleApplicationPrivate.h"

#include "SingleInstanceMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QThread>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace {
// Connections a first instance keeps at once; more are refused.
constexpr int kMaxConnections = 64;

int timeLeft(const QElapsedTimer& timer, int timeoutMs)
{
    return int(qMax<qint64>(1, timeoutMs - timer.elapsed()));
}

// A process that has ended but was not yet reaped.
bool isZombie(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.read(4096);
    // "pid (name) S ...": the name may hold spaces and parentheses.
    const int close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return false;
    const char state = line.at(close + 2);
    return state == 'Z' || state == 'X';
}

// True only when the process plainly runs a program of another name: its
// number was handed on after our first instance died. When its program
// cannot be read (another user's process), nothing is claimed.
bool runsOtherProgram(qint64 pid)
{
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (target.isEmpty())
        return false;
    // A program replaced on disk (say, by its installer) still counts as itself.
    const QLatin1String deleted(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return QFileInfo(target).fileName() != QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}
} // namespace

SingleApplicationPrivate::SingleApplicationPrivate(quint32 options, const QStringList& extraData)
    : options_(options)
    , extraData_(extraData)
{
}

SingleApplicationPrivate::~SingleApplicationPrivate()
{
    if (socket_) {
        socket_->abort();
        delete socket_;
        socket_ = nullptr;
    }
    if (memory_) {
        const bool locked = memory_->lock();
        if (server_) {
            server_->close();
            delete server_;
            server_ = nullptr;
            SingleInstanceBlock* b = locked ? block() : nullptr;
            // Only give up the block while it still names this process.
            if (b && b->primaryPid == QCoreApplication::applicationPid()) {
                b->primary = false;
                b->primaryPid = -1;
                setBlockUser(*b, QString());
                b->checksum = blockChecksum(*b);
            }
        }
        if (locked)
            memory_->unlock();
        delete memory_;
        memory_ = nullptr;
    }
}

QString SingleApplicationPrivate::queryUserName()
{
    return queryCurrentUserName();
}

QString SingleApplicationPrivate::deriveBlockName() const
{
    BlockNameInputs in;
    in.applicationName = QCoreApplication::applicationName();
    in.organizationName = QCoreApplication::organizationName();
    in.organizationDomain = QCoreApplication::organizationDomain();
    in.extraData = extraData_;
    in.applicationVersion = QCoreApplication::applicationVersion();
    in.executablePath = QCoreApplication::applicationFilePath();
    if (options_ & SingleInstanceUserScope)
        in.userName = queryUserName();
    in.options = options_;
    return ::deriveBlockName(in);
}

void SingleApplicationPrivate::sleepRandomly()
{
    QThread::msleep(QRandomGenerator::global()->bounded(8, 18));
}

SingleInstanceBlock* SingleApplicationPrivate::block() const
{
    return static_cast<SingleInstanceBlock*>(memory_->data());
}

SingleApplicationPrivate::StartResult SingleApplicationPrivate::fail(const char* message)
{
    qCritical("%s", message);
    qCritical().noquote() << "SingleApplication:" << int(memory_->error()) << memory_->errorString();
    return StartResult::Failed;
}

SingleApplicationPrivate::StartResult SingleApplicationPrivate::start(bool allowSecondary, int timeoutMs)
{
    blockName_ = deriveBlockName();
    // The block and the socket sit in one folder that follows from the user
    // alone, so that starts with different environments still meet.
    const InstancePaths paths = instancePaths(blockName_);
    serverName_ = paths.server;
    sleepRandomly();

    memory_ = new SingleInstanceMemory(paths);
    if (memory_->create(kSingleInstanceBlockSize)) {
        if (!memory_->lock())
            return fail("SingleApplication: Unable to lock memory block after create.");
        resetBlock(*block());
    } else {
        if (memory_->error() != QSharedMemory::AlreadyExists)
            return fail("SingleApplication: Unable to create block.");
        if (!memory_->attach() || memory_->size() < kSingleInstanceBlockSize)
            return fail("SingleApplication: Unable to attach to shared memory block.");
        if (!memory_->lock())
            return fail("SingleApplication: Unable to lock memory block after attach.");
    }

    // A block left half-written by a process that died is repaired after 5 s.
    QElapsedTimer timer;
    timer.start();
    while (blockChecksum(*block()) != block()->checksum) {
        if (timer.elapsed() > 5000)
            resetBlock(*block());
        memory_->unlock();
        sleepRandomly();
        if (!memory_->lock())
            return fail("SingleApplication: Unable to lock memory after random wait.");
    }

    // The block outlives a killed first instance; take it over only when
    // its owner is gone.
    SingleInstanceBlock* b = block();
    if (b->primary && !primaryAlive(b->primaryPid)) {
        qWarning("SingleApplication: Recovering the block of a first instance that is gone.");
        b->primary = false;
        b->primaryPid = -1;
        setBlockUser(*b, QString());
        b->checksum = blockChecksum(*b);
    }

    if (!b->primary) {
        becomePrimary();
        memory_->unlock();
        return StartResult::FirstInstance;
    }

    if (!allowSecondary) {
        memory_->unlock();
        connectToFirstInstance(timeoutMs, HandshakeNewInstance);
        return StartResult::OtherInstanceRunning;
    }

    b->laterCount += 1;
    b->checksum = blockChecksum(*b);
    instanceNumber_ = b->laterCount;
    memory_->unlock();
    if (options_ & SingleInstanceNotifyLater)
        connectToFirstInstance(timeoutMs, HandshakeSecondaryInstance);
    return StartResult::SecondaryInstance;
}

bool SingleApplicationPrivate::primaryAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    // A live first instance whose server does not answer (it could not
    // listen, or is busy) still runs: a second one must not start beside it.
    return !isZombie(pid) && !runsOtherProgram(pid);
}

void SingleApplicationPrivate::becomePrimary()
{
    SingleInstanceBlock* b = block();
    b->primary = true;
    b->primaryPid = QCoreApplication::applicationPid();
    setBlockUser(*b, queryUserName());
    b->checksum = blockChecksum(*b);
    instanceNumber_ = 0;
    startServer();
}

void SingleApplicationPrivate::startServer()
{
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer();
    server_->setSocketOptions((options_ & SingleInstanceUserScope) ? QLocalServer::UserAccessOption
                                                                   : QLocalServer::WorldAccessOption);
    if (!server_->listen(serverName_)) {
        qCritical().noquote() << "SingleApplication: Unable to listen for later instances:"
                              << server_->errorString();
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleApplicationPrivate::slotConnectionEstablished);
}

qint64 SingleApplicationPrivate::firstInstanceProcessId() const
{
    if (!memory_ || !memory_->lock())
        return -1;
    const qint64 pid = block()->primaryPid;
    memory_->unlock();
    return pid;
}

QString SingleApplicationPrivate::firstInstanceUserName() const
{
    if (!memory_ || !memory_->lock())
        return QString();
    const QString user = blockUser(*block());
    memory_->unlock();
    return user;
}

bool SingleApplicationPrivate::connectToFirstInstance(int timeoutMs, qint8 kind)
{
    QElapsedTimer timer;
    timer.start();
    if (!socket_)
        socket_ = new QLocalSocket();
    if (socket_->state() == QLocalSocket::ConnectedState)
        return true;
    for (;;) {
        sleepRandomly();
        if (socket_->state() != QLocalSocket::ConnectingState)
            socket_->connectToServer(serverName_, QIODevice::ReadWrite);
        if (socket_->state() == QLocalSocket::ConnectingState)
            socket_->waitForConnected(timeLeft(timer, timeoutMs));
        if (socket_->state() == QLocalSocket::ConnectedState)
            break;
        if (timer.elapsed() >= timeoutMs)
            return false;
    }
    const QByteArray body = handshakeBody(blockName_, kind, qint32(instanceNumber_));
    return writeFramedMessage(timeLeft(timer, timeoutMs), body);
}

bool SingleApplicationPrivate::writeFramedMessage(int timeoutMs, const QByteArray& body)
{
    QElapsedTimer timer;
    timer.start();
    if (!writeAndAwaitAck(timeoutMs, lengthFrame(body.size())))
        return false;
    return writeAndAwaitAck(timeLeft(timer, timeoutMs), body);
}

bool SingleApplicationPrivate::writeAndAwaitAck(int timeoutMs, const QByteArray& bytes)
{
    if (!socket_ || socket_->state() != QLocalSocket::ConnectedState)
        return false;
    QElapsedTimer timer;
    timer.start();
    if (socket_->write(bytes) != bytes.size())
        return false;
    socket_->flush();
    while (socket_->bytesToWrite() > 0 && timer.elapsed() < timeoutMs)
        if (!socket_->waitForBytesWritten(timeLeft(timer, timeoutMs)))
            break;
    const bool arrived = socket_->bytesAvailable() > 0 || socket_->waitForReadyRead(timeLeft(timer, timeoutMs));
    if (arrived) {
        char ack;
        socket_->getChar(&ack);
    }
    return arrived;
}

bool SingleApplicationPrivate::sendToFirstInstance(const QByteArray& message, int timeoutMs)
{
    if (isFirstInstance() || message.size() > kMaxMessageLength)
        return false;
    QElapsedTimer timer;
    timer.start();
    if (!connectToFirstInstance(timeoutMs, HandshakeReconnect))
        return false;
    return writeFramedMessage(timeLeft(timer, timeoutMs), message);
}

void SingleApplicationPrivate::slotConnectionEstablished()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_.size() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections_.insert(socket, LocalConnectionRecord());
        connect(socket, &QLocalSocket::aboutToClose, this, [this, socket] { slotClientConnectionClosed(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { connections_.remove(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { slotDataAvailable(socket); });
    }
}

void SingleApplicationPrivate::slotDataAvailable(QLocalSocket* socket)
{
    for (;;) {
        // Receivers may close the socket: the record is looked up every time.
        auto it = connections_.find(socket);
        if (it == connections_.end() || !socket->isOpen())
            return;
        const FrameStep step = readNextFrame(*socket, it.value(), blockName_);
        switch (step.event) {
        case FrameEvent::NeedMore:
            return;
        case FrameEvent::Rejected:
            // No acknowledgement; nothing more is read from this peer.
            socket->abort();
            return;
        case FrameEvent::LengthRead:
            socket->putChar('\n');
            break;
        case FrameEvent::HandshakeAccepted:
            socket->putChar('\n');
            if (step.handshake.kind == HandshakeNewInstance
                || (step.handshake.kind == HandshakeSecondaryInstance && (options_ & SingleInstanceNotifyLater)))
                emit instanceStarted();
            break;
        case FrameEvent::MessageRead:
            socket->putChar('\n');
            emit receivedMessage(it.value().instance, step.message);
            break;
        }
    }
}

void SingleApplicationPrivate::slotClientConnectionClosed(QLocalSocket* socket)
{
    // Frames that arrived just before the close still count, but only after
    // a complete hand-shake (slotDataAvailable keeps that order).
    if (socket->bytesAvailable() > 0)
        slotDataAvailable(socket);
}
