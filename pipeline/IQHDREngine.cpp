#include "IQHDREngine.h"

#include "IQExposure.h"
#include "IQHDRKernels.h"
#include "IQImageConvert.h"
#include "IQImageReadGuard.h"
#include "IQParallel.h"
#include "IQYUVFrame.h"
#include "RawContent.h"
#include "align.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QImageReader>
#include <libyuv.h>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

bool isBGRA32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

// The picture as B,G,R(,X) pixels for the alignment and the merge. RGB32
// pixels (what JPEG decodes to) are used in place as four channels; other
// formats become an owning three-channel copy, as RGB888 with the channels
// swapped.
cv::Mat mergeInputOf(const QImage& picture)
{
    if (picture.format() == QImage::Format_RGB32)
        return cv::Mat(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(picture.constBits()),
                       size_t(picture.bytesPerLine()));
    const QImage converted = picture.convertToFormat(QImage::Format_RGB888);
    if (converted.isNull())
        return cv::Mat();
    return QImageToMat(converted, true);
}

} // namespace

IQHDREngine::IQHDREngine() = default;
IQHDREngine::~IQHDREngine() = default;

IQHDREngine* IQHDREngine::instance()
{
    static IQHDREngine* engine = new IQHDREngine;
    return engine;
}

QImage IQHDREngine::readPhoto(const QString& path)
{
    QImageReader reader(path, cameraRawFormat(path));
    reader.setAutoTransform(true);
    return IQReadImageChecked(reader);
}

bool IQHDREngine::photosFitInMemory(const QStringList& paths)
{
    // The header's size, before anything is decoded; files whose size is
    // not known up front are left to the read.
    QSize largest;
    for (const QString& path : paths) {
        const QSize size = QImageReader(path, cameraRawFormat(path)).size();
        if (size.isValid() && qint64(size.width()) * size.height() > qint64(largest.width()) * largest.height())
            largest = size;
    }
    if (!largest.isValid() || largest.isEmpty() || IQPhotosFitInMemory(largest, int(paths.size())))
        return true;
    qWarning("Photos of %d x %d pixels need %lld MB through the job and the editing page; %lld MB are available",
             largest.width(), largest.height(), (long long)(IQPhotoMemoryNeed(largest, int(paths.size())) >> 20),
             (long long)(IQAvailableMemory() >> 20));
    return false;
}

double IQHDREngine::exposureOf(const QImage& picture)
{
    if (picture.isNull())
        return 1.0;
    const int width = picture.width();
    const int height = picture.height();
    // Only every eighth row is sampled, so only those rows go through the
    // YUY2 conversion. libyuv converts rows independently, so the sampled
    // bytes equal those of a whole-frame conversion.
    const size_t pitch = YUVFrameByteCount(IQYUV_FORMAT_YUY2, width, 1);
    const int sampledRows = (height + 7) / 8;
    if (pitch == 0 || pitch > size_t(INT32_MAX))
        return 1.0;
    std::unique_ptr<uint8_t, decltype(&std::free)> rows(
        static_cast<uint8_t*>(std::malloc(pitch * size_t(sampledRows))), &std::free);
    if (!rows)
        return 1.0;
    const bool direct = isBGRA32(picture.format());
    for (int i = 0; i < sampledRows; ++i) {
        const int y = i * 8;
        uint8_t* target = rows.get() + pitch * size_t(i);
        if (direct) {
            libyuv::ARGBToYUY2(picture.constScanLine(y), int(picture.bytesPerLine()), target, int(pitch), width, 1);
        } else {
            const QImage line = picture.copy(0, y, width, 1).convertToFormat(QImage::Format_RGB32);
            if (line.isNull())
                return 1.0;
            libyuv::ARGBToYUY2(line.constBits(), int(line.bytesPerLine()), target, int(pitch), width, 1);
        }
    }
    // Sampled row i is row 8*i of the whole frame; the luma of pixel x is
    // byte 2*x of its row.
    uint32_t histogram[256] = {};
    for (int i = 0; i < sampledRows; ++i) {
        const uint8_t* line = rows.get() + pitch * size_t(i);
        for (int x = 0; x < width; x += 8)
            ++histogram[line[size_t(x) * 2]];
    }
    return ExposureGainFromHistogram(histogram, ExposureWeightTable(), width, height);
}

int IQHDREngine::referenceIndexFor(const std::vector<double>& sortedTimes)
{
    int reference = -1;
    float best = 0.0f;
    for (size_t i = 0; i < sortedTimes.size(); ++i) {
        const double t = sortedTimes[i];
        if (!(t >= 1.0))
            continue;
        const double distance = std::fabs(1.0 - t);
        if (reference < 0 || distance < double(best)) {
            reference = int(i);
            best = float(distance);
        }
    }
    return reference;
}

