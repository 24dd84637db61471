#pragma once
#include <QColor>
#include <QPixmap>
#include <QPushButton>
#include <memory>

// A flat button that paints one pixmap centred, with hover and checked
// decorations. Pixmaps are drawn at half their pixel size (2x assets).
class PixmapButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QSize fixedSize READ fixedSize WRITE setFixedSize)
    Q_PROPERTY(QPixmap pixmap READ pixmap WRITE setPixmap)
    Q_PROPERTY(bool fadeInactive READ fadeInactive WRITE setFadeInactive)
public:
    explicit PixmapButton(QWidget* parent = nullptr);
    ~PixmapButton() override;

    QSize fixedSize() const { return m_fixedSize; }
    void setFixedSize(const QSize& size);
    void setFixedSize(int w, int h);

    QPixmap pixmap() const;
    void setPixmap(const QPixmap& pixmap);

    bool fadeInactive() const { return m_fadeInactive; }
    void setFadeInactive(bool on);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    bool isHighDensity() const { return m_highDensity; }
    double pixmapRatio() const { return m_pixmapRatio; }
    bool isHovered() const { return m_hovered; }

protected:
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QSize m_fixedSize{32, 32};
    std::unique_ptr<QPixmap> m_pixmap;
    bool m_fadeInactive = false;
    double m_dpr = 1.0;
    double m_pixmapRatio = 1.0;
    bool m_highDensity = false;
    bool m_hovered = false;
    QColor m_color = Qt::darkGray;
};
