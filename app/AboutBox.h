#pragma once
#include <QMap>
#include <QString>

class QWidget;

// The about box's contents: 0 product name, 1 version line, 2 home-page link,
// 3 support link, 4 copyright line, 5 logo resource. A missing key counts as empty.
using AboutInfo = QMap<int, QString>;

// The rich text of the box: heading, version line, links and copyright line.
QString AboutBoxText(const AboutInfo& info);

// Shows a non-modal about box that deletes itself when closed.
void ShowAboutBox(QWidget* parent, const AboutInfo& info);
