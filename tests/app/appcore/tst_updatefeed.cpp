#include "DownloadSafety.h"
#include "UpdateFeed.h"

#include <QTemporaryDir>
#include <QtTest>

class TestUpdateFeed : public QObject
{
    Q_OBJECT
private slots:
    void versions_data();
    void versions();
    void feedEntry_data();
    void feedEntry();
    void feedFields();
    void fetchPolicy_data();
    void fetchPolicy();
    void redirects_data();
    void redirects();
    void fileNames_data();
    void fileNames();
    void freePath();
};

void TestUpdateFeed::versions_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<bool>("newer");
    QTest::newRow("last part higher") << "2.1.0.119" << "2.1.0.118" << true;
    QTest::newRow("extra part") << "2.1.0.118.1" << "2.1.0.118" << true;
    QTest::newRow("fewer parts") << "2.1" << "2.1.0" << false;
    QTest::newRow("empty latest") << "" << "2.1.0.118" << false;
    QTest::newRow("equal") << "2.1.0.118" << "2.1.0.118" << false;
    QTest::newRow("older") << "2.0.9.999" << "2.1.0.118" << false;
    QTest::newRow("numeric not text") << "2.10" << "2.9" << true;
    QTest::newRow("text counts as 0") << "2.x" << "2.0" << false;
    QTest::newRow("overflow counts as 0") << "99999999999" << "1" << false;
    QTest::newRow("major decides") << "3" << "2.99.99" << true;
}

void TestUpdateFeed::versions()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(bool, newer);
    QCOMPARE(isNewerVersion(x, y), newer);
}

void TestUpdateFeed::feedEntry_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("version");

    const QByteArray good = R"({"linux":[
        {"module-name":"Other","channel":1,"latest-version":"9.0"},
        {"module-name":"Vantrel HDR","channel":2,"latest-version":"8.0"},
        {"module-name":"vantrel hdr","channel":1,"latest-version":"7.0"},
        {"module-name":"Vantrel HDR","channel":1,"latest-version":"3.0"},
        {"module-name":"Vantrel HDR","channel":1,"latest-version":"4.0"}]})";
    QTest::newRow("first matching entry") << good << int(UpdateFeedStatus::Found) << "3.0";
    QTest::newRow("windows only") << QByteArray(R"({"windows":[{"module-name":"Vantrel HDR","channel":1}]})")
                                  << int(UpdateFeedStatus::NoEntry) << "";
    QTest::newRow("missing channel counts as 0")
        << QByteArray(R"({"linux":[{"module-name":"Vantrel HDR","latest-version":"5"}]})")
        << int(UpdateFeedStatus::NoEntry) << "";
    QTest::newRow("platform not an array") << QByteArray(R"({"linux":{"module-name":"Vantrel HDR"}})")
                                           << int(UpdateFeedStatus::NoEntry) << "";
    QTest::newRow("entries not objects") << QByteArray(R"({"linux":[1,"x",null,[]]})")
                                         << int(UpdateFeedStatus::NoEntry) << "";
    QTest::newRow("root array") << QByteArray("[1,2]") << int(UpdateFeedStatus::NoEntry) << "";
    QTest::newRow("truncated") << good.left(good.size() / 2) << int(UpdateFeedStatus::Malformed) << "";
    QTest::newRow("not json") << QByteArray("<html>hello</html>") << int(UpdateFeedStatus::Malformed) << "";
    QTest::newRow("empty") << QByteArray() << int(UpdateFeedStatus::Malformed) << "";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\"", 5) << int(UpdateFeedStatus::Malformed) << "";
    QByteArray huge = "{\"linux\":[],\"pad\":\"" + QByteArray(kMaxUpdateFeedBytes, 'a') + "\"}";
    QTest::newRow("too large") << huge << int(UpdateFeedStatus::Malformed) << "";
}

void TestUpdateFeed::feedEntry()
{
    QFETCH(QByteArray, json);
    QFETCH(int, status);
    QFETCH(QString, version);
    UpdateFeedEntry entry;
    QCOMPARE(int(parseUpdateFeed(json, QStringLiteral("linux"), QStringLiteral("Vantrel HDR"), 1, &entry)), status);
    QCOMPARE(entry.latestVersion, version);
}

