#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>

class QIODevice;

// Shared-memory record and socket frames of the single-instance guard.

enum SingleInstanceOption : quint32
{
    SingleInstanceUserScope = 1,
    SingleInstanceNotifyLater = 4,
    SingleInstanceExcludeVersion = 8,
    SingleInstanceExcludePath = 16,
};

enum HandshakeKind : qint8
{
    HandshakeNewInstance = 1,
    HandshakeSecondaryInstance = 2,
    HandshakeReconnect = 3,
};

struct SingleInstanceBlock
{
    quint8 primary; // 0 or 1; a byte, since another process writes it
    quint32 laterCount;
    qint64 primaryPid;
    char primaryUser[128];
    quint16 checksum;
};
static_assert(offsetof(SingleInstanceBlock, laterCount) == 4, "block layout");
static_assert(offsetof(SingleInstanceBlock, primaryPid) == 8, "block layout");
static_assert(offsetof(SingleInstanceBlock, primaryUser) == 16, "block layout");
static_assert(offsetof(SingleInstanceBlock, checksum) == 144, "block layout");
static_assert(sizeof(SingleInstanceBlock) == 152, "block layout");

constexpr int kSingleInstanceBlockSize = 152;
// Frame bodies above these sizes are refused before anything is read.
constexpr qint64 kMaxHandshakeLength = 4096;
constexpr qint64 kMaxMessageLength = 4 * 1024 * 1024;

quint16 blockChecksum(const SingleInstanceBlock& block);
// No first instance, no later ones, fresh checksum.
void resetBlock(SingleInstanceBlock& block);
void setBlockUser(SingleInstanceBlock& block, const QString& user);
QString blockUser(const SingleInstanceBlock& block);

struct BlockNameInputs
{
    QString applicationName;
    QString organizationName;
    QString organizationDomain;
    QStringList extraData;
    QString applicationVersion;
    QString executablePath;
    QString userName;
    quint32 options = 0;
};
// SHA-256 of the inputs, Base64 with "/" replaced by "_": the shared-memory
// key and the local server's name.
QString deriveBlockName(const BlockNameInputs& in);

// The user name from the password database entry, else $USER, else
// $LOGNAME, else "uid" and the number.
QString resolveUserName(const QString& passwdName, const QString& envUser, const QString& envLogname,
                        quint32 uid);
QString queryCurrentUserName();

QByteArray lengthFrame(qint64 length);
QByteArray handshakeBody(const QString& blockName, qint8 kind, qint32 instance);

struct Handshake
{
    bool accepted = false;
    qint8 kind = 0;
    qint32 instance = 0;
};
// Accepts a body only when it parses completely, names blockName and
// carries the right checksum.
Handshake parseHandshakeBody(const QByteArray& body, const QString& blockName);

// The folder where the instances of one user meet: the shared block's key
// and lock files and the first instance's socket. It follows from the user id
// alone, so every start of the same user finds the same one whatever its
// environment ($TMPDIR, $XDG_RUNTIME_DIR): "<parent>/vantrel-<uid>", created
// with mode 0700. It counts only when it is a real folder (not a link) of this
// user that nobody else may enter and a socket path in it fits the address
// limit; otherwise the result is empty.
QString privateInstanceFolder(const QByteArray& parent);

// Where the instances of one block name meet, all in one folder.
struct InstancePaths
{
    QString folder;   // privateInstanceFolder("/tmp"), else the temporary folder
    QString server;   // the first instance's socket
    QString keyFile;  // the file the shared block's System V key is made from
    QString lockFile; // the file whose lock guards the shared block
};
// The folder falls back to the temporary folder, with a warning, only when
// the private one is unusable (say, taken by another user).
InstancePaths instancePaths(const QString& blockName);

// What one peer of the first instance has sent so far.
struct LocalConnectionRecord
{
    quint64 length = 0;
    quint32 instance = 0;
    quint8 stage = 0; // 0/2 wait for a length, 1 for a hand-shake body, 3 for a message body
};

enum class FrameEvent
{
    NeedMore,          // nothing complete yet; wait for more bytes
    LengthRead,        // a length frame: acknowledge it
    HandshakeAccepted, // acknowledge; `handshake` holds the peer's kind and number
    MessageRead,       // acknowledge; `message` holds the body
    Rejected,          // close the connection without an answer
};

struct FrameStep
{
    FrameEvent event = FrameEvent::NeedMore;
    Handshake handshake;
    QByteArray message;
};

// The readers of each stage: a length frame (stages 0 and 2), the hand-shake
// body (stage 1) and a message body (stage 3).
FrameStep readFrameLength(QIODevice& device, LocalConnectionRecord& record);
FrameStep readHandshakeBody(QIODevice& device, LocalConnectionRecord& record, const QString& blockName);
FrameStep readMessageBody(QIODevice& device, LocalConnectionRecord& record);

// Reads the next complete frame of one connection from device with the reader
// of its stage and moves the record on. Nothing is consumed until the announced length is there; a
// length outside the limits or a foreign hand-shake rejects the peer for good.
FrameStep readNextFrame(QIODevice& device, LocalConnectionRecord& record, const QString& blockName);
