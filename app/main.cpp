#include <QApplication>
#include <QMainWindow>
#include <QtPlugin>

// Camera RAW files through every QImageReader of the program.
Q_IMPORT_PLUGIN(QRawPlugin)

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel HDR"));
    QMainWindow window;
    window.resize(1280, 800);
    window.show();
    return app.exec();
}
