#include "ImageViewerWidget.h"

#include "GraphicsImageViewer.h"
#include "QMovieProxy.h"

#include <QCursor>
#include <QMouseEvent>

ImageViewerWidget::ImageViewerWidget(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_MouseTracking);
    setLayout(&m_layout);
    m_layout.setContentsMargins(0, 0, 0, 0);
    m_layout.setSpacing(0);

    m_viewer = new GraphicsImageViewer(this);
    m_layout.addWidget(m_viewer);
    m_viewer->hide();
    // The pane's viewport receives the mouse; watch it for the cursor timer.
    m_viewer->viewport()->installEventFilter(this);

    connect(m_viewer, &GraphicsImageViewer::scalingRequested, this,
            &ImageViewerWidget::scalingRequested);
    connect(m_viewer, &GraphicsImageViewer::scaleChanged, this, &ImageViewerWidget::onScaleChanged);
    connect(m_viewer, &GraphicsImageViewer::scaleRangeChanged, this,
            &ImageViewerWidget::onScaleRangeChanged);
    connect(m_viewer, &GraphicsImageViewer::playbackFinished, this,
            &ImageViewerWidget::onAnimationPlaybackFinished);

    connect(this, &ImageViewerWidget::zoomIn, m_viewer, &GraphicsImageViewer::zoomIn);
    connect(this, &ImageViewerWidget::zoomOut, m_viewer, &GraphicsImageViewer::zoomOut);
    connect(this, &ImageViewerWidget::zoomInCursor, m_viewer, &GraphicsImageViewer::zoomInCursor);
    connect(this, &ImageViewerWidget::zoomOutCursor, m_viewer, &GraphicsImageViewer::zoomOutCursor);
    connect(this, &ImageViewerWidget::scrollUp, m_viewer, &GraphicsImageViewer::scrollUp);
    connect(this, &ImageViewerWidget::scrollDown, m_viewer, &GraphicsImageViewer::scrollDown);
    connect(this, &ImageViewerWidget::scrollLeft, m_viewer, &GraphicsImageViewer::scrollLeft);
    connect(this, &ImageViewerWidget::scrollRight, m_viewer, &GraphicsImageViewer::scrollRight);
    connect(this, &ImageViewerWidget::fitWindow, m_viewer, &GraphicsImageViewer::setFitWindow);
    connect(this, &ImageViewerWidget::fitWidth, m_viewer, &GraphicsImageViewer::setFitWidth);
    connect(this, &ImageViewerWidget::fitOriginal, m_viewer, &GraphicsImageViewer::setFitOriginal);
    connect(this, &ImageViewerWidget::toggleLockZoom, m_viewer, &GraphicsImageViewer::toggleLockZoom);
    connect(this, &ImageViewerWidget::toggleLockView, m_viewer, &GraphicsImageViewer::toggleLockView);
    connect(this, &ImageViewerWidget::setFilterNearest, m_viewer,
            &GraphicsImageViewer::setFilterNearest);
    connect(this, &ImageViewerWidget::setFilterBilinear, m_viewer,
            &GraphicsImageViewer::setFilterBilinear);
    connect(m_viewer, &GraphicsImageViewer::draggedOut, this, &ImageViewerWidget::draggedOut);
    connect(m_viewer, &GraphicsImageViewer::animationPaused, this,
            [this](bool paused) { m_paused = paused; });
    m_viewer->enableZoomInteraction();

    m_cursorTimer.setSingleShot(true);
    m_cursorTimer.setInterval(m_cursorInterval);
    connect(&m_cursorTimer, &QTimer::timeout, this, &ImageViewerWidget::hideCursor);
}

ImageViewerWidget::~ImageViewerWidget()
{
    m_viewer->viewport()->removeEventFilter(this);
    // The pane belongs to the layout member's widget; delete it while both exist.
    delete m_viewer;
    m_viewer = nullptr;
}

void ImageViewerWidget::enableViewer()
{
    if (m_mode != 1)
        return;
    m_animationConnections << connect(m_viewer, SIGNAL(durationChanged(int,int)), this,
                                      SIGNAL(durationChanged(int,int)));
    m_animationConnections << connect(m_viewer, SIGNAL(frameChanged(int,QImage)), this,
                                      SIGNAL(frameChanged(int,QImage)));
    m_animationConnections << connect(m_viewer, SIGNAL(animationPaused(bool)), this,
                                      SIGNAL(animationPaused(bool)));
    m_viewer->show();
    m_mode = 0;
}

void ImageViewerWidget::disableViewer()
{
    if (m_mode != 0)
        return;
    m_mode = 1;
    m_viewer->closeImage();
    m_viewer->hide();
    for (const QMetaObject::Connection& c : std::as_const(m_animationConnections))
        disconnect(c);
    m_animationConnections.clear();
}

