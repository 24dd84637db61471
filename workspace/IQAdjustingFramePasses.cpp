// The working half of the editing page: picture hand-over, processing passes,
// View Original, leaving the page and saving.
#include "IQAdjustingFrame.h"

#include "BAImageViewerWidget.h"
#include "IQAdjustingProcessor.h"
#include "IQFileDialogs.h"
#include "IQImageFileWriter.h"
#include "IQSettings.h"
#include "QWaitingDialog.h"
#include "ui_IQAdjustingFrame.h"

#include <QDir>
#include <QGuiApplication>
#include <QFutureWatcher>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <vector>

namespace {

const int kThrottleMs = 100;

// 4 (detail chain and highlight/shadow) covers 8 (highlight/shadow), which
// covers everything else.
int strongerStage(int current, int requested)
{
    auto rank = [](int s) { return s == IQAdjustingProcessor::StageFull ? 2 : s == IQAdjustingProcessor::StageHighlightShadow ? 1 : 0; };
    return rank(requested) > rank(current) ? requested : current;
}

QString passErrorText(int code, const QString& detail = QString())
{
    if (!detail.isEmpty())
        return passErrorText(code) + QLatin1Char('\n') + detail;
    switch (code) {
    case IQAdjustingProcessor::ErrorOutOfMemory:
        return IQAdjustingFrame::tr("There is not enough memory to process the picture.");
    case IQAdjustingProcessor::ErrorNoPicture:
    case IQAdjustingProcessor::ErrorNoEngine:
        return IQAdjustingFrame::tr("The picture could not be prepared for editing.");
    default:
        return IQAdjustingFrame::tr("The picture could not be processed.");
    }
}

} // namespace

