#pragma once
#include <QListView>
#include <QMap>
#include <QPixmap>
#include <functional>
#include <memory>

#include "IQThumbnailItem.h"
#include "Rand15.h"

class QStandardItemModel;
class QStandardItem;
class SortFilterModel;

// The import page's photo list: one cell per file item, thumbnails loaded
// lazily for the rows in view plus a look-ahead in the scroll direction.
class IQThumbsViewer : public QListView {
    Q_OBJECT
public:
    enum Roles {
        IdRole = Qt::UserRole + 1,   // 0x101
        NameRole,                    // 0x102, also the sort role
        SuffixRole,                  // 0x103
        CreatedRole,                 // 0x104
        AddedRole,                   // 0x105
        LoadedRole,                  // 0x106
    };
    using ItemPtr = std::shared_ptr<IQThumbnailItem>;
    // Called per row before it is removed; return false to keep the row and stop.
    using RemoveCallback = std::function<bool(const ItemPtr& item, int removedSoFar, bool* cancel)>;

    explicit IQThumbsViewer(QWidget* parent = nullptr);
    ~IQThumbsViewer() override;

    void clear();
    void setItems(const QList<ItemPtr>& list);
    void addItems(const QList<ItemPtr>& list);
    void addItem(const ItemPtr& item);
    void removeSelectedItems(const RemoveCallback& callback = RemoveCallback());
    QList<ItemPtr> selectedItems() const;
    QList<ItemPtr> allItems(bool visibleOnly) const;
    ItemPtr itemAt(int row) const;
    QStandardItem* item(int row) const;
    int count() const;
    int visibleCount() const;
    int lastRow() const;
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row) { m_currentRow = row < 0 ? 0 : row; }
    bool setCurrentItemRow(int row);
    void scrollToCurrent();
    void selectRow(int row);
    int nextRow() const;
    int previousRow() const;
    int randomRow();
    int selectedCount() const;
    void stopLoading() { stopRequested = true; }
    void setDisplayFlag(bool scrollToTop) { scrollToTopOnClear = scrollToTop; }
    void setLoadingPixmap(const QString& file) { loadingPixmap = renderPlaceholder(file); }
    void setErrorPixmap(const QString& file) { errorPixmap = renderPlaceholder(file); }
    // What a row shows when its photo cannot be read.
    const QPixmap& errorPlaceholder() const { return errorPixmap; }
    void emitCountChanged();
    void applyStyleSheet();
    static double fitSize(const QSize& size, const QSize& box, int& w, int& h);

    // Rows of the proxy whose cells are in view, or -1.
    int firstVisibleRow() const;
    int lastVisibleRow() const;
    // The rows the next loading pass covers (for tests and diagnostics).
    int pendingFirstRow() const { return pendingFirst; }
    int pendingLastRow() const { return pendingLast; }
    bool isLoading() const { return loadingRunning; }
    bool isRemoving() const { return removing; }

signals:
    void selectionCountChanged(int selection);
    void countChanged(int count);
    void contextMenu(QModelIndex index);

public slots:
    void loadVisibleThumbs(int scrollBarValue = 0);
    void onSelectionChanged(const QItemSelection& selection);
    void invertSelection();
    void applyFilter(const QString& filter);
    void loadThumbsRange();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QPixmap renderPlaceholder(const QString& file) const;
    QPixmap paintThumbnail(const ItemPtr& item) const;
    QPixmap paintIcon(const QImage& image) const;
    QStandardItem* makeRow(const ItemPtr& item) const;
    bool rowInView(int proxyRow, int viewportHeight) const;

    QStandardItemModel* m_model = nullptr;
    SortFilterModel* proxy = nullptr;
    int thumbnailSize = 120;
    QMap<QString, ItemPtr> items;
    QModelIndex m_currentIndex;
    bool stopRequested = false;
    bool scrollToTopOnClear = false;
    int m_currentRow = 0;
    bool scrollingDown = true;
    int pendingFirst = -1;
    int pendingLast = -1;
    QPixmap loadingPixmap;
    QPixmap errorPixmap;

    QSize cellSizeHint;
    int previousScrollValue = 0;
    bool loadingRunning = false;
    bool removing = false;
    int wheelRemainder = 0;
    Rand15 random;
};
