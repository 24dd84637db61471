#pragma once
// Shared helpers of the editing-page tests: a synthetic merged picture,
// reference passes straight through the processor, picture comparison,
// waiting for the page to settle, and the page each test starts from.
#include "ModalWatcher.h"
#include "IQAdjustingFrame.h"
#include "IQAdjustingProcessor.h"
#include "IQParams.h"
#include "QSliderWidget.h"
#include "SyntheticScene.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSemaphore>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

#include <opencv2/core.hpp>

#include <sys/stat.h>

namespace adjtest {

// Holds every pass inside the processor until the test lets it go.
class GateStage : public IQAdjustingProcessor::DenoiseStage
{
public:
    int apply(IQBGRData&, const IQDenoiseParams&) override
    {
        entered.release();
        if (throwNext.exchange(false) || throwAlways)
            throw std::runtime_error("gate failure");
        if (closed.load())
            gate.acquire();
        return 0;
    }
    // Lets one held pass go on.
    void letOneGo() { gate.release(); }
    // Opens for good.
    void open()
    {
        closed = false;
        gate.release(100);
    }
    // Serves the event loop meanwhile: the page starts the next pass from it.
    bool waitEntered(int count = 1)
    {
        return QTest::qWaitFor([&] { return entered.tryAcquire(count); }, 20000);
    }

    QSemaphore entered;
    QSemaphore gate;
    std::atomic<bool> closed{true};
    std::atomic<bool> throwNext{false};
    std::atomic<bool> throwAlways{false};
};


// A merged picture with a bright light, a deep shadow, texture and gradients.
inline QImage mergedPicture(QSize size = QSize(320, 240))
{
    const SyntheticScene::RadianceScene scene(size, 7, true);
    return SyntheticScene::renderFrame(scene, size, 0.6, QPoint(), 0.0, 1, QImage::Format_RGB888);
}

// A large merged picture with a photo's grain (smooth pictures compress
// several times faster than photos do).
inline QImage grainyPicture(QSize size)
{
    QImage picture = mergedPicture(size / 8)
                         .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB888);
    cv::Mat pixels(picture.height(), picture.width(), CV_8UC3, picture.bits(), size_t(picture.bytesPerLine()));
    cv::Mat grain(pixels.size(), CV_16SC3);
    cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(6));
    cv::add(pixels, grain, pixels, cv::noArray(), CV_8UC3);
    return picture;
}

// A full disk for real at `path`: every write into it fails with ENOSPC, as
// into /dev/full. Made as a device node of the same kind where that is
// allowed (as root), so that a save that wrongly replaced the target would
// replace only this node; otherwise as a link to /dev/full, which a process
// that may not make nodes cannot replace either.
inline bool makeFullDisk(const QString& path)
{
    struct stat full;
    if (::stat("/dev/full", &full) != 0 || !S_ISCHR(full.st_mode))
        return false;
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, full.st_rdev) == 0)
        return true;
    return QFile::link(QStringLiteral("/dev/full"), path);
}

