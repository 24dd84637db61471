#include "AboutBox.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <algorithm>

QString AboutBoxText(const AboutInfo& info)
{
    const QString name = info.value(0, QCoreApplication::translate("AboutBox", "About"));
    const QString version = info.value(1);
    // Addresses read left to right also in a right-to-left interface;
    // otherwise a trailing "/" jumps to the front.
    const bool rtl = QGuiApplication::isRightToLeft();
    auto ltr = [rtl](const QString& s) {
        return rtl && !s.isEmpty() ? QChar(0x202A) + s + QChar(0x202C) : s;
    };
    const QString homePage = ltr(info.value(2));
    const QString support = ltr(info.value(3));
    const QString copyright = info.value(4);

    QString text = name.isEmpty() ? QStringLiteral("<h3>%1</h3>").arg(QCoreApplication::translate("AboutBox", "About"))
                                  : QStringLiteral("<h3>") + name + QStringLiteral("</h3>");
    text += version;
    text += QStringLiteral("<br>");
    if (!homePage.isEmpty())
        text += QStringLiteral("<p><b>%1</b><br>").arg(QCoreApplication::translate("AboutBox", "HomePage")) + homePage
                + QStringLiteral("</p>");
    if (!support.isEmpty())
        text += QStringLiteral("<p><b>%1</b><br>").arg(QCoreApplication::translate("AboutBox", "Support")) + support
                + QStringLiteral("</p>");
    text += QStringLiteral("<br>");
    if (!copyright.isEmpty())
        text += QStringLiteral("<p>") + copyright + QStringLiteral("</p>");
    return text;
}

void ShowAboutBox(QWidget* parent, const AboutInfo& info)
{
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Message boxes are modal unless told otherwise; this one must not block
    // the window behind it.
    box->setWindowModality(Qt::NonModal);
    box->setWindowTitle(info.value(0));
    box->setText(AboutBoxText(info));
    box->setStandardButtons(QMessageBox::Ok);

    QPixmap logo(info.value(5));
    logo.setDevicePixelRatio(std::min<qreal>(2.0, box->devicePixelRatioF()));
    if (!logo.isNull())
        box->setIconPixmap(logo);

    // In a right-to-left interface every line keeps to the right edge; left
    // to itself, each paragraph aligns by its first letter, and the Latin
    // name, version and copyright would sit left of the translated labels.
    if (QGuiApplication::isRightToLeft()) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    }

    // The box shows no buttons; it is closed from its title bar.
    const QList<QAbstractButton*> buttons = box->buttons();
    if (!buttons.isEmpty())
        buttons.first()->hide();
    box->show();
}
