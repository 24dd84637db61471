#include <QtTest>
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include "AboutBox.h"
#include "AppIdentity.h"
#include "IQGuideDialog.h"
#include "IQSettings.h"
#include "TestPaths.h"
#include "Translations.h"

namespace {
AboutInfo fullInfo()
{
    AboutInfo info;
    info[0] = QStringLiteral("Vantrel HDR");
    info[1] = QStringLiteral("Version: 2.1.0.118");
    info[2] = QStringLiteral("<a style=\"color: #3399FF;\" href=\"https://www.vantrel.example/\">https://www.vantrel.example/</a>");
    info[3] = QStringLiteral("<a style=\"color: #3399FF;\" href=\"https://support.vantrel.example/\">https://support.vantrel.example/</a>");
    info[4] = QStringLiteral("Copyright \u00A9 2026 Vantrel Imaging. All rights reserved.");
    info[5] = QStringLiteral(":/vh/icon/icon_hdr_logo.png");
    return info;
}

QMessageBox* openBox(QWidget* parent)
{
    const QList<QMessageBox*> boxes = parent->findChildren<QMessageBox*>();
    return boxes.isEmpty() ? nullptr : boxes.last();
}
} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QCoreApplication::setApplicationName(QStringLiteral("VantrelAboutTest"));
        QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    }

    void text_data()
    {
        QTest::addColumn<AboutInfo>("info");
        QTest::addColumn<QString>("text");
        const AboutInfo full = fullInfo();
        QTest::newRow("full") << full
                              << QStringLiteral("<h3>Vantrel HDR</h3>Version: 2.1.0.118<br>"
                                                "<p><b>HomePage</b><br>%1</p><p><b>Support</b><br>%2</p><br><p>%3</p>")
                                     .arg(full[2], full[3], full[4]);
        QTest::newRow("empty record") << AboutInfo() << QStringLiteral("<h3>About</h3><br><br>");
        AboutInfo noLinks = full;
        noLinks.remove(2);
        noLinks[3] = QString();
        QTest::newRow("no links") << noLinks
                                  << QStringLiteral("<h3>Vantrel HDR</h3>Version: 2.1.0.118<br><br><p>%1</p>").arg(full[4]);
        AboutInfo supportOnly;
        supportOnly[3] = full[3];
        QTest::newRow("support only") << supportOnly
                                      << QStringLiteral("<h3>About</h3><br><p><b>Support</b><br>%1</p><br>").arg(full[3]);
    }

    void text()
    {
        QFETCH(AboutInfo, info);
        QFETCH(QString, text);
        QCOMPARE(AboutBoxText(info), text);
    }

    void showsNonModalBoxThatDeletesItself()
    {
        QWidget parent;
        parent.resize(300, 200);
        parent.show();
        const AboutInfo info = fullInfo();
        ShowAboutBox(&parent, info);
        QPointer<QMessageBox> box = openBox(&parent);
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(box->windowTitle(), QStringLiteral("Vantrel HDR"));
        QCOMPARE(box->text(), AboutBoxText(info));
        QCOMPARE(box->textFormat(), Qt::AutoText);
        QVERIFY(Qt::mightBeRichText(box->text()));
        QVERIFY(!box->iconPixmap().isNull());
        QCOMPARE(box->iconPixmap().size(), QPixmap(info[5]).size());
        // No visible buttons.
        const QList<QAbstractButton*> buttons = box->buttons();
        QCOMPARE(buttons.size(), 1);
        QVERIFY(!buttons.first()->isVisible());
        // A second box can be open beside the first.
        ShowAboutBox(&parent, info);
        QCOMPARE(parent.findChildren<QMessageBox*>().size(), 2);
        box->close();
        QTRY_VERIFY(box.isNull());
        QCOMPARE(parent.findChildren<QMessageBox*>().size(), 1);
    }

    void logoRatio_data()
    {
        QTest::addColumn<QString>("screenName");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("ratio 1") << QStringLiteral("one") << 1.0;
        QTest::newRow("ratio 1.5") << QStringLiteral("threehalves") << 1.5;
        QTest::newRow("ratio 3 draws at 2") << QStringLiteral("three") << 2.0;
    }

    // The logo follows the screen of the box, up to ratio 2: on a ratio-3
    // screen it shows one and a half times as large as a ratio-3 logo would.
    void logoRatio()
    {
        QFETCH(QString, screenName);
        QFETCH(qreal, ratio);
        QScreen* screen = nullptr;
        for (QScreen* s : QGuiApplication::screens())
            if (s->name() == screenName)
                screen = s;
        if (!screen)
            QSKIP("needs the offscreen screens set up by main()");
        QWidget parent;
        parent.setScreen(screen);
        parent.setGeometry(QRect(screen->geometry().topLeft() + QPoint(20, 20), QSize(200, 100)));
        parent.show();
        const AboutInfo info = fullInfo();
        ShowAboutBox(&parent, info);
        QMessageBox* box = openBox(&parent);
        QVERIFY(box);
        QCOMPARE(box->screen(), screen);
        const QPixmap logo = box->iconPixmap();
        const QSize pixels = QImage(info[5]).size();
        QCOMPARE(logo.size(), pixels);
        QCOMPARE(logo.devicePixelRatio(), ratio);
        QCOMPARE(logo.deviceIndependentSize(), QSizeF(pixels) / ratio);
        box->close();
    }

    void missingLogoAndName()
    {
        QWidget parent;
        AboutInfo info = fullInfo();
        info.remove(0);
        info[5] = QStringLiteral(":/vh/icon/no_such_logo.png");
        ShowAboutBox(&parent, info);
        QPointer<QMessageBox> box = openBox(&parent);
        QVERIFY(box);
        QVERIFY(box->iconPixmap().isNull());
        QCOMPARE(box->windowTitle(), QString());
        QVERIFY(box->text().startsWith(QStringLiteral("<h3>About</h3>")));
        // Garbage in place of a picture gives no icon either.
        QFile bad(m_root.filePath(QStringLiteral("bad.png")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\x89PNG\r\n\x1a\nthis is not a picture");
        bad.close();
        info[5] = bad.fileName();
        ShowAboutBox(&parent, info);
        QVERIFY(openBox(&parent)->iconPixmap().isNull());
        delete box;
    }

    void logoResources()
    {
        const QImage logo(QStringLiteral(":/vh/icon/icon_hdr_logo.png"));
        QVERIFY(!logo.isNull());
        QVERIFY(logo.hasAlphaChannel());
        // The title bar shows the small one at ratio 2 in a 24 x 24 label.
        const QImage small(QStringLiteral(":/vh/icon/icon_hdr_logo_24"));
        QCOMPARE(small.size(), QSize(48, 48));
    }

    // Pictures of the about box and the guide dialog for a person to look at.
    void screenshots_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::newRow("english") << int(QLocale::English) << QStringLiteral("en");
        QTest::newRow("german") << int(QLocale::German) << QStringLiteral("de");
        QTest::newRow("arabic") << int(QLocale::Arabic) << QStringLiteral("ar");
    }

    void screenshots()
    {
        QFETCH(int, language);
        QFETCH(QString, name);
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("shots-") + name).toUtf8());
        IQSettings::resetInstanceForTesting();
        IQSettings::instance()->setLanguage(language);
        InstallTranslators(nullptr);
        QCoreApplication::processEvents(); // the language change sets the layout direction
        QCOMPARE(QGuiApplication::layoutDirection(),
                 language == QLocale::Arabic ? Qt::RightToLeft : Qt::LeftToRight);

        QWidget parent;
        AboutInfo info = fullInfo();
        info[4] = CopyrightText();
        ShowAboutBox(&parent, info);
        QMessageBox* box = openBox(&parent);
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        // Right-to-left: all lines on the right edge, the Latin ones included.
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QCOMPARE(bool(label->alignment() & Qt::AlignRight) && bool(label->alignment() & Qt::AlignAbsolute),
                 language == QLocale::Arabic);
        const QString dir = testOutputDir();
        QVERIFY(box->grab().save(dir + QStringLiteral("/aboutbox_%1.png").arg(name)));
        if (language != QLocale::English)
            QVERIFY(!box->text().contains(QStringLiteral("HomePage")));
        // Addresses keep their reading order in a right-to-left interface.
        QCOMPARE(box->text().contains(QChar(0x202A) + info[2] + QChar(0x202C)), language == QLocale::Arabic);
        box->close();

        IQGuideDialog guide;
        guide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&guide));
        auto* check = guide.findChild<QCheckBox*>(QStringLiteral("showAgainChckButn"));
        auto* button = guide.findChild<QPushButton*>(QStringLiteral("okButn"));
        QVERIFY(check && button);
        QCOMPARE(check->text(), QCoreApplication::translate("IQGuideDialog", "IDS_AC_DONTSHOWAGAIN"));
        QVERIFY(!check->text().startsWith(QStringLiteral("IDS_")));
        QVERIFY(!button->text().startsWith(QStringLiteral("IDS_")));
        QCOMPARE(guide.layoutDirection(), QGuiApplication::layoutDirection());
        QVERIFY(guide.grab().save(dir + QStringLiteral("/guidedialog_%1.png").arg(name)));
    }
};

// Three offscreen screens side by side at device pixel ratios 1, 1.5 and 3
// (logical DPI over the base of 96); the first stays the primary one.
int main(int argc, char** argv)
{
    QTemporaryDir configDir;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen") && configDir.isValid()) {
        const QString config = configDir.filePath(QStringLiteral("screens.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(R"({"screens": [
  {"name": "one", "x": 0, "y": 0, "width": 800, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96},
  {"name": "threehalves", "x": 800, "y": 0, "width": 800, "height": 800, "logicalDpi": 144, "logicalBaseDpi": 96},
  {"name": "three", "x": 1600, "y": 0, "width": 800, "height": 800, "logicalDpi": 288, "logicalBaseDpi": 96}
]})");
            file.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
        }
    }
    QApplication app(argc, argv);
    TestAboutBox test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_aboutbox.moc"
