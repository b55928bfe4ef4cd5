#include "objdb/datasource.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/types.h"

#include <QScopeGuard>
#include <exception>

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
      m_clauses(m_scope.schema, m_scope.fieldSet, m_options.filter, m_options.order), m_cursor(m_scope, m_clauses),
      m_pages(m_scope, m_clauses, m_currency), m_reader(m_scope), m_writer(m_scope), m_references(m_scope),
      m_checks(m_scope, m_references)
{
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
    m_clauses.setSelection(filter, order);
    m_cursor.invalidate();
    m_row.reset();
    m_cursor.restart();
}

void DataSource::Requery(bool keepCurrent)
{
    const qint64 current = keepCurrent ? Bookmark() : 0;
    m_cursor.invalidate();
    m_row.reset();
    m_cursor.restart();
    if (current != 0 && keys().contains(current)) {
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

// ---- writing -----------------------------------------------------------------------------------

void DataSource::CancelOperation(const QString &message)
{
    m_dispatch.cancel(message);
}

void DataSource::tellUser(const QString &message) const
{
    if (auto *sink = notify())
        sink->OnInternalMessage(const_cast<DataSource *>(this), message);
}

// A refusal or an error of the handlers puts the row back as it was and tells the user why.
bool DataSource::runEvents(const std::function<void()> &handlers, std::optional<Row> snapshot)
{
    const auto refusal = m_dispatch.run(handlers);
    if (!refusal)
        return true;
    m_row = std::move(snapshot);
    tellUser(*refusal);
    return false;
}

bool DataSource::SetField(const QString &name, const QVariant &value)
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_scope.table.caption()));
    if (m_options.convertCurrency && !m_dispatch.inHandler())
        fail(QStringLiteral("Gli importi mostrati nella valuta di conversione non possono essere modificati."));
    const FieldDef field = m_checks.writableField(name);
    if (field.origin == FieldDef::Origin::ParentLink)
        return SetParent(isNull(value) ? 0 : toStorage(value, TypeInteger, name).toLongLong());
    currentRow();
    const QVariant v = m_checks.normalise(field, value);
    itfSetData *sink = events();
    if (m_dispatch.inHandler() || !sink) {
        currentRow().assign(field, v, !m_dispatch.inHandler());
        return true;
    }
    return runEvents(
        [&] {
            sink->OnBeforeUpdateField(*this, field.name);
            if (m_dispatch.cancelled())
                return;
            currentRow().assign(field, v, true);
            sink->OnUpdateField(*this, field.name);
        },
        m_row);
}

bool DataSource::SetParent(qint64 parentOid)
{
    Row &row = currentRow();
    if (!m_scope.schema->parentTable())
        fail(QStringLiteral("%1 non ha un contenitore.").arg(m_scope.table.caption()));
    if (!row.isNew && row.parentOid != 0 && row.parentOid != parentOid)
        fail(QStringLiteral("Il contenitore di una riga già salvata non può essere cambiato."));
    if (parentOid != 0)
        m_references.refuseMissingParent(parentOid);
    const QString link = m_scope.table.parentLinkColumn();
    auto apply = [this, parentOid, link] {
        m_row->setParentLink(link, parentOid);
        m_reader.readParent(*m_row, parentOid);
    };
    itfSetData *sink = events();
    if (m_dispatch.inHandler() || !sink) {
        apply();
        return true;
    }
    return runEvents(
        [&] {
            sink->OnBeforeUpdateField(*this, link);
            if (m_dispatch.cancelled())
                return;
            apply();
            sink->OnUpdateField(*this, link);
        },
        m_row);
}

bool DataSource::SetReferenceKey(const QString &reference, const QVariant &key)
{
    const ReferenceDef *ref = m_scope.table.reference(reference);
    if (!ref)
        fail(QStringLiteral("Riferimento sconosciuto in %1: %2").arg(m_scope.table.caption(), reference));
    return SetField(ref->name, m_references.oidOfKey(*ref, key));
}

bool DataSource::AddNew()
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_scope.table.caption()));
    const std::optional<Row> snapshot = m_row;
    m_row = Row::blank(m_scope.table);
    m_cursor.rowRead();
    m_cursor.placeUnknown();
    if (itfSetData *sink = events())
        return runEvents([&] { sink->OnNewRow(*this); }, snapshot);
    return true;
}

