#include <QtTest>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "IQSettings.h"

// The store in a fresh, not yet existing folder tree; restarting it reads back
// what the previous instance wrote.
class TestSettings : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

    QString picturesFallback() const
    {
        const QStringList pictures = QStandardPaths::standardLocations(QStandardPaths::PicturesLocation);
        return pictures.isEmpty() ? QDir::currentPath() : pictures.last();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QCoreApplication::setApplicationName(QStringLiteral("VantrelSettingsTest"));
    }

    void init()
    {
        // Deep, not yet existing parents: the store must create the whole path.
        static int n = 0;
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("case%1/a/b/c").arg(++n)).toUtf8());
        IQSettings::resetInstanceForTesting();
    }

    void defaultsAndFallbacks()
    {
        IQSettings* s = IQSettings::instance();
        QCOMPARE(s->language(), 0);
        QCOMPARE(s->showGuide(), 1);
        QCOMPARE(s->lastOpenTileDir(), picturesFallback());
        QCOMPARE(s->lastSaveDir(), picturesFallback());
        QCOMPARE(s->lastOpenDir(), picturesFallback());
        // A stored folder that is gone falls back too.
        {
            QTemporaryDir gone;
            s->setLastOpenTileDir(gone.path());
            QCOMPARE(s->lastOpenTileDir(), gone.path());
        }
        QCOMPARE(s->lastOpenTileDir(), picturesFallback());
    }

    void valuesSurviveRestartInFreshTree()
    {
        QTemporaryDir folder;
        IQSettings* s = IQSettings::instance();
        const QString file = s->fileName();
        QVERIFY(file.startsWith(QString::fromUtf8(qgetenv("XDG_DATA_HOME"))));
        s->setLanguage(7);
        s->setShowGuide(2);
        s->setLastOpenTileDir(folder.path());
        s->setLastSaveDir(folder.path());
        // Every setter leaves the file up to date before it returns.
        QVERIFY(QFile::exists(file));
        QSettings raw(file, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("app/showGuide")).toString(), QStringLiteral("2"));
        QCOMPARE(raw.value(QStringLiteral("app/language")).toInt(), 7);

        IQSettings::resetInstanceForTesting();
        s = IQSettings::instance();
        QCOMPARE(s->fileName(), file);
        QCOMPARE(s->language(), 7);
        QCOMPARE(s->showGuide(), 2);
        QCOMPARE(s->lastOpenTileDir(), folder.path());
        QCOMPARE(s->lastSaveDir(), folder.path());
    }

    void nonNumericValuesReadAsZero()
    {
        IQSettings* s = IQSettings::instance();
        const QString file = s->fileName();
        IQSettings::resetInstanceForTesting();
        {
            QSettings raw(file, QSettings::IniFormat);
            raw.setValue(QStringLiteral("app/showGuide"), QStringLiteral("yes"));
            raw.setValue(QStringLiteral("app/language"), QStringLiteral("[garbage"));
        }
        s = IQSettings::instance();
        QCOMPARE(s->showGuide(), 0);
        QCOMPARE(s->language(), 0);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
