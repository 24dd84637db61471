#include "IQAdjustingFrame.h"

#include "BAImageViewerWidget.h"
#include "IQAdjustingProcessor.h"
#include "IQEffectPresets.h"
#include "QSliderWidget.h"
#include "QToolBoxWidget.h"
#include "ui_IQAdjustingFrame.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QPainter>
#include <QListWidget>

namespace {

const char* const kTransparentStyle =
    "QToolButton {background-color:transparent; border:none; border-radius:2px;}"
    "QToolButton:hover {background-color:#333333;}";
const char* const kModeStyle = "QPushButton{border: 0px;border-radius:0px}QPushButton:checked{color:#439cf3;}";
const char* const kCompareStyle =
    "QToolButton {font-weight:bold; font-size:13px; background-color:#222222; color:#bfbfbf; "
    "border:1px solid #444444; border-radius:4px;}"
    "QToolButton:hover {background-color:#333333; border:1px solid #444444; border-radius:4px;}"
    "QToolButton:checked {background-color:#444444; color:white;border:1px solid #444444; border-radius:4px;}";
const char* const kRestoreStyle =
    "QToolButton {font-size:11px;background-color:#222222; color:#bfbfbf; border:1px solid #444444; "
    "border-radius:4px;}QToolButton:hover {background-color:#333333;}QToolButton:disabled {color:#656565;}";

// When a slider value is stored: only when it differs from the field, or also
// when it equals 0.
enum Take { Differs, DiffersOrZero };

struct SliderRule {
    const char* key;
    int stage;
    Take onRelease;
    Take whileDragging;
};

const SliderRule kSliders[] = {
    {"HIGHLIGHT_NAME", 8, DiffersOrZero, DiffersOrZero},
    {"SHADOW_NAME", 8, DiffersOrZero, DiffersOrZero},
    {"CONTRAST_NAME", 2, DiffersOrZero, Differs},
    {"BRIGHTNESS_NAME", 2, DiffersOrZero, Differs},
    {"SHARPNESS_NAME", 2, Differs, Differs},
    {"BLUR_NAME", 2, Differs, Differs},
    {"TEMPERATURE_NAME", 2, DiffersOrZero, Differs},
    {"TINT_NAME", 2, DiffersOrZero, Differs},
    {"GAMMA_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"SATURATION_NAME", 2, DiffersOrZero, Differs},
    {"VIBRANCE_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"COLOR_FILTER_R_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"COLOR_FILTER_G_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"COLOR_FILTER_B_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"COLOR_FILTER_OPACITY_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"VIGNETTING_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"LUMINANCE_NAME", 2, DiffersOrZero, DiffersOrZero},
    {"CHROMINANCE_NAME", 2, DiffersOrZero, DiffersOrZero},
};

const double kClaheLevels[] = {1.0, 3.0, 5.0, 7.0};

double claheLevel(int index)
{
    return (index >= 0 && index < 4) ? kClaheLevels[index] : kClaheLevels[0];
}

} // namespace

IQAdjustingFrame::IQAdjustingFrame(QWidget* parent)
    : IQBAImageFrame(parent)
    , ui(new Ui::IQAdjustingFrame)
{
    lastStart.start();
    // One pass at a time: a second would only wait for the processor's lock
    // and hold a pool thread doing so.
    pool.setMaxThreadCount(1);
    m_throttle.setSingleShot(true);
    connect(&m_throttle, &QTimer::timeout, this, [this] { requestPass(PassKind::Preview); });

    ui->setupUi(this);
    setupToolBar();
    setupProperties();
    setupEffects();
    updateAdjustSliders(adjust);
    updateRestoreButton();
}

IQAdjustingFrame::~IQAdjustingFrame()
{
    dropProcessor(true);
    delete ui;
}

void IQAdjustingFrame::setupToolBar()
{
    const QString transparent = QString::fromLatin1(kTransparentStyle);
    ui->newButn->setStyleSheet(transparent);
    ui->newButn->setToolTip(tr("Back"));
    ui->newButn->setFocusPolicy(Qt::NoFocus);

    ui->saveButn->setStyleSheet(transparent);
    ui->saveButn->setToolTip(tr("IDS_SAVE"));
    ui->saveButn->setFocusPolicy(Qt::NoFocus);
    // Nothing to save until a picture arrives.
    ui->saveButn->setEnabled(false);

    modeGroup = new QButtonGroup(this);
    for (QPushButton* b : {ui->effectButn, ui->manualButn}) {
        b->setCheckable(true);
        b->setStyleSheet(QString::fromLatin1(kModeStyle));
        b->setFocusPolicy(Qt::NoFocus);
    }
    modeGroup->addButton(ui->effectButn, 0);
    modeGroup->addButton(ui->manualButn, 1);
    connect(modeGroup, SIGNAL(idToggled(int, bool)), this, SLOT(onModeToggled(int, bool)));
    ui->effectButn->setChecked(true);

    for (QToolButton* b : {ui->fitButton, ui->actualButton}) {
        b->setStyleSheet(transparent);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(ui->fitButton, &QToolButton::clicked, this, &IQBAImageFrame::zoomFit);
    connect(ui->actualButton, &QToolButton::clicked, this, &IQBAImageFrame::zoomActual);

    ui->baButn->setToolTip(tr("Before / After"));
    for (QToolButton* b : {ui->baButn, ui->originalButn}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(60);
        b->setStyleSheet(QString::fromLatin1(kCompareStyle));
    }

    ui->restoreButn->setFocusPolicy(Qt::NoFocus);
    ui->restoreButn->setStyleSheet(QString::fromLatin1(kRestoreStyle));

    // Set only by the effect presets.
    ui->detailCheckBox->hide();

    createViewer(ui->graphicsLayout);
    setZoomControls(ui->zoomSlider, ui->zoomEdit);

    connect(this, SIGNAL(algorithmFinished(QImage)), this, SLOT(onAlgorithmFinished(QImage)));
}

QToolBoxWidget* IQAdjustingFrame::addToolBox(const QString& title, const QString& key, QWidget* content)
{
    auto* box = new QToolBoxWidget(ui->scrollWidget);
    box->setContent(title, content, true);
    box->setKey(key);
    connect(box, SIGNAL(actionTrigged(QString)), this, SLOT(onPropertyActionTrigged(QString)));
    ui->scrollLayout->addWidget(box);
    return box;
}

void IQAdjustingFrame::initSlider(QSliderWidget* row, const QString& label, int min, int max, int value,
                                  const QString& key)
{
    row->setLabel(label);
    row->setRange(min, max);
    row->setKey(key);
    row->setValue(value);
    connect(row, SIGNAL(propertyValueChanged(QString, int)), this, SLOT(onPropertyValueChanged(QString, int)));
    connect(row, SIGNAL(propertyValueChanging(QString, int)), this, SLOT(onPropertyValueChanging(QString, int)));
}

void IQAdjustingFrame::setupProperties()
{
    hdrToneBox = addToolBox(tr("HDR"), QStringLiteral("hdrTone"), ui->hdrWidget);
    smartToneBox = addToolBox(tr("Smart Tone"), QStringLiteral("smartTone"), ui->smartTonewidget);
    imageRadianceBox = addToolBox(tr("Image Radiance"), QStringLiteral("imageRadiance"), ui->radianceWidget);
    colorFilterBox = addToolBox(tr("IDS_COLOR_FILTER"), QStringLiteral("colorFilter"), ui->colorFilterWidget);
    vignettingBox = addToolBox(tr("IDS_VIGNETTING"), QStringLiteral("vignetting"), ui->vignetteWidget);
    denoiseBox = addToolBox(tr("HDR Denoise"), QStringLiteral("denoise"), ui->denoiseWidget);
    ui->scrollLayout->addStretch(1);

    initSlider(ui->highlightsWidget, tr("Highlights"), -100, 100, 0, QStringLiteral("HIGHLIGHT_NAME"));
    initSlider(ui->shadowsWidget, tr("Shadows"), -100, 100, 0, QStringLiteral("SHADOW_NAME"));
    initSlider(ui->contastWidget, tr("IDS_CONTRAST"), -100, 100, 0, QStringLiteral("CONTRAST_NAME"));
    initSlider(ui->exposureWidget, tr("IDS_BRIGHTNESS"), -100, 100, 0, QStringLiteral("BRIGHTNESS_NAME"));
    initSlider(ui->sharpnessWidget, tr("Sharpness"), 0, 100, 0, QStringLiteral("SHARPNESS_NAME"));
    initSlider(ui->blurWidget, tr("Blur"), 0, 100, 0, QStringLiteral("BLUR_NAME"));
    initSlider(ui->tempWidget, tr("Temperature"), 2000, 12000, 5000, QStringLiteral("TEMPERATURE_NAME"));
    initSlider(ui->tintWidget, tr("Tint"), -150, 150, 10, QStringLiteral("TINT_NAME"));
    initSlider(ui->gammaWidget, tr("Gamma"), -20, 100, 0, QStringLiteral("GAMMA_NAME"));
    initSlider(ui->saturationWidget, tr("IDS_SATURATION"), -100, 100, 0, QStringLiteral("SATURATION_NAME"));
    initSlider(ui->vibranceWidget, tr("Vibrance"), -100, 100, 0, QStringLiteral("VIBRANCE_NAME"));
    initSlider(ui->redWidget, tr("Red"), 0, 255, 255, QStringLiteral("COLOR_FILTER_R_NAME"));
    initSlider(ui->greenWidget, tr("Green"), 0, 255, 255, QStringLiteral("COLOR_FILTER_G_NAME"));
    initSlider(ui->blueWidget, tr("Blue"), 0, 255, 255, QStringLiteral("COLOR_FILTER_B_NAME"));
    initSlider(ui->opacityWidget, tr("Opacity"), 0, 100, 50, QStringLiteral("COLOR_FILTER_OPACITY_NAME"));
    initSlider(ui->amountWidget, tr("Amount"), 0, 100, 0, QStringLiteral("VIGNETTING_NAME"));
    initSlider(ui->luminWidget, tr("Luminance"), 0, 100, 0, QStringLiteral("LUMINANCE_NAME"));
    initSlider(ui->colorWidget, tr("Chrominance"), 0, 100, 0, QStringLiteral("CHROMINANCE_NAME"));
}

void IQAdjustingFrame::setupEffects()
{
    QListWidget* list = ui->effectListWidget;
    list->setIconSize(QSize(160, 120));
    list->setMovement(QListView::Static);
    list->setViewMode(QListView::IconMode);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSpacing(2);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    const QList<IQEffectEntry>& effects = iqEffectEntries();
    for (int row = 0; row < effects.size(); ++row) {
        auto* item = new QListWidgetItem(list);
        item->setSizeHint(QSize(226, 128));
        item->setData(Qt::UserRole + 1, effects[row].preset);
        QImage thumb(QStringLiteral(":/Effects/thumb/%1.jpg").arg(row));
        if (thumb.isNull()) {
            // A build without the thumbnails still names every entry.
            thumb = QImage(160, 120, QImage::Format_RGB32);
            thumb.fill(QColor(0x33, 0x33, 0x33));
        }
        item->setIcon(QIcon(makeEffectThumbnail(thumb, QObject::tr(effects[row].name))));
    }
    list->setCurrentRow(0);
    connect(list, SIGNAL(currentRowChanged(int)), this, SLOT(onEffectChanged(int)));
}

// --- slider rows -------------------------------------------------------------

namespace {

int* adjustField(IQAdjustParams& a, IQHDRToneParams& t, IQDenoiseParams& d, const QString& key)
{
    static const struct {
        const char* key;
        int IQAdjustParams::*adjust;
        int IQHDRToneParams::*tone;
        int IQDenoiseParams::*denoise;
    } fields[] = {
        {"HIGHLIGHT_NAME", nullptr, &IQHDRToneParams::highlight, nullptr},
        {"SHADOW_NAME", nullptr, &IQHDRToneParams::shadow, nullptr},
        {"CONTRAST_NAME", &IQAdjustParams::contrast, nullptr, nullptr},
        {"BRIGHTNESS_NAME", &IQAdjustParams::brightness, nullptr, nullptr},
        {"SHARPNESS_NAME", &IQAdjustParams::sharpness, nullptr, nullptr},
        {"BLUR_NAME", &IQAdjustParams::blur, nullptr, nullptr},
        {"TEMPERATURE_NAME", &IQAdjustParams::temperature, nullptr, nullptr},
        {"TINT_NAME", &IQAdjustParams::tint, nullptr, nullptr},
        {"GAMMA_NAME", &IQAdjustParams::gamma, nullptr, nullptr},
        {"SATURATION_NAME", &IQAdjustParams::saturation, nullptr, nullptr},
        {"VIBRANCE_NAME", &IQAdjustParams::vibrance, nullptr, nullptr},
        {"COLOR_FILTER_R_NAME", &IQAdjustParams::filterRed, nullptr, nullptr},
        {"COLOR_FILTER_G_NAME", &IQAdjustParams::filterGreen, nullptr, nullptr},
        {"COLOR_FILTER_B_NAME", &IQAdjustParams::filterBlue, nullptr, nullptr},
        {"COLOR_FILTER_OPACITY_NAME", &IQAdjustParams::filterOpacity, nullptr, nullptr},
        {"VIGNETTING_NAME", &IQAdjustParams::vignette, nullptr, nullptr},
        {"LUMINANCE_NAME", nullptr, nullptr, &IQDenoiseParams::luminance},
        {"CHROMINANCE_NAME", nullptr, nullptr, &IQDenoiseParams::chrominance},
    };
    for (const auto& f : fields) {
        if (key != QLatin1String(f.key))
            continue;
        if (f.adjust)
            return &(a.*f.adjust);
        if (f.tone)
            return &(t.*f.tone);
        return &(d.*f.denoise);
    }
    return nullptr;
}

const SliderRule* sliderRule(const QString& key)
{
    for (const SliderRule& s : kSliders)
        if (key == QLatin1String(s.key))
            return &s;
    return nullptr;
}

} // namespace

bool IQAdjustingFrame::takeSliderValue(const QString& key, int value, bool dragging)
{
    const SliderRule* slider = sliderRule(key);
    int* field = adjustField(adjust, tone, denoise, key);
    if (!slider || !field)
        return false;
    const Take rule = dragging ? slider->whileDragging : slider->onRelease;
    if (*field == value && !(rule == DiffersOrZero && value == 0))
        return false;
    *field = value;
    stage = slider->stage;
    return true;
}

void IQAdjustingFrame::onPropertyValueChanged(QString key, int value)
{
    const bool taken = takeSliderValue(key, value, false);
    // The release always brings the picture up to the slider: a drag update
    // that the throttle held back has stored this value without a pass.
    if (taken || m_throttle.isActive())
        requestPass(PassKind::Preview);
    updateRestoreButton();
    updateEffectSelection();
}

void IQAdjustingFrame::onPropertyValueChanging(QString key, int value)
{
    const bool taken = takeSliderValue(key, value, true);
    updateRestoreButton();
    updateEffectSelection();
    if (taken)
        requestPass(PassKind::Drag);
}

void IQAdjustingFrame::onPropertyActionTrigged(QString key)
{
    if (key == QLatin1String("colorFilter")) {
        adjust.filterBlue = adjust.filterGreen = adjust.filterRed = 255;
        adjust.filterOpacity = 50;
        stage = 2;
        updateAdjustSliders(adjust);
    } else if (key == QLatin1String("denoise")) {
        denoise.luminance = denoise.chrominance = 0;
        stage = 2;
        updateDenoiseSliders(denoise);
    } else if (key == QLatin1String("vignetting")) {
        adjust.vignette = 0;
        stage = 2;
        updateAdjustSliders(adjust);
    } else if (key == QLatin1String("hdrTone")) {
        // Switches without a control of their own belong to the presets.
        tone.clahe = false;
        tone.claheClip = 1.0;
        tone.equalizeRounded = false;
        tone.localGamma = false;
        stage = 4;
        updateToneControls(tone);
    } else if (key == QLatin1String("smartTone")) {
        tone.highlight = tone.shadow = 0;
        stage = 8;
        updateToneControls(tone);
    } else if (key == QLatin1String("imageRadiance")) {
        adjust.contrast = adjust.saturation = adjust.blur = adjust.brightness = 0;
        adjust.sharpness = adjust.gamma = adjust.vibrance = 0;
        adjust.temperature = 5000;
        adjust.tint = 10;
        stage = 2;
        updateAdjustSliders(adjust);
    } else {
        return;
    }
    updateRestoreButton();
    updateEffectSelection();
    requestPass(PassKind::Preview);
}

// --- HDR box -------------------------------------------------------------------

void IQAdjustingFrame::toneSwitchChanged()
{
    stage = 4;
    updateRestoreButton();
    updateEffectSelection();
    process(true);
}

void IQAdjustingFrame::on_contrastComboBox_currentIndexChanged(int index)
{
    if (!tone.clahe)
        return;
    tone.claheClip = claheLevel(index);
    toneSwitchChanged();
}

void IQAdjustingFrame::on_contrastCheckBox_stateChanged(int state)
{
    tone.clahe = state == Qt::Checked;
    if (tone.clahe)
        tone.claheClip = claheLevel(ui->contrastComboBox->currentIndex());
    ui->contrastComboBox->setEnabled(tone.clahe);
    toneSwitchChanged();
}

void IQAdjustingFrame::on_colorCheckBox_stateChanged(int state)
{
    tone.equalizeRounded = state == Qt::Checked;
    toneSwitchChanged();
}

void IQAdjustingFrame::on_lccCheckBox_stateChanged(int state)
{
    tone.localGamma = state == Qt::Checked;
    toneSwitchChanged();
}

void IQAdjustingFrame::on_detailCheckBox_stateChanged(int state)
{
    tone.detailEnhance = state == Qt::Checked;
    toneSwitchChanged();
}

// --- mode, effects, revert --------------------------------------------------------

void IQAdjustingFrame::onModeToggled(int id, bool checked)
{
    if (checked)
        ui->stackedWidget->setCurrentIndex(id);
}

void IQAdjustingFrame::on_baButn_clicked()
{
    toggleCompare();
}

void IQAdjustingFrame::onEffectChanged(int currentRow)
{
    QListWidgetItem* item = ui->effectListWidget->item(currentRow);
    if (!item)
        return; // deselection (-1) or an unknown row
    IQProcessParams params;
    params.setPreset(item->data(Qt::UserRole + 1).toInt());
    tone = params.tone;
    adjust = params.adjust;
    denoise = params.denoise;
    stage = 4;
    updateAdjustSliders(adjust);
    updateToneControls(tone);
    updateDenoiseSliders(denoise);
    updateRestoreButton();
    process(true);
}

void IQAdjustingFrame::on_restoreButn_clicked()
{
    adjust.reset();
    denoise.reset();
    tone.reset();
    stage = 4;
    requestPass(PassKind::Preview);
    updateAdjustSliders(adjust);
    updateDenoiseSliders(denoise);
    updateToneControls(tone);
    updateRestoreButton();
    updateEffectSelection();
}

// --- refreshing the controls -------------------------------------------------------

void IQAdjustingFrame::updateAdjustSliders(const IQAdjustParams& a)
{
    ui->contastWidget->setValue(a.contrast);
    ui->exposureWidget->setValue(a.brightness);
    ui->sharpnessWidget->setValue(a.sharpness);
    ui->blurWidget->setValue(a.blur);
    ui->tempWidget->setValue(a.temperature);
    ui->tintWidget->setValue(a.tint);
    ui->gammaWidget->setValue(a.gamma);
    ui->saturationWidget->setValue(a.saturation);
    ui->vibranceWidget->setValue(a.vibrance);
    ui->redWidget->setValue(a.filterRed);
    ui->greenWidget->setValue(a.filterGreen);
    ui->blueWidget->setValue(a.filterBlue);
    ui->opacityWidget->setValue(a.filterOpacity);
    ui->amountWidget->setValue(a.vignette);
}

void IQAdjustingFrame::updateDenoiseSliders(const IQDenoiseParams& d)
{
    ui->luminWidget->setValue(d.luminance);
    ui->colorWidget->setValue(d.chrominance);
}

void IQAdjustingFrame::setPairSliders(const int* values)
{
    if (!values)
        return;
    ui->luminWidget->setValue(values[0]);
    ui->colorWidget->setValue(values[1]);
}

void IQAdjustingFrame::updateToneControls(const IQHDRToneParams& t)
{
    ui->highlightsWidget->setValue(t.highlight);
    ui->shadowsWidget->setValue(t.shadow);
    {
        const QSignalBlocker b1(ui->colorCheckBox);
        const QSignalBlocker b2(ui->lccCheckBox);
        const QSignalBlocker b3(ui->contrastCheckBox);
        ui->colorCheckBox->setChecked(t.equalizeRounded);
        ui->lccCheckBox->setChecked(t.localGamma);
        ui->contrastCheckBox->setChecked(t.clahe);
    }
    ui->contrastComboBox->setEnabled(t.clahe);
    for (int i = 0; i < 4; ++i) {
        if (t.claheClip == kClaheLevels[i]) {
            const QSignalBlocker block(ui->contrastComboBox);
            ui->contrastComboBox->setCurrentIndex(i);
            break;
        }
    }
}

bool IQAdjustingFrame::isDefaultParam() const
{
    return adjust.isDefault() && denoise.isDefault() && tone.isDefault();
}

void IQAdjustingFrame::updateRestoreButton()
{
    ui->restoreButn->setEnabled(processor && !isDefaultParam());
}

void IQAdjustingFrame::updateEffectSelection()
{
    const QSignalBlocker block(ui->effectListWidget);
    ui->effectListWidget->setCurrentRow(isDefaultParam() ? 0 : -1);
}

bool IQAdjustingFrame::isCompareMode() const
{
    return viewer() && viewer()->isCompareVisible();
}

void IQAdjustingFrame::toggleCompare()
{
    if (viewer())
        viewer()->setCompareVisible(!viewer()->isCompareVisible());
}

QPixmap IQAdjustingFrame::makeEffectThumbnail(QImage& image, const QString& name)
{
    QFont font;
    font.setStyleHint(QFont::System, QFont::PreferDefault);
    font.setWeight(QFont::Bold);
    font.setPixelSize(26);
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(name);
    const int lineHeight = metrics.height();
    if (!image.isNull()) {
        if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_RGB32)
            image = image.convertToFormat(QImage::Format_RGB32);
        QPainter painter(&image);
        const int top = image.height() - lineHeight - 8;
        painter.fillRect(QRect(0, top, image.width(), image.height() - top), QColor(39, 39, 39, 196));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint((image.width() - advance) / 2, image.height() - 8), name);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(qApp->devicePixelRatio());
    return pixmap;
}
