#include "AppIdentity.h"

#include <QDate>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

class TestIdentity : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void identity();
    void feedUrlFromWorkingFolder();

private:
    QTemporaryDir m_work;
    QString m_startFolder;
};

void TestIdentity::initTestCase()
{
    QVERIFY(m_work.isValid());
    m_startFolder = QDir::currentPath();
    // The store is opened on first use, relative to the working folder then.
    QVERIFY(QDir::setCurrent(m_work.path()));
}

void TestIdentity::identity()
{
    QCOMPARE(ApplicationDisplayName(), QStringLiteral("Vantrel HDR"));
    QCOMPARE(ProductChannel(), 1);
    QCOMPARE(ProductId(), 4);
    const QString copyright = CopyrightText();
    QVERIFY(copyright.contains(QString::number(QDate::currentDate().year())));
    QVERIFY(!copyright.contains(QLatin1Char('%')));
    for (const QString& address : {HomePageUrl(), DefaultUpdateFeedUrl()}) {
        const QUrl url(address);
        QCOMPARE(url.scheme(), QStringLiteral("https"));
        QVERIFY2(url.host().endsWith(QLatin1String(".example")), qPrintable(address));
    }
    QCOMPARE(QUrl(DefaultUpdateFeedUrl()).path(), QStringLiteral("/update/update.json"));
}

void TestIdentity::feedUrlFromWorkingFolder()
{
    // No "Settings.ini" yet: the built-in address.
    QCOMPARE(UpdateFeedUrl(), DefaultUpdateFeedUrl());
    QSettings* store = AppSettings();
    QCOMPARE(AppSettings(), store);
    QCOMPARE(QFileInfo(store->fileName()).absoluteFilePath(),
             QDir(m_work.path()).absoluteFilePath(QStringLiteral("Settings.ini")));
    QVERIFY(QFileInfo(store->fileName()).absolutePath() != QCoreApplication::applicationDirPath());

    QFile ini(QDir(m_work.path()).filePath(QStringLiteral("Settings.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[checkupdate]\nurl=https://mirror.vantrel.example/feed.json\n");
    ini.close();
    store->sync();
    QCOMPARE(UpdateFeedUrl(), QStringLiteral("https://mirror.vantrel.example/feed.json"));

    // Changing folders later does not move the store.
    QVERIFY(QDir::setCurrent(m_startFolder));
    QCOMPARE(UpdateFeedUrl(), QStringLiteral("https://mirror.vantrel.example/feed.json"));
}

QTEST_GUILESS_MAIN(TestIdentity)
#include "tst_identity.moc"
