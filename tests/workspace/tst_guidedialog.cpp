#include <QtTest>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "IQGuideDialog.h"
#include "IQSettings.h"
#include "tst_mainwindow_support.h"

class TestGuideDialog : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QCoreApplication::setApplicationName(QStringLiteral("VantrelGuideTest"));
    }

    void init()
    {
        static int n = 0;
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("case%1/data").arg(++n)).toUtf8());
        IQSettings::resetInstanceForTesting();
    }

    void form()
    {
        // With a parent it stays a window of its own.
        QWidget parent;
        IQGuideDialog dialog(&parent);
        QVERIFY(dialog.isWindow());
        QCOMPARE(dialog.size(), QSize(533, 399));
        QCOMPARE(dialog.windowTitle(), QString());
        // A title bar without system buttons; still a dialog window.
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & Qt::WindowSystemMenuHint));
        QCOMPARE(dialog.windowType(), Qt::Dialog);
        auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("showAgainChckButn"));
        auto* button = dialog.findChild<QPushButton*>(QStringLiteral("okButn"));
        QVERIFY(check && button);
        QVERIFY(!check->isChecked());
        // Without a translator the keys show through.
        QCOMPARE(check->text(), QStringLiteral("IDS_AC_DONTSHOWAGAIN"));
        QCOMPARE(button->text(), QStringLiteral("IDS_AC_CLOSE"));
    }

    void dontShowAgainIsStoredAndCloseAccepts()
    {
        IQSettings* settings = IQSettings::instance();
        QCOMPARE(settings->showGuide(), 1);
        const QString file = settings->fileName();
        IQGuideDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("showAgainChckButn"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        QVERIFY(check->isChecked());
        QCOMPARE(settings->showGuide(), 2);
        {
            QSettings raw(file, QSettings::IniFormat);
            QCOMPARE(raw.value(QStringLiteral("app/showGuide")).toInt(), 2);
        }
        check->setChecked(false);
        QCOMPARE(settings->showGuide(), 0);
        check->setChecked(true);

        // Close accepts the dialog and leaves the stored choice alone.
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButn")), Qt::LeftButton);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(rejected.count(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(settings->showGuide(), 2);
        // A fresh store reads the last choice back.
        IQSettings::resetInstanceForTesting();
        QCOMPARE(IQSettings::instance()->showGuide(), 2);
    }

    // Last: it installs the application's translators.
    void mainWindowRunsItWithoutParent()
    {
        mwtest::FreshUser user;
        auto window = mwtest::openWindow();
        QVERIFY(window);
        // Off the screen's centre, so centring on the screen would show.
        window->move(10, 20);
        const QRect area = window->screen()->availableGeometry();
        const QPoint expected(10 + window->width() / 2, 20 + window->height() / 2);
        QVERIFY((expected - area.center()).manhattanLength() > 50);
        QPointer<IQGuideDialog> guide;
        QWidget* parent = window.get();
        bool modal = false;
        QRect shown;
        whenModal<IQGuideDialog>([&](IQGuideDialog* d) {
            guide = d;
            parent = d->parentWidget();
            modal = d->isModal() && d->windowModality() == Qt::ApplicationModal;
            shown = d->frameGeometry();
            d->findChild<QPushButton*>(QStringLiteral("okButn"))->click();
        });
        window->showGuide();
        QCOMPARE(parent, nullptr);
        QVERIFY(modal);
        QVERIFY2((shown.center() - expected).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("centre %1,%2").arg(shown.center().x()).arg(shown.center().y())));
        QVERIFY(area.contains(shown));
        // Closed means gone: nothing is left among the windows.
        QVERIFY(guide.isNull());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<IQGuideDialog*>(w));
    }
};

QTEST_MAIN(TestGuideDialog)
#include "tst_guidedialog.moc"
