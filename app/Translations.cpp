#include "Translations.h"
#include "WebLinks.h"

#include "IQSettings.h"

#include <QCoreApplication>
#include <QTextCodec>
#include <QTranslator>

const QList<InterfaceLanguage>& InterfaceLanguages()
{
    // The numbers are stored in the settings file. Simplified Chinese is the
    // application's Chinese, so Qt's texts follow it. Portuguese has no Qt file
    // of its own: "_pt_PT" falls back to the shipped "_pt".
    static const QList<InterfaceLanguage> languages = {
        {QLocale::Arabic, "_ae", "_ar", "\u0627\u0644\u0639\u0631\u0628\u064A\u0629"},
        {QLocale::Chinese, "_cn", "_zh_CN", "\u4E2D\u6587"},
        {QLocale::Danish, "_da", "_da", "Dansk"},
        {QLocale::Dutch, "_du", "_nl", "Nederlands"},
        {QLocale::English, "_en", "_en", "English"},
        {QLocale::French, "_fr", "_fr", "Fran\u00E7ais"},
        {QLocale::German, "_de", "_de", "Deutsch"},
        {QLocale::Greek, "_gr", "_en", "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
        {QLocale::Italian, "_it", "_it", "Italiano"},
        {QLocale::Japanese, "_jp", "_ja", "\u65E5\u672C\u8A9E"},
        {QLocale::NorwegianBokmal, "_no", "_en", "Norsk"},
        {QLocale::Portuguese, "_pr", "_pt_PT", "Portugu\u00EAs"},
        {QLocale::Russian, "_ru", "_ru", "\u0420\u0443\u0441\u0441\u043A\u0438\u0439"},
        {QLocale::Spanish, "_sp", "_es", "Espa\u00F1ol"},
        {QLocale::Swedish, "_sw", "_sv", "Svenska"},
        {QLocale::Turkish, "_tk", "_tr", "T\u00FCrk\u00E7e"},
    };
    return languages;
}

namespace {
const InterfaceLanguage* findLanguage(QLocale::Language language)
{
    for (const InterfaceLanguage& l : InterfaceLanguages()) {
        if (l.language == language)
            return &l;
    }
    return nullptr;
}

QTranslator* translators()
{
    // Application, update and Qt texts; process-wide and never freed.
    static QTranslator* list = new QTranslator[3];
    return list;
}

QStringList& installedFiles()
{
    static QStringList files{QString(), QString(), QString()};
    return files;
}
} // namespace

QLocale::Language SystemLanguage()
{
    return QLocale().language();
}

QString LanguageNativeName(QLocale::Language language)
{
    const InterfaceLanguage* l = findLanguage(language);
    return QString::fromUtf8(l ? l->nativeName : "English");
}

QString LanguageFileSuffix(QLocale::Language language)
{
    const InterfaceLanguage* l = findLanguage(language);
    return QString::fromLatin1(l ? l->suffix : "_en");
}

QString QtBaseFileSuffix(QLocale::Language language)
{
    const InterfaceLanguage* l = findLanguage(language);
    return QString::fromLatin1(l ? l->qtSuffix : "_en");
}

QLocale::Language ChooseInterfaceLanguage()
{
    QLocale::Language language = SystemLanguage();
    const quint16 stored = quint16(IQSettings::instance()->language() & 0xFFFF);
    if (stored != 0) {
        language = QLocale::Language(stored);
        WebLinks::instance()->setLanguage(language);
    }
    return language;
}

QStringList TranslationFileNames(QLocale::Language language)
{
    const QString suffix = LanguageFileSuffix(language);
    return {QStringLiteral(":/qm/language") + suffix, QStringLiteral(":/update/update") + suffix,
            QStringLiteral(":/qt/qtbase") + QtBaseFileSuffix(language)};
}

void InstallTranslators(QCoreApplication* app)
{
    Q_UNUSED(app);
    QTranslator* list = translators();
    // Locale-encoded text is decoded with the system's own codec.
    if (QTextCodec* codec = QTextCodec::codecForName("System"))
        QTextCodec::setCodecForLocale(codec);

    const QStringList files = TranslationFileNames(ChooseInterfaceLanguage());
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::removeTranslator(&list[i]);
        installedFiles()[i].clear();
        // No suffix given: Qt adds ".qm" and, failing that, cuts the name at
        // "_" and "." until a file loads.
        if (list[i].load(files[i], QString(), QString(), QString())) {
            QCoreApplication::installTranslator(&list[i]);
            installedFiles()[i] = list[i].filePath();
        }
    }
}

QStringList InstalledTranslationFiles()
{
    return installedFiles();
}
