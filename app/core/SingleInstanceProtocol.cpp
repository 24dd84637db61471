#include "SingleInstanceProtocol.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr quint8 kStageRejected = 0xFF;
// Block names are 44 characters: Base64 of a SHA-256.
constexpr int kBlockNameBytes = 44;
// Longest socket path used: the system limit is 107 bytes.
constexpr int kMaxSocketPathBytes = 100;

// A folder (not a link to one) of this user that nobody else may enter and
// in which the owner may create files.
bool isPrivateFolder(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 077) == 0 && (st.st_mode & S_IRWXU) == S_IRWXU;
}

bool fitsSocketPath(const QByteArray& folder)
{
    return folder.size() + 1 + kBlockNameBytes <= kMaxSocketPathBytes;
}
} // namespace

quint16 blockChecksum(const SingleInstanceBlock& block)
{
    return qChecksum(QByteArrayView(reinterpret_cast<const char*>(&block), offsetof(SingleInstanceBlock, checksum)),
                     Qt::ChecksumIso3309);
}

void resetBlock(SingleInstanceBlock& block)
{
    std::memset(&block, 0, sizeof(block));
    block.primary = false;
    block.laterCount = 0;
    block.primaryPid = -1;
    block.checksum = blockChecksum(block);
}

void setBlockUser(SingleInstanceBlock& block, const QString& user)
{
    std::memset(block.primaryUser, 0, sizeof(block.primaryUser));
    QByteArray utf8 = user.toUtf8();
    if (utf8.size() > int(sizeof(block.primaryUser)) - 1)
        utf8.truncate(int(sizeof(block.primaryUser)) - 1);
    std::memcpy(block.primaryUser, utf8.constData(), size_t(utf8.size()));
}

QString blockUser(const SingleInstanceBlock& block)
{
    return QString::fromUtf8(block.primaryUser, int(strnlen(block.primaryUser, sizeof(block.primaryUser))));
}

QString deriveBlockName(const BlockNameInputs& in)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView("SingleApplication", 17));
    hash.addData(in.applicationName.toUtf8());
    hash.addData(in.organizationName.toUtf8());
    hash.addData(in.organizationDomain.toUtf8());
    if (!in.extraData.isEmpty())
        hash.addData(in.extraData.join(QString()).toUtf8());
    if (!(in.options & SingleInstanceExcludeVersion))
        hash.addData(in.applicationVersion.toUtf8());
    if (!(in.options & SingleInstanceExcludePath))
        hash.addData(in.executablePath.toLower().toUtf8());
    if (in.options & SingleInstanceUserScope)
        hash.addData(in.userName.toUtf8());
    QByteArray name = hash.result().toBase64();
    name.replace('/', '_');
    return QString::fromLatin1(name);
}

QString resolveUserName(const QString& passwdName, const QString& envUser, const QString& envLogname,
                        quint32 uid)
{
    if (!passwdName.isEmpty())
        return passwdName;
    if (!envUser.isEmpty())
        return envUser;
    if (!envLogname.isEmpty())
        return envLogname;
    return QStringLiteral("uid%1").arg(uid);
}

QString queryCurrentUserName()
{
    const uid_t uid = geteuid();
    QString passwdName;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    struct passwd entry;
    struct passwd* found = nullptr;
    int rc;
    while ((rc = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE
           && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (rc == 0 && found && found->pw_name)
        passwdName = QString::fromLocal8Bit(found->pw_name);
    return resolveUserName(passwdName, qEnvironmentVariable("USER"), qEnvironmentVariable("LOGNAME"),
                           quint32(uid));
}

QByteArray lengthFrame(qint64 length)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_6);
    stream.setByteOrder(QDataStream::BigEndian);
    stream << length;
    return out;
}

QByteArray handshakeBody(const QString& blockName, qint8 kind, qint32 instance)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_6);
    stream.setByteOrder(QDataStream::BigEndian);
    stream << blockName.toLatin1() << kind << instance;
    stream << qint16(qChecksum(QByteArrayView(out), Qt::ChecksumIso3309));
    return out;
}

