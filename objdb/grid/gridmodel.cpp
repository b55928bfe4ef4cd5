#include "objdb/grid/gridmodel.h"

#include "objdb/amount.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/grid/cellformat.h"
#include "objdb/source/pagereader.h"
#include "objdb/statementcache.h"
#include "objdb/types.h"

#include <QItemSelectionModel>
#include <QSet>
#include <QTimer>
#include <algorithm>

namespace objdb {

namespace {

bool shownByDefault(const FieldDef &field)
{
    return !field.secret && !field.privateField && field.display > 0;
}

} // namespace

GridModel::GridModel(std::shared_ptr<DataSource> ds, const QString &sequence, QObject *parent)
    : QAbstractTableModel(parent), m_ds(std::move(ds))
{
    const auto &fields = m_ds->fields();
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).origin == FieldDef::Origin::Key)
            m_oidField = i;
    m_columns = columnsFor(fields, sequence);
    connect(m_ds.get(), &DataSource::OnReadingApart, this, &GridModel::updateBusy);
    connect(m_ds.get(), &DataSource::OnRefreshRecordset, this, [this] {
        beginResetModel();
        try {
            reload();
        } catch (const Error &e) {
            emptyRows();
            readFailed(e.description());
        }
        endResetModel();
    });
    reload();
}

void GridModel::emptyRows()
{
    m_pages.clear();
    m_memoNumber = -1;
    m_keys.clear();
    m_keysLoaded = true;
    m_firstPageRows = 0;
}

void GridModel::readFailed(const QString &message) const
{
    if (m_failureTold == m_generation)
        return;
    m_failureTold = m_generation;
    QTimer::singleShot(0, this, [this, message] { m_ds->tellUser(message); });
}

QList<int> GridModel::columnsFor(const QList<FieldDef> &fields, const QString &sequence)
{
    QList<int> columns;
    const QStringList names = sequence.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.isEmpty()) {
        for (int i = 0; i < fields.size(); ++i)
            if (shownByDefault(fields.at(i)))
                columns.append(i);
        return columns;
    }
    for (const QString &name : names) {
        const auto found = std::find_if(fields.begin(), fields.end(), [&](const FieldDef &f) {
            return f.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0;
        });
        // Secret fields are never shown; names no longer in the view (an old setting) are skipped.
        if (found == fields.end() || found->secret)
            continue;
        const int index = int(found - fields.begin());
        if (!columns.contains(index))
            columns.append(index);
    }
    return columns;
}

void GridModel::reload()
{
    ++m_generation;
    m_pages.clear();
    m_memoNumber = -1;
    m_keysLoaded = m_ds->keysLoaded();
    if (m_keysLoaded) {
        // The data source already holds the keys (a requery that kept its current row): no reason
        // to read the first page apart.
        m_keys = m_ds->keys();
        m_firstPageRows = 0;
        return;
    }
    m_keys.clear();
    m_firstPageRows = 0;
    if (readFirstScreenApart())
        return;
    Page first = m_ds->firstRows(kFirstScreenRows);
    const int counted = first.size() < kFirstScreenRows ? int(first.size()) : m_ds->countRows(kPageSize);
    installFirstScreen(std::move(first), counted);
}

void GridModel::installFirstScreen(Page rows, int counted)
{
    m_firstPageRows = std::max(int(rows.size()), counted);
    m_pages.insert(0, new Page(std::move(rows)));
    m_memoNumber = -1;
}

