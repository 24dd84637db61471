// Single-instance frames over arbitrary bytes: the input is what a peer writes
// to the first instance's socket. The first instance's own frame reader takes
// it twice, once all at once and once in pieces of sizes chosen by the first
// input byte, and must see the same frames both times. The leading bytes also
// go through the shared block's readers.
#include "FuzzQtApp.h"
#include "FuzzBlockName.h"
#include "SingleInstanceProtocol.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct Seen
{
    FrameEvent event;
    qint8 kind;
    qint32 instance;
    QByteArray message;
    bool operator==(const Seen& o) const
    {
        return event == o.event && kind == o.kind && instance == o.instance && message == o.message;
    }
};

void checkAccepted(const Handshake& h, const QString& name)
{
    if (!h.accepted)
        return;
    // What was accepted is what the writer writes for the same values.
    const Handshake again = parseHandshakeBody(handshakeBody(name, h.kind, h.instance), name);
    if (!again.accepted || again.kind != h.kind || again.instance != h.instance)
        __builtin_trap();
}

// Reads every complete frame the device holds; false once the peer is rejected.
bool drain(QBuffer& device, LocalConnectionRecord& record, const QString& name, QList<Seen>& seen)
{
    for (;;) {
        const qint64 before = device.pos();
        const quint8 stage = record.stage;
        const quint64 announced = record.length;
        const FrameStep step = readNextFrame(device, record, name);
        switch (step.event) {
        case FrameEvent::NeedMore:
            // Nothing is consumed until the whole frame is there.
            if (device.pos() != before || record.stage != stage)
                __builtin_trap();
            return true;
        case FrameEvent::Rejected:
            seen.append({step.event, 0, 0, {}});
            // A rejected peer stays rejected.
            if (readNextFrame(device, record, name).event != FrameEvent::Rejected)
                __builtin_trap();
            return false;
        case FrameEvent::LengthRead:
            if ((stage != 0 && stage != 2) || record.stage != stage + 1 || device.pos() != before + 8
                || record.length > quint64(stage == 0 ? kMaxHandshakeLength : kMaxMessageLength))
                __builtin_trap();
            seen.append({step.event, 0, qint32(record.length), {}});
            break;
        case FrameEvent::HandshakeAccepted:
            checkAccepted(step.handshake, name);
            if (stage != 1 || record.stage != 2 || record.instance != quint32(step.handshake.instance)
                || device.pos() != before + qint64(announced))
                __builtin_trap();
            seen.append({step.event, step.handshake.kind, step.handshake.instance, {}});
            break;
        case FrameEvent::MessageRead:
            if (stage != 3 || record.stage != 2 || quint64(step.message.size()) != announced)
                __builtin_trap();
            seen.append({step.event, 0, qint32(record.instance), step.message});
            break;
        }
    }
}

QList<Seen> readInPieces(const QByteArray& bytes, quint8 seed, const QString& name)
{
    QByteArray arrived;
    QBuffer device(&arrived);
    device.open(QIODevice::ReadOnly);
    LocalConnectionRecord record;
    QList<Seen> seen;
    qsizetype pos = 0;
    quint32 state = seed;
    while (pos < bytes.size()) {
        // A small generator picks the size of each piece the socket delivers.
        state = state * 1103515245u + 12345u;
        const qsizetype piece = seed == 0 ? bytes.size() : qsizetype(1 + (state >> 16) % (2u * seed));
        arrived.append(bytes.mid(pos, piece));
        pos += piece;
        if (!drain(device, record, name, seen))
            break;
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    startQuietQtApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 1u << 20)
        return 0;
    static const QString name = fuzzBlockName();
    const quint8 seed = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    // The whole input as one hand-shake body.
    checkAccepted(parseHandshakeBody(bytes, name), name);

    // The input as a stream of frames: how it is cut up must not matter.
    if (readInPieces(bytes, 0, name) != readInPieces(bytes, seed, name))
        __builtin_trap();

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
