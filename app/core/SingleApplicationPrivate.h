#pragma once
#include "SingleInstanceProtocol.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;
class SingleInstanceMemory;

// The working part of the single-instance guard: the shared block, the
// first instance's local server and the later instances' client socket.
// Qt Core/Network only; the application object forwards its signals.
class SingleApplicationPrivate : public QObject
{
    Q_OBJECT
public:
    enum class StartResult
    {
        FirstInstance,
        SecondaryInstance,
        OtherInstanceRunning, // secondary instances not allowed: the caller ends with 0
        Failed,               // the shared block is unusable: the caller ends with 1
    };

    SingleApplicationPrivate(quint32 options, const QStringList& extraData);
    ~SingleApplicationPrivate() override;

    StartResult start(bool allowSecondary, int timeoutMs);

    bool isFirstInstance() const { return server_ != nullptr; }
    quint32 instanceNumber() const { return instanceNumber_; }
    QString blockName() const { return blockName_; }
    // The local server's address (a socket path in the instance folder); set by start().
    QString serverName() const { return serverName_; }
    QStringList extraData() const { return extraData_; }
    qint64 firstInstanceProcessId() const;
    QString firstInstanceUserName() const;

    bool connectToFirstInstance(int timeoutMs, qint8 kind);
    bool writeFramedMessage(int timeoutMs, const QByteArray& body);
    bool writeAndAwaitAck(int timeoutMs, const QByteArray& bytes);
    bool sendToFirstInstance(const QByteArray& message, int timeoutMs);

    static QString queryUserName();
    QString deriveBlockName() const;

signals:
    void instanceStarted();
    void receivedMessage(quint32 instanceId, QByteArray message);

private:
    SingleInstanceBlock* block() const;
    StartResult fail(const char* message);
    bool primaryAlive(qint64 pid);
    void becomePrimary();
    void startServer();
    void slotConnectionEstablished();
    void slotDataAvailable(QLocalSocket* socket);
    void slotClientConnectionClosed(QLocalSocket* socket);
    static void sleepRandomly();

    SingleInstanceMemory* memory_ = nullptr;
    QLocalSocket* socket_ = nullptr;
    QLocalServer* server_ = nullptr;
    quint32 instanceNumber_ = 0;
    QString blockName_;
    QString serverName_;
    quint32 options_ = 0;
    QHash<QLocalSocket*, LocalConnectionRecord> connections_;
    QStringList extraData_;
};
