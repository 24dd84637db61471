#pragma once
#include <QCheckBox>

class ClickableLabel;
class QHBoxLayout;

// A check box whose text wraps: the text lives in a label beside the indicator.
class CheckBoxWordWrap : public QCheckBox
{
    Q_OBJECT
    Q_PROPERTY(bool wordwrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit CheckBoxWordWrap(QWidget* parent = nullptr);
    explicit CheckBoxWordWrap(const QString& text, QWidget* parent = nullptr);

    bool wordWrap() const;
    void setWordWrap(bool on);
    QString text() const;
    void setText(const QString& text);
    ClickableLabel* label() const { return m_label; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void labelIsClicked();

private:
    void init();

    QHBoxLayout* m_layout = nullptr;
    ClickableLabel* m_label = nullptr;
};