// 24-bit pictures to Format_RGB32 (the screen's format, so the viewer takes
// the pixels as they are) in row bands on the global pool: a single thread
// needs tens of milliseconds for 24 MP, which every preview pass would pay.
QImage IQAdjustingFrame::screenImage(const QImage& bgr)
{
    const bool rgbOrder = bgr.format() == QImage::Format_RGB888;
    if (bgr.format() != QImage::Format_BGR888 && !rgbOrder)
        return bgr.convertToFormat(QImage::Format_RGB32);
    const int r = rgbOrder ? 0 : 2;
    const int b = rgbOrder ? 2 : 0;
    QImage out(bgr.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const int w = bgr.width();
    const int h = bgr.height();
    const int bands = std::clamp(h / 64, 1, 16);
    std::vector<int> index(size_t(bands), 0);
    for (int i = 0; i < bands; ++i)
        index[size_t(i)] = i;
    uchar* dstBits = out.bits();
    const qsizetype dstStride = out.bytesPerLine();
    QtConcurrent::blockingMap(index, [&](int band) {
        const int y0 = int(qint64(h) * band / bands);
        const int y1 = int(qint64(h) * (band + 1) / bands);
        for (int y = y0; y < y1; ++y) {
            const uchar* s = bgr.constScanLine(y);
            auto* d = reinterpret_cast<quint32*>(dstBits + y * dstStride);
            for (int x = 0; x < w; ++x, s += 3)
                d[x] = 0xff000000u | (quint32(s[r]) << 16) | (quint32(s[1]) << 8) | quint32(s[b]);
        }
    });
    return out;
}

void IQAdjustingFrame::setSource(const QImage& image)
{
    ui->histWidget->setImage(image);
}

void IQAdjustingFrame::setImages(const QImage& before, const QImage& after)
{
    m_throttle.stop();
    endViewOriginal();
    dropProcessor(false);

    // Converted once, in parallel, instead of by each pane on the GUI thread.
    const QImage shownAfter = screenImage(after);
    const QImage shownBefore = before.cacheKey() == after.cacheKey() ? shownAfter : screenImage(before);
    IQBAImageFrame::setImages(shownBefore, shownAfter);
    m_result = shownAfter;
    m_recordsSerial = m_resultSerial = 0;
    // Converting the picture and building the engines is the pool's work,
    // done before any pass of this picture (the pool runs one task at a time).
    processor = new IQAdjustingProcessor(after, IQAdjustingProcessor::LoadLater);
    {
        IQAdjustingProcessor* proc = processor;
        const quint64 generation = m_generation;
        auto prepared = QtConcurrent::run(&pool, [this, proc, generation] {
            if (proc->prepare())
                return;
            const QString message = passErrorText(proc->lastError());
            QMetaObject::invokeMethod(
                this, [this, generation, message] { onPrepareFailed(generation, message); }, Qt::QueuedConnection);
        });
        Q_UNUSED(prepared);
    }
    ui->saveButn->setEnabled(!m_result.isNull());

    adjust.reset();
    updateAdjustSliders(adjust);
    denoise.reset();
    updateDenoiseSliders(denoise);
    tone.reset();
    updateToneControls(tone);
    m_requestedStage = IQAdjustingProcessor::StageAdjust;
    {
        const QSignalBlocker block(ui->effectListWidget);
        ui->effectListWidget->setCurrentRow(0);
    }
    updateRestoreButton();
    if (viewer())
        viewer()->setCompareVisible(false);
    modified = true;
}

// --- passes ----------------------------------------------------------------------

void IQAdjustingFrame::process(bool full)
{
    requestPass(full ? PassKind::Full : PassKind::Preview);
}

void IQAdjustingFrame::onPrepareFailed(quint64 generation, const QString& message)
{
    if (generation != m_generation)
        return;
    // Passes asked for meanwhile end unseen; the picture stays as it came.
    dropProcessor(false);
    m_resultSerial = m_recordsSerial;
    updateRestoreButton();
    showError(message);
}

void IQAdjustingFrame::requestPass(PassKind kind)
{
    m_requestedStage = strongerStage(m_requestedStage, stage);
    if (!processor || m_result.isNull())
        return;
    // Any change after a save makes the work unsaved again.
    modified = true;
    ++m_recordsSerial;
    if (kind == PassKind::Full)
        m_pendingFull = true;
    if (m_running) {
        // The pass after the running one takes the newest records; one is enough.
        m_pending = true;
        m_throttle.stop();
        if (kind == PassKind::Full)
            showWaitingDialog();
        return;
    }
    if (kind == PassKind::Drag && lastStart.isValid() && lastStart.elapsed() < kThrottleMs) {
        // Held back, not dropped: the newest value runs when the interval is over.
        if (!m_throttle.isActive())
            m_throttle.start(int(kThrottleMs - lastStart.elapsed()));
        return;
    }
    startPass();
}

void IQAdjustingFrame::startPass()
{
    m_throttle.stop();
    processor->setAdjustParams(adjust);
    processor->setDenoiseParams(denoise);
    processor->setToneParams(tone, m_requestedStage);
    m_requestedStage = IQAdjustingProcessor::StageAdjust;
    m_running = true;
    m_runningFull = m_pendingFull;
    m_pending = false;
    m_pendingFull = false;

    IQAdjustingProcessor* proc = processor;
    const quint64 generation = m_generation;
    const qint64 serial = m_recordsSerial;
    auto future = QtConcurrent::run(&pool, [this, proc, generation, serial] {
        QImage image;
        QString error;
        try {
            image = proc->process();
            if (image.isNull()) {
                error = passErrorText(proc->lastError(), proc->lastErrorDetail());
            } else {
                // Ready for the screen here, not on the GUI thread.
                image = screenImage(image);
                if (image.isNull())
                    error = passErrorText(IQAdjustingProcessor::ErrorOutOfMemory);
            }
        } catch (const std::bad_alloc&) {
            image = QImage();
            error = passErrorText(IQAdjustingProcessor::ErrorOutOfMemory);
        } catch (const std::exception& e) {
            image = QImage();
            error = passErrorText(-1) + QLatin1Char('\n') + QString::fromLocal8Bit(e.what());
        } catch (...) {
            image = QImage();
            error = passErrorText(-1);
        }
        QMetaObject::invokeMethod(
            this, [this, image, generation, serial, error] { onPassDone(image, generation, serial, error); },
            Qt::QueuedConnection);
    });
    Q_UNUSED(future);
    lastStart.restart();
    if (m_runningFull)
        showWaitingDialog();
}

void IQAdjustingFrame::onPassDone(const QImage& image, quint64 generation, qint64 serial, const QString& error)
{
    if (generation != m_generation)
        return; // a pass over a picture that has been replaced
    m_running = false;
    m_runningFull = false;
    if (m_pending && processor)
        startPass();
    if (!m_runningFull && !m_pendingFull)
        closeWaitingDialog();

    if (error.isEmpty()) {
        m_resultSerial = serial;
        emit algorithmFinished(image);
    } else {
        showError(error);
    }
    if (m_settleDialog && !m_running && !m_pending)
        m_settleDialog->finish();
}

void IQAdjustingFrame::showError(const QString& message)
{
    emit processingFailed(message);
    // One box at a time: a drag over a failing picture must not stack them up.
    if (m_errorBox)
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_errorBox = box;
    // Not exec(): the page keeps serving its passes meanwhile.
    box->open();
}

void IQAdjustingFrame::onAlgorithmFinished(QImage image)
{
    if (image.isNull())
        return;
    // The last holder of the previous picture lets it go on another thread:
    // returning 100 MB to the system is not the GUI thread's work.
    QImage previous = std::move(m_result);
    m_result = image;
    ui->histWidget->setImage(image);
    // While View Original is held the result waits for the release.
    if (!m_viewingOriginal)
        showWorkingImage(image);
    if (!previous.isNull()) {
        auto released = QtConcurrent::run([p = std::move(previous)]() mutable { p = QImage(); });
        Q_UNUSED(released);
    }
}

void IQAdjustingFrame::showWaitingDialog()
{
    if (m_waitDialog)
        return;
    auto* dialog = new QWaitingDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Up until the pass has ended: dismissed early, it would let the user
    // reach Save and the controls mid-pass.
    dialog->setHeld(true);
    m_waitDialog = dialog;
    // Modal without a nested event loop: the result arrives as usual.
    dialog->open();
}

void IQAdjustingFrame::closeWaitingDialog()
{
    if (m_waitDialog)
        m_waitDialog->finish();
    m_waitDialog = nullptr;
}

bool IQAdjustingFrame::waitForPasses()
{
    // A drag value held back by the throttle belongs to the controls as they are.
    if (m_throttle.isActive() && processor && !m_running) {
        m_throttle.stop();
        startPass();
    }
    if (m_running || m_pending) {
        QWaitingDialog dialog(this);
        dialog.setHeld(true);
        m_settleDialog = &dialog;
        dialog.exec();
        m_settleDialog = nullptr;
    }
    // The newest pass failed: the picture on screen is not what the controls say.
    return m_resultSerial == m_recordsSerial;
}

void IQAdjustingFrame::dropProcessor(bool wait)
{
    m_throttle.stop();
    ++m_generation; // results still on their way are for the old picture
    m_running = m_pending = m_pendingFull = m_runningFull = false;
    closeWaitingDialog();
    if (m_settleDialog)
        m_settleDialog->finish();
    IQAdjustingProcessor* old = processor;
    processor = nullptr;
    if (wait) {
        pool.waitForDone();
        delete old;
    } else if (old) {
        // The pool runs one task at a time: the processor goes once the
        // running pass has ended, and the GUI thread does not wait for it.
        auto done = QtConcurrent::run(&pool, [old] { delete old; });
        Q_UNUSED(done);
    }
}

void IQAdjustingFrame::stopProcessing()
{
    dropProcessor(true);
    updateRestoreButton();
}

void IQAdjustingFrame::showWorkingImage(const QImage& image)
{
    // Pane A, view kept. The pixmap shares the picture's pixels (a pass
    // delivers it in the screen's format) instead of copying 100 MB on the
    // GUI thread for every result.
    if (viewer())
        viewer()->showBeforeImage(std::make_unique<QPixmap>(QPixmap::fromImage(QImage(image))), false);
}

// --- View Original -------------------------------------------------------------------

void IQAdjustingFrame::on_originalButn_pressed()
{
    if (m_viewingOriginal || m_result.isNull())
        return;
    ui->originalButn->installEventFilter(this);
    ui->originalButn->setIcon(QIcon(QStringLiteral(":/commonRes/icon_viewN.png")));
    m_viewingOriginal = true;
    setCurrentImage(originalImage(), false);
}

bool IQAdjustingFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->originalButn && event->type() == QEvent::MouseButtonRelease && m_viewingOriginal) {
        endViewOriginal();
        return true;
    }
    return IQBAImageFrame::eventFilter(watched, event);
}

