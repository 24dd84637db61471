#pragma once
#include "ImageViewerWidget.h"
#include "ZoomActions.h"

#include <QFrame>
#include <QImage>
#include <QPointer>

class QAction;
class QDoubleSlider;
class QLayout;

// A frame around one ImageViewerWidget, tied to a zoom slider and four
// optional zoom actions.
class IQImageFrameV2 : public QFrame
{
    Q_OBJECT
public:
    explicit IQImageFrameV2(QWidget* parent = nullptr);
    ~IQImageFrameV2() override;

    void createViewer(QLayout* layout);
    void setZoomSlider(QDoubleSlider* slider);
    void setZoomActions(QAction* fit, QAction* original, QAction* in, QAction* out);
    void setImage(const QImage& image);
    void setImageKeepView(const QImage& image);
    QImage image() const { return m_image; }
    void closeImage();
    double scale() const;
    // 0 fitted or no viewer, 1 original size, 2 free zoom, 3 at maximum, 4 at minimum.
    int zoomState() const;
    ImageViewerWidget* viewer() const { return m_viewer; }

public slots:
    void zoomIn();
    void zoomOut();
    void zoomFit();
    void zoomActual();
    void updateZoomAction();

private slots:
    void onZoomSliderValueChanged(double value);
    void onViewerScaleChanged(double scale);
    void onViewerScaleRangeChanged(double minScale, double maxScale);

private:
    bool hasPicture() const;

    ZoomActions m_zoomActions;
    // Guarded: the viewer belongs to the layout's widget.
    QPointer<ImageViewerWidget> m_viewer;
    QLayout* m_layout = nullptr;
    QDoubleSlider* m_zoomSlider = nullptr;
    QImage m_image;
};
