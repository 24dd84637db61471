#include "GraphicsImageViewer.h"

#include "QMovieProxy.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimeLine>
#include <QTimer>
#include <algorithm>
#include <cmath>

bool GraphicsImageViewer::s_pressed = false;

namespace {
const QColor kBackground(0x22, 0x22, 0x22);
}

GraphicsImageViewer::GraphicsImageViewer(QWidget* parent)
    : QGraphicsView(parent)
{
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(false);
    grabGesture(Qt::PinchGesture);
    m_dpr = screenRatio();

    m_timelineX = new QTimeLine(1000, this);
    m_timelineY = new QTimeLine(1000, this);
    for (QTimeLine* t : {m_timelineX, m_timelineY}) {
        t->setEasingCurve(QEasingCurve::OutSine);
        t->setDuration(150);
        t->setUpdateInterval(7);
        connect(t, &QTimeLine::finished, this, &GraphicsImageViewer::onScrollTimelineFinished);
    }
    m_frameTimer = new QTimer(this);
    m_frameTimer->setSingleShot(true);
    m_scalingTimer = new QTimer(this);
    m_scalingTimer->setSingleShot(true);
    m_scalingTimer->setInterval(80);
    m_dragThreshold = int(m_dpr * 4.0);

    m_item = new QGraphicsPixmapItem;
    m_item->setTransformationMode(Qt::SmoothTransformation);
    m_item->setScale(1.0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scene = new QGraphicsScene;
    m_scene->setSceneRect(0, 0, kSceneSize, kSceneSize);
    m_scene->setBackgroundBrush(kBackground);
    m_scene->addItem(m_item);
    setFrameShape(QFrame::NoFrame);
    setScene(m_scene);

    connect(m_timelineX, &QTimeLine::frameChanged, this, &GraphicsImageViewer::scrollToX);
    connect(m_timelineY, &QTimeLine::frameChanged, this, &GraphicsImageViewer::scrollToY);
    connect(m_frameTimer, &QTimer::timeout, this, &GraphicsImageViewer::onAnimationTimer,
            Qt::UniqueConnection);
    connect(m_scalingTimer, &QTimer::timeout, this, &GraphicsImageViewer::requestScaling);
    auto reportPosition = [this] {
        emit positionChanged(horizontalScrollBar()->value(), verticalScrollBar()->value());
    };
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, reportPosition);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, reportPosition);

    readSettings();
}

GraphicsImageViewer::~GraphicsImageViewer()
{
    // The scene has no parent; it deletes the item with it.
    setScene(nullptr);
    delete m_scene;
}

double GraphicsImageViewer::screenRatio() const
{
    return devicePixelRatioF();
}

void GraphicsImageViewer::readSettings()
{
    m_expandCap = 4.0;
    m_expandImage = true;
    m_smoothAnimation = true;
    m_smoothEnlargement = true;
    m_keepFitMode = false;
    m_zoomStep = 0.2;
    m_defaultFitMode = FIT_WINDOW;
    m_zoomAnchorMode = 1;
    onFullscreenModeChanged(m_fullscreen);
    if (isDisplaying())
        updateScaleRange();
    setScalingFilter(QI_FILTER_BILINEAR);
    setFitMode(ImageFitMode(m_defaultFitMode));
}

void GraphicsImageViewer::onFullscreenModeChanged(bool on)
{
    m_fullscreen = on;
    m_scene->setBackgroundBrush(kBackground);
}

void GraphicsImageViewer::setZoomAnchorMode(int mode)
{
    if (mode >= 0 && mode <= 2)
        m_zoomAnchorMode = mode;
}

int GraphicsImageViewer::fitMode() const { return m_fitMode; }
double GraphicsImageViewer::currentScale() const { return m_item->scale(); }
bool GraphicsImageViewer::isDisplaying() const { return m_pixmap != nullptr; }
int GraphicsImageViewer::scalingFilter() const { return m_scalingFilter; }
QWidget* GraphicsImageViewer::widget() { return this; }

QSize GraphicsImageViewer::sourceSize() const
{
    return m_pixmap ? m_pixmap->size() : QSize(0, 0);
}

QRect GraphicsImageViewer::imageRect() const
{
    const QRectF r = m_item->sceneBoundingRect();
    return QRect(mapFromScene(r.topLeft()), mapFromScene(r.bottomRight()));
}

QPixmap GraphicsImageViewer::pixmap() const
{
    return m_pixmap ? *m_pixmap : QPixmap();
}

