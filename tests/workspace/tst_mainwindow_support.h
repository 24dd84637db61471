#pragma once
// Shared set-up of the main-window tests: a fresh user (data and config
// folders in a temporary tree), a "Settings.ini" in the working folder whose
// feed is a test server on 127.0.0.1, the application's font, style and
// English texts, and helpers that answer modal dialogs and drive the pages.
#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include "../app/HttpTestServer.h"
#include "AppIdentity.h"
#include "IQAdjustingFrame.h"
#include "IQSettings.h"
#include "IQThumbsViewer.h"
#include "IQTilesFrame.h"
#include "MainWindow.h"
#include "QWaitingDialog.h"
#include "TestPaths.h"
#include "Translations.h"
#include "tst_adjustingframe_support.h"

namespace mwtest {

using adjtest::greySpread;
using adjtest::meanAbsDiff;
using adjtest::release;
using adjtest::row;
using adjtest::settle;

// Calls `act` with every widget of class W at the moment it is shown, however
// briefly it stays (a fast job's waiting dialog may be gone before any timer).
template <typename W>
class ShowSpy : public QObject {
public:
    explicit ShowSpy(std::function<void(W*)> act) : m_act(std::move(act)) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* w = qobject_cast<W*>(watched))
                m_act(w);
        return false;
    }

private:
    std::function<void(W*)> m_act;
};

inline void clickButton(QMessageBox* box, QMessageBox::StandardButton which)
{
    if (QAbstractButton* b = box->button(which))
        b->click();
}

// A whole user's world in one temporary tree: data and config folders that do
// not exist yet, a working folder with "Settings.ini", the feed server.
class FreshUser {
public:
    FreshUser()
    {
        QCoreApplication::setApplicationName(QStringLiteral("VantrelMainWindowTest"));
        // Set by the single-instance application object in the program.
        QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("home/.local/share")).toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("home/.config")).toUtf8());
        IQSettings::resetInstanceForTesting();
        // English texts, whatever the machine's locale.
        IQSettings::instance()->setLanguage(int(QLocale::English));

        QDir().mkpath(workDir());
        QDir().mkpath(photoDir());
        QDir().mkpath(saveDir());
        QDir::setCurrent(workDir());
        {
            QSettings ini(QDir(workDir()).filePath(QStringLiteral("Settings.ini")), QSettings::IniFormat);
            ini.setValue(QStringLiteral("checkupdate/url"), server.url(QStringLiteral("/feed.json")));
        }
        // The feed names the running version: nothing to offer, no window.
        const QByteArray entry = "{\"module-name\":\"Vantrel HDR\",\"channel\":1,\"latest-version\":\"" VANTREL_VERSION
                                 "\",\"download-url\":\"\",\"open-url\":\"\"}";
        server.answer("/feed.json", 200, "{\"windows\":[" + entry + "],\"linux\":[" + entry + "]}");

        // What main does before the window exists.
        QFont font;
        font.setFamily(QStringLiteral("Arial"));
        font.setPixelSize(13);
        QApplication::setFont(font);
        QGuiApplication::setApplicationDisplayName(ApplicationDisplayName());
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
        InstallTranslators(qApp);
    }

    QString workDir() const { return root.filePath(QStringLiteral("work")); }
    QString photoDir() const { return root.filePath(QStringLiteral("photos")); }
    QString saveDir() const { return root.filePath(QStringLiteral("saved")); }
    bool feedAsked() const
    {
        return std::any_of(server.requests.begin(), server.requests.end(),
                           [](const HttpRequestSeen& r) { return r.target == "/feed.json"; });
    }

    QTemporaryDir root;
    HttpTestServer server;
};

inline std::unique_ptr<MainWindow> openWindow()
{
    auto w = std::make_unique<MainWindow>(nullptr);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        return nullptr;
    return w;
}

inline IQThumbsViewer* photoList(MainWindow& w)
{
    return w.tilesFrame()->findChild<IQThumbsViewer*>(QStringLiteral("tileListView"));
}

inline bool thumbnailsLoaded(MainWindow& w)
{
    IQThumbsViewer* list = photoList(w);
    for (int r = 0; r < list->model()->rowCount(); ++r)
        if (!list->model()->index(r, 0).data(IQThumbsViewer::LoadedRole).toBool())
            return false;
    return true;
}

// Chooses the mode, selects every listed photo and presses Next. The waiting
// dialog runs its own loop, so this returns once the job has ended.
inline void selectAllAndNext(MainWindow& w, bool singlePhoto)
{
    const QString button = singlePhoto ? QStringLiteral("fotoButton") : QStringLiteral("hdrButton");
    QTest::mouseClick(w.tilesFrame()->findChild<QRadioButton*>(button), Qt::LeftButton);
    photoList(w)->selectAll();
    QTest::mouseClick(w.tilesFrame()->findChild<QPushButton*>(QStringLiteral("nextButn")), Qt::LeftButton);
}

// The window with `overlays` (dialogs, menus) painted where they are on screen.
inline QImage screenshot(QWidget& window, const QList<QWidget*>& overlays = {})
{
    QImage shot = window.grab().toImage();
    QPainter p(&shot);
    for (QWidget* o : overlays) {
        if (!o || !o->isVisible())
            continue;
        const QPoint at = window.mapFromGlobal(o->mapToGlobal(QPoint(0, 0)));
        p.drawPixmap(at, o->grab());
    }
    p.end();
    return shot;
}

inline bool saveShot(const QImage& image, const QString& name)
{
    return image.save(QDir(testOutputDir()).filePath(name));
}

} // namespace mwtest
