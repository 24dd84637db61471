#pragma once
#include <QMetaType>

// How a viewer fits its picture.
enum ImageFitMode {
    FIT_WINDOW = 0,
    FIT_WIDTH = 1,
    FIT_ORIGINAL = 2,
    FIT_FREE = 3
};

// How a viewer resamples its picture.
enum ScalingFilter {
    QI_FILTER_NEAREST = 0,
    QI_FILTER_BILINEAR = 1
};

// How a viewer moves its picture: 1, the wheel and pinch zoom, while the
// picture moves by dragging and by the scroll steps.
enum ImageScrolling {
    SCROLL_NONE = 0,
    SCROLL_BY_DRAG = 1
};

Q_DECLARE_METATYPE(ImageFitMode)
Q_DECLARE_METATYPE(ScalingFilter)
Q_DECLARE_METATYPE(ImageScrolling)
