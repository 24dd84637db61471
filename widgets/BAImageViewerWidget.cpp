#include "BAImageViewerWidget.h"

#include "GraphicsImageViewer.h"

#include <QCursor>
#include <QScrollBar>
#include <QSignalBlocker>

BAImageViewerWidget::BAImageViewerWidget(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_MouseTracking);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->setSpacing(1);

    m_paneB = new GraphicsImageViewer(this);
    m_layout->addWidget(m_paneB);
    connectViewer(m_paneB);
    m_paneA = new GraphicsImageViewer(this);
    m_layout->addWidget(m_paneA);
    connectViewer(m_paneA);
    m_layout->setStretchFactor(m_paneB, 1);
    m_layout->setStretchFactor(m_paneA, 1);

    showViewers(m_compareVisible);
    connectSignals();
}

BAImageViewerWidget::~BAImageViewerWidget()
{
    disconnectPositions();
}

void BAImageViewerWidget::connectViewer(GraphicsImageViewer* pane)
{
    pane->setExpandImage(false);
    connect(pane, &GraphicsImageViewer::scalingRequested, this,
            &BAImageViewerWidget::scalingRequested);
    connect(pane, &GraphicsImageViewer::scaleChanged, this, &BAImageViewerWidget::onScaleChanged);
    connect(pane, &GraphicsImageViewer::scaleRangeChanged, this,
            &BAImageViewerWidget::onScaleRangeChanged);
    connect(pane, &GraphicsImageViewer::positionChanged, this,
            &BAImageViewerWidget::onPositionChanged, Qt::UniqueConnection);
    connect(this, &BAImageViewerWidget::setFilterNearest, pane,
            &GraphicsImageViewer::setFilterNearest);
    connect(this, &BAImageViewerWidget::setFilterBilinear, pane,
            &GraphicsImageViewer::setFilterBilinear);
    pane->hide();
}

void BAImageViewerWidget::connectSignals()
{
    if (m_connected)
        return;
    // Step zooms go through one dispatcher so that synchronised panes take one
    // step rather than two (a step, its mirror, then a second step mirrored back).
    m_fanOut << connect(this, &BAImageViewerWidget::zoom, this, &BAImageViewerWidget::onZoom);
    m_fanOut << connect(this, &BAImageViewerWidget::zoomIn, this, &BAImageViewerWidget::onZoomIn);
    m_fanOut << connect(this, &BAImageViewerWidget::zoomOut, this, &BAImageViewerWidget::onZoomOut);
    m_fanOut << connect(this, &BAImageViewerWidget::zoomInCursor, this,
                        &BAImageViewerWidget::onZoomInCursor);
    m_fanOut << connect(this, &BAImageViewerWidget::zoomOutCursor, this,
                        &BAImageViewerWidget::onZoomOutCursor);
    for (GraphicsImageViewer* pane : {m_paneA, m_paneB}) {
        m_fanOut << connect(this, &BAImageViewerWidget::toggleLockZoom, pane,
                            &GraphicsImageViewer::toggleLockZoom);
        m_fanOut << connect(this, &BAImageViewerWidget::toggleLockView, pane,
                            &GraphicsImageViewer::toggleLockView);
        m_fanOut << connect(this, &BAImageViewerWidget::scrollUp, pane, &GraphicsImageViewer::scrollUp);
        m_fanOut << connect(this, &BAImageViewerWidget::scrollDown, pane,
                            &GraphicsImageViewer::scrollDown);
        m_fanOut << connect(this, &BAImageViewerWidget::scrollLeft, pane,
                            &GraphicsImageViewer::scrollLeft);
        m_fanOut << connect(this, &BAImageViewerWidget::scrollRight, pane,
                            &GraphicsImageViewer::scrollRight);
        m_fanOut << connect(this, &BAImageViewerWidget::fitWindow, pane,
                            &GraphicsImageViewer::setFitWindow);
        m_fanOut << connect(this, &BAImageViewerWidget::fitWidth, pane,
                            &GraphicsImageViewer::setFitWidth);
        m_fanOut << connect(this, &BAImageViewerWidget::fitOriginal, pane,
                            &GraphicsImageViewer::setFitOriginal);
        m_fanOut << connect(pane, &GraphicsImageViewer::draggedOut, this,
                            &BAImageViewerWidget::draggedOut);
        pane->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        pane->enableZoomInteraction();
    }
    m_connected = true;
}

