#pragma once
// Runs one pass of an adjustment processor on a thread and hands the result
// over by signal. Works both as a QThread and as a QRunnable for a thread
// pool (deleted by the pool after the pass). The processor is not owned and
// must outlive the pass.
#include <QImage>
#include <QRunnable>
#include <QThread>

class IQAdjustingProcessor;

class IQAdjustingThread : public QThread, public QRunnable {
    Q_OBJECT
public:
    explicit IQAdjustingThread(IQAdjustingProcessor *processor = nullptr, QObject *parent = nullptr);

    IQAdjustingProcessor *processor = nullptr;

    void run() override;

signals:
    // Null when the pass failed or there was no processor.
    void threadFinished(const QImage &image);
};
