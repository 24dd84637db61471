#pragma once
#include <QDialog>

namespace Ui {
class IQGuideDialog;
}

// A short guide with a "Don't show again" choice kept in the settings store.
class IQGuideDialog : public QDialog {
    Q_OBJECT
public:
    explicit IQGuideDialog(QWidget* parent = nullptr);
    ~IQGuideDialog() override;

    // The empty area that holds the guide's content.
    class QVBoxLayout* contentLayout() const;

private slots:
    void on_okButn_clicked();
    void on_showAgainChckButn_stateChanged(int state);

private:
    Ui::IQGuideDialog* ui;
};