bool GridModel::readFirstScreenApart()
{
    if (!m_ds->firstScreenMayScan() || !m_ds->readsApart())
        return false;
    // A quick read is shown at once; one that is not done within the patience goes apart.
    Page first;
    int counted = 0;
    if (m_ds->readWithin(DataSource::readApartPatience(), [&] {
            first = m_ds->firstRows(kFirstScreenRows);
            counted = first.size() < kFirstScreenRows ? int(first.size()) : m_ds->countRows(kPageSize);
        })) {
        installFirstScreen(std::move(first), counted);
        return true;
    }
    m_firstScreen.start<source::FirstScreen>(
        m_ds->archivePath(),
        [view = m_ds->viewCopy()](Database &db) {
            StatementCache statements;
            return view.readFirstScreen(db, statements, kFirstScreenRows, kPageSize);
        },
        [this](source::FirstScreen screen) { takeFirstScreen(&screen); },
        [this](const Error &) { takeFirstScreen(nullptr); });
    updateBusy();
    return true;
}

void GridModel::takeFirstScreen(source::FirstScreen *screen)
{
    // The keys came in first (loadAllRows stops this read then): nothing to add.
    if (m_keysLoaded)
        return;
    // Arriving after reload gave the window back, the rows are new to the views.
    beginResetModel();
    try {
        if (screen) {
            m_ds->presentRows(screen->rows);
            installFirstScreen(std::move(screen->rows), screen->counted);
        } else {
            // Failed apart (another desk's lock, say): read the ordinary way, which tells why if it fails too.
            Page first = m_ds->firstRows(kFirstScreenRows);
            const int counted = first.size() < kFirstScreenRows ? int(first.size()) : m_ds->countRows(kPageSize);
            installFirstScreen(std::move(first), counted);
        }
    } catch (const Error &e) {
        emptyRows();
        readFailed(e.description());
    }
    endResetModel();
    emit firstScreenArrived();
    updateBusy();
}

void GridModel::stopReadingApart()
{
    m_firstScreen.stop();
    m_ds->StopReadingApart();
    updateBusy();
}

bool GridModel::busy() const
{
    return m_firstScreen.running() || m_ds->keysLoading();
}

void GridModel::updateBusy()
{
    const bool now = busy();
    if (now == m_busyTold)
        return;
    m_busyTold = now;
    emit busyChanged(now);
}

void GridModel::loadAllRows()
{
    if (m_keysLoaded)
        return;
    m_firstScreen.stop();
    const QList<qint64> keys = m_ds->keys();
    updateBusy();
    const int before = m_firstPageRows;
    const int after = int(keys.size());
    if (after > before && before == kPageSize) {
        beginInsertRows(QModelIndex(), before, after - 1);
        m_keys = keys;
        m_keysLoaded = true;
        endInsertRows();
        return;
    }
    if (after == before) {
        m_keys = keys;
        m_keysLoaded = true;
        return;
    }
    // Rows written by someone else since the first page was read: start the rows afresh.
    beginResetModel();
    m_pages.clear();
    m_memoNumber = -1;
    m_keys = keys;
    m_keysLoaded = true;
    endResetModel();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_keysLoaded ? int(m_keys.size()) : m_firstPageRows;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

bool GridModel::canFetchMore(const QModelIndex &parent) const
{
    // A short first page is the whole view. While the keys are read apart the rows wait for them
    // (the view asks as soon as its scroll bar stands at the end, as after a new order).
    return !parent.isValid() && !m_keysLoaded && m_firstPageRows == kPageSize && !m_ds->keysLoading();
}

void GridModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    try {
        loadAllRows();
    } catch (const Error &e) {
        readFailed(e.description());
    }
}

const GridModel::Page *GridModel::page(int number) const
{
    if (number == m_memoNumber)
        return m_memo;
    if (const Page *cached = m_pages.object(number)) {
        m_memoNumber = number;
        m_memo = cached;
        return cached;
    }
    Page *fresh = nullptr;
    if (m_keysLoaded)
        fresh = new Page(m_ds->fetchRows(m_keys.mid(qsizetype(number) * kPageSize, kPageSize)));
    else if (number == 0)
        fresh = new Page(m_ds->firstRows(kPageSize));
    else
        return nullptr;
    m_pages.insert(number, fresh);
    m_memoNumber = number;
    m_memo = fresh;
    return fresh;
}

