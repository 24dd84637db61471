#include "IQDenoiseEngineStage.h"

#include <cstdint>

#include "IQBGRData.h"
#include "IQDenoiseEngine.h"
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

// The frames are made on the first pass that denoises and kept for the
// picture's later passes.
bool IQDenoiseEngineStage::prepareFrames(int width, int height)
{
    if (srcFrame.plane[0] && dstFrame.plane[0] && srcFrame.width == width && srcFrame.height == height)
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
    }
    return true;
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
