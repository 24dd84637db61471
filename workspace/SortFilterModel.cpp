#include "SortFilterModel.h"

#include <QDateTime>

bool SortFilterModel::matchesFilter(const QString& text) const
{
    return filter.isEmpty() || text.contains(filter, Qt::CaseInsensitive);
}

bool SortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    return matchesFilter(index.data(filterRole()).toString());
}

bool SortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant l = left.data(sortRole());
    const QVariant r = right.data(sortRole());
    if (l.metaType().id() == QMetaType::QDateTime)
        return l.toDateTime() < r.toDateTime();
    if (l.metaType().id() == QMetaType::QString)
        return QString::compare(l.toString(), r.toString(), Qt::CaseSensitive) < 0;
    return QSortFilterProxyModel::lessThan(left, right);
}