QImage GraphicsImageViewer::image() const
{
    if (!m_pixmap)
        return QImage();
    QImage img = m_pixmap->toImage();
    img.setDevicePixelRatio(1.0);
    return img;
}

Qt::TransformationMode GraphicsImageViewer::itemTransformationMode() const
{
    return m_item->transformationMode();
}

void GraphicsImageViewer::setFrameCallback(FrameCallback callback, void* context)
{
    m_frameCallback = callback;
    m_frameCallbackContext = context;
}

void GraphicsImageViewer::show()
{
    setMouseTracking(false);
    QGraphicsView::show();
    setMouseTracking(true);
}

void GraphicsImageViewer::hide()
{
    setMouseTracking(false);
    QGraphicsView::hide();
}

// ---- pictures -------------------------------------------------------------

void GraphicsImageViewer::showImageOwned(std::unique_ptr<QPixmap> pixmap)
{
    closeImage();
    if (pixmap && !pixmap->isNull())
        displayPixmap(std::move(pixmap));
}

void GraphicsImageViewer::showImageScaled(std::unique_ptr<QPixmap> pixmap)
{
    if (!pixmap || pixmap->isNull())
        return;
    m_item->setPixmap(QPixmap());
    m_item->setScale(1.0);
    m_pixmap.reset();
    centerOn(m_scene->sceneRect().center());
    viewport()->update();
    displayPixmap(std::move(pixmap));
}

void GraphicsImageViewer::showImage(std::unique_ptr<QPixmap> pixmap)
{
    if (!pixmap || pixmap->isNull())
        return;
    // Nothing to keep: show it as a new picture.
    if (!m_pixmap) {
        displayPixmap(std::move(pixmap));
        return;
    }
    const bool sameSize = pixmap->size() == m_pixmap->size();
    m_pixmap = std::shared_ptr<QPixmap>(pixmap.release());
    m_pixmap->setDevicePixelRatio(m_dpr);
    m_item->setPixmap(*m_pixmap);
    m_item->update();
    if (!sameSize)
        adoptNewSize();
}

void GraphicsImageViewer::adoptNewSize()
{
    // Re-centre the item on its new size, so the picture does not drift off
    // the scene centre, and take the new picture's scale range.
    placeItem();
    updateScaleRange();
    if (m_lockMode == 0 && m_fitMode != FIT_FREE) {
        // A fitted picture is fitted again.
        applyFitMode();
    } else {
        // A free or locked scale stays, within the new range: an old scale
        // below the new minimum would make the next zoom-out enlarge.
        const float scale = float(currentScale());
        if (clampedScale(scale) != scale)
            setScale(scale);
        if (m_lockMode == 0 && currentScale() == m_fitScale)
            m_fitMode = FIT_WINDOW;
    }
    centreFittingAxes();
    keepImageEdges();
    requestScaling();
}

void GraphicsImageViewer::placeItem()
{
    const double w = m_pixmap->width() / (2.0 * m_dpr);
    const double h = m_pixmap->height() / (2.0 * m_dpr);
    m_item->setOffset(kSceneSize * 0.5 - w, kSceneSize * 0.5 - h);
    m_item->setTransformOriginPoint(m_item->boundingRect().center());
}

void GraphicsImageViewer::displayPixmap(std::unique_ptr<QPixmap> pixmap)
{
    if (!pixmap || pixmap->isNull())
        return;
    m_pixmap = std::shared_ptr<QPixmap>(pixmap.release());
    m_pixmap->setDevicePixelRatio(m_dpr);
    m_item->setPixmap(*m_pixmap);
    m_item->setTransformationMode(m_scalingFilter != 0 ? Qt::SmoothTransformation
                                                       : Qt::FastTransformation);
    m_item->show();
    placeItem();
    updateScaleRange();
    if (!(m_keepFitMode && m_fitMode != FIT_FREE))
        m_fitMode = m_defaultFitMode;
    if (m_lockMode != 0) {
        m_fitMode = FIT_FREE;
        zoomToScale(float(m_lockedScale));
        if (m_lockMode == 2)
            restoreRelativePosition();
    } else {
        applyFitMode();
    }
    requestScaling();
    update();
}

void GraphicsImageViewer::closeImage()
{
    stopScrollTimelines();
    m_item->setPixmap(QPixmap());
    m_item->setScale(1.0);
    m_pixmap.reset();
    if (m_movie) {
        emit animationPaused(true);
        m_frameTimer->stop();
        m_movie.reset();
    }
    centerOn(m_scene->sceneRect().center());
    viewport()->update();
}

// ---- scale model ------------------------------------------------------------

