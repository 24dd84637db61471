#pragma once
#include <QPixmap>

// The frames of an animated picture, as the image viewer plays them.
class QMovieProxy
{
public:
    virtual ~QMovieProxy() = default;

    virtual int frameCount() const = 0;
    virtual int currentFrameNumber() const = 0;
    virtual bool jumpToFrame(int frame) = 0;
    virtual bool jumpToNextFrame() = 0;
    virtual QPixmap currentPixmap() const = 0;
    // Milliseconds until the next frame is due.
    virtual int nextFrameDelay() const = 0;
};
