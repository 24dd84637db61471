#include <QApplication>
#include <QFont>
#include <QProcess>
#include <QScreen>
#include <QStyleFactory>
#include <QtPlugin>

#include "AppIdentity.h"
#include "IQImageFrameV2.h"
#include "MainWindow.h"
#include "SingleApplication.h"
#include "Translations.h"

// Camera RAW files through every QImageReader of the program.
Q_IMPORT_PLUGIN(QRawPlugin)

namespace {
int runApplication(int argc, char* argv[], QString* executable)
{
    // A second start for the same user hands over to the first and ends here with 0.
    SingleApplication app(argc, argv, false, 1, 1000);
    // argv[0] may be a bare name found through PATH; the running file is certain.
    *executable = QCoreApplication::applicationFilePath();
    QFont font;
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(13);
    QApplication::setFont(font);
    QGuiApplication::setApplicationDisplayName(ApplicationDisplayName());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    InstallTranslators(&app);
    // Known to the meta-type system by name, for forms and queued signals.
    qRegisterMetaType<IQImageFrameV2*>("IQImageFrameV2*");

    MainWindow window(nullptr);
    window.show();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        window.move((available.width() - window.width()) / 2, (available.height() - window.height()) / 2);
    }
    return QApplication::exec();
}
}

int main(int argc, char* argv[])
{
    QString program;
    const int code = runApplication(argc, argv, &program);
    // After a language change the program starts itself again, but only now that
    // this instance has released its single-instance guard.
    if (MainWindow::restartRequested() && !program.isEmpty())
        QProcess::startDetached(program, QStringList());
    return code;
}
