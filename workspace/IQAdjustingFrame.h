#pragma once
#include "IQBAImageFrame.h"
#include "IQParams.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

class IQAdjustingProcessor;
class QButtonGroup;
class QMessageBox;
class QSliderWidget;
class QToolBoxWidget;
class QWaitingDialog;
namespace Ui { class IQAdjustingFrame; }

// The editing page: adjustment controls, effect presets, the histogram and the
// before-and-after viewer over one merged picture. Every change of a control
// writes the page's parameter records and asks for a processing pass, which
// runs on the page's own thread pool; at most one pass runs and at most one
// waits, so a drag never piles up stale work and the GUI thread never waits
// for a pass.
class IQAdjustingFrame : public IQBAImageFrame
{
    Q_OBJECT
public:
    explicit IQAdjustingFrame(QWidget* parent = nullptr);
    ~IQAdjustingFrame() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The histogram shows the picture.
    void setSource(const QImage& image);
    // Takes a new picture over: new processor, records reset, nothing processed yet.
    void setImages(const QImage& before, const QImage& after);

    // Asks the user before leaving unsaved work; false when the page stays.
    bool closeImage();
    // Save dialog and write; true when the picture was written. The passes
    // still running or waiting end first, so the file holds the picture of
    // the controls as they were when Save was pressed; the file is written on
    // a worker thread. Both wait behind the held waiting dialog, so the window
    // goes on painting meanwhile.
    bool save();
    // Writes the newest result to `path` (format from the suffix) at once; on
    // failure `error` gets the reason and any file already at `path` is left
    // as it was.
    bool saveTo(const QString& path, QString* error = nullptr);

    // Whether the page holds work that has not been saved.
    bool isModified() const { return modified; }
    // From the moment save() begins until it has returned.
    bool isSaving() const { return m_saving; }
    // The newest processed picture (also while View Original is held).
    QImage resultImage() const { return m_result; }
    bool isProcessing() const { return m_running; }
    bool hasPendingPass() const { return m_pending; }
    // A pass runs, waits, or is held back by the drag throttle.
    bool isBusy() const { return m_running || m_pending || m_throttle.isActive(); }
    bool isViewingOriginal() const { return m_viewingOriginal; }
    // The stage code that the last control change asked for.
    int stageCode() const { return stage; }

    const IQAdjustParams& adjustParams() const { return adjust; }
    const IQHDRToneParams& toneParams() const { return tone; }
    const IQDenoiseParams& denoiseParams() const { return denoise; }
    IQAdjustingProcessor* adjustingProcessor() const { return processor; }

    void stopProcessing();
    bool isCompareMode() const;
    void toggleCompare();
    void setPairSliders(const int* values);

    // The picture in the screen's format (Format_RGB32), which the viewer
    // shows without another copy; 24-bit pictures are converted in row bands
    // on the global pool. Safe on any thread.
    static QImage screenImage(const QImage& picture);

    // The thumbnail of one effect: the picture with the name on a dark band.
    static QPixmap makeEffectThumbnail(QImage& image, const QString& name);

signals:
    void finish(QFrame* frame);
    void algorithmFinished(QImage image);
    // A pass could not produce a picture; `message` says why.
    void processingFailed(QString message);
    // save() is about to return `saved`.
    void savingFinished(bool saved);

public slots:
    void onPropertyValueChanged(QString key, int value);
    void onPropertyValueChanging(QString key, int value);
    void onPropertyActionTrigged(QString key);
    void on_newButn_clicked();
    void on_restoreButn_clicked();
    void on_saveButn_clicked();
    void on_baButn_clicked();
    void on_contrastComboBox_currentIndexChanged(int index);
    void on_contrastCheckBox_stateChanged(int state);
    void on_colorCheckBox_stateChanged(int state);
    void on_lccCheckBox_stateChanged(int state);
    void on_detailCheckBox_stateChanged(int state);
    void on_originalButn_pressed();
    void onModeToggled(int id, bool checked);
    void onEffectChanged(int currentRow);
    Q_INVOKABLE bool isDefaultParam() const;
    void onAlgorithmFinished(QImage image);

private:
    enum class PassKind { Drag, Preview, Full };

    void initSlider(QSliderWidget* row, const QString& label, int min, int max, int value, const QString& key);
    void setupToolBar();
    void setupProperties();
    void setupEffects();
    QToolBoxWidget* addToolBox(const QString& title, const QString& key, QWidget* content);
    bool takeSliderValue(const QString& key, int value, bool dragging);
    void updateAdjustSliders(const IQAdjustParams& params);
    void updateToneControls(const IQHDRToneParams& params);
    void updateDenoiseSliders(const IQDenoiseParams& params);
    void updateRestoreButton();
    void updateEffectSelection();
    void toneSwitchChanged();

    void process(bool full);
    void requestPass(PassKind kind);
    void startPass();
    void onPassDone(const QImage& image, quint64 generation, qint64 serial, const QString& error);
    void onPrepareFailed(quint64 generation, const QString& message);
    // Serves the event loop under a held waiting dialog until no pass runs or
    // waits; false when the newest pass failed.
    bool waitForPasses();
    void showWaitingDialog();
    void closeWaitingDialog();
    void endViewOriginal();
    void showWorkingImage(const QImage& image);
    void showError(const QString& message);
    // Passes of the old processor end unseen; `wait` blocks until they have.
    void dropProcessor(bool wait);
    bool saveAs();
    // Writes the newest result on a worker thread while the held waiting
    // dialog keeps the event loop running.
    bool writeInBackground(const QString& path, QString* error);

    Ui::IQAdjustingFrame* ui;
    QToolBoxWidget* hdrToneBox = nullptr;
    QToolBoxWidget* colorFilterBox = nullptr;
    QToolBoxWidget* smartToneBox = nullptr;
    QToolBoxWidget* imageRadianceBox = nullptr;
    QToolBoxWidget* denoiseBox = nullptr;
    QToolBoxWidget* vignettingBox = nullptr;
    QButtonGroup* modeGroup = nullptr;
    int stage = 2;
    bool modified = false;
    IQAdjustParams adjust;
    IQDenoiseParams denoise;
    IQHDRToneParams tone;
    IQAdjustingProcessor* processor = nullptr;
    QThreadPool pool;
    // Monotonic: a wall-clock step must not stop or flood the previews.
    QElapsedTimer lastStart;

    // Scheduling: the strongest stage asked for since the last pass started,
    // whether a pass runs, whether one more is wanted after it, and whether a
    // wanted pass is a full one (behind the waiting dialog).
    int m_requestedStage = 2;
    bool m_running = false;
    bool m_pending = false;
    bool m_pendingFull = false;
    bool m_runningFull = false;
    quint64 m_generation = 0;
    // Which records a picture matches: every request for a pass counts one
    // up; the shown result keeps the count it was made at.
    qint64 m_recordsSerial = 0;
    qint64 m_resultSerial = 0;
    QTimer m_throttle;
    QPointer<QWaitingDialog> m_waitDialog;
    QWaitingDialog* m_settleDialog = nullptr; // while save() waits for the passes
    QPointer<QMessageBox> m_errorBox;
    bool m_saving = false;

    // The newest processed picture; pane A shows it except while View
    // Original is held.
    QImage m_result;
    bool m_viewingOriginal = false;
};
