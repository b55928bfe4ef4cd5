#include "objdb/datasource.h"

#include "objdb/amount.h"
#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/query/criterion.h"
#include "objdb/sqldialect.h"
#include "objdb/statementcache.h"
#include "objdb/types.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <exception>

namespace objdb {

namespace {

constexpr int kPageSize = 200;

QString quoted(const QString &name)
{
    return SqlDialect::sqlite().quoteIdentifier(name);
}

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(QStringLiteral(", "));
}

// Runs a write; a unique-index refusal becomes a clear message naming column and value.
void execWrite(Database &db, const QString &table, const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = db.prepare(sql);
    for (const auto &b : binds)
        q.addBindValue(b);
    if (q.exec())
        return;
    const QString text = q.lastError().text();
    static const QRegularExpression unique(QStringLiteral("UNIQUE constraint failed: (\\w+)\\.(\\w+)"));
    const auto match = unique.match(text);
    if (match.hasMatch())
        fail(QStringLiteral("Impossibile salvare: in %1 esiste già una riga con lo stesso valore del campo %2.")
                 .arg(match.captured(1), match.captured(2)));
    fail(QStringLiteral("Salvataggio non riuscito in %1: %2").arg(table, text.trimmed()));
}

// The FROM clause a key-only query needs. When the condition and the order name columns of the
// table alone, the joins are left out: SQLite keeps the LEFT JOINs of a parent row and joins every
// row, which made the ordered key list of a big table ten times slower. Any other alias (or
// anything looking like one) keeps the full clause.
QString keyFromClause(const QString &fullFrom, const QString &tableName, const QString &clauses)
{
    static const QRegularExpression qualifier(QStringLiteral("\\b(\\w+)\\s*\\."));
    for (auto it = qualifier.globalMatch(clauses); it.hasNext();)
        if (it.next().captured(1) != QLatin1String("t0"))
            return fullFrom;
    return quoted(tableName) + QStringLiteral(" AS t0");
}

} // namespace

class DataSource::HandlerScope {
public:
    explicit HandlerScope(DataSource *ds) : m_ds(ds) { ++m_ds->m_handlerDepth; }
    ~HandlerScope() { --m_ds->m_handlerDepth; }

private:
    DataSource *m_ds;
};

DataSource::DataSource(std::shared_ptr<DataContext> context, const TableDef &table, Options options)
    : m_context(std::move(context)), m_table(table), m_options(std::move(options)), m_schema(m_context->viewSchema(table))
{
    m_database = m_context->database();
    m_fieldSet = m_schema->fieldSet(m_options.fieldList);
    m_fields = m_fieldSet->fields;
    m_fieldBinds = m_fieldSet->binds;
    if (const auto currency = m_options.convertCurrency ? m_context->ConversionCurrency() : nullptr) {
        m_amountDecimals = currency->decimals();
        const QString format = m_amountDecimals > 0 ? QStringLiteral("#,##0.") + QString(m_amountDecimals, QLatin1Char('0'))
                                                    : QStringLiteral("#,##0");
        for (FieldDef &f : m_fields)
            if (f.type == TypeAmount)
                f.format = format;
    }
    m_sort = m_options.order.trimmed().isEmpty() ? DefaultSort() : query::SortOrder::parse(m_options.order).toText();
    // Malformed conditions and unknown fields are refused when the data source opens.
    whereClause();
    orderClause();
}

DataSource::~DataSource() = default;

std::shared_ptr<Database> DataSource::database() const
{
    auto db = m_database.lock();
    if (!db || !db->IsOpen())
        fail(QStringLiteral("L'archivio non è più aperto."));
    return db;
}

itfSetData *DataSource::events() const
{
    return m_options.readOnly ? nullptr : m_table.events;
}

itfNotifyEvent *DataSource::notify() const
{
    return m_options.notify ? m_options.notify : m_context->notify();
}

Table &DataSource::GetTable() const
{
    return m_context->Tables().Item(m_table.name);
}

QString DataSource::TableName() const
{
    return m_table.name;
}

std::optional<query::FieldInfo> DataSource::resolve(const QString &name) const
{
    for (const auto &f : m_fields) {
        if (f.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (f.origin == FieldDef::Origin::Computed && f.sql.contains(QLatin1Char('?')))
            fail(QStringLiteral("Il campo calcolato %1 non può essere usato in un criterio.").arg(name));
        return query::FieldInfo{f.sql, f.type, {}};
    }
    return m_schema->resolve(name);
}

// The rendered clauses are kept with the texts they came from: any change of filter, selection or
// sort renders them again, and nothing else can change them (the fields of a data source are fixed).
DataSource::Sql DataSource::whereClause() const
{
    if (!m_where || m_where->baseFilter != m_options.filter || m_where->filter != m_filter
        || m_where->selection != m_selection)
        m_where = RenderedWhere{m_options.filter, m_filter, m_selection, renderWhere()};
    return m_where->sql;
}

DataSource::Sql DataSource::renderWhere() const
{
    Sql where;
    QStringList parts;
    const auto resolver = [this](const QString &n) { return resolve(n); };
    for (const QString &criterion : {m_options.filter, m_filter, m_selection}) {
        if (criterion.trimmed().isEmpty())
            continue;
        const auto rendered = query::Criterion::parse(criterion).render(resolver);
        if (rendered.text.isEmpty())
            continue;
        parts.append(QLatin1Char('(') + rendered.text + QLatin1Char(')'));
        where.binds += rendered.binds;
    }
    if (!parts.isEmpty())
        where.text = QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    return where;
}

DataSource::Sql DataSource::orderClause() const
{
    if (!m_order || m_order->sort != m_sort)
        m_order = RenderedOrder{m_sort, renderOrder()};
    return m_order->sql;
}

DataSource::Sql DataSource::renderOrder() const
{
    QStringList terms;
    const auto order = query::SortOrder::parse(m_sort);
    for (const auto &key : order.keys()) {
        const auto info = resolve(key.field);
        if (!info)
            fail(QStringLiteral("Campo sconosciuto nell'ordinamento: %1").arg(key.field));
        terms.append(info->sql + (key.descending ? QStringLiteral(" DESC") : QString()));
    }
    terms.append(QStringLiteral("t0.OID"));
    return {QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", ")), {}};
}