// Whether `path` is still a device (a link to one counts), not a file put in its place.
inline bool isDevice(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

// The picture's pixels for OpenCV to measure: 8-bit, four channels, opaque.
inline cv::Mat pixels(const QImage& image)
{
    const QImage x = image.convertToFormat(QImage::Format_RGB32);
    return cv::Mat(x.height(), x.width(), CV_8UC4, const_cast<uchar*>(x.constBits()), size_t(x.bytesPerLine()))
        .clone();
}

// Largest difference of any channel of any pixel; -1 when the sizes differ.
inline int maxDiff(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    return int(cv::norm(pixels(a), pixels(b), cv::NORM_INF));
}

// Mean absolute difference per colour channel; -1 when the sizes differ.
inline double meanAbsDiff(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    return cv::norm(pixels(a), pixels(b), cv::NORM_L1) / (3.0 * a.width() * a.height());
}

// Mean of (R + G + B) / 3.
inline double meanLevel(const QImage& image)
{
    const cv::Scalar m = cv::mean(pixels(image));
    return (m[0] + m[1] + m[2]) / 3.0;
}

// Standard deviation of the grey level: a flat or empty picture is near 0.
inline double greySpread(const QImage& image)
{
    const QImage g = image.convertToFormat(QImage::Format_Grayscale8);
    if (g.isNull())
        return 0;
    cv::Scalar mean, spread;
    cv::meanStdDev(cv::Mat(g.height(), g.width(), CV_8UC1, const_cast<uchar*>(g.constBits()), size_t(g.bytesPerLine())),
                   mean, spread);
    return spread[0];
}

// The longest gap past 16 ms between the times a 16 ms timer fired: the
// event loop's longest stall.
inline qint64 longestStall(const std::vector<qint64>& beats)
{
    qint64 stall = 0;
    for (size_t i = 1; i < beats.size(); ++i)
        stall = std::max(stall, beats[i] - beats[i - 1] - 16);
    return stall;
}

// A 16 ms timer, as a mouse's updates come, measuring the event loop's
// longest stall; `onBeat` runs on every beat.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setInterval(16);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_beats.push_back(m_clock.elapsed());
            if (onBeat)
                onBeat();
        });
    }
    void start()
    {
        m_beats.clear();
        m_clock.start();
        m_timer.start();
    }
    // The longest stall from start() up to now.
    qint64 stop()
    {
        m_timer.stop();
        std::vector<qint64> times{0};
        times.insert(times.end(), m_beats.begin(), m_beats.end());
        times.push_back(m_clock.elapsed());
        return longestStall(times);
    }
    // Milliseconds since start().
    qint64 elapsed() const { return m_clock.elapsed(); }
    // How often it fired.
    size_t count() const { return m_beats.size(); }

    std::function<void()> onBeat;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<qint64> m_beats;
};

// One pass of a processor with the given records and stage code.
inline QImage referencePass(IQAdjustingProcessor& p, const IQAdjustParams& a, const IQHDRToneParams& t,
                            const IQDenoiseParams& d, int stage)
{
    p.setAdjustParams(a);
    p.setDenoiseParams(d);
    p.setToneParams(t, stage);
    return p.process();
}

// Waits until no pass runs, waits or is held back.
inline bool settle(IQAdjustingFrame& page, int timeoutMs = 60000)
{
    return QTest::qWaitFor([&] { return !page.isBusy(); }, timeoutMs);
}

inline QSliderWidget* row(IQAdjustingFrame& page, const QString& name)
{
    return page.findChild<QSliderWidget*>(name);
}

// The user types a value into a row's field: the row's final value.
inline void release(QSliderWidget* r, int value)
{
    QSpinBox* box = r->findChild<QSpinBox*>();
    if (box->value() == value) {
        // The field would not signal an unchanged value; the slider's release would.
        emit r->propertyValueChanged(r->key(), value);
        return;
    }
    box->setValue(value);
}

// One update of a running drag.
inline void drag(QSliderWidget* r, int value)
{
    emit r->propertyValueChanging(r->key(), value);
}

// A shown editing page with the merged picture, opened by each test's init()
// and closed, settled, by its cleanup().
class PageTest : public QObject
{
protected:
    std::unique_ptr<IQAdjustingFrame> page;
    QImage picture;
    GateStage* gate = nullptr;

    template <typename T> T* child(const char* name) { return page->findChild<T*>(QLatin1String(name)); }

    // `withSource`: also the effect thumbnails' source, as the main window does.
    void openPage(QSize size, bool withSource = false)
    {
        QStandardPaths::setTestModeEnabled(true);
        if (picture.isNull())
            picture = mergedPicture();
        page = std::make_unique<IQAdjustingFrame>();
        page->resize(size);
        page->show();
        if (withSource)
            page->setSource(picture);
        page->setImages(picture, picture);
        gate = nullptr;
    }

    void closePage()
    {
        if (gate)
            gate->open();
        if (page)
            QVERIFY(settle(*page));
        page.reset();
    }

    void installGate()
    {
        gate = new GateStage;
        page->adjustingProcessor()->setDenoiseStage(gate);
    }

    // What the processor makes of the page's records in one pass of `stage`.
    QImage expectedNow(int stage)
    {
        IQAdjustingProcessor reference(picture);
        return referencePass(reference, page->adjustParams(), page->toneParams(), page->denoiseParams(), stage);
    }
};

} // namespace adjtest
