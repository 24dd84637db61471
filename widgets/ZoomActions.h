#pragma once
// Zoom controls shared by the single-picture frame and the two-pane frame.

class QAction;
class QDoubleSlider;

// 0 fitted, 1 original size, 2 free zoom, 3 at maximum, 4 at minimum.
int zoomStateOf(int fitMode, double scale, double minScale, double maxScale);

// A frame's four optional zoom actions.
struct ZoomActions {
    QAction* fit = nullptr;
    QAction* original = nullptr;
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;

    // Without a picture every action is off; with one, each is on where it
    // would change the view.
    void update(bool hasPicture, int zoomState) const;
};

// The slider takes the viewer's new range and scale without sending either
// back as a zoom request.
void showZoomRange(QDoubleSlider* slider, double minScale, double maxScale, double scale);
