#pragma once
// The denoise step of every editing pass: the pass's picture goes into a
// YUY2 frame, through the denoise engine and back. Both strengths at 0 leave
// the picture untouched without converting it.
#include <memory>
#include <mutex>

#include "IQAdjustingProcessor.h"
#include "IQYUVFrame.h"

class IQDenoiseEngine;

class IQDenoiseEngineStage : public IQAdjustingProcessor::DenoiseStage {
public:
    IQDenoiseEngineStage();
    // Uses the given engine (owned from now on); for callers that bring a
    // profile of their own.
    explicit IQDenoiseEngineStage(IQDenoiseEngine *engine);
    ~IQDenoiseEngineStage() override;

    IQDenoiseEngineStage(const IQDenoiseEngineStage &) = delete;
    IQDenoiseEngineStage &operator=(const IQDenoiseEngineStage &) = delete;

    // 0 when the picture was denoised or left alone at 0/0; else a negative
    // code, and the picture holds the pixels it came with.
    int apply(IQBGRData &picture, const IQDenoiseParams &params) override;

    // Makes both frames for a picture of this size and writes every page of
    // them once, so that the first pass that denoises neither maps nor faults
    // them in (some 100 MB at 24 MP). May run beside apply().
    void prepare(int width, int height) override;

    IQDenoiseEngine *engine() const { return denoiseEngine.get(); }
    // Whether frames of this size are made and mapped.
    bool framesReady(int width, int height);

private:
    // Both frames are made, for this size; the caller holds the lock.
    bool holdsFrames(int width, int height) const;
    bool prepareFrames(int width, int height);
    void releaseFrames();

    std::unique_ptr<IQDenoiseEngine> denoiseEngine;
    std::mutex m_framesLock; // the frames: apply() and prepare()
    IQYUVFrame srcFrame;
    IQYUVFrame dstFrame;
};
