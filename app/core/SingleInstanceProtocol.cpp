#include "SingleInstanceProtocol.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

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
