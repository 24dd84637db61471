// The HDR worker: result codes and pictures through a queued connection,
// errors raised inside the job, and the before picture as a deep copy.
#include "IQHDREngine.h"
#include "IQHDRThread.h"
#include "IQImageConvert.h"
#include "IQImageReadThread.h"
#include "SyntheticScene.h"

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>
#include <opencv2/core.hpp>

#include <new>
#include <stdexcept>

using namespace SyntheticScene;

namespace {

class EngineUnderTest : public IQHDREngine {
public:
    EngineUnderTest() = default;
    // Reinhard's picture with gamma 1, intensity 0, light adaptation 0 and
    // colour adaptation 1, taken before the job uses the radiance map.
    QImage reinhard;
    int load(const QStringList& paths, QList<QImage>& sources) override
    {
        const int code = IQHDREngine::load(paths, sources);
        if (code == IQHDR_OK && paths.size() > 1)
            reinhard = toneMapReinhard(1.0f, 0.0f, 0.0f, 1.0f);
        return code;
    }
};

// An engine whose load raises the given kind of error.
class ThrowingEngine : public IQHDREngine {
public:
    explicit ThrowingEngine(int kind) : m_kind(kind) {}
    int load(const QStringList&, QList<QImage>&) override
    {
        switch (m_kind) {
        case 0:
            throw std::bad_alloc();
        case 1:
            CV_Error(cv::Error::StsBadArg, "picture too small");
        case 2:
            throw std::runtime_error("standard error");
        case 3:
            CV_Error(cv::Error::StsNoMem, "Failed to allocate");
        default:
            throw 42;
        }
    }

private:
    int m_kind;
};

// An engine whose load reports success but leaves nothing to show: no
// radiance map for a series, no picture for a single photo.
class HollowEngine : public IQHDREngine {
public:
    int load(const QStringList&, QList<QImage>&) override { return IQHDR_OK; }
};

// Receives the worker's signal on the test's thread.
class Receiver : public QObject {
    Q_OBJECT
signals:
    void finished(QImage before, QImage after, int code);
};

class ReadReceiver : public QObject {
    Q_OBJECT
signals:
    void finished(QImage image);
};

struct JobResult {
    QImage before, after;
    int code = 1;
    bool received = false;
};

JobResult runOnThread(IQHDREngine* engine, const QStringList& paths)
{
    auto* thread = new IQHDRThread(engine, paths);
    Receiver receiver;
    QObject::connect(thread, &IQHDRThread::threadFinished, &receiver, &Receiver::finished, Qt::QueuedConnection);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QSignalSpy spy(&receiver, &Receiver::finished);
    thread->start();
    JobResult result;
    if (!spy.wait(60000) || spy.size() != 1)
        return result;
    result.received = true;
    result.before = spy[0][0].value<QImage>();
    result.after = spy[0][1].value<QImage>();
    result.code = spy[0][2].toInt();
    return result;
}

} // namespace

class TestHdrThread : public QObject {
    Q_OBJECT

private slots:
    void readerLimitIsOffBeforeTheJobStarts()
    {
        // Runs first: nothing in this process has read a photo yet. The
        // process-wide limit is switched off by the creating thread, not
        // by the job's reader threads racing each other.
        QVERIFY(QImageReader::allocationLimit() != 0);
        EngineUnderTest engine;
        IQHDRThread job(&engine, {QStringLiteral("a.jpg")});
        job.setAutoDelete(false);
        QCOMPARE(QImageReader::allocationLimit(), 0);
    }

    void jobWithoutPictureIsNotOutOfMemory_data()
    {
        QTest::addColumn<int>("photos");
        QTest::newRow("series without radiance map") << 3;
        QTest::newRow("single photo without picture") << 1;
    }
    void jobWithoutPictureIsNotOutOfMemory()
    {
        QFETCH(int, photos);
        HollowEngine engine;
        QStringList paths;
        for (int i = 0; i < photos; ++i)
            paths << QStringLiteral("p%1.jpg").arg(i);
        const JobResult job = runOnThread(&engine, paths);
        QVERIFY(job.received);
        QCOMPARE(job.code, int(IQHDR_FAILED));
        QVERIFY(job.before.isNull() && job.after.isNull());
    }

