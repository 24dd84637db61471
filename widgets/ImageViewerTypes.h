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

Q_DECLARE_METATYPE(ImageFitMode)
Q_DECLARE_METATYPE(ScalingFilter)
