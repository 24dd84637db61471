#pragma once
#include <QPixmap>
#include <QString>

// Loads an icon for a square box of `logicalSize` pixels. On standard screens
// the plain asset is scaled to the box; on high-density screens the "@2x"
// asset (or the plain one when there is none) keeps its pixels and gets the
// ratio that fits it into the same box.
QPixmap loadIconPixmap(const QString& path, int logicalSize, double dpr);
