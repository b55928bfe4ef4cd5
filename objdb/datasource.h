#pragma once
// A set of rows over one table, with a current row whose fields are read and written by name.
// Every write raises the table's data events; refusals and handler errors undo the operation.

#include "objdb/source/columnsummary.h"
#include "objdb/source/currencydisplay.h"
#include "objdb/source/editrow.h"
#include "objdb/source/eventdispatch.h"
#include "objdb/source/keysetcursor.h"
#include "objdb/source/pagereader.h"
#include "objdb/source/references.h"
#include "objdb/source/rowreader.h"
#include "objdb/source/rowwriter.h"
#include "objdb/source/sourcescope.h"
#include "objdb/source/storedchanges.h"
#include "objdb/source/viewclauses.h"
#include "objdb/source/writechecks.h"
#include "objdb/viewschema.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace objdb {

class Database;
class BackgroundRead;
class DataContext;
class Database;
class StatementCache;
class Error;
class Filter;
class StoredRow;
class Table;
class itfNotifyEvent;

class DataSource : public QObject {
    Q_OBJECT

public:
    struct Options {
        QString filter;       // the opening condition
        QString order;        // "" = the default sort
        QString fieldList;    // "" = the table's fields
        bool convertCurrency = false;
        bool readOnly = false;
        itfNotifyEvent *notify = nullptr;
    };

    DataSource(std::shared_ptr<DataContext> context, const TableDef &table, Options options);
    ~DataSource() override;

    // --- the current row -------------------------------------------------------------------
    QVariant GetField(const QString &name);
    // In OnUpdateField of a column of the row's own: the value it had before the write in hand (what
    // a rule puts back when the user takes the change back). Elsewhere, and for any other field,
    // GetField.
    QVariant GetPreviousField(const QString &name);
    // Writes a field of the current row (buffered until SaveRow). Outside a handler it raises
    // OnBeforeUpdateField and OnUpdateField; returns false when the table's rules refused it.
    bool SetField(const QString &name, const QVariant &value);
    // Starts a new row in the buffer and raises OnNewRow; false when refused.
    bool AddNew();
    // A new row from alternating column names and values, stored at once; false when refused.
    bool AddRow(const QVariantList &namesAndValues);
    // Stores the current row and any change of its parent row in one transaction.
    void SaveRow();
    // Discards the buffered changes of the current row.
    void CancelEdit();
    // Called by a data-event handler: abandons the operation in hand and tells the user why.
    void CancelOperation(const QString &message);
    // Tells the user through the notification sink (OnInternalMessage).
    void tellUser(const QString &message) const;
    // The table's warning about the current row (OnRowWarning), and its confirmation before storing
    // a row with one (OnConfirmSave); for the editing panel.
    QString RowWarning();
    bool ConfirmSave(const QString &warning);
    bool hasCurrentRow() const { return m_row.has_value(); }
    bool isNewRow() const { return m_row && m_row->isNew; }
    bool isDirty() const;
    // Chooses the parent row of the current row (a child table's); raises the field events of the
    // parent link. 0 clears it.
    bool SetParent(qint64 parentOid);
    // Points a reference of the current row at the referenced row whose key column equals key.
    bool SetReferenceKey(const QString &reference, const QVariant &key);

    // --- finding and moving ----------------------------------------------------------------
    bool FindFirst(const QString &criterion);
    // The next match after the current row (continueAfterCurrent) or from the start.
    bool Find(const QString &criterion, bool continueAfterCurrent);
    // Find, read apart as SummarizeColumnsApart is: the first match after the row with OID after (0:
    // from the start) becomes the current row; onDone tells whether there was one.
    void FindApart(BackgroundRead &reader, const QString &criterion, qint64 after, std::function<void(bool)> onDone,
                   std::function<void(const Error &)> onFailed);
    bool FindOID(qint64 oid);
    // Whether the row with that OID is among the rows, asked by its key alone.
    bool Contains(qint64 oid) const { return m_cursor.contains(oid); }
    // "field = value" from a value as the grid shows it, "field Like ..." when it holds the
    // wildcard; "False" when the text is no value of the field.
    QString BuildCriterion(const QString &field, const QString &value, const QString &wildcard) const;
    bool MoveFirst();
    bool MoveNext();
    bool AtBOF(); // before the first row (or no rows)
    bool AtEOF(); // after the last row (or no rows)
    qint64 Bookmark() const;
    bool IsEmpty() const;
    int RecordCount();
    // Ordered keys of the rows (loaded on first use and kept until the rows change).
    const QList<qint64> &keys();
    // Whether the ordered keys are in memory (a grid's first screen must not need them).
    bool keysLoaded() const { return m_cursor.keysLoaded(); }
    // Reads the ordered keys on a thread of their own and raises OnKeysLoaded once they are in,
    // unless the rows change first. False when they are in already or must be read the ordinary way.
    bool LoadKeysInBackground();
    bool keysLoading() const { return m_cursor.keysLoading(); }
    // Stops reading the keys apart; OnKeysLoaded does not come.
    void StopReadingApart() { m_cursor.stopReadingApart(); }

