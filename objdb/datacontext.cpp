#include "objdb/datacontext.h"

#include "objdb/database.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/query/criterion.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"
#include "objdb/viewschema.h"

#include <QSet>
#include <QSqlQuery>

namespace objdb {

namespace {

// The stored columns a table needs, with their SQL types.
QList<QPair<QString, QString>> wantedColumns(const SqlDialect &dialect, const TableDef &def)
{
    QList<QPair<QString, QString>> wanted;
    for (const auto &c : def.columns)
        wanted.append({c.name, dialect.columnType(c.type)});
    for (const auto &r : def.references)
        wanted.append({r.name, dialect.columnType(TypeReference)});
    if (!def.identity.ParentTable.isEmpty())
        wanted.append({def.parentLinkColumn(), dialect.columnType(TypeReference)});
    return wanted;
}

QSet<QString> presentColumns(const Database &db, const QString &table)
{
    QSet<QString> present;
    for (const QString &column : db.columns(table))
        present.insert(column.toLower());
    return present;
}

// The structure version stored for a table; a table without one counts as current.
double storedVersion(const Database &db, const TableDef &def)
{
    QSqlQuery version = db.exec(QStringLiteral("SELECT version FROM objdb_tables WHERE name = ?"), {def.name});
    return version.next() ? version.value(0).toDouble() : def.identity.Version;
}

} // namespace

ColumnInfo Table::Column(int index) const
{
    if (index < 1 || index > m_def.columns.size())
        fail(QStringLiteral("Colonna %1 inesistente in %2.").arg(index).arg(m_def.name));
    const auto &c = m_def.columns.at(index - 1);
    return {c.name, c.type, c.length};
}

ColumnInfo Table::Column(const QString &name) const
{
    const ColumnDef *c = m_def.column(name);
    if (!c)
        fail(QStringLiteral("Colonna %1 inesistente in %2.").arg(name, m_def.name));
    return {c->name, c->type, c->length};
}

QString Table::Literal(const QString &column, const QVariant &value) const
{
    return query::literal(value, Column(column).Type);
}

Table &TableCollection::Item(int index)
{
    if (index < 1 || index > m_tables.size())
        fail(QStringLiteral("Tabella %1 inesistente.").arg(index));
    return *m_tables.at(index - 1);
}

Table &TableCollection::Item(const QString &name)
{
    if (Table *t = find(name))
        return *t;
    fail(QStringLiteral("Tabella %1 inesistente.").arg(name));
}

bool TableCollection::Exists(const QString &name) const
{
    for (const auto &t : m_tables)
        if (t->Name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

Table *TableCollection::find(const QString &name)
{
    for (const auto &t : m_tables)
        if (t->Name().compare(name, Qt::CaseInsensitive) == 0)
            return t.get();
    return nullptr;
}

DataContext::DataContext(std::shared_ptr<itfDefDatabase> definition, QString programName, itfNotifyEvent *notify,
                         std::shared_ptr<Currency> conversionCurrency)
    : m_definition(std::move(definition)), m_programName(std::move(programName)), m_notify(notify),
      m_conversion(std::move(conversionCurrency)), m_mainCurrency(std::make_shared<MainCurrency>(QStringLiteral("Euro")))
{
}

DataContext::~DataContext() = default;

int DataContext::State() const
{
    const auto db = m_database.lock();
    return m_attached && db && db->IsOpen() ? 5 : 0;
}

TableCollection &DataContext::Tables()
{
    if (!m_attached)
        fail(QStringLiteral("L'archivio non è ancora collegato."));
    return m_tables;
}

std::shared_ptr<Database> DataContext::database() const
{
    auto db = m_database.lock();
    if (!db || !db->IsOpen())
        fail(QStringLiteral("L'archivio non è aperto."));
    return db;
}

const TableDef *DataContext::tableDef(const QString &name) const
{
    return findTableDef(m_defs, name);
}

std::shared_ptr<const ViewSchema> DataContext::viewSchema(const TableDef &table)
{
    auto &schema = m_schemas[&table];
    if (!schema)
        schema = std::make_shared<const ViewSchema>(m_defs, table, database()->dialect());
    return schema;
}

void DataContext::readDefinition()
{
    // Schemas point into the definitions read before; statements may belong to another archive.
    m_schemas.clear();
    m_statements.clear();
    if (!m_definition)
        fail(QStringLiteral("Definizione dell'archivio mancante."));
    DatabaseDefinition definition;
    m_definition->Define(definition);
    QList<TableDef> defs;
    for (const auto &table : definition.tables()) {
        TableDef def;
        def.name = table->TableName();
        if (!SqlDialect::isValidIdentifier(def.name) || def.name.startsWith(QStringLiteral("objdb_")))
            fail(QStringLiteral("Nome di tabella non valido: %1.").arg(def.name));
        ColumnCollection columns;
        IndexCollection indexes;
        ReferenceCollection references;
        table->DefineStructure(columns, indexes, references);
        table->DefineIdentity(def.identity);
        table->DefineDefaultData(def.events);
        def.columns = columns.items();
        def.indexes = indexes.items();
        def.references = references.items();
        def.definition = table;
        for (const auto &idx : def.indexes)
            if (!def.column(idx.column))
                fail(QStringLiteral("Indice su una colonna sconosciuta: %1.%2.").arg(def.name, idx.column));
        defs.append(std::move(def));
    }
    m_defs = std::move(defs);
    for (const auto &def : m_defs) {
        for (const auto &ref : def.references)
            if (!tableDef(ref.table))
                fail(QStringLiteral("Il riferimento %1 di %2 punta alla tabella sconosciuta %3.").arg(ref.name, def.name, ref.table));
        if (!def.identity.ParentTable.isEmpty() && !tableDef(def.identity.ParentTable))
            fail(QStringLiteral("La tabella %1 ha come contenitore la tabella sconosciuta %2.")
                     .arg(def.name, def.identity.ParentTable));
    }
    m_tables.m_tables.clear();
    for (const auto &def : m_defs)
        m_tables.m_tables.append(std::make_shared<Table>(*this, def));
}

void DataContext::Attach(const std::shared_ptr<Database> &database, bool createMissing, bool rebuild, bool check,
                         itfProgress *)
{
    if (!database || !database->IsOpen())
        fail(QStringLiteral("L'archivio non è aperto."));
    m_attached = false;
    m_database = database;
    readDefinition();
    m_mainCurrency = std::make_shared<MainCurrency>(database->mainCurrency());

    // Names of tables compare as the engines compare them, whatever the case.
    QSet<QString> tables;
    for (const QString &name : database->tables())
        tables.insert(name.toLower());
    refuseDamagedTables(tables);

    if (createMissing && !database->isReadOnly()) {
        Savepoint transaction(*database);
        m_pendingEvents.clear();
        for (const auto &def : m_defs)
            createOrUpgrade(def);
        m_attached = true;
        raiseStructureEvents();
        transaction.commit();
    } else {
        for (const auto &def : m_defs)
            if (!tables.contains(def.name.toLower()))
                fail(QStringLiteral("L'archivio non contiene la tabella %1.").arg(def.name));
        m_attached = true;
    }
    if (rebuild)
        rebuildIndexes();
    if (check)
        checkReferences();
}

void DataContext::createOrUpgrade(const TableDef &def)
{
    const auto db = database();
    const bool exists = db->hasTable(def.name);
    const QList<QPair<QString, QString>> wanted = wantedColumns(db->dialect(), def);

    double oldVersion = 0;
    bool created = false;
    if (!exists) {
        QStringList columns{db->dialect().keyColumn()};
        for (const auto &[name, type] : wanted)
            columns.append(sqlName(name) + QLatin1Char(' ') + type);
        db->exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(sqlName(def.name), columns.join(QStringLiteral(", "))));
        created = true;
    } else {
        // Only a table of an older structure gets here without every column (refuseDamagedTables).
        const QSet<QString> present = presentColumns(*db, def.name);
        for (const auto &[name, type] : wanted)
            if (!present.contains(name.toLower()))
                db->exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(sqlName(def.name), sqlName(name), type));
        oldVersion = storedVersion(*db, def);
    }

    auto createIndex = [&](const QString &column, bool unique) {
        const QString name = QStringLiteral("%1_%2_idx").arg(def.name, column);
        QSqlQuery idx(db->sql());
        if (!idx.exec(db->dialect().statement(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)")
                          .arg(unique ? QStringLiteral("UNIQUE ") : QString(), sqlName(name), sqlName(def.name),
                               db->dialect().indexColumn(column)))))
            fail(unique ? QStringLiteral("Impossibile creare l'indice univoco su %1.%2: l'archivio contiene valori ripetuti.")
                              .arg(def.name, column)
                        : QStringLiteral("Impossibile creare l'indice su %1.%2.").arg(def.name, column));
    };
    for (const auto &idx : def.indexes)
        createIndex(idx.column, idx.unique);
    for (const auto &r : def.references)
        createIndex(r.name, false);
    if (!def.identity.ParentTable.isEmpty())
        createIndex(def.parentLinkColumn(), false);

