// Linked into every GUI test executable (vantrel_add_tests with GUI): a
// modal dialog that no armed whenModal() or expectModal() waits for fails the
// running test at once with what the dialog says, and is closed, so a test
// never waits for its time limit on a box nobody answers.
#include "ModalWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

namespace {

// What the dialog says: its class, title and texts.
QString describe(QDialog* dialog)
{
    QStringList parts;
    parts << QString::fromLatin1(dialog->metaObject()->className());
    if (!dialog->windowTitle().isEmpty())
        parts << QStringLiteral("title \"%1\"").arg(dialog->windowTitle());
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        parts << QStringLiteral("text \"%1\"").arg(box->text());
        if (!box->informativeText().isEmpty())
            parts << QStringLiteral("informative text \"%1\"").arg(box->informativeText());
        QStringList buttons;
        for (QAbstractButton* b : box->buttons())
            buttons << b->text().remove(QLatin1Char('&'));
        parts << QStringLiteral("buttons %1").arg(buttons.join(QLatin1Char('/')));
    } else {
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->isVisibleTo(dialog) && !label->text().isEmpty())
                parts << QStringLiteral("\"%1\"").arg(label->text());
    }
    return parts.join(QStringLiteral(", "));
}

class UnexpectedModalGuard : public QObject
{
public:
    explicit UnexpectedModalGuard(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isWindow() || dialog->windowModality() == Qt::NonModal)
            return false;
        // The waiting dialog asks nothing: it closes itself when its work ends.
        if (dialog->inherits("QWaitingDialog") || modalguard::isExpected(dialog))
            return false;
        const QByteArray message = "An unexpected modal dialog opened: " + describe(dialog).toUtf8();
        if (QTest::currentTestFunction())
            QTest::qFail(message.constData(), __FILE__, __LINE__);
        else
            qCritical("%s", message.constData());
        // Closed from the event loop, once it is fully shown: a dialog's
        // exec() then returns and the test goes on to its end.
        QPointer<QDialog> shown = dialog;
        QMetaObject::invokeMethod(
            this,
            [shown] {
                if (!shown)
                    return;
                shown->reject();
                if (shown && shown->isVisible())
                    shown->done(QDialog::Rejected);
            },
            Qt::QueuedConnection);
        return false;
    }
};

void installUnexpectedModalGuard()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        qApp->installEventFilter(new UnexpectedModalGuard(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installUnexpectedModalGuard)