QString DataSource::DefaultSort() const
{
    return m_table.indexes.isEmpty() ? QString() : m_table.indexes.first().column;
}

// ---- reading -----------------------------------------------------------------------------------

DataSource::Sql DataSource::selectRowSql() const
{
    QStringList columns;
    for (const auto &f : m_fields)
        columns.append(f.sql);
    for (const auto &c : m_table.columns)
        columns.append(QStringLiteral("t0.") + quoted(c.name));
    for (const auto &r : m_table.references)
        columns.append(QStringLiteral("t0.") + quoted(r.name));
    if (!m_table.identity.ParentTable.isEmpty())
        columns.append(QStringLiteral("t0.") + quoted(m_table.parentLinkColumn()));
    return {QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
                + m_schema->fromClause() + QStringLiteral(" WHERE t0.OID = ?"),
            m_fieldBinds};
}

void DataSource::loadRow(qint64 oid)
{
    const auto db = database();
    Sql sql = selectRowSql();
    sql.binds.append(oid);
    QSqlQuery q = db->exec(sql.text, sql.binds);
    m_firstPending = false;
    if (!q.next()) {
        m_row.reset();
        return;
    }
    Row row;
    row.oid = oid;
    int i = 0;
    for (const auto &f : m_fields)
        row.loaded.append(fromStorage(q.value(i++), f.type));
    for (const auto &c : m_table.columns)
        row.own.insert(c.name, fromStorage(q.value(i++), c.type));
    for (const auto &r : m_table.references)
        row.own.insert(r.name, fromStorage(q.value(i++), TypeInteger));
    if (!m_table.identity.ParentTable.isEmpty()) {
        const QVariant link = fromStorage(q.value(i++), TypeInteger);
        row.own.insert(m_table.parentLinkColumn(), link);
        loadParent(row, link.isNull() ? 0 : link.toLongLong());
    }
    row.ownRead = row.own;
    m_row = std::move(row);
}

void DataSource::loadParent(Row &row, qint64 parentOid) const
{
    row.parent.clear();
    row.parentRead.clear();
    row.dirtyParent.clear();
    row.userParent.clear();
    row.parentOid = 0;
    const TableDef *parent = m_schema->parentTable();
    if (!parent || parentOid == 0)
        return;
    QStringList columns;
    for (const auto &c : parent->columns)
        columns.append(quoted(c.name));
    QSqlQuery q = database()->exec(QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?")
                                       .arg(columns.join(QStringLiteral(", ")), quoted(parent->name)),
                                   {parentOid});
    if (!q.next())
        return;
    row.parentOid = parentOid;
    int i = 0;
    for (const auto &c : parent->columns)
        row.parent.insert(c.name, fromStorage(q.value(i++), c.type));
    row.parentRead = row.parent;
}

std::optional<qint64> DataSource::firstKey() const
{
    const Sql where = whereClause();
    QSqlQuery q = database()->exec(QStringLiteral("SELECT t0.OID FROM ") + m_schema->fromClause() + where.text
                                       + orderClause().text + SqlDialect::sqlite().limitClause(1),
                                   where.binds);
    if (q.next())
        return q.value(0).toLongLong();
    return std::nullopt;
}