    if (created || oldVersion < def.identity.Version)
        m_pendingEvents.append({def.name, created ? 0.0 : oldVersion, created});
    else
        db->exec(QStringLiteral("INSERT INTO objdb_tables (name, version) VALUES (?, ?) ON CONFLICT (name) DO NOTHING"),
                 {def.name, def.identity.Version});
}

// A table whose stored structure version is the defined one has every defined column; one missing
// means the file was damaged (or altered by hand). Such an archive is refused before anything is
// written, rather than given an empty column that the rules would take for real data.
void DataContext::refuseDamagedTables(const QSet<QString> &existingTables) const
{
    const auto db = database();
    for (const auto &def : m_defs) {
        if (!existingTables.contains(def.name.toLower()) || storedVersion(*db, def) < def.identity.Version)
            continue;
        const QSet<QString> present = presentColumns(*db, def.name);
        for (const auto &column : wantedColumns(db->dialect(), def))
            if (!present.contains(column.first.toLower()))
                fail(QStringLiteral("L'archivio %1 è danneggiato: nella tabella %2 manca la colonna %3. "
                                    "Il file non è stato modificato.")
                         .arg(db->path(), def.name, column.first));
    }
}

void DataContext::rebuildIndexes()
{
    database()->exec(QStringLiteral("REINDEX"));
}

