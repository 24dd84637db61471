#include "IQThumbsViewer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QIcon>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTime>
#include <QTimer>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <vector>
#include <QWheelEvent>
#include <algorithm>

#include "IQImageReadGuard.h"
#include "SortFilterModel.h"

namespace {
struct IQThumbsViewDefaults {
    QColor background{34, 34, 34};
    QColor text{Qt::white};
    int preloadFactor = 2;
    int thumbnailSize = 120;
    int spacing = 10;
};
const IQThumbsViewDefaults kDefaults;
const QColor kCellBackground(39, 39, 39);
}

IQThumbsViewer::IQThumbsViewer(QWidget* parent) : QListView(parent)
{
    // Thumbnails are read on pool threads; the readers' process-wide
    // settings are made here, on the GUI thread, before any of them starts.
    IQPrepareImageReading();
    setViewMode(QListView::IconMode);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setResizeMode(QListView::Adjust);
    setWordWrap(false);
    setDragEnabled(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(false);
    setSpacing(0);
    setTextElideMode(Qt::ElideMiddle);

    m_model = new QStandardItemModel(this);
    m_model->setSortRole(NameRole);
    proxy = new SortFilterModel(this);
    proxy->setSourceModel(m_model);
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy->setSortRole(NameRole);
    proxy->setFilterRole(Qt::DisplayRole);
    setModel(proxy);
    thumbnailSize = kDefaults.thumbnailSize;

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &IQThumbsViewer::loadVisibleThumbs);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) { onSelectionChanged(selected); });

    random.seed(static_cast<quint32>(QTime::currentTime().msec()));
    clear();
}

IQThumbsViewer::~IQThumbsViewer()
{
    stopRequested = true;
}

void IQThumbsViewer::clear()
{
    m_model->clear();
    proxy->setFilter(QString());
    proxy->invalidate();
    setIconSize(QSize(thumbnailSize, thumbnailSize));
    setSpacing(fontMetrics().height());
    if (scrollToTopOnClear)
        scrollToTop();
    stopRequested = false;
    pendingFirst = pendingLast = -1;
}

void IQThumbsViewer::setItems(const QList<ItemPtr>& list)
{
    clear();
    items.clear();
    addItems(list);
}

QStandardItem* IQThumbsViewer::makeRow(const ItemPtr& item) const
{
    auto* row = new QStandardItem;
    const QString name = item->displayName();
    row->setData(false, LoadedRole);
    row->setData(name, NameRole);
    row->setData(item->suffix(), SuffixRole);
    row->setData(item->createdTime(), CreatedRole);
    row->setData(item->addedTime(), AddedRole);
    row->setData(item->id(), IdRole);
    row->setData(int(Qt::AlignHCenter | Qt::AlignBottom), Qt::TextAlignmentRole);
    row->setData(cellSizeHint, Qt::SizeHintRole);
    row->setData(name, Qt::DisplayRole);
    row->setData(kCellBackground, Qt::BackgroundRole);
    row->setData(QIcon(loadingPixmap), Qt::DecorationRole);
    return row;
}

void IQThumbsViewer::addItems(const QList<ItemPtr>& list)
{
    cellSizeHint = QSize(thumbnailSize, thumbnailSize + int(1.5 * fontMetrics().height()));
    // Rows go in batches of 100 with the event loop served between batches, so a
    // large import neither freezes the page nor relayouts per row.
    QList<QStandardItem*> batch;
    batch.reserve(100);
    for (const ItemPtr& item : list) {
        if (!item)
            continue;
        items.insert(item->id(), item);
        batch.append(makeRow(item));
        if (batch.size() == 100) {
            m_model->invisibleRootItem()->appendRows(batch);
            batch.clear();
            QCoreApplication::processEvents();
        }
    }
    if (!batch.isEmpty())
        m_model->invisibleRootItem()->appendRows(batch);

    emit countChanged(proxy->rowCount());
    pendingFirst = pendingLast = -1;
    loadVisibleThumbs(0);
    if (!items.isEmpty() && selectionModel()->selectedIndexes().isEmpty()) {
        setCurrentItemRow(0);
        scrollToCurrent();
    }
}

void IQThumbsViewer::addItem(const ItemPtr& item)
{
    if (!item)
        return;
    cellSizeHint = QSize(thumbnailSize, thumbnailSize + int(1.5 * fontMetrics().height()));
    QStandardItem* row = makeRow(item);
    const QPixmap thumb = paintThumbnail(item);
    row->setData(QIcon(thumb.isNull() ? errorPixmap : thumb), Qt::DecorationRole);
    row->setData(item->fileName(), Qt::ToolTipRole);
    row->setData(true, LoadedRole);
    m_model->appendRow(row);
}