void BAImageViewerWidget::disconnectSignals()
{
    for (const QMetaObject::Connection& c : std::as_const(m_fanOut))
        disconnect(c);
    m_fanOut.clear();
    for (GraphicsImageViewer* pane : {m_paneA, m_paneB}) {
        pane->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        pane->disableZoomInteraction();
    }
    m_connected = false;
}

template <typename Step> void BAImageViewerWidget::stepZoom(Step step)
{
    // While mirroring works, pane B follows pane A's new scale by itself.
    step(m_paneA);
    if (!(m_synchronised && isVisible()))
        step(m_paneB);
}

void BAImageViewerWidget::onZoom(double scale)
{
    stepZoom([scale](GraphicsImageViewer* p) { p->zoom(float(scale)); });
}

void BAImageViewerWidget::onZoomIn()
{
    stepZoom([](GraphicsImageViewer* p) { p->zoomIn(); });
}

void BAImageViewerWidget::onZoomOut()
{
    stepZoom([](GraphicsImageViewer* p) { p->zoomOut(); });
}

void BAImageViewerWidget::onZoomInCursor()
{
    stepZoom([](GraphicsImageViewer* p) { p->zoomInCursor(); });
}

void BAImageViewerWidget::onZoomOutCursor()
{
    stepZoom([](GraphicsImageViewer* p) { p->zoomOutCursor(); });
}

// ---- accessors --------------------------------------------------------------------

float BAImageViewerWidget::currentScale() const
{
    return m_mode == 1 ? 1.0f : float(m_paneA->currentScale());
}

double BAImageViewerWidget::maxScale() const { return m_paneA->maxScale(); }
double BAImageViewerWidget::minScale() const { return m_paneA->minScale(); }
int BAImageViewerWidget::fitMode() const { return m_paneA->fitMode(); }
QSize BAImageViewerWidget::sourceSize() const { return m_paneA->sourceSize(); }
int BAImageViewerWidget::scalingFilter() const { return m_paneA->scalingFilter(); }
QImage BAImageViewerWidget::beforeImage() const { return m_paneA->image(); }
QImage BAImageViewerWidget::afterImage() const { return m_paneB->image(); }

QRect BAImageViewerWidget::imageRect() const
{
    return m_mode == 1 ? QRect() : m_paneA->imageRect();
}

bool BAImageViewerWidget::hasImages() const
{
    return m_paneA->isDisplaying() && m_paneB->isDisplaying()
        && m_paneA->sourceSize() == m_paneB->sourceSize();
}

void BAImageViewerWidget::updateSynchronised()
{
    m_synchronised = hasImages();
}

// ---- commands ------------------------------------------------------------------------

void BAImageViewerWidget::setFitMode(ImageFitMode mode)
{
    switch (mode) {
    case FIT_WINDOW: emit fitWindow(); break;
    case FIT_WIDTH: emit fitWidth(); break;
    case FIT_ORIGINAL: emit fitOriginal(); break;
    default: break;
    }
}

void BAImageViewerWidget::closeImage()
{
    m_paneA->closeImage();
    m_paneB->closeImage();
}

void BAImageViewerWidget::slotZoomIn() { emit zoomIn(); }
void BAImageViewerWidget::slotZoomOut() { emit zoomOut(); }
void BAImageViewerWidget::slotZoom(double scale) { emit zoom(scale); }

void BAImageViewerWidget::showContextMenu()
{
    showContextMenu(QCursor::pos());
}

void BAImageViewerWidget::hideContextMenu() {}
void BAImageViewerWidget::showContextMenu(QPoint) {}

void BAImageViewerWidget::onFullscreenModeChanged(bool on)
{
    m_paneA->onFullscreenModeChanged(on);
    m_paneB->onFullscreenModeChanged(on);
    m_fullscreen = on;
}

void BAImageViewerWidget::setZoomStep(double step)
{
    m_paneA->setZoomStep(step);
    m_paneB->setZoomStep(step);
}

void BAImageViewerWidget::setLayoutDirection(QBoxLayout::Direction direction)
{
    m_layout->setDirection(direction);
}

void BAImageViewerWidget::setContentsMargins(int left, int top, int right, int bottom)
{
    m_layout->setContentsMargins(left, top, right, bottom);
}

bool BAImageViewerWidget::focusNextPrevChild(bool)
{
    return false;
}

// ---- pictures ----------------------------------------------------------------------------

