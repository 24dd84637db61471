#pragma once
#include <QColor>
#include <QPoint>
#include <QSize>
#include <QWidget>

class QHBoxLayout;

// A pop-up body with a pointer triangle below it whose apex sits on `anchor`
// (global coordinates). `size` is the body's size.
class TrianglePopupWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTriangleWidth = 15;
    static constexpr int kTriangleHeight = 10;

    TrianglePopupWidget(const QPoint& anchor, const QSize& size, const QColor& colour,
                        QWidget* parent = nullptr);

    void addWidget(QWidget* widget);
    void setContentsMargins(int left, int top, int right, int bottom);

    QColor color() const { return m_colour; }
    void setColor(const QColor& colour);
    QPoint anchor() const { return m_anchor; }
    QSize bodySize() const { return m_size; }
    // The triangle's apex in widget coordinates.
    QPoint apex() const { return QPoint(m_apexX, height()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void computeGeometry();
    QHBoxLayout* contentLayout();

    QPoint m_anchor;
    QSize m_size;
    QColor m_colour;
    QHBoxLayout* m_layout = nullptr;
    int m_apexX = 0;
};
