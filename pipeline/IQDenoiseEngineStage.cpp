#include "IQDenoiseEngineStage.h"

#include <cstdint>

#include "IQBGRData.h"
#include "IQDenoiseEngine.h"
#include "IQFilterScratch.h"
#include "PixelEngine.h"

IQDenoiseEngineStage::IQDenoiseEngineStage()
    : IQDenoiseEngineStage(new IQDenoiseEngine)
{
}

IQDenoiseEngineStage::IQDenoiseEngineStage(IQDenoiseEngine *engine)
    : denoiseEngine(engine)
{
}

IQDenoiseEngineStage::~IQDenoiseEngineStage()
{
    releaseFrames();
}

void IQDenoiseEngineStage::releaseFrames()
{
    YUVFrameRelease(&srcFrame);
    YUVFrameRelease(&dstFrame);
    srcFrame = IQYUVFrame();
    dstFrame = IQYUVFrame();
}

bool IQDenoiseEngineStage::holdsFrames(int width, int height) const
{
    return srcFrame.plane[0] && dstFrame.plane[0] && srcFrame.width == width && srcFrame.height == height;
}

// The frames are made on the first pass that denoises, or before it by
// prepare(), and kept for the picture's later passes. Whatever they hold is
// overwritten before it is read: the source by the conversion, the target by
// the engine's copy of the source.
bool IQDenoiseEngineStage::prepareFrames(int width, int height)
{
    if (holdsFrames(width, height))
        return true;
    releaseFrames();
    for (IQYUVFrame *frame : {&srcFrame, &dstFrame}) {
        frame->format = IQYUV_FORMAT_YUY2;
        frame->width = width;
        frame->height = height;
        if (!YUVFrameAllocate(frame)) {
            releaseFrames();
            return false;
        }
        IQAdviseHugePages(frame->plane[0], YUVFrameByteCount(frame->format, width, height));
    }
    return true;
}

void IQDenoiseEngineStage::prepare(int width, int height)
{
    if (width <= 0 || height <= 0 || !denoiseEngine || !denoiseEngine->isValid())
        return;
    std::lock_guard<std::mutex> lock(m_framesLock);
    // Frames of this size were made by a pass that denoised meanwhile.
    if (holdsFrames(width, height))
        return;
    if (!prepareFrames(width, height))
        return; // the first pass that denoises tries again, or fails
    for (const IQYUVFrame *frame : {&srcFrame, &dstFrame})
        IQTouchPages(frame->plane[0], YUVFrameByteCount(frame->format, width, height));
}

bool IQDenoiseEngineStage::framesReady(int width, int height)
{
    std::lock_guard<std::mutex> lock(m_framesLock);
    return holdsFrames(width, height);
}

int IQDenoiseEngineStage::apply(IQBGRData &picture, const IQDenoiseParams &params)
{
    // At 0/0 the YUY2 round trip alone would lose colour resolution: leave
    // the picture alone.
    if (params.luminance <= 0 && params.chrominance <= 0)
        return 0;
    if (!denoiseEngine || !denoiseEngine->isValid())
        return PE_ERR_HANDLE;
    if (!picture.data || picture.height <= 0 || picture.width == 0 || picture.width > uint32_t(INT32_MAX))
        return PE_ERR_ARGUMENT;
    std::lock_guard<std::mutex> lock(m_framesLock);
    if (!prepareFrames(int(picture.width), picture.height))
        return PE_ERR_NOMEM;
    if (!BGRDataToYUVFrame(picture, &srcFrame))
        return PE_ERR_NOMEM;

    denoiseEngine->setLuminance(params.luminance);
    denoiseEngine->setChrominance(params.chrominance);
    const int code = denoiseEngine->apply(&srcFrame, &dstFrame);
    if (code != 0)
        return code;
    return YUVFrameToBGRData(&dstFrame, picture) ? 0 : PE_ERR_NOMEM;
}