bool BAImageViewerWidget::showImages(const QPixmap& before, std::unique_ptr<QPixmap> after)
{
    if (before.isNull() || !after || after->isNull())
        return false;
    m_synchronised = before.size() == after->size();
    if (m_mode == 1) {
        m_paneA->show();
        if (m_compareVisible)
            m_paneB->show();
        m_mode = 0;
    }
    // Each pane fits its new picture to its own viewport; while they load, one
    // pane's fit must not be pushed onto the other (their widths can differ by
    // a pixel, which would leave the working pane just off its fit).
    m_loading = true;
    m_paneA->showImageOwned(std::move(after));
    // QPixmap shares its data; the pane owns its own handle on the same pixels.
    m_paneB->showImageOwned(std::make_unique<QPixmap>(before));
    m_loading = false;
    return true;
}

void BAImageViewerWidget::showBeforeImage(std::unique_ptr<QPixmap> pixmap, bool refit)
{
    if (!pixmap || pixmap->isNull())
        return;
    if (refit)
        m_paneA->showImageOwned(std::move(pixmap));
    else
        m_paneA->showImage(std::move(pixmap));
    updateSynchronised();
}

void BAImageViewerWidget::showAfterImage(std::unique_ptr<QPixmap> pixmap, bool refit)
{
    if (refit)
        m_paneB->showImageOwned(std::move(pixmap));
    else
        m_paneB->showImage(std::move(pixmap));
    updateSynchronised();
}

// ---- mirroring -------------------------------------------------------------------------------

void BAImageViewerWidget::onScaleChanged(double scale)
{
    if (!isVisible())
        return;
    QObject* from = sender();
    // A hidden pane B fits itself to a viewport nobody sees; its scale must
    // not be pushed onto the visible pane.
    const bool mirrorFromB = from == m_paneB && m_paneB->isVisible();
    {
        const QSignalBlocker blockA(m_paneA);
        const QSignalBlocker blockB(m_paneB);
        if (m_synchronised && !m_loading) {
            if (from == m_paneA) {
                m_paneB->zoom(float(scale));
                m_paneB->viewport()->update();
            } else if (mirrorFromB) {
                m_paneA->zoom(float(scale));
                m_paneA->viewport()->update();
            }
        }
    }
    if (from == m_paneA || mirrorFromB)
        emit scaleChanged(scale);
}

void BAImageViewerWidget::onScaleRangeChanged(double minScale, double maxScale)
{
    if (!isVisible())
        return;
    if (sender() == m_paneA)
        emit scaleRangeChanged(minScale, maxScale);
}

void BAImageViewerWidget::connectPositions()
{
    for (GraphicsImageViewer* pane : {m_paneA, m_paneB})
        connect(pane, &GraphicsImageViewer::positionChanged, this,
                &BAImageViewerWidget::onPositionChanged, Qt::UniqueConnection);
}

void BAImageViewerWidget::disconnectPositions()
{
    for (GraphicsImageViewer* pane : {m_paneA, m_paneB})
        disconnect(pane, &GraphicsImageViewer::positionChanged, this,
                   &BAImageViewerWidget::onPositionChanged);
}

void BAImageViewerWidget::onPositionChanged(int x, int y)
{
    if (!isVisible())
        return;
    QObject* from = sender();
    // The other pane's scroll bars would echo the move back.
    disconnectPositions();
    if (m_synchronised && !m_loading) {
        if (from == m_paneA)
            m_paneB->scrollTo(x, y);
        else if (from == m_paneB && m_paneB->isVisible())
            m_paneA->scrollTo(x, y);
    }
    connectPositions();
}

// ---- panes -------------------------------------------------------------------------------------

void BAImageViewerWidget::setCompareVisible(bool on)
{
    if (m_mode != 0)
        return;
    m_paneA->show();
    m_paneB->setVisible(on);
    if (on && m_synchronised)
        m_paneB->scrollTo(m_paneA->horizontalScrollBar()->value(),
                          m_paneA->verticalScrollBar()->value());
    m_compareVisible = on;
}

void BAImageViewerWidget::setSync(bool on)
{
    if (on == m_synchronised)
        return;
    if (on && hasImages()) {
        m_synchronised = true;
        m_paneA->zoom(float(m_paneB->currentScale()));
        m_paneA->scrollTo(m_paneB->horizontalScrollBar()->value(),
                          m_paneB->verticalScrollBar()->value());
    } else {
        m_synchronised = false;
    }
}

void BAImageViewerWidget::showViewers(bool withB)
{
    if (m_mode != 1)
        return;
    m_paneA->show();
    if (withB)
        m_paneB->show();
    m_mode = 0;
}

void BAImageViewerWidget::closeViewers()
{
    if (m_mode != 0)
        return;
    m_mode = 1;
    m_paneA->closeImage();
    m_paneA->hide();
    m_paneB->closeImage();
    m_paneB->hide();
}
