#pragma once
// Reads one picture off the GUI thread (orientation applied) and reports it
// as ARGB32, or null when the file cannot be read.
#include <QImage>
#include <QRunnable>
#include <QString>
#include <QThread>

class IQImageReadThread : public QThread, public QRunnable {
    Q_OBJECT
public:
    explicit IQImageReadThread(const QString& path);
    ~IQImageReadThread() override;

    void run() override;

signals:
    void readFinished(QImage image);

private:
    QString m_path;
};
