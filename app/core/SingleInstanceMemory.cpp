#include "SingleInstanceMemory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

SingleInstanceMemory::SingleInstanceMemory(const InstancePaths& paths)
    : keyFile_(paths.keyFile)
    , lockPath_(paths.lockFile)
{
    renewMemory();
}

void SingleInstanceMemory::renewMemory()
{
    memory_ = std::make_unique<QSharedMemory>();
    memory_->setNativeKey(keyFile_);
}

SingleInstanceMemory::~SingleInstanceMemory()
{
    if (memory_->isAttached()) {
        // Qt removes the segment and its key file when nobody else is
        // attached; under the lock no starter can be between the two.
        const bool own = !locked_ && lock();
        memory_->detach();
        // The last one out also takes the lock file away; whoever still
        // waits on it notices (lock() checks the name) and takes a new one.
        if (locked_ && !QFile::exists(keyFile_))
            ::unlink(QFile::encodeName(lockPath_).constData());
        if (own)
            unlock();
    }
    if (locked_)
        unlock();
    closeLockFile();
}

void SingleInstanceMemory::closeLockFile()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
}

bool SingleInstanceMemory::create(qsizetype size)
{
    const bool own = !locked_;
    if (own && !lock())
        return false;
    const bool created = memory_->create(size, QSharedMemory::ReadWrite);
    if (own)
        unlock();
    return created;
}

bool SingleInstanceMemory::attach()
{
    const bool own = !locked_;
    if (own && !lock())
        return false;
    // Qt 6.4 refuses to attach with a native key on the object whose create() failed.
    if (!memory_->isAttached())
        renewMemory();
    const bool attached = memory_->attach(QSharedMemory::ReadWrite);
    if (own)
        unlock();
    return attached;
}

void SingleInstanceMemory::setLockError(const QString& what)
{
    lockError_ = QSharedMemory::LockError;
    lockErrorString_ = what;
}

bool SingleInstanceMemory::openLockFile()
{
    const QByteArray path = QFile::encodeName(lockPath_);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        setLockError(QStringLiteral("SingleInstanceMemory::lock: cannot open %1: %2")
                         .arg(lockPath_, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    // Another user's file could be held by that user for ever.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        setLockError(QStringLiteral("SingleInstanceMemory::lock: %1 is not a file of this user").arg(lockPath_));
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool SingleInstanceMemory::lock()
{
    lockError_ = QSharedMemory::NoError;
    lockErrorString_.clear();
    if (locked_)
        return true;
    if (lockFd_ < 0 && !openLockFile())
        return false;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
            if (holdsNamedFile()) {
                locked_ = true;
                return true;
            }
            // The file was taken away while this process waited on it.
            closeLockFile();
            if (!openLockFile())
                return false;
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EWOULDBLOCK) {
            setLockError(QStringLiteral("SingleInstanceMemory::lock: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
            return false;
        } else {
            // Holders keep the lock for microseconds; a short nap is enough.
            QThread::msleep(2);
        }
        if (timer.elapsed() >= lockTimeoutMs) {
            setLockError(QStringLiteral("SingleInstanceMemory::lock: %1 stayed locked for %2 ms")
                             .arg(lockPath_)
                             .arg(lockTimeoutMs));
            return false;
        }
    }
}

bool SingleInstanceMemory::holdsNamedFile() const
{
    struct stat held;
    struct stat named;
    return ::fstat(lockFd_, &held) == 0 && ::lstat(QFile::encodeName(lockPath_).constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool SingleInstanceMemory::unlock()
{
    if (!locked_)
        return false;
    ::flock(lockFd_, LOCK_UN);
    locked_ = false;
    return true;
}

QSharedMemory::SharedMemoryError SingleInstanceMemory::error() const
{
    return lockError_ != QSharedMemory::NoError ? lockError_ : memory_->error();
}

QString SingleInstanceMemory::errorString() const
{
    return lockError_ != QSharedMemory::NoError ? lockErrorString_ : memory_->errorString();
}