const GridModel::Page *GridModel::completeFirstPage() const
{
    auto *full = new Page(m_ds->firstRows(kPageSize));
    m_pages.insert(0, full);
    m_memoNumber = 0;
    m_memo = full;
    return full;
}

const QVariantList *GridModel::rowValues(int row) const
{
    try {
        return readRow(row);
    } catch (const Error &e) {
        readFailed(e.description());
        return nullptr;
    }
}

const QVariantList *GridModel::readRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    const Page *p = page(row / kPageSize);
    const int offset = row % kPageSize;
    if (p && offset >= p->size() && p->size() < kPageSize) {
        if (!m_keysLoaded && row < m_firstPageRows) {
            // Below the first screen of the first page: read the whole page now.
            p = completeFirstPage();
        } else if (m_keysLoaded) {
            // A first screen cached before the keys were loaded: read its page again by key.
            m_pages.remove(row / kPageSize);
            m_memoNumber = -1;
            p = page(row / kPageSize);
        }
    }
    return p && offset < p->size() ? &p->at(offset) : nullptr;
}

int GridModel::cachedRowCount() const
{
    int rows = 0;
    for (const int key : m_pages.keys())
        rows += int(m_pages.object(key)->size());
    return rows;
}

QVariant GridModel::displayValue(const QVariant &value, int type) const
{
    // The types the data source delivers are read in place; anything else goes the general way.
    switch (type) {
    case TypeAmount:
        if (value.metaType() == QMetaType::fromType<Amount>())
            return CellFormat::amountText(*static_cast<const Amount *>(value.constData()), m_ds->amountDecimals());
        return isNull(value) ? QVariant() : value;
    case TypeDate:
        if (value.metaType() == QMetaType::fromType<QDate>())
            return CellFormat::dateText(*static_cast<const QDate *>(value.constData()));
        return isNull(value) ? QVariant() : CellFormat::dateText(value.toDate());
    default:
        return isNull(value) ? QVariant() : value;
    }
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return QVariant();
    const int fieldIndex = m_columns.at(index.column());
    const FieldDef &field = m_ds->fields().at(fieldIndex);
    if (role == Qt::TextAlignmentRole) {
        const bool numeric = field.type == TypeAmount || field.type == TypeFloat || field.type == TypeInteger;
        return QVariant::fromValue(Qt::Alignment((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    if (role != Qt::DisplayRole && role != Qt::CheckStateRole && role != ValueRole && role != Qt::ToolTipRole)
        return QVariant();
    const QVariantList *values = rowValues(index.row());
    if (!values || fieldIndex >= values->size())
        return QVariant();
    const QVariant &value = values->at(fieldIndex);
    if (role == ValueRole)
        return value;
    if (field.type == TypeYesNo) {
        if (role == Qt::CheckStateRole)
            return value.toBool() ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    if (role == Qt::CheckStateRole)
        return QVariant();
    return displayValue(value, field.type);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_ds->fields().at(m_columns.at(section)).caption;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    // Read-only: rows are edited in panels, never in the grid (yes/no boxes are not checkable).
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridModel::setFieldSequence(const QString &sequence)
{
    const QList<int> columns = columnsFor(m_ds->fields(), sequence);
    if (columns == m_columns)
        return;
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

QString GridModel::fieldAt(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_ds->fields().at(m_columns.at(column)).name : QString();
}

int GridModel::columnOfField(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c)
        if (fieldAt(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

qint64 GridModel::bookmarkAt(int row)
{
    if (row < 0 || row >= rowCount())
        return 0;
    if (!m_keysLoaded && m_oidField >= 0)
        if (const QVariantList *values = rowValues(row))
            return values->value(m_oidField).toLongLong();
    try {
        loadAllRows();
    } catch (const Error &e) {
        readFailed(e.description());
        return 0;
    }
    return row < m_keys.size() ? m_keys.at(row) : 0;
}

std::optional<int> GridModel::knownRowOf(qint64 oid)
{
    if (m_keysLoaded)
        return int(m_keys.indexOf(oid));
    // Within the rows read so far (the first screen, or the whole first page once shown) the OIDs
    // answer without the key list; reading more of the first page would sort the rows again.
    if (const Page *first = m_oidField >= 0 ? m_pages.object(0) : nullptr) {
        for (int row = 0; row < first->size(); ++row)
            if (first->at(row).value(m_oidField).toLongLong() == oid)
                return row;
    }
    return std::nullopt;
}

int GridModel::rowOfBookmark(qint64 oid)
{
    if (const auto known = knownRowOf(oid))
        return *known;
    try {
        loadAllRows();
    } catch (const Error &e) {
        readFailed(e.description());
        return -1;
    }
    return int(m_keys.indexOf(oid));
}

QList<qint64> GridModel::selectedBookmarks(const QItemSelectionModel *selection)
{
    QList<qint64> bookmarks;
    if (!selection || selection->model() != this || m_columns.isEmpty())
        return bookmarks;
    // Worked out on the ranges, never cell by cell: a whole view chosen is one range.
    const int lastColumn = int(m_columns.size()) - 1;
    const QItemSelection ranges = selection->selection();
    QList<std::pair<int, int>> runs; // first and last row of the rows chosen, in any order
    int partialWidth = 0;
    for (const QItemSelectionRange &range : ranges) {
        if (range.left() == 0 && range.right() == lastColumn)
            runs.append({range.top(), range.bottom()});
        else
            partialWidth += range.width();
    }
    // Cells chosen one by one fill a row only when they are at least as many as its columns.
    if (partialWidth > lastColumn)
        for (const QItemSelectionRange &range : ranges)
            if (range.left() != 0 || range.right() != lastColumn)
                for (int row = range.top(); row <= range.bottom(); ++row)
                    if (selection->isRowSelected(row))
                        runs.append({row, row});
    std::sort(runs.begin(), runs.end());
    int next = 0; // the first row not yet taken: runs may overlap
    for (const auto &[top, bottom] : std::as_const(runs)) {
        for (int row = std::max(top, next); row <= bottom; ++row)
            if (const qint64 oid = bookmarkAt(row))
                bookmarks.append(oid);
        next = std::max(next, bottom + 1);
    }
    return bookmarks;
}

QItemSelection GridModel::rowSelection(const QList<qint64> &bookmarks)
{
    QItemSelection selection;
    if (bookmarks.isEmpty() || m_columns.isEmpty())
        return selection;
    // One pass over the rows whatever the number of bookmarks.
    const QSet<qint64> wanted(bookmarks.cbegin(), bookmarks.cend());
    QList<int> rows;
    if (!m_keysLoaded && m_oidField >= 0) {
        // Within the first page the shown OIDs answer without the key list.
        for (int row = 0; row < m_firstPageRows; ++row)
            if (const QVariantList *values = rowValues(row); values && wanted.contains(values->value(m_oidField).toLongLong()))
                rows.append(row);
        if (rows.size() < wanted.size())
            rows.clear();
    }
    if (rows.isEmpty()) {
        try {
            loadAllRows();
        } catch (const Error &e) {
            readFailed(e.description());
            return selection;
        }
        for (int row = 0; row < m_keys.size(); ++row)
            if (wanted.contains(m_keys.at(row)))
                rows.append(row);
    }
    const int lastColumn = int(m_columns.size()) - 1;
    for (qsizetype first = 0; first < rows.size();) {
        qsizetype last = first;
        while (last + 1 < rows.size() && rows.at(last + 1) == rows.at(last) + 1)
            ++last;
        selection.append(QItemSelectionRange(index(rows.at(first), 0), index(rows.at(last), lastColumn)));
        first = last + 1;
    }
    return selection;
}

} // namespace objdb