void DataContext::checkReferences()
{
    const auto db = database();
    QStringList findings;
    for (const auto &def : m_defs) {
        auto count = [&](const QString &column, const QString &target) {
            QSqlQuery q = db->exec(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 IS NOT NULL AND %2 NOT IN (SELECT OID FROM %3)")
                                       .arg(sqlName(def.name), sqlName(column), sqlName(target)));
            return q.next() ? q.value(0).toLongLong() : 0;
        };
        for (const auto &r : def.references)
            if (const auto n = count(r.name, r.table))
                findings.append(QStringLiteral("%1: %2 righe con riferimento %3 non valido").arg(def.name).arg(n).arg(r.name));
        if (!def.identity.ParentTable.isEmpty())
            if (const auto n = count(def.parentLinkColumn(), def.identity.ParentTable))
                findings.append(QStringLiteral("%1: %2 righe senza contenitore in %3").arg(def.name).arg(n).arg(def.identity.ParentTable));
    }
    if (!findings.isEmpty() && m_notify)
        m_notify->OnInternalMessage(nullptr, QStringLiteral("Verifica archivio:\n") + findings.join(QLatin1Char('\n')));
}

namespace Application {

std::shared_ptr<DataContext> Initialise(std::shared_ptr<itfDefDatabase> definition, const QString &programName,
                                        itfNotifyEvent *notify, std::shared_ptr<Currency> conversionCurrency)
{
    return std::make_shared<DataContext>(std::move(definition), programName, notify, std::move(conversionCurrency));
}

} // namespace Application

} // namespace objdb
