#pragma once
#include <QString>

class QSettings;

// The product's identity and the address of its update feed.
QString ApplicationDisplayName();
int ProductChannel();
int ProductId();
QString CopyrightText();
QString HomePageUrl();

// The process-wide "Settings.ini" store of the current working folder.
// GUI thread only.
QSettings* AppSettings();
QString UpdateFeedUrl();
// The feed address used when "Settings.ini" has none.
QString DefaultUpdateFeedUrl();
