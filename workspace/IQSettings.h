#pragma once
#include <QString>
#include <QVariant>

class QSettings;

// The user's preferences in "IQSettings.ini" under the application-data folder.
// Every setter writes the file before it returns.
class IQSettings {
public:
    static IQSettings* instance();

    QString lastOpenDir() const;
    void setLastOpenDir(const QString& dir);
    QString lastOpenTileDir() const;
    void setLastOpenTileDir(const QString& dir);
    QString lastSaveDir() const;
    void setLastSaveDir(const QString& dir);
    int showGuide() const;
    void setShowGuide(int value);
    int language() const;
    void setLanguage(int language);

    // The file behind the store (for diagnostics and tests).
    QString fileName() const;

    // Tests only: forget the process-wide store so the next instance() opens the
    // file afresh (for example after the data location changed).
    static void resetInstanceForTesting();

    ~IQSettings();

private:
    IQSettings();
    QString folderValue(const QString& key) const;
    void write(const QString& key, const QVariant& value);

    QSettings* m_settings = nullptr;
};