void IQAdjustingFrame::endViewOriginal()
{
    if (!m_viewingOriginal)
        return;
    m_viewingOriginal = false;
    ui->originalButn->removeEventFilter(this);
    ui->originalButn->setDown(false);
    ui->originalButn->setIcon(QIcon(QStringLiteral(":/commonRes/icon_view.png")));
    // The newest result, also one that arrived while the button was held.
    if (!m_result.isNull())
        showWorkingImage(m_result);
}

// --- leaving and saving ----------------------------------------------------------------

void IQAdjustingFrame::on_newButn_clicked()
{
    closeImage();
}

bool IQAdjustingFrame::closeImage()
{
    if (modified && !m_result.isNull()) {
        const auto answer = QMessageBox::question(this, QGuiApplication::applicationDisplayName(),
                                                  tr("IDS_SAVE_PROMPT"),
                                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                                  QMessageBox::Save);
        if (answer == QMessageBox::Save) {
            // A cancelled or failed save keeps the page and its edits.
            if (!save())
                return false;
        } else if (answer != QMessageBox::Discard) {
            return false;
        }
    }
    endViewOriginal();
    dropProcessor(false);
    IQBAImageFrame::closeImage();
    if (viewer())
        viewer()->setCompareVisible(false);
    m_result = QImage();
    ui->histWidget->setImage(QImage());
    ui->saveButn->setEnabled(false);
    modified = false;
    updateRestoreButton();
    emit finish(this);
    return true;
}

