#pragma once
// A read-only table model over a data source, made for grids over big archives. The first page is
// counted and its first screen read at once without the ordered key list (the rest of the page when
// a row of it is first shown); the key list is loaded only when a row beyond it is
// needed, and rows are then read by key in pages kept in a small LRU cache. No cursor stays open
// and the rows are never all in memory.

#include "objdb/backgroundread.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QItemSelection>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace objdb {

class DataSource;
struct FieldDef;
namespace source {
struct FirstScreen;
}

class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kPageSize = 100;
    static constexpr int kFirstScreenRows = 50; // read with the first page's count
    static constexpr int kMaxCachedPages = 20;
    // The stored value of a cell (Amount, QDate, bool, QString), for callers that need more than text.
    static constexpr int ValueRole = Qt::UserRole + 1;

    // sequence: field names separated by ";" ("" = the default fields).
    explicit GridModel(std::shared_ptr<DataSource> ds, const QString &sequence = QString(), QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    const std::shared_ptr<DataSource> &dataSource() const { return m_ds; }
    // Shows the fields of a sequence; the rows and the cache stay.
    void setFieldSequence(const QString &sequence);
    QString fieldAt(int column) const;
    int columnOfField(const QString &name) const;
    // The OID of a row; 0 when out of range. May load the key list.
    qint64 bookmarkAt(int row);
    // The row showing an OID, -1 when it is not in the view. Loads the key list when needed.
    int rowOfBookmark(qint64 oid);
    // The bookmarks of the rows chosen as rows in a view over this model (every cell of the row
    // selected), in row order. A column or some cells of a row chosen are no row.
    QList<qint64> selectedBookmarks(const QItemSelectionModel *selection);
    // The rows showing the given bookmarks, as whole-row ranges, one for each run of adjacent rows.
    // Bookmarks no longer in the view are left out. Loads the key list when needed.
    QItemSelection rowSelection(const QList<qint64> &bookmarks);
    // The OID and field of the cell last made current in the view, kept across resets so that a
    // rebind can put the view back on it.
    qint64 currentBookmark() const { return m_currentBookmark; }
    QString currentField() const { return m_currentField; }
    void rememberCurrent(qint64 oid, const QString &field)
    {
        m_currentBookmark = oid;
        m_currentField = field;
    }
    // Loads the ordered key list, so that every row is counted (scrolling to the end).
    void loadAllRows();
    // The row of a bookmark when known without reading the key list (the keys are in, or the row is
    // on the first page; -1 when the keys are in and it is not among them); nothing otherwise.
    std::optional<int> knownRowOf(qint64 oid);

    // What the cache holds, for whoever needs to watch memory.
    bool allRowsKnown() const { return m_keysLoaded; }
    int cachedPageCount() const { return int(m_pages.count()); }
    int cachedRowCount() const;
    // Counts the refreshes of the data source; cached pages belong to one generation only.
    quint64 generation() const { return m_generation; }
    // Whether rows of the view are being read on a thread of their own (its first screen or its
    // ordered keys): the view shows what it has meanwhile and is told when more arrives.
    bool busy() const;
    // Whether the first screen itself is still being read apart (the view shows no rows meanwhile).
    bool readingFirstScreen() const { return m_firstScreen.running(); }
    // Ends the reads apart in progress (the user stopped them): rows not read yet stay out of the
    // view; the keys are read the ordinary way when next needed.
    void stopReadingApart();

signals:
    void busyChanged(bool busy);
    // The first screen read apart arrived, after the model was reset for it.
    void firstScreenArrived();

public:

    // The fields a sequence shows, as indices into the data source's fields (secret fields never).
    static QList<int> columnsFor(const QList<FieldDef> &fields, const QString &sequence);

private:
    using Page = QList<QVariantList>;

    void reload();
    // The first page from its first screen and the count of the first page's rows.
    void installFirstScreen(Page rows, int counted);
    bool readFirstScreenApart();
    void takeFirstScreen(source::FirstScreen *screen);
    void updateBusy();
    const QVariantList *rowValues(int row) const; // nullptr when the row cannot be read
    const QVariantList *readRow(int row) const;
    const Page *page(int number) const;
    const Page *completeFirstPage() const;
    QVariant displayValue(const QVariant &value, int type) const;
    // Reads that fail under the view (the archive gone or unreadable) must not unwind through Qt's
    // painting and signals: the rows read nothing, and the failure is told once per generation,
    // after the event in hand.
    void readFailed(const QString &message) const;
    void emptyRows();

    std::shared_ptr<DataSource> m_ds;
    QList<int> m_columns;
    QList<qint64> m_keys;
    bool m_keysLoaded = false;
    int m_firstPageRows = 0;
    int m_oidField = -1; // index of the OID among the fields, when shown by the field list
    quint64 m_generation = 0;
    qint64 m_currentBookmark = 0;
    QString m_currentField;
    mutable QCache<int, Page> m_pages{kMaxCachedPages};
    // The page read last: a screen asks for many cells of the same page in a row. Reset whenever the
    // cache changes, since the cache may delete the page it points to.
    mutable int m_memoNumber = -1;
    mutable const Page *m_memo = nullptr;
    mutable quint64 m_failureTold = 0; // the generation whose read failure was told
    BackgroundRead m_firstScreen{this};
    bool m_busyTold = false;
};

} // namespace objdb
