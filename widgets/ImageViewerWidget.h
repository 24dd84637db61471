#pragma once
#include "ImageViewerTypes.h"

#include <QHBoxLayout>
#include <QImage>
#include <QList>
#include <QTimer>
#include <QWidget>
#include <memory>

class GraphicsImageViewer;
class QMovieProxy;

// One viewer pane wrapped for a single picture: fans commands out to it,
// forwards its signals and hides the mouse cursor after a second at rest.
class ImageViewerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ImageViewerWidget(QWidget* parent = nullptr);
    ~ImageViewerWidget() override;

    double currentScale() const;
    double maxScale() const;
    double minScale() const;
    int fitMode() const;
    QRect imageRect() const;
    bool lockZoomEnabled() const;
    bool lockViewEnabled() const;
    void setZoomStep(double step);
    void showImageOwned(std::unique_ptr<QPixmap> pixmap);
    void showImage(std::unique_ptr<QPixmap> pixmap);
    void showImageScaled(std::unique_ptr<QPixmap> pixmap);
    void showAnimation(std::unique_ptr<QMovieProxy> movie);
    void setImage(const QImage& image);

    bool isEmpty() const { return m_mode == 1; }
    void enableViewer();
    void disableViewer();
    void setCursorAutoHide(bool on);
    bool cursorAutoHide() const { return m_cursorAutoHide; }
    bool isCursorHidden() const;
    bool isFullscreenMode() const { return m_fullscreen; }
    GraphicsImageViewer* viewer() const { return m_viewer; }

signals:
    void scalingRequested(QSize size, ScalingFilter filter);
    void zoomIn();
    void zoomOut();
    void zoomInCursor();
    void zoomOutCursor();
    void scrollUp();
    void scrollDown();
    void scrollLeft();
    void scrollRight();
    void fitWindow();
    void fitWidth();
    void fitOriginal();
    void toggleTransparencyGrid();
    void draggedOut();
    void setFilterNearest();
    void setFilterBilinear();
    void playbackFinished();
    void toggleLockZoom();
    void toggleLockView();
    void scaleChanged(double scale);
    void scaleRangeChanged(double minScale, double maxScale);
    void animationPaused(bool paused);
    void frameChanged(int frame, QImage image);
    void durationChanged(int nextFrameDelay, int frames);

private slots:
    void onScaleChanged(double scale);
    void onScaleRangeChanged(double minScale, double maxScale);
    void onAnimationPlaybackFinished();

public slots:
    void stopPlayback();
    void setFitMode(ImageFitMode mode);
    void closeImage();
    void hideCursor();
    void showCursor();
    void hideCursorTimed(bool restartTimer);
    void slotZoomIn();
    void slotZoomOut();
    void slotZoom(double scale);
    void pauseResumePlayback();
    void frameStep();
    void frameStepBack();
    void seek(int pos);
    void startPlayback();
    void showContextMenu();
    void hideContextMenu();
    void showContextMenu(QPoint pos);
    void onFullscreenModeChanged(bool on);
    void setLoopPlayback(bool mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QHBoxLayout m_layout;
    GraphicsImageViewer* m_viewer = nullptr;
    int m_mode = 1;
    QTimer m_cursorTimer;
    int m_cursorInterval = 1000;
    bool m_cursorAutoHide = true;
    bool m_fullscreen = false;
    bool m_paused = true;
    QList<QMetaObject::Connection> m_animationConnections;
};
