#pragma once
// The HDR engine: reads the user's photos, estimates their exposures, and
// merges a bracketed series (or fuses a single photo) into `result`, which
// the tone mappers turn into an 8-bit picture.
#include <QImage>
#include <QList>
#include <QSize>
#include <QStringList>
#include <opencv2/core.hpp>

#include "IQHDRKernels.h"

#include <mutex>
#include <vector>

// Result codes of a job. Codes other than these three are general failures.
enum IQHDRResult : int {
    IQHDR_OK = 0,
    IQHDR_READ_FAILED = -1,   // no input, or a photo could not be read
    IQHDR_SIZE_MISMATCH = -2, // the photos of a series differ in size
    IQHDR_OUT_OF_MEMORY = -3, // a buffer of the job could not be allocated
    IQHDR_FAILED = -4,        // the imaging library or the job raised an error
    IQHDR_TOO_LARGE = -5,     // the photos need more memory than this computer has available
};

// Wall time of each stage of the last job, in milliseconds.
struct IQHDRStageTimes {
    double readMs = 0;
    double exposureMs = 0;
    double alignMs = 0;
    double mergeMs = 0;
    double tonemapMs = 0;
};

class IQHDREngine {
public:
    static IQHDREngine* instance();
    virtual ~IQHDREngine();

    IQHDREngine(const IQHDREngine&) = delete;
    IQHDREngine& operator=(const IQHDREngine&) = delete;

    // Reads and merges the photos. One path: the single-photo route; two or
    // more: the multi-photo route; none: IQHDR_READ_FAILED. sources receives
    // the pictures as read, in path order (the scaled picture for a single
    // photo). Throws what the imaging library throws; the worker catches it.
    virtual int load(const QStringList& paths, QList<QImage>& sources);

    int mergeExposures(QList<QImage>& sources);
    int fuseSingle(QList<QImage>& sources);

    // 8-bit RGB888 pictures of `result`, W4 x H2 sized; null on failure,
    // with *code saying why (IQHDR_FAILED without a radiance map,
    // IQHDR_OUT_OF_MEMORY when the picture cannot be allocated).
    QImage toneMapReinhard(float gamma, float intensity, float lightAdapt, float colorAdapt, int* code = nullptr);
    QImage toneMapMantiuk(float gamma, float scale, float saturation);

    // Releases `result` (and a pending single-photo fusion).
    void clear();

    // The merged radiance map, or the Mertens fusion of a single photo,
    // computed on first request.
    const cv::Mat& result();

    QStringList paths() const { return m_paths; }
    bool isSingleImage() const { return m_singleImage; }
    int mergeKind() const { return m_mergeKind; }
    const IQHDRStageTimes& lastStageTimes() const { return m_times; }

    // Relative exposure gain of one picture (time = 1 / gain).
    static double exposureOf(const QImage& picture);

    // Reads one photo with its stored orientation applied; null when it
    // cannot be read or its decoder reported missing or corrupt data.
    static QImage readPhoto(const QString& path);

    // Whether photos of these paths, at the size their headers give, fit
    // through the job and the editing page in the memory available.
    static bool photosFitInMemory(const QStringList& paths);

    // Index of the smallest time at or above 1.0 in an ascending list, or -1.
    static int referenceIndexFor(const std::vector<double>& sortedTimes);

    // Pyramid bound handed to the aligner for a series of count photos.
    static int alignMaxBitsFor(int count);

    // The output size rule: width rounded up to a multiple of 4, height to
    // an even number.
    static QSize outputSizeFor(const QSize& size);

protected:
    IQHDREngine();

    // Scales a picture to outputSizeFor its size when it is not already.
    static QImage applySizeRule(const QImage& picture);

private:

    QStringList m_paths;
    bool m_singleImage = false;
    int m_mergeKind = 0;
    cv::Mat m_result;
    // What the merge learnt about `result`: its range, and for a map of one
    // colour (a flat range) the level of the reference photo it came from.
    bool m_hasRange = false;
    IQRadianceRange m_range;
    cv::Scalar m_flatColour;
    QImage m_pendingFusion; // the single photo whose fusion is not yet computed
    std::recursive_mutex m_resultLock;
    IQHDRStageTimes m_times;
};
