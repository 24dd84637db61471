#include "MainWindow.h"
#include "ui_MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QFutureWatcher>
#include <QScreen>
#include <QSizeGrip>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>
#include <utility>

#include "AppIdentity.h"
#include "IQAdjustingFrame.h"
#include "IQGuideDialog.h"
#include "IQHDREngine.h"
#include "IQHDRThread.h"
#include "IQTilesFrame.h"
#include "QSimpleUpdater.h"
#include "QWaitingDialog.h"

namespace {

bool g_restartRequested = false;

} // namespace

bool MainWindow::restartRequested() { return g_restartRequested; }
void MainWindow::setRestartRequested(bool requested) { g_restartRequested = requested; }

MainWindow::MainWindow(QWidget* parent) : CFramelessWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize available = screen->availableSize();
        resize(int(std::lround(available.width() * 0.75)), int(std::lround(available.height() * 0.75)));
    }
    applyStyle();
    setupTitleBar();
    setTitle(ApplicationDisplayName());
    setLayoutDirection(Qt::LeftToRight);
    setupUpdater();

    tilesFrame()->show();
    page = 0;
}

MainWindow::~MainWindow()
{
    delete m_tilesFrame;
    delete m_adjustingFrame;
    delete ui;
}

void MainWindow::applyStyle()
{
    QFile file(QStringLiteral(":/qss/psblack.css"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    const QString text = QString::fromLatin1(nul >= 0 ? bytes.left(nul) : bytes);
    const QString colour = text.mid(20, 7);
    qApp->setPalette(QPalette(QColor(colour)));
    qApp->setStyleSheet(text);
}

void MainWindow::setupTitleBar()
{
    addCaptionWidget(ui->menuWidget);
    ui->iconLabel->setFixedSize(24, 24);
    QPixmap logo(QStringLiteral(":/vh/icon/icon_hdr_logo_24"));
    logo.setDevicePixelRatio(2.0);
    ui->iconLabel->setPixmap(logo);
    ui->menuWidget->setStyleSheet(QStringLiteral("QWidget#menuWidget {background: #222222;}"));
    addIgnoreWidget(ui->iconLabel);
    addIgnoreWidget(ui->titleLabel);
    const QString buttonStyle = QStringLiteral(
        "QPushButton {background-color:#222222; border:none;border-radius:3px;}"
        "QPushButton:hover {background-color:#333333;}");
    ui->miniButton->setStyleSheet(buttonStyle);
    ui->normalButton->setStyleSheet(buttonStyle);
    ui->menuButton->setStyleSheet(buttonStyle);
    ui->closeButton->setStyleSheet(QStringLiteral(
        "QPushButton {background-color:#222222; border:none;border-radius:3px;}"
        "QPushButton:hover {background-color:rgb(232,17,35);}"));
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->miniButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(ui->normalButton, &QPushButton::clicked, this, [this] {
        if (isMaximized())
            showNormal();
        else
            showMaximized();
    });
    connect(ui->menuButton, &QPushButton::clicked, this, &MainWindow::onMenuButtonClicked);
    setAttribute(Qt::WA_TranslucentBackground, false);
}

void MainWindow::setupUpdater()
{
    updater = QSimpleUpdater::globalInstance();
    const QString url = UpdateFeedUrl();
    updater->setModuleName(url, QStringLiteral("Vantrel HDR"));
    updater->setModuleChannel(url, ProductChannel());
    updater->setDownloadDir(url, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    connect(updater, SIGNAL(checkingFinished(QString)), this, SLOT(updateChangelog(QString)));
}

void MainWindow::showEvent(QShowEvent* event)
{
    CFramelessWindow::showEvent(event);
    // The first update check runs once, shortly after the window appears.
    if (!m_updateCheckScheduled) {
        m_updateCheckScheduled = true;
        QTimer::singleShot(10, this, &MainWindow::checkForUpdates);
    }
}

void MainWindow::setTitle(const QString& title)
{
    ui->titleLabel->setText(title);
    setWindowTitle(title);
}

IQTilesFrame* MainWindow::tilesFrame()
{
    if (!m_tilesFrame) {
        m_tilesFrame = new IQTilesFrame(this);
        ui->horizontalLayout->addWidget(m_tilesFrame);
        connect(m_tilesFrame, &IQTilesFrame::imageSelected, this, &MainWindow::onHDRImageSelected);
    }
    return m_tilesFrame;
}

IQAdjustingFrame* MainWindow::adjustingFrame()
{
    if (!m_adjustingFrame) {
        m_adjustingFrame = new IQAdjustingFrame(this);
        ui->horizontalLayout->addWidget(m_adjustingFrame);
        connect(m_adjustingFrame, &IQAdjustingFrame::finish, this, &MainWindow::finish);
        connect(m_adjustingFrame, &IQAdjustingFrame::savingFinished, this, [this] {
            if (!m_closeAfterSave)
                return;
            m_closeAfterSave = false;
            // Asked again once the save has returned to its caller: saved
            // work closes at once, work that failed to save gets the question.
            QTimer::singleShot(0, this, [this] {
                if (isVisible())
                    close();
            });
        });
    }
    return m_adjustingFrame;
}

QFrame* MainWindow::frame(int index)
{
    if (index == 0)
        return tilesFrame();
    if (index == 1)
        return adjustingFrame();
    return nullptr;
}

void MainWindow::finish(QFrame* frame)
{
    if (!frame || frame != m_adjustingFrame)
        return;
    m_adjustingFrame->hide();
    tilesFrame()->show();
    page = 0;
}

void MainWindow::import()
{
    if (page == 0)
        tilesFrame()->importFiles();
}

bool MainWindow::save()
{
    return page == 1 && m_adjustingFrame ? m_adjustingFrame->save() : false;
}

// The editing page is the before-and-after frame, so it zooms itself.
void MainWindow::zoomFit()
{
    if (page == 1 && m_adjustingFrame)
        m_adjustingFrame->zoomFit();
}

void MainWindow::zoomActual()
{
    if (page == 1 && m_adjustingFrame)
        m_adjustingFrame->zoomActual();
}

void MainWindow::zoomIn()
{
    if (page == 1 && m_adjustingFrame)
        m_adjustingFrame->zoomIn();
}

void MainWindow::zoomOut()
{
    if (page == 1 && m_adjustingFrame)
        m_adjustingFrame->zoomOut();
}

void MainWindow::updateChangelog(QString)
{
}

void MainWindow::checkForUpdates()
{
    if (updater)
        updater->checkForUpdates(UpdateFeedUrl());
}

void MainWindow::showGuide()
{
    // A window of its own; it lives on this stack until it is closed.
    IQGuideDialog dialog(nullptr);
    // Without a parent Qt would centre it on the screen: centre it over this
    // window instead, kept on the window's screen.
    QRect placed(QPoint(), dialog.size());
    placed.moveCenter(frameGeometry().center());
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        placed.moveLeft(qMax(area.left(), qMin(placed.left(), area.right() + 1 - placed.width())));
        placed.moveTop(qMax(area.top(), qMin(placed.top(), area.bottom() + 1 - placed.height())));
    }
    dialog.move(placed.topLeft());
    dialog.exec();
}

void MainWindow::setupStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    bar->setStyleSheet(QStringLiteral("QStatusBar::item { border: 0px solid black }; "));
}

void MainWindow::onHDRImageSelected(QStringList files)
{
    if (isHDRJobRunning())
        return; // one job at a time on the one engine
    // Held: Escape or a close request must not end it while the job runs, or
    // a second job could start on the same engine. It ends once the worker
    // has finished and its picture is on the editing page.
    QWaitingDialog dialog(this);
    dialog.setHeld(true);
    m_jobDialog = &dialog;
    m_jobThreadDone = false;
    m_jobPictureComing = false;
    auto* thread = new IQHDRThread(IQHDREngine::instance(), files);
    connect(thread, &IQHDRThread::threadFinished, this, &MainWindow::onHDRJobResult);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this] {
        m_jobThreadDone = true;
        endJobIfDone();
    });
    thread->start(QThread::InheritPriority);
    // The editing page is built while the job runs, not when its result is in.
    QTimer::singleShot(0, this, [this] {
        if (!m_adjustingFrame) {
            adjustingFrame();
            if (page != 1)
                m_adjustingFrame->hide();
        }
    });
    dialog.exec();
    m_jobDialog = nullptr;
}

