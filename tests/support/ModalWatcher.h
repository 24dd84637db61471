#pragma once
// Answers dialogs that run their own event loop: the test arms a watcher
// before the call that opens the dialog.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

template <typename T>
struct ModalWatcherIdentity {
    using type = T;
};

// Runs `act` on the next visible modal widget of class W, from a polling
// timer. The watcher gives up after `timeoutMs`; delete the returned pointer
// to stop waiting earlier (a watcher must not outlive the state it captures).
template <typename W = QWidget>
QPointer<QTimer> whenModal(std::function<void(typename ModalWatcherIdentity<W>::type*)> act, int timeoutMs = 60000)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(15);
    QObject::connect(timer, &QTimer::timeout, [timer, act, started, timeoutMs] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (started->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return timer;
}

// Fills a non-native file dialog and accepts it (queued, as a user's click).
inline void fillFileDialog(QFileDialog* dialog, const QString& folder, const QString& names,
                           const QString& filter = QString())
{
    if (!filter.isEmpty()) {
        dialog->selectNameFilter(filter);
        // selectNameFilter does not emit filterSelected; a user's choice does.
        emit dialog->filterSelected(filter);
    }
    if (!folder.isEmpty())
        dialog->setDirectory(folder);
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setText(names);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

// Fills in the next file dialog when it appears and accepts it.
inline QPointer<QTimer> answerFileDialog(const QString& folder, const QString& names,
                                         const QString& filter = QString())
{
    return whenModal<QFileDialog>([=](QFileDialog* d) { fillFileDialog(d, folder, names, filter); });
}

// Cancels the next file dialog.
inline QPointer<QTimer> rejectFileDialog()
{
    return whenModal<QFileDialog>([](QFileDialog* d) { QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection); });
}