DataSource::Row &DataSource::currentRow()
{
    if (!m_row && m_firstPending) {
        m_firstPending = false;
        if (const auto first = firstKey()) {
            loadRow(*first);
            m_position = 0;
        }
    }
    if (!m_row)
        fail(QStringLiteral("Nessuna riga corrente in %1.").arg(m_table.caption()));
    return *m_row;
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

QVariant DataSource::present(const FieldDef &field, const QVariant &value) const
{
    if (!m_options.convertCurrency || field.type != TypeAmount || isNull(value) || m_handlerDepth > 0)
        return value;
    const auto currency = m_context->ConversionCurrency();
    if (!currency)
        return value;
    return QVariant::fromValue(currency->convert(*toAmount(value)));
}

QVariant DataSource::lookupReference(const FieldDef &field, const Row &row) const
{
    const ReferenceDef *ref = m_table.reference(field.column);
    const QVariant oid = ref ? row.own.value(ref->name) : QVariant();
    if (!ref || isNull(oid))
        return QVariant();
    const TableDef *target = m_context->tableDef(ref->table);
    const QString column = field.origin == FieldDef::Origin::Reference ? ref->displayColumn : ref->keyColumn;
    QSqlQuery q = database()->exec(QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?").arg(quoted(column), quoted(target->name)),
                                   {oid});
    return q.next() ? fromStorage(q.value(0), target->column(column)->type) : QVariant();
}

QVariant DataSource::GetField(const QString &name)
{
    Row &row = currentRow();
    const FieldDef *visible = Field(name);
    std::optional<FieldDef> other;
    if (!visible) {
        other = m_schema->fieldFor(name);
        if (!other)
            fail(QStringLiteral("Campo sconosciuto in %1: %2").arg(m_table.caption(), name));
    }
    const FieldDef &field = visible ? *visible : *other;
    const int index = visible ? int(visible - m_fields.constData()) : -1;
    switch (field.origin) {
    case FieldDef::Origin::Key:
        return row.isNew ? QVariant() : QVariant(row.oid);
    case FieldDef::Origin::Own:
        return present(field, row.own.value(field.column));
    case FieldDef::Origin::ParentLink:
        return row.parentOid ? QVariant(row.parentOid) : QVariant();
    case FieldDef::Origin::Parent:
        return present(field, row.parentOid ? row.parent.value(field.column) : QVariant());
    case FieldDef::Origin::Reference:
    case FieldDef::Origin::ReferenceKey:
        if (!row.isNew && !row.dirtyOwn.contains(field.column) && index >= 0)
            return row.loaded.value(index);
        return lookupReference(field, row);
    case FieldDef::Origin::Joined:
    case FieldDef::Origin::Computed:
        if (index >= 0 && !row.isNew)
            return present(field, row.loaded.value(index));
        if (row.isNew)
            return QVariant();
        {
            QVariantList binds = field.origin == FieldDef::Origin::Computed ? m_fieldBinds : QVariantList();
            binds.append(row.oid);
            QSqlQuery q = database()->exec(QStringLiteral("SELECT %1 FROM %2 WHERE t0.OID = ?").arg(field.sql, m_schema->fromClause()),
                                           binds);
            return q.next() ? present(field, fromStorage(q.value(0), field.type)) : QVariant();
        }
    }
    return QVariant();
}

// ---- writing -----------------------------------------------------------------------------------

FieldDef DataSource::writableField(const QString &name) const
{
    FieldDef found;
    if (const FieldDef *f = Field(name)) {
        found = *f;
    } else {
        const auto other = m_schema->fieldFor(name);
        if (!other)
            fail(QStringLiteral("Campo sconosciuto in %1: %2").arg(m_table.caption(), name));
        found = *other;
    }
    switch (found.origin) {
    case FieldDef::Origin::Own:
    case FieldDef::Origin::Parent:
    case FieldDef::Origin::Reference:
    case FieldDef::Origin::ParentLink:
        return found;
    default:
        fail(QStringLiteral("Il campo %1 non può essere modificato.").arg(found.name));
    }
}

QVariant DataSource::normalise(const FieldDef &field, const QVariant &value) const
{
    if (field.origin == FieldDef::Origin::Reference) {
        if (isNull(value))
            return QVariant();
        const QVariant oid = toStorage(value, TypeInteger, field.name);
        const ReferenceDef *ref = m_table.reference(field.column);
        QSqlQuery q = database()->exec(QStringLiteral("SELECT 1 FROM %1 WHERE OID = ?").arg(quoted(ref->table)), {oid});
        if (!q.next())
            fail(QStringLiteral("Il valore scelto per %1 non esiste in %2.").arg(field.name, ref->table));
        return oid;
    }
    QVariant stored = toStorage(value, field.type, field.caption); // the caption names it in a refusal
    if (const ColumnDef *c = field.origin == FieldDef::Origin::Own ? m_table.column(field.column) : nullptr;
        c && c->options.required) {
        if (field.type == TypeText && !isNull(stored))
            stored = stored.toString().trimmed();
        if (isNull(stored) || (field.type == TypeText && stored.toString().isEmpty()))
            refuseMissing(*c);
    }
    if (field.type == TypeText && field.size > 0 && stored.toString().size() > field.size)
        fail(QStringLiteral("Il testo del campo %1 supera la lunghezza massima di %2 caratteri.")
                 .arg(field.caption)
                 .arg(field.size));
    return fromStorage(stored, field.type);
}

void DataSource::assign(const FieldDef &field, const QVariant &value, bool byUser)
{
    Row &row = currentRow();
    switch (field.origin) {
    case FieldDef::Origin::Own:
    case FieldDef::Origin::Reference:
        row.own.insert(field.column, value);
        row.dirtyOwn.insert(field.column);
        if (byUser)
            row.userOwn.insert(field.column);
        break;
    case FieldDef::Origin::Parent:
        // Without a parent row there is nothing to write to.
        if (row.parentOid) {
            row.parent.insert(field.column, value);
            row.dirtyParent.insert(field.column);
            if (byUser)
                row.userParent.insert(field.column);
        }
        break;
    default:
        break;
    }
}

void DataSource::CancelOperation(const QString &message)
{
    m_cancelMessage = message.isEmpty() ? Application::Message(kErrRefused) : message;
}

void DataSource::tellUser(const QString &message) const
{
    if (auto *sink = notify())
        sink->OnInternalMessage(const_cast<DataSource *>(this), message);
}

void DataSource::refuseMissing(const ColumnDef &column) const
{
    const FieldDef *field = Field(column.name);
    fail(QStringLiteral("Il campo %1 è obbligatorio.").arg(field ? field->caption : column.name));
}

// A row is stored only with a value in each required column, also when it was never written.
void DataSource::refuseMissingValues(const Row &row) const
{
    for (const auto &c : m_table.columns) {
        const QVariant value = row.own.value(c.name);
        if (c.options.required && (isNull(value) || (c.type == TypeText && value.toString().trimmed().isEmpty())))
            refuseMissing(c);
    }
}

bool DataSource::runEvents(const std::function<void()> &handlers, std::optional<Row> snapshot)
{
    m_cancelMessage.reset();
    {
        HandlerScope scope(this);
        try {
            handlers();
        } catch (const Error &e) {
            m_cancelMessage = e.description();
        } catch (const std::exception &e) {
            m_cancelMessage = QString::fromLocal8Bit(e.what());
        }
    }
    if (!m_cancelMessage)
        return true;
    const QString message = *m_cancelMessage;
    m_cancelMessage.reset();
    m_row = snapshot;
    tellUser(message);
    return false;
}

bool DataSource::SetField(const QString &name, const QVariant &value)
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_table.caption()));
    if (m_options.convertCurrency && m_handlerDepth == 0)
        fail(QStringLiteral("Gli importi mostrati nella valuta di conversione non possono essere modificati."));
    const FieldDef field = writableField(name);
    if (field.origin == FieldDef::Origin::ParentLink)
        return SetParent(isNull(value) ? 0 : toStorage(value, TypeInteger, name).toLongLong());
    currentRow();
    const QVariant v = normalise(field, value);
    itfSetData *sink = events();
    if (m_handlerDepth > 0 || !sink) {
        assign(field, v, m_handlerDepth == 0);
        return true;
    }
    return runEvents(
        [&] {
            sink->OnBeforeUpdateField(*this, field.name);
            if (m_cancelMessage)
                return;
            assign(field, v, true);
            sink->OnUpdateField(*this, field.name);
        },
        m_row);
}

