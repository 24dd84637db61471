#include "IQTilesFrame.h"
#include "ui_IQTilesFrame.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSet>
#include <QUuid>

#include "IQFileDialogs.h"
#include "IQSettings.h"
#include "IQThumbnailItem.h"

namespace {
// Paths compare as the file system does: case-sensitively, after resolving
// links and relative parts, so "a.JPG" and "a.jpg" stay two photos.
QString canonicalKey(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}
}

IQTilesFrame::IQTilesFrame(QWidget* parent) : QFrame(parent), ui(new Ui::IQTilesFrame)
{
    ui->setupUi(this);
    setupFrame();
}

IQTilesFrame::~IQTilesFrame()
{
    delete ui;
}

void IQTilesFrame::setupFrame()
{
    ui->fotoButton->setStyleSheet(QStringLiteral(
        "QRadioButton::indicator {width:40px;height:40px;border-radius:0px}"
        "QRadioButton::indicator:checked {image: url(:/vh/icon/icon_image_high.png);}"
        "QRadioButton::indicator:unchecked {image: url(:/vh/icon/icon_image.png);}"));
    ui->fotoButton->setToolTip(tr("Single Photo Mode"));
    ui->hdrButton->setStyleSheet(QStringLiteral(
        "QRadioButton::indicator {width:40px;height:40px;border-radius:0px}"
        "QRadioButton::indicator:checked {image: url(:/vh/icon/icon_hdr_high.png);}"
        "QRadioButton::indicator:unchecked {image: url(:/vh/icon/icon_hdr.png);}"));
    ui->hdrButton->setToolTip(tr("Bracketing Mode"));

    buttonGroup = new QButtonGroup(this);
    buttonGroup->setExclusive(true);
    buttonGroup->addButton(ui->hdrButton, 0);
    buttonGroup->addButton(ui->fotoButton, 1);
    connect(buttonGroup, &QButtonGroup::idToggled, this, &IQTilesFrame::onModeToggled);
    buttonGroup->button(0)->setChecked(true);

    const QString toolStyle = QStringLiteral(
        "QToolButton {background-color:transparent; border:none; border-radius:2px;}"
        "QToolButton:hover {background-color:#333333;}");
    for (QToolButton* b : {ui->selectTileButn, ui->removeTileButn}) {
        b->setStyleSheet(toolStyle);
        b->setFocusPolicy(Qt::NoFocus);
    }
    ui->selectTileButn->setToolTip(tr("Import"));
    ui->removeTileButn->setToolTip(tr("IDS_REMOVE_PHOTOS"));
    ui->removeTileButn->setEnabled(false);

    ui->nextButn->setText(tr("IDS_NEXT"));
    ui->nextButn->setEnabled(false);
    ui->nextButn->setDefault(true);
    ui->nextButn->setFixedSize(96, 40);
    ui->nextButn->setStyleSheet(QStringLiteral(
        "QPushButton{background-color: #439cf3;border: 1px;border-radius:2px}"
        "QPushButton:pressed{background-color: gray;}"
        "QPushButton:disabled{background-color: #303030;border: 1px;border-color:black;border-radius:2px}"));

    IQThumbsViewer* list = ui->tileListView;
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(120, 120));
    list->setLoadingPixmap(QStringLiteral(":/vh/icon/icon_loading.png"));
    list->setErrorPixmap(QStringLiteral(":/vh/icon/icon_loading_error.png"));
    list->setStyleSheet(QStringLiteral(
        "QListView::Item{padding-top:0px; padding-bottom:0px; }"
        "QListView::Item:hover{background:rgb(79,79,79); }"
        "QListView::Item:selected{background:rgb(79,79,79); }"
        "QListView::item:selected:!active{background:rgb(49,49,49); }"));
    connect(list, &IQThumbsViewer::selectionCountChanged, this, &IQTilesFrame::onListSelectionChanged);
    connect(list, &IQThumbsViewer::doubleClicked, this, &IQTilesFrame::onListDoubleClicked);
}

void IQTilesFrame::importFiles()
{
    const QString folder = IQSettings::instance()->lastOpenTileDir();
    QStringList files;
    if (getOpenImageFileNames(this, &files, folder, QFileDialog::ExistingFiles) != QDialog::Accepted
        || files.isEmpty())
        return;
    IQSettings::instance()->setLastOpenTileDir(QFileInfo(files.first()).path());
    importPaths(files);
}

int IQTilesFrame::importPaths(const QStringList& files)
{
    QSet<QString> listed;
    for (const auto& item : ui->tileListView->allItems(false)) {
        if (item)
            listed.insert(canonicalKey(item->filePath()));
    }
    QList<IQThumbsViewer::ItemPtr> added;
    for (const QString& path : files) {
        if (listed.contains(canonicalKey(path)) || !isSupportedImageFile(path))
            continue;
        added.append(std::make_shared<IQImageFileItem>(QUuid::createUuid().toString(QUuid::WithoutBraces), path,
                                                       QDateTime::currentDateTime()));
    }
    if (!added.isEmpty()) {
        ui->tileListView->addItems(added);
        ui->tileListView->setFocus();
    }
    return added.size();
}

void IQTilesFrame::on_selectTileButn_clicked()
{
    importFiles();
}

void IQTilesFrame::on_nextButn_clicked()
{
    QList<IQThumbsViewer::ItemPtr> selected;
    for (const auto& item : ui->tileListView->selectedItems()) {
        if (item)
            selected.append(item);
    }
    if (selected.isEmpty())
        return;
    QStringList paths;
    if (m_mode == 1) {
        if (selected.size() != 1) {
            QMessageBox::information(this, QGuiApplication::applicationDisplayName(),
                                     tr("For Single photo mode, you only need select one photo."), QMessageBox::Ok);
            return;
        }
        paths << selected.first()->filePath();
    } else {
        if (selected.size() < 3) {
            QMessageBox::information(
                this, QGuiApplication::applicationDisplayName(),
                tr("For Bracketing mode, you need select at least 3 photos with different exposures."),
                QMessageBox::Ok);
            return;
        }
        for (const auto& item : selected)
            paths << item->filePath();
    }
    emit imageSelected(paths);
}

void IQTilesFrame::on_removeTileButn_clicked()
{
    ui->tileListView->removeSelectedItems();
}

void IQTilesFrame::onListSelectionChanged(int selection)
{
    ui->nextButn->setEnabled(selection >= 1);
    ui->removeTileButn->setEnabled(selection >= 1);
}

void IQTilesFrame::onListDoubleClicked(const QModelIndex& index)
{
    if (m_mode != 1)
        return;
    ui->tileListView->setCurrentRow(index.row());
    on_nextButn_clicked();
}

void IQTilesFrame::onModeToggled(int id, bool status)
{
    if (!status)
        return;
    m_mode = id;
    ui->noteLabel->setText(id == 0 ? tr("Bracketing Mode.\r\nPlease select 3 or more photos with different exposures.")
                                   : tr("Single photo mode."));
}
