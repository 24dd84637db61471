#pragma once
#include <QSortFilterProxyModel>

// The photo list's proxy: a case-insensitive substring filter over the display
// text, and date-times sorted earlier first.
class SortFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setFilter(const QString& text) { filter = text; }
    bool matchesFilter(const QString& text) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString filter;
};