bool DataSource::SetParent(qint64 parentOid)
{
    Row &row = currentRow();
    const TableDef *parent = m_schema->parentTable();
    if (!parent)
        fail(QStringLiteral("%1 non ha un contenitore.").arg(m_table.caption()));
    if (!row.isNew && row.parentOid != 0 && row.parentOid != parentOid)
        fail(QStringLiteral("Il contenitore di una riga già salvata non può essere cambiato."));
    if (parentOid != 0) {
        QSqlQuery q = database()->exec(QStringLiteral("SELECT 1 FROM %1 WHERE OID = ?").arg(quoted(parent->name)), {parentOid});
        if (!q.next())
            fail(QStringLiteral("La riga scelta come contenitore non esiste in %1.").arg(parent->caption()));
    }
    const QString link = m_table.parentLinkColumn();
    auto apply = [this, parentOid, link] {
        Row &r = *m_row;
        r.own.insert(link, parentOid ? QVariant(parentOid) : QVariant());
        r.dirtyOwn.insert(link);
        loadParent(r, parentOid);
    };
    itfSetData *sink = events();
    if (m_handlerDepth > 0 || !sink) {
        apply();
        return true;
    }
    return runEvents(
        [&] {
            sink->OnBeforeUpdateField(*this, link);
            if (m_cancelMessage)
                return;
            apply();
            sink->OnUpdateField(*this, link);
        },
        m_row);
}

bool DataSource::SetReferenceKey(const QString &reference, const QVariant &key)
{
    const ReferenceDef *ref = m_table.reference(reference);
    if (!ref)
        fail(QStringLiteral("Riferimento sconosciuto in %1: %2").arg(m_table.caption(), reference));
    const TableDef *target = m_context->tableDef(ref->table);
    const ColumnDef *keyColumn = target->column(ref->keyColumn);
    QSqlQuery q = database()->exec(QStringLiteral("SELECT OID FROM %1 WHERE %2 = ?").arg(quoted(target->name), quoted(keyColumn->name)),
                                   {toStorage(key, keyColumn->type, keyColumn->name)});
    if (!q.next())
        fail(QStringLiteral("Il codice %1 non esiste in %2.").arg(key.toString(), target->caption()));
    return SetField(ref->name, q.value(0).toLongLong());
}

bool DataSource::AddNew()
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_table.caption()));
    const std::optional<Row> snapshot = m_row;
    Row row;
    row.isNew = true;
    for (const auto &c : m_table.columns)
        row.own.insert(c.name, QVariant());
    for (const auto &r : m_table.references)
        row.own.insert(r.name, QVariant());
    if (!m_table.identity.ParentTable.isEmpty())
        row.own.insert(m_table.parentLinkColumn(), QVariant());
    m_row = std::move(row);
    m_firstPending = false;
    m_position = kUnknown;
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
    const QString link = m_table.parentLinkColumn();
    try {
        // The parent comes first, so that the other values reach it.
        for (qsizetype i = 0; i < namesAndValues.size(); i += 2) {
            const QString name = namesAndValues.at(i).toString();
            if (!link.isEmpty() && name.compare(link, Qt::CaseInsensitive) == 0 && !SetField(name, namesAndValues.at(i + 1))) {
                m_row = previous;
                return false;
            }
        }
        for (qsizetype i = 0; i < namesAndValues.size(); i += 2) {
            const QString name = namesAndValues.at(i).toString();
            if (!link.isEmpty() && name.compare(link, Qt::CaseInsensitive) == 0)
                continue;
            if (!SetField(name, namesAndValues.at(i + 1))) {
                m_row = previous;
                return false;
            }
        }
        SaveRow();
    } catch (...) {
        m_row = previous;
        throw;
    }
    return true;
}