Handshake parseHandshakeBody(const QByteArray& body, const QString& blockName)
{
    Handshake result;
    if (body.size() < 2 || body.size() > kMaxHandshakeLength)
        return result;
    QDataStream stream(body);
    stream.setVersion(QDataStream::Qt_5_6);
    stream.setByteOrder(QDataStream::BigEndian);
    QByteArray name;
    qint8 kind = 0;
    qint32 instance = 0;
    qint16 checksum = 0;
    stream >> name >> kind >> instance >> checksum;
    if (stream.status() != QDataStream::Ok || !stream.atEnd())
        return result;
    const int nul = name.indexOf('\0');
    if (nul >= 0)
        name.truncate(nul);
    if (QString::fromLatin1(name) != blockName)
        return result;
    const quint16 expected = qChecksum(QByteArrayView(body.constData(), body.size() - 2), Qt::ChecksumIso3309);
    if (quint16(checksum) != expected)
        return result;
    result.accepted = true;
    result.kind = kind;
    result.instance = instance;
    return result;
}

QString privateInstanceFolder(const QByteArray& parent)
{
    const QByteArray own = parent + "/vantrel-" + QByteArray::number(quint32(::geteuid()));
    if (!fitsSocketPath(own))
        return QString();
    if (::mkdir(own.constData(), 0700) == 0) {
        // The process's umask must not take the owner's own rights away.
        ::chmod(own.constData(), 0700);
    } else if (errno != EEXIST) {
        return QString();
    }
    // An existing folder counts only when it is ours and closed to others.
    return isPrivateFolder(own) ? QFile::decodeName(own) : QString();
}

InstancePaths instancePaths(const QString& blockName)
{
    InstancePaths paths;
    paths.folder = privateInstanceFolder("/tmp");
    if (paths.folder.isEmpty()) {
        paths.folder = QDir::tempPath();
        qWarning().noquote() << "SingleApplication: /tmp/vantrel-" + QString::number(::geteuid())
                                    + " is not a private folder of this user; using" << paths.folder;
    }
    const QString base = paths.folder + QLatin1Char('/') + blockName;
    paths.server = base;
    paths.keyFile = base + QLatin1String(".block");
    paths.lockFile = base + QLatin1String(".lock");
    return paths;
}

namespace {

FrameStep rejectFor(LocalConnectionRecord& record)
{
    record.stage = kStageRejected;
    FrameStep step;
    step.event = FrameEvent::Rejected;
    return step;
}

enum class Body { Waiting, Complete, Short };

// The announced body of the current frame, once it has fully arrived.
Body takeBody(QIODevice& device, const LocalConnectionRecord& record, QByteArray& body)
{
    if (quint64(device.bytesAvailable()) < record.length)
        return Body::Waiting;
    body = device.read(qint64(record.length));
    return quint64(body.size()) == record.length ? Body::Complete : Body::Short;
}

} // namespace

FrameStep readFrameLength(QIODevice& device, LocalConnectionRecord& record)
{
    FrameStep step;
    if (device.bytesAvailable() < 8)
        return step;
    uchar raw[8];
    if (device.read(reinterpret_cast<char*>(raw), 8) != 8)
        return rejectFor(record);
    const qint64 length = qFromBigEndian<qint64>(raw);
    const qint64 limit = record.stage == 0 ? kMaxHandshakeLength : kMaxMessageLength;
    if (length < 0 || length > limit)
        return rejectFor(record);
    record.length = quint64(length);
    record.stage = record.stage == 0 ? 1 : 3;
    step.event = FrameEvent::LengthRead;
    return step;
}

FrameStep readHandshakeBody(QIODevice& device, LocalConnectionRecord& record, const QString& blockName)
{
    FrameStep step;
    QByteArray body;
    const Body got = takeBody(device, record, body);
    if (got != Body::Complete)
        return got == Body::Waiting ? step : rejectFor(record);
    step.handshake = parseHandshakeBody(body, blockName);
    if (!step.handshake.accepted)
        return rejectFor(record);
    record.instance = quint32(step.handshake.instance);
    record.stage = 2;
    step.event = FrameEvent::HandshakeAccepted;
    return step;
}

FrameStep readMessageBody(QIODevice& device, LocalConnectionRecord& record)
{
    FrameStep step;
    QByteArray body;
    const Body got = takeBody(device, record, body);
    if (got != Body::Complete)
        return got == Body::Waiting ? step : rejectFor(record);
    record.stage = 2;
    step.event = FrameEvent::MessageRead;
    step.message = body;
    return step;
}

FrameStep readNextFrame(QIODevice& device, LocalConnectionRecord& record, const QString& blockName)
{
    switch (record.stage) {
    case 0:
    case 2:
        return readFrameLength(device, record);
    case 1:
        return readHandshakeBody(device, record, blockName);
    case 3:
        return readMessageBody(device, record);
    default:
        return rejectFor(record);
    }
}
