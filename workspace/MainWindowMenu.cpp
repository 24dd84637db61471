// The title bar's help menu with its Language submenu.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

#include "AboutBox.h"
#include "AppIdentity.h"
#include "IQSettings.h"
#include "Translations.h"
#include "WebLinks.h"

namespace {
QString pageUrl(const QString& page)
{
    return HomePageUrl() + page;
}

void openPage(const QString& page)
{
    QDesktopServices::openUrl(QUrl(pageUrl(page)));
}
}

QMenu* MainWindow::createMainMenu()
{
    auto* menu = new QMenu(tr("IDS_HELP"));
    menu->addMenu(createLanguageMenu());
    menu->addSeparator();
    QAction* help = menu->addAction(tr("IDS_MENU_ONLINE_HELP"), this, &MainWindow::onlineHelp);
    help->setShortcut(QKeySequence::HelpContents);
    menu->addAction(tr("IDS_MENU_FAQ"), this, &MainWindow::faq);
    menu->addAction(tr("IDS_MENU_CCS"), this, &MainWindow::ccs);
    menu->addSeparator();
    QAction* about = menu->addAction(tr("IDS_ABOUT"), this, &MainWindow::about);
    about->setMenuRole(QAction::AboutRole);
    return menu;
}

QMenu* MainWindow::createLanguageMenu()
{
    const int stored = IQSettings::instance()->language();
    const int current = (stored & 0xFFFF) != 0 ? stored : int(SystemLanguage());

    // The submenu is owned by the help menu; the group by the window. Each
    // opening builds a new group, so the previous one goes.
    auto* menu = new QMenu(tr("Language"));
    delete languageGroup;
    languageGroup = new QActionGroup(this);
    languageGroup->setExclusive(true);
    const auto& languages = WebLinks::instance()->languages();
    for (auto it = languages.cbegin(); it != languages.cend(); ++it) {
        QAction* action = menu->addAction(LanguageNativeName(it.key()));
        action->setData(int(it.key()));
        action->setCheckable(true);
        action->setChecked(int(it.key()) == current);
        languageGroup->addAction(action);
    }
    connect(languageGroup, &QActionGroup::triggered, this, &MainWindow::onLanguageTriggered);
    return menu;
}

void MainWindow::onMenuButtonClicked()
{
    QMenu* menu = createMainMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The submenu belongs to the menu so it goes with it.
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu())
            sub->setParent(menu, sub->windowFlags());
    }
    const QPoint pos = ui->menuButton->mapToGlobal(QPoint(0, ui->menuButton->height()));
    menu->popup(pos);
}

void MainWindow::onLanguageTriggered(QAction* action)
{
    if (!action)
        return;
    IQSettings::instance()->setLanguage(action->data().toInt());
    const auto answer = QMessageBox::information(
        this, QGuiApplication::applicationDisplayName(),
        tr("The language is switched successfully, please restart your application."),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer != QMessageBox::Ok)
        return;
    QApplication::closeAllWindows();
    // A window that refused to close (unsaved work kept, a job running) keeps
    // this instance alive: then there is nothing to restart.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            return;
    }
    // main starts the new instance after this one has released its
    // single-instance guard, so the new one becomes the first.
    setRestartRequested(true);
    QCoreApplication::quit();
}

void MainWindow::onlineHelp() { openPage(QStringLiteral("help/")); }
void MainWindow::faq() { openPage(QStringLiteral("faq/")); }
void MainWindow::ccs() { openPage(QStringLiteral("support/")); }

void MainWindow::about()
{
    const QString anchor = QStringLiteral("<a style=\"color: #3399FF;\" href=\"%1\">%1</a>");
    AboutInfo info;
    info.insert(0, ApplicationDisplayName());
    info.insert(1, QStringLiteral("Version: %1").arg(QCoreApplication::applicationVersion()));
    info.insert(2, anchor.arg(HomePageUrl()));
    info.insert(3, anchor.arg(pageUrl(QStringLiteral("support/"))));
    info.insert(4, CopyrightText());
    info.insert(5, QStringLiteral(":/vh/icon/icon_hdr_logo.png"));
    ShowAboutBox(this, info);
}
