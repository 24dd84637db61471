#pragma once
#include <QFrame>
#include <QModelIndex>
#include <QStringList>

class QButtonGroup;
namespace Ui { class IQTilesFrame; }

// The import page: the list of imported photos, the mode choice and Next.
class IQTilesFrame : public QFrame {
    Q_OBJECT
public:
    explicit IQTilesFrame(QWidget* parent = nullptr);
    ~IQTilesFrame() override;

    void importFiles();
    // Adds photos as if chosen in the open dialog (duplicates and unsupported
    // files skipped); returns how many were added.
    int importPaths(const QStringList& files);
    int mode() const { return m_mode; }

signals:
    void imageSelected(QStringList files);

private slots:
    void on_selectTileButn_clicked();
    void on_nextButn_clicked();
    void on_removeTileButn_clicked();
    void onListSelectionChanged(int selection);
    void onListDoubleClicked(const QModelIndex& index);
    void onModeToggled(int id, bool status);

private:
    void setupFrame();

    Ui::IQTilesFrame* ui = nullptr;
    QButtonGroup* buttonGroup = nullptr;
    int m_mode = 0;
};