bool DataSource::AddRow(const QVariantList &namesAndValues)
{
    if (namesAndValues.size() % 2 != 0)
        fail(QStringLiteral("AddRow richiede coppie di nome e valore."));
    const std::optional<Row> previous = m_row;
    if (!AddNew())
        return false;
    const QString link = m_scope.table.parentLinkColumn();
    const auto isLink = [&](const QString &name) { return !link.isEmpty() && name.compare(link, Qt::CaseInsensitive) == 0; };
    try {
        // The parent comes first, so that the other values reach it.
        for (const bool parentPass : {true, false}) {
            for (qsizetype i = 0; i < namesAndValues.size(); i += 2) {
                const QString name = namesAndValues.at(i).toString();
                if (isLink(name) == parentPass && !SetField(name, namesAndValues.at(i + 1))) {
                    m_row = previous;
                    return false;
                }
            }
        }
        SaveRow();
    } catch (...) {
        m_row = previous;
        throw;
    }
    return true;
}

void DataSource::CancelEdit()
{
    if (!m_row)
        return;
    if (m_row->isNew)
        m_row.reset();
    else
        loadRow(m_row->oid);
}

// The rules see each amount that moved as a write of it (the before/after pair) and bring what
// depends on it up to date; their writes are saved with the row. Handlers do not nest, so a save
// made by a handler raises nothing.
void DataSource::applyStoredChanges(const QList<source::MovedColumn> &moved)
{
    itfSetData *sink = m_dispatch.inHandler() ? nullptr : events();
    for (const auto &change : moved) {
        const auto put = [&] {
            Row &row = currentRow();
            (change.parent ? row.parent : row.own).insert(change.column, change.value);
        };
        if (!sink) {
            put();
            continue;
        }
        m_dispatch.runOrFail([&] {
            sink->OnBeforeUpdateField(*this, change.column);
            if (m_dispatch.cancelled())
                return;
            put();
            sink->OnUpdateField(*this, change.column);
        });
    }
}

void DataSource::SaveRow()
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_scope.table.caption()));
    Row &row = currentRow();
    m_checks.refuseMissingValues(row);
    const auto db = m_scope.database();
    Savepoint transaction(*db);
    // A failed save leaves the edit as it was, to be saved again or abandoned.
    std::optional<Row> edited = row;
    const auto restore = qScopeGuard([&] {
        if (edited)
            m_row = std::move(edited);
    });
    // Read under the write lock, so that what is compared is what gets written over.
    applyStoredChanges(source::storedChanges(m_scope, row));
    const qint64 oid = m_writer.write(row);
    transaction.commit();
    edited.reset();
    const bool wasNew = row.isNew;
    loadRow(oid);
    if (wasNew) {
        m_cursor.invalidate();
        m_cursor.placeUnknown();
    }
    if (auto *sink = notify())
        sink->OnEvent(ActionSave, this, m_scope.table.caption());
}

// ---- deleting ----------------------------------------------------------------------------------

bool DataSource::deleteOne(qint64 oid)
{
    // Read under the write lock: the rules give amounts back to the parent as it is stored now.
    const auto db = m_scope.database();
    Savepoint transaction(*db);
    loadRow(oid);
    if (!m_row)
        return false;
    try {
        m_references.refuseIfReferenced(oid);
    } catch (const Error &e) {
        tellUser(e.description());
        return false;
    }
    if (itfSetData *sink = events()) {
        if (!runEvents([&] { sink->OnDeleteRow(*this); }, m_row))
            return false;
    }
    if (!m_references.deleteChildren(oid))
        return false;
    m_writer.remove(oid);
    transaction.commit();
    m_row.reset();
    return true;
}

int DataSource::DeleteRows(const QList<qint64> &oids, bool refresh)
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_scope.table.caption()));
    if (auto *sink = notify())
        sink->OnEvent(ActionDelete, this, m_scope.table.caption());
    // A refused row stays and the others go; a failure undoes every row of the list. Either way the
    // rows are read again, so that no key of a deleted row stays behind.
    int deleted = 0;
    std::exception_ptr failure;
    try {
        Savepoint transaction(*m_scope.database());
        for (const qint64 oid : oids)
            if (deleteOne(oid))
                ++deleted;
        transaction.commit();
    } catch (...) {
        failure = std::current_exception();
    }
    m_cursor.invalidate();
    if (refresh)
        Requery(false);
    if (failure)
        std::rethrow_exception(failure);
    return deleted;
}

bool DataSource::DeleteCurrentRow()
{
    const qint64 oid = currentRow().oid;
    if (m_row->isNew) {
        m_row.reset();
        return true;
    }
    return DeleteRows({oid}) == 1;
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

void DataSource::raiseStructureEvent(double currentVersion, double oldVersion, bool created)
{
    if (itfSetData *sink = events())
        m_dispatch.runOrFail([&] { sink->OnUpdatedTableStruct(*this, currentVersion, oldVersion, created); });
}

} // namespace objdb