void GraphicsImageViewer::computeFitScale()
{
    if (!m_pixmap)
        return;
    const double vw = viewport()->width();
    const double vh = viewport()->height();
    // A viewport without area gives no usable fit; keep the previous one.
    if (vw <= 0 || vh <= 0)
        return;
    const double dpr = screenRatio();
    const float sx = float(dpr * vw / m_pixmap->width());
    const float sy = float(dpr * vh / m_pixmap->height());
    m_fitScale = std::min(sx, sy);
    if (m_expandImage && m_fitScale > m_expandCap)
        m_fitScale = m_expandCap;
}

bool GraphicsImageViewer::imageFits() const
{
    if (!m_pixmap)
        return true;
    const double dpr = screenRatio();
    return dpr * viewport()->width() >= m_pixmap->width()
        && dpr * viewport()->height() >= m_pixmap->height();
}

void GraphicsImageViewer::updateScaleRange()
{
    computeFitScale();
    m_minScale = imageFits() ? 1.0 : m_fitScale;
    if (m_lockMode != 0 && m_minScale > m_lockedScale)
        m_minScale = m_lockedScale;
    emit scaleRangeChanged(m_minScale, m_maxScale);
}

void GraphicsImageViewer::setScale(float scale)
{
    if (!m_pixmap)
        return;
    const float s = clampedScale(scale);
    m_item->setScale(s);
    m_item->setTransformationMode(transformationMode());
    m_item->show();
    emit scaleChanged(s);
}

Qt::TransformationMode GraphicsImageViewer::transformationMode() const
{
    if (m_forceFast)
        return Qt::FastTransformation;
    const double s = currentScale();
    if (!m_movie) {
        if (s > 1.0 && !m_smoothEnlargement)
            return Qt::FastTransformation;
        return m_scalingFilter != 0 ? Qt::SmoothTransformation : Qt::FastTransformation;
    }
    if (!m_smoothAnimation)
        return Qt::FastTransformation;
    if (s <= 1.0)
        return Qt::SmoothTransformation;
    return m_smoothEnlargement ? Qt::SmoothTransformation : Qt::FastTransformation;
}

QSizeF GraphicsImageViewer::scaledImageSize() const
{
    if (!m_pixmap)
        return QSizeF();
    const double s = currentScale();
    return QSizeF(m_pixmap->width() / m_dpr * s, m_pixmap->height() / m_dpr * s);
}

bool GraphicsImageViewer::imageFitsViewport() const
{
    const QSizeF size = scaledImageSize();
    return size.width() <= viewport()->width() && size.height() <= viewport()->height();
}

// ---- fit modes ----------------------------------------------------------------

void GraphicsImageViewer::applyFitMode()
{
    switch (m_fitMode) {
    case FIT_WINDOW: fitWindow(); break;
    case FIT_WIDTH: fitWidth(); break;
    case FIT_ORIGINAL: zoomToScale(1.0f); break;
    default: break;
    }
}

void GraphicsImageViewer::fitWindow()
{
    if (!m_pixmap)
        return;
    if (imageFits() && !m_expandImage) {
        zoomToScale(1.0f);
        return;
    }
    if (currentScale() != m_fitScale) {
        m_item->show();
        setScale(float(m_fitScale));
    }
    centerOn(m_item->sceneBoundingRect().center());
}

void GraphicsImageViewer::fitWidth()
{
    if (!m_pixmap)
        return;
    float s = float(screenRatio() * viewport()->width() / m_pixmap->width());
    if (!m_expandImage)
        s = std::min(s, 1.0f);
    s = std::min(s, float(m_expandCap));
    if (double(s) != currentScale()) {
        m_item->show();
        setScale(s);
    }
    centreFittingAxes();
    if (scaledImageSize().height() > viewport()->height())
        centerOn(visibleCentre().x(), 0.0);
    keepImageEdges();
}

void GraphicsImageViewer::zoomToScale(float scale)
{
    if (!m_pixmap)
        return;
    switch (m_zoomAnchorMode) {
    case 0:
        setScale(scale);
        centreFittingAxes();
        if (scaledImageSize().height() > viewport()->height())
            centerOn(kSceneSize * 0.5, 0.0);
        break;
    case 2:
        setZoomAnchor(cursorPosition());
        zoomAboutAnchor(scale);
        break;
    default:
        setZoomAnchor(viewportCentre());
        zoomAboutAnchor(scale);
        centreFittingAxes();
        break;
    }
    keepImageEdges();
}

