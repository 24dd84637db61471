#include "IQGuideDialog.h"
#include "ui_IQGuideDialog.h"

#include "IQSettings.h"

#include <QLabel>

IQGuideDialog::IQGuideDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::IQGuideDialog)
{
    ui->setupUi(this);
    // A title bar without system buttons: the dialog closes through its
    // button. The dialog type stays, so a parent does not swallow it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ui->showAgainChckButn->setText(tr("IDS_AC_DONTSHOWAGAIN"));
    ui->okButn->setText(tr("IDS_AC_CLOSE"));

    auto* guide = new QLabel(this);
    guide->setObjectName(QStringLiteral("guideLabel"));
    guide->setWordWrap(true);
    guide->setTextFormat(Qt::RichText);
    guide->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    guide->setText(QStringLiteral("<h3>%1</h3><p>%2</p><p>%3</p><p>%4</p>")
                       .arg(tr("Getting started").toHtmlEscaped(),
                            tr("1. Import three or more photos of one scene taken at different exposures, or a "
                               "single photo.")
                                .toHtmlEscaped(),
                            tr("2. Choose Bracketing Mode or Single Photo Mode and click Next.").toHtmlEscaped(),
                            tr("3. Refine the picture on the editing page and save it.").toHtmlEscaped()));
    ui->webLayout->addWidget(guide, 1);
}

IQGuideDialog::~IQGuideDialog()
{
    delete ui;
}

QVBoxLayout* IQGuideDialog::contentLayout() const
{
    return ui->webLayout;
}

void IQGuideDialog::on_okButn_clicked()
{
    accept();
}

void IQGuideDialog::on_showAgainChckButn_stateChanged(int state)
{
    Q_UNUSED(state);
    IQSettings::instance()->setShowGuide(int(ui->showAgainChckButn->checkState()));
}
