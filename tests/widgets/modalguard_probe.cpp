// A test program with the unexpected-dialog guard linked in, run by
// tst_widgets_modalguard: each test function meets a modal dialog, some
// expected by the test, some not.
#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>

#include "ModalWatcher.h"

class ModalGuardProbe : public QObject
{
    Q_OBJECT
private slots:
    // A question box in its own event loop that nobody answers.
    void unexpectedQuestion()
    {
        const auto answer = QMessageBox::question(nullptr, QStringLiteral("Probe"),
                                                  QStringLiteral("Replace the file \"probe.png\"?"),
                                                  QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(answer, QMessageBox::Yes);
    }

    // A box opened without its own loop while the test waits for something
    // else that the box holds up.
    void unexpectedWhileWaiting()
    {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Probe"),
                                    QStringLiteral("No space left on device"), QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        bool answered = false;
        connect(box, &QMessageBox::finished, this, [&answered](int r) { answered = r == QMessageBox::Ok; });
        box->open();
        QTRY_VERIFY_WITH_TIMEOUT(answered, 200000);
    }

    void unexpectedFileDialog()
    {
        QFileDialog dialog(nullptr, QStringLiteral("Save File"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    }

    // Answered by an armed watcher: nothing to report.
    void answeredByWatcher()
    {
        whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
        const auto answer = QMessageBox::question(nullptr, QStringLiteral("Probe"), QStringLiteral("Go on?"),
                                                  QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(answer, QMessageBox::No);
    }

    // Looked at and answered by the test itself.
    void answeredByTheTest()
    {
        const auto expected = expectModal<QMessageBox>();
        QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Information, QStringLiteral("Probe"),
                                                    QStringLiteral("Done."), QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        QTRY_VERIFY(box && box->isVisible());
        QTest::qWait(100);
        QVERIFY(box);
        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!box);
    }

    // A watcher that has answered one box does not cover the next.
    void secondBoxAfterTheAnsweredOne()
    {
        whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
        QMessageBox::information(nullptr, QStringLiteral("Probe"), QStringLiteral("First."));
        QMessageBox::information(nullptr, QStringLiteral("Probe"), QStringLiteral("Second, unanswered."));
    }
};

QTEST_MAIN(ModalGuardProbe)
#include "modalguard_probe.moc"
