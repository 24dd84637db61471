#pragma once
#include <QImage>
#include <QStringList>

#include "CFramelessWindow.h"

class QActionGroup;
class QAction;
class QFrame;
class QMenu;
class IQTilesFrame;
class IQAdjustingFrame;
class QSimpleUpdater;
class QWaitingDialog;
namespace Ui { class MainWindow; }

// The application's only top-level window: title bar, the import and editing
// pages, the HDR job between them and the unsaved-work guard.
class MainWindow : public CFramelessWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    IQTilesFrame* tilesFrame();
    IQAdjustingFrame* adjustingFrame();
    QFrame* frame(int index);
    int currentPage() const { return page; }
    void setTitle(const QString& title);
    bool isHDRJobRunning() const { return m_jobDialog != nullptr; }

    QMenu* createMainMenu();
    QMenu* createLanguageMenu();

    // Set when the user asked for a restart after a language change and every
    // window closed; main starts the new instance once this one has let go of
    // its single-instance guard.
    static bool restartRequested();
    static void setRestartRequested(bool requested);

public slots:
    void finish(QFrame* frame);
    void import();
    bool save();
    void zoomFit();
    void zoomActual();
    void zoomIn();
    void zoomOut();
    void onlineHelp();
    void faq();
    void ccs();
    void about();
    void updateChangelog(QString url);
    void onHDRImageSelected(QStringList files);
    void onHDRFinished(QImage before, QImage after, int errorCode);
    void checkForUpdates();
    void showGuide();
    void setupStatusBar();
    void onMenuButtonClicked();
    void onLanguageTriggered(QAction* action);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyStyle();
    void setupTitleBar();
    void setupUpdater();
    static QString messageForCode(int errorCode);
    void onHDRJobResult(QImage before, QImage after, int errorCode);
    void endJobIfDone();

    QActionGroup* languageGroup = nullptr;
    Ui::MainWindow* ui = nullptr;
    IQTilesFrame* m_tilesFrame = nullptr;
    IQAdjustingFrame* m_adjustingFrame = nullptr;
    int page = 0;
    QSimpleUpdater* updater = nullptr;
    // The job's waiting dialog, from the start of a job until it has closed.
    QWaitingDialog* m_jobDialog = nullptr;
    bool m_jobThreadDone = false;
    bool m_jobPictureComing = false; // the result is on its way to the page
    bool m_updateCheckScheduled = false;
    // A close request that came while the editing page was saving.
    bool m_closeAfterSave = false;
};
