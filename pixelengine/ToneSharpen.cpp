#include "ToneEngine.h"
#include "ToneEngineData.h"

#include "AdjustUnsharpMask.h"

int ToneSharpen(ToneEngine* /*engine*/, int amount, AdjustImage* image)
{
    if (!image)
        return PE_ERR_ARGUMENT;
    // The unsharp mask reads three bytes a pixel; other layouts would be misread or overrun.
    const ToneSurface s{image->width, image->height, image->format, image->stride, image->pixels};
    if (ToneCheckSurface(s, ADJUST_FORMAT_BGR24, ADJUST_FORMAT_BGR24) != PE_OK)
        return PE_ERR_ARGUMENT;
    return AdjustUnsharpMaskApply(image->pixels, image->width, image->height, image->stride, amount);
}
