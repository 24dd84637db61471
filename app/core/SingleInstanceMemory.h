#pragma once
#include "SingleInstanceProtocol.h"

#include <QSharedMemory>
#include <QString>

#include <memory>

// The shared block of one block name, placed in the instance folder.
// QSharedMemory puts the key files of a keyed block in the temporary folder
// ($TMPDIR), so two starts with different environments would miss each
// other; here the block's System V key comes from a key file in the instance
// folder instead (a native key). Qt offers no lock for a native key, so a
// lock file beside it guards the block: an exclusive flock(), which the
// system drops when its holder dies, even by kill -9. The last process to
// leave removes the segment, its key file and the lock file.
class SingleInstanceMemory
{
public:
    explicit SingleInstanceMemory(const InstancePaths& paths);
    // Detaches under the lock; the last process out removes the segment.
    ~SingleInstanceMemory();

    SingleInstanceMemory(const SingleInstanceMemory&) = delete;
    SingleInstanceMemory& operator=(const SingleInstanceMemory&) = delete;

    // As QSharedMemory's, each under the lock.
    bool create(qsizetype size);
    bool attach();

    // Waits at most lockTimeoutMs for the lock, then fails with LockError
    // rather than hang behind a holder that never lets go.
    bool lock();
    bool unlock();

    void* data() { return memory_->data(); }
    qsizetype size() const { return memory_->size(); }
    QSharedMemory::SharedMemoryError error() const;
    QString errorString() const;

    static constexpr int lockTimeoutMs = 10000;

private:
    bool openLockFile();
    void closeLockFile();
    // Whether the open lock file is still the one its name leads to.
    bool holdsNamedFile() const;
    void setLockError(const QString& what);
    void renewMemory();

    QString keyFile_;
    std::unique_ptr<QSharedMemory> memory_;
    QString lockPath_;
    int lockFd_ = -1;
    bool locked_ = false;
    // Set by lock-file failures; otherwise the block's own error counts.
    QSharedMemory::SharedMemoryError lockError_ = QSharedMemory::NoError;
    QString lockErrorString_;
};
