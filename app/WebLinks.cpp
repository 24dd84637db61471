#include "WebLinks.h"
#include "Translations.h"

WebLinks::WebLinks()
{
    for (const InterfaceLanguage& l : InterfaceLanguages())
        m_languages.insert(l.language, QString::fromUtf8(l.nativeName));
}

WebLinks* WebLinks::instance()
{
    static WebLinks* links = new WebLinks;
    return links;
}
