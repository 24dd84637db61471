#pragma once
// Answers dialogs that run their own event loop: the test arms a watcher
// before the call that opens the dialog.
//
// Every GUI test executable also runs the unexpected-dialog guard
// (UnexpectedModalGuard.cpp): a modal dialog that opens while no armed
// whenModal() or expectModal() of its class waits for it fails the current
// test at once with the dialog's text, and is closed, instead of waiting for
// an answer until the test's time runs out.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <list>
#include <memory>

template <typename T>
struct ModalWatcherIdentity {
    using type = T;
};

namespace modalguard {

// One dialog a test is waiting for: its class, while `active`.
struct Expectation {
    std::function<bool(QWidget*)> matches;
    bool active = true;
};

inline std::list<std::shared_ptr<Expectation>>& expectations()
{
    static std::list<std::shared_ptr<Expectation>> all;
    return all;
}

template <typename W>
std::shared_ptr<Expectation> expect()
{
    auto e = std::make_shared<Expectation>();
    e->matches = [](QWidget* w) { return qobject_cast<W*>(w) != nullptr; };
    expectations().push_back(e);
    return e;
}

inline void forget(const std::shared_ptr<Expectation>& e)
{
    e->active = false;
    expectations().remove(e);
}

// Whether a test waits for `dialog`.
inline bool isExpected(QWidget* dialog)
{
    for (const auto& e : expectations())
        if (e->active && e->matches(dialog))
            return true;
    return false;
}

} // namespace modalguard

// Runs `act` on the next visible modal widget of class W, from a polling
// timer. The watcher gives up after `timeoutMs`; delete the returned pointer
// to stop waiting earlier (a watcher must not outlive the state it captures).
// Until it acts, gives up or is deleted, dialogs of class W are expected.
template <typename W = QWidget>
QPointer<QTimer> whenModal(std::function<void(typename ModalWatcherIdentity<W>::type*)> act, int timeoutMs = 60000)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    auto expected = modalguard::expect<W>();
    QObject::connect(timer, &QObject::destroyed, [expected] { modalguard::forget(expected); });
    timer->setInterval(15);
    QObject::connect(timer, &QTimer::timeout, [timer, act, started, timeoutMs, expected] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            // Answered: a further dialog that `act` opens needs its own watcher.
            modalguard::forget(expected);
            act(w);
        } else if (started->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return timer;
}

// For a test that finds and answers a modal dialog of class W itself: while
// the returned token lives, such dialogs are expected.
template <typename W>
[[nodiscard]] std::shared_ptr<void> expectModal()
{
    auto expected = modalguard::expect<W>();
    return std::shared_ptr<void>(nullptr, [expected](void*) { modalguard::forget(expected); });
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
