// Test helper: runs SingleApplication and reports on stdout what happened.
//   singleinstance_helper first <key>        first instance, or exit 0 after the hand-shake
//   singleinstance_helper send <key> <text>  secondary instance that sends <text>
// A first instance prints "FIRST <pid> <block name> <server name>", then "STARTED" and
// "MESSAGE <instance> <text>" lines, and quits on "quit" on stdin or as a message.
#include "SingleApplication.h"
#include "SingleApplicationPrivate.h"

#include <QFile>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

static void say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    const QByteArray mode = argv[1];
    const QStringList extra{QString::fromLocal8Bit(argv[2])};
    const bool send = mode == "send";

    SingleApplication app(argc, argv, send, quint32(SingleInstanceUserScope) | (send ? quint32(SingleInstanceNotifyLater) : 0u), 1000,
                          extra);

    if (send) {
        if (app.isFirstInstance())
            return 3;
        const QByteArray text = argc > 3 ? QByteArray(argv[3]) : QByteArray();
        return app.sendToFirstInstance(text, 3000) ? 0 : 4;
    }

    QObject::connect(&app, &SingleApplication::instanceStarted, [] { say("STARTED"); });
    QObject::connect(&app, &SingleApplication::receivedMessage, [&app](quint32 instance, const QByteArray& message) {
        say("MESSAGE " + QByteArray::number(instance) + ' ' + message);
        if (message == "quit")
            app.quit();
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&app, &input] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (n <= 0 || QByteArray(buffer, int(n)).contains("quit")) {
            input.setEnabled(false);
            app.quit();
        }
    });
    const QString blockName = SingleApplicationPrivate(SingleInstanceUserScope, extra).deriveBlockName();
    say("FIRST " + QByteArray::number(app.firstInstanceProcessId()) + ' ' + blockName.toLatin1() + ' '
        + QFile::encodeName(instancePaths(blockName).server));
    return app.exec();
}