void MainWindow::endJobIfDone()
{
    if (m_jobDialog && m_jobThreadDone && !m_jobPictureComing)
        m_jobDialog->finish();
}

void MainWindow::onHDRJobResult(QImage before, QImage after, int errorCode)
{
    if (errorCode != 0 || after.isNull()) {
        onHDRFinished(before, after, errorCode);
        return;
    }
    // A 24 MP picture takes a while to reach the screen's format: that is
    // done on a worker while the waiting dialog stays up, and the page gets
    // pictures it can show as they are.
    m_jobPictureComing = true;
    using Shown = std::pair<QImage, QImage>;
    auto* watcher = new QFutureWatcher<Shown>(this);
    connect(watcher, &QFutureWatcher<Shown>::finished, this, [this, watcher, before, after] {
        const Shown shown = watcher->result();
        watcher->deleteLater();
        m_jobPictureComing = false;
        // Memory ran out on the way: the page converts them itself.
        if (shown.first.isNull() || shown.second.isNull())
            onHDRFinished(before, after, 0);
        else
            onHDRFinished(shown.first, shown.second, 0);
        endJobIfDone();
    });
    watcher->setFuture(QtConcurrent::run([before, after]() -> Shown {
        try {
            const QImage shownAfter = IQAdjustingFrame::screenImage(after);
            // The job's before picture is a copy of its result: one is enough.
            const QImage shownBefore = before == after ? shownAfter : IQAdjustingFrame::screenImage(before);
            return Shown(shownBefore, shownAfter);
        } catch (...) {
            return Shown();
        }
    }));
}