void IQThumbsViewer::removeSelectedItems(const RemoveCallback& callback)
{
    // The event loop runs between removals, so a second click could start a
    // second pass over rows that are already gone.
    if (removing)
        return;
    removing = true;
    stopRequested = true; // a running thumbnail pass must not walk removed rows

    QList<QPersistentModelIndex> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.append(QPersistentModelIndex(proxy->mapToSource(index)));

    int removed = 0;
    bool cancel = false;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    while (!cancel) {
        // Rows are tracked by persistent index: they stay right while the
        // model changes under the served event loop.
        QList<int> current;
        for (const QPersistentModelIndex& p : rows) {
            if (p.isValid())
                current.append(p.row());
        }
        if (current.isEmpty())
            break;
        std::sort(current.begin(), current.end());
        current.erase(std::unique(current.begin(), current.end()), current.end());

        // The highest contiguous run goes in one call.
        int last = current.back();
        int first = last;
        int idx = current.size() - 1;
        while (idx > 0 && current[idx - 1] == first - 1) {
            --idx;
            --first;
        }
        if (callback) {
            // Row by row so the callback sees every item.
            first = last;
            const ItemPtr item = items.value(m_model->index(last, 0).data(IdRole).toString());
            if (!callback(item, removed, &cancel))
                break;
        }
        for (int r = first; r <= last; ++r)
            items.remove(m_model->index(r, 0).data(IdRole).toString());
        m_model->removeRows(first, last - first + 1);
        removed += last - first + 1;
        if (cancel)
            break;
        // Serving the event loop relayouts the whole list, so do it a few
        // times a second rather than after every run of rows.
        if (sinceEvents.elapsed() >= 40) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    }

    removing = false;
    stopRequested = false;
    pendingFirst = pendingLast = -1;
    loadVisibleThumbs(0);
    emit countChanged(proxy->rowCount());
    emit selectionCountChanged(selectionModel()->selectedIndexes().size());
}

QList<IQThumbsViewer::ItemPtr> IQThumbsViewer::selectedItems() const
{
    QList<ItemPtr> result;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    for (auto it = selected.crbegin(); it != selected.crend(); ++it) {
        const QModelIndex source = proxy->mapToSource(*it);
        result.append(items.value(source.data(IdRole).toString()));
    }
    return result;
}

QList<IQThumbsViewer::ItemPtr> IQThumbsViewer::allItems(bool visibleOnly) const
{
    QList<ItemPtr> result;
    const QAbstractItemModel* m = visibleOnly ? static_cast<QAbstractItemModel*>(proxy) : m_model;
    const int rows = m->rowCount();
    result.reserve(rows);
    for (int r = 0; r < rows; ++r)
        result.append(items.value(m->index(r, 0).data(IdRole).toString()));
    return result;
}

IQThumbsViewer::ItemPtr IQThumbsViewer::itemAt(int row) const
{
    return items.value(m_model->index(row, 0).data(IdRole).toString());
}

QStandardItem* IQThumbsViewer::item(int row) const { return m_model->item(row, 0); }
int IQThumbsViewer::count() const { return m_model->rowCount(); }
int IQThumbsViewer::visibleCount() const { return proxy->rowCount(); }
int IQThumbsViewer::lastRow() const { return m_model->rowCount() - 1; }

bool IQThumbsViewer::setCurrentItemRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid())
        return false;
    m_currentRow = row;
    m_currentIndex = index;
    return true;
}

void IQThumbsViewer::scrollToCurrent()
{
    if (!m_currentIndex.isValid() || m_model->rowCount() == 0)
        return;
    const QModelIndex viewIndex = proxy->mapFromSource(m_currentIndex);
    if (!viewIndex.isValid())
        return;
    scrollTo(viewIndex, QAbstractItemView::EnsureVisible);
    setCurrentIndex(viewIndex);
}

void IQThumbsViewer::selectRow(int row)
{
    setCurrentItemRow(row);
    scrollToCurrent();
}

int IQThumbsViewer::nextRow() const { return m_currentRow >= lastRow() ? -1 : m_currentRow + 1; }
int IQThumbsViewer::previousRow() const { return m_currentRow - 1; }

int IQThumbsViewer::randomRow()
{
    const int rows = m_model->rowCount();
    return rows > 0 ? random.next() % rows : -1;
}