int IQHDREngine::alignMaxBitsFor(int count)
{
    return count <= 3 ? 10 : 6;
}

QSize IQHDREngine::outputSizeFor(const QSize& size)
{
    const int w = ((size.width() + 3) / 4) * 4;
    const int h = ((size.height() + 1) / 2) * 2;
    return QSize(w, h);
}

int IQHDREngine::load(const QStringList& paths, QList<QImage>& sources)
{
    m_paths = paths;
    m_singleImage = paths.size() < 2;
    m_times = IQHDRStageTimes();
    if (paths.isEmpty())
        return IQHDR_READ_FAILED;
    IQPrepareImageReading();
    if (!photosFitInMemory(paths))
        return IQHDR_TOO_LARGE;
    if (paths.size() == 1)
        return fuseSingle(sources);
    return mergeExposures(sources);
}

int IQHDREngine::mergeExposures(QList<QImage>& sources)
{
    const int count = int(m_paths.size());
    if (count == 0)
        return IQHDR_READ_FAILED;
    std::vector<IQExposureItem> items;
    items.reserve(size_t(count));
    for (const QString& path : m_paths)
        items.emplace_back(path);

    // Decode every photo at once; codes are then decided in path order, as
    // if the photos had been read one after the other.
    QElapsedTimer timer;
    timer.start();
    std::vector<QImage> pictures(static_cast<size_t>(count));
    std::vector<cv::Mat> matrices(static_cast<size_t>(count));
    IQParallelFor(count, [&](int i) {
        pictures[size_t(i)] = readPhoto(m_paths[i]);
        if (pictures[size_t(i)].isNull())
            return;
        // Only pictures of the first picture's size are merged; others end
        // the route before their matrix would be needed.
        matrices[size_t(i)] = mergeInputOf(pictures[size_t(i)]);
    });
    QSize reference;
    for (int i = 0; i < count; ++i) {
        const QImage& picture = pictures[size_t(i)];
        if (picture.isNull())
            return IQHDR_READ_FAILED;
        if (i == 0)
            reference = picture.size();
        else if (picture.size() != reference)
            return IQHDR_SIZE_MISMATCH;
        sources.append(picture);
    }
    for (const cv::Mat& matrix : matrices) {
        if (matrix.empty())
            return IQHDR_OUT_OF_MEMORY;
    }
    m_times.readMs = elapsedMs(timer);

    timer.restart();
    IQParallelFor(count, [&](int i) { items[size_t(i)].exposureTime = 1.0 / exposureOf(pictures[size_t(i)]); });
    std::vector<IQExposureImage> list(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        list[size_t(i)].path = items[size_t(i)].path;
        list[size_t(i)].image = matrices[size_t(i)];
        list[size_t(i)].exposureTime = items[size_t(i)].exposureTime;
    }
    matrices.clear();
    std::stable_sort(list.begin(), list.end(),
                     [](const IQExposureImage& a, const IQExposureImage& b) { return a.exposureTime < b.exposureTime; });
    std::vector<float> times;
    std::vector<double> sortedTimes;
    std::vector<cv::Mat> images;
    for (const IQExposureImage& entry : list) {
        times.push_back(float(entry.exposureTime));
        sortedTimes.push_back(entry.exposureTime);
        images.push_back(entry.image);
    }
    list.clear();
    const int referenceIndex = referenceIndexFor(sortedTimes);
    m_times.exposureMs = elapsedMs(timer);

    timer.restart();
    std::vector<cv::Mat> aligned(images);
    cv::Ptr<cv::AlignIndexMTBImpl> align = cv::createAlignIndexMTB(alignMaxBitsFor(count), 6, true, referenceIndex);
    // The aligned pictures are views into the pictures as read (kept alive
    // by `pictures` until the merge is done).
    align->process(images, aligned);
    images.clear();
    m_times.alignMs = elapsedMs(timer);

    timer.restart();
    cv::Mat radiance;
    IQRadianceRange range;
    IQMergeDebevecBanded(aligned, times, radiance, &range);
    // A map of one colour keeps the level of the photo the series is
    // measured against.
    cv::Scalar flatColour;
    if (range.isFlat()) {
        const size_t pivot = referenceIndex >= 0 ? size_t(referenceIndex) : aligned.size() / 2;
        flatColour = cv::mean(aligned[pivot]);
        flatColour[3] = 0;
    }
    aligned.clear();
    pictures.clear();
    m_times.mergeMs = elapsedMs(timer);

    std::lock_guard<std::recursive_mutex> guard(m_resultLock);
    m_pendingFusion = QImage();
    m_result = radiance;
    m_hasRange = true;
    m_range = range;
    m_flatColour = flatColour;
    m_mergeKind = 1;
    return IQHDR_OK;
}

