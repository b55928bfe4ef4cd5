#include "objdb/maintenance/archivetransfer.h"

#include "objdb/database.h"
#include "objdb/engine/engine.h"
#include "objdb/error.h"
#include "objdb/notify.h"
#include "objdb/progresspacer.h"
#include "objdb/sqldialect.h"
#include "objdb/types.h"

#include <QSet>
#include <QSqlQuery>

#include <functional>
#include <limits>

namespace objdb {

namespace {

constexpr int kPage = 1000;
// The key column, named bare as the tables are made with it.
const QString kKey = QStringLiteral("OID");
// The library's records of an archive, which every archive it opens has of its own.
const QSet<QString> kLibraryRecords{QStringLiteral("objdb_meta"), QStringLiteral("objdb_tables")};

QStringList amountColumns(const TableDef &table)
{
    QStringList names;
    for (const auto &column : table.columns)
        if (column.type == TypeAmount)
            names.append(column.name);
    return names;
}

// The key, then the other columns.
QString selectList(const QStringList &others)
{
    QStringList parts{kKey};
    for (const auto &name : others)
        parts.append(sqlName(name));
    return parts.join(QStringLiteral(", "));
}

// Runs `onRow` over the rows of the key and `columns` in pages by key; stops when it returns false.
bool pages(Database &db, const QString &table, const QStringList &columns,
           const std::function<bool(QSqlQuery &)> &onRow)
{
    QSqlQuery read = db.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 > ? ORDER BY %3")
                                    .arg(selectList(columns), sqlName(table), kKey)
                                + db.dialect().limitClause(kPage));
    read.setForwardOnly(true);
    qint64 last = std::numeric_limits<qint64>::min();
    for (;;) {
        read.bindValue(0, last);
        if (!read.exec())
            db.failEngine(QStringLiteral("Impossibile leggere la tabella %1").arg(table), read.lastError());
        int rows = 0;
        while (read.next()) {
            ++rows;
            last = read.value(0).toLongLong();
            if (!onRow(read))
                return false;
        }
        if (rows < kPage)
            return true;
    }
}

qint64 count(Database &db, const QString &table)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT COUNT(*) FROM ") + sqlName(table));
    return q.next() ? q.value(0).toLongLong() : 0;
}

// Row count and amount sums of one table of one archive.
void tally(Database &db, const QString &table, const QStringList &amounts, qint64 &rows, QList<Amount> &sums)
{
    rows = 0;
    sums = QList<Amount>(amounts.size());
    pages(db, table, amounts, [&](QSqlQuery &row) {
        ++rows;
        for (qsizetype i = 0; i < amounts.size(); ++i)
            if (const QVariant value = row.value(int(i) + 1); !value.isNull())
                sums[i] += Amount::fromUnits(value.toLongLong());
        return true;
    });
}

} // namespace

ArchiveTransfer::ArchiveTransfer(Database &source, Database &target, QList<TableDef> tables)
    : m_source(source)
    , m_target(target)
    , m_tables(std::move(tables))
{
    if (holdsRows(m_target))
        fail(QStringLiteral("L'archivio di destinazione contiene già dei dati: il trasferimento si fa solo in un "
                            "archivio vuoto."));
    if (m_source.mainCurrency() != m_target.mainCurrency())
        fail(QStringLiteral("Gli importi dell'archivio sono in %1, quelli dell'archivio di destinazione in %2.")
                 .arg(m_source.mainCurrency(), m_target.mainCurrency()));
    for (const auto &table : m_tables) {
        if (!m_source.hasTable(table.name))
            fail(QStringLiteral("L'archivio non contiene la tabella %1.").arg(table.name));
        m_rows += count(m_source, table.name);
    }
}

bool ArchiveTransfer::holdsRows(Database &archive)
{
    for (const QString &table : archive.tables()) {
        if (kLibraryRecords.contains(table))
            continue;
        QSqlQuery q = archive.exec(QStringLiteral("SELECT 1 FROM ") + sqlName(table) + archive.dialect().limitClause(1));
        if (q.next())
            return true;
    }
    return false;
}

bool ArchiveTransfer::copy(itfProgress *progress)
{
    if (!m_target.inTransaction())
        fail(QStringLiteral("Il trasferimento dell'archivio va fatto dentro una transazione."));
    ProgressPacer pacer(progress, ActionCopy, int(qMin<qint64>(m_rows, std::numeric_limits<int>::max())));
    qint64 done = 0;
    for (const auto &table : m_tables) {
        copyTable(table, pacer, done);
        if (pacer.stopped())
            return false;
    }
    return pacer.finish(int(qMin<qint64>(done, std::numeric_limits<int>::max())));
}

void ArchiveTransfer::copyTable(const TableDef &table, ProgressPacer &pacer, qint64 &done)
{
    if (!m_target.hasTable(table.name))
        fail(QStringLiteral("L'archivio di destinazione non contiene la tabella %1.").arg(table.name));
    QStringList columns;
    QSet<QString> targetColumns;
    for (const QString &name : m_target.columns(table.name))
        targetColumns.insert(name.toLower());
    for (const QString &name : m_source.columns(table.name)) {
        if (name.compare(kKey, Qt::CaseInsensitive) == 0)
            continue;
        if (!targetColumns.contains(name.toLower()))
            fail(QStringLiteral("Nell'archivio di destinazione la tabella %1 non ha la colonna %2.").arg(table.name, name));
        columns.append(name);
    }
    // The target held no rows before its tables were laid down: what is there was written by that.
    m_target.exec(QStringLiteral("DELETE FROM ") + sqlName(table.name));
    QStringList marks;
    for (qsizetype i = 0; i <= columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    QSqlQuery write = m_target.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                           .arg(sqlName(table.name), selectList(columns), marks.join(QStringLiteral(", "))));
    pages(m_source, table.name, columns, [&](QSqlQuery &row) {
        for (int i = 0; i <= columns.size(); ++i)
            write.bindValue(i, row.value(i));
        if (!write.exec())
            m_target.failEngine(QStringLiteral("Impossibile scrivere la riga %1 di %2").arg(row.value(0).toString(), table.name),
                                write.lastError());
        ++done;
        return pacer.step(int(qMin<qint64>(done, std::numeric_limits<int>::max())));
    });
    m_target.engine().keysWritten(table.name);
}

QList<TransferCheck> ArchiveTransfer::compare() const
{
    QList<TransferCheck> checks;
    for (const auto &table : m_tables) {
        TransferCheck check;
        check.table = table.name;
        check.caption = table.caption();
        check.amountColumns = amountColumns(table);
        tally(m_source, table.name, check.amountColumns, check.sourceRows, check.sourceSums);
        tally(m_target, table.name, check.amountColumns, check.targetRows, check.targetSums);
        checks.append(check);
    }
    return checks;
}

} // namespace objdb
