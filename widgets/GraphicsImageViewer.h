#pragma once
#include "ImageViewerTypes.h"

#include <QGraphicsView>
#include <QPixmap>
#include <memory>

class QGraphicsPixmapItem;
class QGestureEvent;
class QMovieProxy;
class QTimeLine;
class QTimer;

// A pane that shows one picture: zooms by scaling the picture item (the view
// transform stays the identity), keeps a fit mode, bounds the scale, centres
// small pictures and keeps large ones flush with the viewport edges.
// Pictures are handed over as owned pixmaps; a null or empty one means none.
class GraphicsImageViewer : public QGraphicsView
{
    Q_OBJECT
public:
    using FrameCallback = void (*)(QPixmap& frame, void* context);

    // Interaction states of the mouse handling.
    enum InteractionState {
        StateIdle = 0,
        StateDragOut = 1,
        StateBusy = 2,
        StatePanning = 3,
        StateDragZoom = 4,
        StateWheelZoom = 5
    };

    static constexpr double kSceneSize = 200000.0;
    static constexpr double kMaxScale = 10.0;
    static constexpr int kScrollStep = 220;
    static constexpr double kScrollContinuation = 1.3;
    static constexpr int kDragOutDistance = 10;
    static constexpr int kLargeViewportPixels = 2073600;
    static constexpr double kDragZoomPerPixel = 0.003;

    explicit GraphicsImageViewer(QWidget* parent = nullptr);
    ~GraphicsImageViewer() override;

    virtual int fitMode() const;
    virtual QRect imageRect() const;
    virtual double currentScale() const;
    virtual QSize sourceSize() const;
    // Takes the picture and shows it with a new fit; null or empty closes.
    virtual void showImageOwned(std::unique_ptr<QPixmap> pixmap);
    // Replaces the picture in place, keeping scale, fit mode and scroll.
    virtual void showImage(std::unique_ptr<QPixmap> pixmap);
    // Shows a picture with a new fit without touching the scroll animations.
    virtual void showImageScaled(std::unique_ptr<QPixmap> pixmap);
    virtual void showAnimation(std::unique_ptr<QMovieProxy> movie);
    virtual bool isDisplaying() const;
    virtual bool imageFits() const;
    virtual int scalingFilter() const;
    virtual QWidget* widget();

    double minScale() const { return m_minScale; }
    double maxScale() const { return m_maxScale; }
    double fitScale() const { return m_fitScale; }
    double zoomStep() const { return m_zoomStep; }
    bool expandImage() const { return m_expandImage; }
    int zoomAnchorMode() const { return m_zoomAnchorMode; }
    void setZoomAnchorMode(int mode);
    int interactionState() const { return m_state; }
    bool isFullscreenMode() const { return m_fullscreen; }
    bool hasAnimation() const { return m_movie != nullptr; }
    bool loopPlayback() const { return m_loopPlayback; }
    QPixmap pixmap() const;
    QImage image() const;
    Qt::TransformationMode itemTransformationMode() const;
    void setFrameCallback(FrameCallback callback, void* context);

    void enableZoomInteraction() { m_zoomInteraction = true; }
    void disableZoomInteraction() { m_zoomInteraction = false; }
    bool zoomInteractionEnabled() const { return m_zoomInteraction; }

