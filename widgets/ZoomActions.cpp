#include "ZoomActions.h"

#include "ImageViewerTypes.h"
#include "QDoubleSlider.h"

#include <QAction>
#include <QSignalBlocker>
#include <cmath>

int zoomStateOf(int fitMode, double scale, double minScale, double maxScale)
{
    switch (fitMode) {
    case FIT_WINDOW:
        return 0;
    case FIT_ORIGINAL:
        return 1;
    case FIT_FREE:
        if (std::abs(scale - maxScale) <= 1e-6)
            return 3;
        if (std::abs(scale - minScale) <= 1e-6)
            return 4;
        return 2;
    default:
        return 2;
    }
}

void ZoomActions::update(bool hasPicture, int zoomState) const
{
    if (!hasPicture) {
        for (QAction* a : {fit, original, zoomIn, zoomOut})
            if (a)
                a->setEnabled(false);
        return;
    }
    if (fit)
        fit->setEnabled(zoomState != 0);
    if (original)
        original->setEnabled(zoomState != 1);
    if (zoomIn)
        zoomIn->setEnabled(zoomState != 3);
    if (zoomOut)
        zoomOut->setEnabled(zoomState != 0 && zoomState != 4);
}

void showZoomRange(QDoubleSlider* slider, double minScale, double maxScale, double scale)
{
    if (!slider)
        return;
    const QSignalBlocker blocker(slider);
    slider->setRange(minScale, maxScale);
    slider->setValue(scale, true);
}
