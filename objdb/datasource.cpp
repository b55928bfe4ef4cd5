// A data source put together from its units (objdb/source/): its current row as read, finding and
// moving, the view's filter and sort, grid pages, copies and candidate lists; the data context's
// opening of one. Its writes are in datasource_writes.cpp.

#include "objdb/datasource.h"

#include "objdb/backgroundread.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/source/criterionbuilder.h"
#include "objdb/statementcache.h"

#include <QPointer>

namespace objdb {

namespace {

source::SourceScope scopeOf(const std::shared_ptr<DataContext> &context, const TableDef &table, const QString &fieldList)
{
    auto schema = context->viewSchema(table);
    auto fieldSet = schema->fieldSet(fieldList);
    return {context, context->database(), table, std::move(schema), std::move(fieldSet)};
}

} // namespace

DataSource::DataSource(std::shared_ptr<DataContext> context, const TableDef &table, Options options)
    : m_options(std::move(options)), m_scope(scopeOf(context, table, m_options.fieldList)),
      m_currency(*context, m_options.convertCurrency, m_dispatch),
      m_fields(m_currency.formatted(m_scope.fieldSet->fields)),
      m_clauses(m_scope.schema, m_scope.fieldSet, m_options.filter, m_options.order), m_cursor(m_scope, m_clauses, this),
      m_pages(m_scope, m_clauses, m_currency), m_reader(m_scope), m_writer(m_scope), m_references(m_scope),
      m_checks(m_scope, m_references)
{
    m_cursor.onReadingApart = [this](bool reading) { emit OnReadingApart(reading); };
}

DataSource::~DataSource() = default;

itfSetData *DataSource::events() const
{
    return m_options.readOnly ? nullptr : m_scope.table.events;
}

itfNotifyEvent *DataSource::notify() const
{
    return m_options.notify ? m_options.notify : m_scope.context->notify();
}

Table &DataSource::GetTable() const
{
    return m_scope.context->Tables().Item(m_scope.table.name);
}

QString DataSource::TableName() const
{
    return m_scope.table.name;
}

QString DataSource::DefaultSort() const
{
    return m_clauses.defaultSort();
}

const FieldDef *DataSource::Field(const QString &name) const
{
    for (const auto &f : m_fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const FieldDef &DataSource::Field(int index) const
{
    if (index < 1 || index > m_fields.size())
        fail(QStringLiteral("Campo %1 inesistente.").arg(index));
    return m_fields.at(index - 1);
}

// ---- the current row ---------------------------------------------------------------------------

void DataSource::loadRow(qint64 oid)
{
    m_cursor.rowRead();
    m_row = m_reader.read(oid);
}

DataSource::Row &DataSource::currentRow()
{
    if (!m_row && m_cursor.firstPending()) {
        m_cursor.rowRead();
        if (const auto first = m_cursor.firstKey()) {
            loadRow(*first);
            m_cursor.placeFirst();
        }
    }
    if (!m_row)
        fail(QStringLiteral("Nessuna riga corrente in %1.").arg(m_scope.table.caption()));
    return *m_row;
}

QVariant DataSource::GetField(const QString &name)
{
    Row &row = currentRow();
    const FieldDef *visible = Field(name);
    std::optional<FieldDef> other;
    if (!visible) {
        other = m_scope.schema->fieldFor(name);
        if (!other)
            fail(QStringLiteral("Campo sconosciuto in %1: %2").arg(m_scope.table.caption(), name));
    }
    const FieldDef &field = visible ? *visible : *other;
    const int index = visible ? int(visible - m_fields.constData()) : -1;
    switch (field.origin) {
    case FieldDef::Origin::Key:
        return row.isNew ? QVariant() : QVariant(row.oid);
    case FieldDef::Origin::Own:
        return m_currency.present(field, row.own.value(field.column));
    case FieldDef::Origin::ParentLink:
        return row.parentOid ? QVariant(row.parentOid) : QVariant();
    case FieldDef::Origin::Parent:
        return m_currency.present(field, row.parentOid ? row.parent.value(field.column) : QVariant());
    case FieldDef::Origin::Reference:
    case FieldDef::Origin::ReferenceKey:
        if (!row.isNew && !row.dirtyOwn.contains(field.column) && index >= 0)
            return row.loaded.value(index);
        return m_reader.referenced(field, row);
    case FieldDef::Origin::Joined:
    case FieldDef::Origin::Computed:
        if (row.isNew)
            return QVariant();
        return m_currency.present(field, index >= 0 ? row.loaded.value(index) : m_reader.extra(field, row.oid));
    }
    return QVariant();
}

bool DataSource::isDirty() const
{
    return m_row && m_row->isDirty();
}

qint64 DataSource::Bookmark() const
{
    return m_row && !m_row->isNew ? m_row->oid : 0;
}

// ---- finding and moving ------------------------------------------------------------------------

bool DataSource::LoadKeysInBackground()
{
    return m_cursor.loadKeysInBackground([this] { emit OnKeysLoaded(); });
}

const QList<qint64> &DataSource::keys()
{
    return m_cursor.keys();
}

bool DataSource::FindFirst(const QString &criterion)
{
    const auto found = m_cursor.findFirst(criterion);
    m_cursor.rowRead();
    m_cursor.placeUnknown();
    if (!found) {
        m_row.reset();
        return false;
    }
    loadRow(*found);
    return m_row.has_value();
}

bool DataSource::Find(const QString &criterion, bool continueAfterCurrent)
{
    const auto found = m_cursor.find(criterion, m_row ? std::optional(m_row->oid) : std::nullopt, continueAfterCurrent);
    return found && FindOID(*found);
}

QString DataSource::BuildCriterion(const QString &field, const QString &value, const QString &wildcard) const
{
    const FieldDef *def = Field(field);
    if (!def)
        fail(QStringLiteral("Campo sconosciuto: %1").arg(field));
    return source::buildCriterion(*def, value, wildcard);
}

bool DataSource::FindOID(qint64 oid)
{
    const std::optional<Row> previous = m_row;
    loadRow(oid);
    if (!m_row) {
        m_row = previous;
        return false;
    }
    m_cursor.placeUnknown();
    return true;
}

bool DataSource::MoveFirst()
{
    const auto first = m_cursor.moveFirst();
    if (!first) {
        m_row.reset();
        return false;
    }
    loadRow(*first);
    return true;
}

bool DataSource::MoveNext()
{
    if (m_cursor.firstPending())
        currentRow();
    if (const auto next = m_cursor.moveNext(m_row ? std::optional(m_row->oid) : std::nullopt)) {
        loadRow(*next);
        return true;
    }
    m_row.reset();
    return false;
}

bool DataSource::AtBOF()
{
    return m_cursor.atBOF(m_row ? std::optional(m_row->oid) : std::nullopt);
}

bool DataSource::AtEOF()
{
    return m_cursor.atEOF(m_row ? std::optional(m_row->oid) : std::nullopt);
}

bool DataSource::IsEmpty() const
{
    return m_cursor.isEmpty();
}

int DataSource::RecordCount()
{
    return int(keys().size());
}

// ---- the view ----------------------------------------------------------------------------------

void DataSource::SetFilter(const QString &criterion)
{
    m_clauses.setFilter(criterion);
    Requery(true);
}

void DataSource::SetSort(const QString &order)
{
    m_clauses.setSort(order);
    Requery(true);
}

void DataSource::SetSelection(const QString &filter, const QString &order)
{
    ++m_generation;
    m_clauses.setSelection(filter, order);
    m_cursor.invalidate();
    m_row.reset();
    m_cursor.restart();
}

void DataSource::Requery(bool keepCurrent)
{
    const qint64 current = keepCurrent ? Bookmark() : 0;
    ++m_generation;
    m_cursor.invalidate();
    m_row.reset();
    m_cursor.restart();
    // Kept without the ordered keys: a new order on a column without an index shows its first
    // screen before the whole list is read.
    if (current != 0 && m_cursor.contains(current)) {
        loadRow(current);
        m_cursor.placeUnknown();
    }
    emit OnRefreshRecordset(this);
}

QList<QVariantList> DataSource::fetchRows(const QList<qint64> &oids) const
{
    return m_pages.fetchRows(oids);
}

QList<QVariantList> DataSource::firstRows(int count) const
{
    return m_pages.firstRows(count);
}

int DataSource::countRows(int limit) const
{
    return m_pages.countRows(limit);
}

namespace {
qint64 g_readApartFrom = DataSource::kReadApartFrom;
int g_readApartPatience = DataSource::kReadApartPatienceMs;
}

void DataSource::setReadApart(qint64 fromRows, int patienceMs)
{
    g_readApartFrom = fromRows;
    g_readApartPatience = patienceMs;
}

int DataSource::readApartPatience()
{
    return g_readApartPatience;
}

bool DataSource::readsApart() const
{
    const auto db = m_scope.database();
    if (!BackgroundRead::canReadApart(*db))
        return false;
    if (g_readApartFrom <= 0)
        return true;
    // The last key stands for the size of the table: read from the end of its key index at once.
    qint64 lastKey = 0;
    m_scope.context->statements().select(*db, QStringLiteral("SELECT MAX(OID) FROM ") + m_scope.table.name, {},
                                         [&](const StoredRow &row) { lastKey = row.integer(0); });
    return lastKey >= g_readApartFrom;
}

bool DataSource::firstScreenMayScan() const
{
    return !m_clauses.orderFollowsAnIndex() || !m_clauses.filter().isEmpty();
}

bool DataSource::readWithin(int ms, const std::function<void()> &reads) const
{
    return m_scope.database()->readWithin(ms, reads);
}

QString DataSource::archivePath() const
{
    return m_scope.database()->path();
}

void DataSource::readPages(int pageSize, const std::function<bool(const QList<QVariantList> &)> &onPage) const
{
    m_pages.readPages(pageSize, onPage);
}

QList<FieldDef> DataSource::summedFields(const QStringList &names) const
{
    QList<FieldDef> defs;
    for (const QString &name : names) {
        const FieldDef *def = Field(name);
        if (!def)
            fail(QStringLiteral("Campo sconosciuto: %1").arg(name));
        defs.append(*def);
    }
    return defs;
}

void DataSource::presentSummary(ColumnsSummary &summary, const QList<FieldDef> &fields) const
{
    for (int i = 0; i < fields.size() && i < summary.columns.size(); ++i)
        summary.columns[i].sum = m_currency.present(fields.at(i), summary.columns.at(i).sum);
}

ColumnSummary DataSource::SummarizeColumn(const QString &field) const
{
    const QList<FieldDef> defs = summedFields({field});
    ColumnSummary summary = source::summarizeColumn(viewCopy(), *m_scope.database(), m_scope.context->statements(), defs.first());
    summary.sum = m_currency.present(defs.first(), summary.sum);
    return summary;
}

ColumnsSummary DataSource::SummarizeColumns(const QStringList &fields) const
{
    const QList<FieldDef> defs = summedFields(fields);
    ColumnsSummary summary = source::summarizeColumns(viewCopy(), *m_scope.database(), m_scope.context->statements(), defs);
    presentSummary(summary, defs);
    return summary;
}

template <class Result>
void DataSource::readApart(BackgroundRead &reader, std::function<Result(Database &, StatementCache &)> work,
                           std::function<void(Result)> onDone, std::function<void(const Error &)> onFailed) const
{
    if (!readsApart()) {
        reader.stop();
        std::optional<Result> result;
        try {
            result = work(*m_scope.database(), m_scope.context->statements());
        } catch (const Error &e) {
            onFailed(e);
            return;
        }
        onDone(std::move(*result));
        return;
    }
    // Read for the rows as they are now: gone or changed when the result arrives, it is for no one.
    const QPointer<const DataSource> self(this);
    const quint64 generation = m_generation;
    reader.start<Result>(
        archivePath(),
        [work = std::move(work)](Database &db) {
            StatementCache statements;
            return work(db, statements);
        },
        [self, generation, onDone, onFailed](Result result) {
            if (!self)
                return;
            if (self->m_generation != generation) {
                onFailed(Error(QStringLiteral("Le righe sono cambiate durante la lettura."), kErrStopped));
                return;
            }
            onDone(std::move(result));
        },
        [self, onFailed](const Error &e) {
            if (self)
                onFailed(e);
        });
}

void DataSource::SummarizeColumnsApart(BackgroundRead &reader, const QStringList &fields,
                                       std::function<void(ColumnsSummary)> onDone, std::function<void(const Error &)> onFailed) const
{
    const QList<FieldDef> defs = summedFields(fields);
    readApart<ColumnsSummary>(
        reader,
        [view = viewCopy(), defs](Database &db, StatementCache &statements) {
            return source::summarizeColumns(view, db, statements, defs);
        },
        [this, defs, onDone = std::move(onDone)](ColumnsSummary summary) {
            presentSummary(summary, defs);
            onDone(std::move(summary));
        },
        std::move(onFailed));
}

void DataSource::SummarizeColumnApart(BackgroundRead &reader, const QString &field, std::function<void(ColumnSummary)> onDone,
                                      std::function<void(const Error &)> onFailed) const
{
    const FieldDef def = summedFields({field}).first();
    readApart<ColumnSummary>(
        reader,
        [view = viewCopy(), def](Database &db, StatementCache &statements) {
            return source::summarizeColumn(view, db, statements, def);
        },
        [this, def, onDone = std::move(onDone)](ColumnSummary summary) {
            summary.sum = m_currency.present(def, summary.sum);
            onDone(std::move(summary));
        },
        std::move(onFailed));
}

void DataSource::FindApart(BackgroundRead &reader, const QString &criterion, qint64 after,
                           std::function<void(bool)> onDone, std::function<void(const Error &)> onFailed)
{
    readApart<std::optional<qint64>>(
        reader,
        [queries = m_cursor.findQueries(criterion, after ? std::optional(after) : std::nullopt, after != 0)](
            Database &db, StatementCache &statements) { return source::KeysetCursor::firstKey(statements, db, queries); },
        [this, onDone = std::move(onDone)](std::optional<qint64> found) { onDone(found && FindOID(*found)); },
        std::move(onFailed));
}

// ---- copies and candidate lists ----------------------------------------------------------------

std::shared_ptr<DataSource> DataSource::Copy() const
{
    Options options = m_options;
    options.readOnly = true;
    options.order = m_clauses.sort();
    auto copy = std::make_shared<DataSource>(m_scope.context, m_scope.table, options);
    copy->m_clauses = m_clauses;
    return copy;
}

std::shared_ptr<DataSource> DataSource::OpenParentCandidates()
{
    const TableDef *parent = m_scope.schema->parentTable();
    if (!parent)
        fail(QStringLiteral("%1 non ha un contenitore.").arg(m_scope.table.caption()));
    Options options;
    options.readOnly = true;
    options.notify = m_options.notify;
    auto candidates = std::make_shared<DataSource>(m_scope.context, *parent, options);
    if (itfSetData *sink = events())
        m_dispatch.call([&] { sink->OnSelectParent(*this, *candidates); });
    return candidates;
}

std::shared_ptr<DataSource> DataSource::OpenReferenceCandidates(const QString &reference)
{
    const ReferenceDef *ref = m_scope.table.reference(reference);
    if (!ref)
        fail(QStringLiteral("Riferimento sconosciuto in %1: %2").arg(m_scope.table.caption(), reference));
    Options options;
    options.readOnly = true;
    options.notify = m_options.notify;
    auto candidates = std::make_shared<DataSource>(m_scope.context, *m_scope.context->tableDef(ref->table), options);
    if (itfSetData *sink = events())
        m_dispatch.call([&] { sink->OnSelectReference(*this, *candidates, ref->name); });
    return candidates;
}

QString DataSource::RowWarning()
{
    QString warning;
    if (itfSetData *sink = events(); sink && m_row)
        m_dispatch.call([&] { warning = sink->OnRowWarning(*this); });
    return warning;
}

bool DataSource::ConfirmSave(const QString &warning)
{
    bool confirmed = true;
    if (itfSetData *sink = events(); sink && m_row)
        m_dispatch.call([&] { confirmed = sink->OnConfirmSave(*this, warning); });
    return confirmed;
}

void DataSource::raiseStructureEvent(double currentVersion, double oldVersion, bool created)
{
    if (itfSetData *sink = events())
        m_dispatch.runOrFail([&] { sink->OnUpdatedTableStruct(*this, currentVersion, oldVersion, created); });
}

// The data context's calls that need a whole data source: kept here so the context stays below it.

std::shared_ptr<DataSource> Table::OpenDataSource(const QString &filter, const QString &order,
                                                  const OpenOptions &options)
{
    DataSource::Options o;
    o.filter = filter;
    o.order = order;
    o.fieldList = options.fieldList;
    o.convertCurrency = options.convertCurrency;
    o.readOnly = options.readOnly;
    o.notify = options.notify;
    auto ds = std::make_shared<DataSource>(m_context.shared_from_this(), m_def, o);
    if (auto *sink = o.notify ? o.notify : m_context.notify())
        sink->OnEvent(ActionOpen, ds.get(), Caption());
    return ds;
}

void DataContext::raiseStructureEvents()
{
    const auto db = database();
    const auto pending = m_pendingEvents;
    m_pendingEvents.clear();
    for (const auto &event : pending) {
        const TableDef *def = tableDef(event.table);
        auto ds = m_tables.Item(def->name).OpenDataSource();
        ds->raiseStructureEvent(def->identity.Version, event.oldVersion, event.created);
        db->exec(QStringLiteral("INSERT INTO objdb_tables (name, version) VALUES (?, ?) "
                               "ON CONFLICT (name) DO UPDATE SET version = excluded.version"),
                 {def->name, def->identity.Version});
    }
}

} // namespace objdb
