#include "objdb/import/rowcopy.h"

#include "objdb/database.h"
#include "objdb/datacontext.h"
#include "objdb/datasource.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/progresspacer.h"
#include "objdb/sqldialect.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>

#include <limits>

namespace objdb {

namespace {

const QString kSource = QStringLiteral("objdb_src");
const QString kMap = QStringLiteral("temp.objdb_import_map");
constexpr qint64 kChunk = 5000;

QString sourceTable(const QString &name)
{
    return kSource + QLatin1Char('.') + sqlName(name);
}

// The target OID of a source row of `table`, as an expression over the source column `column` of alias s.
QString mapped(const QString &table, const QString &column)
{
    return QStringLiteral("(SELECT target_oid FROM %1 WHERE tbl = '%2' AND source_oid = s.%3)")
        .arg(kMap, table, sqlName(column));
}

qint64 scalar(Database &db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q = db.exec(sql, binds);
    return q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace

RowCopy::RowCopy(DataSource &source, DataSource &target)
    : m_target(*target.context()->database())
    , m_defs(target.context()->tableDefs())
{
    const auto sourceDb = source.context()->database();
    if (source.TableName() != target.TableName())
        fail(QStringLiteral("Le righe di %1 non possono essere copiate in %2.").arg(source.TableName(), target.TableName()));
    if (QFileInfo(sourceDb->path()).canonicalFilePath() == QFileInfo(m_target.path()).canonicalFilePath())
        fail(QStringLiteral("L'archivio selezionato è quello aperto: non c'è nulla da importare."));
    if (m_target.inTransaction())
        fail(QStringLiteral("La copia delle righe va preparata fuori da una transazione."));
    m_target.exec(QStringLiteral("ATTACH DATABASE ? AS ") + kSource, {sourceDb->path()});
    m_attached = true;
    try {
        m_target.exec(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS objdb_import_map (tbl TEXT, source_oid INTEGER,"
                                     " target_oid INTEGER, PRIMARY KEY (tbl, source_oid)) WITHOUT ROWID"));
        m_target.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS temp.objdb_import_map_target ON objdb_import_map (tbl, target_oid)"));
        const TableDef *table = target.context()->tableDef(target.TableName());
        plan(*table);
        checkSource();
        count();
        for (const auto &step : m_steps)
            refuseUniqueConflicts(step);
    } catch (...) {
        m_target.exec(QStringLiteral("DETACH DATABASE ") + kSource);
        m_attached = false;
        throw;
    }
}

RowCopy::~RowCopy()
{
    if (!m_attached || !m_target.IsOpen())
        return;
    QSqlQuery q(m_target.sql());
    q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + kMap);
    q.exec(QStringLiteral("DETACH DATABASE ") + kSource);
}

qint64 RowCopy::rowsToCopy() const
{
    qint64 total = 0;
    for (const auto &c : m_counts)
        total += c.imported;
    return total;
}

// The column references match `def` by, else its first unique column.
QString RowCopy::matchingKey(const TableDef &def) const
{
    for (const auto &other : m_defs)
        for (const auto &r : other.references)
            if (r.table == def.name)
                return r.keyColumn;
    for (const auto &idx : def.indexes)
        if (idx.unique)
            return idx.column;
    return QString();
}

void RowCopy::addStep(const TableDef &def, const QString &selection, const QString &key)
{
    for (auto &step : m_steps)
        if (step.def == &def) {
            step.selection = QStringLiteral("(%1) OR (%2)").arg(step.selection, selection);
            return;
        }
    m_steps.append({&def, selection, key});
}

void RowCopy::plan(const TableDef &table)
{
    const TableDef *parent = nullptr;
    const TableDef *child = nullptr;
    for (const auto &def : m_defs) {
        if (def.name == table.identity.ParentTable)
            parent = &def;
        if (def.identity.ParentTable == table.name)
            child = &def;
    }
    // The family of the table, parents before children, with the selection of each.
    QList<Step> family;
    if (parent) {
        const QString link = sqlName(table.parentLinkColumn());
        family.append({parent, QStringLiteral("OID IN (SELECT %1 FROM %2)").arg(link, sourceTable(table.name)), QString()});
        family.append({&table, QStringLiteral("%1 IN (SELECT OID FROM %2)").arg(link, sourceTable(parent->name)), QString()});
    } else {
        family.append({&table, QStringLiteral("1"), matchingKey(table)});
        if (child)
            family.append({child, QStringLiteral("%1 IN (SELECT OID FROM %2)").arg(sqlName(child->parentLinkColumn()),
                                                                                    sourceTable(table.name)),
                           QString()});
    }
    // The referenced rows first, matched by their key.
    for (const auto &member : family)
        for (const auto &r : member.def->references) {
            const TableDef *referenced = nullptr;
            for (const auto &def : m_defs)
                if (def.name == r.table)
                    referenced = &def;
            if (!referenced)
                fail(QStringLiteral("Il riferimento %1 di %2 indica una tabella sconosciuta.").arg(r.name, member.def->name));
            addStep(*referenced,
                    QStringLiteral("OID IN (SELECT %1 FROM %2 WHERE %3)").arg(sqlName(r.name), sourceTable(member.def->name), member.selection),
                    r.keyColumn);
        }
    for (const auto &member : family)
        addStep(*member.def, member.selection, member.key);
}

// An archive of another format or version lacks a table or a column the copy reads.
void RowCopy::checkSource() const
{
    QSqlQuery currency = m_target.exec(
        QStringLiteral("SELECT value FROM %1.objdb_meta WHERE key = 'main_currency'").arg(kSource));
    const QString theirs = currency.next() ? currency.value(0).toString() : QStringLiteral("Euro");
    if (theirs != m_target.mainCurrency())
        fail(QStringLiteral("Gli importi dell'archivio selezionato sono in %1, quelli dell'archivio aperto in %2: "
                            "l'importazione non è possibile.").arg(theirs, m_target.mainCurrency()));
    for (const auto &step : m_steps) {
        QSet<QString> present;
        QSqlQuery q = m_target.exec(QStringLiteral("SELECT name FROM pragma_table_info(?, '%1')").arg(kSource), {step.def->name});
        while (q.next())
            present.insert(q.value(0).toString().toLower());
        if (present.isEmpty())
            fail(QStringLiteral("L'archivio selezionato non contiene la tabella %1: è di un formato diverso.").arg(step.def->name));
        QStringList wanted;
        for (const auto &c : step.def->columns)
            wanted.append(c.name);
        for (const auto &r : step.def->references)
            wanted.append(r.name);
        if (!step.def->parentLinkColumn().isEmpty())
            wanted.append(step.def->parentLinkColumn());
        for (const auto &column : wanted)
            if (!present.contains(column.toLower()))
                fail(QStringLiteral("Nell'archivio selezionato la tabella %1 non ha la colonna %2: è di un formato diverso.")
                         .arg(step.def->name, column));
    }
}

// The rows of a step whose key is already in the open archive (alias s).
QString RowCopy::sourceMatches(const Step &step) const
{
    if (step.key.isEmpty())
        return QStringLiteral("0");
    return QStringLiteral("EXISTS (SELECT 1 FROM main.%1 t WHERE t.%2 = s.%2)").arg(sqlName(step.def->name), sqlName(step.key));
}

void RowCopy::count()
{
    for (const auto &step : m_steps) {
        const QString from = QStringLiteral(" FROM %1 s WHERE (%2)").arg(sourceTable(step.def->name), step.selection);
        CopyCount c{step.def->caption(), 0, 0};
        const qint64 selected = scalar(m_target, QStringLiteral("SELECT COUNT(*)") + from);
        c.skipped = scalar(m_target, QStringLiteral("SELECT COUNT(*)") + from + QStringLiteral(" AND ") + sourceMatches(step));
        c.imported = selected - c.skipped;
        // Children without their parent stay behind.
        if (!step.def->identity.ParentTable.isEmpty())
            c.skipped += scalar(m_target, QStringLiteral("SELECT COUNT(*) FROM ") + sourceTable(step.def->name)) - selected;
        m_counts.append(c);
    }
}

QString RowCopy::describe(const Step &step, qint64 sourceOid) const
{
    const QString column = step.key.isEmpty() ? QStringLiteral("OID") : step.key;
    QSqlQuery q = m_target.exec(QStringLiteral("SELECT %1 FROM %2 WHERE OID = ?").arg(sqlName(column), sourceTable(step.def->name)),
                                {sourceOid});
    const QString value = q.next() ? q.value(0).toString() : QString::number(sourceOid);
    return QStringLiteral("la riga di %1 con %2 = %3").arg(step.def->caption(), column, value);
}

// A new row whose unique column holds a value the open archive already has would be refused.
void RowCopy::refuseUniqueConflicts(const Step &step) const
{
    for (const auto &idx : step.def->indexes) {
        if (!idx.unique || idx.column == step.key)
            continue;
        QSqlQuery q = m_target.exec(QStringLiteral("SELECT s.OID, s.%1 FROM %2 s WHERE (%3) AND NOT %4 AND s.%1 IS NOT NULL"
                                                   " AND EXISTS (SELECT 1 FROM main.%5 t WHERE t.%1 = s.%1) LIMIT 1")
                                        .arg(sqlName(idx.column), sourceTable(step.def->name), step.selection,
                                             sourceMatches(step), sqlName(step.def->name)));
        if (q.next())
            fail(QStringLiteral("Impossibile importare %1: %2 \"%3\" è già presente nell'archivio aperto.")
                     .arg(describe(step, q.value(0).toLongLong()), idx.column, q.value(1).toString()));
    }
}

bool RowCopy::CopyRowsTo(itfProgress *progress)
{
    Savepoint savepoint(m_target);
    m_target.exec(QStringLiteral("DELETE FROM ") + kMap);
    const qint64 total = rowsToCopy();
    ProgressPacer pacer(progress, ActionCopy, int(qMin<qint64>(total, std::numeric_limits<int>::max())));
    qint64 done = 0;
    for (const auto &step : m_steps)
        if (!copyStep(step, pacer, done))
            return false;
    if (!pacer.finish(int(done)))
        return false;
    savepoint.commit();
    return true;
}

bool RowCopy::copyStep(const Step &step, ProgressPacer &pacer, qint64 &done)
{
    const TableDef &def = *step.def;
    const QString table = sqlName(def.name);
    const QString name = def.name;
    const qint64 base = scalar(m_target, QStringLiteral("SELECT COALESCE(MAX(OID), 0) FROM main.") + table);
    // The key map: rows already present keep theirs, the others get new OIDs after the last one.
    if (!step.key.isEmpty())
        m_target.exec(QStringLiteral("INSERT INTO %1 (tbl, source_oid, target_oid) SELECT ?, s.OID, t.OID"
                                     " FROM (SELECT * FROM %2 WHERE (%5)) s JOIN main.%3 t ON t.%4 = s.%4")
                          .arg(kMap, sourceTable(name), table, sqlName(step.key), step.selection),
                      {name});
    const qint64 fresh = m_target.exec(QStringLiteral("INSERT INTO %1 (tbl, source_oid, target_oid) SELECT ?, s.OID,"
                                                      " ? + ROW_NUMBER() OVER (ORDER BY s.OID) FROM %2 s WHERE (%3) AND NOT %4")
                                           .arg(kMap, sourceTable(name), step.selection, sourceMatches(step)),
                                       {name, base})
                             .numRowsAffected();

    QStringList columns{QStringLiteral("OID")};
    QStringList values{QStringLiteral("m.target_oid")};
    for (const auto &c : def.columns) {
        columns.append(sqlName(c.name));
        values.append(QStringLiteral("s.") + sqlName(c.name));
    }
    for (const auto &r : def.references) {
        columns.append(sqlName(r.name));
        values.append(mapped(r.table, r.name));
    }
    if (!def.parentLinkColumn().isEmpty()) {
        columns.append(sqlName(def.parentLinkColumn()));
        values.append(mapped(def.identity.ParentTable, def.parentLinkColumn()));
    }
    const QString insert = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM %4 m JOIN %5 s ON s.OID = m.source_oid"
                                          " WHERE m.tbl = ? AND m.target_oid BETWEEN ? AND ?")
                               .arg(table, columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')), kMap, sourceTable(name));
    for (qint64 first = base + 1; first <= base + fresh; first += kChunk) {
        const qint64 last = qMin(first + kChunk - 1, base + fresh);
        try {
            m_target.exec(insert, {name, first, last});
        } catch (const Error &) {
            // One by one, to name the row the engine refuses.
            for (qint64 oid = first; oid <= last; ++oid) {
                try {
                    m_target.exec(insert, {name, oid, oid});
                } catch (const Error &e) {
                    const qint64 sourceOid = scalar(m_target, QStringLiteral("SELECT source_oid FROM %1 WHERE tbl = ? AND target_oid = ?").arg(kMap),
                                                    {name, oid});
                    fail(QStringLiteral("Impossibile importare %1: %2").arg(describe(step, sourceOid), e.description()));
                }
            }
            throw;
        }
        done += last - first + 1;
        if (!pacer.step(int(qMin<qint64>(done, std::numeric_limits<int>::max()))))
            return false;
    }
    return true;
}

} // namespace objdb
