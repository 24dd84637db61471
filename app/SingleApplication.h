#pragma once
#include <QApplication>
#include <QByteArray>
#include <QStringList>

class SingleApplicationPrivate;

// The application object: only one first instance runs per key. A later
// start either ends itself (code 0, after a hand-shake with the first) or,
// when allowed, runs as a secondary instance.
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    // options: bits of SingleInstanceOption (1 = one instance per user).
    SingleApplication(int& argc, char** argv, bool allowSecondary = false, quint32 options = 1,
                      int timeout = 1000, const QStringList& extraData = QStringList());
    ~SingleApplication() override;

    bool isFirstInstance() const;
    bool isLaterInstance() const;
    quint32 instanceIndex() const;
    qint64 firstInstanceProcessId() const;
    QString firstInstanceUserName() const;
    QString currentUserName() const;
    QStringList blockNameExtraData() const;

    bool sendToFirstInstance(const QByteArray& message, int timeout = 100);

signals:
    void instanceStarted();
    void receivedMessage(quint32 instanceId, QByteArray message);

private:
    SingleApplicationPrivate* d;
};