int IQThumbsViewer::selectedCount() const { return selectionModel()->selectedIndexes().size(); }

void IQThumbsViewer::emitCountChanged() { emit countChanged(proxy->rowCount()); }

void IQThumbsViewer::applyStyleSheet()
{
    setStyleSheet(QStringLiteral("QListView { ")
                  + QStringLiteral("background: rgb(%1, %2, %3); ")
                        .arg(kDefaults.background.red())
                        .arg(kDefaults.background.green())
                        .arg(kDefaults.background.blue())
                  + QStringLiteral("background-attachment: fixed; }"));
    const QPalette scrollPalette = verticalScrollBar()->palette();
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Text, kDefaults.text);
    p.setColor(QPalette::Inactive, QPalette::Text, kDefaults.text);
    p.setColor(QPalette::Disabled, QPalette::Text, kDefaults.text);
    setPalette(p);
    verticalScrollBar()->setPalette(scrollPalette);
}

double IQThumbsViewer::fitSize(const QSize& size, const QSize& box, int& w, int& h)
{
    if (size.width() <= box.width() && size.height() <= box.height()) {
        w = size.width();
        h = size.height();
        return 1.0;
    }
    const double f = std::min(double(box.width()) / size.width(), double(box.height()) / size.height());
    w = int(size.width() * f);
    h = int(size.height() * f);
    return f - 0.001;
}

void IQThumbsViewer::invertSelection()
{
    QItemSelection all(proxy->index(0, 0), proxy->index(proxy->rowCount() - 1, 0));
    selectionModel()->select(all, QItemSelectionModel::Toggle);
}

void IQThumbsViewer::applyFilter(const QString& filter)
{
    proxy->setFilter(filter);
    proxy->invalidate();
    emit selectionCountChanged(selectionModel()->selectedIndexes().size());
    emit countChanged(proxy->rowCount());
}

void IQThumbsViewer::onSelectionChanged(const QItemSelection&)
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.size() == 1)
        m_currentRow = std::max(0, proxy->mapToSource(selected.first()).row());
    emit selectionCountChanged(selected.size());
}

bool IQThumbsViewer::rowInView(int proxyRow, int viewportHeight) const
{
    const QRect r = visualRect(proxy->index(proxyRow, 0));
    const int y = r.top() + r.height() + 1;
    return y >= 0 && y < viewportHeight;
}

// Rows are laid out in order, so their cells' y positions never decrease:
// a binary search finds the first and last row in view without visiting every row.
int IQThumbsViewer::firstVisibleRow() const
{
    const int rows = proxy->rowCount();
    const int vh = viewport()->height();
    if (rows == 0 || vh <= 0)
        return -1;
    int lo = 0, hi = rows; // first row whose marker is not above the viewport
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const QRect r = visualRect(proxy->index(mid, 0));
        if (r.top() + r.height() + 1 < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return (lo < rows && rowInView(lo, vh)) ? lo : -1;
}

int IQThumbsViewer::lastVisibleRow() const
{
    const int rows = proxy->rowCount();
    const int vh = viewport()->height();
    if (rows == 0 || vh <= 0)
        return -1;
    int lo = 0, hi = rows; // first row whose marker is below the viewport
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const QRect r = visualRect(proxy->index(mid, 0));
        if (r.top() + r.height() + 1 < vh)
            lo = mid + 1;
        else
            hi = mid;
    }
    const int last = lo - 1;
    return (last >= 0 && rowInView(last, vh)) ? last : -1;
}

void IQThumbsViewer::loadVisibleThumbs(int scrollBarValue)
{
    scrollingDown = previousScrollValue <= scrollBarValue;
    previousScrollValue = scrollBarValue;
    for (;;) {
        const int first = firstVisibleRow();
        const int last = lastVisibleRow();
        if (stopRequested || first < 0 || last < 0)
            return;
        const int extent = (kDefaults.preloadFactor + 1) * (last - first);
        int from, to;
        if (scrollingDown) {
            from = first;
            to = last + extent;
        } else {
            from = std::max(first - extent, 0);
            to = last + 10;
        }
        to = std::min(to, proxy->rowCount() - 1);
        if (from == pendingFirst && to == pendingLast)
            return;
        pendingFirst = from;
        pendingLast = to;
        loadThumbsRange();
        if (stopRequested)
            return;
    }
}