bool DataSource::isDirty() const
{
    return m_row && (m_row->isNew || !m_row->dirtyOwn.isEmpty() || !m_row->dirtyParent.isEmpty());
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

// What was written to the row or its parent since they were read (another desk on the same archive),
// read under the save's write lock. The rules' change of an amount is applied to the stored value,
// so that nothing written meanwhile is lost; a column the user changed that was also changed
// meanwhile is refused, since either value would undo the effects of the other.
QList<DataSource::Moved> DataSource::storedChanges(const Row &row) const
{
    QList<Moved> moved;
    const auto compare = [&](const TableDef &table, qint64 oid, const QHash<QString, QVariant> &values,
                             const QHash<QString, QVariant> &read, const QSet<QString> &dirty,
                             const QSet<QString> &byUser, bool parent) {
        if (oid == 0 || dirty.isEmpty())
            return;
        const QStringList names(dirty.cbegin(), dirty.cend());
        QStringList columns;
        for (const QString &name : names)
            columns.append(quoted(name));
        QSqlQuery q = database()->exec(
            QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?").arg(columns.join(QStringLiteral(", ")), quoted(table.name)), {oid});
        if (!q.next())
            fail(QStringLiteral("La riga di %1 è stata eliminata da un altro utente mentre era aperta: la modifica non è stata salvata.")
                     .arg(table.caption()));
        for (int i = 0; i < names.size(); ++i) {
            const QString &name = names.at(i);
            const ColumnDef *c = table.column(name);
            const int type = c ? c->type : int(TypeInteger);
            const QVariant stored = fromStorage(q.value(i), type);
            if (toStorage(stored, type, name) == toStorage(read.value(name), type, name))
                continue;
            if (byUser.contains(name)) {
                const FieldDef *field = Field(name);
                fail(QStringLiteral("Il campo %1 di %2 è stato modificato da un altro utente mentre la riga era aperta: "
                                    "annullare e ripetere la modifica.")
                         .arg(field ? field->caption : name, table.caption()));
            }
            if (type != TypeAmount)
                continue; // the rules' own value stands
            const auto edited = toAmount(values.value(name));
            if (!edited)
                continue;
            const auto orZero = [](const QVariant &v) { return toAmount(v).value_or(Amount()); };
            moved.append({name, parent, QVariant::fromValue(orZero(stored) + (*edited - orZero(read.value(name))))});
        }
    };
    if (!row.isNew)
        compare(m_table, row.oid, row.own, row.ownRead, row.dirtyOwn, row.userOwn, false);
    if (const TableDef *parent = m_schema->parentTable())
        compare(*parent, row.parentOid, row.parent, row.parentRead, row.dirtyParent, row.userParent, true);
    return moved;
}

// The rules see each amount that moved as a write of it (the before/after pair) and bring what
// depends on it up to date; their writes are saved with the row. Handlers do not nest, so a save
// made by a handler raises nothing.
void DataSource::applyStoredChanges(const QList<Moved> &moved)
{
    itfSetData *sink = m_handlerDepth == 0 ? events() : nullptr;
    for (const Moved &change : moved) {
        const auto put = [&] {
            Row &row = currentRow();
            (change.parent ? row.parent : row.own).insert(change.column, change.value);
        };
        if (!sink) {
            put();
            continue;
        }
        m_cancelMessage.reset();
        {
            HandlerScope scope(this);
            sink->OnBeforeUpdateField(*this, change.column);
            if (!m_cancelMessage) {
                put();
                sink->OnUpdateField(*this, change.column);
            }
        }
        if (m_cancelMessage) {
            const QString message = *m_cancelMessage;
            m_cancelMessage.reset();
            fail(message);
        }
    }
}

void DataSource::SaveRow()
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_table.caption()));
    Row &row = currentRow();
    refuseMissingValues(row);
    const auto db = database();
    Savepoint transaction(*db);
    // A failed save leaves the edit as it was, to be saved again or abandoned.
    std::optional<Row> edited = row;
    const auto restore = qScopeGuard([&] {
        if (edited)
            m_row = std::move(edited);
    });
    applyStoredChanges(storedChanges(row));
    qint64 oid = row.oid;
    if (row.isNew) {
        QStringList columns;
        QVariantList binds;
        for (auto it = row.own.cbegin(); it != row.own.cend(); ++it) {
            if (isNull(it.value()))
                continue;
            const ColumnDef *c = m_table.column(it.key());
            columns.append(quoted(it.key()));
            binds.append(toStorage(it.value(), c ? c->type : int(TypeInteger), it.key()));
        }
        const QString sql = columns.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table.name))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(m_table.name), columns.join(QStringLiteral(", ")), placeholders(columns.size()));
        execWrite(*db, m_table.caption(), sql, binds);
        QSqlQuery last = db->exec(QStringLiteral("SELECT last_insert_rowid()"));
        last.next();
        oid = last.value(0).toLongLong();
    } else if (!row.dirtyOwn.isEmpty()) {
        QStringList sets;
        QVariantList binds;
        for (const auto &name : std::as_const(row.dirtyOwn)) {
            const ColumnDef *c = m_table.column(name);
            sets.append(quoted(name) + QStringLiteral(" = ?"));
            binds.append(toStorage(row.own.value(name), c ? c->type : int(TypeInteger), name));
        }
        binds.append(oid);
        execWrite(*db, m_table.caption(),
                  QStringLiteral("UPDATE %1 SET %2 WHERE OID = ?").arg(quoted(m_table.name), sets.join(QStringLiteral(", "))), binds);
    }
    if (row.parentOid != 0 && !row.dirtyParent.isEmpty()) {
        const TableDef *parent = m_schema->parentTable();
        QStringList sets;
        QVariantList binds;
        for (const auto &name : std::as_const(row.dirtyParent)) {
            sets.append(quoted(name) + QStringLiteral(" = ?"));
            binds.append(toStorage(row.parent.value(name), parent->column(name)->type, name));
        }
        binds.append(row.parentOid);
        execWrite(*db, parent->caption(),
                  QStringLiteral("UPDATE %1 SET %2 WHERE OID = ?").arg(quoted(parent->name), sets.join(QStringLiteral(", "))), binds);
    }
    transaction.commit();
    edited.reset();
    const bool wasNew = row.isNew;
    loadRow(oid);
    if (wasNew) {
        invalidateKeys();
        m_position = kUnknown;
    }
    if (auto *sink = notify())
        sink->OnEvent(ActionSave, this, m_table.caption());
}

