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
// The key map of a table matched by key: each source row with the open archive's row it matches
// (target_oid) or its place among the new rows (seq).
QString mapOf(const SqlDialect &dialect, const QString &table)
{
    return dialect.temporarySchema() + QLatin1Char('.') + sqlName(QStringLiteral("objdb_import_map_") + table);
}
constexpr qint64 kChunk = 5000;

QString sourceTable(const QString &name)
{
    return kSource + QLatin1Char('.') + sqlName(name);
}

qint64 scalar(Database &db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q = db.exec(sql, binds);
    return q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace

RowCopy::RowCopy(DataSource &source, DataSource &target, const QList<CarriedRows> &carried)
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
    m_target.engine().attach(sourceDb->path(), kSource);
    m_attached = true;
    try {
        const TableDef *table = target.context()->tableDef(target.TableName());
        plan(*table, carried, false);
        checkSource();
        // A family selected whole is walked once per table instead of probed row by row.
        if (familyIsWhole()) {
            m_steps.clear();
            plan(*table, carried, true);
        }
        for (const auto &step : m_steps)
            if (!step.key.isEmpty())
                mapStep(step);
        count();
        for (const auto &step : m_steps)
            refuseUniqueConflicts(step);
    } catch (...) {
        m_target.engine().detach(kSource);
        m_attached = false;
        throw;
    }
}

