#pragma once
// Which files the program accepts, and its open and save dialogs.
#include <QFileDialog>
#include <QString>
#include <QStringList>

bool isSupportedImageSuffix(const QString& path);
bool isSupportedRawSuffix(const QString& path);
bool isSupportedImageFile(const QString& path);
bool isHdrFile(const QString& path);

QString openImageFilter();
QString saveImageFilters();
// The suffix a name typed in the save dialog receives for the chosen filter.
QString defaultSuffixForFilter(const QString& filter);

int getOpenImageFileNames(QWidget* parent, QStringList* files, const QString& folder,
                          QFileDialog::FileMode mode);
int getSaveImageFileName(QWidget* parent, QString* fileName, const QString& folder, QString* filter);
QString makeOutputFileName(const QString& fileName, const QString& folder);
int getFolderDialog(QWidget* parent, QStringList* folders, const QString& folder);
int getOpenAllImageFileNames(QWidget* parent, QStringList* files, const QString& folder,
                             QFileDialog::FileMode mode);