QString MainWindow::messageForCode(int errorCode)
{
    switch (errorCode) {
    case -2:
        return tr("IDS_SAME_SIZE");
    case -1:
        return tr("IDS_READ_FAILED");
    case -5:
        return tr("IDS_TOO_LARGE");
    default:
        return tr("IDS_ERROR");
    }
}

void MainWindow::onHDRFinished(QImage before, QImage after, int errorCode)
{
    if (errorCode == 0 && !after.isNull()) {
        tilesFrame()->hide();
        IQAdjustingFrame* editing = adjustingFrame();
        editing->show();
        page = 1;
        editing->setSource(after);
        editing->setImages(before, after);
        QCoreApplication::processEvents();
        return;
    }
    const QString text = messageForCode(errorCode);
    QTimer::singleShot(100, this, [this, text] {
        QMessageBox::information(this, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok,
                                 QMessageBox::NoButton);
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The worker must not be left running under a closing program.
    if (isHDRJobRunning()) {
        event->ignore();
        return;
    }
    // The file is being written while the window goes on running: the
    // request waits for the save instead of asking about work that is about
    // to be saved.
    if (m_adjustingFrame && m_adjustingFrame->isSaving()) {
        m_closeAfterSave = true;
        event->ignore();
        return;
    }
    // A further request while the question or its save is open does not
    // come here: QWidget::close() ignores requests while one is under way.
    if (page == 1 && m_adjustingFrame && m_adjustingFrame->isModified()) {
        const auto answer = QMessageBox::question(this, QGuiApplication::applicationDisplayName(),
                                                  tr("IDS_SAVE_PROMPT"),
                                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                                  QMessageBox::Save);
        if (answer == QMessageBox::Save) {
            if (m_adjustingFrame->save())
                event->accept();
            else
                event->ignore();
        } else if (answer == QMessageBox::Discard) {
            event->accept();
        } else {
            event->ignore();
        }
        return;
    }
    event->accept();
}