    void codesThroughTheThread_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<QSize>("afterSize");
        QTest::newRow("single 1001 wide") << "single" << 0 << QSize(1004, 668);
        QTest::newRow("series") << "series" << 0 << QSize(200, 150);
        QTest::newRow("first unreadable") << "unreadable" << -1 << QSize();
        QTest::newRow("sizes differ") << "sizes" << -2 << QSize();
        QTest::newRow("no photo") << "none" << -1 << QSize();
    }
    void codesThroughTheThread()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(QSize, afterSize);
        QTemporaryDir dir;
        QStringList paths;
        if (kind == QLatin1String("single")) {
            paths << writeImage(noiseImage(QSize(1001, 667), 8), dir.path(), QStringLiteral("one"), "jpg");
        } else if (kind != QLatin1String("none")) {
            BracketSpec recipe;
            recipe.size = QSize(200, 150);
            paths = writeBracket(recipe, dir.path(), "png");
            if (kind == QLatin1String("unreadable"))
                paths[0] = dir.filePath(QStringLiteral("missing.jpg"));
            if (kind == QLatin1String("sizes")) {
                recipe.size = QSize(199, 150);
                paths[2] = writeBracket(recipe, dir.path(), "png", QStringLiteral("small")).last();
            }
        }
        EngineUnderTest engine;
        const JobResult job = runOnThread(&engine, paths);
        QVERIFY(job.received);
        QCOMPARE(job.code, code);
        if (code != 0) {
            QVERIFY(job.before.isNull());
            QVERIFY(job.after.isNull());
            return;
        }
        QCOMPARE(job.after.format(), QImage::Format_RGB888);
        if (kind == QLatin1String("series")) {
            // Alignment may trim a pixel or two before the size rule.
            QVERIFY(qAbs(job.after.width() - afterSize.width()) <= 4);
            QVERIFY(qAbs(job.after.height() - afterSize.height()) <= 2);
            QCOMPARE(job.after.size(), engine.reinhard.size());
            cv::Mat diff;
            cv::absdiff(QImageToMat(job.after, true), QImageToMat(engine.reinhard, true), diff);
            // Band sums may round a rare level differently.
            QVERIFY(cv::norm(diff, cv::NORM_INF) <= 1.0);
            QVERIFY(cv::countNonZero(diff.reshape(1)) * 1000 <= int(diff.total()));
            // The radiance map is released once the picture is made.
            QVERIFY(engine.result().empty());
        } else {
            // The photo as read, scaled to the size rule; no tone mapping.
            QCOMPARE(job.after, QImage(paths[0]).convertToFormat(QImage::Format_RGB888)
                                    .scaled(afterSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        // before is an equal, separate picture.
        QCOMPARE(job.before, job.after);
        QVERIFY(job.before.constBits() != job.after.constBits());
    }

    void errorsInsideTheJobAreReported_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("bad_alloc") << 0 << int(IQHDR_OUT_OF_MEMORY);
        QTest::newRow("cv::Exception") << 1 << int(IQHDR_FAILED);
        QTest::newRow("std::runtime_error") << 2 << int(IQHDR_FAILED);
        QTest::newRow("OpenCV out of memory") << 3 << int(IQHDR_OUT_OF_MEMORY);
        QTest::newRow("anything else") << 4 << int(IQHDR_FAILED);
    }
    void errorsInsideTheJobAreReported()
    {
        QFETCH(int, kind);
        QFETCH(int, code);
        ThrowingEngine engine(kind);
        const JobResult job = runOnThread(&engine, {QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
        QVERIFY(job.received);
        QCOMPARE(job.code, code);
        QVERIFY(job.code != IQHDR_READ_FAILED && job.code != IQHDR_SIZE_MISMATCH && job.code != IQHDR_OK);
        QVERIFY(job.before.isNull() && job.after.isNull());
    }

    void runsOnAThreadPoolToo()
    {
        QTemporaryDir dir;
        const QString path = writeImage(noiseImage(QSize(30, 20), 2), dir.path(), QStringLiteral("p"), "png");
        EngineUnderTest engine;
        auto* job = new IQHDRThread(&engine, {path});
        QVERIFY(job->autoDelete());
        Receiver receiver;
        connect(job, &IQHDRThread::threadFinished, &receiver, &Receiver::finished, Qt::QueuedConnection);
        QSignalSpy spy(&receiver, &Receiver::finished);
        QThreadPool pool;
        pool.start(job); // the pool deletes it
        QVERIFY(spy.wait(30000));
        QCOMPARE(spy[0][2].toInt(), 0);
        QCOMPARE(spy[0][1].value<QImage>().size(), QSize(32, 20));
        pool.waitForDone();
    }

    void imageReadThread()
    {
        QTemporaryDir dir;
        const QString path = writeImage(noiseImage(QSize(21, 13), 4), dir.path(), QStringLiteral("p"), "png");
        for (const QString& file : {path, dir.filePath(QStringLiteral("missing.png"))}) {
            auto* reader = new IQImageReadThread(file);
            connect(reader, &QThread::finished, reader, &QObject::deleteLater);
            ReadReceiver receiver;
            connect(reader, &IQImageReadThread::readFinished, &receiver, &ReadReceiver::finished,
                    Qt::QueuedConnection);
            QSignalSpy spy(&receiver, &ReadReceiver::finished);
            reader->start();
            QVERIFY(spy.wait(10000));
            const QImage image = spy[0][0].value<QImage>();
            if (file == path) {
                QCOMPARE(image.format(), QImage::Format_ARGB32);
                QCOMPARE(image, QImage(path).convertToFormat(QImage::Format_ARGB32));
            } else {
                QVERIFY(image.isNull());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestHdrThread)
#include "tst_hdrthread.moc"
