#pragma once
#include "ImageViewerTypes.h"

#include <QBoxLayout>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <memory>

class GraphicsImageViewer;

// Two viewer panes side by side: pane A holds the working picture, pane B the
// unprocessed one, shown only while comparison is visible. Pictures of equal
// size zoom and scroll together. Commands are fanned out to both panes.
class BAImageViewerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BAImageViewerWidget(QWidget* parent = nullptr);
    ~BAImageViewerWidget() override;

    float currentScale() const;
    double maxScale() const;
    double minScale() const;
    int fitMode() const;
    QRect imageRect() const;
    QSize sourceSize() const;
    int scalingFilter() const;
    QImage beforeImage() const;
    QImage afterImage() const;
    bool isCompareVisible() const { return m_compareVisible; }
    bool isSynchronised() const { return m_synchronised; }
    bool hasImages() const;

    void setCompareVisible(bool on);
    // Pane A takes `after`; pane B shows a copy of `before`. False, with
    // nothing changed, when either picture is missing.
    bool showImages(const QPixmap& before, std::unique_ptr<QPixmap> after);
    // Pane A; a null or empty picture is ignored.
    void showBeforeImage(std::unique_ptr<QPixmap> pixmap, bool refit);
    // Pane B; with refit, a null or empty picture closes pane B's picture.
    void showAfterImage(std::unique_ptr<QPixmap> pixmap, bool refit);
    void setZoomStep(double step);
    void setLayoutDirection(QBoxLayout::Direction direction);
    void setContentsMargins(int left, int top, int right, int bottom);
    void setSync(bool on);
    void showViewers(bool withB);
    void closeViewers();
    void connectSignals();
    void disconnectSignals();

    GraphicsImageViewer* paneA() const { return m_paneA; }
    GraphicsImageViewer* paneB() const { return m_paneB; }

signals:
    void scalingRequested(QSize size, ScalingFilter filter);
    void zoom(double scale);
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

private slots:
    void onScaleChanged(double scale);
    void onScaleRangeChanged(double minScale, double maxScale);
    void onPositionChanged(int x, int y);
    void onZoom(double scale);
    void onZoomIn();
    void onZoomOut();
    void onZoomInCursor();
    void onZoomOutCursor();

public slots:
    void setFitMode(ImageFitMode mode);
    void closeImage();
    void slotZoomIn();
    void slotZoomOut();
    void slotZoom(double scale);
    void showContextMenu();
    void hideContextMenu();
    void showContextMenu(QPoint pos);
    void onFullscreenModeChanged(bool on);

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void connectViewer(GraphicsImageViewer* pane);
    void connectPositions();
    void disconnectPositions();
    void updateSynchronised();
    template <typename Step> void stepZoom(Step step);

    QHBoxLayout* m_layout = nullptr;
    GraphicsImageViewer* m_paneA = nullptr;
    GraphicsImageViewer* m_paneB = nullptr;
    int m_mode = 1;
    bool m_connected = false;
    bool m_fullscreen = false;
    bool m_compareVisible = false;
    bool m_synchronised = false;
    bool m_loading = false;
    QList<QMetaObject::Connection> m_fanOut;
};
