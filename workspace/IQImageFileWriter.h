#pragma once
#include <QImage>
#include <QString>

// Writes `picture` to `path` in the format its suffix names, with the image
// writer's own defaults (no quality or compression set). A regular file is
// written beside the target and renamed over it only when complete, so a
// failed write never damages a file that is already there. On failure
// `error` gets the reason, the file system's own where the writer knows none.
// Safe on any thread.
bool writeImageFile(const QImage& picture, const QString& path, QString* error = nullptr);
