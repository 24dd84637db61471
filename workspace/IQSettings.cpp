#include "IQSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
IQSettings*& storage()
{
    static IQSettings* store = nullptr;
    return store;
}
}

IQSettings* IQSettings::instance()
{
    IQSettings*& store = storage();
    if (!store)
        store = new IQSettings();
    return store;
}

void IQSettings::resetInstanceForTesting()
{
    delete storage();
    storage() = nullptr;
}

IQSettings::IQSettings()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // A fresh account may lack the parent folders too; create the whole path so
    // settings are not silently lost.
    QDir().mkpath(folder);
    m_settings = new QSettings(folder + QStringLiteral("/IQSettings.ini"), QSettings::IniFormat);
    m_settings->setAtomicSyncRequired(true);
}

IQSettings::~IQSettings()
{
    delete m_settings;
}

QString IQSettings::fileName() const
{
    return m_settings->fileName();
}

QString IQSettings::folderValue(const QString& key) const
{
    QString path = m_settings->value(key).toString();
    if (path.isEmpty() || !QDir(path).exists()) {
        const QStringList pictures = QStandardPaths::standardLocations(QStandardPaths::PicturesLocation);
        path = pictures.isEmpty() ? QDir::currentPath() : pictures.last();
    }
    return path;
}

void IQSettings::write(const QString& key, const QVariant& value)
{
    m_settings->setValue(key, value);
    m_settings->sync();
}

QString IQSettings::lastOpenDir() const { return folderValue(QStringLiteral("/app/lastOpenDir")); }
void IQSettings::setLastOpenDir(const QString& dir) { write(QStringLiteral("/app/lastOpenDir"), dir); }
QString IQSettings::lastOpenTileDir() const { return folderValue(QStringLiteral("/app/lastOpenTileDir")); }
void IQSettings::setLastOpenTileDir(const QString& dir) { write(QStringLiteral("/app/lastOpenTileDir"), dir); }
QString IQSettings::lastSaveDir() const { return folderValue(QStringLiteral("/app/lastSaveDir")); }
void IQSettings::setLastSaveDir(const QString& dir) { write(QStringLiteral("/app/lastSaveDir"), dir); }

int IQSettings::showGuide() const
{
    return m_settings->value(QStringLiteral("/app/showGuide"), QStringLiteral("1")).toInt();
}

void IQSettings::setShowGuide(int value)
{
    write(QStringLiteral("/app/showGuide"), QString::number(value));
}

int IQSettings::language() const
{
    return m_settings->value(QStringLiteral("/app/language"), 0).toInt();
}

void IQSettings::setLanguage(int language)
{
    write(QStringLiteral("/app/language"), language);
}
