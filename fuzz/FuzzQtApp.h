#pragma once
// The Qt application object the Qt-based targets need, with Qt's own
// messages silenced so they do not flood the fuzzer's output.
#include <QCoreApplication>

inline void startQuietQtApplication(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
