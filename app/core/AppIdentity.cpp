#include "AppIdentity.h"

#include <QDate>
#include <QSettings>

namespace {
// The maker's web site; ".example" never resolves, so nothing leaves for a
// stranger's host until a real address exists.
const char* const kCompanyName = "Vantrel Imaging";
const char* const kHomePage = "https://www.vantrel.example/";
const char* const kFeedUrl = "https://updates.vantrel.example/update/update.json";
} // namespace

QString ApplicationDisplayName()
{
    return QStringLiteral("Vantrel HDR");
}

int ProductChannel()
{
    return 1;
}

int ProductId()
{
    return 4;
}

QString CopyrightText()
{
    return QStringLiteral("Copyright \u00A9 %1 %2. All rights reserved.")
        .arg(QString::number(QDate::currentDate().year()), QString::fromLatin1(kCompanyName));
}

QString HomePageUrl()
{
    return QString::fromLatin1(kHomePage);
}

QSettings* AppSettings()
{
    // Relative name: the file is looked for in the working folder.
    static QSettings* settings = new QSettings(QStringLiteral("Settings.ini"), QSettings::IniFormat);
    return settings;
}

QString DefaultUpdateFeedUrl()
{
    return QString::fromLatin1(kFeedUrl);
}

QString UpdateFeedUrl()
{
    return AppSettings()->value(QStringLiteral("checkupdate/url"), DefaultUpdateFeedUrl()).toString();
}