void IQAdjustingFrame::on_saveButn_clicked()
{
    save();
}

bool IQAdjustingFrame::save()
{
    if (m_result.isNull() || m_saving)
        return false;
    m_saving = true;
    const bool saved = saveAs();
    m_saving = false;
    emit savingFinished(saved);
    return saved;
}

bool IQAdjustingFrame::saveAs()
{
    const QString folder = IQSettings::instance()->lastSaveDir();
    QString fileName;
    QString filter;
    if (getSaveImageFileName(this, &fileName, folder, &filter) != QDialog::Accepted || fileName.isEmpty())
        return false;
    // The file gets the picture of the controls as they are now: the passes
    // still running or waiting end first.
    QString error;
    if (!waitForPasses()) {
        error = tr("The picture could not be processed with the current settings, so it was not saved.");
    } else if (!writeInBackground(fileName, &error)) {
        error = tr("The picture could not be saved as \"%1\".").arg(QDir::toNativeSeparators(fileName))
                + QLatin1Char('\n') + error;
    } else {
        modified = false;
        return true;
    }
    QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), error, QMessageBox::Ok);
    return false;
}

bool IQAdjustingFrame::writeInBackground(const QString& path, QString* error)
{
    struct Outcome {
        bool written = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const QImage picture = m_result;
    // Encoding a large PNG takes seconds: not on the GUI thread.
    QFuture<void> job = QtConcurrent::run([picture, path, outcome] {
        outcome->written = writeImageFile(picture, path, &outcome->error);
    });
    {
        QWaitingDialog dialog(this);
        dialog.setHeld(true);
        QFutureWatcher<void> watcher;
        connect(&watcher, &QFutureWatcher<void>::finished, &dialog, &QWaitingDialog::finish);
        watcher.setFuture(job);
        dialog.exec();
    }
    // Returns early only when the event loops were ended from outside (the
    // program quits): the file is finished all the same.
    job.waitForFinished();
    if (!outcome->written && error)
        *error = outcome->error;
    return outcome->written;
}

bool IQAdjustingFrame::saveTo(const QString& path, QString* error)
{
    return writeImageFile(m_result, path, error);
}