RowCopy::~RowCopy()
{
    if (!m_attached || !m_target.IsOpen())
        return;
    QSqlQuery q(m_target.sql());
    for (const auto &step : m_steps)
        if (!step.key.isEmpty())
            q.exec(QStringLiteral("DROP TABLE IF EXISTS ") + mapOf(m_target.dialect(), step.def->name));
    m_target.engine().detach(kSource);
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

const TableDef *RowCopy::definition(const QString &name) const
{
    for (const auto &def : m_defs)
        if (def.name == name)
            return &def;
    return nullptr;
}

bool RowCopy::sourceHasTable(const QString &name) const
{
    return m_target.engine().hasTable(name, kSource);
}

void RowCopy::addStep(const Step &step)
{
    for (auto &existing : m_steps)
        if (existing.def == step.def) {
            existing.selection = QStringLiteral("(%1) OR (%2)").arg(existing.selection, step.selection);
            return;
        }
    m_steps.append(step);
}

void RowCopy::plan(const TableDef &table, const QList<CarriedRows> &carried, bool wholeFamily)
{
    const TableDef *parent = definition(table.identity.ParentTable);
    const TableDef *child = nullptr;
    for (const auto &def : m_defs)
        if (def.identity.ParentTable == table.name)
            child = &def;
    const QString all = QStringLiteral("1");
    // The family of the table, parents before children, with the selection of each.
    QList<Step> family; // selections over the source table as alias s
    if (parent) {
        const QString link = sqlName(table.parentLinkColumn());
        family.append({.def = parent,
                       .selection = wholeFamily ? all
                                   : QStringLiteral("EXISTS (SELECT 1 FROM %1 c WHERE c.%2 = s.OID)").arg(sourceTable(table.name), link),
                       .family = true});
        family.append({.def = &table,
                       .selection = wholeFamily ? all
                                   : QStringLiteral("EXISTS (SELECT 1 FROM %1 p WHERE p.OID = s.%2)").arg(sourceTable(parent->name), link),
                       .family = true});
    } else {
        family.append({.def = &table, .selection = all, .key = matchingKey(table), .family = true});
        if (child)
            family.append({.def = child,
                           .selection = wholeFamily ? all
                                       : QStringLiteral("EXISTS (SELECT 1 FROM %1 p WHERE p.OID = s.%2)")
                                             .arg(sourceTable(table.name), sqlName(child->parentLinkColumn())),
                           .family = true});
    }
    // The referenced rows first, matched by their key.
    for (const auto &member : family)
        for (const auto &r : member.def->references) {
            const TableDef *referenced = definition(r.table);
            if (!referenced)
                fail(QStringLiteral("Il riferimento %1 di %2 indica una tabella sconosciuta.").arg(r.name, member.def->name));
            addStep({.def = referenced,
                     .selection = QStringLiteral("s.OID IN (SELECT s.%1 FROM %2 s WHERE %3)").arg(sqlName(r.name), sourceTable(member.def->name), member.selection),
                     .key = r.keyColumn});
        }
    for (const auto &member : family)
        addStep(member);
    // Then the rows that point at copied family rows.
    for (const auto &c : carried) {
        const TableDef *def = definition(c.table);
        if (!def || !sourceHasTable(c.table))
            continue;
        for (const auto &member : family)
            if (member.def->name == c.pointsAt)
                addStep({.def = def,
                         .selection = QStringLiteral("s.%1 IN (SELECT s.OID FROM %2 s WHERE %3)").arg(sqlName(c.column), sourceTable(c.pointsAt), member.selection),
                         .carried = c});
    }
}

// Whether every row of each family table of the other archive is selected: no payment without its
// movement, no movement without a payment.
bool RowCopy::familyIsWhole() const
{
    bool narrowed = false;
    for (const auto &step : m_steps) {
        if (!step.family || step.selection == QLatin1String("1"))
            continue;
        narrowed = true;
        const QString table = sourceTable(step.def->name);
        if (scalar(m_target, QStringLiteral("SELECT COUNT(*) FROM %1 s WHERE (%2)").arg(table, step.selection))
            != scalar(m_target, QStringLiteral("SELECT COUNT(*) FROM ") + table))
            return false;
    }
    return narrowed;
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
        for (const QString &column : m_target.engine().columns(step.def->name, kSource))
            present.insert(column.toLower());
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
    return QStringLiteral("EXISTS (SELECT 1 FROM %1 t WHERE t.%2 = s.%2)").arg(sqlName(step.def->name), sqlName(step.key));
}

void RowCopy::mapStep(const Step &step)
{
    const QString name = step.def->name;
    const QString map = mapOf(m_target.dialect(), name);
    m_target.exec(QStringLiteral("DROP TABLE IF EXISTS ") + map);
    m_target.exec(QStringLiteral("CREATE TABLE %1 (source_oid INTEGER PRIMARY KEY, target_oid INTEGER, seq INTEGER UNIQUE)").arg(map));
    m_target.exec(QStringLiteral("INSERT INTO %1 (source_oid, target_oid) SELECT s.OID, t.OID"
                                 " FROM (SELECT OID, %4 FROM %2 s WHERE (%5)) s JOIN %3 t ON t.%4 = s.%4")
                      .arg(map, sourceTable(name), sqlName(name), sqlName(step.key), step.selection));
    m_target.exec(QStringLiteral("INSERT INTO %1 (source_oid, seq) SELECT s.OID, ROW_NUMBER() OVER (ORDER BY s.OID)"
                                 " FROM %2 s WHERE (%3) AND NOT %4")
                      .arg(map, sourceTable(name), step.selection, sourceMatches(step)));
}

void RowCopy::count()
{
    for (const auto &step : m_steps) {
        CopyCount c{step.def->caption(), 0, 0};
        if (step.key.isEmpty()) {
            c.imported = scalar(m_target, QStringLiteral("SELECT COUNT(*) FROM %1 s WHERE (%2)").arg(sourceTable(step.def->name), step.selection));
        } else {
            QSqlQuery q = m_target.exec(QStringLiteral("SELECT COUNT(seq), COUNT(target_oid) FROM ") + mapOf(m_target.dialect(), step.def->name));
            q.next();
            c.imported = q.value(0).toLongLong();
            c.skipped = q.value(1).toLongLong();
        }
        // Children without their parent stay behind.
        if (!step.def->identity.ParentTable.isEmpty())
            c.skipped += scalar(m_target, QStringLiteral("SELECT COUNT(*) FROM ") + sourceTable(step.def->name)) - c.imported;
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
        const QString copied = step.key.isEmpty()
                                   ? QStringLiteral("(%1)").arg(step.selection)
                                   : QStringLiteral("OID IN (SELECT source_oid FROM %1 WHERE seq IS NOT NULL)").arg(mapOf(m_target.dialect(), step.def->name));
        QSqlQuery q = m_target.exec(QStringLiteral("SELECT s.OID, s.%1 FROM %2 s WHERE %3 AND s.%1 IS NOT NULL"
                                                   " AND EXISTS (SELECT 1 FROM %4 t WHERE t.%1 = s.%1) LIMIT 1")
                                        .arg(sqlName(idx.column), sourceTable(step.def->name), copied, sqlName(step.def->name)));
        if (q.next())
            fail(QStringLiteral("Impossibile importare %1: %2 \"%3\" è già presente nell'archivio aperto.")
                     .arg(describe(step, q.value(0).toLongLong()), idx.column, q.value(1).toString()));
    }
}

bool RowCopy::CopyRowsTo(itfProgress *progress)
{
    Savepoint savepoint(m_target);
    m_bases.clear();
    m_sourceKeys.clear();
    m_offsets.clear();
    m_keptKeys.clear();
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

// The value of a column that points at a row of `table`: the same OID where every row kept its
// own, a family row's source OID moved by the table's offset, else the key map's answer.
QString RowCopy::pointer(const QString &table, const QString &column) const
{
    if (m_keptKeys.contains(table))
        return QStringLiteral("s.") + sqlName(column);
    if (m_offsets.contains(table))
        return QStringLiteral("s.%1 + %2").arg(sqlName(column)).arg(m_offsets.value(table));
    return QStringLiteral("(SELECT COALESCE(k.target_oid, %1) FROM %2 k WHERE k.source_oid = s.%3)")
        .arg(newKey(table, QStringLiteral("k.")), mapOf(m_target.dialect(), table), sqlName(column));
}

// The OID of a new row of a keyed table, over the key map's columns.
QString RowCopy::newKey(const QString &table, const QString &alias) const
{
    if (m_sourceKeys.contains(table))
        return alias + QStringLiteral("source_oid");
    return QStringLiteral("%1 + %2seq").arg(m_bases.value(table)).arg(alias);
}

// New rows can keep their source OIDs when each is beyond the open archive's last one.
bool RowCopy::keepsSourceKeys(const Step &step, qint64 last) const
{
    return scalar(m_target, QStringLiteral("SELECT COALESCE(MIN(source_oid), %1 + 1) FROM %2 WHERE seq IS NOT NULL")
                                .arg(last)
                                .arg(mapOf(m_target.dialect(), step.def->name)))
        > last;
}

// The engine's direct copy needs the whole table into an empty one of the same definition (its
// SELECT * is by position) whose pointers all keep their values.
bool RowCopy::copiesWholeTable(const Step &step, qint64 last) const
{
    const TableDef &def = *step.def;
    if (!step.family || step.selection != QLatin1String("1") || last != 0
        || scalar(m_target, QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(sqlName(def.name))))
        return false;
    for (const auto &r : def.references)
        if (!m_keptKeys.contains(r.table))
            return false;
    if (!def.identity.ParentTable.isEmpty() && !m_keptKeys.contains(def.identity.ParentTable))
        return false;
    return sameDefinitionInSource(def.name);
}

bool RowCopy::sameDefinitionInSource(const QString &table) const
{
    EngineConnection &engine = m_target.engine();
    const QString ours = engine.tableDefinition(table, QString());
    return !ours.isEmpty() && ours == engine.tableDefinition(table, kSource);
}

bool RowCopy::copyStep(const Step &step, ProgressPacer &pacer, qint64 &done)
{
    const TableDef &def = *step.def;
    const QString table = sqlName(def.name);
    const QString name = def.name;
    // The new rows take OIDs after the last one; the tables they point at are copied already.
    const qint64 last = scalar(m_target, QStringLiteral("SELECT COALESCE(MAX(OID), 0) FROM ") + table);
    const bool keyed = !step.key.isEmpty();
    if (keyed) {
        m_bases.insert(name, last);
        if (keepsSourceKeys(step, last)) {
            m_sourceKeys.insert(name);
            if (!scalar(m_target, QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1 WHERE target_oid <> source_oid)").arg(mapOf(m_target.dialect(), name))))
                m_keptKeys.insert(name);
        }
    } else if (copiesWholeTable(step, last)) {
        done += m_target.exec(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(table, sourceTable(name))).numRowsAffected();
        m_offsets.insert(name, 0);
        m_keptKeys.insert(name);
        return pacer.step(int(qMin<qint64>(done, std::numeric_limits<int>::max())));
    } else {
        m_offsets.insert(name, last);
    }
    QStringList columns{QStringLiteral("OID")};
    QStringList values{keyed ? newKey(name, QStringLiteral("m.")) : QStringLiteral("s.OID + %1").arg(last)};
    for (const auto &c : def.columns) {
        columns.append(sqlName(c.name));
        values.append(c.name == step.carried.column ? pointer(step.carried.pointsAt, c.name) : QStringLiteral("s.") + sqlName(c.name));
    }
    for (const auto &r : def.references) {
        columns.append(sqlName(r.name));
        values.append(pointer(r.table, r.name));
    }
    if (!def.parentLinkColumn().isEmpty()) {
        columns.append(sqlName(def.parentLinkColumn()));
        values.append(pointer(def.identity.ParentTable, def.parentLinkColumn()));
    }
    // Keyed rows are walked in the order of the map, the others by ranges of their source OIDs (no
    // index of the source table: the engine would walk the whole selection for every range).
    const QString insert =
        keyed ? QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 m JOIN %5 s ON s.OID = m.source_oid"
                               " WHERE m.seq BETWEEN ? AND ?")
                    .arg(table, columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')),
                         mapOf(m_target.dialect(), name), sourceTable(name))
              : QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 WHERE (%5) AND s.OID BETWEEN ? AND ?")
                    .arg(table, columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')),
                         sourceTable(name) + QStringLiteral(" AS s") + m_target.dialect().keyScan(), step.selection);
    QSqlQuery range = keyed ? m_target.exec(QStringLiteral("SELECT 1, COUNT(seq) FROM ") + mapOf(m_target.dialect(), name))
                            : m_target.exec(QStringLiteral("SELECT MIN(OID), MAX(OID) FROM ") + sourceTable(name));
    range.next();
    const qint64 from = range.value(0).toLongLong(), to = range.value(1).toLongLong();
    range.finish();
    for (qint64 first = from; first <= to; first += kChunk) {
        const qint64 end = qMin(first + kChunk - 1, to);
        try {
            done += m_target.exec(insert, {first, end}).numRowsAffected();
        } catch (const Error &) {
            // One by one, to name the row the engine refuses.
            for (qint64 at = first; at <= end; ++at) {
                try {
                    m_target.exec(insert, {at, at});
                } catch (const Error &e) {
                    const qint64 sourceOid =
                        keyed ? scalar(m_target, QStringLiteral("SELECT source_oid FROM %1 WHERE seq = ?").arg(mapOf(m_target.dialect(), name)), {at})
                              : at;
                    fail(QStringLiteral("Impossibile importare %1: %2").arg(describe(step, sourceOid), e.description()));
                }
            }
            throw;
        }
        if (!pacer.step(int(qMin<qint64>(done, std::numeric_limits<int>::max()))))
            return false;
    }
    return true;
}

} // namespace objdb