    void scrollTo(int x, int y);
    void scrollBy(int dx, int dy);
    void scrollAnimated(int dx, int dy);

signals:
    void scalingRequested(QSize size, ScalingFilter filter);
    void scaleChanged(double scale);
    void scaleRangeChanged(double minScale, double maxScale);
    void sourceSizeChanged(QSize size);
    void imageAreaChanged(QRect area);
    void draggedOut();
    void playbackFinished();
    void animationPaused(bool paused);
    void frameChanged(int frame, QImage image);
    void durationChanged(int nextFrameDealy, int frames);
    void positionChanged(int x, int y);

public slots:
    virtual void setFitMode(ImageFitMode mode);
    virtual void setFitOriginal();
    virtual void setFitWidth();
    virtual void setFitWindow();
    virtual void zoomIn();
    virtual void zoomOut();
    virtual void zoomInCursor();
    virtual void zoomOutCursor();
    virtual void zoom(float scale);
    virtual void readSettings();
    virtual void scrollUp();
    virtual void scrollDown();
    virtual void scrollLeft();
    virtual void scrollRight();
    virtual void startAnimation();
    virtual void stopAnimation();
    virtual void closeImage();
    virtual void setExpandImage(bool on);
    virtual void show();
    virtual void hide();
    virtual void setFilterNearest();
    virtual void setFilterBilinear();
    virtual void setScalingFilter(ScalingFilter filter);
    void setLoopPlayback(bool on);
    void nextFrame();
    void prevFrame();
    bool showAnimationFrame(int frame);
    void onFullscreenModeChanged(bool on);
    void toggleLockZoom();
    bool lockZoomEnabled() const { return m_lockMode == 1; }
    void toggleLockView();
    bool lockViewEnabled() const { return m_lockMode == 2; }
    void setZoomStep(double step = 0.05) { m_zoomStep = step; }
    ImageScrolling imageScrolling() const { return SCROLL_BY_DRAG; }
    bool nativeMagnifyEvent(float delta, float deltaX, float deltaY);
    bool nativeSmartMagnifyEvent(float delta, float deltaX, float deltaY);
    // Swipes are not used; the caller handles them.
    bool nativeSwipeEvent(float, float, float) { return false; }

protected slots:
    void onAnimationTimer();

protected:
    virtual bool pinchGesture(QGestureEvent* event);
    virtual void setScale(float scale);

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void requestScaling();
    void scrollToX(int x);
    void scrollToY(int y);
    void onScrollTimelineFinished();

private:
    void displayPixmap(std::unique_ptr<QPixmap> pixmap);
    void placeItem();
    void adoptNewSize();
    void applyFitMode();
    void computeFitScale();
    void updateScaleRange();
    void fitWindow();
    void fitWidth();
    void zoomToScale(float scale);
    void zoomCentred(float scale);
    void zoomAtViewportPoint(const QPoint& viewportPoint, float scale);
    float clampedScale(float scale) const;
    void beginManualZoom(float scale);
    void finishManualZoom();
    void setZoomAnchor(const QPoint& viewportPoint);
    void zoomAboutAnchor(float scale);
    void centreFittingAxes();
    void keepImageEdges();
    QPointF visibleCentre() const;
    QSizeF scaledImageSize() const;
    bool imageFitsViewport() const;
    QPoint viewportCentre() const;
    QPoint cursorPosition() const;
    Qt::TransformationMode transformationMode() const;
    void stopScrollTimelines();
    void saveRelativePosition();
    void restoreRelativePosition();
    void scrollAxisAnimated(QTimeLine* timeline, int value, int direction);
    QPixmap currentMovieFrame() const;
    double screenRatio() const;

    QGraphicsScene* m_scene = nullptr;
    QGraphicsPixmapItem* m_item = nullptr;
    std::shared_ptr<QPixmap> m_pixmap;
    std::unique_ptr<QMovieProxy> m_movie;
    FrameCallback m_frameCallback = nullptr;
    void* m_frameCallbackContext = nullptr;
    QTimeLine* m_timelineX = nullptr;
    QTimeLine* m_timelineY = nullptr;
    QTimer* m_frameTimer = nullptr;
    QTimer* m_scalingTimer = nullptr;

    double m_zoomStep = 0.05;
    double m_minScale = 0.01;
    double m_maxScale = kMaxScale;
    double m_fitScale = 0.125;
    double m_expandCap = 4.0;
    double m_lockedScale = 1.0;
    double m_dpr = 1.0;
    int m_dragThreshold = 4;

    bool m_expandImage = false;
    bool m_smoothAnimation = true;
    bool m_smoothEnlargement = true;
    bool m_forceFast = false;
    bool m_keepFitMode = false;
    bool m_loopPlayback = true;
    bool m_fullscreen = false;
    bool m_zoomInteraction = true;

    int m_fitMode = FIT_WINDOW;
    int m_defaultFitMode = FIT_WINDOW;
    int m_zoomAnchorMode = 1;
    int m_scalingFilter = QI_FILTER_BILINEAR;
    int m_lockMode = 0;
    int m_state = StateIdle;

    QPoint m_pressPos;
    QPoint m_dragRef;
    QPointF m_anchorItemPoint;
    QPoint m_anchorViewportPoint;
    double m_relX = 0.5;
    double m_relY = 0.5;

    // A button went down inside some viewer; shared by every viewer.
    static bool s_pressed;
};
