#pragma once
#include <QDialog>

class QProgressIndicator;
namespace Ui { class QWaitingDialog; }

// A small frameless, translucent, modal square with a spinning indicator,
// shown while a long job runs on a worker thread.
//
// A held dialog stands for work that cannot be abandoned: Escape and every
// close request (close(), the window's own close) are refused until
// finish() ends the hold and closes it.
class QWaitingDialog : public QDialog
{
    Q_OBJECT
public:
    explicit QWaitingDialog(QWidget* parent = nullptr);
    ~QWaitingDialog() override;

    QProgressIndicator* indicator() const;

    void setHeld(bool held) { m_held = held; }
    bool isHeld() const { return m_held; }

public slots:
    // Ends the hold and closes the dialog; exec() returns Accepted.
    void finish();
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Ui::QWaitingDialog* ui;
    bool m_held = false;
};
