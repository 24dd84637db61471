#pragma once
#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

// One interface language: its stored number, the suffix of the application
// and update translation files, the suffix of Qt's own file and its name in
// its own language.
struct InterfaceLanguage {
    QLocale::Language language;
    const char* suffix;
    const char* qtSuffix;
    const char* nativeName;
};

// The sixteen interface languages, ascending by number.
const QList<InterfaceLanguage>& InterfaceLanguages();

// The language of a default-constructed QLocale.
QLocale::Language SystemLanguage();
// The language's own name; "English" for a language that is not offered.
QString LanguageNativeName(QLocale::Language language);

// Suffix of the application and update files ("_de"); "_en" for any other language.
QString LanguageFileSuffix(QLocale::Language language);
// Suffix of Qt's own translation file ("_de"); "_en" for any other language.
QString QtBaseFileSuffix(QLocale::Language language);

// The interface language for this start: the stored choice when its low 16
// bits are not 0 (it is then written into the language record), else the
// system language.
QLocale::Language ChooseInterfaceLanguage();

// The resource names (without ".qm") of the application, update and Qt
// translations of a language, in the order they are installed.
QStringList TranslationFileNames(QLocale::Language language);

// Chooses the interface language and installs the translators that load.
// Called once at start-up, before any window exists.
void InstallTranslators(QCoreApplication* app);

// The files the three translators loaded at the last installation (empty
// for a translator that did not load), in installation order.
QStringList InstalledTranslationFiles();