void IQThumbsViewer::loadThumbsRange()
{
    if (loadingRunning) {
        // End the running pass at its next row; this one runs again once it has.
        stopRequested = true;
        QTimer::singleShot(0, this, &IQThumbsViewer::loadThumbsRange);
        return;
    }
    loadingRunning = true;
    const int rowCount = proxy->rowCount();
    const int step = scrollingDown ? 1 : -1;
    const int start = scrollingDown ? pendingFirst : pendingLast;
    const int end = scrollingDown ? pendingLast : pendingFirst;
    const int thumbSide = int(thumbnailSize * devicePixelRatioF());
    // Rows are decoded a few at a time on the pool (decoding dominates), then
    // drawn here in scroll order with the event loop served after each row.
    const int batchSize = std::max(1, QThreadPool::globalInstance()->maxThreadCount());
    int row = start;
    auto inRange = [&](int r) { return scrollingDown ? r <= end : r >= end; };
    auto stillValid = [&](int r) {
        return !stopRequested && proxy->rowCount() == rowCount && r >= 0 && r < rowCount;
    };
    while (inRange(row) && stillValid(row)) {
        struct Job {
            QPersistentModelIndex index;
            ItemPtr item;
            QFuture<QImage> image;
        };
        std::vector<Job> batch;
        for (; inRange(row) && stillValid(row) && int(batch.size()) < batchSize; row += step) {
            const QModelIndex index = proxy->index(row, 0);
            if (index.data(LoadedRole).toBool())
                continue;
            Job job{QPersistentModelIndex(index), items.value(index.data(IdRole).toString()), {}};
            if (job.item) {
                const ItemPtr item = job.item;
                job.image = QtConcurrent::run([item, thumbSide] { return item->thumbnail(QSize(thumbSide, thumbSide)); });
            }
            batch.push_back(std::move(job));
        }
        for (Job& job : batch) {
            QImage image;
            if (job.item)
                image = job.image.result();
            if (!stillValid(job.index.row()) || !job.index.isValid())
                continue; // the pass ends below; unfinished decodes are simply dropped
            const QPixmap thumb = image.isNull() ? QPixmap() : paintIcon(image);
            const QModelIndex index = job.index;
            proxy->setData(index, QIcon(thumb.isNull() ? errorPixmap : thumb), Qt::DecorationRole);
            proxy->setData(index, job.item ? job.item->fileName() : QString(), Qt::ToolTipRole);
            proxy->setData(index, true, LoadedRole);
            QCoreApplication::processEvents();
        }
    }
    loadingRunning = false;
    stopRequested = false;
}

QPixmap IQThumbsViewer::paintIcon(const QImage& image) const
{
    const qreal dpr = devicePixelRatioF();
    const int s = int(thumbnailSize * dpr);
    QPixmap pixmap(s, s);
    pixmap.fill(Qt::transparent);
    const int w = int(s - 2 * kDefaults.spacing);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QIcon(QPixmap::fromImage(image)).paint(&painter, QRect(kDefaults.spacing, 0, w, w), Qt::AlignCenter);
    return pixmap;
}

QPixmap IQThumbsViewer::renderPlaceholder(const QString& file) const
{
    return paintIcon(QImage(file));
}

QPixmap IQThumbsViewer::paintThumbnail(const ItemPtr& item) const
{
    const int s = int(thumbnailSize * devicePixelRatioF());
    const QImage image = item->thumbnail(QSize(s, s));
    if (image.isNull())
        return QPixmap();
    return paintIcon(image);
}

void IQThumbsViewer::mousePressEvent(QMouseEvent* event)
{
    QAbstractItemView::mousePressEvent(event);
}

void IQThumbsViewer::mouseDoubleClickEvent(QMouseEvent* event)
{
    QAbstractItemView::mousePressEvent(event);
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.size() == 1)
        emit doubleClicked(proxy->mapToSource(selected.first()));
}

void IQThumbsViewer::wheelEvent(QWheelEvent* event)
{
    // Touchpads send many small and zero deltas: accumulate them so one notch
    // (120) still moves one cell and zero deltas move nothing.
    const int delta = event->angleDelta().y();
    event->accept();
    if (delta == 0)
        return;
    wheelRemainder += delta;
    const int move = wheelRemainder * thumbnailSize / 120;
    if (move == 0)
        return;
    wheelRemainder -= move * 120 / thumbnailSize;
    verticalScrollBar()->setValue(verticalScrollBar()->value() - move);
}

void IQThumbsViewer::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        emit contextMenu(index);
}

void IQThumbsViewer::startDrag(Qt::DropActions)
{
}
