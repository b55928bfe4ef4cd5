// The changes a data source makes to its rows: writes to the current row and its parent, new rows,
// saves and deletions, each raising the table's data events; a refusal puts the row back.

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
            // A column of the row's own, as it was before this write (a lookup, no query).
            std::optional<PreviousValue> previous;
            if (field.origin == FieldDef::Origin::Own)
                previous = PreviousValue{field.name, currentRow().own.value(field.column)};
            sink->OnBeforeUpdateField(*this, field.name);
            if (m_dispatch.cancelled())
                return;
            currentRow().assign(field, v, true);
            m_previous = std::move(previous);
            const auto forget = qScopeGuard([this] { m_previous.reset(); });
            sink->OnUpdateField(*this, field.name);
        },
        m_row);
}

QVariant DataSource::GetPreviousField(const QString &name)
{
    if (m_previous && m_previous->field.compare(name, Qt::CaseInsensitive) == 0) {
        const FieldDef *visible = Field(name);
        return visible ? m_currency.present(*visible, m_previous->value) : m_previous->value;
    }
    return GetField(name);
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
    afterCommit([&] {
        loadRow(oid);
        if (wasNew) {
            m_cursor.invalidate();
            m_cursor.placeUnknown();
        }
        if (auto *sink = notify())
            sink->OnEvent(ActionSave, this, m_scope.table.caption());
    });
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
    if (!deleteChildren(oid))
        return false;
    m_writer.remove(oid);
    transaction.commit();
    m_row.reset();
    return true;
}

bool DataSource::deleteChildren(qint64 oid) const
{
    for (const auto &other : m_scope.context->tableDefs()) {
        if (other.identity.ParentTable.compare(m_scope.table.name, Qt::CaseInsensitive) != 0)
            continue;
        auto children = std::make_shared<DataSource>(m_scope.context, other, DataSource::Options{});
        children->SetSelection(QStringLiteral("%1 = %2").arg(other.parentLinkColumn()).arg(oid), QString());
        const QList<qint64> childKeys = children->keys();
        if (children->DeleteRows(childKeys, false) != childKeys.size())
            return false;
    }
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
    if (failure) {
        if (refresh)
            Requery(false);
        std::rethrow_exception(failure);
    }
    if (refresh && deleted > 0)
        afterCommit([this] { Requery(false); });
    else if (refresh)
        Requery(false);
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

} // namespace objdb
