#include "IQFileDialogs.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>

namespace {

const char* const kImageSuffixes[] = {"jpg", "jpeg", "png", "tif", "tiff"};
const char* const kRawSuffixes[] = {"arw", "sr2", "srf", "nef", "nrw", "dng", "orf", "x3f",
                                    "crw", "cr2", "cr3", "raw", "rw2", "pef", "raf", "mrw"};

template <size_t N>
bool suffixIn(const QString& path, const char* const (&list)[N])
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return false;
    for (const char* s : list) {
        if (suffix.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const char kJpegFilter[] = "JPEG Image (*.jpeg *.jpg)";

// Runs an open-mode dialog from `folder` and hands back its selection only
// when it was accepted.
int runOpenDialog(QFileDialog& dialog, const QString& folder, QFileDialog::FileMode mode, QStringList* selected)
{
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    const int result = dialog.exec();
    if (result == QDialog::Accepted && selected)
        *selected = dialog.selectedFiles();
    return result;
}

} // namespace

bool isSupportedImageSuffix(const QString& path) { return suffixIn(path, kImageSuffixes); }
bool isSupportedRawSuffix(const QString& path) { return suffixIn(path, kRawSuffixes); }
bool isSupportedImageFile(const QString& path) { return isSupportedImageSuffix(path) || isSupportedRawSuffix(path); }

bool isHdrFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("hdr"), Qt::CaseInsensitive) == 0;
}

QString openImageFilter()
{
    return QStringLiteral("(*.jpg *.jpeg *.png *.tif *.tiff *.cr2 *.cr3 *.crw *.nef *.dng *.orf *.arw "
                          "*.srf *.sr2 .crw *.rw2 *.nrw *.pef *.mrw *.raf *.x3f)");
}

QString saveImageFilters()
{
    return QStringLiteral("JPEG Image (*.jpeg *.jpg);;PNG image (*.png);;Windows BMP image (*.bmp)");
}

QString defaultSuffixForFilter(const QString& filter)
{
    if (filter == QLatin1String(kJpegFilter))
        return QStringLiteral("jpg");
    if (filter == QLatin1String("PNG image (*.png)"))
        return QStringLiteral("png");
    if (filter == QLatin1String("Windows BMP image (*.bmp)"))
        return QStringLiteral("bmp");
    if (filter == QLatin1String("GIF Image (*.gif)"))
        return QStringLiteral("gif");
    return QString();
}

int getOpenImageFileNames(QWidget* parent, QStringList* files, const QString& folder,
                          QFileDialog::FileMode mode)
{
    QFileDialog dialog(parent, QObject::tr("Open File"), QString(), openImageFilter());
    dialog.selectNameFilter(openImageFilter());
    return runOpenDialog(dialog, folder, mode, files);
}

int getSaveImageFileName(QWidget* parent, QString* fileName, const QString& folder, QString* filter)
{
    QFileDialog dialog(parent, QObject::tr("Save File"), QString(), saveImageFilters());
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString initial = (filter && !filter->isEmpty()) ? *filter : QString::fromLatin1(kJpegFilter);
    dialog.selectNameFilter(initial);
    // The suffix is set while the dialog runs, so its overwrite question sees the
    // name that will really be written.
    dialog.setDefaultSuffix(defaultSuffixForFilter(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& f) { dialog.setDefaultSuffix(defaultSuffixForFilter(f)); });
    const int result = dialog.exec();
    if (result != QDialog::Accepted)
        return result;
    dialog.setDefaultSuffix(defaultSuffixForFilter(dialog.selectedNameFilter()));
    const QStringList selected = dialog.selectedFiles();
    if (selected.isEmpty())
        return QDialog::Rejected;
    QString name = selected.first();
    if (QFileInfo(name).suffix().isEmpty()) {
        // A dialog that ignored the default suffix: add it and ask ourselves.
        const QString suffix = defaultSuffixForFilter(dialog.selectedNameFilter());
        if (!suffix.isEmpty()) {
            name += QLatin1Char('.') + suffix;
            if (QFileInfo::exists(name)) {
                const auto answer = QMessageBox::question(
                    parent, QGuiApplication::applicationDisplayName(),
                    QObject::tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(name).fileName()),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
                if (answer != QMessageBox::Yes)
                    return QDialog::Rejected;
            }
        }
    }
    if (fileName)
        *fileName = name;
    return result;
}

QString makeOutputFileName(const QString& fileName, const QString& folder)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= 0 ? fileName.left(dot) : fileName;
    const QString suffix = dot >= 0 ? fileName.mid(dot + 1) : QString();
    QString candidate = folder + QLatin1Char('/') + base + QLatin1Char('.') + suffix;
    for (int counter = 1; QFileInfo::exists(candidate); ++counter)
        candidate = QStringLiteral("%1/%2_%3.%4").arg(folder, base).arg(counter).arg(suffix);
    return candidate;
}

int getFolderDialog(QWidget* parent, QStringList* folders, const QString& folder)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    return runOpenDialog(dialog, folder, QFileDialog::Directory, folders);
}

int getOpenAllImageFileNames(QWidget* parent, QStringList* files, const QString& folder,
                             QFileDialog::FileMode mode)
{
    QStringList formats;
    for (const QByteArray& f : QImageReader::supportedImageFormats())
        formats << QString::fromLatin1(f).toLower();
    QString filter = QStringLiteral("All Images (");
    for (const QString& f : formats) {
        if (f == QLatin1String("xpm") || f == QLatin1String("xbm") || f == QLatin1String("heic")
            || f == QLatin1String("heif") || f == QLatin1String("heics") || f == QLatin1String("heifs"))
            continue;
        filter += QStringLiteral("*.%1 ").arg(f);
        if (f == QLatin1String("tiff"))
            filter += QStringLiteral("*.tif ");
        else if (f == QLatin1String("jpeg"))
            filter += QStringLiteral("*.jpg ");
    }
    filter += QLatin1Char(')');
    for (const QString& f : formats) {
        if (f == QLatin1String("xpm") || f == QLatin1String("xbm"))
            continue;
        filter += QStringLiteral(";;%1 (*.%2").arg(f, f);
        if (f == QLatin1String("tiff"))
            filter += QStringLiteral(" *.tif");
        else if (f == QLatin1String("jpeg"))
            filter += QStringLiteral(" *.jpg");
        filter += QLatin1Char(')');
    }
    QFileDialog dialog(parent, QObject::tr("Open File"), QString(), filter);
    return runOpenDialog(dialog, folder, mode, files);
}
