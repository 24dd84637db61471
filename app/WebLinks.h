#pragma once
#include <QLocale>
#include <QMap>
#include <QString>

// The language record: the interface language the user chose (0 when the
// choice was never made) and the sixteen interface languages in menu order.
class WebLinks {
public:
    WebLinks();

    // The process-wide record, created on first use.
    static WebLinks* instance();

    // The chosen interface language; 0 when the settings hold no choice.
    QLocale::Language language() const { return QLocale::Language(m_language); }
    void setLanguage(QLocale::Language language) { m_language = quint16(language); }

    // The sixteen interface languages with their native names, ordered by
    // their numbers (the order of the Language menu).
    const QMap<QLocale::Language, QString>& languages() const { return m_languages; }

private:
    quint16 m_language = 0;
    QMap<QLocale::Language, QString> m_languages;
};
