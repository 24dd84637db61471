#pragma once
// The editing page's engine room: built once per picture, it keeps the
// picture as loaded, the detail chain's result and the highlight/shadow
// result, and turns them into the shown picture for any set of parameter
// records, pass after pass.
//
// Passes run one at a time under the processor's recursive mutex. The three
// records and the stage code sit behind a short lock of their own, so the GUI
// thread can hand them over while a pass runs; every pass copies them once at
// its start and so sees one consistent set.
//
// Building is cheap and can be left to the thread that runs the passes
// (LoadLater): the picture is converted on prepare() or the first pass. On a
// thread of its own the tone engine then analyses the picture and sets up
// its detail work, the buffers of the tone work and of the result are made
// and mapped, and the denoise stage prepares for the picture's size, while
// the user looks at the picture; colour passes start at once meanwhile, and
// the first tone pass waits only for what is not done yet.
#include <QImage>
#include <QMutex>
#include <QRecursiveMutex>
#include <QString>

#include <atomic>
#include <future>
#include <memory>

#include "IQParams.h"

class IQAdjustEngine;
class IQBGRData;
class IQHDRToneEngine;

class IQAdjustingProcessor {
public:
    // Tone work of a pass.
    enum Stage {
        StageNone = 0,             // keep the highlight/shadow result of the last tone pass
        StageAdjust = 2,           // the code the colour, tone and detail controls send
        StageFull = 4,             // detail chain from the source, then highlight/shadow
        StageHighlightShadow = 8,  // highlight/shadow from the last detail result
    };

    enum Error {
        NoError = 0,
        ErrorNoPicture = 1,   // the picture could not be loaded, or the buffers were freed
        ErrorNoEngine = 2,    // the engines could not be built, or were destroyed
        ErrorOutOfMemory = 3, // a pass could not get its memory
        ErrorToneStage = 4,   // the tone engine failed on the picture
        ErrorAdjustStage = 5, // the adjust engine refused the picture
        ErrorUnexpected = 6,  // anything else that stopped a pass
    };

    // When the picture is converted and the engines are built.
    enum Loading {
        LoadNow,   // in the constructor
        LoadLater, // in prepare(), or at the latest in the first pass
    };

    // The denoise step of a pass. It runs after the tone work and before the
    // adjust engine, on the pass's own copy of the picture, under the pass
    // lock. A non-zero result keeps the pixels as they were (the stage must
    // then leave them untouched).
    class DenoiseStage {
    public:
        virtual ~DenoiseStage() = default;
        virtual int apply(IQBGRData &picture, const IQDenoiseParams &params) = 0;
        // What can be made for a picture of this size before its first pass
        // (memory to map, tables to fill); the pixels must come out the same
        // either way. Called at most once, on the set-up thread, possibly
        // while a pass is inside apply(): the stage serialises the two.
        virtual void prepare(int width, int height)
        {
            (void)width;
            (void)height;
        }
    };

    explicit IQAdjustingProcessor(const QImage &picture, Loading loading = LoadNow);
    ~IQAdjustingProcessor();

    IQAdjustingProcessor(const IQAdjustingProcessor &) = delete;
    IQAdjustingProcessor &operator=(const IQAdjustingProcessor &) = delete;

    // Converts the picture and builds the engines unless that is done; waits
    // for a running pass. False when the processor cannot work (lastError()).
    bool prepare();
    // False when the picture could not be loaded or the engines not built;
    // lastError() says which. Prepares a processor built with LoadLater.
    bool isValid();
    int lastError() const { return m_lastError.load(); }
    // What the exception that stopped the last failed pass said; empty when
    // it said nothing or no exception was involved.
    QString lastErrorDetail() const;
    // Waits until the thread started with the picture has analysed it, set
    // up the tone work and let the denoise stage prepare. Passes never need
    // to: this is for measuring the first pass without that work, and for
    // tests.
    void waitForSetUp();
    // The picture's size, known from construction on.
    int width() const { return m_width; }
    int height() const { return m_height; }

    void setAdjustParams(const IQAdjustParams &p);
    // Tone work asked for is never dropped: a request for stage 4 or 8 that no
    // pass has taken yet stays in force when a weaker code follows it.
    void setToneParams(const IQHDRToneParams &p, int stage);
    void setDenoiseParams(const IQDenoiseParams &p);

    IQAdjustParams adjustParams() const;
    IQHDRToneParams toneParams() const;
    IQDenoiseParams denoiseParams() const;
    // The stage code the next pass will run.
    int pendingStage() const;

    // One pass; a Format_BGR888 picture that owns its pixels, or a null
    // image on failure (see lastError()).
    QImage process();
    QImage processWith(const IQProcessParams &p);

    // Takes ownership; null removes the stage. A stage set before the
    // processor is prepared is kept in place of the built-in one, and is the
    // one the set-up prepares.
    void setDenoiseStage(DenoiseStage *stage);

    void freeBuffers();
    void destroyEngines();

private:
    // What the analysis thread hands over: whether the tone engine analysed
    // the source, and the buffers it made (null where it could not).
    struct ToneAnalysis {
        bool analysed = false;
        std::unique_ptr<IQBGRData> input, working;
        QImage output;
    };

    struct Snapshot {
        IQAdjustParams adjust;
        IQHDRToneParams tone;
        IQDenoiseParams denoise;
        int stage = 0;
    };

    bool loadSource(const QImage &picture);
    bool createEngines();
    Snapshot takeSnapshot();
    void requeueStage(int stage);
    int runToneStage(const Snapshot &s);
    void startToneAnalysis();
    void finishToneAnalysis();
    void adoptToneAnalysis(ToneAnalysis &&analysis);
    IQBGRData *takeToneBuffer(std::unique_ptr<IQBGRData> &spare);
    void prepareToneSource();
    QImage runPass(const Snapshot &s);
    QImage outputImage();
    QImage fail(int error, const char *detail = nullptr);

    IQAdjustEngine *adjustEngine = nullptr;
    IQAdjustParams m_adjustParams;
    // Shared with the set-up thread while it prepares the stage, so that a
    // stage replaced meanwhile lives until the thread is done with it.
    std::shared_ptr<DenoiseStage> denoiseStage;
    IQDenoiseParams m_denoiseParams;
    IQHDRToneEngine *toneEngine = nullptr;
    IQHDRToneParams m_toneParams;
    int stage = 0;
    IQBGRData *source = nullptr;
    // Made by the first pass that writes them: until then the detail result
    // (input) is the source, and the highlight/shadow result (working) is
    // the detail result.
    IQBGRData *input = nullptr;
    IQBGRData *working = nullptr;
    // Made and mapped by the analysis thread, waiting to become input and
    // working when a pass first writes them.
    std::unique_ptr<IQBGRData> m_spareInput, m_spareWorking;
    QImage m_output; // the last result, reused when nobody else holds it

    QImage m_picture;            // until it is loaded
    bool m_prepared = false;     // the picture was loaded, or loading failed
    bool m_toneSourceSet = false; // the tone engine has analysed the source
    std::future<ToneAnalysis> m_toneAnalysis; // while it runs on its own thread
    // Set when the buffers or engines go: the set-up thread skips what it has
    // not begun.
    std::atomic<bool> m_setUpCancelled{false};
    bool m_denoiseStageChosen = false;
    bool m_enginesDestroyed = false;
    int m_width = 0;
    int m_height = 0;
    std::atomic<int> m_lastError{NoError};
    QString m_lastErrorDetail;   // under m_paramsLock
    mutable QMutex m_paramsLock;     // the records and the stage code
    mutable QRecursiveMutex mutex;   // passes and tear-down
};
