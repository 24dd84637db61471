#pragma once
#include "BAImageViewerWidget.h"
#include "ZoomActions.h"

#include <QFrame>
#include <QImage>
#include <QPointer>

class QAction;
class QDoubleSlider;
class QLayout;
class QLineEdit;

// The frame around the two-pane comparison viewer: ties the viewer to a zoom
// slider, a read-only zoom percentage field and four optional zoom actions.
// Pane A holds the working picture, pane B the unprocessed one.
class IQBAImageFrame : public QFrame
{
    Q_OBJECT
public:
    explicit IQBAImageFrame(QWidget* parent = nullptr);
    ~IQBAImageFrame() override;

    virtual void setZoomControls(QDoubleSlider* slider, QLineEdit* edit);
    virtual void createViewer(QLayout* layout);

    void closeImage();
    QImage currentImage() const;
    QImage originalImage() const;
    double scale() const;
    // 0 fitted or no viewer, 1 actual size, 2 free zoom, 3 at maximum, 4 at minimum.
    int zoomState() const;

    void setImages(const QImage& before, const QImage& after);
    void setCurrentImage(const QImage& image, bool refit);
    void setOriginalImage(const QImage& image, bool refit);

    BAImageViewerWidget* viewer() const { return m_viewer; }
    void setZoomActions(QAction* actual, QAction* fit, QAction* in, QAction* out);

public slots:
    void zoomOut();
    void zoomIn();
    void zoomFit();
    void zoomActual();
    void updateZoomAction();

private slots:
    void onZoomSliderValueChanged(double value);
    void onViewerScaleChanged(double scale);
    void onViewerScaleRangeChanged(double minScale, double maxScale);

private:
    bool hasWorkingImage() const;
    void showZoomPercent(double scale);

    ZoomActions m_zoomActions;
    // Guarded: the layout's widget owns the viewer too and may go first.
    QPointer<BAImageViewerWidget> m_viewer;
    QLayout* m_viewerLayout = nullptr;
    QDoubleSlider* m_zoomSlider = nullptr;
    QLineEdit* m_zoomEdit = nullptr;
};
