#pragma once
#include <QDir>
#include <QString>

// Where tests write screenshots and other files for a person to look at.
inline QString testOutputDir()
{
    QString dir = qEnvironmentVariable("VANTREL_TEST_OUTPUT");
    if (dir.isEmpty())
        dir = QDir::temp().filePath(QStringLiteral("vantrel-test-output"));
    QDir().mkpath(dir);
    return dir;
}

// The shared real photos, or an empty string when the folder is absent.
inline QString sharedTestDataDir()
{
    const QString dir = qEnvironmentVariable("VANTREL_TESTDATA");
    return (!dir.isEmpty() && QDir(dir).exists()) ? QDir(dir).canonicalPath() : QString();
}