    // --- deleting ---------------------------------------------------------------------------
    // Deletes the given rows (raising OnDeleteRow for each); a refused row stays. Returns how many went.
    int DeleteRows(const QList<qint64> &oids, bool refresh = true);
    bool DeleteCurrentRow();

    // --- the view --------------------------------------------------------------------------
    Table &GetTable() const;
    QString TableName() const;
    const TableDef &tableDef() const { return m_scope.table; }
    QString Filter() const { return m_clauses.filter(); }
    void SetFilter(const QString &criterion);
    QString Sort() const { return m_clauses.sort(); }
    void SetSort(const QString &order);
    QString DefaultSort() const;
    QString BaseFilter() const { return m_clauses.baseFilter(); }
    QString FieldList() const { return m_options.fieldList; }
    bool isReadOnly() const { return m_options.readOnly; }
    bool convertsCurrency() const { return m_options.convertCurrency; }
    // The decimals amounts are shown with: the conversion currency's when the view converts, else two.
    int amountDecimals() const { return m_currency.amountDecimals(); }
    // A new, empty filter of the view's table over the view's fields; its criterion is set with
    // SetFilter.
    std::shared_ptr<objdb::Filter> NewFilter() const;
    // Restricts and orders a candidate list: filter ANDed, order replacing the list's.
    void SetSelection(const QString &filter, const QString &order);
    // Reloads the rows; keeps the current row by OID when asked. Raises OnRefreshRecordset.
    void Requery(bool keepCurrent = true);

    int FieldCount() const { return int(m_fields.size()); }
    const FieldDef &Field(int index) const; // 1-based
    const FieldDef *Field(const QString &name) const;
    const QList<FieldDef> &fields() const { return m_fields; }

    // Rows for a grid: the visible fields of the given keys, in the order of the keys.
    QList<QVariantList> fetchRows(const QList<qint64> &oids) const;
    // The first rows in order, without loading the keys.
    QList<QVariantList> firstRows(int count) const;
    // How many rows there are, counting no further than limit (without reading them or their keys).
    int countRows(int limit) const;
    // Whether reads of this view go to a thread of their own (BackgroundRead): the table is large
    // enough for a read to hold the window (readApartFrom) and the archive can be read apart.
    bool readsApart() const;
    // Whether the first screen may need more than a walk of an index (an order without one, or a
    // filter of the user's, whose rows may all lie far down the order): then it is read apart too.
    bool firstScreenMayScan() const;
    // The view as it stands, for such a read; and rows read that way (values as stored) as
    // firstRows gives them.
    source::ViewCopy viewCopy() const { return m_pages.copy(); }
    void presentRows(QList<QVariantList> &rows) const { m_pages.present(rows); }
    QString archivePath() const;
    // Runs reads of this view on its own connection that must end within ms (Database::readWithin).
    bool readWithin(int ms, const std::function<void()> &reads) const;
    // Tables of at least fromRows rows are read apart; a first screen that may be quick is tried
    // in place for patienceMs first. The defaults keep small archives, and every
    // test that does not lower them, read in place.
    static void setReadApart(qint64 fromRows, int patienceMs);
    static constexpr qint64 kReadApartFrom = 20'000;
    static constexpr int kReadApartPatienceMs = 30;
    static int readApartPatience();
    // Every row in order, the visible fields of up to pageSize rows at a time, read by stepping one
    // statement (no key list, so memory stays the same whatever the number of rows). onPage returns
    // false to stop reading. Pending events that onPage runs must not close the archive.
    void readPages(int pageSize, const std::function<bool(const QList<QVariantList> &)> &onPage) const;
    // The sum of a visible numeric field over every row and the number of rows, in one query; a
    // converting view gets the sum converted once.
    ColumnSummary SummarizeColumn(const QString &field) const;
    // The number of rows and the sums of several visible numeric fields, in one query.
    ColumnsSummary SummarizeColumns(const QStringList &fields) const;
    // The same, read apart when the view reads apart and in place otherwise; onDone or onFailed
    // runs in this object's thread either way (before the return when read in place). reader holds
    // the read: starting another on it, or its end, drops a result on its way (nothing is called);
    // so does the end of this data source. A result for rows that were read again meanwhile (a new
    // order, filter or refresh) is dropped too, and onFailed told so with kErrStopped.
    void SummarizeColumnsApart(BackgroundRead &reader, const QStringList &fields, std::function<void(ColumnsSummary)> onDone,
                               std::function<void(const Error &)> onFailed) const;
    void SummarizeColumnApart(BackgroundRead &reader, const QString &field, std::function<void(ColumnSummary)> onDone,
                              std::function<void(const Error &)> onFailed) const;