double ImageViewerWidget::currentScale() const { return m_viewer->currentScale(); }
double ImageViewerWidget::maxScale() const { return m_viewer->maxScale(); }
double ImageViewerWidget::minScale() const { return m_viewer->minScale(); }
int ImageViewerWidget::fitMode() const { return m_viewer->fitMode(); }
QRect ImageViewerWidget::imageRect() const { return m_viewer->imageRect(); }
bool ImageViewerWidget::lockZoomEnabled() const { return m_viewer->lockZoomEnabled(); }
bool ImageViewerWidget::lockViewEnabled() const { return m_viewer->lockViewEnabled(); }
void ImageViewerWidget::setZoomStep(double step) { m_viewer->setZoomStep(step); }

void ImageViewerWidget::showImageOwned(std::unique_ptr<QPixmap> pixmap)
{
    enableViewer();
    m_viewer->showImageOwned(std::move(pixmap));
}

void ImageViewerWidget::showImage(std::unique_ptr<QPixmap> pixmap)
{
    enableViewer();
    m_viewer->showImage(std::move(pixmap));
}

void ImageViewerWidget::showImageScaled(std::unique_ptr<QPixmap> pixmap)
{
    enableViewer();
    m_viewer->showImageScaled(std::move(pixmap));
}

void ImageViewerWidget::showAnimation(std::unique_ptr<QMovieProxy> movie)
{
    enableViewer();
    m_viewer->showAnimation(std::move(movie));
}

void ImageViewerWidget::setImage(const QImage& image)
{
    showImageOwned(std::make_unique<QPixmap>(QPixmap::fromImage(image)));
}

void ImageViewerWidget::onScaleChanged(double scale)
{
    if (isVisible())
        emit scaleChanged(scale);
}

void ImageViewerWidget::onScaleRangeChanged(double minScale, double maxScale)
{
    if (isVisible())
        emit scaleRangeChanged(minScale, maxScale);
}

void ImageViewerWidget::onAnimationPlaybackFinished()
{
    emit playbackFinished();
}

void ImageViewerWidget::setFitMode(ImageFitMode mode)
{
    switch (mode) {
    case FIT_WINDOW: emit fitWindow(); break;
    case FIT_WIDTH: emit fitWidth(); break;
    case FIT_ORIGINAL: emit fitOriginal(); break;
    default: break;
    }
}

void ImageViewerWidget::closeImage()
{
    m_viewer->closeImage();
    showCursor();
}

// ---- cursor ------------------------------------------------------------------------

bool ImageViewerWidget::isCursorHidden() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::BlankCursor;
}

void ImageViewerWidget::hideCursor()
{
    m_cursorTimer.stop();
    // Only over a shown picture; the pane inherits this widget's cursor.
    if (m_viewer->isDisplaying())
        setCursor(Qt::BlankCursor);
}

void ImageViewerWidget::showCursor()
{
    m_cursorTimer.stop();
    if (isCursorHidden())
        unsetCursor();
}

void ImageViewerWidget::hideCursorTimed(bool restartTimer)
{
    if (m_cursorTimer.isActive() && !restartTimer)
        return;
    m_cursorTimer.start(m_cursorInterval);
}

void ImageViewerWidget::setCursorAutoHide(bool on)
{
    m_cursorAutoHide = on;
    if (!on)
        showCursor();
}

bool ImageViewerWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_viewer->viewport() && m_cursorAutoHide) {
        if (event->type() == QEvent::MouseMove) {
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
                showCursor();
                hideCursorTimed(true);
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            showCursor();
            hideCursorTimed(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- zoom and playback -------------------------------------------------------------

void ImageViewerWidget::slotZoomIn() { emit zoomIn(); }
void ImageViewerWidget::slotZoomOut() { emit zoomOut(); }
void ImageViewerWidget::slotZoom(double scale) { m_viewer->zoom(float(scale)); }

void ImageViewerWidget::stopPlayback() { m_viewer->stopAnimation(); }
void ImageViewerWidget::startPlayback() { m_viewer->startAnimation(); }

void ImageViewerWidget::pauseResumePlayback()
{
    if (!m_viewer->hasAnimation())
        return;
    if (m_paused)
        m_viewer->startAnimation();
    else
        m_viewer->stopAnimation();
}

void ImageViewerWidget::frameStep()
{
    m_viewer->stopAnimation();
    m_viewer->nextFrame();
}

void ImageViewerWidget::frameStepBack()
{
    m_viewer->stopAnimation();
    m_viewer->prevFrame();
}

void ImageViewerWidget::seek(int pos) { m_viewer->showAnimationFrame(pos); }
void ImageViewerWidget::setLoopPlayback(bool mode) { m_viewer->setLoopPlayback(mode); }

void ImageViewerWidget::showContextMenu() { showContextMenu(QCursor::pos()); }
void ImageViewerWidget::hideContextMenu() {}
void ImageViewerWidget::showContextMenu(QPoint) {}

void ImageViewerWidget::onFullscreenModeChanged(bool on)
{
    m_viewer->onFullscreenModeChanged(on);
    m_fullscreen = on;
}

bool ImageViewerWidget::focusNextPrevChild(bool)
{
    return false;
}