// ---- deleting ----------------------------------------------------------------------------------

void DataSource::refuseIfReferenced(qint64 oid)
{
    const auto db = database();
    for (const auto &other : m_context->tableDefs()) {
        for (const auto &ref : other.references) {
            if (ref.table.compare(m_table.name, Qt::CaseInsensitive) != 0)
                continue;
            QSqlQuery q = db->exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(quoted(other.name), quoted(ref.name)), {oid});
            if (q.next())
                fail(QStringLiteral("Impossibile eliminare la riga: è ancora usata in %1.").arg(other.caption()));
        }
        if (other.identity.ParentTable.compare(m_table.name, Qt::CaseInsensitive) == 0
            && !other.identity.DeleteChildrenWithParent) {
            QSqlQuery q = db->exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(quoted(other.name), quoted(other.parentLinkColumn())),
                                   {oid});
            if (q.next())
                fail(QStringLiteral("Impossibile eliminare la riga: contiene ancora righe di %1.").arg(other.caption()));
        }
    }
}

bool DataSource::deleteOne(qint64 oid)
{
    const auto db = database();
    // Read under the write lock: the rules give amounts back to the parent as it is stored now.
    Savepoint transaction(*db);
    loadRow(oid);
    if (!m_row)
        return false;
    try {
        refuseIfReferenced(oid);
    } catch (const Error &e) {
        tellUser(e.description());
        return false;
    }
    if (itfSetData *sink = events()) {
        if (!runEvents([&] { sink->OnDeleteRow(*this); }, m_row))
            return false;
    }
    // Children that go with their parent.
    for (const auto &other : m_context->tableDefs()) {
        if (other.identity.ParentTable.compare(m_table.name, Qt::CaseInsensitive) != 0)
            continue;
        auto children = std::make_shared<DataSource>(m_context, other, Options{});
        children->SetSelection(QStringLiteral("%1 = %2").arg(other.parentLinkColumn()).arg(oid), QString());
        const QList<qint64> childKeys = children->keys();
        if (children->DeleteRows(childKeys, false) != childKeys.size())
            return false;
    }
    execWrite(*db, m_table.caption(), QStringLiteral("DELETE FROM %1 WHERE OID = ?").arg(quoted(m_table.name)), {oid});
    transaction.commit();
    m_row.reset();
    return true;
}

