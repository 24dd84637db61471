#include "denoise/DenoiseImageStream.h"

#include <algorithm>
#include <cstring>

#include "PixelEngine.h"

namespace {

uint8_t* windowRow(const DenoiseImageStream& s, int row)
{
    const DenoiseImage& im = *s.image;
    return im.data + ptrdiff_t(im.top + row) * im.stride + im.left;
}

void setWindow(DenoiseImageStream* s, int32_t x, int32_t y)
{
    s->x = x;
    s->y = y;
    s->width = std::min(s->stepWidth, s->pictureWidth - x);
    s->height = std::min(s->stepHeight, s->pictureHeight - y);
}

} // namespace

int DenoiseImageStreamCreate(DenoiseMemHandle handle, DenoiseImageStream* stream, int32_t pictureWidth,
                             int32_t pictureHeight, int32_t windowWidth, int32_t windowHeight, int32_t margin)
{
    if (!stream)
        return PE_ERR_ARGUMENT;
    *stream = DenoiseImageStream{};
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0 || margin < 0)
        return PE_ERR_ARGUMENT;
    windowWidth = std::min(windowWidth, pictureWidth);
    windowHeight = std::min(windowHeight, pictureHeight);
    if (margin > windowWidth || margin > windowHeight || margin > (1 << 20))
        return PE_ERR_ARGUMENT;
    stream->pictureWidth = pictureWidth;
    stream->pictureHeight = pictureHeight;
    stream->stepWidth = windowWidth;
    stream->stepHeight = windowHeight;
    stream->margin = margin;
    stream->image = DenoiseImageCreate(handle, windowWidth, windowHeight, margin, margin, margin, margin);
    stream->columns = static_cast<uint8_t*>(DenoiseCalloc(handle, size_t(margin) + 1, size_t(windowHeight)));
    stream->rows = static_cast<uint8_t*>(DenoiseCalloc(handle, size_t(margin) + 1, size_t(pictureWidth)));
    if (!stream->image || !stream->columns || !stream->rows) {
        DenoiseImageStreamFree(handle, stream);
        return PE_ERR_NOMEM;
    }
    DenoiseImage& im = *stream->image;
    im.validX0 = im.left;
    im.validY0 = im.top;
    setWindow(stream, 0, 0);
    im.validX1 = im.left + stream->width;
    im.validY1 = im.top + stream->height;
    return 0;
}

int DenoiseImageStreamNext(DenoiseImageStream* s)
{
    if (!s || !s->image || !s->columns || !s->rows)
        return PE_ERR_ARGUMENT;
    const int m = s->margin;
    DenoiseImage& im = *s->image;
    const bool lastInRow = s->x + s->width >= s->pictureWidth;

    // The last columns of this window become the left margin of the next one.
    for (int r = 0; r < s->height && m > 0 && !lastInRow; ++r)
        std::memcpy(s->columns + size_t(r) * size_t(m), windowRow(*s, r) + s->width - m, size_t(m));
    // The last rows go to the row store at their picture columns: from the
    // left margin (which holds picture samples past the first window) up to
    // the columns that the next window still needs from the row above.
    const int from = s->x > 0 ? s->x - m : 0;
    const int to = lastInRow ? s->x + s->width : s->x + s->width - m;
    for (int r = 0; r < m; ++r) {
        const int row = s->height - m + r;
        if (row < 0 || to <= from)
            continue;
        std::memcpy(s->rows + size_t(r) * size_t(s->pictureWidth) + from, windowRow(*s, row) + (from - s->x),
                    size_t(to - from));
    }

    int32_t nx = s->x + s->stepWidth, ny = s->y;
    if (nx >= s->pictureWidth) {
        nx = 0;
        ny += s->stepHeight;
    }
    if (ny >= s->pictureHeight)
        return 0;
    setWindow(s, nx, ny);
    im.validX0 = im.left - (s->x > 0 ? m : 0);
    im.validY0 = im.top - (s->y > 0 ? m : 0);
    im.validX1 = im.left + s->width;
    im.validY1 = im.top + s->height;
    if (s->x > 0)
        for (int r = 0; r < s->height; ++r)
            std::memcpy(windowRow(*s, r) - m, s->columns + size_t(r) * size_t(m), size_t(m));
    if (s->y > 0) {
        const int c0 = s->x > 0 ? s->x - m : 0;
        const int c1 = std::min(s->x + s->width + m, s->pictureWidth);
        for (int r = 0; r < m; ++r)
            std::memcpy(windowRow(*s, r - m) + (c0 - s->x), s->rows + size_t(r) * size_t(s->pictureWidth) + c0,
                        size_t(c1 - c0));
    }
    return 1;
}

void DenoiseImageStreamFree(DenoiseMemHandle handle, DenoiseImageStream* stream)
{
    if (!stream)
        return;
    DenoiseFree(handle, stream->columns);
    DenoiseFree(handle, stream->rows);
    DenoiseImageFree(handle, stream->image);
    *stream = DenoiseImageStream{};
}