void GraphicsImageViewer::setFitMode(ImageFitMode mode)
{
    if (mode < FIT_WINDOW || mode > FIT_FREE)
        return;
    if (m_scalingTimer->isActive())
        m_scalingTimer->stop();
    stopScrollTimelines();
    m_fitMode = mode;
    applyFitMode();
    requestScaling();
}

void GraphicsImageViewer::setFitWindow() { setFitMode(FIT_WINDOW); }
void GraphicsImageViewer::setFitOriginal() { setFitMode(FIT_ORIGINAL); }

void GraphicsImageViewer::setFitWidth()
{
    setFitMode(FIT_WIDTH);
    requestScaling();
}

void GraphicsImageViewer::setExpandImage(bool on)
{
    m_expandImage = on;
    if (m_pixmap)
        updateScaleRange();
    applyFitMode();
    requestScaling();
}

// ---- zoom steps ------------------------------------------------------------------

float GraphicsImageViewer::clampedScale(float scale) const
{
    return float(std::max(std::min(double(scale), m_maxScale), m_minScale));
}

void GraphicsImageViewer::beginManualZoom(float scale)
{
    // Settled before the scale changes, so that scaleChanged() receivers
    // already see the fit mode the zoom ends in.
    const double target = scale == float(currentScale()) ? currentScale() : clampedScale(scale);
    m_fitMode = target == m_fitScale ? FIT_WINDOW : FIT_FREE;
}

void GraphicsImageViewer::finishManualZoom()
{
    centreFittingAxes();
    keepImageEdges();
    m_fitMode = currentScale() == m_fitScale ? FIT_WINDOW : FIT_FREE;
}

void GraphicsImageViewer::zoomCentred(float scale)
{
    if (!m_pixmap)
        return;
    beginManualZoom(scale);
    setZoomAnchor(viewportCentre());
    zoomAboutAnchor(scale);
    finishManualZoom();
}

void GraphicsImageViewer::zoomIn()
{
    zoomCentred(float(currentScale() * (1.0 + m_zoomStep)));
}

void GraphicsImageViewer::zoomOut()
{
    zoomCentred(float(currentScale() * (1.0 - m_zoomStep)));
}

void GraphicsImageViewer::zoom(float scale)
{
    zoomCentred(scale);
}

void GraphicsImageViewer::requestScaling()
{
    if (!m_pixmap || m_movie)
        return;
    const double s = currentScale();
    if (s >= 1.0)
        return;
    const QSizeF size = scaledImageSize();
    const double dpr = screenRatio();
    emit scalingRequested(QSize(int(std::lround(size.width() * dpr)),
                                int(std::lround(size.height() * dpr))),
                          ScalingFilter(m_scalingFilter));
}

void GraphicsImageViewer::setScalingFilter(ScalingFilter filter)
{
    if (filter == m_scalingFilter || filter < QI_FILTER_NEAREST || filter > QI_FILTER_BILINEAR)
        return;
    m_scalingFilter = filter;
    m_item->setTransformationMode(transformationMode());
    if (filter == 0 && m_pixmap)
        m_item->show();
    requestScaling();
}

void GraphicsImageViewer::setFilterNearest() { setScalingFilter(QI_FILTER_NEAREST); }
void GraphicsImageViewer::setFilterBilinear() { setScalingFilter(QI_FILTER_BILINEAR); }

// ---- lock modes ----------------------------------------------------------------------

void GraphicsImageViewer::toggleLockZoom()
{
    if (!m_pixmap)
        return;
    if (m_lockMode == 1) {
        m_lockMode = 0;
        return;
    }
    m_lockMode = 1;
    m_lockedScale = currentScale();
    m_fitMode = FIT_FREE;
}

void GraphicsImageViewer::toggleLockView()
{
    if (!m_pixmap)
        return;
    if (m_lockMode == 2) {
        m_lockMode = 0;
        return;
    }
    m_lockMode = 2;
    m_lockedScale = currentScale();
    m_fitMode = FIT_FREE;
    saveRelativePosition();
}

void GraphicsImageViewer::saveRelativePosition()
{
    if (!m_pixmap)
        return;
    const QRectF r = m_item->sceneBoundingRect();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QPointF p = visibleCentre();
    m_relX = std::clamp((p.x() + 1.0 - r.left()) / r.width(), 0.0, 1.0);
    m_relY = std::clamp((p.y() + 1.0 - r.top()) / r.height(), 0.0, 1.0);
}

void GraphicsImageViewer::restoreRelativePosition()
{
    const QRectF r = m_item->sceneBoundingRect();
    centerOn(r.left() + r.width() * m_relX, r.top() + r.height() * m_relY);
    centreFittingAxes();
    keepImageEdges();
}

