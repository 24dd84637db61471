#pragma once
// Runs one HDR job off the GUI thread and reports both pictures and the
// result code with one signal. Starts as a QThread or on a QThreadPool.
#include <QImage>
#include <QRunnable>
#include <QStringList>
#include <QThread>

class IQHDREngine;

class IQHDRThread : public QThread, public QRunnable {
    Q_OBJECT
public:
    IQHDRThread(IQHDREngine* engine, const QStringList& paths);
    ~IQHDRThread() override;

    // The job. Never throws: an error raised inside it is reported as a
    // failed job (IQHDR_OUT_OF_MEMORY or IQHDR_FAILED).
    void run() override;

signals:
    void threadFinished(QImage before, QImage after, int errorCode);

private:
    int runJob(QImage& after);

    IQHDREngine* m_engine;
    QStringList m_paths;
};