void TestUpdateFeed::feedFields()
{
    const QByteArray json = R"({"linux":[{"module-name":"Vantrel HDR","channel":1,
        "open-url":"https://x.example/p","changelog":"<b>c</b>","download-url":"https://x.example/a.run",
        "latest-version":"2.2","sha256":" ABCDEF ","mandatory-update":true}]})";
    UpdateFeedEntry entry;
    QCOMPARE(parseUpdateFeed(json, "linux", "Vantrel HDR", 1, &entry), UpdateFeedStatus::Found);
    QCOMPARE(entry.openUrl, QStringLiteral("https://x.example/p"));
    QCOMPARE(entry.changelog, QStringLiteral("<b>c</b>"));
    QCOMPARE(entry.downloadUrl, QStringLiteral("https://x.example/a.run"));
    QCOMPARE(entry.sha256, QStringLiteral("abcdef"));
    QVERIFY(entry.hasMandatory);
    QVERIFY(entry.mandatory);

    UpdateFeedEntry plain;
    QCOMPARE(parseUpdateFeed(R"({"linux":[{"module-name":"M","channel":0}]})", "linux", "M", 0, &plain),
             UpdateFeedStatus::Found);
    QVERIFY(!plain.hasMandatory);
}

void TestUpdateFeed::fetchPolicy_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("https") << "https://updates.vantrel.example/update/update.json" << true;
    QTest::newRow("http remote") << "http://updates.vantrel.example/update.json" << false;
    QTest::newRow("http loopback v4") << "http://127.0.0.1:8080/f" << true;
    QTest::newRow("http loopback other") << "http://127.5.5.5/f" << true;
    QTest::newRow("http loopback v6") << "http://[::1]:99/f" << true;
    QTest::newRow("http localhost") << "http://localhost/f" << true;
    QTest::newRow("http lookalike") << "http://127.0.0.1.attacker.example/f" << false;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("ftp") << "ftp://127.0.0.1/x" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("no host") << "https:///x" << false;
    QTest::newRow("empty") << "" << false;
}

void TestUpdateFeed::fetchPolicy()
{
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(isFetchAllowed(QUrl(url)), allowed);
}

void TestUpdateFeed::redirects_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QString>("target");
    QTest::newRow("relative") << "http://127.0.0.1:80/a/b.json" << QByteArray("c.json") << "http://127.0.0.1:80/a/c.json";
    QTest::newRow("absolute path") << "https://h.example/a/b" << QByteArray("/x/y") << "https://h.example/x/y";
    QTest::newRow("https to https") << "https://h.example/a" << QByteArray("https://k.example/b") << "https://k.example/b";
    QTest::newRow("https to http") << "https://h.example/a" << QByteArray("http://127.0.0.1/b") << "";
    QTest::newRow("to file") << "http://127.0.0.1/a" << QByteArray("file:///etc/passwd") << "";
    QTest::newRow("to remote http") << "http://127.0.0.1/a" << QByteArray("http://evil.example/x") << "";
    QTest::newRow("empty") << "https://h.example/a" << QByteArray("  ") << "";
}

void TestUpdateFeed::redirects()
{
    QFETCH(QString, from);
    QFETCH(QByteArray, location);
    QFETCH(QString, target);
    const QUrl result = redirectTarget(QUrl(from), location);
    QCOMPARE(result.isValid() ? result.toString() : QString(), target);
}

void TestUpdateFeed::fileNames_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "https://h.example/d/Setup-2.2.run" << "Setup-2.2.run";
    QTest::newRow("query dropped") << "https://h.example/d/setup.run?x=../../IQSettings.ini" << "setup.run";
    QTest::newRow("fragment dropped") << "https://h.example/d/setup.run#frag" << "setup.run";
    QTest::newRow("dot dot") << "https://h.example/d/.." << defaultDownloadFileName();
    QTest::newRow("trailing slash") << "https://h.example/d/" << defaultDownloadFileName();
    QTest::newRow("encoded traversal") << "https://h.example/d/..%2F..%2FIQSettings.ini" << "IQSettings.ini";
    QTest::newRow("hidden file") << "https://h.example/d/.bashrc" << "bashrc";
    QTest::newRow("odd characters") << "https://h.example/d/a%20b;c$(rm).run" << "a_b_c__rm_.run";
    QTest::newRow("backslash") << "https://h.example/d/..%5C..%5Cx.exe" << "x.exe";
    QTest::newRow("only dots") << "https://h.example/d/..." << defaultDownloadFileName();
}

void TestUpdateFeed::fileNames()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QCOMPARE(sanitizedDownloadFileName(QUrl(url)), name);
    QCOMPARE(sanitizedFileName(QStringLiteral("../x/") + name), name);
    QVERIFY(sanitizedFileName(QString(500, QLatin1Char('a'))).size() <= 120);
}

void TestUpdateFeed::freePath()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QDir dir(tmp.path());
    QCOMPARE(freeFilePath(dir, "a.run"), dir.filePath("a.run"));
    QFile f(dir.filePath("a.run"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(freeFilePath(dir, "a.run"), dir.filePath("a (1).run"));
    QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("a (1).run")));
    QCOMPARE(freeFilePath(dir, "a.run"), dir.filePath("a (2).run"));
}

QTEST_GUILESS_MAIN(TestUpdateFeed)
#include "tst_updatefeed.moc"
