#include "IQImageFrameV2.h"

#include "GraphicsImageViewer.h"
#include "ImageViewerWidget.h"
#include "QDoubleSlider.h"

#include <QLayout>

IQImageFrameV2::IQImageFrameV2(QWidget* parent)
    : QFrame(parent)
{
}

IQImageFrameV2::~IQImageFrameV2() = default;

bool IQImageFrameV2::hasPicture() const
{
    return m_viewer && !m_image.isNull();
}

void IQImageFrameV2::createViewer(QLayout* layout)
{
    if (m_viewer || !layout)
        return;
    m_viewer = new ImageViewerWidget;
    layout->addWidget(m_viewer);
    m_layout = layout;
    connect(m_viewer, &ImageViewerWidget::scaleChanged, this, &IQImageFrameV2::onViewerScaleChanged);
    connect(m_viewer, &ImageViewerWidget::scaleRangeChanged, this,
            &IQImageFrameV2::onViewerScaleRangeChanged);
}

void IQImageFrameV2::setZoomSlider(QDoubleSlider* slider)
{
    if (m_zoomSlider)
        disconnect(m_zoomSlider, nullptr, this, nullptr);
    m_zoomSlider = slider;
    if (m_zoomSlider)
        connect(m_zoomSlider, qOverload<double>(&QDoubleSlider::valueChanged), this,
                &IQImageFrameV2::onZoomSliderValueChanged);
}

void IQImageFrameV2::setZoomActions(QAction* fit, QAction* original, QAction* in, QAction* out)
{
    m_zoomActions = {fit, original, in, out};
    updateZoomAction();
}

void IQImageFrameV2::onZoomSliderValueChanged(double value)
{
    if (hasPicture())
        m_viewer->slotZoom(value);
}

double IQImageFrameV2::scale() const
{
    return m_viewer ? m_viewer->currentScale() : 1.0;
}

int IQImageFrameV2::zoomState() const
{
    if (!m_viewer)
        return 0;
    return zoomStateOf(m_viewer->fitMode(), m_viewer->currentScale(), m_viewer->minScale(),
                       m_viewer->maxScale());
}

void IQImageFrameV2::updateZoomAction()
{
    m_zoomActions.update(hasPicture(), zoomState());
}

void IQImageFrameV2::onViewerScaleChanged(double scale)
{
    if (!hasPicture())
        return;
    if (m_zoomSlider)
        m_zoomSlider->setValue(scale, true);
    updateZoomAction();
}

void IQImageFrameV2::onViewerScaleRangeChanged(double minScale, double maxScale)
{
    if (!hasPicture())
        return;
    showZoomRange(m_zoomSlider, minScale, maxScale, m_viewer->currentScale());
    updateZoomAction();
}

void IQImageFrameV2::setImage(const QImage& image)
{
    m_image = image;
    if (m_viewer)
        m_viewer->showImageOwned(std::make_unique<QPixmap>(QPixmap::fromImage(image)));
    updateZoomAction();
}

void IQImageFrameV2::setImageKeepView(const QImage& image)
{
    m_image = image;
    if (m_viewer)
        m_viewer->showImage(std::make_unique<QPixmap>(QPixmap::fromImage(image)));
    updateZoomAction();
}

void IQImageFrameV2::closeImage()
{
    if (m_viewer)
        m_viewer->closeImage();
    m_image = QImage();
    updateZoomAction();
}

void IQImageFrameV2::zoomIn()
{
    if (m_viewer)
        emit m_viewer->zoomIn();
}

void IQImageFrameV2::zoomOut()
{
    if (m_viewer)
        emit m_viewer->zoomOut();
}

void IQImageFrameV2::zoomFit()
{
    if (m_viewer)
        m_viewer->setFitMode(FIT_WINDOW);
}

void IQImageFrameV2::zoomActual()
{
    if (m_viewer)
        m_viewer->setFitMode(FIT_ORIGINAL);
}
