#pragma once
#include <QDialog>

class QProgressIndicator;
namespace Ui { class QWaitingDialog; }

// A small frameless, translucent, modal square with a spinning indicator,
// shown while a long job runs on a worker thread.
class QWaitingDialog : public QDialog
{
    Q_OBJECT
public:
    explicit QWaitingDialog(QWidget* parent = nullptr);
    ~QWaitingDialog() override;

    QProgressIndicator* indicator() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Ui::QWaitingDialog* ui;
};