    // A read-only, event-free data source over the same rows, with its own current row.
    std::shared_ptr<DataSource> Copy() const;
    // The candidate parents of the current row, after OnSelectParent.
    std::shared_ptr<DataSource> OpenParentCandidates();
    // The candidate rows of a reference, after OnSelectReference.
    std::shared_ptr<DataSource> OpenReferenceCandidates(const QString &reference);

    std::shared_ptr<DataContext> context() const { return m_scope.context; }
    // Raises OnUpdatedTableStruct on this data source; a refusal throws.
    void raiseStructureEvent(double currentVersion, double oldVersion, bool created);
    DataSource *Events() { return this; }

signals:
    void OnRefreshRecordset(objdb::DataSource *p_objDS);
    void OnKeysLoaded();
    // The ordered keys started or stopped being read on a thread of their own.
    void OnReadingApart(bool reading);

private:
    using Row = source::EditRow;

    Row &currentRow();
    template <class Result>
    void readApart(BackgroundRead &reader, std::function<Result(Database &, StatementCache &)> work,
                   std::function<void(Result)> onDone, std::function<void(const Error &)> onFailed) const;
    // The visible fields of those names; an unknown name throws.
    QList<FieldDef> summedFields(const QStringList &names) const;
    void presentSummary(ColumnsSummary &summary, const QList<FieldDef> &fields) const;
    void loadRow(qint64 oid);
    bool runEvents(const std::function<void()> &handlers, std::optional<Row> snapshot);
    void applyStoredChanges(const QList<source::MovedColumn> &moved);
    bool deleteOne(qint64 oid);
    // Deletes the children of a row that go with it, raising their OnDeleteRow. False when one
    // of them was refused (the rest are then undone with the caller's savepoint).
    bool deleteChildren(qint64 oid) const;
    itfSetData *events() const;
    itfNotifyEvent *notify() const;

    // The units of one job each (objdb/source/) the data source is made of. They keep references
    // to the scope, the dispatch, the currency and the clauses, so those are declared first.
    Options m_options;
    source::SourceScope m_scope;
    source::EventDispatch m_dispatch;
    source::CurrencyDisplay m_currency;
    QList<FieldDef> m_fields; // the scope's fields, amounts formatted for the display currency
    source::ViewClauses m_clauses;
    source::KeysetCursor m_cursor;
    source::PageReader m_pages;
    source::RowReader m_reader;
    source::RowWriter m_writer;
    source::References m_references;
    source::WriteChecks m_checks;
    std::optional<Row> m_row;
    quint64 m_generation = 0; // counts the times the rows were read again
    struct PreviousValue {
        QString field;
        QVariant value;
    };
    std::optional<PreviousValue> m_previous; // while OnUpdateField of a write runs
};

} // namespace objdb
