#pragma once
// One imported input file: identifier, path, time added, and what the photo
// list shows of it.
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

class IQThumbnailItem {
public:
    virtual QImage thumbnail(QSize size) = 0;
    virtual QString displayName() const = 0;
    virtual QString suffix() const = 0;
    virtual QDateTime createdTime() const = 0;
    virtual QDateTime addedTime() const = 0;
    virtual QString id() const = 0;
    virtual QString fileName() const = 0;
    virtual ~IQThumbnailItem() = default;
    virtual void setFilePath(const QString& path) = 0;
    virtual QImage image() = 0;
    virtual QString filePath() const = 0;
};

class IQFileItem : public IQThumbnailItem {
public:
    IQFileItem(const QString& identifier, const QString& path, const QDateTime& timeAdded);

    QString suffix() const override;
    QDateTime createdTime() const override;
    QDateTime addedTime() const override;
    QString id() const override;
    QString fileName() const override;
    void setFilePath(const QString& path) override;
    QImage image() override;
    QString filePath() const override;

protected:
    QString identifier;
    QString path;
    QDateTime timeAdded;
};

class IQImageFileItem : public IQFileItem {
public:
    using IQFileItem::IQFileItem;

    // The picture read to fit `size`, decoded at that size where the format allows.
    QImage thumbnail(QSize size) override;
    QString displayName() const override;
    QImage image() override;
};
