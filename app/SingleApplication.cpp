#include "SingleApplication.h"

#include "SingleApplicationPrivate.h"

#include <cstdlib>

SingleApplication::SingleApplication(int& argc, char** argv, bool allowSecondary, quint32 options,
                                     int timeout, const QStringList& extraData)
    : QApplication(argc, argv)
    , d(new SingleApplicationPrivate(options, extraData))
{
    // Linux executables carry no version resource; the key includes the version.
    if (applicationVersion().isEmpty())
        setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    connect(d, &SingleApplicationPrivate::instanceStarted, this, &SingleApplication::instanceStarted);
    connect(d, &SingleApplicationPrivate::receivedMessage, this, &SingleApplication::receivedMessage);

    switch (d->start(allowSecondary, timeout)) {
    case SingleApplicationPrivate::StartResult::FirstInstance:
    case SingleApplicationPrivate::StartResult::SecondaryInstance:
        return;
    case SingleApplicationPrivate::StartResult::OtherInstanceRunning:
        delete d;
        d = nullptr;
        std::exit(0);
    case SingleApplicationPrivate::StartResult::Failed:
        delete d;
        d = nullptr;
        std::exit(1);
    }
}

SingleApplication::~SingleApplication()
{
    delete d;
}

bool SingleApplication::isFirstInstance() const
{
    return d->isFirstInstance();
}

bool SingleApplication::isLaterInstance() const
{
    return !d->isFirstInstance();
}

quint32 SingleApplication::instanceIndex() const
{
    return d->instanceNumber();
}

qint64 SingleApplication::firstInstanceProcessId() const
{
    return d->firstInstanceProcessId();
}

QString SingleApplication::firstInstanceUserName() const
{
    return d->firstInstanceUserName();
}

QString SingleApplication::currentUserName() const
{
    return SingleApplicationPrivate::queryUserName();
}

QStringList SingleApplication::blockNameExtraData() const
{
    return d->extraData();
}

bool SingleApplication::sendToFirstInstance(const QByteArray& message, int timeout)
{
    return d->sendToFirstInstance(message, timeout);
}
