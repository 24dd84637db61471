#pragma once
#include <QDialog>
#include <QPointer>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

// A notification that fades in, stays for a while and fades out. With a
// parent it floats over the parent; without one it is a tool window.
class QToast : public QDialog
{
    Q_OBJECT
public:
    explicit QToast(QWidget* parent = nullptr);
    ~QToast() override;

    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }
    void setHideDelay(int ms) { m_hideDelay = ms; }
    int hideDelay() const { return m_hideDelay; }
    void setFadeOnHide(bool on) { m_fadeOnHide = on; }
    bool fadeOnHide() const { return m_fadeOnHide; }
    void setDeleteOnHide(bool on) { m_deleteOnHide = on; }
    bool deleteOnHide() const { return m_deleteOnHide; }
    void centre();
    void setRelativePosition(double x, double y);
    double relativeX() const { return m_relX; }
    double relativeY() const { return m_relY; }
    void hideAfter(int ms);
    double opacity() const;

public slots:
    void StartShowAnimation();
    void StartHideAnimation();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void reposition();
    void hideNowOrFade();

    QPointer<QWidget> m_content;
    double m_relX = -1.0;
    double m_relY = -1.0;
    int m_hideDelay = -1;
    bool m_fadeOnHide = true;
    bool m_deleteOnHide = false;
    QGraphicsOpacityEffect* m_effect = nullptr;
    QPropertyAnimation* m_fadeOut = nullptr;
    QPropertyAnimation* m_fadeIn = nullptr;
};
