#pragma once
// An image record that walks a larger picture window by window (left to
// right, then down), carrying the last columns and rows of each window into
// the left and top margins of the next, so that a picture can be worked in
// windows with overlapping margins without keeping it whole.
#include <cstdint>

#include "denoise/DenoiseImage.h"
#include "denoise/DenoiseMemory.h"

struct DenoiseImageStream {
    DenoiseImage* image = nullptr;  // one window with `margin` samples round it
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    int32_t stepWidth = 0;          // window size; the last window of a row or column is clipped
    int32_t stepHeight = 0;
    int32_t margin = 0;
    int32_t x = 0;                  // the current window in the picture
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* columns = nullptr;     // side store: the last `margin` columns of the window just left
    uint8_t* rows = nullptr;        // side store: the last `margin` rows of the row of windows above
};

// Sets the first window (at the picture's origin, clamped to the picture)
// and allocates the image and both side stores. The window must be at least
// `margin` wide and high. 0, -2 for unusable sizes, -201 on no memory.
int DenoiseImageStreamCreate(DenoiseMemHandle handle, DenoiseImageStream* stream, int32_t pictureWidth,
                             int32_t pictureHeight, int32_t windowWidth, int32_t windowHeight, int32_t margin);
// Saves the current window's last columns and rows into the side stores,
// moves to the next window and copies what lies left of and above it into its
// left and top margins (where the picture has samples there). 1 when a next
// window was set up, 0 after the last one, -2 for an unusable stream.
int DenoiseImageStreamNext(DenoiseImageStream* stream);
// Frees both side stores and the image.
void DenoiseImageStreamFree(DenoiseMemHandle handle, DenoiseImageStream* stream);
