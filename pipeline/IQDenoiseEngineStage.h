#pragma once
// The denoise step of every editing pass: the pass's picture goes into a
// YUY2 frame, through the denoise engine and back. Both strengths at 0 leave
// the picture untouched without converting it.
#include <memory>

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

    IQDenoiseEngine *engine() const { return denoiseEngine.get(); }

private:
    bool prepareFrames(int width, int height);
    void releaseFrames();

    std::unique_ptr<IQDenoiseEngine> denoiseEngine;
    IQYUVFrame srcFrame;
    IQYUVFrame dstFrame;
};
