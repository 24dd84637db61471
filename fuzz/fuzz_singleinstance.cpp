// Single-instance frames over arbitrary bytes: the input is what a peer writes
// to the first instance's socket. It is split the way the first instance reads
// it (8-byte big-endian length, hand-shake body, then length and message
// frames), each hand-shake body goes through the parser, and the leading
// bytes also go through the shared block's readers.
#include "FuzzQtApp.h"
#include "FuzzBlockName.h"
#include "SingleInstanceProtocol.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

void checkAccepted(const Handshake& h, const QString& name)
{
    if (!h.accepted)
        return;
    // What was accepted is what the writer writes for the same values.
    const Handshake again = parseHandshakeBody(handshakeBody(name, h.kind, h.instance), name);
    if (!again.accepted || again.kind != h.kind || again.instance != h.instance)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    startQuietQtApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    static const QString name = fuzzBlockName();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // The whole input as one body.
    checkAccepted(parseHandshakeBody(bytes, name), name);

    // The input as a stream of frames.
    qsizetype pos = 0;
    int stage = 0; // 0/2 length, 1 hand-shake body, 3 message body
    qint64 length = 0;
    for (;;) {
        if (stage == 0 || stage == 2) {
            if (bytes.size() - pos < 8)
                break;
            length = qFromBigEndian<qint64>(bytes.constData() + pos);
            pos += 8;
            if (lengthFrame(length) != bytes.mid(pos - 8, 8))
                __builtin_trap();
            if (length < 0 || length > (stage == 0 ? kMaxHandshakeLength : kMaxMessageLength))
                break;
            stage = stage == 0 ? 1 : 3;
        } else {
            if (bytes.size() - pos < length)
                break;
            const QByteArray body = bytes.mid(pos, qsizetype(length));
            pos += qsizetype(length);
            if (stage == 1) {
                const Handshake h = parseHandshakeBody(body, name);
                checkAccepted(h, name);
                if (!h.accepted)
                    break;
            }
            stage = 2;
        }
    }

    // The shared block as another process may have left it.
    SingleInstanceBlock block;
    std::memset(&block, 0, sizeof(block));
    std::memcpy(&block, data, std::min(size, sizeof(block)));
    (void)blockChecksum(block);
    const QString user = blockUser(block);
    if (user.toUtf8().size() > int(sizeof(block.primaryUser)) * 3)
        __builtin_trap();
    return 0;
}