// ---- events --------------------------------------------------------------------------------

void GraphicsImageViewer::showEvent(QShowEvent* event)
{
    // No QCoreApplication::processEvents() here: the pane is shown from
    // inside the callers' own slots (a new result, the comparison toggle),
    // and serving the event loop there would run queued results and user
    // input in the middle of them. Qt has already laid the pane out and
    // resized it before this event, so there is nothing to wait for.
    QGraphicsView::showEvent(event);
    if (m_fitMode == FIT_ORIGINAL)
        zoomToScale(1.0f);
}

void GraphicsImageViewer::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    const QWidget* parent = parentWidget();
    if (!(parent ? parent->isVisible() : isVisible()))
        return;
    m_pressPos = cursorPosition();
    stopScrollTimelines();
    if (m_pixmap)
        updateScaleRange();
    switch (m_fitMode) {
    case FIT_ORIGINAL:
    case FIT_FREE:
        centreFittingAxes();
        keepImageEdges();
        break;
    case FIT_WINDOW: fitWindow(); break;
    case FIT_WIDTH: fitWidth(); break;
    default: break;
    }
    update();
    m_scalingTimer->start();
    if (m_lockMode == 2)
        saveRelativePosition();
}

// ---- animation ------------------------------------------------------------------------------

QPixmap GraphicsImageViewer::currentMovieFrame() const
{
    QPixmap frame = m_movie->currentPixmap();
    if (m_frameCallback && !frame.isNull())
        m_frameCallback(frame, m_frameCallbackContext);
    return frame;
}

void GraphicsImageViewer::showAnimation(std::unique_ptr<QMovieProxy> movie)
{
    closeImage();
    if (!movie || movie->frameCount() <= 0)
        return;
    m_movie = std::move(movie);
    QPixmap frame = currentMovieFrame();
    if (frame.isNull()) {
        m_movie.reset();
        return;
    }
    displayPixmap(std::make_unique<QPixmap>(frame));
    emit frameChanged(m_movie->currentFrameNumber(), frame.toImage());
    emit durationChanged(m_movie->nextFrameDelay(), m_movie->frameCount());
    startAnimation();
}

void GraphicsImageViewer::onAnimationTimer()
{
    if (!m_movie)
        return;
    if (m_movie->currentFrameNumber() >= m_movie->frameCount() - 1) {
        if (!m_loopPlayback) {
            stopAnimation();
            emit playbackFinished();
            return;
        }
        m_movie->jumpToFrame(0);
    } else {
        m_movie->jumpToNextFrame();
    }
    QPixmap frame = currentMovieFrame();
    if (!frame.isNull()) {
        if (m_pixmap && frame.size() == m_pixmap->size())
            showImage(std::make_unique<QPixmap>(frame));
        else
            displayPixmap(std::make_unique<QPixmap>(frame));
        emit frameChanged(m_movie->currentFrameNumber(), frame.toImage());
    }
    m_frameTimer->start(std::max(0, m_movie->nextFrameDelay()));
}

void GraphicsImageViewer::startAnimation()
{
    if (!m_movie || m_movie->frameCount() < 2)
        return;
    emit animationPaused(false);
    m_frameTimer->start(std::max(0, m_movie->nextFrameDelay()));
}

void GraphicsImageViewer::stopAnimation()
{
    emit animationPaused(true);
    m_frameTimer->stop();
}

bool GraphicsImageViewer::showAnimationFrame(int frame)
{
    if (!m_movie || frame < 0 || frame >= m_movie->frameCount())
        return false;
    if (!m_movie->jumpToFrame(frame))
        return false;
    QPixmap pix = currentMovieFrame();
    if (pix.isNull())
        return false;
    if (m_pixmap && pix.size() == m_pixmap->size())
        showImage(std::make_unique<QPixmap>(pix));
    else
        displayPixmap(std::make_unique<QPixmap>(pix));
    emit frameChanged(frame, pix.toImage());
    return true;
}

void GraphicsImageViewer::nextFrame()
{
    if (!m_movie)
        return;
    const int n = m_movie->frameCount();
    showAnimationFrame((m_movie->currentFrameNumber() + 1) % n);
}

void GraphicsImageViewer::prevFrame()
{
    if (!m_movie)
        return;
    const int n = m_movie->frameCount();
    showAnimationFrame((m_movie->currentFrameNumber() - 1 + n) % n);
}

void GraphicsImageViewer::setLoopPlayback(bool on)
{
    const bool wasOn = m_loopPlayback;
    m_loopPlayback = on;
    if (on && !wasOn)
        startAnimation();
}