int IQHDREngine::fuseSingle(QList<QImage>& sources)
{
    if (m_paths.isEmpty())
        return IQHDR_READ_FAILED;
    QElapsedTimer timer;
    timer.start();
    const QImage picture = readPhoto(m_paths.first());
    if (picture.isNull())
        return IQHDR_READ_FAILED;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return IQHDR_OUT_OF_MEMORY;
    const QSize size = outputSizeFor(rgb.size());
    const QImage scaled =
        size == rgb.size() ? rgb : rgb.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        return IQHDR_OUT_OF_MEMORY;
    sources.append(scaled);
    m_times.readMs = elapsedMs(timer);

    // Nothing shows the fusion of one photo; it is computed when `result`
    // is first asked for.
    std::lock_guard<std::recursive_mutex> guard(m_resultLock);
    m_result.release();
    m_hasRange = false;
    m_pendingFusion = scaled;
    m_mergeKind = 0;
    return IQHDR_OK;
}

const cv::Mat& IQHDREngine::result()
{
    std::lock_guard<std::recursive_mutex> guard(m_resultLock);
    if (!m_pendingFusion.isNull()) {
        // Without memory for the fusion `result` stays empty; a later call
        // tries again.
        try {
            const cv::Mat matrix = QImageToMat(m_pendingFusion.copy(), true);
            if (matrix.empty())
                return m_result;
            std::vector<cv::Mat> single{matrix};
            cv::Mat fused;
            cv::createMergeMertens(1.0f, 1.0f, 0.0f)->process(single, fused);
            m_result = fused;
            m_pendingFusion = QImage();
        } catch (const cv::Exception& e) {
            qCritical() << "Fusion of the single photo failed:" << e.what();
        } catch (const std::bad_alloc&) {
            qCritical() << "Fusion of the single photo ran out of memory";
        }
    }
    return m_result;
}

void IQHDREngine::clear()
{
    std::lock_guard<std::recursive_mutex> guard(m_resultLock);
    m_result.release();
    m_hasRange = false;
    m_pendingFusion = QImage();
}

QImage IQHDREngine::applySizeRule(const QImage& picture)
{
    if (picture.isNull())
        return picture;
    const QSize size = outputSizeFor(picture.size());
    if (size == picture.size())
        return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage IQHDREngine::toneMapReinhard(float gamma, float intensity, float lightAdapt, float colorAdapt, int* code)
{
    int scratch = 0;
    int& status = code ? *code : scratch;
    status = IQHDR_OK;
    QElapsedTimer timer;
    timer.start();
    std::unique_lock<std::recursive_mutex> guard(m_resultLock);
    const cv::Mat radiance = result();
    if (radiance.empty() || radiance.type() != CV_32FC3) {
        status = IQHDR_FAILED;
        return QImage();
    }
    const bool hasRange = m_hasRange;
    const IQRadianceRange range = m_range;
    const cv::Scalar flatColour = m_flatColour;
    guard.unlock();
    // The bands are written straight into the picture's R,G,B rows.
    QImage picture(radiance.cols, radiance.rows, QImage::Format_RGB888);
    if (picture.isNull()) {
        status = IQHDR_OUT_OF_MEMORY;
        return QImage();
    }
    cv::Mat view(picture.height(), picture.width(), CV_8UC3, picture.bits(), size_t(picture.bytesPerLine()));
    IQTonemapReinhardBanded(radiance, gamma, intensity, lightAdapt, colorAdapt, view, true,
                            hasRange ? &range : nullptr, hasRange ? &flatColour : nullptr);
    QImage out = applySizeRule(picture);
    if (out.isNull())
        status = IQHDR_OUT_OF_MEMORY;
    m_times.tonemapMs = elapsedMs(timer);
    return out;
}

QImage IQHDREngine::toneMapMantiuk(float gamma, float scale, float saturation)
{
    const cv::Mat radiance = result();
    if (radiance.empty() || radiance.type() != CV_32FC3)
        return QImage();
    cv::Mat mapped;
    cv::createTonemapMantiuk(gamma, scale, saturation)->process(radiance, mapped);
    mapped = mapped * 3.0;
    cv::Mat scaled = mapped * 255.0;
    mapped.release();
    cv::Mat out8;
    scaled.convertTo(out8, CV_8UC3, 1.0, 0.0);
    scaled.release();
    QImage picture = MatToQImage(out8);
    return applySizeRule(picture);
}
