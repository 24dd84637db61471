#include "IQBAImageFrame.h"

#include "BAImageViewerWidget.h"
#include "GraphicsImageViewer.h"
#include "QDoubleSlider.h"

#include <QLayout>
#include <QLineEdit>
#include <QPixmap>
#include <cmath>

IQBAImageFrame::IQBAImageFrame(QWidget* parent)
    : QFrame(parent)
{
}

IQBAImageFrame::~IQBAImageFrame()
{
    delete m_viewer;
}

void IQBAImageFrame::setZoomActions(QAction* actual, QAction* fit, QAction* in, QAction* out)
{
    m_zoomActions = {fit, actual, in, out};
    updateZoomAction();
}

void IQBAImageFrame::setZoomControls(QDoubleSlider* slider, QLineEdit* edit)
{
    if (m_zoomSlider)
        disconnect(m_zoomSlider, nullptr, this, nullptr);
    m_zoomSlider = slider;
    m_zoomEdit = edit;
    if (m_zoomSlider)
        connect(m_zoomSlider, qOverload<double>(&QDoubleSlider::valueChanged), this,
                &IQBAImageFrame::onZoomSliderValueChanged);
}

void IQBAImageFrame::createViewer(QLayout* layout)
{
    if (m_viewer || !layout)
        return;
    m_viewer = new BAImageViewerWidget;
    layout->addWidget(m_viewer);
    m_viewerLayout = layout;
    connect(m_viewer, &BAImageViewerWidget::scaleChanged, this,
            &IQBAImageFrame::onViewerScaleChanged);
    connect(m_viewer, &BAImageViewerWidget::scaleRangeChanged, this,
            &IQBAImageFrame::onViewerScaleRangeChanged);
}

bool IQBAImageFrame::hasWorkingImage() const
{
    return m_viewer && m_viewer->paneA()->isDisplaying();
}

void IQBAImageFrame::closeImage()
{
    if (m_viewer)
        m_viewer->closeImage();
}

QImage IQBAImageFrame::currentImage() const
{
    return m_viewer ? m_viewer->beforeImage() : QImage();
}

QImage IQBAImageFrame::originalImage() const
{
    return m_viewer ? m_viewer->afterImage() : QImage();
}

double IQBAImageFrame::scale() const
{
    return m_viewer ? double(m_viewer->currentScale()) : 1.0;
}

int IQBAImageFrame::zoomState() const
{
    if (!m_viewer)
        return 0;
    return zoomStateOf(m_viewer->fitMode(), m_viewer->currentScale(), m_viewer->minScale(),
                       m_viewer->maxScale());
}

void IQBAImageFrame::zoomOut()
{
    if (m_viewer)
        m_viewer->slotZoomOut();
}

void IQBAImageFrame::zoomIn()
{
    if (m_viewer)
        m_viewer->slotZoomIn();
}

void IQBAImageFrame::zoomFit()
{
    if (m_viewer)
        m_viewer->setFitMode(FIT_WINDOW);
}

void IQBAImageFrame::zoomActual()
{
    if (m_viewer)
        m_viewer->setFitMode(FIT_ORIGINAL);
}

void IQBAImageFrame::updateZoomAction()
{
    m_zoomActions.update(hasWorkingImage(), zoomState());
}

void IQBAImageFrame::setImages(const QImage& before, const QImage& after)
{
    if (m_viewer)
        m_viewer->showImages(QPixmap::fromImage(before),
                             std::make_unique<QPixmap>(QPixmap::fromImage(after)));
    updateZoomAction();
}

void IQBAImageFrame::setCurrentImage(const QImage& image, bool refit)
{
    if (m_viewer)
        m_viewer->showBeforeImage(std::make_unique<QPixmap>(QPixmap::fromImage(image)), refit);
}

void IQBAImageFrame::setOriginalImage(const QImage& image, bool refit)
{
    if (m_viewer)
        m_viewer->showAfterImage(std::make_unique<QPixmap>(QPixmap::fromImage(image)), refit);
}

void IQBAImageFrame::onZoomSliderValueChanged(double value)
{
    if (hasWorkingImage())
        m_viewer->slotZoom(value);
}

void IQBAImageFrame::showZoomPercent(double scale)
{
    if (m_zoomEdit)
        m_zoomEdit->setText(QStringLiteral("%1 %").arg(std::lround(scale * 100.0)));
}

void IQBAImageFrame::onViewerScaleChanged(double scale)
{
    if (!hasWorkingImage())
        return;
    if (m_zoomSlider)
        m_zoomSlider->setValue(scale, true);
    showZoomPercent(scale);
    updateZoomAction();
}

void IQBAImageFrame::onViewerScaleRangeChanged(double minScale, double maxScale)
{
    if (!hasWorkingImage())
        return;
    const double current = m_viewer->currentScale();
    showZoomRange(m_zoomSlider, minScale, maxScale, current);
    showZoomPercent(current);
    updateZoomAction();
}
