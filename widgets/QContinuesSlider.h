#pragma once
#include "QClickJumpSlider.h"

// A slider that jumps to the clicked position and reports a drag as a stream
// of valueChanging() with one valueChanged() when the button is released.
class QContinuesSlider : public QClickJumpSlider
{
    Q_OBJECT
public:
    explicit QContinuesSlider(QWidget* parent = nullptr);

signals:
    void valueChanging(int value);

public slots:
    void setValue(int Value, bool BlockSignals);
    void setValue(int Value);

private:
    void jumpTo(int position) override;
    void dragReleased() override;
};
