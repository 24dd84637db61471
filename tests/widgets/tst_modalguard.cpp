// The unexpected-dialog guard of the GUI tests, in a real test program: a
// modal dialog nobody waits for fails the test at once with its text, and
// the program ends instead of waiting for its time limit.
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

class TestModalGuard : public QObject
{
    Q_OBJECT
private slots:
    void unexpectedDialogsFailAtOnce_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("reported");
        QTest::newRow("question in its own loop")
            << "unexpectedQuestion" << false
            << "An unexpected modal dialog opened: QMessageBox, title \"Probe\", "
               "text \"Replace the file \"probe.png\"?\", buttons Yes/No";
        QTest::newRow("box while the test waits")
            << "unexpectedWhileWaiting" << false
            << "An unexpected modal dialog opened: QMessageBox, title \"Probe\", text \"No space left on device\"";
        QTest::newRow("file dialog") << "unexpectedFileDialog" << false
                                     << "An unexpected modal dialog opened: QFileDialog, title \"Save File\"";
        QTest::newRow("second box after the answered one")
            << "secondBoxAfterTheAnsweredOne" << false << "text \"Second, unanswered.\"";
        QTest::newRow("answered by a watcher") << "answeredByWatcher" << true << "";
        QTest::newRow("answered by the test") << "answeredByTheTest" << true << "";
    }

    void unexpectedDialogsFailAtOnce()
    {
        QFETCH(QString, function);
        QFETCH(bool, passes);
        QFETCH(QString, reported);
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        probe.setProcessEnvironment(env);
        probe.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer clock;
        clock.start();
        probe.start(QStringLiteral(MODALGUARD_PROBE), {function});
        // The probe's own waits run for minutes when the guard does nothing.
        QVERIFY(probe.waitForFinished(120000));
        const QString output = QString::fromUtf8(probe.readAll());
        qInfo("%s: ended after %lld ms", qPrintable(function), qint64(clock.elapsed()));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QVERIFY2((probe.exitCode() == 0) == passes, qPrintable(output));
        const QString failLine = QStringLiteral("FAIL!  : ModalGuardProbe::%1()").arg(function);
        QCOMPARE(output.contains(failLine), !passes);
        if (!passes)
            QVERIFY2(output.contains(reported), qPrintable(output));
    }
};

QTEST_MAIN(TestModalGuard)
#include "tst_modalguard.moc"
