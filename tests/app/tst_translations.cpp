#include <QtTest>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include "IQSettings.h"
#include "Translations.h"
#include "WebLinks.h"

namespace {
struct Message {
    QString context;
    QString source;
};

// Every message of a .ts source, as lupdate and lrelease read it.
QList<Message> readMessages(const QString& path)
{
    QList<Message> list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return list;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            QString text;
            // <byte value="xd"/> stands for a carriage return.
            while (!(xml.isEndElement() && xml.name() == QLatin1String("source")) && !xml.atEnd()) {
                xml.readNext();
                if (xml.isCharacters())
                    text += xml.text();
                else if (xml.isStartElement() && xml.name() == QLatin1String("byte"))
                    text += QChar(xml.attributes().value(QLatin1String("value")).toString().mid(1).toInt(nullptr, 16));
            }
            list.append({context, text});
        }
    }
    return list;
}

QString tsDir()
{
    return QStringLiteral(VANTREL_TS_DIR);
}

const QStringList kSuffixes = {"_ae", "_cn", "_da", "_de", "_du", "_en", "_fr", "_gr",
                               "_it", "_jp", "_no", "_pr", "_ru", "_sp", "_sw", "_tk"};

QStringList placeholders(const QString& text)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(0);
    found.sort();
    return found;
}
} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

    void freshSettings()
    {
        static int n = 0;
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("case%1").arg(++n)).toUtf8());
        IQSettings::resetInstanceForTesting();
    }

    void checkFile(const QString& kind, const QString& suffix)
    {
        const QList<Message> messages = readMessages(tsDir() + QLatin1Char('/') + kind + QStringLiteral("_en.ts"));
        QVERIFY(messages.size() > 20);
        QTranslator translator;
        const QString resource = (kind == QLatin1String("language") ? QStringLiteral(":/qm/") : QStringLiteral(":/update/"))
                                 + kind + suffix + QStringLiteral(".qm");
        QVERIFY2(translator.load(resource), qPrintable(resource));
        for (const Message& m : messages) {
            const QString text = translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData());
            const QString where = resource + QLatin1Char(' ') + m.context + QStringLiteral(": ") + m.source;
            // Untranslated or unfinished messages come back empty.
            QVERIFY2(!text.trimmed().isEmpty(), qPrintable(where));
            if (m.source.startsWith(QLatin1String("IDS_")))
                QVERIFY2(!text.contains(QLatin1String("IDS_")), qPrintable(where));
            // Arguments survive translation.
            QVERIFY2(placeholders(text) == placeholders(m.source), qPrintable(where + QStringLiteral(" -> ") + text));
            // Line breaks of multi-line texts too.
            QCOMPARE(text.count(QLatin1Char('\n')), m.source.count(QLatin1Char('\n')));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QCoreApplication::setApplicationName(QStringLiteral("VantrelTranslationsTest"));
    }

    void sourcesAgree_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("application") << QStringLiteral("language");
        QTest::newRow("update") << QStringLiteral("update");
    }

    // Every language's source lists the same messages as the English one,
    // with nothing unfinished or obsolete.
    void sourcesAgree()
    {
        QFETCH(QString, kind);
        const QList<Message> english = readMessages(tsDir() + QLatin1Char('/') + kind + QStringLiteral("_en.ts"));
        for (const QString& suffix : kSuffixes) {
            const QString path = tsDir() + QLatin1Char('/') + kind + suffix + QStringLiteral(".ts");
            const QList<Message> other = readMessages(path);
            QCOMPARE(other.size(), english.size());
            for (int i = 0; i < other.size(); ++i) {
                QCOMPARE(other[i].context, english[i].context);
                QCOMPARE(other[i].source, english[i].source);
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray content = file.readAll();
            QVERIFY2(!content.contains("type=\"unfinished\""), qPrintable(path));
            QVERIFY2(!content.contains("type=\"vanished\""), qPrintable(path));
            QVERIFY2(!content.contains("type=\"obsolete\""), qPrintable(path));
        }
    }

    void everyTextTranslated_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        for (const QString& suffix : kSuffixes) {
            QTest::newRow(qPrintable(QStringLiteral("language") + suffix)) << QStringLiteral("language") << suffix;
            QTest::newRow(qPrintable(QStringLiteral("update") + suffix)) << QStringLiteral("update") << suffix;
        }
    }

    void everyTextTranslated()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        checkFile(kind, suffix);
    }

    // The other languages really are other languages: most texts differ from English.
    void notLeftInEnglish()
    {
        const QList<Message> messages = readMessages(tsDir() + QStringLiteral("/language_en.ts"));
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/qm/language_en.qm")));
        for (const QString& suffix : kSuffixes) {
            if (suffix == QLatin1String("_en"))
                continue;
            QTranslator other;
            QVERIFY(other.load(QStringLiteral(":/qm/language") + suffix));
            int same = 0;
            for (const Message& m : messages) {
                const QByteArray c = m.context.toUtf8(), s = m.source.toUtf8();
                if (english.translate(c, s) == other.translate(c, s))
                    ++same;
            }
            // A few words are the same in several languages ("HDR", "Gamma", "Original").
            QVERIFY2(same <= messages.size() / 6, qPrintable(suffix + QStringLiteral(": %1 texts as in English").arg(same)));
        }
    }

    void englishTexts_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("english");
        const char* rows[][3] = {
            {"MainWindow", "IDS_HELP", "Help"},
            {"MainWindow", "IDS_MENU_ONLINE_HELP", "Online Help"},
            {"MainWindow", "IDS_MENU_FAQ", "Product FAQ"},
            {"MainWindow", "IDS_MENU_CCS", "Contact Customer Service"},
            {"MainWindow", "IDS_ABOUT", "About"},
            {"MainWindow", "IDS_SAME_SIZE", "Sorry, the source images resolution must be the same for each photo in the set."},
            {"MainWindow", "IDS_READ_FAILED", "The selected image cannot be opened. It is either damaged or unsupported."},
            {"MainWindow", "IDS_ERROR", "Unable to create HDR."},
            {"MainWindow", "IDS_SAVE_PROMPT", "Your changes will be lost if you don\u2019t save them."},
            {"MainWindow", "Language", "Language"},
            {"IQAdjustingFrame", "IDS_SAVE_PROMPT", "Your changes will be lost if you don\u2019t save them."},
            {"IQAdjustingFrame", "IDS_SAVE", "Save As"},
            {"IQAdjustingFrame", "IDS_COLOR_FILTER", "Color Filter"},
            {"IQAdjustingFrame", "IDS_VIGNETTING", "Vignetting"},
            {"IQAdjustingFrame", "IDS_CONTRAST", "Contrast"},
            {"IQAdjustingFrame", "IDS_BRIGHTNESS", "Brightness"},
            {"IQAdjustingFrame", "IDS_SATURATION", "Saturation"},
            {"IQAdjustingFrame", "Medium  High Contrast", "Medium  High Contrast"},
            {"IQGuideDialog", "IDS_AC_DONTSHOWAGAIN", "Don't show again"},
            {"IQGuideDialog", "IDS_AC_CLOSE", "Close"},
            {"IQTilesFrame", "IDS_REMOVE_PHOTOS", "Remove Photos"},
            {"IQTilesFrame", "IDS_NEXT", "Next"},
            {"IQTilesFrame", "Bracketing Mode.\r\nPlease select 3 or more photos with different exposures.",
             "Bracketing Mode.\r\nPlease select 3 or more photos with different exposures."},
            {"QToolBoxWidget", "IDS_RESTORE", "Reset"},
            {"QObject", "B/W", "B/W"},
            {"QObject", "%1 already exists.\nDo you want to replace it?", "%1 already exists.\nDo you want to replace it?"},
        };
        for (const auto& r : rows)
            QTest::newRow(qPrintable(QString::fromUtf8(r[0]) + QLatin1Char(' ')
                                     + QString::fromUtf8(r[1]).section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0)))
                << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]);
    }

    void englishTexts()
    {
        QFETCH(QString, context);
        QFETCH(QString, key);
        QFETCH(QString, english);
        QTranslator t;
        QVERIFY(t.load(QStringLiteral(":/qm/language_en")));
        QCOMPARE(t.translate(context.toUtf8().constData(), key.toUtf8().constData()), english);
    }

    void englishUpdateTextsAreTheSources()
    {
        QTranslator t;
        QVERIFY(t.load(QStringLiteral(":/update/update_en")));
        for (const Message& m : readMessages(tsDir() + QStringLiteral("/update_en.ts")))
            QCOMPARE(t.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData()), m.source);
    }

    // What the build ships: sixteen application and update files, Qt's own
    // files, and never a bare file that would catch every fallback.
    void shippedFiles()
    {
        for (const QString& suffix : kSuffixes) {
            QVERIFY(QFile::exists(QStringLiteral(":/qm/language") + suffix + QStringLiteral(".qm")));
            QVERIFY(QFile::exists(QStringLiteral(":/update/update") + suffix + QStringLiteral(".qm")));
        }
        QVERIFY(!QFile::exists(QStringLiteral(":/qm/language.qm")));
        QVERIFY(!QFile::exists(QStringLiteral(":/update/update.qm")));
        QVERIFY(!QFile::exists(QStringLiteral(":/qt/qtbase.qm")));
        QCOMPARE(QDir(QStringLiteral(":/qm")).entryList().size(), 16);
        QCOMPARE(QDir(QStringLiteral(":/update")).entryList().size(), 16);
        for (const char* lang : {"ar", "da", "de", "en", "es", "fr", "it", "ja", "nl", "ru", "tr", "zh_CN", "pt"})
            QVERIFY2(QFile::exists(QStringLiteral(":/qt/qtbase_%1.qm").arg(QLatin1String(lang))), lang);
    }

    void fileNames_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("qtLoaded"); // empty: Qt's texts stay English
        auto row = [](const char* name, QLocale::Language l, const char* s, const char* qt, const char* loaded) {
            QTest::newRow(name) << int(l)
                                << QStringList{QStringLiteral(":/qm/language") + QLatin1String(s),
                                               QStringLiteral(":/update/update") + QLatin1String(s),
                                               QStringLiteral(":/qt/qtbase") + QLatin1String(qt)}
                                << QString::fromLatin1(loaded);
        };
        row("arabic", QLocale::Arabic, "_ae", "_ar", ":/qt/qtbase_ar.qm");
        row("chinese", QLocale::Chinese, "_cn", "_zh_CN", ":/qt/qtbase_zh_CN.qm");
        row("dutch", QLocale::Dutch, "_du", "_nl", ":/qt/qtbase_nl.qm");
        row("greek", QLocale::Greek, "_gr", "_en", ":/qt/qtbase_en.qm");
        row("japanese", QLocale::Japanese, "_jp", "_ja", ":/qt/qtbase_ja.qm");
        row("norwegian", QLocale::NorwegianBokmal, "_no", "_en", ":/qt/qtbase_en.qm");
        row("portuguese", QLocale::Portuguese, "_pr", "_pt_PT", ":/qt/qtbase_pt.qm");
        row("spanish", QLocale::Spanish, "_sp", "_es", ":/qt/qtbase_es.qm");
        row("swedish", QLocale::Swedish, "_sw", "_sv", "");
        row("turkish", QLocale::Turkish, "_tk", "_tr", ":/qt/qtbase_tr.qm");
        row("korean is not offered", QLocale::Korean, "_en", "_en", ":/qt/qtbase_en.qm");
    }

    void fileNames()
    {
        QFETCH(int, language);
        QFETCH(QStringList, files);
        QFETCH(QString, qtLoaded);
        QCOMPARE(TranslationFileNames(QLocale::Language(language)), files);
        QTranslator app, update, qt;
        QVERIFY(app.load(files[0], QString(), QString(), QString()));
        QVERIFY(update.load(files[1], QString(), QString(), QString()));
        QCOMPARE(qt.load(files[2], QString(), QString(), QString()), !qtLoaded.isEmpty());
        if (!qtLoaded.isEmpty())
            QCOMPARE(qt.filePath(), qtLoaded);
    }

    void languageRecord()
    {
        const QMap<QLocale::Language, QString>& map = WebLinks::instance()->languages();
        const QList<int> expected = {14, 58, 68, 72, 75, 85, 94, 96, 119, 120, 209, 231, 239, 270, 275, 298};
        QList<int> keys;
        for (QLocale::Language l : map.keys())
            keys << int(l);
        QCOMPARE(keys, expected);
        QCOMPARE(WebLinks().languages().keys(), map.keys());
        // The names the menu shows, each in its own language, in menu order.
        const QStringList names = {QStringLiteral("\u0627\u0644\u0639\u0631\u0628\u064A\u0629"),
                                   QStringLiteral("\u4E2D\u6587"),
                                   QStringLiteral("Dansk"),
                                   QStringLiteral("Nederlands"),
                                   QStringLiteral("English"),
                                   QStringLiteral("Fran\u00E7ais"),
                                   QStringLiteral("Deutsch"),
                                   QStringLiteral("\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"),
                                   QStringLiteral("Italiano"),
                                   QStringLiteral("\u65E5\u672C\u8A9E"),
                                   QStringLiteral("Norsk"),
                                   QStringLiteral("Portugu\u00EAs"),
                                   QStringLiteral("\u0420\u0443\u0441\u0441\u043A\u0438\u0439"),
                                   QStringLiteral("Espa\u00F1ol"),
                                   QStringLiteral("Svenska"),
                                   QStringLiteral("T\u00FCrk\u00E7e")};
        QCOMPARE(map.values(), names);
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(LanguageNativeName(QLocale::Language(expected.at(i))), names.at(i));
        QCOMPARE(LanguageNativeName(QLocale::Korean), QStringLiteral("English"));
        QCOMPARE(LanguageNativeName(QLocale::AnyLanguage), QStringLiteral("English"));
    }

    // Runs before anything stores a choice: the record stays 0.
    void chosenFromSystemLocale()
    {
        freshSettings();
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(SystemLanguage(), QLocale::German);
        QCOMPARE(ChooseInterfaceLanguage(), QLocale::German);
        QCOMPARE(int(WebLinks::instance()->language()), 0);
        // A stored value whose low 16 bits are 0 counts as no choice.
        IQSettings::instance()->setLanguage(0x10000);
        QCOMPARE(ChooseInterfaceLanguage(), QLocale::German);
        QCOMPARE(int(WebLinks::instance()->language()), 0);

        InstallTranslators(nullptr);
        QCOMPARE(InstalledTranslationFiles(),
                 QStringList({":/qm/language_de.qm", ":/update/update_de.qm", ":/qt/qtbase_de.qm"}));
        QCOMPARE(QCoreApplication::translate("MainWindow", "IDS_HELP"), QStringLiteral("Hilfe"));
        QCOMPARE(QCoreApplication::translate("Updater", "Would you like to download the update now?"),
                 QStringLiteral("M\u00F6chten Sie das Update jetzt herunterladen?"));
        QLocale::setDefault(saved);
    }

    void chosenFromSettings_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("installed");
        // Which files each language maps to is checked in fileNames().
        QTest::newRow("swedish") << 275 << 275
                                 << QStringList{":/qm/language_sw.qm", ":/update/update_sw.qm", QString()};
        QTest::newRow("high bits ignored") << (0x30000 | 94) << 94
                                           << QStringList{":/qm/language_de.qm", ":/update/update_de.qm", ":/qt/qtbase_de.qm"};
        QTest::newRow("unknown number") << 5 << 5
                                        << QStringList{":/qm/language_en.qm", ":/update/update_en.qm", ":/qt/qtbase_en.qm"};
        QTest::newRow("english") << 75 << 75
                                 << QStringList{":/qm/language_en.qm", ":/update/update_en.qm", ":/qt/qtbase_en.qm"};
    }

    void chosenFromSettings()
    {
        QFETCH(int, stored);
        QFETCH(int, language);
        QFETCH(QStringList, installed);
        freshSettings();
        IQSettings::instance()->setLanguage(stored);
        // The system language (whatever it is here) does not matter.
        QCOMPARE(int(ChooseInterfaceLanguage()), language);
        QCOMPARE(int(WebLinks::instance()->language()), language);
        InstallTranslators(nullptr);
        QCOMPARE(InstalledTranslationFiles(), installed);
        QTranslator app;
        QVERIFY(app.load(installed[0]));
        QCOMPARE(QCoreApplication::translate("MainWindow", "IDS_HELP"), app.translate("MainWindow", "IDS_HELP"));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
