#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QProcess>
#include <QScreen>
#include <QStyleFactory>
#include <QtPlugin>

#include "AppIdentity.h"
#include "MainWindow.h"
#include "SingleApplication.h"
#include "Translations.h"

// Camera RAW files through every QImageReader of the program.
Q_IMPORT_PLUGIN(QRawPlugin)

namespace {
int runApplication(int argc, char* argv[])
{
    // A second start for the same user hands over to the first and ends here with 0.
    SingleApplication app(argc, argv, false, 1, 1000);
    QFont font;
    font.setFamily(QStringLiteral("Arial"));
    font.setPixelSize(13);
    QApplication::setFont(font);
    QGuiApplication::setApplicationDisplayName(ApplicationDisplayName());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    InstallTranslators(&app);

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
    const QString program = QString::fromLocal8Bit(argv[0]);
    const int code = runApplication(argc, argv);
    // After a language change the program starts itself again, but only now that
    // this instance has released its single-instance guard.
    if (MainWindow::restartRequested()) {
        const QString self = QFileInfo(program).isAbsolute() ? program : QFileInfo(program).absoluteFilePath();
        QProcess::startDetached(self, QStringList());
    }
    return code;
}