int DataSource::DeleteRows(const QList<qint64> &oids, bool refresh)
{
    if (m_options.readOnly)
        fail(QStringLiteral("I dati di %1 sono in sola lettura.").arg(m_table.caption()));
    if (auto *sink = notify())
        sink->OnEvent(ActionDelete, this, m_table.caption());
    // A refused row stays and the others go; a failure undoes every row of the list. Either way the
    // rows are read again, so that no key of a deleted row stays behind.
    int deleted = 0;
    std::exception_ptr failure;
    try {
        Savepoint transaction(*database());
        for (const qint64 oid : oids)
            if (deleteOne(oid))
                ++deleted;
        transaction.commit();
    } catch (...) {
        failure = std::current_exception();
    }
    invalidateKeys();
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

// ---- finding and moving ------------------------------------------------------------------------

void DataSource::invalidateKeys()
{
    m_keysValid = false;
    m_keys.clear();
}

const QList<qint64> &DataSource::keys()
{
    if (!m_keysValid) {
        const Sql where = whereClause();
        const QString clauses = where.text + orderClause().text;
        const QString sql = QStringLiteral("SELECT t0.OID FROM ")
                            + keyFromClause(m_schema->fromClause(), m_table.name, clauses) + clauses;
        QList<qint64> keys;
        m_context->statements().select(*database(), sql, where.binds,
                                       [&](const StoredRow &row) { keys.append(row.integer(0)); });
        m_keys = std::move(keys);
        m_keysValid = true;
    }
    return m_keys;
}

void DataSource::ensurePosition()
{
    if (m_position != kUnknown)
        return;
    const auto &k = keys();
    m_position = m_row ? int(k.indexOf(m_row->oid)) : -1;
    if (m_row && m_position < 0)
        m_position = int(k.size()); // the row left the selection
}

bool DataSource::FindFirst(const QString &criterion)
{
    Sql where = whereClause();
    const auto rendered = query::Criterion::parse(criterion).render([this](const QString &n) { return resolve(n); });
    if (!rendered.text.isEmpty()) {
        where.text += (where.text.isEmpty() ? QStringLiteral(" WHERE (") : QStringLiteral(" AND (")) + rendered.text + QLatin1Char(')');
        where.binds += rendered.binds;
    }
    QSqlQuery q = database()->exec(QStringLiteral("SELECT t0.OID FROM ") + m_schema->fromClause() + where.text + orderClause().text
                                       + SqlDialect::sqlite().limitClause(1),
                                   where.binds);
    m_firstPending = false;
    m_position = kUnknown;
    if (!q.next()) {
        m_row.reset();
        return false;
    }
    loadRow(q.value(0).toLongLong());
    return m_row.has_value();
}

bool DataSource::Find(const QString &criterion, bool continueAfterCurrent)
{
    Sql where = whereClause();
    const auto rendered = query::Criterion::parse(criterion).render([this](const QString &n) { return resolve(n); });
    if (!rendered.text.isEmpty()) {
        where.text += (where.text.isEmpty() ? QStringLiteral(" WHERE (") : QStringLiteral(" AND (")) + rendered.text + QLatin1Char(')');
        where.binds += rendered.binds;
    }
    QSqlQuery q = database()->exec(QStringLiteral("SELECT t0.OID FROM ") + m_schema->fromClause() + where.text + orderClause().text,
                                   where.binds);
    QList<qint64> matches;
    while (q.next())
        matches.append(q.value(0).toLongLong());
    if (matches.isEmpty())
        return false;
    if (!continueAfterCurrent || !m_row)
        return FindOID(matches.first());
    ensurePosition();
    const auto &k = keys();
    QHash<qint64, int> index;
    for (int i = 0; i < k.size(); ++i)
        index.insert(k.at(i), i);
    for (const qint64 oid : std::as_const(matches))
        if (index.value(oid, -1) > m_position)
            return FindOID(oid);
    return false;
}

bool DataSource::FindOID(qint64 oid)
{
    const std::optional<Row> previous = m_row;
    loadRow(oid);
    if (!m_row) {
        m_row = previous;
        return false;
    }
    m_position = kUnknown;
    return true;
}

bool DataSource::MoveFirst()
{
    const auto &k = keys();
    m_firstPending = false;
    m_position = 0;
    if (k.isEmpty()) {
        m_row.reset();
        return false;
    }
    loadRow(k.first());
    return true;
}

bool DataSource::MoveNext()
{
    if (m_firstPending)
        currentRow();
    ensurePosition();
    const auto &k = keys();
    if (m_position < k.size())
        ++m_position;
    if (m_position < k.size()) {
        loadRow(k.at(m_position));
        return true;
    }
    m_row.reset();
    return false;
}

bool DataSource::AtBOF()
{
    if (m_firstPending)
        return IsEmpty();
    ensurePosition();
    return m_position < 0 || keys().isEmpty();
}

bool DataSource::AtEOF()
{
    if (m_firstPending)
        return IsEmpty();
    ensurePosition();
    return m_position >= keys().size();
}

qint64 DataSource::Bookmark() const
{
    return m_row && !m_row->isNew ? m_row->oid : 0;
}

bool DataSource::IsEmpty() const
{
    const Sql where = whereClause();
    QSqlQuery q = database()->exec(QStringLiteral("SELECT 1 FROM ") + m_schema->fromClause() + where.text
                                       + SqlDialect::sqlite().limitClause(1),
                                   where.binds);
    return !q.next();
}

int DataSource::RecordCount()
{
    return int(keys().size());
}

// ---- the view ----------------------------------------------------------------------------------

void DataSource::SetFilter(const QString &criterion)
{
    const QString previous = m_filter;
    m_filter = criterion.trimmed();
    try {
        whereClause();
    } catch (...) {
        m_filter = previous;
        throw;
    }
    Requery(true);
}

void DataSource::SetSort(const QString &order)
{
    const QString previous = m_sort;
    m_sort = order.trimmed().isEmpty() ? DefaultSort() : query::SortOrder::parse(order).toText();
    try {
        orderClause();
    } catch (...) {
        m_sort = previous;
        throw;
    }
    Requery(true);
}

void DataSource::SetSelection(const QString &filter, const QString &order)
{
    const QString previousSelection = m_selection, previousSort = m_sort;
    m_selection = filter.trimmed();
    if (!order.trimmed().isEmpty())
        m_sort = query::SortOrder::parse(order).toText();
    try {
        whereClause();
        orderClause();
    } catch (...) {
        m_selection = previousSelection;
        m_sort = previousSort;
        throw;
    }
    invalidateKeys();
    m_row.reset();
    m_firstPending = true;
    m_position = 0;
}

void DataSource::Requery(bool keepCurrent)
{
    const qint64 current = keepCurrent ? Bookmark() : 0;
    invalidateKeys();
    m_row.reset();
    m_firstPending = true;
    m_position = 0;
    if (current != 0 && keys().contains(current)) {
        loadRow(current);
        m_position = kUnknown;
    }
    emit OnRefreshRecordset(this);
}

QVariantList DataSource::storedValues(const StoredRow &stored, int offset) const
{
    QVariantList values;
    values.reserve(m_fields.size());
    for (int i = 0; i < m_fields.size(); ++i) {
        const int column = m_fieldSet->columnOf.at(i);
        const int first = m_fieldSet->firstFieldOf.at(column);
        if (first < i) {
            values.append(values.at(first)); // the same column under another name
            continue;
        }
        const FieldDef &field = m_fields.at(i);
        QVariant value = stored.typedValue(offset + column, field.type);
        if (m_options.convertCurrency)
            values.append(present(field, value));
        else
            values.append(std::move(value));
    }
    return values;
}

QList<QVariantList> DataSource::fetchRows(const QList<qint64> &oids) const
{
    QList<QVariantList> rows;
    rows.reserve(oids.size());
    const QString columns = QStringLiteral("t0.OID, ") + m_fieldSet->selectColumns.join(QStringLiteral(", "));
    const auto db = database();
    for (qsizetype start = 0; start < oids.size(); start += kPageSize) {
        const QList<qint64> page = oids.mid(start, kPageSize);
        QVariantList binds = m_fieldBinds;
        for (const qint64 oid : page)
            binds.append(oid);
        // A grid asks for whole pages, so that a few statements serve every page of a view.
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE t0.OID IN (%3)")
                                .arg(columns, m_schema->fromClause(), placeholders(page.size()));
        QHash<qint64, QVariantList> byKey;
        byKey.reserve(page.size());
        m_context->statements().select(*db, sql, binds, [&](const StoredRow &stored) {
            byKey.insert(stored.integer(0), storedValues(stored, 1));
        });
        for (const qint64 oid : page)
            rows.append(byKey.value(oid));
    }
    return rows;
}

QList<QVariantList> DataSource::firstRows(int count) const
{
    const Sql where = whereClause();
    // The count is bound, so that every first screen of a view shares one prepared statement.
    const QString sql = QStringLiteral("SELECT ") + m_fieldSet->selectColumns.join(QStringLiteral(", "))
                        + QStringLiteral(" FROM ") + m_schema->fromClause() + where.text + orderClause().text
                        + QStringLiteral(" LIMIT ?");
    QList<QVariantList> rows;
    rows.reserve(qBound(0, count, 256)); // a first screen; larger counts grow as read
    const auto db = database();
    m_context->statements().select(*db, sql, m_fieldBinds + where.binds + QVariantList{count},
                                   [&](const StoredRow &stored) { rows.append(storedValues(stored, 0)); });
    return rows;
}

int DataSource::countRows(int limit) const
{
    const Sql where = whereClause();
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM ")
                        + keyFromClause(m_schema->fromClause(), m_table.name, where.text) + where.text
                        + QStringLiteral(" LIMIT ?)");
    int rows = 0;
    const auto db = database();
    m_context->statements().select(*db, sql, where.binds + QVariantList{limit},
                                   [&](const StoredRow &stored) { rows = stored.value(0).toInt(); });
    return rows;
}

std::shared_ptr<DataSource> DataSource::Copy() const
{
    Options options = m_options;
    options.readOnly = true;
    options.order = m_sort;
    auto copy = std::make_shared<DataSource>(m_context, m_table, options);
    copy->m_filter = m_filter;
    copy->m_selection = m_selection;
    return copy;
}

std::shared_ptr<DataSource> DataSource::OpenParentCandidates()
{
    const TableDef *parent = m_schema->parentTable();
    if (!parent)
        fail(QStringLiteral("%1 non ha un contenitore.").arg(m_table.caption()));
    Options options;
    options.readOnly = true;
    options.notify = m_options.notify;
    auto candidates = std::make_shared<DataSource>(m_context, *parent, options);
    if (itfSetData *sink = events()) {
        HandlerScope scope(this);
        sink->OnSelectParent(*this, *candidates);
    }
    return candidates;
}

std::shared_ptr<DataSource> DataSource::OpenReferenceCandidates(const QString &reference)
{
    const ReferenceDef *ref = m_table.reference(reference);
    if (!ref)
        fail(QStringLiteral("Riferimento sconosciuto in %1: %2").arg(m_table.caption(), reference));
    Options options;
    options.readOnly = true;
    options.notify = m_options.notify;
    auto candidates = std::make_shared<DataSource>(m_context, *m_context->tableDef(ref->table), options);
    if (itfSetData *sink = events()) {
        HandlerScope scope(this);
        sink->OnSelectReference(*this, *candidates, ref->name);
    }
    return candidates;
}

void DataSource::raiseStructureEvent(double currentVersion, double oldVersion, bool created)
{
    itfSetData *sink = events();
    if (!sink)
        return;
    m_cancelMessage.reset();
    {
        HandlerScope scope(this);
        sink->OnUpdatedTableStruct(*this, currentVersion, oldVersion, created);
    }
    if (m_cancelMessage) {
        const QString message = *m_cancelMessage;
        m_cancelMessage.reset();
        fail(message);
    }
}

} // namespace objdb
